#pragma once

#include "charts/view/LChartAnnotation.h"

// An annotation that may span values: with a maximum on an axis it stretches from its value to
// the maximum, and with `stretchToBoundsOnX`/`Y` it spans the whole plot area along that axis.
// It reaches its span through a scale transform, never by changing its bounds, so pan and zoom
// move and stretch it without laying out its contents. Main thread only.
class LChartAnnotationZooming final : public LChartAnnotation {
    VX_OBJECT(LChartAnnotationZooming, LChartAnnotation)
public:
    explicit LChartAnnotationZooming(Passkey key)
        : LChartAnnotation(key)
    {
    }
    static Ref<LChartAnnotationZooming> init() { return initWithFrame(CGRectZero); }
    static Ref<LChartAnnotationZooming> initWithFrame(CGRect frame) { return makeView<LChartAnnotationZooming>(frame); }

    // A line of the width at the x value, over the plot area's height.
    static Ref<LChartAnnotationZooming> verticalLineAtPositionWithXAxisAndYAxisWithWidthWithColor(const Value& xValue,
        const Ref<LChartAxis>& xAxis, const Ref<LChartAxis>& yAxis, float width, const Ref<UIColor>& color);
    // A line of the width at the y value, over the plot area's width.
    static Ref<LChartAnnotationZooming> horizontalLineAtPositionWithXAxisAndYAxisWithWidthWithColor(const Value& yValue,
        const Ref<LChartAxis>& xAxis, const Ref<LChartAxis>& yAxis, float width, const Ref<UIColor>& color);
    // A band between two x values, over the plot area's height.
    static Ref<LChartAnnotationZooming> verticalBandAtPositionAndMaxXWithXAxisAndYAxisWithColor(const Value& xValue,
        const Value& xMax, const Ref<LChartAxis>& xAxis, const Ref<LChartAxis>& yAxis, const Ref<UIColor>& color);
    // A band between two y values, over the plot area's width.
    static Ref<LChartAnnotationZooming> horizontalBandAtPositionAndMaxYWithXAxisAndYAxisWithColor(const Value& yValue,
        const Value& yMax, const Ref<LChartAxis>& xAxis, const Ref<LChartAxis>& yAxis, const Ref<UIColor>& color);

    bool stretchToBoundsOnX() const { return m_stretchToBoundsOnX; }
    void setStretchToBoundsOnX(bool stretch) { m_stretchToBoundsOnX = stretch; }
    bool stretchToBoundsOnY() const { return m_stretchToBoundsOnY; }
    void setStretchToBoundsOnY(bool stretch) { m_stretchToBoundsOnY = stretch; }
    const Value& xValueMax() const { return m_xValueMax; }
    void setXValueMax(const Value& value) { m_xValueMax = value; }
    const Value& yValueMax() const { return m_yValueMax; }
    void setYValueMax(const Value& value) { m_yValueMax = value; }

    // Centres the annotation on its span and scales it to the span's length; an annotation
    // without a size is left where it is.
    void updateViewWithCanvas(LChartCanvas& canvas) override;

private:
    static Ref<LChartAnnotationZooming> makeSpan(
        CGRect frame, const Ref<LChartAxis>& xAxis, const Ref<LChartAxis>& yAxis, const Ref<UIColor>& color);

    bool m_stretchToBoundsOnX { false };
    bool m_stretchToBoundsOnY { false };
    Value m_xValueMax;
    Value m_yValueMax;
};
