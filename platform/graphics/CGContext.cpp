#include "graphics/CGContext.h"

#include "foundation/NSLog.h"
#include "graphics/CGContextPrivate.h"

#include <algorithm>
#include <cmath>
#include <cstring>

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

// ---------------------------------------------------------------------------------------------
// Context and backend

CGContext::Backend::~Backend()
{
    if (cr)
        cairo_destroy(cr);
    if (surface)
        cairo_surface_destroy(surface);
}

void CGContext::Backend::pullFromUser()
{
    if (!shadowed)
        return;
    cairo_surface_flush(surface);
    uint8_t* dst = cairo_image_surface_get_data(surface);
    int stride = cairo_image_surface_get_stride(surface);
    bool alphaOnly = cairo_image_surface_get_format(surface) == CAIRO_FORMAT_A8;
    for (size_t y = 0; y < height; ++y) {
        const uint8_t* row = userData + y * bytesPerRow;
        uint8_t* out = dst + y * static_cast<size_t>(stride);
        if (alphaOnly) {
            std::memcpy(out, row, width);
            continue;
        }
        for (size_t x = 0; x < width; ++x) {
            uint8_t rgba[4];
            format.readPremultiplied(row, x, rgba);
            out[x * 4 + 0] = rgba[2];
            out[x * 4 + 1] = rgba[1];
            out[x * 4 + 2] = rgba[0];
            out[x * 4 + 3] = rgba[3];
        }
    }
    cairo_surface_mark_dirty(surface);
}

void CGContext::Backend::pushToUser()
{
    if (!shadowed)
        return;
    cairo_surface_flush(surface);
    const uint8_t* src = cairo_image_surface_get_data(surface);
    int stride = cairo_image_surface_get_stride(surface);
    bool alphaOnly = cairo_image_surface_get_format(surface) == CAIRO_FORMAT_A8;
    for (size_t y = 0; y < height; ++y) {
        uint8_t* row = userData + y * bytesPerRow;
        const uint8_t* in = src + y * static_cast<size_t>(stride);
        if (alphaOnly) {
            std::memcpy(row, in, width);
            continue;
        }
        for (size_t x = 0; x < width; ++x) {
            uint8_t rgba[4] = { in[x * 4 + 2], in[x * 4 + 1], in[x * 4 + 0], in[x * 4 + 3] };
            format.writePremultiplied(row, x, rgba);
        }
    }
}

CGContext::CGContext()
{
    m_states.emplace_back();
}
CGContext::~CGContext() = default;

CGContext::State& CGContext::state()
{
    return m_states.back();
}

void CGContext::saveState()
{
    m_states.push_back(m_states.back());
    if (m_backend)
        cairo_save(m_backend->cr);
}

bool CGContext::restoreState()
{
    if (m_states.size() < 2)
        return false;
    m_states.pop_back();
    if (m_backend)
        cairo_restore(m_backend->cr);
    return true;
}
const CGContext::State& CGContext::state() const
{
    return m_states.back();
}

size_t CGContext::width() const
{
    return m_backend ? m_backend->width : static_cast<size_t>(m_recordingSize.width);
}
size_t CGContext::height() const
{
    return m_backend ? m_backend->height : static_cast<size_t>(m_recordingSize.height);
}
size_t CGContext::bytesPerRow() const
{
    return m_backend ? m_backend->bytesPerRow : 0;
}
uint8_t* CGContext::data() const
{
    return m_backend ? m_backend->userData : nullptr;
}

const CGPixelFormat& CGContext::format() const
{
    static const CGPixelFormat s_none { 8, 32, kCGColorSpaceModelRGB,
        kCGImageAlphaPremultipliedFirst | kCGBitmapByteOrder32Little };
    return m_backend ? m_backend->format : s_none;
}

CGColorSpaceRef CGContext::colorSpace() const
{
    return m_backend ? m_backend->space : CGColorSpaceCreateDeviceRGB();
}

CGAffineTransform CGContext::deviceTransform() const
{
    return CGAffineTransformConcat(state().ctm, m_base);
}

void CGContext::record(std::string line)
{
    if (isRecording())
        m_recording.push_back(std::move(line));
}

void CGContext::setBaseTransform(CGAffineTransform base)
{
    m_base = base;
}

