#include "charts/view/LChartCanvasOverlay.h"

#include "charts/LChartAxis.h"
#include "charts/LChartBoxGestureStyle.h"
#include "charts/LChartRange.h"
#include "charts/LChartSeries.h"
#include "charts/LChartTheme.h"
#include "charts/gl/LChartGLView.h"
#include "charts/view/LChartBoxGestureRecogniser.h"
#include "charts/view/LChartCanvas.h"
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
    m_singleTapGesture = UITapGestureRecognizer::init();
    m_singleTapGesture->setNumberOfTapsRequired(1);
    m_radialTapGesture = UITapGestureRecognizer::init();
    m_radialRotationGesture = UIPanGestureRecognizer::init();
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

void LChartCanvasOverlay::positionCrosshairIfVisible() { }

bool LChartCanvasOverlay::crosshairIsVisible() const
{
    return false;
}

bool LChartCanvasOverlay::crosshairFollowsPan(LChartPinchPanGestureRecogniser&)
{
    return false;
}
