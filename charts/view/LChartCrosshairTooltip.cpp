#include "charts/view/LChartCrosshairTooltip.h"

#include "charts/LChartCrosshairStyle.h"
#include "charts/LatticeChartLog.h"
#include "charts/gl/LChartGLView.h"
#include "charts/view/LChartCanvas.h"
#include "charts/view/LatticeChart.h"
#include "foundation/NSString.h"
#include "uikit/UILabel.h"

VX_REGISTER_CLASS(LChartCrosshairTooltip);

Ref<LChartCrosshairTooltip> LChartCrosshairTooltip::init()
{
    auto tooltip = makeView<LChartCrosshairTooltip>(CGRectZero);
    tooltip->initTooltip();
    return tooltip;
}

void LChartCrosshairTooltip::initTooltip()
{
    setAutoresizesSubviews(false);
    if (!m_label) {
        m_label = UILabel::initWithFrame(CGRectZero);
        m_label->setTextAlignment(NSTextAlignmentCenter);
        addSubview(m_label);
    }
    m_inset = 7.0f;
}

void LChartCrosshairTooltip::setInset(float inset)
{
    if (inset < 0) {
        LatticeChartLog::logMessageFromSource(
            NSString::stringWithFormat(
                "Attempt to set `inset` to %f invalid. `inset` of %f will be used instead.", inset, m_inset),
            this);
        return;
    }
    m_inset = inset;
}

float LChartCrosshairTooltip::styleNumber(const Value& value, float fallback)
{
    return value.isNilOrNull() ? fallback : value.floatValue();
}

void LChartCrosshairTooltip::setResolvedDataPointFromSeriesFromChart(
    LChartPoint values, LChartSeries* series, LatticeChart* chart)
{
    if (chart)
        m_label->setText(chart->stringForXAndYUsingSeries(values.x, values.y, series));
}

void LChartCrosshairTooltip::setDataPointFromSeriesFromChart(const Ref<LChartDataPoint>&, LChartSeries*, LatticeChart*)
{
}

void LChartCrosshairTooltip::floatingAt(CGPoint) { }

void LChartCrosshairTooltip::layoutContents()
{
    if (m_style) {
        m_label->setFont(m_style->defaultFont());
        m_label->setTextColor(m_style->defaultTextColor());
        m_label->setBackgroundColor(m_style->defaultLabelBackgroundColor());
    }
    m_label->sizeToFit();
    CGSize text = m_label->frame().size;
    m_label->setFrame(CGRectMake(m_inset, m_inset, text.width + 2 * m_inset, text.height));
    if (m_style)
        setBackgroundColor(m_style->defaultBackgroundColor());
    CGSize label = m_label->frame().size;
    setFrame(CGRectMake(label.width / 2, label.height, label.width + 2 * m_inset, label.height + 2 * m_inset));
}

void LChartCrosshairTooltip::setPositionOnCanvas(LChartPoint position, LChartCanvas* canvas)
{
    layoutContents();
    if (m_style) {
        layer()->setCornerRadius(styleNumber(m_style->defaultCornerRadius(), 0));
        layer()->setBorderWidth(styleNumber(m_style->defaultBorderWidth(), 0));
        const auto& border = m_style->defaultBorderColor();
        layer()->setBorderColor(border ? border->CGColor() : nullptr);
    }
    CGRect frame = this->frame();
    frame.origin = CGPointMake(
        static_cast<CGFloat>(position.x) - frame.origin.x, static_cast<CGFloat>(position.y) - frame.origin.y);
    if (canvas && canvas->glView()) {
        CGRect gl = canvas->glView()->UIView::frame();
        CGRect bounds = canvas->glView()->bounds();
        if (frame.origin.x + frame.size.width > gl.origin.x + bounds.size.width)
            frame.origin.x = gl.origin.x + bounds.size.width - frame.size.width;
        else if (frame.origin.x < gl.origin.x)
            frame.origin.x = gl.origin.x;
        if (frame.origin.y + frame.size.height > gl.origin.y + bounds.size.height)
            frame.origin.y = gl.origin.y + bounds.size.height - frame.size.height;
        else if (frame.origin.y < 0)
            frame.origin.y = 0;
    }
    setFrame(frame);
}
