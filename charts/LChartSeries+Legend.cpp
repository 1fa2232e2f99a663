// The legend operations of every series kind, kept together: each kind answers with its own
// symbol class and takes its block colours from its own style class.

#include "charts/LChartSeries.h"

#include "charts/LChartBandSeries.h"
#include "charts/LChartBandSeriesStyle.h"
#include "charts/LChartBarSeries.h"
#include "charts/LChartCandlestickSeries.h"
#include "charts/LChartColumnSeries.h"
#include "charts/LChartDataSeries.h"
#include "charts/LChartDonutSeries.h"
#include "charts/LChartDonutSeriesStyle.h"
#include "charts/LChartInternalDataPoint.h"
#include "charts/LChartLegendItem.h"
#include "charts/LChartLegendSymbolBandSeries.h"
#include "charts/LChartLegendSymbolBarSeries.h"
#include "charts/LChartLegendSymbolBlock.h"
#include "charts/LChartLegendSymbolBlockSplit.h"
#include "charts/LChartLegendSymbolCandlestickSeries.h"
#include "charts/LChartLegendSymbolColumnSeries.h"
#include "charts/LChartLegendSymbolDonutSeries.h"
#include "charts/LChartLegendSymbolLineSeries.h"
#include "charts/LChartLegendSymbolOHLCSeries.h"
#include "charts/LChartLegendSymbolPieSeries.h"
#include "charts/LChartLegendSymbolPointSeries.h"
#include "charts/LChartLegendSymbolScatterSeries.h"
#include "charts/LChartLineSeries.h"
#include "charts/LChartOHLCSeries.h"
#include "charts/LChartPieSeries.h"
#include "charts/LChartPointSeries.h"
#include "charts/LChartPointSeriesStyle.h"
#include "charts/LChartScatterSeries.h"
#include "graphics/UIColor.h"

#include <functional>

