#include "app/view-controllers/ar/KESTARViewController.h"

#include "app/core/KESTAnalyticsManager.h"
#include "app/core/KESTLiveDataManager.h"
#include "app/core/KESTPlane.h"
#include "app/core/KESTSettingsManager.h"
#include "app/view-controllers/ar/KESTARLabel.h"
#include "ar/SLKController.h"
#include "ar/SLKRadarView.h"
#include "ar/SNRDeviceProperties.h"
#include "ar/SNRSensorManager.h"
#include "foundation/Dispatch.h"
#include "foundation/NSNotificationCenter.h"
#include "foundation/NSOperationQueue.h"
#include "foundation/NSPredicate.h"
#include "foundation/NSTimer.h"
#include "graphics/UIColor.h"
#include "graphics/UIGraphics.h"
#include "graphics/UIImage.h"
#include "location/CLLocation.h"
#include "location/CLLocationManager.h"
#include "media/AVCaptureSession.h"
#include "media/AVCaptureStillImageOutput.h"
#include "uikit/UIActivity.h"
#include "uikit/UIActivityViewController.h"
#include "uikit/UIApplication.h"
#include "uikit/UIButton.h"
#include "uikit/UIScreen.h"

#include <algorithm>

VX_REGISTER_CLASS(KESTARViewController);

namespace {

constexpr double nearbyWindowDegrees = 1.5;

} // namespace

Ref<KESTARViewController> KESTARViewController::initWithNibNameBundle(
    const std::string& nibName, const Ref<NSBundle>& bundle)
{
    auto controller = makeController<KESTARViewController>(nibName, bundle);
    controller->m_createdInitialObjects = false;
    return controller;
}

void KESTARViewController::switchFaceUp(bool faceUp)
{
    if (!arRadarView())
        return;
    if (faceUp)
        arRadarView()->setRadarToFullscreen();
    else
        arRadarView()->setRadarToThumbnail(m_radarThumbnailPosition);
}

void KESTARViewController::loadView()
{
    int32_t range = KESTSettingsManager::sharedInstance()->realARRange();
    auto controller = SLKController::sharedARController();
    controller->setDelegate(Weak<SLKControllerDelegate>(self<KESTARViewController>()));
    controller->clipObjectsNearerThanFartherThan(0, static_cast<float>(range * 1000));
    SNRDeviceProperties::setSimulateGPSForAllDevices(true);
    SLKController::deviceSupportsAR(true);
    SLKViewController::loadView();
    if (arRadarView())
        arRadarView()->setRadarRange(1500);
}

void KESTARViewController::viewDidLoad()
{
    SLKViewController::viewDidLoad();
    registerForLiveData();
    KESTAnalyticsManager::sharedInstance()->logEventWithNameWithCount("AR", 1);
    view()->setBackgroundColor(UIColor::blackColor());
    sensorManager()->locationManager()->setDesiredAccuracy(kCLLocationAccuracyBestForNavigation);

    Weak<KESTARViewController> weak = self<KESTARViewController>();
    m_closeButton = UIButton::buttonWithType(UIButtonTypeCustom);
    m_closeButton->setImageForState(UIImage::imageNamed("arCloseButton"), UIControlStateNormal);
    m_closeButton->setFrame(CGRectMake(5, 5, 45, 45));
    m_closeButton->setAutoresizingMask(UIViewAutoresizingFlexibleRightMargin | UIViewAutoresizingFlexibleBottomMargin);
    m_closeButton->addTargetActionForControlEvents(
        self<KESTARViewController>(), "closePress",
        [weak](const Ref<UIControl>&, const Ref<UIEvent>&) {
            if (auto screen = weak.lock())
                screen->closePress();
        },
        UIControlEventTouchUpInside);
    view()->addSubview(m_closeButton);

    m_shareButton = UIButton::buttonWithType(UIButtonTypeCustom);
    m_shareButton->setImageForState(UIImage::imageNamed("arShareButton"), UIControlStateNormal);
    m_shareButton->setFrame(CGRectMake(view()->bounds().size.width - 50, 5, 45, 45));
    m_shareButton->setAutoresizingMask(UIViewAutoresizingFlexibleLeftMargin | UIViewAutoresizingFlexibleBottomMargin);
    m_shareButton->addTargetActionForControlEvents(
        self<KESTARViewController>(), "sharePress",
        [weak](const Ref<UIControl>&, const Ref<UIEvent>&) {
            if (auto screen = weak.lock())
                screen->sharePress();
        },
        UIControlEventTouchUpInside);
    view()->addSubview(m_shareButton);
}

