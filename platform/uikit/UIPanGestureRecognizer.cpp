#include "uikit/UIPanGestureRecognizer.h"

#include "uikit/UITouch.h"
#include "uikit/UIView.h"

#include <cmath>

namespace {
constexpr CGFloat kHysteresis = 10;

// Maps a window-space vector into a view's space (rotation and scale, without translation).
CGPoint vectorInView(CGPoint v, const Ref<UIView>& view)
{
    if (!view)
        return v;
    CGPoint a = view->convertPointFromView(CGPointZero, nullptr);
    CGPoint b = view->convertPointFromView(v, nullptr);
    return CGPointMake(b.x - a.x, b.y - a.y);
}

CGPoint vectorFromView(CGPoint v, const Ref<UIView>& view)
{
    if (!view)
        return v;
    CGPoint a = view->convertPointToView(CGPointZero, nullptr);
    CGPoint b = view->convertPointToView(v, nullptr);
    return CGPointMake(b.x - a.x, b.y - a.y);
}
} // namespace

CGPoint UIPanGestureRecognizer::translationInView(const Ref<UIView>& view) const
{
    CGPoint p = locationInView(nullptr);
    return vectorInView(CGPointMake(p.x - m_origin.x, p.y - m_origin.y), view);
}

void UIPanGestureRecognizer::setTranslationInView(CGPoint translation, const Ref<UIView>& view)
{
    CGPoint t = vectorFromView(translation, view);
    CGPoint p = locationInView(nullptr);
    m_origin = CGPointMake(p.x - t.x, p.y - t.y);
}

CGPoint UIPanGestureRecognizer::velocityInView(const Ref<UIView>& view) const
{
    return vectorInView(m_velocity, view);
}

void UIPanGestureRecognizer::sample(double timestamp)
{
    CGPoint p = locationInView(nullptr);
    double dt = timestamp - m_lastTime;
    if (dt > 0)
        m_velocity = CGPointMake(CGFloat((p.x - m_lastPoint.x) / dt), CGFloat((p.y - m_lastPoint.y) / dt));
    m_lastPoint = p;
    m_lastTime = timestamp;
}

void UIPanGestureRecognizer::followCentroid()
{
    // A finger joining or leaving moves the centroid without the hand moving: the translation
    // carries on from where it was.
    CGPoint p = locationInView(nullptr);
    m_origin = CGPointMake(m_origin.x + p.x - m_lastPoint.x, m_origin.y + p.y - m_lastPoint.y);
    m_lastPoint = p;
}

void UIPanGestureRecognizer::touchesBegan(const UITouchSet& touches, const Ref<UIEvent>& event)
{
    UIGestureRecognizer::touchesBegan(touches, event);
    if (numberOfTouches() > touches.size()) {
        followCentroid();
        if (!m_leavesStateToSubclass && state() == UIGestureRecognizerStatePossible
            && numberOfTouches() > m_maximumTouches)
            setState(UIGestureRecognizerStateFailed);
        return;
    }
    if (state() != UIGestureRecognizerStatePossible)
        return;
    if (!m_leavesStateToSubclass && numberOfTouches() > m_maximumTouches) {
        setState(UIGestureRecognizerStateFailed);
        return;
    }
    m_origin = locationInView(nullptr);
    m_lastPoint = m_origin;
    m_lastTime = touches.empty() ? 0 : touches.front()->timestamp();
    m_velocity = CGPointZero;
}

void UIPanGestureRecognizer::touchesMoved(const UITouchSet& touches, const Ref<UIEvent>& event)
{
    UIGestureRecognizer::touchesMoved(touches, event);
    sample(touches.empty() ? m_lastTime : touches.front()->timestamp());
    if (m_leavesStateToSubclass)
        return;
    if (state() == UIGestureRecognizerStatePossible) {
        CGPoint t = translationInView(nullptr);
        if (numberOfTouches() >= m_minimumTouches && std::hypot(t.x, t.y) >= kHysteresis)
            setState(UIGestureRecognizerStateBegan);
    } else if (state() == UIGestureRecognizerStateBegan || state() == UIGestureRecognizerStateChanged) {
        setState(UIGestureRecognizerStateChanged);
    }
}

void UIPanGestureRecognizer::touchesEnded(const UITouchSet& touches, const Ref<UIEvent>& event)
{
    UIGestureRecognizer::touchesEnded(touches, event);
    if (numberOfTouches() > 0) {
        followCentroid();
        return;
    }
    if (m_leavesStateToSubclass)
        return;
    if (state() == UIGestureRecognizerStateBegan || state() == UIGestureRecognizerStateChanged)
        setState(UIGestureRecognizerStateEnded);
    else if (state() == UIGestureRecognizerStatePossible)
        setState(UIGestureRecognizerStateFailed);
}

void UIPanGestureRecognizer::reset()
{
    m_velocity = CGPointZero;
    m_origin = CGPointZero;
}

VX_REGISTER_CLASS(UIPanGestureRecognizer);
