#include "app/application/KESTAppDelegate.h"
#include "app/core/KESTAlert.h"
#include "app/core/KESTAlertManager.h"
#include "app/core/KESTFilter.h"
#include "app/core/KESTFilterDataManager.h"
#include "app/core/KESTFilterDetail.h"
#include "app/core/KESTLiveDataManager.h"
#include "app/core/KESTPlane.h"
#include "app/core/KESTSettingsManager.h"
#include "coredata/NSEntityDescription.h"
#include "coredata/NSManagedObjectContext.h"
#include "foundation/NSBundle.h"
#include "servicesim/ServiceSimulator.h"
#include "testing/Drain.h"
#include "testing/TemporarySandbox.h"
#include "testing/VirtualClock.h"
#include "tests/integration/ServiceSimScope.h"
#include "vxbuild/Paths.h"

#include <gtest/gtest.h>

namespace {

// The simulated services, the shared live feed pointed at them, and the application's main
// context in a temporary sandbox.
class FiltersAndAlerts : public ::testing::Test {
protected:
    void SetUp() override
    {
        resetAppSingletonsForTesting();
        ASSERT_TRUE(services.started());
        NSBundle::setMainBundlePath(VX_SOURCE_DIR "/resources");
        app = KESTAppDelegate::init();
        context = app->managedObjectContext();
        NSBundle::setMainBundlePath({});
        ASSERT_TRUE(context);
        KESTFilterDataManager::sharedInstance()->setManagedObjectContext(context);
        KESTAlertManager::resetSharedInstanceForTesting();
        KESTAlertManager::sharedInstance()->setManagedObjectContext(context);
    }
    void TearDown() override
    {
        drainAll();
        KESTFilterDataManager::sharedInstance()->setManagedObjectContext(nullptr);
        KESTAlertManager::resetSharedInstanceForTesting();
        KESTLiveDataManager::sharedInstance()->invalidateTimers();
        drainAll();
        context = nullptr;
        app = nullptr;
    }
    static ServiceSimulator::Options simulatedOptions()
    {
        ServiceSimulator::Options options;
        options.seed = 11;
        options.aircraft = 300;
        options.fixedTime = Clock::wallTime();
        return options;
    }

    TemporarySandbox sandbox;
    ScopedVirtualClock clock;
    ServiceSimScope services { simulatedOptions() };
    Ref<KESTAppDelegate> app;
    Ref<NSManagedObjectContext> context;
};

// A saved filter narrows the planes the map gets to the matching ones, and its count agrees.
TEST_F(FiltersAndAlerts, ASavedFilterShrinksTheMapsPlanesToTheMatchingOnes)
{
    auto feed = KESTLiveDataManager::sharedInstance();
    feed->performFullPoll();
    drainAll();
    auto all = feed->planeArray();
    ASSERT_GT(all.size(), 50u);
    // The airline of the first airborne plane with a callsign.
    std::string airline;
    for (const auto& plane : all) {
        if (plane->callsign().size() >= 3 && plane->altitude() > 0) {
            airline = plane->callsign().substr(0, 3);
            break;
        }
    }
    ASSERT_FALSE(airline.empty());

    auto filter = std::dynamic_pointer_cast<KESTFilter>(
        NSEntityDescription::insertNewObjectForEntityForNameInManagedObjectContext("KESTFilter", context));
    filter->setFilterName(Value("Mine"));
    filter->setFilterActive(Value(true));
    auto add = [&](int32_t type, const std::string& value) {
        auto detail = std::dynamic_pointer_cast<KESTFilterDetail>(
            NSEntityDescription::insertNewObjectForEntityForNameInManagedObjectContext("KESTFilterDetail", context));
        detail->setFilterDetailType(Value(type));
        detail->setFilterDetail(Value(value));
        detail->setFilterTitle(Value(value));
        filter->addChildFilterObject(detail);
    };
    add(0, airline);
    add(4, "ALTITUDEDATA");
    add(5, "SPEEDDATA");
    ASSERT_TRUE(context->save(nullptr));
    KESTFilterDataManager::sharedInstance()->recacheFilters();

    auto shown = feed->planeArray();
    ASSERT_FALSE(shown.empty());
    EXPECT_LT(shown.size(), all.size());
    size_t expected = 0;
    for (const auto& plane : all) {
        bool named
            = plane->fltno().find(airline) != std::string::npos || plane->callsign().find(airline) != std::string::npos;
        expected += named && plane->altitude() > 0 && plane->altitude() < 60000 && plane->speed() > 0
            && plane->speed() < 600;
    }
    EXPECT_EQ(shown.size(), expected);
    int32_t counted = -1;
    KESTFilterDataManager::sharedInstance()->calculateNumberOfPlanesWithCallback(
        filter, [&](int32_t n) { counted = n; });
    drainAll();
    EXPECT_EQ(counted, static_cast<int32_t>(expected));
}

// An alert made on the device gets its id from the service at the sync and is gone there after
// a delete; the alert list a reinstalled device gets back is the service's.
TEST_F(FiltersAndAlerts, AlertsSyncWithTheServiceAndDeleteThere)
{
    auto manager = KESTAlertManager::sharedInstance();
    manager->registerDeviceWithServer(Value::data({ 0xab, 0xcd, 0x01 }));
    drainAll();
    EXPECT_EQ(manager->storedDeviceToken(), "abcd01");

    auto alert = KESTAlert::insertInManagedObjectContext(context);
    alert->setValueForKey(Value("Emergencies"), "alertName");
    alert->setValueForKey(Value("7700"), "alertValue");
    alert->setValueForKey(Value(3), "alertType");
    for (const char* key : { "alertMaxLat", "alertMaxLon" })
        alert->setValueForKey(Value(180.0), key);
    for (const char* key : { "alertMinLat", "alertMinLon" })
        alert->setValueForKey(Value(-180.0), key);
    ASSERT_TRUE(context->save(nullptr));

    manager->syncAlerts();
    drainAll();
    ASSERT_FALSE(alert->alertID().isNil()) << "the service's id arrived";
    int32_t id = alert->alertID().intValue();
    EXPECT_EQ(manager->alerts().count(), 1u);
    manager->syncAlerts();
    drainAll();
    EXPECT_EQ(alert->alertID().intValue(), id) << "the id stays across syncs";

    // A reinstalled device (empty store) gets the alert back from the service.
    context->deleteObject(alert);
    ASSERT_TRUE(context->save(nullptr));
    manager->syncAlerts();
    drainAll();
    Value restored = manager->alerts();
    ASSERT_EQ(restored.count(), 1u);
    auto back = restored[0].objectAs<KESTAlert>();
    EXPECT_EQ(back->alertName(), Value("7700"));
    EXPECT_EQ(back->alertID().intValue(), id);

    // Deleted on the device and at the service.
    context->deleteObject(back);
    ASSERT_TRUE(context->save(nullptr));
    manager->deleteAlertWithID(id);
    drainAll();
    manager->syncAlerts();
    drainAll();
    EXPECT_EQ(manager->alerts().count(), 0u) << "the service no longer lists it";
}

} // namespace
