#pragma once

#include "charts/LChartSeries.h"

#include <memory>
#include <string>
#include <vector>

// The smallest concrete series: a band-like one with two value keys.
class PlainSeries final : public LChartSeries {
    VX_OBJECT(PlainSeries, LChartSeries)
public:
    explicit PlainSeries(Passkey key)
        : LChartSeries(key)
    {
    }
    static Ref<PlainSeries> init(std::shared_ptr<LChartErrorHandler> handler = nullptr)
    {
        auto series = make<PlainSeries>();
        series->initSeries(std::move(handler));
        return series;
    }
    std::vector<std::string> orderedKeysForDataValues() const override { return { "High", "Low" }; }
};
