#include "networking/VNURLConnectionOperation.h"

#include "foundation/NSError.h"
#include "foundation/NSNotification.h"
#include "foundation/NSNotificationCenter.h"
#include "foundation/NSOperationQueue.h"
#include "foundation/NSString.h"
#include "foundation/NSThread.h"
#include "net/NSHTTPURLResponse.h"
#include "net/NSStream.h"
#include "net/NSURL.h"
#include "net/NSURLCredential.h"
#include "net/NSURLError.h"
#include "net/NSURLRequest.h"
#include "net/NSURLResponse.h"
#include "networking/VNSecurityPolicy.h"
#include "networking/tests/StubbedNetworkTestSupport.h"
#include "testing/Drain.h"
#include "testing/LoopbackServer.h"
#include "testing/TestCertificates.h"
#include "testing/URLStubs.h"
#include "testing/VirtualClock.h"
#include "uikit/UIApplication.h"
#include "uikit/UIApplicationHost.h"

#include <gtest/gtest.h>

#include <map>

namespace {

URLStubSpec stubSpec(std::string url, std::string body, NSHTTPURLResponse::HeaderList headers = {})
{
    URLStubSpec spec;
    spec.url = std::move(url);
    spec.body = std::move(body);
    spec.headers = std::move(headers);
    return spec;
}

class KeyCounter : public NSObject {
    VX_OBJECT(KeyCounter, NSObject)
public:
    explicit KeyCounter(Passkey key)
        : NSObject(key)
    {
    }
    static Ref<KeyCounter> create() { return make<KeyCounter>(); }
    void observeValueForKeyPath(const std::string& keyPath, const Ref<NSObject>&, const Value&, void*) override
    {
        ++counts[keyPath];
    }
    std::map<std::string, int> counts;
};

// Counts the start and finish notifications, and resets shared state between tests.
class VNURLConnectionOperationTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        auto center = NSNotificationCenter::defaultCenter();
        m_tokens.push_back(center->addObserverForName(std::string(VNNetworkingOperationDidStartNotification), nullptr,
            nullptr, [this](const Ref<NSNotification>&) { ++starts; }));
        m_tokens.push_back(center->addObserverForName(std::string(VNNetworkingOperationDidFinishNotification), nullptr,
            nullptr, [this](const Ref<NSNotification>&) { ++finishes; }));
    }
    void TearDown() override
    {
        drainAll();
        for (const auto& token : m_tokens)
            NSNotificationCenter::defaultCenter()->removeObserver(token);
        resetForTesting();
    }
    URLStubs stubs;
    int starts { 0 };
    int finishes { 0 };

private:
    std::vector<Ref<NSObject>> m_tokens;
};

TEST_F(VNURLConnectionOperationTest, LoadsBodiesAndReportsFailures)
{
    auto chunked
        = stubSpec("http://stub.invalid/body", "caf\xe9!", { { "Content-Type", "text/plain; charset=iso-8859-1" } });
    chunked.chunkSize = 2;
    stubs.add(chunked);
    stubs.add(stubSpec("http://stub.invalid/plain", "ok"));
    stubs.add(
        stubSpec("http://stub.invalid/odd", "\xc3\xa9", { { "Content-Type", "text/plain; charset=no-such-set" } }));
    auto down = stubSpec("http://stub.invalid/down", "");
    down.errorCode = NSURLErrorNotConnectedToInternet;
    stubs.add(down);
    struct Case {
        const char* url;
        const char* body; // nullptr: failure
        uint32_t encoding;
        const char* text;
        int chunks;
        int32_t errorCode;
    } cases[] = {
        { "http://stub.invalid/body", "caf\xe9!", NSISOLatin1StringEncoding, "caf\xc3\xa9!", 3, 0 },
        { "http://stub.invalid/plain", "ok", NSUTF8StringEncoding, "ok", 1, 0 },
        { "http://stub.invalid/odd", "\xc3\xa9", NSUTF8StringEncoding, "\xc3\xa9", 1, 0 },
        { "http://stub.invalid/down", nullptr, 0, nullptr, 0, NSURLErrorNotConnectedToInternet },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.url);
        starts = finishes = 0;
        auto operation = VNURLConnectionOperation::initWithRequest(requestFor(c.url));
        EXPECT_EQ(operation->state(), VNURLConnectionOperation::VNOperationReadyState);
        std::vector<int64_t> progress;
        operation->setDownloadProgressBlock([&](uint32_t bytes, int64_t total, int64_t) {
            EXPECT_TRUE(NSThread::isMainThread());
            progress.push_back(total);
        });
        int completions = 0;
        operation->setCompletionBlock([&] {
            EXPECT_TRUE(NSThread::isMainThread());
            ++completions;
        });
        operation->start();
        operation->start(); // not ready any more: ignored
        drainAll();
        EXPECT_TRUE(operation->isFinished());
        EXPECT_EQ(completions, 1);
        EXPECT_FALSE(operation->completionBlock());
        EXPECT_EQ(starts, 1);
        EXPECT_EQ(finishes, 1);
        EXPECT_EQ(int(progress.size()), c.chunks);
        if (c.body) {
            EXPECT_FALSE(operation->error());
            std::string body(c.body);
            EXPECT_EQ(operation->responseData().bytes(), Value::Bytes(body.begin(), body.end()));
            EXPECT_EQ(operation->totalBytesRead(), int64_t(body.size()));
            EXPECT_EQ(progress.back(), int64_t(body.size()));
            EXPECT_EQ(operation->responseStringEncoding(), c.encoding);
            EXPECT_EQ(operation->responseString(), std::optional<std::string>(c.text));
        } else {
            ASSERT_TRUE(operation->error());
            EXPECT_EQ(operation->error()->code(), c.errorCode);
            EXPECT_FALSE(operation->responseString());
        }
    }
}

