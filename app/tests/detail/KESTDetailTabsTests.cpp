#include "app/tests/detail/DetailTestSupport.h"
#include "app/view-controllers/cockpit/KESTCockpitViewController.h"
#include "app/view-controllers/detail/KESTAircraftDetailViewController.h"
#include "app/view-controllers/detail/KESTDetailViewController.h"
#include "app/view-controllers/detail/KESTFlightCodeshareViewCell.h"
#include "app/view-controllers/detail/KESTFlightDaysOfOperationViewCell.h"
#include "app/view-controllers/detail/KESTFlightDetailViewController.h"
#include "app/view-controllers/detail/KESTFlightGraphViewController.h"
#include "app/view-controllers/detail/KESTFlightScheduledViewCell.h"
#include "app/view-controllers/detail/KESTGeneralOverviewViewCell.h"
#include "app/view-controllers/detail/KESTOverviewDetailViewController.h"
#include "app/view-controllers/detail/KESTPlaneHeaderViewCell.h"
#include "app/view-controllers/detail/KESTSingleColumnViewCell.h"
#include "app/view-controllers/detail/KESTThreeColumnViewCell.h"
#include "app/view-controllers/gallery/KESTNoImageWarningView.h"
#include "app/view-controllers/history/KESTHistoryViewController.h"
#include "app/widgets/KESTRouteProgressView.h"
#include "graphics/CADisplayLink.h"
#include "mapkit/MKMapCamera.h"
#include "mapkit/MKMapView.h"
#include "uikit/NSIndexPath.h"
#include "uikit/UIButton.h"
#include "uikit/UIImageView.h"
#include "uikit/UILabel.h"
#include "uikit/UINavigationController.h"
#include "uikit/UINib.h"

#include <gtest/gtest.h>

namespace {

template <typename Tab> Ref<Tab> tabOf(const Ref<KESTDetailViewController>& detail)
{
    for (const auto& child : detail->viewControllers()) {
        if (auto tab = std::dynamic_pointer_cast<Tab>(child))
            return tab;
    }
    return nullptr;
}

template <typename Cell, typename Tab> Ref<Cell> row(const Ref<Tab>& tab, int32_t index)
{
    return std::dynamic_pointer_cast<Cell>(
        tab->tableViewCellForRowAtIndexPath(tab->tableView(), NSIndexPath::indexPathForRowInSection(index, 0)));
}

template <typename Tab> CGFloat height(const Ref<Tab>& tab, int32_t index)
{
    return *tab->tableViewHeightForRowAtIndexPath(tab->tableView(), NSIndexPath::indexPathForRowInSection(index, 0));
}

// The detail screen in its navigation controller, which the test keeps alive.
struct OpenDetail {
    Ref<UINavigationController> navigation;
    Ref<KESTDetailViewController> detail;
    KESTDetailViewController* operator->() const { return detail.get(); }
    operator Ref<KESTDetailViewController>() const { return detail; }
};

OpenDetail openDetail(const Ref<KESTPlane>& plane)
{
    auto detail = KESTDetailViewController::initWithPlane(plane);
    auto navigation = UINavigationController::initWithRootViewController(detail);
    navigation->view()->setFrame(CGRectMake(0, 0, 320, 600));
    drainAll();
    return { navigation, detail };
}

} // namespace

