#pragma once

#include "charts/LChartData.h"
#include "foundation/NSObject.h"

class LChartAxis;
class LChartInternalDataPoint;

// A data point with one x and one y value, as data sources give them and as the chart hands
// points back out (selection, crosshair). Main thread, or the loading queue while loading.
class LChartDataPoint : public NSObject, public LChartData {
    VX_OBJECT(LChartDataPoint, NSObject)
public:
    explicit LChartDataPoint(Passkey key)
        : NSObject(key)
    {
    }
    static Ref<LChartDataPoint> init();
    // x and y through the axes' transformValueToExternal; selection and index copied.
    static Ref<LChartDataPoint> initWithInternalWithXAxisAndYAxis(
        const LChartInternalDataPoint& internal, const LChartAxis* xAxis, const LChartAxis* yAxis);

    const Value& xValue() const { return m_xValue; }
    const Value& yValue() const { return m_yValue; }
    virtual void setXValue(const Value& value) { m_xValue = value; }
    virtual void setYValue(const Value& value) { m_yValue = value; }
    bool selected() const { return m_selected; }
    void setSelected(bool selected) { m_selected = selected; }
    int32_t sChartDataPointIndex() const { return m_index; }
    void setSChartDataPointIndex(int32_t index) { m_index = index; }
    int32_t index() const { return m_index; }

    Value sChartXValue() override { return m_xValue; }
    Value sChartYValue() override { return m_yValue; }
    std::optional<bool> sChartPointIsSelected() const override { return m_selected; }

    // "{ index=<i>, x=<x>, y=<y>, selected=<Y|N> }".
    std::string description() const override;

protected:
    // Fills this point from an internal one; subclasses extend it after calling it.
    virtual void initialiseFromInternal(
        const LChartInternalDataPoint& internal, const LChartAxis* xAxis, const LChartAxis* yAxis);
    friend class LChartInternalDataPoint;

    Value m_xValue;
    Value m_yValue;

private:
    bool m_selected { false };
    int32_t m_index { 0 };
};
