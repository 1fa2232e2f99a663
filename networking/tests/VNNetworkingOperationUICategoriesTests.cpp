#include "networking/UIActivityIndicatorView+VNNetworking.h"
#include "networking/UIAlertView+VNNetworking.h"
#include "networking/UIProgressView+VNNetworking.h"

#include "foundation/NSError.h"
#include "net/NSMutableURLRequest.h"
#include "net/NSURL.h"
#include "net/NSURLError.h"
#include "networking/VNHTTPRequestOperation.h"
#include "networking/tests/NetworkingTestSupport.h"
#include "testing/LoopbackServer.h"
#include "testing/URLStubs.h"
#include "testing/VirtualClock.h"

#include <gtest/gtest.h>

namespace {

Ref<VNHTTPRequestOperation> operationFor(const std::string& url)
{
    return VNHTTPRequestOperation::initWithRequest(NSURLRequest::requestWithURL(NSURL::URLWithString(url)));
}

class VNNetworkingOperationUICategories : public ::testing::Test {
protected:
    void SetUp() override { UIAlertView::resetForTesting(); }
    void TearDown() override
    {
        settle();
        UIAlertView::resetForTesting();
        resetForTesting();
    }

    void serve(const std::string& url, std::string body, double delay = 0, int32_t status = 200,
        std::optional<int32_t> errorCode = std::nullopt)
    {
        URLStubSpec spec;
        spec.url = url;
        // Delivered in pieces of 10 bytes, with the length announced.
        spec.headers = { { "Content-Length", std::to_string(body.size()) } };
        spec.body = std::move(body);
        spec.chunkSize = 10;
        spec.delay = delay;
        spec.statusCode = status;
        spec.errorCode = errorCode;
        stubs.add(spec);
    }

