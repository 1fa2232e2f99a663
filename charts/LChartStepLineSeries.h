#pragma once

#include "charts/LChartLineSeries.h"

// A line series drawn as steps: along the changed axis first, then along the measured axis.
class LChartStepLineSeries final : public LChartLineSeries {
    VX_OBJECT(LChartStepLineSeries, LChartLineSeries)
public:
    explicit LChartStepLineSeries(Passkey key)
        : LChartLineSeries(key)
    {
    }
    static Ref<LChartStepLineSeries> init(std::shared_ptr<LChartErrorHandler> errorHandler = nullptr);
};
