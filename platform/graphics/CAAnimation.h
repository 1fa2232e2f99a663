#pragma once

#include "foundation/NSObject.h"
#include "foundation/Value.h"

#include <functional>
#include <string>

// An animation description attached to a layer: a key path, a duration and, for basic
// animations, from and to values. The model value is set by the caller at once; the animation
// only decides how long the change is shown as moving and when its completion runs.
class CAAnimation : public NSObject {
    VX_OBJECT(CAAnimation, NSObject)
public:
    explicit CAAnimation(Passkey key)
        : NSObject(key)
    {
    }
    static Ref<CAAnimation> animation() { return make<CAAnimation>(); }

    double duration() const { return m_duration; }
    void setDuration(double d) { m_duration = d; }
    double beginTime() const { return m_beginTime; }
    void setBeginTime(double t) { m_beginTime = t; }
    // "removed" (default), "forwards", "backwards", "both".
    const std::string& fillMode() const { return m_fillMode; }
    void setFillMode(std::string mode) { m_fillMode = std::move(mode); }
    bool isRemovedOnCompletion() const { return m_removedOnCompletion; }
    void setRemovedOnCompletion(bool v) { m_removedOnCompletion = v; }
    // "linear", "easeIn", "easeOut", "easeInEaseOut", "default".
    const std::string& timingFunction() const { return m_timing; }
    void setTimingFunction(std::string name) { m_timing = std::move(name); }
    // Called with true when the animation ran to its end, false when it was removed first.
    void setCompletion(std::function<void(bool finished)> completion) { m_completion = std::move(completion); }
    const std::function<void(bool)>& completion() const { return m_completion; }

private:
    double m_duration { 0.25 };
    double m_beginTime { 0 };
    std::string m_fillMode { "removed" };
    bool m_removedOnCompletion { true };
    std::string m_timing { "default" };
    std::function<void(bool)> m_completion;
};

class CABasicAnimation : public CAAnimation {
    VX_OBJECT(CABasicAnimation, CAAnimation)
public:
    explicit CABasicAnimation(Passkey key)
        : CAAnimation(key)
    {
    }
    static Ref<CABasicAnimation> animationWithKeyPath(std::string keyPath)
    {
        auto a = make<CABasicAnimation>();
        a->m_keyPath = std::move(keyPath);
        return a;
    }
    const std::string& keyPath() const { return m_keyPath; }
    void setKeyPath(std::string keyPath) { m_keyPath = std::move(keyPath); }
    const Value& fromValue() const { return m_from; }
    void setFromValue(Value v) { m_from = std::move(v); }
    const Value& toValue() const { return m_to; }
    void setToValue(Value v) { m_to = std::move(v); }
    const Value& byValue() const { return m_by; }
    void setByValue(Value v) { m_by = std::move(v); }

private:
    std::string m_keyPath;
    Value m_from, m_to, m_by;
};
