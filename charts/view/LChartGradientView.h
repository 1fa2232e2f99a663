#pragma once

#include "uikit/UIView.h"

class UIColor;

// Paints the chart's background as a vertical linear gradient from the top colour to the bottom
// colour. Nothing is drawn unless both colours are set. Main thread only.
class LChartGradientView final : public UIView {
    VX_OBJECT(LChartGradientView, UIView)
public:
    explicit LChartGradientView(Passkey key)
        : UIView(key)
    {
    }
    static Ref<LChartGradientView> initWithFrame(CGRect frame) { return makeView<LChartGradientView>(frame); }

    const Ref<UIColor>& topColor() const { return m_topColor; }
    void setTopColor(const Ref<UIColor>& color) { m_topColor = color; }
    const Ref<UIColor>& bottomColor() const { return m_bottomColor; }
    void setBottomColor(const Ref<UIColor>& color) { m_bottomColor = color; }
    // The pair drawn last.
    const Ref<UIColor>& previousTopColor() const { return m_previousTopColor; }
    const Ref<UIColor>& previousBottomColor() const { return m_previousBottomColor; }

    // Draws the gradient at every display: the layer keeps no content between displays, so the
    // pair is painted again even when it is the pair drawn last.
    void drawRect(CGRect rect) override;
    // Red, green, blue and alpha of a colour: a colour of four components as it is, any other as
    // grey (its first component) and alpha (its second).
    static void getColorComponentsFromCGColor(CGFloat components[4], const CGColorRef& color);

private:
    Ref<UIColor> m_previousTopColor;
    Ref<UIColor> m_previousBottomColor;
    Ref<UIColor> m_topColor;
    Ref<UIColor> m_bottomColor;
};
