#pragma once

#include "charts/LChartDrawer.h"
#include "charts/gl/Drawer.h"
#include "charts/gl/LChartGLErrorHandler.h"
#include "charts/gl/LChartGLSeriesDirectory.h"
#include "gles/GLFunctions.h"
#include "uikit/UIView.h"

#include <map>
#include <memory>
#include <vector>

class CAEAGLLayer;
class EAGLContext;
class UIColor;
class UIImage;

// The GL ES 2 view that shows a chart's series. Its canvas drives one frame at a time:
// `beginRenderWithReloadedDataIsRadialChart`, the series' draw calls (the drawing surface below),
// then `endRender`, which renders through the drawing engine and presents the frame into the
// view's layer. The view owns the context, the framebuffers (four-sample multisampled ones when
// an ES 3 context cannot be had), the frame clock (the process's media time) and the engine.
// Geometry lies in the fixed box -500...500 (`glBounds`). Main thread only.
class LChartGLView : public UIView, public LChartDrawer {
    VX_OBJECT(LChartGLView, UIView)
public:
    explicit LChartGLView(Passkey);
    ~LChartGLView() override;
    static Ref<LChartGLView> initWithFrame(CGRect frame);

    Ref<CALayer> layerClass() const override;
    void setFrame(CGRect frame) override;
    void setBounds(CGRect bounds) override;
    // The layer's contents come only from presented frames, never from drawing the view.
    bool displayLayer(CALayer&) override { return true; }

    void setSeriesDirectory(std::shared_ptr<LChartGLSeriesDirectory> directory) { m_directory = std::move(directory); }
    void setAreaColor(const Ref<UIColor>& color) { m_areaColor = color; }

    // A frame: false from `endRender` when nothing could be drawn (no framebuffer yet).
    void beginRenderWithReloadedDataIsRadialChart(bool reloaded, bool radial);
    bool endRender();
    // Forgets the series and asks for a new framebuffer at the next frame.
    void reset();

    bool useMSAA() const { return m_useMSAA; }
    bool frameBufferInitialised() const { return m_frameBufferInitialised; }
    int32_t backingWidth() const { return m_backingWidth; }
    int32_t backingHeight() const { return m_backingHeight; }
    double stepInTime() const { return m_stepInTime; }
    LChartGL::Drawer& drawer() { return *m_drawer; }
    // Premultiplied by alpha unless the layer is opaque.
    Colour4f convertUIColorToColour4f(const UIColor* color) const;
    // Uploads an image as a square power-of-two texture (at most 1024), centred; nullopt without
    // a bitmap.
    std::optional<GLuint> createTextureFromUIImage(const UIImage& image);

