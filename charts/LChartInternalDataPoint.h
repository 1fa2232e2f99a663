#pragma once

#include "charts/LChartDataPoint.h"

class UIImage;

// The chart's own copy of a data point, with values in the axes' internal units (in a radial
// chart, the user's values unchanged) and the coordinates prepared for drawing. The five
// dictionaries are made on first read, so reading one never gives nil.
class LChartInternalDataPoint final : public LChartDataPoint {
    VX_OBJECT(LChartInternalDataPoint, LChartDataPoint)
public:
    explicit LChartInternalDataPoint(Passkey key)
        : LChartDataPoint(key)
    {
    }
    static Ref<LChartInternalDataPoint> init();

    // Setting the value already held does nothing. Nil (after a value is held) is fatal. A date
    // is stored as its seconds since 1970.
    void setXValue(const Value& value) override;
    void setYValue(const Value& value) override;

    const Value& xValues() const { return lazy(m_xValues); }
    void setXValues(const Value& values) { m_xValues = values; }
    const Value& yValues() const { return lazy(m_yValues); }
    void setYValues(const Value& values) { m_yValues = values; }
    const Value& values() const { return lazy(m_values); }
    void setValues(const Value& values) { m_values = values; }
    const Value& xCoords() const { return lazy(m_xCoords); }
    void setXCoords(const Value& coords) { m_xCoords = coords; }
    const Value& yCoords() const { return lazy(m_yCoords); }
    void setYCoords(const Value& coords) { m_yCoords = coords; }

    const Ref<UIImage>& texture() const { return m_texture; }
    void setTexture(const Ref<UIImage>& texture) { m_texture = texture; }
    float radius() const { return m_radius; }
    void setRadius(float radius) { m_radius = radius; }
    float innerRadius() const { return m_innerRadius; }
    void setInnerRadius(float radius) { m_innerRadius = radius; }
    double xCoord() const { return m_xCoord; }
    void setXCoord(double coord) { m_xCoord = coord; }
    double yCoord() const { return m_yCoord; }
    void setYCoord(double coord) { m_yCoord = coord; }

    // −1, 0 or 1 by the values' own comparison.
    int compareXAsNumber(const LChartInternalDataPoint& other) const;
    int compareYAsNumber(const LChartInternalDataPoint& other) const;

    // "{ x=<x>, y=<y>, selected=<Y|N> }".
    std::string description() const override;

    // The public point that fits the keyed values: multi-X, multi-Y, bubble or plain.
    static Ref<LChartDataPoint> getExternalDatapointFromInternalWithXAxisAndYAxis(
        const LChartInternalDataPoint& internal, const LChartAxis* xAxis, const LChartAxis* yAxis);

private:
    static const Value& lazy(Value& dictionary);
    void storeValue(Value& member, const Value& value, const char* which);

    mutable Value m_xValues;
    mutable Value m_yValues;
    mutable Value m_values;
    mutable Value m_xCoords;
    mutable Value m_yCoords;
    Ref<UIImage> m_texture;
    float m_radius { 0 };
    float m_innerRadius { 0 };
    double m_xCoord { 0 };
    double m_yCoord { 0 };
};
