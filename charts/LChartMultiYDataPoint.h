#pragma once

#include "charts/LChartMultiValueDataPoint.h"

// A point with several keyed y values (open, high, low, close and the like), kept in an inner
// multi-value point. Without an explicit y value it plots at the mean of its keyed values,
// computed once on first read.
class LChartMultiYDataPoint final : public LChartDataPoint {
    VX_OBJECT(LChartMultiYDataPoint, LChartDataPoint)
public:
    explicit LChartMultiYDataPoint(Passkey key)
        : LChartDataPoint(key)
    {
    }
    static Ref<LChartMultiYDataPoint> init();

    // The inner point's dictionary itself: storing into it fills the point.
    Value yValues() const { return m_inner->values(); }
    void setYValues(const Value& values) { m_inner->setValuesTransformUsingAxis(values, nullptr); }

    Value sChartYValue() override;
    bool respondsToSChartYValueForKey() const override { return true; }
    Value sChartYValueForKey(const std::string& key) override { return m_inner->sChartValueForKey(key); }

protected:
    void initialiseFromInternal(
        const LChartInternalDataPoint& internal, const LChartAxis* xAxis, const LChartAxis* yAxis) override;

private:
    Ref<LChartMultiValueDataPoint> m_inner { LChartMultiValueDataPoint::init() };
};

// The mirror image on x; a missing key answers nil without a log line.
class LChartMultiXDataPoint final : public LChartDataPoint {
    VX_OBJECT(LChartMultiXDataPoint, LChartDataPoint)
public:
    explicit LChartMultiXDataPoint(Passkey key)
        : LChartDataPoint(key)
    {
    }
    static Ref<LChartMultiXDataPoint> init();

    Value xValues() const { return m_inner->values(); }
    void setXValues(const Value& values) { m_inner->setValuesTransformUsingAxis(values, nullptr); }

    Value sChartXValue() override;
    bool respondsToSChartXValueForKey() const override { return true; }
    Value sChartXValueForKey(const std::string& key) override;

protected:
    void initialiseFromInternal(
        const LChartInternalDataPoint& internal, const LChartAxis* xAxis, const LChartAxis* yAxis) override;

private:
    Ref<LChartMultiValueDataPoint> m_inner { LChartMultiValueDataPoint::init() };
};

// A pie or donut slice: `name` is the x value, `value` the y value.
class LChartRadialDataPoint final : public LChartDataPoint {
    VX_OBJECT(LChartRadialDataPoint, LChartDataPoint)
public:
    explicit LChartRadialDataPoint(Passkey key)
        : LChartDataPoint(key)
    {
    }
    static Ref<LChartRadialDataPoint> init();
    // Values, selection and index copied without any axis transform.
    static Ref<LChartRadialDataPoint> initWithInternal(const LChartInternalDataPoint& internal);

    const Value& name() const { return m_xValue; }
    void setName(const Value& name) { setXValue(name); }
    const Value& value() const { return m_yValue; }
    void setValue(const Value& value) { setYValue(value); }

    // "{ x=<x>, y=<y>, self.selected=<Y|N> }".
    std::string description() const override;
};
