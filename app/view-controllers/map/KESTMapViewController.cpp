// The map screen's construction, life cycle, settings changes, the map's own moves and the user's location.

#include "app/view-controllers/map/KESTMapViewController.h"

#include "app/core/KESTPlane.h"
#include "app/core/KESTSettingsManager.h"
#include "app/core/KESTVolcanoManager.h"
#include "app/view-controllers/map-markers/KESTPlaneAnnotationView.h"
#include "app/view-controllers/map/KESTMapController.h"
#include "app/view-controllers/map/KESTMapViewControllerInternal.h"
#include "foundation/NSBundle.h"
#include "foundation/NSLog.h"
#include "foundation/NSNotification.h"
#include "foundation/NSNotificationCenter.h"
#include "foundation/NSOperationQueue.h"
#include "graphics/CADisplayLink.h"
#include "location/CLLocationManager.h"
#include "uikit/UIAlertView.h"
#include "uikit/UIApplication.h"

using namespace KESTMapViewControllerInternal;

VX_REGISTER_CLASS(KESTMapViewController);

KESTMapViewController::KESTMapViewController(Passkey key)
    : KESTBaseCustomViewController(key)
{
}

KESTMapViewController::~KESTMapViewController()
{
    if (m_displayLink)
        m_displayLink->invalidate();
}

Ref<KESTMapViewController> KESTMapViewController::initWithNibNameBundle(
    const std::string& nibName, const Ref<NSBundle>& bundle)
{
    return makeMapScreen<KESTMapViewController>(nibName, bundle);
}

void KESTMapViewController::initMapScreen()
{
    m_selectedMarker = nullptr;
    m_bottomToolbar = nullptr;
    m_displayLink = nullptr;
    m_mapIsMoving = false;
    m_mapIsVisible = false;
    m_mapWithinZoomThreshold = false;
    m_lastMovePlaneUpdate = 0;
    setMaximumAnnotationThreshold(250);
    setGridOverflowThreshold(5);
    setGridRowCount(6);
    setGridColumnCount(6);
    auto self = protectedSelf();
    m_mapLabelView = KESTMapLabelView::initWithFrame(CGRectZero);
    m_mapLabelView->setDelegate(Weak<KESTMapLabelDelegate>(std::static_pointer_cast<KESTMapLabelDelegate>(self)));
    // The marker views ask the map screen that exists now whether labels are drawn.
    Weak<KESTMapViewController> weak = self;
    KESTPlaneAnnotationView::setZoomThresholdQuery([weak] {
        auto screen = weak.lock();
        return screen && screen->mapWithinZoomThreshold();
    });
    KESTLiveDataManager::sharedInstance()->setDelegate(std::static_pointer_cast<KESTLiveDataManagerDelegate>(self));
}

Ref<KESTMapController> KESTMapViewController::mapController()
{
    return KESTMapController::sharedInstance();
}

// MARK: Life cycle

void KESTMapViewController::viewDidLoad()
{
    KESTBaseCustomViewController::viewDidLoad();
    m_lastVisiblePlaneCount = 0;

    auto center = NSNotificationCenter::defaultCenter();
    auto mainQueue = NSOperationQueue::mainQueue();
    Weak<KESTMapViewController> weak = protectedSelf();
    m_liveDataUpdateNotifier = center->addObserverForName(
        std::string(KESTLiveDataUpdatedNotification), nullptr, mainQueue, [weak](const Ref<NSNotification>& note) {
            if (auto screen = weak.lock())
                screen->handleLiveDataUpdate(note);
        });
    m_settingUpdateNotifier = center->addObserverForName(std::string("com.kestravon.volantrix.setting.updated"),
        nullptr, mainQueue, [weak](const Ref<NSNotification>& note) {
            if (auto screen = weak.lock())
                screen->handleSettingsUpdate(note);
        });
    m_zoomThresholdUpdateNotifier = center->addObserverForName(
        std::string(KESTMapThresholdTriggerNotification), nullptr, mainQueue, [weak](const Ref<NSNotification>& note) {
            if (auto screen = weak.lock())
                screen->handleZoomThresholdUpdate(note);
        });

    auto settings = KESTSettingsManager::sharedInstance();
    mapController()->setMapType(settings->mapType());
    if (auto application = UIApplication::sharedApplication())
        application->setIdleTimerDisabled(!settings->screenSleep());

    if (settings->isHomeSet()) {
        KESTCoordinateRegion home = settings->getRegionForHomeBookmarkLocation();
        mapController()->setMapRegion(MKCoordinateRegionMake({ home.centerLatitude, home.centerLongitude },
            MKCoordinateSpanMake(home.latitudeSpan, home.longitudeSpan)));
        return;
    }
    if (CLLocationManager::locationServicesEnabled()) {
        if (!m_locationManager)
            m_locationManager = CLLocationManager::init();
        m_locationManager->setDelegate(std::static_pointer_cast<CLLocationManagerDelegate>(protectedSelf()));
        m_locationManager->setDesiredAccuracy(kCLLocationAccuracyThreeKilometers);
        m_locationManager->startUpdatingLocation();
    } else if (settings->hasShownIntroView()) {
        showLocationAlert();
    }
    CLAuthorizationStatus status = CLLocationManager::authorizationStatus();
    if (status != kCLAuthorizationStatusAuthorized && status != kCLAuthorizationStatusNotDetermined
        && settings->hasShownIntroView())
        showLocationAlert();
}

