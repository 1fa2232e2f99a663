#pragma once

#include "charts/LChartSeries.h"

#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

// Keeps plain errors; fatal ones throw.
class RecordingErrorHandler final : public LChartErrorHandler {
public:
    void handleErrorWithMessageFromSource(const std::string& message, const NSObject*) override
    {
        errors.push_back(message);
    }
    [[noreturn]] void handleFatalErrorWithMessageFromSource(const std::string& message, const NSObject*) override
    {
        throw std::runtime_error(message);
    }
    std::vector<std::string> errors;
};

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
