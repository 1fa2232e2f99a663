#include "uikit/UIGestureRecognizer.h"

#include "foundation/NSRunLoop.h"
#include "uikit/UITouch.h"
#include "uikit/UIView.h"

#include <algorithm>

namespace {

std::vector<Weak<UIGestureRecognizer>> s_pendingResets;
bool s_flushScheduled = false;

bool isTerminal(UIGestureRecognizerState s)
{
    return s == UIGestureRecognizerStateEnded || s == UIGestureRecognizerStateCancelled
        || s == UIGestureRecognizerStateFailed;
}

} // namespace

bool UIGestureRecognizer::prevents(const Ref<UIGestureRecognizer>& winner, const Ref<UIGestureRecognizer>& loser)
{
    if (!winner->canPreventGestureRecognizer(loser) || !loser->canBePreventedByGestureRecognizer(winner))
        return false;
    if (auto* d = winner->delegate();
        d && d->gestureRecognizerShouldRecognizeSimultaneouslyWithGestureRecognizer(winner, loser))
        return false;
    if (auto* d = loser->delegate();
        d && d->gestureRecognizerShouldRecognizeSimultaneouslyWithGestureRecognizer(loser, winner))
        return false;
    return true;
}

UIGestureRecognizer::~UIGestureRecognizer() = default;

void UIGestureRecognizer::addTargetAction(
    const Ref<NSObject>& target, const std::string& actionName, UIGestureRecognizerAction action)
{
    if (action)
        m_actions.push_back({ target, target != nullptr, actionName, std::move(action) });
}

void UIGestureRecognizer::removeTargetAction(const Ref<NSObject>& target, const std::string& actionName)
{
    m_actions.erase(std::remove_if(m_actions.begin(), m_actions.end(),
                        [&](const TargetAction& a) {
                            return (!target || a.target.lock() == target)
                                && (actionName.empty() || a.name == actionName);
                        }),
        m_actions.end());
}

void UIGestureRecognizer::sendActions()
{
    auto self_ = self<UIGestureRecognizer>();
    auto actions = m_actions;
    for (auto& a : actions) {
        if (a.hasTarget && a.target.expired())
            continue;
        a.action(self_);
    }
}

void UIGestureRecognizer::setState(UIGestureRecognizerState state)
{
    auto self_ = self<UIGestureRecognizer>();
    if (state == m_state) {
        if (state == UIGestureRecognizerStateChanged) {
            didChangeState(state);
            sendActions();
        }
        return;
    }
    bool recognizing = m_state == UIGestureRecognizerStatePossible
        && (state == UIGestureRecognizerStateBegan || state == UIGestureRecognizerStateEnded);
    if (recognizing) {
        // Another recognizer of the same touches that already recognized wins.
        for (auto& touch : m_touches) {
            for (auto& other : touch->gestureRecognizers()) {
                auto s = other->state();
                if (other != self_ && (s == UIGestureRecognizerStateBegan || s == UIGestureRecognizerStateChanged)
                    && prevents(other, self_)) {
                    applyState(UIGestureRecognizerStateFailed);
                    return;
                }
            }
        }
        for (auto& weak : m_requiredToFail) {
            auto required = weak.lock();
            if (!required)
                continue;
            if (required->isTrackingInternal()) {
                m_pendingState = state;
                required->m_waitingOnMe.push_back(self_);
                return;
            }
            auto s = required->state();
            if (s == UIGestureRecognizerStateBegan || s == UIGestureRecognizerStateChanged
                || s == UIGestureRecognizerStateEnded) {
                applyState(UIGestureRecognizerStateFailed);
                return;
            }
        }
        if (auto* d = delegate(); d && !d->gestureRecognizerShouldBegin(self_)) {
            applyState(UIGestureRecognizerStateFailed);
            return;
        }
    }
    applyState(state);
}

void UIGestureRecognizer::applyState(UIGestureRecognizerState state)
{
    auto self_ = self<UIGestureRecognizer>();
    bool wasPossible = m_state == UIGestureRecognizerStatePossible;
    m_state = state;
    bool recognized = wasPossible && (state == UIGestureRecognizerStateBegan || state == UIGestureRecognizerStateEnded);
    if (recognized) {
        m_pendingState.reset();
        excludeOthers();
    }
    didChangeState(state);
    // The gesture's actions run first; then the views lose the touches it took.
    if (state != UIGestureRecognizerStateFailed && state != UIGestureRecognizerStatePossible)
        sendActions();
    if (recognized && m_cancelsTouchesInView)
        cancelViewTouches();
    if (isTerminal(state)) {
        auto waiting = std::move(m_waitingOnMe);
        m_waitingOnMe.clear();
        for (auto& weak : waiting) {
            if (auto w = weak.lock())
                w->requiredRecognizerFinished(this, state == UIGestureRecognizerStateFailed);
        }
        s_pendingResets.push_back(self_);
        // Terminal states reached outside an event (timers) reset on the next pass.
        if (!s_flushScheduled) {
            s_flushScheduled = true;
            NSRunLoop::mainRunLoop()->performInModesBlock({ NSRunLoopCommonModes }, [] { flushResets(); });
        }
    }
}

