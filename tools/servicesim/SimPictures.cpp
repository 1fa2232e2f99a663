#include "servicesim/SimPictures.h"

#include <algorithm>
#include <cairo.h>
#include <cctype>
#include <cmath>
#include <cstdlib>
#include <tuple>

namespace SimPictures {

namespace {

struct Colour {
    double r, g, b;
};

Colour colourOf(uint32_t rgba)
{
    return { ((rgba >> 24) & 0xFF) / 255.0, ((rgba >> 16) & 0xFF) / 255.0, ((rgba >> 8) & 0xFF) / 255.0 };
}

uint32_t rgbaOf(Colour colour)
{
    auto byte = [](double value) { return static_cast<uint32_t>(std::lround(std::clamp(value, 0.0, 1.0) * 255)); };
    return byte(colour.r) << 24 | byte(colour.g) << 16 | byte(colour.b) << 8 | 0xFFu;
}

Colour mix(Colour a, Colour b, double t)
{
    return { a.r + (b.r - a.r) * t, a.g + (b.g - a.g) * t, a.b + (b.b - a.b) * t };
}

Colour scaled(Colour colour, double factor)
{
    return { std::min(1.0, colour.r * factor), std::min(1.0, colour.g * factor), std::min(1.0, colour.b * factor) };
}

Colour fromHsv(double hue, double saturation, double value)
{
    double h = std::fmod(hue, 360.0) / 60.0;
    double c = value * saturation, x = c * (1 - std::fabs(std::fmod(h, 2.0) - 1)), m = value - c;
    Colour base = h < 1 ? Colour { c, x, 0 }
        : h < 2         ? Colour { x, c, 0 }
        : h < 3         ? Colour { 0, c, x }
        : h < 4         ? Colour { 0, x, c }
        : h < 5         ? Colour { x, 0, c }
                        : Colour { c, 0, x };
    return { base.r + m, base.g + m, base.b + m };
}

double luminance(Colour colour)
{
    return 0.2126 * colour.r + 0.7152 * colour.g + 0.0722 * colour.b;
}

uint32_t hashOf(const std::string& text, uint32_t salt = 0)
{
    uint32_t hash = 2166136261u ^ salt;
    for (unsigned char c : text)
        hash = (hash ^ c) * 16777619u;
    return hash;
}

// A small deterministic source of numbers for a picture's variations.
class Dice {
public:
    explicit Dice(uint64_t seed)
        : m_state(seed)
    {
    }

    double unit() { return static_cast<double>(next() >> 11) / 9007199254740992.0; }
    double between(double low, double high) { return low + (high - low) * unit(); }
    int below(int count) { return static_cast<int>(next() % static_cast<uint64_t>(count)); }

private:
    uint64_t next()
    {
        uint64_t z = (m_state += 0x9E3779B97F4A7C15ull);
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
        return z ^ (z >> 31);
    }

    uint64_t m_state;
};

// A Cairo image surface and its context, read back as a bitmap.
class Canvas {
public:
    Canvas(int width, int height)
        : m_width(width)
        , m_height(height)
        , m_surface(cairo_image_surface_create(CAIRO_FORMAT_ARGB32, width, height))
        , m_cr(cairo_create(m_surface))
    {
        // Fixed font options, so text does not follow the desktop's settings.
        cairo_font_options_t* options = cairo_font_options_create();
        cairo_font_options_set_antialias(options, CAIRO_ANTIALIAS_GRAY);
        cairo_font_options_set_hint_style(options, CAIRO_HINT_STYLE_NONE);
        cairo_font_options_set_hint_metrics(options, CAIRO_HINT_METRICS_OFF);
        cairo_set_font_options(m_cr, options);
        cairo_font_options_destroy(options);
        cairo_select_font_face(m_cr, "DejaVu Sans", CAIRO_FONT_SLANT_NORMAL, CAIRO_FONT_WEIGHT_BOLD);
    }
    ~Canvas()
    {
        cairo_destroy(m_cr);
        cairo_surface_destroy(m_surface);
    }
    Canvas(const Canvas&) = delete;
    Canvas& operator=(const Canvas&) = delete;

    cairo_t* cr() const { return m_cr; }

