#pragma once

#include "charts/LChartDataPoint.h"

// A point with extra values by key (bubble area and the like).
class LChartMultiValueDataPoint : public LChartDataPoint {
    VX_OBJECT(LChartMultiValueDataPoint, LChartDataPoint)
public:
    explicit LChartMultiValueDataPoint(Passkey key)
        : LChartDataPoint(key)
    {
    }
    static Ref<LChartMultiValueDataPoint> init();
    // A nil dictionary leaves `values` nil.
    static Ref<LChartMultiValueDataPoint> initWithValuesTransformUsingAxis(const Value& values, const LChartAxis* axis);

    // The mutable dictionary itself (nil only after initWithValues with nil).
    const Value& values() const { return m_values; }
    // Nil leaves the point unchanged; otherwise a new dictionary with every entry copied, each
    // value passed through the axis' transformValueToExternal when an axis is given.
    void setValuesTransformUsingAxis(const Value& values, const LChartAxis* axis);

    bool respondsToSChartValueForKey() const override { return true; }
    // Logs "Value for key: <key> is nil" when there is no entry.
    Value sChartValueForKey(const std::string& key) override;

protected:
    void initialiseFromInternal(
        const LChartInternalDataPoint& internal, const LChartAxis* xAxis, const LChartAxis* yAxis) override;

    Value m_values { Value::mutableDictionary() };
};

// A point with an "Area" value.
class LChartBubbleDataPoint final : public LChartMultiValueDataPoint {
    VX_OBJECT(LChartBubbleDataPoint, LChartMultiValueDataPoint)
public:
    explicit LChartBubbleDataPoint(Passkey key)
        : LChartMultiValueDataPoint(key)
    {
    }
    static Ref<LChartBubbleDataPoint> init();

    double area() const;
    void setArea(double area);

protected:
    void initialiseFromInternal(
        const LChartInternalDataPoint& internal, const LChartAxis* xAxis, const LChartAxis* yAxis) override;
};
