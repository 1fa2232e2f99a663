#include "ar/SNRBufferedCameraManager.h"

#include "ar/UIView+Add.h"
#include "foundation/NSLog.h"
#include "graphics/CALayer.h"
#include "graphics/CATransaction.h"
#include "graphics/CGColor.h"
#include "graphics/CGContext.h"
#include "media/AVCaptureSession.h"
#include "uikit/UIView.h"
#include "uikit/UIViewController.h"

#include <algorithm>
#include <cmath>

SNRBufferedCameraManager::~SNRBufferedCameraManager()
{
    if (m_cameraPreviewLayer)
        m_cameraPreviewLayer->removeFromSuperlayer();
    if (m_session)
        m_session->stopRunning();
}

Ref<SNRBufferedCameraManager> SNRBufferedCameraManager::initWithView(const Ref<UIView>& view)
{
    auto manager = make<SNRBufferedCameraManager>();
    manager->m_cameraView = view;
    return manager;
}

void SNRBufferedCameraManager::startCameraPreview()
{
    if (!hasBackCamera())
        return;
    if (!m_sessionPreset) {
        NSLog("no session preset, cannot start preview");
        return;
    }
    m_session = AVCaptureSession::init();
    if (m_session->canSetSessionPreset(*m_sessionPreset))
        m_session->setSessionPreset(*m_sessionPreset);
    m_cameraPreviewHadFirstFrame = false;
    m_cameraPreviewLayer = CALayer::layer();
    m_cameraPreviewLayer->setContentsScale(1);
    m_cameraPreviewLayer->setBounds(CGRectZero);
    CGRect bounds = m_cameraView ? m_cameraView->bounds() : CGRectZero;
    m_cameraPreviewLayer->setPosition(CGPointMake(CGRectGetMidX(bounds), CGRectGetMidY(bounds)));
    if (m_cameraView)
        m_cameraView->layer()->addSublayer(m_cameraPreviewLayer);
    m_cameraPreviewNeedsResize = true;
    m_input = openCamera();
    m_dataOutput = AVCaptureVideoDataOutput::init();
    m_videoConnection = m_dataOutput->videoConnection();
    m_dataOutput->setVideoSettings(
        Value::dictionary({ { Value("PixelFormatType"), Value(static_cast<int64_t>(kCVPixelFormatType_32BGRA)) } }));
    m_dataOutput->setAlwaysDiscardsLateVideoFrames(true);
    m_videoConnectionSupportsVideoOrientation = m_videoConnection->isVideoOrientationSupported();
    if (m_videoConnectionSupportsVideoOrientation)
        m_videoConnection->setVideoOrientation(AVCaptureVideoOrientationPortrait);
    if (m_session->canAddOutput(m_dataOutput))
        m_session->addOutput(m_dataOutput);
    m_session->commitConfiguration();
    static dispatch_queue_t& s_videoQueue
        = *new dispatch_queue_t(dispatch_queue_create("VideoQueue", DISPATCH_QUEUE_SERIAL));
    m_dataOutput->setSampleBufferDelegateQueue(
        std::weak_ptr<AVCaptureVideoDataOutputSampleBufferDelegate>(self<SNRBufferedCameraManager>()), s_videoQueue);
    m_session->startRunning();
    m_cameraPreviewStarted = true;
    m_cameraPreviewPaused = false;
}

void SNRBufferedCameraManager::captureOutputDidOutputSampleBufferFromConnection(
    const Ref<AVCaptureVideoDataOutput>&, const Ref<CMSampleBuffer>& buffer, const Ref<AVCaptureConnection>&)
{
    if (m_cameraPreviewPaused || !buffer || !buffer->hasImageBuffer())
        return;
    buffer->lockBaseAddress();
    auto context
        = CGBitmapContextCreate(buffer->baseAddress(), buffer->width(), buffer->height(), 8, buffer->bytesPerRow(),
            CGColorSpaceCreateDeviceRGB(), kCGImageAlphaPremultipliedFirst | kCGBitmapByteOrder32Little);
    CGImageRef image = context ? CGBitmapContextCreateImage(context) : nullptr;
    Weak<SNRBufferedCameraManager> weak = self<SNRBufferedCameraManager>();
    dispatch_sync(dispatch_get_main_queue(), [weak, image]() {
        auto self = weak.lock();
        // After stop the layer is gone: the frame is dropped.
        if (!self || !image || !self->m_cameraPreviewLayer)
            return;
        self->m_cameraPreviewImageSize = CGSizeMake(CGImageGetWidth(image), CGImageGetHeight(image));
        self->m_cameraPreviewHadFirstFrame = true;
        if (self->m_cameraPreviewNeedsResize)
            self->updateCameraPreviewSize();
        self->m_cameraPreviewLayer->setContents(image);
    });
    buffer->unlockBaseAddress();
}