    SimImages::Bitmap bitmap() const
    {
        cairo_surface_flush(m_surface);
        SimImages::Bitmap bitmap { m_width, m_height, {} };
        const unsigned char* data = cairo_image_surface_get_data(m_surface);
        if (!data) {
            // Cairo could not make the surface: a transparent picture of the asked size.
            bitmap.pixels.assign(static_cast<size_t>(m_width) * m_height, 0);
            return bitmap;
        }
        bitmap.pixels.reserve(static_cast<size_t>(bitmap.width) * bitmap.height);
        int stride = cairo_image_surface_get_stride(m_surface);
        for (int y = 0; y < bitmap.height; ++y) {
            const auto* row = reinterpret_cast<const uint32_t*>(data + static_cast<ptrdiff_t>(y) * stride);
            for (int x = 0; x < bitmap.width; ++x) {
                // Cairo keeps premultiplied 0xAARRGGBB words.
                uint32_t pixel = row[x], alpha = pixel >> 24;
                if (alpha == 0xFF) {
                    bitmap.pixels.push_back(pixel << 8 | 0xFF);
                    continue;
                }
                if (alpha == 0) {
                    bitmap.pixels.push_back(0);
                    continue;
                }
                auto straight = [&](int shift) { return (((pixel >> shift) & 0xFF) * 255 + alpha / 2) / alpha; };
                bitmap.pixels.push_back(straight(16) << 24 | straight(8) << 16 | straight(0) << 8 | alpha);
            }
        }
        return bitmap;
    }

private:
    int m_width;
    int m_height;
    cairo_surface_t* m_surface;
    cairo_t* m_cr;
};

void setColour(cairo_t* cr, Colour colour, double alpha = 1)
{
    cairo_set_source_rgba(cr, colour.r, colour.g, colour.b, alpha);
}

void polygon(cairo_t* cr, std::initializer_list<std::pair<double, double>> points)
{
    bool first = true;
    for (auto [x, y] : points) {
        if (first)
            cairo_move_to(cr, x, y);
        else
            cairo_line_to(cr, x, y);
        first = false;
    }
    cairo_close_path(cr);
}

// Adds an ellipse centred on (x, y) with radii rx and ry to the path.
void ellipse(cairo_t* cr, double x, double y, double rx, double ry)
{
    cairo_save(cr);
    cairo_translate(cr, x, y);
    cairo_scale(cr, rx, ry);
    cairo_arc(cr, 0, 0, 1, 0, 2 * M_PI);
    cairo_restore(cr);
}

void roundedRectangle(cairo_t* cr, double x, double y, double width, double height, double radius)
{
    cairo_new_sub_path(cr);
    cairo_arc(cr, x + width - radius, y + radius, radius, -M_PI / 2, 0);
    cairo_arc(cr, x + width - radius, y + height - radius, radius, 0, M_PI / 2);
    cairo_arc(cr, x + radius, y + height - radius, radius, M_PI / 2, M_PI);
    cairo_arc(cr, x + radius, y + radius, radius, M_PI, 3 * M_PI / 2);
    cairo_close_path(cr);
}

// A vertical gradient between two colours over [top, bottom], as the current source.
void verticalGradient(cairo_t* cr, double top, double bottom, Colour from, Colour to)
{
    cairo_pattern_t* pattern = cairo_pattern_create_linear(0, top, 0, bottom);
    cairo_pattern_add_color_stop_rgb(pattern, 0, from.r, from.g, from.b);
    cairo_pattern_add_color_stop_rgb(pattern, 1, to.r, to.g, to.b);
    cairo_set_source(cr, pattern);
    cairo_pattern_destroy(pattern);
}

// Fills `text` in the current font and source, centred on (x, y) with capitals `capHeight`
// high, made smaller when it would be wider than `maxWidth`. `mirrored` undoes a mirrored
// transformation, so the letters read the right way round. The letters are measured at about
// their final size: FreeType fails on fonts tens of thousands of pixels high, and the font then
// stays broken for the whole process.
void centredText(
    cairo_t* cr, const std::string& text, double x, double y, double capHeight, double maxWidth, bool mirrored = false)
{
    if (text.empty())
        return;
    cairo_save(cr);
    cairo_translate(cr, x, y);
    if (mirrored)
        cairo_scale(cr, -1, 1);
    double size = capHeight / 0.73;
    cairo_set_font_size(cr, size);
    cairo_text_extents_t capital, extents;
    cairo_text_extents(cr, "H", &capital);
    cairo_text_extents(cr, text.c_str(), &extents);
    double scale = capital.y_bearing < 0 ? capHeight / -capital.y_bearing : 1;
    if (extents.width * scale > maxWidth)
        scale = maxWidth / extents.width;
    cairo_set_font_size(cr, size * scale);
    cairo_move_to(cr, -(extents.x_bearing + extents.width / 2) * scale, -capital.y_bearing * scale / 2);
    cairo_text_path(cr, text.c_str());
    cairo_fill(cr);
    cairo_restore(cr);
}

// ----- The airliner -----

// How a drawing is posed: facing left or right, and for an airliner whether its wheels are down.
struct DrawingStyle {
    bool mirrored = false; // facing left
    bool gearDown = false;
};

// The fuselage outline in the airliner's frame: length 1 from the tail (x 0) to the nose (x 1),
// the centre line at y 0, y down, 0.1 across.
void fuselagePath(cairo_t* cr)
{
    cairo_move_to(cr, 0.0, -0.032);
    cairo_line_to(cr, 0.03, -0.048);
    cairo_line_to(cr, 0.86, -0.050);
    cairo_curve_to(cr, 0.93, -0.050, 0.985, -0.030, 1.0, 0.004);
    cairo_curve_to(cr, 1.0, 0.030, 0.96, 0.050, 0.90, 0.050);
    cairo_line_to(cr, 0.26, 0.050);
    cairo_curve_to(cr, 0.16, 0.050, 0.06, 0.012, 0.0, -0.016);
    cairo_close_path(cr);
}

// An engine nacelle from `rear` to `front` around the centre line `y`, `radius` at the intake.
void drawEngine(cairo_t* cr, double rear, double front, double y, double radius, Colour colour)
{
    cairo_move_to(cr, front, y - radius);
    cairo_curve_to(cr, front - (front - rear) * 0.5, y - radius * 1.08, rear + (front - rear) * 0.25, y - radius * 0.9,
        rear, y - radius * 0.55);
    cairo_line_to(cr, rear - radius * 0.5, y);
    cairo_line_to(cr, rear, y + radius * 0.55);
    cairo_curve_to(cr, rear + (front - rear) * 0.25, y + radius * 0.9, front - (front - rear) * 0.5, y + radius * 1.08,
        front, y + radius);
    cairo_close_path(cr);
    cairo_pattern_t* shade = cairo_pattern_create_linear(0, y - radius, 0, y + radius);
    cairo_pattern_add_color_stop_rgb(shade, 0, colour.r, colour.g, colour.b);
    Colour dark = scaled(colour, 0.62);
    cairo_pattern_add_color_stop_rgb(shade, 1, dark.r, dark.g, dark.b);
    cairo_set_source(cr, shade);
    cairo_fill(cr);
    cairo_pattern_destroy(shade);
    // The intake: a lip and the dark fan behind it.
    ellipse(cr, front, y, radius * 0.32, radius);
    setColour(cr, scaled(colour, 1.1));
    cairo_fill(cr);
    ellipse(cr, front - radius * 0.04, y, radius * 0.24, radius * 0.78);
    setColour(cr, { 0.13, 0.14, 0.16 });
    cairo_fill(cr);
}

void drawWheel(cairo_t* cr, double x, double y, double radius)
{
    cairo_arc(cr, x, y, radius, 0, 2 * M_PI);
    setColour(cr, { 0.12, 0.12, 0.13 });
    cairo_fill(cr);
    cairo_arc(cr, x, y, radius * 0.45, 0, 2 * M_PI);
    setColour(cr, { 0.55, 0.56, 0.58 });
    cairo_fill(cr);
}

void drawGearLeg(cairo_t* cr, double x, double top, double bottom)
{
    cairo_set_line_width(cr, 0.008);
    setColour(cr, { 0.42, 0.43, 0.46 });
    cairo_move_to(cr, x, top);
    cairo_line_to(cr, x, bottom);
    cairo_stroke(cr);
}

// Draws the airliner in its frame (see fuselagePath), seen from the side and a little above:
// the far wing and stabiliser show above the fuselage, the near ones below it.
void drawAirliner(cairo_t* cr, const Livery& livery, const AircraftLook& look, const DrawingStyle& style)
{
    Colour primary = colourOf(livery.primary), accent = colourOf(livery.accent), body = colourOf(livery.body);
    Colour wing = mix(body, { 0.72, 0.74, 0.78 }, 0.45);
    uint32_t pattern = hashOf(look.airlineCode.empty() ? look.registration : look.airlineCode, 3) % 2;
    cairo_set_line_join(cr, CAIRO_LINE_JOIN_ROUND);

    // Far side: wing, engine and stabiliser, in shade.
    setColour(cr, scaled(wing, 0.78));
    polygon(cr, { { 0.56, -0.035 }, { 0.415, -0.12 }, { 0.38, -0.122 }, { 0.43, -0.035 } });
    cairo_fill(cr);
    if (look.engines >= 4)
        drawEngine(cr, 0.405, 0.475, -0.095, 0.014, scaled(wing, 0.8));
    drawEngine(cr, 0.455, 0.53, -0.062, 0.017, scaled(wing, 0.8));
    setColour(cr, scaled(wing, 0.78));
    polygon(cr, { { 0.17, -0.035 }, { 0.085, -0.085 }, { 0.06, -0.086 }, { 0.085, -0.035 } });
    cairo_fill(cr);

    // The fin in the airline's colour, its tip in the accent and the code on it.
    auto fin = [cr] { polygon(cr, { { 0.215, -0.046 }, { 0.088, -0.252 }, { 0.036, -0.252 }, { 0.004, -0.034 } }); };
    fin();
    setColour(cr, primary);
    cairo_fill_preserve(cr);
    cairo_save(cr);
    cairo_clip(cr);
    setColour(cr, accent);
    polygon(cr, { { 0.0, -0.232 }, { 0.2, -0.226 }, { 0.2, -0.3 }, { 0.0, -0.3 } });
    cairo_fill(cr);
    cairo_restore(cr);
    setColour(cr, { 1, 1, 1 });
    centredText(cr, look.airlineCode, 0.084, -0.152, 0.034, 0.098, style.mirrored);

    // Fuselage: shaded like a cylinder lit from above.
    fuselagePath(cr);
    cairo_pattern_t* shade = cairo_pattern_create_linear(0, -0.05, 0, 0.05);
    Colour top = scaled(body, 1.0), side = scaled(body, 0.93), bottom = scaled(body, 0.66);
    cairo_pattern_add_color_stop_rgb(shade, 0, top.r, top.g, top.b);
    cairo_pattern_add_color_stop_rgb(shade, 0.55, side.r, side.g, side.b);
    cairo_pattern_add_color_stop_rgb(shade, 1, bottom.r, bottom.g, bottom.b);
    cairo_set_source(cr, shade);
    cairo_fill_preserve(cr);
    cairo_pattern_destroy(shade);
    cairo_save(cr);
    cairo_clip(cr);
    Colour registrationColour = { 0.2, 0.22, 0.26 };
    if (pattern == 0) {
        // A belly in the airline's colour under an accent line.
        verticalGradient(cr, 0.02, 0.05, primary, scaled(primary, 0.7));
        cairo_rectangle(cr, -0.1, 0.022, 1.2, 0.1);
        cairo_fill(cr);
        setColour(cr, accent);
        cairo_rectangle(cr, -0.1, 0.014, 1.2, 0.006);
        cairo_fill(cr);
    } else {
        // A cheat line along the windows that sweeps up over the tail.
        setColour(cr, primary);
        cairo_move_to(cr, 1.1, 0.006);
        cairo_line_to(cr, 0.34, 0.006);
        cairo_curve_to(cr, 0.27, 0.006, 0.24, -0.06, 0.2, -0.07);
        cairo_line_to(cr, -0.1, -0.07);
        cairo_line_to(cr, -0.1, 0.1);
        cairo_line_to(cr, 0.3, 0.1);
        cairo_curve_to(cr, 0.3, 0.03, 0.32, 0.02, 0.36, 0.02);
        cairo_line_to(cr, 1.1, 0.02);
        cairo_close_path(cr);
        cairo_fill(cr);
        setColour(cr, accent);
        cairo_rectangle(cr, 0.36, 0.022, 0.8, 0.005);
        cairo_fill(cr);
        registrationColour = { 1, 1, 1 };
    }
    cairo_restore(cr);
    fuselagePath(cr);
    cairo_set_line_width(cr, 0.0025);
    setColour(cr, scaled(body, 0.55), 0.6);
    cairo_stroke(cr);

    // Windows, doors, the cockpit, the airline's code and the registration.
    setColour(cr, { 0.16, 0.2, 0.27 });
    for (double x = 0.245; x < 0.855; x += 0.0155) {
        roundedRectangle(cr, x, -0.021, 0.0068, 0.011, 0.0025);
        cairo_fill(cr);
    }
    cairo_set_line_width(cr, 0.0018);
    setColour(cr, scaled(body, 0.6));
    for (double x : { 0.213, 0.868 }) {
        roundedRectangle(cr, x, -0.038, 0.018, 0.056, 0.004);
        cairo_stroke(cr);
    }
    setColour(cr, { 0.1, 0.12, 0.16 });
    polygon(cr, { { 0.915, -0.031 }, { 0.951, -0.033 }, { 0.97, -0.02 }, { 0.919, -0.019 } });
    cairo_fill(cr);
    setColour(cr, primary);
    centredText(cr, look.airlineCode, 0.6, -0.036, 0.016, 0.2, style.mirrored);
    setColour(cr, registrationColour);
    centredText(cr, look.registration, 0.135, -0.016, 0.011, 0.1, style.mirrored);

    // Near stabiliser.
    verticalGradient(cr, 0.0, 0.06, wing, scaled(wing, 0.8));
    polygon(cr, { { 0.175, 0.004 }, { 0.08, 0.062 }, { 0.05, 0.063 }, { 0.078, 0.004 } });
    cairo_fill(cr);

    // Near wing with its flap line and winglet.
    verticalGradient(cr, 0.03, 0.18, wing, scaled(wing, 0.82));
    polygon(cr, { { 0.575, 0.028 }, { 0.35, 0.176 }, { 0.31, 0.179 }, { 0.4, 0.04 } });
    cairo_fill(cr);
    cairo_set_line_width(cr, 0.0022);
    setColour(cr, scaled(wing, 0.62));
    cairo_move_to(cr, 0.425, 0.044);
    cairo_line_to(cr, 0.33, 0.172);
    cairo_stroke(cr);
    setColour(cr, primary);
    polygon(cr, { { 0.352, 0.177 }, { 0.312, 0.18 }, { 0.296, 0.138 }, { 0.312, 0.14 } });
    cairo_fill(cr);

    // Landing gear: the nose leg, and the near main leg between the wing root and the engine.
    if (style.gearDown) {
        drawGearLeg(cr, 0.885, 0.04, 0.1);
        drawWheel(cr, 0.885, 0.104, 0.014);
        drawGearLeg(cr, 0.405, 0.045, 0.118);
        drawWheel(cr, 0.39, 0.124, 0.017);
        drawWheel(cr, 0.422, 0.124, 0.017);
    }

    // Near engines hanging under the wing.
    if (look.engines >= 4)
        drawEngine(cr, 0.365, 0.46, 0.135, 0.022, wing);
    drawEngine(cr, 0.455, 0.575, 0.085, 0.027, wing);
}

// Draws a single-engine light aircraft in the same frame as the airliner: a propeller in the
// nose, a cabin with side windows, a straight low wing and fixed wheels.
void drawLightAircraft(cairo_t* cr, const Livery& livery, const AircraftLook& look, const DrawingStyle& style)
{
    Colour primary = colourOf(livery.primary), accent = colourOf(livery.accent), body = colourOf(livery.body);
    cairo_set_line_join(cr, CAIRO_LINE_JOIN_ROUND);

    // Far stabiliser, then the fin.
    setColour(cr, scaled(body, 0.72));
    polygon(cr, { { 0.13, -0.03 }, { 0.05, -0.08 }, { 0.02, -0.08 }, { 0.03, -0.03 } });
    cairo_fill(cr);
    polygon(cr, { { 0.17, -0.04 }, { 0.07, -0.2 }, { 0.015, -0.2 }, { 0.0, -0.03 } });
    setColour(cr, primary);
    cairo_fill(cr);
    setColour(cr, { 1, 1, 1 });
    centredText(cr, look.airlineCode, 0.07, -0.13, 0.03, 0.08, style.mirrored);

    auto fuselage = [cr] {
        cairo_move_to(cr, 0.0, -0.035);
        cairo_line_to(cr, 0.44, -0.058);
        cairo_curve_to(cr, 0.48, -0.09, 0.52, -0.104, 0.58, -0.106);
        cairo_line_to(cr, 0.68, -0.106);
        cairo_curve_to(cr, 0.73, -0.1, 0.77, -0.072, 0.8, -0.06);
        cairo_line_to(cr, 0.93, -0.05);
        cairo_curve_to(cr, 0.962, -0.047, 0.972, -0.022, 0.972, 0.0);
        cairo_curve_to(cr, 0.972, 0.03, 0.95, 0.046, 0.9, 0.052);
        cairo_line_to(cr, 0.55, 0.06);
        cairo_curve_to(cr, 0.3, 0.052, 0.1, 0.022, 0.0, 0.004);
        cairo_close_path(cr);
    };
    fuselage();
    cairo_pattern_t* shade = cairo_pattern_create_linear(0, -0.1, 0, 0.06);
    Colour top = body, bottom = scaled(body, 0.68);
    cairo_pattern_add_color_stop_rgb(shade, 0, top.r, top.g, top.b);
    cairo_pattern_add_color_stop_rgb(shade, 1, bottom.r, bottom.g, bottom.b);
    cairo_set_source(cr, shade);
    cairo_fill_preserve(cr);
    cairo_pattern_destroy(shade);
    cairo_save(cr);
    cairo_clip(cr);
    setColour(cr, primary);
    cairo_rectangle(cr, -0.1, 0.006, 1.2, 0.018);
    cairo_fill(cr);
    setColour(cr, accent);
    cairo_rectangle(cr, -0.1, 0.026, 1.2, 0.006);
    cairo_fill(cr);
    cairo_restore(cr);
    fuselage();
    cairo_set_line_width(cr, 0.0025);
    setColour(cr, scaled(body, 0.55), 0.6);
    cairo_stroke(cr);

    // Cabin windows and the registration along the rear fuselage.
    setColour(cr, { 0.16, 0.2, 0.27 });
    polygon(cr, { { 0.515, -0.088 }, { 0.6, -0.097 }, { 0.6, -0.06 }, { 0.5, -0.058 } });
    cairo_fill(cr);
    polygon(cr, { { 0.62, -0.097 }, { 0.69, -0.097 }, { 0.765, -0.064 }, { 0.62, -0.06 } });
    cairo_fill(cr);
    setColour(cr, { 0.2, 0.22, 0.26 });
    centredText(cr, look.registration, 0.27, -0.02, 0.026, 0.3, style.mirrored);

    // The nose: spinner and the blur of the turning propeller.
    setColour(cr, primary);
    cairo_move_to(cr, 0.968, -0.022);
    cairo_curve_to(cr, 0.99, -0.02, 1.0, -0.006, 1.003, 0.0);
    cairo_curve_to(cr, 1.0, 0.006, 0.99, 0.02, 0.968, 0.022);
    cairo_close_path(cr);
    cairo_fill(cr);
    ellipse(cr, 0.985, 0.0, 0.012, 0.15);
    setColour(cr, { 0.3, 0.32, 0.35 }, 0.28);
    cairo_fill(cr);
    cairo_set_line_width(cr, 0.01);
    setColour(cr, { 0.18, 0.18, 0.2 }, 0.7);
    cairo_move_to(cr, 0.983, -0.13);
    cairo_line_to(cr, 0.987, 0.13);
    cairo_stroke(cr);

    // Near stabiliser, the wheels and the wing with its coloured tip.
    setColour(cr, scaled(body, 0.85));
    polygon(cr, { { 0.13, 0.005 }, { 0.04, 0.055 }, { 0.01, 0.055 }, { 0.02, 0.008 } });
    cairo_fill(cr);
    Colour wing = mix(body, { 0.75, 0.77, 0.8 }, 0.3);
    verticalGradient(cr, 0.04, 0.16, wing, scaled(wing, 0.82));
    polygon(cr, { { 0.665, 0.045 }, { 0.61, 0.15 }, { 0.47, 0.156 }, { 0.52, 0.052 } });
    cairo_fill(cr);
    setColour(cr, primary);
    polygon(cr, { { 0.618, 0.135 }, { 0.61, 0.15 }, { 0.47, 0.156 }, { 0.478, 0.14 } });
    cairo_fill(cr);
    cairo_set_line_width(cr, 0.003);
    setColour(cr, scaled(wing, 0.65));
    cairo_move_to(cr, 0.55, 0.052);
    cairo_line_to(cr, 0.505, 0.14);
    cairo_stroke(cr);
    drawGearLeg(cr, 0.9, 0.045, 0.105);
    drawWheel(cr, 0.9, 0.112, 0.02);
    drawGearLeg(cr, 0.57, 0.09, 0.165);
    drawWheel(cr, 0.57, 0.172, 0.024);
}

// Draws a light helicopter in the same frame: a glazed cabin, a tail boom with its rotor, the
// blur of the main rotor above and a pair of skids.
void drawHelicopter(cairo_t* cr, const Livery& livery, const AircraftLook& look, const DrawingStyle& style)
{
    Colour primary = colourOf(livery.primary), accent = colourOf(livery.accent), body = colourOf(livery.body);
    cairo_set_line_join(cr, CAIRO_LINE_JOIN_ROUND);
    cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);

