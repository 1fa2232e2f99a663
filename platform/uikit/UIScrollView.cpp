#include "uikit/UIScrollView.h"

#include "foundation/Clock.h"
#include "foundation/NSRunLoop.h"
#include "foundation/NSTimer.h"
#include "foundation/ThreadChecks.h"
#include "uikit/UIImageView.h"
#include "uikit/UIRefreshControl.h"
#include "uikit/UIScrollViewPanGestureRecognizer.h"
#include "uikit/UIScrollViewPinchGestureRecognizer.h"
#include "uikit/UITouch.h"

#include <algorithm>
#include <cmath>

VX_REGISTER_CLASS(UIScrollView);

namespace {
// How far a touch must move before it becomes a drag.
constexpr CGFloat kDragThreshold = 10;
// Velocity is measured over the last part of the drag only, so a pause before lifting stops it.
constexpr double kVelocityWindow = 0.1;
// Below this speed (points per millisecond) a released drag does not decelerate.
constexpr CGFloat kMinimumVelocity = 0.05f;
// Deceleration ends when its speed falls to this (points per millisecond).
constexpr double kRestingVelocity = 0.01;
constexpr double kFrameInterval = 1.0 / 60;
constexpr double kAnimatedScrollDuration = 0.3;
constexpr double kBounceDuration = 0.4;
constexpr double kPageDuration = 0.3;
constexpr double kIndicatorFadeDelay = 0.5;
constexpr double kIndicatorFlashDuration = 1.0;
// Indicator thickness, its distance from the edge and its shortest length.
constexpr CGFloat kIndicatorThickness = 2.5f;
constexpr CGFloat kIndicatorMargin = 1;
constexpr CGFloat kIndicatorMinimumLength = 7;

double easeOut(double t)
{
    return 1 - (1 - t) * (1 - t) * (1 - t);
}
double easeInOut(double t)
{
    return t < 0.5 ? 4 * t * t * t : 1 - std::pow(-2 * t + 2, 3) / 2;
}
} // namespace

UIScrollView::~UIScrollView()
{
    if (m_motionTimer)
        m_motionTimer->invalidate();
    if (m_indicatorTimer)
        m_indicatorTimer->invalidate();
}

void UIScrollView::setContentOffset(CGPoint offset)
{
    assertIsMainThread();
    CGRect b = bounds();
    if (b.origin.x == offset.x && b.origin.y == offset.y)
        return;
    b.origin = offset;
    UIView::setBounds(b);
    auto self = protectedThis();
    didChangeContentOffset();
    layoutIndicators();
    if (auto* d = delegate())
        d->scrollViewDidScroll(self);
}

void UIScrollView::setBounds(CGRect newBounds)
{
    CGRect old = bounds();
    if (old.size.width != newBounds.size.width || old.size.height != newBounds.size.height)
        UIView::setBounds(CGRectMake(old.origin.x, old.origin.y, newBounds.size.width, newBounds.size.height));
    setContentOffset(newBounds.origin);
}

void UIScrollView::setContentOffsetAnimated(CGPoint offset, bool animated)
{
    assertIsMainThread();
    if (!animated) {
        stopMotion();
        setContentOffset(offset);
        return;
    }
    CGPoint current = contentOffset();
    if (current.x == offset.x && current.y == offset.y) {
        stopMotion();
        return;
    }
    startMotion(Motion::Animation, offset, kAnimatedScrollDuration);
}

void UIScrollView::setContentSize(CGSize size)
{
    assertIsMainThread();
    m_contentSize = CGSizeMake(std::max<CGFloat>(0, size.width), std::max<CGFloat>(0, size.height));
}

void UIScrollView::setDecelerationRate(CGFloat rate)
{
    // A rate of 1 or more would never stop; 0 or less would jump.
    if (rate > 0 && rate < 1)
        m_decelerationRate = rate;
}

CGPoint UIScrollView::minimumContentOffset() const
{
    return CGPointMake(-m_contentInset.left, -m_contentInset.top);
}

