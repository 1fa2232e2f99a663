#pragma once

#include "foundation/NSObject.h"

#include <condition_variable>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

class NSPort;

inline constexpr const char* NSDefaultRunLoopMode = "kCFRunLoopDefaultMode";
inline constexpr const char* NSRunLoopCommonModes = "kCFRunLoopCommonModes";
inline constexpr const char* UITrackingRunLoopMode = "UITrackingRunLoopMode";

// A thread's event loop. Each pass, in the mode it runs in, it runs:
//   1. the queued blocks (performs sent from other threads) in the order they were queued,
//   2. on the main thread, the main dispatch queue (in every mode),
//   3. the timers and delayed performs whose time has come, in time order.
// Only work present when the pass starts runs in it: work added during a pass runs on the next
// one, so chains of zero-delay performs cannot starve the loop. Items registered for
// NSRunLoopCommonModes run in the default and tracking modes.
//
// Run loops are made on first use, one per thread; methods other than the running ones may be
// called from any thread. The run methods run the calling thread's own loop.
class NSRunLoop : public NSObject {
    VX_OBJECT(NSRunLoop, NSObject)

public:
    NSRunLoop(Passkey, bool isMain);
    ~NSRunLoop() override;

    static Ref<NSRunLoop> currentRunLoop();
    static Ref<NSRunLoop> mainRunLoop();

    void addTimerForMode(const Ref<NSTimer>& timer, const std::string& mode);
    void addPortForMode(const Ref<NSPort>& port, const std::string& mode);
    void removePortForMode(const Ref<NSPort>& port, const std::string& mode);
    // Queues a block to run on this loop's thread in one of the modes.
    void performInModesBlock(const std::vector<std::string>& modes, std::function<void()> block);

    // Runs passes in the default mode for as long as the mode has ports or timers.
    void run();
    // Runs passes in the default mode until the date (seconds since 1970).
    void runUntilDate(double secondsSince1970);
    // Runs the loop in `mode` until something has been handled, the date passes or stop() is
    // called. Returns false at once when the mode has no ports, timers or queued work.
    bool runModeBeforeDate(const std::string& mode, double secondsSince1970);
    // The mode of the innermost pass in progress; nullopt when the loop is not running.
    std::optional<std::string> currentMode() const;
    // Makes the innermost runModeBeforeDate return after its current pass.
    void stop();

    // Runs exactly one pass in `mode` without waiting; true when anything ran.
    bool runPass(const std::string& mode);
    // True when a pass in `mode` would run something that is not a repeating timer.
    bool hasPendingWorkInMode(const std::string& mode) const;
    // Wakes the loop's thread if it is waiting.
    void wakeUp();
    // Every loop re-reads its timers' fire dates (after a timer's date changed).
    static void timerScheduleChanged();
    // Test-only: invalidates the loop's timers and drops its ports, delayed and queued performs.
    void resetForTesting();
    // Makes `loop` the calling thread's loop (used by NSThread for the loop it owns).
    static void bindToCurrentThread(const Ref<NSRunLoop>& loop);

    // Delayed performs, as made by the free functions below.
    void addDelayedPerform(Ref<NSObject> target, std::string selectorName, std::function<void()> action,
        NSTimeInterval delay, std::vector<std::string> modes);
    void cancelDelayedPerforms(const NSObject* target, const std::string* selectorName);

private:
    struct TimerEntry {
        Ref<NSTimer> timer;
        std::string mode;
        uint64_t sequence;
    };
    struct DelayedPerform {
        double due;
        uint64_t sequence;
        Ref<NSObject> target;
        std::string selectorName;
        std::function<void()> action;
        std::vector<std::string> modes;
    };
    struct QueuedBlock {
        std::function<void()> block;
        std::vector<std::string> modes;
    };

    static bool modeMatches(const std::string& itemMode, const std::string& mode);
    static bool modesMatch(const std::vector<std::string>& itemModes, const std::string& mode);
    bool hasInputInModeLocked(const std::string& mode) const;
    std::optional<double> nextDueLocked(const std::string* mode, double after) const;
    void posted();

    const bool m_isMain;
    int m_providerId = 0;
    mutable std::mutex m_lock;
    std::condition_variable m_cv;
    std::vector<TimerEntry> m_timers;
    std::vector<DelayedPerform> m_delayed;
    // Delayed performs taken by the pass in progress; a cancel during the pass still stops them.
    std::vector<std::shared_ptr<DelayedPerform>> m_firing;
    std::deque<QueuedBlock> m_queued;
    std::vector<std::pair<Ref<NSPort>, std::string>> m_ports;
    std::vector<std::string> m_modeStack;
    uint64_t m_sequence = 0;
    bool m_woken = false;
    bool m_stopRequested = false;
};

// The platform's delayed performs. The action runs on the calling thread's run loop after
// `delay` seconds in one of `modes`; `target` is kept alive until then. `selectorName` names the
// request so that it can be cancelled by name.
void performSelectorAfterDelay(const Ref<NSObject>& target, std::string selectorName, std::function<void()> action,
    NSTimeInterval delay, std::vector<std::string> modes = { NSDefaultRunLoopMode });
// Cancels the calling thread's delayed performs for `target` (all of them, or those named
// `selectorName`).
void cancelPreviousPerformRequestsWithTarget(const Ref<NSObject>& target);
void cancelPreviousPerformRequestsWithTarget(const NSObject* target);
void cancelPreviousPerformRequestsWithTargetSelector(const Ref<NSObject>& target, const std::string& selectorName);
