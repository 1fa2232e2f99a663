#include "networking/VNHTTPRequestOperationManager.h"

#include "foundation/NSError.h"
#include "foundation/NSOperationQueue.h"
#include "foundation/NSString.h"
#include "foundation/NSThread.h"
#include "net/NSURL.h"
#include "net/NSURLCredential.h"
#include "net/NSURLError.h"
#include "net/NSURLRequest.h"
#include "networking/VNHTTPResponseSerializer.h"
#include "networking/VNJSONResponseSerializer.h"
#include "networking/VNMultipartFormData.h"
#include "networking/VNNetworkReachabilityManager.h"
#include "networking/VNSecurityPolicy.h"
#include "networking/tests/StubbedNetworkTestSupport.h"
#include "sysconfig/SCNetworkReachability.h"
#include "testing/Drain.h"
#include "testing/LoopbackServer.h"
#include "testing/TestCertificates.h"
#include "testing/URLStubs.h"

#include <gtest/gtest.h>

namespace {

class VNHTTPRequestOperationManagerTest : public ReachableNetworkTest {
protected:
    URLStubs stubs;
};

TEST_F(VNHTTPRequestOperationManagerTest, BaseURLGetsAFinalSlashSoRelativeStringsResolveBelowIt)
{
    struct Case {
        const char* base; // nullptr: no base URL
        const char* expectedBase;
        const char* relative;
        const char* resolved;
    } cases[] = {
        { "http://stub.invalid/v1", "http://stub.invalid/v1/", "items?x=1", "http://stub.invalid/v1/items?x=1" },
        { "http://stub.invalid/v1/", "http://stub.invalid/v1/", "items", "http://stub.invalid/v1/items" },
        { "http://stub.invalid/a/b", "http://stub.invalid/a/b/", "../c", "http://stub.invalid/a/c" },
        { "http://stub.invalid", "http://stub.invalid", "items", "http://stub.invalid/items" },
        { "http://stub.invalid/v1", "http://stub.invalid/v1/", "/root", "http://stub.invalid/root" },
        { nullptr, nullptr, "http://stub.invalid/full", "http://stub.invalid/full" },
    };
    auto stub = stubs.add(jsonStub("http://stub.invalid/", "{}"));
    for (const auto& c : cases) {
        SCOPED_TRACE(c.relative);
        auto manager = VNHTTPRequestOperationManager::initWithBaseURL(c.base ? NSURL::URLWithString(c.base) : nullptr);
        if (c.expectedBase) {
            ASSERT_TRUE(manager->baseURL());
            EXPECT_EQ(manager->baseURL()->absoluteString(), c.expectedBase);
        } else {
            EXPECT_FALSE(manager->baseURL());
        }
        auto operation = manager->GETParametersSuccessFailure(c.relative, Value(), nullptr, nullptr);
        ASSERT_TRUE(operation->request()->URL());
        EXPECT_EQ(operation->request()->URL()->absoluteString(), c.resolved);
        drainAll();
        EXPECT_TRUE(operation->isFinished());
    }
    EXPECT_EQ(stub->requestCount(), std::size(cases));
}

TEST_F(VNHTTPRequestOperationManagerTest, EachVerbSendsItsMethodAndParametersAndDeliversOnTheMainQueue)
{
    auto stub = stubs.add(jsonStub("http://stub.invalid/api/", "{\"ok\":true}"));
    auto manager = VNHTTPRequestOperationManager::initWithBaseURL(NSURL::URLWithString("http://stub.invalid/api"));
    const Value parameters = Value::dictionary({ { "b", "2" }, { "a", "x y" } });
    using Manager = VNHTTPRequestOperationManager;
    using Verb = Ref<VNHTTPRequestOperation> (Manager::*)(
        const std::string&, const Value&, Manager::SuccessBlock, Manager::FailureBlock);
    struct Case {
        const char* method;
        Verb verb; // nullptr: HEAD, whose success block takes the operation only
        const char* url;
        const char* body;
    } cases[] = {
        { "GET", &Manager::GETParametersSuccessFailure, "http://stub.invalid/api/r?a=x%20y&b=2", "" },
        { "HEAD", nullptr, "http://stub.invalid/api/r?a=x%20y&b=2", "" },
        { "POST", &Manager::POSTParametersSuccessFailure, "http://stub.invalid/api/r", "a=x%20y&b=2" },
        { "PUT", &Manager::PUTParametersSuccessFailure, "http://stub.invalid/api/r", "a=x%20y&b=2" },
        { "PATCH", &Manager::PATCHParametersSuccessFailure, "http://stub.invalid/api/r", "a=x%20y&b=2" },
        { "DELETE", &Manager::DELETEParametersSuccessFailure, "http://stub.invalid/api/r?a=x%20y&b=2", "" },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.method);
        size_t before = stub->requestCount();
        std::vector<std::string> delivered;
        Ref<VNHTTPRequestOperation> operation;
        auto failure = [&](const Ref<VNHTTPRequestOperation>&, const Ref<NSError>& error) {
            delivered.push_back("failure " + std::to_string(error ? error->code() : 0));
        };
        if (c.verb) {
            operation = (manager.get()->*c.verb)(
                "r", parameters,
                [&](const Ref<VNHTTPRequestOperation>& op, const Value& object) {
                    EXPECT_TRUE(NSThread::isMainThread());
                    EXPECT_EQ(op, operation);
                    delivered.push_back("success " + object.description());
                },
                failure);
        } else {
            operation = manager->HEADParametersSuccessFailure(
                "r", parameters,
                [&](const Ref<VNHTTPRequestOperation>& op) {
                    EXPECT_TRUE(NSThread::isMainThread());
                    EXPECT_EQ(op, operation);
                    delivered.push_back("success");
                },
                failure);
        }
        drainAll();
        ASSERT_EQ(stub->requestCount(), before + 1);
        auto record = stub->requests().back();
        EXPECT_EQ(record.method, c.method);
        EXPECT_EQ(record.url, c.url);
        EXPECT_EQ(bodyText(record), c.body);
        // The manager's response serializer is the JSON one; HEAD never gets an object.
        std::string expected = c.verb ? "success {\n    ok = 1;\n}" : "success";
        EXPECT_EQ(delivered, std::vector<std::string> { expected });
    }
}

