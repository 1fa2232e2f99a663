// CGContext: making gradients and drawing them.
#include "graphics/CGContext.h"

#include "graphics/CGContextInternal.h"

#include <algorithm>
#include <cmath>

using CGContextInternal::num;

// ---------------------------------------------------------------------------------------------
// Gradients

CGGradientRef CGGradientCreateWithColorComponents(
    const CGColorSpaceRef& space, const CGFloat* components, const CGFloat* locations, size_t count)
{
    if (!space || !components || count == 0)
        return nullptr;
    size_t n = space->numberOfComponents() + 1;
    std::vector<CGGradient::Stop> stops;
    for (size_t i = 0; i < count; ++i) {
        CGColor color(space, std::vector<CGFloat>(components + i * n, components + (i + 1) * n));
        CGGradient::Stop stop {};
        stop.location
            = locations ? locations[i] : (count == 1 ? 0 : static_cast<CGFloat>(i) / static_cast<CGFloat>(count - 1));
        color.getRGBA(stop.rgba);
        stops.push_back(stop);
    }
    return std::make_shared<CGGradient>(std::move(stops));
}

CGGradientRef CGGradientCreateWithColors(
    const CGColorSpaceRef&, const std::vector<CGColorRef>& colors, const CGFloat* locations)
{
    if (colors.empty())
        return nullptr;
    std::vector<CGGradient::Stop> stops;
    for (size_t i = 0; i < colors.size(); ++i) {
        if (!colors[i])
            return nullptr;
        CGGradient::Stop stop {};
        stop.location = locations
            ? locations[i]
            : (colors.size() == 1 ? 0 : static_cast<CGFloat>(i) / static_cast<CGFloat>(colors.size() - 1));
        colors[i]->getRGBA(stop.rgba);
        stops.push_back(stop);
    }
    return std::make_shared<CGGradient>(std::move(stops));
}

namespace {

void addStops(cairo_pattern_t* pattern, const CGGradient& g)
{
    for (const auto& stop : g.stops())
        cairo_pattern_add_color_stop_rgba(
            pattern, stop.location, stop.rgba[0], stop.rgba[1], stop.rgba[2], stop.rgba[3]);
}

// A polygon far larger than any bitmap, in user space: the half plane on the chosen side of the
// line through `at` perpendicular to `dir`.
void addHalfPlane(cairo_t* cr, CGPoint at, double dx, double dy, bool forward)
{
    double len = std::hypot(dx, dy);
    if (len == 0)
        return;
    dx /= len;
    dy /= len;
    if (!forward) {
        dx = -dx;
        dy = -dy;
    }
    const double big = 1e6;
    double px = -dy, py = dx;
    cairo_move_to(cr, at.x + px * big, at.y + py * big);
    cairo_line_to(cr, at.x + px * big + dx * big, at.y + py * big + dy * big);
    cairo_line_to(cr, at.x - px * big + dx * big, at.y - py * big + dy * big);
    cairo_line_to(cr, at.x - px * big, at.y - py * big);
    cairo_close_path(cr);
}

} // namespace

void CGContextDrawLinearGradient(
    const CGContextRef& c, const CGGradientRef& gradient, CGPoint start, CGPoint end, CGGradientDrawingOptions options)
{
    if (!c || !gradient)
        return;
    c->record("linearGradient " + NSStringFromCGPoint(start) + " " + NSStringFromCGPoint(end) + " options "
        + std::to_string(options));
    CGContextDraw(*c, [&](cairo_t* cr) {
        CGContextApplyUserMatrix(*c);
        cairo_pattern_t* pattern = cairo_pattern_create_linear(start.x, start.y, end.x, end.y);
        addStops(pattern, *gradient);
        bool before = options & kCGGradientDrawsBeforeStartLocation, after = options & kCGGradientDrawsAfterEndLocation;
        double dx = end.x - start.x, dy = end.y - start.y;
        cairo_pattern_set_extend(pattern, CAIRO_EXTEND_PAD);
        // Limit the painted area to the side(s) that should show.
        if (!before) {
            addHalfPlane(cr, start, dx, dy, true);
            cairo_clip(cr);
        }
        if (!after) {
            addHalfPlane(cr, end, dx, dy, false);
            cairo_clip(cr);
        }
        cairo_set_source(cr, pattern);
        cairo_paint(cr);
        cairo_pattern_destroy(pattern);
    });
}

void CGContextDrawRadialGradient(const CGContextRef& c, const CGGradientRef& gradient, CGPoint startCenter,
    CGFloat startRadius, CGPoint endCenter, CGFloat endRadius, CGGradientDrawingOptions options)
{
    if (!c || !gradient)
        return;
    c->record("radialGradient " + NSStringFromCGPoint(startCenter) + " " + num(startRadius) + " "
        + NSStringFromCGPoint(endCenter) + " " + num(endRadius) + " options " + std::to_string(options));
    CGContextDraw(*c, [&](cairo_t* cr) {
        CGContextApplyUserMatrix(*c);
        cairo_pattern_t* pattern = cairo_pattern_create_radial(startCenter.x, startCenter.y,
            std::max<CGFloat>(0, startRadius), endCenter.x, endCenter.y, std::max<CGFloat>(0, endRadius));
        addStops(pattern, *gradient);
        bool before = options & kCGGradientDrawsBeforeStartLocation, after = options & kCGGradientDrawsAfterEndLocation;
        // The painted area is limited by clipping rather than by the pattern's extend mode, which
        // the engine ignores for gradients whose stops are all one colour.
        cairo_pattern_set_extend(pattern, CAIRO_EXTEND_PAD);
        if (!before && startRadius > 0) {
            // Leave the inside of the start circle empty.
            cairo_rectangle(cr, -1e6, -1e6, 2e6, 2e6);
            cairo_new_sub_path(cr);
            cairo_arc(cr, startCenter.x, startCenter.y, startRadius, 0, 2 * M_PI);
            cairo_set_fill_rule(cr, CAIRO_FILL_RULE_EVEN_ODD);
            cairo_clip(cr);
        }
        if (!after) {
            cairo_new_path(cr);
            cairo_arc(cr, endCenter.x, endCenter.y, std::max<CGFloat>(0, endRadius), 0, 2 * M_PI);
            cairo_set_fill_rule(cr, CAIRO_FILL_RULE_WINDING);
            cairo_clip(cr);
        }
        cairo_set_source(cr, pattern);
        cairo_paint(cr);
        cairo_pattern_destroy(pattern);
    });
}
