#include "app/view-controllers/map/KESTAppleMapViewController.h"

#include "app/categories/MKMapView+ZoomLevel.h"
#include "app/core/KESTFilterDataManager.h"
#include "app/core/KESTPlane.h"
#include "app/core/KESTSettingsManager.h"
#include "app/overlays/KESTFlightPathOverlay.h"
#include "app/tests/map/MapTestSupport.h"
#include "app/view-controllers/airport/KESTAirportViewController.h"
#include "app/view-controllers/ar/KESTARViewController.h"
#include "app/view-controllers/detail/KESTDetailViewController.h"
#include "app/view-controllers/map-markers/KESTMapLabelView.h"
#include "app/view-controllers/map-markers/KESTPlaneAnnotationView.h"
#include "app/view-controllers/map-markers/KESTPlaneLabelView.h"
#include "app/view-controllers/map/KESTMapAnnotation.h"
#include "app/view-controllers/map/KESTMapContainerViewController.h"
#include "foundation/NSJSONSerialization.h"
#include "foundation/NSNotification.h"
#include "foundation/NSNotificationCenter.h"
#include "foundation/NSPredicate.h"
#include "foundation/NSString.h"
#include "graphics/CADisplayLink.h"
#include "graphics/UIGraphics.h"
#include "mapkit/MKMapView.h"
#include "testing/URLStubs.h"
#include "uikit/UIApplicationHost.h"
#include "uikit/UIBarButtonItem.h"
#include "uikit/UIKeyboard.h"
#include "uikit/UILabel.h"
#include "uikit/UINavigationController.h"
#include "uikit/UISearchBar.h"
#include "uikit/UISearchDisplayController.h"
#include "uikit/UIToolbar.h"
#include "uikit/UIWindow.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace {

constexpr double kWorldMid = 134217728.0;

// An airport whose projected point is `point` (airports keep still, so grids can be laid out
// by map point).
Ref<KESTAnnotation> markerAt(MKMapPoint point)
{
    CLLocationCoordinate2D coordinate = MKCoordinateForMapPoint(point);
    return makeAirport("KXYZ", coordinate.latitude, coordinate.longitude);
}

using Budget = KESTMapViewController;

} // namespace

// The visible rect is cut into two cells side by side; each cell holds `shown` markers already
// on the map and `hidden` ones that are not.
TEST(KESTMapViewControllerMarkerBudget, SpreadsTheBudgetOverTheGridCells)
{
    struct Cell {
        int shown, hidden;
    };
    struct Case {
        const char* name;
        uint32_t budget;
        Cell cells[2];
        int added[2];
        int removed[2];
    };
    const Case cases[] = {
        // 32 candidates, budget 16: cell 0 is 6 above its fair share of 6 and loses 7; cell 1 gains
        // its share of 10 plus one.
        { "six above the share loses seven", 16, { { 12, 0 }, { 0, 20 } }, { 0, 11 }, { 7, 0 } },
        { "five above the share keeps its markers", 16, { { 11, 1 }, { 0, 20 } }, { 0, 11 }, { 0, 0 } },
        { "at its share a cell is unchanged", 16, { { 6, 6 }, { 0, 20 } }, { 0, 11 }, { 0, 0 } },
        // 32 candidates, budget 31: two hidden markers with room for three are both added.
        { "fewer hidden than the slots", 31, { { 30, 0 }, { 0, 2 } }, { 0, 2 }, { 0, 0 } },
        // The budget is full: no cell is looked at.
        { "full budget changes nothing", 16, { { 8, 1 }, { 8, 0 } }, { 0, 0 }, { 0, 0 } },
        // Within budget every candidate goes on the map.
        { "within budget adds all", 16, { { 2, 6 }, { 0, 8 } }, { 8, 8 }, { 0, 0 } },
    };
    MKMapRect visible = MKMapRectMake(kWorldMid, kWorldMid, 20000, 10000);
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Budget::BudgetInput input;
        input.visible = visible;
        input.zoom = 10;
        input.columns = 2;
        input.rows = 1;
        input.budget = c.budget;
        std::vector<Ref<KESTAnnotation>> cellMarkers[2];
        for (int cell = 0; cell < 2; ++cell) {
            int count = c.cells[cell].shown + c.cells[cell].hidden;
            for (int i = 0; i < count; ++i) {
                auto marker = markerAt({ kWorldMid + 5000 + cell * 10000 + i * 10, kWorldMid + 5000 });
                marker->setAddedAsAnnotation(i < c.cells[cell].shown);
                if (marker->addedAsAnnotation())
                    input.shown.push_back(marker);
                input.candidates.push_back(marker);
                cellMarkers[cell].push_back(marker);
            }
        }
        auto result = Budget::computeMarkerBudget(input);
        for (int cell = 0; cell < 2; ++cell) {
            SCOPED_TRACE(cell);
            auto in = [&](const std::vector<Ref<KESTAnnotation>>& list) {
                return std::count_if(list.begin(), list.end(), [&](const Ref<KESTAnnotation>& marker) {
                    return std::find(cellMarkers[cell].begin(), cellMarkers[cell].end(), marker)
                        != cellMarkers[cell].end();
                });
            };
            if (c.budget >= input.candidates.size()) {
                EXPECT_EQ(in(result.toAdd), c.cells[cell].shown + c.cells[cell].hidden);
            } else {
                EXPECT_EQ(in(result.toAdd), c.added[cell]);
            }
            EXPECT_EQ(in(result.toRemove), c.removed[cell]);
            for (const auto& marker : result.toAdd) {
                if (c.budget < input.candidates.size()) {
                    EXPECT_FALSE(marker->addedAsAnnotation()) << "only hidden markers are added";
                }
            }
        }
    }
}

