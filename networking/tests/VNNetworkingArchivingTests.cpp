#include "foundation/NSError.h"
#include "foundation/NSKeyedArchiver.h"
#include "foundation/NSKeyedUnarchiver.h"
#include "foundation/NSOperationQueue.h"
#include "net/NSHTTPURLResponse.h"
#include "net/NSURL.h"
#include "net/NSURLError.h"
#include "net/NSURLRequest.h"
#include "net/NSURLSessionConfiguration.h"
#include "networking/VNHTTPRequestOperation.h"
#include "networking/VNHTTPRequestOperationManager.h"
#include "networking/VNHTTPSessionManager.h"
#include "networking/VNJSONRequestSerializer.h"
#include "networking/VNJSONResponseSerializer.h"
#include "networking/VNNetworkReachabilityManager.h"
#include "networking/tests/StubbedNetworkTestSupport.h"
#include "sysconfig/SCNetworkReachability.h"
#include "testing/Drain.h"
#include "testing/URLStubs.h"
#include "testing/VirtualClock.h"

#include <gtest/gtest.h>

namespace {

template <typename T> Ref<T> roundTrip(const Ref<NSObject>& object)
{
    Ref<NSError> error;
    Value data = NSKeyedArchiver::archivedDataWithRootObject(Value::object(object), &error);
    EXPECT_TRUE(data.isData()) << (error ? error->description() : "");
    if (!data.isData())
        return nullptr;
    Value decoded = NSKeyedUnarchiver::unarchiveObjectWithData(data.bytes(), &error);
    EXPECT_FALSE(decoded.isNil()) << (error ? error->description() : "");
    return decoded.objectAs<T>();
}

class VNNetworkingArchivingTest : public ReachableNetworkTest {
protected:
    void SetUp() override
    {
        ReachableNetworkTest::SetUp();
        URLStubSpec body;
        body.url = "http://stub.invalid/body";
        body.headers = { { "Content-Type", "application/json" }, { "ETag", "\"e1\"" } };
        body.body = "{\"k\":[1,2]}";
        stubs.add(body);
        URLStubSpec slow;
        slow.url = "http://stub.invalid/slow";
        slow.body = std::string(2000, 's');
        slow.chunkSize = 1000;
        slow.chunkDelay = 5;
        stubs.add(slow);
    }
    ScopedVirtualClock clock;
    URLStubs stubs;
};

TEST_F(VNNetworkingArchivingTest, OperationsComeBackReadyWithWhatTheyHadLoaded)
{
    auto fresh = VNHTTPRequestOperation::initWithRequest(requestFor("http://stub.invalid/body"));

    auto finished = VNHTTPRequestOperation::initWithRequest(requestFor("http://stub.invalid/body"));
    finished->start();
    drainAll();
    ASSERT_TRUE(finished->isFinished());

    auto cancelled = VNHTTPRequestOperation::initWithRequest(requestFor("http://stub.invalid/body"));
    cancelled->cancel();
    drainAll();

    auto running = VNHTTPRequestOperation::initWithRequest(requestFor("http://stub.invalid/slow"));
    running->start();
    drainAll(); // the first chunk has arrived, the second waits for the clock
    ASSERT_TRUE(running->isExecuting());

    struct Case {
        const char* name;
        Ref<VNHTTPRequestOperation> operation;
        bool cancelled;
        const char* data; // the decoded body; nullptr when none
        int64_t totalBytesRead;
        int32_t errorCode;
        const char* range; // the decoded request's "Range"
    } cases[] = {
        // Archiving pauses, and an HTTP operation's pause asks for the bytes after those it
        // has, whatever its state.
        { "never started", fresh, false, nullptr, 0, 0, "bytes=0-" },
        // The state goes through the state machine before the cancelled flag: finished comes back ready.
        { "finished", finished, false, "{\"k\":[1,2]}", 11, 0, "bytes=11-" },
        { "cancelled", cancelled, true, nullptr, 0, NSURLErrorCancelled, "bytes=0-" },
        { "running", running, false, nullptr, 1000, 0, "bytes=1000-" },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        auto decoded = roundTrip<VNHTTPRequestOperation>(c.operation);
        ASSERT_TRUE(decoded);
        EXPECT_EQ(decoded->state(), VNURLConnectionOperation::VNOperationReadyState);
        EXPECT_EQ(decoded->isCancelled(), c.cancelled);
        EXPECT_EQ(decoded->request()->URL()->absoluteString(), c.operation->request()->URL()->absoluteString());
        EXPECT_EQ(decoded->request()->valueForHTTPHeaderField("Range"), std::optional<std::string>(c.range));
        if (c.data) {
            ASSERT_TRUE(decoded->responseData().isData());
            const auto& bytes = decoded->responseData().bytes();
            EXPECT_EQ(std::string(bytes.begin(), bytes.end()), c.data);
            auto http = decoded->HTTPResponse();
            ASSERT_TRUE(http);
            EXPECT_EQ(http->headerValue("ETag"), std::optional<std::string>("\"e1\""));
        } else {
            EXPECT_TRUE(decoded->responseData().isNil());
        }
        EXPECT_EQ(decoded->totalBytesRead(), c.totalBytesRead);
        EXPECT_EQ(decoded->error() ? decoded->error()->code() : 0, c.errorCode);
        EXPECT_TRUE(decoded->responseSerializer()->isMemberOfClass(VNHTTPResponseSerializer::classObject()));
    }
    EXPECT_TRUE(running->isPaused());
    running->cancel();
}

TEST_F(VNNetworkingArchivingTest, ADecodedCancelledOperationFinishesWhenStarted)
{
    auto cancelled = VNHTTPRequestOperation::initWithRequest(requestFor("http://stub.invalid/body"));
    cancelled->cancel();
    drainAll();
    auto decoded = roundTrip<VNHTTPRequestOperation>(cancelled);
    ASSERT_TRUE(decoded);
    std::vector<int32_t> failures;
    decoded->setCompletionBlockWithSuccessFailure(nullptr,
        [&](const Ref<VNHTTPRequestOperation>&, const Ref<NSError>& error) { failures.push_back(error->code()); });
    auto queue = NSOperationQueue::init();
    queue->addOperation(decoded);
    drainAll();
    // It must not stay executing for ever: its queue and its caller would wait in vain.
    EXPECT_TRUE(decoded->isFinished());
    EXPECT_EQ(failures, std::vector<int32_t> { NSURLErrorCancelled });
    EXPECT_EQ(queue->operationCount(), 0u);
}

TEST_F(VNNetworkingArchivingTest, TheResponseSerializerTravelsWithItsOperation)
{
    auto operation = VNHTTPRequestOperation::initWithRequest(requestFor("http://stub.invalid/body"));
    auto serializer = VNJSONResponseSerializer::serializer();
    serializer->setAcceptableContentTypes(std::set<std::string> { "application/x-custom" });
    operation->setResponseSerializer(serializer);
    auto decoded = roundTrip<VNHTTPRequestOperation>(operation);
    ASSERT_TRUE(decoded);
    auto decodedSerializer = std::dynamic_pointer_cast<VNJSONResponseSerializer>(decoded->responseSerializer());
    ASSERT_TRUE(decodedSerializer);
    EXPECT_EQ(decodedSerializer->acceptableContentTypes(), serializer->acceptableContentTypes());
    // The decoded operation runs like a new one, with the archived serializer.
    decoded->start();
    drainAll();
    EXPECT_TRUE(decoded->responseObject().isNil());
    ASSERT_TRUE(decoded->error());
    EXPECT_EQ(decoded->error()->code(), NSURLErrorCannotDecodeContentData);

    auto plain = roundTrip<VNURLConnectionOperation>(
        VNURLConnectionOperation::initWithRequest(requestFor("http://stub.invalid/body")));
    ASSERT_TRUE(plain);
    EXPECT_TRUE(plain->isMemberOfClass(VNURLConnectionOperation::classObject()));
}

TEST_F(VNNetworkingArchivingTest, ManagersKeepTheirBaseURLConfigurationAndSerializers)
{
    auto operationManager
        = VNHTTPRequestOperationManager::initWithBaseURL(NSURL::URLWithString("http://stub.invalid/api"));
    operationManager->setRequestSerializer(VNJSONRequestSerializer::serializer());
    operationManager->requestSerializer()->setValueForHTTPHeaderField("v", "X-Archived");
    operationManager->setShouldUseCredentialStorage(true);
    auto decodedOperationManager = roundTrip<VNHTTPRequestOperationManager>(operationManager);
    ASSERT_TRUE(decodedOperationManager);
    EXPECT_EQ(decodedOperationManager->baseURL()->absoluteString(), "http://stub.invalid/api/");
    EXPECT_TRUE(decodedOperationManager->requestSerializer()->isMemberOfClass(VNJSONRequestSerializer::classObject()));
    EXPECT_EQ(decodedOperationManager->requestSerializer()->HTTPRequestHeaders()["X-Archived"].description(), "v");
    EXPECT_TRUE(
        decodedOperationManager->responseSerializer()->isMemberOfClass(VNJSONResponseSerializer::classObject()));
    EXPECT_FALSE(decodedOperationManager->shouldUseCredentialStorage()); // not archived
    EXPECT_NE(decodedOperationManager->operationQueue(), operationManager->operationQueue());
    EXPECT_TRUE(decodedOperationManager->reachabilityManager());

    auto configuration = NSURLSessionConfiguration::defaultSessionConfiguration();
    configuration->setTimeoutIntervalForRequest(21);
    auto sessionManager = VNURLSessionManager::initWithSessionConfiguration(configuration);
    auto decodedSessionManager = roundTrip<VNURLSessionManager>(sessionManager);
    ASSERT_TRUE(decodedSessionManager);
    EXPECT_TRUE(decodedSessionManager->isMemberOfClass(VNURLSessionManager::classObject()));
    EXPECT_EQ(decodedSessionManager->sessionConfiguration()->timeoutIntervalForRequest(), 21);
    EXPECT_NE(decodedSessionManager->session(), sessionManager->session());

    auto httpManager = VNHTTPSessionManager::initWithBaseURLSessionConfiguration(
        NSURL::URLWithString("http://stub.invalid/v2"), configuration);
    httpManager->requestSerializer()->setValueForHTTPHeaderField("w", "X-Archived");
    httpManager->setResponseSerializer(VNHTTPResponseSerializer::serializer());
    auto decodedHTTPManager = roundTrip<VNHTTPSessionManager>(httpManager);
    ASSERT_TRUE(decodedHTTPManager);
    EXPECT_EQ(decodedHTTPManager->baseURL()->absoluteString(), "http://stub.invalid/v2/");
    EXPECT_EQ(decodedHTTPManager->sessionConfiguration()->timeoutIntervalForRequest(), 21);
    EXPECT_EQ(decodedHTTPManager->requestSerializer()->HTTPRequestHeaders()["X-Archived"].description(), "w");
    EXPECT_TRUE(decodedHTTPManager->responseSerializer()->isMemberOfClass(VNHTTPResponseSerializer::classObject()));

    for (const auto& manager :
        { sessionManager, decodedSessionManager, std::static_pointer_cast<VNURLSessionManager>(httpManager),
            std::static_pointer_cast<VNURLSessionManager>(decodedHTTPManager) })
        manager->invalidateSessionCancelingTasks(true);
}

} // namespace