    // Skids on the far side, then the tail boom, fin and tail rotor.
    cairo_set_line_width(cr, 0.012);
    setColour(cr, { 0.32, 0.33, 0.36 });
    cairo_move_to(cr, 0.44, 0.15);
    cairo_line_to(cr, 0.86, 0.15);
    cairo_curve_to(cr, 0.9, 0.15, 0.92, 0.14, 0.93, 0.125);
    cairo_stroke(cr);
    verticalGradient(cr, -0.06, 0.03, body, scaled(body, 0.7));
    polygon(cr, { { 0.5, -0.07 }, { 0.5, 0.03 }, { 0.06, -0.01 }, { 0.06, -0.035 } });
    cairo_fill(cr);
    setColour(cr, primary);
    polygon(cr, { { 0.13, -0.03 }, { 0.04, -0.16 }, { 0.0, -0.16 }, { 0.02, 0.03 }, { 0.08, 0.03 } });
    cairo_fill(cr);
    setColour(cr, accent);
    polygon(cr, { { 0.22, -0.028 }, { 0.17, -0.028 }, { 0.15, 0.035 }, { 0.2, 0.035 } });
    cairo_fill(cr);
    cairo_arc(cr, 0.03, -0.05, 0.07, 0, 2 * M_PI);
    setColour(cr, { 0.3, 0.32, 0.35 }, 0.25);
    cairo_fill(cr);