namespace {

// The series' legend item when it is another object than the series.
std::shared_ptr<LChartLegendItem> otherLegendItem(const LChartSeries& series)
{
    auto item = series.legendItem().lock();
    if (item && dynamic_cast<const void*>(item.get()) == dynamic_cast<const void*>(&series))
        return nullptr;
    return item;
}

// The colour a getter reads from the style in force: the selected style's when the series is
// selected and that style has one, else the normal style's.
template <typename Style>
Ref<UIColor> styleColor(const LChartSeries& series, const Ref<Style>& normal, const Ref<Style>& selected,
    const std::function<Ref<UIColor>(const Style&)>& read)
{
    if (series.selected() && selected)
        if (auto color = read(*selected))
            return color;
    return normal ? read(*normal) : nullptr;
}

template <typename Series> Series* as(LChartSeries& series)
{
    return dynamic_cast<Series*>(&series);
}

Ref<UIView> blockSymbolOf(LChartSeries& series)
{
    if (auto* bar = dynamic_cast<LChartBarColumnSeries*>(&series)) {
        auto normal = std::dynamic_pointer_cast<LChartBarColumnSeriesStyle>(bar->baseStyle());
        auto selected = std::dynamic_pointer_cast<LChartBarColumnSeriesStyle>(bar->baseSelectedStyle());
        const auto& current = series.selected() && selected ? selected : normal;
        Ref<UIColor> area;
        if (current && current->showArea())
            area = styleColor<LChartBarColumnSeriesStyle>(
                series, normal, selected, [](const auto& s) { return s.areaColor(); });
        return LChartLegendSymbolBlock::initWithAreaColorAndOutlineColor(area,
            styleColor<LChartBarColumnSeriesStyle>(
                series, normal, selected, [](const auto& s) { return s.lineColor(); }));
    }
    if (auto* line = as<LChartLineSeries>(series)) {
        auto normal = line->style();
        auto selected = line->selectedStyle();
        const auto& current = series.selected() && selected ? selected : normal;
        bool fill = current && current->showFill();
        auto area = styleColor<LChartLineSeriesStyle>(
            series, normal, selected, [fill](const auto& s) { return fill ? s.areaColor() : s.lineColor(); });
        auto outline = styleColor<LChartLineSeriesStyle>(
            series, normal, selected, [fill](const auto& s) { return fill ? s.areaLineColor() : s.lineColor(); });
        return LChartLegendSymbolBlock::initWithAreaColorAndOutlineColor(area, outline);
    }
    if (auto* point = as<LChartPointSeries>(series)) {
        auto marker = styleColor<LChartPointSeriesStyle>(series, point->style(), point->selectedStyle(),
            [](const auto& s) { return s.pointStyle() ? s.pointStyle()->color() : nullptr; });
        return LChartLegendSymbolBlock::initWithAreaColorAndOutlineColor(marker, UIColor::clearColor());
    }
    if (auto* band = as<LChartBandSeries>(series)) {
        auto normal = band->style();
        auto selected = band->selectedStyle();
        using Style = LChartBandSeriesStyle;
        return LChartLegendSymbolBlockSplit::initWithAreaColorAndLowAreaColorAndOutlineColor(
            styleColor<Style>(series, normal, selected, [](const auto& s) { return s.areaColorNormal(); }),
            styleColor<Style>(series, normal, selected, [](const auto& s) { return s.areaColorInverted(); }),
            styleColor<Style>(series, normal, selected, [](const auto& s) { return s.lineColorHigh(); }));
    }
    if (auto* ohlc = as<LChartOHLCSeries>(series)) {
        auto normal = ohlc->style();
        auto selected = ohlc->selectedStyle();
        using Style = LChartOHLCSeriesStyle;
        auto rising = styleColor<Style>(series, normal, selected, [](const auto& s) { return s.risingColor(); });
        auto falling = styleColor<Style>(series, normal, selected, [](const auto& s) { return s.fallingColor(); });
        Ref<UIColor> outline = UIColor::clearColor();
        if (as<LChartCandlestickSeries>(series))
            outline = styleColor<Style>(series, normal, selected, [](const Style& s) -> Ref<UIColor> {
                auto candle = dynamic_cast<const LChartCandlestickSeriesStyle*>(&s);
                return candle ? candle->stickColor() : nullptr;
            });
        return LChartLegendSymbolBlockSplit::initWithAreaColorAndLowAreaColorAndOutlineColor(rising, falling, outline);
    }
    return nullptr;
}

Ref<UIView> seriesSymbolOf(LChartSeries& series)
{
    // Most derived kinds first: a line series is a scatter series, a scatter series a point series,
    // a candlestick series an OHLC series.
    if (auto* bar = as<LChartBarSeries>(series))
        return LChartLegendSymbolBarSeries::initWithSeries(*bar);
    if (auto* column = as<LChartColumnSeries>(series))
        return LChartLegendSymbolColumnSeries::initWithSeries(*column);
    if (auto* line = as<LChartLineSeries>(series))
        return LChartLegendSymbolLineSeries::initWithSeries(*line);
    if (auto* scatter = as<LChartScatterSeries>(series))
        return LChartLegendSymbolScatterSeries::initWithSeries(*scatter);
    if (auto* point = as<LChartPointSeries>(series))
        return LChartLegendSymbolPointSeries::initWithSeries(*point);
    if (auto* band = as<LChartBandSeries>(series))
        return LChartLegendSymbolBandSeries::initWithSeries(*band);
    if (auto* candle = as<LChartCandlestickSeries>(series))
        return LChartLegendSymbolCandlestickSeries::initWithSeries(*candle);
    if (auto* ohlc = as<LChartOHLCSeries>(series))
        return LChartLegendSymbolOHLCSeries::initWithSeries(*ohlc);
    return nullptr;
}

} // namespace

std::string LChartSeries::titleForSeriesInLegend() const
{
    if (auto item = otherLegendItem(*this))
        if (auto title = item->titleForSeriesInLegend())
            return *title;
    return m_title;
}

std::string LChartSeries::titleForSliceInLegend(int32_t slice) const
{
    if (!isRadialSeries())
        return {};
    const auto& points = m_dataSeries->dataPoints();
    if (slice < 0 || static_cast<size_t>(slice) >= points.size())
        return {};
    const Value& name = points[static_cast<size_t>(slice)]->xValue();
    return name.isString() ? name.stringValue() : name.description();
}

Ref<UIView> LChartSeries::symbolForSeriesInLegend()
{
    if (auto item = otherLegendItem(*this))
        if (auto symbol = item->symbolForSeriesInLegend())
            return *symbol;
    return seriesSymbolOf(*this);
}

Ref<UIView> LChartSeries::blockSymbolForSeriesInLegend()
{
    if (auto item = otherLegendItem(*this))
        if (auto symbol = item->blockSymbolForSeriesInLegend())
            return *symbol;
    return blockSymbolOf(*this);
}

Ref<UIView> LChartSeries::symbolForSliceInLegend(int32_t slice)
{
    auto donut = std::dynamic_pointer_cast<LChartDonutSeries>(shared_from_this());
    if (!donut)
        return nullptr;
    if (as<LChartPieSeries>(*this))
        return LChartLegendSymbolPieSeries::initWithSeriesAndSliceIndex(donut, slice);
    return LChartLegendSymbolDonutSeries::initWithSeriesAndSliceIndex(donut, slice);
}
