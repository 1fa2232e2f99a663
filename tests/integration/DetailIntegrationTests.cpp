#include "app/application/KESTAppDelegate.h"
#include "app/categories/MKMapView+ZoomLevel.h"
#include "app/core/KESTAirport.h"
#include "app/core/KESTLiveDataManager.h"
#include "app/core/KESTPlane.h"
#include "app/core/KESTPlaneMarkerManager.h"
#include "app/core/KESTSettingsManager.h"
#include "app/tests/map/MapTestSupport.h"
#include "app/view-controllers/airport/KESTAirportViewController.h"
#include "app/view-controllers/detail/KESTAircraftDetailViewController.h"
#include "app/view-controllers/detail/KESTDetailViewController.h"
#include "app/view-controllers/detail/KESTFlightDetailViewController.h"
#include "app/view-controllers/detail/KESTFlightServiceTypeViewCell.h"
#include "app/view-controllers/detail/KESTOverviewDetailViewController.h"
#include "app/view-controllers/detail/KESTSingleColumnViewCell.h"
#include "app/view-controllers/detail/KESTThreeColumnViewCell.h"
#include "app/view-controllers/history/KESTHistoryDetailViewController.h"
#include "app/view-controllers/history/KESTHistoryViewController.h"
#include "app/view-controllers/map/KESTAppleMapViewController.h"
#include "app/view-controllers/map/KESTMapContainerViewController.h"
#include "app/view-controllers/map/KESTMapController.h"
#include "mapkit/MKMapView.h"
#include "servicesim/ServiceSimulator.h"
#include "testing/Drain.h"
#include "testing/HostedWindow.h"
#include "testing/VirtualClock.h"
#include "tests/integration/AppLaunch.h"
#include "tests/integration/ServiceSimScope.h"
#include "uikit/NSIndexPath.h"
#include "uikit/UIApplicationHost.h"
#include "uikit/UILabel.h"
#include "uikit/UINavigationController.h"
#include "uikit/UIPopoverController.h"
#include "uikit/UIWindow.h"

#include <gtest/gtest.h>

namespace {

template <typename Cell, typename Tab> Ref<Cell> cellAt(const Ref<Tab>& tab, int32_t row)
{
    return std::dynamic_pointer_cast<Cell>(
        tab->tableViewCellForRowAtIndexPath(tab->tableView(), NSIndexPath::indexPathForRowInSection(row, 0)));
}

} // namespace