    // The cabin, its lower half in the operator's colour, and the glazing.
    auto cabin = [cr] {
        cairo_move_to(cr, 0.42, -0.1);
        cairo_curve_to(cr, 0.7, -0.17, 0.96, -0.12, 1.0, -0.01);
        cairo_curve_to(cr, 1.01, 0.07, 0.9, 0.11, 0.66, 0.11);
        cairo_curve_to(cr, 0.5, 0.11, 0.4, 0.07, 0.4, 0.0);
        cairo_close_path(cr);
    };
    cabin();
    verticalGradient(cr, -0.15, 0.11, body, scaled(body, 0.7));
    cairo_fill_preserve(cr);
    cairo_save(cr);
    cairo_clip(cr);
    setColour(cr, primary);
    cairo_rectangle(cr, 0.3, 0.025, 0.8, 0.1);
    cairo_fill(cr);
    setColour(cr, scaled(primary, 0.7));
    cairo_rectangle(cr, 0.3, 0.09, 0.8, 0.03);
    cairo_fill(cr);
    setColour(cr, { 0.14, 0.2, 0.3 });
    cairo_move_to(cr, 0.74, -0.135);
    cairo_curve_to(cr, 0.9, -0.12, 1.0, -0.06, 1.02, 0.02);
    cairo_line_to(cr, 0.8, 0.02);
    cairo_close_path(cr);
    cairo_fill(cr);
    polygon(cr, { { 0.56, -0.125 }, { 0.71, -0.135 }, { 0.77, 0.015 }, { 0.58, 0.015 } });
    cairo_fill(cr);
    cairo_restore(cr);
    setColour(cr, { 1, 1, 1 }, 0.25);
    polygon(cr, { { 0.8, -0.11 }, { 0.86, -0.11 }, { 0.82, -0.02 }, { 0.79, -0.02 } });
    cairo_fill(cr);
    setColour(cr, { 0.2, 0.22, 0.26 });
    centredText(cr, look.registration, 0.3, -0.05, 0.022, 0.2, style.mirrored);
    setColour(cr, { 1, 1, 1 });
    centredText(cr, look.airlineCode, 0.68, 0.065, 0.028, 0.2, style.mirrored);

