#include "charts/view/LChartCanvasOverlay.h"

#include "charts/LChartAngler.h"
#include "charts/LChartAxis.h"
#include "charts/LChartBoxGestureStyle.h"
#include "charts/LChartDataSeries.h"
#include "charts/LChartDonutSeries.h"
#include "charts/LChartDonutSeriesStyle.h"
#include "charts/LChartInternalDataPoint.h"
#include "charts/LChartRange.h"
#include "charts/LChartSeries.h"
#include "charts/LChartTheme.h"
#include "charts/gl/LChartGLView.h"
#include "charts/view/LChartBoxGestureRecogniser.h"
#include "charts/view/LChartCanvas.h"
#include "charts/view/LChartCrosshair.h"
#include "charts/view/LChartDelegate.h"
#include "charts/view/LChartPinchPanGestureRecogniser.h"
#include "charts/view/LatticeChart.h"
#include "foundation/NSRunLoop.h"
#include "graphics/CALayer.h"
#include "graphics/UIColor.h"
#include "uikit/UILongPressGestureRecognizer.h"
#include "uikit/UIPanGestureRecognizer.h"
#include "uikit/UITapGestureRecognizer.h"

#include <algorithm>
#include <cmath>
#include <tuple>

VX_REGISTER_CLASS(LChartCanvasOverlay);

namespace {

// Pushing an axis further past its limits moves it this many times less than the finger.
constexpr double kBeyondLimitsResistance = 3;
constexpr int32_t kZoomBoxLines = 4;

} // namespace

Ref<LChartCanvasOverlay> LChartCanvasOverlay::initWithFrameUsingChartAndCanvas(
    CGRect frame, LatticeChart* chart, LChartCanvas* canvas)
{
    auto overlay = makeView<LChartCanvasOverlay>(frame);
    overlay->m_chart = chart;
    overlay->m_canvas = canvas;
    overlay->createGestureRecognizers();
    return overlay;
}

LChartCanvasOverlay::~LChartCanvasOverlay()
{
    cancelPreviousPerformRequestsWithTarget(this);
    removeZoomBox();
}

void LChartCanvasOverlay::createGestureRecognizers()
{
    auto self = std::static_pointer_cast<LChartCanvasOverlay>(shared_from_this());
    Weak<LChartCanvasOverlay> weak = self;
    // Each action runs its handler on the overlay while it lives, with the recogniser as it is.
    auto action = [weak]<typename R>(void (LChartCanvasOverlay::*handler)(R&)) {
        return [weak, handler](const Ref<UIGestureRecognizer>& recogniser) {
            auto overlay = weak.lock();
            if (overlay)
                (overlay.get()->*handler)(static_cast<R&>(*recogniser));
        };
    };
    m_pinchAndPanGesture = LChartPinchPanGestureRecogniser::initWithTargetAction(
        self, "handlePinchAndPanGesture:", action(&LChartCanvasOverlay::handlePinchAndPanGesture));
    m_boxGesture = LChartBoxGestureRecogniser::initWithTargetAction(
        self, "handleBoxGesture:", action(&LChartCanvasOverlay::handleBoxGesture));
    m_longPressGesture = UILongPressGestureRecognizer::init();
    m_doubleTapGesture = UITapGestureRecognizer::init();
    m_doubleTapGesture->setNumberOfTapsRequired(2);
    m_doubleTapGesture->addTargetAction(
        self, "handleDoubleTapGesture:", action(&LChartCanvasOverlay::handleDoubleTapGesture));
    m_longPressGesture->addTargetAction(
        self, "handleLongPressGesture:", action(&LChartCanvasOverlay::handleLongPressGesture));
    m_singleTapGesture = UITapGestureRecognizer::init();
    m_singleTapGesture->setNumberOfTapsRequired(1);
    m_singleTapGesture->addTargetAction(
        self, "handleSingleTapGesture:", action(&LChartCanvasOverlay::handleSingleTapGesture));
    m_radialTapGesture = UITapGestureRecognizer::init();
    m_radialTapGesture->addTargetAction(
        self, "handleRadialTapGesture:", action(&LChartCanvasOverlay::handleRadialTapGesture));
    m_radialRotationGesture = UIPanGestureRecognizer::init();
    m_radialRotationGesture->addTargetAction(
        self, "handleRadialRotationGesture:", action(&LChartCanvasOverlay::handleRadialRotationGesture));
    m_boxGesture->requireGestureRecognizerToFail(m_doubleTapGesture);
    m_singleTapGesture->requireGestureRecognizerToFail(m_doubleTapGesture);
    m_radialRotationGesture->requireGestureRecognizerToFail(m_radialTapGesture);
    enableAppropriateGestureRecognisers();
    addGestureRecognizer(m_pinchAndPanGesture);
    addGestureRecognizer(m_boxGesture);
    addGestureRecognizer(m_longPressGesture);
    addGestureRecognizer(m_doubleTapGesture);
    addGestureRecognizer(m_singleTapGesture);
    addGestureRecognizer(m_radialTapGesture);
    addGestureRecognizer(m_radialRotationGesture);
}

