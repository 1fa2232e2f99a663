#include "foundation/NSProgress.h"

#include "foundation/NSString.h"

#include <cmath>

NSProgress::NSProgress(Passkey key, Value userInfo)
    : NSObject(key)
    , m_userInfo(userInfo.isDictionary() ? userInfo.copy() : Value::dictionary())
{
}

Ref<NSProgress> NSProgress::initWithParent(const Ref<NSProgress>&, const Value& userInfo)
{
    return make<NSProgress>(userInfo);
}

Ref<NSProgress> NSProgress::progressWithTotalUnitCount(int64_t unitCount)
{
    auto progress = make<NSProgress>(Value());
    progress->m_total = unitCount;
    return progress;
}

int64_t NSProgress::totalUnitCount() const
{
    std::lock_guard lock(m_lock);
    return m_total;
}

int64_t NSProgress::completedUnitCount() const
{
    std::lock_guard lock(m_lock);
    return m_completed;
}

void NSProgress::changeCounts(const char* key, int64_t count, bool total)
{
    {
        std::lock_guard lock(m_lock);
        if ((total ? m_total : m_completed) == count)
            return;
    }
    willChangeValueForKey(key);
    willChangeValueForKey("fractionCompleted");
    {
        std::lock_guard lock(m_lock);
        (total ? m_total : m_completed) = count;
    }
    didChangeValueForKey("fractionCompleted");
    didChangeValueForKey(key);
}

void NSProgress::setTotalUnitCount(int64_t count)
{
    changeCounts("totalUnitCount", count, true);
}

void NSProgress::setCompletedUnitCount(int64_t count)
{
    changeCounts("completedUnitCount", count, false);
}

double NSProgress::fractionCompleted() const
{
    std::lock_guard lock(m_lock);
    if (m_total <= 0 || m_completed <= 0)
        return 0;
    return static_cast<double>(m_completed) / static_cast<double>(m_total);
}

bool NSProgress::isIndeterminate() const
{
    std::lock_guard lock(m_lock);
    return m_total < 0 || m_completed < 0 || (m_total == 0 && m_completed == 0);
}

bool NSProgress::isFinished() const
{
    std::lock_guard lock(m_lock);
    return m_total > 0 && m_completed >= m_total;
}

bool NSProgress::isCancellable() const
{
    std::lock_guard lock(m_lock);
    return m_cancellable;
}

void NSProgress::setCancellable(bool cancellable)
{
    std::lock_guard lock(m_lock);
    m_cancellable = cancellable;
}

bool NSProgress::isPausable() const
{
    std::lock_guard lock(m_lock);
    return m_pausable;
}

void NSProgress::setPausable(bool pausable)
{
    std::lock_guard lock(m_lock);
    m_pausable = pausable;
}

bool NSProgress::isCancelled() const
{
    std::lock_guard lock(m_lock);
    return m_cancelled;
}

bool NSProgress::isPaused() const
{
    std::lock_guard lock(m_lock);
    return m_paused;
}

void NSProgress::cancel()
{
    Ref<NSProgress> protectedThis = self<NSProgress>();
    Handler handler;
    {
        std::lock_guard lock(m_lock);
        if (m_cancelled)
            return;
    }
    willChangeValueForKey("cancelled");
    {
        std::lock_guard lock(m_lock);
        m_cancelled = true;
        handler = m_cancellationHandler;
    }
    didChangeValueForKey("cancelled");
    if (handler)
        handler();
}

void NSProgress::pause()
{
    Ref<NSProgress> protectedThis = self<NSProgress>();
    Handler handler;
    {
        std::lock_guard lock(m_lock);
        if (m_paused || m_cancelled)
            return;
    }
    willChangeValueForKey("paused");
    {
        std::lock_guard lock(m_lock);
        m_paused = true;
        handler = m_pausingHandler;
    }
    didChangeValueForKey("paused");
    if (handler)
        handler();
}

void NSProgress::resume()
{
    Ref<NSProgress> protectedThis = self<NSProgress>();
    Handler handler;
    {
        std::lock_guard lock(m_lock);
        if (!m_paused)
            return;
    }
    willChangeValueForKey("paused");
    {
        std::lock_guard lock(m_lock);
        m_paused = false;
        handler = m_resumingHandler;
    }
    didChangeValueForKey("paused");
    if (handler)
        handler();
}

void NSProgress::setCancellationHandler(Handler handler)
{
    bool runNow;
    {
        std::lock_guard lock(m_lock);
        m_cancellationHandler = handler;
        runNow = m_cancelled;
    }
    if (runNow && handler)
        handler();
}

void NSProgress::setPausingHandler(Handler handler)
{
    std::lock_guard lock(m_lock);
    m_pausingHandler = std::move(handler);
}

void NSProgress::setResumingHandler(Handler handler)
{
    std::lock_guard lock(m_lock);
    m_resumingHandler = std::move(handler);
}

std::string NSProgress::localizedDescription() const
{
    std::lock_guard lock(m_lock);
    if (!m_description.empty())
        return m_description;
    double fraction
        = m_total > 0 && m_completed > 0 ? static_cast<double>(m_completed) / static_cast<double>(m_total) : 0;
    return NSString::stringWithFormat("%d%% completed", static_cast<int>(std::floor(fraction * 100)));
}

void NSProgress::setLocalizedDescription(std::string text)
{
    std::lock_guard lock(m_lock);
    m_description = std::move(text);
}

std::string NSProgress::localizedAdditionalDescription() const
{
    std::lock_guard lock(m_lock);
    return m_additionalDescription;
}

void NSProgress::setLocalizedAdditionalDescription(std::string text)
{
    std::lock_guard lock(m_lock);
    m_additionalDescription = std::move(text);
}

Value NSProgress::valueForKey(const std::string& key)
{
    if (key == "totalUnitCount")
        return Value(totalUnitCount());
    if (key == "completedUnitCount")
        return Value(completedUnitCount());
    if (key == "fractionCompleted")
        return Value(fractionCompleted());
    if (key == "cancelled")
        return Value(isCancelled());
    if (key == "paused")
        return Value(isPaused());
    if (key == "userInfo")
        return m_userInfo;
    if (key == "localizedDescription")
        return Value(localizedDescription());
    return NSObject::valueForKey(key);
}

VX_REGISTER_CLASS(NSProgress);