void KESTARViewController::registerForLiveData()
{
    // One registration at a time: the screen follows the feed while it is on screen, also after
    // coming back from under a full-screen presentation.
    if (m_liveDataUpdateNotifier)
        return;
    Weak<KESTARViewController> weak = self<KESTARViewController>();
    m_liveDataUpdateNotifier
        = NSNotificationCenter::defaultCenter()->addObserverForName(std::string(KESTLiveDataUpdatedNotification),
            nullptr, NSOperationQueue::mainQueue(), [weak](const Ref<NSNotification>&) {
                if (auto screen = weak.lock())
                    screen->updateARObjects();
            });
}

void KESTARViewController::unregisterFromLiveData()
{
    if (!m_liveDataUpdateNotifier)
        return;
    NSNotificationCenter::defaultCenter()->removeObserver(m_liveDataUpdateNotifier);
    m_liveDataUpdateNotifier = nullptr;
}

void KESTARViewController::viewWillAppear(bool animated)
{
    SLKViewController::viewWillAppear(animated);
    // The camera picture fills the display and the buttons sit in its top corners: the status bar
    // goes while the screen shows and comes back as it was when the screen goes.
    auto app = UIApplication::sharedApplication();
    if (!m_statusBarHiddenBefore)
        m_statusBarHiddenBefore = app->isStatusBarHidden();
    app->setStatusBarHidden(prefersStatusBarHidden());
}

void KESTARViewController::viewDidAppear(bool animated)
{
    SLKViewController::viewDidAppear(animated);
    registerForLiveData();
    m_radarThumbnailPosition = 2;
    if (arRadarView()) {
        arRadarView()->setRadarToThumbnailWithAdditionalOffset(2, CGRectMake(0, 44, 0, 32));
        arRadarView()->showRadar();
    }
    if (!m_arUpdateTimer) {
        m_arUpdateTimer = NSTimer::scheduledTimerWithTimeIntervalTargetSelectorUserInfoRepeats(
            1.0, self<KESTARViewController>(), &KESTARViewController::updateMarkers, Value(), true);
    }
}

void KESTARViewController::viewWillDisappear(bool animated)
{
    SLKViewController::viewWillDisappear(animated);
    unregisterFromLiveData();
}

void KESTARViewController::viewDidDisappear(bool animated)
{
    SLKViewController::viewDidDisappear(animated);
    if (m_statusBarHiddenBefore) {
        UIApplication::sharedApplication()->setStatusBarHidden(*m_statusBarHiddenBefore);
        m_statusBarHiddenBefore.reset();
    }
}

void KESTARViewController::didUpdateLocation(const Ref<CLLocation>& location)
{
    SLKViewController::didUpdateLocation(location);
    if (!location)
        return;
    m_userLocationStored = location;
    if (!m_hasARPoiObjects && !m_createdInitialObjects) {
        createARPoiObjects();
        m_hasARPoiObjects = true;
        m_createdInitialObjects = true;
    }
}

std::vector<Ref<KESTPlane>> KESTARViewController::planesNearby() const
{
    if (!m_userLocationStored)
        return {};
    auto c = m_userLocationStored->coordinate();
    auto predicate = NSPredicate::predicateWithFormat("lat > %f AND lat < %f AND lon > %f AND lon < %f",
        c.latitude - nearbyWindowDegrees, c.latitude + nearbyWindowDegrees, c.longitude - nearbyWindowDegrees,
        c.longitude + nearbyWindowDegrees);
    std::vector<Ref<KESTPlane>> nearby;
    for (auto& plane : KESTLiveDataManager::sharedInstance()->planeArray()) {
        auto values
            = Value::dictionary({ { Value("lat"), Value(plane->lat()) }, { Value("lon"), Value(plane->lon()) } });
        if (predicate->evaluateWithObject(values))
            nearby.push_back(plane);
    }
    return nearby;
}