std::vector<LChartAxis*> LChartCanvasOverlay::allAxes() const
{
    if (!m_chart)
        return {};
    std::vector<LChartAxis*> axes = m_chart->allXAxes();
    for (LChartAxis* axis : m_chart->allYAxes())
        axes.push_back(axis);
    return axes;
}

bool LChartCanvasOverlay::anyAxis(bool (LChartAxis::*test)() const) const
{
    std::vector<LChartAxis*> axes = allAxes();
    return std::any_of(axes.begin(), axes.end(), [test](LChartAxis* axis) { return (axis->*test)(); });
}

void LChartCanvasOverlay::setGesturePanType(int32_t type)
{
    m_gesturePanType = type;
    switch (type) {
    case 2:
        m_boxGesture->setEnabled(true);
        m_pinchAndPanGesture->setEnabled(false);
        if (!m_zoomBoxView)
            addZoomBox();
        break;
    case 1:
        m_boxGesture->setEnabled(false);
        m_pinchAndPanGesture->setEnabled(true);
        removeZoomBox();
        break;
    case 0:
        m_boxGesture->setEnabled(false);
        m_pinchAndPanGesture->setEnabled(false);
        removeZoomBox();
        break;
    default:
        break;
    }
}

Ref<UIGestureRecognizer> LChartCanvasOverlay::activePanGestureRecognizer() const
{
    if (m_gesturePanType == 2)
        return m_boxGesture;
    if (m_gesturePanType == 1)
        return m_pinchAndPanGesture;
    return nullptr;
}

void LChartCanvasOverlay::enablePanning(bool enable)
{
    if (auto recogniser = activePanGestureRecognizer())
        recogniser->setEnabled(enable || crosshairIsVisible());
}

bool LChartCanvasOverlay::gesturePinchAspectLock() const
{
    return m_pinchAndPanGesture->aspectLock();
}

void LChartCanvasOverlay::setGesturePinchAspectLock(bool lock)
{
    m_pinchAndPanGesture->setAspectLock(lock);
}

void LChartCanvasOverlay::enableAppropriateGestureRecognisers()
{
    bool radial = m_chart && m_chart->isRadial();
    bool crosshair = false;
    bool selection = false;
    if (m_chart) {
        for (const auto& series : m_chart->series()) {
            crosshair = crosshair || series->crosshairEnabled();
            selection = selection || series->selectionMode() != 0;
        }
    }
    bool doubleTap = m_chart && m_chart->gestureDoubleTapEnabled();
    bool radialTap = m_chart && m_chart->radialTapEnabled();
    bool radialRotation = m_chart && m_chart->radialRotationEnabled();
    m_longPressGesture->setEnabled(!radial && crosshair);
    m_doubleTapGesture->setEnabled(!radial && doubleTap);
    m_singleTapGesture->setEnabled(!radial && (selection || crosshair));
    m_radialTapGesture->setEnabled(radial && radialTap);
    m_radialRotationGesture->setEnabled(radial && radialRotation);
    m_boxGesture->setEnabled(!radial && m_gesturePanType == 2);
    m_pinchAndPanGesture->setEnabled(!radial && m_gesturePanType == 1);
}

void LChartCanvasOverlay::cancelMomentumGestures()
{
    for (LChartAxis* axis : allAxes())
        axis->cancelGestures();
}

void LChartCanvasOverlay::viewStartRotateWithDuration(double duration)
{
    Weak<LChartCanvasOverlay> weak = std::static_pointer_cast<LChartCanvasOverlay>(shared_from_this());
    UIView::animateWithDurationDelayOptions(
        duration / 4, 0, UIViewAnimationOptionCurveEaseInOut,
        [weak] {
            if (auto overlay = weak.lock())
                overlay->setAlpha(0);
        },
        nullptr);
}

void LChartCanvasOverlay::viewEndRotateWithDuration(double duration)
{
    positionCrosshairIfVisible();
    Weak<LChartCanvasOverlay> weak = std::static_pointer_cast<LChartCanvasOverlay>(shared_from_this());
    UIView::animateWithDurationDelayOptions(
        duration / 4, 0, UIViewAnimationOptionCurveEaseInOut,
        [weak] {
            if (auto overlay = weak.lock())
                overlay->setAlpha(1);
        },
        nullptr);
}

