#pragma once

#include <string>

// The images of the kit's resource bundle "HarborSDKResources.bundle", drawn at build time: the
// share-sheet activity icon, the gloss over the application icon and the highlight of the
// update screen's store-style button (each also at double resolution). Any thread.
namespace HarborImages {

// Writes the images into `bundleDirectory` (made when missing). False with a message on failure.
[[nodiscard]] bool writeAll(const std::string& bundleDirectory, std::string& error);

} // namespace HarborImages
