#include "ar/SLKViewController.h"

#include "ar/SLKController.h"
#include "ar/SLKPoi.h"
#include "ar/SLKRadarView.h"
#include "ar/SLKView.h"
#include "ar/SNRDeviceAttitude.h"
#include "ar/SNRDeviceProperties.h"
#include "ar/SNRSensorManager.h"
#include "foundation/NSBundle.h"
#include "foundation/NSError.h"
#include "foundation/NSLog.h"
#include "foundation/NSTimer.h"
#include "graphics/UIColor.h"
#include "graphics/UIFont.h"
#include "media/AVCaptureDeviceInput.h"
#include "media/AVCaptureSession.h"
#include "media/AVCaptureVideoPreviewLayer.h"
#include "uikit/UIApplication.h"
#include "uikit/UIDevice.h"
#include "uikit/UILabel.h"
#include "uikit/UITouch.h"

namespace {

// Lives for the process: never destroyed, so nothing it holds is torn down at exit under
// threads and statics that may still use it.
Ref<SLKViewController>& s_activeViewController = *new Ref<SLKViewController>();

struct OrientationAnimation {
    int32_t counter { 0 };
    float step { 0.05f };
    float start { 0 };
    float target { 0 };
};
OrientationAnimation s_animation;

} // namespace

Ref<SLKViewController> SLKViewController::activeViewController()
{
    return s_activeViewController;
}

void SLKViewController::setActiveViewController(const Ref<SLKViewController>& controller)
{
    s_activeViewController = controller;
}

void SLKViewController::resetForTesting()
{
    s_activeViewController = nullptr;
    s_animation = {};
}

float SLKViewController::offsetForInterfaceOrientation(int32_t orientation)
{
    // The kit numbers the interface orientations as the status bar reports them: 2 upside down,
    // 3 the one it calls landscape left (turned 90 degrees), 4 landscape right (-90).
    switch (orientation) {
    case 2:
        return 180;
    case 3:
        return 90;
    case 4:
        return -90;
    default:
        return 0;
    }
}

bool SLKViewController::showARViewInOrientation(int32_t deviceOrientation) const
{
    return deviceOrientation != 0 && deviceOrientation != 5 && deviceOrientation != 6;
}

float SLKViewController::sizeOfNotification() const
{
    return UI_USER_INTERFACE_IDIOM() == UIUserInterfaceIdiomPad ? 256 : 128;
}

void SLKViewController::switchFaceUp(bool faceUp)
{
    if (m_paused || !m_arRadarView)
        return;
    if (faceUp)
        m_arRadarView->setRadarToFullscreen();
    else
        m_arRadarView->setRadarToThumbnail();
}

void SLKViewController::switchFaceDown(bool faceDown)
{
    if (m_paused || m_availability != SLKAvailabilityAvailable)
        return;
    if (faceDown) {
        if (m_arRadarView)
            m_arRadarView->setCanBeVisible(false);
        setNotification(bannerText("SNR_STATUS_FACEDOWN"));
        m_faceDownDidSetNotification = true;
    } else if (m_faceDownDidSetNotification) {
        m_faceDownDidSetNotification = false;
        if (m_arRadarView)
            m_arRadarView->setCanBeVisible(true);
        setNotification(std::nullopt);
        updateState();
    }
}

std::string SLKViewController::bannerText(const std::string& key) const
{
    return SLKController::frameworkBundle()->localizedStringForKey(key, "", "SkyLensKit");
}

void SLKViewController::loadView()
{
    UIViewController::loadView();
    createARView();
    createARRadarView();
    if (!m_notificationLabel) {
        bool pad = UI_USER_INTERFACE_IDIOM() == UIUserInterfaceIdiomPad;
        float side = sizeOfNotification();
        auto label = UILabel::initWithFrame(CGRectMake(0, 0, side, side));
        label->setBackgroundColor(UIColor::colorWithWhiteAlpha(0, 0.75f));
        label->setTextColor(UIColor::colorWithWhiteAlpha(1, 0.9f));
        label->setFont(UIFont::fontWithNameSize("Helvetica-Bold", pad ? 48 : 24));
        label->setNumberOfLines(4);
        label->setLineBreakMode(NSLineBreakByWordWrapping);
        label->setTextAlignment(NSTextAlignmentCenter);
        label->setContentMode(UIViewContentModeCenter);
        label->setAutoresizingMask(UIViewAutoresizingFlexibleLeftMargin | UIViewAutoresizingFlexibleRightMargin
            | UIViewAutoresizingFlexibleTopMargin | UIViewAutoresizingFlexibleBottomMargin);
        label->setUserInteractionEnabled(false);
        label->setMultipleTouchEnabled(false);
        label->setText("Notification");
        CGRect bounds = view()->bounds();
        label->setCenter(CGPointMake(CGRectGetMidX(bounds), CGRectGetMidY(bounds)));
        label->layer()->setCornerRadius(pad ? 20 : 10);
        label->setClipsToBounds(true);
        view()->addSubview(label);
        view()->bringSubviewToFront(label);
        label->setHidden(true);
        m_notificationLabel = label;
    }
}