namespace {

const char* kUnsupported
    = "CGBitmapContextCreate: unsupported parameter combination: %lu integer bits/component; %lu bits/pixel; "
      "%@-component color space; %@; %lu bytes/row.";

std::string alphaInfoName(CGImageAlphaInfo a)
{
    static const char* names[] = { "kCGImageAlphaNone", "kCGImageAlphaPremultipliedLast",
        "kCGImageAlphaPremultipliedFirst", "kCGImageAlphaLast", "kCGImageAlphaFirst", "kCGImageAlphaNoneSkipLast",
        "kCGImageAlphaNoneSkipFirst", "kCGImageAlphaOnly" };
    return a <= kCGImageAlphaOnly ? names[a] : "unknown alpha info";
}

} // namespace

CGContextRef CGContext::makeBitmap(
    void* data, size_t width, size_t height, size_t bytesPerRow, CGPixelFormat format, CGColorSpaceRef space)
{
    auto context = std::make_shared<CGContext>();
    auto backend = std::make_unique<Backend>();
    backend->width = width;
    backend->height = height;
    backend->bytesPerRow = bytesPerRow;
    backend->format = format;
    backend->space = std::move(space);
    if (!data) {
        backend->ownedData.assign(bytesPerRow * height, 0);
        backend->userData = backend->ownedData.data();
    } else {
        backend->userData = static_cast<uint8_t*>(data);
    }
    bool alphaOnly = format.model == kCGColorSpaceModelUnknown;
    // Memory already in the engine's layout is drawn into directly: premultiplied BGRA, BGRX
    // (the engine's opaque layout) and alpha-only.
    bool opaqueNative = format.isNativeARGB() && format.alphaInfo() == kCGImageAlphaNoneSkipFirst;
    cairo_format_t cairoFormat = alphaOnly ? CAIRO_FORMAT_A8 : opaqueNative ? CAIRO_FORMAT_RGB24 : CAIRO_FORMAT_ARGB32;
    int minimumStride = cairo_format_stride_for_width(cairoFormat, static_cast<int>(width));
    bool direct = (alphaOnly || format.isNativeARGB()) && bytesPerRow % 4 == 0
        && static_cast<int>(bytesPerRow) >= minimumStride;
    if (!direct)
        cairoFormat = alphaOnly ? CAIRO_FORMAT_A8 : CAIRO_FORMAT_ARGB32;
    if (direct) {
        backend->surface = cairo_image_surface_create_for_data(backend->userData, cairoFormat, static_cast<int>(width),
            static_cast<int>(height), static_cast<int>(bytesPerRow));
    } else {
        backend->shadowed = true;
        backend->surface = cairo_image_surface_create(cairoFormat, static_cast<int>(width), static_cast<int>(height));
    }
    if (cairo_surface_status(backend->surface) != CAIRO_STATUS_SUCCESS) {
        NSLog("CGBitmapContextCreate: could not allocate a %lu x %lu bitmap.", static_cast<unsigned long>(width),
            static_cast<unsigned long>(height));
        return nullptr;
    }
    backend->cr = cairo_create(backend->surface);
    context->m_backend = std::move(backend);
    // User space is y-up with the origin at the bottom left; the engine is y-down.
    context->m_base = CGAffineTransformMake(1, 0, 0, -1, 0, static_cast<CGFloat>(height));
    context->state().fillSpace = context->state().strokeSpace = alphaOnly ? nullptr : context->m_backend->space;
    return context;
}

CGContextRef CGContext::makeRecording(CGSize size)
{
    auto context = std::make_shared<CGContext>();
    context->m_recordingSize = size;
    context->m_base = CGAffineTransformMake(1, 0, 0, -1, 0, size.height);
    context->state().fillSpace = context->state().strokeSpace = CGColorSpaceCreateDeviceRGB();
    return context;
}

