#include "charts/LChartBarSeries.h"

#include "charts/LChartBandSeriesStyle.h"
#include "charts/LChartTheme.h"

VX_REGISTER_CLASS(LChartBarSeries);

Ref<LChartBarSeries> LChartBarSeries::init(std::shared_ptr<LChartErrorHandler> errorHandler)
{
    auto series = make<LChartBarSeries>();
    series->initCartesianSeries(std::move(errorHandler));
    series->setBaseStyle(LChartBarSeriesStyle::init());
    series->setBaseSelectedStyle(LChartBarSeriesStyle::init());
    series->setOrientation(1);
    series->setEntryAnimation(LChartAnimation::growHorizontalAnimation());
    series->setExitAnimation(LChartAnimation::growHorizontalAnimation());
    return series;
}

Ref<LChartBarSeriesStyle> LChartBarSeries::style() const
{
    return std::static_pointer_cast<LChartBarSeriesStyle>(baseStyle());
}

Ref<LChartBarSeriesStyle> LChartBarSeries::selectedStyle() const
{
    return std::static_pointer_cast<LChartBarSeriesStyle>(baseSelectedStyle());
}

Ref<LChartSeriesStyle> LChartBarSeries::themeStyle(const LChartTheme& theme, int32_t index, bool selected) const
{
    return theme.barSeriesStyleForSeriesAtIndex(index, selected);
}
