#include "networking/UIActivityIndicatorView+VNNetworking.h"
#include "networking/UIAlertView+VNNetworking.h"
#include "networking/UIProgressView+VNNetworking.h"

#include "foundation/NSError.h"
#include "foundation/NSNotificationCenter.h"
#include "net/NSMutableURLRequest.h"
#include "net/NSURL.h"
#include "net/NSURLSession.h"
#include "net/NSURLSessionDataTask.h"
#include "networking/VNURLSessionNotifications.h"
#include "testing/Drain.h"
#include "testing/URLStubs.h"
#include "testing/VirtualClock.h"

#include <gtest/gtest.h>

namespace {

Ref<NSURLSessionDataTask> makeTask(const std::string& url)
{
    return NSURLSession::sharedSession()->dataTaskWithRequest(
        NSMutableURLRequest::requestWithURL(NSURL::URLWithString(url)));
}

void post(const char* name, const Ref<NSObject>& object, const Value& userInfo = Value())
{
    NSNotificationCenter::defaultCenter()->postNotificationName(name, object, userInfo);
    drainAll();
}

Value finishInfo(const Ref<NSError>& error)
{
    return Value::dictionary({ { Value(VNNetworkingTaskDidCompleteErrorKey), Value(error) } });
}

struct AlertsGuard {
    AlertsGuard() { UIAlertView::resetForTesting(); }
    ~AlertsGuard() { UIAlertView::resetForTesting(); }
};

} // namespace

TEST(VNNetworkingUICategories, SpinnerFollowsOnlyItsCurrentTask)
{
    using namespace UIActivityIndicatorView_VNNetworking;
    auto spinner = UIActivityIndicatorView::initWithActivityIndicatorStyle(UIActivityIndicatorViewStyleGray);
    auto task = makeTask("http://h/a");
    auto other = makeTask("http://h/b");

    setAnimatingWithStateOfTask(spinner, task);
    EXPECT_FALSE(spinner->isAnimating()); // made suspended

    struct Step {
        const char* name;
        Ref<NSObject> object;
        bool animating;
    };
    const Step steps[] = {
        { VNNetworkingTaskDidResumeNotification, task, true },
        { VNNetworkingTaskDidSuspendNotification, other, true },
        { VNNetworkingTaskDidSuspendNotification, task, false },
        { VNNetworkingTaskDidResumeNotification, task, true },
        { VNNetworkingTaskDidCompleteNotification, task, false },
        { VNNetworkingTaskDidResumeNotification, other, false },
    };
    for (const auto& step : steps) {
        SCOPED_TRACE(step.name);
        post(step.name, step.object);
        EXPECT_EQ(spinner->isAnimating(), step.animating);
    }

    // Nil stops listening and leaves the spinner as it is.
    setAnimatingWithStateOfTask(spinner, nullptr);
    post(VNNetworkingTaskDidResumeNotification, task);
    EXPECT_FALSE(spinner->isAnimating());

    // A running task animates at once.
    ScopedVirtualClock clock;
    URLStubs stubs;
    URLStubSpec spec;
    spec.url = "http://h/slow";
    spec.body = "x";
    spec.delay = 5;
    stubs.add(spec);
    auto running = makeTask("http://h/slow");
    running->resume();
    setAnimatingWithStateOfTask(spinner, running);
    EXPECT_TRUE(spinner->isAnimating());
    running->cancel();
    drainAll();
}

TEST(VNNetworkingUICategories, AlertTitlesAndMessagesComeFromTheError)
{
    struct Case {
        const char* name;
        Value userInfo;
        std::string title;
        std::string message;
    };
    const Case cases[] = {
        { "reason",
            Value::dictionary({ { NSLocalizedDescriptionKey, "Failed" }, { NSLocalizedFailureReasonErrorKey, "Why" } }),
            "Failed", "Why" },
        { "suggestion wins",
            Value::dictionary({ { NSLocalizedDescriptionKey, "Failed" }, { NSLocalizedFailureReasonErrorKey, "Why" },
                { NSLocalizedRecoverySuggestionErrorKey, "Retry" } }),
            "Failed", "Retry" },
        { "description only", Value::dictionary({ { NSLocalizedDescriptionKey, "Failed" } }), "Error", "Failed" },
        { "nothing", Value(), "Error", NSError::errorWithDomain("D", 5)->localizedDescription() },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        auto [title, message]
            = UIAlertView_VNNetworking::titleAndMessageForError(NSError::errorWithDomain("D", 5, c.userInfo));
        EXPECT_EQ(title, c.title);
        EXPECT_EQ(message, c.message);
    }
}

TEST(VNNetworkingUICategories, AlertShowsOnceForAFailedTaskAndNeverForASuccessfulOne)
{
    using namespace UIAlertView_VNNetworking;
    AlertsGuard alerts;
    auto failing = makeTask("http://h/fail");
    auto fine = makeTask("http://h/ok");
    showAlertViewForTaskWithErrorOnCompletionDelegate(failing, nullptr, {});
    showAlertViewForTaskWithErrorOnCompletionDelegateCancelButtonTitleOtherButtonTitles(
        fine, nullptr, {}, "Close", "Retry");

    auto error = NSError::errorWithDomain(
        "NSURLErrorDomain", -1001, Value::dictionary({ { NSLocalizedDescriptionKey, "The request timed out." } }));
    post(VNNetworkingTaskDidCompleteNotification, fine); // no error: no alert, observer gone
    post(VNNetworkingTaskDidCompleteNotification, fine, finishInfo(error));
    EXPECT_TRUE(UIAlertView::visibleAlerts().empty());

    post(VNNetworkingTaskDidCompleteNotification, failing, finishInfo(error));
    post(VNNetworkingTaskDidCompleteNotification, failing, finishInfo(error));
    auto visible = UIAlertView::visibleAlerts();
    ASSERT_EQ(visible.size(), 1u);
    EXPECT_EQ(visible[0]->title(), "Error");
    EXPECT_EQ(visible[0]->message(), "The request timed out.");
    EXPECT_EQ(visible[0]->buttonTitleAtIndex(visible[0]->cancelButtonIndex()), "Dismiss");
    EXPECT_EQ(visible[0]->numberOfButtons(), 1);
}

TEST(VNNetworkingUICategories, ProgressViewFollowsATaskUntilItCompletes)
{
    using namespace UIProgressView_VNNetworking;
    URLStubs stubs;
    struct Case {
        const char* name;
        size_t chunkSize; // a chunked body announces no length
        float progress;
    };
    const Case cases[] = {
        { "known length", 0, 1.0f },
        { "unknown length", 4, 0.25f },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        URLStubSpec spec;
        spec.url = std::string("http://h/") + (c.chunkSize ? "chunked" : "plain");
        spec.body = "0123456789";
        spec.chunkSize = c.chunkSize;
        stubs.add(spec);

        auto view = UIProgressView::initWithProgressViewStyle(UIProgressViewStyleDefault);
        view->setProgress(0.25f);
        auto task = makeTask(spec.url);
        setProgressWithDownloadProgressOfTaskAnimated(view, task, true);
        EXPECT_TRUE(vn_downloadProgressAnimated(view));
        EXPECT_FALSE(vn_uploadProgressAnimated(view));
        EXPECT_TRUE(task->hasObservers());
        task->resume();
        drainAll();
        EXPECT_EQ(task->state(), NSURLSessionTaskStateCompleted);
        EXPECT_FLOAT_EQ(view->progress(), c.progress);
        // Completion removed the observations.
        EXPECT_FALSE(task->hasObservers());
    }
}
