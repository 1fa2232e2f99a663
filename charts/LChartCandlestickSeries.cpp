#include "charts/LChartCandlestickSeries.h"

#include "charts/LChartDonutSeriesStyle.h"
#include "charts/LChartTheme.h"
#include "graphics/UIColor.h"

#include <algorithm>

VX_REGISTER_CLASS(LChartCandlestickSeries);

Ref<LChartCandlestickSeries> LChartCandlestickSeries::init(std::shared_ptr<LChartErrorHandler> errorHandler)
{
    auto series = make<LChartCandlestickSeries>();
    series->initOHLCSeries(std::move(errorHandler));
    series->setBaseStyle(LChartCandlestickSeriesStyle::init());
    series->setBaseSelectedStyle(LChartCandlestickSeriesStyle::init());
    return series;
}

Ref<LChartSeriesStyle> LChartCandlestickSeries::themeStyle(const LChartTheme& theme, int32_t index, bool selected) const
{
    return theme.candlestickSeriesStyleForSeriesAtIndex(index, selected);
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
    float outlineWidth = std::max(0.0f, styleWidth(chosen->outlineWidth(), normal->outlineWidth(), true));
    float stickWidth = styleWidth(chosen->stickWidth(), normal->stickWidth(), true);
    drawer.drawCandlesticks(buffer.data(), this, &slots["Lines"], &slots["OffsetLines"], &slots["Triangles"],
        static_cast<int32_t>(prices.size()), colours, gradients, outline.get(), stick.get(), seriesWidth().floatValue(),
        outlineWidth * resolutionScale(), stickWidth * resolutionScale(), orientation(), translation);
}

void LChartCandlestickSeries::supplementStylesFromStyles(
    const Ref<LChartSeriesStyle>& normal, const Ref<LChartSeriesStyle>& selected)
{
    supplementStylesOfClass<LChartCandlestickSeriesStyle>(normal, selected);
}
