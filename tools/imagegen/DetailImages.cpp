#include "imagegen/DetailImages.h"

#include <cairo.h>
#include <cmath>

namespace {

struct RGB {
    double r, g, b;
};
const RGB kBlue { 0.0, 0.48, 1.0 };
const RGB kGrey { 0.62, 0.63, 0.66 };
const RGB kInactiveGrey { 0.80, 0.81, 0.83 };

void source(cairo_t* cr, RGB c, double alpha = 1)
{
    cairo_set_source_rgba(cr, c.r, c.g, c.b, alpha);
}

void circle(cairo_t* cr, double x, double y, double r)
{
    cairo_new_sub_path(cr);
    cairo_arc(cr, x, y, r, 0, 2 * M_PI);
}

// A plane seen from above, nose up, in a box of the given size at (x, y).
void planeShape(cairo_t* cr, double x, double y, double size)
{
    double s = size / 24;
    cairo_save(cr);
    cairo_translate(cr, x, y);
    cairo_scale(cr, s, s);
    cairo_move_to(cr, 12, 1);
    cairo_curve_to(cr, 13.5, 1, 13.5, 4, 13.5, 8);
    cairo_line_to(cr, 23, 14);
    cairo_line_to(cr, 23, 16);
    cairo_line_to(cr, 13.5, 13);
    cairo_line_to(cr, 13.2, 19);
    cairo_line_to(cr, 16.5, 22);
    cairo_line_to(cr, 16.5, 23);
    cairo_line_to(cr, 12, 21.8);
    cairo_line_to(cr, 7.5, 23);
    cairo_line_to(cr, 7.5, 22);
    cairo_line_to(cr, 10.8, 19);
    cairo_line_to(cr, 10.5, 13);
    cairo_line_to(cr, 1, 16);
    cairo_line_to(cr, 1, 14);
    cairo_line_to(cr, 10.5, 8);
    cairo_curve_to(cr, 10.5, 4, 10.5, 1, 12, 1);
    cairo_close_path(cr);
    cairo_restore(cr);
}

void fillVertical(cairo_t* cr, int width, int height, RGB top, RGB bottom)
{
    cairo_pattern_t* gradient = cairo_pattern_create_linear(0, 0, 0, height);
    cairo_pattern_add_color_stop_rgb(gradient, 0, top.r, top.g, top.b);
    cairo_pattern_add_color_stop_rgb(gradient, 1, bottom.r, bottom.g, bottom.b);
    cairo_rectangle(cr, 0, 0, width, height);
    cairo_set_source(cr, gradient);
    cairo_fill(cr);
    cairo_pattern_destroy(gradient);
}

} // namespace