    // Engine fairing, mast and the main rotor's blur.
    verticalGradient(cr, -0.2, -0.12, body, scaled(body, 0.8));
    polygon(cr, { { 0.46, -0.11 }, { 0.52, -0.16 }, { 0.72, -0.165 }, { 0.78, -0.14 }, { 0.76, -0.12 } });
    cairo_fill(cr);
    cairo_set_line_width(cr, 0.018);
    setColour(cr, { 0.3, 0.31, 0.34 });
    cairo_move_to(cr, 0.62, -0.16);
    cairo_line_to(cr, 0.62, -0.205);
    cairo_stroke(cr);
    ellipse(cr, 0.62, -0.21, 0.46, 0.028);
    setColour(cr, { 0.3, 0.32, 0.35 }, 0.22);
    cairo_fill(cr);
    cairo_set_line_width(cr, 0.008);
    setColour(cr, { 0.15, 0.15, 0.17 }, 0.8);
    cairo_move_to(cr, 0.2, -0.2);
    cairo_line_to(cr, 1.04, -0.22);
    cairo_stroke(cr);

    // Near skid and its legs.
    cairo_set_line_width(cr, 0.014);
    setColour(cr, { 0.38, 0.39, 0.42 });
    cairo_move_to(cr, 0.52, 0.1);
    cairo_line_to(cr, 0.5, 0.175);
    cairo_move_to(cr, 0.8, 0.1);
    cairo_line_to(cr, 0.82, 0.175);
    cairo_move_to(cr, 0.4, 0.175);
    cairo_line_to(cr, 0.88, 0.175);
    cairo_curve_to(cr, 0.92, 0.175, 0.945, 0.16, 0.955, 0.14);
    cairo_stroke(cr);
}

void drawAircraft(cairo_t* cr, const Livery& livery, const AircraftLook& look, const DrawingStyle& style)
{
    switch (look.shape) {
    case AircraftShape::LightAircraft:
        drawLightAircraft(cr, livery, look, style);
        return;
    case AircraftShape::Helicopter:
        drawHelicopter(cr, livery, look, style);
        return;
    case AircraftShape::Airliner:
        break;
    }
    drawAirliner(cr, livery, look, style);
}

// ----- The photo's scene -----

enum class Light { Day, Golden, Dusk, Overcast };

struct SceneColours {
    Colour skyTop, skyMiddle, skyHorizon;
    Colour cloud;
    double cloudAlpha;
    Colour hills, fieldsNear, fieldsFar;
    Colour tint; // cast over the aircraft
    double tintAlpha;
};

SceneColours sceneColours(Light light)
{
    switch (light) {
    case Light::Day:
        return { { 0.13, 0.36, 0.74 }, { 0.34, 0.58, 0.88 }, { 0.72, 0.84, 0.95 }, { 1, 1, 1 }, 0.9,
            { 0.47, 0.58, 0.66 }, { 0.27, 0.43, 0.19 }, { 0.42, 0.56, 0.36 }, { 1, 1, 1 }, 0 };
    case Light::Golden:
        return { { 0.2, 0.3, 0.56 }, { 0.62, 0.58, 0.62 }, { 0.99, 0.78, 0.5 }, { 1, 0.9, 0.78 }, 0.85,
            { 0.55, 0.46, 0.5 }, { 0.36, 0.36, 0.18 }, { 0.6, 0.52, 0.36 }, { 1, 0.72, 0.4 }, 0.14 };
    case Light::Dusk:
        return { { 0.07, 0.08, 0.24 }, { 0.42, 0.26, 0.45 }, { 0.96, 0.5, 0.32 }, { 0.95, 0.62, 0.6 }, 0.55,
            { 0.24, 0.18, 0.3 }, { 0.1, 0.1, 0.13 }, { 0.22, 0.18, 0.24 }, { 0.55, 0.3, 0.45 }, 0.15 };
    case Light::Overcast:
        break;
    }
    return { { 0.46, 0.52, 0.6 }, { 0.62, 0.67, 0.73 }, { 0.8, 0.83, 0.86 }, { 0.93, 0.94, 0.96 }, 0.8,
        { 0.52, 0.57, 0.6 }, { 0.3, 0.38, 0.28 }, { 0.46, 0.52, 0.45 }, { 0.6, 0.64, 0.7 }, 0.1 };
}

void drawCloud(cairo_t* cr, Dice& dice, double x, double y, double width, Colour colour, double alpha)
{
    int puffs = 5 + dice.below(4);
    for (int i = 0; i < puffs; ++i) {
        double px = x + dice.between(-0.5, 0.5) * width;
        double py = y + dice.between(-0.12, 0.08) * width;
        double radius = width * dice.between(0.14, 0.3) * (1 - std::fabs(px - x) / width);
        cairo_pattern_t* puff = cairo_pattern_create_radial(px, py - radius * 0.3, 0, px, py, radius);
        cairo_pattern_add_color_stop_rgba(puff, 0, colour.r, colour.g, colour.b, alpha);
        cairo_pattern_add_color_stop_rgba(puff, 0.6, colour.r, colour.g, colour.b, alpha * 0.75);
        cairo_pattern_add_color_stop_rgba(puff, 1, colour.r, colour.g, colour.b, 0);
        cairo_set_source(cr, puff);
        cairo_arc(cr, px, py, radius, 0, 2 * M_PI);
        cairo_fill(cr);
        cairo_pattern_destroy(puff);
    }
}

void drawScene(cairo_t* cr, Dice& dice, Light light, double width, double height, double horizon)
{
    SceneColours colours = sceneColours(light);
    cairo_pattern_t* sky = cairo_pattern_create_linear(0, 0, 0, horizon);
    cairo_pattern_add_color_stop_rgb(sky, 0, colours.skyTop.r, colours.skyTop.g, colours.skyTop.b);
    cairo_pattern_add_color_stop_rgb(sky, 0.6, colours.skyMiddle.r, colours.skyMiddle.g, colours.skyMiddle.b);
    cairo_pattern_add_color_stop_rgb(sky, 1, colours.skyHorizon.r, colours.skyHorizon.g, colours.skyHorizon.b);
    cairo_rectangle(cr, 0, 0, width, horizon);
    cairo_set_source(cr, sky);
    cairo_fill(cr);
    cairo_pattern_destroy(sky);

    // The sun low over the horizon in the morning and evening light.
    if (light == Light::Golden || light == Light::Dusk) {
        double sunX = width * dice.between(0.1, 0.9);
        double sunY = horizon - height * (light == Light::Golden ? 0.1 : 0.01);
        cairo_pattern_t* glow = cairo_pattern_create_radial(sunX, sunY, 0, sunX, sunY, height * 0.45);
        cairo_pattern_add_color_stop_rgba(glow, 0, 1, 0.95, 0.8, light == Light::Golden ? 0.85 : 0.6);
        cairo_pattern_add_color_stop_rgba(glow, 0.12, 1, 0.85, 0.55, 0.5);
        cairo_pattern_add_color_stop_rgba(glow, 1, 1, 0.7, 0.4, 0);
        cairo_set_source(cr, glow);
        cairo_rectangle(cr, 0, 0, width, horizon);
        cairo_fill(cr);
        cairo_pattern_destroy(glow);
        if (light == Light::Golden) {
            cairo_arc(cr, sunX, sunY, height * 0.035, 0, 2 * M_PI);
            setColour(cr, { 1, 0.97, 0.88 });
            cairo_fill(cr);
        }
    }

    int clouds = (light == Light::Overcast ? 9 : 3) + dice.below(4);
    for (int i = 0; i < clouds; ++i) {
        double y = horizon * dice.between(0.08, 0.85);
        // Clouds near the horizon are farther away, so smaller and flatter.
        double depth = y / horizon;
        double cloudWidth = width * dice.between(0.12, 0.3) * (1.3 - 0.7 * depth);
        cairo_save(cr);
        cairo_translate(cr, 0, y);
        cairo_scale(cr, 1, 0.75 - 0.3 * depth);
        drawCloud(cr, dice, width * dice.between(-0.05, 1.05), 0, cloudWidth, colours.cloud,
            colours.cloudAlpha * (0.6 + 0.4 * dice.unit()));
        cairo_restore(cr);
    }

    // Distant hills, then fields in strips that widen towards the viewer.
    setColour(cr, colours.hills);
    cairo_move_to(cr, 0, horizon + 2);
    double phase = dice.between(0, 2 * M_PI), wave = dice.between(2.5, 5.5);
    for (double x = 0; x <= width + 8; x += 8) {
        double rise = std::sin(x / width * wave + phase) * 0.5 + std::sin(x / width * wave * 2.7 + phase * 1.7) * 0.3;
        cairo_line_to(cr, x, horizon - height * 0.012 - height * 0.018 * (rise + 0.8));
    }
    cairo_line_to(cr, width, horizon + 2);
    cairo_close_path(cr);
    cairo_fill(cr);
    verticalGradient(cr, horizon, height, colours.fieldsFar, colours.fieldsNear);
    cairo_rectangle(cr, 0, horizon, width, height - horizon);
    cairo_fill(cr);
    double y = horizon;
    double strip = (height - horizon) * 0.04;
    while (y < height) {
        double next = y + strip;
        double shade = dice.between(-0.05, 0.05);
        Colour field
            = scaled(mix(colours.fieldsFar, colours.fieldsNear, (y - horizon) / (height - horizon)), 1 + shade);
        // Each strip is cut into fields of a few shades by slanting hedges.
        double x = -dice.between(0, width * 0.2);
        while (x < width) {
            double fieldWidth = width * dice.between(0.08, 0.3) * (0.5 + (y - horizon) / (height - horizon));
            double slant = (x - width / 2) * (next - y) / (height - horizon) * 1.5;
            setColour(cr, scaled(field, 1 + dice.between(-0.08, 0.08)));
            polygon(cr, { { x, y }, { x + fieldWidth, y }, { x + fieldWidth + slant, next }, { x + slant, next } });
            cairo_fill(cr);
            x += fieldWidth;
        }
        setColour(cr, scaled(colours.fieldsNear, 0.6), 0.5);
        cairo_rectangle(cr, 0, next - 1, width, std::max(1.0, strip * 0.08));
        cairo_fill(cr);
        y = next;
        strip *= 1.45;
    }
    // Haze along the horizon.
    cairo_pattern_t* haze = cairo_pattern_create_linear(0, horizon - height * 0.06, 0, horizon + height * 0.06);
    Colour h = colours.skyHorizon;
    cairo_pattern_add_color_stop_rgba(haze, 0, h.r, h.g, h.b, 0);
    cairo_pattern_add_color_stop_rgba(haze, 0.5, h.r, h.g, h.b, 0.55);
    cairo_pattern_add_color_stop_rgba(haze, 1, h.r, h.g, h.b, 0);
    cairo_set_source(cr, haze);
    cairo_rectangle(cr, 0, horizon - height * 0.06, width, height * 0.12);
    cairo_fill(cr);
    cairo_pattern_destroy(haze);
}

// ----- Application icons -----

void drawPlaneSymbol(cairo_t* cr)
{
    cairo_save(cr);
    cairo_translate(cr, 0.5, 0.5);
    cairo_rotate(cr, M_PI / 4);
    cairo_move_to(cr, 0, -0.38);
    cairo_curve_to(cr, 0.04, -0.35, 0.045, -0.29, 0.045, -0.23);
    cairo_line_to(cr, 0.045, -0.07);
    cairo_line_to(cr, 0.36, 0.08);
    cairo_line_to(cr, 0.36, 0.14);
    cairo_line_to(cr, 0.045, 0.07);
    cairo_line_to(cr, 0.04, 0.22);
    cairo_line_to(cr, 0.14, 0.29);
    cairo_line_to(cr, 0.14, 0.33);
    cairo_line_to(cr, 0, 0.3);
    cairo_line_to(cr, -0.14, 0.33);
    cairo_line_to(cr, -0.14, 0.29);
    cairo_line_to(cr, -0.04, 0.22);
    cairo_line_to(cr, -0.045, 0.07);
    cairo_line_to(cr, -0.36, 0.14);
    cairo_line_to(cr, -0.36, 0.08);
    cairo_line_to(cr, -0.045, -0.07);
    cairo_line_to(cr, -0.045, -0.23);
    cairo_curve_to(cr, -0.045, -0.29, -0.04, -0.35, 0, -0.38);
    cairo_close_path(cr);
    cairo_restore(cr);
    setColour(cr, { 1, 1, 1 });
    cairo_fill(cr);
}

void drawRadarSymbol(cairo_t* cr)
{
    cairo_pattern_t* sweep = cairo_pattern_create_linear(0.5, 0.5, 0.82, 0.3);
    cairo_pattern_add_color_stop_rgba(sweep, 0, 1, 1, 1, 0.95);
    cairo_pattern_add_color_stop_rgba(sweep, 1, 1, 1, 1, 0.35);
    cairo_move_to(cr, 0.5, 0.5);
    cairo_arc(cr, 0.5, 0.5, 0.33, -M_PI / 2, -M_PI / 6);
    cairo_close_path(cr);
    cairo_set_source(cr, sweep);
    cairo_fill(cr);
    cairo_pattern_destroy(sweep);
    setColour(cr, { 1, 1, 1 });
    cairo_set_line_width(cr, 0.045);
    cairo_arc(cr, 0.5, 0.5, 0.35, 0, 2 * M_PI);
    cairo_stroke(cr);
    cairo_set_line_width(cr, 0.025);
    for (double radius : { 0.12, 0.235 }) {
        cairo_arc(cr, 0.5, 0.5, radius, 0, 2 * M_PI);
        cairo_stroke(cr);
    }
    cairo_move_to(cr, 0.15, 0.5);
    cairo_line_to(cr, 0.85, 0.5);
    cairo_move_to(cr, 0.5, 0.15);
    cairo_line_to(cr, 0.5, 0.85);
    cairo_stroke(cr);
    for (auto [x, y] : { std::pair { 0.34, 0.64 }, { 0.66, 0.71 }, { 0.3, 0.33 } }) {
        cairo_arc(cr, x, y, 0.04, 0, 2 * M_PI);
        cairo_fill(cr);
    }
}

void drawClockSymbol(cairo_t* cr, Colour hands)
{
    setColour(cr, { 1, 1, 1 });
    cairo_arc(cr, 0.5, 0.5, 0.34, 0, 2 * M_PI);
    cairo_fill(cr);
    setColour(cr, hands);
    cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
    for (int hour = 0; hour < 12; ++hour) {
        double angle = hour * M_PI / 6, inner = hour % 3 == 0 ? 0.23 : 0.27;
        cairo_set_line_width(cr, hour % 3 == 0 ? 0.04 : 0.025);
        cairo_move_to(cr, 0.5 + inner * std::sin(angle), 0.5 - inner * std::cos(angle));
        cairo_line_to(cr, 0.5 + 0.3 * std::sin(angle), 0.5 - 0.3 * std::cos(angle));
        cairo_stroke(cr);
    }
    cairo_set_line_width(cr, 0.055);
    cairo_move_to(cr, 0.5, 0.5);
    cairo_line_to(cr, 0.5 + 0.15 * std::sin(-M_PI / 3), 0.5 - 0.15 * std::cos(-M_PI / 3));
    cairo_stroke(cr);
    cairo_set_line_width(cr, 0.04);
    cairo_move_to(cr, 0.5, 0.5);
    cairo_line_to(cr, 0.5 + 0.24 * std::sin(M_PI / 3), 0.5 - 0.24 * std::cos(M_PI / 3));
    cairo_stroke(cr);
    cairo_arc(cr, 0.5, 0.5, 0.035, 0, 2 * M_PI);
    cairo_fill(cr);
}

void drawWeatherSymbol(cairo_t* cr)
{
    setColour(cr, { 1, 0.84, 0.25 });
    cairo_arc(cr, 0.38, 0.36, 0.16, 0, 2 * M_PI);
    cairo_fill(cr);
    cairo_set_line_width(cr, 0.035);
    cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
    for (int ray = 0; ray < 8; ++ray) {
        double angle = ray * M_PI / 4;
        cairo_move_to(cr, 0.38 + 0.21 * std::cos(angle), 0.36 + 0.21 * std::sin(angle));
        cairo_line_to(cr, 0.38 + 0.27 * std::cos(angle), 0.36 + 0.27 * std::sin(angle));
        cairo_stroke(cr);
    }
    setColour(cr, { 1, 1, 1 });
    cairo_arc(cr, 0.47, 0.6, 0.13, M_PI / 2, 3 * M_PI / 2);
    cairo_arc(cr, 0.57, 0.47, 0.15, M_PI, 2 * M_PI);
    cairo_arc(cr, 0.72, 0.59, 0.12, 3 * M_PI / 2, M_PI / 2);
    cairo_close_path(cr);
    cairo_fill(cr);
}

void drawBookSymbol(cairo_t* cr, Colour lines)
{
    setColour(cr, { 1, 1, 1 });
    for (int side : { -1, 1 }) {
        cairo_move_to(cr, 0.5, 0.3);
        cairo_curve_to(cr, 0.5 + side * 0.1, 0.24, 0.5 + side * 0.24, 0.24, 0.5 + side * 0.34, 0.27);
        cairo_line_to(cr, 0.5 + side * 0.34, 0.75);
        cairo_curve_to(cr, 0.5 + side * 0.24, 0.72, 0.5 + side * 0.1, 0.72, 0.5, 0.78);
        cairo_close_path(cr);
        cairo_fill(cr);
    }
    setColour(cr, lines);
    cairo_set_line_width(cr, 0.022);
    for (int side : { -1, 1 }) {
        for (int row = 0; row < 5; ++row) {
            double y = 0.37 + row * 0.075;
            cairo_move_to(cr, 0.5 + side * 0.07, y);
            cairo_line_to(cr, 0.5 + side * (row == 4 ? 0.18 : 0.27), y - 0.01);
            cairo_stroke(cr);
        }
    }
    cairo_set_line_width(cr, 0.018);
    cairo_move_to(cr, 0.5, 0.3);
    cairo_line_to(cr, 0.5, 0.78);
    cairo_stroke(cr);
}

} // namespace

