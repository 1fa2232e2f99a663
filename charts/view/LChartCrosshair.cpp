#include "charts/view/LChartCrosshair.h"

#include "charts/LChartAxis.h"
#include "charts/LChartCrosshairStyle.h"
#include "charts/LChartLineSeries.h"
#include "charts/LatticeChartLog.h"
#include "charts/gl/LChartGLView.h"
#include "charts/view/LChartCanvas.h"
#include "charts/view/LChartCrosshairTooltip.h"
#include "charts/view/LatticeChart.h"
#include "graphics/CGContext.h"
#include "graphics/UIColor.h"
#include "graphics/UIGraphics.h"

#include <algorithm>

VX_REGISTER_CLASS(LChartCrosshair);

namespace {

// Half the side of the square the circle is drawn in; the lines start at its edge.
constexpr CGFloat kCircleRadius = 2.5;

} // namespace

Ref<LChartCrosshair> LChartCrosshair::initWithChart(LatticeChart* chart)
{
    auto crosshair = makeView<LChartCrosshair>(chart ? chart->frame() : CGRectZero);
    if (chart)
        crosshair->m_chart = chart->self<LatticeChart>();
    crosshair->m_enableCrosshairLines = true;
    crosshair->m_outOfRangeBehavior = 1;
    crosshair->m_interpolatePoints = true;
    crosshair->setBackgroundColor(UIColor::clearColor());
    crosshair->setHidden(true);
    crosshair->setTooltip(LChartCrosshairTooltip::init());
    crosshair->m_animationOptions = UIViewAnimationOptionCurveEaseOut;
    crosshair->m_animationDuration = 0.2f;
    crosshair->m_animationDelay = 0;
    return crosshair;
}

Ref<LChartCrosshair> LChartCrosshair::initWithFrameUsingChart(CGRect, LatticeChart* chart)
{
    auto crosshair = initWithChart(chart);
    LatticeChartLog::logMessageFromSource("Deprecated method initWithFrame:usingChart: called", crosshair.get());
    return crosshair;
}

Ref<LChartCrosshair> LChartCrosshair::init()
{
    LatticeChartLog::fatalLogMessageFromSource("init called - use -initWithChart: instead", nullptr);
}

void LChartCrosshair::setEnableCrosshairLines(bool enable)
{
    m_enableCrosshairLines = enable;
    m_enableCrosshairLinesSet = true;
}

void LChartCrosshair::setTooltip(const Ref<LChartCrosshairTooltip>& tooltip)
{
    if (m_tooltip && m_tooltip != tooltip)
        m_tooltip->removeFromSuperview();
    m_tooltip = tooltip;
    if (m_tooltip)
        addSubview(m_tooltip);
}

void LChartCrosshair::showCrosshair()
{
    setHidden(false);
}

bool LChartCrosshair::removeCrosshair()
{
    setHidden(true);
    m_trackingSeries = nullptr;
    return false;
}

void LChartCrosshair::moveToPositionAndDisplayDataPointFromSeriesAndSeriesDataPoint(
    LChartPoint position, LChartPoint values, const Ref<LChartSeries>& series, const Ref<LChartDataPoint>& point)
{
    if (m_outOfRangeBehavior != 0 && !m_inRange)
        return;
    auto chart = this->chart();
    m_trackingSeries = series;
    m_trackingPoint = values;
    if (m_tooltip) {
        m_tooltip->setTooltipStyle(m_style);
        m_tooltip->setResolvedDataPointFromSeriesFromChart(values, series.get(), chart.get());
        m_tooltip->setDataPointFromSeriesFromChart(point, series.get(), chart.get());
    }
    positionWithBlock([this, position, series, chart] {
        m_crosshairCentre = CGPointMake(static_cast<CGFloat>(position.x), static_cast<CGFloat>(position.y));
        if (m_tooltip)
            m_tooltip->setPositionOnCanvas(position, chart ? chart->canvas().get() : nullptr);
        if (!m_enableCrosshairLinesSet)
            m_enableCrosshairLines = dynamic_cast<LChartLineSeries*>(series.get()) != nullptr;
        setNeedsDisplay();
    });
}

void LChartCrosshair::moveToFloatingPixelPosition(CGPoint position)
{
    m_crosshairCentre = position;
    auto chart = this->chart();
    positionWithBlock([this, position, chart] {
        m_crosshairCentre = position;
        if (m_tooltip) {
            m_tooltip->setPositionOnCanvas({ position.x, position.y }, chart ? chart->canvas().get() : nullptr);
            m_tooltip->setTooltipStyle(m_style);
            m_tooltip->floatingAt(position);
        }
        setNeedsDisplay();
    });
}

void LChartCrosshair::moveToFloatingPositionOnXAxisOnYAxis(LChartPoint values, LChartAxis* xAxis, LChartAxis* yAxis)
{
    if (!xAxis || !yAxis)
        return;
    moveToFloatingPixelPosition(
        CGPointMake(static_cast<CGFloat>(xAxis->mapPixelValueForDataValueUsingSeries(values.x, nullptr)),
            static_cast<CGFloat>(yAxis->mapPixelValueForDataValueUsingSeries(values.y, nullptr))));
}