TEST(KESTOverviewDetailViewController, ShowsPhotoStateNamesAndArrivalTimes)
{
    DetailTestScope scope;
    auto metadata = scope.json(
        "APPAPIv2/planeMetaData.php", R"({"route":["a","b"],"status":[1,"1230",0,1],"aircraft":{"country":"G"}})");
    scope.json("searchPhotos.php", "[]", 5);
    auto plane = detailPlane("400001", "B738", "LHR-JFK", "z.NO-REG", "z.NO-CALL", "");
    auto detail = openDetail(plane);
    auto overview = tabOf<KESTOverviewDetailViewController>(detail);
    ASSERT_TRUE(overview);
    overview->viewWillAppear(false);
    EXPECT_EQ(detail->title(), "z.NO-CALL") << "no flight number: the callsign alone";

    // Before the photo search answers: neither photo action nor warning.
    auto header = row<KESTPlaneHeaderViewCell>(overview, 0);
    ASSERT_TRUE(header);
    EXPECT_TRUE(header->noImageView()->isHidden());
    EXPECT_TRUE(header->galleryImageView()->isHidden());
    scope.clock().advance(5);
    drainAll();
    header = row<KESTPlaneHeaderViewCell>(overview, 0);
    EXPECT_FALSE(header->noImageView()->isHidden()) << "an empty answer shows the warning";

    auto general = row<KESTGeneralOverviewViewCell>(overview, 1);
    EXPECT_EQ(general->callsignValueLabel()->text(), "N/A");
    EXPECT_EQ(general->regValueLabel()->text(), "N/A");
    EXPECT_EQ(height(overview, 1), 63) << "no airline logo";

    // The route is too short to hold the scheduled time: "Estimated" shows, "Scheduled" does not.
    auto arrival = row<KESTFlightScheduledViewCell>(overview, 4);
    EXPECT_EQ(arrival->scheduledArrivalDayValueLabel()->text(), "12:30");
    EXPECT_EQ(arrival->elapsedJourneyTimeValueLabel()->text(), "N/A");
    EXPECT_EQ(row<KESTSingleColumnViewCell>(overview, 5)->valueLabel()->text(), "0007");

    // Without a schedule record the progress bar is drawn at half opacity.
    row<UITableViewCell>(overview, 2);
    ASSERT_TRUE(overview->progressView());
    EXPECT_EQ(overview->progressView()->alpha(), 0.5f);
    overview->viewWillDisappear(false);
    EXPECT_FALSE(overview->timestampUpdateTimer());
}

TEST(KESTOverviewDetailViewController, NullEstimateShowsNotAvailableAndLogoGrowsTheRow)
{
    DetailTestScope scope;
    scope.json("APPAPIv2/planeMetaData.php",
        R"({"route":)" + scheduleRecordJSON(0, "Y") + R"(,"status":[0,null,0,1],"airlineICAO":"BAW"})");
    scope.json("searchPhotos.php", R"([{"id":"p1","filename":"f.jpg","author":"A","NINGURL":"u"}])");
    scope.image("v1/getLogo.php");
    auto detail = openDetail(detailPlane("400001", "B738", "LHR-JFK", "G-STBA", "BAW117", "BA117"));
    auto overview = tabOf<KESTOverviewDetailViewController>(detail);
    auto arrival = row<KESTFlightScheduledViewCell>(overview, 4);
    EXPECT_EQ(arrival->scheduledArrivalDayValueLabel()->text(), "N/A");
    EXPECT_EQ(arrival->elapsedJourneyTimeValueLabel()->text(), "N/A");
    ASSERT_TRUE(detail->airlineImage());
    EXPECT_EQ(height(overview, 1), 126);
    auto header = row<KESTPlaneHeaderViewCell>(overview, 0);
    EXPECT_FALSE(header->galleryImageView()->isHidden());
    EXPECT_TRUE(header->noImageView()->isHidden());
}

TEST(KESTOverviewDetailViewController, LastUpdatedTicksEverySecondWhileShown)
{
    DetailTestScope scope;
    scope.json("", "{}");
    auto plane = detailPlane("400001", "B738", "LHR-JFK", "G-STBA", "BAW117", "BA117");
    plane->setMtime(scope.clock().clock().wallTime() - 10);
    auto detail = openDetail(plane);
    auto overview = tabOf<KESTOverviewDetailViewController>(detail);
    auto table = overview->tableView();
    table->setFrame(CGRectMake(0, 0, 320, 500));
    table->reloadData();
    table->layoutIfNeeded();
    overview->viewWillAppear(false);
    auto header = row<KESTPlaneHeaderViewCell>(overview, 0);
    ASSERT_TRUE(overview->timestampUpdateTimer());
    auto visible = std::dynamic_pointer_cast<KESTPlaneHeaderViewCell>(
        table->cellForRowAtIndexPath(NSIndexPath::indexPathForRowInSection(0, 0)));
    ASSERT_TRUE(visible);
    overview->updateTimestamp();
    EXPECT_EQ(visible->updateTimestampLabel()->text(), "Last updated 10 secs ago");
    scope.clock().advance(1);
    EXPECT_EQ(visible->updateTimestampLabel()->text(), "Last updated 11 secs ago");
    overview->viewWillDisappear(false);
    scope.clock().advance(5);
    EXPECT_EQ(visible->updateTimestampLabel()->text(), "Last updated 11 secs ago") << "stopped off screen";
}