Livery liveryFor(const std::string& airlineCode)
{
    uint32_t hash = hashOf(airlineCode);
    double hue = hash % 360;
    Colour primary = fromHsv(hue, 0.62 + (hash >> 9) % 32 / 100.0, 0.42 + (hash >> 14) % 34 / 100.0);
    // Dark enough that white letters stand out on it.
    while (luminance(primary) > 0.36)
        primary = scaled(primary, 0.9);
    static const double kAccentTurns[] = { 180, 150, 40, 210, 320 };
    Colour accent = fromHsv(hue + kAccentTurns[(hash >> 19) % 5], 0.78, 0.96);
    Colour body = (hash >> 23) % 6 == 0 ? Colour { 0.88, 0.9, 0.93 } : Colour { 0.97, 0.97, 0.98 };
    return { rgbaOf(primary), rgbaOf(accent), rgbaOf(body) };
}

SimImages::Bitmap aircraftPhoto(const std::string& photoId, const AircraftLook& look, int width, int height)
{
    Canvas canvas(width, height);
    cairo_t* cr = canvas.cr();
    Dice dice(static_cast<uint64_t>(hashOf(photoId)) << 32 | hashOf(photoId, 1));
    // A gallery's photos are "<registration>-<n>": the light turns with n, so neighbours differ.
    size_t dash = photoId.rfind('-');
    int index = dash == std::string::npos ? 0 : std::atoi(photoId.c_str() + dash + 1);
    auto light = static_cast<Light>((hashOf(photoId.substr(0, dash)) + static_cast<uint32_t>(index)) % 4);

    double horizon = height * dice.between(0.68, 0.86);
    drawScene(cr, dice, light, width, height, horizon);

    // The aircraft stays near the middle, so a square crop of the photo still shows most of it.
    double length = width * dice.between(0.5, 0.72) * (look.shape == AircraftShape::Helicopter ? 0.8 : 1);
    double pitch = dice.between(-3, 9) * M_PI / 180;
    DrawingStyle style { dice.below(2) == 0, dice.below(3) == 0 };
    double left = length * 0.52 + width * 0.03, right = width - left;
    double top = length * 0.26 + height * 0.05, bottom = height - length * 0.2 - height * 0.05;
    double x = std::clamp(
        width * (0.5 + dice.between(-0.08, 0.08)), std::min(left, width / 2.0), std::max(right, width / 2.0));
    double y = top + std::max(0.0, bottom - top) * dice.unit();

    cairo_push_group(cr);
    cairo_translate(cr, x, y);
    if (style.mirrored)
        cairo_scale(cr, -1, 1);
    cairo_rotate(cr, -pitch);
    cairo_scale(cr, length, length);
    cairo_translate(cr, -0.5, 0);
    drawAircraft(cr, liveryFor(look.airlineCode.empty() ? look.registration : look.airlineCode), look, style);
    cairo_identity_matrix(cr);
    // The light of the hour falls on the aircraft too.
    SceneColours colours = sceneColours(light);
    cairo_set_operator(cr, CAIRO_OPERATOR_ATOP);
    setColour(cr, colours.tint, colours.tintAlpha);
    cairo_paint(cr);
    cairo_pop_group_to_source(cr);
    cairo_set_operator(cr, CAIRO_OPERATOR_OVER);
    cairo_paint(cr);
    return canvas.bitmap();
}

