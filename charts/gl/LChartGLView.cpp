#include "charts/gl/LChartGLView.h"

#include "gles/CAEAGLLayer.h"
#include "gles/EAGLContext.h"
#include "graphics/CATransaction.h"
#include "graphics/CGContext.h"
#include "graphics/UIColor.h"
#include "graphics/UIImage.h"
#include "uikit/UIScreen.h"

#include <cmath>

VX_REGISTER_CLASS(LChartGLView);

// Steps nothing itself: the animation values come from the series directory.
class LChartGLView::AnimationManager final : public LChartGL::AnimationManager {
public:
    explicit AnimationManager(LChartGLView& view)
        : m_view(view)
    {
    }
    LChartGL::AnimationValues updateValues(const LChartGL::SeriesHandle& series) override
    {
        if (!m_view.m_directory)
            return {};
        return m_view.m_directory->animationValuesOf(static_cast<const LChartSeriesHandle&>(series).series());
    }

private:
    LChartGLView& m_view;
};

LChartGLView::LChartGLView(Passkey key)
    : UIView(key)
{
}

LChartGLView::~LChartGLView()
{
    if (!m_context)
        return;
    auto previous = EAGLContext::currentContext();
    EAGLContext::setCurrentContext(m_context);
    m_drawer.reset();
    deleteFrameBuffer();
    EAGLContext::setCurrentContext(previous == m_context ? nullptr : previous);
}

Ref<CALayer> LChartGLView::layerClass() const
{
    return CAEAGLLayer::layer();
}

Ref<LChartGLView> LChartGLView::initWithFrame(CGRect frame)
{
    auto view = makeView<LChartGLView>(frame);
    // Multisampling only where an ES 3 context cannot be had.
    view->m_useMSAA = !EAGLContext::initWithAPI(kEAGLRenderingAPIOpenGLES3);
    view->m_errorHandler = std::make_unique<LChartGLErrorHandler>();
    view->m_errorHandle = std::make_shared<LChartGLErrorHandlerHandle>(view->m_errorHandler.get());
    view->m_animationManager = std::make_unique<AnimationManager>(*view);
    view->m_resetAnimationTimer = true;
    view->setClipsToBounds(true);
    view->setBackgroundColor(UIColor::clearColor());
    view->setOpaque(false);

    view->m_eaglLayer = std::static_pointer_cast<CAEAGLLayer>(view->layer());
    view->m_eaglLayer->setContentsScale(UIScreen::mainScreen()->scale());
    view->m_eaglLayer->setOpaque(false);
    Value properties = Value::dictionary();
    view->m_eaglLayer->setDrawableProperties(properties);

    view->m_context = EAGLContext::initWithAPI(kEAGLRenderingAPIOpenGLES2);
    if (!view->m_context)
        LChartGL::fatal(view->m_errorHandle, "Failed to initialize OpenGLES 2.0 context");
    view->setEAGLContext();
    gl().GenFramebuffers(1, &view->m_framebuffer);
    gl().GenRenderbuffers(1, &view->m_colorRenderBuffer);
    gl().GenRenderbuffers(1, &view->m_depthStencilRenderBuffer);
    if (view->m_useMSAA) {
        gl().GenFramebuffers(1, &view->m_framebufferMSAA);
        gl().GenRenderbuffers(1, &view->m_colorRenderBufferMSAA);
    }
    view->m_drawer = std::make_unique<LChartGL::Drawer>(view->m_eaglLayer->isOpaque(), view->m_errorHandle);
    view->setupFrameBuffer();
    view->m_drawer->setViewportSize(view->m_backingWidth, view->m_backingHeight);
    view->m_needsResize = false;
    return view;
}

void LChartGLView::setEAGLContext()
{
    if (!EAGLContext::setCurrentContext(m_context))
        LChartGL::fatal(m_errorHandle, "Failed to set current OpenGL context");
}

