#include "foundation/JSONReader.h"
#include "net/NSStream.h"
#include "net/NSURL.h"
#include "net/NSURLError.h"
#include "net/tests/NetTestSupport.h"
#include "testing/Drain.h"
#include "testing/LoopbackServer.h"
#include "testing/URLStubs.h"
#include "testing/VirtualClock.h"

#include <gtest/gtest.h>

namespace {

class NSURLSessionTest : public ::testing::Test {
protected:
    void TearDown() override
    {
        drainAll();
        resetForTesting();
    }
};

struct Outcome {
    std::string body;
    int32_t status { 0 };
    int32_t errorCode { 0 };
    int calls { 0 };
    bool onDelegateQueue { true };
    // Room allocated after the body's last byte.
    size_t spare { 0 };
};

Outcome load(const Ref<NSURLSession>& session, const Ref<NSURLRequest>& request)
{
    auto outcome = std::make_shared<Outcome>();
    auto queue = session->delegateQueue();
    auto task = session->dataTaskWithRequestCompletionHandler(
        request, [outcome, queue](const Value& data, const Ref<NSURLResponse>& response, const Ref<NSError>& error) {
            ++outcome->calls;
            outcome->onDelegateQueue = NSOperationQueue::currentQueue() == queue;
            outcome->body = text(data);
            outcome->spare = data.bytes().capacity() - data.bytes().size();
            if (auto http = std::dynamic_pointer_cast<NSHTTPURLResponse>(response))
                outcome->status = http->statusCode();
            outcome->errorCode = error ? error->code() : 0;
        });
    task->resume();
    drainAll();
    return *outcome;
}

Outcome load(const Ref<NSURLSession>& session, const std::string& url, double timeout = 60)
{
    auto parsed = NSURL::URLWithString(url);
    auto request = NSMutableURLRequest::requestWithURLCachePolicyTimeoutInterval(
        parsed, NSURLRequestReloadIgnoringLocalCacheData, timeout);
    return load(session, request);
}

TEST_F(NSURLSessionTest, LoadsOverLoopbackAndEndsEachFailureWithItsError)
{
    LoopbackServer server;
    auto session = NSURLSession::sessionWithConfiguration(NSURLSessionConfiguration::defaultSessionConfiguration());
    std::string refused = "http://127.0.0.1:" + std::to_string(LoopbackServer::unusedPort()) + "/";
    struct Case {
        std::string url;
        double timeout;
        int32_t status;
        std::string body;
        int32_t error;
    } cases[] = {
        { server.url("/hello"), 5, 200, "hello", 0 },
        { server.url("/chunked?count=3"), 5, 200, "chunk-0\nchunk-1\nchunk-2\n", 0 },
        { server.url("/gzip"), 5, 200, "compressed body", 0 },
        { server.url("/status/404"), 5, 404, "status 404", 0 },
        { server.url("/redirect?to=/hello"), 5, 200, "hello", 0 },
        { server.url("/reset"), 5, 200, "", NSURLErrorNetworkConnectionLost },
        { server.url("/hang"), 0.3, 0, "", NSURLErrorTimedOut },
        { refused, 5, 0, "", NSURLErrorCannotConnectToHost },
        { "ftp://127.0.0.1/file", 5, 0, "", NSURLErrorUnsupportedURL },
        { "http:///nohost", 5, 0, "", NSURLErrorBadURL },
        { "file:///no/such/file.txt", 5, 0, "", NSURLErrorFileDoesNotExist },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.url);
        auto outcome = load(session, c.url, c.timeout);
        EXPECT_EQ(outcome.calls, 1);
        EXPECT_TRUE(outcome.onDelegateQueue);
        EXPECT_EQ(outcome.errorCode, c.error);
        EXPECT_EQ(outcome.status, c.status);
        EXPECT_EQ(outcome.body, c.body);
        // A body leaves the JSON reader room to read it where it lies.
        if (!c.body.empty())
            EXPECT_GE(outcome.spare, JSONReader::kReadInPlacePadding);
    }
}

