// CGContext: filling and stroking, the drawing engine's compositing, and transparency layers.
#include "graphics/CGContext.h"

#include "graphics/CGContextInternal.h"

#include <algorithm>
#include <cmath>
#include <cstring>

using CGContextInternal::addPath;
using CGContextInternal::num;
using CGContextInternal::pathText;
using CGContextInternal::rgbaText;

// ---------------------------------------------------------------------------------------------
// Drawing

namespace {

cairo_operator_t operatorFor(CGBlendMode mode)
{
    switch (mode) {
    case kCGBlendModeMultiply:
        return CAIRO_OPERATOR_MULTIPLY;
    case kCGBlendModeScreen:
        return CAIRO_OPERATOR_SCREEN;
    case kCGBlendModeOverlay:
        return CAIRO_OPERATOR_OVERLAY;
    case kCGBlendModeDarken:
        return CAIRO_OPERATOR_DARKEN;
    case kCGBlendModeLighten:
        return CAIRO_OPERATOR_LIGHTEN;
    case kCGBlendModeColorDodge:
        return CAIRO_OPERATOR_COLOR_DODGE;
    case kCGBlendModeColorBurn:
        return CAIRO_OPERATOR_COLOR_BURN;
    case kCGBlendModeSoftLight:
        return CAIRO_OPERATOR_SOFT_LIGHT;
    case kCGBlendModeHardLight:
        return CAIRO_OPERATOR_HARD_LIGHT;
    case kCGBlendModeDifference:
        return CAIRO_OPERATOR_DIFFERENCE;
    case kCGBlendModeExclusion:
        return CAIRO_OPERATOR_EXCLUSION;
    case kCGBlendModeHue:
        return CAIRO_OPERATOR_HSL_HUE;
    case kCGBlendModeSaturation:
        return CAIRO_OPERATOR_HSL_SATURATION;
    case kCGBlendModeColor:
        return CAIRO_OPERATOR_HSL_COLOR;
    case kCGBlendModeLuminosity:
        return CAIRO_OPERATOR_HSL_LUMINOSITY;
    case kCGBlendModeClear:
        return CAIRO_OPERATOR_CLEAR;
    case kCGBlendModeCopy:
        return CAIRO_OPERATOR_SOURCE;
    case kCGBlendModeSourceIn:
        return CAIRO_OPERATOR_IN;
    case kCGBlendModeSourceOut:
        return CAIRO_OPERATOR_OUT;
    case kCGBlendModeSourceAtop:
        return CAIRO_OPERATOR_ATOP;
    case kCGBlendModeDestinationOver:
        return CAIRO_OPERATOR_DEST_OVER;
    case kCGBlendModeDestinationIn:
        return CAIRO_OPERATOR_DEST_IN;
    case kCGBlendModeDestinationOut:
        return CAIRO_OPERATOR_DEST_OUT;
    case kCGBlendModeDestinationAtop:
        return CAIRO_OPERATOR_DEST_ATOP;
    case kCGBlendModeXOR:
        return CAIRO_OPERATOR_XOR;
    case kCGBlendModePlusLighter:
        return CAIRO_OPERATOR_ADD;
    case kCGBlendModePlusDarker:
        return CAIRO_OPERATOR_SATURATE;
    default:
        return CAIRO_OPERATOR_OVER;
    }
}

} // namespace

namespace CGContextInternal {

// Replays a device-space path into the engine (whose device space is y-down).
void addPath(cairo_t* cr, const CGPath& path, CGAffineTransform base)
{
    cairo_matrix_t m = CGContextCairoMatrix(base);
    cairo_set_matrix(cr, &m);
    cairo_new_path(cr);
    CGPoint current {};
    for (const auto& e : path.elements()) {
        switch (e.type) {
        case kCGPathElementMoveToPoint:
            cairo_move_to(cr, e.points[0].x, e.points[0].y);
            current = e.points[0];
            break;
        case kCGPathElementAddLineToPoint:
            cairo_line_to(cr, e.points[0].x, e.points[0].y);
            current = e.points[0];
            break;
        case kCGPathElementAddQuadCurveToPoint: {
            CGPoint q = e.points[0], end = e.points[1];
            cairo_curve_to(cr, current.x + 2.0 / 3 * (q.x - current.x), current.y + 2.0 / 3 * (q.y - current.y),
                end.x + 2.0 / 3 * (q.x - end.x), end.y + 2.0 / 3 * (q.y - end.y), end.x, end.y);
            current = end;
            break;
        }
        case kCGPathElementAddCurveToPoint:
            cairo_curve_to(
                cr, e.points[0].x, e.points[0].y, e.points[1].x, e.points[1].y, e.points[2].x, e.points[2].y);
            current = e.points[2];
            break;
        case kCGPathElementCloseSubpath:
            cairo_close_path(cr);
            break;
        }
    }
}

} // namespace CGContextInternal

