#pragma once

#include "foundation/Value.h"
#include "uikit/UIView.h"

// Strokes one dashed line through its middle along its longer side, as wide as its shorter
// side; the axis uses it for dashed gridlines. Main thread only.
class LChartDashedLineView final : public UIView {
    VX_OBJECT(LChartDashedLineView, UIView)
public:
    explicit LChartDashedLineView(Passkey key)
        : UIView(key)
    {
    }
    static Ref<LChartDashedLineView> initWithFrame(CGRect frame) { return makeView<LChartDashedLineView>(frame); }

    const Ref<UIColor>& color() const { return m_color; }
    void setColor(const Ref<UIColor>& color) { m_color = color; }
    // Lengths painted and unpainted in turn; nil or empty draws a solid line.
    const Value& dashes() const { return m_dashes; }
    void setDashes(const Value& dashes) { m_dashes = dashes; }

    void drawRect(CGRect rect) override;

private:
    Ref<UIColor> m_color;
    Value m_dashes;
};
