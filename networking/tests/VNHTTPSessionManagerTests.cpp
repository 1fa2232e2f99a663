#include "networking/VNHTTPSessionManager.h"

#include "foundation/NSError.h"
#include "foundation/NSOperationQueue.h"
#include "foundation/NSString.h"
#include "foundation/NSThread.h"
#include "net/NSURL.h"
#include "net/NSURLError.h"
#include "net/NSURLRequest.h"
#include "net/NSURLSessionConfiguration.h"
#include "networking/VNJSONResponseSerializer.h"
#include "networking/VNMultipartFormData.h"
#include "networking/VNNetworkReachabilityManager.h"
#include "networking/tests/StubbedNetworkTestSupport.h"
#include "sysconfig/SCNetworkReachability.h"
#include "testing/Drain.h"
#include "testing/URLStubs.h"

#include <gtest/gtest.h>

namespace {

class VNHTTPSessionManagerTest : public ReachableNetworkTest {
protected:
    void TearDown() override
    {
        for (const auto& manager : managers)
            manager->invalidateSessionCancelingTasks(true);
        ReachableNetworkTest::TearDown();
    }
    Ref<VNHTTPSessionManager> keep(Ref<VNHTTPSessionManager> manager)
    {
        managers.push_back(manager);
        return manager;
    }
    URLStubs stubs;
    std::vector<Ref<VNURLSessionManager>> managers;
};

TEST_F(VNHTTPSessionManagerTest, BaseURLGetsAFinalSlashSoRelativeStringsResolveBelowIt)
{
    struct Case {
        const char* base; // nullptr: no base URL
        const char* expectedBase;
        const char* relative;
        const char* resolved;
    } cases[] = {
        { "http://stub.invalid/v1", "http://stub.invalid/v1/", "items?x=1", "http://stub.invalid/v1/items?x=1" },
        { "http://stub.invalid/v1/", "http://stub.invalid/v1/", "items", "http://stub.invalid/v1/items" },
        { "http://stub.invalid", "http://stub.invalid", "items", "http://stub.invalid/items" },
        { nullptr, nullptr, "http://stub.invalid/full?a=b", "http://stub.invalid/full?a=b" },
    };
    auto stub = stubs.add(jsonStub("http://stub.invalid/", "{}"));
    for (const auto& c : cases) {
        SCOPED_TRACE(c.relative);
        auto manager = keep(VNHTTPSessionManager::initWithBaseURL(c.base ? NSURL::URLWithString(c.base) : nullptr));
        if (c.expectedBase) {
            ASSERT_TRUE(manager->baseURL());
            EXPECT_EQ(manager->baseURL()->absoluteString(), c.expectedBase);
        } else {
            EXPECT_FALSE(manager->baseURL());
        }
        auto task = manager->GETParametersSuccessFailure(c.relative, Value(), nullptr, nullptr);
        ASSERT_TRUE(task);
        EXPECT_NE(task->state(), NSURLSessionTaskStateSuspended); // resumed by the manager
        EXPECT_EQ(task->originalRequest()->URL()->absoluteString(), c.resolved);
        drainAll();
        EXPECT_EQ(task->state(), NSURLSessionTaskStateCompleted);
    }
    EXPECT_EQ(stub->requestCount(), std::size(cases));
}

TEST_F(VNHTTPSessionManagerTest, EachVerbRunsADataTaskAndCallsOneBlock)
{
    auto stub = stubs.add(jsonStub("http://stub.invalid/api/", "{\"ok\":true}"));
    stubs.add(jsonStub("http://stub.invalid/api/missing", "{\"no\":1}", 404));
    auto manager = keep(VNHTTPSessionManager::initWithBaseURL(NSURL::URLWithString("http://stub.invalid/api")));
    const Value parameters = Value::dictionary({ { "b", "2" }, { "a", "x y" } });
    using Manager = VNHTTPSessionManager;
    using Verb = Ref<NSURLSessionDataTask> (Manager::*)(
        const std::string&, const Value&, Manager::SuccessBlock, Manager::FailureBlock);
    struct Case {
        const char* method;
        Verb verb; // nullptr: HEAD
        const char* path;
        const char* url;
        const char* body;
        const char* outcome;
    } cases[] = {
        { "GET", &Manager::GETParametersSuccessFailure, "r", "http://stub.invalid/api/r?a=x%20y&b=2", "",
            "success {\n    ok = 1;\n}" },
        { "HEAD", nullptr, "r", "http://stub.invalid/api/r?a=x%20y&b=2", "", "success" },
        { "POST", &Manager::POSTParametersSuccessFailure, "r", "http://stub.invalid/api/r", "a=x%20y&b=2",
            "success {\n    ok = 1;\n}" },
        { "PUT", &Manager::PUTParametersSuccessFailure, "r", "http://stub.invalid/api/r", "a=x%20y&b=2",
            "success {\n    ok = 1;\n}" },
        { "PATCH", &Manager::PATCHParametersSuccessFailure, "r", "http://stub.invalid/api/r", "a=x%20y&b=2",
            "success {\n    ok = 1;\n}" },
        { "DELETE", &Manager::DELETEParametersSuccessFailure, "r", "http://stub.invalid/api/r?a=x%20y&b=2", "",
            "success {\n    ok = 1;\n}" },
        // The serializer's error reaches the failure block; its object does not.
        { "GET", &Manager::GETParametersSuccessFailure, "missing", "http://stub.invalid/api/missing?a=x%20y&b=2", "",
            "failure -1011" },
        { "HEAD", nullptr, "missing", "http://stub.invalid/api/missing?a=x%20y&b=2", "", "failure -1011" },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.method) + " " + c.path);
        std::vector<std::string> outcomes;
        Ref<NSURLSessionDataTask> task;
        auto failure = [&](const Ref<NSURLSessionDataTask>& t, const Ref<NSError>& error) {
            EXPECT_TRUE(NSThread::isMainThread());
            EXPECT_EQ(t, task);
            outcomes.push_back("failure " + std::to_string(error->code()));
        };
        if (c.verb) {
            task = (manager.get()->*c.verb)(
                c.path, parameters,
                [&](const Ref<NSURLSessionDataTask>& t, const Value& object) {
                    EXPECT_TRUE(NSThread::isMainThread());
                    EXPECT_EQ(t, task);
                    outcomes.push_back("success " + object.description());
                },
                failure);
        } else {
            task = manager->HEADParametersSuccessFailure(
                c.path, parameters,
                [&](const Ref<NSURLSessionDataTask>& t) {
                    EXPECT_EQ(t, task);
                    outcomes.push_back("success");
                },
                failure);
        }
        drainAll();
        auto all = stubs.allRequests();
        ASSERT_FALSE(all.empty());
        EXPECT_EQ(all.back().method, c.method);
        EXPECT_EQ(all.back().url, c.url);
        EXPECT_EQ(bodyText(all.back()), c.body);
        EXPECT_EQ(outcomes, std::vector<std::string> { c.outcome });
    }
}

