#pragma once

#include "charts/ChartsForward.h"
#include "foundation/NSObject.h"
#include "foundation/Value.h"

#include <vector>

// Turns an internal point into the value along which a series orders and bins its points
// (x, or y for series of orientation 1) and the other value. Series adopt it.
class LChartInternalDataPointValueConverter {
public:
    virtual ~LChartInternalDataPointValueConverter() = default;
    virtual Value changedValueOfDataPoint(const LChartInternalDataPoint& point) const = 0;
    virtual Value measuredValueOfDataPoint(const LChartInternalDataPoint& point) const = 0;
};

// A run of at most `maxBinSize` consecutive points of a series, re-mapped and redrawn as one
// unit. Its start value is its key in the series. The converter (the owning series) is not
// owned. Main thread, or the loading queue while loading.
class LChartSeriesDataBin : public NSObject {
    VX_OBJECT(LChartSeriesDataBin, NSObject)
public:
    LChartSeriesDataBin(Passkey key, Value startValue, const LChartInternalDataPointValueConverter* converter)
        : NSObject(key)
        , m_startValue(std::move(startValue))
        , m_valueConverter(converter)
    {
    }
    static Ref<LChartSeriesDataBin> initWithStartValueDataPointValueConverter(
        const Value& startValue, const LChartInternalDataPointValueConverter* converter);

    // Appends the point; the end value becomes its changed value.
    void addDataPoint(const Ref<LChartInternalDataPoint>& point);
    // Removes the point and the low point at its position; the end value becomes the new last
    // point's changed value, or nil when the bin is empty. A point not in the bin is ignored.
    void removeDataPoint(const Ref<LChartInternalDataPoint>& point);
    // Empties both point lists; start, end and `invalid` stay.
    void clear();
    void addLowDataPoint(const Ref<LChartInternalDataPoint>& point) { m_lowDataPoints.push_back(point); }
    void removeLowDataPointAtIndex(size_t index);

    bool invalid() const { return m_invalid; }
    void setInvalid(bool invalid) { m_invalid = invalid; }
    const Value& startValue() const { return m_startValue; }
    void setStartValue(const Value& value) { m_startValue = value; }
    const Value& endValue() const { return m_endValue; }
    void setEndValue(const Value& value) { m_endValue = value; }
    // Where the bin's geometry sits in the drawing buffers; nil until its first draw.
    const Value& renderDataIndexDict() const { return m_renderDataIndexDict; }
    void setRenderDataIndexDict(const Value& dict) { m_renderDataIndexDict = dict; }
    int32_t maxBinSize() const { return m_maxBinSize; }
    void setMaxBinSize(int32_t size) { m_maxBinSize = size; }
    const std::vector<Ref<LChartInternalDataPoint>>& dataPoints() const { return m_dataPoints; }
    void setDataPoints(std::vector<Ref<LChartInternalDataPoint>> points) { m_dataPoints = std::move(points); }
    const std::vector<Ref<LChartInternalDataPoint>>& lowDataPoints() const { return m_lowDataPoints; }
    void setLowDataPoints(std::vector<Ref<LChartInternalDataPoint>> points) { m_lowDataPoints = std::move(points); }
    const LChartInternalDataPointValueConverter* valueConverter() const { return m_valueConverter; }
    void setValueConverter(const LChartInternalDataPointValueConverter* converter) { m_valueConverter = converter; }

private:
    Value changedValue(const LChartInternalDataPoint& point) const;

    bool m_invalid { true };
    Value m_startValue;
    Value m_endValue;
    Value m_renderDataIndexDict;
    int32_t m_maxBinSize { 64 };
    std::vector<Ref<LChartInternalDataPoint>> m_dataPoints;
    std::vector<Ref<LChartInternalDataPoint>> m_lowDataPoints;
    const LChartInternalDataPointValueConverter* m_valueConverter { nullptr };
};

// The bins of a line series.
class LChartLineSeriesDataBin final : public LChartSeriesDataBin {
    VX_OBJECT(LChartLineSeriesDataBin, LChartSeriesDataBin)
public:
    using LChartSeriesDataBin::LChartSeriesDataBin;
    static Ref<LChartLineSeriesDataBin> initWithStartValueDataPointValueConverter(
        const Value& startValue, const LChartInternalDataPointValueConverter* converter)
    {
        return make<LChartLineSeriesDataBin>(startValue, converter);
    }
};
