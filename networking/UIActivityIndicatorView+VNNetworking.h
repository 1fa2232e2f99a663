#pragma once

#include "net/NetForward.h"
#include "uikit/UIActivityIndicatorView.h"

class NSURLSessionTask;
class VNURLConnectionOperation;

// Spins an activity indicator while a session task or a connection operation runs. Main
// thread only; the notification handlers hop to the main queue.
namespace UIActivityIndicatorView_VNNetworking {

// Stops following the previous task. With a task that has not completed: animates now when it
// is running (else stops), then starts on its start notification and stops on its suspend and
// finish notifications. With nil the spinner is left as it is.
void setAnimatingWithStateOfTask(const Ref<UIActivityIndicatorView>& view, const Ref<NSURLSessionTask>& task);
// Stops following the previous operation. With an operation that has not finished: animates
// now when it is executing (else stops), then starts on its start notification and stops on
// its finish notification (which pausing also posts). With nil the spinner is left as it is.
void setAnimatingWithStateOfOperation(
    const Ref<UIActivityIndicatorView>& view, const Ref<VNURLConnectionOperation>& operation);
// Start or stop animating, asynchronously on the main queue.
void vn_startAnimating(const Ref<UIActivityIndicatorView>& view);
void vn_stopAnimating(const Ref<UIActivityIndicatorView>& view);

} // namespace UIActivityIndicatorView_VNNetworking