void LChartCanvasOverlay::axisIsZooming(LChartAxis&)
{
    if (!m_chart)
        return;
    if (LChartDelegate* delegate = m_chart->chartDelegate())
        delegate->sChartIsZoomingWithChartMovementInformation(*m_chart, LChartMovementInformation { true });
}

void LChartCanvasOverlay::axisIsPanning(LChartAxis&)
{
    if (!m_chart)
        return;
    if (LChartDelegate* delegate = m_chart->chartDelegate())
        delegate->sChartIsPanningWithChartMovementInformation(*m_chart, LChartMovementInformation { true });
}

void LChartCanvasOverlay::axisFinishedMomentumZooming(LChartAxis& axis)
{
    if (!m_chart)
        return;
    for (LChartAxis* other : axis.axisOrientation() == 0 ? m_chart->allXAxes() : m_chart->allYAxes())
        if (other != &axis && other->isMomentumZooming())
            other->stopMomentumZooming();
    // One finish per gesture: the last axis to stop reports it, and none while the release
    // hands out momentum (an axis given none stops at once).
    if (m_releasing || anyAxis(&LChartAxis::isMomentumZooming))
        return;
    if (LChartDelegate* delegate = m_chart->chartDelegate())
        delegate->sChartDidFinishZooming(*m_chart);
}

void LChartCanvasOverlay::axisFinishedMomentumPanning(LChartAxis& axis)
{
    if (!m_chart)
        return;
    for (LChartAxis* other : axis.axisOrientation() == 0 ? m_chart->allXAxes() : m_chart->allYAxes())
        if (other != &axis && other->isMomentumPanning())
            other->stopMomentumPanning();
    if (m_releasing || anyAxis(&LChartAxis::isMomentumPanning))
        return;
    if (LChartDelegate* delegate = m_chart->chartDelegate())
        delegate->sChartDidFinishPanning(*m_chart);
}

void LChartCanvasOverlay::setPinchOrPanInProgress(bool inProgress)
{
    if (m_chart)
        m_chart->setPinchOrPanInProgress(inProgress);
}

void LChartCanvasOverlay::handlePinchAndPanGesture(LChartPinchPanGestureRecogniser& recogniser)
{
    if (!m_chart)
        return;
    auto protectedThis = shared_from_this();
    cancelMomentumGestures();
    if (crosshairFollowsPan(recogniser))
        return;
    // Asked every time, so that the touches that began the gesture do not restart the next
    // step from where it already is.
    bool touchesChanged = recogniser.touchStateChanged();
    if (recogniser.state() == UIGestureRecognizerStateBegan || touchesChanged) {
        m_prevScale = recogniser.scale();
        m_lastPanPoint = recogniser.locationInView(recogniser.view());
    }
    LChartDelegate* delegate = m_chart->chartDelegate();
    switch (recogniser.state()) {
    case UIGestureRecognizerStateBegan:
        setPinchOrPanInProgress(true);
        if (delegate)
            delegate->sChartDidStartPanning(*m_chart);
        m_prevZoomFactor = CGPointZero;
        m_zoomStartedThisGesture = false;
        if (recogniser.hasZoomCentre()) {
            if (delegate)
                delegate->sChartDidStartZooming(*m_chart);
            m_zoomStartedThisGesture = true;
        }
        break;
    case UIGestureRecognizerStateChanged:
        if (!m_chart->pinchOrPanInProgress())
            setPinchOrPanInProgress(true);
        if (recogniser.hasZoomCentre() && !m_zoomStartedThisGesture) {
            if (delegate)
                delegate->sChartDidStartZooming(*m_chart);
            m_zoomStartedThisGesture = true;
        }
        processGestureStateChanged(recogniser);
        break;
    case UIGestureRecognizerStateEnded:
        releasePinchAndPan(recogniser);
        break;
    case UIGestureRecognizerStateCancelled:
    case UIGestureRecognizerStateFailed:
        setPinchOrPanInProgress(false);
        break;
    default:
        break;
    }
    positionCrosshairIfVisible();
}

