// Zoom, pan and momentum of LChartAxis.

#include "charts/LChartAxis.h"

#include "charts/LChartRange.h"
#include "charts/LatticeChartLog.h"
#include "foundation/NSRunLoop.h"

#include <algorithm>
#include <cmath>

namespace {

constexpr double kZoomStopDistance = 0.0010000000474974513;
constexpr double kZoomFrame = 0.033330000936985016;
constexpr double kPanStep = 0.004999999888241291;

double clampTo(double value, double low, double high)
{
    if (value > high)
        return high;
    if (value < low)
        return low;
    return value; // NaN passes unchanged
}

} // namespace

bool LChartAxis::setZoomFromPositionWithAnimationAndBounceLimits(
    double zoom, const double* position, bool animate, bool bounceLimits)
{
    if (!(zoom > 0) || !std::isfinite(zoom)) {
        LatticeChartLog::logMessageFromSource("Zoom must be greater than 0 and a real number", this);
        return false;
    }
    double min = m_axisRangeInternal ? m_axisRangeInternal->min() : 0;
    double span = m_axisRangeInternal ? m_axisRangeInternal->max() - min : 0;
    double c = position ? *position : min + span * 0.5;
    double f = (c - min) / span;
    double defaultSpan = m_defaultRangeInternal ? m_defaultRangeInternal->max() - m_defaultRangeInternal->min() : 0;
    double s = defaultSpan / zoom;
    return setRangeInternalWithMinimumAndMaximumWithAnimationUsingBounceLimits(
        Value(c - f * s), Value(c + s * (1 - f)), animate, bounceLimits);
}

bool LChartAxis::setZoomLevel(int32_t level)
{
    bool animate = m_chart ? m_chart->animateZoomGesture() : true;
    switch (level) {
    case 0:
        return resetZoomLevel();
    case 1:
        return setZoomWithAnimation(m_zoom * 2, animate);
    case 2:
        return setZoomWithAnimation(m_zoom * 0.5, animate);
    default:
        if (m_chart)
            m_chart->setNeedsLayoutIfHaveAxesAndData();
        return false;
    }
}

bool LChartAxis::resetZoomLevelWithAnimation(bool animate)
{
    cancelGestures();
    m_zoom = m_initialZoom;
    if (!m_defaultRangeInternal)
        return false;
    return setRangeInternalWithMinimumAndMaximumWithAnimationUsingBounceLimits(
        m_defaultRangeInternal->minimum(), m_defaultRangeInternal->maximum(), animate, true);
}

bool LChartAxis::resetZoomLevel()
{
    bool result = resetZoomLevelWithAnimation(m_chart ? m_chart->animateZoomGesture() : true);
    if (m_chart)
        m_chart->setNeedsLayoutIfHaveAxesAndData();
    return result;
}

void LChartAxis::zoomToPointWithRangeWithAnimationUsingBounceLimits(
    double centre, double span, bool animate, bool bounceLimits)
{
    setRangeInternalWithMinimumAndMaximumWithAnimationUsingBounceLimits(
        Value(centre - span / 2), Value(centre + span / 2), animate, bounceLimits);
}

bool LChartAxis::panByValueWithAnimationWithBounceLimitsAndRedraw(
    double distance, bool animate, bool bounceLimits, bool redraw)
{
    if (distance == 0 || !m_axisRangeInternal)
        return false;
    bool changed = setRangeInternalWithMinimumAndMaximumWithAnimationUsingBounceLimits(
        Value(m_axisRangeInternal->min() + distance), Value(m_axisRangeInternal->max() + distance), animate,
        bounceLimits);
    if (changed && redraw && m_chart)
        m_chart->redrawChartIncludePlotArea(false);
    return changed;
}

bool LChartAxis::panToWithAnimation(int32_t target, bool animate)
{
    if (!m_axisRangeInternal)
        return false;
    const Ref<LChartRange>& data = dataRangeInternal();
    double distance = data->min() - m_axisRangeInternal->min();
    double slack = (data->max() - data->min()) - (m_axisRangeInternal->max() - m_axisRangeInternal->min());
    if (target == 1)
        distance += slack;
    else if (target == 2)
        distance += slack / 2;
    return panByValueWithAnimationWithBounceLimitsAndRedraw(distance, animate, false, false);
}

bool LChartAxis::zoomWithMomentumFromPosition(double factor, double position)
{
    if (!m_enableMomentumZooming || beyondAxisLimitsOnBothSides())
        return false;
    cancelGestures();
    m_isMomentumZooming = true;
    m_zoomMomentumCentre = position;
    m_zoomMomentumCurrent = factor;
    m_lastMomentumZoomFrame = now();
    return zoomWithMomentum();
}

