#include "app/application/KESTAppDelegate.h"
#include "app/categories/MKMapView+ZoomLevel.h"
#include "app/core/DeviceUUIDHandler.h"
#include "app/core/KESTAirport.h"
#include "app/core/KESTAnalyticsManager.h"
#include "app/core/KESTAuthManager.h"
#include "app/core/KESTLiveDataManager.h"
#include "app/core/KESTSettingsManager.h"
#include "app/tests/map/MapTestSupport.h"
#include "app/view-controllers/account/KESTAuthCreateAccountView.h"
#include "app/view-controllers/account/KESTAuthLoginView.h"
#include "app/view-controllers/account/KESTAuthMenuView.h"
#include "app/view-controllers/map/KESTAppleMapViewController.h"
#include "app/view-controllers/map/KESTMapContainerViewController.h"
#include "app/view-controllers/map/KESTMapController.h"
#include "app/view-controllers/settings/KESTSettingsCells.h"
#include "app/view-controllers/settings/KESTSettingsViewController.h"
#include "mapkit/MKMapView.h"
#include "servicesim/ServiceSimulator.h"
#include "testing/Drain.h"
#include "testing/TemporarySandbox.h"
#include "testing/VirtualClock.h"
#include "tests/integration/ServiceSimScope.h"
#include "uikit/NSIndexPath.h"
#include "uikit/UIAlertView.h"
#include "uikit/UIApplicationHost.h"
#include "uikit/UINavigationController.h"
#include "uikit/UIPasteboard.h"
#include "uikit/UIWindow.h"

#include <gtest/gtest.h>

namespace {

size_t airportsOnMap()
{
    size_t count = 0;
    for (const auto& annotation : KESTMapController::sharedInstance()->customAnnotations())
        count += annotation->isKindOfClass(KESTAirport::classObject());
    return count;
}

// What the collector heard, in order: "begin", "update", "end" or "events:<names>".
std::vector<std::string> collectorLog(const ServiceSimulator& sim)
{
    std::vector<std::string> log;
    for (const auto& request : sim.requestsForPath("/i")) {
        auto has = [&](const char* key) { return request.parameters.count(key) > 0; };
        if (has("begin_session"))
            log.push_back("begin");
        else if (has("end_session"))
            log.push_back("end");
        else if (has("events"))
            log.push_back("events:" + request.parameters.find("events")->second);
        else if (has("session_duration"))
            log.push_back("update");
    }
    return log;
}

void settle(ScopedVirtualClock& clock)
{
    drainAll();
    clock.advance(1);
    drainAll();
}

} // namespace

