#include "networking/VNHTTPRequestOperation.h"

#include "foundation/NSError.h"
#include "foundation/NSThread.h"
#include "net/NSURL.h"
#include "net/NSURLError.h"
#include "net/NSURLRequest.h"
#include "networking/VNJSONResponseSerializer.h"
#include "networking/tests/StubbedNetworkTestSupport.h"
#include "testing/Drain.h"
#include "testing/URLStubs.h"
#include "testing/VirtualClock.h"

#include <gtest/gtest.h>

namespace {

Ref<VNHTTPRequestOperation> operationFor(const std::string& url)
{
    return VNHTTPRequestOperation::initWithRequest(NSURLRequest::requestWithURL(NSURL::URLWithString(url)));
}

class VNHTTPRequestOperationTest : public ::testing::Test {
protected:
    void TearDown() override
    {
        drainAll();
        resetForTesting();
    }
    URLStubs stubs;
};

TEST_F(VNHTTPRequestOperationTest, DeliversSerializedObjectsOrErrors)
{
    const NSHTTPURLResponse::HeaderList json { { "Content-Type", "application/json" } };
    stubs.add(stubSpec("http://stub.invalid/missing", 404, "gone"));
    stubs.add(stubSpec("http://stub.invalid/json", 200, "{\"a\":1}", json));
    stubs.add(stubSpec("http://stub.invalid/json-error", 500, "[2]", json));
    stubs.add(stubSpec("http://stub.invalid/html", 200, "<p>", { { "Content-Type", "text/html" } }));
    auto down = stubSpec("http://stub.invalid/down", 200, "");
    down.errorCode = NSURLErrorTimedOut;
    stubs.add(down);
    struct Case {
        const char* url;
        bool json;
        bool succeeds;
        int32_t errorCode;
        const char* object; // description of responseObject afterwards; nullptr for nil
    } cases[] = {
        { "http://stub.invalid/missing", false, false, -1011, "<676f6e65>" },
        { "http://stub.invalid/json", true, true, 0, "{\n    a = 1;\n}" },
        { "http://stub.invalid/json-error", true, false, -1011, "(\n    2\n)" },
        { "http://stub.invalid/html", true, false, -1016, nullptr },
        { "http://stub.invalid/down", true, false, NSURLErrorTimedOut, nullptr },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.url);
        auto operation = operationFor(c.url);
        if (c.json)
            operation->setResponseSerializer(VNJSONResponseSerializer::serializer());
        int successes = 0;
        std::vector<int32_t> failures;
        operation->setCompletionBlockWithSuccessFailure(
            [&](const Ref<VNHTTPRequestOperation>& op, const Value& object) {
                EXPECT_TRUE(NSThread::isMainThread());
                EXPECT_EQ(op, operation);
                EXPECT_EQ(object.description(), c.object);
                ++successes;
            },
            [&](const Ref<VNHTTPRequestOperation>& op, const Ref<NSError>& error) {
                EXPECT_TRUE(NSThread::isMainThread());
                EXPECT_EQ(op, operation);
                failures.push_back(error ? error->code() : 0);
            });
        EXPECT_TRUE(operation->responseObject().isNil()); // nothing before the operation finished
        operation->start();
        drainAll();
        EXPECT_EQ(successes, c.succeeds ? 1 : 0);
        EXPECT_EQ(failures, c.succeeds ? std::vector<int32_t> {} : std::vector<int32_t> { c.errorCode });
        if (c.object)
            EXPECT_EQ(operation->responseObject().description(), c.object);
        else
            EXPECT_TRUE(operation->responseObject().isNil());
    }

    // A new serializer discards the object and its error, and the next read serializes again.
    auto operation = operationFor("http://stub.invalid/json");
    operation->start();
    drainAll();
    EXPECT_TRUE(operation->responseObject().isData());
    operation->setResponseSerializer(VNJSONResponseSerializer::serializer());
    EXPECT_EQ(operation->responseObject().description(), "{\n    a = 1;\n}");
}