CGPoint UIScrollView::maximumContentOffset() const
{
    CGSize size = bounds().size;
    CGPoint min = minimumContentOffset();
    return CGPointMake(std::max(min.x, m_contentSize.width + m_contentInset.right - size.width),
        std::max(min.y, m_contentSize.height + m_contentInset.bottom - size.height));
}

bool UIScrollView::canScrollHorizontally() const
{
    return m_alwaysBounceHorizontal
        || m_contentSize.width + m_contentInset.left + m_contentInset.right > bounds().size.width;
}

bool UIScrollView::canScrollVertically() const
{
    return m_alwaysBounceVertical
        || m_contentSize.height + m_contentInset.top + m_contentInset.bottom > bounds().size.height;
}

CGPoint UIScrollView::clampedOffset(CGPoint offset) const
{
    CGPoint min = minimumContentOffset();
    CGPoint max = maximumContentOffset();
    return CGPointMake(std::clamp(offset.x, min.x, max.x), std::clamp(offset.y, min.y, max.y));
}

// Drags

void UIScrollView::dragBegan(CGPoint windowPoint)
{
    assertIsMainThread();
    if (!m_scrollEnabled)
        return;
    // Touching moving content stops it where it is, without an end message.
    if (m_motion == Motion::Deceleration || m_motion == Motion::Bounce) {
        stopMotion();
        m_decelerating = false;
    } else if (m_motion != Motion::None) {
        stopMotion();
    }
    m_tracking = true;
    m_dragging = false;
    m_dragStartPoint = windowPoint;
    m_dragStartOffset = contentOffset();
    m_lockHorizontal = m_lockVertical = false;
    m_samples.clear();
    m_samples.push_back({ windowPoint, Clock::mediaTime() });
}

CGPoint UIScrollView::offsetForDrag(CGPoint windowPoint) const
{
    CGFloat dx = m_lockVertical || !canScrollHorizontally() ? 0 : windowPoint.x - m_dragStartPoint.x;
    CGFloat dy = m_lockHorizontal || !canScrollVertically() ? 0 : windowPoint.y - m_dragStartPoint.y;
    CGPoint wanted = CGPointMake(m_dragStartOffset.x - dx, m_dragStartOffset.y - dy);
    CGPoint clamped = clampedOffset(wanted);
    if (!m_bounces)
        return clamped;
    // Past an edge the content follows the finger at half speed.
    return CGPointMake(clamped.x + (wanted.x - clamped.x) / 2, clamped.y + (wanted.y - clamped.y) / 2);
}

void UIScrollView::dragMoved(CGPoint windowPoint)
{
    assertIsMainThread();
    if (!m_tracking)
        return;
    double now = Clock::mediaTime();
    m_samples.push_back({ windowPoint, now });
    auto self = protectedThis();
    if (!m_dragging) {
        CGFloat dx = windowPoint.x - m_dragStartPoint.x;
        CGFloat dy = windowPoint.y - m_dragStartPoint.y;
        if (std::hypot(dx, dy) < kDragThreshold)
            return;
        if (m_directionalLockEnabled) {
            if (std::abs(dx) >= 2 * std::abs(dy))
                m_lockHorizontal = true;
            else if (std::abs(dy) >= 2 * std::abs(dx))
                m_lockVertical = true;
        }
        m_dragging = true;
        showIndicators();
        if (auto* d = delegate())
            d->scrollViewWillBeginDragging(self);
        if (!m_tracking)
            return;
    }
    setContentOffset(offsetForDrag(windowPoint));
}

CGPoint UIScrollView::dragVelocity() const
{
    if (m_samples.size() < 2)
        return CGPointZero;
    const Sample& last = m_samples.back();
    const Sample* first = &m_samples.back();
    for (auto it = m_samples.rbegin(); it != m_samples.rend(); ++it) {
        if (last.time - it->time > kVelocityWindow)
            break;
        first = &*it;
    }
    double ms = (last.time - first->time) * 1000;
    if (ms <= 0)
        return CGPointZero;
    // Content moves against the finger.
    CGFloat vx = m_lockVertical || !canScrollHorizontally() ? 0 : CGFloat(-(last.point.x - first->point.x) / ms);
    CGFloat vy = m_lockHorizontal || !canScrollVertically() ? 0 : CGFloat(-(last.point.y - first->point.y) / ms);
    return CGPointMake(vx, vy);
}

