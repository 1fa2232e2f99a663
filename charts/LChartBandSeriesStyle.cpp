#include "charts/LChartBandSeriesStyle.h"

#include "charts/LatticeChartLog.h"

Ref<LChartBandSeriesStyle> LChartBandSeriesStyle::init()
{
    auto style = make<LChartBandSeriesStyle>();
    style->setPointStyle(LChartPointStyle::init());
    style->setSelectedPointStyle(LChartPointStyle::init());
    return style;
}

void LChartBandSeriesStyle::setLineWidth(const Value& width)
{
    if (!width.isNil() && width.floatValue() < 1) {
        LatticeChartLog::logMessageFromSource("Band series can't have a line width less than one pixel", this);
        return;
    }
    m_lineWidth = width;
}

void LChartBandSeriesStyle::supplementStyleFromStyle(const LChartBandSeriesStyle& other)
{
    VX_SUPPLEMENT_OBJECT(other, lineColorHigh, LineColorHigh)
    VX_SUPPLEMENT_OBJECT(other, lineColorLow, LineColorLow)
    VX_SUPPLEMENT_OBJECT(other, lineWidth, LineWidth)
    VX_SUPPLEMENT_OBJECT(other, areaColorNormal, AreaColorNormal)
    VX_SUPPLEMENT_OBJECT(other, areaColorInverted, AreaColorInverted)
    VX_SUPPLEMENT_FLAGGED(other, showFill, ShowFill, Set)
    if (pointStyle() && other.pointStyle())
        pointStyle()->supplementStyleFromStyle(*other.pointStyle());
    if (selectedPointStyle() && other.selectedPointStyle())
        selectedPointStyle()->supplementStyleFromStyle(*other.selectedPointStyle());
}

void LChartBarColumnSeriesStyle::initialiseBarColumnStyle()
{
    m_showArea = true;
    m_showAreaWithGradient = true;
}

Ref<LChartBarColumnSeriesStyle> LChartBarColumnSeriesStyle::init()
{
    auto style = make<LChartBarColumnSeriesStyle>();
    style->initialiseBarColumnStyle();
    return style;
}

Ref<LChartBarSeriesStyle> LChartBarSeriesStyle::init()
{
    auto style = make<LChartBarSeriesStyle>();
    style->initialiseBarColumnStyle();
    return style;
}

Ref<LChartColumnSeriesStyle> LChartColumnSeriesStyle::init()
{
    auto style = make<LChartColumnSeriesStyle>();
    style->initialiseBarColumnStyle();
    return style;
}

void LChartBarColumnSeriesStyle::supplementStyleFromStyle(const LChartBarColumnSeriesStyle& other)
{
    LChartSeriesStyle::supplementStyleFromStyle(other);
    VX_SUPPLEMENT_OBJECT(other, areaColor, AreaColor)
    VX_SUPPLEMENT_OBJECT(other, areaColorGradient, AreaColorGradient)
    VX_SUPPLEMENT_OBJECT(other, lineColor, LineColor)
    VX_SUPPLEMENT_OBJECT(other, areaColorBelowBaseline, AreaColorBelowBaseline)
    VX_SUPPLEMENT_OBJECT(other, areaColorGradientBelowBaseline, AreaColorGradientBelowBaseline)
    VX_SUPPLEMENT_OBJECT(other, lineColorBelowBaseline, LineColorBelowBaseline)
    VX_SUPPLEMENT_OBJECT(other, lineWidth, LineWidth)
    VX_SUPPLEMENT_FLAGGED(other, showArea, ShowArea, WasSet)
    VX_SUPPLEMENT_FLAGGED(other, showAreaWithGradient, ShowAreaWithGradient, WasSet)
}