CGContextRef CGBitmapContextCreate(void* data, size_t width, size_t height, size_t bitsPerComponent, size_t bytesPerRow,
    const CGColorSpaceRef& space, CGBitmapInfo bitmapInfo)
{
    CGColorSpaceModel model = space ? space->model() : kCGColorSpaceModelUnknown;
    size_t components = space ? space->numberOfComponents() : 0;
    auto alpha = static_cast<CGImageAlphaInfo>(bitmapInfo & kCGBitmapAlphaInfoMask);
    size_t bitsPerPixel = 8;
    if (model == kCGColorSpaceModelRGB)
        bitsPerPixel = 32;
    else if (model == kCGColorSpaceModelMonochrome)
        bitsPerPixel = alpha == kCGImageAlphaNone ? 8 : 16;
    CGPixelFormat format { bitsPerComponent, bitsPerPixel, model, bitmapInfo };
    if (width == 0 || height == 0 || width > kCGMaximumBitmapDimension || height > kCGMaximumBitmapDimension) {
        NSLog("CGBitmapContextCreate: invalid data bytes/row: should be at least %lu for %lu integer bits/component, "
              "%lu components, "
              "%@.",
            static_cast<unsigned long>(width * bitsPerPixel / 8), static_cast<unsigned long>(bitsPerComponent),
            static_cast<unsigned long>(components), alphaInfoName(alpha));
        return nullptr;
    }
    // Contexts draw into RGB with alpha or skipped alpha, grey without alpha, or alpha only.
    bool drawable = format.isSupported()
        && (model != kCGColorSpaceModelRGB || (alpha != kCGImageAlphaLast && alpha != kCGImageAlphaFirst))
        && model != kCGColorSpaceModelMonochrome + 100;
    if (model == kCGColorSpaceModelMonochrome && alpha != kCGImageAlphaNone)
        drawable = false;
    if (!drawable) {
        NSLog(kUnsupported, static_cast<unsigned long>(bitsPerComponent), static_cast<unsigned long>(bitsPerPixel),
            std::to_string(components), alphaInfoName(alpha), static_cast<unsigned long>(bytesPerRow));
        return nullptr;
    }
    size_t minimumRow = width * bitsPerPixel / 8;
    if (bytesPerRow == 0)
        bytesPerRow = (minimumRow + 3) & ~size_t(3);
    if (bytesPerRow < minimumRow || bytesPerRow * height > kCGMaximumBitmapBytes) {
        NSLog("CGBitmapContextCreate: invalid data bytes/row: should be at least %lu for %lu integer bits/component, "
              "%lu components, "
              "%@.",
            static_cast<unsigned long>(minimumRow), static_cast<unsigned long>(bitsPerComponent),
            static_cast<unsigned long>(components), alphaInfoName(alpha));
        return nullptr;
    }
    return CGContext::makeBitmap(data, width, height, bytesPerRow, format, space);
}

void* CGBitmapContextGetData(const CGContextRef& c)
{
    return c ? c->data() : nullptr;
}
size_t CGBitmapContextGetWidth(const CGContextRef& c)
{
    return c && !c->isRecording() ? c->width() : 0;
}
size_t CGBitmapContextGetHeight(const CGContextRef& c)
{
    return c && !c->isRecording() ? c->height() : 0;
}
size_t CGBitmapContextGetBytesPerRow(const CGContextRef& c)
{
    return c ? c->bytesPerRow() : 0;
}
size_t CGBitmapContextGetBitsPerComponent(const CGContextRef& c)
{
    return c && !c->isRecording() ? c->format().bitsPerComponent : 0;
}
size_t CGBitmapContextGetBitsPerPixel(const CGContextRef& c)
{
    return c && !c->isRecording() ? c->format().bitsPerPixel : 0;
}
CGBitmapInfo CGBitmapContextGetBitmapInfo(const CGContextRef& c)
{
    return c && !c->isRecording() ? c->format().bitmapInfo : 0;
}
CGImageAlphaInfo CGBitmapContextGetAlphaInfo(const CGContextRef& c)
{
    return c && !c->isRecording() ? c->format().alphaInfo() : kCGImageAlphaNone;
}
CGColorSpaceRef CGBitmapContextGetColorSpace(const CGContextRef& c)
{
    return c && !c->isRecording() ? c->colorSpace() : nullptr;
}