TEST(KESTMapViewControllerMarkerBudget, RemovesMarkersOutsideTheViewButKeepsTheSelectedOne)
{
    MKMapRect visible = MKMapRectMake(kWorldMid, kWorldMid, 20000, 10000);
    auto inside = markerAt({ kWorldMid + 100, kWorldMid + 100 });
    auto outside = markerAt({ kWorldMid - 5000, kWorldMid + 100 });
    auto selectedOutside = markerAt({ kWorldMid - 6000, kWorldMid + 100 });
    for (const auto& marker : { inside, outside, selectedOutside })
        marker->setAddedAsAnnotation(true);
    Budget::BudgetInput input;
    input.visible = visible;
    input.zoom = 8;
    input.candidates = { inside };
    input.shown = { inside, outside, selectedOutside };
    input.selected = selectedOutside;
    auto result = Budget::computeMarkerBudget(input);
    ASSERT_EQ(result.toRemove.size(), 1u);
    EXPECT_EQ(result.toRemove[0], outside);
}

TEST(KESTMapViewControllerMarkerBudget, AirportsShowOnlyWhenAllowedAndZoomedIn)
{
    MKMapRect visible = MKMapRectMake(kWorldMid, kWorldMid, 20000, 10000);
    struct Case {
        bool showAirports;
        float zoom;
        bool added;
        bool invalid;
    };
    const Case cases[] = { { true, 5, true, false }, { true, 4, false, true }, { false, 12, false, true } };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.showAirports << " at " << c.zoom);
        auto hidden = markerAt({ kWorldMid + 100, kWorldMid + 100 });
        auto shown = markerAt({ kWorldMid + 200, kWorldMid + 100 });
        shown->setAddedAsAnnotation(true);
        auto grid = KESTMapViewController::gridAnnotationsInRectIntoColumnsAndRowsWithThresholdAtZoomLevel(
            { hidden, shown }, visible, 6, 6, 250, c.zoom, c.showAirports);
        EXPECT_EQ(grid.invalidAnnotations.size(), c.invalid ? 1u : 0u);
        EXPECT_EQ(grid.totalVisible, c.invalid ? 0 : 1);
        EXPECT_EQ(grid.cells.size(), 36u);

        Budget::BudgetInput input;
        input.visible = visible;
        input.zoom = c.zoom;
        input.showAirports = c.showAirports;
        input.candidates = { hidden, shown };
        input.shown = { shown };
        auto result = Budget::computeMarkerBudget(input);
        EXPECT_EQ(std::count(result.toAdd.begin(), result.toAdd.end(), hidden), c.added ? 1 : 0);
        EXPECT_EQ(std::count(result.toRemove.begin(), result.toRemove.end(), shown), c.invalid ? 1 : 0);
    }
}

namespace {

class KESTMapViewControllerTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        stubs.add(quietFeedStub());
        feed = KESTLiveDataManager::sharedInstance();
        thresholdObserver = NSNotificationCenter::defaultCenter()->addObserverForName(
            std::string(KESTMapThresholdTriggerNotification), nullptr, nullptr,
            [this](const Ref<NSNotification>& note) {
                thresholdPosts.push_back(note->userInfo()["withinThreshold"].boolValue());
            });
        screen = KESTAppleMapViewController::initWithNibNameBundle({}, nullptr);
        window = UIWindow::initWithFrame(CGRectMake(0, 0, 1024, 768));
        window->addSubview(screen->view());
        window->makeKeyAndVisible();
        screen->view()->setFrame(CGRectMake(0, 0, 1024, 768));
        screen->mapView()->setFrame(CGRectMake(0, 0, 1024, 768));
        MKMapView_ZoomLevel::setCenterCoordinateZoomLevelAnimated(screen->mapView(), { 51.5, -0.5 }, 7, false);
        drainAll();
    }
    void TearDown() override
    {
        NSNotificationCenter::defaultCenter()->removeObserver(thresholdObserver);
        if (screen->mapViewPOC())
            screen->mapViewPOC()->dismissPopoverAnimated(false);
        screen->cleanup();
        screen->view()->removeFromSuperview();
        screen = nullptr;
        window = nullptr;
        drainAll();
    }

    void publish(const std::vector<std::tuple<std::string, double, double>>& planes, bool full = true)
    {
        feed->parsePlaneDataResponse(feedAnswer(planes), full, nullptr, nullptr);
        drainAll();
    }

    // Lays the window out and draws it as a screen update does, so marker views and their
    // labels are made and drawn.
    void showFrame()
    {
        CGRect bounds = window->bounds();
        UIGraphicsBeginImageContextWithOptions(bounds.size, false, 1);
        window->drawViewHierarchyInRectAfterScreenUpdates(bounds, true);
        UIGraphicsEndImageContext();
    }

    Ref<MKAnnotationView> markerViewOf(const Ref<KESTAnnotation>& annotation)
    {
        return screen->mapView()->viewForAnnotation(KESTMapAnnotation::forAnnotation(annotation));
    }

    Ref<CALayer> labelLayerOf(const Ref<KESTAnnotation>& annotation)
    {
        auto view = std::dynamic_pointer_cast<KESTPlaneAnnotationView>(markerViewOf(annotation));
        return view && view->labelView() ? view->labelView()->layer() : nullptr;
    }

    // The coordinate under a point of the screen's view.
    CLLocationCoordinate2D coordinateAt(CGPoint point)
    {
        return screen->mapView()->convertPointToCoordinateFromView(point, screen->view());
    }

    std::vector<std::string> shownHexes()
    {
        std::vector<std::string> hexes;
        for (const auto& annotation : KESTMapController::sharedInstance()->customAnnotations()) {
            if (auto plane = std::dynamic_pointer_cast<KESTPlane>(annotation))
                hexes.push_back(plane->adshex());
        }
        std::sort(hexes.begin(), hexes.end());
        return hexes;
    }

    MapTestScope scope;
    URLStubs stubs;
    Ref<KESTLiveDataManager> feed;
    Ref<UIWindow> window;
    Ref<KESTAppleMapViewController> screen;
    Ref<NSObject> thresholdObserver;
    std::vector<bool> thresholdPosts;
};

} // namespace