TEST_F(VNHTTPSessionManagerTest, MultipartPostGoesThroughADataTask)
{
    auto stub = stubs.add(jsonStub("http://stub.invalid/upload", "[1]"));
    auto manager = keep(VNHTTPSessionManager::manager());
    Value answer;
    auto task = manager->POSTParametersConstructingBodyWithBlockSuccessFailure(
        "http://stub.invalid/upload", Value::dictionary({ { "name", "value" } }),
        [](const Ref<VNMultipartFormData>& form) { form->appendPartWithFormDataName(Value::data({ 'z' }), "file"); },
        [&](const Ref<NSURLSessionDataTask>&, const Value& object) { answer = object; }, nullptr);
    ASSERT_TRUE(task);
    EXPECT_FALSE(task->isKindOfClass(NSURLSessionUploadTask::classObject()));
    drainAll();
    EXPECT_EQ(answer.description(), "(\n    1\n)");
    ASSERT_EQ(stub->requestCount(), 1u);
    std::string body = bodyText(stub->requests()[0]);
    EXPECT_NE(body.find("name=\"name\"\r\n\r\nvalue\r\n"), std::string::npos);
    EXPECT_NE(body.find("name=\"file\"\r\n\r\nz\r\n"), std::string::npos);
}

TEST_F(VNHTTPSessionManagerTest, ReachabilityOfAHostIsNotStarted)
{
    auto shared = VNNetworkReachabilityManager::sharedManager();
    auto hosted = keep(VNHTTPSessionManager::initWithBaseURL(NSURL::URLWithString("http://stub.invalid/v1")));
    auto plain = keep(VNHTTPSessionManager::manager());
    drainAll();
    EXPECT_NE(hosted->reachabilityManager(), shared);
    EXPECT_EQ(hosted->reachabilityManager()->networkReachabilityStatus(), VNNetworkReachabilityStatusUnknown);
    EXPECT_EQ(plain->reachabilityManager(), shared);
    EXPECT_EQ(shared->networkReachabilityStatus(), VNNetworkReachabilityStatusReachableViaWiFi);
}

TEST_F(VNHTTPSessionManagerTest, ACopyHasEqualButSeparateSerializers)
{
    auto configuration = NSURLSessionConfiguration::defaultSessionConfiguration();
    configuration->setTimeoutIntervalForRequest(9);
    auto manager = keep(VNHTTPSessionManager::initWithBaseURLSessionConfiguration(
        NSURL::URLWithString("http://stub.invalid/v1"), configuration));
    manager->requestSerializer()->setValueForHTTPHeaderField("one", "X-Test");
    auto copy = std::dynamic_pointer_cast<VNHTTPSessionManager>(manager->copy());
    ASSERT_TRUE(copy);
    managers.push_back(copy);
    EXPECT_EQ(copy->baseURL()->absoluteString(), "http://stub.invalid/v1/");
    EXPECT_EQ(copy->sessionConfiguration()->timeoutIntervalForRequest(), 9);
    EXPECT_NE(copy->requestSerializer(), manager->requestSerializer());
    EXPECT_NE(copy->responseSerializer(), manager->responseSerializer());
    EXPECT_TRUE(copy->responseSerializer()->isKindOfClass(VNJSONResponseSerializer::classObject()));
    copy->requestSerializer()->setValueForHTTPHeaderField("two", "X-Test");
    EXPECT_EQ(manager->requestSerializer()->HTTPRequestHeaders()["X-Test"].description(), "one");
    EXPECT_EQ(copy->requestSerializer()->HTTPRequestHeaders()["X-Test"].description(), "two");
}

TEST_F(VNHTTPSessionManagerTest, DescribesItsBaseURLSessionAndQueue)
{
    auto manager = keep(VNHTTPSessionManager::initWithBaseURL(NSURL::URLWithString("http://stub.invalid/v1")));
    auto expected = NSString::stringWithFormat(
        "<VNHTTPSessionManager: %p, baseURL: http://stub.invalid/v1/, session: %@, operationQueue: %@>",
        static_cast<const void*>(manager.get()), manager->session(), manager->operationQueue());
    EXPECT_EQ(manager->description(), expected);
}

} // namespace
