#include "app/view-controllers/map/KESTMapViewController.h"

#include "app/core/KESTAirport.h"
#include "app/core/KESTFilterDataManager.h"
#include "app/core/KESTPlane.h"
#include "app/core/KESTSettingsManager.h"
#include "app/core/KESTVolcanoManager.h"
#include "app/view-controllers/ar/KESTARViewController.h"
#include "app/view-controllers/bookmarks/KESTBookmarksViewController.h"
#include "app/view-controllers/charts/KESTChartView.h"
#include "app/view-controllers/detail/KESTAirportViewController.h"
#include "app/view-controllers/detail/KESTDetailViewController.h"
#include "app/view-controllers/filters/KESTFilterCreateViewController.h"
#include "app/view-controllers/filters/KESTFilterViewController.h"
#include "app/view-controllers/intro/KESTIntroViewController.h"
#include "app/view-controllers/map-markers/KESTPlaneAnnotationView.h"
#include "app/view-controllers/map/KESTMapAnnotation.h"
#include "app/view-controllers/map/KESTMapController.h"
#include "app/view-controllers/menu/KESTAppsViewController.h"
#include "app/view-controllers/menu/KESTMenuActivityProvider.h"
#include "app/view-controllers/menu/KESTMenuViewController.h"
#include "app/view-controllers/search/KESTSearchViewController.h"
#include "app/view-controllers/settings/KESTSettingsViewController.h"
#include "app/widgets/BlockAlertView.h"
#include "foundation/Dispatch.h"
#include "foundation/NSBundle.h"
#include "foundation/NSLog.h"
#include "foundation/NSNotification.h"
#include "foundation/NSNotificationCenter.h"
#include "foundation/NSOperationQueue.h"
#include "foundation/NSRunLoop.h"
#include "foundation/NSString.h"
#include "foundation/NSTimer.h"
#include "graphics/CADisplayLink.h"
#include "graphics/UIImage.h"
#include "location/CLLocationManager.h"
#include "mapkit/MKMapView.h"
#include "uikit/UIActivityViewController.h"
#include "uikit/UIAlertView.h"
#include "uikit/UIApplication.h"
#include "uikit/UIBarButtonItem.h"
#include "uikit/UIButton.h"
#include "uikit/UINavigationController.h"
#include "uikit/UINavigationItem.h"
#include "uikit/UIToolbar.h"
#include "uikit/UIWindow.h"

#include <cmath>
#include <unordered_set>

VX_REGISTER_CLASS(KESTMapViewController);

namespace {

constexpr double kDeltaPadding = 100.0;
constexpr uint32_t kFewPlanes = 50;
constexpr size_t kMaximumMovingMarkers = 100;
constexpr double kFullMovePassInterval = 1.0;
constexpr CGFloat kPopoverWidth = 320;
constexpr CGFloat kPopoverHeight = 568;
constexpr CGFloat kToolbarHeight = 44;
constexpr CGSize kMenuPopoverSize { 320, 500 };
constexpr CGSize kListPopoverSize { 320, 568 };

using AnnotationSet = std::unordered_set<const KESTAnnotation*>;

AnnotationSet setOf(const std::vector<Ref<KESTAnnotation>>& list)
{
    AnnotationSet set;
    set.reserve(list.size());
    for (const auto& annotation : list)
        set.insert(annotation.get());
    return set;
}

std::vector<Ref<KESTAnnotation>> backingAnnotationsInRect(MKMapRect rect)
{
    return KESTMapAnnotation::annotationsOf(
        KESTMapController::sharedInstance()->backingMapView()->annotationsInMapRect(rect));
}

bool isPlane(const Ref<KESTAnnotation>& annotation)
{
    return annotation && annotation->isKindOfClass(KESTPlane::classObject());
}
bool isAirport(const Ref<KESTAnnotation>& annotation)
{
    return annotation && annotation->isKindOfClass(KESTAirport::classObject());
}

} // namespace

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

// MARK: Live data to markers

void KESTMapViewController::handleLiveDataUpdate(const Ref<NSNotification>& note)
{
    Value info = note ? note->userInfo() : Value();
    bool delta = info["delta"].boolValue();
    auto facade = mapController();
    bool accept = !delta || facade->zoomLevel() > 4;

    auto shown = KESTMapAnnotation::annotationsOf(facade->annotations());
    auto indexed = KESTMapAnnotation::annotationsOf(facade->backingMapView()->annotations());

    Weak<KESTMapViewController> weak = protectedSelf();
    dispatch_async(dispatch_get_global_queue(DISPATCH_QUEUE_PRIORITY_DEFAULT, 0),
        [weak, delta, accept, shown = std::move(shown), indexed = std::move(indexed)] {
            auto sets = std::make_shared<LiveDataSets>();
            if (accept)
                *sets = computeLiveDataSets(KESTLiveDataManager::sharedInstance()->planeArray(), indexed, shown, delta);
            dispatch_async(dispatch_get_main_queue(), [weak, delta, accept, sets] {
                auto screen = weak.lock();
                if (!screen)
                    return;
                auto facade = screen->mapController();
                if (delta)
                    screen->m_lastDeltaMapRect = facade->visibleMapRectWithPadding(static_cast<float>(kDeltaPadding));
                if (accept) {
                    screen->m_livePlaneCount = sets->planeCount;
                    if (!delta) {
                        facade->removeAnnotations(sets->staleShown);
                        facade->backingMapView()->removeAnnotations(
                            KESTMapAnnotation::mapAnnotationsFor(sets->staleIndexed));
                    }
                    facade->backingMapView()->addAnnotations(KESTMapAnnotation::mapAnnotationsFor(sets->added));
                    screen->updateAnnotationLocations();
                    screen->updateAnnotationVisibility();
                    if (screen->m_mapWithinZoomThreshold)
                        screen->redrawVisibleMarkers();
                }
                screen->selectedPlaneStep();
            });
        });
}

