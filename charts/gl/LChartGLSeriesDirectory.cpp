#include "charts/gl/LChartGLSeriesDirectory.h"

#include "charts/LChartSeries.h"
#include "charts/gl/LChartGLAnimationManager.h"

int32_t LChartSeriesGLDirectory::seriesIndexOf(const LChartSeries* series) const
{
    return series ? series->seriesIndex() : 0;
}

std::string LChartSeriesGLDirectory::titleOf(const LChartSeries* series) const
{
    return series ? series->title() : std::string();
}

float LChartSeriesGLDirectory::resolutionScaleOf(const LChartSeries* series) const
{
    return series ? series->resolutionScale() : 1;
}

void LChartSeriesGLDirectory::updateAnimation(LChartSeries* series, double seconds)
{
    if (series)
        series->updateAnimation(seconds);
}

LChartGL::AnimationValues LChartSeriesGLDirectory::animationValuesOf(const LChartSeries* series)
{
    if (!series)
        return {};
    return LChartGLAnimationManager::valuesFor({ series->activeAnimation(), series->entryAnimation().get(),
        series->exitAnimation().get(), series->animationEnabled(), series->hidden() });
}
