#include "networking/VNURLSessionManager.h"

#include "foundation/NSError.h"
#include "foundation/NSFileManager.h"
#include "foundation/NSNotification.h"
#include "foundation/NSNotificationCenter.h"
#include "foundation/NSOperationQueue.h"
#include "foundation/NSProgress.h"
#include "foundation/NSThread.h"
#include "foundation/Sandbox.h"
#include "net/NSHTTPURLResponse.h"
#include "net/NSMutableURLRequest.h"
#include "net/NSURL.h"
#include "net/NSURLCredential.h"
#include "net/NSURLError.h"
#include "net/NSURLProtectionSpace.h"
#include "net/NSURLRequest.h"
#include "net/NSURLSessionConfiguration.h"
#include "networking/VNHTTPResponseSerializer.h"
#include "networking/VNNetworkReachabilityManager.h"
#include "networking/VNSecurityPolicy.h"
#include "networking/tests/StubbedNetworkTestSupport.h"
#include "sysconfig/SCNetworkReachability.h"
#include "testing/Drain.h"
#include "testing/LoopbackServer.h"
#include "testing/TestCertificates.h"
#include "testing/URLStubs.h"
#include "testing/VirtualClock.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

namespace {

const NSHTTPURLResponse::HeaderList kJSON { { "Content-Type", "application/json" } };

// What the session stack posted, in order: "name" for each of its notifications.
struct PostedNotification {
    std::string name;
    Ref<NSObject> object;
    Value userInfo;
};

class VNURLSessionManagerTest : public ReachableNetworkTest {
protected:
    void SetUp() override
    {
        ReachableNetworkTest::SetUp();
        for (const char* name : { VNNetworkingTaskDidResumeNotification, VNNetworkingTaskDidSuspendNotification,
                 VNNetworkingTaskDidCompleteNotification, VNURLSessionDidInvalidateNotification,
                 VNURLSessionDownloadTaskDidFailToMoveFileNotification }) {
            tokens.push_back(NSNotificationCenter::defaultCenter()->addObserverForName(
                std::string(name), nullptr, nullptr, [this](const Ref<NSNotification>& note) {
                    std::lock_guard guard(lock);
                    posted.push_back({ note->name(), note->object(), note->userInfo() });
                }));
        }
    }
    void TearDown() override
    {
        for (const auto& manager : managers)
            manager->invalidateSessionCancelingTasks(true);
        drainAll();
        for (const auto& token : tokens)
            NSNotificationCenter::defaultCenter()->removeObserver(token);
        restoreReachability();
        resetForTesting();
    }
    Ref<VNURLSessionManager> makeManager(const Ref<NSURLSessionConfiguration>& configuration = nullptr)
    {
        auto manager = VNURLSessionManager::initWithSessionConfiguration(configuration);
        managers.push_back(manager);
        return manager;
    }
    std::vector<std::string> postedNames(const Ref<NSObject>& object = nullptr)
    {
        std::lock_guard guard(lock);
        std::vector<std::string> names;
        for (const auto& note : posted) {
            if (!object || note.object == object)
                names.push_back(note.name);
        }
        return names;
    }
    std::optional<PostedNotification> lastPosted(const std::string& name)
    {
        std::lock_guard guard(lock);
        for (auto it = posted.rbegin(); it != posted.rend(); ++it) {
            if (it->name == name)
                return *it;
        }
        return std::nullopt;
    }

