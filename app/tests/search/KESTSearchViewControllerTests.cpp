#include "app/core/KESTPlane.h"
#include "app/tests/map/MapTestSupport.h"
#include "app/view-controllers/search/KESTSearchViewController.h"
#include "foundation/NSBundle.h"
#include "foundation/NSDataFile.h"
#include "foundation/NSJSONSerialization.h"
#include "location/CLGeocoder.h"
#include "location/CLPlacemark.h"
#include "networking/VNNetworkReachabilityManager.h"
#include "testing/URLStubs.h"
#include "uikit/NSIndexPath.h"
#include "uikit/UIAlertView.h"
#include "uikit/UIApplicationHost.h"
#include "uikit/UILabel.h"
#include "uikit/UITableViewCell.h"

#include <gtest/gtest.h>

namespace {

Ref<KESTPlane> plane(const std::string& hex, const std::string& fltno, const std::string& callsign,
    const std::string& reg, const std::string& route = "LHR-JFK")
{
    return KESTPlane::initWithAdshexAndInfo(hex,
        Value::array({ "B738", route, reg, callsign, 51.0, -0.5, 35000, 90, 450, 1388534400.0, "1234", 0, fltno }));
}

Ref<KESTAirport> airport(const std::string& name, const std::string& iata, const std::string& icao)
{
    return KESTAirport::initWithData(Value::array({ name, "City", "Land", iata, icao, 47.0, 8.0, 1 }));
}

// Every record of a result set as "section key title | detail".
std::vector<std::string> rows(const Value& set)
{
    std::vector<std::string> out;
    for (const auto& entry : set.elements()) {
        for (const auto& record : entry[1].elements())
            out.push_back(std::to_string(record["flag"].intValue()) + " " + record["key"].string() + " "
                + KESTSearchViewController::titleForRecord(record) + " | " + record["detail"].string());
    }
    return out;
}

TEST(KESTSearchViewController, LocalSearchListsEachObjectOnceUnderItsFirstMatch)
{
    AppTestScope scope;
    std::vector<Ref<KESTPlane>> planes = {
        plane("400abc", "BA117", "BAW117", "G-STBA"),
        plane("400abd", "", "BAW9", "G-EUPT", "LHR-GVA"),
        plane("3c6444", "LH400", "DLH400", "D-ABYA", "FRA-JFK"),
        plane("ba0001", "XY1", "XYZ1", "N1"),
    };
    std::vector<Ref<KESTAirport>> airports
        = { airport("Zürich", "ZRH", "LSZH"), airport("Basel", "BSL", "LFSB"), airport("Bangor", "BGR", "KBGR") };
    struct Case {
        std::string phrase;
        std::vector<std::string> expected;
    };
    const std::vector<Case> cases = {
        { "ba",
            { "0 fltno BA117 | G-STBA | LHR-JFK", "1 callsign BAW9 | G-EUPT | LHR-GVA",
                "3 adshex ba0001 | XY1 | LHR-JFK", "4 name Basel | City, Land", "4 name Bangor | City, Land" } },
        { "BA1170", {} },
        { "d-ab", { "2 reg D-ABYA | LH400 | FRA-JFK" } },
        { "zur", { "4 name Zürich | City, Land" } },
        { "lszh", { "4 icao LSZH | Zürich" } },
        { "bgr", { "4 iata BGR | Bangor" } },
        { "kbgr", { "4 icao KBGR | Bangor" } },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.phrase);
        Value set = KESTSearchViewController::localSearch(c.phrase, planes, airports);
        ASSERT_EQ(set.count(), 8u);
        EXPECT_EQ(rows(set), c.expected);
    }
    // An airport whose name and codes all match is listed once, by name.
    Value once = KESTSearchViewController::localSearch("b", {}, { airport("Bbb", "BBB", "BBBB") });
    EXPECT_EQ(rows(once), (std::vector<std::string> { "4 name Bbb | City, Land" }));
}

class KESTSearchViewControllerTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        UIApplicationHost::resetForTesting();
        m_previousBase = KESTLiveDataManager::serviceBaseURL();
        m_scope = std::make_unique<MapTestScope>();
        // A bundle without an airport list, so only the planes below are found.
        NSBundle::setMainBundlePath(m_scope->app().sandbox().path("bundle"));
        KESTLiveDataManager::resetSharedInstanceForTesting();
        KESTLiveDataManager::setServiceBaseURL("http://service.test/");
        // Places come from a small table of our own.
        std::string places = m_scope->app().sandbox().path("places.csv");
        NSData::writeToFile(
            Value("name,country code,latitude,longitude,population\nZürich,CH,47.3769,8.5417,400000\n"), places, true);
        CLGeocoder::setPlaceDataPath(places);
        auto json
            = R"({"planes":{"400abc":["B738","LHR-JFK","G-STBA","BAW117",51.0,-0.5,35000,90,450,1388534400,"1234",0,"BA117"],
            "3c6444":["A388","FRA-JFK","D-AIMA","DLH400",50.0,8.5,37000,270,480,1388534400,"2000",0,"LH400"]}})";
        KESTLiveDataManager::sharedInstance()->parsePlaneDataResponse(
            NSJSONSerialization::JSONObjectWithData(std::string_view(json), 0, nullptr), true, nullptr, nullptr);
        drainAll();
        m_search = KESTSearchViewController::initWithNibNameBundle("ignored", nullptr);
    }
    void TearDown() override
    {
        drainAll();
        m_search = nullptr;
        CLGeocoder::setPlaceDataPath({});
        m_scope = nullptr;
        NSBundle::setMainBundlePath({});
        VNNetworkReachabilityManager::resetSharedManagerForTesting();
        KESTLiveDataManager::setServiceBaseURL(m_previousBase);
        UIApplicationHost::resetForTesting();
    }
    URLStubSpec schedule(const std::string& phrase, const std::string& body, double delay = 0)
    {
        URLStubSpec spec;
        spec.method = "GET";
        spec.url = "http://service.test/APPAPI/flightSchedule.php?icao=" + phrase;
        spec.headers = { { "Content-Type", "application/json" } };
        spec.body = body;
        spec.delay = delay;
        return spec;
    }

    std::string m_previousBase;
    std::unique_ptr<MapTestScope> m_scope;
    Ref<KESTSearchViewController> m_search;
};

TEST_F(KESTSearchViewControllerTest, ScheduleRepliesBecomeCodesharesOrFlightsNotInTheAir)
{
    URLStubs stubs;
    auto request = stubs.add(schedule("BA", R"([["BA117","x","LHR","JFK",null],["AA6135","x","LHR","JFK","BAW117"],
        ["BA999","x","LHR","CDG",null],["BA5","x","LHR"],["BA6",1,"LHR","JFK",null],[7,"x","LHR","JFK",null],"BA7",
        ["BA8","x",3,"JFK",null],["BA9","x","LHR","JFK",4]])"));
    EXPECT_EQ(m_search->planes().size(), 2u);
    m_search->performSearchWithPhrase("BA");
    drainAll();
    EXPECT_EQ(request->requestCount(), 1u);
    EXPECT_EQ(rows(m_search->results()),
        (std::vector<std::string> {
            "0 fltno BA117 | G-STBA | LHR-JFK",
            "6 icao BA999 | LHR - CDG",
            "6 icao BA6 | LHR - JFK",
            "7 searchCodeshare AA6135 | Operating as BAW117",
        }));
    // Sections shown are the non-empty ones in index order.
    EXPECT_EQ(m_search->numberOfSectionsInTableView(nullptr), 3);
    EXPECT_EQ(m_search->indexForSection(0), 0);
    EXPECT_EQ(m_search->indexForSection(1), 6);
    EXPECT_EQ(m_search->indexForSection(2), 7);
    EXPECT_EQ(m_search->indexForSection(3), 0);
    EXPECT_EQ(m_search->tableViewTitleForHeaderInSection(nullptr, 1), "Not currently in the air");
    EXPECT_EQ(m_search->tableViewNumberOfRowsInSection(nullptr, 1), 2);
    EXPECT_EQ(KESTSearchViewController::titleForSectionIndex(9), "Misc");

    auto cell = m_search->tableViewCellForRowAtIndexPath(nullptr, NSIndexPath::indexPathForRowInSection(0, 2));
    EXPECT_EQ(cell->reuseIdentifier(), "SearchCell");
    EXPECT_EQ(cell->textLabel()->text(), "AA6135");
    EXPECT_EQ(cell->detailTextLabel()->text(), "Operating as BAW117");
    EXPECT_TRUE(cell->accessoryView());
    auto scheduled = m_search->tableViewCellForRowAtIndexPath(nullptr, NSIndexPath::indexPathForRowInSection(0, 1));
    EXPECT_FALSE(scheduled->accessoryView());
}