TEST_F(VNHTTPRequestOperationManagerTest, TalksToALoopbackServer)
{
    LoopbackServer server;
    auto manager = VNHTTPRequestOperationManager::initWithBaseURL(NSURL::URLWithString(server.baseURL()));
    Value answer;
    manager->POSTParametersSuccessFailure(
        "echo", Value::dictionary({ { "k", "v" } }),
        [&](const Ref<VNHTTPRequestOperation>&, const Value& object) { answer = object; }, nullptr);
    drainAll();
    ASSERT_TRUE(answer.isDictionary());
    EXPECT_EQ(answer["method"].description(), "POST");
    EXPECT_EQ(answer["path"].description(), "/echo");
    EXPECT_EQ(answer["body"].description(), "k=v");
}

TEST_F(VNHTTPRequestOperationManagerTest, PinnedModesAcceptOnlyAChainThatValidatesThroughThePin)
{
    TestCertificates pinned;
    TestCertificates attacker; // fresh keys, same names
    struct Server {
        const char* name;
        const TestIdentity* identity;
        std::string chain;
        const TestIdentity* pin;
        bool valid; // accepted without allowInvalidCertificates
    } servers[] = {
        { "leaf issued by the pinned authority", &pinned.localhost(), pinned.authority().certificatePEM,
            &pinned.authority(), true },
        { "the pinned leaf itself", &pinned.localhost(), pinned.authority().certificatePEM, &pinned.localhost(), true },
        { "attacker chain with the pinned authority appended", &attacker.localhost(),
            attacker.authority().certificatePEM + pinned.authority().certificatePEM, &pinned.authority(), false },
        { "attacker leaf with the pinned leaf appended", &attacker.localhost(), pinned.localhost().certificatePEM,
            &pinned.localhost(), false },
        { "expired leaf issued by the pinned authority", &pinned.expired(), pinned.authority().certificatePEM,
            &pinned.authority(), false },
        { "leaf for another host issued by the pinned authority", &pinned.wrongHost(),
            pinned.authority().certificatePEM, &pinned.authority(), false },
    };
    for (const auto& server : servers) {
        LoopbackServer secure(*server.identity, server.chain);
        for (uint32_t mode :
            { VNSecurityPolicy::VNSSLPinningModePublicKey, VNSecurityPolicy::VNSSLPinningModeCertificate }) {
            for (bool allowInvalid : { false, true }) {
                SCOPED_TRACE(std::string(server.name) + ", mode " + std::to_string(mode)
                    + (allowInvalid ? ", invalid allowed" : ""));
                auto manager = VNHTTPRequestOperationManager::initWithBaseURL(NSURL::URLWithString(secure.baseURL()));
                manager->setResponseSerializer(VNHTTPResponseSerializer::serializer());
                auto policy = VNSecurityPolicy::policyWithPinningMode(mode);
                policy->setAllowInvalidCertificates(allowInvalid);
                policy->setPinnedCertificates(std::vector<Value::Bytes> { server.pin->certificateDER });
                manager->setSecurityPolicy(policy);
                bool succeeded = false;
                int32_t failure = 0;
                // A connection the loopback server drops under a heavily loaded machine says
                // nothing about trust: such a load is made again, once.
                for (int attempt = 0; attempt < 2; ++attempt) {
                    succeeded = false;
                    failure = 0;
                    manager->GETParametersSuccessFailure(
                        "hello", Value(), [&](const Ref<VNHTTPRequestOperation>&, const Value&) { succeeded = true; },
                        [&](const Ref<VNHTTPRequestOperation>&, const Ref<NSError>& error) {
                            failure = error->code();
                        });
                    drainAll();
                    if (failure != NSURLErrorNetworkConnectionLost)
                        break;
                }
                bool expected = server.valid || allowInvalid;
                EXPECT_EQ(succeeded, expected);
                EXPECT_EQ(failure, expected ? 0 : NSURLErrorCancelled);
            }
        }
    }
}

