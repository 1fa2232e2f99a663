#include "app/core/KESTSettingsManager.h"

#include "app/tests/AppTestSupport.h"
#include "foundation/NSNotification.h"

#include <gtest/gtest.h>

#include <vector>

TEST(KESTSettingsManager, EmptyStoreTakesDefaultsAndRegionUnits)
{
    struct Case {
        const char* locale;
        int32_t speed, altitude, distance;
    };
    const Case cases[] = {
        { "de_DE", 2, 1, 1 }, { "en_US", 0, 0, 0 }, { "es_150", 2, 1, 1 }, { "en_GB", 0, 0, 0 },
        { "fr", 0, 0, 0 }, // no region: not metric
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.locale);
        AppTestScope scope(c.locale);
        auto settings = KESTSettingsManager::sharedInstance();
        EXPECT_EQ(settings->speedUnit(), c.speed);
        EXPECT_EQ(settings->altitudeUnit(), c.altitude);
        EXPECT_EQ(settings->distanceUnit(), c.distance);

        EXPECT_TRUE(settings->movePlanes());
        EXPECT_TRUE(settings->showFlightPaths());
        EXPECT_TRUE(settings->showPlaneLabels());
        EXPECT_TRUE(settings->showAirports());
        EXPECT_TRUE(settings->screenSleep());
        EXPECT_FALSE(settings->followPlane());
        EXPECT_FALSE(settings->isHomeSet());
        EXPECT_FALSE(settings->markerDebug());
        EXPECT_FALSE(settings->hasShownIntroView());
        EXPECT_EQ(settings->mapProvider(), 0);
        EXPECT_EQ(settings->mapType(), 0);
        EXPECT_EQ(settings->planeColor(), 0);
        EXPECT_EQ(settings->faaData(), 1);
        EXPECT_EQ(settings->icaoType(), 1);
        EXPECT_EQ(settings->planeLabelContent(), 3);
        EXPECT_EQ(settings->arRange(), 2);
        EXPECT_EQ(settings->bookmarkuuid(), std::nullopt);
        EXPECT_EQ(settings->bookmarkLat(), 0.0);
        EXPECT_EQ(settings->realARRange(), 50);
        EXPECT_EQ(settings->realARRangeString(), "50 km / 31 miles");
        // Defaults are not written back.
        EXPECT_FALSE(NSUserDefaults::standardUserDefaults()->objectForKey("kSpeedUnit"));
    }
}

TEST(KESTSettingsManager, StoredValuesAreReadByKindAndProviderIsNeverRead)
{
    AppTestScope scope("de_DE");
    auto defaults = NSUserDefaults::standardUserDefaults();
    defaults->setObjectForKey(Value(1), "kMapProvider");
    defaults->setObjectForKey(Value("2"), "kMapType");
    defaults->setObjectForKey(Value("yes"), "kFollowPlane");
    defaults->setObjectForKey(Value("no"), "kMovePlanes");
    defaults->setObjectForKey(Value(51.5), "kBookmarkLat");
    defaults->setObjectForKey(Value(7), "kBookmarkuuid");
    defaults->setObjectForKey(Value(0), "kSpeedUnit");
    defaults->setObjectForKey(Value(false), "kScreenSleep");
    defaults->synchronize();

    bool idleDisabled = false;
    KESTSettingsManager::setIdleTimerHook([&](bool disabled) { idleDisabled = disabled; });
    auto settings = KESTSettingsManager::sharedInstance();
    EXPECT_EQ(settings->mapProvider(), 0);
    EXPECT_EQ(settings->mapType(), 2);
    EXPECT_TRUE(settings->followPlane());
    EXPECT_FALSE(settings->movePlanes());
    EXPECT_EQ(settings->bookmarkLat(), 51.5);
    EXPECT_EQ(settings->bookmarkuuid(), std::nullopt); // not a text
    EXPECT_EQ(settings->speedUnit(), 0); // stored wins over the region
    EXPECT_EQ(settings->altitudeUnit(), 1);
    EXPECT_FALSE(settings->screenSleep());
    EXPECT_TRUE(idleDisabled);
}

TEST(KESTSettingsManager, SetValueStoresUpdatesAndNotifies)
{
    AppTestScope scope;
    auto settings = KESTSettingsManager::sharedInstance();
    std::vector<Value> posted;
    auto token = NSNotificationCenter::defaultCenter()->addObserverForName(KESTSettingUpdatedNotification, nullptr,
        nullptr, [&](const Ref<NSNotification>& note) { posted.push_back(note->userInfo()); });
    bool idleDisabled = false;
    KESTSettingsManager::setIdleTimerHook([&](bool disabled) { idleDisabled = disabled; });
    auto defaults = NSUserDefaults::standardUserDefaults();

    settings->setValueForSetting(Value(false), "kScreenSleep");
    EXPECT_FALSE(settings->screenSleep());
    EXPECT_TRUE(idleDisabled);
    settings->setValueForSetting(Value(true), "kScreenSleep");
    EXPECT_FALSE(idleDisabled);

    settings->setValueForSetting(Value("  0012"), "kMarkerDebug");
    EXPECT_TRUE(settings->markerDebug());
    settings->setValueForSetting(Value(2), "kMapProvider");
    EXPECT_EQ(settings->mapProvider(), 2);
    settings->setValueForSetting(Value(7), "kARRange");
    EXPECT_EQ(settings->realARRange(), 0);
    EXPECT_EQ(settings->realARRangeString(), std::nullopt);
    settings->setValueForSetting(Value(-1), "kARRange");
    EXPECT_EQ(settings->realARRange(), 0);

    settings->setValueForSetting(Value("ABC-1"), "kBookmarkuuid");
    EXPECT_EQ(settings->bookmarkuuid(), "ABC-1");
    size_t before = posted.size();
    settings->setValueForSetting(Value(), "kBookmarkuuid");
    EXPECT_EQ(settings->bookmarkuuid(), std::nullopt);
    EXPECT_FALSE(defaults->objectForKey("kBookmarkuuid"));
    EXPECT_EQ(posted.size(), before); // none posts nothing

    settings->setValueForSetting(Value(42), "kSomethingElse");
    ASSERT_FALSE(posted.empty());
    EXPECT_EQ(posted.back()["settingKey"].string(), "kSomethingElse");
    EXPECT_EQ(posted.back()["newValue"].intValue(), 42);
    EXPECT_EQ(defaults->integerForKey("kSomethingElse"), 42);
    EXPECT_EQ(posted.size(), 8u);

    // Setters change only the property.
    settings->setMapType(2);
    EXPECT_FALSE(defaults->objectForKey("kMapType"));

    // The writes are durable: a new manager on a reloaded store reads them back.
    NSUserDefaults::resetStandardUserDefaults();
    KESTSettingsManager::resetSharedInstanceForTesting();
    auto reloaded = KESTSettingsManager::sharedInstance();
    EXPECT_TRUE(reloaded->markerDebug());
    EXPECT_EQ(reloaded->mapProvider(), 0);
    EXPECT_EQ(reloaded->arRange(), -1);
    NSNotificationCenter::defaultCenter()->removeObserver(token);
}
