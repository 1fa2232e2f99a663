#include "networking/UIActivityIndicatorView+VNNetworking.h"

#include "foundation/Dispatch.h"
#include "foundation/NSNotificationCenter.h"
#include "net/NSURLSessionTask.h"
#include "networking/VNURLConnectionOperation.h"
#include "networking/VNURLSessionNotifications.h"

namespace UIActivityIndicatorView_VNNetworking {

void vn_startAnimating(const Ref<UIActivityIndicatorView>& view)
{
    Weak<UIActivityIndicatorView> weak = view;
    dispatch_async(dispatch_get_main_queue(), [weak] {
        if (auto spinner = weak.lock())
            spinner->startAnimating();
    });
}

void vn_stopAnimating(const Ref<UIActivityIndicatorView>& view)
{
    Weak<UIActivityIndicatorView> weak = view;
    dispatch_async(dispatch_get_main_queue(), [weak] {
        if (auto spinner = weak.lock())
            spinner->stopAnimating();
    });
}

namespace {

// Drops the spinner's observations of `names`, whichever object they followed.
void stopFollowing(const Ref<UIActivityIndicatorView>& view, std::initializer_list<const char*> names)
{
    auto center = NSNotificationCenter::defaultCenter();
    for (const char* name : names)
        center->removeObserver(view, std::string(name), nullptr);
}

// Animates the spinner as `object` runs now, then starts it on each of `startNames` and stops it
// on each of `stopNames` posted by `object`, on the main queue.
void follow(const Ref<UIActivityIndicatorView>& view, bool running, const Ref<NSObject>& object,
    std::initializer_list<const char*> startNames, std::initializer_list<const char*> stopNames)
{
    if (running)
        view->startAnimating();
    else
        view->stopAnimating();

    Weak<UIActivityIndicatorView> weak = view;
    auto start = [weak](const Ref<NSNotification>&) {
        if (auto spinner = weak.lock())
            vn_startAnimating(spinner);
    };
    auto stop = [weak](const Ref<NSNotification>&) {
        if (auto spinner = weak.lock())
            vn_stopAnimating(spinner);
    };
    auto center = NSNotificationCenter::defaultCenter();
    for (const char* name : startNames)
        center->addObserver(view, start, std::string(name), object);
    for (const char* name : stopNames)
        center->addObserver(view, stop, std::string(name), object);
}

} // namespace

void setAnimatingWithStateOfTask(const Ref<UIActivityIndicatorView>& view, const Ref<NSURLSessionTask>& task)
{
    if (!view)
        return;
    stopFollowing(view,
        { VNNetworkingTaskDidResumeNotification, VNNetworkingTaskDidSuspendNotification,
            VNNetworkingTaskDidCompleteNotification });
    if (!task || task->state() == NSURLSessionTaskStateCompleted)
        return;
    follow(view, task->state() == NSURLSessionTaskStateRunning, task, { VNNetworkingTaskDidResumeNotification },
        { VNNetworkingTaskDidCompleteNotification, VNNetworkingTaskDidSuspendNotification });
}

void setAnimatingWithStateOfOperation(
    const Ref<UIActivityIndicatorView>& view, const Ref<VNURLConnectionOperation>& operation)
{
    if (!view)
        return;
    stopFollowing(view, { VNNetworkingOperationDidStartNotification, VNNetworkingOperationDidFinishNotification });
    if (!operation || operation->isFinished())
        return;
    follow(view, operation->isExecuting(), operation, { VNNetworkingOperationDidStartNotification },
        { VNNetworkingOperationDidFinishNotification });
}

} // namespace UIActivityIndicatorView_VNNetworking