KESTMapViewController::LiveDataSets KESTMapViewController::computeLiveDataSets(
    const std::vector<Ref<KESTPlane>>& planes, const std::vector<Ref<KESTAnnotation>>& indexed,
    const std::vector<Ref<KESTAnnotation>>& shown, bool delta)
{
    LiveDataSets sets;
    sets.planeCount = static_cast<int64_t>(planes.size());
    AnnotationSet indexedSet = setOf(indexed);
    AnnotationSet planeSet;
    planeSet.reserve(planes.size());
    for (const auto& plane : planes) {
        planeSet.insert(plane.get());
        if (!indexedSet.count(plane.get()))
            sets.added.push_back(plane);
    }
    if (delta)
        return sets;
    for (const auto& annotation : indexed) {
        if (isPlane(annotation) && !planeSet.count(annotation.get()))
            sets.staleIndexed.push_back(annotation);
    }
    for (const auto& annotation : shown) {
        if (isPlane(annotation) && !planeSet.count(annotation.get()))
            sets.staleShown.push_back(annotation);
    }
    return sets;
}

Value KESTMapViewController::gridAnnotationsInRectIntoColumnsAndRowsWithThresholdAtZoomLevel(
    const std::vector<Ref<KESTAnnotation>>& candidates, MKMapRect rect, uint32_t columns, uint32_t rows, uint32_t,
    float zoomLevel, bool showAirports)
{
    size_t cells = static_cast<size_t>(columns) * rows;
    std::vector<MKMapRect> cellRects;
    cellRects.reserve(cells);
    double cellWidth = columns ? rect.size.width / columns : 0;
    double cellHeight = rows ? rect.size.height / rows : 0;
    for (uint32_t row = 0; row < rows; ++row) {
        for (uint32_t column = 0; column < columns; ++column) {
            MKMapRect cell = MKMapRectMake(rect.origin.x, rect.origin.y, cellWidth, cellHeight);
            cellRects.push_back(MKMapRectOffset(cell, column * cellWidth, row * cellHeight));
        }
    }
    std::vector<std::vector<Value>> shownLists(cells), hiddenLists(cells);
    int64_t totalVisible = 0;
    std::vector<Value> invalid;
    bool airportsHidden = !showAirports || zoomLevel <= 4.0f;

    for (const auto& candidate : candidates) {
        KESTMapPoint point = candidate->mapPoint();
        MKMapPoint mapPoint { point.x, point.y };
        size_t index = cells;
        for (size_t i = 0; i < cells; ++i) {
            if (MKMapRectContainsPoint(cellRects[i], mapPoint)) {
                index = i;
                break;
            }
        }
        if (index == cells)
            continue;
        if (airportsHidden && isAirport(candidate)) {
            if (candidate->addedAsAnnotation())
                invalid.push_back(Value(Ref<NSObject>(candidate)));
            continue;
        }
        if (candidate->addedAsAnnotation()) {
            shownLists[index].push_back(Value(Ref<NSObject>(candidate)));
            ++totalVisible;
        } else {
            hiddenLists[index].push_back(Value(Ref<NSObject>(candidate)));
        }
    }

    std::vector<Value> grids;
    grids.reserve(cells);
    for (size_t i = 0; i < cells; ++i)
        grids.push_back(
            Value::array({ Value::array(std::move(shownLists[i])), Value::array(std::move(hiddenLists[i])) }));
    std::vector<Value> all;
    all.reserve(candidates.size());
    for (const auto& candidate : candidates)
        all.push_back(Value(Ref<NSObject>(candidate)));
    return Value::dictionary({
        { Value("totalVisible"), Value(totalVisible) },
        { Value("annotations"), Value::array(std::move(all)) },
        { Value("invalidAnnotations"), Value::array(std::move(invalid)) },
        { Value("grids"), Value::array(std::move(grids)) },
    });
}

