#pragma once

#include <functional>
#include <string>

typedef struct _cairo cairo_t;

// The images of the plane detail screens, the airport board and the photo gallery: tab icons,
// route progress pieces, board backgrounds, the share logo and placeholders. Any thread.
namespace DetailImages {

using Drawing = std::function<void(cairo_t*, int width, int height)>;
using Adder = std::function<void(const std::string& name, int width, int height, Drawing draw)>;

// Hands every image to `add`, by file name, size and drawing.
void addAll(const Adder& add);

} // namespace DetailImages
