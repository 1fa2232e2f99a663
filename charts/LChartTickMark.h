#pragma once

#include "foundation/NSObject.h"
#include "graphics/CGGeometry.h"

class LChartTickStyle;
class UILabel;
class UIView;

// One tick of an axis: its value, kind and position, and the label and views that show it.
// The axis creates, places and removes tick marks; destroying one takes its label and views
// out of their superviews. Main thread only.
class LChartTickMark final : public NSObject {
    VX_OBJECT(LChartTickMark, NSObject)
public:
    explicit LChartTickMark(Passkey key)
        : NSObject(key)
    {
    }
    ~LChartTickMark() override;
    static Ref<LChartTickMark> init();
    // With a label of that frame and text (user interaction off).
    static Ref<LChartTickMark> initWithLabelAndText(CGRect frame, const std::string& text);

    // Out of use: the label leaves its superview but stays the tick's label.
    void disableTick(const NSObject* caller);
    void removeLabel();
    void removeTickMarkView();
    void removeGridLineView();
    void removeGridStripeView();
    // 1 for a major tick, 0.5 for a minor one.
    float tickLengthModifier() const { return m_isMajor ? 1.0f : 0.5f; }
    // Ascending tickMarkX; descending tickMarkY (bottom of the screen first).
    int compareForXAxis(const LChartTickMark& other) const;
    int compareForYAxis(const LChartTickMark& other) const;
    // Label colour (white without one), shadow colour and font from the style.
    void styleTickLabel(const LChartTickStyle& style);
    std::string description() const override;

    bool tickEnabled() const { return m_tickEnabled; }
    void setTickEnabled(bool enabled) { m_tickEnabled = enabled; }
    bool isMajor() const { return m_isMajor; }
    void setIsMajor(bool major) { m_isMajor = major; }
    bool overAlternateStripe() const { return m_overAlternateStripe; }
    void setOverAlternateStripe(bool over) { m_overAlternateStripe = over; }
    float tickMarkX() const { return m_tickMarkX; }
    void setTickMarkX(float x) { m_tickMarkX = x; }
    float tickMarkY() const { return m_tickMarkY; }
    void setTickMarkY(float y) { m_tickMarkY = y; }
    const Ref<UILabel>& tickLabel() const { return m_tickLabel; }
    void setTickLabel(const Ref<UILabel>& label) { m_tickLabel = label; }
    const Ref<UIView>& tickMarkView() const { return m_tickMarkView; }
    void setTickMarkView(const Ref<UIView>& view) { m_tickMarkView = view; }
    const Ref<UIView>& gridLineView() const { return m_gridLineView; }
    void setGridLineView(const Ref<UIView>& view) { m_gridLineView = view; }
    const Ref<UIView>& gridStripeView() const { return m_gridStripeView; }
    void setGridStripeView(const Ref<UIView>& view) { m_gridStripeView = view; }
    double value() const { return m_value; }
    void setValue(double value) { m_value = value; }

private:
    bool m_tickEnabled { true };
    bool m_isMajor { false };
    bool m_overAlternateStripe { false };
    float m_tickMarkX { 0 };
    float m_tickMarkY { 0 };
    Ref<UILabel> m_tickLabel;
    Ref<UIView> m_tickMarkView;
    Ref<UIView> m_gridLineView;
    Ref<UIView> m_gridStripeView;
    double m_value { 0 };
};