TEST_F(KESTMapViewControllerTest, LiveUpdatesReachTheIndexAndTheBudgetedMap)
{
    publish({ { "A1", 51.5, -0.5 }, { "B2", 51.6, -0.4 }, { "C3", 10.0, 100.0 } });
    // Every plane is indexed; only the two in view are on the map.
    auto backing = KESTMapController::sharedInstance()->backingMapView();
    EXPECT_EQ(KESTMapAnnotation::annotationsOf(backing->annotations()).size() - feed->airportArray().size(), 3u);
    EXPECT_EQ(shownHexes(), (std::vector<std::string> { "A1", "B2" }));
    EXPECT_EQ(screen->mapLabelView()->count(), std::optional<std::string>("2 of 3 visible"));
    // Few planes in view: within the detail threshold, announced once, and movement runs.
    EXPECT_TRUE(screen->mapWithinZoomThreshold());
    EXPECT_EQ(thresholdPosts, std::vector<bool> { true });
    EXPECT_TRUE(screen->displayLink());

    // A delta update never removes; a full one drops the plane that vanished from both maps.
    publish({ { "A1", 51.5, -0.5 } }, false);
    EXPECT_EQ(shownHexes(), (std::vector<std::string> { "A1", "B2" }));
    publish({ { "A1", 51.5, -0.5 } }, true);
    EXPECT_EQ(shownHexes(), (std::vector<std::string> { "A1" }));
    EXPECT_EQ(KESTMapAnnotation::annotationsOf(backing->annotations()).size() - feed->airportArray().size(), 1u);
    EXPECT_EQ(screen->mapLabelView()->count(), std::optional<std::string>("1 of 1 visible"));
}

TEST_F(KESTMapViewControllerTest, TheBannerCountsTheLiveSetTheMapReadEvenAfterAnotherFilteredRead)
{
    publish({ { "A1", 51.5, -0.5 }, { "B2", 51.6, -0.4 }, { "C3", 10.0, 100.0 } });
    ASSERT_EQ(screen->mapLabelView()->count(), std::optional<std::string>("2 of 3 visible"));

    // Another reader of the live set (as the search screen does) reads it through a filter that
    // lets one plane through.
    struct FilterReset {
        ~FilterReset() { KESTFilterDataManager::sharedInstance()->setPredicate(nullptr); }
    } filterReset;
    KESTFilterDataManager::sharedInstance()->setPredicate(NSPredicate::predicateWithBlock(
        [](const Value& plane, const Value&) { return plane.objectAs<KESTPlane>()->adshex() == "A1"; }));
    ASSERT_EQ(feed->planeArray().size(), 1u);

    // The map redraws its markers without a new live update: the banner is written again and
    // still counts the three planes of the set the map read.
    screen->mapLabelView()->setCount(std::nullopt);
    screen->updateAnnotationVisibility();
    drainAll();
    EXPECT_EQ(screen->mapLabelView()->count(), std::optional<std::string>("2 of 3 visible"));
    EXPECT_EQ(shownHexes(), (std::vector<std::string> { "A1", "B2" }));
}

TEST_F(KESTMapViewControllerTest, DeltaUpdatesAreIgnoredForMarkersWhenZoomedOut)
{
    MKMapView_ZoomLevel::setCenterCoordinateZoomLevelAnimated(screen->mapView(), { 51.5, -0.5 }, 3, false);
    drainAll();
    publish({ { "A1", 51.5, -0.5 } }, false);
    EXPECT_TRUE(shownHexes().empty());
    MKMapRect stored = screen->lastDeltaMapRect();
    EXPECT_TRUE(MKMapRectContainsRect(stored, KESTMapController::sharedInstance()->visibleMapRectWithPadding(0)));
    EXPECT_GT(stored.size.width, KESTMapController::sharedInstance()->visibleMapRectWithPadding(0).size.width);
    publish({ { "A1", 51.5, -0.5 } }, true);
    EXPECT_EQ(shownHexes(), std::vector<std::string> { "A1" });
}

TEST_F(KESTMapViewControllerTest, DetailThresholdFollowsZoomAndPlaneCount)
{
    struct Case {
        uint32_t level;
        uint32_t planes;
        bool within;
    };
    const Case cases[] = { { 3, 50, true }, { 3, 51, false }, { 5, 5000, true }, { 3, 51, false }, { 3, 0, true } };
    thresholdPosts.clear();
    std::vector<bool> expectedPosts;
    bool current = screen->mapWithinZoomThreshold();
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.planes << " planes at level " << c.level);
        MKMapView_ZoomLevel::setCenterCoordinateZoomLevelAnimated(screen->mapView(), { 0, 0 }, c.level, false);
        screen->updateAnnotationZoomTriggerWithPlaneCount(c.planes);
        EXPECT_EQ(screen->mapWithinZoomThreshold(), c.within);
        if (c.within != current)
            expectedPosts.push_back(c.within);
        current = c.within;
    }
    EXPECT_EQ(thresholdPosts, expectedPosts);
}