CGPoint UIScrollView::pagedTarget(CGPoint velocity) const
{
    CGSize page = bounds().size;
    auto axis = [](CGFloat start, CGFloat now, CGFloat v, CGFloat size) -> CGFloat {
        if (size <= 0)
            return now;
        CGFloat startPage = std::round(start / size);
        CGFloat target;
        if (v > kMinimumVelocity)
            target = startPage + 1;
        else if (v < -kMinimumVelocity)
            target = startPage - 1;
        else
            target = std::round(now / size);
        // A flick moves at most one page from where the drag started.
        target = std::clamp(target, startPage - 1, startPage + 1);
        return target * size;
    };
    CGPoint now = contentOffset();
    return clampedOffset(CGPointMake(axis(m_dragStartOffset.x, now.x, velocity.x, page.width),
        axis(m_dragStartOffset.y, now.y, velocity.y, page.height)));
}

void UIScrollView::dragEnded(CGPoint windowPoint)
{
    assertIsMainThread();
    if (!m_tracking)
        return;
    m_samples.push_back({ windowPoint, Clock::mediaTime() });
    m_tracking = false;
    if (!m_dragging) {
        m_samples.clear();
        return;
    }
    auto self = protectedThis();
    // A refresh control among the subviews hears how far past the top the drag was released.
    CGFloat overscroll = minimumContentOffset().y - contentOffset().y;
    for (const auto& subview : std::vector<Ref<UIView>>(subviews())) {
        if (auto refresh = std::dynamic_pointer_cast<UIRefreshControl>(subview))
            refresh->scrollViewReleasedWithOverscroll(overscroll);
    }
    CGPoint velocity = dragVelocity();
    if (std::abs(velocity.x) < kMinimumVelocity)
        velocity.x = 0;
    if (std::abs(velocity.y) < kMinimumVelocity)
        velocity.y = 0;
    CGPoint current = contentOffset();
    CGPoint target;
    CGPoint unclamped {};
    if (m_pagingEnabled) {
        target = pagedTarget(velocity);
    } else {
        // Exponential decay at the deceleration rate per millisecond covers v * r / (1 - r).
        CGFloat travel = m_decelerationRate / (1 - m_decelerationRate);
        unclamped = CGPointMake(current.x + velocity.x * travel, current.y + velocity.y * travel);
        target = clampedOffset(unclamped);
    }
    CGPoint proposed = target;
    if (auto* d = delegate())
        d->scrollViewWillEndDraggingWithVelocityTargetContentOffset(self, velocity, &target);
    // Whatever the delegate asks for, the content comes to rest inside its limits.
    target = clampedOffset(target);
    // A flick that would carry the content past an edge runs a little way beyond it and springs
    // back (unless the delegate chose another resting place).
    CGPoint runTo = target;
    if (m_bounces && !m_pagingEnabled && target.x == proposed.x && target.y == proposed.y) {
        CGSize size = bounds().size;
        CGPoint inside = clampedOffset(current);
        // Only content moving from inside its limits overshoots; content already pulled past
        // an edge just springs back.
        auto overshoot = [](CGFloat excess, CGFloat velocity, bool fromInside, CGFloat limit) {
            if (!fromInside || velocity == 0)
                return CGFloat(0);
            return std::clamp(excess * 0.1f, -limit, limit);
        };
        runTo.x += overshoot(unclamped.x - target.x, velocity.x, inside.x == current.x, size.width / 4);
        runTo.y += overshoot(unclamped.y - target.y, velocity.y, inside.y == current.y, size.height / 4);
    }
    m_dragging = false;
    m_samples.clear();
    bool decelerate = runTo.x != current.x || runTo.y != current.y;
    if (auto* d = delegate())
        d->scrollViewDidEndDraggingWillDecelerate(self, decelerate);
    if (!decelerate) {
        scheduleIndicatorFade(kIndicatorFadeDelay);
        return;
    }
    m_decelerating = true;
    if (auto* d = delegate())
        d->scrollViewWillBeginDecelerating(self);
    if (!m_decelerating)
        return;
    double duration;
    Motion motion = Motion::Deceleration;
    CGFloat speed = std::hypot(velocity.x, velocity.y);
    if (m_pagingEnabled) {
        duration = kPageDuration;
    } else if (speed > 0) {
        // Until the decaying speed drops to rest.
        double frames = std::log(kRestingVelocity / speed) / std::log(double(m_decelerationRate));
        duration = std::max(kPageDuration, frames / 1000);
    } else {
        duration = kBounceDuration;
        motion = Motion::Bounce;
    }
    startMotion(motion, runTo, duration);
    if (runTo.x != target.x || runTo.y != target.y)
        m_bounceBackTo = target;
}