void KESTARViewController::createAndRegisterLabel(const Ref<KESTPlane>& plane)
{
    std::string title = plane->fltno().empty() ? plane->callsign() : plane->fltno();
    auto position = plane->threadedCoordinate();
    auto label = KESTARLabel::initWithTitleTheDescriptionTheImageFromTemplateXibAtLocation(title, plane->route(),
        nullptr, std::string("SLKFloatingView"),
        CLLocation::initWithLatitudeLongitude(position.latitude, position.longitude));
    if (!label)
        return;
    label->setPlaneAltitude(static_cast<float>(plane->altitude() * 0.3048));
    label->setAttachedPlane(plane);
    SLKController::sharedARController()->addObject(label);
    label->setupContent();
}

void KESTARViewController::createARPoiObjects()
{
    auto controller = SLKController::sharedARController();
    controller->clearObjects();
    for (auto& plane : planesNearby())
        createAndRegisterLabel(plane);
    m_hasARPoiObjects = true;
}

void KESTARViewController::updateARObjects()
{
    // Before the first fix there is no window to filter by.
    if (!m_userLocationStored)
        return;
    auto nearby = planesNearby();
    auto controller = SLKController::sharedARController();
    std::vector<Ref<KESTPlane>> attached;
    std::vector<Ref<SLKObjectDelegate>> removals;
    auto contains = [](const std::vector<Ref<KESTPlane>>& list, const Ref<KESTPlane>& plane) {
        return std::any_of(list.begin(), list.end(),
            [&](const Ref<KESTPlane>& p) { return p == plane || (p && p->isEqual(plane.get())); });
    };
    for (auto& object : controller->arObjects()) {
        auto label = std::dynamic_pointer_cast<KESTARLabel>(object);
        auto plane = label ? label->attachedPlane() : nullptr;
        attached.push_back(plane);
        if (!plane || !contains(nearby, plane))
            removals.push_back(object);
    }
    for (auto& object : removals)
        controller->removeObject(object);
    for (auto& plane : nearby) {
        if (!contains(attached, plane))
            createAndRegisterLabel(plane);
    }
}

void KESTARViewController::updateMarkers(const Ref<NSTimer>&)
{
    auto objects = SLKController::sharedARController()->arObjects();
    for (auto& object : objects)
        object->updateContent();
}

void KESTARViewController::closePress()
{
    if (m_arUpdateTimer) {
        m_arUpdateTimer->invalidate();
        m_arUpdateTimer = nullptr;
    }
    // The shared controller outlives the screen: leave it without this screen's labels and delegate.
    auto controller = SLKController::sharedARController();
    controller->clearObjects();
    auto delegate = controller->delegate().lock();
    if (delegate.get() == static_cast<SLKControllerDelegate*>(this))
        controller->setDelegate({});
    dismissViewControllerAnimatedCompletion(true, nullptr);
}

void KESTARViewController::sharePress()
{
    auto session = cameraAvCaptureSession();
    if (!m_stillImageOutput) {
        m_stillImageOutput = AVCaptureStillImageOutput::init();
        m_stillImageOutput->setOutputSettings(
            Value::dictionary({ { Value(AVVideoCodecKey), Value(AVVideoCodecJPEG) } }));
        if (session && session->canAddOutput(m_stillImageOutput))
            session->addOutput(m_stillImageOutput);
    }
    Ref<AVCaptureConnection> videoConnection;
    for (auto& connection : m_stillImageOutput->connections()) {
        auto& types = connection->inputPortMediaTypes();
        if (std::find(types.begin(), types.end(), AVMediaTypeVideo) != types.end()) {
            videoConnection = connection;
            break;
        }
    }
    if (!videoConnection)
        return;
    Weak<KESTARViewController> weak = self<KESTARViewController>();
    m_stillImageOutput->captureStillImageAsynchronouslyFromConnection(
        videoConnection, [weak](const Ref<CMSampleBuffer>& buffer, const Ref<NSError>&) {
            // A failed capture delivers no picture: nothing to share.
            Value jpeg = AVCaptureStillImageOutput::jpegStillImageNSDataRepresentation(buffer);
            if (jpeg.isNilOrNull())
                return;
            // Drawing views and presenting belong to the main thread.
            dispatch_async(dispatch_get_main_queue(), [weak, jpeg]() {
                if (auto screen = weak.lock())
                    screen->presentShareSheet(jpeg);
            });
        });
}

