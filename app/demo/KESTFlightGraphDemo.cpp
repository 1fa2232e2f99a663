#include "app/demo/KESTFlightGraphDemo.h"

#include "app/core/KESTPlane.h"
#include "app/demo/KESTDetailScreensDemo.h"
#include "app/view-controllers/detail/KESTDetailViewController.h"
#include "app/view-controllers/detail/KESTFlightDetailViewController.h"
#include "app/view-controllers/detail/KESTFlightGraphViewController.h"
#include "app/view-controllers/map/KESTAppleMapViewController.h"
#include "charts/LChartAxis.h"
#include "charts/LChartSeries.h"
#include "charts/view/LChartCanvas.h"
#include "charts/view/LChartCanvasOverlay.h"
#include "charts/view/LChartCrosshair.h"
#include "charts/view/LatticeChart.h"
#include "uikit/NSIndexPath.h"
#include "uikit/UIApplicationHost.h"
#include "uikit/UINavigationController.h"
#include "uikit/UIPopoverController.h"
#include "uikit/UITableView.h"

#include <algorithm>
#include <cstdio>

namespace KESTFlightGraphDemo {

namespace {

// Where the climb passes 60 percent of the flight's highest altitude, in the plot area's
// coordinates; the plot area's centre when the graph has no such sample.
CGPoint climbPoint(const KESTFlightGraphViewController& graph)
{
    const auto& chart = graph.chart();
    CGRect plot = chart->glFrameForHitTesting();
    CGPoint centre = CGPointMake(CGRectGetMidX(plot), CGRectGetMidY(plot));
    const Value& rows = graph.chartData();
    if (!rows.isArray() || rows.count() == 0 || !chart->xAxis() || !chart->yAxis())
        return centre;
    double highest = 0;
    for (size_t i = 0; i < rows.count(); ++i)
        highest = std::max(highest, rows.objectAtIndex(i).objectForKey("altitude").doubleValue());
    for (size_t i = 0; i < rows.count(); ++i) {
        const Value& row = rows.objectAtIndex(i);
        if (row.objectForKey("altitude").doubleValue() >= 0.6 * highest) {
            return CGPointMake(plot.origin.x + chart->xAxis()->pixelValueForDataValue(row.objectForKey("prikey")),
                plot.origin.y + chart->yAxis()->pixelValueForDataValue(row.objectForKey("altitude")));
        }
    }
    return centre;
}

// A long press on the altitude line as it climbs, held while the key window is saved as
// "chart-crosshair.png": the chart places its crosshair on the nearest point and names it in its
// tooltip. The flight graph's series leave the crosshair off, so it is turned on for them first.
// Returns false when the chart showed no crosshair.
bool writeCrosshair(const Ref<KESTFlightGraphViewController>& graph,
    const std::function<bool(const std::string&)>& write, const std::function<void(double)>& run)
{
    const auto& chart = graph->chart();
    if (!chart || !chart->canvas() || !chart->canvasOverlayView())
        return false;
    for (const auto& series : chart->series())
        series->setCrosshairEnabled(true);
    chart->canvasOverlayView()->enableAppropriateGestureRecognisers();
    CGPoint at = chart->canvas()->convertPointToView(climbPoint(*graph), nullptr);
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
            if (!writeCrosshair(graph, write, run)) {
                std::fprintf(stderr, "volantrix: the flight graph showed no crosshair on a long press\n");
                written = false;
            }
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
