#include "charts/LChartOHLCSeries.h"

#include "charts/LChartDonutSeriesStyle.h"
#include "charts/LChartInternalDataPoint.h"
#include "charts/LChartSeriesDataBin.h"
#include "charts/LChartTheme.h"
#include "graphics/UIColor.h"

#include <algorithm>

VX_REGISTER_CLASS(LChartOHLCSeries);

LChartOHLCSeries::LChartOHLCSeries(Passkey key)
    : LChartCartesianSeries(key)
{
}

Ref<LChartOHLCSeries> LChartOHLCSeries::init(std::shared_ptr<LChartErrorHandler> errorHandler)
{
    auto series = make<LChartOHLCSeries>();
    series->initOHLCSeries(std::move(errorHandler));
    return series;
}

void LChartOHLCSeries::initOHLCSeries(std::shared_ptr<LChartErrorHandler> errorHandler)
{
    initCartesianSeries(std::move(errorHandler));
    setBaseStyle(LChartOHLCSeriesStyle::init());
    setBaseSelectedStyle(LChartOHLCSeriesStyle::init());
    setOrientation(0);
    setEntryAnimation(LChartAnimation::growVerticalAnimation());
    setExitAnimation(LChartAnimation::growVerticalAnimation());
}

Ref<LChartOHLCSeriesStyle> LChartOHLCSeries::style() const
{
    return std::static_pointer_cast<LChartOHLCSeriesStyle>(baseStyle());
}

Ref<LChartOHLCSeriesStyle> LChartOHLCSeries::selectedStyle() const
{
    return std::static_pointer_cast<LChartOHLCSeriesStyle>(baseSelectedStyle());
}

Ref<LChartSeriesStyle> LChartOHLCSeries::themeStyle(const LChartTheme& theme, int32_t index, bool selected) const
{
    return theme.ohlcSeriesStyleForSeriesAtIndex(index, selected);
}

std::vector<LChartOHLCSeries::Prices> LChartOHLCSeries::pricesOfBin(const LChartSeriesDataBin& bin) const
{
    std::vector<Prices> prices;
    for (const auto& point : bin.dataPoints()) {
        bool alongX = point->xCoords().count() > 0;
        const Value& keyed = alongX ? point->xCoords() : point->yCoords();
        auto price = [&](const char* key) { return keyed.objectForKey(Value(key)).floatValue(); };
        float position = static_cast<float>(alongX ? point->yCoord() : point->xCoord());
        bool pointSelected = selectionMode() == 2 ? point->selected() : selected();
        prices.push_back({ position, price("High"), price("Open"), price("Close"), price("Low"), pointSelected });
    }
    return prices;
}

float LChartOHLCSeries::styleWidth(const Value& chosen, const Value& fallback, bool fallbackWhenZero)
{
    bool missing = chosen.isNilOrNull() || (fallbackWhenZero && chosen.floatValue() == 0);
    return (missing ? fallback : chosen).floatValue();
}

void LChartOHLCSeries::drawBin(
    LChartSeriesDataBin& bin, LChartDrawer& drawer, float, const LChartGLTranslation& translation, RenderIndices& slots)
{
    auto prices = pricesOfBin(bin);
    if (prices.empty())
        return;
    auto normal = style();
    auto chosen = selected() && selectedStyle() ? selectedStyle() : normal;
    float trunk = styleWidth(chosen->trunkWidth(), normal->trunkWidth(), false);
    float arm = styleWidth(chosen->armWidth(), normal->armWidth(), false);
    std::vector<float> buffer;
    std::vector<Ref<UIColor>> colours, gradients;
    for (const auto& p : prices) {
        buffer.insert(buffer.end(), { p.position, p.high, p.open, p.close, p.low });
        auto pointStyle = p.selected && selectedStyle() ? selectedStyle() : normal;
        bool falling = p.open > p.close;
        colours.push_back(falling ? pointStyle->fallingColor() : pointStyle->risingColor());
        gradients.push_back(falling ? pointStyle->fallingColorGradient() : pointStyle->risingColorGradient());
    }
    drawer.drawOHLCPoints(buffer.data(), this, &slots["Lines"], &slots["OffsetLines"],
        static_cast<int32_t>(prices.size()), colours, gradients, orientation(), seriesWidth().floatValue(),
        trunk * resolutionScale(), arm * resolutionScale(), translation);
}

void LChartOHLCSeries::supplementStylesFromStyles(
    const Ref<LChartSeriesStyle>& normal, const Ref<LChartSeriesStyle>& selected)
{
    supplementStylesOfClass<LChartOHLCSeriesStyle>(normal, selected);
}