TEST_F(VNHTTPRequestOperationManagerTest, MultipartPostStreamsTheFormBuiltByTheBlock)
{
    auto stub = stubs.add(jsonStub("http://stub.invalid/upload", "[]"));
    auto manager = VNHTTPRequestOperationManager::manager();
    std::vector<std::string> delivered;
    manager->POSTParametersConstructingBodyWithBlockSuccessFailure(
        "http://stub.invalid/upload", Value::dictionary({ { "name", "value" } }),
        [](const Ref<VNMultipartFormData>& form) {
            form->appendPartWithFormDataName(Value::data({ 'p', 'n', 'g' }), "file");
        },
        [&](const Ref<VNHTTPRequestOperation>&, const Value& object) { delivered.push_back(object.description()); },
        [&](const Ref<VNHTTPRequestOperation>&, const Ref<NSError>& error) {
            delivered.push_back("failure " + std::to_string(error->code()));
        });
    drainAll();
    ASSERT_EQ(stub->requestCount(), 1u);
    auto record = stub->requests()[0];
    EXPECT_EQ(record.method, "POST");
    EXPECT_EQ(record.header("Content-Type"),
        std::optional<std::string>("multipart/form-data; boundary=Boundary+0xAbCdEfGbOuNdArY"));
    std::string body = bodyText(record);
    EXPECT_NE(body.find("Content-Disposition: form-data; name=\"name\"\r\n\r\nvalue\r\n"), std::string::npos);
    EXPECT_NE(body.find("Content-Disposition: form-data; name=\"file\"\r\n\r\npng\r\n"), std::string::npos);
    EXPECT_EQ(delivered, std::vector<std::string> { "(\n)" });
}

TEST_F(VNHTTPRequestOperationManagerTest, OperationsCarryTheManagersSettingsAndAreNotQueuedByTheFactory)
{
    auto manager = VNHTTPRequestOperationManager::manager();
    auto request = NSURLRequest::requestWithURL(NSURL::URLWithString("http://stub.invalid/x"));

    auto plain = manager->HTTPRequestOperationWithRequestSuccessFailure(request, nullptr, nullptr);
    EXPECT_EQ(plain->responseSerializer(), manager->responseSerializer()); // the same object
    EXPECT_FALSE(plain->shouldUseCredentialStorage());
    EXPECT_FALSE(plain->credential());
    EXPECT_EQ(plain->securityPolicy(), manager->securityPolicy());
    EXPECT_TRUE(plain->isReady());
    EXPECT_EQ(manager->operationQueue()->operationCount(), 0u);

    auto credential
        = NSURLCredential::credentialWithUserPasswordPersistence("user", "secret", NSURLCredentialPersistenceNone);
    auto policy = VNSecurityPolicy::policyWithPinningMode(VNSecurityPolicy::VNSSLPinningModeCertificate);
    manager->setShouldUseCredentialStorage(true);
    manager->setCredential(credential);
    manager->setSecurityPolicy(policy);
    auto configured = manager->HTTPRequestOperationWithRequestSuccessFailure(request, nullptr, nullptr);
    EXPECT_TRUE(configured->shouldUseCredentialStorage());
    EXPECT_EQ(configured->credential(), credential);
    EXPECT_EQ(configured->securityPolicy(), policy);

    // Each completion block holds its operation until it has run: let both finish.
    plain->cancel();
    configured->cancel();
    drainAll();
}