    // The drawing surface.
    CGRect frame() const override { return UIView::frame(); }
    CGRect glBounds() const override { return CGRectMake(-500, -500, 500, 500); }
    float glWidth() const override { return 1000; }
    float glHeight() const override { return 1000; }
    double timeIncrement() const override { return m_stepInTime; }
    bool resetAnimationTimer() const override { return m_resetAnimationTimer; }
    void setResetAnimationTimer(bool reset) override { m_resetAnimationTimer = reset; }
    void barColumnFill(const float* data, LChartSeries* series, const float* base, int32_t* slot, uint32_t size,
        const UIColor* color, const UIColor* colorBelowBaseline, const UIColor* colorGradient,
        const UIColor* colorGradientBelowBaseline, float barColumnWidth, float glBaseline, int32_t orientation,
        bool willDrawLinesToo, const LChartGLTranslation& translation) override;
    void barColumnLine(const float* data, LChartSeries* series, const float* base, int32_t* slot, uint32_t size,
        const UIColor* color, const UIColor* colorBelowBaseline, float barColumnWidth, float lineWidth,
        float glBaseline, int32_t orientation, const LChartGLTranslation& translation) override;
    void horizontalFill(const float* data, LChartSeries* series, int32_t* slot, int32_t size, const UIColor* color,
        const UIColor* colorBelowBaseline, const UIColor* gradientFillColor,
        const UIColor* gradientFillColorBelowBaseline, float baseline, float maxOffsetAboveBaseline,
        float maxOffsetBelowBaseline, int32_t fillDirection, bool gradientFill,
        const LChartGLTranslation& translation) override;
    void drawLineStrip(const float* data, LChartSeries* series, int32_t* linesSlot, int32_t* indexedOffsetTrianglesSlot,
        int32_t* pointsSlot, int32_t size, const UIColor* color, const UIColor* colorBelowBaseline, float width,
        float baseline, int32_t fillDirection, const LChartGLTranslation& translation) override;
    void drawDataPoints(const float* data, LChartSeries* series, int32_t* slot,
        const std::vector<Ref<UIImage>>& textures, int32_t size, const UIColor* color,
        const UIColor* colorBelowBaseline, float radius, const float* radii, float baseline, int32_t fillDirection,
        const LChartGLTranslation& translation) override;
    void drawBandSeriesFill(const float* high, LChartSeries* series, const float* low, int32_t* slot, int32_t size,
        const UIColor* areaColorHigh, const UIColor* areaColorLow, int32_t orientation, int32_t numCrosses,
        const LChartGLTranslation& translation) override;
    void drawCandlesticks(const float* data, LChartSeries* series, int32_t* linesSlot, int32_t* offsetLinesSlot,
        int32_t* trianglesSlot, int32_t count, const std::vector<Ref<UIColor>>& colors,
        const std::vector<Ref<UIColor>>& gradientColors, const UIColor* outlineColor, const UIColor* stickColor,
        float candleWidth, float outlineWidth, float stickWidth, int32_t orientation,
        const LChartGLTranslation& translation) override;
    void drawOHLCPoints(const float* data, LChartSeries* series, int32_t* linesSlot, int32_t* offsetLinesSlot,
        int32_t count, const std::vector<Ref<UIColor>>& colors, const std::vector<Ref<UIColor>>& gradientColors,
        int32_t orientation, float ohlcWidth, float trunkWidth, float armWidth,
        const LChartGLTranslation& translation) override;
    void drawRadialSlice(int32_t sliceIndex, LChartSeries* series, float fromAngle, float toAngle, CGPoint centre,
        float innerRadius, float outerRadius, float displacement, const UIColor* fillColor, const UIColor* lineColor,
        float lineWidth, int32_t effect) override;
    void updateRadialSeries(
        LChartSeries* series, int32_t sliceIndex, float displacement, float angle, float lineWidth) override;
    void updateSeriesWithTranslation(LChartSeries* series, const LChartGLTranslation& translation) override;

private:
    class AnimationManager;

    void setEAGLContext();
    void setupFrameBuffer();
    void deleteFrameBuffer();
    bool checkBufferSize(double tolerance) const;
    void checkResize();
    LChartGL::SeriesHandleRef handleFor(LChartSeries* series);
    float resolutionScaleOf(LChartSeries* series) const;
    void deleteTexturesNoLongerDrawn();
    std::vector<Colour4f> convertColours(const std::vector<Ref<UIColor>>& colours) const;

    bool m_useMSAA { false };
    std::unique_ptr<LChartGLErrorHandler> m_errorHandler;
    std::shared_ptr<LChartGLErrorHandlerHandle> m_errorHandle;
    std::unique_ptr<AnimationManager> m_animationManager;
    std::shared_ptr<LChartGLSeriesDirectory> m_directory { std::make_shared<LChartSeriesGLDirectory>() };
    // The texture made for each image, kept (with the image, so that its address is not reused)
    // while a stored piece draws with it: bins rebuilt in later frames share it. After each frame
    // the textures no piece draws with any more are deleted; a reload deletes them all.
    std::map<const UIImage*, std::pair<Ref<UIImage>, GLuint>> m_userTextures;
    std::vector<LChartSeries*> m_allSeries;
    bool m_resetAnimationTimer { true };
    Ref<CAEAGLLayer> m_eaglLayer;
    Ref<UIColor> m_areaColor;
    Ref<EAGLContext> m_context;
    GLuint m_framebuffer { 0 };
    GLuint m_colorRenderBuffer { 0 };
    GLuint m_depthStencilRenderBuffer { 0 };
    GLuint m_framebufferMSAA { 0 };
    GLuint m_colorRenderBufferMSAA { 0 };
    int32_t m_backingWidth { 0 };
    int32_t m_backingHeight { 0 };
    bool m_frameBufferInitialised { false };
    bool m_needsResize { false };
    double m_thisFrameTime { 0 };
    double m_lastFrameTime { 0 };
    double m_stepInTime { 0 };
    std::unique_ptr<LChartGL::Drawer> m_drawer;
};
