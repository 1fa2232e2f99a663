#pragma once

#include <functional>
#include <string>

typedef struct _cairo cairo_t;

// The images of the data grid's column headers: the sort arrows "44_no_sort.png",
// "44_sort_up.png" and "44_sort_down.png". Any thread.
namespace DataGridImages {

using Drawing = std::function<void(cairo_t*, int width, int height)>;
using Adder = std::function<void(const std::string& name, int width, int height, Drawing draw)>;

// Hands every image to `add`, by file name, size and drawing.
void addAll(const Adder& add);

} // namespace DataGridImages