void LChartCanvasOverlay::processGestureStateChanged(LChartPinchPanGestureRecogniser& recogniser)
{
    if (!m_chart)
        return;
    Ref<UIView> view = recogniser.view();
    LChartDelegate* delegate = m_chart->chartDelegate();
    std::vector<LChartAxis*> axes = allAxes();
    bool zoomed = false;
    if (recogniser.hasZoomCentre()) {
        CGPoint centre = recogniser.zoomCentreInView(view);
        CGPoint scale = recogniser.scale();
        double fx = m_prevScale.x > 0 ? scale.x / m_prevScale.x : 1;
        double fy = m_prevScale.y > 0 ? scale.y / m_prevScale.y : 1;
        for (LChartAxis* axis : axes) {
            if (!axis->enableGestureZooming())
                continue;
            bool x = axis->isXAxis();
            double factor = x ? fx : fy;
            double anchor = axis->mapDataValueForPixelValue(x ? centre.x : centre.y);
            if (factor > 0)
                zoomed
                    = axis->setZoomFromPositionWithAnimationAndBounceLimits(factor * axis->zoom(), &anchor, false, true)
                    || zoomed;
        }
        if (zoomed) {
            m_prevScale = scale;
            if (fx != 1 || fy != 1)
                m_prevZoomFactor = CGPointMake(static_cast<float>(fx), static_cast<float>(fy));
            if (delegate) {
                delegate->sChartIsZooming(*m_chart);
                delegate->sChartIsZoomingWithChartMovementInformation(*m_chart, LChartMovementInformation { false });
            }
        }
    }
    CGPoint point = recogniser.locationInView(view);
    bool panned = false;
    for (LChartAxis* axis : axes) {
        if (!axis->enableGesturePanning())
            continue;
        bool x = axis->isXAxis();
        double shift = axis->mapDataValueForPixelValue(x ? m_lastPanPoint.x : m_lastPanPoint.y)
            - axis->mapDataValueForPixelValue(x ? point.x : point.y);
        if (axis->beyondAxisLimits()) {
            bool beyondMinimum = axis->beyondAxisMinLimit();
            if ((!beyondMinimum && shift > 0) || (beyondMinimum && shift < 0))
                shift /= kBeyondLimitsResistance;
        }
        panned = axis->panByValueWithAnimationWithBounceLimitsAndRedraw(shift, false, true, true) || panned;
    }
    if (panned) {
        m_lastPanPoint = point;
        if (delegate) {
            delegate->sChartIsPanning(*m_chart);
            delegate->sChartIsPanningWithChartMovementInformation(*m_chart, LChartMovementInformation { false });
        }
    }
    if (zoomed || panned) {
        m_chart->setNeedsLayoutIfHaveAxesAndData();
        positionCrosshairIfVisible();
    }
}

void LChartCanvasOverlay::releasePinchAndPan(LChartPinchPanGestureRecogniser& recogniser)
{
    Ref<UIView> view = recogniser.view();
    CGPoint velocity = recogniser.velocityInView(view);
    std::vector<LChartAxis*> axes = allAxes();
    bool redraw = false;
    m_releasing = true;
    for (LChartAxis* axis : axes) {
        if (axis->beyondAxisLimits()) {
            axis->recheckAxisRange();
            redraw = true;
        } else if (axis->enableGesturePanning() && axis->enableMomentumPanning()) {
            double pixels = axis->axisOrientation() == 0 ? -velocity.x : velocity.y;
            axis->panWithMomentumStartingAt(axis->scaleDataValueForPixelValue(pixels));
        }
    }
    m_releasing = false;
    LChartDelegate* delegate = m_chart->chartDelegate();
    if (!anyAxis(&LChartAxis::isMomentumPanning) && delegate)
        delegate->sChartDidFinishPanning(*m_chart);
    bool hasCentre = recogniser.hasZoomCentre();
    m_releasing = true;
    if ((m_prevZoomFactor.x > 0 || m_prevZoomFactor.y > 0) && hasCentre) {
        CGPoint centre = recogniser.zoomCentreInView(view);
        for (LChartAxis* axis : axes) {
            if (!axis->enableGestureZooming() || !axis->enableMomentumZooming())
                continue;
            bool x = axis->isXAxis();
            double component = x ? m_prevZoomFactor.x : m_prevZoomFactor.y;
            double factor = component > 0 ? component : 1;
            double anchor = axis->mapDataValueForPixelValue(x ? centre.x : centre.y);
            axis->zoomWithMomentumFromPosition(factor, anchor);
        }
    }
    m_releasing = false;
    m_prevZoomFactor = CGPointZero;
    if (hasCentre && !anyAxis(&LChartAxis::isMomentumZooming) && delegate)
        delegate->sChartDidFinishZooming(*m_chart);
    setPinchOrPanInProgress(false);
    if (redraw)
        m_chart->redrawChartIncludePlotArea(false);
}

