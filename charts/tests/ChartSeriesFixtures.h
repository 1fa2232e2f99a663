#pragma once

#include "charts/LChartHitTestHost.h"
#include "charts/LChartNumberAxis.h"
#include "charts/LChartNumberRange.h"
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

// A chart as a series sees it when it measures a touch: one axis pair with visible ranges, a
// plot area and the crosshair's interpolation switch.
class FakeHitTestChart final : public LChartHitTestHost {
public:
    FakeHitTestChart(double xMin, double xMax, double yMin, double yMax)
        : x(LChartNumberAxis::init())
        , y(LChartNumberAxis::init())
    {
        y->setAxisOrientation(1);
        x->setAxisRangeInternal(LChartNumberRange::initWithMinimumAndMaximum(Value(xMin), Value(xMax)));
        y->setAxisRangeInternal(LChartNumberRange::initWithMinimumAndMaximum(Value(yMin), Value(yMax)));
    }
    std::pair<LChartAxis*, LChartAxis*> axesForSeries(const LChartSeries*) const override
    {
        return { x.get(), y.get() };
    }
    CGRect glFrameForHitTesting() const override { return glFrame; }
    bool crosshairInterpolatesPoints() const override { return interpolates; }

    Ref<LChartNumberAxis> x;
    Ref<LChartNumberAxis> y;
    CGRect glFrame { { 0, 0 }, { 100, 100 } };
    bool interpolates { true };
};