void LChartGLView::setupFrameBuffer()
{
    gl().BindRenderbuffer(GL_RENDERBUFFER, m_colorRenderBuffer);
    m_context->renderbufferStorageFromDrawable(GL_RENDERBUFFER, m_eaglLayer);
    GLint width = 0, height = 0;
    gl().GetRenderbufferParameteriv(GL_RENDERBUFFER, GL_RENDERBUFFER_WIDTH, &width);
    gl().GetRenderbufferParameteriv(GL_RENDERBUFFER, GL_RENDERBUFFER_HEIGHT, &height);
    m_backingWidth = width;
    m_backingHeight = height;
    gl().Viewport(0, 0, width, height);
    gl().BindFramebuffer(GL_FRAMEBUFFER, m_framebuffer);
    gl().FramebufferRenderbuffer(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_RENDERBUFFER, m_colorRenderBuffer);
    if (m_useMSAA) {
        gl().BindFramebuffer(GL_FRAMEBUFFER, m_framebufferMSAA);
        gl().BindRenderbuffer(GL_RENDERBUFFER, m_colorRenderBufferMSAA);
        gl().RenderbufferStorageMultisample(GL_RENDERBUFFER, 4, kGLRGBA8, width, height);
        gl().FramebufferRenderbuffer(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_RENDERBUFFER, m_colorRenderBufferMSAA);
        gl().BindRenderbuffer(GL_RENDERBUFFER, m_depthStencilRenderBuffer);
        gl().RenderbufferStorageMultisample(GL_RENDERBUFFER, 4, kGLDepth24Stencil8, width, height);
        gl().FramebufferRenderbuffer(GL_FRAMEBUFFER, GL_DEPTH_ATTACHMENT, GL_RENDERBUFFER, m_depthStencilRenderBuffer);
        gl().FramebufferRenderbuffer(
            GL_FRAMEBUFFER, GL_STENCIL_ATTACHMENT, GL_RENDERBUFFER, m_depthStencilRenderBuffer);
        gl().BindFramebuffer(kGLReadFramebuffer, m_framebufferMSAA);
    } else {
        gl().BindRenderbuffer(GL_RENDERBUFFER, m_depthStencilRenderBuffer);
        gl().RenderbufferStorage(GL_RENDERBUFFER, kGLDepth24Stencil8, width, height);
        gl().FramebufferRenderbuffer(GL_FRAMEBUFFER, GL_DEPTH_ATTACHMENT, GL_RENDERBUFFER, m_depthStencilRenderBuffer);
        gl().FramebufferRenderbuffer(
            GL_FRAMEBUFFER, GL_STENCIL_ATTACHMENT, GL_RENDERBUFFER, m_depthStencilRenderBuffer);
    }
    if (gl().CheckFramebufferStatus(GL_FRAMEBUFFER) == GL_FRAMEBUFFER_COMPLETE && width >= 1 && height >= 1)
        m_frameBufferInitialised = true;
    else if (width >= 1 && height >= 1)
        LChartGL::fatal(m_errorHandle,
            "Failed to make complete framebuffer object, make sure your view size isn't too big for the device.");
}

void LChartGLView::deleteFrameBuffer()
{
    gl().DeleteFramebuffers(1, &m_framebuffer);
    gl().DeleteRenderbuffers(1, &m_colorRenderBuffer);
    if (m_useMSAA) {
        gl().DeleteFramebuffers(1, &m_framebufferMSAA);
        gl().DeleteRenderbuffers(1, &m_colorRenderBufferMSAA);
    }
    gl().DeleteRenderbuffers(1, &m_depthStencilRenderBuffer);
}

bool LChartGLView::checkBufferSize(double t) const
{
    if (!m_frameBufferInitialised)
        return true;
    double s = m_eaglLayer ? m_eaglLayer->contentsScale() : 1;
    double w = std::floor(bounds().size.width), h = std::floor(bounds().size.height);
    return m_backingWidth < (1 - t) * s * w || m_backingWidth > (1 + t) * s * w || m_backingHeight < (1 - t) * s * h
        || m_backingHeight > (1 + t) * s * h;
}

void LChartGLView::setFrame(CGRect frame)
{
    UIView::setFrame(frame);
    if (m_drawer && checkBufferSize(0.05))
        m_needsResize = true;
}

void LChartGLView::setBounds(CGRect bounds)
{
    UIView::setBounds(bounds);
    if (m_drawer && checkBufferSize(0.05))
        m_needsResize = true;
}

