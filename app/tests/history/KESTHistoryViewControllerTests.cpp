#include "app/view-controllers/history/KESTHistoryViewController.h"

#include "app/core/KESTAirport.h"
#include "app/core/KESTHistoricFlight.h"
#include "app/core/OrderedDictionary.h"
#include "app/tests/RequestAddress.h"
#include "app/tests/detail/DetailTestSupport.h"
#include "app/view-controllers/history/KESTHistoryDetailViewController.h"
#include "app/view-controllers/map/KESTMapAnnotation.h"
#include "mapkit/MKMapView.h"
#include "mapkit/MKMultiPoint.h"
#include "mapkit/MKOverlay.h"
#include "uikit/NSIndexPath.h"
#include "uikit/UILabel.h"
#include "uikit/UINavigationController.h"

#include <gtest/gtest.h>

namespace {

std::string item(const char* flightno, const char* flightnoNew, const char* timestamp, const char* key = "k")
{
    return std::string(R"({"flight":{"flightno":")") + flightno + R"(","flightno_new":")" + flightnoNew
        + R"(","route":"LHR-JFK","timestamp":")" + timestamp + R"(","primary_key":")" + key + R"("}})";
}

// Sections as "day: title title ...".
std::vector<std::string> sections(const Ref<KESTHistoryViewController>& list)
{
    std::vector<std::string> out;
    auto table = list->tableView();
    for (int32_t s = 0; s < list->numberOfSectionsInTableView(table); ++s) {
        std::string line = *list->tableViewTitleForHeaderInSection(table, s) + ":";
        for (int32_t r = 0; r < list->tableViewNumberOfRowsInSection(table, s); ++r)
            line += " "
                + list->tableViewCellForRowAtIndexPath(table, NSIndexPath::indexPathForRowInSection(r, s))
                      ->textLabel()
                      ->text();
        out.push_back(line);
    }
    return out;
}

std::pair<CLLocationCoordinate2D, CLLocationCoordinate2D> endsOf(const Ref<MKMultiPoint>& line)
{
    const auto& points = line->points();
    return { MKCoordinateForMapPoint(points.front()), MKCoordinateForMapPoint(points.back()) };
}

} // namespace

TEST(KESTHistoryViewController, ListsFlightsByDaySkippingRepeats)
{
    DetailTestScope scope;
    struct Case {
        const char* name;
        std::string body;
        std::vector<std::string> expected;
    };
    const Case cases[] = {
        { "repeat of the last listed",
            R"({"flights":[)" + item("BAW1", "BA1", "2024-05-01 10:00:00") + ","
                + item("BA1", "BA2", "2024-05-01 12:00:00") + "," + item("BAW1", "BA3", "2024-04-30 09:00:00") + "]}",
            { "2024-05-01: BA1", "2024-04-30: BA3" } },
        { "empty first flight number",
            R"({"flights":[)" + item("", "BA1", "2024-05-01 10:00:00") + "," + item("X", "", "2024-05-02 10:00:00")
                + "]}",
            { "2024-05-02: X" } },
        { "days apart keep their first place",
            R"({"flights":[)" + item("A", "A1", "2024-05-02 10:00:00") + "," + item("B", "B1", "2024-05-01 10:00:00")
                + "," + item("C", "C1", "2024-05-02 08:00:00") + "]}",
            { "2024-05-02: A1 C1", "2024-05-01: B1" } },
        // Without "flightno_new" the title is empty (the callsign stands in only for an empty
        // flight number), and the next item with an empty "flightno" does not repeat it.
        { "missing flight number",
            R"({"flights":[{"flight":{"flightno":"BAW7","route":"LHR-JFK","timestamp":"2024-05-01 10:00:00"}},)"
                + item("", "X1", "2024-05-01 12:00:00") + "]}",
            { "2024-05-01:  X1" } },
        { "null flight number",
            R"({"flights":[{"flight":{"flightno":"BAW7","flightno_new":null,"timestamp":"2024-05-01 10:00:00"}},)"
                + item("", "X1", "2024-05-01 12:00:00") + "," + item("X1", "X2", "2024-05-01 13:00:00") + "]}",
            { "2024-05-01:  X1" } },
        { "empty flight number shows the callsign",
            R"({"flights":[)" + item("BAW8", "", "2024-05-01 10:00:00") + "," + item("", "X1", "2024-05-01 12:00:00")
                + "]}",
            { "2024-05-01: BAW8" } },
        { "not a list", R"({"flights":{"a":1}})", {} },
        { "items without a flight and short stamps", R"({"flights":[{"x":1},7,)" + item("D", "D1", "2024") + "]}",
            { "2024: D1" } },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        auto list = KESTHistoryViewController::initWithADSHEX("4ca123");
        list->parseJSON(NSJSONSerialization::JSONObjectWithData(c.body, 0, nullptr));
        EXPECT_EQ(sections(list), c.expected);
    }
}