void UIGestureRecognizer::requiredRecognizerFinished(const UIGestureRecognizer* other, bool failed)
{
    if (!m_pendingState)
        return;
    auto self_ = self<UIGestureRecognizer>();
    if (!failed) {
        applyState(UIGestureRecognizerStateFailed);
        return;
    }
    for (auto& weak : m_requiredToFail) {
        auto required = weak.lock();
        if (required && required.get() != other && required->isTrackingInternal()) {
            required->m_waitingOnMe.push_back(self_);
            return;
        }
    }
    auto pending = *m_pendingState;
    m_pendingState.reset();
    if (auto* d = delegate(); d && !d->gestureRecognizerShouldBegin(self_)) {
        applyState(UIGestureRecognizerStateFailed);
        return;
    }
    applyState(pending);
}

void UIGestureRecognizer::excludeOthers()
{
    auto self_ = self<UIGestureRecognizer>();
    std::vector<Ref<UIGestureRecognizer>> others;
    for (auto& touch : m_touches) {
        for (auto& other : touch->gestureRecognizers()) {
            if (other != self_ && std::find(others.begin(), others.end(), other) == others.end())
                others.push_back(other);
        }
    }
    for (auto& other : others) {
        if (other->state() == UIGestureRecognizerStatePossible && prevents(self_, other)) {
            other->m_pendingState.reset();
            other->applyState(UIGestureRecognizerStateFailed);
        }
    }
}

void UIGestureRecognizer::cancelViewTouches()
{
    for (auto& touch : std::vector<Ref<UITouch>>(m_touches)) {
        if (touch->isCancelledForView())
            continue;
        // Touches the view has already finished with are marked cancelled by the delivery.
        touch->setCancelledForView(true);
        if (auto view = touch->view(); view && touch->viewBegan())
            view->touchesCancelled({ touch }, nullptr);
    }
}

void UIGestureRecognizer::setEnabled(bool enabled)
{
    if (enabled == m_enabled)
        return;
    m_enabled = enabled;
    if (enabled)
        return;
    if (m_state == UIGestureRecognizerStateBegan || m_state == UIGestureRecognizerStateChanged)
        applyState(UIGestureRecognizerStateCancelled);
    else if (m_state == UIGestureRecognizerStatePossible && m_engaged)
        resetNow();
}

bool UIGestureRecognizer::receivesTouch(const Ref<UITouch>& touch)
{
    if (!m_enabled || isTerminal(m_state))
        return false;
    if (auto* d = delegate(); d && !d->gestureRecognizerShouldReceiveTouch(self<UIGestureRecognizer>(), touch))
        return false;
    return true;
}

void UIGestureRecognizer::addTouchInternal(const Ref<UITouch>& touch)
{
    m_touches.push_back(touch);
    m_engaged = true;
}

void UIGestureRecognizer::resetNow()
{
    m_touches.clear();
    m_engaged = false;
    m_pendingState.reset();
    m_waitingOnMe.clear();
    reset();
    m_state = UIGestureRecognizerStatePossible;
}

void UIGestureRecognizer::flushResets()
{
    s_flushScheduled = false;
    auto pending = std::move(s_pendingResets);
    s_pendingResets.clear();
    for (auto& weak : pending) {
        auto r = weak.lock();
        if (!r || !isTerminal(r->m_state))
            continue;
        // A recognizer keeps its terminal state (and gets no more of them) until its touches
        // have all lifted; the delivery of the last one flushes again.
        if (r->numberOfTouches() > 0)
            s_pendingResets.push_back(r);
        else
            r->resetNow();
    }
}

CGPoint UIGestureRecognizer::locationInView(const Ref<UIView>& view) const
{
    std::vector<Ref<UITouch>> active;
    for (auto& t : m_touches) {
        if (t->phase() != UITouchPhaseEnded && t->phase() != UITouchPhaseCancelled)
            active.push_back(t);
    }
    if (active.empty() && !m_touches.empty())
        active.push_back(m_touches.back());
    if (active.empty())
        return CGPointZero;
    CGPoint sum {};
    for (auto& t : active) {
        CGPoint p = t->locationInView(view);
        sum.x += p.x;
        sum.y += p.y;
    }
    return CGPointMake(sum.x / CGFloat(active.size()), sum.y / CGFloat(active.size()));
}

uint32_t UIGestureRecognizer::numberOfTouches() const
{
    return static_cast<uint32_t>(std::count_if(m_touches.begin(), m_touches.end(),
        [](const Ref<UITouch>& t) { return t->phase() != UITouchPhaseEnded && t->phase() != UITouchPhaseCancelled; }));
}

CGPoint UIGestureRecognizer::locationOfTouchInView(uint32_t index, const Ref<UIView>& view) const
{
    uint32_t i = 0;
    for (auto& t : m_touches) {
        if (t->phase() == UITouchPhaseEnded || t->phase() == UITouchPhaseCancelled)
            continue;
        if (i++ == index)
            return t->locationInView(view);
    }
    return CGPointZero;
}

void UIGestureRecognizer::touchesBegan(const UITouchSet&, const Ref<UIEvent>&) { }
void UIGestureRecognizer::touchesMoved(const UITouchSet&, const Ref<UIEvent>&) { }
void UIGestureRecognizer::touchesEnded(const UITouchSet&, const Ref<UIEvent>&) { }

void UIGestureRecognizer::touchesCancelled(const UITouchSet&, const Ref<UIEvent>&)
{
    if (m_state == UIGestureRecognizerStateBegan || m_state == UIGestureRecognizerStateChanged)
        setState(UIGestureRecognizerStateCancelled);
    else if (m_state == UIGestureRecognizerStatePossible)
        setState(UIGestureRecognizerStateFailed);
}

VX_REGISTER_CLASS(UIGestureRecognizer);
