#include "app/view-controllers/list/KESTListViewController.h"

#include "app/core/KESTPlane.h"
#include "app/core/KESTSettingsManager.h"
#include "app/tests/map/MapTestSupport.h"
#include "app/view-controllers/map/KESTAppleMapViewController.h"
#include "app/view-controllers/map/KESTMapController.h"
#include "grid/LGridCoord.h"
#include "grid/LatticeGrid.h"
#include "grid/datagrid/LDataGridColumn.h"
#include "grid/datagrid/LDataGridRow.h"
#include "grid/datagrid/LDataGridTextCell.h"
#include "grid/datagrid/LatticeDataGrid.h"
#include "mapkit/MKMapView.h"
#include "uikit/UIBarButtonItem.h"
#include "uikit/UINavigationController.h"
#include "uikit/UINavigationItem.h"
#include "uikit/UIWindow.h"

#include <gtest/gtest.h>

namespace {

struct TestPlane {
    std::string hex;
    std::string reg;
    double lat;
    double lon;
    double altitude;
    double heading = 90;
    std::string route = "LHR-JFK";
};

// The list over a map screen showing 50..52 N, 1 W..1 E, presented in its own navigation
// controller as the menu presents it.
class KESTListViewControllerTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        stubs.add(quietFeedStub());
        screen = KESTAppleMapViewController::initWithNibNameBundle({}, nullptr);
        window = UIWindow::initWithFrame(CGRectMake(0, 0, 1024, 768));
        window->setRootViewController(screen);
        window->makeKeyAndVisible();
        screen->view()->setFrame(CGRectMake(0, 0, 1024, 768));
        screen->mapView()->setFrame(CGRectMake(0, 0, 1024, 768));
        screen->mapView()->setRegion(MKCoordinateRegionMake({ 51, 0 }, MKCoordinateSpanMake(2, 2)));
        drainAll();
    }
    void TearDown() override
    {
        if (list && list->presentingViewController())
            list->navigationController()->dismissViewControllerAnimatedCompletion(false, nullptr);
        scope.clock().advance(1);
        drainAll();
        screen->cleanup();
        list = nullptr;
        screen = nullptr;
        window = nullptr;
        drainAll();
    }

    void publish(const std::vector<TestPlane>& planes)
    {
        std::string json = R"({"planes":{)";
        for (size_t i = 0; i < planes.size(); ++i) {
            const auto& p = planes[i];
            json += NSString::stringWithFormat(
                R"(%@"%@":["B738","%@","%@","C%@",%@,%@,%@,%@,450,1388534390,"1234",0,"BA1"])",
                std::string(i ? "," : ""), p.hex, p.route, p.reg, p.hex, Value(p.lat).stringValue(),
                Value(p.lon).stringValue(), Value(p.altitude).stringValue(), Value(p.heading).stringValue());
        }
        json += "}}";
        KESTLiveDataManager::sharedInstance()->parsePlaneDataResponse(
            NSJSONSerialization::JSONObjectWithData(std::string_view(json), 0, nullptr), true, nullptr, nullptr);
        drainAll();
    }

    void open()
    {
        list = KESTListViewController::init();
        auto navigation = UINavigationController::initWithRootViewController(list);
        screen->presentViewControllerAnimatedCompletion(navigation, false, nullptr);
        scope.clock().advance(1);
        drainAll();
    }

    std::vector<std::string> shownRegs() const
    {
        std::vector<std::string> regs;
        for (const auto& plane : list->sortedGridContent())
            regs.push_back(plane->reg());
        return regs;
    }

    // A tap on the header of the column at that position.
    void tapHeader(int32_t column)
    {
        auto grid = list->gridView();
        grid->latticeGridDidTapCellAtCoordIsDoubleTap(
            grid->internalGrid(), LGridCoord::initWithColumnWithRow(column, LGridRowMake(0, 0)), false);
    }

    std::string cellText(int32_t column, int32_t row)
    {
        auto cell = std::dynamic_pointer_cast<LDataGridTextCell>(
            list->gridView()->visibleCellAtColAndRow(column, LDataGridRow::rowWithRowIndexSectionIndex(row, 0)));
        return cell ? cell->text().value_or("") : std::string("(no cell)");
    }

    MapTestScope scope;
    URLStubs stubs;
    Ref<UIWindow> window;
    Ref<KESTAppleMapViewController> screen;
    Ref<KESTListViewController> list;
};

const std::vector<TestPlane> kPlanes = {
    { "400001", "G-CCCC", 51.47, 0.5, 30000, 359.6, "LHR-CDG" },
    { "400002", "G-AAAA", 50.0, -1.0, 12000 },
    { "400003", "z.NO-REG", 52.5, 0.0, 38000 },
    { "400004", "G-BBBB", 52.0, 1.0, 500 },
};

} // namespace

