#pragma once

#include <cstdint>
#include <string>
#include <vector>

// The images of the application bundle, drawn at build time: the plane marker set (one image
// per silhouette family, colour letter and 10-degree heading step, plus the seasonal set), the
// airport and volcano markers, toolbar and menu icons, toggles, tour pictures and banners.
// Any thread; no shared state.
namespace BundleImages {

struct ImageSpec {
    std::string fileName; // "B737_R_90.png"
    int width = 0;
    int height = 0;
};

// Every image the bundle carries, markers first.
std::vector<ImageSpec> allImages();

// Draws one image of allImages() as premultiplied ARGB32 pixels, row by row (width * height).
// Returns an empty vector for a name that is not in the list.
std::vector<uint32_t> render(const ImageSpec& spec);

// Writes every image as PNG into `directory`. Returns false with a message on the first failure.
[[nodiscard]] bool writeAll(const std::string& directory, std::string& error);

} // namespace BundleImages
