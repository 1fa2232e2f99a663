#include "graphics/CADisplayLink.h"

#include "foundation/NSRunLoop.h"
#include "foundation/NSTimer.h"
#include "graphics/CATransaction.h"

#include <algorithm>

CADisplayLink::CADisplayLink(Passkey key, Ref<NSObject> target, Action action)
    : NSObject(key)
    , m_target(std::move(target))
    , m_action(std::move(action))
{
}

CADisplayLink::~CADisplayLink()
{
    for (auto& entry : m_timers)
        entry.first->invalidate();
}

Ref<CADisplayLink> CADisplayLink::displayLinkWithTargetSelector(Ref<NSObject> target, Action action)
{
    return make<CADisplayLink>(std::move(target), std::move(action));
}

void CADisplayLink::addToRunLoopForMode(const Ref<NSRunLoop>& runLoop, const std::string& mode)
{
    if (!runLoop || !m_valid)
        return;
    // One frame timer per run loop and mode. The timer holds the link (and so its target) until
    // the link is invalidated, as the run loop holds a display link on the platform.
    auto self = this->self<CADisplayLink>();
    auto timer
        = NSTimer::timerWithTimeIntervalRepeatsBlock(1.0 / 60, true, [self](const Ref<NSTimer>& t) { self->tick(t); });
    runLoop->addTimerForMode(timer, mode);
    m_timers.push_back({ timer, { runLoop, mode } });
}

void CADisplayLink::removeFromRunLoopForMode(const Ref<NSRunLoop>& runLoop, const std::string& mode)
{
    for (auto it = m_timers.begin(); it != m_timers.end();) {
        if (it->second.first.lock() == runLoop && it->second.second == mode) {
            it->first->invalidate();
            it = m_timers.erase(it);
        } else {
            ++it;
        }
    }
}

void CADisplayLink::invalidate()
{
    if (!m_valid)
        return;
    m_valid = false;
    auto timers = std::move(m_timers);
    m_timers.clear();
    for (auto& entry : timers)
        entry.first->invalidate();
    m_target.reset();
    m_action = nullptr;
}

void CADisplayLink::setFrameInterval(int32_t interval)
{
    if (interval >= 1)
        m_frameInterval = interval;
}

void CADisplayLink::tick(const Ref<NSTimer>&)
{
    if (!m_valid)
        return;
    ++m_frameCount;
    if (m_paused || m_frameCount % m_frameInterval != 0)
        return;
    m_timestamp = CACurrentMediaTime();
    auto self = this->self<CADisplayLink>();
    auto action = m_action;
    if (action)
        action(self);
}

VX_REGISTER_CLASS(CADisplayLink);
