#include "charts/LChartBubbleSeries.h"

#include "charts/LChartDataSeries.h"
#include "charts/LChartInternalDataPoint.h"
#include "charts/LChartPointSeriesStyle.h"
#include "charts/LChartSeriesDataBin.h"
#include "charts/LChartTheme.h"
#include "charts/LatticeChartLog.h"
#include "foundation/NSString.h"

#include <cmath>

VX_REGISTER_CLASS(LChartBubbleSeries);

Ref<LChartBubbleSeries> LChartBubbleSeries::init(std::shared_ptr<LChartErrorHandler> errorHandler)
{
    auto series = make<LChartBubbleSeries>();
    series->initPointSeries(std::move(errorHandler));
    series->setBaseStyle(LChartBubbleSeriesStyle::init());
    series->setBaseSelectedStyle(LChartBubbleSeriesStyle::init());
    auto keys = series->orderedKeysForDataValues();
    series->dataSeries()->setValueKeys(keys);
    series->dataSeries()->setXValueKeys(keys);
    series->dataSeries()->setYValueKeys(keys);
    return series;
}

Ref<LChartSeriesStyle> LChartBubbleSeries::themeStyle(const LChartTheme& theme, int32_t index, bool selected) const
{
    return theme.bubbleSeriesStyleForSeriesAtIndex(index, selected);
}

void LChartBubbleSeries::setScale(const Value& scale)
{
    if (scale.doubleValue() < 0) {
        LatticeChartLog::logMessageFromSource(
            NSString::stringWithFormat("Cannot set a negative scale of %@. Maintaining a scale of %@", scale, m_scale),
            this);
        return;
    }
    m_scale = scale;
}

void LChartBubbleSeries::setBiggestBubbleDiameterForAutoScaling(const Value& diameter)
{
    double value = diameter.doubleValue();
    if (!(value >= 0) || !diameter.isNumber()) {
        LatticeChartLog::logMessageFromSource(
            NSString::stringWithFormat("An attempt to set biggestBubbleDiameterForAutoScaling to %@ has been made. "
                                       "Maintaining current value of %@.",
                diameter, m_biggestDiameter),
            this);
        return;
    }
    m_biggestDiameter = diameter;
}

double LChartBubbleSeries::largestBubbleDiameterWithScaling(bool scaling) const
{
    double largest = 0;
    for (const auto& point : dataSeries()->dataPoints())
        largest = std::max(largest, point->values().objectForKey(Value("Area")).doubleValue());
    double diameter = 2 * std::sqrt(largest / M_PI);
    return scaling ? diameter * currentScale().doubleValue() : diameter;
}

Value LChartBubbleSeries::autoScaleForBubblesConstrainedByDiameter(double diameter) const
{
    if (!m_scale.isNilOrNull())
        return {};
    double largest = largestBubbleDiameterWithScaling(false);
    // No bubble with an area: nothing to scale (radii stay 0) rather than a division by zero.
    if (!(largest > 0))
        return {};
    return Value(diameter / largest);
}

double LChartBubbleSeries::radiusForDataPoint(const LChartInternalDataPoint& point) const
{
    double area = point.values().objectForKey(Value("Area")).doubleValue();
    return std::sqrt(area / M_PI) * currentScale().doubleValue();
}

void LChartBubbleSeries::drawBin(LChartSeriesDataBin& bin, LChartDrawer& drawer, float glBaseline,
    const LChartGLTranslation& translation, RenderIndices& slots)
{
    CGSize size = drawer.frame().size;
    double diameter
        = m_biggestDiameter.isNilOrNull() ? std::min(size.width, size.height) / 2 : m_biggestDiameter.doubleValue();
    m_autoScale = autoScaleForBubblesConstrainedByDiameter(diameter);
    LChartPointSeries::drawBin(bin, drawer, glBaseline, translation, slots);
}
