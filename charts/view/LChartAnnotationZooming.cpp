#include "charts/view/LChartAnnotationZooming.h"

#include "charts/LChartAxis.h"
#include "charts/gl/LChartGLView.h"
#include "charts/view/LChartCanvas.h"
#include "graphics/CGAffineTransform.h"
#include "graphics/UIColor.h"

#include <cmath>

VX_REGISTER_CLASS(LChartAnnotationZooming);

namespace {

struct Span {
    double centre;
    double length;
};

// Where the annotation lies along one axis: the whole plot-area length when stretched, else
// between its value and its maximum, else at whichever it has with its own length.
Span spanAlong(bool stretch, std::optional<double> low, std::optional<double> high, double plotLength, double own)
{
    if (stretch)
        return { plotLength / 2, plotLength };
    if (low && high)
        return { (*low + *high) / 2, std::fabs(*high - *low) };
    if (low)
        return { *low, own };
    if (high)
        return { *high, own };
    return { plotLength / 2, own };
}

} // namespace

Ref<LChartAnnotationZooming> LChartAnnotationZooming::makeSpan(
    CGRect frame, const Ref<LChartAxis>& xAxis, const Ref<LChartAxis>& yAxis, const Ref<UIColor>& color)
{
    auto annotation = initWithFrame(frame);
    annotation->setBackgroundColor(color);
    annotation->setXAxis(xAxis);
    annotation->setYAxis(yAxis);
    return annotation;
}

Ref<LChartAnnotationZooming> LChartAnnotationZooming::verticalLineAtPositionWithXAxisAndYAxisWithWidthWithColor(
    const Value& xValue, const Ref<LChartAxis>& xAxis, const Ref<LChartAxis>& yAxis, float width,
    const Ref<UIColor>& color)
{
    auto line = makeSpan(CGRectMake(0, 0, width, 1), xAxis, yAxis, color);
    line->setXValue(xValue);
    line->setStretchToBoundsOnY(true);
    return line;
}

Ref<LChartAnnotationZooming> LChartAnnotationZooming::horizontalLineAtPositionWithXAxisAndYAxisWithWidthWithColor(
    const Value& yValue, const Ref<LChartAxis>& xAxis, const Ref<LChartAxis>& yAxis, float width,
    const Ref<UIColor>& color)
{
    auto line = makeSpan(CGRectMake(0, 0, 1, width), xAxis, yAxis, color);
    line->setYValue(yValue);
    line->setStretchToBoundsOnX(true);
    return line;
}

Ref<LChartAnnotationZooming> LChartAnnotationZooming::verticalBandAtPositionAndMaxXWithXAxisAndYAxisWithColor(
    const Value& xValue, const Value& xMax, const Ref<LChartAxis>& xAxis, const Ref<LChartAxis>& yAxis,
    const Ref<UIColor>& color)
{
    auto band = makeSpan(CGRectMake(0, 0, 1, 1), xAxis, yAxis, color);
    band->setXValue(xValue);
    band->setXValueMax(xMax);
    band->setStretchToBoundsOnY(true);
    return band;
}

Ref<LChartAnnotationZooming> LChartAnnotationZooming::horizontalBandAtPositionAndMaxYWithXAxisAndYAxisWithColor(
    const Value& yValue, const Value& yMax, const Ref<LChartAxis>& xAxis, const Ref<LChartAxis>& yAxis,
    const Ref<UIColor>& color)
{
    auto band = makeSpan(CGRectMake(0, 0, 1, 1), xAxis, yAxis, color);
    band->setYValue(yValue);
    band->setYValueMax(yMax);
    band->setStretchToBoundsOnX(true);
    return band;
}

void LChartAnnotationZooming::updateViewWithCanvas(LChartCanvas& canvas)
{
    CGSize own = bounds().size;
    if (!(own.width > 0) || !(own.height > 0))
        return;
    CGRect gl = canvas.glView()->frame();
    Span x = spanAlong(m_stretchToBoundsOnX, plotPosition(xAxis(), xValue(), canvas),
        plotPosition(xAxis(), m_xValueMax, canvas), gl.size.width, own.width);
    Span y = spanAlong(m_stretchToBoundsOnY, plotPosition(yAxis(), yValue(), canvas),
        plotPosition(yAxis(), m_yValueMax, canvas), gl.size.height, own.height);
    setCenter(CGPointMake(x.centre, y.centre));
    setTransform(CGAffineTransformMakeScale(x.length / own.width, y.length / own.height));
}