namespace {

void applyStrokeStyle(cairo_t* cr, const CGContext::State& s)
{
    cairo_set_line_width(cr, s.lineWidth);
    cairo_set_line_cap(cr,
        s.lineCap == kCGLineCapRound        ? CAIRO_LINE_CAP_ROUND
            : s.lineCap == kCGLineCapSquare ? CAIRO_LINE_CAP_SQUARE
                                            : CAIRO_LINE_CAP_BUTT);
    cairo_set_line_join(cr,
        s.lineJoin == kCGLineJoinRound       ? CAIRO_LINE_JOIN_ROUND
            : s.lineJoin == kCGLineJoinBevel ? CAIRO_LINE_JOIN_BEVEL
                                             : CAIRO_LINE_JOIN_MITER);
    cairo_set_miter_limit(cr, s.miterLimit);
    cairo_set_dash(cr, s.dash.data(), static_cast<int>(s.dash.size()), s.dashPhase);
}

// Blurs an A8 surface in place with three box passes (close to a Gaussian of sigma blur / 2).
void blurAlpha(cairo_surface_t* surface, double blur)
{
    int radius = static_cast<int>(std::lround(blur / 2));
    if (radius <= 0)
        return;
    cairo_surface_flush(surface);
    int w = cairo_image_surface_get_width(surface), h = cairo_image_surface_get_height(surface);
    int stride = cairo_image_surface_get_stride(surface);
    uint8_t* data = cairo_image_surface_get_data(surface);
    std::vector<uint8_t> tmp(static_cast<size_t>(std::max(w, h)));
    for (int pass = 0; pass < 3; ++pass) {
        for (int y = 0; y < h; ++y) {
            uint8_t* row = data + y * stride;
            int sum = 0;
            for (int x = -radius; x <= radius; ++x)
                sum += row[std::clamp(x, 0, w - 1)];
            for (int x = 0; x < w; ++x) {
                tmp[static_cast<size_t>(x)] = static_cast<uint8_t>(sum / (2 * radius + 1));
                sum += row[std::clamp(x + radius + 1, 0, w - 1)] - row[std::clamp(x - radius, 0, w - 1)];
            }
            std::memcpy(row, tmp.data(), static_cast<size_t>(w));
        }
        for (int x = 0; x < w; ++x) {
            int sum = 0;
            for (int y = -radius; y <= radius; ++y)
                sum += data[std::clamp(y, 0, h - 1) * stride + x];
            for (int y = 0; y < h; ++y) {
                tmp[static_cast<size_t>(y)] = static_cast<uint8_t>(sum / (2 * radius + 1));
                sum += data[std::clamp(y + radius + 1, 0, h - 1) * stride + x]
                    - data[std::clamp(y - radius, 0, h - 1) * stride + x];
            }
            for (int y = 0; y < h; ++y)
                data[y * stride + x] = tmp[static_cast<size_t>(y)];
        }
    }
    cairo_surface_mark_dirty(surface);
}

// Runs one drawing operation with the state's alpha, blend mode, shadow and masks, keeping a
// caller-laid-out bitmap in step with the engine.
template <typename Draw> void perform(CGContext& c, Draw&& draw)
{
    auto* b = c.backend();
    if (!b)
        return;
    const auto& s = c.state();
    cairo_t* cr = b->cr;
    b->pullFromUser();
    cairo_save(cr);
    cairo_set_antialias(cr, s.antialias ? CAIRO_ANTIALIAS_DEFAULT : CAIRO_ANTIALIAS_NONE);
    bool grouped = s.shadowActive || !s.masks.empty() || s.alpha < 1;
    if (!grouped) {
        cairo_set_operator(cr, operatorFor(s.blendMode));
        draw(cr);
    } else {
        cairo_push_group(cr);
        cairo_set_operator(cr, CAIRO_OPERATOR_OVER);
        draw(cr);
        cairo_pattern_t* group = cairo_pop_group(cr);
        // The group comes back matched to the current CTM; it is composited in device space, so
        // its matrix must be the identity too (otherwise a flipped CTM flips the group).
        cairo_matrix_t identity;
        cairo_matrix_init_identity(&identity);
        cairo_pattern_set_matrix(group, &identity);
        cairo_identity_matrix(cr);
        cairo_set_operator(cr, operatorFor(s.blendMode));
        if (s.shadowActive) {
            // The shadow is the drawing's alpha, blurred, tinted and offset in base space.
            cairo_surface_t* alpha
                = cairo_image_surface_create(CAIRO_FORMAT_A8, static_cast<int>(b->width), static_cast<int>(b->height));
            cairo_t* acr = cairo_create(alpha);
            cairo_set_source(acr, group);
            cairo_paint(acr);
            cairo_destroy(acr);
            blurAlpha(alpha, s.shadowBlur);
            cairo_set_source_rgba(cr, s.shadowColor[0], s.shadowColor[1], s.shadowColor[2], s.shadowColor[3] * s.alpha);
            double dx = s.shadowOffset.width, dy = -s.shadowOffset.height;
            if (s.masks.empty()) {
                cairo_mask_surface(cr, alpha, dx, dy);
            } else {
                cairo_push_group(cr);
                cairo_mask_surface(cr, alpha, dx, dy);
                cairo_pop_group_to_source(cr);
                for (size_t i = 0; i < s.masks.size(); ++i) {
                    cairo_pattern_t* mask = cairo_pattern_create_for_surface(s.masks[i].get());
                    cairo_pattern_set_matrix(mask, &s.maskMatrices[i]);
                    cairo_mask(cr, mask);
                    cairo_pattern_destroy(mask);
                }
            }
            cairo_surface_destroy(alpha);
        }
        cairo_set_source(cr, group);
        if (s.masks.empty()) {
            cairo_paint_with_alpha(cr, s.alpha);
        } else {
            cairo_push_group(cr);
            cairo_set_source(cr, group);
            cairo_paint_with_alpha(cr, s.alpha);
            cairo_pop_group_to_source(cr);
            for (size_t i = 0; i < s.masks.size(); ++i) {
                cairo_pattern_t* mask = cairo_pattern_create_for_surface(s.masks[i].get());
                cairo_pattern_set_matrix(mask, &s.maskMatrices[i]);
                cairo_mask(cr, mask);
                cairo_pattern_destroy(mask);
            }
        }
        cairo_pattern_destroy(group);
    }
    cairo_restore(cr);
    b->pushToUser();
}

} // namespace