TEST_F(KESTMapViewControllerTest, MovingTheMapAsksForADeltaPollOnlyWhenLeavingThePolledArea)
{
    auto deltaRequests = [&] {
        size_t n = 0;
        for (const auto& record : stubs.allRequests())
            n += record.url.find("bounds=") != std::string::npos || record.url.find("planeUpdate") != std::string::npos;
        return n;
    };
    scope.clock().advance(20);
    size_t before = deltaRequests();
    screen->mapWillMove();
    EXPECT_TRUE(screen->mapIsMoving());
    screen->setLastDeltaMapRect(MKMapRectMake(0, 0, 0, 0));
    screen->mapDidMove();
    drainAll();
    EXPECT_FALSE(screen->mapIsMoving());
    EXPECT_EQ(deltaRequests(), before + 1) << "the first movement always polls";

    // After a delta update, a small pan inside the widened area does not.
    screen->setLastDeltaMapRect(KESTMapController::sharedInstance()->visibleMapRectWithPadding(100));
    CLLocationCoordinate2D center = screen->mapView()->centerCoordinate();
    scope.clock().advance(20);
    size_t afterFirst = deltaRequests();
    screen->mapView()->setCenterCoordinate({ center.latitude, center.longitude + 0.01 });
    drainAll();
    EXPECT_EQ(deltaRequests(), afterFirst);
}

TEST_F(KESTMapViewControllerTest, SelectionAddsTheMarkerOpensItsCalloutAndTheDetailPopover)
{
    MKMapView_ZoomLevel::setCenterCoordinateZoomLevelAnimated(screen->mapView(), { 0, 0 }, 7, false);
    drainAll();
    publish({ { "A1", 51.5, -0.5 } });
    auto plane = feed->planeWithADSHEX("A1");
    ASSERT_TRUE(plane);
    EXPECT_FALSE(plane->addedAsAnnotation()) << "out of view";

    screen->selectAnnotationMakeVisible(std::static_pointer_cast<KESTAnnotation>(plane), true);
    drainAll();
    EXPECT_EQ(screen->selectedMarker(), plane);
    EXPECT_TRUE(plane->addedAsAnnotation());
    auto map = screen->mapView();
    EXPECT_NEAR(map->centerCoordinate().latitude, plane->coordinate().latitude, 1e-6);
    ASSERT_EQ(map->selectedAnnotations().size(), 1u);
    EXPECT_EQ(KESTMapAnnotation::annotationOf(map->selectedAnnotations()[0]), plane);
    // The budget never takes the selected plane off, even once it is out of view.
    map->setCenterCoordinate({ 10, 10 });
    drainAll();
    EXPECT_TRUE(plane->addedAsAnnotation());
    map->setCenterCoordinate(CLLocationCoordinate2D { plane->coordinate().latitude, plane->coordinate().longitude });
    drainAll();

    screen->showDetailScreenForAnnotation(plane);
    ASSERT_TRUE(screen->mapViewPOC());
    ASSERT_TRUE(screen->activePlaneDetailVC());
    EXPECT_EQ(screen->mapViewPOC()->popoverContentSize().width, 320);
    // A marker in the middle of a 1024-point map has room on its right.
    EXPECT_EQ(screen->mapViewPOC()->popoverArrowDirection(), UIPopoverArrowDirectionLeft);
    auto detail = screen->activePlaneDetailVC();
    EXPECT_EQ(detail->viewControllers().size(), 3u);
    EXPECT_TRUE(detail->mapSnapshot());

    // The user dismissing the popover cleans the detail screen up.
    screen->mapViewPOC()->userTouchedOutside();
    scope.clock().advance(1);
    EXPECT_FALSE(screen->mapViewPOC());
    EXPECT_FALSE(screen->activePlaneDetailVC());
    EXPECT_TRUE(detail->isCleanedUp());

    screen->deselectAnnotation(plane);
    EXPECT_FALSE(screen->selectedMarker());
}

// A popover closed in code is not reused for the next plane: that plane's own detail shows, and
// the previous detail screen is cleaned up (its display link and sounds stop).
TEST_F(KESTMapViewControllerTest, TheNextPlaneAfterAPopoverClosedInCodeShowsItsOwnDetail)
{
    MKMapView_ZoomLevel::setCenterCoordinateZoomLevelAnimated(screen->mapView(), { 51.5, -0.5 }, 7, false);
    drainAll();
    publish({ { "A1", 51.5, -0.5 }, { "A2", 51.6, -0.4 } });
    auto first = feed->planeWithADSHEX("A1");
    auto second = feed->planeWithADSHEX("A2");
    ASSERT_TRUE(first && second);
    auto shownPlane = [&]() -> Ref<KESTPlane> {
        auto popover = screen->mapViewPOC();
        auto navigation
            = popover ? std::dynamic_pointer_cast<UINavigationController>(popover->contentViewController()) : nullptr;
        auto detail = navigation
            ? std::dynamic_pointer_cast<KESTDetailViewController>(navigation->viewControllers().front())
            : nullptr;
        return detail ? detail->plane() : nullptr;
    };

    screen->selectAnnotationMakeVisible(std::static_pointer_cast<KESTAnnotation>(first), false);
    screen->showDetailScreenForAnnotation(first);
    drainAll();
    auto firstDetail = screen->activePlaneDetailVC();
    ASSERT_TRUE(firstDetail);
    EXPECT_EQ(shownPlane(), first);

    screen->dismissMapPopover();
    scope.clock().advance(1);
    drainAll();
    EXPECT_FALSE(screen->mapViewPOC()->isPopoverVisible());

    screen->selectAnnotationMakeVisible(std::static_pointer_cast<KESTAnnotation>(second), false);
    screen->showDetailScreenForAnnotation(second);
    scope.clock().advance(1);
    drainAll();
    ASSERT_TRUE(screen->mapViewPOC());
    EXPECT_TRUE(screen->mapViewPOC()->isPopoverVisible());
    EXPECT_EQ(shownPlane(), second);
    ASSERT_TRUE(screen->activePlaneDetailVC());
    EXPECT_EQ(screen->activePlaneDetailVC()->plane(), second);
    EXPECT_TRUE(firstDetail->isCleanedUp());
    EXPECT_FALSE(screen->activePlaneDetailVC()->isCleanedUp());
}