KESTMapViewController::BudgetResult KESTMapViewController::computeMarkerBudget(const BudgetInput& input)
{
    Value grid = gridAnnotationsInRectIntoColumnsAndRowsWithThresholdAtZoomLevel(
        input.candidates, input.visible, input.columns, input.rows, input.budget, input.zoom, input.showAirports);
    auto annotationOf
        = [](const Value& value) { return std::static_pointer_cast<KESTAnnotation>(value.objectValue()); };

    BudgetResult result;
    AnnotationSet candidateSet = setOf(input.candidates);
    for (const auto& marker : input.shown) {
        if (!candidateSet.count(marker.get()))
            result.toRemove.push_back(marker);
    }
    Value invalid = grid["invalidAnnotations"];
    for (size_t i = 0; i < invalid.count(); ++i)
        result.toRemove.push_back(annotationOf(invalid[i]));

    uint32_t n = static_cast<uint32_t>(input.candidates.size());
    uint32_t budget = input.budget;
    if (n > budget) {
        int32_t remaining = static_cast<int32_t>(budget) - static_cast<int32_t>(grid["totalVisible"].intValue());
        Value cells = grid["grids"];
        for (size_t c = 0; c < cells.count(); ++c) {
            if (remaining == 0)
                continue;
            Value shownList = cells[c][0];
            Value hiddenList = cells[c][1];
            int32_t s = static_cast<int32_t>(shownList.count());
            int32_t h = static_cast<int32_t>(hiddenList.count());
            int32_t fairShare = static_cast<int32_t>(std::ceil(static_cast<double>(s + h) / n * budget));
            int32_t slots = fairShare - s;
            if (slots >= 1) {
                int32_t appended = 0;
                for (size_t i = 0; i < hiddenList.count(); ++i) {
                    auto marker = annotationOf(hiddenList[i]);
                    marker->updateLocationLazily();
                    result.toAdd.push_back(marker);
                    if (++appended > slots)
                        break;
                }
            } else if (slots < -static_cast<int32_t>(input.overflow)) {
                int32_t appended = 0;
                for (size_t i = 0; i < shownList.count(); ++i) {
                    result.toRemove.push_back(annotationOf(shownList[i]));
                    if (++appended > -slots)
                        break;
                }
                remaining += appended;
            }
        }
    } else {
        bool airportsHidden = !input.showAirports || input.zoom <= 4.0f;
        for (const auto& candidate : input.candidates) {
            if (airportsHidden && candidate->isMemberOfClass(KESTAirport::classObject()))
                continue;
            result.toAdd.push_back(candidate);
        }
    }
    if (input.selected) {
        std::erase_if(result.toRemove, [&](const Ref<KESTAnnotation>& marker) { return marker == input.selected; });
    }
    return result;
}

void KESTMapViewController::updateAnnotationVisibility()
{
    auto facade = mapController();
    auto settings = KESTSettingsManager::sharedInstance();
    BudgetInput input;
    input.visible = facade->visibleMapRectWithPadding(0);
    input.zoom = static_cast<float>(facade->zoomLevel());
    input.candidates = backingAnnotationsInRect(input.visible);
    input.shown = facade->customAnnotations();
    input.showAirports = settings->showAirports();
    input.columns = m_gridColumnCount;
    input.rows = m_gridRowCount;
    input.budget = m_maximumAnnotationThreshold;
    input.overflow = m_gridOverflowThreshold;
    input.selected = m_selectedMarker;

    Weak<KESTMapViewController> weak = protectedSelf();
    dispatch_async(dispatch_get_global_queue(DISPATCH_QUEUE_PRIORITY_HIGH, 0), [weak, input = std::move(input)] {
        auto result = std::make_shared<BudgetResult>(computeMarkerBudget(input));
        dispatch_async(dispatch_get_main_queue(), [weak, result] {
            if (auto screen = weak.lock())
                screen->applyBudget(*result);
        });
    });
}

void KESTMapViewController::applyBudget(const BudgetResult& result)
{
    auto facade = mapController();
    uint32_t planesInView = 0;
    for (const auto& annotation : backingAnnotationsInRect(facade->visibleMapRectWithPadding(0))) {
        if (isPlane(annotation))
            ++planesInView;
    }
    if (m_mapLabelView) {
        int64_t total = m_livePlaneCount;
        m_mapLabelView->setCount(NSString::stringWithFormat(
            NSLocalizedString("%d of %d visible"), static_cast<int32_t>(planesInView), static_cast<int32_t>(total)));
    }
    facade->removeAnnotations(result.toRemove);
    facade->addAnnotations(result.toAdd);
    updateAnnotationZoomTriggerWithPlaneCount(planesInView);
}

void KESTMapViewController::updateAnnotationZoomTriggerWithPlaneCount(uint32_t count)
{
    bool old = m_mapWithinZoomThreshold;
    bool within = static_cast<float>(mapController()->zoomLevel()) > 4.0f;
    if (count <= kFewPlanes)
        within = true;
    m_mapWithinZoomThreshold = within;
    if (within != old) {
        Value info = Value::dictionary({ { Value("withinThreshold"), Value(within) } });
        NSNotificationCenter::defaultCenter()->postNotificationName(KESTMapThresholdTriggerNotification, nullptr, info);
    }
}

// MARK: Movement and redraw

void KESTMapViewController::startPlaneUpdateTimer()
{
    if (m_displayLink)
        return;
    // The link's target is a token rather than the screen, so a running link never keeps a
    // screen alive; the screen's destructor invalidates it.
    m_displayLink = CADisplayLink::displayLinkWithTargetSelector(
        NSObject::init(), [weak = Weak<KESTMapViewController>(protectedSelf())](const Ref<CADisplayLink>&) {
            if (auto screen = weak.lock())
                screen->movePlanes();
        });
    m_displayLink->setFrameInterval(2);
    m_displayLink->setPaused(!m_mapIsVisible);
    m_displayLink->addToRunLoopForMode(NSRunLoop::mainRunLoop(), NSRunLoopCommonModes);
}