void LChartGLView::checkResize()
{
    if (!m_needsResize)
        return;
    // A new framebuffer of the drawable's size.
    deleteFrameBuffer();
    gl().GenFramebuffers(1, &m_framebuffer);
    gl().GenRenderbuffers(1, &m_colorRenderBuffer);
    gl().GenRenderbuffers(1, &m_depthStencilRenderBuffer);
    if (m_useMSAA) {
        gl().GenFramebuffers(1, &m_framebufferMSAA);
        gl().GenRenderbuffers(1, &m_colorRenderBufferMSAA);
    }
    setupFrameBuffer();
    m_drawer->setViewportSize(m_backingWidth, m_backingHeight);
    m_needsResize = false;
}

void LChartGLView::reset()
{
    m_allSeries.clear();
    m_needsResize = true;
}

void LChartGLView::beginRenderWithReloadedDataIsRadialChart(bool reloaded, bool)
{
    setEAGLContext();
    if (reloaded)
        reset();
    bool resized = m_needsResize;
    checkResize();
    if (!m_frameBufferInitialised)
        return;
    Colour4f clear = convertUIColorToColour4f(m_areaColor ? m_areaColor.get() : UIColor::clearColor().get());
    gl().BindFramebuffer(GL_FRAMEBUFFER, m_useMSAA ? m_framebufferMSAA : m_framebuffer);
    gl().ClearColor(clear.red, clear.green, clear.blue, clear.alpha);
    gl().Clear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT | GL_STENCIL_BUFFER_BIT);

    m_thisFrameTime = CACurrentMediaTime();
    if (m_resetAnimationTimer) {
        m_lastFrameTime = m_thisFrameTime;
        m_resetAnimationTimer = false;
    }
    m_stepInTime = resized ? 0 : m_thisFrameTime - m_lastFrameTime;
    if (m_directory)
        for (auto* series : m_allSeries)
            m_directory->updateAnimation(series, m_stepInTime);
    m_lastFrameTime = m_thisFrameTime;
    if (reloaded) {
        m_drawer->deleteUserTextures();
        m_userTextures.clear();
    }
    m_drawer->beginFrame(reloaded);
}

bool LChartGLView::endRender()
{
    if (!m_frameBufferInitialised)
        return false;
    bool animating = m_drawer->render(m_animationManager.get());
    deleteTexturesNoLongerDrawn();
    if (m_useMSAA) {
        gl().BindFramebuffer(kGLReadFramebuffer, m_framebufferMSAA);
        gl().BindFramebuffer(kGLDrawFramebuffer, m_framebuffer);
        gl().BlitFramebuffer(0, 0, m_backingWidth, m_backingHeight, 0, 0, m_backingWidth, m_backingHeight,
            GL_COLOR_BUFFER_BIT, GL_NEAREST);
        const GLenum discard[] = { GL_COLOR_ATTACHMENT0, GL_DEPTH_ATTACHMENT, GL_STENCIL_ATTACHMENT };
        gl().DiscardFramebuffer(kGLReadFramebuffer, 3, discard);
        gl().BindFramebuffer(GL_FRAMEBUFFER, m_framebuffer);
    } else {
        gl().BindFramebuffer(GL_FRAMEBUFFER, m_framebuffer);
        const GLenum discard[] = { GL_DEPTH_ATTACHMENT, GL_STENCIL_ATTACHMENT };
        gl().DiscardFramebuffer(GL_FRAMEBUFFER, 2, discard);
    }
    gl().BindRenderbuffer(GL_RENDERBUFFER, m_colorRenderBuffer);
    m_context->presentRenderbuffer(GL_RENDERBUFFER);
    EAGLContext::setCurrentContext(nullptr);
    return animating;
}

void LChartGLView::deleteTexturesNoLongerDrawn()
{
    if (m_userTextures.empty())
        return;
    // Rebuilt bins replace their pieces, so an image none of them shows any more has no piece
    // left that draws with its texture; the frame is drawn, so the texture can go now.
    const auto drawn = m_drawer->texturesInUse();
    std::vector<GLuint> unused;
    std::erase_if(m_userTextures, [&](const auto& entry) {
        GLuint name = entry.second.second;
        if (drawn.count(name) > 0)
            return false;
        unused.push_back(name);
        return true;
    });
    m_drawer->deleteUserTextures(unused);
}

