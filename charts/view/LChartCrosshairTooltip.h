#pragma once

#include "charts/LChartPoint.h"
#include "uikit/UIView.h"

class LatticeChart;
class LChartCanvas;
class LChartCrosshairStyle;
class LChartDataPoint;
class LChartSeries;
class UILabel;

// The crosshair's tooltip: one centred line of text naming the values under the crosshair,
// inside a rounded box in the crosshair style's colours. It lays itself out around its text and
// places itself beside the crosshair, kept inside the plot area (its top only inside the
// canvas). Subclasses show more (`LChartCrosshairMultiValueTooltip`). Main thread only.
class LChartCrosshairTooltip : public UIView {
    VX_OBJECT(LChartCrosshairTooltip, UIView)
public:
    explicit LChartCrosshairTooltip(Passkey key)
        : UIView(key)
    {
    }
    static Ref<LChartCrosshairTooltip> init();

    const Ref<LChartCrosshairStyle>& style() const { return m_style; }
    void setTooltipStyle(const Ref<LChartCrosshairStyle>& style) { m_style = style; }
    const Ref<UILabel>& label() const { return m_label; }
    float inset() const { return m_inset; }
    // A negative inset is refused with a log line; the old one stays.
    void setInset(float inset);

    // The label reads the chart's text for the two displayed values on the series' axes.
    virtual void setResolvedDataPointFromSeriesFromChart(LChartPoint values, LChartSeries* series, LatticeChart* chart);
    // What richer tooltips show of the public point; nothing here.
    virtual void setDataPointFromSeriesFromChart(
        const Ref<LChartDataPoint>& point, LChartSeries* series, LatticeChart* chart);
    // Told where a floating crosshair is; nothing here.
    virtual void floatingAt(CGPoint point);
    // Sizes the label and the box in the style's font and colours. The frame's origin is left as
    // the offset from the crosshair to the box's top left corner, which `setPositionOnCanvas`
    // reads.
    virtual void layoutContents();
    // Lays out, styles the box's border and moves it to the crosshair position `position`, then
    // keeps it inside the canvas' plot area (its top only inside the canvas).
    void setPositionOnCanvas(LChartPoint position, LChartCanvas* canvas);

protected:
    // The defaults, after the view exists: the label and the inset.
    void initTooltip();
    // The style's value as a float, or `fallback` when it has none.
    static float styleNumber(const Value& value, float fallback);

private:
    Ref<LChartCrosshairStyle> m_style;
    Ref<UILabel> m_label;
    float m_inset { 7.0f };
};
