#include "foundation/NSJSONSerialization.h"
#include "foundation/NSPort.h"
#include "foundation/NSRunLoop.h"
#include "foundation/NSThread.h"
#include "net/NSCachedURLResponse.h"
#include "net/NSStream.h"
#include "net/NSURL.h"
#include "net/NSURLCache.h"
#include "net/NSURLConnection.h"
#include "net/NSURLCredential.h"
#include "net/NSURLError.h"
#include "net/NSURLProtectionSpace.h"
#include "net/tests/NetTestSupport.h"
#include "testing/Drain.h"
#include "testing/LoopbackServer.h"
#include "testing/URLStubs.h"

#include <gtest/gtest.h>

#include <atomic>

namespace {

// A thread whose run loop runs for the life of the process, like a networking thread.
Ref<NSThread> networkThread()
{
    static Ref<NSThread> thread = [] {
        auto made = NSThread::detachNewThreadWithBlock([] {
            NSRunLoop::currentRunLoop()->addPortForMode(NSMachPort::port(), NSDefaultRunLoopMode);
            NSRunLoop::currentRunLoop()->run();
        });
        made->setName("test.network");
        return made;
    }();
    return thread;
}

enum class Redirects { Follow, Refuse };
enum class Challenges { UseCredential, ContinueWithout, Cancel };

class RecordingConnectionDelegate final : public NSURLConnectionDelegate {
public:
    Redirects redirects { Redirects::Follow };
    Challenges challenges { Challenges::UseCredential };
    bool refuseCaching { false };

    std::vector<std::string> events;
    std::string body;
    std::string threadName;
    std::atomic<bool> onOtherThread { false };
    int64_t lastTotalSent { 0 };

    void note(const std::string& event)
    {
        auto name = NSThread::currentThread()->name();
        if (!threadName.empty() && name != threadName)
            onOtherThread = true;
        if (event == "data" && !events.empty() && events.back() == "data")
            return;
        events.push_back(event);
    }
    void connectionDidReceiveResponse(const Ref<NSURLConnection>&, const Ref<NSURLResponse>& response) override
    {
        auto http = std::dynamic_pointer_cast<NSHTTPURLResponse>(response);
        note("response " + std::to_string(http->statusCode()));
    }
    void connectionDidReceiveData(const Ref<NSURLConnection>&, const Value& data) override
    {
        note("data");
        body += text(data);
    }
    void connectionDidFinishLoading(const Ref<NSURLConnection>&) override { note("finish"); }
    void connectionDidFailWithError(const Ref<NSURLConnection>&, const Ref<NSError>& error) override
    {
        note("fail " + std::to_string(error->code()));
    }
    std::optional<Ref<NSURLRequest>> connectionWillSendRequestRedirectResponse(
        const Ref<NSURLConnection>&, const Ref<NSURLRequest>& request, const Ref<NSURLResponse>&) override
    {
        note("redirect");
        if (redirects == Redirects::Refuse)
            return Ref<NSURLRequest>();
        return request;
    }
    std::optional<Ref<NSCachedURLResponse>> connectionWillCacheResponse(
        const Ref<NSURLConnection>&, const Ref<NSCachedURLResponse>& proposed) override
    {
        note("cache");
        return refuseCaching ? Ref<NSCachedURLResponse>() : proposed;
    }
    void connectionDidSendBodyDataTotalBytesWrittenTotalBytesExpectedToWrite(
        const Ref<NSURLConnection>&, int64_t, int64_t total, int64_t) override
    {
        note("sent");
        lastTotalSent = total;
    }
    bool connectionWillSendRequestForAuthenticationChallenge(
        const Ref<NSURLConnection>&, const Ref<NSURLAuthenticationChallenge>& challenge) override
    {
        note("challenge " + challenge->protectionSpace()->realm().value_or("") + " "
            + std::to_string(challenge->previousFailureCount()));
        auto sender = challenge->sender();
        switch (challenges) {
        case Challenges::UseCredential:
            sender->useCredentialForAuthenticationChallenge(
                NSURLCredential::credentialWithUserPasswordPersistence("user",
                    challenge->previousFailureCount() == 0 ? "wrong" : "secret", NSURLCredentialPersistenceNone),
                challenge);
            break;
        case Challenges::ContinueWithout:
            sender->continueWithoutCredentialForAuthenticationChallenge(challenge);
            break;
        case Challenges::Cancel:
            sender->cancelAuthenticationChallenge(challenge);
            break;
        }
        return true;
    }
};

class NSURLConnectionTest : public ::testing::Test {
protected:
    void SetUp() override { NSURLCache::sharedURLCache()->removeAllCachedResponses(); }
    void TearDown() override
    {
        drainAll();
        NSURLCache::sharedURLCache()->removeAllCachedResponses();
        resetForTesting();
    }

