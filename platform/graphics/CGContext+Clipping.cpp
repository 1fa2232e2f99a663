// CGContext: clipping to paths, rectangles and masks.
#include "graphics/CGContext.h"

#include "graphics/CGContextInternal.h"

using CGContextInternal::addPath;
using CGContextInternal::pathText;

// ---------------------------------------------------------------------------------------------
// Clipping

namespace {

void clipWithPath(const CGContextRef& c, bool evenOdd)
{
    if (!c)
        return;
    c->record(std::string(evenOdd ? "eoclip " : "clip ") + pathText(c->path()));
    CGRect box = CGPathGetPathBoundingBox(std::make_shared<const CGPath>(c->path()));
    c->state().recordedClip = CGRectIntersection(c->state().recordedClip, CGRectIsNull(box) ? CGRectZero : box);
    if (auto* b = c->backend()) {
        addPath(b->cr, c->path(), c->baseTransform());
        cairo_set_fill_rule(b->cr, evenOdd ? CAIRO_FILL_RULE_EVEN_ODD : CAIRO_FILL_RULE_WINDING);
        cairo_clip(b->cr);
    }
    c->path().clear();
}

} // namespace

void CGContextClip(const CGContextRef& c)
{
    clipWithPath(c, false);
}
void CGContextEOClip(const CGContextRef& c)
{
    clipWithPath(c, true);
}

void CGContextClipToRect(const CGContextRef& c, CGRect rect)
{
    CGContextClipToRects(c, &rect, 1);
}

void CGContextClipToRects(const CGContextRef& c, const CGRect* rects, size_t count)
{
    if (!c)
        return;
    CGContextBeginPath(c);
    CGContextAddRects(c, rects, count);
    CGContextClip(c);
}

void CGContextClipToMask(const CGContextRef& c, CGRect rect, const CGImageRef& mask)
{
    if (!c || !mask || !c->backend())
        return;
    c->record("clipToMask " + NSStringFromCGRect(rect));
    auto w = static_cast<int>(mask->width()), h = static_cast<int>(mask->height());
    cairo_surface_t* surface = cairo_image_surface_create(CAIRO_FORMAT_A8, w, h);
    cairo_surface_flush(surface);
    uint8_t* data = cairo_image_surface_get_data(surface);
    int stride = cairo_image_surface_get_stride(surface);
    bool hasAlpha = mask->format().alphaInfo() != kCGImageAlphaNone
        && mask->format().alphaInfo() != kCGImageAlphaNoneSkipFirst
        && mask->format().alphaInfo() != kCGImageAlphaNoneSkipLast;
    for (int y = 0; y < h; ++y) {
        const uint8_t* row = mask->bytes() + static_cast<size_t>(y) * mask->bytesPerRow();
        for (int x = 0; x < w; ++x) {
            uint8_t rgba[4];
            mask->format().readPremultiplied(row, static_cast<size_t>(x), rgba);
            // Grey masks let white through; alpha masks use their alpha.
            data[y * stride + x] = hasAlpha ? rgba[3] : static_cast<uint8_t>((rgba[0] + rgba[1] + rgba[2]) / 3);
        }
    }
    cairo_surface_mark_dirty(surface);
    // Mask pixels map onto `rect` upright in user space; the pattern matrix maps device to mask.
    CGAffineTransform toDevice
        = CGAffineTransformConcat(CGAffineTransformMake(rect.size.width / w, 0, 0, -rect.size.height / h, rect.origin.x,
                                      rect.origin.y + rect.size.height),
            c->deviceTransform());
    cairo_matrix_t m = CGContextCairoMatrix(toDevice);
    cairo_matrix_invert(&m);
    c->state().masks.emplace_back(surface, cairo_surface_destroy);
    c->state().maskMatrices.push_back(m);
    // Nothing outside the mask's rectangle shows either.
    CGContextClipToRect(c, rect);
}

CGRect CGContextGetClipBoundingBox(const CGContextRef& c)
{
    if (!c)
        return CGRectNull;
    CGAffineTransform inverse = CGAffineTransformInvert(c->state().ctm);
    if (auto* b = c->backend()) {
        double x1, y1, x2, y2;
        cairo_save(b->cr);
        cairo_identity_matrix(b->cr);
        cairo_clip_extents(b->cr, &x1, &y1, &x2, &y2);
        cairo_restore(b->cr);
        // Engine device space back to user space.
        CGAffineTransform engineToUser = CGAffineTransformInvert(c->deviceTransform());
        return CGRectApplyAffineTransform(CGRectMake(static_cast<CGFloat>(x1), static_cast<CGFloat>(y1),
                                              static_cast<CGFloat>(x2 - x1), static_cast<CGFloat>(y2 - y1)),
            engineToUser);
    }
    CGRect deviceBounds = CGRectMake(0, 0, static_cast<CGFloat>(c->width()), static_cast<CGFloat>(c->height()));
    return CGRectApplyAffineTransform(CGRectIntersection(deviceBounds, c->state().recordedClip), inverse);
}
