#include "charts/LChartOHLCSeries.h"

#include "charts/LChartDonutSeriesStyle.h"
#include "charts/LChartInternalDataPoint.h"
#include "charts/LChartSeriesDataBin.h"
#include "charts/LChartTheme.h"
#include "graphics/UIColor.h"

#include <algorithm>

VX_REGISTER_CLASS(LChartOHLCSeries);
VX_REGISTER_CLASS(LChartCandlestickSeries);

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

Ref<LChartCandlestickSeries> LChartCandlestickSeries::init(std::shared_ptr<LChartErrorHandler> errorHandler)
{
    auto series = make<LChartCandlestickSeries>();
    series->initOHLCSeries(std::move(errorHandler));
    series->setBaseStyle(LChartCandlestickSeriesStyle::init());
    series->setBaseSelectedStyle(LChartCandlestickSeriesStyle::init());
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

Ref<LChartSeriesStyle> LChartCandlestickSeries::themeStyle(const LChartTheme& theme, int32_t index, bool selected) const
{
    return theme.candlestickSeriesStyleForSeriesAtIndex(index, selected);
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

namespace {

float widthOf(const Value& chosen, const Value& fallback, bool useFallbackWhenZero)
{
    bool missing = chosen.isNilOrNull() || (useFallbackWhenZero && chosen.floatValue() == 0);
    return (missing ? fallback : chosen).floatValue();
}

} // namespace

void LChartOHLCSeries::drawBin(
    LChartSeriesDataBin& bin, LChartDrawer& drawer, float, const LChartGLTranslation& translation, RenderIndices& slots)
{
    auto prices = pricesOfBin(bin);
    if (prices.empty())
        return;
    auto normal = style();
    auto chosen = selected() && selectedStyle() ? selectedStyle() : normal;
    float trunk = widthOf(chosen->trunkWidth(), normal->trunkWidth(), false);
    float arm = widthOf(chosen->armWidth(), normal->armWidth(), false);
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

void LChartCandlestickSeries::drawBin(
    LChartSeriesDataBin& bin, LChartDrawer& drawer, float, const LChartGLTranslation& translation, RenderIndices& slots)
{
    auto prices = pricesOfBin(bin);
    if (prices.empty())
        return;
    auto normal = std::static_pointer_cast<LChartCandlestickSeriesStyle>(baseStyle());
    auto chosen = selected() && baseSelectedStyle()
        ? std::static_pointer_cast<LChartCandlestickSeriesStyle>(baseSelectedStyle())
        : normal;
    std::vector<float> buffer;
    std::vector<Ref<UIColor>> colours, gradients;
    for (const auto& p : prices) {
        auto pointStyle = p.selected && baseSelectedStyle()
            ? std::static_pointer_cast<LChartCandlestickSeriesStyle>(baseSelectedStyle())
            : normal;
        bool falling = p.open > p.close;
        // Every entry reads position, high, body top, body bottom, low.
        float top = falling ? p.open : p.close;
        float bottom = falling ? p.close : p.open;
        buffer.insert(buffer.end(), { p.position, p.high, top, bottom, p.low });
        colours.push_back(falling ? pointStyle->fallingColor() : pointStyle->risingColor());
        gradients.push_back(falling ? pointStyle->fallingColorGradient() : pointStyle->risingColorGradient());
    }
    auto outline = chosen->outlineColor() ? chosen->outlineColor() : normal->outlineColor();
    auto stick = chosen->stickColor() ? chosen->stickColor() : normal->stickColor();
    float outlineWidth = std::max(0.0f, widthOf(chosen->outlineWidth(), normal->outlineWidth(), true));
    float stickWidth = widthOf(chosen->stickWidth(), normal->stickWidth(), true);
    drawer.drawCandlesticks(buffer.data(), this, &slots["Lines"], &slots["OffsetLines"], &slots["Triangles"],
        static_cast<int32_t>(prices.size()), colours, gradients, outline.get(), stick.get(), seriesWidth().floatValue(),
        outlineWidth * resolutionScale(), stickWidth * resolutionScale(), orientation(), translation);
}