    // Starts the connection on the network thread's run loop, as the networking layer does.
    static Ref<NSURLConnection> startOnNetworkThread(
        const Ref<NSURLRequest>& request, const Ref<RecordingConnectionDelegate>& delegate)
    {
        auto thread = networkThread();
        delegate->threadName = "test.network";
        auto connection = NSURLConnection::initWithRequestDelegateStartImmediately(request, delegate, false);
        performSelectorOnThread(
            thread,
            [connection] {
                connection->scheduleInRunLoopForMode(NSRunLoop::currentRunLoop(), NSRunLoopCommonModes);
                connection->start();
            },
            false);
        return connection;
    }
};

TEST_F(NSURLConnectionTest, DelegateCallsArriveOnTheScheduledRunLoopInOrder)
{
    LoopbackServer server;
    auto url = [&](const std::string& path) { return NSURL::URLWithString(server.url(path)); };
    auto redirect = url("/redirect?to=" + server.url("/hello"));
    struct Case {
        const char* name;
        Ref<NSURL> url;
        Redirects redirects;
        Challenges challenges;
        bool refuseCaching;
        std::vector<std::string> events;
        std::string body;
    } cases[] = {
        { "plain", url("/hello"), Redirects::Follow, Challenges::UseCredential, true,
            { "response 200", "data", "cache", "finish" }, "hello" },
        { "redirect followed", redirect, Redirects::Follow, Challenges::UseCredential, true,
            { "redirect", "response 200", "data", "cache", "finish" }, "hello" },
        { "redirect refused", redirect, Redirects::Refuse, Challenges::UseCredential, true,
            { "redirect", "response 302", "data", "finish" }, "moving" },
        { "basic, wrong then right password", url("/basic"), Redirects::Follow, Challenges::UseCredential, true,
            { "challenge test 0", "challenge test 1", "response 200", "data", "cache", "finish" }, "welcome" },
        { "basic, continue without", url("/basic"), Redirects::Follow, Challenges::ContinueWithout, true,
            { "challenge test 0", "response 401", "data", "finish" }, "denied" },
        { "basic, cancelled", url("/basic"), Redirects::Follow, Challenges::Cancel, true,
            { "challenge test 0", "fail -999" }, "" },
        { "refused host",
            NSURL::URLWithString("http://127.0.0.1:" + std::to_string(LoopbackServer::unusedPort()) + "/"),
            Redirects::Follow, Challenges::UseCredential, true, { "fail -1004" }, "" },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        auto delegate = std::make_shared<RecordingConnectionDelegate>();
        delegate->redirects = c.redirects;
        delegate->challenges = c.challenges;
        delegate->refuseCaching = c.refuseCaching;
        auto request = NSURLRequest::requestWithURLCachePolicyTimeoutInterval(
            c.url, NSURLRequestReloadIgnoringLocalCacheData, 5);
        startOnNetworkThread(request, delegate);
        drainAll();
        EXPECT_EQ(delegate->events, c.events);
        EXPECT_EQ(delegate->body, c.body);
        EXPECT_FALSE(delegate->onOtherThread);
    }
    EXPECT_EQ(NSURLCache::sharedURLCache()->currentMemoryUsage(), 0u);
}

TEST_F(NSURLConnectionTest, UploadsStreamedBodiesAndCancelSilencesTheDelegate)
{
    LoopbackServer server;
    auto delegate = std::make_shared<RecordingConnectionDelegate>();
    auto request = NSMutableURLRequest::requestWithURL(NSURL::URLWithString(server.url("/echo")));
    request->setHTTPMethod("PUT");
    std::string payload(100000, 'x');
    request->setHTTPBodyStream(NSInputStream::inputStreamWithData(Value::data(payload.data(), payload.size())));
    request->setValueForHTTPHeaderField("application/octet-stream", "Content-Type");
    startOnNetworkThread(request, delegate);
    drainAll();
    ASSERT_FALSE(delegate->events.empty());
    EXPECT_EQ(delegate->events.back(), "finish");
    EXPECT_EQ(delegate->lastTotalSent, int64_t(payload.size()));
    Value echoed = NSJSONSerialization::JSONObjectWithData(std::string_view(delegate->body), 0, nullptr);
    EXPECT_EQ(echoed["method"].stringValue(), "PUT");
    EXPECT_EQ(echoed["body"].stringValue().size(), payload.size());
    EXPECT_EQ(echoed["headers"]["Transfer-Encoding"].stringValue(), "chunked");

    // A connection cancelled mid-body tells its delegate nothing more.
    auto cancelled = std::make_shared<RecordingConnectionDelegate>();
    auto slow = NSURLRequest::requestWithURL(NSURL::URLWithString(server.url("/slow?count=20&ms=20")));
    auto connection = startOnNetworkThread(slow, cancelled);
    connection->cancel();
    drainAll();
    for (const auto& event : cancelled->events) {
        EXPECT_NE(event, "finish");
        EXPECT_EQ(event.rfind("fail", 0), std::string::npos);
    }
}

TEST_F(NSURLConnectionTest, AsynchronousRequestsCompleteOnTheGivenQueueFromStubs)
{
    URLStubs stubs;
    stubs.add({ .url = "http://stub.invalid/ok", .body = "stubbed" });
    stubs.add({ .url = "http://stub.invalid/down", .errorCode = NSURLErrorNotConnectedToInternet });
    auto queue = NSOperationQueue::mainQueue();
    struct Case {
        const char* url;
        std::string body;
        int32_t error;
    } cases[] = {
        { "http://stub.invalid/ok", "stubbed", 0 },
        { "http://stub.invalid/down", "", NSURLErrorNotConnectedToInternet },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.url);
        int calls = 0;
        bool onMain = false;
        std::string body;
        int32_t error = 0;
        NSURLConnection::sendAsynchronousRequestQueueCompletionHandler(
            NSURLRequest::requestWithURL(NSURL::URLWithString(c.url)), queue,
            [&](const Ref<NSURLResponse>&, const Value& data, const Ref<NSError>& failure) {
                ++calls;
                onMain = NSThread::isMainThread();
                body = text(data);
                error = failure ? failure->code() : 0;
            });
        drainAll();
        EXPECT_EQ(calls, 1);
        EXPECT_TRUE(onMain);
        EXPECT_EQ(body, c.body);
        EXPECT_EQ(error, c.error);
    }
}

} // namespace
