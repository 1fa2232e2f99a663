#include "grid/LGridMultiTouchRecognizer.h"

#include "foundation/NSRunLoop.h"
#include "uikit/UITouch.h"
#include "uikit/UIView.h"

#include <algorithm>

LGridMultiTouchRecognizer::~LGridMultiTouchRecognizer()
{
    cancelPreviousPerformRequestsWithTarget(this);
}

Ref<LGridMultiTouchRecognizer> LGridMultiTouchRecognizer::initWithTargetActionAndPossibleAction(
    const Ref<NSObject>& target, const std::string& actionName, UIGestureRecognizerAction action,
    UIGestureRecognizerAction possibleAction)
{
    auto recognizer = make<LGridMultiTouchRecognizer>();
    recognizer->addTargetAction(target, actionName, std::move(action));
    recognizer->m_target = target;
    recognizer->m_possibleAction = std::move(possibleAction);
    return recognizer;
}

void LGridMultiTouchRecognizer::touchesBegan(const UITouchSet& touches, const Ref<UIEvent>& event)
{
    UIGestureRecognizer::touchesBegan(touches, event);
    setEngaged(true);
    m_totalTouches += static_cast<int32_t>(touches.size());
    for (const auto& touch : touches) {
        if (std::find(m_touches.begin(), m_touches.end(), touch) == m_touches.end())
            m_touches.push_back(touch);
    }
    if (m_touches.size() == 2) {
        m_holdWait = true;
        performSelectorAfterDelay(
            self<LGridMultiTouchRecognizer>(), "holdComplete",
            [weak = Weak<LGridMultiTouchRecognizer>(self<LGridMultiTouchRecognizer>())] {
                if (auto recognizer = weak.lock())
                    recognizer->holdComplete();
            },
            0.25);
        if (m_possibleAction && !m_target.expired())
            m_possibleAction(self<LGridMultiTouchRecognizer>());
    } else if (m_touches.size() < 2) {
        setState(UIGestureRecognizerStatePossible);
    } else {
        setState(UIGestureRecognizerStateFailed);
    }
}

void LGridMultiTouchRecognizer::holdComplete()
{
    m_holdWait = false;
    if (state() == UIGestureRecognizerStatePossible)
        setState(UIGestureRecognizerStateBegan);
}

void LGridMultiTouchRecognizer::touchesMoved(const UITouchSet& touches, const Ref<UIEvent>& event)
{
    UIGestureRecognizer::touchesMoved(touches, event);
    if (m_touches.size() == 1)
        setState(UIGestureRecognizerStateFailed);
    else if (m_touches.size() == 2 && !m_holdWait
        && (state() == UIGestureRecognizerStateBegan || state() == UIGestureRecognizerStateChanged))
        setState(UIGestureRecognizerStateChanged);
}

void LGridMultiTouchRecognizer::touchesEnded(const UITouchSet& touches, const Ref<UIEvent>& event)
{
    UIGestureRecognizer::touchesEnded(touches, event);
    if (state() == UIGestureRecognizerStateBegan || state() == UIGestureRecognizerStateChanged)
        setState(UIGestureRecognizerStateEnded);
    else if (state() == UIGestureRecognizerStatePossible)
        setState(UIGestureRecognizerStateFailed);
}

void LGridMultiTouchRecognizer::touchesCancelled(const UITouchSet& touches, const Ref<UIEvent>& event)
{
    UIGestureRecognizer::touchesCancelled(touches, event);
    if (state() != UIGestureRecognizerStateFailed && state() != UIGestureRecognizerStateCancelled)
        setState(UIGestureRecognizerStateCancelled);
}

void LGridMultiTouchRecognizer::reset()
{
    UIGestureRecognizer::reset();
    m_touches.clear();
    m_totalTouches = 0;
    m_holdWait = false;
    // A late hold must never begin the next gesture.
    cancelPreviousPerformRequestsWithTarget(this);
}

CGPoint LGridMultiTouchRecognizer::touchPointAtIndex(int32_t index) const
{
    if (index < 0 || static_cast<size_t>(index) >= m_touches.size())
        return CGPointZero;
    return m_touches[static_cast<size_t>(index)]->locationInView(view());
}

void LGridMultiTouchRecognizer::leftTouchAndRight(CGPoint* left, CGPoint* right) const
{
    CGPoint a = touchPointAtIndex(0);
    CGPoint b = touchPointAtIndex(1);
    if (a.x < b.x) {
        *left = a;
        *right = b;
    } else {
        *left = b;
        *right = a;
    }
}
