#include "sdk/HBRStoreUpdateManager.h"
#include "sdk/tests/HarborTestSupport.h"

#include "foundation/NSDate.h"
#include "foundation/NSLocale.h"

namespace {

class HBRStoreUpdateManagerTest : public HarborTest {
protected:
    void SetUp() override
    {
        HarborTest::SetUp();
        HBRHarborManager::setAppStoreEnvironmentForTesting(true);
        resetKit();
        for (const char* key : { "HBRStoreUpdateDateOfLastCheck", "HBRStoreUpdateLastUUID",
                 "HBRStoreUpdateLastStoreVersion", "HBRStoreUpdateIgnoredVersion" })
            NSUserDefaults::standardUserDefaults()->removeObjectForKey(key);
    }

    Ref<HBRStoreUpdateManager> storeManager()
    {
        auto manager = configuredManager()->storeUpdateManager();
        manager->setEnableStoreUpdateManager(true);
        manager->setCountryCode(std::string("gb"));
        return manager;
    }

    static std::string lookup(const std::string& version)
    {
        return R"({"resultCount":1,"results":[{"version":")" + version
            + R"(","trackViewUrl":"https://store.test/app/volantrix"}]})";
    }

    Ref<URLStub> storeAnswer(URLStubs& stubs, const std::string& body)
    {
        URLStubSpec spec;
        spec.url = std::string(HBRStoreUpdateManager::kStoreLookupBaseURL).append("lookup");
        spec.matchPrefix = true;
        spec.body = body;
        return stubs.add(spec);
    }
};

TEST_F(HBRStoreUpdateManagerTest, WorksOnlyInEnabledStoreBuilds)
{
    URLStubs stubs;
    auto stub = storeAnswer(stubs, lookup("7.2"));
    auto manager = configuredManager()->storeUpdateManager();
    manager->setCountryCode(std::string("gb"));
    manager->checkForUpdate();
    drainAll();
    EXPECT_EQ(stub->requestCount(), 0u); // not enabled

    HBRHarborManager::setAppStoreEnvironmentForTesting(false);
    resetKit();
    auto beta = storeManager();
    beta->checkForUpdate();
    drainAll();
    EXPECT_EQ(stub->requestCount(), 0u); // not a store build

    HBRHarborManager::setAppStoreEnvironmentForTesting(true);
    resetKit();
    auto noCountry = storeManager();
    noCountry->setCountryCode(std::nullopt);
    noCountry->setCurrentLocale(NSLocale::localeWithLocaleIdentifier("en"));
    noCountry->checkForUpdate();
    drainAll();
    EXPECT_EQ(stub->requestCount(), 0u); // no store country
    EXPECT_FALSE(noCountry->isCheckInProgress());
}

TEST_F(HBRStoreUpdateManagerTest, FirstAnswerIsTheBaselineAndNewerVersionsAreOffered)
{
    auto manager = storeManager();
    {
        URLStubs stubs;
        auto stub = storeAnswer(stubs, lookup("7.1"));
        manager->checkForUpdate();
        drainAll();
        ASSERT_EQ(stub->requestCount(), 1u);
        EXPECT_EQ(stub->requests()[0].url,
            std::string(HBRStoreUpdateManager::kStoreLookupBaseURL)
                .append("lookup?bundleId=")
                .append(HBRURLEncodeString(HBRMainBundleIdentifier()))
                .append("&country=gb"));
        EXPECT_FALSE(manager->isUpdateAvailable());
        EXPECT_EQ(NSUserDefaults::standardUserDefaults()->objectForKey("HBRStoreUpdateLastStoreVersion"), Value("7.1"));
        EXPECT_TRUE(UIAlertView::visibleAlerts().empty());
    }
    const struct {
        const char* name;
        int32_t button; // -1: no alert expected
        bool announcedAgain;
    } choices[] = {
        { "remind me", 1, true },
        { "ignore", 0, false },
    };
    for (const auto& choice : choices) {
        SCOPED_TRACE(choice.name);
        NSUserDefaults::standardUserDefaults()->removeObjectForKey("HBRStoreUpdateIgnoredVersion");
        URLStubs stubs;
        storeAnswer(stubs, lookup("7.2"));
        manager->checkForUpdate();
        drainAll();
        EXPECT_TRUE(manager->isUpdateAvailable());
        auto alerts = UIAlertView::visibleAlerts();
        ASSERT_EQ(alerts.size(), 1u);
        EXPECT_EQ(alerts[0]->numberOfButtons(), 3);
        alerts[0]->tapButtonAtIndex(choice.button);
        advance(1.0);
        manager->checkForUpdate();
        drainAll();
        EXPECT_EQ(UIAlertView::visibleAlerts().size(), choice.announcedAgain ? 1u : 0u);
        for (const auto& alert : UIAlertView::visibleAlerts())
            alert->tapButtonAtIndex(1); // be reminded
        advance(1.0);
    }
    // "Show" opens the store page and the version is not announced again.
    NSUserDefaults::standardUserDefaults()->removeObjectForKey("HBRStoreUpdateIgnoredVersion");
    URLStubs stubs;
    storeAnswer(stubs, lookup("7.3"));
    manager->checkForUpdate();
    drainAll();
    ASSERT_EQ(UIAlertView::visibleAlerts().size(), 1u);
    UIAlertView::visibleAlerts()[0]->tapButtonAtIndex(2);
    advance(1.0);
    EXPECT_EQ(UIApplication::sharedApplication()->openedURLs().back(), "https://store.test/app/volantrix");
    manager->checkForUpdate();
    drainAll();
    EXPECT_TRUE(UIAlertView::visibleAlerts().empty());
}

TEST_F(HBRStoreUpdateManagerTest, EmptyResultsAndTheWeeklyRule)
{
    URLStubs stubs;
    auto stub = storeAnswer(stubs, R"({"resultCount":0,"results":[]})");
    auto manager = storeManager();
    manager->setLastCheck(NSDate::date()->timeIntervalSince1970() - 6 * 86400);
    EXPECT_FALSE(manager->shouldAutoCheckForUpdates());
    manager->checkForUpdateDelayed();
    drainAll();
    EXPECT_EQ(stub->requestCount(), 0u);
    advance(86400);
    EXPECT_TRUE(manager->shouldAutoCheckForUpdates());
    manager->checkForUpdateDelayed();
    drainAll();
    EXPECT_EQ(stub->requestCount(), 1u);
    EXPECT_TRUE(manager->lastCheckFailed());
    EXPECT_FALSE(manager->isUpdateAvailable());
    EXPECT_FALSE(manager->shouldAutoCheckForUpdates()); // the last check moved on
}

} // namespace
