// CGContext: creating contexts, bitmap contexts and their engine, and the graphics state.
#include "graphics/CGContext.h"

#include "foundation/NSLog.h"
#include "graphics/CGContextInternal.h"

#include <algorithm>
#include <cstring>

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

namespace CGContextInternal {

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

} // namespace CGContextInternal

namespace {

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
