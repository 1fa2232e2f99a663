#include "networking/VNNetworkActivityIndicatorManager.h"

#include "foundation/Dispatch.h"
#include "foundation/NSNotification.h"
#include "foundation/NSNotificationCenter.h"
#include "foundation/NSRunLoop.h"
#include "foundation/NSThread.h"
#include "net/NSURL.h"
#include "net/NSURLRequest.h"
#include "net/NSURLSessionTask.h"
#include "networking/VNURLConnectionOperation.h"
#include "networking/VNURLSessionManager.h"
#include "uikit/UIApplication.h"

VX_REGISTER_CLASS(VNNetworkActivityIndicatorManager);

namespace {

constexpr double kInvisibilityDelay = 0.17;

// The request behind a notification: a connection operation's request or a session task's
// original request.
Ref<NSURLRequest> requestOfNotification(const Ref<NSNotification>& notification)
{
    const auto& object = notification ? notification->object() : nullptr;
    if (!object)
        return nullptr;
    if (auto operation = std::dynamic_pointer_cast<VNURLConnectionOperation>(object))
        return operation->request();
    if (auto task = std::dynamic_pointer_cast<NSURLSessionTask>(object))
        return task->originalRequest();
    return nullptr;
}

} // namespace

Ref<VNNetworkActivityIndicatorManager> VNNetworkActivityIndicatorManager::sharedManager()
{
    static const Ref<VNNetworkActivityIndicatorManager> s_manager = init();
    return s_manager;
}

Ref<VNNetworkActivityIndicatorManager> VNNetworkActivityIndicatorManager::init()
{
    auto manager = make<VNNetworkActivityIndicatorManager>();
    auto center = NSNotificationCenter::defaultCenter();
    using Self = VNNetworkActivityIndicatorManager;
    center->addObserver(
        manager, &Self::networkRequestDidStart, std::string(VNNetworkingOperationDidStartNotification), nullptr);
    center->addObserver(
        manager, &Self::networkRequestDidFinish, std::string(VNNetworkingOperationDidFinishNotification), nullptr);
    center->addObserver(
        manager, &Self::networkRequestDidStart, std::string(VNNetworkingTaskDidResumeNotification), nullptr);
    center->addObserver(
        manager, &Self::networkRequestDidFinish, std::string(VNNetworkingTaskDidSuspendNotification), nullptr);
    center->addObserver(
        manager, &Self::networkRequestDidFinish, std::string(VNNetworkingTaskDidCompleteNotification), nullptr);
    return manager;
}

VNNetworkActivityIndicatorManager::~VNNetworkActivityIndicatorManager()
{
    NSNotificationCenter::defaultCenter()->removeObserver(this);
    if (m_timer)
        m_timer->invalidate();
}

int32_t VNNetworkActivityIndicatorManager::activityCount() const
{
    std::lock_guard guard(m_lock);
    return m_activityCount;
}

void VNNetworkActivityIndicatorManager::setActivityCount(int32_t count)
{
    {
        std::lock_guard guard(m_lock);
        m_activityCount = count;
    }
    updateDelayedOnMainQueue();
}

void VNNetworkActivityIndicatorManager::incrementActivityCount()
{
    willChangeValueForKey("activityCount");
    {
        std::lock_guard guard(m_lock);
        ++m_activityCount;
    }
    didChangeValueForKey("activityCount");
    updateDelayedOnMainQueue();
}

void VNNetworkActivityIndicatorManager::decrementActivityCount()
{
    willChangeValueForKey("activityCount");
    {
        std::lock_guard guard(m_lock);
        m_activityCount = std::max(m_activityCount - 1, 0);
    }
    didChangeValueForKey("activityCount");
    updateDelayedOnMainQueue();
}

void VNNetworkActivityIndicatorManager::networkRequestDidStart(const Ref<NSNotification>& notification)
{
    auto request = requestOfNotification(notification);
    if (request && request->URL())
        incrementActivityCount();
}

void VNNetworkActivityIndicatorManager::networkRequestDidFinish(const Ref<NSNotification>& notification)
{
    auto request = requestOfNotification(notification);
    if (request && request->URL())
        decrementActivityCount();
}

void VNNetworkActivityIndicatorManager::updateDelayedOnMainQueue()
{
    Weak<VNNetworkActivityIndicatorManager> weak = self<VNNetworkActivityIndicatorManager>();
    dispatch_async(dispatch_get_main_queue(), [weak] {
        if (auto manager = weak.lock())
            manager->updateNetworkActivityIndicatorVisibilityDelayed();
    });
}

void VNNetworkActivityIndicatorManager::updateNetworkActivityIndicatorVisibility()
{
    if (auto application = UIApplication::sharedApplication())
        application->setNetworkActivityIndicatorVisible(isNetworkActivityIndicatorVisible());
}

void VNNetworkActivityIndicatorManager::updateNetworkActivityIndicatorVisibilityDelayed()
{
    if (!m_enabled)
        return;
    Weak<VNNetworkActivityIndicatorManager> weak = self<VNNetworkActivityIndicatorManager>();
    if (isNetworkActivityIndicatorVisible()) {
        performSelectorOnMainThread(
            [weak] {
                if (auto manager = weak.lock())
                    manager->updateNetworkActivityIndicatorVisibility();
            },
            false, { NSRunLoopCommonModes });
        return;
    }
    if (m_timer)
        m_timer->invalidate();
    m_timer = NSTimer::timerWithTimeIntervalRepeatsBlock(kInvisibilityDelay, false, [weak](const Ref<NSTimer>&) {
        if (auto manager = weak.lock())
            manager->updateNetworkActivityIndicatorVisibility();
    });
    NSRunLoop::mainRunLoop()->addTimerForMode(m_timer, NSRunLoopCommonModes);
}

Value VNNetworkActivityIndicatorManager::valueForKey(const std::string& key)
{
    if (key == "activityCount")
        return Value(activityCount());
    if (key == "isNetworkActivityIndicatorVisible" || key == "networkActivityIndicatorVisible")
        return Value(isNetworkActivityIndicatorVisible());
    if (key == "enabled" || key == "isEnabled")
        return Value(m_enabled);
    return NSObject::valueForKey(key);
}

std::set<std::string> VNNetworkActivityIndicatorManager::keyPathsForValuesAffectingValueForKey(
    const std::string& key) const
{
    if (key == "isNetworkActivityIndicatorVisible" || key == "networkActivityIndicatorVisible")
        return { "activityCount" };
    return NSObject::keyPathsForValuesAffectingValueForKey(key);
}
