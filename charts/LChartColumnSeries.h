#pragma once

#include "charts/LChartBarColumnSeries.h"

class LChartColumnSeriesStyle;

// Rectangles standing on the x axis: the x value picks the slot, the y value is measured.
// Main thread only.
class LChartColumnSeries final : public LChartBarColumnSeries {
    VX_OBJECT(LChartColumnSeries, LChartBarColumnSeries)
public:
    explicit LChartColumnSeries(Passkey key)
        : LChartBarColumnSeries(key)
    {
    }
    static Ref<LChartColumnSeries> init(std::shared_ptr<LChartErrorHandler> errorHandler = nullptr);
    Ref<LChartColumnSeriesStyle> style() const;
    Ref<LChartColumnSeriesStyle> selectedStyle() const;
    Ref<LChartSeriesStyle> themeStyle(const LChartTheme& theme, int32_t index, bool selected) const override;
    int32_t distanceComparisonModeForPoint() const override { return 1; }
    int32_t distanceComparisonModeForSeries() const override { return 1; }
    void distanceInfoToPointInChartIsOnlySeries(
        LChartSeriesDistanceInfo& info, LChartPoint touch, const LChartHitTestHost& chart, bool isOnlySeries) override
    {
        distanceInfoInsideNearestRectangle(info, touch, chart, isOnlySeries);
    }
};