TEST(KESTFlightDetailViewController, FollowsThePlaneAndShowsTheScheduleRows)
{
    struct Altitude {
        double feet, camera;
    };
    for (auto c : { Altitude { 12000, 5000 }, Altitude { 7500, 7500 }, Altitude { 3000, 1000 }, Altitude { 5000, 5000 },
             Altitude { 10000, 10000 } })
        EXPECT_EQ(KESTFlightDetailViewController::cameraAltitudeForRealAltitude(c.feet), c.camera) << c.feet;

    DetailTestScope scope;
    std::string record = scheduleRecordJSON(4, "FY");
    // Days of operation with other characters among the digits.
    record.replace(record.find("\"1357\""), 6, "\"1x3 5,7\"");
    scope.json("APPAPIv2/planeMetaData.php",
        R"({"route":)" + record
            + R"(,"graph":{"2":{"prikey":2,"altitude":3000,"speed":200},"10":{"prikey":10,"altitude":9000,"speed":400},"1":{"prikey":1,"altitude":1000,"speed":150}}})");
    scope.json("searchPhotos.php", "[]");
    auto plane = detailPlane("400001", "B738", "LHR-JFK", "G-STBA", "BAW117", "BA117");
    auto detail = openDetail(plane);
    auto flight = tabOf<KESTFlightDetailViewController>(detail);
    ASSERT_TRUE(flight);
    ASSERT_TRUE(flight->proxyPlane());

    // Samples in text order of their keys: 1, 10, 2.
    const Value& chart = flight->chartData();
    ASSERT_EQ(chart.count(), 3u);
    EXPECT_EQ(chart.objectAtIndex(1).objectForKey("prikey").intValue(), 10);
    EXPECT_EQ(chart.objectAtIndex(2).objectForKey("prikey").intValue(), 2);
    EXPECT_EQ(flight->chartDataKeys().objectAtIndex(0).string(), "Altitude");

    EXPECT_EQ(height(flight, 6), 100) << "four codeshares";
    EXPECT_EQ(height(flight, 9), 101) << "two passenger classes";
    auto days = row<KESTFlightDaysOfOperationViewCell>(flight, 3);
    ASSERT_TRUE(days);
    auto active = UIImage::imageNamed("daysOfOperationActive");
    std::string marked;
    for (int32_t day = 1; day <= 7; ++day)
        marked += days->dayImageView(day)->image() == active ? std::to_string(day) : "-";
    EXPECT_EQ(marked, "1-3-5-7");

    // Before the tab has appeared the camera is left alone; afterwards updates glide it.
    EXPECT_NE(flight->mapView()->camera()->pitch(), 70);
    flight->viewDidAppear(false);
    EXPECT_TRUE(flight->hasPerformedInitialLoad());
    plane->setHeading(200);
    flight->liveDataDidUpdate();
    drainAll();
    scope.clock().advance(12.5);
    EXPECT_EQ(flight->mapView()->camera()->heading(), 200);
    EXPECT_EQ(flight->mapView()->camera()->pitch(), 70);

    detail->cleanup();
    EXPECT_FALSE(flight->mapView());
    EXPECT_FALSE(flight->displayLink());
}

// The speed and the altitude rows open the flight's graph with the tab's samples and titles.
TEST(KESTFlightDetailViewController, SpeedAndAltitudeRowsOpenTheFlightGraph)
{
    DetailTestScope scope;
    scope.json("APPAPIv2/planeMetaData.php",
        R"({"graph":{"00":{"prikey":0,"altitude":0,"speed":160},"01":{"prikey":1,"altitude":8000,"speed":300}}})");
    scope.json("searchPhotos.php", "[]");
    auto detail = openDetail(detailPlane("400001", "B738", "LHR-JFK", "G-STBA", "BAW117", "BA117"));
    auto flight = tabOf<KESTFlightDetailViewController>(detail);
    ASSERT_TRUE(flight);
    ASSERT_EQ(flight->chartData().count(), 2u);
    for (int32_t index : { 1, 2, 0, 3, 9 }) {
        SCOPED_TRACE("row " + std::to_string(index));
        flight->tableViewDidSelectRowAtIndexPath(flight->tableView(), NSIndexPath::indexPathForRowInSection(index, 0));
        drainAll();
        auto graph = std::dynamic_pointer_cast<KESTFlightGraphViewController>(detail.navigation->topViewController());
        if (index != 1 && index != 2) {
            EXPECT_EQ(detail.navigation->topViewController(), detail.detail);
            continue;
        }
        ASSERT_TRUE(graph);
        EXPECT_TRUE(graph->chartData() == flight->chartData());
        EXPECT_TRUE(graph->chartDataKeys() == flight->chartDataKeys());
        detail.navigation->popViewControllerAnimated(false);
        drainAll();
    }
}

