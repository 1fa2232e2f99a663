#pragma once

#include "charts/LChartPoint.h"
#include "uikit/UIView.h"

#include <functional>

class LatticeChart;
class LChartAxis;
class LChartCrosshairStyle;
class LChartCrosshairTooltip;
class LChartDataPoint;
class LChartSeries;

// A transparent view over the plot area that marks one position with a small circle and two
// lines running to the axes, and carries a tooltip naming the data there. The canvas overlay
// finds the position (a series' nearest point in tracking mode, the finger in floating mode),
// says whether it lies inside the plot area and moves the crosshair; the crosshair decides
// whether it shows, animates the move, draws its lines and places its tooltip. Its frame is the
// canvas' bounds, so its own coordinates are the canvas'. Holds its chart weakly. Main thread
// only.
class LChartCrosshair : public UIView {
    VX_OBJECT(LChartCrosshair, UIView)
public:
    explicit LChartCrosshair(Passkey key)
        : UIView(key)
    {
    }
    // The chart's frame; lines on, hidden, a one-line tooltip, no animation (0.2 s ease-out
    // when turned on), out-of-range moves hiding it, line series interpolated.
    static Ref<LChartCrosshair> initWithChart(LatticeChart* chart);
    // The frame is not used; logs that the initialiser is deprecated.
    static Ref<LChartCrosshair> initWithFrameUsingChart(CGRect frame, LatticeChart* chart);
    // A crosshair needs its chart: plain creation is fatal.
    static Ref<LChartCrosshair> init();

    enum Mode : int32_t { Tracking = 0, Floating = 1 };

    CGPoint crosshairCentre() const { return m_crosshairCentre; }
    // Whether the last position lay inside the plot area.
    bool inRange() const { return m_inRange; }
    bool enableCrosshairLinesSet() const { return m_enableCrosshairLinesSet; }
    bool enableCrosshairLines() const { return m_enableCrosshairLines; }
    // Fixes the lines on or off; until it is called, each tracked move turns them on for line
    // series and off for the others.
    void setEnableCrosshairLines(bool enable);
    bool interpolatePoints() const { return m_interpolatePoints; }
    void setInterpolatePoints(bool interpolate) { m_interpolatePoints = interpolate; }
    bool animationEnabled() const { return m_animationEnabled; }
    void setAnimationEnabled(bool enabled) { m_animationEnabled = enabled; }
    const Ref<LChartCrosshairTooltip>& tooltip() const { return m_tooltip; }
    // A different tooltip replaces the old one in the view.
    void setTooltip(const Ref<LChartCrosshairTooltip>& tooltip);
    Ref<LatticeChart> chart() const { return m_chart.lock(); }
    const Ref<LChartSeries>& trackingSeries() const { return m_trackingSeries; }
    void setTrackingSeries(const Ref<LChartSeries>& series) { m_trackingSeries = series; }
    const Ref<LChartCrosshairStyle>& style() const { return m_style; }
    void setStyle(const Ref<LChartCrosshairStyle>& style) { m_style = style; }
    float animationDelay() const { return m_animationDelay; }
    void setAnimationDelay(float delay) { m_animationDelay = delay; }
    UIViewAnimationOptions animationOptions() const { return m_animationOptions; }
    void setAnimationOptions(UIViewAnimationOptions options) { m_animationOptions = options; }
    float animationDuration() const { return m_animationDuration; }
    void setAnimationDuration(float duration) { m_animationDuration = duration; }
    // 0 tracking (snaps to series points), 1 floating (follows the finger).
    int32_t mode() const { return m_mode; }
    void setMode(int32_t mode) { m_mode = mode; }
    // What a move outside the plot area does: 1 hides the crosshair, 2 removes it (hides it and
    // forgets the tracking series), any other value keeps it.
    int32_t outOfRangeBehavior() const { return m_outOfRangeBehavior; }
    void setOutOfRangeBehavior(int32_t behavior) { m_outOfRangeBehavior = behavior; }
    // The displayed data values of the last tracked position.
    LChartPoint trackingPoint() const { return m_trackingPoint; }
    void setTrackingPoint(LChartPoint point) { m_trackingPoint = point; }

    void showCrosshair();
    // Hides the crosshair and forgets the tracking series. Always false.
    bool removeCrosshair();

    // A tracked move to `position` (canvas pixels) showing `values` (the displayed data values)
    // of the series' public point `point`. Ignored while out of range unless out-of-range moves
    // keep the crosshair (behaviour 0).
    void moveToPositionAndDisplayDataPointFromSeriesAndSeriesDataPoint(
        LChartPoint position, LChartPoint values, const Ref<LChartSeries>& series, const Ref<LChartDataPoint>& point);
    // A floating move to a pixel position, or to data values on an axis pair.
    void moveToFloatingPixelPosition(CGPoint position);
    void moveToFloatingPositionOnXAxisOnYAxis(LChartPoint values, LChartAxis* xAxis, LChartAxis* yAxis);
    // Shows the crosshair and runs the block, as a view animation when animation is on.
    void positionWithBlock(const std::function<void()>& block);

    void crosshairMovedInsideRange() { m_inRange = true; }
    // Applies `outOfRangeBehavior`.
    void crosshairMovedOutOfRange();
    // Whether gestures should keep moving the crosshair: it tracks a series, or it floats and
    // shows.
    bool crosshairShouldKeepTracking() const;

    // Notices from the overlay and the chart.
    void crosshairChartGotTapAt(CGPoint) { removeCrosshair(); }
    void chartDidReload() { removeCrosshair(); }
    void crosshairTrackingFailed() { removeCrosshair(); }
    void crosshairChartGotPinchAndPan() { }
    void crosshairChartGotLongPressAt(CGPoint) { }
    void clipTooltip() { }

    // Whether the rectangle contains the point.
    static bool shouldDrawCrosshairLinesForPointInFrame(CGPoint point, CGRect frame);
    void drawRect(CGRect rect) override;
    // The lines to the axes (when on) and the circle, while the centre lies inside the plot area.
    void drawCrosshairLines();

private:
    // The tracking series while the chart still has it.
    LChartSeries* chartTrackingSeries(const LatticeChart& chart) const;

    CGPoint m_crosshairCentre { 0, 0 };
    bool m_inRange { false };
    bool m_enableCrosshairLinesSet { false };
    bool m_enableCrosshairLines { true };
    bool m_interpolatePoints { true };
    bool m_animationEnabled { false };
    Ref<LChartCrosshairTooltip> m_tooltip;
    Weak<LatticeChart> m_chart;
    Ref<LChartSeries> m_trackingSeries;
    Ref<LChartCrosshairStyle> m_style;
    float m_animationDelay { 0 };
    UIViewAnimationOptions m_animationOptions { UIViewAnimationOptionCurveEaseOut };
    float m_animationDuration { 0.2f };
    int32_t m_mode { Tracking };
    int32_t m_outOfRangeBehavior { 1 };
    LChartPoint m_trackingPoint;
};