void KESTMapViewController::stopPlaneUpdateTimer()
{
    if (m_displayLink)
        m_displayLink->invalidate();
    m_displayLink = nullptr;
    if (m_planeupdateTimer)
        m_planeupdateTimer->invalidate();
    m_planeupdateTimer = nullptr;
}

void KESTMapViewController::movePlanes()
{
    if (!KESTSettingsManager::sharedInstance()->movePlanes() || m_mapIsMoving)
        return;
    auto facade = mapController();
    auto markers = facade->customAnnotations();
    if (markers.size() > kMaximumMovingMarkers)
        return;
    KESTLiveDataManager::sharedInstance()->cacheDeviceUTCTimestamp();
    double timestamp = m_displayLink ? m_displayLink->timestamp() : 0;
    if (timestamp - m_lastMovePlaneUpdate > kFullMovePassInterval) {
        auto inView = backingAnnotationsInRect(facade->visibleMapRectWithPadding(0));
        auto around = backingAnnotationsInRect(facade->visibleMapRectWithPadding(static_cast<float>(kDeltaPadding)));
        for (const auto& annotation : around) {
            if (annotation->addedAsAnnotation())
                annotation->updateLocationImmediately();
        }
        for (const auto& annotation : around) {
            if (!annotation->addedAsAnnotation())
                annotation->updateLocationLazily();
        }
        if (static_cast<int32_t>(inView.size()) != m_lastVisiblePlaneCount)
            updateAnnotationVisibility();
        m_lastVisiblePlaneCount = static_cast<int32_t>(inView.size());
        m_lastMovePlaneUpdate = timestamp;
        if (m_mapViewPOC && m_mapViewPOC->isPopoverVisible() && m_activePlaneDetailVC) {
            if (m_selectedMarker)
                presentPopoverForViewControllerAnchoredToAnnotationAnimated(
                    m_mapViewPOC->contentViewController(), m_selectedMarker, false);
            else
                m_mapViewPOC->dismissPopoverAnimated(true);
        }
        return;
    }
    for (const auto& marker : markers)
        marker->updateLocationImmediately();
}

void KESTMapViewController::updateAnnotationLocations()
{
    auto facade = mapController();
    auto around = backingAnnotationsInRect(facade->visibleMapRectWithPadding(static_cast<float>(kDeltaPadding)));
    KESTLiveDataManager::sharedInstance()->cacheDeviceUTCTimestamp();
    dispatch_async(dispatch_get_global_queue(DISPATCH_QUEUE_PRIORITY_HIGH, 0), [around = std::move(around)] {
        for (const auto& annotation : around)
            annotation->updateLocationLazily();
        // The views are touched on the main queue only, in the same order.
        dispatch_async(dispatch_get_main_queue(), [around] {
            auto map = KESTMapController::sharedInstance()->appleMapView();
            if (!map)
                return;
            for (const auto& annotation : around) {
                if (!annotation->requiresRedraw())
                    continue;
                auto view = map->viewForAnnotation(KESTMapAnnotation::forAnnotation(annotation));
                if (auto planeView = std::dynamic_pointer_cast<KESTPlaneAnnotationView>(view))
                    planeView->setNeedsDisplay();
            }
        });
    });
}

void KESTMapViewController::redrawVisibleMarkers()
{
    auto map = mapController()->appleMapView();
    if (!map)
        return;
    for (const auto& annotation : map->annotations()) {
        if (!KESTMapAnnotation::annotationOf(annotation))
            continue;
        if (auto view = map->viewForAnnotation(annotation))
            view->setNeedsDisplay();
    }
}

void KESTMapViewController::updateMarkerRotation()
{
    auto facade = mapController();
    double bearing = facade->mapBearing();
    if (facade->previousMapBearing() != bearing)
        redrawVisibleMarkers();
    facade->setPreviousMapBearing(bearing);
}

// MARK: Selection, detail popover and following

void KESTMapViewController::selectAnnotationMakeVisible(const Ref<KESTPlane>& plane, bool makeVisible)
{
    selectAnnotationMakeVisible(std::static_pointer_cast<KESTAnnotation>(plane), makeVisible);
}

void KESTMapViewController::selectAnnotationMakeVisible(const Ref<KESTAnnotation>& annotation, bool makeVisible)
{
    if (m_selectedMarker)
        deselectAnnotation(m_selectedMarker);
    m_selectedMarker = annotation;
    if (!annotation)
        return;
    auto facade = mapController();
    if (makeVisible) {
        annotation->updateLocationImmediately();
        if (!annotation->addedAsAnnotation())
            facade->addAnnotation(annotation);
        if (auto map = facade->appleMapView()) {
            KESTLocation location = annotation->coordinate();
            CLLocationCoordinate2D coordinate { location.latitude, location.longitude };
            map->setRegionAnimated(MKCoordinateRegionMake(coordinate, MKCoordinateSpanMake(1.0, 1.0)), false);
            map->setCenterCoordinate(coordinate);
            map->setSelectedAnnotations({ KESTMapAnnotation::forAnnotation(annotation) });
        }
    }
    if (KESTSettingsManager::sharedInstance()->showFlightPaths()) {
        if (auto plane = std::dynamic_pointer_cast<KESTPlane>(annotation))
            plane->updateFlightPath();
    }
}