void LChartCrosshair::positionWithBlock(const std::function<void()>& block)
{
    // The block may drop the last outside reference to the crosshair (through the chart).
    auto protectedThis = self<LChartCrosshair>();
    showCrosshair();
    if (m_animationEnabled) {
        UIView::animateWithDurationDelayOptions(m_animationDuration, m_animationDelay,
            m_animationOptions | UIViewAnimationOptionBeginFromCurrentState, block, nullptr);
    } else {
        block();
    }
}

void LChartCrosshair::crosshairMovedOutOfRange()
{
    m_inRange = false;
    if (m_outOfRangeBehavior == 2)
        removeCrosshair();
    else if (m_outOfRangeBehavior == 1)
        setHidden(true);
}

bool LChartCrosshair::crosshairShouldKeepTracking() const
{
    return m_trackingSeries || (m_mode == Floating && !isHidden());
}

bool LChartCrosshair::shouldDrawCrosshairLinesForPointInFrame(CGPoint point, CGRect frame)
{
    return CGRectContainsPoint(frame, point);
}

void LChartCrosshair::drawRect(CGRect)
{
    if (!isHidden())
        drawCrosshairLines();
}

LChartSeries* LChartCrosshair::chartTrackingSeries(const LatticeChart& chart) const
{
    if (!m_trackingSeries)
        return nullptr;
    const auto& all = chart.series();
    return std::find(all.begin(), all.end(), m_trackingSeries) == all.end() ? nullptr : m_trackingSeries.get();
}

void LChartCrosshair::drawCrosshairLines()
{
    auto chart = this->chart();
    if (!chart || !chart->canvas() || !chart->canvas()->glView())
        return;
    const auto& glView = chart->canvas()->glView();
    const CGRect frame = glView->UIView::frame();
    const CGRect bounds = glView->bounds();
    const CGPoint c = m_crosshairCentre;
    if (!shouldDrawCrosshairLinesForPointInFrame(c, frame))
        return;
    auto context = UIGraphicsGetCurrentContext();
    if (!context)
        return;

    const auto& lineColor = m_style ? m_style->lineColor() : nullptr;
    CGContextSetStrokeColorWithColor(context, (lineColor ? lineColor : UIColor::blueColor())->CGColor());
    if (m_style && !m_style->lineWidth().isNilOrNull())
        CGContextSetLineWidth(context, m_style->lineWidth().floatValue());

    // Where the lines end: at the tracked series' axes (or where they cross the plot), else at
    // the plot area's bottom and left edges.
    CGFloat verticalEnd = frame.origin.y + bounds.size.height;
    CGFloat horizontalEnd = frame.origin.x;
    if (LChartSeries* series = chartTrackingSeries(*chart)) {
        auto [xAxis, yAxis] = chart->axesForSeries(series);
        const auto* axisSeries = dynamic_cast<const LChartAxisSeries*>(series);
        if (xAxis && yAxis) {
            Value xCrossing = xAxis->axisPositionValueInternal();
            if (!xCrossing.isNilOrNull()) {
                double pixel = yAxis->mapPixelValueForDataValueUsingSeries(xCrossing.doubleValue(), axisSeries);
                verticalEnd = frame.origin.y
                    + std::clamp(static_cast<CGFloat>(pixel) - frame.origin.y, CGFloat(0), bounds.size.height);
            } else if (xAxis->axisPosition() == 1) {
                verticalEnd = frame.origin.y + xAxis->secondaryAxisOffset();
            } else {
                verticalEnd = frame.origin.y + bounds.size.height + xAxis->secondaryAxisOffset();
            }
            Value yCrossing = yAxis->axisPositionValueInternal();
            if (!yCrossing.isNilOrNull()) {
                double pixel = xAxis->mapPixelValueForDataValueUsingSeries(yCrossing.doubleValue(), axisSeries);
                horizontalEnd = frame.origin.x
                    + std::clamp(static_cast<CGFloat>(pixel) - frame.origin.x, CGFloat(0), bounds.size.width);
            } else if (yAxis->axisPosition() == 1) {
                horizontalEnd = frame.origin.x + bounds.size.width - yAxis->secondaryAxisOffset();
            } else {
                horizontalEnd = frame.origin.x - yAxis->secondaryAxisOffset();
            }
        }
    }

    if (m_enableCrosshairLines) {
        CGContextBeginPath(context);
        CGContextMoveToPoint(context, c.x, c.y + kCircleRadius);
        CGContextAddLineToPoint(context, c.x, verticalEnd);
        CGContextMoveToPoint(context, c.x - kCircleRadius, c.y);
        CGContextAddLineToPoint(context, horizontalEnd, c.y);
        CGContextStrokePath(context);
    }
    CGContextStrokeEllipseInRect(
        context, CGRectMake(c.x - kCircleRadius, c.y - kCircleRadius, 2 * kCircleRadius, 2 * kCircleRadius));
}