void UIScrollView::dragCancelled()
{
    assertIsMainThread();
    if (!m_tracking)
        return;
    m_tracking = false;
    if (m_dragging) {
        // A cancelled drag ends as a release without velocity.
        m_samples.clear();
        m_samples.push_back({ m_dragStartPoint, Clock::mediaTime() });
        m_tracking = true;
        dragEnded(m_dragStartPoint);
        return;
    }
    m_samples.clear();
}

// Touches that reach the view itself: the pan recognizer does the scrolling, so these only
// note whether a touch is a tap. An enabled scroll view keeps its touches; a disabled one passes
// them on.

void UIScrollView::touchesBegan(const UITouchSet& touches, const Ref<UIEvent>& event)
{
    assertIsMainThread();
    m_viewTouchDown = true;
    if (!m_scrollEnabled)
        UIView::touchesBegan(touches, event);
}

void UIScrollView::touchesMoved(const UITouchSet& touches, const Ref<UIEvent>& event)
{
    assertIsMainThread();
    if (!m_scrollEnabled)
        UIView::touchesMoved(touches, event);
}

void UIScrollView::touchesEnded(const UITouchSet& touches, const Ref<UIEvent>& event)
{
    assertIsMainThread();
    m_viewTouchDown = false;
    if (!m_scrollEnabled)
        UIView::touchesEnded(touches, event);
}

void UIScrollView::touchesCancelled(const UITouchSet& touches, const Ref<UIEvent>& event)
{
    assertIsMainThread();
    m_viewTouchDown = false;
    if (!m_scrollEnabled)
        UIView::touchesCancelled(touches, event);
}

// Recognizers

void UIScrollView::installGestureRecognizers()
{
    m_panRecognizer = UIScrollViewPanGestureRecognizer::initWithScrollView(protectedThis());
    m_panRecognizer->setEnabled(m_scrollEnabled);
    addGestureRecognizer(m_panRecognizer);
    updatePinchRecognizer();
}

Ref<UIPanGestureRecognizer> UIScrollView::panGestureRecognizer() const
{
    return m_panRecognizer;
}

Ref<UIPinchGestureRecognizer> UIScrollView::pinchGestureRecognizer() const
{
    return m_pinchRecognizer;
}

void UIScrollView::setScrollEnabled(bool v)
{
    assertIsMainThread();
    m_scrollEnabled = v;
    if (m_panRecognizer)
        m_panRecognizer->setEnabled(v);
}

void UIScrollView::setMinimumZoomScale(CGFloat scale)
{
    assertIsMainThread();
    m_minimumZoomScale = scale;
    updatePinchRecognizer();
}

void UIScrollView::setMaximumZoomScale(CGFloat scale)
{
    assertIsMainThread();
    m_maximumZoomScale = scale;
    updatePinchRecognizer();
}

