#include "ar/tests/ARTestSupport.h"

#include "location/CMDeviceMotion.h"
#include "media/AVCaptureSession.h"
#include "uikit/UILabel.h"
#include "uikit/UITouch.h"
#include "uikit/UIWindow.h"

namespace {

struct Fixture {
    ARTestScope scope;
    Ref<UIWindow> window;
    Ref<SLKViewController> controller;
    Fixture()
    {
        UIApplicationHost::resetForTesting();
        SNRDeviceProperties::setSimulateGPSForAllDevices(true);
        // Upright portrait.
        LocationSimulator::shared().setAttitude(0, SNRPi / 2, 0);
        window = UIWindow::initWithFrame(CGRectMake(0, 0, 768, 1024));
        controller = SLKViewController::init();
        window->setRootViewController(controller);
        window->makeKeyAndVisible();
        drainAll();
    }
    ~Fixture()
    {
        controller->stopAR();
        window = nullptr;
        drainAll();
        UIApplicationHost::resetForTesting();
    }
    void tilt(int32_t orientation) { controller->didChangeDeviceOrientation(orientation); }
};

} // namespace

TEST(SLKViewController, AppearingStartsARWithTheCameraUnderTheOverlay)
{
    Fixture f;
    auto ar = SLKController::sharedARController();
    EXPECT_TRUE(ar->isStarted());
    EXPECT_EQ(SLKViewController::activeViewController(), f.controller);
    ASSERT_TRUE(f.controller->cameraView());
    EXPECT_EQ(f.controller->view()->subviews().front(), f.controller->cameraView());
    EXPECT_TRUE(f.controller->cameraAvCaptureSession()->isRunning());
    EXPECT_EQ(f.controller->cameraAvCaptureSession()->sessionPreset(), AVCaptureSessionPresetHigh);
    EXPECT_EQ(f.controller->availability(), 4);
    EXPECT_FALSE(f.controller->notificationVisible());
    // Starting again changes nothing.
    f.controller->startAR();
    f.scope.clock().advance(0.2);
    EXPECT_EQ(SNRSensorManager::sharedSensorManager()->deviceAttitude()->deviceOrientation(), 1);
    EXPECT_TRUE(f.controller->arView()->isRunning());
    EXPECT_TRUE(f.controller->arRadarView()->isRunning());

    f.controller->stopAR();
    EXPECT_FALSE(ar->isStarted());
    EXPECT_FALSE(f.controller->arView()->isRunning());
    EXPECT_FALSE(f.controller->cameraAvCaptureSession()->isRunning());
    EXPECT_TRUE(f.controller->cameraPreviewVisible());
    EXPECT_FALSE(SLKViewController::activeViewController());
    f.controller->stopAR();
}

TEST(SLKViewController, BannerShowsWhyARIsNotAvailable)
{
    Fixture f;
    LocationSimulator::shared().setAuthorizationStatus(kCLAuthorizationStatusDenied);
    f.controller->updateState();
    EXPECT_TRUE(f.controller->notificationVisible());
    EXPECT_EQ(f.controller->notificationLabel()->text(), "Location access denied");
    EXPECT_FALSE(f.controller->arRadarView()->canBeVisible());
    // Face down while unavailable keeps the unavailability banner.
    f.tilt(6);
    EXPECT_EQ(f.controller->notificationLabel()->text(), "Location access denied");
    // Available again: the banner goes and keeps its old text.
    LocationSimulator::shared().setAuthorizationStatus(kCLAuthorizationStatusAuthorized);
    f.controller->updateState();
    EXPECT_FALSE(f.controller->notificationVisible());
    EXPECT_TRUE(f.controller->notificationLabel()->isHidden());
    EXPECT_EQ(f.controller->notificationLabel()->text(), "Location access denied");
    // A tablet's banner: 256 points square.
    EXPECT_EQ(f.controller->notificationLabel()->frame().size.width, 256);
}

TEST(SLKViewController, FaceUpAndFaceDown)
{
    Fixture f;
    f.tilt(5);
    EXPECT_EQ(f.controller->arRadarView()->radarMode(), 2);
    EXPECT_TRUE(f.controller->arView()->isHidden());
    f.tilt(1);
    EXPECT_EQ(f.controller->arRadarView()->radarMode(), 1);
    EXPECT_FLOAT_EQ(f.controller->arRadarView()->radarRect().size.width, 128);
    EXPECT_FALSE(f.controller->arView()->isHidden());
    f.tilt(6);
    EXPECT_FALSE(f.controller->arRadarView()->canBeVisible());
    EXPECT_EQ(f.controller->notificationLabel()->text(), "Turn the device over");
    f.tilt(1);
    EXPECT_TRUE(f.controller->arRadarView()->canBeVisible());
    EXPECT_FALSE(f.controller->notificationVisible());
}

TEST(SLKViewController, RotationAnimatesTheOffsetInTwentyOneTicks)
{
    Fixture f;
    EXPECT_FLOAT_EQ(f.controller->orientationOffsetAngle(), 0);
    // Interface orientation 3 turns the offset to 90 degrees.
    f.controller->willRotateToInterfaceOrientationDuration(static_cast<UIInterfaceOrientation>(3), 0.4);
    // Ticks every 0.02 s; tick k sets 90 * k * 0.05, so the tenth tick (k = 9) sets 40.5.
    for (int i = 0; i < 10; ++i)
        f.scope.clock().advance(0.02);
    EXPECT_NEAR(f.controller->orientationOffsetAngle(), 40.5f, 1e-4);
    for (int i = 0; i < 11; ++i)
        f.scope.clock().advance(0.02);
    EXPECT_FLOAT_EQ(f.controller->orientationOffsetAngle(), 90);
    EXPECT_EQ(SLKViewController::offsetForInterfaceOrientation(4), -90);
    EXPECT_EQ(SLKViewController::offsetForInterfaceOrientation(2), 180);
    EXPECT_FALSE(f.controller->shouldAutorotate());
    EXPECT_EQ(f.controller->supportedInterfaceOrientations(), 2u);
}

TEST(SLKViewController, TouchDragsFollowTheOrientationAxes)
{
    Fixture f;
    f.scope.clock().advance(0.1);
    auto view = f.controller->arView();
    auto touch = UITouch::init();
    touch->setView(view);
    touch->setWindow(f.window);
    touch->setWindowLocation(CGPointMake(100, 100));
    f.controller->touchesBegan({ touch }, nullptr);
    touch->setWindowLocation(CGPointMake(130, 90));
    f.controller->touchesMoved({ touch }, nullptr);
    EXPECT_TRUE(f.controller->touched());
    EXPECT_TRUE(f.controller->touchMoved());
    EXPECT_FLOAT_EQ(f.controller->touchMovedX(), 30);
    EXPECT_FLOAT_EQ(f.controller->touchMovedY(), -10);
    EXPECT_FLOAT_EQ(f.controller->touchDragX(), -30);
    f.controller->touchesEnded({ touch }, nullptr);
    EXPECT_FALSE(f.controller->touched());
    EXPECT_FLOAT_EQ(f.controller->touchDragX(), 0);
}