TEST_F(VNHTTPRequestOperationTest, CallerGroupWaitsForDeliveryAndCancelFails)
{
    stubs.add(stubSpec("http://stub.invalid/ok", 200, "ok"));
    auto group = dispatch_group_create();
    std::vector<std::string> events;
    auto operation = operationFor("http://stub.invalid/ok");
    operation->setCompletionGroup(group);
    operation->setCompletionBlockWithSuccessFailure(
        [&](const Ref<VNHTTPRequestOperation>&, const Value&) { events.push_back("success"); }, nullptr);
    operation->start();
    drainAll();
    EXPECT_EQ(events, std::vector<std::string>({ "success" }));
    // Entered before the hop to the processing queue and left after delivery: empty again.
    EXPECT_EQ(dispatch_group_wait(group, DISPATCH_TIME_NOW), 0);

    // Without a success block a successful result is only kept.
    auto quiet = operationFor("http://stub.invalid/ok");
    int failures = 0;
    quiet->setCompletionBlockWithSuccessFailure(
        nullptr, [&](const Ref<VNHTTPRequestOperation>&, const Ref<NSError>&) { ++failures; });
    quiet->start();
    drainAll();
    EXPECT_EQ(failures, 0);
    EXPECT_TRUE(quiet->responseObject().isData());

    auto cancelled = operationFor("http://stub.invalid/ok");
    Ref<NSError> failure;
    cancelled->setCompletionBlockWithSuccessFailure(
        nullptr, [&](const Ref<VNHTTPRequestOperation>&, const Ref<NSError>& error) { failure = error; });
    cancelled->cancel();
    drainAll();
    ASSERT_TRUE(failure);
    EXPECT_EQ(failure->code(), NSURLErrorCancelled);
}

TEST_F(VNHTTPRequestOperationTest, PausingAsksTheResumedLoadForTheMissingBytes)
{
    ScopedVirtualClock clock;
    auto spec = stubSpec("http://stub.invalid/big", 200, std::string(2000, 'a'), { { "ETag", "\"v1\"" } });
    spec.chunkSize = 1000;
    spec.chunkDelay = 5;
    auto stub = stubs.add(spec);

    // Before any response: from byte 0, no "If-Range".
    auto early = operationFor("http://stub.invalid/big");
    early->pause();
    EXPECT_EQ(early->request()->valueForHTTPHeaderField("Range"), std::optional<std::string>("bytes=0-"));
    EXPECT_FALSE(early->request()->valueForHTTPHeaderField("If-Range"));

    auto operation = operationFor("http://stub.invalid/big");
    operation->start();
    drainAll(); // the first chunk follows the response at once, the second waits
    ASSERT_EQ(operation->totalBytesRead(), 1000);
    operation->pause();
    drainAll();
    EXPECT_TRUE(operation->isPaused());
    EXPECT_EQ(operation->request()->valueForHTTPHeaderField("Range"), std::optional<std::string>("bytes=1000-"));
    EXPECT_EQ(operation->request()->valueForHTTPHeaderField("If-Range"), std::optional<std::string>("\"v1\""));

    operation->resume();
    drainAll();
    clock.advance(5);
    drainAll();
    EXPECT_TRUE(operation->isFinished());
    auto requests = stub->requests();
    ASSERT_EQ(requests.size(), 2u);
    EXPECT_EQ(requests[1].header("Range"), std::optional<std::string>("bytes=1000-"));
    // The resumed body is appended to what was already written.
    EXPECT_EQ(operation->totalBytesRead(), 3000);

    // A finished operation still has its request rewritten; its state stays.
    operation->pause();
    EXPECT_TRUE(operation->isFinished());
    EXPECT_EQ(operation->request()->valueForHTTPHeaderField("Range"), std::optional<std::string>("bytes=3000-"));
}

} // namespace