TEST_F(VNURLConnectionOperationTest, AnswersChallengesWithItsPolicyAndCredential)
{
    TestCertificates certificates;
    LoopbackServer secure(certificates.selfSigned());
    struct Case {
        const char* name;
        uint32_t mode;
        bool allowInvalid;
        const TestIdentity* pin;
        int32_t errorCode;
    } cases[] = {
        { "default policy refuses a self-signed server", 0, false, nullptr, NSURLErrorCancelled },
        { "invalid certificates allowed", 0, true, nullptr, 0 },
        { "pinned certificate", 2, false, &certificates.selfSigned(), 0 },
        { "pinned key of another server", 1, true, &certificates.localhost(), NSURLErrorCancelled },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        auto policy = VNSecurityPolicy::defaultPolicy();
        policy->setSSLPinningMode(c.mode);
        policy->setAllowInvalidCertificates(c.allowInvalid);
        if (c.pin)
            policy->setPinnedCertificates(std::vector<Value::Bytes> { c.pin->certificateDER });
        auto operation = VNURLConnectionOperation::initWithRequest(requestFor(secure.url("/hello")));
        operation->setSecurityPolicy(policy);
        operation->start();
        drainAll();
        ASSERT_TRUE(operation->isFinished());
        EXPECT_EQ(operation->error() ? operation->error()->code() : 0, c.errorCode);
        EXPECT_EQ(operation->responseString().value_or(""), c.errorCode ? "" : "hello");
    }

    // Other challenges: the credential is offered once; after a failure the load goes on without.
    LoopbackServer plain;
    struct Login {
        const char* password;
        int32_t status;
    } logins[] = { { "secret", 200 }, { "wrong", 401 } };
    for (const auto& login : logins) {
        SCOPED_TRACE(login.password);
        auto operation = VNURLConnectionOperation::initWithRequest(requestFor(plain.url("/basic")));
        operation->setCredential(NSURLCredential::credentialWithUserPasswordPersistence(
            "user", login.password, NSURLCredentialPersistenceNone));
        operation->start();
        drainAll();
        ASSERT_TRUE(operation->isFinished());
        EXPECT_FALSE(operation->error());
        auto response = std::dynamic_pointer_cast<NSHTTPURLResponse>(operation->response());
        ASSERT_TRUE(response);
        EXPECT_EQ(response->statusCode(), login.status);
    }
}

