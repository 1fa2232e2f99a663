#include "sdk/HBRFeedbackManager.h"
#include "sdk/HBRHarborAppClient.h"
#include "sdk/HBRStoreUpdateManager.h"
#include "sdk/HBRUpdateManager.h"
#include "sdk/tests/HarborTestSupport.h"

#include "foundation/NSDate.h"
#include "net/NSURL.h"

namespace {

class HBRHarborManagerTest : public HarborTest { };

TEST(HBRHarborManager, IdentifierRule)
{
    const struct {
        std::optional<std::string> identifier;
        bool valid;
    } cases[] = {
        { kTestBetaIdentifier, true },
        { "A41f07c2e98d3b56f10e7ac42d9b6853", false }, // upper case
        { "a41f07c2e98d3b56f10e7ac42d9b685", false }, // 31
        { "a41f07c2e98d3b56f10e7ac42d9b68533", false }, // 33
        { "g41f07c2e98d3b56f10e7ac42d9b6853", false },
        { "", false },
        { std::nullopt, false },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.identifier.value_or("(nil)"));
        EXPECT_EQ(HBRHarborManager::isValidIdentifier(c.identifier), c.valid);
    }
}

TEST_F(HBRHarborManagerTest, ConfigurationChoosesTheIdentifierAndMakesTheComponents)
{
    struct Case {
        const char* name;
        std::string beta, live;
        std::optional<bool> delegateChoosesLive;
        bool store;
        std::string chosen;
        bool components;
        std::optional<std::string> rememberedLive;
        std::vector<std::string> logs;
    };
    const std::string invalidAppId = "[HarborSDK] ERROR: The app identifier is invalid! Please use the HarborApp app "
                                     "identifier you find on the apps website on HarborApp! The SDK is disabled!";
    const std::string invalidLive = "[HarborSDK] WARNING: The liveIdentifier is invalid! The SDK will be disabled when "
                                    "deployed to the App Store without setting a valid app identifier!";
    const Case cases[] = {
        { "beta build", kTestBetaIdentifier, kTestLiveIdentifier, std::nullopt, false, kTestBetaIdentifier, true,
            std::nullopt, {} },
        { "delegate asks for live", kTestBetaIdentifier, kTestLiveIdentifier, true, false, kTestLiveIdentifier, true,
            std::nullopt, {} },
        { "store build uses live", kTestBetaIdentifier, kTestLiveIdentifier, std::nullopt, true, kTestLiveIdentifier,
            true, std::nullopt, {} },
        { "invalid live is remembered", kTestBetaIdentifier, "nope", std::nullopt, false, kTestBetaIdentifier, true,
            "nope", { invalidLive } },
        { "invalid beta leaves the kit inert", "NOPE", kTestLiveIdentifier, std::nullopt, false, "NOPE", false,
            std::nullopt, { invalidAppId } },
        { "store build prints nothing", kTestBetaIdentifier, "nope", std::nullopt, true, "nope", false, "nope", {} },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        resetKit();
        HBRHarborManager::setAppStoreEnvironmentForTesting(c.store);
        m_logs.clear();
        m_delegate->useLive = c.delegateChoosesLive;
        auto manager = HBRHarborManager::sharedHarborManager();
        EXPECT_EQ(manager, HBRHarborManager::sharedHarborManager());
        EXPECT_EQ(manager->isAppStoreEnvironment(), c.store);
        manager->configureWithBetaIdentifierLiveIdentifierDelegate(c.beta, c.live, m_delegate.get(), m_delegate);
        EXPECT_EQ(manager->appIdentifier(), c.chosen);
        EXPECT_EQ(manager->liveIdentifier(), c.rememberedLive);
        EXPECT_EQ(bool(manager->crashManager()), c.components);
        EXPECT_EQ(bool(manager->updateManager()), c.components);
        EXPECT_EQ(bool(manager->storeUpdateManager()), c.components);
        EXPECT_EQ(bool(manager->feedbackManager()), c.components);
        if (manager->crashManager()) {
            EXPECT_EQ(manager->crashManager()->appIdentifier(), c.chosen);
        }
        EXPECT_EQ(m_logs.messages(), c.logs);
    }
}

TEST_F(HBRHarborManagerTest, StartsTheComponentsInOrderAndTheBetaUpdateManagerOnce)
{
    auto manager = configuredManager();
    manager->setDebugLogEnabled(true);
    manager->crashManager()->setCrashManagerStatus(HBRCrashManagerStatusAutoSend);
    manager->startManager();
    EXPECT_TRUE(manager->isStartManagerInvoked());
    EXPECT_TRUE(manager->crashManager()->isSetup());
    EXPECT_EQ(m_enableCount, 1);
    EXPECT_FALSE(manager->updateManager()->isStarted());
    EXPECT_FALSE(manager->feedbackManager()->isStarted());
    advance(0.5);
    EXPECT_TRUE(manager->updateManager()->isStarted());
    EXPECT_FALSE(manager->feedbackManager()->isStarted());
    advance(0.5);
    EXPECT_TRUE(manager->feedbackManager()->isStarted());
    bool sawStart = false;
    for (const auto& line : m_logs.messages())
        sawStart |= line.rfind("[HarborSDK] -[HBRHarborManager startManager]/", 0) == 0
            && line.find(" INFO: Starting HarborManager") != std::string::npos;
    EXPECT_TRUE(sawStart);
    EXPECT_EQ(manager->updateManager()->serverURL(), kTestServerURL);

    // A second start starts the crash and feedback components again, the beta update one not.
    m_logs.clear();
    manager->startManager();
    advance(1.0);
    size_t updateStarts = 0;
    for (const auto& line : m_logs.messages())
        updateStarts += line.find("INFO: Start UpdateManager") != std::string::npos;
    EXPECT_EQ(updateStarts, 0u);
    // The reporter is set up once per process.
    EXPECT_EQ(m_enableCount, 1);
}