TEST_F(VNHTTPRequestOperationManagerTest, FailuresReachTheFailureBlock)
{
    URLStubSpec missing;
    missing.url = "http://stub.invalid/missing";
    missing.statusCode = 404;
    missing.headers = { { "Content-Type", "application/json" } };
    missing.body = "{\"error\":\"gone\"}";
    stubs.add(missing);
    auto manager = VNHTTPRequestOperationManager::manager();
    struct Case {
        const char* url;
        int32_t code;
    } cases[] = {
        { "http://stub.invalid/missing", NSURLErrorBadServerResponse },
        { "not a url", NSURLErrorBadURL }, // no request URL: fails instead of crashing
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.url);
        std::vector<int32_t> failures;
        int successes = 0;
        auto operation = manager->GETParametersSuccessFailure(
            c.url, Value(), [&](const Ref<VNHTTPRequestOperation>&, const Value&) { ++successes; },
            [&](const Ref<VNHTTPRequestOperation>&, const Ref<NSError>& error) { failures.push_back(error->code()); });
        drainAll();
        EXPECT_EQ(successes, 0);
        EXPECT_EQ(failures, std::vector<int32_t> { c.code });
        EXPECT_TRUE(operation->isFinished());
    }
}

TEST_F(VNHTTPRequestOperationManagerTest, ReachabilityFollowsTheBaseURLsHost)
{
    auto shared = VNNetworkReachabilityManager::sharedManager();
    auto noBase = VNHTTPRequestOperationManager::manager();
    EXPECT_EQ(noBase->reachabilityManager(), shared);

    auto hosted = VNHTTPRequestOperationManager::initWithBaseURL(NSURL::URLWithString("http://stub.invalid/v1"));
    ASSERT_TRUE(hosted->reachabilityManager());
    EXPECT_NE(hosted->reachabilityManager(), shared);
    drainAll();
    // Monitoring started at once: the first status has arrived.
    EXPECT_EQ(hosted->reachabilityManager()->networkReachabilityStatus(), VNNetworkReachabilityStatusReachableViaWiFi);
}

TEST_F(VNHTTPRequestOperationManagerTest, ACopyHasItsOwnQueueMonitorAndSerializers)
{
    auto manager = VNHTTPRequestOperationManager::initWithBaseURL(NSURL::URLWithString("http://stub.invalid/v1"));
    manager->setShouldUseCredentialStorage(true);
    manager->requestSerializer()->setValueForHTTPHeaderField("one", "X-Test");
    auto copy = manager->copy();
    EXPECT_EQ(copy->baseURL()->absoluteString(), "http://stub.invalid/v1/");
    EXPECT_NE(copy->operationQueue(), manager->operationQueue());
    EXPECT_NE(copy->reachabilityManager(), manager->reachabilityManager());
    EXPECT_NE(copy->requestSerializer(), manager->requestSerializer());
    EXPECT_NE(copy->responseSerializer(), manager->responseSerializer());
    EXPECT_TRUE(copy->responseSerializer()->isKindOfClass(VNJSONResponseSerializer::classObject()));
    EXPECT_FALSE(copy->shouldUseCredentialStorage());
    copy->requestSerializer()->setValueForHTTPHeaderField("two", "X-Test");
    EXPECT_EQ(manager->requestSerializer()->HTTPRequestHeaders()["X-Test"].description(), "one");
    EXPECT_EQ(copy->requestSerializer()->HTTPRequestHeaders()["X-Test"].description(), "two");
}

TEST_F(VNHTTPRequestOperationManagerTest, DescribesItsBaseURLAndQueue)
{
    auto manager = VNHTTPRequestOperationManager::initWithBaseURL(NSURL::URLWithString("http://stub.invalid/v1"));
    auto expected = NSString::stringWithFormat("<VNHTTPRequestOperationManager: %p, baseURL: http://stub.invalid/v1/, "
                                               "operationQueue: %@>",
        static_cast<const void*>(manager.get()), manager->operationQueue());
    EXPECT_EQ(manager->description(), expected);
    EXPECT_NE(VNHTTPRequestOperationManager::manager()->description().find("baseURL: (null),"), std::string::npos);
}

} // namespace
