#include "app/application/KESTAppDelegate.h"
#include "app/categories/MKMapView+ZoomLevel.h"
#include "app/core/KESTLiveDataManager.h"
#include "app/core/KESTPlane.h"
#include "app/view-controllers/detail/KESTDetailViewController.h"
#include "app/view-controllers/detail/KESTFlightDetailViewController.h"
#include "app/view-controllers/detail/KESTFlightGraphViewController.h"
#include "app/view-controllers/map/KESTAppleMapViewController.h"
#include "app/view-controllers/map/KESTMapContainerViewController.h"
#include "charts/LChartAxis.h"
#include "charts/LChartDataSeries.h"
#include "charts/LChartRange.h"
#include "charts/LChartSeries.h"
#include "charts/view/LatticeChart.h"
#include "gles/SoftwareRendering.h"
#include "mapkit/MKMapView.h"
#include "servicesim/ServiceSimulator.h"
#include "testing/Drain.h"
#include "testing/HostedWindow.h"
#include "testing/VirtualClock.h"
#include "tests/integration/AppLaunch.h"
#include "tests/integration/ServiceSimScope.h"
#include "uikit/NSIndexPath.h"
#include "uikit/UIApplicationHost.h"
#include "uikit/UINavigationController.h"
#include "uikit/UITableView.h"
#include "uikit/UIWindow.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <utility>
#include <vector>

// A scheduled plane selected on the map: its flight tab's speed row, tapped, opens the graph of
// the flight's climb, cruise and descent as the simulated service recorded it.
TEST(FlightGraphIntegration, SpeedRowOpensTheGraphOfTheSelectedFlight)
{
    preferSoftwareRendering();
    ScopedVirtualClock clock;
    HostedWindow host(HostedWindow::Window::None);
    resetAppSingletonsForTesting();

    auto options = heathrowTraffic(27, 1500);
    ServiceSimScope services(options);
    ASSERT_TRUE(services.started());

    auto app = launchOntoTheMap();
    ASSERT_TRUE(app.screen);
    auto container = app.container;
    auto screen = app.screen;
    showHeathrowAndPoll(app, clock, 7);

    auto feed = KESTLiveDataManager::sharedInstance();
    Ref<KESTPlane> plane;
    for (const auto& candidate : feed->unfilteredPlaneArray()) {
        if (!candidate->fltno().empty() && candidate->altitude() > 10000) {
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
    detail->userSelectedIndex(1);
    auto flight = std::dynamic_pointer_cast<KESTFlightDetailViewController>(detail->selectedViewController());
    ASSERT_TRUE(flight);
    const Value& samples = flight->chartData();
    ASSERT_GE(samples.count(), 10u) << "the metadata carried the flight's graph";

    // A tap on the speed row. While the flight tab is on screen its spark lines ask for a new
    // display at every display, so the process never goes quiet: the run loop turns frame by
    // frame until the pushed graph has covered the tab.
    auto frames = [&](int count) {
        for (int frame = 0; frame < count; ++frame) {
            clock.clock().moveWithoutDraining(1.0 / 60);
            runOnePass();
        }
    };
    frames(5);
    auto table = flight->tableView();
    CGRect row = table->rectForRowAtIndexPath(NSIndexPath::indexPathForRowInSection(1, 0));
    UIApplicationHost::tap(table->convertPointToView(CGPointMake(CGRectGetMidX(row), CGRectGetMidY(row)), nullptr));
    frames(90);
    settleLoopback(clock);
    auto graph
        = std::dynamic_pointer_cast<KESTFlightGraphViewController>(detail->navigationController()->topViewController());
    ASSERT_TRUE(graph) << "the speed row opened the flight graph";
    clock.advance(2);
    settleLoopback(clock);

    // Both series loaded, one point per sample; the altitude rises from the ground to a cruise
    // and comes back down.
    auto chart = graph->chart();
    ASSERT_TRUE(chart);
    ASSERT_TRUE(chart->window()) << "the graph is on screen";
    ASSERT_EQ(chart->series().size(), 2u);
    for (const auto& series : chart->series())
        EXPECT_EQ(series->dataSeries()->dataPoints().size(), samples.count());
    std::vector<double> altitude, speed;
    for (size_t i = 0; i < samples.count(); ++i) {
        altitude.push_back(samples.objectAtIndex(i).objectForKey("altitude").doubleValue());
        speed.push_back(samples.objectAtIndex(i).objectForKey("speed").doubleValue());
    }
    // Each value axis fitted to its own series.
    ASSERT_EQ(chart->yAxes().size(), 2u);
    for (const auto& [axis, values] :
        { std::pair { chart->yAxes().front(), &altitude }, std::pair { chart->yAxes().back(), &speed } }) {
        SCOPED_TRACE(axis->title());
        ASSERT_TRUE(axis->defaultRangeInternal());
        EXPECT_LE(axis->defaultRangeInternal()->min(), *std::min_element(values->begin(), values->end()));
        EXPECT_GE(axis->defaultRangeInternal()->max(), *std::max_element(values->begin(), values->end()));
        EXPECT_LT(axis->defaultRangeInternal()->max(), 2 * *std::max_element(values->begin(), values->end()));
    }
    auto top = std::max_element(altitude.begin(), altitude.end());
    EXPECT_EQ(altitude.front(), 0);
    EXPECT_EQ(altitude.back(), 0);
    EXPECT_GT(*top, 10000);
    EXPECT_TRUE(std::is_sorted(altitude.begin(), top));

    UIApplicationHost::terminate();
    container->teardownVisibleMapController();
    feed->invalidateTimers();
    drainAll();
}