Colour4f LChartGLView::convertUIColorToColour4f(const UIColor* color) const
{
    if (!color || !color->CGColor())
        return {};
    const bool opaque = m_eaglLayer && m_eaglLayer->isOpaque();
    const auto& cg = color->CGColor();
    size_t count = CGColorGetNumberOfComponents(cg);
    const CGFloat* c = CGColorGetComponents(cg);
    if (count == 4) {
        float a = static_cast<float>(c[3]);
        float m = opaque ? 1 : a;
        return { static_cast<float>(c[0]) * m, static_cast<float>(c[1]) * m, static_cast<float>(c[2]) * m, a };
    }
    float g = count > 0 ? static_cast<float>(c[0]) : 0;
    float a = count > 1 ? static_cast<float>(c[1]) : 1;
    float m = opaque ? 1 : a;
    return { g * m, g * m, g * m, a };
}

std::vector<Colour4f> LChartGLView::convertColours(const std::vector<Ref<UIColor>>& colours) const
{
    std::vector<Colour4f> result;
    result.reserve(colours.size());
    for (const auto& colour : colours)
        result.push_back(convertUIColorToColour4f(colour.get()));
    return result;
}

LChartGL::SeriesHandleRef LChartGLView::handleFor(LChartSeries* series)
{
    if (std::find(m_allSeries.begin(), m_allSeries.end(), series) == m_allSeries.end())
        m_allSeries.push_back(series);
    return std::make_shared<LChartSeriesHandle>(series, m_directory);
}

float LChartGLView::resolutionScaleOf(LChartSeries* series) const
{
    return m_directory ? m_directory->resolutionScaleOf(series) : 1;
}

std::optional<GLuint> LChartGLView::createTextureFromUIImage(const UIImage& image)
{
    const auto& cgImage = image.CGImage();
    if (!cgImage)
        return std::nullopt;
    enum class Format { RGBA, RGB565, Alpha } format;
    bool hasSpace = cgImage->format().model != kCGColorSpaceModelUnknown;
    auto alpha = cgImage->format().alphaInfo();
    bool hasAlpha = alpha == kCGImageAlphaPremultipliedLast || alpha == kCGImageAlphaPremultipliedFirst
        || alpha == kCGImageAlphaLast || alpha == kCGImageAlphaFirst;
    format = !hasSpace ? Format::Alpha : hasAlpha ? Format::RGBA : Format::RGB565;
    double width = static_cast<double>(cgImage->width()), height = static_cast<double>(cgImage->height());
    double longer = std::max(width, height);
    size_t side = 1;
    while (static_cast<double>(side) < longer)
        side <<= 1;
    double scale = static_cast<double>(side) / longer;
    if (static_cast<double>(side) != width || static_cast<double>(side) != height)
        format = Format::RGBA;
    while (side > 1024) {
        side /= 2;
        width /= 2;
        height /= 2;
    }

    CGContextRef context;
    if (format == Format::Alpha)
        context = CGBitmapContextCreate(nullptr, side, side, 8, side, nullptr, kCGImageAlphaOnly);
    else if (format == Format::RGB565)
        context = CGBitmapContextCreate(
            nullptr, side, side, 8, side * 4, CGColorSpaceCreateDeviceRGB(), kCGImageAlphaNoneSkipLast);
    else
        context = CGBitmapContextCreate(nullptr, side, side, 8, side * 4, CGColorSpaceCreateDeviceRGB(),
            kCGImageAlphaPremultipliedLast | kCGBitmapByteOrder32Big);
    if (!context)
        return std::nullopt;
    CGContextTranslateCTM(
        context, (static_cast<double>(side) - scale * width) / 2, (static_cast<double>(side) - scale * height) / 2);
    if (scale != 1)
        CGContextScaleCTM(context, scale, scale);
    CGContextSetInterpolationQuality(context, kCGInterpolationMedium);
    CGContextDrawImage(context, CGRectMake(0, 0, width, height), cgImage);

    const auto* bytes = static_cast<const uint8_t*>(CGBitmapContextGetData(context));
    auto glSide = static_cast<GLsizei>(side);
    GLuint name;
    if (format == Format::RGB565) {
        std::vector<uint16_t> packed(side * side);
        for (size_t i = 0; i < side * side; ++i) {
            const uint8_t* p = bytes + i * 4;
            packed[i] = static_cast<uint16_t>((p[0] >> 3) << 11 | (p[1] >> 2) << 5 | (p[2] >> 3));
        }
        name = m_drawer->createTexture(packed.data(), GL_RGB, GL_UNSIGNED_SHORT_5_6_5, glSide, glSide);
    } else if (format == Format::Alpha) {
        name = m_drawer->createTexture(bytes, GL_ALPHA, GL_UNSIGNED_BYTE, glSide, glSide);
    } else {
        name = m_drawer->createTexture(bytes, GL_RGBA, GL_UNSIGNED_BYTE, glSide, glSide);
    }
    return name;
}