CGImageRef CGBitmapContextCreateImage(const CGContextRef& c)
{
    if (!c || c->isRecording())
        return nullptr;
    auto* b = c->backend();
    size_t rowBytes = b->width * b->format.bitsPerPixel / 8;
    std::vector<uint8_t> bytes(rowBytes * b->height);
    for (size_t y = 0; y < b->height; ++y)
        std::memcpy(bytes.data() + y * rowBytes, b->userData + y * b->bytesPerRow, rowBytes);
    return std::make_shared<CGImage>(
        b->width, b->height, rowBytes, b->format, b->space, CGDataProviderCreateWithBytes(std::move(bytes)), true);
}

CGContextRef CGContextCreateRecording(CGSize size)
{
    return CGContext::makeRecording(size);
}

std::vector<std::string> CGContextGetRecordedOperations(const CGContextRef& c)
{
    return c ? c->recording() : std::vector<std::string> {};
}

cairo_matrix_t CGContextCairoMatrix(CGAffineTransform t)
{
    cairo_matrix_t m;
    cairo_matrix_init(&m, t.a, t.b, t.c, t.d, t.tx, t.ty);
    return m;
}

void CGContextApplyUserMatrix(CGContext& c)
{
    if (!c.backend())
        return;
    cairo_matrix_t m = CGContextCairoMatrix(c.deviceTransform());
    cairo_set_matrix(c.backend()->cr, &m);
}

// ---------------------------------------------------------------------------------------------
// State

namespace {

std::string num(double v)
{
    return CGFloatDescription(v);
}

std::string pathText(const CGPath& path)
{
    std::string out;
    for (const auto& e : path.elements()) {
        if (!out.empty())
            out += ' ';
        switch (e.type) {
        case kCGPathElementMoveToPoint:
            out += "M " + num(e.points[0].x) + " " + num(e.points[0].y);
            break;
        case kCGPathElementAddLineToPoint:
            out += "L " + num(e.points[0].x) + " " + num(e.points[0].y);
            break;
        case kCGPathElementAddQuadCurveToPoint:
            out += "Q " + num(e.points[0].x) + " " + num(e.points[0].y) + " " + num(e.points[1].x) + " "
                + num(e.points[1].y);
            break;
        case kCGPathElementAddCurveToPoint:
            out += "C " + num(e.points[0].x) + " " + num(e.points[0].y) + " " + num(e.points[1].x) + " "
                + num(e.points[1].y) + " " + num(e.points[2].x) + " " + num(e.points[2].y);
            break;
        case kCGPathElementCloseSubpath:
            out += "Z";
            break;
        }
    }
    return out;
}

std::string rgbaText(const CGFloat* c)
{
    return "rgba(" + num(c[0]) + ", " + num(c[1]) + ", " + num(c[2]) + ", " + num(c[3]) + ")";
}

void setColor(CGFloat out[4], const CGColorSpaceRef& space, const CGFloat* components)
{
    CGColor color(space ? space : CGColorSpaceCreateDeviceRGB(),
        std::vector<CGFloat>(components, components + (space ? space->numberOfComponents() : 3) + 1));
    color.getRGBA(out);
}

} // namespace

void CGContextSaveGState(const CGContextRef& c)
{
    if (!c)
        return;
    c->record("save");
    c->saveState();
}

void CGContextRestoreGState(const CGContextRef& c)
{
    if (!c)
        return;
    c->record("restore");
    c->restoreState();
}

void CGContextConcatCTM(const CGContextRef& c, CGAffineTransform t)
{
    if (!c)
        return;
    c->state().ctm = CGAffineTransformConcat(t, c->state().ctm);
    c->record("concat " + NSStringFromCGAffineTransform(t));
}

void CGContextTranslateCTM(const CGContextRef& c, CGFloat tx, CGFloat ty)
{
    CGContextConcatCTM(c, CGAffineTransformMakeTranslation(tx, ty));
}
void CGContextScaleCTM(const CGContextRef& c, CGFloat sx, CGFloat sy)
{
    CGContextConcatCTM(c, CGAffineTransformMakeScale(sx, sy));
}
void CGContextRotateCTM(const CGContextRef& c, CGFloat angle)
{
    CGContextConcatCTM(c, CGAffineTransformMakeRotation(angle));
}
CGAffineTransform CGContextGetCTM(const CGContextRef& c)
{
    return c ? c->state().ctm : CGAffineTransformIdentity;
}
CGAffineTransform CGContextGetUserSpaceToDeviceSpaceTransform(const CGContextRef& c)
{
    return CGContextGetCTM(c);
}
CGPoint CGContextConvertPointToDeviceSpace(const CGContextRef& c, CGPoint p)
{
    return CGPointApplyAffineTransform(p, CGContextGetCTM(c));
}
CGPoint CGContextConvertPointToUserSpace(const CGContextRef& c, CGPoint p)
{
    return CGPointApplyAffineTransform(p, CGAffineTransformInvert(CGContextGetCTM(c)));
}
CGRect CGContextConvertRectToDeviceSpace(const CGContextRef& c, CGRect r)
{
    return CGRectApplyAffineTransform(r, CGContextGetCTM(c));
}