void CGContextDraw(CGContext& c, const std::function<void(cairo_t*)>& draw)
{
    perform(c, draw);
}

namespace {

void fillOrStroke(const CGContextRef& c, CGPathDrawingMode mode, const char* name)
{
    if (!c)
        return;
    const auto& s = c->state();
    c->record(std::string(name) + " " + pathText(c->path())
        + (mode == kCGPathStroke || mode == kCGPathFillStroke || mode == kCGPathEOFillStroke
                ? " width " + num(s.lineWidth) + " " + rgbaText(s.stroke)
                : " " + rgbaText(s.fill)));
    if (c->backend() && !c->path().elements().empty()) {
        CGPath path = c->path();
        CGAffineTransform base = c->baseTransform();
        CGAffineTransform device = c->deviceTransform();
        perform(*c, [&](cairo_t* cr) {
            bool fill = mode != kCGPathStroke;
            bool stroke = mode == kCGPathStroke || mode == kCGPathFillStroke || mode == kCGPathEOFillStroke;
            if (fill) {
                addPath(cr, path, base);
                cairo_set_fill_rule(cr,
                    mode == kCGPathEOFill || mode == kCGPathEOFillStroke ? CAIRO_FILL_RULE_EVEN_ODD
                                                                         : CAIRO_FILL_RULE_WINDING);
                std::vector<uint8_t> patternPixels;
                cairo_surface_t* patternSurface = nullptr;
                if (s.fillPattern) {
                    // Pattern colours tile their image from the user-space origin, one image
                    // pixel per 1/scale point.
                    patternPixels = s.fillPattern->nativeARGB();
                    auto w = static_cast<int>(s.fillPattern->width()), h = static_cast<int>(s.fillPattern->height());
                    patternSurface
                        = cairo_image_surface_create_for_data(patternPixels.data(), CAIRO_FORMAT_ARGB32, w, h, w * 4);
                    cairo_pattern_t* pattern = cairo_pattern_create_for_surface(patternSurface);
                    cairo_pattern_set_extend(pattern, CAIRO_EXTEND_REPEAT);
                    // The engine's user space is device space here (the path was replayed in it).
                    cairo_matrix_t toUser = CGContextCairoMatrix(s.ctm);
                    cairo_matrix_t scale;
                    cairo_matrix_init_scale(&scale, 1.0 / s.fillPatternScale, 1.0 / s.fillPatternScale);
                    cairo_matrix_t patternToDevice;
                    cairo_matrix_multiply(&patternToDevice, &scale, &toUser);
                    cairo_matrix_invert(&patternToDevice);
                    cairo_pattern_set_matrix(pattern, &patternToDevice);
                    cairo_set_source(cr, pattern);
                    cairo_pattern_destroy(pattern);
                } else {
                    cairo_set_source_rgba(cr, s.fill[0], s.fill[1], s.fill[2], s.fill[3]);
                }
                cairo_fill(cr);
                if (patternSurface)
                    cairo_surface_destroy(patternSurface);
            }
            if (stroke) {
                addPath(cr, path, base);
                // The pen follows user space: set the full transform after the path is in.
                cairo_matrix_t m = CGContextCairoMatrix(device);
                cairo_set_matrix(cr, &m);
                applyStrokeStyle(cr, s);
                cairo_set_source_rgba(cr, s.stroke[0], s.stroke[1], s.stroke[2], s.stroke[3]);
                cairo_stroke(cr);
            }
        });
    }
    c->path().clear();
}

} // namespace

