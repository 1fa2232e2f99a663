// Annotations, the crosshair, radial series' callbacks and the gesture switches.

#include "charts/view/LatticeChart.h"

#include "charts/LChartAxisStyle.h"
#include "charts/LChartCartesianSeries.h"
#include "charts/LChartCategoryAxis.h"
#include "charts/LChartDataLoader.h"
#include "charts/LChartDataSeries.h"
#include "charts/LChartDateTimeAxis.h"
#include "charts/LChartDiscontinuousDateTimeAxis.h"
#include "charts/LChartDiscontinuousNumberAxis.h"
#include "charts/LChartDonutSeries.h"
#include "charts/LChartInternalDataPoint.h"
#include "charts/LChartLegendStyle.h"
#include "charts/LChartMultiYDataPoint.h"
#include "charts/LChartNumberAxis.h"
#include "charts/LChartRange.h"
#include "charts/LChartSeries.h"
#include "charts/LChartSeriesGroup.h"
#include "charts/LChartStyle.h"
#include "charts/LChartTheme.h"
#include "charts/LChartTitle.h"
#include "charts/LatticeChartLog.h"
#include "charts/LatticeCharts.h"
#include "charts/gl/LChartGLView.h"
#include "charts/view/LChartAnnotation.h"
#include "charts/view/LChartCanvas.h"
#include "charts/view/LChartCanvasOverlay.h"
#include "charts/view/LChartCrosshair.h"
#include "charts/view/LChartDelegate.h"
#include "charts/view/LChartGradientView.h"
#include "charts/view/LChartLegend.h"
#include "charts/view/LChartThreadWarnings.h"
#include "foundation/Dispatch.h"
#include "foundation/NSString.h"
#include "foundation/NSThread.h"
#include "graphics/UIColor.h"
#include "uikit/UIActivityIndicatorView.h"
#include "uikit/UILabel.h"

#include <algorithm>
#include <atomic>
#include <functional>
#include <map>
#include <set>

void LatticeChart::notifyAlterLabelForSlice(
    const Ref<UILabel>& label, const LChartInternalDataPoint& point, int32_t index, LChartDonutSeries& series)
{
    if (!m_chartDelegate || !label)
        return;
    auto slice = LChartRadialDataPoint::initWithInternal(point);
    m_chartDelegate->sChartAlterLabelForDatapointAtSliceIndexInRadialSeries(*this, *label, *slice, index, series);
}

void LatticeChart::notifyToggledSelectionForRadialPoint(LChartDonutSeries& series, int32_t index, CGPoint tap)
{
    const auto& points = series.dataSeries()->dataPoints();
    if (!m_chartDelegate || index < 0 || static_cast<size_t>(index) >= points.size())
        return;
    auto slice = LChartRadialDataPoint::initWithInternal(*points[index]);
    m_chartDelegate->sChartToggledSelectionForRadialPointInSeriesAtPixelCoordinate(*this, *slice, series, tap);
}

void LatticeChart::notifyRadialSeriesDidEndDecelerating(LChartDonutSeries& series)
{
    if (m_chartDelegate)
        m_chartDelegate->sChartRadialSeriesDidEndDecelerating(*this, series);
}

void LatticeChart::addAnnotation(const Ref<LChartAnnotation>& annotation)
{
    if (!annotation)
        return;
    m_annotations.push_back(annotation);
    addAnnotationToView(annotation);
}

void LatticeChart::addAnnotationToView(const Ref<LChartAnnotation>& annotation)
{
    if (!annotation || !m_canvas)
        return;
    const Ref<UIView>& layer = annotation->position() != 0 ? m_canvas->underlayForAnnotations()
                                                           : std::static_pointer_cast<UIView>(m_canvas->glView());
    layer->addSubview(annotation);
    annotation->updateViewWithCanvas(*m_canvas);
}