Ref<UIImage> KESTARViewController::shareImageWithCameraStill(const Ref<UIImage>& decoded)
{
    CGSize cameraSize = cameraView() ? cameraView()->frame().size : view()->bounds().size;
    UIGraphicsBeginImageContext(cameraSize);
    // Status bar orientations 3 and 4 are the landscapes the kit calls left and right; the still
    // is redrawn upright for the first and upside down for the second.
    int32_t orientation = UIApplication::sharedApplication()->statusBarOrientation();
    Ref<UIImage> image = decoded;
    if (orientation == 3)
        image = UIImage::imageWithCGImage(decoded->CGImage(), 1.0f, UIImageOrientationUp);
    else if (orientation == 4)
        image = UIImage::imageWithCGImage(decoded->CGImage(), 1.0f, UIImageOrientationDown);
    image->drawInRect(CGRectMake(0, 0, cameraSize.width, cameraSize.height));
    auto still = UIGraphicsGetImageFromCurrentImageContext();
    UIGraphicsEndImageContext();

    auto logo = UIImage::imageNamed("shareLogo");
    float logoHeight = logo ? logo->size().height : 0;
    float width = view()->bounds().size.width;
    float height = view()->bounds().size.height + logoHeight;
    UIGraphicsBeginImageContextWithOptions(CGSizeMake(width, height), true, UIScreen::mainScreen()->scale());
    if (still)
        still->drawAtPoint(CGPointZero);
    view()->setBackgroundColor(UIColor::clearColor());
    // The camera view is drawn as the still above; the rest of the hierarchy goes over it.
    bool cameraHidden = cameraView() && cameraView()->isHidden();
    if (cameraView())
        cameraView()->setHidden(true);
    view()->drawViewHierarchyInRectAfterScreenUpdates(CGRectMake(0, 0, width, height - logoHeight), true);
    if (cameraView())
        cameraView()->setHidden(cameraHidden);
    view()->setBackgroundColor(UIColor::blackColor());
    auto context = UIGraphicsGetCurrentContext();
    CGContextSetRGBFillColor(context, 1, 1, 1, 1);
    CGContextFillRect(context, CGRectMake(0, height - logoHeight, width, logoHeight));
    if (logo)
        logo->drawAtPoint(CGPointMake(0, height - logoHeight));
    auto shareImage = UIGraphicsGetImageFromCurrentImageContext();
    UIGraphicsEndImageContext();
    return shareImage;
}

void KESTARViewController::presentShareSheet(const Value& jpeg)
{
    auto decoded = UIImage::imageWithData(jpeg);
    if (!decoded)
        return;
    auto shareImage = shareImageWithCameraStill(decoded);
    std::vector<Value> items { Value(std::string(shareText)) };
    if (shareImage)
        items.push_back(Value(Ref<NSObject>(shareImage)));
    items.push_back(Value(std::string(shareLink)));
    auto sheet = UIActivityViewController::initWithActivityItemsApplicationActivities(std::move(items), {});
    sheet->setExcludedActivityTypes({ UIActivityTypePostToWeibo, UIActivityTypeAssignToContact, UIActivityTypePrint,
        UIActivityTypeCopyToPasteboard });
    presentViewControllerAnimatedCompletion(sheet, true, nullptr);
}
