#include "sdk/HBRHarborAppClient.h"
#include "sdk/tests/HarborTestSupport.h"

#include "foundation/Dispatch.h"
#include "foundation/NSOperationQueue.h"
#include "foundation/NSThread.h"
#include "net/NSMutableURLRequest.h"
#include "net/NSURL.h"
#include "net/NSURLError.h"

namespace {

class HBRHarborAppClientTest : public HarborTest {
protected:
    Ref<HBRHarborAppClient> m_client = HBRHarborAppClient::initWithBaseURL(NSURL::URLWithString("https://kit.test/"));
};

std::string bodyOf(const Ref<NSURLRequest>& request)
{
    const auto& bytes = request->HTTPBody().bytes();
    return std::string(bytes.begin(), bytes.end());
}

TEST_F(HBRHarborAppClientTest, BuildsGetAndMultipartRequests)
{
    Value parameters = Value::dictionary({ { "a", "1" }, { "b", "x y" } });
    Value plain = Value::dictionary({ { "a", "1" }, { "b", "2" } });
    EXPECT_EQ(m_client->requestWithMethodPathParameters("GET", std::string("api/list"), plain)->URL()->absoluteString(),
        "https://kit.test/api/list?a=1&b=2");
    EXPECT_EQ(
        m_client->requestWithMethodPathParameters("GET", std::string("api/list?x=0"), plain)->URL()->absoluteString(),
        "https://kit.test/api/list%3Fx=0&a=1&b=2");
    auto post = m_client->requestWithMethodPathParameters("POST", std::string("api/post"), parameters);
    std::string contentType = post->valueForHTTPHeaderField("Content-type").value_or("");
    ASSERT_EQ(contentType.rfind("multipart/form-data; boundary=", 0), 0u);
    std::string boundary = contentType.substr(30);
    EXPECT_EQ(bodyOf(post),
        "--" + boundary + "\r\nContent-Disposition: form-data; name=\"a\";\r\nContent-Type: text\r\n\r\n1\r\n--"
            + boundary + "\r\nContent-Disposition: form-data; name=\"b\";\r\nContent-Type: text\r\n\r\nx y\r\n--"
            + boundary + "--\r\n");
    // A value holding a boundary line of the old fixed boundary stays one field.
    const std::string hostile = "1\r\n------FOO--\r\n";
    auto forged = m_client->requestWithMethodPathParameters(
        "POST", std::string("api/post"), Value::dictionary({ { "a", hostile }, { "b", "2" } }));
    auto fields = readMultipart(forged->valueForHTTPHeaderField("Content-type").value_or(""), bodyOf(forged));
    ASSERT_TRUE(fields);
    ASSERT_EQ(fields->size(), 2u);
    EXPECT_EQ((*fields)[0].content, hostile);
    auto bare = m_client->requestWithMethodPathParameters("POST", std::string("api/post"), Value());
    EXPECT_FALSE(bare->valueForHTTPHeaderField("Content-type"));
    EXPECT_TRUE(bodyOf(bare).empty());
    EXPECT_EQ(HBRHarborAppClient::queryStringFromParametersWithEncoding(parameters), "a=1&b=x y");
}

TEST_F(HBRHarborAppClientTest, RunsOperationsOneAtATimeAndReportsFailures)
{
    URLStubs stubs;
    URLStubSpec ok;
    ok.url = "https://kit.test/ok";
    ok.body = "fine";
    ok.delay = 1.0;
    stubs.add(ok);
    URLStubSpec broken;
    broken.url = "https://kit.test/broken";
    broken.errorCode = NSURLErrorNotConnectedToInternet;
    stubs.add(broken);

    std::vector<std::string> order;
    Value failedData = Value::data({});
    Ref<NSError> failure;
    m_client->getPathParametersCompletion(std::string("ok"), Value(),
        [&](const Ref<HBRHTTPOperation>& operation, const Value& data, const Ref<NSError>&) {
            EXPECT_TRUE(NSThread::isMainThread());
            EXPECT_EQ(operation->response()->statusCode(), 200);
            order.push_back(std::string(data.bytes().begin(), data.bytes().end()));
        });
    // Enqueued from another thread: the connection still runs on the main thread.
    dispatch_sync(dispatch_get_global_queue(0, 0), [&] {
        m_client->postPathParametersCompletion(std::string("broken"), Value(),
            [&](const Ref<HBRHTTPOperation>&, const Value& data, const Ref<NSError>& error) {
                order.push_back("broken");
                failedData = data;
                failure = error;
            });
    });
    drainAll();
    EXPECT_TRUE(order.empty()); // the first waits for its delay, the second behind it
    advance(1.0);
    advance(0);
    ASSERT_EQ(order, (std::vector<std::string> { "fine", "broken" }));
    ASSERT_TRUE(failure);
    EXPECT_TRUE(failedData.isNil());
    EXPECT_EQ(stubs.allRequests().size(), 2u);
}

TEST_F(HBRHarborAppClientTest, CancelledRunningOperationLetsTheQueueMoveOn)
{
    URLStubs stubs;
    URLStubSpec slow;
    slow.url = "https://kit.test/slow";
    slow.delay = 100;
    stubs.add(slow);
    URLStubSpec next;
    next.url = "https://kit.test/next";
    stubs.add(next);
    bool slowCompleted = false, nextCompleted = false;
    m_client->getPathParametersCompletion(std::string("slow"), Value(),
        [&](const Ref<HBRHTTPOperation>&, const Value&, const Ref<NSError>&) { slowCompleted = true; });
    m_client->getPathParametersCompletion(std::string("next"), Value(),
        [&](const Ref<HBRHTTPOperation>&, const Value&, const Ref<NSError>&) { nextCompleted = true; });
    drainAll();
    EXPECT_EQ(m_client->cancelOperationsWithPathMethod(std::string("slow"), std::string("GET")), 1u);
    advance(0);
    advance(0);
    EXPECT_FALSE(slowCompleted);
    EXPECT_TRUE(nextCompleted);
}

} // namespace
