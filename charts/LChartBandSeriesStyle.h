#pragma once

#include "charts/LChartSeriesStyle.h"

// Band series: a high and a low line with a two-colour fill between them. Its supplement does
// not run the base class's (useSeriesSymbols is never taken from a theme).
class LChartBandSeriesStyle final : public LChartSeriesStyle {
    VX_OBJECT(LChartBandSeriesStyle, LChartSeriesStyle)
public:
    explicit LChartBandSeriesStyle(Passkey key)
        : LChartSeriesStyle(key)
    {
    }
    static Ref<LChartBandSeriesStyle> init();
    void supplementStyleFromStyle(const LChartBandSeriesStyle& other);

    VX_STYLE_FLAGGED(bool, showFill, ShowFill, Set)
    VX_STYLE_OBJECT(Ref<UIColor>, lineColorHigh, LineColorHigh)
    VX_STYLE_OBJECT(Ref<UIColor>, lineColorLow, LineColorLow)
    VX_STYLE_OBJECT(Ref<UIColor>, areaColorNormal, AreaColorNormal)
    VX_STYLE_OBJECT(Ref<UIColor>, areaColorInverted, AreaColorInverted)
    VX_STYLE_OBJECT(Ref<LChartPointStyle>, pointStyle, PointStyle)
    VX_STYLE_OBJECT(Ref<LChartPointStyle>, selectedPointStyle, SelectedPointStyle)

public:
    const Value& lineWidth() const { return m_lineWidth; }
    // Below 1 is logged and refused.
    void setLineWidth(const Value& width);

private:
    Value m_lineWidth;
};

// Bar and column series: fills with optional gradients and outlines, above and below the
// baseline. Filled with a gradient from the start (flags down).
class LChartBarColumnSeriesStyle : public LChartSeriesStyle {
    VX_OBJECT(LChartBarColumnSeriesStyle, LChartSeriesStyle)
public:
    explicit LChartBarColumnSeriesStyle(Passkey key)
        : LChartSeriesStyle(key)
    {
    }
    static Ref<LChartBarColumnSeriesStyle> init();
    void supplementStyleFromStyle(const LChartBarColumnSeriesStyle& other);

    VX_STYLE_FLAGGED(bool, showArea, ShowArea, WasSet)
    VX_STYLE_FLAGGED(bool, showAreaWithGradient, ShowAreaWithGradient, WasSet)
    VX_STYLE_OBJECT(Ref<UIColor>, areaColor, AreaColor)
    VX_STYLE_OBJECT(Ref<UIColor>, areaColorGradient, AreaColorGradient)
    VX_STYLE_OBJECT(Ref<UIColor>, lineColor, LineColor)
    VX_STYLE_OBJECT(Ref<UIColor>, areaColorBelowBaseline, AreaColorBelowBaseline)
    VX_STYLE_OBJECT(Ref<UIColor>, areaColorGradientBelowBaseline, AreaColorGradientBelowBaseline)
    VX_STYLE_OBJECT(Ref<UIColor>, lineColorBelowBaseline, LineColorBelowBaseline)
    VX_STYLE_OBJECT(Value, lineWidth, LineWidth)

protected:
    void initialiseBarColumnStyle();
};

class LChartBarSeriesStyle final : public LChartBarColumnSeriesStyle {
    VX_OBJECT(LChartBarSeriesStyle, LChartBarColumnSeriesStyle)
public:
    using LChartBarColumnSeriesStyle::LChartBarColumnSeriesStyle;
    static Ref<LChartBarSeriesStyle> init();
};

class LChartColumnSeriesStyle final : public LChartBarColumnSeriesStyle {
    VX_OBJECT(LChartColumnSeriesStyle, LChartBarColumnSeriesStyle)
public:
    using LChartBarColumnSeriesStyle::LChartBarColumnSeriesStyle;
    static Ref<LChartColumnSeriesStyle> init();
};