TEST_F(HBRHarborManagerTest, StoreBuildsLogNothingAndNeverStartTheBetaUpdateManager)
{
    HBRHarborManager::setAppStoreEnvironmentForTesting(true);
    resetKit();
    auto manager = configuredManager();
    manager->setDebugLogEnabled(true);
    manager->startManager();
    advance(2.0);
    EXPECT_EQ(manager->appIdentifier(), kTestLiveIdentifier);
    EXPECT_FALSE(manager->updateManager()->isStarted());
    EXPECT_TRUE(manager->feedbackManager()->isStarted());
    for (const auto& line : m_logs.messages())
        EXPECT_EQ(line.find("INFO:"), std::string::npos) << line;
}

TEST_F(HBRHarborManagerTest, ForgottenStartIsReportedOnTheNextPass)
{
    auto manager = configuredManager();
    advance(0);
    EXPECT_TRUE(m_logs.contains("[HarborSDK] ERROR: You did not call [[HBRHarborManager sharedHarborManager] "
                                "startManager] to startup the HarborSDK! Please do so after setting up all "
                                "properties. The SDK is NOT running."));
    resetKit();
    m_logs.clear();
    configuredManager()->startManager();
    advance(0);
    for (const auto& line : m_logs.messages())
        EXPECT_EQ(line.find("You did not call"), std::string::npos);
}

TEST_F(HBRHarborManagerTest, ServerURLGetsATrailingSlashAndReachesTheClient)
{
    auto manager = HBRHarborManager::sharedHarborManager();
    EXPECT_EQ(manager->harborAppClient()->baseURL()->absoluteString(), "https://sdk.harborapp.net/");
    manager->setServerURL(std::string("https://kit.test/sdk"));
    EXPECT_EQ(manager->serverURL(), "https://kit.test/sdk/");
    EXPECT_EQ(manager->harborAppClient()->baseURL()->absoluteString(), "https://kit.test/sdk/");
    auto client = manager->harborAppClient();
    auto url = client->baseURL();
    manager->setServerURL(std::string("https://kit.test/sdk/"));
    EXPECT_EQ(client->baseURL(), url); // unchanged value leaves the client alone
    EXPECT_EQ(manager->harborAppClient(), client);
}

TEST_F(HBRHarborManagerTest, IntegrationFlowCountsOnlyForTenMinutes)
{
    auto manager = HBRHarborManager::sharedHarborManager();
    double now = NSDate::date()->timeIntervalSince1970();
    auto stamp = [](double seconds) {
        time_t t = time_t(seconds);
        char text[64];
        std::strftime(text, sizeof text, "%Y-%m-%dT%H:%M:%S+0000", gmtime(&t));
        return std::string(text);
    };
    EXPECT_TRUE(manager->integrationFlowStartedWithTimeString(stamp(now - 599)));
    EXPECT_FALSE(manager->integrationFlowStartedWithTimeString(stamp(now - 600)));
    EXPECT_FALSE(manager->integrationFlowStartedWithTimeString(std::string("yesterday")));
    EXPECT_FALSE(manager->integrationFlowStartedWithTimeString(std::nullopt));
}

TEST_F(HBRHarborManagerTest, IntegrationPingPostsTheKitFieldsAndLogsTheStatus)
{
    const struct {
        int status;
        const char* log;
    } cases[] = {
        { 201, "INFO: Ping accepted." },
        { 200, "INFO: Ping accepted. Server already knows." },
        { 400, "ERROR: App ID not found" },
        { 500, "ERROR: Unknown error" },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.status);
        resetKit();
        m_logs.clear();
        URLStubs stubs;
        URLStubSpec spec;
        spec.method = "POST";
        spec.url = std::string(kTestServerURL) + "api/3/apps/" + kTestBetaIdentifier + "/integration";
        spec.statusCode = c.status;
        spec.body = "{}";
        auto stub = stubs.add(spec);
        auto manager = configuredManager();
        manager->setDebugLogEnabled(true);
        manager->testIdentifier();
        drainAll();
        ASSERT_EQ(stub->requestCount(), 1u);
        auto request = stub->requests()[0];
        std::string body(request.body.begin(), request.body.end());
        std::string contentType = request.header("Content-type").value_or("");
        ASSERT_EQ(contentType.rfind("multipart/form-data; boundary=", 0), 0u);
        EXPECT_EQ(body.rfind(
                      "--" + contentType.substr(30) + "\r\nContent-Disposition: form-data; name=\"timestamp\";\r\n", 0),
            0u);
        EXPECT_TRUE(readMultipart(contentType, body));
        EXPECT_NE(body.find("name=\"sdk\";\r\nContent-Type: text\r\n\r\nHarborSDK\r\n"), std::string::npos);
        EXPECT_NE(body.find("name=\"sdk_version\";\r\nContent-Type: text\r\n\r\n3.5.2\r\n"), std::string::npos);
        EXPECT_NE(body.find("name=\"bundle_version\";"), std::string::npos);
        bool logged = false;
        for (const auto& line : m_logs.messages())
            logged |= line.find(std::string("/")) != std::string::npos && line.ends_with(c.log);
        EXPECT_TRUE(logged);
    }
}

} // namespace