void UIScrollView::updatePinchRecognizer()
{
    // Only a scroll view made with its recognizers (makeScrollView) grows a pinch.
    if (!m_panRecognizer)
        return;
    bool zooms = m_maximumZoomScale > m_minimumZoomScale;
    if (zooms && !m_pinchRecognizer) {
        m_pinchRecognizer = UIScrollViewPinchGestureRecognizer::initWithScrollView(protectedThis());
        addGestureRecognizer(m_pinchRecognizer);
    } else if (!zooms && m_pinchRecognizer) {
        if (auto view = m_pinchRecognizer->view())
            view->removeGestureRecognizer(m_pinchRecognizer);
        m_pinchRecognizer = nullptr;
    }
}

// Motion on the clock

void UIScrollView::startMotion(Motion motion, CGPoint target, double duration)
{
    if (m_motionTimer) {
        m_motionTimer->invalidate();
        m_motionTimer = nullptr;
    }
    m_motion = motion;
    m_bounceBackTo.reset();
    m_motionFrom = contentOffset();
    m_motionTo = target;
    m_motionStart = Clock::mediaTime();
    m_motionDuration = duration;
    showIndicators();
    Weak<UIScrollView> weak = protectedThis();
    m_motionTimer = NSTimer::timerWithTimeIntervalRepeatsBlock(kFrameInterval, true, [weak](const Ref<NSTimer>&) {
        if (auto self = weak.lock())
            self->step();
    });
    NSRunLoop::mainRunLoop()->addTimerForMode(m_motionTimer, NSRunLoopCommonModes);
}

void UIScrollView::stopMotion()
{
    m_bounceBackTo.reset();
    if (m_motionTimer) {
        m_motionTimer->invalidate();
        m_motionTimer = nullptr;
    }
    if (m_motion == Motion::ZoomAnimation)
        m_zooming = false;
    m_motion = Motion::None;
}

void UIScrollView::step()
{
    if (m_motion == Motion::None)
        return;
    double elapsed = Clock::mediaTime() - m_motionStart;
    double t = m_motionDuration > 0 ? std::clamp(elapsed / m_motionDuration, 0.0, 1.0) : 1.0;
    double p;
    switch (m_motion) {
    case Motion::Deceleration:
        if (m_pagingEnabled) {
            p = easeOut(t);
        } else {
            // The speed decays by the deceleration rate every millisecond.
            double r = m_decelerationRate;
            double total = 1 - std::pow(r, m_motionDuration * 1000);
            p = total > 0 ? (1 - std::pow(r, std::min(elapsed, m_motionDuration) * 1000)) / total : 1;
        }
        break;
    case Motion::Animation:
    case Motion::ScrollToTop:
    case Motion::ZoomAnimation:
        p = easeInOut(t);
        break;
    default:
        p = easeOut(t);
        break;
    }
    if (t >= 1)
        p = 1;
    auto self = protectedThis();
    Motion motion = m_motion;
    if (motion == Motion::ZoomAnimation)
        applyZoomScale(CGFloat(m_zoomFrom + (m_zoomTo - m_zoomFrom) * p));
    setContentOffset(CGPointMake(CGFloat(m_motionFrom.x + (m_motionTo.x - m_motionFrom.x) * p),
        CGFloat(m_motionFrom.y + (m_motionTo.y - m_motionFrom.y) * p)));
    // The delegate may have started another motion or stopped this one.
    if (t >= 1 && m_motion == motion)
        finishMotion();
}

void UIScrollView::finishMotion()
{
    Motion motion = m_motion;
    if (motion == Motion::Deceleration && m_bounceBackTo) {
        // Past the edge: spring back, still decelerating.
        CGPoint back = *m_bounceBackTo;
        m_bounceBackTo.reset();
        startMotion(Motion::Bounce, back, kBounceDuration);
        return;
    }
    if (m_motionTimer) {
        m_motionTimer->invalidate();
        m_motionTimer = nullptr;
    }
    m_motion = Motion::None;
    auto self = protectedThis();
    scheduleIndicatorFade(kIndicatorFadeDelay);
    auto* d = delegate();
    switch (motion) {
    case Motion::Deceleration:
    case Motion::Bounce:
        m_decelerating = false;
        if (d)
            d->scrollViewDidEndDecelerating(self);
        break;
    case Motion::Animation:
        if (d)
            d->scrollViewDidEndScrollingAnimation(self);
        break;
    case Motion::ScrollToTop:
        if (d)
            d->scrollViewDidScrollToTop(self);
        break;
    case Motion::ZoomAnimation:
        m_zooming = false;
        if (d) {
            d->scrollViewDidEndZoomingWithViewAtScale(self, d->viewForZoomingInScrollView(self), m_zoomScale);
            d->scrollViewDidEndScrollingAnimation(self);
        }
        break;
    case Motion::None:
        break;
    }
}