void KESTMapViewController::deselectAnnotation(const Ref<KESTAnnotation>&)
{
    destroyActiveFlightPath();
    m_selectedMarker = nullptr;
}

void KESTMapViewController::destroyActiveFlightPath()
{
    if (!m_activeFlightPath)
        return;
    if (auto map = mapController()->appleMapView())
        map->removeOverlay(m_activeFlightPath);
    m_activeFlightPath = nullptr;
}

void KESTMapViewController::selectedPlaneStep()
{
    auto plane = std::dynamic_pointer_cast<KESTPlane>(m_selectedMarker);
    if (!plane)
        return;
    plane->updateTitleAndSubtitle();
    plane->updateFlightPath();
    // Setting the texts again makes an open callout show them.
    KESTMapAnnotation::forAnnotation(plane)->textsDidChange();
    if (KESTSettingsManager::sharedInstance()->followPlane()) {
        KESTLocation location = plane->coordinate();
        mapController()->setCenterCoordinateAnimated({ location.latitude, location.longitude }, true);
    }
}

void KESTMapViewController::showDetailScreenForAnnotation(const Ref<KESTAnnotation>& annotation)
{
    if (auto airport = std::dynamic_pointer_cast<KESTAirport>(annotation)) {
        auto board = KESTAirportViewController::initWithAirport(airport);
        board->setDelegate(std::static_pointer_cast<KESTSearchDelegate>(protectedSelf()));
        presentPopoverForViewControllerAnchoredToAnnotationAnimated(
            UINavigationController::initWithRootViewController(board), annotation, true);
        return;
    }
    auto plane = std::dynamic_pointer_cast<KESTPlane>(annotation);
    if (!plane)
        return;
    auto detail = KESTDetailViewController::initWithPlane(plane);
    detail->setManagedObjectContext(m_managedObjectContext);
    detail->setMapSnapshot(mapController()->mapSnapshot());
    auto navigation = UINavigationController::initWithRootViewController(detail);
    presentPopoverForViewControllerAnchoredToAnnotationAnimated(navigation, annotation, true);
    m_activePlaneDetailVC = detail;
}

void KESTMapViewController::presentPopoverForViewControllerAnchoredToAnnotationAnimated(
    const Ref<UIViewController>& content, const Ref<KESTAnnotation>& annotation, bool animated)
{
    auto map = mapController()->appleMapView();
    if (!map || !annotation)
        return;
    KESTLocation location = annotation->coordinate();
    CGPoint point = map->convertCoordinateToPointToView({ location.latitude, location.longitude }, map);
    CGRect anchor = CGRectMake(point.x - 20, point.y - 20, 40, 40);
    UIPopoverArrowDirection arrow = point.x + kPopoverWidth < map->bounds().size.width - 15
        ? UIPopoverArrowDirectionLeft
        : UIPopoverArrowDirectionRight;
    if (!m_mapViewPOC) {
        m_mapViewPOC = UIPopoverController::initWithContentViewController(content);
        m_mapViewPOC->setPopoverContentSize(CGSizeMake(kPopoverWidth, kPopoverHeight));
        m_mapViewPOC->setDelegate(this, protectedSelf());
    }
    m_mapViewPOC->presentPopoverFromRectInViewPermittedArrowDirectionsAnimated(anchor, map, arrow, animated);
}

void KESTMapViewController::dismissMapPopover()
{
    if (m_mapViewPOC)
        m_mapViewPOC->dismissPopoverAnimated(true);
}

void KESTMapViewController::popoverControllerDidDismissPopover(const Ref<UIPopoverController>& popover)
{
    if (popover && popover == m_mapViewPOC) {
        m_mapViewPOC = nullptr;
        if (m_activePlaneDetailVC) {
            m_activePlaneDetailVC->cleanup();
            m_activePlaneDetailVC = nullptr;
        }
    } else if (popover && popover == m_poc) {
        m_poc = nullptr;
        updateUI();
    }
}

// MARK: Bars

namespace {

// A 30 x 30 system button with the image, firing `action` on touch-up-inside.
Ref<UIButton> barButton(const std::string& imageName, const Ref<NSObject>& target, const std::string& actionName,
    std::function<void(const Ref<UIControl>&)> action)
{
    auto button = UIButton::buttonWithType(UIButtonTypeSystem);
    button->setFrame(CGRectMake(0, 0, 30, 30));
    button->setImageForState(UIImage::imageNamed(imageName), UIControlStateNormal);
    button->setAdjustsImageWhenHighlighted(false);
    button->addTargetActionForControlEvents(
        target, actionName,
        [action = std::move(action)](const Ref<UIControl>& sender, const Ref<UIEvent>&) { action(sender); },
        UIControlEventTouchUpInside);
    return button;
}

} // namespace

