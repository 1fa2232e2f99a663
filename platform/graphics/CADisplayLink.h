#pragma once

#include "foundation/NSObject.h"

#include <functional>
#include <string>

class NSRunLoop;
class NSTimer;

// Calls its target once per display frame (60 per second on the process clock, divided by the
// frame interval) on the run loops and modes it is added to. It keeps its target alive until it
// is invalidated. Main thread only.
class CADisplayLink : public NSObject {
    VX_OBJECT(CADisplayLink, NSObject)
public:
    using Action = std::function<void(const Ref<CADisplayLink>&)>;
    CADisplayLink(Passkey, Ref<NSObject> target, Action action);
    ~CADisplayLink() override;

    static Ref<CADisplayLink> displayLinkWithTargetSelector(Ref<NSObject> target, Action action);
    template <typename T>
    static Ref<CADisplayLink> displayLinkWithTargetSelector(
        const Ref<T>& target, void (T::*selector)(const Ref<CADisplayLink>&))
    {
        T* raw = target.get();
        return displayLinkWithTargetSelector(
            target, [raw, selector](const Ref<CADisplayLink>& link) { (raw->*selector)(link); });
    }

    void addToRunLoopForMode(const Ref<NSRunLoop>& runLoop, const std::string& mode);
    void removeFromRunLoopForMode(const Ref<NSRunLoop>& runLoop, const std::string& mode);
    void invalidate();
    bool isPaused() const { return m_paused; }
    void setPaused(bool paused) { m_paused = paused; }
    int32_t frameInterval() const { return m_frameInterval; }
    // Values below 1 are ignored, as on the platform.
    void setFrameInterval(int32_t interval);
    // Media time of the frame being delivered.
    double timestamp() const { return m_timestamp; }
    double duration() const { return 1.0 / 60; }

private:
    void tick(const Ref<NSTimer>& timer);

    Ref<NSObject> m_target;
    Action m_action;
    std::vector<std::pair<Ref<NSTimer>, std::pair<Weak<NSRunLoop>, std::string>>> m_timers;
    bool m_paused { false };
    int32_t m_frameInterval { 1 };
    int64_t m_frameCount { 0 };
    double m_timestamp { 0 };
    bool m_valid { true };
};