void SLKViewController::viewWillAppear(bool animated)
{
    UIViewController::viewWillAppear(animated);
    m_orientationOffsetAngle
        = offsetForInterfaceOrientation(UIApplication::sharedApplication()->statusBarOrientation());
}

void SLKViewController::viewDidAppear(bool animated)
{
    UIViewController::viewDidAppear(animated);
    if (startsARAutomatically())
        startAR();
    centerArView();
}

void SLKViewController::viewWillDisappear(bool animated)
{
    UIViewController::viewWillDisappear(animated);
    stopAR();
}

void SLKViewController::viewWillUnload()
{
    m_arView = nullptr;
    m_arRadarView = nullptr;
    m_notificationLabel = nullptr;
}

void SLKViewController::viewDidUnload()
{
    m_arView = nullptr;
    m_arRadarView = nullptr;
}

UIInterfaceOrientationMask SLKViewController::supportedInterfaceOrientations() const
{
    constexpr UIInterfaceOrientationMask portrait = 1u << 1;
    constexpr UIInterfaceOrientationMask landscapes = (1u << 3) | (1u << 4);
    return rotatesARView() ? portrait : portrait | landscapes;
}

void SLKViewController::willRotateToInterfaceOrientationDuration(UIInterfaceOrientation orientation, double duration)
{
    if (m_arView)
        m_arView->setTransform(CGAffineTransformIdentity);
    if (m_arRadarView)
        m_arRadarView->setTransform(CGAffineTransformIdentity);
    s_animation.counter = 0;
    s_animation.step = 0.05f;
    s_animation.start = m_orientationOffsetAngle;
    s_animation.target = offsetForInterfaceOrientation(orientation);
    if (m_orientationTimer)
        m_orientationTimer->invalidate();
    m_orientationTimer = NSTimer::scheduledTimerWithTimeIntervalTargetSelectorUserInfoRepeats(
        duration / 20, self<SLKViewController>(), &SLKViewController::animateOrientationOffsetAngle, Value(), true);
}

void SLKViewController::animateOrientationOffsetAngle(const Ref<NSTimer>& timer)
{
    float angle = SNRLerp(s_animation.start, s_animation.target, s_animation.counter * s_animation.step);
    m_orientationOffsetAngle = angle;
    SLKPoi::setViewRotation(angle);
    ++s_animation.counter;
    if (s_animation.counter > 20) {
        timer->invalidate();
        if (m_orientationTimer == timer)
            m_orientationTimer = nullptr;
    }
}

void SLKViewController::didRotateFromInterfaceOrientation(UIInterfaceOrientation orientation)
{
    m_orientationOffsetAngle
        = offsetForInterfaceOrientation(UIApplication::sharedApplication()->statusBarOrientation());
    updateCameraPreview();
    if (m_arRadarView)
        m_arRadarView->didRotate();
    centerArView();
}

void SLKViewController::startAR()
{
    auto controller = SLKController::sharedARController();
    if (controller->isStarted())
        return;
    setActiveViewController(self<SLKViewController>());
    controller->start();
    if (usesCameraPreview())
        startCameraPreview();
    updateState();
    controller->setSensorDelegate(Weak<SNRSensorDelegate>(self<SLKViewController>()));
}

void SLKViewController::stopAR()
{
    auto controller = SLKController::sharedARController();
    if (!controller->isStarted())
        return;
    auto current = controller->sensorDelegate().lock();
    if (current.get() == static_cast<SNRSensorDelegate*>(this))
        controller->setSensorDelegate({});
    if (m_arView)
        m_arView->stop();
    if (m_arRadarView) {
        m_arRadarView->stop();
        m_arRadarView->setTransform(CGAffineTransformIdentity);
    }
    if (m_cameraPreviewVisible)
        stopCameraPreview();
    controller->stop();
    if (s_activeViewController.get() == this)
        setActiveViewController(nullptr);
}

void SLKViewController::updateState()
{
    m_availability = SLKController::sharedARController()->availability();
    if (m_availability == SLKAvailabilityAvailable) {
        setARViewVisible(m_arViewShouldBeVisible);
        if (m_arRadarView) {
            m_arRadarView->setCanBeVisible(true);
            m_arRadarView->start();
        }
        setNotification(std::nullopt);
        return;
    }
    setARViewVisible(false);
    if (m_arRadarView)
        m_arRadarView->setCanBeVisible(false);
    m_faceDownDidSetNotification = false;
    static const char* const keys[]
        = { "SNR_STATUS_NOTDETERMINED", "SNR_STATUS_UNAVAILABLE", "SNR_STATUS_RESTRICTED", "SNR_STATUS_DENIED" };
    if (m_availability >= 0 && m_availability < 4)
        setNotification(bannerText(keys[m_availability]));
}