TEST_F(KESTListViewControllerTest, OpensOnTheLivePlanesByRegistrationWithTwelveColumns)
{
    publish(kPlanes);
    open();
    EXPECT_EQ(list->title(), "Plane List");
    EXPECT_EQ(shownRegs(), (std::vector<std::string> { "G-AAAA", "G-BBBB", "G-CCCC", "z.NO-REG" }));
    EXPECT_FALSE(list->localFilter());
    ASSERT_TRUE(list->filterButton());
    EXPECT_EQ(list->filterButton()->title(), "Nearby");
    EXPECT_EQ(list->navigationItem()->rightBarButtonItems().front(), list->filterButton());
    ASSERT_EQ(list->navigationItem()->leftBarButtonItems().size(), 1u);
    EXPECT_EQ(list->navigationItem()->leftBarButtonItems().front()->title(), "Close");

    auto columns = list->gridView()->columns();
    ASSERT_EQ(columns.size(), 12u);
    struct Expected {
        const char* title;
        std::optional<float> width;
        int32_t mode;
    } expected[] = { { "ADSHEX", 150, 2 }, { "Reg", 130, 2 }, { "Callsign", std::nullopt, 2 }, { "Lat", 110, 0 },
        { "Lon", 110, 0 }, { "Altitude", 140, 2 }, { "Heading", 150, 0 }, { "Speed", 130, 0 }, { "Type", 120, 0 },
        { "Route", 210, 0 }, { "Squawk", std::nullopt, 2 }, { "Flight No", std::nullopt, 2 } };
    for (size_t i = 0; i < 12; ++i) {
        SCOPED_TRACE(expected[i].title);
        EXPECT_EQ(columns[i]->title(), expected[i].title);
        EXPECT_EQ(columns[i]->width(), expected[i].width);
        EXPECT_EQ(columns[i]->sortMode(), expected[i].mode);
        EXPECT_TRUE(columns[i]->canReorderViaLongPress());
    }
    EXPECT_EQ(cellText(1, 0), "G-AAAA");
}

// Nearby keeps the planes inside the region shown when the list was made, edges included; the
// button names the mode a tap switches to.
TEST_F(KESTListViewControllerTest, NearbyAndGlobalModes)
{
    publish(kPlanes);
    open();
    KESTMapBounds bounds = list->boundsArray();
    // The map keeps the latitude span and widens the longitudes to its shape.
    EXPECT_NEAR(bounds.north, 52, 0.01);
    EXPECT_NEAR(bounds.south, 50, 0.01);
    EXPECT_LT(bounds.west, -1);
    EXPECT_GT(bounds.east, 1);
    list->toggleLocalArea(nullptr);
    EXPECT_TRUE(list->localFilter());
    EXPECT_EQ(shownRegs(), (std::vector<std::string> { "G-AAAA", "G-BBBB", "G-CCCC" }));
    EXPECT_EQ(list->filterButton()->title(), "Global");
    EXPECT_EQ(list->gridView()->numberOfRowsForSection(0), 3u);

    // Coming back on screen in Nearby keeps the button naming Global.
    list->viewWillAppear(false);
    EXPECT_EQ(list->filterButton()->title(), "Global");

    list->toggleLocalArea(nullptr);
    EXPECT_FALSE(list->localFilter());
    EXPECT_EQ(shownRegs().size(), 4u);
    EXPECT_EQ(list->filterButton()->title(), "Nearby");
}

TEST(KESTListViewController, BoundsAcrossTheAntimeridianTakeTheFarSide)
{
    auto planeAt = [](double lat, double lon) {
        KESTPlane::Fields fields;
        fields.lat = lat;
        fields.lon = lon;
        return KESTPlane::initWithAdshexAndFields("abc", fields);
    };
    KESTMapBounds pacific { 10, -10, 190, 170 };
    KESTMapBounds west { 10, -10, -170, -190 };
    KESTMapBounds plain { 10, -10, 5, -5 };
    struct Case {
        KESTMapBounds bounds;
        double lat, lon;
        bool inside;
    } cases[] = {
        { pacific, 0, 175, true },
        { pacific, 0, -175, true },
        { pacific, 0, -165, false },
        { west, 0, 175, true },
        { west, 0, -175, true },
        { plain, 10, 5, true },
        { plain, 10.001, 0, false },
        { plain, 0, -5.001, false },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.lat << "," << c.lon);
        EXPECT_EQ(KESTListViewController::planeIsInsideBounds(planeAt(c.lat, c.lon), c.bounds), c.inside);
    }
}