bool LChartAxis::zoomWithMomentum()
{
    double t = now();
    double dt = t - m_lastMomentumZoomFrame;
    m_lastMomentumZoomFrame = t;
    double k = m_zoomMomentumCurrent;
    bool changed = false;
    if (std::fabs(k - 1) > kZoomStopDistance) {
        m_zoomMomentumCurrent = (k - 1) * std::pow(m_zoomMomentumFactor, dt / kZoomFrame) + 1;
        if (k * m_zoom != 1) {
            double centre = m_zoomMomentumCentre;
            changed = setZoomFromPosition(k * m_zoom, &centre);
        }
    }
    if (!m_isMomentumZooming)
        return changed;
    if (m_chart)
        m_chart->redrawChartIncludePlotArea(false);
    if (changed) {
        if (m_chart)
            m_chart->axisIsZooming(*this);
        performSelectorAfterDelay(
            shared_from_this(), "zoomWithMomentum",
            [weak = weak_from_this()] {
                if (auto self = std::static_pointer_cast<LChartAxis>(weak.lock()))
                    self->zoomWithMomentum();
            },
            m_zoomMomentumDelay);
    } else {
        m_isMomentumZooming = false;
        if (m_chart)
            m_chart->axisFinishedMomentumZooming(*this);
    }
    return changed;
}

bool LChartAxis::panWithMomentumStartingAt(double velocity)
{
    if (!m_enableMomentumPanning)
        return false;
    cancelGestures();
    m_isMomentumPanning = true;
    m_panMomentumCurrent = velocity * 1.25;
    m_panMomentumLimit = std::fabs(velocity * 0.012);
    m_numMomentumPanFrames = 0;
    m_momentumPanFrameAccum = 0;
    m_lastMomentumPanFrame = now() - 0.02;
    return panWithMomentum();
}

bool LChartAxis::panWithMomentum()
{
    double t = now();
    double dt = t - m_lastMomentumPanFrame;
    m_lastMomentumPanFrame = t;
    double w = 1.0 / (m_numMomentumPanFrames + 1);
    m_momentumPanFrameAccum = dt * w + (1 - w) * m_momentumPanFrameAccum;
    m_numMomentumPanFrames = std::min(m_numMomentumPanFrames + 1, 3);

    double remaining = std::min(m_momentumPanFrameAccum, 1.0);
    double distance = 0;
    if (remaining >= 0) {
        double previousDistance = 0;
        double previousVelocity = m_panMomentumCurrent;
        while (m_isMomentumPanning) {
            previousDistance = distance;
            previousVelocity = m_panMomentumCurrent;
            if (std::fabs(m_panMomentumCurrent) > m_panMomentumLimit) {
                distance += m_panMomentumCurrent * kPanStep;
                m_panMomentumCurrent *= m_panMomentumFactor;
            }
            remaining -= kPanStep;
            if (!(remaining >= 0))
                break;
        }
        double q = remaining / kPanStep + 1;
        distance = q * distance + (1 - q) * previousDistance;
        m_panMomentumCurrent = q * m_panMomentumCurrent + (1 - q) * previousVelocity;
    }
    if (distance == 0) {
        m_isMomentumPanning = false;
        if (m_chart)
            m_chart->axisFinishedMomentumPanning(*this);
        m_lastMomentumPanFrame = 0;
    } else {
        panByValue(distance);
        if (m_chart) {
            m_chart->setNeedsLayoutIfHaveAxesAndData();
            m_chart->axisIsPanning(*this);
        }
    }
    if (m_isMomentumPanning) {
        performSelectorAfterDelay(
            shared_from_this(), "panWithMomentum",
            [weak = weak_from_this()] {
                if (auto self = std::static_pointer_cast<LChartAxis>(weak.lock()))
                    self->panWithMomentum();
            },
            m_panMomentumDelay);
    }
    return m_isMomentumPanning;
}

void LChartAxis::stopMomentumZooming()
{
    m_isMomentumZooming = false;
    cancelPreviousPerformRequestsWithTargetSelector(shared_from_this(), "zoomWithMomentum");
}

void LChartAxis::stopMomentumPanning()
{
    m_isMomentumPanning = false;
    cancelPreviousPerformRequestsWithTargetSelector(shared_from_this(), "panWithMomentum");
}

void LChartAxis::cancelGestures()
{
    cancelPreviousPerformRequestsWithTarget(this);
    if (m_isMomentumZooming) {
        m_isMomentumZooming = false;
        if (m_chart)
            m_chart->axisFinishedMomentumZooming(*this);
    }
    if (m_isMomentumPanning) {
        m_isMomentumPanning = false;
        if (m_chart)
            m_chart->axisFinishedMomentumPanning(*this);
    }
    if (m_animatingRange && !(m_allowPanningOutOfMaxRange && m_allowPanningOutOfDefaultRange) && beyondAxisLimits())
        animateRangeChange();
}

float LChartAxis::momentumModifierForVelocityWithInitialVelocity(float velocity, float initialVelocity)
{
    float t = std::tan(static_cast<float>(M_PI / 4) * (2.0f - velocity / initialVelocity));
    return 1.0f / (t * t);
}

void LChartAxis::setEnableGesturePanning(bool enable)
{
    m_enableGesturePanning = enable;
    if (m_chart)
        m_chart->axisPanningChanged();
}

void LChartAxis::setZoomMomentumFactor(double factor)
{
    m_zoomMomentumFactor = clampTo(factor, 0.01, 0.9);
}

void LChartAxis::setPanMomentumFactor(double factor)
{
    m_panMomentumFactor = clampTo(factor, 0.01, 0.9);
}

void LChartAxis::setZoomMomentumDelay(double delay)
{
    m_zoomMomentumDelay = clampTo(delay, 0.0001, 0.1);
}

void LChartAxis::setPanMomentumDelay(double delay)
{
    m_panMomentumDelay = clampTo(delay, 0.0001, 0.1);
}
