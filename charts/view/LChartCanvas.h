#pragma once

#include <vector>

#include "foundation/FoundationForward.h"

#include "charts/LChartDonutSeries.h"
#include "uikit/UIView.h"

// Every autoresizing flag: the chart's layers follow every change of their superview.
inline constexpr UIViewAutoresizing kLChartAllAutoresizing = UIViewAutoresizingFlexibleLeftMargin
    | UIViewAutoresizingFlexibleWidth | UIViewAutoresizingFlexibleRightMargin | UIViewAutoresizingFlexibleTopMargin
    | UIViewAutoresizingFlexibleHeight | UIViewAutoresizingFlexibleBottomMargin;

class LChartAxis;
class LatticeChart;
class LChartCanvas;
class LChartGLView;
class LChartCanvasOverlay;

// The view whose display pass draws one frame of its canvas. It covers the plot area through
// its transform, so that asking it for display is how the canvas asks for a frame.
class LChartCanvasRenderView final : public UIView {
    VX_OBJECT(LChartCanvasRenderView, UIView)
public:
    explicit LChartCanvasRenderView(Passkey key)
        : UIView(key)
    {
    }
    static Ref<LChartCanvasRenderView> initWithCanvas(LChartCanvas* canvas);
    void drawRect(CGRect rect) override;

private:
    LChartCanvas* m_canvas { nullptr };
};

// The chart's plot area and its layers, bottom to top: the annotation underlay (plot background),
// the underlay (gridlines and stripes), the GL view (the series), the render view (frame
// trigger) and the overlay (tick marks, labels, axis lines). Its layout places the plot area
// inside the space the axes leave and has the axes lay out their tick views; its frame draws the
// series groups through the GL view. Holds its chart unretained. Main thread only.
class LChartCanvas final : public UIView, public LChartRadialHost {
    VX_OBJECT(LChartCanvas, UIView)
public:
    explicit LChartCanvas(Passkey key)
        : UIView(key)
    {
    }
    ~LChartCanvas() override;
    static Ref<LChartCanvas> initWithFrameUsingChart(CGRect frame, LatticeChart* chart);

    const Ref<LChartGLView>& glView() const { return m_glView; }
    const Ref<UIView>& underlay() const { return m_underlay; }
    const Ref<UIView>& overlay() const { return m_overlay; }
    const Ref<UIView>& underlayForAnnotations() const { return m_underlayForAnnotations; }
    const Ref<LChartCanvasRenderView>& renderView() const { return m_renderView; }
    CGRect newGlFrame() const { return m_newGlFrame; }
    bool reloadedData() const { return m_reloadedData; }
    void setReloadedData(bool reloaded) { m_reloadedData = reloaded; }
    bool redrawGL() const { return m_redrawGL; }
    void setRedrawGL(bool redraw) { m_redrawGL = redraw; }
    bool rendering() const { return m_rendering; }
    bool orientationChanged() const { return m_orientationChanged; }
    // Frames drawn so far (each display of the render view draws one).
    int32_t framesDrawn() const { return m_framesDrawn; }
    // Forgets the chart (the chart calls it before it goes).
    void detachChart() { m_chart = nullptr; }

    void setNeedsToRenderChart();
    void drawChart(CGRect rect);
    void layoutSubviews() override;
    void setFrame(CGRect frame) override;

    // Offsets each secondary axis past the primary axis and the secondary axes before it on
    // its side.
    static void calcAxisOffsetsWithInitialToSecondary(LChartAxis& primary, const std::vector<LChartAxis*>& secondary);
    // Places an axis' title label in the chart view beside the plot area.
    void positionTitleForXAxis(LChartAxis& axis);
    void positionTitleForYAxis(LChartAxis& axis);
    // Places a radial series' slice labels at their slices (hidden where the slice's style shows
    // no labels, offered to the delegate); a hidden series loses its labels.
    void updateSeriesLabels(LChartDonutSeries& series);

    // What radial series ask of their canvas.
    void radialSeriesDidEndDecelerating(LChartDonutSeries& series) override;
    void radialSeriesToggledSelection(LChartDonutSeries& series, int32_t index, CGPoint tap) override;
    void radialSeriesNeedsRedraw() override;

    // The device's orientation notice: a real turn (not face up or down, nor the orientation
    // already acted on) fades the underlay and overlay out and back in over 0.5 s and has the
    // axes rebuild their labels, unless the chart does not rotate with the device.
    void viewAboutToRotate(const Ref<NSNotification>& note);
    int32_t lastOrientation() const { return m_lastOrientation; }

    // The overlay as the gesture layer it is; panning passes on to it.
    LChartCanvasOverlay* gestureOverlay() const;
    void enablePanning(bool enable);

private:
    // The canvas frame, the GL view's frame and the title's size, for placing an axis title.
    struct TitleFrames {
        CGRect canvas;
        CGRect gl;
        CGSize title;
    };
    TitleFrames titleLayoutFrames(const UIView& title) const;
    void frameLayers(CGRect glFrame);
    // Rings for the radial series: each donut takes its share of the radius, inside out.
    void layoutRadialSeries();

    Ref<UIView> m_overlay;
    Ref<UIView> m_underlay;
    Ref<UIView> m_underlayForAnnotations;
    Ref<LChartGLView> m_glView;
    Ref<LChartCanvasRenderView> m_renderView;
    float m_lastGLWidth { 0 };
    float m_lastGLHeight { 0 };
    CGRect m_newGlFrame { CGRectZero };
    bool m_reloadedData { false };
    bool m_orientationChanged { false };
    bool m_rendering { false };
    bool m_redrawGL { true };
    int32_t m_framesDrawn { 0 };
    LatticeChart* m_chart { nullptr };
    int32_t m_lastOrientation { 0 };
};
