#include "charts/view/LChartAnnotation.h"

#include "charts/LChartAxis.h"
#include "charts/LatticeChartLog.h"
#include "charts/gl/LChartGLView.h"
#include "charts/view/LChartCanvas.h"
#include "foundation/NSString.h"
#include "graphics/UIColor.h"
#include "graphics/UIFont.h"
#include "uikit/UILabel.h"

#include <cmath>

VX_REGISTER_CLASS(LChartAnnotation);

Ref<LChartAnnotation>
LChartAnnotation::annotationWithTextAndFontWithXAxisAndYAxisAtXPositionAndYPositionWithTextColorWithBackgroundColor(
    const std::string& text, const Ref<UIFont>& font, const Ref<LChartAxis>& xAxis, const Ref<LChartAxis>& yAxis,
    const Value& xValue, const Value& yValue, const Ref<UIColor>& textColor, const Ref<UIColor>& backgroundColor)
{
    auto annotation = init();
    annotation->setXAxis(xAxis);
    annotation->setYAxis(yAxis);
    annotation->setXValue(xValue);
    annotation->setYValue(yValue);
    auto label = UILabel::initWithFrame(CGRectMake(0, 0, 1, 1));
    label->setText(text);
    label->setFont(font);
    label->sizeToFit();
    label->setTextColor(textColor);
    label->setBackgroundColor(backgroundColor);
    annotation->setLabel(label);
    annotation->addSubview(label);
    return annotation;
}

void LChartAnnotation::setXAxis(const Ref<LChartAxis>& axis)
{
    if (axis && !axis->isXAxis()) {
        LatticeChartLog::logMessage(NSString::stringWithFormat(
            "%s at %p: yAxis passed to xAxis property", className().c_str(), static_cast<const void*>(this)));
        return;
    }
    m_xAxis = axis;
}

void LChartAnnotation::setYAxis(const Ref<LChartAxis>& axis)
{
    if (axis && axis->isXAxis()) {
        LatticeChartLog::logMessage(NSString::stringWithFormat(
            "%s at %p: xAxis passed to yAxis property", className().c_str(), static_cast<const void*>(this)));
        return;
    }
    m_yAxis = axis;
}

void LChartAnnotation::didAddSubview(const Ref<UIView>& view)
{
    UIView::didAddSubview(view);
    CGRect b = bounds();
    CGRect f = view->frame();
    bool grow = false;
    if (f.origin.x + f.size.width > b.size.width) {
        b.size.width = f.origin.x + f.size.width;
        grow = true;
    }
    if (f.origin.y + f.size.height > b.size.height) {
        b.size.height = f.origin.y + f.size.height;
        grow = true;
    }
    if (grow)
        setBounds(b);
}

std::optional<double> LChartAnnotation::plotPosition(const LChartAxis* axis, const Value& value, LChartCanvas& canvas)
{
    if (!axis || value.isNilOrNull())
        return std::nullopt;
    double internal = axis->transformValueToInternal(value).doubleValue();
    double pixel = axis->mapPixelValueForDataValueUsingSeries(internal, nullptr);
    CGRect gl = canvas.glView()->frame();
    double result = pixel - (axis->isXAxis() ? gl.origin.x : gl.origin.y);
    return std::isnan(result) ? 0 : result;
}

void LChartAnnotation::updateViewWithCanvas(LChartCanvas& canvas)
{
    CGRect gl = canvas.glView()->frame();
    double cx = plotPosition(xAxis(), m_xValue, canvas).value_or(gl.size.width / 2);
    double cy = plotPosition(yAxis(), m_yValue, canvas).value_or(gl.size.height / 2);
    setCenter(CGPointMake(cx, cy));
}