TEST_F(KESTMapViewControllerTest, AnAirportCalloutAccessoryOpensTheBoardThatStaysPut)
{
    auto map = screen->mapView();
    auto airport = makeAirport("EGLL", 51.5, -0.5);
    auto wrapped = KESTMapAnnotation::forAnnotation(airport);
    auto view = screen->mapViewViewForAnnotation(map, wrapped);
    ASSERT_TRUE(view);
    auto accessory = std::dynamic_pointer_cast<UIControl>(view->rightCalloutAccessoryView());
    ASSERT_TRUE(accessory);
    screen->selectAnnotationMakeVisible(airport, false);
    screen->mapViewAnnotationViewCalloutAccessoryControlTapped(map, view, accessory);
    drainAll();

    auto popover = screen->mapViewPOC();
    ASSERT_TRUE(popover);
    EXPECT_TRUE(popover->isPopoverVisible());
    auto navigation = std::dynamic_pointer_cast<UINavigationController>(popover->contentViewController());
    ASSERT_TRUE(navigation);
    auto board = std::dynamic_pointer_cast<KESTAirportViewController>(navigation->topViewController());
    ASSERT_TRUE(board);
    EXPECT_EQ(board->airport(), airport);
    EXPECT_EQ(board->title(), airport->title());
    EXPECT_EQ(board->delegate().get(), static_cast<KESTSearchDelegate*>(screen.get()));
    EXPECT_FALSE(screen->activePlaneDetailVC());

    // The movement pass repositions only a plane's detail popover.
    CGRect before = popover->popoverFrame();
    map->setCenterCoordinate({ 51.0, -1.0 });
    scope.clock().advance(2);
    EXPECT_TRUE(CGRectEqualToRect(popover->popoverFrame(), before));

    // Dismissed in code, the popover stays stored: its delegate is not told.
    screen->dismissMapPopover();
    scope.clock().advance(1);
    EXPECT_EQ(screen->mapViewPOC(), popover);
}

TEST_F(KESTMapViewControllerTest, PopoverOpensOnTheSideWithRoom)
{
    publish({ { "A1", 51.5, -0.5 } });
    auto plane = feed->planeWithADSHEX("A1");
    ASSERT_TRUE(plane);
    auto map = screen->mapView();
    struct Case {
        CGFloat x;
        UIPopoverArrowDirection arrow;
    };
    // x + 320 < width - 15 opens to the right (arrow left).
    const Case cases[] = { { 1024 - 336, UIPopoverArrowDirectionLeft }, { 1024 - 335, UIPopoverArrowDirectionRight } };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.x);
        if (screen->mapViewPOC())
            screen->mapViewPOC()->dismissPopoverAnimated(false);
        screen->setMapViewPOC(nullptr);
        // Put the plane at x by moving the map under it.
        KESTLocation location = plane->coordinate();
        CGPoint at = map->convertCoordinateToPointToView({ location.latitude, location.longitude }, map);
        CLLocationCoordinate2D center
            = map->convertPointToCoordinateFromView(CGPointMake(512 + (at.x - c.x), 384), map);
        map->setCenterCoordinate(center);
        CGPoint now = map->convertCoordinateToPointToView({ location.latitude, location.longitude }, map);
        ASSERT_NEAR(now.x, c.x, 0.01);
        screen->presentPopoverForViewControllerAnchoredToAnnotationAnimated(UIViewController::init(), plane, false);
        EXPECT_EQ(screen->mapViewPOC()->popoverArrowDirection(), c.arrow);
    }
}

TEST(KESTMapContainerViewController, ReplacesItsMapScreenAfterCleaningTheOldOneUp)
{
    MapTestScope scope;
    auto container = KESTMapContainerViewController::initWithNibNameBundle({}, nullptr);
    container->teardownVisibleMapController();
    EXPECT_FALSE(container->mapViewController());

    auto first = KESTAppleMapViewController::initWithNibNameBundle({}, nullptr);
    container->setVisibleMapController(first);
    EXPECT_EQ(container->mapViewController(), first);
    EXPECT_EQ(container->childViewControllers().size(), 1u);
    EXPECT_EQ(KESTMapController::sharedInstance()->mapView(), first->mapView());
    EXPECT_EQ(container->childViewControllerForStatusBarHidden(), first);

    auto second = KESTAppleMapViewController::initWithNibNameBundle({}, nullptr);
    container->setVisibleMapController(second);
    EXPECT_EQ(container->mapViewController(), second);
    EXPECT_EQ(container->childViewControllers().size(), 1u);
    EXPECT_EQ(container->view()->subviews().size(), 1u);
    // The first screen's observers are gone: a threshold post reaches only the second.
    EXPECT_FALSE(first->displayLink());
    EXPECT_EQ(KESTMapController::sharedInstance()->mapView(), second->mapView());
    EXPECT_EQ(container->supportedInterfaceOrientations(), UIInterfaceOrientationMask(30));
    container->teardownVisibleMapController();
    drainAll();
}

