#pragma once

#include "app/core/analytics/EventQueue.h"
#include "foundation/NSObject.h"

class NSNotification;
class NSTimer;

// The analytics client: keeps a usage session open while the application is in the foreground,
// reports its length every 60 seconds (whole seconds; the fraction waits for the next report),
// ends it on entering the background and begins a new one on return, and hands recorded events
// to the request queue in batches of ten distinct events, at each timer tick and on entering the
// background. Main thread only.
class Tally : public NSObject {
    VX_OBJECT(Tally, NSObject)
public:
    explicit Tally(Passkey key)
        : NSObject(key)
    {
    }
    static Ref<Tally> sharedInstance();
    // Test-only: stops the timer and forgets the shared client.
    static void resetSharedInstanceForTesting();

    void startWithHost(const std::string& appKey, const std::string& appHost);
    void recordEventCount(const std::string& key, int32_t count);
    void recordEventCountSum(const std::string& key, int32_t count, double sum);
    void recordEventSegmentationCount(const std::string& key, const Value& segmentation, int32_t count);
    void recordEventSegmentationCountSum(const std::string& key, const Value& segmentation, int32_t count, double sum);

    void onTimer(const Ref<NSTimer>& timer);
    void suspend();
    void resume();
    // Does nothing: a session open at termination is not ended.
    void exit() { }

    void didEnterBackgroundCallBack(const Ref<NSNotification>&) { suspend(); }
    void willEnterForegroundCallBack(const Ref<NSNotification>&) { resume(); }
    void willTerminateCallBack(const Ref<NSNotification>&) { exit(); }

    double unsentSessionLength() const { return m_unsentSessionLength; }
    bool isSuspended() const { return m_isSuspended; }
    const Ref<EventQueue>& eventQueue() const { return m_eventQueue; }
    const Ref<NSTimer>& timer() const { return m_timer; }

private:
    void flushEventsIfFull();
    void sendEvents();

    double m_unsentSessionLength { 0 };
    Ref<NSTimer> m_timer;
    double m_lastTime { 0 };
    bool m_isSuspended { false };
    Ref<EventQueue> m_eventQueue;
};