void CGContextDrawPath(const CGContextRef& c, CGPathDrawingMode mode)
{
    static const char* names[] = { "fill", "eofill", "stroke", "fillstroke", "eofillstroke" };
    fillOrStroke(c, mode, names[mode]);
}

void CGContextFillPath(const CGContextRef& c)
{
    CGContextDrawPath(c, kCGPathFill);
}
void CGContextEOFillPath(const CGContextRef& c)
{
    CGContextDrawPath(c, kCGPathEOFill);
}
void CGContextStrokePath(const CGContextRef& c)
{
    CGContextDrawPath(c, kCGPathStroke);
}

void CGContextFillRect(const CGContextRef& c, CGRect rect)
{
    CGContextFillRects(c, &rect, 1);
}

void CGContextFillRects(const CGContextRef& c, const CGRect* rects, size_t count)
{
    if (!c)
        return;
    CGContextBeginPath(c);
    CGContextAddRects(c, rects, count);
    CGContextFillPath(c);
}

void CGContextStrokeRect(const CGContextRef& c, CGRect rect)
{
    if (!c)
        return;
    CGContextBeginPath(c);
    CGContextAddRect(c, rect);
    CGContextStrokePath(c);
}

void CGContextStrokeRectWithWidth(const CGContextRef& c, CGRect rect, CGFloat width)
{
    if (!c)
        return;
    CGContextSaveGState(c);
    CGContextSetLineWidth(c, width);
    CGContextStrokeRect(c, rect);
    CGContextRestoreGState(c);
}

void CGContextFillEllipseInRect(const CGContextRef& c, CGRect rect)
{
    if (!c)
        return;
    CGContextBeginPath(c);
    CGContextAddEllipseInRect(c, rect);
    CGContextFillPath(c);
}