TEST_F(KESTMapViewControllerTest, MarkersMoveOnlyWhenFewAndTheMapIsStill)
{
    auto facade = KESTMapController::sharedInstance();
    // Markers in view (airports, which keep still: the movement pass itself is what is counted).
    std::vector<Ref<KESTAnnotation>> markers;
    for (int i = 0; i < 101; ++i)
        markers.push_back(makeAirport("KX" + std::to_string(i), 51.5 + i * 0.001, -0.5));
    auto settings = KESTSettingsManager::sharedInstance();
    struct Case {
        const char* name;
        size_t markers;
        bool moving;
        bool setting;
        bool fullPass;
    };
    const Case cases[] = {
        { "100 markers move", 100, false, true, true },
        { "101 markers do not", 101, false, true, false },
        { "not while the map is dragged", 10, true, true, false },
        { "not with the setting off", 10, false, false, false },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        facade->removeAnnotations(facade->customAnnotations());
        facade->addAnnotations(std::vector<Ref<KESTAnnotation>>(markers.begin(), markers.begin() + c.markers));
        settings->setMovePlanes(c.setting);
        screen->stopPlaneUpdateTimer();
        screen->setMapIsVisible(true);
        screen->startPlaneUpdateTimer();
        if (c.moving)
            screen->mapWillMove();
        double before = screen->lastMovePlaneUpdate();
        scope.clock().advance(0.1);
        EXPECT_EQ(screen->lastMovePlaneUpdate() != before, c.fullPass);
        if (c.moving)
            screen->mapDidMove();
    }
    settings->setMovePlanes(true);

    // Full passes come just over a second apart on the display link's clock, light ticks between.
    facade->removeAnnotations(facade->customAnnotations());
    facade->addAnnotations(std::vector<Ref<KESTAnnotation>>(markers.begin(), markers.begin() + 10));
    std::vector<double> passes;
    double last = screen->lastMovePlaneUpdate();
    for (int i = 0; i < 60; ++i) {
        scope.clock().advance(1.0 / 30);
        if (screen->lastMovePlaneUpdate() != last) {
            last = screen->lastMovePlaneUpdate();
            passes.push_back(last);
        }
    }
    ASSERT_GE(passes.size(), 1u);
    for (size_t i = 1; i < passes.size(); ++i)
        EXPECT_GT(passes[i] - passes[i - 1], 1.0);

    // A covered map pauses the link; cleanup ends it.
    screen->setMapIsVisible(false);
    ASSERT_TRUE(screen->displayLink());
    EXPECT_TRUE(screen->displayLink()->isPaused());
    screen->setMapIsVisible(true);
    EXPECT_FALSE(screen->displayLink()->isPaused());
    screen->cleanup();
    EXPECT_FALSE(screen->displayLink());
}

TEST_F(KESTMapViewControllerTest, SettingsChangesReachTheMap)
{
    auto post = [](const std::string& key, const Value& value) {
        NSNotificationCenter::defaultCenter()->postNotificationName("com.kestravon.volantrix.setting.updated", nullptr,
            Value::dictionary({ { Value("settingKey"), Value(key) }, { Value("newValue"), value } }));
        drainAll();
    };
    post("kMapType", Value(2));
    EXPECT_EQ(screen->mapView()->mapType(), MKMapTypeHybrid);
    post("kMapType", Value(7));
    EXPECT_EQ(screen->mapView()->mapType(), MKMapTypeHybrid);
    post("kNoSuchKey", Value(1));

    // Flight paths switched off remove the selected plane's path at once.
    auto overlay
        = KESTFlightPathOverlay::initWithLocationsAndAltitudes({ { 51, 0 }, { 52, 1 } }, { Value(1000), Value(2000) });
    screen->setActiveFlightPath(overlay);
    screen->mapView()->addOverlay(overlay);
    post("kShowFlightPaths", Value(false));
    EXPECT_FALSE(screen->activeFlightPath());
    EXPECT_TRUE(screen->mapView()->overlays().empty());
}

