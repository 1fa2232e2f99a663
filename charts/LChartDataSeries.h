#pragma once

#include "charts/ChartsForward.h"
#include "foundation/NSObject.h"
#include "foundation/Value.h"

#include <memory>
#include <vector>

// A series' internal points with the keys of their values, their data ranges (internal units)
// and the indices of their extreme points. Main thread, or the loading queue while loading.
class LChartDataSeries final : public NSObject {
    VX_OBJECT(LChartDataSeries, NSObject)
public:
    explicit LChartDataSeries(Passkey key)
        : NSObject(key)
    {
    }
    // With a new logger as error handler.
    static Ref<LChartDataSeries> init();
    static Ref<LChartDataSeries> initWithErrorHandler(std::shared_ptr<LChartErrorHandler> handler);

    std::vector<Ref<LChartInternalDataPoint>>& dataPoints() { return m_dataPoints; }
    const std::vector<Ref<LChartInternalDataPoint>>& dataPoints() const { return m_dataPoints; }
    void setDataPoints(std::vector<Ref<LChartInternalDataPoint>> points) { m_dataPoints = std::move(points); }

    const std::vector<std::string>& xValueKeys() const { return m_xValueKeys; }
    void setXValueKeys(std::vector<std::string> keys) { m_xValueKeys = std::move(keys); }
    const std::vector<std::string>& yValueKeys() const { return m_yValueKeys; }
    void setYValueKeys(std::vector<std::string> keys) { m_yValueKeys = std::move(keys); }
    const std::vector<std::string>& valueKeys() const { return m_valueKeys; }
    void setValueKeys(std::vector<std::string> keys) { m_valueKeys = std::move(keys); }

    int32_t indexOfDatapointWithMaxX() const { return m_indexOfMaxX; }
    void setIndexOfDatapointWithMaxX(int32_t i) { m_indexOfMaxX = i; }
    int32_t indexOfDatapointWithMinX() const { return m_indexOfMinX; }
    void setIndexOfDatapointWithMinX(int32_t i) { m_indexOfMinX = i; }
    int32_t indexOfDatapointWithMaxY() const { return m_indexOfMaxY; }
    void setIndexOfDatapointWithMaxY(int32_t i) { m_indexOfMaxY = i; }
    int32_t indexOfDatapointWithMinY() const { return m_indexOfMinY; }
    void setIndexOfDatapointWithMinY(int32_t i) { m_indexOfMinY = i; }

    const Ref<LChartRange>& rangeX() const { return m_rangeX; }
    void setRangeX(Ref<LChartRange> range) { m_rangeX = std::move(range); }
    const Ref<LChartRange>& rangeY() const { return m_rangeY; }
    void setRangeY(Ref<LChartRange> range) { m_rangeY = std::move(range); }

    const std::shared_ptr<LChartErrorHandler>& errorHandler() const { return m_errorHandler; }
    void setErrorHandler(std::shared_ptr<LChartErrorHandler> handler) { m_errorHandler = std::move(handler); }

    // Per point in order: every keyed x value when it has any, else its single x value.
    std::vector<Value> allXValues() const;
    std::vector<Value> allYValues() const;

private:
    std::vector<Ref<LChartInternalDataPoint>> m_dataPoints;
    std::vector<std::string> m_xValueKeys;
    std::vector<std::string> m_yValueKeys;
    int32_t m_indexOfMaxX { 0 };
    int32_t m_indexOfMinX { 0 };
    int32_t m_indexOfMaxY { 0 };
    int32_t m_indexOfMinY { 0 };
    std::vector<std::string> m_valueKeys;
    Ref<LChartRange> m_rangeX;
    Ref<LChartRange> m_rangeY;
    std::shared_ptr<LChartErrorHandler> m_errorHandler;
};
