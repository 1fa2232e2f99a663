#include "app/tests/ar/ARScreenTestSupport.h"

#include "app/view-controllers/ar/KESTARViewController.h"
#include "graphics/UIImage.h"
#include "testing/GoldenImage.h"
#include "uikit/UIApplicationHost.h"
#include "uikit/UIWindow.h"
#include "vxbuild/TestPaths.h"

// The AR screen over the simulated camera: the device upright at (50, 8.5) facing north, where
// six planes fly between 18 and 50 km away; the labels of those in view, the radar in the lower
// left corner and the two buttons.
TEST(KESTARScreenImage, LooksLikeTheGoldenImage)
{
    UIApplicationHost::resetForTesting();
    {
        ARScreenTestScope scope;
        scope.feed({
            { "a", 50.20, 8.50, "BA117", "BAW117", "G-STBA", 9000 },
            { "b", 50.25, 8.53, "LH400", "DLH400", "D-AIMA", 12000 },
            { "c", 50.30, 8.47, "AF1234", "AFR1234", "F-GKXA", 14000 },
            { "d", 50.45, 8.52, "KL1001", "KLM1001", "PH-BXA", 20000 },
            { "e", 50.15, 8.60, "EZY12", "EZY12", "G-EZAA", 5000 },
            { "f", 50.35, 8.40, "UA901", "UAL901", "N77012", 16000 },
        });
        auto window = UIWindow::initWithFrame(CGRectMake(0, 0, 768, 1024));
        ARScreenTestScope::resetKits();
        auto screen = KESTARViewController::init();
        window->setRootViewController(screen);
        window->makeKeyAndVisible();
        drainAll();
        placeDevice(50.0, 8.5);
        drainAll();
        // Upright (pitched up 90 degrees) and turned to face north.
        LocationSimulator::shared().setAttitude(0, SNRPi / 2, -SNRPi / 2);
        scope.clock().advance(0.2);
        int shown = 0;
        for (auto& object : SLKController::sharedARController()->arObjects())
            shown += std::dynamic_pointer_cast<SLKPoi>(object)->addedToView();
        EXPECT_EQ(shown, 4);
        auto image = UIApplicationHost::renderKeyWindow();
        ASSERT_TRUE(image);
        EXPECT_TRUE(GoldenImage::matches(image->CGImage(), std::string(VX_TEST_DIR "/golden/ar-screen.png"), 8, 0.01));
        screen->stopAR();
        window = nullptr;
        drainAll();
    }
    UIApplicationHost::resetForTesting();
}