TEST_F(KESTMapViewControllerTest, BarsCarryTheButtonsAndTheBannerRidesAboveTheToolbar)
{
    screen->updateUI();
    ASSERT_TRUE(screen->bottomToolbar());
    const auto& items = screen->bottomToolbar()->items();
    ASSERT_EQ(items.size(), 7u);
    for (size_t i : { 1u, 3u, 5u })
        EXPECT_TRUE(items[i]->isFlexibleSpace());
    // Built once: a second call keeps the same toolbar.
    auto toolbar = screen->bottomToolbar();
    screen->updateUI();
    EXPECT_EQ(screen->bottomToolbar(), toolbar);
    // The screen places its own bottom toolbar at the bottom and leaves every other bar anywhere.
    EXPECT_EQ(toolbar->barPosition(), UIBarPositionBottom);
    EXPECT_EQ(screen->positionForBar(UIToolbar::initWithFrame(CGRectMake(0, 0, 100, 44))), UIBarPositionAny);
    EXPECT_EQ(screen->positionForBar(screen->searchBar()), UIBarPositionAny);

    screen->mapLabelView()->setCount(std::string("3 of 9 visible"));
    struct Case {
        bool visible;
        CGFloat toolbarY;
    };
    const Case cases[] = { { true, 768 - 44 }, { false, 768 }, { true, 768 - 44 } };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.visible);
        screen->setToolbarsVisibleAnimated(c.visible, false);
        EXPECT_EQ(screen->toolbarsVisible(), c.visible);
        EXPECT_EQ(screen->prefersStatusBarHidden(), !c.visible);
        EXPECT_EQ(toolbar->frame().origin.y, c.toolbarY);
        CGRect banner = screen->mapLabelView()->frame();
        EXPECT_EQ(banner.origin.y + banner.size.height, c.toolbarY - 8);
    }

    screen->showAR();
    scope.clock().advance(1);
    auto presented = std::dynamic_pointer_cast<UINavigationController>(screen->presentedViewController());
    ASSERT_TRUE(presented);
    EXPECT_TRUE(presented->isNavigationBarHidden());
    EXPECT_TRUE(std::dynamic_pointer_cast<KESTARViewController>(presented->topViewController()));
    screen->dismissViewControllerAnimatedCompletion(false, nullptr);
    scope.clock().advance(1);
}

namespace {

// Expects `above` to be painted after `below`, both being painted.
void expectPaintedOver(const PaintOrder& order, const Ref<CALayer>& above, const Ref<CALayer>& below)
{
    ASSERT_TRUE(above && below);
    ASSERT_GE(order.indexOf(above), 0);
    ASSERT_GE(order.indexOf(below), 0);
    EXPECT_GT(order.indexOf(above), order.indexOf(below));
}

} // namespace

// Three planes 35 points apart from north to south, each label hanging over the marker below
// it, and an airport under the first label: labels lie over the other markers, and the selected
// plane with its label and callout over everything; views reused for other planes take their
// new places.
TEST_F(KESTMapViewControllerTest, LabelsAndTheSelectedPlaneDrawAboveTheOtherMarkers)
{
    auto settings = KESTSettingsManager::sharedInstance();
    settings->setPlaneLabelContent(2); // callsigns: nothing to fetch
    settings->setShowAirports(true);
    auto place = [&](const std::string& hex, CGFloat y) {
        auto coordinate = coordinateAt(CGPointMake(512, y));
        return std::make_tuple(hex, coordinate.latitude, coordinate.longitude);
    };
    auto airportAt = coordinateAt(CGPointMake(530, 345));
    auto airport = makeAirport("EGXX", airportAt.latitude, airportAt.longitude);
    KESTMapController::sharedInstance()->backingMapView()->addAnnotation(KESTMapAnnotation::forAnnotation(airport));
    publish({ place("A1", 300), place("B2", 335), place("C3", 370) });
    Ref<KESTAnnotation> a1 = feed->planeWithADSHEX("A1");
    Ref<KESTAnnotation> b2 = feed->planeWithADSHEX("B2");
    Ref<KESTAnnotation> c3 = feed->planeWithADSHEX("C3");
    ASSERT_TRUE(a1 && b2 && c3);
    auto map = screen->mapView();

    auto expectLabelsOverTheMarkersBelow = [&] {
        showFrame();
        ASSERT_TRUE(markerViewOf(airport));
        PaintOrder order(window->layer());
        {
            SCOPED_TRACE("A1's label over B2's marker and the airport");
            expectPaintedOver(order, labelLayerOf(a1), markerViewOf(b2)->layer());
            expectPaintedOver(order, labelLayerOf(a1), markerViewOf(airport)->layer());
        }
        {
            SCOPED_TRACE("B2's label over C3's marker");
            expectPaintedOver(order, labelLayerOf(b2), markerViewOf(c3)->layer());
        }
    };
    expectLabelsOverTheMarkersBelow();

    // The southernmost plane selected: its marker, label and callout over every other marker
    // and label.
    map->selectAnnotationAnimated(KESTMapAnnotation::forAnnotation(c3), false);
    showFrame();
    ASSERT_EQ(screen->selectedMarker(), c3);
    ASSERT_TRUE(map->calloutView());
    {
        SCOPED_TRACE("selected");
        PaintOrder order(window->layer());
        for (const auto& other : { a1, b2 })
            expectPaintedOver(order, markerViewOf(c3)->layer(), labelLayerOf(other));
        expectPaintedOver(order, markerViewOf(c3)->layer(), markerViewOf(airport)->layer());
        expectPaintedOver(order, labelLayerOf(c3), markerViewOf(c3)->layer());
        expectPaintedOver(order, map->calloutView()->layer(), labelLayerOf(c3));
    }

    // Deselected, it goes back under the label above it.
    map->deselectAnnotationAnimated(KESTMapAnnotation::forAnnotation(c3), false);
    ASSERT_FALSE(screen->selectedMarker());
    {
        SCOPED_TRACE("deselected");
        expectLabelsOverTheMarkersBelow();
    }

    // C3 selected again when a full update replaces A1 and C3 by D4 and E5 at their places:
    // the new planes get the views of the old ones back from the reuse queue, the selected one
    // among them, and the order holds for them.
    map->selectAnnotationAnimated(KESTMapAnnotation::forAnnotation(c3), false);
    showFrame();
    std::vector<Ref<MKAnnotationView>> oldViews = { markerViewOf(a1), markerViewOf(c3) };
    publish({ place("D4", 300), place("B2", 335), place("E5", 370) });
    ASSERT_FALSE(screen->selectedMarker());
    a1 = feed->planeWithADSHEX("D4");
    c3 = feed->planeWithADSHEX("E5");
    ASSERT_TRUE(a1 && c3);
    showFrame();
    for (const auto& plane : { a1, c3 })
        ASSERT_NE(std::find(oldViews.begin(), oldViews.end(), markerViewOf(plane)), oldViews.end());
    {
        SCOPED_TRACE("after reuse");
        expectLabelsOverTheMarkersBelow();
    }
}

