#include "foundation/NSRunLoop.h"

#include "foundation/Clock.h"
#include "foundation/Dispatch.h"
#include "foundation/DispatchWork.h"
#include "foundation/NSPort.h"
#include "foundation/NSTimer.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <set>

#include <sys/syscall.h>
#include <unistd.h>

namespace {

bool onMainThread()
{
    return static_cast<pid_t>(syscall(SYS_gettid)) == getpid();
}

thread_local Ref<NSRunLoop> t_loop;

std::mutex& s_loopsLock = *new std::mutex; // never destroyed: loops may outlive exit
std::set<NSRunLoop*>& allLoops()
{
    static auto* s_loops = new std::set<NSRunLoop*>;
    return *s_loops;
}

double mediaDeadline(double secondsSince1970)
{
    if (std::isinf(secondsSince1970))
        return secondsSince1970;
    return Clock::mediaTime() + (secondsSince1970 - Clock::wallTime());
}

} // namespace

NSRunLoop::NSRunLoop(Passkey key, bool isMain)
    : NSObject(key)
    , m_isMain(isMain)
{
    m_providerId = Clock::addDueTimeProvider([this](double after) {
        std::lock_guard guard(m_lock);
        return nextDueLocked(nullptr, after);
    });
    std::lock_guard guard(s_loopsLock);
    allLoops().insert(this);
}

NSRunLoop::~NSRunLoop()
{
    Clock::removeDueTimeProvider(m_providerId);
    std::lock_guard guard(s_loopsLock);
    allLoops().erase(this);
}

Ref<NSRunLoop> NSRunLoop::mainRunLoop()
{
    // Never destroyed: objects torn down at process exit (shared managers that stop their
    // monitoring in their destructors) may still ask for the main run loop.
    static Ref<NSRunLoop>* s_main = new Ref<NSRunLoop>(make<NSRunLoop>(true));
    return *s_main;
}

Ref<NSRunLoop> NSRunLoop::currentRunLoop()
{
    if (onMainThread())
        return mainRunLoop();
    if (!t_loop)
        t_loop = make<NSRunLoop>(false);
    return t_loop;
}

void NSRunLoop::resetForTesting()
{
    std::vector<TimerEntry> timers;
    std::vector<DelayedPerform> delayed;
    std::deque<QueuedBlock> queued;
    std::vector<std::pair<Ref<NSPort>, std::string>> ports;
    {
        std::lock_guard guard(m_lock);
        timers.swap(m_timers);
        delayed.swap(m_delayed);
        queued.swap(m_queued);
        ports.swap(m_ports);
    }
    for (auto& entry : timers)
        entry.timer->invalidate();
}

void NSRunLoop::bindToCurrentThread(const Ref<NSRunLoop>& loop)
{
    t_loop = loop;
}

bool NSRunLoop::modeMatches(const std::string& itemMode, const std::string& mode)
{
    if (itemMode == mode)
        return true;
    return itemMode == NSRunLoopCommonModes && (mode == NSDefaultRunLoopMode || mode == UITrackingRunLoopMode);
}

bool NSRunLoop::modesMatch(const std::vector<std::string>& itemModes, const std::string& mode)
{
    return std::any_of(itemModes.begin(), itemModes.end(), [&](auto& m) { return modeMatches(m, mode); });
}

void NSRunLoop::posted()
{
    // Called with m_lock held.
    m_woken = true;
    Clock::wake(m_cv);
    if (m_isMain)
        DispatchWork::changed();
}

void NSRunLoop::wakeUp()
{
    std::lock_guard guard(m_lock);
    posted();
}

void NSRunLoop::timerScheduleChanged()
{
    std::lock_guard guard(s_loopsLock);
    for (auto* loop : allLoops())
        loop->wakeUp();
}

void NSRunLoop::addTimerForMode(const Ref<NSTimer>& timer, const std::string& mode)
{
    if (!timer || !timer->isValid())
        return;
    std::lock_guard guard(m_lock);
    for (auto& entry : m_timers) {
        if (entry.timer == timer && entry.mode == mode)
            return;
    }
    m_timers.push_back({ timer, mode, m_sequence++ });
    posted();
}

void NSRunLoop::addPortForMode(const Ref<NSPort>& port, const std::string& mode)
{
    if (!port)
        return;
    std::lock_guard guard(m_lock);
    m_ports.emplace_back(port, mode);
    posted();
}

void NSRunLoop::removePortForMode(const Ref<NSPort>& port, const std::string& mode)
{
    std::lock_guard guard(m_lock);
    std::erase_if(m_ports, [&](auto& entry) { return entry.first == port && entry.second == mode; });
    posted();
}