void LChartCanvasOverlay::handleBoxGesture(LChartBoxGestureRecogniser& recogniser)
{
    if (!m_chart || !m_canvas)
        return;
    auto protectedThis = shared_from_this();
    CGRect box = recogniser.boxInView(std::static_pointer_cast<UIView>(shared_from_this()));
    CGRect gl = m_canvas->glView()->frame();
    // Fit the box into the plot area by moving it, keeping its size where it fits.
    box.size.width = std::min(box.size.width, gl.size.width);
    if (CGRectGetMaxX(box) > CGRectGetMaxX(gl))
        box.origin.x = CGRectGetMaxX(gl) - box.size.width;
    if (box.origin.x < gl.origin.x)
        box.origin.x = gl.origin.x;
    box.size.height = std::min(box.size.height, gl.size.height);
    if (CGRectGetMaxY(box) > CGRectGetMaxY(gl))
        box.origin.y = CGRectGetMaxY(gl) - box.size.height;
    if (box.origin.y < gl.origin.y)
        box.origin.y = gl.origin.y;
    if (recogniser.state() == UIGestureRecognizerStateEnded) {
        zoomAxesInZoomBoxWithAnimation(allAxes(), box, m_chart->animateBoxGesture());
        m_chart->redrawChartIncludePlotArea(false);
        hideZoomBox();
        if (LChartDelegate* delegate = m_chart->chartDelegate())
            delegate->sChartDidBoxZoom(*m_chart);
    } else if (recogniser.state() == UIGestureRecognizerStateChanged) {
        m_lastZoomBox = box;
        updateZoomBox();
    }
}

void LChartCanvasOverlay::zoomAxesInZoomBoxWithAnimation(const std::vector<LChartAxis*>& axes, CGRect box, bool animate)
{
    for (LChartAxis* axis : axes) {
        if (!axis->enableGestureZooming())
            continue;
        double minimum;
        double maximum;
        if (axis->isXAxis()) {
            minimum = axis->mapDataValueForPixelValue(box.origin.x);
            maximum = minimum + axis->scaleDataValueForPixelValue(box.size.width);
        } else {
            maximum = axis->mapDataValueForPixelValue(box.origin.y);
            minimum = maximum - axis->scaleDataValueForPixelValue(box.size.height);
        }
        axis->setRangeInternalWithMinimumAndMaximumWithAnimation(
            Value(static_cast<float>(minimum)), Value(static_cast<float>(maximum)), animate);
    }
}

void LChartCanvasOverlay::addZoomBox()
{
    m_zoomBoxView = UIView::initWithFrame(CGRectZero);
    m_zoomBoxLines.clear();
    for (int32_t i = 0; i < kZoomBoxLines; ++i) {
        auto line = UIView::initWithFrame(CGRectZero);
        line->setHidden(true);
        line->setUserInteractionEnabled(false);
        addSubview(line);
        m_zoomBoxLines.push_back(line);
    }
    m_zoomBoxView->setHidden(true);
    m_zoomBoxView->setUserInteractionEnabled(false);
    addSubview(m_zoomBoxView);
}

void LChartCanvasOverlay::hideZoomBox()
{
    if (m_zoomBoxView)
        m_zoomBoxView->setHidden(true);
    for (const auto& line : m_zoomBoxLines)
        line->setHidden(true);
}

void LChartCanvasOverlay::removeZoomBox()
{
    if (m_zoomBoxView)
        m_zoomBoxView->removeFromSuperview();
    for (const auto& line : m_zoomBoxLines)
        line->removeFromSuperview();
    m_zoomBoxView = nullptr;
    m_zoomBoxLines.clear();
}

void LChartCanvasOverlay::updateZoomBox()
{
    if (!m_zoomBoxView || !m_canvas)
        return;
    const Ref<LChartBoxGestureStyle>& style
        = m_chart && m_chart->theme() ? m_chart->theme()->boxGestureStyle() : Ref<LChartBoxGestureStyle>();
    Ref<UIColor> boxColour = style && style->boxLineColor() ? style->boxLineColor() : UIColor::blackColor();
    Ref<UIColor> lineColour = style && style->trackingLineColor() ? style->trackingLineColor() : UIColor::blackColor();
    CGFloat boxWidth = style ? style->boxLineWidth() : 1;
    CGFloat lineWidth = style ? style->trackingLineWidth() : 1;
    CGRect box = m_lastZoomBox;
    CGRect gl = m_canvas->glView()->frame();
    m_zoomBoxView->setFrame(box);
    m_zoomBoxView->layer()->setBorderColor(boxColour->CGColor());
    m_zoomBoxView->layer()->setBorderWidth(boxWidth);
    const CGRect lines[kZoomBoxLines] = {
        CGRectMake(gl.origin.x, CGRectGetMaxY(box) - 1, gl.size.width, lineWidth),
        CGRectMake(CGRectGetMaxX(box) - 1, gl.origin.y, lineWidth, gl.size.height),
        CGRectMake(gl.origin.x, box.origin.y, gl.size.width, lineWidth),
        CGRectMake(box.origin.x, gl.origin.y, lineWidth, gl.size.height),
    };
    for (int32_t i = 0; i < kZoomBoxLines; ++i) {
        m_zoomBoxLines[i]->setFrame(lines[i]);
        m_zoomBoxLines[i]->setBackgroundColor(lineColour);
        m_zoomBoxLines[i]->setHidden(false);
    }
    m_zoomBoxView->setHidden(false);
}