void CGContextStrokeEllipseInRect(const CGContextRef& c, CGRect rect)
{
    if (!c)
        return;
    CGContextBeginPath(c);
    CGContextAddEllipseInRect(c, rect);
    CGContextStrokePath(c);
}

void CGContextStrokeLineSegments(const CGContextRef& c, const CGPoint* points, size_t count)
{
    if (!c || !points)
        return;
    CGContextBeginPath(c);
    for (size_t i = 0; i + 1 < count; i += 2) {
        CGContextMoveToPoint(c, points[i].x, points[i].y);
        CGContextAddLineToPoint(c, points[i + 1].x, points[i + 1].y);
    }
    CGContextStrokePath(c);
}

void CGContextClearRect(const CGContextRef& c, CGRect rect)
{
    if (!c)
        return;
    c->record("clear " + NSStringFromCGRect(rect));
    auto* b = c->backend();
    if (!b)
        return;
    b->pullFromUser();
    cairo_t* cr = b->cr;
    cairo_save(cr);
    CGContextApplyUserMatrix(*c);
    cairo_rectangle(cr, rect.origin.x, rect.origin.y, rect.size.width, rect.size.height);
    cairo_set_operator(cr, CAIRO_OPERATOR_CLEAR);
    cairo_fill(cr);
    cairo_restore(cr);
    b->pushToUser();
}

void CGContextReplacePathWithStrokedPath(const CGContextRef& c)
{
    if (!c)
        return;
    // Approximation: the outline of the stroke as the bounding box of each segment widened by
    // half the line width. Good enough for hit areas, which is what callers use it for.
    const auto& s = c->state();
    auto polygons = CGPathFlatten(c->path());
    CGPath outline;
    CGFloat half = s.lineWidth / 2;
    for (const auto& poly : polygons) {
        for (size_t i = 0; i + 1 < poly.size(); ++i) {
            CGPoint a = poly[i], b = poly[i + 1];
            double dx = b.x - a.x, dy = b.y - a.y, len = std::hypot(dx, dy);
            if (len == 0)
                continue;
            CGPoint n { static_cast<CGFloat>(-dy / len * half), static_cast<CGFloat>(dx / len * half) };
            outline.moveTo({ a.x + n.x, a.y + n.y });
            outline.lineTo({ b.x + n.x, b.y + n.y });
            outline.lineTo({ b.x - n.x, b.y - n.y });
            outline.lineTo({ a.x - n.x, a.y - n.y });
            outline.close();
        }
    }
    c->path() = outline;
}

void CGContextBeginTransparencyLayer(const CGContextRef& c, const Value&)
{
    if (!c)
        return;
    c->record("beginTransparencyLayer");
    c->saveState();
    if (auto* b = c->backend()) {
        b->pullFromUser();
        cairo_push_group(b->cr);
    }
    c->transparencyDepth()++;
    // Inside the group, drawing is plain: the group carries alpha, blend and shadow.
    auto& s = c->state();
    s.alpha = 1;
    s.blendMode = kCGBlendModeNormal;
    s.shadowActive = false;
}

void CGContextEndTransparencyLayer(const CGContextRef& c)
{
    if (!c || c->transparencyDepth() == 0)
        return;
    c->record("endTransparencyLayer");
    c->transparencyDepth()--;
    cairo_pattern_t* group = nullptr;
    if (auto* b = c->backend()) {
        group = cairo_pop_group(b->cr);
        // Painted in device space below, so the group's matrix must not carry the CTM.
        cairo_matrix_t identity;
        cairo_matrix_init_identity(&identity);
        cairo_pattern_set_matrix(group, &identity);
    }
    c->restoreState();
    if (group) {
        perform(*c, [&](cairo_t* cr) {
            cairo_identity_matrix(cr);
            cairo_set_source(cr, group);
            cairo_paint(cr);
        });
        cairo_pattern_destroy(group);
    }
}

void CGContextFlush(const CGContextRef& c)
{
    if (c && c->backend())
        cairo_surface_flush(c->backend()->surface);
}

void CGContextSynchronize(const CGContextRef& c)
{
    CGContextFlush(c);
}
