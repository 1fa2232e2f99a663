#include "app/core/KESTLiveDataManager.h"
#include "app/core/KESTPlaneMarkerManager.h"
#include "app/core/KESTSettingsManager.h"
#include "app/view-controllers/ar/KESTARLabel.h"
#include "app/view-controllers/ar/KESTARViewController.h"
#include "ar/SLKController.h"
#include "ar/SNRDeviceAttitude.h"
#include "ar/SNRDeviceProperties.h"
#include "ar/SNRSensorManager.h"
#include "location/LocationSimulator.h"
#include "servicesim/ServiceSimulator.h"
#include "testing/Drain.h"
#include "testing/VirtualClock.h"
#include "uikit/UIApplicationHost.h"
#include "uikit/UIWindow.h"

#include <gtest/gtest.h>

#include <cmath>
#include <set>

// The AR screen against the simulated flight-data service: the device stands under the
// simulated traffic's hotspot; after the first fix the screen shows a label for every live
// plane within 1.5 degrees, the labels follow the next polls, and logos come from the service.
TEST(ARScreenIntegration, LabelsFollowTheSimulatedTraffic)
{
    UIApplicationHost::resetForTesting();
    ScopedVirtualClock clock;
    KESTSettingsManager::resetSharedInstanceForTesting();
    KESTLiveDataManager::resetSharedInstanceForTesting();
    SLKController::resetForTesting();
    SNRSensorManager::resetForTesting();
    SNRDeviceAttitude::resetForTesting();
    SNRDeviceProperties::resetForTesting();
    LocationSimulator::shared().reset();

    ServiceSimulator::Options options;
    options.seed = 3;
    options.aircraft = 600;
    options.hotspot = std::array<double, 2> { 51.47, -0.45 };
    options.fixedTime = Clock::wallTime();
    std::string error;
    auto sim = ServiceSimulator::create(options, &error);
    ASSERT_TRUE(sim) << error;
    ASSERT_TRUE(sim->start(0));
    KESTLiveDataManager::setServiceBaseURL(sim->baseUrl());
    KESTPlaneMarkerManager::setLogoServiceBaseURL(sim->baseUrl());
    auto feed = KESTLiveDataManager::sharedInstance();
    feed->performFullPoll();
    drainAll();

    {
        auto window = UIWindow::initWithFrame(CGRectMake(0, 0, 768, 1024));
        auto screen = KESTARViewController::init();
        window->setRootViewController(screen);
        window->makeKeyAndVisible();
        drainAll();
        LocationSimulator::shared().setAttitude(0, M_PI / 2, -M_PI / 2);
        LocationSimulator::shared().setCoordinate(CLLocationCoordinate2DMake(51.47, -0.45), 0, 5);
        drainAll();

        auto expected = [&] {
            std::set<std::string> hexes;
            for (auto& plane : feed->planeArray()) {
                if (std::fabs(plane->lat() - 51.47) < 1.5 && std::fabs(plane->lon() + 0.45) < 1.5)
                    hexes.insert(plane->adshex());
            }
            return hexes;
        };
        auto shown = [&] {
            std::set<std::string> hexes;
            for (auto& object : SLKController::sharedARController()->arObjects()) {
                if (auto label = std::dynamic_pointer_cast<KESTARLabel>(object))
                    hexes.insert(label->attachedPlane()->adshex());
            }
            return hexes;
        };
        auto first = expected();
        ASSERT_GT(first.size(), 10u);
        EXPECT_EQ(shown(), first);

        // Two minutes later the traffic has moved; the next poll brings the set in step.
        sim->advanceTime(120);
        clock.advance(120);
        feed->cacheDeviceUTCTimestamp();
        feed->performFullPoll();
        drainAll();
        EXPECT_EQ(shown(), expected());
        screen->closePress();
        drainAll();
        EXPECT_EQ(SLKController::sharedARController()->numberOfObjects(), 0);
        screen->stopAR();
        window = nullptr;
        drainAll();
    }
    sim->stop();
    KESTPlaneMarkerManager::setLogoServiceBaseURL(std::nullopt);
    SLKController::resetForTesting();
    SNRSensorManager::resetForTesting();
    SNRDeviceProperties::resetForTesting();
    LocationSimulator::shared().reset();
    UIApplicationHost::resetForTesting();
}