void LatticeChart::replaceAnnotationAtIndexWithAnnotation(int32_t index, const Ref<LChartAnnotation>& annotation)
{
    if (index < 0 || static_cast<size_t>(index) >= m_annotations.size()) {
        LatticeChartLog::logMessageFromSource("Invalid index in -replaceAnnotationAtIndex", this);
        return;
    }
    m_annotations[static_cast<size_t>(index)]->removeFromSuperview();
    m_annotations[static_cast<size_t>(index)] = annotation;
    addAnnotationToView(annotation);
}

void LatticeChart::removeAnnotation(const Ref<LChartAnnotation>& annotation)
{
    if (!annotation)
        return;
    annotation->removeFromSuperview();
    std::erase(m_annotations, annotation);
}

void LatticeChart::removeAllAnnotations()
{
    for (const auto& annotation : m_annotations)
        annotation->removeFromSuperview();
    m_annotations.clear();
}

CGRect LatticeChart::glFrameForHitTesting() const
{
    return m_canvas && m_canvas->glView() ? m_canvas->glView()->frame() : CGRectZero;
}

bool LatticeChart::crosshairInterpolatesPoints() const
{
    // Without a crosshair yet, the one it would get interpolates.
    return !m_crosshair || m_crosshair->interpolatePoints();
}

const Ref<LChartCrosshair>& LatticeChart::crosshair()
{
    if (!m_crosshair)
        setCrosshair(nullptr);
    return m_crosshair;
}

void LatticeChart::setCrosshair(const Ref<LChartCrosshair>& crosshair)
{
    if (crosshair && crosshair == m_crosshair)
        return;
    if (m_crosshair)
        m_crosshair->removeFromSuperview();
    m_crosshair = crosshair ? crosshair : LChartCrosshair::initWithChart(this);
    m_crosshair->setStyle(m_theme ? m_theme->crosshairStyle() : nullptr);
    if (m_canvas) {
        m_crosshair->setFrame(m_canvas->bounds());
        m_canvas->overlay()->addSubview(m_crosshair);
    }
}

void LatticeChart::crosshairChartDidReload()
{
    if (m_crosshair)
        m_crosshair->chartDidReload();
}

LChartCanvasOverlay* LatticeChart::canvasOverlayView() const
{
    return m_canvas ? m_canvas->gestureOverlay() : nullptr;
}

void LatticeChart::setGestureDoubleTapEnabled(bool enabled)
{
    m_gestureDoubleTapEnabled = enabled;
    if (LChartCanvasOverlay* overlay = canvasOverlayView())
        overlay->enableAppropriateGestureRecognisers();
}

void LatticeChart::setGestureDoubleTapResetsZoom(bool resets)
{
    m_gestureDoubleTapResetsZoom = resets;
    setGestureDoubleTapEnabled(true);
}

void LatticeChart::setRadialTapEnabled(bool enabled)
{
    m_radialTapEnabled = enabled;
    if (LChartCanvasOverlay* overlay = canvasOverlayView())
        overlay->enableAppropriateGestureRecognisers();
}

void LatticeChart::setRadialRotationEnabled(bool enabled)
{
    m_radialRotationEnabled = enabled;
    if (LChartCanvasOverlay* overlay = canvasOverlayView())
        overlay->enableAppropriateGestureRecognisers();
}

int32_t LatticeChart::gesturePanType() const
{
    LChartCanvasOverlay* overlay = canvasOverlayView();
    return overlay ? overlay->gesturePanType() : 0;
}

void LatticeChart::setGesturePanType(int32_t type)
{
    if (LChartCanvasOverlay* overlay = canvasOverlayView()) {
        overlay->setGesturePanType(type);
        overlay->enableAppropriateGestureRecognisers();
    }
}

bool LatticeChart::gesturePinchAspectLock() const
{
    LChartCanvasOverlay* overlay = canvasOverlayView();
    return overlay && overlay->gesturePinchAspectLock();
}

void LatticeChart::setGesturePinchAspectLock(bool lock)
{
    if (LChartCanvasOverlay* overlay = canvasOverlayView())
        overlay->setGesturePinchAspectLock(lock);
}