void CGContextSetLineWidth(const CGContextRef& c, CGFloat width)
{
    if (c)
        c->state().lineWidth = std::max<CGFloat>(0, width);
}
void CGContextSetLineCap(const CGContextRef& c, CGLineCap cap)
{
    if (c)
        c->state().lineCap = cap;
}
void CGContextSetLineJoin(const CGContextRef& c, CGLineJoin join)
{
    if (c)
        c->state().lineJoin = join;
}
void CGContextSetMiterLimit(const CGContextRef& c, CGFloat limit)
{
    if (c)
        c->state().miterLimit = limit;
}
void CGContextSetLineDash(const CGContextRef& c, CGFloat phase, const CGFloat* lengths, size_t count)
{
    if (!c)
        return;
    auto& s = c->state();
    s.dash.clear();
    s.dashPhase = phase;
    bool allZero = true;
    for (size_t i = 0; lengths && i < count; ++i) {
        s.dash.push_back(std::max<CGFloat>(0, lengths[i]));
        allZero = allZero && lengths[i] <= 0;
    }
    // A pattern of zeros would draw nothing forever; treat it as solid.
    if (allZero)
        s.dash.clear();
}
void CGContextSetAlpha(const CGContextRef& c, CGFloat alpha)
{
    if (c)
        c->state().alpha = std::clamp<CGFloat>(alpha, 0, 1);
}
void CGContextSetBlendMode(const CGContextRef& c, CGBlendMode mode)
{
    if (c)
        c->state().blendMode = mode;
}
void CGContextSetInterpolationQuality(const CGContextRef& c, CGInterpolationQuality quality)
{
    if (c)
        c->state().interpolation = quality;
}
CGInterpolationQuality CGContextGetInterpolationQuality(const CGContextRef& c)
{
    return c ? c->state().interpolation : kCGInterpolationDefault;
}
void CGContextSetShouldAntialias(const CGContextRef& c, bool antialias)
{
    if (c)
        c->state().antialias = antialias;
}
void CGContextSetAllowsAntialiasing(const CGContextRef& c, bool antialias)
{
    CGContextSetShouldAntialias(c, antialias);
}
void CGContextSetFlatness(const CGContextRef&, CGFloat) { }