// A launch against the simulated services: the analytics session begins, an event and the
// session's end reach the collector in order; an account made at the account service signs in;
// and a setting changed on the settings screen shows on the map.
TEST(AccountIntegration, SessionAccountAndSettingsAgainstTheServices)
{
    TemporarySandbox sandbox;
    TemporarySandbox pasteboards;
    ScopedVirtualClock clock;
    UIPasteboard::resetForTesting();
    UIPasteboard::setSharedRoot(pasteboards.root());
    KESTSettingsManager::resetSharedInstanceForTesting();
    KESTLiveDataManager::resetSharedInstanceForTesting();
    KESTMapController::resetSharedInstanceForTesting();
    KESTAnalyticsManager::resetSharedInstanceForTesting();
    KESTAuthManager::resetSharedInstanceForTesting();
    DeviceUUIDHandler::resetCacheForTesting();
    UIApplicationHost::resetForTesting();

    ServiceSimulator::Options options;
    options.seed = 21;
    options.aircraft = 600;
    options.hotspot = std::array<double, 2> { 51.47, -0.45 };
    options.fixedTime = Clock::wallTime();
    ServiceSimScope services(options);
    ASSERT_TRUE(services.started());
    std::string collector = services.sim().baseUrl();
    collector.pop_back();
    KESTAnalyticsManager::setCollectorBaseURL(collector);

    auto delegate = KESTAppDelegate::init();
    auto application = UIApplicationHost::launchWithDelegate(delegate);
    ASSERT_TRUE(application);
    settle(clock);
    auto container
        = std::dynamic_pointer_cast<KESTMapContainerViewController>(delegate->window()->rootViewController());
    ASSERT_TRUE(container);
    auto screen = std::dynamic_pointer_cast<KESTAppleMapViewController>(container->mapViewController());
    ASSERT_TRUE(screen);

    // The session began; an event and the session's end follow when the application goes away.
    auto log = collectorLog(services.sim());
    ASSERT_FALSE(log.empty());
    EXPECT_EQ(log.front(), "begin");
    KESTAnalyticsManager::sharedInstance()->logEventWithNameWithCount("Integration Event", 1);
    UIApplicationHost::sendToBackground();
    settle(clock);
    log = collectorLog(services.sim());
    ASSERT_GE(log.size(), 3u);
    EXPECT_EQ(log[log.size() - 2].rfind("events:", 0), 0u);
    EXPECT_NE(log[log.size() - 2].find("\"key\":\"Integration Event\""), std::string::npos) << log[log.size() - 2];
    EXPECT_EQ(log.back(), "end");
    UIApplicationHost::bringToForeground();
    settle(clock);
    EXPECT_EQ(collectorLog(services.sim()).back(), "begin");

    // An account made at the service, then a login with it.
    auto auth = KESTAuthManager::sharedInstance();
    auth->presentManagerInControllerCompletionFailure(screen, nullptr, nullptr);
    settle(clock);
    Ref<UINavigationController> flow;
    for (auto presenter = Ref<UIViewController>(screen); presenter && !flow;
         presenter = presenter->parentViewController())
        flow = std::dynamic_pointer_cast<UINavigationController>(presenter->presentedViewController());
    ASSERT_TRUE(flow);
    auto menu = std::dynamic_pointer_cast<KESTAuthMenuView>(flow->topViewController());
    ASSERT_TRUE(menu);
    menu->pressedCreateNewAccount(nullptr);
    settle(clock);
    auto create = std::dynamic_pointer_cast<KESTAuthCreateAccountView>(flow->topViewController());
    ASSERT_TRUE(create);
    create->emailTextField->setText("pilot@example.com");
    create->passwordTextField->setText("runway27");
    create->pressedCreateAccount(nullptr);
    settle(clock);
    EXPECT_EQ(auth->storedEmail(), "pilot@example.com");
    UIAlertView::resetForTesting();
    auth->removeStoredCredentials();

    auth->presentLoginInControllerCompletionFailure(screen, nullptr, nullptr);
    settle(clock);
    flow = nullptr;
    for (auto presenter = Ref<UIViewController>(screen); presenter && !flow;
         presenter = presenter->parentViewController())
        flow = std::dynamic_pointer_cast<UINavigationController>(presenter->presentedViewController());
    ASSERT_TRUE(flow);
    auto login = std::dynamic_pointer_cast<KESTAuthLoginView>(flow->topViewController());
    ASSERT_TRUE(login);
    login->emailTextField->setText("pilot@example.com");
    login->passwordTextField->setText("runway27");
    login->pressedLoginButton(nullptr);
    settle(clock);
    EXPECT_TRUE(UIAlertView::visibleAlerts().empty()) << "no error";
    EXPECT_EQ(auth->storedEmail(), "pilot@example.com");
    EXPECT_TRUE(auth->hasValidStoredCredentials());
    auto logins = services.sim().requestsForPath("/auth/api/v1.php");
    ASSERT_EQ(logins.size(), 2u);
    EXPECT_EQ(logins[1].parameters.find("action")->second, "login");
    EXPECT_EQ(logins[1].parameters.find("uuid")->second, DeviceUUIDHandler::UUID());

    // Airports off on the settings screen: the map drops its airport markers.
    MKMapView_ZoomLevel::setCenterCoordinateZoomLevelAnimated(screen->mapView(), { 51.47, -0.45 }, 7, false);
    settle(clock);
    KESTSettingsManager::sharedInstance()->setValueForSetting(Value(true), "kShowAirports");
    settle(clock);
    ASSERT_GT(airportsOnMap(), 0u);
    auto settings = KESTSettingsViewController::initWithStyle(UITableViewStyleGrouped);
    auto navigation = UINavigationController::initWithRootViewController(settings);
    screen->presentViewControllerAnimatedCompletion(navigation, false, nullptr);
    settle(clock);
    auto path = NSIndexPath::indexPathForRowInSection(4, 2);
    auto row = std::dynamic_pointer_cast<KESTSettingsSwitchCell>(
        settings->tableViewCellForRowAtIndexPath(settings->tableView(), path));
    ASSERT_TRUE(row);
    row->cellSwitch->setOn(false);
    row->cellSwitch->sendActionsForControlEvents(UIControlEventValueChanged);
    settle(clock);
    EXPECT_FALSE(KESTSettingsManager::sharedInstance()->showAirports());
    EXPECT_EQ(airportsOnMap(), 0u);

    UIApplicationHost::terminate();
    container->teardownVisibleMapController();
    KESTLiveDataManager::sharedInstance()->invalidateTimers();
    drainAll();
    resetAppSingletonsForTesting();
    KESTAnalyticsManager::resetSharedInstanceForTesting();
    KESTAnalyticsManager::setCollectorBaseURL({});
    KESTAuthManager::resetSharedInstanceForTesting();
    UIPasteboard::setSharedRoot({});
    UIPasteboard::resetForTesting();
    UIApplicationHost::resetForTesting();
}