TEST_F(NSURLSessionTest, StubsAnswerBeforeTheNetworkAndRecordRequests)
{
    auto clock = VirtualClock::install();
    URLStubs stubs;
    auto stub = stubs.add({ .method = "POST",
        .url = "http://feed.invalid/update",
        .statusCode = 201,
        .headers = { { "X-VX-S-TIME", "1388534400" } },
        .body = "abcdefghij",
        .chunkSize = 4,
        .delay = 2,
        .chunkDelay = 0.5 });
    auto delegate = std::make_shared<RecordingSessionDelegate>();
    auto queue = NSOperationQueue::init();
    queue->setMaxConcurrentOperationCount(1);
    delegate->expectQueue(queue);
    auto session = NSURLSession::sessionWithConfigurationDelegateDelegateQueue(
        NSURLSessionConfiguration::defaultSessionConfiguration(), delegate, queue);

    auto request = NSMutableURLRequest::requestWithURL(NSURL::URLWithString("http://feed.invalid/update#ignored"));
    request->setHTTPMethod("POST");
    request->setValueForHTTPHeaderField("text/plain", "Content-Type");
    request->addValueForHTTPHeaderField("image/*", "Accept");
    request->setHTTPBody(Value::data("payload", 7));
    auto task = session->dataTaskWithRequest(request);
    EXPECT_EQ(task->state(), NSURLSessionTaskStateSuspended);
    task->resume();
    drainAll();
    // Nothing arrives before the stub's delay has passed on the clock.
    EXPECT_TRUE(delegate->events().empty());
    clock->advance(2);
    EXPECT_EQ(delegate->events(), (std::vector<std::string> { "response 201", "data" }));
    EXPECT_EQ(delegate->body(), "abcd");
    clock->advance(1);
    EXPECT_EQ(delegate->events(), (std::vector<std::string> { "response 201", "data", "complete" }));
    EXPECT_EQ(delegate->body(), "abcdefghij");
    EXPECT_TRUE(delegate->allOnDelegateQueue());
    EXPECT_EQ(task->state(), NSURLSessionTaskStateCompleted);
    EXPECT_EQ(task->countOfBytesReceived(), 10);

    auto http = std::dynamic_pointer_cast<NSHTTPURLResponse>(task->response());
    ASSERT_TRUE(http);
    EXPECT_EQ(http->allHeaderFields()["X-VX-S-TIME"].stringValue(), "1388534400");
    EXPECT_TRUE(http->allHeaderFields()["x-vx-s-time"].isNil());

    auto records = stub->requests();
    ASSERT_EQ(records.size(), 1u);
    EXPECT_EQ(records[0].url, "http://feed.invalid/update");
    EXPECT_EQ(records[0].header("Accept").value_or(""), "image/*");
    EXPECT_EQ(std::string(records[0].body.begin(), records[0].body.end()), "payload");
    clock->uninstall();
}

TEST_F(NSURLSessionTest, TheResourceTimeoutEndsALoadThatNeverGoesIdle)
{
    // One byte every 20 s never trips the 60 s idle timeout; the resource timeout bounds the
    // whole load.
    auto clock = VirtualClock::install();
    URLStubs stubs;
    stubs.add({ .url = "http://trickle.invalid/a", .body = "abcdefghij", .chunkSize = 1, .chunkDelay = 20 });
    struct Case {
        double resourceTimeout;
        int32_t errorCode;
        double endsAfter;
    } cases[] = { { 50, NSURLErrorTimedOut, 50 }, { 7 * 24 * 3600, 0, 180 } };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.resourceTimeout);
        auto configuration = NSURLSessionConfiguration::defaultSessionConfiguration();
        configuration->setTimeoutIntervalForResource(c.resourceTimeout);
        auto session = NSURLSession::sessionWithConfiguration(configuration);
        std::optional<int32_t> finished;
        double started = clock->mediaTime(), endedAt = 0;
        session
            ->dataTaskWithRequestCompletionHandler(
                NSURLRequest::requestWithURL(NSURL::URLWithString("http://trickle.invalid/a")),
                [&](const Value&, const Ref<NSURLResponse>&, const Ref<NSError>& error) {
                    finished = error ? error->code() : 0;
                    endedAt = clock->mediaTime();
                })
            ->resume();
        drainAll();
        for (int step = 0; step < 30 && !finished; ++step) {
            clock->advance(10);
            drainAll();
        }
        ASSERT_TRUE(finished);
        EXPECT_EQ(*finished, c.errorCode);
        EXPECT_NEAR(endedAt - started, c.endsAfter, 10.5);
    }
}

