#include "charts/view/LChartCanvasOverlay.h"

#include "charts/LChartAngler.h"
#include "charts/LChartDonutSeries.h"
#include "charts/LChartInternalDataPoint.h"
#include "charts/view/LChartCanvas.h"
#include "charts/view/LChartDelegate.h"
#include "charts/view/LatticeChart.h"
#include "uikit/UIPanGestureRecognizer.h"
#include "uikit/UITapGestureRecognizer.h"

#include <algorithm>
#include <cmath>

namespace {

// A fling spins no faster than this many points per second along the ring.
constexpr double kMaximumSpinSpeed = 3000;

// Disabling and re-enabling a recogniser cancels its gesture.
void cancelGesture(UIGestureRecognizer& recogniser)
{
    recogniser.setEnabled(false);
    recogniser.setEnabled(true);
}

} // namespace

void LChartCanvasOverlay::handleRadialTapGesture(UITapGestureRecognizer& recogniser)
{
    CGPoint point = recogniser.locationInView(std::static_pointer_cast<UIView>(shared_from_this()));
    LChartDonutSeries* series = seriesFromRadialPoint(point);
    if (!series)
        return;
    Ref<LChartInternalDataPoint> slice;
    int32_t index = -1;
    radialPointToSliceSliceIndex(point, slice, index);
    if (slice)
        series->setSliceAsSelectedWithTapLocation(index, !slice->selected(), point);
    if (m_canvas)
        m_canvas->setNeedsLayout();
}

void LChartCanvasOverlay::handleRadialRotationGesture(UIPanGestureRecognizer& recogniser)
{
    if (!m_chart)
        return;
    auto protectedThis = shared_from_this();
    auto self = std::static_pointer_cast<UIView>(protectedThis);
    CGPoint point = recogniser.locationInView(self);
    LChartDelegate* delegate = m_chart->chartDelegate();
    if (recogniser.state() == UIGestureRecognizerStateBegan) {
        LChartDonutSeries* hit = seriesFromRadialPoint(point);
        m_rotationTrackingSeries
            = hit ? std::static_pointer_cast<LChartDonutSeries>(hit->shared_from_this()) : Ref<LChartDonutSeries>();
        if (!hit || !hit->gesturePanningEnabled()) {
            cancelGesture(recogniser);
            return;
        }
        LChartAnimation* active = hit->activeAnimation();
        if (active != hit->entryAnimation().get() && active != hit->exitAnimation().get())
            hit->endAnimation();
        m_rotationInitialPoint = point;
        m_rotationOriginalAngle = hit->rotation();
        m_rotationChanges = 0;
        hit->setVelocity(0);
        if (delegate)
            delegate->sChartRadialSeriesDidStartPanning(*m_chart, *hit);
    }
    Ref<LChartDonutSeries> series = m_rotationTrackingSeries.lock();
    if (!series)
        return;
    if (!series->gesturePanningEnabled()) {
        cancelGesture(recogniser);
        return;
    }
    CGPoint centre = donutCentre();
    float turn = LChartAngler::angleBetweenPointAndPoint(centre, m_rotationInitialPoint)
        - LChartAngler::angleBetweenPointAndPoint(centre, point);
    if (recogniser.state() != UIGestureRecognizerStateEnded) {
        float wrapped = LChartAngler::wrapHalfPI(turn);
        if (wrapped != 0) {
            m_rotationSpinDirection = wrapped > 0 ? 1 : 0;
            ++m_rotationChanges;
        }
    }
    if (delegate)
        delegate->sChartRadialSeriesIsPanning(*m_chart, *series);
    series->setRotation(turn + m_rotationOriginalAngle);
    if (recogniser.state() == UIGestureRecognizerStateEnded && m_rotationChanges > 1) {
        CGPoint velocity = recogniser.velocityInView(self);
        double speed = std::min((std::abs(velocity.x) + std::abs(velocity.y)) * 0.5, kMaximumSpinSpeed);
        CGRect b = bounds();
        double radius = (b.size.width + b.size.height) * 0.5;
        if (delegate)
            delegate->sChartRadialSeriesWillBeginDecelerating(*m_chart, *series);
        double spin = speed / radius * 2 * M_PI;
        series->setVelocity(static_cast<float>(m_rotationSpinDirection == 0 ? -spin : spin));
    }
    m_chart->redrawChartIncludePlotArea(false);
}
