#pragma once

#include "charts/LChartSeriesDistanceInfo.h"
#include "charts/view/LChartLayer.h"
#include "uikit/UIView.h"

#include <vector>

class LatticeChart;
class LChartAxis;
class LChartBoxGestureRecogniser;
class LChartCanvas;
class LChartCrosshair;
class LChartDonutSeries;
class LChartInternalDataPoint;
class LChartSeries;
class LChartPinchPanGestureRecogniser;
class UILongPressGestureRecognizer;
class UIPanGestureRecognizer;
class UITapGestureRecognizer;

// The topmost layer of the canvas. It owns the chart's gesture recognisers and turns them into
// chart actions: pan and pinch zoom with momentum, box zoom, double-tap zoom or reset, tap
// selection, the crosshair and the pie and donut gestures. It also holds the zoom box and, as
// subviews added by others, the axes' lines, ticks and labels and the slice labels. Each step
// is reported to the chart's delegate; while momentum runs the axes report back through the
// chart. Holds its chart and canvas unretained. Main thread only.
class LChartCanvasOverlay final : public UIView, public LChartLayer {
    VX_OBJECT(LChartCanvasOverlay, UIView)
public:
    explicit LChartCanvasOverlay(Passkey key)
        : UIView(key)
    {
    }
    ~LChartCanvasOverlay() override;
    static Ref<LChartCanvasOverlay> initWithFrameUsingChartAndCanvas(
        CGRect frame, LatticeChart* chart, LChartCanvas* canvas);

    LatticeChart* chart() const { return m_chart; }
    LChartCanvas* canvas() const { return m_canvas; }
    // Forgets the chart (the chart calls it before it goes).
    void detachChart() { m_chart = nullptr; }

    // 0 no panning gesture, 1 pinch and pan, 2 box zoom; other values are only stored.
    int32_t gesturePanType() const { return m_gesturePanType; }
    void setGesturePanType(int32_t type);
    // The box recogniser for type 2, the pinch-pan recogniser for type 1, else null.
    Ref<UIGestureRecognizer> activePanGestureRecognizer() const;
    void enablePanning(bool enable);
    bool gesturePinchAspectLock() const;
    void setGesturePinchAspectLock(bool lock);
    // Enables the recognisers that suit the chart's kind, series and switches.
    void enableAppropriateGestureRecognisers();
    // Every axis stops its running momentum.
    void cancelMomentumGestures();
    // Device rotation: fades out over a quarter of the duration, and back in once turned.
    void viewStartRotateWithDuration(double duration) override;
    void viewEndRotateWithDuration(double duration) override;

    // The axes' notices while they zoom or pan by themselves.
    void axisIsZooming(LChartAxis& axis);
    void axisIsPanning(LChartAxis& axis);
    void axisFinishedMomentumZooming(LChartAxis& axis);
    void axisFinishedMomentumPanning(LChartAxis& axis);

    // Gesture handlers.
    void handlePinchAndPanGesture(LChartPinchPanGestureRecogniser& recogniser);
    void processGestureStateChanged(LChartPinchPanGestureRecogniser& recogniser);
    void handleBoxGesture(LChartBoxGestureRecogniser& recogniser);
    void handleDoubleTapGesture(UITapGestureRecognizer& recogniser);

    // The zoom box and its four tracking lines, present only for box zoom.
    void addZoomBox();
    void removeZoomBox();
    void hideZoomBox();
    void updateZoomBox();
    void zoomAxesInZoomBoxWithAnimation(const std::vector<LChartAxis*>& axes, CGRect box, bool animate);
    const Ref<UIView>& zoomBoxView() const { return m_zoomBoxView; }
    const Ref<UIView>& zoomBoxLine(int32_t index) const { return m_zoomBoxLines.at(index); }

    // Nearest series to a point of the overlay, among those the constraint allows (1: series
    // that select, 0: series with the crosshair, other: all); on a tie the earlier series wins.
    // Without one the distance is the largest double and the rest is empty.
    LChartSeriesDistanceInfo closestSeriesToPixelPointSeriesConstraints(CGPoint point, int32_t constraint) const;
    LChartSeriesDistanceInfo distanceInfoForSeriesToPixelPointIsOnlySeries(
        const Ref<LChartSeries>& series, CGPoint point, bool isOnlySeries) const;