// A plane selected on the map opens its detail screen, filled from the simulated services; its
// aircraft's past flights open a track; an airport's board selects a listed flight on the map.
TEST(DetailIntegration, PlaneDetailHistoryTrackAndAirportBoard)
{
    ScopedVirtualClock clock;
    HostedWindow host(HostedWindow::Window::None);
    resetAppSingletonsForTesting();

    auto options = heathrowTraffic(21, 1500);
    ServiceSimScope services(options);
    ASSERT_TRUE(services.started());

    auto app = launchOntoTheMap();
    ASSERT_TRUE(app.screen);
    auto container = app.container;
    auto screen = app.screen;
    showHeathrowAndPoll(app, clock, 7);

    // A scheduled flight in the air.
    auto feed = KESTLiveDataManager::sharedInstance();
    Ref<KESTPlane> plane;
    for (const auto& candidate : feed->unfilteredPlaneArray()) {
        if (!candidate->fltno().empty() && candidate->altitude() > 10000 && candidate->route().size() == 7) {
            plane = candidate;
            break;
        }
    }
    ASSERT_TRUE(plane);
    screen->selectAnnotationMakeVisible(std::static_pointer_cast<KESTAnnotation>(plane), true);
    settleLoopback(clock);
    screen->showDetailScreenForAnnotation(plane);
    settleLoopback(clock);
    auto detail = screen->activePlaneDetailVC();
    ASSERT_TRUE(detail);
    ASSERT_TRUE(detail->metadata().isDictionary());
    ASSERT_TRUE(detail->oagData().isDictionary()) << "the schedule record arrived";
    EXPECT_TRUE(detail->progressData().isDictionary());
    EXPECT_EQ(detail->planeImages().count(), 3u);
    EXPECT_TRUE(detail->aircraftTechnicalImage());

    auto overview = std::dynamic_pointer_cast<KESTOverviewDetailViewController>(detail->viewControllers()[0]);
    auto flight = std::dynamic_pointer_cast<KESTFlightDetailViewController>(detail->viewControllers()[1]);
    auto aircraft = std::dynamic_pointer_cast<KESTAircraftDetailViewController>(detail->viewControllers()[2]);
    ASSERT_TRUE(overview && flight && aircraft);
    auto live = cellAt<KESTThreeColumnViewCell>(overview, 3);
    EXPECT_EQ(live->col1ValueLabel()->text(), detail->altitude());
    EXPECT_EQ(live->col2ValueLabel()->text(), detail->speed());
    EXPECT_EQ(cellAt<KESTSingleColumnViewCell>(overview, 5)->valueLabel()->text(), plane->paddedSquawk());
    auto seats = cellAt<KESTFlightServiceTypeViewCell>(flight, 7);
    ASSERT_TRUE(seats);
    EXPECT_NE(seats->totalSeatsValueLabel()->text(), "N/A");
    detail->userSelectedIndex(2);
    settleLoopback(clock);
    auto numbers = cellAt<KESTThreeColumnViewCell>(aircraft, 3);
    EXPECT_NE(numbers->col1ValueLabel()->text(), "N/A") << "construction number from the metadata";
    EXPECT_EQ(cellAt<KESTThreeColumnViewCell>(aircraft, 4)->col3ValueLabel()->text(), plane->adshex());

    // Past flights, then one track.
    aircraft->showHistory();
    settleLoopback(clock);
    auto navigation = detail->navigationController();
    auto history = std::dynamic_pointer_cast<KESTHistoryViewController>(navigation->topViewController());
    ASSERT_TRUE(history);
    ASSERT_TRUE(history->flightAt(0, 0));
    history->tableViewDidSelectRowAtIndexPath(history->tableView(), NSIndexPath::indexPathForRowInSection(0, 0));
    auto track = std::dynamic_pointer_cast<KESTHistoryDetailViewController>(navigation->topViewController());
    ASSERT_TRUE(track);
    settleLoopback(clock);
    EXPECT_EQ(track->mapView()->overlays().size(), 1u);

    // Dismissing the popover cleans the detail screen up.
    screen->mapViewPOC()->dismissPopoverAnimated(false);
    screen->popoverControllerDidDismissPopover(screen->mapViewPOC());
    EXPECT_TRUE(detail->isCleanedUp());
    screen->deselectAnnotation(plane);
    settleLoopback(clock);

    // The board of the plane's destination lists it; "View on map" selects it and closes the
    // popover.
    std::string destination = plane->route().substr(4, 3);
    Ref<KESTAirport> airport;
    for (const auto& candidate : KESTAirport::airportsFromBundle()) {
        if (candidate->iata() == destination)
            airport = candidate;
    }
    ASSERT_TRUE(airport) << destination;
    screen->showDetailScreenForAnnotation(airport);
    settleLoopback(clock);
    auto boardNavigation
        = std::dynamic_pointer_cast<UINavigationController>(screen->mapViewPOC()->contentViewController());
    auto board = std::dynamic_pointer_cast<KESTAirportViewController>(boardNavigation->topViewController());
    ASSERT_TRUE(board);
    const Value& arrivals = board->results().objectForKey("arr");
    ASSERT_TRUE(arrivals.isArray());
    int32_t row = -1;
    for (size_t i = 0; i < arrivals.count(); ++i) {
        if (arrivals.objectAtIndex(i).objectForKey("adshex").stringValue() == plane->adshex())
            row = static_cast<int32_t>(i);
    }
    ASSERT_GE(row, 0) << "the plane is on its destination's arrivals";
    board->tableViewDidSelectRowAtIndexPath(board->tableView(), NSIndexPath::indexPathForRowInSection(row, 0));
    board->showFlight(nullptr);
    settleLoopback(clock);
    EXPECT_EQ(screen->selectedMarker(), plane);
    EXPECT_FALSE(screen->mapViewPOC());

    UIApplicationHost::terminate();
    container->teardownVisibleMapController();
    feed->invalidateTimers();
    drainAll();
}
