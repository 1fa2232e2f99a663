#include "charts/LChartColumnSeries.h"

#include "charts/LChartBandSeriesStyle.h"
#include "charts/LChartTheme.h"

VX_REGISTER_CLASS(LChartColumnSeries);

Ref<LChartColumnSeries> LChartColumnSeries::init(std::shared_ptr<LChartErrorHandler> errorHandler)
{
    auto series = make<LChartColumnSeries>();
    series->initCartesianSeries(std::move(errorHandler));
    series->setBaseStyle(LChartColumnSeriesStyle::init());
    series->setBaseSelectedStyle(LChartColumnSeriesStyle::init());
    series->setOrientation(0);
    series->setEntryAnimation(LChartAnimation::growVerticalAnimation());
    series->setExitAnimation(LChartAnimation::growVerticalAnimation());
    return series;
}

Ref<LChartColumnSeriesStyle> LChartColumnSeries::style() const
{
    return std::static_pointer_cast<LChartColumnSeriesStyle>(baseStyle());
}

Ref<LChartColumnSeriesStyle> LChartColumnSeries::selectedStyle() const
{
    return std::static_pointer_cast<LChartColumnSeriesStyle>(baseSelectedStyle());
}

Ref<LChartSeriesStyle> LChartColumnSeries::themeStyle(const LChartTheme& theme, int32_t index, bool selected) const
{
    return theme.columnSeriesStyleForSeriesAtIndex(index, selected);
}
