#pragma once

#include "foundation/Value.h"
#include "uikit/UIView.h"

#include <string>

class LChartAxis;
class LChartCanvas;
class UIColor;
class UIFont;
class UILabel;

// A view pinned to data values of a chart: a text label at a point, or (as an
// LChartAnnotationZooming) a line at a value or a band between two values. The chart places it
// above the series (`position` 0, in the GL view) or below them (any other value, in the
// canvas' annotation underlay), and after every frame the canvas has it follow the axes. An
// annotation keeps its own size and is centred on its x and y values in the plot area; an axis
// or value it lacks centres it on the plot area along that axis. The axes are held weakly: an
// axis that has gone counts as none. Main thread only.
class LChartAnnotation : public UIView {
    VX_OBJECT(LChartAnnotation, UIView)
public:
    explicit LChartAnnotation(Passkey key)
        : UIView(key)
    {
    }
    static Ref<LChartAnnotation> init() { return initWithFrame(CGRectZero); }
    static Ref<LChartAnnotation> initWithFrame(CGRect frame) { return makeView<LChartAnnotation>(frame); }

    // A label of the text in the font and colours, sized to fit, centred on (x value, y value).
    static Ref<LChartAnnotation>
    annotationWithTextAndFontWithXAxisAndYAxisAtXPositionAndYPositionWithTextColorWithBackgroundColor(
        const std::string& text, const Ref<UIFont>& font, const Ref<LChartAxis>& xAxis, const Ref<LChartAxis>& yAxis,
        const Value& xValue, const Value& yValue, const Ref<UIColor>& textColor, const Ref<UIColor>& backgroundColor);

    LChartAxis* xAxis() const { return m_xAxis.lock().get(); }
    // Refuses (with a log line) an axis of the other orientation.
    void setXAxis(const Ref<LChartAxis>& axis);
    LChartAxis* yAxis() const { return m_yAxis.lock().get(); }
    void setYAxis(const Ref<LChartAxis>& axis);
    const Value& xValue() const { return m_xValue; }
    void setXValue(const Value& value) { m_xValue = value; }
    const Value& yValue() const { return m_yValue; }
    void setYValue(const Value& value) { m_yValue = value; }
    int32_t position() const { return m_position; }
    void setPosition(int32_t position) { m_position = position; }
    const Ref<UILabel>& label() const { return m_label; }
    void setLabel(const Ref<UILabel>& label) { m_label = label; }

    // Grows the bounds (never shrinks them) to hold every view added.
    void didAddSubview(const Ref<UIView>& view) override;

    // Moves the annotation to follow the canvas' axes.
    virtual void updateViewWithCanvas(LChartCanvas& canvas);

protected:
    // A value's position along an axis in the plot area's own coordinates; null without an axis
    // or value, 0 for a position that is not a number.
    static std::optional<double> plotPosition(const LChartAxis* axis, const Value& value, LChartCanvas& canvas);

private:
    Weak<LChartAxis> m_xAxis;
    Weak<LChartAxis> m_yAxis;
    Value m_xValue;
    Value m_yValue;
    int32_t m_position { 0 };
    Ref<UILabel> m_label;
};