SimImages::Bitmap aircraftSideView(const AircraftLook& look, int width, int height)
{
    Canvas canvas(width, height);
    cairo_t* cr = canvas.cr();
    double length = std::min(width * 0.94, height * 0.96 / 0.44);
    cairo_translate(cr, width / 2.0, height * 0.02 + length * 0.255);
    cairo_scale(cr, -length, length);
    cairo_translate(cr, -0.5, 0);
    drawAircraft(cr, liveryFor(look.airlineCode.empty() ? look.registration : look.airlineCode), look, { true, false });
    return canvas.bitmap();
}

SimImages::Bitmap airlineLogo(const std::string& airlineCode, int width, int height)
{
    Canvas canvas(width, height);
    cairo_t* cr = canvas.cr();
    Livery livery = liveryFor(airlineCode);
    Colour primary = colourOf(livery.primary), accent = colourOf(livery.accent);
    double h = height;
    roundedRectangle(cr, 0, 0, width, height, h * 0.18);
    setColour(cr, primary);
    cairo_fill(cr);

    // The emblem: a wing sweeping up across a disc of the accent colour.
    double radius = h * 0.34, cx = h * 0.12 + radius, cy = h / 2;
    cairo_arc(cr, cx, cy, radius, 0, 2 * M_PI);
    setColour(cr, accent);
    cairo_fill(cr);
    cairo_save(cr);
    cairo_translate(cr, cx, cy);
    cairo_scale(cr, radius, radius);
    cairo_move_to(cr, -0.78, 0.42);
    cairo_curve_to(cr, -0.2, 0.1, 0.25, -0.25, 0.72, -0.62);
    cairo_curve_to(cr, 0.45, -0.05, 0.05, 0.42, -0.78, 0.42);
    cairo_close_path(cr);
    cairo_restore(cr);
    setColour(cr, primary);
    cairo_fill(cr);

    double textLeft = cx + radius + h * 0.1, textRight = width - h * 0.12;
    setColour(cr, { 1, 1, 1 });
    centredText(cr, airlineCode, (textLeft + textRight) / 2, h / 2, h * 0.58, textRight - textLeft);
    return canvas.bitmap();
}