// Indicators

void UIScrollView::showIndicators()
{
    m_indicatorsShown = true;
    if (m_indicatorTimer) {
        m_indicatorTimer->invalidate();
        m_indicatorTimer = nullptr;
    }
    if (m_showsVerticalIndicator && canScrollVertically() && !m_verticalIndicator) {
        m_verticalIndicator = makeScrollIndicator(IndicatorAxis::Vertical);
        addSubview(m_verticalIndicator);
    }
    if (m_showsHorizontalIndicator && canScrollHorizontally() && !m_horizontalIndicator) {
        m_horizontalIndicator = makeScrollIndicator(IndicatorAxis::Horizontal);
        addSubview(m_horizontalIndicator);
    }
    layoutIndicators();
    if (m_verticalIndicator && m_showsVerticalIndicator && canScrollVertically())
        m_verticalIndicator->setAlpha(1);
    if (m_horizontalIndicator && m_showsHorizontalIndicator && canScrollHorizontally())
        m_horizontalIndicator->setAlpha(1);
}

void UIScrollView::scheduleIndicatorFade(double delay)
{
    if (m_indicatorTimer)
        m_indicatorTimer->invalidate();
    Weak<UIScrollView> weak = protectedThis();
    m_indicatorTimer = NSTimer::timerWithTimeIntervalRepeatsBlock(delay, false, [weak](const Ref<NSTimer>&) {
        auto self = weak.lock();
        if (!self)
            return;
        self->m_indicatorTimer = nullptr;
        if (self->m_dragging || self->m_motion != Motion::None)
            return;
        self->m_indicatorsShown = false;
        if (self->m_verticalIndicator)
            self->m_verticalIndicator->setAlpha(0);
        if (self->m_horizontalIndicator)
            self->m_horizontalIndicator->setAlpha(0);
    });
    NSRunLoop::mainRunLoop()->addTimerForMode(m_indicatorTimer, NSRunLoopCommonModes);
}

Ref<UIImageView> UIScrollView::makeScrollIndicator(IndicatorAxis)
{
    auto indicator = UIImageView::initWithFrame(CGRectZero);
    indicator->setAlpha(0);
    indicator->setUserInteractionEnabled(false);
    return indicator;
}

// Places each indicator along its edge of the visible area, sized and placed in proportion to
// the part of the content that is visible.
void UIScrollView::layoutIndicators()
{
    if (!m_verticalIndicator && !m_horizontalIndicator)
        return;
    CGRect b = bounds();
    CGPoint minimum = minimumContentOffset();
    CGPoint maximum = maximumContentOffset();
    auto place = [](CGFloat track, CGFloat visible, CGFloat content, CGFloat offset, CGFloat low, CGFloat high) {
        CGFloat length = content > 0 ? track * std::min<CGFloat>(1, visible / content) : track;
        length = std::max(std::min(kIndicatorMinimumLength, track), length);
        CGFloat fraction = high > low ? std::clamp((offset - low) / (high - low), CGFloat(0), CGFloat(1)) : 0;
        return std::make_pair((track - length) * fraction, length);
    };
    UIEdgeInsets in = m_scrollIndicatorInsets;
    if (m_verticalIndicator) {
        CGFloat track = std::max<CGFloat>(0, b.size.height - in.top - in.bottom - 2 * kIndicatorMargin);
        auto [start, length] = place(track, b.size.height, m_contentSize.height, b.origin.y, minimum.y, maximum.y);
        m_verticalIndicator->setFrame(
            CGRectMake(b.origin.x + b.size.width - in.right - kIndicatorMargin - kIndicatorThickness,
                b.origin.y + in.top + kIndicatorMargin + start, kIndicatorThickness, length));
    }
    if (m_horizontalIndicator) {
        CGFloat track = std::max<CGFloat>(0, b.size.width - in.left - in.right - 2 * kIndicatorMargin);
        auto [start, length] = place(track, b.size.width, m_contentSize.width, b.origin.x, minimum.x, maximum.x);
        m_horizontalIndicator->setFrame(CGRectMake(b.origin.x + in.left + kIndicatorMargin + start,
            b.origin.y + b.size.height - in.bottom - kIndicatorMargin - kIndicatorThickness, length,
            kIndicatorThickness));
    }
}