void KESTMapViewController::updateUI()
{
    if (!m_bottomToolbar) {
        auto container = view();
        CGRect bounds = container->bounds();
        m_bottomToolbar
            = UIToolbar::initWithFrame(CGRectMake(0, bounds.size.height, bounds.size.width, kToolbarHeight));
        m_bottomToolbar->setAutoresizingMask(UIViewAutoresizing(10));
        container->addSubview(m_bottomToolbar);

        auto self = protectedSelf();
        m_bottomToolbar->setDelegate(this, self);
        Weak<KESTMapViewController> weak = self;

        m_searchBar = UISearchBar::initWithFrame(CGRectMake(0, 0, 200, 44));
        m_searchBar->setPlaceholder(NSLocalizedString("Search"));
        m_searchBar->setDelegate(this, self);
        m_searchBar->setSearchBarStyle(UISearchBarStyleMinimal);
        m_searchBar->setAutoresizingMask(UIViewAutoresizingFlexibleWidth);
        m_searchBar->setImageForSearchBarIconState(
            UIImage::imageNamed("transparent"), UISearchBarIconResultsList, UIControlStateNormal);

        m_searchVC = KESTSearchViewController::initWithNibNameBundle({}, nullptr);
        m_searchController = UISearchDisplayController::initWithSearchBarContentsController(m_searchBar, m_searchVC);
        m_searchController->setDelegate(this, self);
        m_searchController->setSearchResultsDataSource(m_searchVC.get(), m_searchVC);
        m_searchController->setSearchResultsDelegate(m_searchVC.get(), m_searchVC);
        m_searchVC->setSearchController(m_searchController);
        m_searchVC->setDelegate(std::static_pointer_cast<KESTSearchDelegate>(self));

        auto menu = barButton("menuListMenu", self, "showMenu:", [weak](const Ref<UIControl>& sender) {
            if (auto screen = weak.lock())
                screen->showMenu(sender);
        });
        auto bookmarks = barButton("bookmarksListMenu", self, "showBookmarks:", [weak](const Ref<UIControl>& sender) {
            if (auto screen = weak.lock())
                screen->showBookmarks(sender);
        });
        m_menuBarButtonItem = UIBarButtonItem::initWithCustomView(menu);
        m_bookmarksBarButtonItem = UIBarButtonItem::initWithCustomView(bookmarks);
        auto item = navigationItem();
        item->setLeftBarButtonItem(m_menuBarButtonItem);
        item->setRightBarButtonItem(m_bookmarksBarButtonItem);
        item->setTitleView(m_searchBar);

        auto location = barButton("locationListMenu", self, "toggleUserLocation", [weak](const Ref<UIControl>&) {
            if (auto screen = weak.lock())
                screen->toggleUserLocation();
        });
        auto ar = barButton("arListMenu", self, "showAR", [weak](const Ref<UIControl>&) {
            if (auto screen = weak.lock())
                screen->showAR();
        });
        m_filterButton = barButton("filterListMenu", self, "showFilters:", [weak](const Ref<UIControl>& sender) {
            if (auto screen = weak.lock())
                screen->showFilters(sender);
        });
        m_arBarButtonItem = UIBarButtonItem::initWithCustomView(ar);
        m_filterBarButtonItem = UIBarButtonItem::initWithCustomView(m_filterButton);
        auto settings = UIBarButtonItem::initWithImageStyleTargetAction(UIImage::imageNamed("settingsListMenu"),
            UIBarButtonItemStylePlain, self, [weak](const Ref<UIBarButtonItem>& sender) {
                if (auto screen = weak.lock())
                    screen->showSettings(sender);
            });
        auto flexible = [&] {
            return UIBarButtonItem::initWithBarButtonSystemItemTargetAction(
                UIBarButtonSystemItemFlexibleSpace, nullptr, nullptr);
        };
        m_bottomToolbar->setItemsAnimated(
            { UIBarButtonItem::initWithCustomView(location), flexible(), m_arBarButtonItem, flexible(),
                m_filterBarButtonItem, flexible(), settings },
            false);
    }
    // The filter badge shows the number of active filters.
    if (m_filterButton)
        m_filterButton->setImageForState(
            KESTFilterDataManager::sharedInstance()->filterIconWithBadge(), UIControlStateNormal);
    if (m_mapLabelView)
        m_mapLabelView->setMessage(std::nullopt);
}

void KESTMapViewController::showAR()
{
    auto navigation = UINavigationController::initWithRootViewController(KESTARViewController::init());
    navigation->setNavigationBarHidden(true);
    presentViewControllerAnimatedCompletion(navigation, true, nullptr);
}

CGRect KESTMapViewController::anchorForSender(const Ref<UIView>& sender)
{
    if (!sender)
        return CGRectZero;
    CGRect frame = sender->frame();
    CGPoint origin = frame.origin;
    if (auto superview = sender->superview()) {
        CGPoint inWindow = superview->convertPointToView(origin, nullptr);
        origin = view()->convertPointFromView(inWindow, nullptr);
    }
    return CGRectMake(origin.x, origin.y, frame.size.width, frame.size.height);
}