void SLKViewController::setARViewVisible(bool visible)
{
    if (m_paused || !m_arView)
        return;
    m_arView->setHidden(!visible);
    if (visible)
        m_arView->start();
    else
        m_arView->stop();
}

void SLKViewController::centerArView()
{
    if (!m_arView)
        return;
    // Without a camera view the overlay is centred on the screen's view.
    CGRect reference = m_cameraView ? m_cameraView->frame() : view()->bounds();
    m_arView->setCenter(CGPointMake(CGRectGetMidX(reference), CGRectGetMidY(reference)));
}

void SLKViewController::createARView()
{
    if (m_arView)
        return;
    auto arView = SLKView::initWithFrame(view()->bounds());
    arView->setOpaque(false);
    arView->setAutoresizesSubviews(true);
    arView->setBackgroundColor(UIColor::clearColor());
    arView->setAutoresizingMask(UIViewAutoresizingNone);
    arView->setArViewController(self<SLKViewController>());
    arView->setMultipleTouchEnabled(true);
    m_arView = arView;
    int32_t orientation = deviceAttitude()->deviceOrientation();
    m_arViewShouldBeVisible = orientation != 0 && orientation != 5 && orientation != 6;
    view()->insertSubviewAtIndex(arView, 0);
    arView->setHidden(true);
    didChangeDeviceOrientation(orientation);
}

void SLKViewController::createARRadarView()
{
    if (m_arRadarView)
        return;
    auto radar = SLKRadarView::init();
    radar->setOpaque(false);
    radar->setAutoresizesSubviews(false);
    radar->setBackgroundColor(UIColor::clearColor());
    radar->setAutoresizingMask(UIViewAutoresizingNone);
    view()->addSubview(radar);
    radar->setHidden(true);
    radar->setMultipleTouchEnabled(false);
    radar->setArViewController(self<SLKViewController>());
    m_arRadarView = radar;
    if (UI_USER_INTERFACE_IDIOM() == UIUserInterfaceIdiomPad)
        radar->setRadarToThumbnailWithSize(CGPointMake(10, 10), 256);
    else
        radar->setRadarToThumbnail();
}

void SLKViewController::setNotification(const std::optional<std::string>& text)
{
    if (!m_notificationLabel)
        return;
    if (text) {
        m_notificationLabel->setText(*text);
        m_notificationLabel->setHidden(false);
        m_notificationVisible = true;
    } else {
        m_notificationLabel->setHidden(true);
        m_notificationVisible = false;
    }
}

void SLKViewController::startCameraPreview()
{
    auto properties = sensorManager()->deviceProperties();
    if (!properties || !properties->hasBackFacingCamera())
        return;
    if (!m_cameraView) {
        m_cameraView = UIView::initWithFrame(view()->bounds());
        m_cameraView->setAutoresizingMask(UIViewAutoresizingFlexibleWidth | UIViewAutoresizingFlexibleHeight);
    }
    m_cameraAvCaptureSession = AVCaptureSession::init();
    m_cameraAvCaptureSession->setSessionPreset(
        properties->isSingleCoreDevice() ? AVCaptureSessionPresetLow : AVCaptureSessionPresetHigh);
    m_cameraAvCaptureVideoPreviewLayer = AVCaptureVideoPreviewLayer::layerWithSession(m_cameraAvCaptureSession);
    m_cameraAvCaptureVideoPreviewLayer->setFrame(m_cameraView->bounds());
    m_cameraAvCaptureVideoPreviewLayer->setVideoGravity(AVLayerVideoGravityResizeAspectFill);
    m_cameraView->layer()->addSublayer(m_cameraAvCaptureVideoPreviewLayer);
    Ref<NSError> error;
    auto input = AVCaptureDeviceInput::deviceInputWithDevice(
        AVCaptureDevice::defaultDeviceWithMediaType(AVMediaTypeVideo), &error);
    // A camera that cannot be opened is logged; the session runs without an input and shows nothing.
    if (input)
        m_cameraAvCaptureSession->addInput(input);
    else
        NSLog("ERROR: trying to open camera: %@", error ? error->description() : std::string("(null)"));
    m_cameraAvCaptureSession->startRunning();
    m_cameraView->setAlpha(0);
    view()->insertSubviewAtIndex(m_cameraView, 0);
    m_cameraPreviewVisible = true;
    updateCameraPreview();
    if (fadesInCameraPreview()) {
        Weak<UIView> weak = m_cameraView;
        UIView::animateWithDurationDelayOptions(
            0.5, 0, UIViewAnimationOptionAllowUserInteraction,
            [weak]() {
                if (auto cameraView = weak.lock())
                    cameraView->setAlpha(1);
            },
            nullptr);
    } else {
        m_cameraView->setAlpha(1);
    }
}