namespace DetailImages {

void addAll(const Adder& add)
{
    // Tab icons: overview (a card), flight (a plane), aircraft (a plane in a ring).
    for (bool active : { true, false }) {
        RGB ink = active ? kBlue : kGrey;
        std::string state = active ? "Active.png" : "Inactive.png";
        add("overviewTab" + state, 28, 28, [=](cairo_t* cr, int, int) {
            cairo_rectangle(cr, 4, 6, 20, 16);
            source(cr, ink);
            cairo_set_line_width(cr, 2);
            cairo_stroke(cr);
            for (int line = 0; line < 3; ++line) {
                cairo_rectangle(cr, 8, 10 + line * 4, line == 2 ? 7 : 12, 1.6);
                cairo_fill(cr);
            }
        });
        add("flightTab" + state, 28, 28, [=](cairo_t* cr, int, int) {
            planeShape(cr, 2, 2, 24);
            source(cr, ink);
            cairo_fill(cr);
        });
        add("aircraftTab" + state, 28, 28, [=](cairo_t* cr, int, int) {
            circle(cr, 14, 14, 12);
            source(cr, ink);
            cairo_set_line_width(cr, 2);
            cairo_stroke(cr);
            planeShape(cr, 6, 6, 16);
            cairo_fill(cr);
        });
        add(active ? "daysOfOperationActive.png" : "daysOfOperationInactive.png", 24, 24, [=](cairo_t* cr, int, int) {
            circle(cr, 12, 12, 9);
            if (active) {
                cairo_set_source_rgb(cr, 0, 0.6, 0);
                cairo_fill(cr);
                cairo_move_to(cr, 7.5, 12);
                cairo_line_to(cr, 10.5, 15);
                cairo_line_to(cr, 16.5, 9);
                cairo_set_source_rgb(cr, 1, 1, 1);
                cairo_set_line_width(cr, 2);
                cairo_stroke(cr);
            } else {
                source(cr, kInactiveGrey);
                cairo_set_line_width(cr, 1.5);
                cairo_stroke(cr);
            }
        });
        // Route progress: airport markers and bar pieces.
        add(active ? "progressHopActive.png" : "progressHopInactive.png", 12, 12, [=](cairo_t* cr, int, int) {
            circle(cr, 6, 6, 4.5);
            cairo_set_source_rgb(cr, 1, 1, 1);
            cairo_fill_preserve(cr);
            source(cr, active ? kBlue : kInactiveGrey);
            cairo_set_line_width(cr, 2.5);
            cairo_stroke(cr);
        });
        add(active ? "progressBarActive.png" : "progressBarInactive.png", 4, 2, [=](cairo_t* cr, int w, int h) {
            cairo_rectangle(cr, 0, 0, w, h);
            source(cr, active ? kBlue : kInactiveGrey);
            cairo_fill(cr);
        });
    }
    add("progressMarker.png", 22, 22, [](cairo_t* cr, int, int) {
        circle(cr, 11, 11, 10.5);
        source(cr, kBlue);
        cairo_fill(cr);
        cairo_save(cr);
        cairo_translate(cr, 11, 11);
        cairo_rotate(cr, M_PI / 2);
        planeShape(cr, -8, -8, 16);
        cairo_restore(cr);
        cairo_set_source_rgb(cr, 1, 1, 1);
        cairo_fill(cr);
    });

    // The history strip's caps and bar.
    for (const char* name : { "flightProgressRightCap.png", "flightProgressInactiveSinglehopRightCap.png",
             "flightProgressInactiveSinglehopLeftCap.png", "flightProgressInactiveRightCap.png" }) {
        add(name, 6, 6, [](cairo_t* cr, int, int) {
            circle(cr, 3, 3, 2.5);
            source(cr, kInactiveGrey);
            cairo_fill(cr);
        });
    }
    add("flightProgressInactive.png", 4, 2, [](cairo_t* cr, int w, int h) {
        cairo_rectangle(cr, 0, 0, w, h);
        source(cr, kInactiveGrey);
        cairo_fill(cr);
    });

    // Detail placeholders, the share logo, the gallery icon and the no-image note.
    add("planeNoImage.png", 300, 100, [](cairo_t* cr, int, int) {
        cairo_save(cr);
        cairo_translate(cr, 150, 50);
        cairo_rotate(cr, M_PI / 2);
        planeShape(cr, -40, -40, 80);
        cairo_restore(cr);
        cairo_set_source_rgba(cr, 1, 1, 1, 0.55);
        cairo_fill(cr);
    });
    add("shareLogo.png", 220, 40, [](cairo_t* cr, int, int) {
        planeShape(cr, 8, 6, 28);
        source(cr, kBlue);
        cairo_fill(cr);
        cairo_select_font_face(cr, "DejaVu Sans", CAIRO_FONT_SLANT_NORMAL, CAIRO_FONT_WEIGHT_BOLD);
        cairo_set_font_size(cr, 20);
        cairo_move_to(cr, 44, 27);
        cairo_show_text(cr, "Volantrix");
    });
    add("galleryIcon.png", 28, 28, [](cairo_t* cr, int, int) {
        for (int i = 0; i < 2; ++i) {
            cairo_rectangle(cr, 4 + i * 4, 8 - i * 4, 16, 14);
            cairo_set_source_rgb(cr, 1, 1, 1);
            cairo_set_line_width(cr, 2);
            cairo_stroke(cr);
        }
    });
    add("noImageWarning.png", 60, 36, [](cairo_t* cr, int w, int h) {
        cairo_new_sub_path(cr);
        cairo_arc(cr, w - 8, 8, 8, -M_PI / 2, 0);
        cairo_arc(cr, w - 8, h - 8, 8, 0, M_PI / 2);
        cairo_line_to(cr, 0, h);
        cairo_line_to(cr, 0, 0);
        cairo_close_path(cr);
        cairo_set_source_rgba(cr, 0.80, 0.25, 0.10, 0.85);
        cairo_fill(cr);
        cairo_move_to(cr, 16, 8);
        cairo_line_to(cr, 26, 27);
        cairo_line_to(cr, 6, 27);
        cairo_close_path(cr);
        cairo_set_source_rgb(cr, 1, 1, 1);
        cairo_fill(cr);
    });

    // Airport board backgrounds: black, with faint bands.
    add("blackNavBg.png", 8, 44, [](cairo_t* cr, int w, int h) {
        fillVertical(cr, w, h, { 0.16, 0.16, 0.17 }, { 0.02, 0.02, 0.02 });
    });
    add("airportHeaderBackground.png", 8, 22, [](cairo_t* cr, int w, int h) {
        fillVertical(cr, w, h, { 0.30, 0.30, 0.32 }, { 0.18, 0.18, 0.19 });
    });
    add("airportCellBackground.png", 8, 44, [](cairo_t* cr, int w, int h) {
        fillVertical(cr, w, h, { 0.08, 0.08, 0.09 }, { 0.0, 0.0, 0.0 });
    });
    add("airportCellExtendedBackground.png", 8, 248, [](cairo_t* cr, int w, int h) {
        fillVertical(cr, w, h, { 0.12, 0.12, 0.14 }, { 0.05, 0.05, 0.06 });
    });
    add("airportSeparatorBackground.png", 4, 1, [](cairo_t* cr, int, int) {
        cairo_rectangle(cr, 0, 0, 2, 1);
        cairo_set_source_rgb(cr, 0.45, 0.45, 0.45);
        cairo_fill(cr);
    });
    add("airportViewMapButton.png", 20, 44, [](cairo_t* cr, int w, int h) {
        cairo_new_sub_path(cr);
        cairo_arc(cr, 5, 5, 5, M_PI, 3 * M_PI / 2);
        cairo_arc(cr, w - 5, 5, 5, -M_PI / 2, 0);
        cairo_arc(cr, w - 5, h - 5, 5, 0, M_PI / 2);
        cairo_arc(cr, 5, h - 5, 5, M_PI / 2, M_PI);
        cairo_close_path(cr);
        cairo_set_source_rgb(cr, 0.97, 0.82, 0.01);
        cairo_fill(cr);
    });
}

} // namespace DetailImages