// Samples the service sends malformed are left out of the graph; the others are plotted.
TEST(KESTFlightDetailViewController, MalformedGraphSamplesAreLeftOutOfTheGraph)
{
    DetailTestScope scope;
    scope.json("APPAPIv2/planeMetaData.php",
        R"({"graph":{
            "01":{"prikey":1,"altitude":1000,"speed":150},
            "02":{"altitude":2000,"speed":200},
            "03":{"prikey":null,"altitude":2100,"speed":210},
            "04":"sample",
            "05":{"prikey":[5],"altitude":2500,"speed":220},
            "06":{"prikey":{"x":6},"altitude":2600,"speed":230},
            "07":{"prikey":7,"altitude":"high","speed":240},
            "08":{"prikey":8,"speed":250},
            "09":{"prikey":9,"altitude":2900,"speed":null},
            "10":[10,3000,260],
            "11":{"prikey":"11","altitude":3100,"speed":270}}})");
    scope.json("searchPhotos.php", "[]");
    auto detail = openDetail(detailPlane("400001", "B738", "LHR-JFK", "G-STBA", "BAW117", "BA117"));
    auto flight = tabOf<KESTFlightDetailViewController>(detail);
    ASSERT_TRUE(flight);
    const Value& chart = flight->chartData();
    std::vector<std::string> plotted;
    for (const auto& row : chart.elements())
        plotted.push_back(row.objectForKey("prikey").stringValue());
    EXPECT_EQ(plotted, (std::vector<std::string> { "1", "11" }));

    // The graph opens on what is left, every point with its position and both values.
    flight->tableViewDidSelectRowAtIndexPath(flight->tableView(), NSIndexPath::indexPathForRowInSection(1, 0));
    drainAll();
    auto graph = std::dynamic_pointer_cast<KESTFlightGraphViewController>(detail.navigation->topViewController());
    ASSERT_TRUE(graph);
    ASSERT_TRUE(graph->chartData() == chart);
    for (const auto& row : graph->chartData().elements()) {
        SCOPED_TRACE(row.description());
        EXPECT_FALSE(row.objectForKey("prikey").isNilOrNull());
        EXPECT_TRUE(row.objectForKey("altitude").isNumber());
        EXPECT_TRUE(row.objectForKey("speed").isNumber());
    }
}

TEST(KESTFlightDetailViewController, WithoutScheduleTheRowsShowNotAvailable)
{
    DetailTestScope scope;
    scope.json("", "{}");
    auto detail = openDetail(detailPlane("400001", "B738", "LHR-JFK", "G-STBA", "BAW117", "BA117"));
    auto flight = tabOf<KESTFlightDetailViewController>(detail);
    EXPECT_EQ(height(flight, 6), 64);
    EXPECT_EQ(height(flight, 9), 61);
    auto codeshares = row<KESTFlightCodeshareViewCell>(flight, 6);
    EXPECT_EQ(codeshares->codeshareLabel(1)->text(), "N/A");
    EXPECT_TRUE(codeshares->codeshareLabel(2)->isHidden());
    EXPECT_EQ(row<KESTSingleColumnViewCell>(flight, 9)->valueLabel()->text(), "N/A");
    EXPECT_EQ(row<KESTFlightScheduledViewCell>(flight, 5)->scheduledArrivalDayValueLabel()->text(), "N/A");
}