TEST_F(NSURLSessionTest, CancelAndTimeoutEndATaskOnceWithStatesObservable)
{
    auto clock = VirtualClock::install();
    URLStubs stubs;
    stubs.add({ .url = "http://slow.invalid/a", .body = "late", .delay = 100 });
    auto delegate = std::make_shared<RecordingSessionDelegate>();
    auto session = NSURLSession::sessionWithConfigurationDelegateDelegateQueue(
        NSURLSessionConfiguration::defaultSessionConfiguration(), delegate, nullptr);

    auto cancelled = session->dataTaskWithURL(NSURL::URLWithString("http://slow.invalid/a"));
    auto timesOut = session->dataTaskWithRequest(NSURLRequest::requestWithURLCachePolicyTimeoutInterval(
        NSURL::URLWithString("http://slow.invalid/a"), NSURLRequestUseProtocolCachePolicy, 10));
    cancelled->resume();
    timesOut->resume();
    drainAll();

    std::vector<Ref<NSURLSessionTask>> outstanding;
    session->getTasksWithCompletionHandler([&](auto data, auto uploads, auto downloads) {
        outstanding.assign(data.begin(), data.end());
        EXPECT_TRUE(uploads.empty());
        EXPECT_TRUE(downloads.empty());
    });
    drainAll();
    EXPECT_EQ(outstanding.size(), 2u);
    // The same answer without a trip through the delegate queue, in the order of creation.
    EXPECT_EQ(session->outstandingTasks(), (std::vector<Ref<NSURLSessionTask>> { cancelled, timesOut }));

    cancelled->cancel();
    cancelled->cancel();
    drainAll();
    EXPECT_EQ(session->outstandingTasks(), (std::vector<Ref<NSURLSessionTask>> { timesOut }));
    EXPECT_EQ(cancelled->state(), NSURLSessionTaskStateCompleted);
    EXPECT_EQ(cancelled->error()->code(), NSURLErrorCancelled);
    EXPECT_EQ(
        cancelled->error()->userInfo()[NSURLErrorFailingURLStringErrorKey].stringValue(), "http://slow.invalid/a");

    clock->advance(11);
    EXPECT_EQ(timesOut->error() ? timesOut->error()->code() : 0, NSURLErrorTimedOut);
    clock->advance(100); // the stub's late answer is ignored
    EXPECT_EQ(delegate->completions(), 2);
    EXPECT_EQ(delegate->events(), (std::vector<std::string> { "complete -999", "complete -1001" }));

    session->finishTasksAndInvalidate();
    drainAll();
    EXPECT_EQ(delegate->events().back(), "invalid");
    EXPECT_FALSE(session->dataTaskWithURL(NSURL::URLWithString("http://slow.invalid/a")));
    clock->uninstall();
}

// Writes down each change of an observed key path.
class KeyObserver final : public NSObject {
    VX_OBJECT(KeyObserver, NSObject)
public:
    explicit KeyObserver(Passkey key)
        : NSObject(key)
    {
    }
    static Ref<KeyObserver> init() { return make<KeyObserver>(); }
    void observeValueForKeyPath(const std::string& keyPath, const Ref<NSObject>& object, const Value&, void*) override
    {
        std::lock_guard lock(m_lock);
        changes.push_back(keyPath + "=" + object->valueForKey(keyPath).description());
    }
    std::vector<std::string> changes;

private:
    std::mutex m_lock;
};

class StreamingDelegate final : public RecordingSessionDelegate {
public:
    bool URLSessionTaskNeedNewBodyStream(const Ref<NSURLSession>&, const Ref<NSURLSessionTask>&,
        std::function<void(Ref<NSInputStream>)> handler) override
    {
        note("need stream");
        handler(NSInputStream::inputStreamWithData(Value::data("streamed body", 13)));
        return true;
    }
};

TEST_F(NSURLSessionTest, TaskStateIsObservableAndStreamedUploadsAskTheDelegate)
{
    URLStubs stubs;
    auto stub = stubs.add({ .method = "PUT", .url = "http://feed.invalid/upload", .body = "stored" });
    auto delegate = std::make_shared<StreamingDelegate>();
    auto session = NSURLSession::sessionWithConfigurationDelegateDelegateQueue(
        NSURLSessionConfiguration::defaultSessionConfiguration(), delegate, nullptr);
    auto request = NSMutableURLRequest::requestWithURL(NSURL::URLWithString("http://feed.invalid/upload"));
    request->setHTTPMethod("PUT");
    auto task = session->uploadTaskWithStreamedRequest(request);
    auto observer = KeyObserver::init();
    task->addObserver(observer, "state", NSObject::NSKeyValueObservingOptionNew, nullptr);
    task->addObserver(observer, "countOfBytesReceived", NSObject::NSKeyValueObservingOptionNew, nullptr);
    task->resume();
    drainAll();
    task->removeObserver(observer, "state");
    task->removeObserver(observer, "countOfBytesReceived");
    EXPECT_EQ(observer->changes, (std::vector<std::string> { "state=0", "countOfBytesReceived=6", "state=3" }));
    EXPECT_EQ(delegate->events(), (std::vector<std::string> { "need stream", "response 200", "data", "complete" }));
    ASSERT_EQ(stub->requestCount(), 1u);
    auto body = stub->requests()[0].body;
    EXPECT_EQ(std::string(body.begin(), body.end()), "streamed body");
    EXPECT_EQ(task->currentRequest()->URL()->absoluteString(), "http://feed.invalid/upload");
    EXPECT_EQ(task->taskIdentifier(), 1u);
}

} // namespace
