#pragma once

#include "NetForward.h"
#include "UIActivityIndicatorView.h"

class NSURLSessionTask;

// Spins an activity indicator while a session task runs. Main thread only; the notification
// handlers hop to the main queue.
namespace UIActivityIndicatorView_VNNetworking {

// Stops following the previous task. With a task that has not completed: animates now when it
// is running (else stops), then starts on its start notification and stops on its suspend and
// finish notifications. With nil the spinner is left as it is.
void setAnimatingWithStateOfTask(const Ref<UIActivityIndicatorView>& view, const Ref<NSURLSessionTask>& task);
// Start or stop animating, asynchronously on the main queue.
void vn_startAnimating(const Ref<UIActivityIndicatorView>& view);
void vn_stopAnimating(const Ref<UIActivityIndicatorView>& view);

} // namespace UIActivityIndicatorView_VNNetworking
