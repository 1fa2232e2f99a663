#include "foundation/NSError.h"
#include "foundation/NSException.h"
#include "graphics/CGColor.h"
#include "graphics/CGContext.h"
#include "graphics/UIImage.h"
#include "media/AVCaptureDeviceInput.h"
#include "media/AVCaptureSession.h"
#include "media/AVCaptureStillImageOutput.h"
#include "media/AVCaptureVideoPreviewLayer.h"
#include "media/MediaSimulator.h"
#include "testing/Drain.h"

#include <gtest/gtest.h>

#include <atomic>

namespace {

struct SimulatorScope {
    SimulatorScope() { MediaSimulator::shared().reset(); }
    ~SimulatorScope() { MediaSimulator::shared().reset(); }
};

Ref<AVCaptureSession> runningSession()
{
    auto session = AVCaptureSession::init();
    auto input = AVCaptureDeviceInput::deviceInputWithDevice(
        AVCaptureDevice::defaultDeviceWithMediaType(AVMediaTypeVideo), nullptr);
    session->addInput(input);
    session->startRunning();
    return session;
}

} // namespace

TEST(AVCaptureDevice, FollowsTheSimulatedCameras)
{
    SimulatorScope scope;
    auto devices = AVCaptureDevice::devicesWithMediaType(AVMediaTypeVideo);
    ASSERT_EQ(devices.size(), 2u);
    EXPECT_EQ(devices[0]->position(), AVCaptureDevicePositionBack);
    EXPECT_EQ(devices[1]->position(), AVCaptureDevicePositionFront);
    EXPECT_TRUE(AVCaptureDevice::devicesWithMediaType(AVMediaTypeAudio).empty());
    MediaSimulator::shared().setCameras(false, true);
    EXPECT_EQ(AVCaptureDevice::defaultDeviceWithMediaType(AVMediaTypeVideo)->position(), AVCaptureDevicePositionFront);
    MediaSimulator::shared().setCameras(false, false);
    EXPECT_FALSE(AVCaptureDevice::defaultDeviceWithMediaType(AVMediaTypeVideo));
}

TEST(AVCaptureDeviceInput, OpeningCanFail)
{
    SimulatorScope scope;
    Ref<NSError> error;
    EXPECT_TRUE(AVCaptureDeviceInput::deviceInputWithDevice(
        AVCaptureDevice::defaultDeviceWithMediaType(AVMediaTypeVideo), &error));
    EXPECT_FALSE(error);
    MediaSimulator::shared().setInputFailure(true);
    EXPECT_FALSE(AVCaptureDeviceInput::deviceInputWithDevice(
        AVCaptureDevice::defaultDeviceWithMediaType(AVMediaTypeVideo), &error));
    ASSERT_TRUE(error);
    EXPECT_EQ(error->domain(), "AVFoundationErrorDomain");
    EXPECT_FALSE(AVCaptureDeviceInput::deviceInputWithDevice(nullptr, nullptr));
}

TEST(AVCaptureSession, PresetsInputsAndOutputs)
{
    SimulatorScope scope;
    auto session = AVCaptureSession::init();
    EXPECT_TRUE(session->canSetSessionPreset(AVCaptureSessionPresetLow));
    EXPECT_FALSE(session->canSetSessionPreset(AVCaptureSessionPreset1920x1080));
    EXPECT_FALSE(session->canSetSessionPreset("nonsense"));
    EXPECT_THROW(session->setSessionPreset("nonsense"), NSException);
    session->setSessionPreset(AVCaptureSessionPresetMedium);
    EXPECT_EQ(session->sessionPreset(), AVCaptureSessionPresetMedium);
    auto output = AVCaptureStillImageOutput::init();
    ASSERT_TRUE(session->canAddOutput(output));
    session->addOutput(output);
    EXPECT_FALSE(session->canAddOutput(output));
    // Without a camera input the output has no video connection; adding one connects it.
    EXPECT_TRUE(output->connections().empty());
    session->addInput(AVCaptureDeviceInput::deviceInputWithDevice(
        AVCaptureDevice::defaultDeviceWithMediaType(AVMediaTypeVideo), nullptr));
    EXPECT_TRUE(output->connectionWithMediaType(AVMediaTypeVideo));
}

TEST(AVCaptureStillImageOutput, CapturesAJPEGOfTheCameraPictureOnItsQueue)
{
    SimulatorScope scope;
    auto session = runningSession();
    auto output = AVCaptureStillImageOutput::init();
    session->addOutput(output);
    Value jpeg;
    std::atomic<bool> done { false };
    output->captureStillImageAsynchronouslyFromConnection(
        output->connections().front(), [&](const Ref<CMSampleBuffer>& buffer, const Ref<NSError>& error) {
            EXPECT_FALSE(error);
            jpeg = AVCaptureStillImageOutput::jpegStillImageNSDataRepresentation(buffer);
            done = true;
        });
    drainAll();
    ASSERT_TRUE(done);
    auto image = UIImage::imageWithData(jpeg);
    ASSERT_TRUE(image);
    EXPECT_EQ(image->size().width, 1024);
    // A stopped session delivers an error and no picture.
    session->stopRunning();
    done = false;
    Ref<NSError> failure;
    output->captureStillImageAsynchronouslyFromConnection(
        output->connections().front(), [&](const Ref<CMSampleBuffer>& buffer, const Ref<NSError>& error) {
            EXPECT_FALSE(buffer);
            failure = error;
            done = true;
        });
    drainAll();
    ASSERT_TRUE(done);
    EXPECT_TRUE(failure);
}

TEST(AVCaptureVideoPreviewLayer, DrawsTheSkyOnlyWhileTheSessionRuns)
{
    SimulatorScope scope;
    auto session = runningSession();
    auto layer = AVCaptureVideoPreviewLayer::layerWithSession(session);
    layer->setFrame(CGRectMake(0, 0, 40, 40));
    EXPECT_EQ(layer->videoGravity(), AVLayerVideoGravityResizeAspect);
    auto pixelAt = [&](int x, int y) {
        auto context = CGBitmapContextCreate(nullptr, 40, 40, 8, 0, CGColorSpaceCreateDeviceRGB(),
            kCGImageAlphaPremultipliedFirst | kCGBitmapByteOrder32Little);
        layer->renderInContext(context);
        auto* data = static_cast<uint32_t*>(CGBitmapContextGetData(context));
        return data[y * CGBitmapContextGetBytesPerRow(context) / 4 + x];
    };
    uint32_t top = pixelAt(20, 2);
    uint32_t bottom = pixelAt(20, 37);
    EXPECT_NE(top, 0u);
    EXPECT_NE(top, bottom);
    // Blue dominates the sky somewhere in the picture.
    bool skyFound = false;
    for (uint32_t pixel : { top, bottom })
        skyFound = skyFound || ((pixel & 0xff) > ((pixel >> 16) & 0xff));
    EXPECT_TRUE(skyFound);
    session->stopRunning();
    EXPECT_EQ(pixelAt(20, 2), 0u);
}
