#include "ar/tests/ARTestSupport.h"

#include "ar/SNRBufferedCameraManager.h"
#include "ar/SNRNativeCameraManager.h"
#include "ar/UIView+Add.h"
#include "graphics/CALayer.h"
#include "media/AVCaptureSession.h"
#include "media/AVCaptureVideoPreviewLayer.h"

TEST(SNRNativeCameraManager, StartsThePreviewLayerInItsScaledBounds)
{
    ARTestScope scope;
    auto view = UIView::initWithFrame(CGRectMake(0, 0, 320, 480));
    auto manager = SNRNativeCameraManager::initWithView(view);
    EXPECT_EQ(manager->supportedPresets().size(), 8u);
    EXPECT_EQ(manager->supportedPresets().front(), AVCaptureSessionPresetHigh);
    EXPECT_EQ(manager->videoGravities().size(), 3u);
    LogCapture log;
    manager->startCameraPreview();
    EXPECT_TRUE(log.contains("preview scale not set, using 1,1"));
    EXPECT_TRUE(CGRectEqualToRect(manager->cameraPreviewLayer()->frame(), CGRectMake(0, 0, 320, 480)));
    manager->stopCameraPreview(false);
    manager->setPreviewScale(CGSizeMake(0.5f, 0.5f));
    manager->startCameraPreview();
    EXPECT_TRUE(CGRectEqualToRect(manager->cameraPreviewLayer()->frame(), CGRectMake(80, 120, 160, 240)));
    ASSERT_TRUE(SNRNativeCameraManager::videoDataOutput()->deliverFrame(640, 480));
    drainAll();
    EXPECT_EQ(manager->previewSize().width, 640);
    // Stopped, it still reports started; stopping or turning again does nothing.
    manager->stopCameraPreview(false);
    EXPECT_TRUE(manager->cameraPreviewStarted());
    EXPECT_FALSE(manager->session());
    manager->stopCameraPreview(false);
    manager->willRotateToInterfaceOrientationDuration(3, 0.3);
}

TEST(SNRNativeCameraManager, NothingStartsWithoutACamera)
{
    ARTestScope scope;
    MediaSimulator::shared().setCameras(false, false);
    auto manager = SNRNativeCameraManager::initWithView(UIView::initWithFrame(CGRectMake(0, 0, 320, 480)));
    LogCapture log;
    manager->startCameraPreview();
    EXPECT_TRUE(log.contains("startCameraPreview: no camera available on this device!"));
    EXPECT_FALSE(manager->cameraPreviewStarted());
}

TEST(SNRBufferedCameraManager, ShowsFramesInATurnedSquareLayer)
{
    ARTestScope scope;
    auto view = UIView::initWithFrame(CGRectMake(0, 0, 480, 320));
    auto manager = SNRBufferedCameraManager::initWithView(view);
    manager->toggleCameraPreviewPause();
    EXPECT_FALSE(manager->cameraPreviewPaused());
    LogCapture log;
    manager->startCameraPreview();
    EXPECT_TRUE(log.contains("no session preset, cannot start preview"));
    manager->setSessionPreset(std::string(AVCaptureSessionPresetMedium));
    manager->startCameraPreview();
    ASSERT_TRUE(manager->cameraPreviewStarted());
    // Turning before the first frame changes nothing.
    manager->willRotateToInterfaceOrientationDuration(3, 0);
    EXPECT_TRUE(CGRectEqualToRect(manager->cameraPreviewLayer()->bounds(), CGRectZero));
    ASSERT_TRUE(manager->dataOutput()->deliverFrame(640, 480));
    drainAll();
    EXPECT_TRUE(manager->cameraPreviewHadFirstFrame());
    EXPECT_TRUE(manager->cameraPreviewLayer()->contents());
    // A 640 x 480 picture fills a 480-point square.
    EXPECT_TRUE(CGRectEqualToRect(manager->cameraPreviewLayer()->bounds(), CGRectMake(-80, 0, 640, 480)));
    // Paused frames are dropped.
    manager->toggleCameraPreviewPause();
    EXPECT_TRUE(manager->cameraPreviewPaused());
    manager->unpauseCameraPreview();
    EXPECT_FALSE(manager->cameraPreviewPaused());
    auto output = manager->dataOutput();
    manager->stopCameraPreview(false);
    EXPECT_FALSE(manager->cameraPreviewStarted());
    EXPECT_FALSE(output->deliverFrame(640, 480));
}

// The pause flag is written on the main thread and read on the video queue for every frame:
// pausing while frames arrive must drop exactly the frames that arrive paused (a thread checker
// run sees the flag shared between the two threads).
TEST(SNRBufferedCameraManager, PausingWhileFramesArriveOnTheVideoQueue)
{
    ARTestScope scope;
    auto view = UIView::initWithFrame(CGRectMake(0, 0, 480, 320));
    auto manager = SNRBufferedCameraManager::initWithView(view);
    manager->setSessionPreset(std::string(AVCaptureSessionPresetMedium));
    manager->startCameraPreview();
    auto output = manager->dataOutput();
    ASSERT_TRUE(output->deliverFrame(640, 480));
    drainAll();
    ASSERT_EQ(manager->cameraPreviewImageSize().width, 640);
    // Frames and pauses interleaved: the video queue reads the flag while the main thread flips it.
    for (int i = 0; i < 200; ++i) {
        ASSERT_TRUE(output->deliverFrame(640, 480));
        manager->toggleCameraPreviewPause();
    }
    drainAll();
    EXPECT_FALSE(manager->cameraPreviewPaused());
    // Paused, a frame of another size changes nothing; unpaused, it is shown.
    manager->toggleCameraPreviewPause();
    ASSERT_TRUE(output->deliverFrame(320, 240));
    drainAll();
    EXPECT_EQ(manager->cameraPreviewImageSize().width, 640);
    manager->unpauseCameraPreview();
    ASSERT_TRUE(output->deliverFrame(320, 240));
    drainAll();
    EXPECT_EQ(manager->cameraPreviewImageSize().width, 320);
    manager->stopCameraPreview(false);
    drainAll();
}

TEST(SNRBufferedCameraManager, RectangleFitting)
{
    CGRect source = CGRectMake(0, 0, 640, 480);
    EXPECT_TRUE(CGRectEqualToRect(SNRBufferedCameraManager::aspectFilledRectMax(source, CGRectMake(0, 0, 480, 480)),
        CGRectMake(-80, 0, 640, 480)));
    EXPECT_TRUE(CGRectEqualToRect(SNRBufferedCameraManager::aspectFittedRectMax(source, CGRectMake(0, 0, 480, 480)),
        CGRectMake(0, 60, 480, 360)));
}

TEST(UIView_Add, SizesByOrientation)
{
    auto view = UIView::initWithFrame(CGRectMake(0, 0, 320, 480));
    CGSize landscape = UIView_Add::sizeInOrientation(view, 4);
    EXPECT_EQ(landscape.width, 480);
    EXPECT_EQ(landscape.height, 320);
    EXPECT_EQ(UIView_Add::sizeInOrientation(view, 1).width, 320);
    EXPECT_FALSE(UIView_Add::viewController(view));
}