void LChartCanvasOverlay::handleDoubleTapGesture(UITapGestureRecognizer& recogniser)
{
    if (!m_chart)
        return;
    auto protectedThis = shared_from_this();
    cancelMomentumGestures();
    CGPoint point = recogniser.locationInView(std::static_pointer_cast<UIView>(shared_from_this()));
    bool resets = m_chart->gestureDoubleTapResetsZoom();
    bool changed = false;
    for (LChartAxis* axis : allAxes()) {
        if ((axis->enableGestureZooming() || axis->enableGesturePanning()) && resets) {
            changed = axis->resetZoomLevelWithAnimation(m_chart->animateZoomGesture()) || changed;
        } else if (axis->enableGestureZooming() && !resets) {
            double value = axis->mapDataValueForPixelValue(axis->isXAxis() ? point.x : point.y);
            const Ref<LChartRange>& range = axis->axisRangeInternal();
            double half = (range->max() - range->min()) * 0.5 * 0.5;
            changed = axis->setRangeInternalWithMinimumAndMaximumWithAnimationUsingBounceLimits(
                          Value(value - half), Value(value + half), m_chart->animateZoomGesture(), false)
                || changed;
        }
    }
    if (!changed)
        return;
    m_chart->setNeedsLayoutIfHaveAxesAndData();
    positionCrosshairIfVisible();
    if (LChartDelegate* delegate = m_chart->chartDelegate()) {
        if (resets)
            delegate->sChartDidResetZoom(*m_chart);
        else
            delegate->sChartDidFinishZooming(*m_chart);
    }
}

bool LChartCanvasOverlay::crosshairIsVisible() const
{
    return m_chart && m_chart->crosshair() && !m_chart->crosshair()->isHidden();
}

bool LChartCanvasOverlay::crosshairFollowsPan(LChartPinchPanGestureRecogniser& recogniser)
{
    LChartCrosshair& crosshair = *m_chart->crosshair();
    if (crosshair.crosshairShouldKeepTracking() && !recogniser.hasPinched()) {
        if (recogniser.numberOfTouches() == 1)
            positionCrosshairFromGestureGestureJustStarted(recogniser, false);
        return true;
    }
    crosshair.crosshairChartGotPinchAndPan();
    if (m_chart->gesturePanCancelsCrosshairDeprecated())
        crosshair.removeCrosshair();
    return false;
}

LChartSeriesDistanceInfo LChartCanvasOverlay::closestSeriesToPixelPointSeriesConstraints(
    CGPoint point, int32_t constraint) const
{
    LChartSeriesDistanceInfo closest;
    if (!m_chart)
        return closest;
    for (const auto& series : m_chart->series()) {
        bool allowed = constraint == 1 ? series->selectionMode() != 0
            : constraint == 0          ? series->crosshairEnabled()
                                       : true;
        if (!allowed)
            continue;
        LChartSeriesDistanceInfo info = distanceInfoForSeriesToPixelPointIsOnlySeries(series, point, false);
        if (info.distance < closest.distance)
            closest = info;
    }
    return closest;
}

LChartSeriesDistanceInfo LChartCanvasOverlay::distanceInfoForSeriesToPixelPointIsOnlySeries(
    const Ref<LChartSeries>& series, CGPoint point, bool isOnlySeries) const
{
    LChartSeriesDistanceInfo info;
    if (!m_chart || !series)
        return info;
    auto [x, y] = m_chart->axesForSeries(series.get());
    LChartPoint touch { x->mapDataValueForPixelValue(point.x), y->mapDataValueForPixelValue(point.y) };
    info.series = series;
    series->distanceInfoToPointInChartIsOnlySeries(info, touch, *m_chart, isOnlySeries);
    return info;
}

namespace {

// The series as the axes see it, for the offsets some series add to their pixels.
const LChartAxisSeries* axisSeries(const Ref<LChartSeries>& series)
{
    return dynamic_cast<const LChartAxisSeries*>(series.get());
}

// Where a point in a series' internal units lies on the plot area, in overlay pixels.
CGPoint pixelPoint(LChartPoint point, LChartAxis* x, LChartAxis* y, const Ref<LChartSeries>& series)
{
    return CGPointMake(x->mapPixelValueForDataValueUsingSeries(point.x, axisSeries(series)),
        y->mapPixelValueForDataValueUsingSeries(point.y, axisSeries(series)));
}

} // namespace

