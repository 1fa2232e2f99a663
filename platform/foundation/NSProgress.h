#pragma once

#include "foundation/NSObject.h"
#include "foundation/Value.h"

#include <cstdint>
#include <functional>
#include <mutex>
#include <string>

// Progress of one piece of work: unit counts, the fraction done, and cancel/pause/resume
// requests that reach the worker through handlers. Handlers run on the thread that makes the
// request, outside the progress's lock; a cancellation handler set after cancel() runs at once.
// Key-value observers hear "totalUnitCount", "completedUnitCount", "fractionCompleted",
// "cancelled" and "paused". Any thread.
class NSProgress : public NSObject {
    VX_OBJECT(NSProgress, NSObject)
public:
    NSProgress(Passkey key, Value userInfo);

    // A progress with no parent.
    static Ref<NSProgress> initWithParent(const Ref<NSProgress>& parent, const Value& userInfo);
    static Ref<NSProgress> progressWithTotalUnitCount(int64_t unitCount);

    int64_t totalUnitCount() const;
    void setTotalUnitCount(int64_t count);
    int64_t completedUnitCount() const;
    void setCompletedUnitCount(int64_t count);
    // completed / total; 0 while the total is not positive.
    double fractionCompleted() const;
    // True while either count is negative or the total is 0.
    bool isIndeterminate() const;
    bool isFinished() const;

    bool isCancellable() const;
    void setCancellable(bool cancellable);
    bool isPausable() const;
    void setPausable(bool pausable);
    bool isCancelled() const;
    bool isPaused() const;

    // Marks the progress cancelled (once) and calls the cancellation handler.
    void cancel();
    // Marks it paused and calls the pausing handler; resume() undoes it and calls the resuming
    // handler. Each is ignored when the state is already so, and pausing a cancelled progress
    // does nothing.
    void pause();
    void resume();

    using Handler = std::function<void()>;
    void setCancellationHandler(Handler handler);
    void setPausingHandler(Handler handler);
    void setResumingHandler(Handler handler);

    std::string localizedDescription() const;
    void setLocalizedDescription(std::string text);
    std::string localizedAdditionalDescription() const;
    void setLocalizedAdditionalDescription(std::string text);
    const Value& userInfo() const { return m_userInfo; }

    Value valueForKey(const std::string& key) override;

private:
    void changeCounts(const char* key, int64_t count, bool total);

    mutable std::mutex m_lock;
    int64_t m_total { 0 };
    int64_t m_completed { 0 };
    bool m_cancellable { true };
    bool m_pausable { false };
    bool m_cancelled { false };
    bool m_paused { false };
    Handler m_cancellationHandler;
    Handler m_pausingHandler;
    Handler m_resumingHandler;
    std::string m_description;
    std::string m_additionalDescription;
    Value m_userInfo;
};