TEST_F(VNURLConnectionOperationTest, StreamsThatCannotTakeTheBodyFailTheLoad)
{
    stubs.add(stubSpec("http://stub.invalid/data", "payload"));
    struct Case {
        const char* name;
        std::function<Ref<NSOutputStream>()> make;
    } cases[] = {
        { "closed by its owner",
            [] {
                auto stream = NSOutputStream::outputStreamToMemory();
                stream->open();
                stream->close();
                return stream;
            } },
        { "file that cannot be created",
            [] { return NSOutputStream::outputStreamToFileAtPathAppend("/nonexistent-dir/body", false); } },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        auto operation = VNURLConnectionOperation::initWithRequest(requestFor("http://stub.invalid/data"));
        operation->setOutputStream(c.make());
        int progress = 0;
        operation->setDownloadProgressBlock([&](uint32_t, int64_t, int64_t) { ++progress; });
        operation->start();
        drainAll();
        EXPECT_TRUE(operation->isFinished());
        ASSERT_TRUE(operation->error());
        EXPECT_EQ(progress, 0);
        EXPECT_EQ(operation->totalBytesRead(), 0);
    }
}

TEST_F(VNURLConnectionOperationTest, CancellingBeforeStartFinishesOnceWithCancelledError)
{
    auto stub = stubs.add(stubSpec("http://stub.invalid/never", "x"));
    auto operation = VNURLConnectionOperation::initWithRequest(requestFor("http://stub.invalid/never"));
    auto counter = KeyCounter::create();
    operation->addObserver(counter, "isCancelled", 0, nullptr);
    int completions = 0;
    operation->setCompletionBlock([&] { ++completions; });

    operation->cancel();
    operation->cancel();
    drainAll();
    operation->start();
    operation->cancel();
    drainAll();

    EXPECT_EQ(counter->counts["isCancelled"], 1);
    auto text = operation->description();
    EXPECT_EQ(text.rfind("<VNURLConnectionOperation: 0x", 0), 0u) << text;
    EXPECT_NE(text.find(", state: isFinished, cancelled: YES request: "), std::string::npos) << text;
    EXPECT_EQ(text.find("Format error"), std::string::npos) << text;
    EXPECT_TRUE(operation->isCancelled());
    EXPECT_TRUE(operation->isFinished());
    ASSERT_TRUE(operation->error());
    EXPECT_EQ(operation->error()->domain(), NSURLErrorDomain);
    EXPECT_EQ(operation->error()->code(), NSURLErrorCancelled);
    EXPECT_EQ(operation->error()->userInfo()[NSURLErrorFailingURLErrorKey].objectValue(), operation->request()->URL());
    EXPECT_EQ(completions, 1);
    EXPECT_EQ(stub->requestCount(), 0u);
    EXPECT_EQ(finishes, 1);
    operation->removeObserver(counter, "isCancelled");
}

TEST_F(VNURLConnectionOperationTest, PausesAndResumesThroughTheStateMachine)
{
    ScopedVirtualClock clock;
    auto slow = stubSpec("http://stub.invalid/slow", "slow body");
    slow.delay = 5;
    stubs.add(slow);
    auto operation = VNURLConnectionOperation::initWithRequest(requestFor("http://stub.invalid/slow"));

    // A ready operation only changes state; paused cannot jump to executing.
    operation->pause();
    drainAll();
    EXPECT_TRUE(operation->isPaused());
    EXPECT_EQ(finishes, 0);
    EXPECT_EQ(starts, 0);
    operation->setState(VNURLConnectionOperation::VNOperationExecutingState);
    EXPECT_TRUE(operation->isPaused());

    // Resuming starts; pausing the running operation drops its connection and posts "finish".
    operation->resume();
    drainAll();
    EXPECT_TRUE(operation->isExecuting());
    EXPECT_EQ(starts, 1);
    operation->pause();
    drainAll();
    EXPECT_TRUE(operation->isPaused());
    EXPECT_EQ(finishes, 1);
    clock.advance(10);
    drainAll();
    EXPECT_TRUE(operation->isPaused());
    EXPECT_FALSE(operation->response());

    operation->resume();
    drainAll();
    clock.advance(10);
    drainAll();
    EXPECT_TRUE(operation->isFinished());
    EXPECT_EQ(operation->responseString(), std::optional<std::string>("slow body"));
    EXPECT_EQ(finishes, 2);

    // Cancelling a paused operation finishes it.
    auto paused = VNURLConnectionOperation::initWithRequest(requestFor("http://stub.invalid/slow"));
    paused->start();
    drainAll();
    paused->pause();
    paused->cancel();
    drainAll();
    EXPECT_TRUE(paused->isFinished());
    ASSERT_TRUE(paused->error());
    EXPECT_EQ(paused->error()->code(), NSURLErrorCancelled);

    // Finished is final.
    for (int32_t state : { -1, 1, 2 }) {
        operation->setState(state);
        EXPECT_TRUE(operation->isFinished());
    }
    operation->pause();
    operation->resume();
    EXPECT_TRUE(operation->isFinished());
}

