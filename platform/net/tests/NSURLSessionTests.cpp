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

#include <arpa/inet.h>
#include <atomic>
#include <condition_variable>
#include <mutex>
#include <netinet/in.h>
#include <sys/socket.h>
#include <thread>
#include <unistd.h>

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
        if (!c.body.empty()) {
            EXPECT_GE(outcome.spare, JSONReader::kReadInPlacePadding);
        }
    }
}

// A keep-alive HTTP server on loopback that answers "ok" to each request until told to reset:
// from then on it reads each request and drops its connection at once (a TCP reset). It counts
// the requests it reads. Answers can be held back until a number of requests wait, so that a
// client has to open that many connections.
class ResettingServer {
public:
    ResettingServer()
    {
        m_listener = socket(AF_INET, SOCK_STREAM, 0);
        sockaddr_in address {};
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        bind(m_listener, reinterpret_cast<sockaddr*>(&address), sizeof address);
        listen(m_listener, 16);
        socklen_t length = sizeof address;
        getsockname(m_listener, reinterpret_cast<sockaddr*>(&address), &length);
        m_port = ntohs(address.sin_port);
        m_acceptor = std::thread([this] { acceptConnections(); });
    }

    ~ResettingServer()
    {
        {
            std::lock_guard lock(m_lock);
            m_stopping = true;
            m_changed.notify_all();
            for (int connection : m_connections)
                shutdown(connection, SHUT_RDWR);
        }
        shutdown(m_listener, SHUT_RDWR);
        close(m_listener);
        m_acceptor.join();
        for (auto& thread : m_threads)
            thread.join();
        for (int connection : m_connections)
            close(connection);
    }

    std::string url() const { return "http://127.0.0.1:" + std::to_string(m_port) + "/"; }
    int requests() const
    {
        std::lock_guard lock(m_lock);
        return m_requests;
    }
    void holdAnswersUntilWaiting(int count)
    {
        std::lock_guard lock(m_lock);
        m_holdUntil = count;
    }
    void startResetting()
    {
        std::lock_guard lock(m_lock);
        m_resetting = true;
    }

private:
    void acceptConnections()
    {
        while (true) {
            int connection = accept(m_listener, nullptr, nullptr);
            if (connection < 0)
                return;
            std::lock_guard lock(m_lock);
            if (m_stopping) {
                close(connection);
                return;
            }
            m_connections.push_back(connection);
            m_threads.emplace_back([this, connection] { serve(connection); });
        }
    }

    void serve(int connection)
    {
        std::string pending;
        char buffer[4096];
        while (true) {
            size_t end;
            while ((end = pending.find("\r\n\r\n")) == std::string::npos) {
                ssize_t got = recv(connection, buffer, sizeof buffer, 0);
                if (got <= 0)
                    return;
                pending.append(buffer, size_t(got));
            }
            pending.erase(0, end + 4);
            std::unique_lock lock(m_lock);
            ++m_requests;
            if (m_resetting) {
                linger reset { 1, 0 };
                setsockopt(connection, SOL_SOCKET, SO_LINGER, &reset, sizeof reset);
                std::erase(m_connections, connection);
                close(connection);
                return;
            }
            ++m_waiting;
            m_changed.notify_all();
            m_changed.wait(lock, [this] { return m_stopping || m_waiting >= m_holdUntil; });
            lock.unlock();
            const char answer[] = "HTTP/1.1 200 OK\r\nContent-Type: text/plain\r\nContent-Length: 2\r\n\r\nok";
            send(connection, answer, sizeof answer - 1, MSG_NOSIGNAL);
        }
    }

    int m_listener { -1 };
    int m_port { 0 };
    std::thread m_acceptor;
    mutable std::mutex m_lock;
    std::condition_variable m_changed;
    std::vector<int> m_connections;
    std::vector<std::thread> m_threads;
    int m_requests { 0 };
    int m_waiting { 0 };
    int m_holdUntil { 0 };
    bool m_resetting { false };
    bool m_stopping { false };
};

// A request whose kept-alive connection turns out to be dead is sent once more, on another
// connection, and then fails with a lost connection: it is not sent again on every connection
// the session keeps.
TEST_F(NSURLSessionTest, AResetConnectionIsRetriedOnceOnly)
{
    ResettingServer server;
    auto session = NSURLSession::sessionWithConfiguration(NSURLSessionConfiguration::defaultSessionConfiguration());
    // Four requests at once leave four kept-alive connections.
    constexpr int kConnections = 4;
    server.holdAnswersUntilWaiting(kConnections);
    auto answered = std::make_shared<std::atomic<int>>(0);
    for (int request = 0; request < kConnections; ++request) {
        session
            ->dataTaskWithRequestCompletionHandler(NSURLRequest::requestWithURL(NSURL::URLWithString(server.url())),
                [answered](const Value& data, const Ref<NSURLResponse>&, const Ref<NSError>& error) {
                    if (!error && text(data) == "ok")
                        ++*answered;
                })
            ->resume();
    }
    drainAll();
    ASSERT_EQ(*answered, kConnections);
    ASSERT_EQ(server.requests(), kConnections);

    server.startResetting();
    auto outcome = load(session, server.url(), 5);
    EXPECT_EQ(outcome.calls, 1);
    EXPECT_EQ(outcome.errorCode, NSURLErrorNetworkConnectionLost);
    EXPECT_EQ(server.requests() - kConnections, 2);
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