// The banner and the bottom toolbar lie over the map: no marker, label or callout paints over
// them, not even the selected plane's.
TEST_F(KESTMapViewControllerTest, TheBannerAndTheToolbarStayAboveTheMarkers)
{
    KESTSettingsManager::sharedInstance()->setPlaneLabelContent(2);
    screen->updateUI();
    screen->setToolbarsVisibleAnimated(true, false);
    publish({ { "A1", 51.5, -0.5 } });
    CGRect banner = screen->mapLabelView()->frame();
    ASSERT_GT(banner.size.width, 0);
    auto underBanner = coordinateAt(CGPointMake(CGRectGetMidX(banner), CGRectGetMidY(banner)));
    auto underToolbar = coordinateAt(CGPointMake(300, 768 - 22));
    publish({ { "A1", underBanner.latitude, underBanner.longitude },
        { "B2", underToolbar.latitude, underToolbar.longitude } });
    Ref<KESTAnnotation> a1 = feed->planeWithADSHEX("A1");
    Ref<KESTAnnotation> b2 = feed->planeWithADSHEX("B2");
    ASSERT_TRUE(a1 && b2);
    screen->mapView()->selectAnnotationAnimated(KESTMapAnnotation::forAnnotation(a1), false);
    showFrame();
    ASSERT_TRUE(screen->mapView()->calloutView());

    PaintOrder order(window->layer());
    const std::pair<const char*, Ref<CALayer>> markers[] = {
        { "selected marker", markerViewOf(a1)->layer() },
        { "selected label", labelLayerOf(a1) },
        { "callout", screen->mapView()->calloutView()->layer() },
        { "marker", markerViewOf(b2)->layer() },
        { "label", labelLayerOf(b2) },
    };
    for (const auto& [name, layer] : markers) {
        SCOPED_TRACE(name);
        expectPaintedOver(order, screen->mapLabelView()->layer(), layer);
        expectPaintedOver(order, screen->bottomToolbar()->layer(), layer);
    }
}

TEST_F(KESTMapViewControllerTest, MarkerViewsAndRenderersFollowTheAnnotationKind)
{
    publish({ { "A1", 51.5, -0.5 } });
    auto plane = feed->planeWithADSHEX("A1");
    ASSERT_TRUE(plane);
    auto map = screen->mapView();
    auto planeView = screen->mapViewViewForAnnotation(map, KESTMapAnnotation::forAnnotation(plane));
    ASSERT_TRUE(planeView);
    EXPECT_EQ(planeView->reuseIdentifier(), std::optional<std::string>("KESTPlaneAnnotationViewID"));
    EXPECT_TRUE(planeView->canShowCallout());
    EXPECT_EQ(planeView->calloutOffset().y, 5);
    ASSERT_TRUE(planeView->rightCalloutAccessoryView());
    EXPECT_EQ(planeView->rightCalloutAccessoryView()->frame().size.width, 8);

    plane->setDataType(99);
    auto santa = screen->mapViewViewForAnnotation(map, KESTMapAnnotation::forAnnotation(plane));
    EXPECT_EQ(santa->reuseIdentifier(), std::optional<std::string>("KESTSantaAnnotationViewID"));
    auto airport = makeAirport("EGLL", 51.47, -0.46);
    auto airportView = screen->mapViewViewForAnnotation(map, KESTMapAnnotation::forAnnotation(airport));
    EXPECT_EQ(airportView->reuseIdentifier(), std::optional<std::string>("KESTAirportAnnotationViewID"));
    // MapKit's own user location gets its default view.
    EXPECT_FALSE(screen->mapViewViewForAnnotation(map, map->userLocation()));

    // Two path notifications leave one path on the map.
    NSNotificationCenter::defaultCenter()->postNotificationName(KESTFlightPathUpdatedNotification, nullptr);
    NSNotificationCenter::defaultCenter()->postNotificationName(KESTFlightPathUpdatedNotification, nullptr);
    drainAll();
    size_t paths = 0;
    for (const auto& overlay : map->overlays())
        paths += std::dynamic_pointer_cast<KESTFlightPathOverlay>(overlay) != nullptr;
    EXPECT_EQ(paths, 1u);
    EXPECT_TRUE(screen->mapViewRendererForOverlay(map, screen->activeFlightPath()));

    // Following with heading is undone at once; following without stays.
    screen->mapViewDidChangeUserTrackingModeAnimated(map, MKUserTrackingModeFollowWithHeading, false);
    EXPECT_EQ(map->userTrackingMode(), MKUserTrackingModeNone);
    map->setUserTrackingMode(MKUserTrackingModeFollow);
    screen->mapViewDidChangeUserTrackingModeAnimated(map, MKUserTrackingModeFollow, false);
    EXPECT_EQ(map->userTrackingMode(), MKUserTrackingModeFollow);
    map->setUserTrackingMode(MKUserTrackingModeNone);
}
