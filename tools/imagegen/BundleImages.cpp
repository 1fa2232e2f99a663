#include "imagegen/BundleImages.h"

#include "imagegen/DataGridImages.h"
#include "imagegen/DetailImages.h"

#include <algorithm>
#include <cairo.h>
#include <cmath>
#include <cstring>
#include <filesystem>
#include <functional>
#include <map>

namespace {

struct Colour {
    double r, g, b;
};

// The marker colour letters and the outline drawn around each tint so it stands out on a map.
struct Tint {
    const char* letter;
    Colour fill;
    Colour outline;
};
const Tint kTints[] = {
    { "R", { 0.86, 0.16, 0.16 }, { 0.35, 0.0, 0.0 } },
    { "Y", { 0.98, 0.80, 0.12 }, { 0.40, 0.30, 0.0 } },
    { "B", { 0.12, 0.12, 0.12 }, { 0.85, 0.85, 0.85 } },
    { "W", { 0.97, 0.97, 0.97 }, { 0.25, 0.25, 0.25 } },
    { "O", { 1.00, 0.55, 0.00 }, { 0.40, 0.18, 0.0 } },
};

enum class Shape { Airliner, Jet, Prop, Helicopter, Glider, Vehicle, Triangle, Volcano, Sleigh };

// A top-down silhouette, in units of the canvas size (nose up, centred).
struct Family {
    const char* name;
    int size; // canvas edge in points
    Shape shape;
    double length; // fuselage length
    double span; // wing span
    double sweep; // wing sweep, as a fraction of the span
    int engines; // under-wing engines (0, 2 or 4)
    bool tailEngines = false;
};
const Family kFamilies[] = {
    { "A300", 30, Shape::Airliner, 0.86, 0.82, 0.22, 2 },
    { "A320", 28, Shape::Airliner, 0.84, 0.80, 0.20, 2 },
    { "A321", 28, Shape::Airliner, 0.92, 0.78, 0.20, 2 },
    { "A330", 32, Shape::Airliner, 0.88, 0.86, 0.24, 2 },
    { "A340", 32, Shape::Airliner, 0.90, 0.86, 0.24, 4 },
    { "A350", 32, Shape::Airliner, 0.88, 0.88, 0.24, 2 },
    { "A380", 36, Shape::Airliner, 0.84, 0.92, 0.26, 4 },
    { "B737", 28, Shape::Airliner, 0.86, 0.78, 0.20, 2 },
    { "B747", 34, Shape::Airliner, 0.90, 0.86, 0.28, 4 },
    { "B757", 30, Shape::Airliner, 0.92, 0.78, 0.20, 2 },
    { "B767", 30, Shape::Airliner, 0.88, 0.82, 0.22, 2 },
    { "B777", 32, Shape::Airliner, 0.92, 0.88, 0.24, 2 },
    { "B787", 32, Shape::Airliner, 0.88, 0.90, 0.24, 2 },
    { "RJ100", 26, Shape::Airliner, 0.84, 0.80, 0.14, 4 },
    { "FOKKER100", 26, Shape::Jet, 0.88, 0.72, 0.14, 0, true },
    { "PRIVATEJET", 22, Shape::Jet, 0.86, 0.72, 0.18, 0, true },
    { "TWINPROP", 24, Shape::Prop, 0.80, 0.86, 0.0, 2 },
    { "SINGLEPROP", 20, Shape::Prop, 0.74, 0.90, 0.0, 0 },
    { "EUROCOPTER", 24, Shape::Helicopter, 0.80, 0.90, 0.0, 0 },
    { "GLIDER", 24, Shape::Glider, 0.66, 0.96, 0.0, 0 },
    { "VEHICLE", 16, Shape::Vehicle, 0.80, 0.50, 0.0, 0 },
    { "TRIANGLE", 18, Shape::Triangle, 0.80, 0.70, 0.0, 0 },
    { "VOLCANO", 24, Shape::Volcano, 0.80, 0.80, 0.0, 0 },
};
const Family kSleigh { "SANTA", 30, Shape::Sleigh, 0.80, 0.60, 0.0, 0 };

// Adds a closed polygon, always clockwise on screen, so overlapping parts of a silhouette
// add up under the winding rule instead of cutting holes into each other.
void polygon(cairo_t* cr, std::vector<std::pair<double, double>> points)
{
    double area = 0;
    for (size_t i = 0; i < points.size(); ++i) {
        const auto& a = points[i];
        const auto& b = points[(i + 1) % points.size()];
        area += a.first * b.second - b.first * a.second;
    }
    if (area < 0)
        std::reverse(points.begin(), points.end());
    cairo_move_to(cr, points[0].first, points[0].second);
    for (size_t i = 1; i < points.size(); ++i)
        cairo_line_to(cr, points[i].first, points[i].second);
    cairo_close_path(cr);
}

// Path of a silhouette on a unit canvas (0..1), nose towards y = 0.
void silhouette(cairo_t* cr, const Family& f)
{
    double cx = 0.5, top = 0.5 - f.length / 2, bottom = 0.5 + f.length / 2;
    double body = f.shape == Shape::Airliner ? 0.075 : 0.06;
    switch (f.shape) {
    case Shape::Airliner:
    case Shape::Jet:
    case Shape::Prop:
    case Shape::Glider: {
        // Fuselage: a capsule.
        double w = f.shape == Shape::Glider ? 0.04 : body;
        cairo_move_to(cr, cx, top);
        cairo_curve_to(cr, cx + w, top, cx + w, top + 0.08, cx + w, top + 0.12);
        cairo_line_to(cr, cx + w * 0.6, bottom - 0.02);
        cairo_line_to(cr, cx - w * 0.6, bottom - 0.02);
        cairo_line_to(cr, cx - w, top + 0.12);
        cairo_curve_to(cr, cx - w, top + 0.08, cx - w, top, cx, top);
        cairo_close_path(cr);
        // Wings.
        double root = f.shape == Shape::Prop ? top + f.length * 0.30 : top + f.length * 0.38;
        double chord = f.shape == Shape::Glider ? 0.07 : f.shape == Shape::Prop ? 0.12 : 0.16;
        double tipChord = chord * (f.shape == Shape::Prop || f.shape == Shape::Glider ? 0.7 : 0.35);
        double half = f.span / 2;
        double sweep = f.sweep;
        for (int side : { -1, 1 }) {
            polygon(cr,
                { { cx + side * w, root }, { cx + side * half, root + sweep },
                    { cx + side * half, root + sweep + tipChord }, { cx + side * w, root + chord } });
        }
        // Tailplane.
        double tail = bottom - 0.12;
        double tailHalf = f.span * 0.20;
        for (int side : { -1, 1 }) {
            polygon(cr,
                { { cx + side * w * 0.6, tail }, { cx + side * tailHalf, tail + f.sweep * 0.4 + 0.02 },
                    { cx + side * tailHalf, tail + f.sweep * 0.4 + 0.07 }, { cx + side * w * 0.6, tail + 0.09 } });
        }
        // Engines: pods under the wings, or beside the tail.
        for (int i = 0; i < f.engines; ++i) {
            int side = i % 2 ? 1 : -1;
            double along = f.engines == 4 ? (i < 2 ? 0.32 : 0.62) : 0.40;
            double ex = cx + side * half * along, ey = root + sweep * along - (f.shape == Shape::Prop ? 0.06 : 0.03);
            cairo_rectangle(cr, ex - 0.03, ey, 0.06, f.shape == Shape::Prop ? 0.12 : 0.10);
        }
        if (f.tailEngines) {
            for (int side : { -1, 1 })
                cairo_rectangle(cr, cx + side * (w + 0.035) - 0.035, tail - 0.10, 0.07, 0.11);
        }
        break;
    }
    case Shape::Helicopter:
        cairo_arc(cr, cx, 0.45, 0.12, 0, 2 * M_PI);
        cairo_close_path(cr);
        cairo_rectangle(cr, cx - 0.025, 0.5, 0.05, 0.38);
        cairo_rectangle(cr, cx - 0.09, 0.84, 0.18, 0.04);
        // Rotor blades.
        for (int i = 0; i < 4; ++i) {
            double a = M_PI / 4 + i * M_PI / 2;
            polygon(cr,
                { { cx, 0.45 },
                    { cx + std::cos(a) * 0.42 - std::sin(a) * 0.04, 0.45 + std::sin(a) * 0.42 + std::cos(a) * 0.04 },
                    { cx + std::cos(a) * 0.42 + std::sin(a) * 0.04, 0.45 + std::sin(a) * 0.42 - std::cos(a) * 0.04 } });
        }
        break;
    case Shape::Vehicle:
        cairo_rectangle(cr, cx - f.span / 2, top, f.span, f.length);
        break;
    case Shape::Triangle:
        cairo_move_to(cr, cx, top);
        cairo_line_to(cr, cx + f.span / 2, bottom);
        cairo_line_to(cr, cx - f.span / 2, bottom);
        cairo_close_path(cr);
        break;
    case Shape::Volcano:
        cairo_move_to(cr, 0.1, 0.9);
        cairo_line_to(cr, 0.4, 0.35);
        cairo_line_to(cr, 0.6, 0.35);
        cairo_line_to(cr, 0.9, 0.9);
        cairo_close_path(cr);
        cairo_arc(cr, 0.5, 0.2, 0.1, 0, 2 * M_PI);
        cairo_close_path(cr);
        break;
    case Shape::Sleigh:
        cairo_move_to(cr, 0.3, 0.45);
        cairo_line_to(cr, 0.7, 0.45);
        cairo_line_to(cr, 0.7, 0.85);
        cairo_line_to(cr, 0.3, 0.85);
        cairo_close_path(cr);
        for (int side : { -1, 1 })
            cairo_rectangle(cr, 0.5 + side * 0.25 - 0.02, 0.1, 0.04, 0.8);
        cairo_arc(cr, 0.5, 0.2, 0.08, 0, 2 * M_PI);
        cairo_close_path(cr);
        break;
    }
}

using Drawing = std::function<void(cairo_t*, int width, int height)>;

struct Entry {
    BundleImages::ImageSpec spec;
    Drawing draw;
};

void fillAndStroke(cairo_t* cr, Colour fill, Colour outline, double lineWidth)
{
    cairo_set_source_rgb(cr, fill.r, fill.g, fill.b);
    cairo_fill_preserve(cr);
    cairo_set_source_rgb(cr, outline.r, outline.g, outline.b);
    cairo_set_line_width(cr, lineWidth);
    cairo_stroke(cr);
}

Drawing markerDrawing(const Family& family, Colour fill, Colour outline, int rotation)
{
    return [=](cairo_t* cr, int width, int height) {
        cairo_translate(cr, width / 2.0, height / 2.0);
        cairo_rotate(cr, rotation * M_PI / 180.0);
        cairo_translate(cr, -width / 2.0, -height / 2.0);
        // Silhouettes keep their edge inside the canvas at every angle.
        double scale = width * 0.92;
        cairo_translate(cr, width * 0.04, height * 0.04);
        cairo_scale(cr, scale, scale);
        cairo_set_fill_rule(cr, CAIRO_FILL_RULE_WINDING);
        silhouette(cr, family);
        // Outline first and fill over it, so only the outer half of the line shows and even the
        // smallest silhouettes keep their tint.
        cairo_set_source_rgb(cr, outline.r, outline.g, outline.b);
        cairo_set_line_width(cr, 1.4 / scale);
        cairo_set_line_join(cr, CAIRO_LINE_JOIN_ROUND);
        cairo_stroke_preserve(cr);
        cairo_set_source_rgb(cr, fill.r, fill.g, fill.b);
        cairo_fill(cr);
    };
}

const Colour kInk { 0.20, 0.45, 0.85 }; // icon colour of toolbars and toggles
const Colour kGrey { 0.55, 0.55, 0.58 };

std::vector<Entry> entries()
{
    std::vector<Entry> list;
    for (const auto& family : kFamilies) {
        for (const auto& tint : kTints) {
            for (int rotation = 10; rotation <= 360; rotation += 10) {
                list.push_back(
                    { { std::string(family.name) + "_" + tint.letter + "_" + std::to_string(rotation) + ".png",
                          family.size, family.size },
                        markerDrawing(family, tint.fill, tint.outline, rotation) });
            }
        }
    }
    for (int rotation = 10; rotation <= 360; rotation += 10) {
        list.push_back({ { "SANTA_" + std::to_string(rotation) + ".png", kSleigh.size, kSleigh.size },
            markerDrawing(kSleigh, { 0.80, 0.10, 0.10 }, { 0.95, 0.85, 0.30 }, rotation) });
    }

    auto add = [&](const std::string& name, int width, int height, Drawing draw) {
        list.push_back({ { name, width, height }, std::move(draw) });
    };
    auto circle = [](cairo_t* cr, double x, double y, double r) {
        cairo_new_sub_path(cr);
        cairo_arc(cr, x, y, r, 0, 2 * M_PI);
    };
    auto stroke = [](cairo_t* cr, Colour c, double width) {
        cairo_set_source_rgb(cr, c.r, c.g, c.b);
        cairo_set_line_width(cr, width);
        cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
        cairo_set_line_join(cr, CAIRO_LINE_JOIN_ROUND);
        cairo_stroke(cr);
    };
    auto fill = [](cairo_t* cr, Colour c) {
        cairo_set_source_rgb(cr, c.r, c.g, c.b);
        cairo_fill(cr);
    };

    // Map markers.
    add("airportMarkerLarge.png", 24, 24, [=](cairo_t* cr, int, int) {
        circle(cr, 12, 12, 10.5);
        fillAndStroke(cr, { 0.15, 0.35, 0.75 }, { 1, 1, 1 }, 1.5);
        cairo_move_to(cr, 12, 5);
        cairo_line_to(cr, 12, 19);
        cairo_move_to(cr, 6, 12);
        cairo_line_to(cr, 18, 12);
        stroke(cr, { 1, 1, 1 }, 2);
    });
    add("airportMarkerSmall.png", 14, 14, [=](cairo_t* cr, int, int) {
        circle(cr, 7, 7, 5.5);
        fillAndStroke(cr, { 0.35, 0.50, 0.80 }, { 1, 1, 1 }, 1.2);
    });
    add("volcano.png", 24, 24, [=](cairo_t* cr, int, int) {
        cairo_move_to(cr, 2, 22);
        cairo_line_to(cr, 9, 9);
        cairo_line_to(cr, 15, 9);
        cairo_line_to(cr, 22, 22);
        cairo_close_path(cr);
        fillAndStroke(cr, { 0.45, 0.30, 0.20 }, { 0.2, 0.1, 0.05 }, 1);
        circle(cr, 12, 5, 3.5);
        fill(cr, { 0.95, 0.35, 0.10 });
    });
    add("calloutChevron.png", 10, 16, [=](cairo_t* cr, int, int) {
        cairo_move_to(cr, 2, 2);
        cairo_line_to(cr, 8, 8);
        cairo_line_to(cr, 2, 14);
        stroke(cr, kGrey, 2);
    });
    add("mapWarningBackground.png", 24, 24, [=](cairo_t* cr, int, int) {
        double r = 7;
        cairo_new_sub_path(cr);
        cairo_arc(cr, 24 - r, r, r, -M_PI / 2, 0);
        cairo_arc(cr, 24 - r, 24 - r, r, 0, M_PI / 2);
        cairo_arc(cr, r, 24 - r, r, M_PI / 2, M_PI);
        cairo_arc(cr, r, r, r, M_PI, 3 * M_PI / 2);
        cairo_close_path(cr);
        cairo_set_source_rgba(cr, 0, 0, 0, 0.85);
        cairo_fill(cr);
    });
    add("transparent.png", 1, 1, [](cairo_t*, int, int) {});

    // Web view arrows.
    for (int direction : { -1, 1 }) {
        add(direction < 0 ? "arrow-left.png" : "arrow-right.png", 24, 24, [=](cairo_t* cr, int, int) {
            cairo_move_to(cr, 12 - direction * 4, 4);
            cairo_line_to(cr, 12 + direction * 4, 12);
            cairo_line_to(cr, 12 - direction * 4, 20);
            stroke(cr, kInk, 2.5);
        });
    }

    // Toggles: a check circle and a house, each chosen or not.
    for (bool chosen : { true, false }) {
        add(chosen ? "toggleSelected.png" : "toggleDeselected.png", 28, 28, [=](cairo_t* cr, int, int) {
            circle(cr, 14, 14, 11);
            if (chosen) {
                fill(cr, kInk);
                cairo_move_to(cr, 8, 14);
                cairo_line_to(cr, 12.5, 18.5);
                cairo_line_to(cr, 20, 9.5);
                stroke(cr, { 1, 1, 1 }, 2.5);
            } else {
                stroke(cr, kGrey, 1.5);
            }
        });
        add(chosen ? "toggleHouseChecked.png" : "toggleHouseUnchecked.png", 28, 28, [=](cairo_t* cr, int, int) {
            cairo_move_to(cr, 4, 14);
            cairo_line_to(cr, 14, 5);
            cairo_line_to(cr, 24, 14);
            cairo_line_to(cr, 21, 14);
            cairo_line_to(cr, 21, 23);
            cairo_line_to(cr, 7, 23);
            cairo_line_to(cr, 7, 14);
            cairo_close_path(cr);
            if (chosen)
                fill(cr, kInk);
            else
                stroke(cr, kGrey, 1.5);
        });
    }

    // Toolbar and menu icons, 30 points square, drawn as line art.
    add("menuListMenu.png", 30, 30, [=](cairo_t* cr, int, int) {
        for (int i = 0; i < 3; ++i) {
            cairo_move_to(cr, 6, 9 + i * 6);
            cairo_line_to(cr, 24, 9 + i * 6);
        }
        stroke(cr, kInk, 2.5);
    });
    add("bookmarksListMenu.png", 30, 30, [=](cairo_t* cr, int, int) {
        cairo_move_to(cr, 9, 5);
        cairo_line_to(cr, 21, 5);
        cairo_line_to(cr, 21, 25);
        cairo_line_to(cr, 15, 20);
        cairo_line_to(cr, 9, 25);
        cairo_close_path(cr);
        stroke(cr, kInk, 2);
    });
    add("locationListMenu.png", 30, 30, [=](cairo_t* cr, int, int) {
        cairo_move_to(cr, 5, 14);
        cairo_line_to(cr, 25, 5);
        cairo_line_to(cr, 16, 25);
        cairo_line_to(cr, 14, 16);
        cairo_close_path(cr);
        stroke(cr, kInk, 2);
    });
    add("arListMenu.png", 30, 30, [=](cairo_t* cr, int, int) {
        cairo_rectangle(cr, 4, 9, 22, 15);
        cairo_move_to(cr, 11, 9);
        cairo_line_to(cr, 13, 5);
        cairo_line_to(cr, 17, 5);
        cairo_line_to(cr, 19, 9);
        stroke(cr, kInk, 2);
        circle(cr, 15, 16.5, 4.5);
        stroke(cr, kInk, 2);
    });
    add("settingsListMenu.png", 30, 30, [=](cairo_t* cr, int, int) {
        for (int i = 0; i < 8; ++i) {
            double a = i * M_PI / 4;
            cairo_move_to(cr, 15 + std::cos(a) * 7, 15 + std::sin(a) * 7);
            cairo_line_to(cr, 15 + std::cos(a) * 11, 15 + std::sin(a) * 11);
        }
        stroke(cr, kInk, 3);
        circle(cr, 15, 15, 7);
        stroke(cr, kInk, 2);
    });
    add("filterListMenu.png", 30, 30, [=](cairo_t* cr, int, int) {
        cairo_move_to(cr, 4, 6);
        cairo_line_to(cr, 26, 6);
        cairo_line_to(cr, 17, 16);
        cairo_line_to(cr, 17, 25);
        cairo_line_to(cr, 13, 22);
        cairo_line_to(cr, 13, 16);
        cairo_close_path(cr);
        stroke(cr, kInk, 2);
    });
    // The other rows of the main menu, and the "back soon" badge of the settings screen.
    add("alertsListMenu.png", 30, 30, [=](cairo_t* cr, int, int) {
        cairo_move_to(cr, 9, 22);
        cairo_curve_to(cr, 9, 10, 10, 6, 15, 6);
        cairo_curve_to(cr, 20, 6, 21, 10, 21, 22);
        cairo_close_path(cr);
        cairo_move_to(cr, 6, 22);
        cairo_line_to(cr, 24, 22);
        stroke(cr, kInk, 2);
        circle(cr, 15, 25, 2);
        fill(cr, kInk);
    });
    add("listViewListMenu.png", 30, 30, [=](cairo_t* cr, int, int) {
        for (int i = 0; i < 4; ++i) {
            cairo_move_to(cr, 5, 7 + i * 5.5);
            cairo_line_to(cr, 25, 7 + i * 5.5);
        }
        stroke(cr, kInk, 2);
    });
    add("aviationListMenu.png", 30, 30, [=](cairo_t* cr, int, int) {
        polygon(cr, { { 4, 7 }, { 11, 4 }, { 19, 7 }, { 26, 4 }, { 26, 23 }, { 19, 26 }, { 11, 23 }, { 4, 26 } });
        stroke(cr, kInk, 2);
        cairo_move_to(cr, 11, 4);
        cairo_line_to(cr, 11, 23);
        cairo_move_to(cr, 19, 7);
        cairo_line_to(cr, 19, 26);
        stroke(cr, kInk, 1.5);
    });
    add("forumListMenu.png", 30, 30, [=](cairo_t* cr, int, int) {
        polygon(cr, { { 4, 6 }, { 22, 6 }, { 22, 18 }, { 11, 18 }, { 6, 23 }, { 7, 18 }, { 4, 18 } });
        stroke(cr, kInk, 2);
        polygon(cr, { { 24, 10 }, { 27, 10 }, { 27, 22 }, { 25, 22 }, { 25, 26 }, { 21, 22 }, { 14, 22 } });
        stroke(cr, kInk, 1.5);
    });
    add("vxListMenu.png", 30, 30, [=](cairo_t* cr, int, int) {
        for (int row = 0; row < 2; ++row) {
            for (int col = 0; col < 2; ++col) {
                cairo_rectangle(cr, 5 + col * 11, 5 + row * 11, 9, 9);
            }
        }
        stroke(cr, kInk, 2);
    });
    // A "SOON" badge: white capitals on a red pill.
    add("backSoon.png", 44, 20, [=](cairo_t* cr, int, int) {
        cairo_new_sub_path(cr);
        cairo_arc(cr, 10, 10, 9, M_PI / 2, 3 * M_PI / 2);
        cairo_arc(cr, 34, 10, 9, -M_PI / 2, M_PI / 2);
        cairo_close_path(cr);
        fill(cr, { 0.86, 0.2, 0.16 });
        cairo_select_font_face(cr, "DejaVu Sans", CAIRO_FONT_SLANT_NORMAL, CAIRO_FONT_WEIGHT_BOLD);
        cairo_set_font_size(cr, 10);
        cairo_text_extents_t extents;
        cairo_text_extents(cr, "SOON", &extents);
        cairo_move_to(cr, 22 - extents.width / 2 - extents.x_bearing, 10 - extents.height / 2 - extents.y_bearing);
        cairo_set_source_rgb(cr, 1, 1, 1);
        cairo_show_text(cr, "SOON");
    });

    // Tour pictures: a plane over a numbered disc.
    for (int page = 1; page <= 7; ++page) {
        std::string name = "tour" + std::to_string(page) + ".png";
        add(name, 120, 120, [=](cairo_t* cr, int, int) {
            circle(cr, 60, 60, 54);
            fill(cr, { 0.93, 0.95, 0.98 });
            cairo_save(cr);
            cairo_translate(cr, 15, 15);
            cairo_scale(cr, 90, 90);
            silhouette(cr, kFamilies[7 + (page % 5)]);
            cairo_restore(cr);
            fill(cr, kInk);
            for (int dot = 0; dot < page; ++dot)
                circle(cr, 60 - (page - 1) * 5 + dot * 10, 108, 3);
            fill(cr, kGrey);
        });
    }
    DetailImages::addAll([&](const std::string& name, int width, int height, DetailImages::Drawing draw) {
        add(name, width, height, std::move(draw));
    });
    DataGridImages::addAll([&](const std::string& name, int width, int height, DataGridImages::Drawing draw) {
        add(name, width, height, std::move(draw));
    });

    // Filter and alert screens: badge, row buttons, slider parts, token pill, alert icon.
    auto pill = [](cairo_t* cr, double x, double y, double w, double h) {
        double r = h / 2;
        cairo_new_sub_path(cr);
        cairo_arc(cr, x + w - r, y + r, r, -M_PI / 2, M_PI / 2);
        cairo_arc(cr, x + r, y + r, r, M_PI / 2, 3 * M_PI / 2);
        cairo_close_path(cr);
    };
    add("badge.png", 14, 14, [=](cairo_t* cr, int, int) {
        pill(cr, 0, 0, 14, 14);
        fill(cr, { 0.86, 0.12, 0.12 });
    });
    add("deleteButton.png", 24, 24, [=](cairo_t* cr, int, int) {
        circle(cr, 12, 12, 11);
        fill(cr, { 0.86, 0.16, 0.16 });
        cairo_rectangle(cr, 6, 10.5, 12, 3);
        fill(cr, { 1, 1, 1 });
    });
    add("plusButton.png", 24, 24, [=](cairo_t* cr, int, int) {
        circle(cr, 12, 12, 11);
        fill(cr, { 0.18, 0.62, 0.25 });
        cairo_rectangle(cr, 6, 10.5, 12, 3);
        cairo_rectangle(cr, 10.5, 6, 3, 12);
        fill(cr, { 1, 1, 1 });
    });
    add("handle.png", 28, 28, [=](cairo_t* cr, int, int) {
        circle(cr, 14, 14, 12);
        fillAndStroke(cr, { 0.98, 0.98, 0.98 }, kGrey, 1.5);
    });
    add("sliderbar.png", 20, 20, [=](cairo_t* cr, int, int) {
        pill(cr, 1, 7, 18, 6);
        fill(cr, { 0.80, 0.80, 0.82 });
    });
    add("sliderbarfull.png", 20, 20, [=](cairo_t* cr, int, int) {
        pill(cr, 1, 7, 18, 6);
        fill(cr, kInk);
    });
    add("tokenButton.png", 40, 34, [=](cairo_t* cr, int, int) {
        pill(cr, 1, 1, 38, 32);
        fillAndStroke(cr, { 0.97, 0.97, 0.97 }, kGrey, 1);
    });

    // The AR screen: close and share buttons, the logo strip of shared pictures, and the AR
    // kit's radar screen and dot (in the kit's resource bundle).
    add("arCloseButton.png", 45, 45, [=](cairo_t* cr, int, int) {
        circle(cr, 22.5, 22.5, 20);
        cairo_set_source_rgba(cr, 0, 0, 0, 0.55);
        cairo_fill_preserve(cr);
        stroke(cr, { 1, 1, 1 }, 2);
        cairo_move_to(cr, 15, 15);
        cairo_line_to(cr, 30, 30);
        cairo_move_to(cr, 30, 15);
        cairo_line_to(cr, 15, 30);
        stroke(cr, { 1, 1, 1 }, 3);
    });
    add("arShareButton.png", 45, 45, [=](cairo_t* cr, int, int) {
        circle(cr, 22.5, 22.5, 20);
        cairo_set_source_rgba(cr, 0, 0, 0, 0.55);
        cairo_fill_preserve(cr);
        stroke(cr, { 1, 1, 1 }, 2);
        cairo_rectangle(cr, 15, 20, 15, 12);
        cairo_move_to(cr, 22.5, 10);
        cairo_line_to(cr, 22.5, 25);
        cairo_move_to(cr, 18, 14);
        cairo_line_to(cr, 22.5, 10);
        cairo_line_to(cr, 27, 14);
        stroke(cr, { 1, 1, 1 }, 2);
    });
    add("SkyLensKitResources.bundle/RadarScreen.png", 256, 256, [=](cairo_t* cr, int, int) {
        circle(cr, 128, 128, 126);
        cairo_set_source_rgba(cr, 0.02, 0.12, 0.06, 0.72);
        cairo_fill_preserve(cr);
        stroke(cr, { 0.35, 0.95, 0.5 }, 3);
        for (double r : { 40.0, 80.0 }) {
            circle(cr, 128, 128, r);
            stroke(cr, { 0.25, 0.7, 0.35 }, 1.5);
        }
        cairo_move_to(cr, 128, 4);
        cairo_line_to(cr, 128, 252);
        cairo_move_to(cr, 4, 128);
        cairo_line_to(cr, 252, 128);
        stroke(cr, { 0.25, 0.7, 0.35 }, 1);
        // The field of view, upwards.
        cairo_move_to(cr, 128, 128);
        cairo_line_to(cr, 90, 10);
        cairo_line_to(cr, 166, 10);
        cairo_close_path(cr);
        cairo_set_source_rgba(cr, 0.4, 1, 0.55, 0.18);
        cairo_fill(cr);
    });
    add("SkyLensKitResources.bundle/RadarDot.png", 10, 10, [=](cairo_t* cr, int, int) {
        circle(cr, 5, 5, 4);
        cairo_set_source_rgb(cr, 1, 0.85, 0.2);
        cairo_fill_preserve(cr);
        stroke(cr, { 0.3, 0.2, 0 }, 1);
    });
    return list;
}

const std::vector<Entry>& entryList()
{
    static const std::vector<Entry> list = entries();
    return list;
}

const Entry* findEntry(const std::string& name)
{
    static const std::map<std::string, const Entry*> index = [] {
        std::map<std::string, const Entry*> map;
        for (const auto& entry : entryList())
            map.emplace(entry.spec.fileName, &entry);
        return map;
    }();
    auto found = index.find(name);
    return found == index.end() ? nullptr : found->second;
}

cairo_surface_t* draw(const Entry& entry)
{
    cairo_surface_t* surface = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, entry.spec.width, entry.spec.height);
    cairo_t* cr = cairo_create(surface);
    entry.draw(cr, entry.spec.width, entry.spec.height);
    cairo_destroy(cr);
    cairo_surface_flush(surface);
    return surface;
}

} // namespace