void SNRBufferedCameraManager::updateCameraPreviewSize()
{
    auto controller = UIView_Add::viewController(m_cameraView);
    int32_t orientation = controller ? controller->interfaceOrientation() : 1;
    updateCameraPreviewSizeForOrientationDuration(orientation, 0);
}

void SNRBufferedCameraManager::updateCameraPreviewSizeForOrientationDuration(int32_t orientation, double duration)
{
    if (!m_cameraPreviewLayer)
        return;
    CGSize size = UIView_Add::currentSize(m_cameraView);
    float side = std::max(size.width, size.height);
    if (side < 1)
        return;
    CGRect bounds
        = aspectFilledRectMax(CGRectMake(0, 0, m_cameraPreviewImageSize.width, m_cameraPreviewImageSize.height),
            CGRectMake(0, 0, side, side));
    CGPoint position = CGPointMake(side / 2, side / 2);
    // The kit's numbering: 2 upside down, 4 the landscape it calls right, 3 the one it calls left.
    double angle = M_PI / 2;
    if (orientation == 2)
        angle = 4.712389;
    else if (orientation == 4)
        angle = M_PI;
    else if (orientation == 3)
        angle = 0;
    // The layer moves at once on the first sizing or a short turn; otherwise the layer's own
    // implicit animation carries it over the duration.
    bool immediate = m_cameraPreviewNeedsResize || duration < 0.01;
    if (immediate) {
        CATransaction::begin();
        CATransaction::setDisableActions(true);
    }
    m_cameraPreviewLayer->setBounds(bounds);
    m_cameraPreviewLayer->setPosition(position);
    m_cameraPreviewLayer->setAffineTransform(CGAffineTransformMakeRotation(static_cast<CGFloat>(angle)));
    if (immediate)
        CATransaction::commit();
    m_cameraPreviewNeedsResize = false;
}

void SNRBufferedCameraManager::willRotateToInterfaceOrientationDuration(int32_t orientation, double duration)
{
    if (!m_cameraPreviewStarted || !m_cameraPreviewHadFirstFrame)
        return;
    updateCameraPreviewSizeForOrientationDuration(orientation, duration);
    if (m_videoConnectionSupportsVideoOrientation && m_videoConnection)
        m_videoConnection->setVideoOrientation(
            static_cast<AVCaptureVideoOrientation>(orientation >= 1 && orientation <= 4 ? orientation : 1));
}

void SNRBufferedCameraManager::toggleCameraPreviewPause()
{
    if (m_cameraPreviewStarted)
        m_cameraPreviewPaused = !m_cameraPreviewPaused.load();
}

void SNRBufferedCameraManager::unpauseCameraPreview()
{
    if (m_cameraPreviewStarted && m_cameraPreviewPaused)
        m_cameraPreviewPaused = false;
}

void SNRBufferedCameraManager::stopCameraPreview(bool)
{
    if (!m_cameraPreviewStarted)
        return;
    if (m_cameraPreviewLayer) {
        m_cameraPreviewLayer->setContents(nullptr);
        m_cameraPreviewLayer->removeFromSuperlayer();
        m_cameraPreviewLayer = nullptr;
    }
    if (m_session) {
        m_session->stopRunning();
        m_session = nullptr;
    }
    m_cameraPreviewStarted = false;
}

CGRect SNRBufferedCameraManager::aspectFittedRectMax(CGRect source, CGRect target)
{
    float a = source.size.width, b = source.size.height;
    float x = target.origin.x, y = target.origin.y, w = target.size.width, h = target.size.height;
    CGRect result = a / b > w / h ? CGRectMake(x, y + (h - b * w / a) / 2, w, b * w / a)
                                  : CGRectMake(x + (w - a * h / b) / 2, y, a * h / b, h);
    return CGRectIntegral(result);
}

CGRect SNRBufferedCameraManager::aspectFilledRectMax(CGRect source, CGRect target)
{
    float a = source.size.width, b = source.size.height;
    float x = target.origin.x, y = target.origin.y, w = target.size.width, h = target.size.height;
    CGRect result = a / b < w / h ? CGRectMake(x, y + (h - b * w / a) / 2, w, b * w / a)
                                  : CGRectMake(x + (w - a * h / b) / 2, y, a * h / b, h);
    return CGRectIntegral(result);
}
