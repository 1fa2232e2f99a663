#include "networking/VNNetworkActivityIndicatorManager.h"

#include "foundation/NSNotificationCenter.h"
#include "net/NSMutableURLRequest.h"
#include "net/NSURL.h"
#include "net/NSURLRequest.h"
#include "net/NSURLSession.h"
#include "net/NSURLSessionDataTask.h"
#include "networking/VNHTTPRequestOperation.h"
#include "networking/VNNetworkReachabilityManager.h"
#include "networking/VNURLSessionManager.h"
#include "networking/tests/StubbedNetworkTestSupport.h"
#include "sysconfig/SCNetworkReachability.h"
#include "testing/Drain.h"
#include "testing/URLStubs.h"
#include "testing/VirtualClock.h"
#include "uikit/UIApplication.h"

#include <gtest/gtest.h>

namespace {

struct Fixture {
    Fixture()
    {
        UIApplication::sharedApplication()->setNetworkActivityIndicatorVisible(false);
        manager = VNNetworkActivityIndicatorManager::init();
        manager->setEnabled(true);
    }
    ~Fixture() { UIApplication::sharedApplication()->setNetworkActivityIndicatorVisible(false); }

    Ref<NSURLSessionDataTask> task(const std::string& url)
    {
        return NSURLSession::sharedSession()->dataTaskWithRequest(
            NSMutableURLRequest::requestWithURL(NSURL::URLWithString(url)));
    }
    void post(const char* name, const Ref<NSObject>& object)
    {
        NSNotificationCenter::defaultCenter()->postNotificationName(name, object);
        drainAll();
    }
    bool shown() const { return UIApplication::sharedApplication()->isNetworkActivityIndicatorVisible(); }

    ScopedVirtualClock clock;
    Ref<VNNetworkActivityIndicatorManager> manager;
};

} // namespace

TEST(VNNetworkActivityIndicatorManager, ShowsAtOnceAndHidesOnlyAfterTheCountStaysAtZero)
{
    Fixture f;
    auto first = f.task("http://h/1");
    auto second = f.task("http://h/2");

    f.post(VNNetworkingTaskDidResumeNotification, first);
    EXPECT_EQ(f.manager->activityCount(), 1);
    EXPECT_TRUE(f.shown());

    // Back to back: the second request starts before the hiding delay runs out.
    f.post(VNNetworkingTaskDidCompleteNotification, first);
    f.clock.advance(0.1);
    f.post(VNNetworkingTaskDidResumeNotification, second);
    f.clock.advance(0.1);
    drainAll();
    EXPECT_TRUE(f.shown());

    // A suspended task counts as finished; the indicator goes 0.17 s later.
    f.post(VNNetworkingTaskDidSuspendNotification, second);
    EXPECT_EQ(f.manager->activityCount(), 0);
    f.clock.advance(0.16);
    drainAll();
    EXPECT_TRUE(f.shown());
    f.clock.advance(0.02);
    drainAll();
    EXPECT_FALSE(f.shown());
}

TEST(VNNetworkActivityIndicatorManager, IgnoresNotificationsWithoutARequestAndNeverGoesBelowZero)
{
    Fixture f;
    struct Case {
        const char* name;
        const char* notification;
        Ref<NSObject> object;
        int32_t count;
    };
    const Case cases[] = {
        { "finish without start", VNNetworkingTaskDidCompleteNotification, f.task("http://h/"), 0 },
        { "object without request", VNNetworkingTaskDidResumeNotification, NSObject::init(), 0 },
        { "no object", VNNetworkingOperationDidStartNotification, nullptr, 0 },
        { "start", VNNetworkingTaskDidResumeNotification, f.task("http://h/"), 1 },
        { "finish", VNNetworkingTaskDidCompleteNotification, f.task("http://h/"), 0 },
        { "finish again", VNNetworkingTaskDidCompleteNotification, f.task("http://h/"), 0 },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        f.post(c.notification, c.object);
        EXPECT_EQ(f.manager->activityCount(), c.count);
    }
}

TEST(VNNetworkActivityIndicatorManager, CountsWhileDisabledWithoutTouchingTheIndicator)
{
    Fixture f;
    f.manager->setEnabled(false);
    f.post(VNNetworkingTaskDidResumeNotification, f.task("http://h/"));
    f.clock.advance(1);
    drainAll();
    EXPECT_EQ(f.manager->activityCount(), 1);
    EXPECT_TRUE(f.manager->isNetworkActivityIndicatorVisible());
    EXPECT_FALSE(f.shown());
    EXPECT_TRUE(f.manager->valueForKey("isNetworkActivityIndicatorVisible").boolValue());
    EXPECT_EQ(f.manager->keyPathsForValuesAffectingValueForKey("isNetworkActivityIndicatorVisible"),
        std::set<std::string> { "activityCount" });
}

TEST(VNNetworkActivityIndicatorManager, FollowsRealOperationsAndSessionTasks)
{
    Fixture f;
    makeEveryHostReachable();
    URLStubs stubs;
    URLStubSpec slow;
    slow.url = "http://stub.invalid/slow";
    slow.body = "late";
    slow.delay = 5;
    stubs.add(slow);
    auto request = NSURLRequest::requestWithURL(NSURL::URLWithString("http://stub.invalid/slow"));

    auto operation = VNHTTPRequestOperation::initWithRequest(request);
    auto sessionManager = VNURLSessionManager::init();
    auto task = sessionManager->dataTaskWithRequestCompletionHandler(
        request, [](const Ref<NSURLResponse>&, const Value&, const Ref<NSError>&) {});
    operation->start();
    task->resume();
    drainAll();
    EXPECT_EQ(f.manager->activityCount(), 2);
    EXPECT_TRUE(f.shown());

    f.clock.advance(5);
    drainAll();
    EXPECT_TRUE(operation->isFinished());
    EXPECT_EQ(task->state(), NSURLSessionTaskStateCompleted);
    EXPECT_EQ(f.manager->activityCount(), 0);
    f.clock.advance(0.2);
    drainAll();
    EXPECT_FALSE(f.shown());

    sessionManager->invalidateSessionCancelingTasks(true);
    drainAll();
    restoreReachability();
}
