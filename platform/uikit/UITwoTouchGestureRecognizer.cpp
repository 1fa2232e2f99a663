#include "uikit/UITwoTouchGestureRecognizer.h"

#include "uikit/UITouch.h"

namespace {

bool isDown(const Ref<UITouch>& t)
{
    return t->phase() != UITouchPhaseEnded && t->phase() != UITouchPhaseCancelled;
}

} // namespace

std::optional<std::pair<CGPoint, CGPoint>> UITwoTouchGestureRecognizer::pairPoints() const
{
    CGPoint points[2] = {};
    int n = 0;
    for (const auto& t : trackedTouches()) {
        if (!isDown(t))
            continue;
        points[n] = t->locationInView(nullptr);
        if (++n == 2)
            return std::make_pair(points[0], points[1]);
    }
    return std::nullopt;
}

void UITwoTouchGestureRecognizer::followPair()
{
    const UITouch* pair[2] = {};
    int n = 0;
    for (const auto& t : trackedTouches()) {
        if (isDown(t) && n < 2)
            pair[n++] = t.get();
    }
    if (n < 2 || (pair[0] == m_first && pair[1] == m_second))
        return;
    m_first = pair[0];
    m_second = pair[1];
    pairChanged();
}

double UITwoTouchGestureRecognizer::eventTime(const UITouchSet& touches) const
{
    return touches.empty() ? m_lastTime : touches.front()->timestamp();
}

void UITwoTouchGestureRecognizer::touchesBegan(const UITouchSet& touches, const Ref<UIEvent>& event)
{
    UIGestureRecognizer::touchesBegan(touches, event);
    m_lastTime = eventTime(touches);
    followPair();
}

void UITwoTouchGestureRecognizer::touchesEnded(const UITouchSet& touches, const Ref<UIEvent>& event)
{
    UIGestureRecognizer::touchesEnded(touches, event);
    uint32_t left = numberOfTouches();
    if (state() == UIGestureRecognizerStateBegan || state() == UIGestureRecognizerStateChanged) {
        if (left < 2)
            setState(UIGestureRecognizerStateEnded);
        else
            followPair();
        return;
    }
    if (state() != UIGestureRecognizerStatePossible)
        return;
    if (left == 0) {
        setState(UIGestureRecognizerStateFailed);
        return;
    }
    // The pair broke before the gesture began: a new second finger starts afresh.
    m_first = m_second = nullptr;
    pairRestarted();
    followPair();
}

void UITwoTouchGestureRecognizer::reset()
{
    UIGestureRecognizer::reset();
    m_first = m_second = nullptr;
}
