#include "charts/LChartScatterSeries.h"

#include "charts/LChartInternalDataPoint.h"
#include "charts/LChartPointSeriesStyle.h"
#include "charts/LChartSeriesDataBin.h"
#include "charts/LChartTheme.h"

VX_REGISTER_CLASS(LChartScatterSeries);

Ref<LChartScatterSeries> LChartScatterSeries::init(std::shared_ptr<LChartErrorHandler> errorHandler)
{
    auto series = make<LChartScatterSeries>();
    series->initPointSeries(std::move(errorHandler));
    series->setBaseStyle(LChartScatterSeriesStyle::init());
    series->setBaseSelectedStyle(LChartScatterSeriesStyle::init());
    return series;
}

double LChartScatterSeries::radiusForDataPoint(const LChartInternalDataPoint& point) const
{
    return m_isDrawingOuterPoints ? point.radius() : point.innerRadius();
}

void LChartScatterSeries::drawBin(LChartSeriesDataBin& bin, LChartDrawer& drawer, float glBaseline,
    const LChartGLTranslation& translation, RenderIndices& slots)
{
    auto normal = style();
    auto chosen = selected() && selectedStyle() ? selectedStyle() : normal;
    if (!chosen)
        return;
    // The inner discs: a plain point style from each marker style's inner values.
    auto innerOf = [&](const Ref<LChartBasePointStyle>& own, const Ref<LChartBasePointStyle>& fallback) {
        auto inner = LChartBasePointStyle::init();
        auto ownPoint = std::dynamic_pointer_cast<LChartPointStyle>(own);
        auto fallbackPoint = std::dynamic_pointer_cast<LChartPointStyle>(fallback);
        auto pick = [&](auto getter) {
            auto value = ownPoint ? ((*ownPoint).*getter)() : decltype(((*ownPoint).*getter)()) {};
            if (!value && fallbackPoint)
                value = ((*fallbackPoint).*getter)();
            return value;
        };
        Value radius = ownPoint ? ownPoint->innerRadius() : Value();
        if (radius.isNilOrNull() && fallbackPoint)
            radius = fallbackPoint->innerRadius();
        if (radius.floatValue() > 0)
            inner->setRadius(radius);
        inner->setColor(pick(&LChartPointStyle::innerColor));
        inner->setColorBelowBaseline(pick(&LChartPointStyle::innerColorBelowBaseline));
        inner->setShowPoints((own && own->showPoints()) || (fallback && fallback->showPoints()));
        return inner;
    };
    auto innerUnselected = innerOf(chosen->pointStyle(), normal ? normal->pointStyle() : nullptr);
    auto innerSelected = innerOf(chosen->selectedPointStyle(), normal ? normal->selectedPointStyle() : nullptr);
    m_isDrawingOuterPoints = true;
    drawBinWithPointStyles(
        bin, drawer, glBaseline, translation, slots, chosen->selectedPointStyle(), chosen->pointStyle());
    m_isDrawingOuterPoints = false;
    drawBinWithPointStyles(bin, drawer, glBaseline, translation, slots, innerSelected, innerUnselected);
}