void NSRunLoop::performInModesBlock(const std::vector<std::string>& modes, std::function<void()> block)
{
    if (!block || modes.empty())
        return;
    std::lock_guard guard(m_lock);
    m_queued.push_back({ std::move(block), modes });
    posted();
}

void NSRunLoop::addDelayedPerform(Ref<NSObject> target, std::string selectorName, std::function<void()> action,
    NSTimeInterval delay, std::vector<std::string> modes)
{
    if (!action || modes.empty())
        return;
    double due = Clock::mediaTime() + std::max(0.0, delay);
    std::lock_guard guard(m_lock);
    m_delayed.push_back(
        { due, m_sequence++, std::move(target), std::move(selectorName), std::move(action), std::move(modes) });
    posted();
}

void NSRunLoop::cancelDelayedPerforms(const NSObject* target, const std::string* selectorName)
{
    std::vector<DelayedPerform> cancelled; // released outside the lock
    {
        std::lock_guard guard(m_lock);
        auto keep = std::stable_partition(m_delayed.begin(), m_delayed.end(), [&](const DelayedPerform& p) {
            return !(p.target.get() == target && (!selectorName || p.selectorName == *selectorName));
        });
        std::move(keep, m_delayed.end(), std::back_inserter(cancelled));
        m_delayed.erase(keep, m_delayed.end());
        std::erase_if(m_firing, [&](auto& p) {
            if (p->target.get() == target && (!selectorName || p->selectorName == *selectorName)) {
                cancelled.push_back(std::move(*p));
                return true;
            }
            return false;
        });
    }
}

std::optional<double> NSRunLoop::nextDueLocked(const std::string* mode, double after) const
{
    std::optional<double> best;
    auto consider = [&](double t) {
        if (t > after && (!best || t < *best))
            best = t;
    };
    for (auto& entry : m_timers) {
        if ((!mode || modeMatches(entry.mode, *mode)) && entry.timer->isValid())
            consider(entry.timer->fireMediaTime());
    }
    for (auto& perform : m_delayed) {
        if (!mode || modesMatch(perform.modes, *mode))
            consider(perform.due);
    }
    return best;
}

bool NSRunLoop::hasInputInModeLocked(const std::string& mode) const
{
    if (m_isMain)
        return true; // the main queue is always a source of the main loop
    for (auto& port : m_ports) {
        if (modeMatches(port.second, mode))
            return true;
    }
    for (auto& entry : m_timers) {
        if (modeMatches(entry.mode, mode) && entry.timer->isValid())
            return true;
    }
    for (auto& perform : m_delayed) {
        if (modesMatch(perform.modes, mode))
            return true;
    }
    return std::any_of(m_queued.begin(), m_queued.end(), [&](auto& q) { return modesMatch(q.modes, mode); });
}

bool NSRunLoop::hasPendingWorkInMode(const std::string& mode) const
{
    if (m_isMain && DispatchMainQueue::hasPendingBlocks())
        return true;
    double now = Clock::mediaTime();
    std::lock_guard guard(m_lock);
    if (std::any_of(m_queued.begin(), m_queued.end(), [&](auto& q) { return modesMatch(q.modes, mode); }))
        return true;
    for (auto& entry : m_timers) {
        if (modeMatches(entry.mode, mode) && !entry.timer->repeats() && entry.timer->isValid()
            && entry.timer->fireMediaTime() <= now)
            return true;
    }
    return std::any_of(
        m_delayed.begin(), m_delayed.end(), [&](auto& p) { return p.due <= now && modesMatch(p.modes, mode); });
}