bool UIScrollView::isVerticalScrollIndicatorVisible() const
{
    return m_verticalIndicator && m_verticalIndicator->alpha() > 0 && !m_verticalIndicator->isHidden()
        && m_showsVerticalIndicator && canScrollVertically();
}

bool UIScrollView::isHorizontalScrollIndicatorVisible() const
{
    return m_horizontalIndicator && m_horizontalIndicator->alpha() > 0 && !m_horizontalIndicator->isHidden()
        && m_showsHorizontalIndicator && canScrollHorizontally();
}

void UIScrollView::flashScrollIndicators()
{
    assertIsMainThread();
    showIndicators();
    if (!m_dragging && m_motion == Motion::None)
        scheduleIndicatorFade(kIndicatorFlashDuration);
}

// Scrolling in code

void UIScrollView::scrollRectToVisibleAnimated(CGRect rect, bool animated)
{
    assertIsMainThread();
    CGRect visible = bounds();
    CGPoint offset = visible.origin;
    auto axis = [](CGFloat origin, CGFloat length, CGFloat rectMin, CGFloat rectLength) {
        // A rect longer than the view shows its start.
        if (rectLength >= length || rectMin < origin)
            return rectMin;
        if (rectMin + rectLength > origin + length)
            return rectMin + rectLength - length;
        return origin;
    };
    offset.x = axis(visible.origin.x, visible.size.width, rect.origin.x, rect.size.width);
    offset.y = axis(visible.origin.y, visible.size.height, rect.origin.y, rect.size.height);
    offset = clampedOffset(offset);
    setContentOffsetAnimated(offset, animated);
}

bool UIScrollView::scrollToTop()
{
    assertIsMainThread();
    if (!m_scrollsToTop || !m_scrollEnabled)
        return false;
    auto self = protectedThis();
    if (auto* d = delegate(); d && !d->scrollViewShouldScrollToTop(self))
        return false;
    CGPoint top = CGPointMake(contentOffset().x, minimumContentOffset().y);
    if (top.y == contentOffset().y) {
        if (auto* d = delegate())
            d->scrollViewDidScrollToTop(self);
        return true;
    }
    startMotion(Motion::ScrollToTop, top, kAnimatedScrollDuration);
    return true;
}

// Zooming

void UIScrollView::applyZoomScale(CGFloat scale)
{
    auto self = protectedThis();
    auto* d = delegate();
    auto view = d ? d->viewForZoomingInScrollView(self) : nullptr;
    if (!view)
        return;
    m_zoomScale = scale;
    // The view keeps its bounds; scaled about its centre, it is placed at the content's origin.
    CGSize size = view->bounds().size;
    view->setTransform(CGAffineTransformMakeScale(scale, scale));
    view->setCenter(CGPointMake(size.width * scale / 2, size.height * scale / 2));
    m_contentSize = CGSizeMake(size.width * scale, size.height * scale);
    if ((d = delegate()))
        d->scrollViewDidZoom(self);
}

