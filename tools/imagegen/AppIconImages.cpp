#include "imagegen/AppIconImages.h"

#include "imagegen/HarborImages.h"

#include <cairo.h>
#include <cmath>

namespace AppIconImages {

namespace {

// A top view of an aircraft pointing up and to the right, in a unit square.
void drawAircraft(cairo_t* cr, double size)
{
    cairo_save(cr);
    cairo_translate(cr, size / 2, size / 2);
    cairo_rotate(cr, M_PI / 4);
    cairo_scale(cr, size, size);
    // Fuselage.
    cairo_move_to(cr, 0, -0.36);
    cairo_curve_to(cr, 0.035, -0.33, 0.04, -0.28, 0.04, -0.22);
    cairo_line_to(cr, 0.04, 0.22);
    cairo_line_to(cr, 0, 0.32);
    cairo_line_to(cr, -0.04, 0.22);
    cairo_line_to(cr, -0.04, -0.22);
    cairo_curve_to(cr, -0.04, -0.28, -0.035, -0.33, 0, -0.36);
    cairo_close_path(cr);
    // Wings.
    cairo_move_to(cr, 0.03, -0.06);
    cairo_line_to(cr, 0.34, 0.08);
    cairo_line_to(cr, 0.34, 0.13);
    cairo_line_to(cr, 0.03, 0.06);
    cairo_line_to(cr, -0.03, 0.06);
    cairo_line_to(cr, -0.34, 0.13);
    cairo_line_to(cr, -0.34, 0.08);
    cairo_line_to(cr, -0.03, -0.06);
    cairo_close_path(cr);
    // Tail.
    cairo_move_to(cr, 0.02, 0.2);
    cairo_line_to(cr, 0.13, 0.28);
    cairo_line_to(cr, 0.13, 0.31);
    cairo_line_to(cr, -0.13, 0.31);
    cairo_line_to(cr, -0.13, 0.28);
    cairo_line_to(cr, -0.02, 0.2);
    cairo_close_path(cr);
    cairo_restore(cr);
    cairo_set_source_rgb(cr, 1, 1, 1);
    cairo_fill(cr);
}

// The tile with its aircraft on a square canvas.
void drawIcon(cairo_t* cr, double size, double)
{
    cairo_pattern_t* sky = cairo_pattern_create_linear(0, 0, 0, size);
    cairo_pattern_add_color_stop_rgb(sky, 0, 0.29, 0.62, 0.95);
    cairo_pattern_add_color_stop_rgb(sky, 1, 0.08, 0.33, 0.72);
    cairo_rectangle(cr, 0, 0, size, size);
    cairo_set_source(cr, sky);
    cairo_fill(cr);
    cairo_pattern_destroy(sky);
    drawAircraft(cr, size);
}

} // namespace

bool writeAll(const std::string& directory, std::string& error)
{
    const struct {
        const char* name;
        int points;
    } icons[] = { { "Icon", 57 }, { "Icon-72", 72 }, { "Icon-76", 76 } };
    for (const auto& icon : icons) {
        for (int scale : { 1, 2 }) {
            std::string path = directory + "/" + icon.name + (scale == 2 ? "@2x.png" : ".png");
            if (!HarborImages::writeImage(path, icon.points, icon.points, scale, drawIcon, error))
                return false;
        }
    }
    return true;
}

} // namespace AppIconImages