    // The crosshair: re-placed while it tracks after every redraw and gesture step, placed from a
    // long press or a pan, or at a position on a series.
    void positionCrosshairIfVisible();
    void positionCrosshairFromGestureGestureJustStarted(UIGestureRecognizer& gesture, bool justStarted);
    void positionCrosshairAtPositionOnSeriesOnDatapoint(
        LChartPoint position, const Ref<LChartSeries>& series, const Ref<LChartInternalDataPoint>& point);

    // Taps select series or points; a long press places the crosshair.
    void handleSingleTapGesture(UITapGestureRecognizer& recogniser);
    void handleLongPressGesture(UILongPressGestureRecognizer& recogniser);
    // A tap selects or deselects the pie or donut slice under it; a pan spins the ring under
    // it (when the series allows), which coasts when released after more than one turn step.
    void handleRadialTapGesture(UITapGestureRecognizer& recogniser);
    void handleRadialRotationGesture(UIPanGestureRecognizer& recogniser);

    // Pie and donut geometry: the centre of the rings, the ring under a point and its slice.
    CGPoint donutCentre() const;
    LChartDonutSeries* seriesFromRadialPoint(CGPoint point) const;
    // Writes the slice under the point and its index; leaves both as they are when none is.
    void radialPointToSliceSliceIndex(CGPoint point, Ref<LChartInternalDataPoint>& slice, int32_t& index) const;

    const Ref<LChartPinchPanGestureRecogniser>& pinchAndPanGesture() const { return m_pinchAndPanGesture; }
    const Ref<LChartBoxGestureRecogniser>& boxGesture() const { return m_boxGesture; }
    const Ref<UITapGestureRecognizer>& doubleTapGesture() const { return m_doubleTapGesture; }
    const Ref<UITapGestureRecognizer>& singleTapGesture() const { return m_singleTapGesture; }
    const Ref<UITapGestureRecognizer>& radialTapGesture() const { return m_radialTapGesture; }
    const Ref<UILongPressGestureRecognizer>& longPressGesture() const { return m_longPressGesture; }
    const Ref<UIPanGestureRecognizer>& radialRotationGesture() const { return m_radialRotationGesture; }

private:
    void createGestureRecognizers();
    std::vector<LChartAxis*> allAxes() const;
    bool anyAxis(bool (LChartAxis::*test)() const) const;
    // The release of a pinch-pan gesture: momentum handed to the axes, the finish callbacks.
    void releasePinchAndPan(LChartPinchPanGestureRecogniser& recogniser);
    void setPinchOrPanInProgress(bool inProgress);
    bool crosshairIsVisible() const;
    // While the crosshair keeps tracking, one finger moves it instead of the axes (true); else
    // the crosshair hears of the gesture and the gesture goes on (false).
    bool crosshairFollowsPan(LChartPinchPanGestureRecogniser& recogniser);

    LChartCanvas* m_canvas { nullptr };
    Ref<LChartPinchPanGestureRecogniser> m_pinchAndPanGesture;
    Ref<LChartBoxGestureRecogniser> m_boxGesture;
    Ref<UITapGestureRecognizer> m_doubleTapGesture;
    Ref<UITapGestureRecognizer> m_singleTapGesture;
    Ref<UITapGestureRecognizer> m_radialTapGesture;
    Ref<UILongPressGestureRecognizer> m_longPressGesture;
    Ref<UIPanGestureRecognizer> m_radialRotationGesture;
    bool m_zoomStartedThisGesture { false };
    // Set while a release hands momentum to the axes.
    bool m_releasing { false };
    CGPoint m_lastPanPoint {};
    CGPoint m_prevScale {};
    CGPoint m_prevZoomFactor {};
    CGRect m_lastZoomBox { CGRectZero };
    Ref<UIView> m_zoomBoxView;
    std::vector<Ref<UIView>> m_zoomBoxLines;
    CGPoint m_rotationInitialPoint {};
    Weak<LChartDonutSeries> m_rotationTrackingSeries;
    float m_rotationOriginalAngle { 0 };
    int32_t m_rotationSpinDirection { 0 };
    int32_t m_rotationChanges { 0 };
    LatticeChart* m_chart { nullptr };
    int32_t m_gesturePanType { 0 };
};
