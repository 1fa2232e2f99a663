#include "sdk/HBRUpdateManager.h"
#include "sdk/tests/HarborTestSupport.h"

#include "foundation/NSBundle.h"
#include "foundation/NSDate.h"
#include "foundation/NSJSONSerialization.h"
#include "uikit/UIDevice.h"

namespace {

const char* const kRunningUUID = "0badc0de0badc0de0badc0de0badc0de0badc0de";
const std::string kVersionsURL = std::string(kTestServerURL) + "api/2/apps/" + kTestBetaIdentifier;

class HBRUpdateManagerTest : public HarborTest {
protected:
    void SetUp() override
    {
        HarborTest::SetUp();
        HBRUpdateManager::setExecutableUUIDForTesting(kRunningUUID);
        m_current = NSBundle::mainBundle()->objectForInfoDictionaryKey("CFBundleVersion").stringValue();
    }
    void TearDown() override
    {
        HBRUpdateManager::setExecutableUUIDForTesting("");
        HarborTest::TearDown();
    }

    Ref<HBRUpdateManager> updateManager()
    {
        auto manager = configuredManager()->updateManager();
        manager->setServerURL(kTestServerURL);
        return manager;
    }

    // A version entry of the service.
    static Value version(const std::string& build, int64_t id, const std::string& uuid = "", bool mandatory = false,
        const Value& minimumOS = Value::null())
    {
        return Value::dictionary({ { "title", "Volantrix" }, { "version", build }, { "shortversion", "" },
            { "minimum_os_version", minimumOS }, { "notes", "<p>n</p>" }, { "timestamp", 1388534400 },
            { "appsize", 1000 }, { "mandatory", mandatory }, { "id", id },
            { "uuids", uuid.empty() ? Value::dictionary() : Value::dictionary({ { "x86_64", uuid } }) } });
    }

    Ref<URLStub> versions(URLStubs& stubs, std::vector<Value> list, int32_t status = 200)
    {
        URLStubSpec spec;
        spec.url = kVersionsURL;
        spec.matchPrefix = true;
        spec.statusCode = status;
        Value answer = Value::dictionary({ { "versions", Value::array(std::move(list)) }, { "company", "Kestravon" } });
        Value data = NSJSONSerialization::dataWithJSONObject(answer, 0, nullptr);
        spec.body = std::string(data.bytes().begin(), data.bytes().end());
        return stubs.add(spec);
    }

