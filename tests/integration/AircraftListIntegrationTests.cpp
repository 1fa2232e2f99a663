#include "app/application/KESTAppDelegate.h"
#include "app/categories/MKMapView+ZoomLevel.h"
#include "app/core/KESTLiveDataManager.h"
#include "app/core/KESTPlane.h"
#include "app/view-controllers/list/KESTListViewController.h"
#include "app/view-controllers/map/KESTAppleMapViewController.h"
#include "app/view-controllers/map/KESTMapContainerViewController.h"
#include "app/view-controllers/menu/KESTMenuViewController.h"
#include "grid/LGridCell.h"
#include "grid/LatticeGrid.h"
#include "grid/datagrid/LDataGridCell.h"
#include "grid/datagrid/LDataGridColumn.h"
#include "grid/datagrid/LDataGridRow.h"
#include "grid/datagrid/LatticeDataGrid.h"
#include "mapkit/MKMapView.h"
#include "servicesim/ServiceSimulator.h"
#include "testing/Drain.h"
#include "testing/HostedWindow.h"
#include "tests/integration/AppLaunch.h"
#include "tests/integration/ServiceSimScope.h"
#include "uikit/NSIndexPath.h"
#include "uikit/UIApplicationHost.h"
#include "uikit/UINavigationController.h"
#include "uikit/UIPopoverController.h"
#include "uikit/UITableView.h"
#include "uikit/UIWindow.h"

#include <gtest/gtest.h>

namespace {

// A tap in the middle of the view, as the user's finger.
void tapOn(const Ref<UIView>& view)
{
    CGRect bounds = view->bounds();
    UIApplicationHost::tap(
        view->convertPointToView(CGPointMake(CGRectGetMidX(bounds), CGRectGetMidY(bounds)), nullptr));
}

// The header cell of the titled column, scrolled on screen.
Ref<LGridCell> headerOf(const Ref<LatticeDataGrid>& grid, const std::string& title)
{
    float left = 0;
    for (const auto& column : grid->columns()) {
        float width = column->width().value_or(grid->defaultColWidth().value_or(160));
        if (column->title() == title) {
            grid->setContentOffset(CGPointMake(std::max(0.0f, left + width - grid->bounds().size.width), 0));
            grid->internalGrid()->layoutIfNeeded();
            return grid->visibleHeaderCellAtColIndex(static_cast<uint32_t>(column->displayIndex()));
        }
        left += width;
    }
    return nullptr;
}

} // namespace

// The menu opens the aircraft list over the simulated traffic; header taps sort it by
// registration and then by altitude; a tapped row selects that plane on the map and closes the
// list.
TEST(AircraftListIntegration, OpenSortTwiceAndSelectOnTheMap)
{
    HostedWindow host(HostedWindow::Window::None);
    resetAppSingletonsForTesting();
    auto options = heathrowTraffic(24, 1500);
    ServiceSimScope services(options);
    ASSERT_TRUE(services.started());

    auto app = launchOntoTheMap();
    ASSERT_TRUE(app.screen);
    auto container = app.container;
    auto screen = app.screen;
    MKMapView_ZoomLevel::setCenterCoordinateZoomLevelAnimated(screen->mapView(), { 51.47, -0.45 }, 6, false);
    host.clock().advance(2);
    drainAll();
    auto live = KESTLiveDataManager::sharedInstance()->planeArray();
    ASSERT_GT(live.size(), 1000u);

    // Menu, then its "List View" row.
    ASSERT_TRUE(screen->menuBarButtonItem());
    screen->showMenu(screen->menuBarButtonItem()->customView());
    host.settle(1);
    ASSERT_TRUE(screen->poc());
    auto menuNavigation = std::dynamic_pointer_cast<UINavigationController>(screen->poc()->contentViewController());
    ASSERT_TRUE(menuNavigation);
    auto menu = std::dynamic_pointer_cast<KESTMenuViewController>(menuNavigation->viewControllers().front());
    ASSERT_TRUE(menu);
    menu->tableViewDidSelectRowAtIndexPath(menu->tableView(), NSIndexPath::indexPathForRowInSection(2, 0));
    host.settle(1);
    // The menu presents from the controller that defines the presentation context.
    Ref<UIViewController> shown;
    for (const Ref<UIViewController>& presenter : { Ref<UIViewController>(menu), Ref<UIViewController>(menuNavigation),
             Ref<UIViewController>(screen), Ref<UIViewController>(container) }) {
        if ((shown = presenter->presentedViewController()))
            break;
    }
    auto presented = std::dynamic_pointer_cast<UINavigationController>(shown);
    ASSERT_TRUE(presented);
    auto list = std::dynamic_pointer_cast<KESTListViewController>(presented->viewControllers().front());
    ASSERT_TRUE(list);
    auto grid = list->gridView();
    ASSERT_TRUE(grid);
    EXPECT_EQ(list->sortedGridContent().size(), live.size());

    // First sort: registration, ascending then descending.
    auto reg = headerOf(grid, "Reg");
    ASSERT_TRUE(reg);
    tapOn(reg);
    host.settle(1);
    EXPECT_EQ(grid->columnAtIndex(1)->sortOrder(), LDataGridColumnSortOrderAscending);
    tapOn(headerOf(grid, "Reg"));
    host.settle(1);
    const auto& byReg = list->sortedGridContent();
    ASSERT_EQ(byReg.size(), live.size());
    EXPECT_TRUE(std::is_sorted(byReg.begin(), byReg.end(),
        [](const Ref<KESTPlane>& a, const Ref<KESTPlane>& b) { return a->reg() > b->reg(); }));

    // Second sort: altitude resets registration and orders the rows by height.
    auto altitude = headerOf(grid, "Altitude");
    ASSERT_TRUE(altitude);
    tapOn(altitude);
    host.settle(1);
    EXPECT_EQ(grid->columnAtIndex(1)->sortOrder(), LDataGridColumnSortOrderNone);
    EXPECT_EQ(grid->columnAtIndex(5)->sortOrder(), LDataGridColumnSortOrderAscending);
    const auto& byAltitude = list->sortedGridContent();
    EXPECT_TRUE(std::is_sorted(byAltitude.begin(), byAltitude.end(),
        [](const Ref<KESTPlane>& a, const Ref<KESTPlane>& b) { return a->altitude() < b->altitude(); }));

    // A tap on the third row selects its plane on the map and closes the list.
    auto chosen = list->sortedGridContent()[2];
    grid->setContentOffset(CGPointMake(0, 0));
    grid->internalGrid()->layoutIfNeeded();
    auto cell = grid->visibleCellAtColAndRow(1, LDataGridRow::rowWithRowIndexSectionIndex(2, 0));
    ASSERT_TRUE(cell);
    tapOn(cell);
    host.settle(2);
    EXPECT_EQ(screen->selectedMarker(), chosen);
    EXPECT_FALSE(list->presentingViewController());
    CLLocationCoordinate2D center = screen->mapView()->centerCoordinate();
    KESTLocation at = chosen->coordinate();
    EXPECT_NEAR(center.latitude, at.latitude, 0.05);

    UIApplicationHost::terminate();
}
