#include "imagegen/HarborImages.h"

#include <cairo.h>
#include <cmath>
#include <filesystem>
#include <functional>

namespace HarborImages {

namespace {

void roundedRect(cairo_t* cr, double x, double y, double w, double h, double r)
{
    cairo_new_sub_path(cr);
    cairo_arc(cr, x + w - r, y + r, r, -M_PI / 2, 0);
    cairo_arc(cr, x + w - r, y + h - r, r, 0, M_PI / 2);
    cairo_arc(cr, x + r, y + h - r, r, M_PI / 2, M_PI);
    cairo_arc(cr, x + r, y + r, r, M_PI, 3 * M_PI / 2);
    cairo_close_path(cr);
}

// The share-sheet activity: a speech bubble outline, black on clear (the platform tints it).
void drawActivity(cairo_t* cr, double w, double h)
{
    double line = w / 15.0;
    roundedRect(cr, w * 0.1, h * 0.15, w * 0.8, h * 0.55, w * 0.12);
    cairo_move_to(cr, w * 0.3, h * 0.7);
    cairo_line_to(cr, w * 0.25, h * 0.88);
    cairo_line_to(cr, w * 0.48, h * 0.7);
    cairo_set_source_rgba(cr, 0, 0, 0, 1);
    cairo_set_line_width(cr, line);
    cairo_set_line_join(cr, CAIRO_LINE_JOIN_ROUND);
    cairo_stroke(cr);
    for (int i = 0; i < 3; ++i) {
        cairo_arc(cr, w * (0.32 + 0.18 * i), h * 0.425, line * 0.9, 0, 2 * M_PI);
        cairo_fill(cr);
    }
}

// The gloss laid over the application icon: white fading to clear in the upper half.
void drawIconGradient(cairo_t* cr, double w, double h)
{
    cairo_pattern_t* gradient = cairo_pattern_create_linear(0, 0, 0, h * 0.55);
    cairo_pattern_add_color_stop_rgba(gradient, 0, 1, 1, 1, 0.55);
    cairo_pattern_add_color_stop_rgba(gradient, 1, 1, 1, 1, 0.08);
    cairo_move_to(cr, 0, 0);
    cairo_line_to(cr, w, 0);
    cairo_line_to(cr, w, h * 0.45);
    cairo_curve_to(cr, w * 0.7, h * 0.55, w * 0.3, h * 0.55, 0, h * 0.45);
    cairo_close_path(cr);
    cairo_set_source(cr, gradient);
    cairo_fill(cr);
    cairo_pattern_destroy(gradient);
}

// The pressed look of the store-style button: a dark translucent rounded bar.
void drawButtonHighlight(cairo_t* cr, double w, double h)
{
    cairo_pattern_t* gradient = cairo_pattern_create_linear(0, 0, 0, h);
    cairo_pattern_add_color_stop_rgba(gradient, 0, 0, 0, 0, 0.35);
    cairo_pattern_add_color_stop_rgba(gradient, 1, 0, 0, 0, 0.15);
    roundedRect(cr, 0.5, 0.5, w - 1, h - 1, h * 0.2);
    cairo_set_source(cr, gradient);
    cairo_fill(cr);
    cairo_pattern_destroy(gradient);
}

} // namespace

bool writeImage(
    const std::string& path, int width, int height, double scale, const Drawing& drawing, std::string& error)
{
    int pixelWidth = int(std::lround(width * scale));
    int pixelHeight = int(std::lround(height * scale));
    cairo_surface_t* surface = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, pixelWidth, pixelHeight);
    cairo_t* cr = cairo_create(surface);
    cairo_scale(cr, scale, scale);
    drawing(cr, width, height);
    cairo_destroy(cr);
    cairo_status_t status = cairo_surface_write_to_png(surface, path.c_str());
    cairo_surface_destroy(surface);
    if (status != CAIRO_STATUS_SUCCESS) {
        error = "cannot write " + path + ": " + cairo_status_to_string(status);
        return false;
    }
    return true;
}

bool writeAll(const std::string& bundleDirectory, std::string& error)
{
    std::error_code ec;
    std::filesystem::create_directories(bundleDirectory, ec);
    struct Image {
        const char* name; // without ".png"
        int width, height;
        Drawing drawing;
    };
    const Image images[] = {
        { "feedbackActiviy", 60, 60, drawActivity },
        { "IconGradient", 57, 57, drawIconGradient },
        { "buttonHighlight", 60, 28, drawButtonHighlight },
    };
    for (const auto& image : images) {
        for (int scale : { 1, 2 }) {
            std::string path = bundleDirectory + "/" + image.name + (scale == 2 ? "@2x.png" : ".png");
            if (!writeImage(path, image.width, image.height, scale, image.drawing, error))
                return false;
        }
    }
    return true;
}

} // namespace HarborImages