void LChartCanvasOverlay::handleSingleTapGesture(UITapGestureRecognizer& recogniser)
{
    if (!m_chart)
        return;
    auto protectedThis = shared_from_this();
    cancelMomentumGestures();
    CGPoint point = recogniser.locationInView(recogniser.view());
    LChartSeriesDistanceInfo info = closestSeriesToPixelPointSeriesConstraints(point, 1);
    m_chart->crosshair()->crosshairChartGotTapAt(point);
    Ref<LChartSeries> series = info.series;
    if (!series)
        return;
    LChartDelegate* delegate = m_chart->chartDelegate();
    auto publicPointAndPixel = [&]() {
        auto [x, y] = m_chart->axesForSeries(series.get());
        Ref<LChartDataPoint> external = info.dataPoint
            ? LChartInternalDataPoint::getExternalDatapointFromInternalWithXAxisAndYAxis(*info.dataPoint, x, y)
            : LChartDataPoint::init();
        return std::make_pair(external, pixelPoint(info.resolvedPoint, x, y, series));
    };
    if (series->selectionMode() == 1) {
        if (series->toggleSelection()) {
            series->setSelected(!series->selected());
        } else if (series->selected()) {
            series->setSelected(false);
        } else {
            for (const auto& other : m_chart->series()) {
                if (other->selected()) {
                    other->invalidateAllBins();
                    other->setSelected(false);
                }
            }
            series->setSelected(true);
        }
        if (delegate) {
            auto [external, pixel] = publicPointAndPixel();
            delegate->sChartToggledSelectionForSeriesNearPointAtPixelCoordinate(*m_chart, *series, external, pixel);
        }
        series->invalidateAllBins();
    } else if (series->selectionMode() == 2 && info.dataPoint) {
        const Ref<LChartInternalDataPoint>& chosen = info.dataPoint;
        if (series->togglePointSelection()) {
            chosen->setSelected(!chosen->selected());
        } else if (chosen->selected()) {
            chosen->setSelected(false);
        } else {
            if (LChartDataSeries* data = series->dataSeries()) {
                for (const auto& other : data->dataPoints()) {
                    if (other->selected()) {
                        other->setSelected(false);
                        series->invalidateBinContainingDataPoint(*other);
                    }
                }
            }
            chosen->setSelected(true);
        }
        if (delegate) {
            auto [external, pixel] = publicPointAndPixel();
            delegate->sChartToggledSelectionForPointInSeriesAtPixelCoordinate(*m_chart, external, *series, pixel);
        }
        series->invalidateBinContainingDataPoint(*chosen);
    }
    if (series->selectionMode() != 0)
        m_chart->redrawChartIncludePlotArea(true);
}

void LChartCanvasOverlay::handleLongPressGesture(UILongPressGestureRecognizer& recogniser)
{
    if (!m_chart)
        return;
    if (recogniser.state() == UIGestureRecognizerStateBegan) {
        m_chart->crosshair()->crosshairChartGotLongPressAt(recogniser.locationInView(recogniser.view()));
        positionCrosshairFromGestureGestureJustStarted(recogniser, true);
    } else if (recogniser.state() == UIGestureRecognizerStateChanged) {
        positionCrosshairFromGestureGestureJustStarted(recogniser, false);
    }
}

void LChartCanvasOverlay::positionCrosshairFromGestureGestureJustStarted(UIGestureRecognizer& gesture, bool justStarted)
{
    if (!m_chart)
        return;
    CGPoint point = gesture.locationInView(gesture.view());
    Ref<LChartCrosshair> crosshair = m_chart->crosshair();
    if (crosshair->mode() == 1) {
        if (crosshair->isHidden())
            crosshair->showCrosshair();
        crosshair->moveToFloatingPixelPosition(point);
        return;
    }
    if (crosshair->mode() != 0)
        return;
    LChartSeriesDistanceInfo info = !justStarted && crosshair->trackingSeries()
        ? distanceInfoForSeriesToPixelPointIsOnlySeries(crosshair->trackingSeries(), point, true)
        : closestSeriesToPixelPointSeriesConstraints(point, 0);
    if (!info.series)
        return;
    positionCrosshairAtPositionOnSeriesOnDatapoint(info.resolvedPoint, info.series, info.dataPoint);
}

