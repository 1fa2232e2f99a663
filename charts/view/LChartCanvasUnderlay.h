#pragma once

#include "charts/view/LChartLayer.h"
#include "uikit/UIView.h"

#include <vector>

class LatticeChart;
class UIColor;

// The canvas layer below the series: the axes place their gridline and stripe views in it and
// draw their lines and stripes through it. It clips to its bounds and can carry a border. Holds
// its chart unretained. Main thread only.
class LChartCanvasUnderlay final : public UIView, public LChartLayer {
    VX_OBJECT(LChartCanvasUnderlay, UIView)
public:
    explicit LChartCanvasUnderlay(Passkey key)
        : UIView(key)
    {
    }
    static Ref<LChartCanvasUnderlay> initWithFrameUsingChart(CGRect frame, LatticeChart* chart);

    LatticeChart* chart() const { return m_chart; }
    void detachChart() { m_chart = nullptr; }
    const Ref<UIColor>& borderColor() const { return m_borderColor; }
    // Also the border of the view's layer.
    void setBorderColor(const Ref<UIColor>& color);
    float borderThickness() const { return m_borderThickness; }
    void setBorderThickness(float thickness);
    CGRect drawerArea() const { return bounds(); }

    // Draws into the current graphics context: segments from point i to point i + 1 for
    // i = 0, 2, 4 ..., stroked once, dashed by `dashes` (none when empty).
    static void drawLinesForXCoordsAndYCoordsWithColorAndWidthAndDashStyle(const std::vector<float>& xs,
        const std::vector<float>& ys, const Ref<UIColor>& color, float width, const std::vector<float>& dashes);
    static void drawLinesForXCoordsAndYCoordsWithColorAndWidth(
        const std::vector<float>& xs, const std::vector<float>& ys, const Ref<UIColor>& color, float width)
    {
        drawLinesForXCoordsAndYCoordsWithColorAndWidthAndDashStyle(xs, ys, color, width, {});
    }
    // Fills each rectangle in turn in the current graphics context.
    static void drawRectsWithColor(const std::vector<CGRect>& rects, const Ref<UIColor>& color);

    // Fades out over half the rotation's duration, and back in.
    void viewStartRotateWithDuration(double duration) override;
    void viewEndRotateWithDuration(double duration) override;

private:
    LatticeChart* m_chart { nullptr };
    Ref<UIColor> m_borderColor;
    float m_borderThickness { 0 };
};