void KESTMapViewController::presentBarPopover(
    const Ref<UIViewController>& content, CGSize size, CGRect anchor, bool withDelegate)
{
    if (m_poc)
        m_poc->dismissPopoverAnimated(true);
    m_poc = UIPopoverController::initWithContentViewController(content);
    m_poc->setPopoverContentSize(size);
    if (withDelegate)
        m_poc->setDelegate(this, protectedSelf());
    m_poc->presentPopoverFromRectInViewPermittedArrowDirectionsAnimated(
        anchor, view(), UIPopoverArrowDirectionAny, true);
}

void KESTMapViewController::showMenu(const Ref<UIView>& sender)
{
    auto menu = KESTMenuViewController::initWithNibNameBundle({}, nullptr);
    menu->setManagedObjectContext(m_managedObjectContext);
    presentBarPopover(
        UINavigationController::initWithRootViewController(menu), kMenuPopoverSize, anchorForSender(sender), true);
}

void KESTMapViewController::showBookmarks(const Ref<UIView>& sender)
{
    auto bookmarks = KESTBookmarksViewController::init();
    bookmarks->setManagedObjectContext(m_managedObjectContext);
    presentBarPopover(UINavigationController::initWithRootViewController(bookmarks), kMenuPopoverSize,
        anchorForSender(sender), false);
}

void KESTMapViewController::showFilters(const Ref<UIView>& sender)
{
    auto filters = KESTFilterViewController::init();
    filters->setManagedObjectContext(m_managedObjectContext);
    auto navigation = UINavigationController::initWithRootViewController(filters);
    // With no filter at all, active or not, the editor opens on top of the (empty) list.
    Value stored = KESTFilterDataManager::sharedInstance()->filtersIncludingInactive(true);
    if (!stored.isArray() || stored.count() == 0) {
        auto editor = KESTFilterCreateViewController::init();
        editor->setManagedObjectContext(m_managedObjectContext);
        navigation->pushViewControllerAnimated(editor, false);
    }
    presentBarPopover(navigation, kListPopoverSize, anchorForSender(sender), false);
}

void KESTMapViewController::showSettings(const Ref<UIBarButtonItem>& sender)
{
    auto navigation = UINavigationController::initWithRootViewController(
        KESTSettingsViewController::initWithStyle(UITableViewStyle(0)));
    // Anchored to the settings item of the bottom toolbar.
    CGRect anchor = CGRectZero;
    if (m_bottomToolbar) {
        CGRect item = m_bottomToolbar->frameForItem(sender);
        if (CGRectIsEmpty(item)) {
            CGRect bar = m_bottomToolbar->bounds();
            item = CGRectMake(bar.size.width - 44, 0, 44, bar.size.height);
        }
        anchor = m_bottomToolbar->convertRectToView(item, view());
    }
    presentBarPopover(navigation, kListPopoverSize, anchor, false);
}

void KESTMapViewController::showKESTApps()
{
    auto navigation = UINavigationController::initWithRootViewController(KESTAppsViewController::init());
    navigation->setModalPresentationStyle(UIModalPresentationFormSheet);
    presentViewControllerAnimatedCompletion(navigation, true, nullptr);
}

void KESTMapViewController::showIntroView()
{
    auto intro = KESTIntroViewController::initWithNibNameBundle({}, nullptr);
    auto customView = [](const Ref<UIBarButtonItem>& item) { return item ? item->customView() : nullptr; };
    struct Page {
        const char* title;
        const char* text;
        const char* icon;
        Ref<UIView> view;
    };
    const Page pages[] = {
        { "Volantrix 7.0\nDesigned for iOS 7", "Swipe to view highlight tour", "tour1", nullptr },
        { "Quick Access Toolbars", "Tap map to toggle between full screen map and toolbars", "tour2", nullptr },
        { "Flyout Menu", "Gives you faster access to features", "tour3", customView(m_menuBarButtonItem) },
        { "Augmented Reality", "Volantrix AR is now built in", "tour4", customView(m_arBarButtonItem) },
        { "New Filters", "Powerful new filters (and you can save as many as you like!)", "tour5",
            customView(m_filterBarButtonItem) },
        { "Search", "Quickly find flight numbers, locations, airports, airlines and aircraft", "tour6", m_searchBar },
        { "Bookmarks", "Add and browse saved locations around the globe.", "tour7",
            customView(m_bookmarksBarButtonItem) },
    };
    std::vector<Ref<UIView>> views;
    for (const auto& page : pages)
        views.push_back(intro->pageTemplateWithTitleContentIconAndView(
            NSLocalizedString(page.title), NSLocalizedString(page.text), UIImage::imageNamed(page.icon), page.view));
    intro->setPages(std::move(views));

    // Over the root container: its view is the key window's first subview.
    auto application = UIApplication::sharedApplication();
    auto window = application ? application->keyWindow() : nullptr;
    if (window && !window->subviews().empty())
        window->subviews().front()->addSubview(intro->view());
    auto navigation = parentViewController();
    if (auto root = navigation ? navigation->parentViewController() : nullptr) {
        root->addChildViewController(intro);
        intro->didMoveToParentViewController(root);
    }
    intro->beginIntroWithCompletionHandler(
        [] { KESTSettingsManager::sharedInstance()->setValueForSetting(Value(true), "kHasShownIntroView"); });
}

