#include "imagegen/DataGridImages.h"

#include <cairo.h>

namespace DataGridImages {

void addAll(const Adder& add)
{
    // 16 by 22 points: a header row is 44 high, the arrow about half of it.
    constexpr int kWidth = 16;
    constexpr int kHeight = 22;
    auto triangle = [](cairo_t* cr, double top, double bottom, bool pointsUp) {
        double tip = pointsUp ? top : bottom;
        double base = pointsUp ? bottom : top;
        cairo_move_to(cr, kWidth / 2.0, tip);
        cairo_line_to(cr, kWidth - 2.0, base);
        cairo_line_to(cr, 2.0, base);
        cairo_close_path(cr);
    };
    // Unsorted: both halves, faint.
    add("44_no_sort.png", kWidth, kHeight, [=](cairo_t* cr, int, int) {
        triangle(cr, 2, 9, true);
        triangle(cr, 13, 20, false);
        cairo_set_source_rgba(cr, 0.45, 0.47, 0.50, 0.45);
        cairo_fill(cr);
    });
    // Ascending: the upper half strong, the lower faint.
    add("44_sort_up.png", kWidth, kHeight, [=](cairo_t* cr, int, int) {
        triangle(cr, 2, 9, true);
        cairo_set_source_rgba(cr, 0.10, 0.45, 0.90, 1);
        cairo_fill(cr);
        triangle(cr, 13, 20, false);
        cairo_set_source_rgba(cr, 0.45, 0.47, 0.50, 0.25);
        cairo_fill(cr);
    });
    // Descending: the lower half strong, the upper faint.
    add("44_sort_down.png", kWidth, kHeight, [=](cairo_t* cr, int, int) {
        triangle(cr, 2, 9, true);
        cairo_set_source_rgba(cr, 0.45, 0.47, 0.50, 0.25);
        cairo_fill(cr);
        triangle(cr, 13, 20, false);
        cairo_set_source_rgba(cr, 0.10, 0.45, 0.90, 1);
        cairo_fill(cr);
    });
}

} // namespace DataGridImages