namespace BundleImages {

std::vector<ImageSpec> allImages()
{
    std::vector<ImageSpec> specs;
    for (const auto& entry : entryList())
        specs.push_back(entry.spec);
    return specs;
}

std::vector<uint32_t> render(const ImageSpec& spec)
{
    const Entry* entry = findEntry(spec.fileName);
    if (!entry)
        return {};
    cairo_surface_t* surface = draw(*entry);
    int stride = cairo_image_surface_get_stride(surface);
    const unsigned char* data = cairo_image_surface_get_data(surface);
    std::vector<uint32_t> pixels(static_cast<size_t>(entry->spec.width) * entry->spec.height);
    for (int y = 0; y < entry->spec.height; ++y)
        std::memcpy(&pixels[static_cast<size_t>(y) * entry->spec.width], data + static_cast<size_t>(y) * stride,
            entry->spec.width * 4);
    cairo_surface_destroy(surface);
    return pixels;
}

bool writeAll(const std::string& directory, std::string& error)
{
    for (const auto& entry : entryList()) {
        cairo_surface_t* surface = draw(entry);
        std::string path = directory + "/" + entry.spec.fileName;
        // Images of nested bundles go into their folder.
        std::error_code ignored;
        std::filesystem::create_directories(std::filesystem::path(path).parent_path(), ignored);
        cairo_status_t status = cairo_surface_write_to_png(surface, path.c_str());
        cairo_surface_destroy(surface);
        if (status != CAIRO_STATUS_SUCCESS) {
            error = "cannot write " + path + ": " + cairo_status_to_string(status);
            return false;
        }
    }
    return true;
}

} // namespace BundleImages