// Header taps on Altitude go ascending, descending, back to registration order; Lat has no
// sort mode and changes nothing.
TEST_F(KESTListViewControllerTest, HeaderTapsSortByTheSortableColumns)
{
    publish(kPlanes);
    open();
    tapHeader(5);
    EXPECT_EQ(shownRegs(), (std::vector<std::string> { "G-BBBB", "G-AAAA", "G-CCCC", "z.NO-REG" }));
    tapHeader(5);
    EXPECT_EQ(shownRegs(), (std::vector<std::string> { "z.NO-REG", "G-CCCC", "G-AAAA", "G-BBBB" }));
    EXPECT_EQ(cellText(1, 0), "z.NO-REG");
    tapHeader(5);
    EXPECT_EQ(shownRegs(), (std::vector<std::string> { "G-AAAA", "G-BBBB", "G-CCCC", "z.NO-REG" }));

    tapHeader(0);
    tapHeader(0);
    EXPECT_EQ(shownRegs(), (std::vector<std::string> { "G-BBBB", "z.NO-REG", "G-AAAA", "G-CCCC" }));
    // A column without a sort mode leaves the order and the other column's sort alone.
    tapHeader(3);
    EXPECT_EQ(shownRegs(), (std::vector<std::string> { "G-BBBB", "z.NO-REG", "G-AAAA", "G-CCCC" }));
    EXPECT_EQ(list->gridView()->columnAtIndex(0)->sortOrder(), LDataGridColumnSortOrderDescending);
}

// Cells show the plane's values in each column's format, found by title even after a column
// moved, with the user's units.
TEST_F(KESTListViewControllerTest, CellsShowFormattedValuesByColumnTitle)
{
    publish(kPlanes);
    open();
    // G-CCCC is the third by registration.
    EXPECT_EQ(cellText(3, 2), "51.470");
    EXPECT_EQ(cellText(4, 2), "0.500");
    EXPECT_EQ(cellText(6, 2), "360");
    EXPECT_EQ(cellText(5, 2), "30,000ft");
    EXPECT_EQ(cellText(7, 2), "450kts");
    EXPECT_EQ(KESTListViewController::textForField(list->sortedGridContent()[2], KESTListViewController::Field::Route),
        "LHR-CDG");
    EXPECT_EQ(cellText(0, 2), "400001");
    EXPECT_EQ(cellText(2, 2), "C400001");
    // Metres, and a unit the formatter does not know: an empty cell rather than a placeholder.
    KESTSettingsManager::sharedInstance()->setAltitudeUnit(1);
    EXPECT_EQ(
        KESTListViewController::textForField(list->sortedGridContent()[2], KESTListViewController::Field::Altitude),
        "9,144m");
    KESTSettingsManager::sharedInstance()->setAltitudeUnit(7);
    EXPECT_EQ(
        KESTListViewController::textForField(list->sortedGridContent()[2], KESTListViewController::Field::Altitude),
        "");
    KESTSettingsManager::sharedInstance()->setAltitudeUnit(0);

    auto grid = list->gridView();
    grid->latticeGridColAtIndexHasBeenSwitchedWithColAtIndex(grid->internalGrid(), 9, 0);
    grid->reload();
    grid->layoutIfNeeded();
    EXPECT_EQ(grid->columnAtIndex(0)->title(), "Route");
    EXPECT_EQ(cellText(0, 2), "LHR-CDG");
    EXPECT_EQ(grid->columnAtIndex(9)->title(), "ADSHEX");
}

TEST_F(KESTListViewControllerTest, SelectingARowSelectsThePlaneAndClosesTheList)
{
    publish(kPlanes);
    open();
    ASSERT_TRUE(screen->presentedViewController());
    list->gridView()->setRowAsSelectedAnimated(LDataGridRow::rowWithRowIndexSectionIndex(3, 0), true, false);
    scope.clock().advance(1);
    drainAll();
    auto selected = std::dynamic_pointer_cast<KESTPlane>(screen->selectedMarker());
    ASSERT_TRUE(selected);
    EXPECT_EQ(selected->adshex(), "400003");
    EXPECT_NEAR(screen->mapView()->centerCoordinate().latitude, 52.5, 0.01);
    EXPECT_FALSE(screen->presentedViewController());
}

TEST_F(KESTListViewControllerTest, AnEmptyFeedGivesAnEmptyList)
{
    open();
    EXPECT_TRUE(list->sortedGridContent().empty());
    EXPECT_EQ(list->gridView()->numberOfRowsForSection(0), 0u);
    list->toggleLocalArea(nullptr);
    EXPECT_TRUE(list->sortedGridContent().empty());
}