TEST_F(VNURLConnectionOperationTest, BackgroundTasksCancelOnExpiryAndEndWithTheOperation)
{
    auto application = UIApplication::sharedApplication();
    size_t before = application->activeBackgroundTaskCount();
    auto operation = VNURLConnectionOperation::initWithRequest(requestFor("http://stub.invalid/bg"));
    int expirations = 0;
    operation->setShouldExecuteAsBackgroundTaskWithExpirationHandler([&] { ++expirations; });
    uint32_t task = operation->backgroundTaskIdentifier();
    EXPECT_NE(task, 0u);
    operation->setShouldExecuteAsBackgroundTaskWithExpirationHandler(nullptr);
    EXPECT_EQ(operation->backgroundTaskIdentifier(), task);
    EXPECT_EQ(application->activeBackgroundTaskCount(), before + 1);

    UIApplicationHost::expireBackgroundTasks();
    drainAll();
    EXPECT_EQ(expirations, 1);
    EXPECT_TRUE(operation->isCancelled());
    EXPECT_TRUE(operation->isFinished());
    EXPECT_EQ(operation->backgroundTaskIdentifier(), 0u);
    EXPECT_EQ(application->activeBackgroundTaskCount(), before);

    // A task still recorded when the operation goes away is ended then.
    auto other = VNURLConnectionOperation::initWithRequest(requestFor("http://stub.invalid/bg"));
    other->setShouldExecuteAsBackgroundTaskWithExpirationHandler(nullptr);
    EXPECT_EQ(application->activeBackgroundTaskCount(), before + 1);
    other = nullptr;
    EXPECT_EQ(application->activeBackgroundTaskCount(), before);
}

TEST_F(VNURLConnectionOperationTest, BatchesRunTheirBlockAfterEveryCompletion)
{
    auto any = stubSpec("http://stub.invalid/", "b");
    any.matchPrefix = true;
    stubs.add(any);
    std::vector<Ref<VNURLConnectionOperation>> operations;
    std::vector<std::string> events;
    for (int i = 0; i < 3; ++i) {
        auto operation
            = VNURLConnectionOperation::initWithRequest(requestFor("http://stub.invalid/" + std::to_string(i)));
        operation->setCompletionBlock([&events, i] { events.push_back("done " + std::to_string(i)); });
        operations.push_back(operation);
    }
    std::vector<std::pair<uint32_t, uint32_t>> progress;
    size_t completedWith = 0;
    auto batch = VNURLConnectionOperation::batchOfRequestOperations(
        operations, [&](uint32_t finished, uint32_t total) { progress.emplace_back(finished, total); },
        [&](const std::vector<Ref<VNURLConnectionOperation>>& done) {
            events.push_back("batch");
            completedWith = done.size();
        });
    ASSERT_EQ(batch.size(), 4u);
    EXPECT_EQ(batch.back()->dependencies().size(), 3u);
    auto queue = NSOperationQueue::init();
    queue->addOperationsWaitUntilFinished(batch, false);
    drainAll();

    ASSERT_EQ(events.size(), 4u);
    EXPECT_EQ(events.back(), "batch");
    EXPECT_EQ(completedWith, 3u);
    ASSERT_EQ(progress.size(), 3u);
    for (const auto& [finished, total] : progress) {
        EXPECT_EQ(total, 3u);
        EXPECT_GE(finished, 1u);
    }
    EXPECT_EQ(progress.back().first, 3u);

    // An empty batch is one operation that completes with nothing.
    std::optional<size_t> emptyCount;
    auto empty = VNURLConnectionOperation::batchOfRequestOperations(
        {}, nullptr, [&](const std::vector<Ref<VNURLConnectionOperation>>& done) { emptyCount = done.size(); });
    ASSERT_EQ(empty.size(), 1u);
    queue->addOperation(empty[0]);
    drainAll();
    EXPECT_EQ(emptyCount, std::optional<size_t>(0));
}

} // namespace
