#pragma once

#include "charts/LChartSeriesStyle.h"

// The point family's style: markers for unselected and selected points, shown (and counted as
// set) from the start.
class LChartPointSeriesStyle : public LChartSeriesStyle {
    VX_OBJECT(LChartPointSeriesStyle, LChartSeriesStyle)
public:
    explicit LChartPointSeriesStyle(Passkey key)
        : LChartSeriesStyle(key)
    {
    }
    static Ref<LChartPointSeriesStyle> init();
    // Series style first; missing point styles take the other's objects (shared); then both
    // point styles are supplemented.
    void supplementStyleFromStyle(const LChartPointSeriesStyle& other);

    VX_STYLE_OBJECT(Ref<LChartBasePointStyle>, pointStyle, PointStyle)
    VX_STYLE_OBJECT(Ref<LChartBasePointStyle>, selectedPointStyle, SelectedPointStyle)

protected:
    // Makes the two point styles of this style's kind.
    virtual void initialisePointStyles();
    void initialisePointSeriesStyle();
};

// Scatter series: markers with an inner disc.
class LChartScatterSeriesStyle : public LChartPointSeriesStyle {
    VX_OBJECT(LChartScatterSeriesStyle, LChartPointSeriesStyle)
public:
    explicit LChartScatterSeriesStyle(Passkey key)
        : LChartPointSeriesStyle(key)
    {
    }
    static Ref<LChartScatterSeriesStyle> init();

protected:
    void initialisePointStyles() override;
};

// Bubble series.
class LChartBubbleSeriesStyle final : public LChartPointSeriesStyle {
    VX_OBJECT(LChartBubbleSeriesStyle, LChartPointSeriesStyle)
public:
    explicit LChartBubbleSeriesStyle(Passkey key)
        : LChartPointSeriesStyle(key)
    {
    }
    static Ref<LChartBubbleSeriesStyle> init();

protected:
    void initialisePointStyles() override;
};

// Line and step-line series: a line, an optional fill to the baseline, markers off (not set).
class LChartLineSeriesStyle final : public LChartScatterSeriesStyle {
    VX_OBJECT(LChartLineSeriesStyle, LChartScatterSeriesStyle)
public:
    explicit LChartLineSeriesStyle(Passkey key)
        : LChartScatterSeriesStyle(key)
    {
    }
    static Ref<LChartLineSeriesStyle> init();
    void supplementStyleFromStyle(const LChartLineSeriesStyle& other);

    VX_STYLE_FLAGGED(bool, showFill, ShowFill, Set)
    VX_STYLE_FLAGGED(bool, fillWithGradient, FillWithGradient, Set)
    VX_STYLE_OBJECT(Ref<UIColor>, lineColor, LineColor)
    VX_STYLE_OBJECT(Ref<UIColor>, lineColorBelowBaseline, LineColorBelowBaseline)
    VX_STYLE_OBJECT(Value, areaLineWidth, AreaLineWidth)
    VX_STYLE_OBJECT(Ref<UIColor>, areaColor, AreaColor)
    VX_STYLE_OBJECT(Ref<UIColor>, areaColorLowGradient, AreaColorLowGradient)
    VX_STYLE_OBJECT(Ref<UIColor>, areaColorBelowBaseline, AreaColorBelowBaseline)
    VX_STYLE_OBJECT(Ref<UIColor>, areaColorGradientBelowBaseline, AreaColorGradientBelowBaseline)
    VX_STYLE_OBJECT(Ref<UIColor>, areaLineColor, AreaLineColor)
    VX_STYLE_OBJECT(Ref<UIColor>, areaLineColorBelowBaseline, AreaLineColorBelowBaseline)
    VX_STYLE_FLAGGED(int32_t, lineCrosshairTraceStyle, LineCrosshairTraceStyle, Set)

public:
    const Value& lineWidth() const { return m_lineWidth; }
    // 0 or less is logged and refused.
    void setLineWidth(const Value& width);

private:
    Value m_lineWidth;
};