void KESTMapViewController::showShareOptions()
{
    auto provider = KESTMenuActivityProvider::init();
    if (auto plane = std::dynamic_pointer_cast<KESTPlane>(m_selectedMarker))
        provider->setPlane(plane);
    std::vector<Value> items { Value::object(provider) };
    if (auto snapshot = mapController()->mapSnapshot())
        items.push_back(Value::object(snapshot));
    items.push_back(Value(std::string(kShareURL)));
    auto sheet = UIActivityViewController::initWithActivityItemsApplicationActivities(std::move(items), {});
    sheet->setExcludedActivityTypes({ UIActivityTypePostToWeibo, UIActivityTypeAssignToContact, UIActivityTypePrint,
        UIActivityTypeCopyToPasteboard });
    presentViewControllerAnimatedCompletion(sheet, true, nullptr);
}

void KESTMapViewController::toggleToolbarVisibility()
{
    setToolbarsVisibleAnimated(!m_toolbarsVisible, true);
}

void KESTMapViewController::setToolbarsVisibleAnimated(bool visible, bool animated)
{
    m_toolbarsVisible = visible;
    Weak<KESTMapViewController> weak = protectedSelf();
    auto changes = [weak, visible, animated] {
        auto screen = weak.lock();
        if (!screen)
            return;
        screen->setNeedsStatusBarAppearanceUpdate();
        if (auto navigation = screen->navigationController())
            navigation->setNavigationBarHiddenAnimated(!visible, animated);
        if (auto toolbar = screen->m_bottomToolbar) {
            CGRect super = toolbar->superview() ? toolbar->superview()->bounds() : CGRectZero;
            CGFloat y = visible ? super.size.height - kToolbarHeight : super.size.height;
            toolbar->setFrame(CGRectMake(0, y, super.size.width, kToolbarHeight));
        }
        screen->positionMapWarningLabel();
    };
    if (animated)
        UIView::animateWithDurationDelayOptions(0.25, 0, UIViewAnimationOptions(2), changes, nullptr);
    else
        changes();
    if (!visible) {
        if (isViewLoaded())
            view()->endEditing(true);
        // The search field sits in the navigation bar, outside this screen's view.
        if (m_searchBar)
            m_searchBar->endEditing(true);
    }
}

void KESTMapViewController::positionMapWarningLabel()
{
    if (!m_mapLabelView || !m_bottomToolbar)
        return;
    CGRect frame = m_mapLabelView->frame();
    frame.origin.y = m_bottomToolbar->frame().origin.y - frame.size.height - 8;
    m_mapLabelView->setFrame(frame);
}

void KESTMapViewController::mapLabelViewDidUpdate(const Ref<KESTMapLabelView>&)
{
    positionMapWarningLabel();
}

void KESTMapViewController::toggleUserLocation()
{
    mapController()->toggleUserLocation();
}

void KESTMapViewController::chartAlert(const std::string& text)
{
    auto alert = BlockAlertView::initWithTitleMessageCancelButtonTitleOtherButtonTitles(NSLocalizedString("Message"),
        NSLocalizedString(text), NSLocalizedString("Cancel"), { NSLocalizedString("OK") });
    Weak<KESTMapViewController> weak = protectedSelf();
    alert->showWithDismissHandler([weak](int32_t, bool isCancel) {
        auto screen = weak.lock();
        if (!screen || isCancel)
            return;
        auto charts = UINavigationController::initWithRootViewController(KESTChartView::init());
        screen->presentViewControllerAnimatedCompletion(charts, true, nullptr);
    });
}

// MARK: Search

void KESTMapViewController::searchBarTextDidChange(const Ref<UISearchBar>& searchBar, const std::string&)
{
    if (m_searchTimer) {
        m_searchTimer->invalidate();
        m_searchTimer = nullptr;
    }
    m_searchTimer = NSTimer::scheduledTimerWithTimeIntervalTargetSelectorUserInfoRepeats(
        kSearchDelay, protectedSelf(), &KESTMapViewController::executeSearch, Value::object(searchBar), false);
}

void KESTMapViewController::executeSearch(const Ref<NSTimer>& timer)
{
    if (timer == m_searchTimer)
        m_searchTimer = nullptr;
    auto searchBar = timer ? timer->userInfo().objectAs<UISearchBar>() : nullptr;
    if (searchBar && m_searchVC)
        m_searchVC->performSearchWithPhrase(searchBar->text());
}

void KESTMapViewController::cancelSearch()
{
    if (m_searchController)
        m_searchController->setActiveAnimated(false, true);
}

void KESTMapViewController::searchDisplayControllerWillShowSearchResultsTableView(
    const Ref<UISearchDisplayController>&, const Ref<UITableView>& tableView)
{
    if (!tableView)
        return;
    tableView->setContentInset(UIEdgeInsetsZero);
    tableView->setScrollIndicatorInsets(UIEdgeInsetsZero);
}