void CGContextSetRGBFillColor(const CGContextRef& c, CGFloat r, CGFloat g, CGFloat b, CGFloat a)
{
    CGFloat v[4] = { r, g, b, a };
    if (!c)
        return;
    c->state().fillPattern = nullptr;
    setColor(c->state().fill, CGColorSpaceCreateDeviceRGB(), v);
}
void CGContextSetRGBStrokeColor(const CGContextRef& c, CGFloat r, CGFloat g, CGFloat b, CGFloat a)
{
    CGFloat v[4] = { r, g, b, a };
    if (c)
        setColor(c->state().stroke, CGColorSpaceCreateDeviceRGB(), v);
}
void CGContextSetGrayFillColor(const CGContextRef& c, CGFloat gray, CGFloat a)
{
    CGFloat v[2] = { gray, a };
    if (!c)
        return;
    c->state().fillPattern = nullptr;
    setColor(c->state().fill, CGColorSpaceCreateDeviceGray(), v);
}
void CGContextSetGrayStrokeColor(const CGContextRef& c, CGFloat gray, CGFloat a)
{
    CGFloat v[2] = { gray, a };
    if (c)
        setColor(c->state().stroke, CGColorSpaceCreateDeviceGray(), v);
}
void CGContextSetFillColorWithColor(const CGContextRef& c, const CGColorRef& color)
{
    if (!c)
        return;
    c->state().fillPattern = nullptr;
    if (!color) {
        std::fill(c->state().fill, c->state().fill + 4, 0.0f);
        return;
    }
    color->getRGBA(c->state().fill);
    c->state().fillSpace = color->colorSpace();
}
void CGContextSetStrokeColorWithColor(const CGContextRef& c, const CGColorRef& color)
{
    if (!c)
        return;
    if (!color) {
        std::fill(c->state().stroke, c->state().stroke + 4, 0.0f);
        return;
    }
    color->getRGBA(c->state().stroke);
    c->state().strokeSpace = color->colorSpace();
}
void CGContextSetFillColor(const CGContextRef& c, const CGFloat* components)
{
    if (c && components)
        setColor(c->state().fill, c->state().fillSpace, components);
}
void CGContextSetStrokeColor(const CGContextRef& c, const CGFloat* components)
{
    if (c && components)
        setColor(c->state().stroke, c->state().strokeSpace, components);
}
void CGContextSetFillColorSpace(const CGContextRef& c, const CGColorSpaceRef& space)
{
    if (!c)
        return;
    c->state().fillSpace = space;
    // A new colour space starts from its initial colour: black, opaque.
    c->state().fill[0] = c->state().fill[1] = c->state().fill[2] = 0;
    c->state().fill[3] = 1;
}
void CGContextSetStrokeColorSpace(const CGContextRef& c, const CGColorSpaceRef& space)
{
    if (!c)
        return;
    c->state().strokeSpace = space;
    c->state().stroke[0] = c->state().stroke[1] = c->state().stroke[2] = 0;
    c->state().stroke[3] = 1;
}
void CGContextSetShadowWithColor(const CGContextRef& c, CGSize offset, CGFloat blur, const CGColorRef& color)
{
    if (!c)
        return;
    auto& s = c->state();
    s.shadowOffset = offset;
    s.shadowBlur = std::max<CGFloat>(0, blur);
    if (color)
        color->getRGBA(s.shadowColor);
    s.shadowActive = color && color->alpha() > 0;
}
void CGContextSetShadow(const CGContextRef& c, CGSize offset, CGFloat blur)
{
    CGContextSetShadowWithColor(c, offset, blur, CGColorCreateGenericGray(0, 1.0f / 3));
}

// ---------------------------------------------------------------------------------------------
// Paths

namespace {

CGAffineTransform ctmOf(const CGContextRef& c)
{
    return c->state().ctm;
}

} // namespace

void CGContextBeginPath(const CGContextRef& c)
{
    if (c)
        c->path().clear();
}

void CGContextMoveToPoint(const CGContextRef& c, CGFloat x, CGFloat y)
{
    if (c)
        c->path().moveTo(CGPointApplyAffineTransform({ x, y }, ctmOf(c)));
}

void CGContextAddLineToPoint(const CGContextRef& c, CGFloat x, CGFloat y)
{
    if (c && c->path().hasCurrentPoint())
        c->path().lineTo(CGPointApplyAffineTransform({ x, y }, ctmOf(c)));
}

void CGContextAddCurveToPoint(
    const CGContextRef& c, CGFloat cp1x, CGFloat cp1y, CGFloat cp2x, CGFloat cp2y, CGFloat x, CGFloat y)
{
    if (!c || !c->path().hasCurrentPoint())
        return;
    auto m = ctmOf(c);
    c->path().curveTo(CGPointApplyAffineTransform({ cp1x, cp1y }, m), CGPointApplyAffineTransform({ cp2x, cp2y }, m),
        CGPointApplyAffineTransform({ x, y }, m));
}

void CGContextAddQuadCurveToPoint(const CGContextRef& c, CGFloat cpx, CGFloat cpy, CGFloat x, CGFloat y)
{
    if (!c || !c->path().hasCurrentPoint())
        return;
    auto m = ctmOf(c);
    c->path().quadTo(CGPointApplyAffineTransform({ cpx, cpy }, m), CGPointApplyAffineTransform({ x, y }, m));
}

void CGContextClosePath(const CGContextRef& c)
{
    if (c)
        c->path().close();
}