void LChartGLView::barColumnFill(const float* data, LChartSeries* series, const float* base, int32_t* slot,
    uint32_t size, const UIColor* color, const UIColor* colorBelowBaseline, const UIColor* colorGradient,
    const UIColor* colorGradientBelowBaseline, float barColumnWidth, float glBaseline, int32_t orientation,
    bool willDrawLinesToo, const LChartGLTranslation& translation)
{
    m_drawer->addBarColumnFill(data, handleFor(series), base, slot, size, convertUIColorToColour4f(color),
        convertUIColorToColour4f(colorBelowBaseline), convertUIColorToColour4f(colorGradient),
        convertUIColorToColour4f(colorGradientBelowBaseline), barColumnWidth, glBaseline, orientation, willDrawLinesToo,
        translation);
}

void LChartGLView::barColumnLine(const float* data, LChartSeries* series, const float* base, int32_t* slot,
    uint32_t size, const UIColor* color, const UIColor* colorBelowBaseline, float barColumnWidth, float lineWidth,
    float glBaseline, int32_t orientation, const LChartGLTranslation& translation)
{
    // A missing outline colour is opaque black marked absent: nothing is drawn on that side.
    const Colour4f black { 0, 0, 0, 1 };
    m_drawer->addBarColumnLine(data, handleFor(series), base, slot, size,
        color ? convertUIColorToColour4f(color) : black,
        colorBelowBaseline ? convertUIColorToColour4f(colorBelowBaseline) : black, color != nullptr,
        colorBelowBaseline != nullptr, barColumnWidth, lineWidth, glBaseline, orientation, translation);
}

void LChartGLView::horizontalFill(const float* data, LChartSeries* series, int32_t* slot, int32_t size,
    const UIColor* color, const UIColor* colorBelowBaseline, const UIColor* gradientFillColor,
    const UIColor* gradientFillColorBelowBaseline, float baseline, float maxOffsetAboveBaseline,
    float maxOffsetBelowBaseline, int32_t fillDirection, bool gradientFill, const LChartGLTranslation& translation)
{
    m_drawer->addHorizontalFill(data, handleFor(series), slot, size, convertUIColorToColour4f(color),
        convertUIColorToColour4f(colorBelowBaseline), convertUIColorToColour4f(gradientFillColor),
        convertUIColorToColour4f(gradientFillColorBelowBaseline), gradientFillColor != nullptr,
        gradientFillColorBelowBaseline != nullptr, baseline, maxOffsetAboveBaseline, maxOffsetBelowBaseline,
        fillDirection, gradientFill, translation);
}

void LChartGLView::drawLineStrip(const float* data, LChartSeries* series, int32_t* linesSlot,
    int32_t* indexedOffsetTrianglesSlot, int32_t* pointsSlot, int32_t size, const UIColor* color,
    const UIColor* colorBelowBaseline, float width, float baseline, int32_t fillDirection,
    const LChartGLTranslation& translation)
{
    m_drawer->addLineStrip(data, handleFor(series), linesSlot, indexedOffsetTrianglesSlot, pointsSlot, size,
        convertUIColorToColour4f(color), convertUIColorToColour4f(colorBelowBaseline), width, baseline, fillDirection,
        translation);
}