    std::string m_current;
};

TEST_F(HBRUpdateManagerTest, DecidesWhetherANewerBuildExists)
{
    struct Case {
        const char* name;
        std::vector<Value> list;
        std::optional<int64_t> persistedID; // a later start of a build seen before
        bool available;
        std::optional<int64_t> installedID;
    };
    const std::string newer = "9999";
    const std::string older = "1";
    const Case cases[] = {
        { "newer version string", { version(newer, 5) }, std::nullopt, true, std::nullopt },
        { "older version string", { version(older, 5) }, std::nullopt, false, std::nullopt },
        { "first start of the newest upload", { version(m_current, 5, kRunningUUID) }, std::nullopt, false, 5 },
        { "running build is an older upload of the same version",
            { version(m_current, 6, "other"), version(m_current, 5, kRunningUUID) }, std::nullopt, true, 5 },
        { "later start, service has a later upload", { version(m_current, 7) }, 5, true, 5 },
        { "later start, same upload", { version(m_current, 5) }, 5, false, 5 },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        resetKit();
        auto defaults = NSUserDefaults::standardUserDefaults();
        defaults->removeObjectForKey("HBRUpdateInstalledUUID");
        defaults->removeObjectForKey("HBRUpdateInstalledVersionID");
        defaults->removeObjectForKey("HBRUpdateArrayOfLastCheck");
        if (c.persistedID) {
            defaults->setObjectForKey(std::string(kRunningUUID), "HBRUpdateInstalledUUID");
            defaults->setObjectForKey(Value(*c.persistedID), "HBRUpdateInstalledVersionID");
        }
        URLStubs stubs;
        auto stub = versions(stubs, c.list);
        auto manager = updateManager();
        manager->setAlwaysShowUpdateReminder(false);
        manager->checkForUpdateShowFeedback(false);
        drainAll();
        EXPECT_EQ(stub->requestCount(), 1u);
        EXPECT_FALSE(manager->isCheckInProgress());
        EXPECT_EQ(manager->isUpdateAvailable(), c.available);
        EXPECT_EQ(manager->versionID(), c.installedID);
        EXPECT_EQ(manager->companyName(), "Kestravon");
        EXPECT_EQ(manager->appVersions().size(), c.list.size());
        // With the reminder limited to changes, only a newest version string other than the last one
        // known (here the running build's) brings the alert.
        bool changed = c.list[0]["version"].string() != m_current;
        EXPECT_EQ(UIAlertView::visibleAlerts().size(), c.available && changed ? 1u : 0u);
        UIAlertView::resetForTesting();
    }
}

TEST_F(HBRUpdateManagerTest, RequestCarriesUsageAndHonoursTheCheckRules)
{
    URLStubs stubs;
    auto stub = versions(stubs, { version("1", 1) });
    auto manager = updateManager();
    // 61 s of use is sent as two whole minutes.
    UIApplicationHost::resignActive();
    drainAll();
    double used = manager->currentAppVersionUsageTime();
    advance(61 - used);
    UIApplicationHost::becomeActive();
    UIApplicationHost::resignActive();
    drainAll();
    manager->setUpdateSetting(HBRUpdateManager::CheckDaily);
    manager->setLastCheck(NSDate::date()->timeIntervalSince1970() - 86399);
    manager->checkForUpdateShowFeedback(false);
    drainAll();
    EXPECT_EQ(stub->requestCount(), 0u); // not due yet
    advance(1);
    manager->checkForUpdateShowFeedback(false);
    drainAll();
    ASSERT_EQ(stub->requestCount(), 1u);
    std::string url = stub->requests()[0].url;
    EXPECT_EQ(
        url.rfind(kVersionsURL + "?format=json&extended=true&sdk=HarborSDK&sdk_version=3.5.2&uuid=" + kRunningUUID, 0),
        0u)
        << url;
    EXPECT_NE(url.find("&os=iOS&os_version="), std::string::npos);
    EXPECT_NE(url.find("&first_start_at="), std::string::npos);
    EXPECT_TRUE(url.ends_with("&usage_time=120")) << url;
    EXPECT_EQ(stub->requests()[0].header("User-Agent"), "Harbor/iOS");
}

TEST_F(HBRUpdateManagerTest, VersionsNeedingANewerSystemAreDropped)
{
    URLStubs stubs;
    versions(stubs, { version("9999", 5, "", false, Value("99.0")) });
    auto manager = updateManager();
    manager->checkForUpdateShowFeedback(false);
    drainAll();
    ASSERT_EQ(manager->appVersions().size(), 1u); // the placeholder of the running build
    EXPECT_EQ(manager->appVersions()[0]->versionText(), m_current);
    EXPECT_FALSE(manager->isUpdateAvailable());
}

TEST_F(HBRUpdateManagerTest, MandatoryVersionsAndTheInstallLink)
{
    URLStubs stubs;
    versions(
        stubs, { version("9999", 6), version("9998", 5, "", true), version(m_current, 4), version("2", 3, "", true) });
    auto manager = updateManager();
    manager->checkForUpdateShowFeedback(false);
    drainAll();
    EXPECT_TRUE(manager->isUpdateAvailable());
    EXPECT_TRUE(manager->hasNewerMandatoryVersion());
    auto alerts = UIAlertView::visibleAlerts();
    ASSERT_EQ(alerts.size(), 1u);
    EXPECT_EQ(alerts[0]->numberOfButtons(), 2); // no cancel button
    alerts[0]->tapButtonAtIndex(1);
    advance(1.0);
    auto opened = UIApplication::sharedApplication()->openedURLs();
    ASSERT_EQ(opened.size(), 1u);
    EXPECT_EQ(opened[0],
        "itms-services://?action=download-manifest&url=" + HBRURLEncodeString(kVersionsURL + "?format=plist"));
    EXPECT_FALSE(manager->isUpdateAlertShowing());

    // A mandatory version older than the running one does not count.
    URLStubs later;
    versions(later, { version(m_current, 4), version("2", 3, "", true) });
    manager->checkForUpdateShowFeedback(false);
    drainAll();
    EXPECT_FALSE(manager->hasNewerMandatoryVersion());
}

TEST_F(HBRUpdateManagerTest, FailuresAreReportedAndTheNextCheckCanRun)
{
    URLStubs stubs;
    versions(stubs, {}, 404);
    auto manager = updateManager();
    manager->checkForUpdateShowFeedback(true);
    drainAll();
    EXPECT_FALSE(manager->isCheckInProgress());
    auto alerts = UIAlertView::visibleAlerts();
    ASSERT_EQ(alerts.size(), 1u);
    EXPECT_EQ(alerts[0]->message(), "Harbor API received HTTP Status Code 404");
    UIAlertView::resetForTesting();
    URLStubs empty;
    URLStubSpec spec;
    spec.url = kVersionsURL;
    spec.matchPrefix = true;
    auto emptyStub = empty.add(spec);
    manager->checkForUpdateShowFeedback(true);
    drainAll();
    EXPECT_EQ(emptyStub->requestCount(), 1u);
    ASSERT_EQ(UIAlertView::visibleAlerts().size(), 1u);
    EXPECT_EQ(UIAlertView::visibleAlerts()[0]->message(), "Server returned an empty response.");
}

// The service may list its versions in any order: the newest by version decides.
TEST_F(HBRUpdateManagerTest, NewestVersionIsFoundInAListSentOldestFirst)
{
    URLStubs stubs;
    versions(stubs, { version("1", 1), version(m_current, 4), version("9999", 5), version("2", 2) });
    auto manager = updateManager();
    manager->checkForUpdateShowFeedback(false);
    drainAll();
    EXPECT_TRUE(manager->isUpdateAvailable());
    ASSERT_EQ(manager->appVersions().size(), 4u);
    std::vector<std::string> order;
    for (const auto& record : manager->appVersions())
        order.push_back(record->version().string());
    EXPECT_EQ(order, (std::vector<std::string> { "9999", m_current, "2", "1" }));
}

// An answer that is not a version list ends a check the user asked for with an alert saying it
// failed, and the time of the last check stays what it was.
TEST_F(HBRUpdateManagerTest, AnswerThatIsNoVersionListFailsTheCheck)
{
    const struct {
        const char* name;
        std::string body;
    } cases[] = {
        { "top-level array", R"([{"version":"9999"}])" },
        { "versions as an object", R"({"versions":{"version":"9999"},"company":"Kestravon"})" },
        { "not JSON", "<html>busy</html>" },
        { "no versions", R"({"company":"Kestravon"})" },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        resetKit();
        UIAlertView::resetForTesting();
        NSUserDefaults::standardUserDefaults()->removeObjectForKey("HBRUpdateDateOfLastCheck");
        URLStubs stubs;
        URLStubSpec spec;
        spec.url = kVersionsURL;
        spec.matchPrefix = true;
        spec.body = c.body;
        auto stub = stubs.add(spec);
        auto manager = updateManager();
        auto before = manager->lastCheck();
        manager->checkForUpdateShowFeedback(true);
        drainAll();
        EXPECT_EQ(stub->requestCount(), 1u);
        EXPECT_FALSE(manager->isCheckInProgress());
        EXPECT_EQ(manager->lastCheck(), before);
        auto alerts = UIAlertView::visibleAlerts();
        ASSERT_EQ(alerts.size(), 1u);
        EXPECT_EQ(alerts[0]->title(), HBRLocalizedString(std::string("UpdateError")));
        EXPECT_EQ(alerts[0]->message(), "Invalid data received from server.");
    }
}

TEST_F(HBRUpdateManagerTest, StartSchedulesACheckOnlyWhileActive)
{
    URLStubs stubs;
    auto stub = versions(stubs, { version("1", 1) });
    auto manager = updateManager();
    manager->startManager();
    advance(0.9);
    EXPECT_EQ(stub->requestCount(), 0u);
    advance(0.1);
    EXPECT_EQ(stub->requestCount(), 1u);

    resetKit();
    UIApplicationHost::sendToBackground();
    drainAll();
    auto background = updateManager();
    background->startManager();
    advance(2.0);
    EXPECT_EQ(stub->requestCount(), 1u);
    UIApplicationHost::bringToForeground();
    drainAll();
    EXPECT_EQ(stub->requestCount(), 2u); // became active after a stay in the background
}

} // namespace