    URLStubs stubs;
};

TEST_F(VNNetworkingOperationUICategories, ProgressViewFollowsDownloadsAndKeepsTheEarlierBlock)
{
    using namespace UIProgressView_VNNetworking;
    serve("http://stub.invalid/body", std::string(40, 'x'));
    auto view = UIProgressView::initWithFrame(CGRectMake(0, 0, 100, 2));
    auto operation = operationFor("http://stub.invalid/body");
    std::vector<int64_t> earlier;
    operation->setDownloadProgressBlock([&](uint32_t, int64_t total, int64_t) { earlier.push_back(total); });
    std::vector<float> seen;
    setProgressWithDownloadProgressOfOperationAnimated(view, operation, true);
    // A later block in the chain watches what the view shows after each step.
    auto chained = operation->downloadProgress();
    operation->setDownloadProgressBlock([&, chained](uint32_t bytes, int64_t total, int64_t expected) {
        chained(bytes, total, expected);
        dispatch_async(dispatch_get_main_queue(), [&] { seen.push_back(view->progress()); });
    });
    operation->start();
    settle();
    EXPECT_EQ(earlier, std::vector<int64_t>({ 10, 20, 30, 40 }));
    EXPECT_EQ(seen, std::vector<float>({ 0.25f, 0.5f, 0.75f, 1.0f }));
}

TEST_F(VNNetworkingOperationUICategories, ProgressViewWaitsForAKnownSizeAndFollowsUploads)
{
    using namespace UIProgressView_VNNetworking;
    // A chunked body has no expected length: the view stays where it was.
    LoopbackServer server;
    auto view = UIProgressView::initWithFrame(CGRectMake(0, 0, 100, 2));
    view->setProgress(0.125f);
    // Connections close after each answer, so the server stops at once at the end.
    auto chunkedRequest = NSMutableURLRequest::requestWithURL(NSURL::URLWithString(server.url("/chunked?count=3")));
    chunkedRequest->setValueForHTTPHeaderField("close", "Connection");
    auto chunked = VNHTTPRequestOperation::initWithRequest(chunkedRequest);
    setProgressWithDownloadProgressOfOperationAnimated(view, chunked, false);
    chunked->start();
    settle();
    EXPECT_EQ(chunked->responseData().bytes().size(), 24u);
    EXPECT_EQ(view->progress(), 0.125f);

    // Uploads move the view to the whole body once it is sent.
    auto request = NSMutableURLRequest::requestWithURL(NSURL::URLWithString(server.url("/echo")));
    request->setHTTPMethod("POST");
    request->setValueForHTTPHeaderField("close", "Connection");
    std::string body(1000, 'u');
    request->setHTTPBody(Value::data(body.data(), body.size()));
    auto upload = VNHTTPRequestOperation::initWithRequest(request);
    int earlier = 0;
    upload->setUploadProgressBlock([&](uint32_t, int64_t, int64_t) { ++earlier; });
    setProgressWithUploadProgressOfOperationAnimated(view, upload, true);
    upload->start();
    settle();
    EXPECT_GT(earlier, 0);
    EXPECT_EQ(view->progress(), 1.0f);

    // A view gone before the progress arrives is not touched.
    auto another = VNHTTPRequestOperation::initWithRequest(request);
    {
        auto doomed = UIProgressView::initWithFrame(CGRectMake(0, 0, 10, 2));
        setProgressWithUploadProgressOfOperationAnimated(doomed, another, false);
    }
    another->start();
    settle();
    EXPECT_TRUE(another->isFinished());
}

TEST_F(VNNetworkingOperationUICategories, SpinnerFollowsOnlyItsCurrentOperation)
{
    using namespace UIActivityIndicatorView_VNNetworking;
    ScopedVirtualClock clock;
    serve("http://stub.invalid/slow", "slow body", 5);
    serve("http://stub.invalid/other", "other", 1);
    auto spinner = UIActivityIndicatorView::initWithActivityIndicatorStyle(UIActivityIndicatorViewStyleGray);

    auto operation = operationFor("http://stub.invalid/slow");
    setAnimatingWithStateOfOperation(spinner, operation);
    EXPECT_FALSE(spinner->isAnimating()); // ready, not executing
    operation->start();
    settle();
    EXPECT_TRUE(spinner->isAnimating()); // the start notification

    // Pausing posts the finish notification; resuming starts again.
    operation->pause();
    settle();
    EXPECT_FALSE(spinner->isAnimating());
    operation->resume();
    settle();
    EXPECT_TRUE(spinner->isAnimating());

    // Another operation's notifications do not reach this spinner.
    auto other = operationFor("http://stub.invalid/other");
    other->start();
    clock.advance(2);
    settle();
    EXPECT_TRUE(other->isFinished());
    EXPECT_TRUE(spinner->isAnimating());

    clock.advance(6);
    settle();
    EXPECT_TRUE(operation->isFinished());
    EXPECT_FALSE(spinner->isAnimating());

    // An executing operation animates at once; nil stops listening and leaves the spinner be.
    auto running = operationFor("http://stub.invalid/slow");
    running->start();
    settle();
    setAnimatingWithStateOfOperation(spinner, running);
    EXPECT_TRUE(spinner->isAnimating());
    setAnimatingWithStateOfOperation(spinner, nullptr);
    running->cancel();
    settle();
    EXPECT_TRUE(spinner->isAnimating());

    // A finished operation is not followed.
    spinner->stopAnimating();
    setAnimatingWithStateOfOperation(spinner, operation);
    EXPECT_FALSE(spinner->isAnimating());
}

TEST_F(VNNetworkingOperationUICategories, AlertShowsForAFailedOperationOnly)
{
    using namespace UIAlertView_VNNetworking;
    ScopedVirtualClock clock;
    serve("http://stub.invalid/ok", "fine");
    serve("http://stub.invalid/down", "", 0, 200, NSURLErrorCannotConnectToHost);
    serve("http://stub.invalid/slow", "late", 5, 200, NSURLErrorTimedOut);

    struct Case {
        const char* url;
        bool alert;
    } cases[] = {
        { "http://stub.invalid/ok", false },
        { "http://stub.invalid/down", true },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.url);
        UIAlertView::resetForTesting();
        auto operation = operationFor(c.url);
        showAlertViewForRequestOperationWithErrorOnCompletionDelegateCancelButtonTitleOtherButtonTitles(
            operation, nullptr, {}, "Close", "Retry");
        operation->start();
        settle();
        auto visible = UIAlertView::visibleAlerts();
        ASSERT_EQ(visible.size(), c.alert ? 1u : 0u);
        if (c.alert) {
            EXPECT_EQ(visible[0]->title(), "Error");
            EXPECT_EQ(visible[0]->message(), operation->error()->localizedDescription());
            EXPECT_EQ(visible[0]->buttonTitleAtIndex(visible[0]->cancelButtonIndex()), "Close");
            EXPECT_EQ(visible[0]->numberOfButtons(), 2);
        }
    }

    // The observer is gone after the first finish: pausing posts it without an error, so the
    // failure after resuming shows nothing.
    UIAlertView::resetForTesting();
    auto paused = operationFor("http://stub.invalid/slow");
    showAlertViewForRequestOperationWithErrorOnCompletionDelegate(paused, nullptr, {});
    paused->start();
    settle();
    paused->pause();
    settle();
    paused->resume();
    clock.advance(6);
    settle();
    ASSERT_TRUE(paused->error());
    EXPECT_TRUE(UIAlertView::visibleAlerts().empty());

    // The short form's only button is "Dismiss".
    auto failing = operationFor("http://stub.invalid/down");
    showAlertViewForRequestOperationWithErrorOnCompletionDelegate(failing, nullptr, {});
    failing->start();
    settle();
    auto visible = UIAlertView::visibleAlerts();
    ASSERT_EQ(visible.size(), 1u);
    EXPECT_EQ(visible[0]->numberOfButtons(), 1);
    EXPECT_EQ(visible[0]->buttonTitleAtIndex(0), "Dismiss");
}

} // namespace