SimImages::Bitmap manufacturerLogo(const std::string& manufacturer, int width, int height)
{
    Canvas canvas(width, height);
    cairo_t* cr = canvas.cr();
    setColour(cr, { 1, 1, 1 });
    cairo_paint(cr);
    Livery livery = liveryFor(manufacturer);
    Colour colour = colourOf(livery.primary);
    // A long name shows as its initials ("De havilland canada" as "DHC").
    std::string mark = manufacturer;
    if (mark.size() > 10) {
        mark.clear();
        bool wordStart = true;
        for (char c : manufacturer) {
            if (wordStart && std::isalpha(static_cast<unsigned char>(c)))
                mark += static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
            wordStart = c == ' ' || c == '-';
        }
    }
    // The emblem: two swept bars, like a wing in flight.
    double h = height, emblem = h * 0.5, left = h * 0.15, middle = h / 2;
    setColour(cr, colour);
    for (int bar = 0; bar < 2; ++bar) {
        double x = left + bar * emblem * 0.36, top = middle - emblem / 2 + bar * emblem * 0.18;
        polygon(cr,
            { { x, top + emblem * 0.82 }, { x + emblem * 0.5, top }, { x + emblem * 0.76, top },
                { x + emblem * 0.26, top + emblem * 0.82 } });
        cairo_fill(cr);
    }
    double textLeft = left + emblem * 1.15, textRight = width - h * 0.12;
    centredText(cr, mark, (textLeft + textRight) / 2, middle, h * 0.42, textRight - textLeft);
    return canvas.bitmap();
}

std::optional<SimImages::Bitmap> appIcon(const std::string& appCode, int size)
{
    const struct {
        const char* code;
        Colour top, bottom;
    } kApps[] = {
        { "VX", { 0.3, 0.64, 0.98 }, { 0.06, 0.3, 0.72 } },
        { "VM", { 0.12, 0.62, 0.5 }, { 0.02, 0.26, 0.26 } },
        { "VA", { 1.0, 0.64, 0.22 }, { 0.86, 0.3, 0.06 } },
        { "RW", { 0.56, 0.48, 0.96 }, { 0.26, 0.16, 0.62 } },
        { "LB", { 0.9, 0.3, 0.32 }, { 0.5, 0.07, 0.14 } },
    };
    const auto* app
        = std::find_if(std::begin(kApps), std::end(kApps), [&](const auto& a) { return appCode == a.code; });
    if (app == std::end(kApps))
        return std::nullopt;
    Canvas canvas(size, size);
    cairo_t* cr = canvas.cr();
    cairo_scale(cr, size, size);
    roundedRectangle(cr, 0, 0, 1, 1, 0.2);
    verticalGradient(cr, 0, 1, app->top, app->bottom);
    cairo_fill_preserve(cr);
    // A soft gloss over the upper half.
    cairo_save(cr);
    cairo_clip(cr);
    cairo_pattern_t* gloss = cairo_pattern_create_linear(0, 0, 0, 0.5);
    cairo_pattern_add_color_stop_rgba(gloss, 0, 1, 1, 1, 0.28);
    cairo_pattern_add_color_stop_rgba(gloss, 1, 1, 1, 1, 0.04);
    cairo_set_source(cr, gloss);
    cairo_rectangle(cr, 0, 0, 1, 0.5);
    cairo_fill(cr);
    cairo_pattern_destroy(gloss);
    cairo_restore(cr);

    std::string code = app->code;
    if (code == "VX")
        drawPlaneSymbol(cr);
    else if (code == "VM")
        drawRadarSymbol(cr);
    else if (code == "VA")
        drawClockSymbol(cr, app->bottom);
    else if (code == "RW")
        drawWeatherSymbol(cr);
    else
        drawBookSymbol(cr, app->bottom);
    return canvas.bitmap();
}

} // namespace SimPictures
