#pragma once

#include "charts/LChartDonutSeries.h"

// A donut without a hole (the canvas gives it an inner radius of 0), in pie styles.
class LChartPieSeries final : public LChartDonutSeries {
    VX_OBJECT(LChartPieSeries, LChartDonutSeries)
public:
    explicit LChartPieSeries(Passkey key)
        : LChartDonutSeries(key)
    {
    }
    static Ref<LChartPieSeries> init(std::shared_ptr<LChartErrorHandler> errorHandler = nullptr);
    CGPoint getPieCenter() const { return getDonutCenter(); }
};
