#include "imagegen/AppIconImages.h"

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

bool writeIcon(const std::string& path, int pixels, std::string& error)
{
    cairo_surface_t* surface = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, pixels, pixels);
    cairo_t* cr = cairo_create(surface);
    cairo_pattern_t* sky = cairo_pattern_create_linear(0, 0, 0, pixels);
    cairo_pattern_add_color_stop_rgb(sky, 0, 0.29, 0.62, 0.95);
    cairo_pattern_add_color_stop_rgb(sky, 1, 0.08, 0.33, 0.72);
    cairo_rectangle(cr, 0, 0, pixels, pixels);
    cairo_set_source(cr, sky);
    cairo_fill(cr);
    cairo_pattern_destroy(sky);
    drawAircraft(cr, pixels);
    cairo_destroy(cr);
    cairo_status_t status = cairo_surface_write_to_png(surface, path.c_str());
    cairo_surface_destroy(surface);
    if (status != CAIRO_STATUS_SUCCESS) {
        error = "cannot write " + path + ": " + cairo_status_to_string(status);
        return false;
    }
    return true;
}

} // namespace

bool writeAll(const std::string& directory, std::string& error)
{
    const struct {
        const char* name;
        int points;
    } icons[] = { { "Icon", 57 }, { "Icon-72", 72 }, { "Icon-76", 76 } };
    for (const auto& icon : icons) {
        if (!writeIcon(directory + "/" + icon.name + ".png", icon.points, error)
            || !writeIcon(directory + "/" + icon.name + "@2x.png", icon.points * 2, error))
            return false;
    }
    return true;
}

} // namespace AppIconImages