void CGContextAddRect(const CGContextRef& c, CGRect rect)
{
    if (!c)
        return;
    auto path = CGPathCreateMutable();
    auto m = ctmOf(c);
    CGPathAddRect(path, &m, rect);
    c->path().append(*path, nullptr);
}

void CGContextAddRects(const CGContextRef& c, const CGRect* rects, size_t count)
{
    for (size_t i = 0; rects && i < count; ++i)
        CGContextAddRect(c, rects[i]);
}

void CGContextAddLines(const CGContextRef& c, const CGPoint* points, size_t count)
{
    if (!c || !points || count == 0)
        return;
    auto m = ctmOf(c);
    c->path().moveTo(CGPointApplyAffineTransform(points[0], m));
    for (size_t i = 1; i < count; ++i)
        c->path().lineTo(CGPointApplyAffineTransform(points[i], m));
}

void CGContextAddEllipseInRect(const CGContextRef& c, CGRect rect)
{
    if (!c)
        return;
    auto path = CGPathCreateMutable();
    auto m = ctmOf(c);
    CGPathAddEllipseInRect(path, &m, rect);
    c->path().append(*path, nullptr);
}

void CGContextAddArc(
    const CGContextRef& c, CGFloat x, CGFloat y, CGFloat radius, CGFloat startAngle, CGFloat endAngle, int clockwise)
{
    if (!c)
        return;
    auto m = ctmOf(c);
    c->path().addArc({ x, y }, radius, startAngle, endAngle, clockwise != 0, &m);
}

void CGContextAddArcToPoint(const CGContextRef& c, CGFloat x1, CGFloat y1, CGFloat x2, CGFloat y2, CGFloat radius)
{
    if (!c)
        return;
    auto m = ctmOf(c);
    c->path().addArcToPoint({ x1, y1 }, { x2, y2 }, radius, &m);
}

void CGContextAddPath(const CGContextRef& c, const CGPathRef& path)
{
    if (!c || !path)
        return;
    auto m = ctmOf(c);
    c->path().append(*path, &m);
}

bool CGContextIsPathEmpty(const CGContextRef& c)
{
    return !c || c->path().elements().empty();
}

CGPoint CGContextGetPathCurrentPoint(const CGContextRef& c)
{
    if (!c || !c->path().hasCurrentPoint())
        return CGPointZero;
    return CGPointApplyAffineTransform(c->path().currentPoint(), CGAffineTransformInvert(ctmOf(c)));
}

CGPathRef CGContextCopyPath(const CGContextRef& c)
{
    if (!c)
        return nullptr;
    auto path = CGPathCreateMutable();
    auto inverse = CGAffineTransformInvert(ctmOf(c));
    path->append(c->path(), &inverse);
    return path;
}

CGRect CGContextGetPathBoundingBox(const CGContextRef& c)
{
    return c ? CGPathGetBoundingBox(CGContextCopyPath(c)) : CGRectNull;
}

bool CGContextPathContainsPoint(const CGContextRef& c, CGPoint point, CGPathDrawingMode mode)
{
    if (!c)
        return false;
    auto path = std::make_shared<const CGPath>(c->path());
    CGPoint device = CGPointApplyAffineTransform(point, ctmOf(c));
    if (mode == kCGPathStroke)
        return false;
    return CGPathContainsPoint(path, nullptr, device, mode == kCGPathEOFill || mode == kCGPathEOFillStroke);
}

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

// ---------------------------------------------------------------------------------------------
// Gradients and images

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
    perform(*c, [&](cairo_t* cr) {
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
    perform(*c, [&](cairo_t* cr) {
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
    perform(*c, [&](cairo_t* cr) {
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
    perform(*c, [&](cairo_t* cr) {
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

void CGContextSetTextPosition(const CGContextRef& c, CGFloat x, CGFloat y)
{
    if (c)
        c->state().textPosition = { x, y };
}
CGPoint CGContextGetTextPosition(const CGContextRef& c)
{
    return c ? c->state().textPosition : CGPointZero;
}
void CGContextSetTextMatrix(const CGContextRef& c, CGAffineTransform t)
{
    if (c)
        c->state().textMatrix = t;
}
CGAffineTransform CGContextGetTextMatrix(const CGContextRef& c)
{
    return c ? c->state().textMatrix : CGAffineTransformIdentity;
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
