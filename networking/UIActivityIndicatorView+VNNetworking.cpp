#include "UIActivityIndicatorView+VNNetworking.h"

#include "Dispatch.h"
#include "NSNotificationCenter.h"
#include "NSURLSessionTask.h"
#include "VNURLConnectionOperation.h"
#include "VNURLSessionNotifications.h"

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

void setAnimatingWithStateOfTask(const Ref<UIActivityIndicatorView>& view, const Ref<NSURLSessionTask>& task)
{
    if (!view)
        return;
    auto center = NSNotificationCenter::defaultCenter();
    for (const char* name : { VNNetworkingTaskDidResumeNotification, VNNetworkingTaskDidSuspendNotification,
             VNNetworkingTaskDidCompleteNotification })
        center->removeObserver(view, std::string(name), nullptr);

    if (!task || task->state() == NSURLSessionTaskStateCompleted)
        return;
    if (task->state() == NSURLSessionTaskStateRunning)
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
    center->addObserver(view, start, std::string(VNNetworkingTaskDidResumeNotification), task);
    center->addObserver(view, stop, std::string(VNNetworkingTaskDidCompleteNotification), task);
    center->addObserver(view, stop, std::string(VNNetworkingTaskDidSuspendNotification), task);
}

void setAnimatingWithStateOfOperation(
    const Ref<UIActivityIndicatorView>& view, const Ref<VNURLConnectionOperation>& operation)
{
    if (!view)
        return;
    auto center = NSNotificationCenter::defaultCenter();
    for (const char* name : { VNNetworkingOperationDidStartNotification, VNNetworkingOperationDidFinishNotification })
        center->removeObserver(view, std::string(name), nullptr);

    if (!operation || operation->isFinished())
        return;
    if (operation->isExecuting())
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
    center->addObserver(view, start, std::string(VNNetworkingOperationDidStartNotification), operation);
    center->addObserver(view, stop, std::string(VNNetworkingOperationDidFinishNotification), operation);
}

} // namespace UIActivityIndicatorView_VNNetworking