void SLKViewController::updateCameraPreview()
{
    if (!m_cameraPreviewVisible || !m_cameraView)
        return;
    m_cameraView->setFrame(view()->bounds());
    if (m_cameraAvCaptureVideoPreviewLayer) {
        m_cameraAvCaptureVideoPreviewLayer->setFrame(m_cameraView->bounds());
        int32_t orientation = UIApplication::sharedApplication()->statusBarOrientation();
        if (orientation >= 1 && orientation <= 4 && m_cameraAvCaptureVideoPreviewLayer->connection())
            m_cameraAvCaptureVideoPreviewLayer->connection()->setVideoOrientation(
                static_cast<AVCaptureVideoOrientation>(orientation));
    }
}

void SLKViewController::stopCameraPreview()
{
    if (!m_cameraPreviewVisible)
        return;
    if (m_cameraAvCaptureVideoPreviewLayer)
        m_cameraAvCaptureVideoPreviewLayer->removeFromSuperlayer();
    if (m_cameraAvCaptureSession)
        m_cameraAvCaptureSession->stopRunning();
}

Ref<SNRSensorManager> SLKViewController::sensorManager() const
{
    return SNRSensorManager::sharedSensorManager();
}

Ref<SNRDeviceAttitude> SLKViewController::deviceAttitude() const
{
    return sensorManager()->deviceAttitude();
}

void SLKViewController::didChangeDeviceOrientation(int32_t orientation)
{
    m_arViewShouldBeVisible = showARViewInOrientation(orientation);
    switchFaceUp(orientation == 5);
    switchFaceDown(orientation == 6);
    setARViewVisible(m_arViewShouldBeVisible);
}

CGPoint SLKViewController::touchLocation(const UITouchSet& touches) const
{
    if (touches.empty())
        return CGPointZero;
    return touches.front()->locationInView(m_arView);
}

void SLKViewController::touchesBegan(const UITouchSet& touches, const Ref<UIEvent>& event)
{
    m_touchMoved = false;
    m_touched = true;
    m_lastTouchDistance = CGPointZero;
    m_overallTouchDistance = CGPointZero;
    m_initialTouchPosition = m_lastTouchPosition = touchLocation(touches);
    UIViewController::touchesBegan(touches, event);
}

void SLKViewController::touchesMoved(const UITouchSet& touches, const Ref<UIEvent>& event)
{
    CGPoint position = touchLocation(touches);
    m_lastTouchDistance = CGPointMake(m_lastTouchPosition.x - position.x, m_lastTouchPosition.y - position.y);
    m_lastTouchPosition = position;
    m_overallTouchDistance = CGPointMake(position.x - m_initialTouchPosition.x, position.y - m_initialTouchPosition.y);
    m_touched = true;
    m_touchMoved = true;
    UIViewController::touchesMoved(touches, event);
}

void SLKViewController::touchesEnded(const UITouchSet& touches, const Ref<UIEvent>& event)
{
    m_lastTouchDistance = CGPointZero;
    m_overallTouchDistance = CGPointZero;
    m_touched = false;
    UIViewController::touchesEnded(touches, event);
}

void SLKViewController::touchesCancelled(const UITouchSet& touches, const Ref<UIEvent>& event)
{
    m_lastTouchDistance = CGPointZero;
    m_overallTouchDistance = CGPointZero;
    m_touched = false;
    UIViewController::touchesCancelled(touches, event);
}

float SLKViewController::touchDragX() const
{
    auto attitude = deviceAttitude();
    return (attitude->orientationIsLandscape() ? m_lastTouchDistance.y : m_lastTouchDistance.x)
        * attitude->orientationSideAxis();
}

float SLKViewController::touchDragY() const
{
    auto attitude = deviceAttitude();
    return (attitude->orientationIsLandscape() ? m_lastTouchDistance.x : m_lastTouchDistance.y)
        * attitude->orientationUpAxis();
}

float SLKViewController::touchMovedX() const
{
    auto attitude = deviceAttitude();
    return (attitude->orientationIsLandscape() ? m_overallTouchDistance.y : m_overallTouchDistance.x)
        * attitude->orientationSideAxis();
}

float SLKViewController::touchMovedY() const
{
    auto attitude = deviceAttitude();
    return (attitude->orientationIsLandscape() ? m_overallTouchDistance.x : m_overallTouchDistance.y)
        * attitude->orientationUpAxis();
}
