#include "ar/tests/ARTestSupport.h"

#include "graphics/CGColor.h"
#include "graphics/UIColor.h"
#include "graphics/UIImage.h"
#include "location/CMDeviceMotion.h"
#include "testing/GoldenImage.h"
#include "uikit/UIWindow.h"
#include "vxbuild/TestPaths.h"

// The overlay over a plain backdrop with a crowd of advanced labels that stack above each other
// (nearest in front), and the radar in fullscreen-less thumbnail mode with their dots.
TEST(SLKView, StackedLabelsAndRadarLookLikeTheGoldenImage)
{
    ARTestScope scope;
    UIApplicationHost::resetForTesting();
    {
        auto attitude = SNRSensorManager::sharedSensorManager()->deviceAttitude();
        attitude->setLocationFromCLLocation(CLLocation::initWithLatitudeLongitude(50, 8));
        // Upright, facing north.
        attitude->setMotionFromCMMotion(CMDeviceMotion::initWithAttitude(
            CMAttitude::initWithRollPitchYaw(0, SNRPi / 2, -SNRPi / 2), { 0, 0, 0 }, 0));
        auto window = UIWindow::initWithFrame(CGRectMake(0, 0, 768, 1024));
        window->setBackgroundColor(UIColor::colorWithRedGreenBlueAlpha(0.35f, 0.5f, 0.7f, 1));
        window->makeKeyAndVisible();
        auto view = SLKView::initWithFrame(window->bounds());
        window->addSubview(view);
        auto radar = SLKRadarView::init();
        window->addSubview(radar);
        radar->setHidden(true);
        radar->setRadarToThumbnailWithSize(CGPointMake(10, 10), 256);
        radar->setRadarRange(20000);
        radar->showRadar();
        SLKPoi::setStackingAnimationSpeed(1);
        auto controller = SLKController::sharedARController();
        // Three labels nearly in line, one off to the side, one behind.
        struct Spot {
            const char* title;
            double distance, bearing;
        };
        for (const Spot& spot : { Spot { "Tower", 3000, 2 }, Spot { "Bridge", 6000, 0 }, Spot { "Hill", 9000, 358 },
                 Spot { "Lake", 5000, 15 }, Spot { "Behind", 4000, 180 } }) {
            auto c = SNRDestinationCoordinate(50, 8, spot.distance, spot.bearing);
            auto label = SLKPoiAdvancedLabel::initWithTitleTheDescriptionTheImageFromTemplateXibAtLocation(
                std::string(spot.title), std::string("landmark"), nullptr, std::nullopt,
                CLLocation::initWithLatitudeLongitude(c.latitude, c.longitude));
            controller->addObject(label);
        }
        controller->updateObjects(nullptr);
        view->updateView(nullptr);
        radar->updateView(nullptr);
        scope.clock().advance(0.6);
        radar->updateView(nullptr);
        view->updateView(nullptr);
        int shown = 0;
        for (auto& object : controller->arObjects())
            shown += std::dynamic_pointer_cast<SLKPoi>(object)->addedToView();
        EXPECT_EQ(shown, 4);
        auto image = UIApplicationHost::renderKeyWindow();
        ASSERT_TRUE(image);
        EXPECT_TRUE(
            GoldenImage::matches(image->CGImage(), std::string(VX_TEST_DIR "/golden/stacked-labels.png"), 8, 0.01));
        controller->clearObjects();
        window = nullptr;
        drainAll();
    }
    UIApplicationHost::resetForTesting();
}