void LChartCanvasOverlay::positionCrosshairAtPositionOnSeriesOnDatapoint(
    LChartPoint position, const Ref<LChartSeries>& series, const Ref<LChartInternalDataPoint>& point)
{
    if (!m_chart || !m_canvas)
        return;
    CGRect gl = m_canvas->glView()->frame();
    LChartAxis* x = m_chart->xAxis();
    LChartAxis* y = m_chart->yAxis();
    if (series)
        std::tie(x, y) = m_chart->axesForSeries(series.get());
    if (!x || !y)
        return;
    Ref<LChartDataPoint> external = point
        ? LChartInternalDataPoint::getExternalDatapointFromInternalWithXAxisAndYAxis(*point, x, y)
        : LChartDataPoint::init();
    CGPoint pixel = pixelPoint(position, x, y, series);
    double ex = x->transformValueToExternal(Value(position.x)).doubleValue();
    double ey = y->transformValueToExternal(Value(position.y)).doubleValue();
    if (point) {
        external->setXValue(x->doubleToData(external->xValue().doubleValue()));
        external->setYValue(y->doubleToData(external->yValue().doubleValue()));
    } else {
        external->setXValue(x->doubleToData(ex));
        external->setYValue(y->doubleToData(ey));
    }
    Ref<LChartCrosshair> crosshair = m_chart->crosshair();
    if (crosshair->isHidden())
        crosshair->showCrosshair();
    bool outside = pixel.x < gl.origin.x || pixel.x - gl.origin.x > gl.size.width || pixel.y < gl.origin.y
        || pixel.y - gl.origin.y > gl.size.height;
    if (outside)
        crosshair->crosshairMovedOutOfRange();
    else
        crosshair->crosshairMovedInsideRange();
    crosshair->moveToPositionAndDisplayDataPointFromSeriesAndSeriesDataPoint(
        LChartPoint { pixel.x, pixel.y }, LChartPoint { ex, ey }, series, external);
    if (outside)
        return;
    if (LChartDelegate* delegate = m_chart->chartDelegate())
        delegate->sChartCrosshairMovedToXValueAndYValue(*m_chart, x->doubleToData(ex), y->doubleToData(ey));
}

void LChartCanvasOverlay::positionCrosshairIfVisible()
{
    if (!m_chart || !crosshairIsVisible())
        return;
    Ref<LChartCrosshair> crosshair = m_chart->crosshair();
    if (!crosshair->crosshairShouldKeepTracking() || !crosshair->trackingSeries())
        return;
    positionCrosshairAtPositionOnSeriesOnDatapoint(crosshair->trackingPoint(), crosshair->trackingSeries(), nullptr);
}

CGPoint LChartCanvasOverlay::donutCentre() const
{
    CGRect b = bounds();
    return CGPointMake(
        std::floor((b.origin.x + b.size.width) * 0.5) + 0.5, std::floor((b.origin.y + b.size.height) * 0.5) + 0.5);
}

LChartDonutSeries* LChartCanvasOverlay::seriesFromRadialPoint(CGPoint point) const
{
    if (!m_chart)
        return nullptr;
    CGPoint centre = donutCentre();
    double distance = std::hypot(point.x - centre.x, point.y - centre.y);
    for (const auto& series : m_chart->series()) {
        auto* donut = dynamic_cast<LChartDonutSeries*>(series.get());
        if (!donut)
            continue;
        float normal = donut->style() ? donut->style()->protrusion() : 0;
        float selected = donut->selectedStyle() ? donut->selectedStyle()->protrusion() : 0;
        if (donut->innerRadius() < distance && distance <= donut->outerRadius() + std::max(normal, selected))
            return donut;
    }
    return nullptr;
}

void LChartCanvasOverlay::radialPointToSliceSliceIndex(
    CGPoint point, Ref<LChartInternalDataPoint>& slice, int32_t& index) const
{
    LChartDonutSeries* series = seriesFromRadialPoint(point);
    if (!series || !series->dataSeries())
        return;
    CGPoint centre = donutCentre();
    float angle
        = LChartAngler::wrap2PI(static_cast<float>(std::atan2(point.y - centre.y, -(point.x - centre.x)) + M_PI / 2));
    const auto& points = series->dataSeries()->dataPoints();
    for (size_t i = 0; i < points.size(); ++i) {
        float start = LChartAngler::wrap2PI(series->rotation() + static_cast<float>(points[i]->xCoord()));
        float end = LChartAngler::wrap2PI(series->rotation() + static_cast<float>(points[i]->yCoord()));
        // A slice across the top (angle 0) starts after it ends.
        bool inside = start > end ? angle > start || angle < end : start < angle && angle < end;
        if (inside) {
            slice = points[i];
            index = static_cast<int32_t>(i);
            return;
        }
    }
}