void KESTMapViewController::showLocationAlert()
{
    auto alert = UIAlertView::initWithTitle(NSLocalizedString("Alert"),
        NSLocalizedString("Please enable location services or set a bookmark as a home location"), nullptr, {},
        NSLocalizedString("OK"), {});
    alert->show();
}

void KESTMapViewController::viewWillAppear(bool animated)
{
    KESTBaseCustomViewController::viewWillAppear(animated);
    setMapIsVisible(true);
    updateUI();
    setToolbarsVisibleAnimated(true, false);
    if (!KESTSettingsManager::sharedInstance()->hasShownIntroView()) {
        // Without the tour the map still works; the next appearance tries again.
        try {
            showIntroView();
        } catch (...) {
            NSLog("NEGATIVE");
        }
    }
}

void KESTMapViewController::viewDidAppear(bool animated)
{
    KESTBaseCustomViewController::viewDidAppear(animated);
    KESTVolcanoManager::sharedInstance()->checkforOverlay();
}

void KESTMapViewController::viewWillDisappear(bool animated)
{
    KESTBaseCustomViewController::viewWillDisappear(animated);
    setMapIsVisible(false);
}

void KESTMapViewController::didRotateFromInterfaceOrientation(UIInterfaceOrientation orientation)
{
    KESTBaseCustomViewController::didRotateFromInterfaceOrientation(orientation);
    updateAnnotationVisibility();
}

void KESTMapViewController::cleanup()
{
    auto center = NSNotificationCenter::defaultCenter();
    for (auto* token : { &m_liveDataUpdateNotifier, &m_flightPathUpdateNotifier, &m_settingUpdateNotifier,
             &m_volcanoUpdateNotifier, &m_zoomThresholdUpdateNotifier }) {
        if (*token)
            center->removeObserver(*token);
        *token = nullptr;
    }
    stopPlaneUpdateTimer();
}

// MARK: Settings and map movement

void KESTMapViewController::handleSettingsUpdate(const Ref<NSNotification>& note)
{
    Value info = note ? note->userInfo() : Value();
    std::string key = info["settingKey"].stringValue();
    Value newValue = info["newValue"];
    auto facade = mapController();
    if (key == "kShowFlightPaths") {
        if (newValue.boolValue()) {
            if (auto plane = std::dynamic_pointer_cast<KESTPlane>(m_selectedMarker))
                plane->updateFlightPath();
        } else {
            destroyActiveFlightPath();
        }
    } else if (key == "kScreenSleep") {
        if (auto application = UIApplication::sharedApplication())
            application->setIdleTimerDisabled(!newValue.boolValue());
    } else if (key == "kFAAData") {
        KESTLiveDataManager::sharedInstance()->performFullPoll();
    } else if (key == "kMapType") {
        facade->setMapType(newValue.intValue());
    } else if (key == "kShowAirports") {
        updateAnnotationVisibility();
    } else if (key == "kPlaneLabelContent" || key == "kShowPlaneLabels") {
        if (m_mapWithinZoomThreshold)
            redrawVisibleMarkers();
    } else if (key == "kPlaneColour") {
        redrawVisibleMarkers();
    }
}

void KESTMapViewController::handleZoomThresholdUpdate(const Ref<NSNotification>& note)
{
    bool within = note ? note->userInfo()["withinThreshold"].boolValue() : false;
    if (within && !m_displayLink)
        startPlaneUpdateTimer();
    else if (!within && m_displayLink)
        stopPlaneUpdateTimer();
    redrawVisibleMarkers();
}

void KESTMapViewController::mapWillMove()
{
    m_mapIsMoving = true;
}

void KESTMapViewController::mapDidMove()
{
    m_mapIsMoving = false;
    KESTLiveDataManager::sharedInstance()->cacheDeviceUTCTimestamp();
    updateMarkerRotation();
    updateAnnotationVisibility();
    MKMapRect visible = mapController()->visibleMapRectWithPadding(0);
    if (!MKMapRectContainsRect(m_lastDeltaMapRect, visible))
        KESTLiveDataManager::sharedInstance()->performDeltaPoll();
}

void KESTMapViewController::setMapIsVisible(bool visible)
{
    m_mapIsVisible = visible;
    if (m_displayLink)
        m_displayLink->setPaused(!visible);
}

std::optional<KESTMapBounds> KESTMapViewController::currentMapBounds()
{
    return mapController()->currentMapBounds(kDeltaPadding);
}

void KESTMapViewController::locationManagerDidUpdateToLocationFromLocation(
    const Ref<CLLocationManager>& manager, const Ref<CLLocation>& newLocation, const Ref<CLLocation>&)
{
    if (!newLocation)
        return;
    mapController()->setMapRegion(MKCoordinateRegionMake(newLocation->coordinate(), MKCoordinateSpanMake(1.5, 1.5)));
    if (manager)
        manager->stopUpdatingLocation();
}
