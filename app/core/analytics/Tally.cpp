#include "app/core/analytics/Tally.h"

#include "app/core/analytics/ConnectionQueue.h"
#include "foundation/Clock.h"
#include "foundation/NSNotificationCenter.h"
#include "foundation/NSTimer.h"
#include "foundation/ThreadChecks.h"
#include "uikit/UIApplication.h"

VX_REGISTER_CLASS(Tally);

namespace {
Ref<Tally>& instanceSlot()
{
    static Ref<Tally> s_instance;
    return s_instance;
}
} // namespace

Ref<Tally> Tally::sharedInstance()
{
    auto& slot = instanceSlot();
    if (!slot) {
        auto tally = make<Tally>();
        tally->m_eventQueue = EventQueue::init();
        auto center = NSNotificationCenter::defaultCenter();
        center->addObserver(tally, &Tally::didEnterBackgroundCallBack,
            std::string(UIApplicationDidEnterBackgroundNotification), nullptr);
        center->addObserver(tally, &Tally::willEnterForegroundCallBack,
            std::string(UIApplicationWillEnterForegroundNotification), nullptr);
        center->addObserver(
            tally, &Tally::willTerminateCallBack, std::string(UIApplicationWillTerminateNotification), nullptr);
        slot = tally;
    }
    return slot;
}

void Tally::resetSharedInstanceForTesting()
{
    if (auto& slot = instanceSlot()) {
        if (slot->m_timer)
            slot->m_timer->invalidate();
        NSNotificationCenter::defaultCenter()->removeObserver(slot);
    }
    instanceSlot() = nullptr;
}

void Tally::startWithHost(const std::string& appKey, const std::string& appHost)
{
    assertIsMainThread();
    Weak<Tally> weak = self<Tally>();
    m_timer = NSTimer::scheduledTimerWithTimeIntervalRepeatsBlock(60.0, true, [weak](const Ref<NSTimer>& timer) {
        if (auto tally = weak.lock())
            tally->onTimer(timer);
    });
    m_lastTime = Clock::mediaTime();
    auto queue = ConnectionQueue::sharedInstance();
    queue->setAppKey(appKey);
    queue->setAppHost(appHost);
    queue->beginSession();
}

void Tally::flushEventsIfFull()
{
    if (m_eventQueue->count() > 9)
        ConnectionQueue::sharedInstance()->recordEvents(m_eventQueue->events());
}

void Tally::sendEvents()
{
    if (m_eventQueue->count() > 0)
        ConnectionQueue::sharedInstance()->recordEvents(m_eventQueue->events());
}

void Tally::recordEventCount(const std::string& key, int32_t count)
{
    m_eventQueue->recordEventCount(key, count);
    flushEventsIfFull();
}

void Tally::recordEventCountSum(const std::string& key, int32_t count, double sum)
{
    m_eventQueue->recordEventCountSum(key, count, sum);
    flushEventsIfFull();
}

void Tally::recordEventSegmentationCount(const std::string& key, const Value& segmentation, int32_t count)
{
    m_eventQueue->recordEventSegmentationCount(key, segmentation, count);
    flushEventsIfFull();
}

void Tally::recordEventSegmentationCountSum(
    const std::string& key, const Value& segmentation, int32_t count, double sum)
{
    m_eventQueue->recordEventSegmentationCountSum(key, segmentation, count, sum);
    flushEventsIfFull();
}

void Tally::onTimer(const Ref<NSTimer>&)
{
    if (m_isSuspended)
        return;
    double now = Clock::mediaTime();
    m_unsentSessionLength += now - m_lastTime;
    m_lastTime = now;
    int32_t duration = int32_t(m_unsentSessionLength);
    ConnectionQueue::sharedInstance()->updateSessionWithDuration(duration);
    m_unsentSessionLength -= duration;
    sendEvents();
}

void Tally::suspend()
{
    m_isSuspended = true;
    sendEvents();
    m_unsentSessionLength += Clock::mediaTime() - m_lastTime;
    int32_t duration = int32_t(m_unsentSessionLength);
    ConnectionQueue::sharedInstance()->endSessionWithDuration(duration);
    m_unsentSessionLength -= duration;
}

void Tally::resume()
{
    m_lastTime = Clock::mediaTime();
    ConnectionQueue::sharedInstance()->beginSession();
    m_isSuspended = false;
}