    URLStubs stubs;
    std::vector<Ref<VNURLSessionManager>> managers;
    std::vector<Ref<NSObject>> tokens;
    std::mutex lock;
    std::vector<PostedNotification> posted;
};

struct Completion {
    int calls { 0 };
    bool onMainThread { false };
    Ref<NSURLResponse> response;
    Value object;
    Ref<NSError> error;
};

VNURLSessionManager::CompletionHandler recordInto(Completion& completion)
{
    return [&completion](const Ref<NSURLResponse>& response, const Value& object, const Ref<NSError>& error) {
        ++completion.calls;
        completion.onMainThread = NSThread::isMainThread();
        completion.response = response;
        completion.object = object;
        completion.error = error;
    };
}

TEST_F(VNURLSessionManagerTest, DataTasksSerializeTheirBodyAndPostTheFinishNotification)
{
    stubs.add(stubSpec("http://stub.invalid/json", 200, "{\"a\":1}", kJSON));
    stubs.add(stubSpec("http://stub.invalid/json-error", 404, "{\"e\":2}", kJSON));
    stubs.add(stubSpec("http://stub.invalid/html", 200, "<p>", { { "Content-Type", "text/html" } }));
    auto broken = stubSpec("http://stub.invalid/broken", 200, "partial body", kJSON);
    broken.failAfterBytes = 7;
    broken.errorCode = NSURLErrorNetworkConnectionLost;
    stubs.add(broken);
    struct Case {
        const char* url;
        const char* object; // description; nullptr for nil
        int32_t errorCode;
        const char* data; // the finish notification's response data
    } cases[] = {
        { "http://stub.invalid/json", "{\n    a = 1;\n}", 0, "{\"a\":1}" },
        // The serializer's object comes with its error.
        { "http://stub.invalid/json-error", "{\n    e = 2;\n}", NSURLErrorBadServerResponse, "{\"e\":2}" },
        { "http://stub.invalid/html", nullptr, NSURLErrorCannotDecodeContentData, "<p>" },
        // A failed task gets no object, but the data that arrived is in the notification.
        { "http://stub.invalid/broken", nullptr, NSURLErrorNetworkConnectionLost, "partial" },
    };
    auto manager = makeManager();
    for (const auto& c : cases) {
        SCOPED_TRACE(c.url);
        Completion completion;
        auto task = manager->dataTaskWithRequestCompletionHandler(requestFor(c.url), recordInto(completion));
        ASSERT_TRUE(task);
        EXPECT_EQ(task->state(), NSURLSessionTaskStateSuspended);
        EXPECT_TRUE(manager->delegateForTask(task));
        task->resume();
        drainAll();
        EXPECT_EQ(completion.calls, 1);
        EXPECT_TRUE(completion.onMainThread);
        EXPECT_EQ(completion.response, task->response());
        if (c.object)
            EXPECT_EQ(completion.object.description(), c.object);
        else
            EXPECT_TRUE(completion.object.isNil());
        EXPECT_EQ(completion.error ? completion.error->code() : 0, c.errorCode);
        EXPECT_FALSE(manager->delegateForTask(task)); // dropped at completion

        EXPECT_EQ(postedNames(task),
            std::vector<std::string>(
                { VNNetworkingTaskDidResumeNotification, VNNetworkingTaskDidCompleteNotification }));
        auto finish = lastPosted(VNNetworkingTaskDidCompleteNotification);
        ASSERT_TRUE(finish);
        const Value& info = finish->userInfo;
        EXPECT_EQ(info[VNNetworkingTaskDidCompleteResponseSerializerKey].objectValue(), manager->responseSerializer());
        const auto& bytes = info[VNNetworkingTaskDidCompleteResponseDataKey].bytes();
        EXPECT_EQ(std::string(bytes.begin(), bytes.end()), c.data);
        EXPECT_TRUE(info[VNNetworkingTaskDidCompleteAssetPathKey].isNil());
        EXPECT_EQ(info[VNNetworkingTaskDidCompleteSerializedResponseKey].description(), c.object ? c.object : "(null)");
        auto error = info[VNNetworkingTaskDidCompleteErrorKey].objectAs<NSError>();
        EXPECT_EQ(error ? error->code() : 0, c.errorCode);
    }

    // Without a completion handler: nothing is serialized and no finish notification posted.
    int completed = 0;
    manager->setTaskDidCompleteBlock(
        [&](const Ref<NSURLSession>&, const Ref<NSURLSessionTask>&, const Ref<NSError>&) { ++completed; });
    auto quiet = manager->dataTaskWithRequestCompletionHandler(requestFor("http://stub.invalid/json"), nullptr);
    quiet->resume();
    drainAll();
    EXPECT_EQ(completed, 1);
    EXPECT_EQ(postedNames(quiet), std::vector<std::string> { VNNetworkingTaskDidResumeNotification });
}

TEST_F(VNURLSessionManagerTest, ResumeAndSuspendPostStartAndSuspendOnly)
{
    ScopedVirtualClock clock; // the slow stub never answers
    auto spec = stubSpec("http://stub.invalid/slow", 200, "x");
    spec.delay = 60; // answers only when a virtual clock moves; the tasks are cancelled first
    stubs.add(spec);
    auto manager = makeManager();
    Completion completion;
    auto task
        = manager->dataTaskWithRequestCompletionHandler(requestFor("http://stub.invalid/slow"), recordInto(completion));
    task->resume();
    task->suspend();
    task->resume();
    drainAll();
    task->cancel();
    drainAll();
    EXPECT_EQ(postedNames(task),
        std::vector<std::string>({ VNNetworkingTaskDidResumeNotification, VNNetworkingTaskDidSuspendNotification,
            VNNetworkingTaskDidResumeNotification, VNNetworkingTaskDidCompleteNotification }));
    ASSERT_TRUE(completion.error);
    EXPECT_EQ(completion.error->code(), NSURLErrorCancelled);
}

TEST_F(VNURLSessionManagerTest, UploadProgressFollowsTheBodyAndControlsTheTask)
{
    ScopedVirtualClock clock; // the slow stub never answers
    auto slow = stubSpec("http://stub.invalid/slow", 200, "x");
    slow.delay = 60;
    stubs.add(slow);
    LoopbackServer server; // reports the body as it is sent
    auto manager = makeManager();
    const std::string body(5000, 'u');
    auto request = requestFor(server.url("/echo"))->mutableCopy();
    request->setHTTPMethod("POST");
    Ref<NSProgress> progress;
    Completion completion;
    auto task = manager->uploadTaskWithRequestFromDataProgressCompletionHandler(
        request, Value::data(Value::Bytes(body.begin(), body.end())), &progress, recordInto(completion));
    ASSERT_TRUE(progress);
    EXPECT_EQ(progress->totalUnitCount(), 5000);
    EXPECT_EQ(progress, manager->delegateForTask(task)->uploadProgress());
    int64_t sentByBlock = 0;
    manager->setTaskDidSendBodyDataBlock([&](const Ref<NSURLSession>&, const Ref<NSURLSessionTask>&, int64_t,
                                             int64_t total, int64_t) { sentByBlock = total; });
    task->resume();
    drainAll();
    EXPECT_EQ(completion.calls, 1);
    EXPECT_FALSE(completion.error);
    EXPECT_EQ(progress->completedUnitCount(), 5000);
    EXPECT_EQ(sentByBlock, 5000);
    ASSERT_TRUE(completion.object.isDictionary());
    EXPECT_EQ(completion.object["body"].description(), body);

    // Pausing the progress suspends the task; cancelling it cancels the task.
    Ref<NSProgress> second;
    Completion secondCompletion;
    auto held = manager->uploadTaskWithRequestFromDataProgressCompletionHandler(
        requestFor("http://stub.invalid/slow"), Value::data({ 'a' }), &second, recordInto(secondCompletion));
    held->resume();
    second->pause();
    EXPECT_EQ(held->state(), NSURLSessionTaskStateSuspended);
    second->cancel();
    drainAll();
    EXPECT_EQ(held->state(), NSURLSessionTaskStateCompleted);
    ASSERT_TRUE(secondCompletion.error);
    EXPECT_EQ(secondCompletion.error->code(), NSURLErrorCancelled);
    // The progress outlives the task.
    EXPECT_TRUE(second->isCancelled());
}

TEST_F(VNURLSessionManagerTest, DownloadsMoveTheFileToTheDestination)
{
    stubs.add(stubSpec("http://stub.invalid/file", 200, std::string(3000, 'd')));
    auto manager = makeManager();
    const std::string destinationPath = NSTemporaryDirectory() + "session-manager-download.bin";
    NSFileManager::defaultManager()->removeItemAtPath(destinationPath, nullptr);

    Ref<NSProgress> progress;
    Completion completion;
    Ref<NSURL> offeredLocation;
    auto task = manager->downloadTaskWithRequestProgressDestinationCompletionHandler(
        requestFor("http://stub.invalid/file"), &progress,
        [&](const Ref<NSURL>& location, const Ref<NSURLResponse>& response) {
            offeredLocation = location;
            EXPECT_TRUE(response);
            return NSURL::fileURLWithPathIsDirectory(destinationPath, false);
        },
        recordInto(completion));
    ASSERT_TRUE(progress);
    task->resume();
    drainAll();
    ASSERT_EQ(completion.calls, 1);
    EXPECT_FALSE(completion.error);
    auto fileURL = completion.object.objectAs<NSURL>();
    ASSERT_TRUE(fileURL);
    EXPECT_EQ(fileURL->path(), destinationPath);
    struct stat info;
    ASSERT_EQ(::stat(destinationPath.c_str(), &info), 0);
    EXPECT_EQ(info.st_size, 3000);
    EXPECT_EQ(progress->completedUnitCount(), 3000);
    EXPECT_EQ(progress->totalUnitCount(), 3000);
    auto finish = lastPosted(VNNetworkingTaskDidCompleteNotification);
    ASSERT_TRUE(finish);
    EXPECT_EQ(finish->userInfo[VNNetworkingTaskDidCompleteAssetPathKey].objectAs<NSURL>(), fileURL);
    EXPECT_TRUE(finish->userInfo[VNNetworkingTaskDidCompleteResponseDataKey].isNil());
    EXPECT_EQ(postedNames(task),
        std::vector<std::string>({ VNNetworkingTaskDidResumeNotification, VNNetworkingTaskDidCompleteNotification }));
    NSFileManager::defaultManager()->removeItemAtPath(destinationPath, nullptr);

    // Without a destination the temporary file is "moved" onto itself: the move fails, which is
    // only posted, and the task completes with the temporary URL.
    Completion second;
    auto undirected = manager->downloadTaskWithRequestProgressDestinationCompletionHandler(
        requestFor("http://stub.invalid/file"), nullptr, nullptr, recordInto(second));
    undirected->resume();
    drainAll();
    ASSERT_EQ(second.calls, 1);
    EXPECT_FALSE(second.error);
    ASSERT_TRUE(second.object.objectAs<NSURL>());
    EXPECT_NE(second.object.objectAs<NSURL>()->path(), destinationPath);
    // The move failure is posted on the delegate queue, the others on the main queue.
    auto names = postedNames(undirected);
    std::sort(names.begin(), names.end());
    EXPECT_EQ(names,
        std::vector<std::string>({ VNURLSessionDownloadTaskDidFailToMoveFileNotification,
            VNNetworkingTaskDidCompleteNotification, VNNetworkingTaskDidResumeNotification }));
}

TEST_F(VNURLSessionManagerTest, ListsTasksByKindWithoutHangingOnItsOwnQueue)
{
    ScopedVirtualClock clock; // the slow stub never answers
    auto slow = stubSpec("http://stub.invalid/slow", 200, "x");
    slow.delay = 60;
    stubs.add(slow);
    auto manager = makeManager();
    auto request = requestFor("http://stub.invalid/slow");
    auto download
        = manager->downloadTaskWithRequestProgressDestinationCompletionHandler(request, nullptr, nullptr, nullptr);
    auto upload = manager->uploadTaskWithRequestFromDataProgressCompletionHandler(
        request, Value::data({ 1 }), nullptr, nullptr);
    auto data = manager->dataTaskWithRequestCompletionHandler(request, nullptr);
    auto tasks = manager->tasks();
    EXPECT_EQ(tasks, std::vector<Ref<NSURLSessionTask>>({ data, upload, download }));
    EXPECT_EQ(manager->dataTasks(), std::vector<Ref<NSURLSessionDataTask>> { data });
    EXPECT_EQ(manager->uploadTasks(), std::vector<Ref<NSURLSessionUploadTask>> { upload });
    EXPECT_EQ(manager->downloadTasks(), std::vector<Ref<NSURLSessionDownloadTask>> { download });

    // A suspended delegate queue could never answer a request for the list: none is needed.
    manager->operationQueue()->setSuspended(true);
    EXPECT_EQ(manager->tasks().size(), 3u);
    manager->operationQueue()->setSuspended(false);

    // Asked on its own delegate queue running one operation at a time, the listing answers at
    // once instead of waiting for an answer the blocked queue would have to deliver.
    manager->operationQueue()->setMaxConcurrentOperationCount(1);
    std::optional<size_t> countSeenInBlock;
    manager->setTaskDidCompleteBlock([&](const Ref<NSURLSession>&, const Ref<NSURLSessionTask>&, const Ref<NSError>&) {
        if (!countSeenInBlock)
            countSeenInBlock = manager->tasks().size();
    });
    data->cancel();
    drainAll();
    ASSERT_TRUE(countSeenInBlock);
    EXPECT_EQ(*countSeenInBlock, 3u); // the completing task is still outstanding during its event
    EXPECT_EQ(manager->tasks(), std::vector<Ref<NSURLSessionTask>>({ upload, download }));
    // The other two complete when the fixture cancels them, after this scope's variables are gone.
    manager->setTaskDidCompleteBlock(nullptr);
}

TEST_F(VNURLSessionManagerTest, ServerTrustIsJudgedByTheSecurityPolicy)
{
    TestCertificates certificates;
    LoopbackServer secure(certificates.selfSigned());
    struct Case {
        const char* name;
        bool allowInvalid;
        bool sessionBlock; // the block answers use-credential without one
        int32_t errorCode;
    } cases[] = {
        { "default policy refuses a self-signed server", false, false, NSURLErrorCancelled },
        { "invalid certificates allowed", true, false, 0 },
        { "the block's answer replaces the policy", false, true, 0 },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        auto manager = makeManager();
        manager->setResponseSerializer(VNHTTPResponseSerializer::serializer());
        auto policy = VNSecurityPolicy::defaultPolicy();
        policy->setAllowInvalidCertificates(c.allowInvalid);
        manager->setSecurityPolicy(policy);
        int blockCalls = 0;
        if (c.sessionBlock) {
            manager->setSessionDidReceiveAuthenticationChallengeBlock(
                [&](const Ref<NSURLSession>&, const Ref<NSURLAuthenticationChallenge>& challenge,
                    Ref<NSURLCredential>* credential) {
                    ++blockCalls;
                    *credential = NSURLCredential::credentialForTrust(challenge->protectionSpace()->serverTrust());
                    return NSURLSessionAuthChallengeUseCredential;
                });
        }
        Completion completion;
        auto task
            = manager->dataTaskWithRequestCompletionHandler(requestFor(secure.url("/hello")), recordInto(completion));
        task->resume();
        drainAll();
        ASSERT_EQ(completion.calls, 1);
        EXPECT_EQ(completion.error ? completion.error->code() : 0, c.errorCode);
        EXPECT_EQ(blockCalls, c.sessionBlock ? 1 : 0);
        if (!c.errorCode) {
            ASSERT_TRUE(completion.object.isData());
            EXPECT_EQ(completion.object.bytes().size(), 5u);
        }
    }
}

TEST_F(VNURLSessionManagerTest, EventBlocksReplaceTheDefaultAnswers)
{
    stubs.add(stubSpec("http://stub.invalid/data", 200, "body"));
    URLStubSpec redirect = stubSpec("http://stub.invalid/redirect", 302, "");
    redirect.headers = { { "Location", "http://stub.invalid/data" } };
    stubs.add(redirect);
    auto manager = makeManager();
    manager->setResponseSerializer(VNHTTPResponseSerializer::serializer());

    // A redirect block answering nil refuses the redirect: the 302 itself is the answer.
    int redirects = 0;
    manager->setTaskWillPerformHTTPRedirectionBlock([&](const Ref<NSURLSession>&, const Ref<NSURLSessionTask>&,
                                                        const Ref<NSURLResponse>&, const Ref<NSURLRequest>&) {
        ++redirects;
        return Ref<NSURLRequest>();
    });
    manager->setResponseSerializer([] {
        auto any = VNHTTPResponseSerializer::serializer();
        any->setAcceptableStatusCodes(nullptr);
        return any;
    }());
    Completion refused;
    manager->dataTaskWithRequestCompletionHandler(requestFor("http://stub.invalid/redirect"), recordInto(refused))
        ->resume();
    drainAll();
    EXPECT_EQ(redirects, 1);
    auto http = std::dynamic_pointer_cast<NSHTTPURLResponse>(refused.response);
    ASSERT_TRUE(http);
    EXPECT_EQ(http->statusCode(), 302);

    // A response block answering cancel ends the task as cancelled; the data block sees nothing.
    manager->setDataTaskDidReceiveResponseBlock([](const Ref<NSURLSession>&, const Ref<NSURLSessionDataTask>&,
                                                    const Ref<NSURLResponse>&) { return NSURLSessionResponseCancel; });
    int dataCalls = 0;
    manager->setDataTaskDidReceiveDataBlock(
        [&](const Ref<NSURLSession>&, const Ref<NSURLSessionDataTask>&, const Value&) { ++dataCalls; });
    Completion cancelled;
    manager->dataTaskWithRequestCompletionHandler(requestFor("http://stub.invalid/data"), recordInto(cancelled))
        ->resume();
    drainAll();
    ASSERT_TRUE(cancelled.error);
    EXPECT_EQ(cancelled.error->code(), NSURLErrorCancelled);
    EXPECT_EQ(dataCalls, 0);
}

TEST_F(VNURLSessionManagerTest, InvalidationDropsEveryDelegateAndToleratesForeignTasks)
{
    ScopedVirtualClock clock; // the slow stub never answers
    auto slow = stubSpec("http://stub.invalid/slow", 200, "x");
    slow.delay = 60;
    stubs.add(slow);
    stubs.add(stubSpec("http://stub.invalid/data", 200, "body"));
    auto manager = makeManager();

    // A task made on the session directly completes through the manager without a delegate.
    std::vector<Ref<NSURLSessionTask>> completedTasks;
    manager->setTaskDidCompleteBlock([&](const Ref<NSURLSession>&, const Ref<NSURLSessionTask>& task,
                                         const Ref<NSError>&) { completedTasks.push_back(task); });
    auto foreign = manager->session()->dataTaskWithRequest(requestFor("http://stub.invalid/data"));
    foreign->resume();
    drainAll();
    EXPECT_EQ(completedTasks, std::vector<Ref<NSURLSessionTask>> { foreign });

    Completion completion;
    auto pending
        = manager->dataTaskWithRequestCompletionHandler(requestFor("http://stub.invalid/slow"), recordInto(completion));
    pending->resume();
    Ref<NSURLSession> invalidated;
    manager->setSessionDidBecomeInvalidBlock(
        [&](const Ref<NSURLSession>& session, const Ref<NSError>&) { invalidated = session; });
    manager->invalidateSessionCancelingTasks(true);
    drainAll();
    EXPECT_EQ(invalidated, manager->session());
    ASSERT_TRUE(completion.error);
    EXPECT_EQ(completion.error->code(), NSURLErrorCancelled);
    EXPECT_FALSE(manager->delegateForTask(pending));
    EXPECT_EQ(postedNames(manager->session()), std::vector<std::string> { VNURLSessionDidInvalidateNotification });
    // An invalidated session makes no tasks, and the manager registers none.
    EXPECT_FALSE(manager->dataTaskWithRequestCompletionHandler(requestFor("http://stub.invalid/data"), nullptr));
    EXPECT_FALSE(manager->downloadTaskWithRequestProgressDestinationCompletionHandler(
        requestFor("http://stub.invalid/data"), nullptr, nullptr, nullptr));
}

TEST_F(VNURLSessionManagerTest, ACopyKeepsTheConfigurationOnly)
{
    auto configuration = NSURLSessionConfiguration::defaultSessionConfiguration();
    configuration->setTimeoutIntervalForRequest(12);
    auto manager = makeManager(configuration);
    manager->setSecurityPolicy(VNSecurityPolicy::policyWithPinningMode(VNSecurityPolicy::VNSSLPinningModeCertificate));
    auto copy = manager->copy();
    managers.push_back(copy);
    EXPECT_EQ(copy->sessionConfiguration()->timeoutIntervalForRequest(), 12);
    EXPECT_NE(copy->session(), manager->session());
    EXPECT_NE(copy->operationQueue(), manager->operationQueue());
    EXPECT_EQ(copy->securityPolicy()->SSLPinningMode(), VNSecurityPolicy::VNSSLPinningModeNone);
    EXPECT_EQ(copy->reachabilityManager(), VNNetworkReachabilityManager::sharedManager());
    EXPECT_EQ(manager->operationQueue()->maxConcurrentOperationCount(), -1);
    EXPECT_EQ(manager->session()->delegateQueue(), manager->operationQueue());
}

} // namespace
