#pragma once

#include <functional>
#include <string>

typedef struct _cairo cairo_t;

// The images of the kit's resource bundle "HarborSDKResources.bundle", drawn at build time: the
// share-sheet activity icon, the gloss over the application icon and the highlight of the
// update screen's store-style button (each also at double resolution). Any thread.
namespace HarborImages {

// Draws `drawing` on a width x height point canvas at `scale` pixels per point and writes it as
// PNG to `path`. False with a message on failure.
using Drawing = std::function<void(cairo_t*, double width, double height)>;
[[nodiscard]] bool writeImage(
    const std::string& path, int width, int height, double scale, const Drawing& drawing, std::string& error);

// Writes the images into `bundleDirectory` (made when missing). False with a message on failure.
[[nodiscard]] bool writeAll(const std::string& bundleDirectory, std::string& error);

} // namespace HarborImages
