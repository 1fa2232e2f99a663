#include "servicesim/ServiceSimulator.h"

#include <gtest/gtest.h>

#include <httplib.h>
#include <memory>
#include <nlohmann/json.hpp>

using nlohmann::json;

namespace {

const std::string kApp = "0123456789abcdef0123456789abcdef";

// The crash, feedback and update service on a loopback port, and a client for it.
class HarborRoutesTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ServiceSimulator::Options options;
        options.aircraft = 10;
        options.fixedTime = 1765370000;
        std::string error;
        m_simulator = ServiceSimulator::create(options, &error);
        ASSERT_TRUE(m_simulator) << error;
        ASSERT_TRUE(m_simulator->start(0));
        m_client = std::make_unique<httplib::Client>("127.0.0.1", m_simulator->port());
    }
    void TearDown() override
    {
        if (m_simulator)
            m_simulator->stop();
    }

    // A body written the way the kit writes it, with the boundary "----FOO".
    static std::string kitBody(const std::vector<std::pair<std::string, std::string>>& fields)
    {
        std::string body;
        for (const auto& [name, value] : fields)
            body += "------FOO\r\nContent-Disposition: form-data; name=\"" + name + "\";\r\nContent-Type: text\r\n\r\n"
                + value + "\r\n";
        return body + "------FOO--\r\n";
    }

    static std::string crashBody(const std::string& xml)
    {
        return "------FOO\r\nContent-Disposition: form-data; name=\"xml\"; filename=\"crash.xml\"\r\n"
               "Content-Type: text/xml\r\n\r\n"
            + xml + "\r\n------FOO--\r\n";
    }

    httplib::Result post(const std::string& path, const std::string& body, const char* method = "POST")
    {
        const char* type = "multipart/form-data; boundary=----FOO";
        return std::string(method) == "PUT" ? m_client->Put(path.c_str(), body, type)
                                            : m_client->Post(path.c_str(), body, type);
    }

    std::unique_ptr<ServiceSimulator> m_simulator;
    std::unique_ptr<httplib::Client> m_client;
};

// The service reads the multipart body and the XML document: a broken one is answered 400 and
// not kept; a readable one is kept as it arrived.
TEST_F(HarborRoutesTest, CrashUploadsAreKeptOnlyWhenTheServiceCanReadThem)
{
    const std::string path = "/api/2/apps/" + kApp + "/crashes?sdk=HarborSDK&sdk_version=3.5.2&feedbackEnabled=no";
    const std::string good = "<crashes><crash><username>Pat &lt;x&gt;</username><log><![CDATA[a ]]]]><![CDATA[> "
                             "b]]></log></crash></crashes>";
    const struct {
        const char* label;
        std::string body;
        int status;
    } cases[] = {
        { "readable", crashBody(good), 201 },
        { "control character", crashBody("<crashes><crash><username>P\x01t</username></crash></crashes>"), 400 },
        { "invalid UTF-8", crashBody("<crashes><crash><username>P\xff\xfet</username></crash></crashes>"), 400 },
        { "ended early by a boundary in the log",
            crashBody("<crashes><crash><log><![CDATA[a\r\n------FOO--\r\nb]]></log></crash></crashes>"), 400 },
        { "not a crash document", crashBody("<html/>"), 400 },
        { "no closing delimiter", crashBody(good).substr(0, crashBody(good).size() - 13), 400 },
        { "no document", kitBody({ { "other", "x" } }), 422 },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.label);
        auto result = post(path, c.body);
        ASSERT_TRUE(result);
        EXPECT_EQ(result->status, c.status) << result->body;
        EXPECT_FALSE(result->body.empty());
    }
    EXPECT_EQ(m_simulator->receivedCrashReports(), std::vector<std::string> { good });
}

// A message the service already holds (the same message token) is not added again, neither to
// its thread nor as a new thread; the answer is the thread that holds it, so the sender sees its
// message confirmed. A body the service cannot read is answered 400 and opens no thread.
TEST_F(HarborRoutesTest, FeedbackKeepsEachMessageOnce)
{
    const std::string base = "/api/2/apps/" + kApp + "/feedback";
    auto broken = post(base, kitBody({ { "text", "Hi" } }).substr(0, 60));
    ASSERT_TRUE(broken);
    EXPECT_EQ(broken->status, 400);

    auto first = post(base, kitBody({ { "text", "Hi" }, { "message_token", "m1" } }));
    ASSERT_TRUE(first);
    ASSERT_EQ(first->status, 201);
    std::string token = json::parse(first->body)["token"];
    // The reply was lost: the kit sends the same message again as a new thread.
    auto again = post(base, kitBody({ { "text", "Hi" }, { "message_token", "m1" } }));
    ASSERT_TRUE(again);
    EXPECT_EQ(again->status, 200);
    auto thread = json::parse(again->body);
    EXPECT_EQ(thread["token"], token);
    ASSERT_EQ(thread["feedback"]["messages"].size(), 1u);
    EXPECT_EQ(thread["feedback"]["messages"][0]["token"], "m1");

    auto second = post(base + "/" + token, kitBody({ { "text", "More" }, { "message_token", "m2" } }), "PUT");
    ASSERT_TRUE(second);
    EXPECT_EQ(second->status, 200);
    auto repeated = post(base + "/" + token, kitBody({ { "text", "More" }, { "message_token", "m2" } }), "PUT");
    ASSERT_TRUE(repeated);
    EXPECT_EQ(repeated->status, 200);
    auto read = json::parse(m_client->Get((base + "/" + token).c_str())->body);
    ASSERT_EQ(read["feedback"]["messages"].size(), 2u);
    EXPECT_EQ(read["feedback"]["messages"][1]["token"], "m2");
    // Messages without a token are each new.
    post(base + "/" + token, kitBody({ { "text", "x" } }), "PUT");
    post(base + "/" + token, kitBody({ { "text", "x" } }), "PUT");
    EXPECT_EQ(json::parse(m_client->Get((base + "/" + token).c_str())->body)["feedback"]["messages"].size(), 4u);
}

} // namespace
