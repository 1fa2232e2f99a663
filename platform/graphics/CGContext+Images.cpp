// CGContext: drawing images, once or tiled.
#include "graphics/CGContext.h"

#include "graphics/CGContextInternal.h"

namespace {

cairo_filter_t filterFor(CGInterpolationQuality q, bool interpolate)
{
    if (!interpolate)
        return CAIRO_FILTER_NEAREST;
    switch (q) {
    case kCGInterpolationNone:
        return CAIRO_FILTER_NEAREST;
    case kCGInterpolationLow:
        return CAIRO_FILTER_FAST;
    case kCGInterpolationHigh:
        return CAIRO_FILTER_BEST;
    default:
        return CAIRO_FILTER_GOOD;
    }
}

} // namespace

void CGContextDrawImage(const CGContextRef& c, CGRect rect, const CGImageRef& image)
{
    if (!c || !image)
        return;
    c->record("image " + std::to_string(image->width()) + "x" + std::to_string(image->height()) + " in "
        + NSStringFromCGRect(rect));
    rect = CGRectStandardize(rect);
    if (rect.size.width == 0 || rect.size.height == 0)
        return;
    std::vector<uint8_t> pixels = image->nativeARGB();
    auto w = static_cast<int>(image->width()), h = static_cast<int>(image->height());
    cairo_surface_t* surface = cairo_image_surface_create_for_data(pixels.data(), CAIRO_FORMAT_ARGB32, w, h, w * 4);
    CGContextDraw(*c, [&](cairo_t* cr) {
        CGContextApplyUserMatrix(*c);
        cairo_translate(cr, rect.origin.x, rect.origin.y + rect.size.height);
        cairo_scale(cr, rect.size.width / w, -rect.size.height / h);
        cairo_set_source_surface(cr, surface, 0, 0);
        cairo_pattern_set_extend(cairo_get_source(cr), CAIRO_EXTEND_PAD);
        cairo_pattern_set_filter(cairo_get_source(cr), filterFor(c->state().interpolation, image->shouldInterpolate()));
        cairo_rectangle(cr, 0, 0, w, h);
        cairo_fill(cr);
    });
    cairo_surface_destroy(surface);
}

void CGContextDrawTiledImage(const CGContextRef& c, CGRect rect, const CGImageRef& image)
{
    if (!c || !image)
        return;
    c->record("tiledImage " + NSStringFromCGRect(rect));
    rect = CGRectStandardize(rect);
    if (rect.size.width <= 0 || rect.size.height <= 0)
        return;
    std::vector<uint8_t> pixels = image->nativeARGB();
    auto w = static_cast<int>(image->width()), h = static_cast<int>(image->height());
    cairo_surface_t* surface = cairo_image_surface_create_for_data(pixels.data(), CAIRO_FORMAT_ARGB32, w, h, w * 4);
    CGContextDraw(*c, [&](cairo_t* cr) {
        CGContextApplyUserMatrix(*c);
        // Tiles repeat from `rect`'s origin, each tile upright.
        cairo_pattern_t* pattern = cairo_pattern_create_for_surface(surface);
        cairo_pattern_set_extend(pattern, CAIRO_EXTEND_REPEAT);
        cairo_matrix_t m;
        cairo_matrix_init(&m, w / rect.size.width, 0, 0, -h / rect.size.height, 0, 0);
        cairo_matrix_translate(&m, -rect.origin.x, -(rect.origin.y + rect.size.height));
        cairo_pattern_set_matrix(pattern, &m);
        cairo_set_source(cr, pattern);
        cairo_paint(cr);
        cairo_pattern_destroy(pattern);
    });
    cairo_surface_destroy(surface);
}