TEST_F(KESTSearchViewControllerTest, AnswersOfAnEarlierPhraseNeverReachTheNewerResults)
{
    URLStubs stubs;
    stubs.add(schedule("DL", R"([["DL1","x","ATL","JFK",null]])", 5.0));
    stubs.add(schedule("Zu", R"([["ZU2","x","ZRH","GVA",null]])"));
    m_search->performSearchWithPhrase("DL");
    m_search->performSearchWithPhrase("Zu");
    drainAll();
    EXPECT_EQ(rows(m_search->results()),
        (std::vector<std::string> { "5 locality Zürich | Switzerland (47.377, 8.542)", "6 icao ZU2 | ZRH - GVA" }));
    m_scope->clock().advance(6.0);
    drainAll();
    EXPECT_EQ(rows(m_search->results()),
        (std::vector<std::string> { "5 locality Zürich | Switzerland (47.377, 8.542)", "6 icao ZU2 | ZRH - GVA" }));

    // A failing schedule request and an empty phrase leave what is shown.
    URLStubSpec failing = schedule("LH", "");
    failing.statusCode = 500;
    stubs.add(failing);
    m_search->performSearchWithPhrase("LH");
    drainAll();
    EXPECT_EQ(rows(m_search->results()), (std::vector<std::string> { "0 fltno LH400 | D-AIMA | FRA-JFK" }));
    m_search->performSearchWithPhrase("");
    drainAll();
    EXPECT_EQ(rows(m_search->results()), (std::vector<std::string> { "0 fltno LH400 | D-AIMA | FRA-JFK" }));
}

class RecordingDelegate : public KESTSearchDelegate {
public:
    void selectAnnotationMakeVisible(const Ref<KESTAnnotation>& annotation, bool makeVisible) override
    {
        selected.push_back({ annotation, makeVisible });
    }
    Ref<KESTMapController> mapController() override
    {
        ++mapControllerCalls;
        return KESTMapController::sharedInstance();
    }
    std::vector<std::pair<Ref<KESTAnnotation>, bool>> selected;
    int mapControllerCalls { 0 };
};

TEST_F(KESTSearchViewControllerTest, SelectingARowActsByTheKindOfResult)
{
    URLStubs stubs;
    stubs.add(schedule("Zu", R"([["ZU2","x","ZRH","GVA",null]])"));
    stubs.add(schedule("LH", "[]"));
    auto delegate = std::make_shared<RecordingDelegate>();
    m_search->setDelegate(delegate);

    m_search->performSearchWithPhrase("LH");
    drainAll();
    m_search->tableViewDidSelectRowAtIndexPath(nullptr, NSIndexPath::indexPathForRowInSection(0, 0));
    ASSERT_EQ(delegate->selected.size(), 1u);
    EXPECT_EQ(std::dynamic_pointer_cast<KESTPlane>(delegate->selected[0].first)->fltno(), "LH400");
    EXPECT_TRUE(delegate->selected[0].second);

    m_search->performSearchWithPhrase("Zu");
    drainAll();
    m_search->tableViewDidSelectRowAtIndexPath(nullptr, NSIndexPath::indexPathForRowInSection(0, 0));
    EXPECT_EQ(delegate->mapControllerCalls, 1);
    EXPECT_TRUE(UIAlertView::visibleAlerts().empty());

    m_search->tableViewDidSelectRowAtIndexPath(nullptr, NSIndexPath::indexPathForRowInSection(0, 1));
    auto alerts = UIAlertView::visibleAlerts();
    ASSERT_EQ(alerts.size(), 1u);
    EXPECT_EQ(alerts[0]->title(), "Not currently tracked");
    EXPECT_EQ(alerts[0]->message(), "Flight ZU2 from ZRH to GVA is out of range or not currently tracked.");
    EXPECT_EQ(alerts[0]->buttonTitleAtIndex(0), "Continue");
    alerts[0]->tapButtonAtIndex(0);
    EXPECT_EQ(delegate->selected.size(), 1u);
}

} // namespace