bool NSRunLoop::runPass(const std::string& mode)
{
    if (m_isMain && !onMainThread()) {
        std::fprintf(stderr, "NSRunLoop: the main run loop can only run on the main thread\n");
        std::abort();
    }
    auto protectedThis = self<NSRunLoop>();
    double now = Clock::mediaTime();
    std::vector<QueuedBlock> queued;
    struct Due {
        double due;
        uint64_t sequence;
        Ref<NSTimer> timer;
        std::shared_ptr<DelayedPerform> perform;
    };
    std::vector<Due> due;
    size_t mainBlocks = m_isMain ? DispatchMainQueue::pendingBlockCount() : 0;
    {
        std::lock_guard guard(m_lock);
        m_woken = false;
        m_modeStack.push_back(mode);
        for (auto it = m_queued.begin(); it != m_queued.end();) {
            if (modesMatch(it->modes, mode)) {
                queued.push_back(std::move(*it));
                it = m_queued.erase(it);
            } else {
                ++it;
            }
        }
        std::erase_if(m_timers, [](auto& entry) { return !entry.timer->isValid(); });
        std::set<NSTimer*> seen; // a timer added in several matching modes fires once per pass
        for (auto& entry : m_timers) {
            double fireAt = entry.timer->fireMediaTime();
            if (modeMatches(entry.mode, mode) && fireAt <= now && seen.insert(entry.timer.get()).second)
                due.push_back({ fireAt, entry.sequence, entry.timer, nullptr });
        }
        for (auto it = m_delayed.begin(); it != m_delayed.end();) {
            if (it->due <= now && modesMatch(it->modes, mode)) {
                auto perform = std::make_shared<DelayedPerform>(std::move(*it));
                m_firing.push_back(perform);
                due.push_back({ perform->due, perform->sequence, nullptr, perform });
                it = m_delayed.erase(it);
            } else {
                ++it;
            }
        }
    }
    std::stable_sort(due.begin(), due.end(),
        [](const Due& a, const Due& b) { return a.due != b.due ? a.due < b.due : a.sequence < b.sequence; });

    struct ModeScope {
        NSRunLoop& loop;
        ~ModeScope()
        {
            std::lock_guard guard(loop.m_lock);
            loop.m_modeStack.pop_back();
        }
    } scope { *this };

    bool ran = !queued.empty() || !due.empty();
    for (auto& item : queued) {
        item.block();
        item.block = nullptr;
    }
    if (m_isMain && DispatchMainQueue::runPendingBlocks(mainBlocks) > 0)
        ran = true;
    for (auto& item : due) {
        if (item.timer) {
            item.timer->fireOnSchedule(now);
            continue;
        }
        {
            std::lock_guard guard(m_lock);
            auto it = std::find(m_firing.begin(), m_firing.end(), item.perform);
            if (it == m_firing.end())
                continue; // cancelled by an earlier callout of this pass
            m_firing.erase(it);
        }
        item.perform->action();
        item.perform = nullptr;
    }
    if (ran && m_isMain)
        DispatchWork::changed();
    return ran;
}

bool NSRunLoop::runModeBeforeDate(const std::string& mode, double secondsSince1970)
{
    double deadline = mediaDeadline(secondsSince1970);
    {
        std::lock_guard guard(m_lock);
        if (!hasInputInModeLocked(mode))
            return false;
    }
    for (;;) {
        bool ran = runPass(mode);
        std::unique_lock guard(m_lock);
        if (ran) {
            m_stopRequested = false;
            return true;
        }
        if (m_stopRequested) {
            m_stopRequested = false;
            return true;
        }
        if (Clock::mediaTime() >= deadline)
            return true;
        if (m_woken || (m_isMain && DispatchMainQueue::hasPendingBlocks()))
            continue;
        double wakeAt = deadline;
        if (auto next = nextDueLocked(&mode, -INFINITY))
            wakeAt = std::min(wakeAt, *next);
        if (wakeAt <= Clock::mediaTime())
            continue;
        m_modeStack.push_back(mode);
        Clock::waitOnce(guard, m_cv, wakeAt);
        m_modeStack.pop_back();
    }
}

void NSRunLoop::run()
{
    while (runModeBeforeDate(NSDefaultRunLoopMode, Clock::distantFuture)) { }
}

void NSRunLoop::runUntilDate(double secondsSince1970)
{
    double deadline = mediaDeadline(secondsSince1970);
    while (Clock::mediaTime() < deadline) {
        double remaining = deadline - Clock::mediaTime();
        if (!runModeBeforeDate(NSDefaultRunLoopMode, Clock::wallTime() + remaining))
            return;
    }
}

std::optional<std::string> NSRunLoop::currentMode() const
{
    std::lock_guard guard(m_lock);
    if (m_modeStack.empty())
        return std::nullopt;
    return m_modeStack.back();
}

void NSRunLoop::stop()
{
    std::lock_guard guard(m_lock);
    m_stopRequested = true;
    posted();
}

void performSelectorAfterDelay(const Ref<NSObject>& target, std::string selectorName, std::function<void()> action,
    NSTimeInterval delay, std::vector<std::string> modes)
{
    NSRunLoop::currentRunLoop()->addDelayedPerform(
        target, std::move(selectorName), std::move(action), delay, std::move(modes));
}

void cancelPreviousPerformRequestsWithTarget(const Ref<NSObject>& target)
{
    cancelPreviousPerformRequestsWithTarget(target.get());
}

void cancelPreviousPerformRequestsWithTarget(const NSObject* target)
{
    if (target)
        NSRunLoop::currentRunLoop()->cancelDelayedPerforms(target, nullptr);
}

void cancelPreviousPerformRequestsWithTargetSelector(const Ref<NSObject>& target, const std::string& selectorName)
{
    NSRunLoop::currentRunLoop()->cancelDelayedPerforms(target.get(), &selectorName);
}

VX_REGISTER_CLASS(NSRunLoop);