TEST(KESTHistoryViewController, FetchesOnLoadAndOpensATrack)
{
    DetailTestScope scope;
    auto history = scope.json("APPAPIv2/getHistoryForPlane.php?querytype=1&adshex=4ca123",
        R"({"flights":[)" + item("BAW1", "BA1", "2024-05-01 10:00:00", "4ca123-1") + "]}");
    scope.json("APPAPIv2/getHistoryForPlane.php?querytype=2&flightid=4ca123-1",
        R"({"locations":{"location":[{"lat":51.5,"lon":-0.4},{"lat":"0","lon":"-10"},{"lat":"45.1","lon":"-40.2"}]}})");
    auto list = KESTHistoryViewController::initWithADSHEX("4ca123");
    auto navigation = UINavigationController::initWithRootViewController(list);
    EXPECT_EQ(history->requestCount(), 0u) << "nothing is asked before the view loads";
    navigation->view()->setFrame(CGRectMake(0, 0, 320, 600));
    drainAll();
    EXPECT_EQ(history->requestCount(), 1u);
    ASSERT_EQ(sections(list), (std::vector<std::string> { "2024-05-01: BA1" }));
    list->tableViewDidSelectRowAtIndexPath(list->tableView(), NSIndexPath::indexPathForRowInSection(0, 0));
    auto track = std::dynamic_pointer_cast<KESTHistoryDetailViewController>(navigation->topViewController());
    ASSERT_TRUE(track);
    track->view();
    drainAll();
    EXPECT_EQ(track->title(), "BA1");
    EXPECT_EQ(track->airportLocationCount(), 2u);
    ASSERT_EQ(track->mapView()->overlays().size(), 1u);
    auto line = std::dynamic_pointer_cast<MKMultiPoint>(track->mapView()->overlays()[0]);
    ASSERT_TRUE(line);
    // From the last airport of the route to the first.
    auto ends = endsOf(line);
    EXPECT_NEAR(ends.first.latitude, 40.64, 0.01);
    EXPECT_NEAR(ends.second.latitude, 51.47, 0.01);
}

// Routes with fewer than two known airports mark the track's ends; points at 0 are left out.
TEST(KESTHistoryDetailViewController, MarksTrackEndsWhenTheRouteIsUnknown)
{
    DetailTestScope scope;
    struct Case {
        const char* route;
        size_t airports;
        const char* answer;
        size_t markers;
        double firstLat, lastLat; // of the line; 0 when there is none
    };
    const Case cases[] = {
        { "XXX-LHR", 0, R"({"locations":{"location":[{"lat":1,"lon":2},{"lat":3,"lon":4}]}})", 2, 1, 3 },
        // The first point is at latitude 0: left out, and no marker at it.
        { "LHR-XXX", 1, R"({"locations":{"location":[{"lat":0,"lon":2},{"lat":3,"lon":4},{"lat":5,"lon":6}]}})", 2, 3,
            5 },
        { "LHR->JFK", 1, R"({"locations":{"location":{"lat":1}}})", 1, 0, 0 },
        { "LHR-JFK-CDG", 3, R"({"other":1})", 3, 49.01, 51.47 },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.route);
        auto flight = KESTHistoricFlight::init();
        flight->setRoute(c.route);
        flight->setCallsign("BAW1");
        auto screen = KESTHistoryDetailViewController::initWithHistoricFlight(flight);
        EXPECT_EQ(screen->title(), "BAW1");
        EXPECT_EQ(screen->airportLocationCount(), c.airports);
        screen->showTrack(NSJSONSerialization::JSONObjectWithData(c.answer, 0, nullptr));
        EXPECT_EQ(screen->mapView()->annotations().size(), c.markers);
        auto overlays = screen->mapView()->overlays();
        if (c.firstLat == 0) {
            EXPECT_TRUE(overlays.empty());
            continue;
        }
        ASSERT_EQ(overlays.size(), 1u);
        auto ends = endsOf(std::dynamic_pointer_cast<MKMultiPoint>(overlays[0]));
        EXPECT_NEAR(ends.first.latitude, c.firstLat, 0.01);
        EXPECT_NEAR(ends.second.latitude, c.lastLat, 0.01);
    }
}

// The aircraft's address and the flight ids of the answer go into the two history requests
// percent-encoded: each keeps exactly its fields and reads back as the value.
TEST(KESTHistoryViewController, EscapesTheAddressAndTheFlightIds)
{
    DetailTestScope scope;
    for (const auto& hostile : hostileURLValues()) {
        SCOPED_TRACE(hostile);
        size_t before = scope.stubs().allRequests().size();
        scope.json("APPAPIv2/getHistoryForPlane.php",
            R"({"flights":[)" + item("BAW1", "BA1", "2024-05-01 10:00:00", hostile.c_str()) + "]}");
        auto list = KESTHistoryViewController::initWithADSHEX(hostile);
        auto navigation = UINavigationController::initWithRootViewController(list);
        navigation->view()->setFrame(CGRectMake(0, 0, 320, 600));
        drainAll();
        list->tableViewDidSelectRowAtIndexPath(list->tableView(), NSIndexPath::indexPathForRowInSection(0, 0));
        auto track = std::dynamic_pointer_cast<KESTHistoryDetailViewController>(navigation->topViewController());
        ASSERT_TRUE(track);
        track->view();
        drainAll();
        auto requests = scope.stubs().allRequests();
        ASSERT_EQ(requests.size(), before + 2);
        auto flights = RequestAddress::read(requests[before].url);
        auto path = RequestAddress::read(requests[before + 1].url);
        using Fields = std::vector<std::pair<std::string, std::string>>;
        EXPECT_EQ(flights.fields, (Fields { { "querytype", "1" }, { "adshex", hostile } }));
        EXPECT_EQ(path.fields, (Fields { { "querytype", "2" }, { "flightid", hostile } }));
        EXPECT_FALSE(flights.hasFragment || path.hasFragment);
    }
}
