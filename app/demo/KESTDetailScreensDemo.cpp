#include "app/demo/KESTDetailScreensDemo.h"

#include "app/core/KESTAirport.h"
#include "app/core/KESTPlane.h"
#include "app/view-controllers/airport/KESTAirportViewController.h"
#include "app/view-controllers/detail/KESTAircraftDetailViewController.h"
#include "app/view-controllers/detail/KESTDetailViewController.h"
#include "app/view-controllers/detail/KESTOverviewDetailViewController.h"
#include "app/view-controllers/history/KESTHistoryViewController.h"
#include "app/view-controllers/map/KESTAppleMapViewController.h"
#include "app/view-controllers/map/KESTMapController.h"
#include "mapkit/MKMapView.h"
#include "uikit/NSIndexPath.h"
#include "uikit/UINavigationController.h"
#include "uikit/UIPopoverController.h"

#include <cmath>

namespace KESTDetailScreensDemo {

namespace {

void closePopover(const Ref<KESTAppleMapViewController>& screen)
{
    if (auto popover = screen->mapViewPOC()) {
        popover->dismissPopoverAnimated(false);
        screen->popoverControllerDidDismissPopover(popover);
    }
}

} // namespace

static bool writeScreens(const Ref<KESTAppleMapViewController>& screen, const Ref<KESTPlane>& plane,
    const std::function<bool(const std::string&)>& write, const std::function<void(double)>& run);

Ref<KESTPlane> scheduledPlaneNear(const Ref<KESTPlane>& plane)
{
    Ref<KESTPlane> scheduled;
    double best = 1e9;
    KESTLocation center = plane->coordinate();
    for (const auto& annotation : KESTMapController::sharedInstance()->customAnnotations()) {
        auto candidate = std::dynamic_pointer_cast<KESTPlane>(annotation);
        if (!candidate || candidate->fltno().empty() || candidate->altitude() < 3000)
            continue;
        KESTLocation at = candidate->coordinate();
        double d = std::hypot(at.latitude - center.latitude, at.longitude - center.longitude);
        if (d < best) {
            best = d;
            scheduled = candidate;
        }
    }
    return scheduled ? scheduled : plane;
}

bool writeAll(const Ref<KESTAppleMapViewController>& screen, const Ref<KESTPlane>& plane,
    const std::function<bool(const std::string&)>& write, const std::function<void(double)>& run)
{
    return writeScreens(screen, scheduledPlaneNear(plane), write, run);
}

static bool writeScreens(const Ref<KESTAppleMapViewController>& screen, const Ref<KESTPlane>& plane,
    const std::function<bool(const std::string&)>& write, const std::function<void(double)>& run)
{
    bool ok = true;
    screen->selectAnnotationMakeVisible(std::static_pointer_cast<KESTAnnotation>(plane), true);
    run(2);
    screen->showDetailScreenForAnnotation(plane);
    run(4);
    auto detail = screen->activePlaneDetailVC();
    if (!detail)
        return false;
    const char* names[] = { "detail-overview.png", "detail-flight.png", "detail-aircraft.png" };
    for (uint32_t tab = 0; tab < 3; ++tab) {
        detail->userSelectedIndex(tab);
        run(tab == 1 ? 3 : 1.5);
        ok = write(names[tab]) && ok;
    }

    // The aircraft's past flights, then the first one's track.
    auto navigation = detail->navigationController();
    auto aircraft = std::dynamic_pointer_cast<KESTAircraftDetailViewController>(detail->selectedViewController());
    if (navigation && aircraft) {
        aircraft->showHistory();
        run(3);
        auto history = std::dynamic_pointer_cast<KESTHistoryViewController>(navigation->topViewController());
        if (history && history->flightAt(0, 0)) {
            history->tableViewDidSelectRowAtIndexPath(
                history->tableView(), NSIndexPath::indexPathForRowInSection(0, 0));
            run(4);
            ok = write("history.png") && ok;
        } else {
            ok = false;
        }
        navigation->popToRootViewControllerAnimated(false);
        run(1);
    }

    // The photo grid, from the overview's header.
    detail->userSelectedIndex(0);
    run(1);
    if (auto overview = std::dynamic_pointer_cast<KESTOverviewDetailViewController>(detail->selectedViewController())) {
        overview->galleryPress(nullptr);
        run(4);
        ok = write("gallery.png") && ok;
        for (Ref<UIViewController> presenter : { Ref<UIViewController>(overview), Ref<UIViewController>(detail),
                 Ref<UIViewController>(detail->navigationController()) }) {
            if (presenter && presenter->presentedViewController())
                presenter->dismissViewControllerAnimatedCompletion(false, nullptr);
        }
        run(1);
    }
    closePopover(screen);
    screen->deselectAnnotation(plane);
    run(1);

    // The board of the busiest airport of the area.
    Ref<KESTAirport> board;
    for (const auto& airport : KESTAirport::airportsFromBundle()) {
        if (airport->iata() == "LHR") {
            board = airport;
            break;
        }
    }
    if (!board)
        return false;
    screen->showDetailScreenForAnnotation(board);
    run(4);
    auto boardNavigation = screen->mapViewPOC()
        ? std::dynamic_pointer_cast<UINavigationController>(screen->mapViewPOC()->contentViewController())
        : nullptr;
    auto boardScreen = boardNavigation
        ? std::dynamic_pointer_cast<KESTAirportViewController>(boardNavigation->topViewController())
        : nullptr;
    if (boardScreen && boardScreen->tableView()
        && boardScreen->tableViewNumberOfRowsInSection(boardScreen->tableView(), 0) > 0) {
        boardScreen->tableViewDidSelectRowAtIndexPath(
            boardScreen->tableView(), NSIndexPath::indexPathForRowInSection(0, 0));
        run(2);
    }
    ok = write("airport-board.png") && ok;
    closePopover(screen);
    run(1);
    return ok;
}

} // namespace KESTDetailScreensDemo