TEST(KESTAircraftDetailViewController, ShowsTheAirframeAndOpensItsHistory)
{
    DetailTestScope scope;
    scope.json("APPAPIv2/planeMetaData.php", "{}", 5);
    scope.json("searchPhotos.php", "[]");
    scope.json("APPAPIv2/getHistoryForPlane.php", R"({"flights":[]})");
    auto detail = openDetail(detailPlane("4ca123", "B738", "LHR-JFK", "G-STBA", "XQX1", "BA117"));
    auto aircraft = tabOf<KESTAircraftDetailViewController>(detail);
    ASSERT_TRUE(aircraft);
    auto dates = row<KESTThreeColumnViewCell>(aircraft, 2);
    EXPECT_EQ(dates->col1ValueLabel()->text(), "N/A") << "before the metadata answer";
    EXPECT_EQ(row<KESTSingleColumnViewCell>(aircraft, 7)->valueLabel()->text(), "N/A");

    // An airline known by name but not by callsign: "Name (N/A)".
    const auto& data = KESTFlightDataManager::sharedInstance();
    EXPECT_FALSE(data->getAirlineCallsign("XQX"));
    scope.stubs().add([] {
        URLStubSpec spec;
        spec.url = std::string(DetailTestScope::kBase) + "APPAPIv2/planeMetaData.php";
        spec.matchPrefix = true;
        spec.headers = { { "Content-Type", "application/json" } };
        spec.body
            = R"({"aircraft":{"country":"G","Operator":"Owner Ltd","ff":"","REGON":"2004","rollout":"01-02-03","Con No":"123"},"airlineICAO":"BAW"})";
        return spec;
    }());
    auto second = openDetail(detailPlane("4ca124", "B738", "LHR-JFK", "G-STBB", "XQX2", "BA118"));
    auto tab = tabOf<KESTAircraftDetailViewController>(second);
    dates = row<KESTThreeColumnViewCell>(tab, 2);
    EXPECT_EQ(dates->col1ValueLabel()->text(), "N/A") << "an empty first-flight date";
    EXPECT_EQ(dates->col2ValueLabel()->text(), "2004") << "a date that does not parse is shown as it is";
    EXPECT_EQ(dates->col3ValueLabel()->text(), "2/1/03");
    EXPECT_EQ(row<KESTThreeColumnViewCell>(tab, 3)->col1ValueLabel()->text(), "123");
    EXPECT_EQ(row<KESTThreeColumnViewCell>(tab, 4)->col3ValueLabel()->text(), "4ca124");
    EXPECT_EQ(row<KESTSingleColumnViewCell>(tab, 6)->valueLabel()->text(), "British Airways (SPEEDBIRD)");
    EXPECT_EQ(row<KESTSingleColumnViewCell>(tab, 7)->valueLabel()->text(), "Owner Ltd");

    tab->showHistory();
    auto history
        = std::dynamic_pointer_cast<KESTHistoryViewController>(second->navigationController()->topViewController());
    ASSERT_TRUE(history);
    EXPECT_EQ(history->adshex(), "4ca124");
}

TEST(KESTFlightCodeshareViewCell, ShowsUpToFifteenAndSizesByLines)
{
    AppTestScope scope;
    auto objects
        = UINib::nibWithNibNameBundle("KESTFlightCodeshareViewCell", nullptr)->instantiateWithOwnerOptions(nullptr, {});
    auto cell = objects.at(0).objectAs<KESTFlightCodeshareViewCell>();
    ASSERT_TRUE(cell);
    auto list = [](int n) {
        Value codes = Value::mutableArray();
        for (int i = 0; i < n; ++i)
            codes.addObject(Value("AA" + std::to_string(100 + i)));
        return codes.copy();
    };
    struct Case {
        int count;
        float height;
        int visible;
    };
    for (auto c : { Case { 0, 64, 1 }, Case { 1, 64, 1 }, Case { 2, 66, 2 }, Case { 4, 100, 4 }, Case { 15, 202, 15 },
             Case { 17, 236, 15 }, Case { 3, 66, 3 } }) {
        SCOPED_TRACE(c.count);
        EXPECT_EQ(KESTFlightCodeshareViewCell::heightWithData(list(c.count)), c.height);
        cell->setData(Value::array({ list(c.count) }));
        int shown = 0;
        for (int32_t i = 1; i <= 15; ++i)
            shown += cell->codeshareLabel(i)->isHidden() ? 0 : 1;
        EXPECT_EQ(shown, c.visible) << "a reused cell hides what a longer list showed";
    }
}

TEST(KESTFlightDetailViewController, CockpitButtonOpensTheCockpitView)
{
    DetailTestScope scope;
    scope.json("", "{}");
    auto detail = openDetail(detailPlane("400001", "B738", "LHR-JFK", "G-STBA", "BAW117", "BA117"));
    auto flight = tabOf<KESTFlightDetailViewController>(detail);
    row<UITableViewCell>(flight, 0);
    ASSERT_TRUE(flight->cockpitButton());
    flight->cockpitButton()->sendActionsForControlEvents(UIControlEventTouchUpInside);
    auto cockpit = std::dynamic_pointer_cast<KESTCockpitViewController>(detail.navigation->topViewController());
    ASSERT_TRUE(cockpit);
    EXPECT_EQ(cockpit->plane(), detail->plane());
}
