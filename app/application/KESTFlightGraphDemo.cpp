#include "app/application/KESTFlightGraphDemo.h"

#include "app/application/KESTDetailScreensDemo.h"
#include "app/core/KESTPlane.h"
#include "app/view-controllers/detail/KESTDetailViewController.h"
#include "app/view-controllers/detail/KESTFlightDetailViewController.h"
#include "app/view-controllers/detail/KESTFlightGraphViewController.h"
#include "app/view-controllers/map/KESTAppleMapViewController.h"
#include "charts/view/LChartCanvas.h"
#include "charts/view/LChartCrosshair.h"
#include "charts/view/LatticeChart.h"
#include "uikit/NSIndexPath.h"
#include "uikit/UIApplicationHost.h"
#include "uikit/UINavigationController.h"
#include "uikit/UIPopoverController.h"
#include "uikit/UITableView.h"

#include <cstdio>

namespace KESTFlightGraphDemo {

namespace {

// A long press in the middle of the graph's plot area, held while the key window is saved as
// "chart-crosshair.png": the chart places its crosshair on the nearest point and names it in its
// tooltip. Returns false when the chart showed no crosshair.
bool writeCrosshair(const Ref<KESTFlightGraphViewController>& graph,
    const std::function<bool(const std::string&)>& write, const std::function<void(double)>& run)
{
    const auto& chart = graph->chart();
    if (!chart || !chart->canvas())
        return false;
    CGRect plot = chart->glFrameForHitTesting();
    CGPoint at = chart->canvas()->convertPointToView(CGPointMake(CGRectGetMidX(plot), CGRectGetMidY(plot)), nullptr);
    auto touch = UIApplicationHost::touchDown(at);
    run(1.5);
    bool shown = chart->crosshair() && !chart->crosshair()->isHidden();
    bool written = shown && write("chart-crosshair.png");
    UIApplicationHost::touchUp(touch);
    run(0.5);
    return written;
}

} // namespace

bool write(const Ref<KESTAppleMapViewController>& screen, const Ref<KESTPlane>& plane,
    const std::function<bool(const std::string&)>& write, const std::function<void(double)>& run)
{
    auto flightPlane = KESTDetailScreensDemo::scheduledPlaneNear(plane);
    screen->selectAnnotationMakeVisible(std::static_pointer_cast<KESTAnnotation>(flightPlane), true);
    run(2);
    screen->showDetailScreenForAnnotation(flightPlane);
    run(4);
    auto detail = screen->activePlaneDetailVC();
    bool written = false;
    if (detail) {
        detail->userSelectedIndex(1);
        run(2);
        auto flight = std::dynamic_pointer_cast<KESTFlightDetailViewController>(detail->selectedViewController());
        auto table = flight ? flight->tableView() : nullptr;
        if (table) {
            // A tap in the middle of the speed row.
            CGRect row = table->rectForRowAtIndexPath(NSIndexPath::indexPathForRowInSection(1, 0));
            UIApplicationHost::tap(
                table->convertPointToView(CGPointMake(CGRectGetMidX(row), CGRectGetMidY(row)), nullptr));
            // The push slides the graph in and the series draw themselves in.
            run(3);
        }
        auto navigation = detail->navigationController();
        auto graph = navigation
            ? std::dynamic_pointer_cast<KESTFlightGraphViewController>(navigation->topViewController())
            : nullptr;
        if (graph) {
            written = write("flight-graph.png");
            // FIXME: once the chart's canvas overlay places the crosshair on a long press, a
            // missing crosshair screen fails the run like the others.
            if (!writeCrosshair(graph, write, run))
                std::fprintf(stderr,
                    "volantrix: the flight graph showed no crosshair on a long press; "
                    "chart-crosshair.png was not written\n");
        } else {
            std::fprintf(stderr, "volantrix: the speed row did not open the flight graph\n");
        }
    }
    if (auto popover = screen->mapViewPOC()) {
        popover->dismissPopoverAnimated(false);
        screen->popoverControllerDidDismissPopover(popover);
    }
    screen->deselectAnnotation(flightPlane);
    run(1);
    return written;
}

} // namespace KESTFlightGraphDemo