void UIScrollView::setZoomScaleAnimated(CGFloat scale, bool animated)
{
    assertIsMainThread();
    auto self = protectedThis();
    auto* d = delegate();
    auto view = d ? d->viewForZoomingInScrollView(self) : nullptr;
    if (!view)
        return;
    scale = std::clamp(scale, m_minimumZoomScale, std::max(m_minimumZoomScale, m_maximumZoomScale));
    if (scale == m_zoomScale)
        return;
    if (!animated) {
        stopMotion();
        applyZoomScale(scale);
        setContentOffset(clampedOffset(contentOffset()));
        return;
    }
    m_zoomFrom = m_zoomScale;
    m_zoomTo = scale;
    m_zooming = true;
    // The offset that keeps the view's centre in place at the new scale.
    CGSize size = bounds().size;
    CGPoint centre = CGPointMake(
        (contentOffset().x + size.width / 2) / m_zoomScale, (contentOffset().y + size.height / 2) / m_zoomScale);
    startMotion(Motion::ZoomAnimation,
        CGPointMake(centre.x * scale - size.width / 2, centre.y * scale - size.height / 2), kAnimatedScrollDuration);
    // Clamp the end against the content size the new scale will give.
    CGSize unscaled = CGSizeMake(m_contentSize.width / m_zoomScale, m_contentSize.height / m_zoomScale);
    CGPoint min = minimumContentOffset();
    m_motionTo.x
        = std::clamp(m_motionTo.x, min.x, std::max(min.x, unscaled.width * scale + m_contentInset.right - size.width));
    m_motionTo.y = std::clamp(
        m_motionTo.y, min.y, std::max(min.y, unscaled.height * scale + m_contentInset.bottom - size.height));
}

void UIScrollView::zoomToRectAnimated(CGRect rect, bool animated)
{
    assertIsMainThread();
    auto self = protectedThis();
    auto* d = delegate();
    auto view = d ? d->viewForZoomingInScrollView(self) : nullptr;
    if (!view || rect.size.width <= 0 || rect.size.height <= 0)
        return;
    CGSize size = bounds().size;
    CGFloat scale = std::min(size.width / rect.size.width, size.height / rect.size.height);
    scale = std::clamp(scale, m_minimumZoomScale, std::max(m_minimumZoomScale, m_maximumZoomScale));
    stopMotion();
    applyZoomScale(scale);
    CGPoint target = clampedOffset(
        CGPointMake(CGRectGetMidX(rect) * scale - size.width / 2, CGRectGetMidY(rect) * scale - size.height / 2));
    setContentOffsetAnimated(target, animated);
}

void UIScrollView::pinchBegan()
{
    assertIsMainThread();
    auto self = protectedThis();
    auto* d = delegate();
    auto view = d ? d->viewForZoomingInScrollView(self) : nullptr;
    if (!view)
        return;
    stopMotion();
    m_zooming = true;
    m_pinchStartScale = m_zoomScale;
    d->scrollViewWillBeginZoomingWithView(self, view);
}

void UIScrollView::pinchChanged(CGFloat relativeScale)
{
    assertIsMainThread();
    if (!m_zooming || relativeScale <= 0)
        return;
    CGFloat scale = m_pinchStartScale * relativeScale;
    CGFloat max = std::max(m_minimumZoomScale, m_maximumZoomScale);
    if (!m_bouncesZoom)
        scale = std::clamp(scale, m_minimumZoomScale, max);
    applyZoomScale(scale);
}

void UIScrollView::pinchEnded()
{
    assertIsMainThread();
    if (!m_zooming)
        return;
    m_zooming = false;
    auto self = protectedThis();
    CGFloat max = std::max(m_minimumZoomScale, m_maximumZoomScale);
    CGFloat settled = std::clamp(m_zoomScale, m_minimumZoomScale, max);
    if (settled != m_zoomScale)
        applyZoomScale(settled);
    setContentOffset(clampedOffset(contentOffset()));
    if (auto* d = delegate())
        d->scrollViewDidEndZoomingWithViewAtScale(self, d->viewForZoomingInScrollView(self), m_zoomScale);
}
