#include "app/application/KESTFlightGraphDemo.h"

#include "app/application/KESTDetailScreensDemo.h"
#include "app/core/KESTPlane.h"
#include "app/view-controllers/detail/KESTDetailViewController.h"
#include "app/view-controllers/detail/KESTFlightDetailViewController.h"
#include "app/view-controllers/detail/KESTFlightGraphViewController.h"
#include "app/view-controllers/map/KESTAppleMapViewController.h"
#include "uikit/NSIndexPath.h"
#include "uikit/UIApplicationHost.h"
#include "uikit/UINavigationController.h"
#include "uikit/UIPopoverController.h"
#include "uikit/UITableView.h"

#include <cstdio>

namespace KESTFlightGraphDemo {

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
        if (navigation && std::dynamic_pointer_cast<KESTFlightGraphViewController>(navigation->topViewController()))
            written = write("flight-graph.png");
        else
            std::fprintf(stderr, "volantrix: the speed row did not open the flight graph\n");
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
