#pragma once

#include "charts/LChartBarColumnSeries.h"

class LChartBarSeriesStyle;

// Rectangles laid along the y axis: the y value picks the slot, the x value is measured.
// Main thread only.
class LChartBarSeries final : public LChartBarColumnSeries {
    VX_OBJECT(LChartBarSeries, LChartBarColumnSeries)
public:
    explicit LChartBarSeries(Passkey key)
        : LChartBarColumnSeries(key)
    {
    }
    static Ref<LChartBarSeries> init(std::shared_ptr<LChartErrorHandler> errorHandler = nullptr);
    Ref<LChartBarSeriesStyle> style() const;
    Ref<LChartBarSeriesStyle> selectedStyle() const;
    Ref<LChartSeriesStyle> themeStyle(const LChartTheme& theme, int32_t index, bool selected) const override;
    int32_t distanceComparisonModeForPoint() const override { return 2; }
    int32_t distanceComparisonModeForSeries() const override { return 2; }
    void distanceInfoToPointInChartIsOnlySeries(
        LChartSeriesDistanceInfo& info, LChartPoint touch, const LChartHitTestHost& chart, bool isOnlySeries) override
    {
        distanceInfoInsideNearestRectangle(info, touch, chart, isOnlySeries);
    }
};