void LChartGLView::drawDataPoints(const float* data, LChartSeries* series, int32_t* slot,
    const std::vector<Ref<UIImage>>& textures, int32_t size, const UIColor* color, const UIColor* colorBelowBaseline,
    float radius, const float* radii, float baseline, int32_t fillDirection, const LChartGLTranslation& translation)
{
    const size_t n = size > 0 ? static_cast<size_t>(size) / 2 : 0;
    std::vector<GLuint> names(n, 0);
    for (size_t i = 0; i < n && i < textures.size(); ++i) {
        const auto& image = textures[i];
        if (!image)
            continue;
        auto found = m_userTextures.find(image.get());
        if (found != m_userTextures.end()) {
            names[i] = found->second.second;
        } else if (auto name = createTextureFromUIImage(*image)) {
            names[i] = *name;
            m_userTextures[image.get()] = { image, *name };
        }
    }
    // Series hand radii; the engine's sprites take diameters.
    std::vector<float> diameters;
    if (radii) {
        diameters.resize(n);
        for (size_t i = 0; i < n; ++i)
            diameters[i] = 2 * std::max(radii[i], 0.0f);
    }
    m_drawer->addDataPoints(data, handleFor(series), slot, names.data(), size, convertUIColorToColour4f(color),
        convertUIColorToColour4f(colorBelowBaseline), std::max(radius, 0.0f), radii ? diameters.data() : nullptr,
        baseline, fillDirection, translation);
}

void LChartGLView::drawBandSeriesFill(const float* high, LChartSeries* series, const float* low, int32_t* slot,
    int32_t size, const UIColor* areaColorHigh, const UIColor* areaColorLow, int32_t orientation, int32_t,
    const LChartGLTranslation& translation)
{
    m_drawer->addBandFill(high, handleFor(series), low, slot, size, convertUIColorToColour4f(areaColorHigh),
        convertUIColorToColour4f(areaColorLow), orientation, translation);
}

void LChartGLView::drawCandlesticks(const float* data, LChartSeries* series, int32_t* linesSlot, int32_t*,
    int32_t* trianglesSlot, int32_t count, const std::vector<Ref<UIColor>>& colors,
    const std::vector<Ref<UIColor>>& gradientColors, const UIColor* outlineColor, const UIColor* stickColor,
    float candleWidth, float outlineWidth, float stickWidth, int32_t orientation,
    const LChartGLTranslation& translation)
{
    m_drawer->addCandlesticks(data, handleFor(series), trianglesSlot, linesSlot, count, convertColours(colors),
        convertColours(gradientColors), convertUIColorToColour4f(outlineColor), convertUIColorToColour4f(stickColor),
        outlineColor != nullptr, stickColor != nullptr, candleWidth, outlineWidth, stickWidth, orientation,
        resolutionScaleOf(series), translation);
}

void LChartGLView::drawOHLCPoints(const float* data, LChartSeries* series, int32_t* linesSlot, int32_t* offsetLinesSlot,
    int32_t count, const std::vector<Ref<UIColor>>& colors, const std::vector<Ref<UIColor>>& gradientColors,
    int32_t orientation, float ohlcWidth, float trunkWidth, float armWidth, const LChartGLTranslation& translation)
{
    m_drawer->addOHLCPoints(data, handleFor(series), linesSlot, offsetLinesSlot, count, convertColours(colors),
        convertColours(gradientColors), orientation, ohlcWidth, trunkWidth, armWidth, translation);
}

void LChartGLView::drawRadialSlice(int32_t sliceIndex, LChartSeries* series, float fromAngle, float toAngle, CGPoint,
    float innerRadius, float outerRadius, float displacement, const UIColor* fillColor, const UIColor* lineColor,
    float lineWidth, int32_t effect)
{
    int32_t fillCounter = 3 * sliceIndex;
    int32_t outlineCounter = 3 * sliceIndex;
    m_drawer->addRadialSlice(sliceIndex, handleFor(series), &fillCounter, &outlineCounter, fromAngle, toAngle,
        innerRadius, outerRadius, displacement, convertUIColorToColour4f(fillColor),
        convertUIColorToColour4f(lineColor), lineWidth, effect, resolutionScaleOf(series));
}

void LChartGLView::updateRadialSeries(
    LChartSeries* series, int32_t sliceIndex, float displacement, float angle, float lineWidth)
{
    m_drawer->updateRadialSlice(handleFor(series), sliceIndex, displacement, angle, lineWidth);
}

void LChartGLView::updateSeriesWithTranslation(LChartSeries* series, const LChartGLTranslation& translation)
{
    m_drawer->updateSeriesTranslation(handleFor(series), translation);
}
