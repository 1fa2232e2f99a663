#include "charts/LChartPointSeriesStyle.h"

#include "charts/LatticeChartLog.h"

void LChartPointSeriesStyle::initialisePointSeriesStyle()
{
    initialisePointStyles();
    for (const auto& style : { pointStyle(), selectedPointStyle() }) {
        style->setShowPoints(true);
        style->setShowPointsSet(true);
    }
}

Ref<LChartPointSeriesStyle> LChartPointSeriesStyle::init()
{
    auto style = make<LChartPointSeriesStyle>();
    style->initialisePointSeriesStyle();
    return style;
}

void LChartPointSeriesStyle::initialisePointStyles()
{
    setPointStyle(LChartBasePointStyle::init());
    setSelectedPointStyle(LChartBasePointStyle::init());
}

void LChartPointSeriesStyle::supplementStyleFromStyle(const LChartPointSeriesStyle& other)
{
    LChartSeriesStyle::supplementStyleFromStyle(other);
    if (!pointStyle())
        setPointStyle(other.pointStyle());
    if (!selectedPointStyle())
        setSelectedPointStyle(other.selectedPointStyle());
    if (pointStyle() && other.pointStyle() && pointStyle() != other.pointStyle())
        pointStyle()->supplementStyleFromStyle(*other.pointStyle());
    if (selectedPointStyle() && other.selectedPointStyle() && selectedPointStyle() != other.selectedPointStyle())
        selectedPointStyle()->supplementStyleFromStyle(*other.selectedPointStyle());
}

Ref<LChartScatterSeriesStyle> LChartScatterSeriesStyle::init()
{
    auto style = make<LChartScatterSeriesStyle>();
    style->initialisePointSeriesStyle();
    return style;
}

void LChartScatterSeriesStyle::initialisePointStyles()
{
    setPointStyle(LChartPointStyle::init());
    setSelectedPointStyle(LChartPointStyle::init());
}

Ref<LChartBubbleSeriesStyle> LChartBubbleSeriesStyle::init()
{
    auto style = make<LChartBubbleSeriesStyle>();
    style->initialisePointSeriesStyle();
    return style;
}

void LChartBubbleSeriesStyle::initialisePointStyles()
{
    setPointStyle(LChartBubblePointStyle::init());
    setSelectedPointStyle(LChartBubblePointStyle::init());
}

Ref<LChartLineSeriesStyle> LChartLineSeriesStyle::init()
{
    auto style = make<LChartLineSeriesStyle>();
    style->initialisePointSeriesStyle();
    for (const auto& points : { style->pointStyle(), style->selectedPointStyle() }) {
        points->setShowPoints(false);
        points->setShowPointsSet(false);
    }
    style->m_lineCrosshairTraceStyle = 0;
    style->m_lineCrosshairTraceStyleSet = false;
    return style;
}

void LChartLineSeriesStyle::setLineWidth(const Value& width)
{
    if (!width.isNil() && width.floatValue() <= 0) {
        LatticeChartLog::logMessageFromSource("Line series must have a line width greater than 0.f", this);
        return;
    }
    m_lineWidth = width;
}

void LChartLineSeriesStyle::supplementStyleFromStyle(const LChartLineSeriesStyle& other)
{
    LChartPointSeriesStyle::supplementStyleFromStyle(other);
    VX_SUPPLEMENT_OBJECT(other, lineColor, LineColor)
    VX_SUPPLEMENT_OBJECT(other, lineColorBelowBaseline, LineColorBelowBaseline)
    VX_SUPPLEMENT_OBJECT(other, lineWidth, LineWidth)
    VX_SUPPLEMENT_OBJECT(other, areaColor, AreaColor)
    VX_SUPPLEMENT_OBJECT(other, areaColorLowGradient, AreaColorLowGradient)
    VX_SUPPLEMENT_OBJECT(other, areaColorBelowBaseline, AreaColorBelowBaseline)
    VX_SUPPLEMENT_OBJECT(other, areaColorGradientBelowBaseline, AreaColorGradientBelowBaseline)
    VX_SUPPLEMENT_OBJECT(other, areaLineColor, AreaLineColor)
    VX_SUPPLEMENT_OBJECT(other, areaLineColorBelowBaseline, AreaLineColorBelowBaseline)
    VX_SUPPLEMENT_FLAGGED(other, showFill, ShowFill, Set)
    VX_SUPPLEMENT_FLAGGED(other, fillWithGradient, FillWithGradient, Set)
    VX_SUPPLEMENT_FLAGGED(other, lineCrosshairTraceStyle, LineCrosshairTraceStyle, Set)
}
