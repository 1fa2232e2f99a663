#include "app/view-controllers/airport/KESTAirportViewController.h"

#include "app/core/KESTAirport.h"
#include "app/tests/RequestAddress.h"
#include "app/tests/detail/DetailTestSupport.h"
#include "app/view-controllers/airport/KESTAirportViewCell.h"
#include "app/view-controllers/search/KESTSearchDelegate.h"
#include "foundation/NSOperationQueue.h"
#include "foundation/NSUserDefaults.h"
#include "graphics/UIColor.h"
#include "uikit/NSIndexPath.h"
#include "uikit/UIImageView.h"
#include "uikit/UILabel.h"
#include "uikit/UINavigationController.h"
#include "uikit/UISegmentedControl.h"

#include <gtest/gtest.h>

namespace {

std::string boardItem(const char* fltno, const char* status, const char* extra = "")
{
    return std::string(R"({"fltno":")") + fltno + R"(","callsign":"C","reg":"G-X","adshex":"400001","carrierName":"N",)"
        + R"("flightStatusV2":)" + status + R"(,"flightETAV2":"Landed","legDepApt":"CDG","legArrApt":"LHR",)"
        + R"("legDepTrm":"2E","legArrTrm":"5","legArrTim":"1405")" + extra + "}";
}

Ref<KESTAirport> heathrow()
{
    return KESTAirport::initWithData(
        Value::array({ "Heathrow", "London", "United Kingdom", "LHR", "EGLL", 51.47, -0.46, 1 }));
}

struct Board {
    Ref<UINavigationController> navigation;
    Ref<KESTAirportViewController> board;
};

Board openBoard()
{
    auto board = KESTAirportViewController::initWithAirport(heathrow());
    auto navigation = UINavigationController::initWithRootViewController(board);
    navigation->view()->setFrame(CGRectMake(0, 0, 320, 600));
    board->viewWillAppear(false);
    drainAll();
    return { navigation, board };
}

// A live feed of its own for the test: planes made live here do not outlive it.
struct FreshLiveFeed {
    FreshLiveFeed() { KESTLiveDataManager::resetSharedInstanceForTesting(); }
    ~FreshLiveFeed()
    {
        drainAll();
        KESTLiveDataManager::resetSharedInstanceForTesting();
    }
};

// Makes the planes live in the feed, each with the callsign its airline code is read from.
void publishLivePlanes(const std::vector<std::pair<std::string, std::string>>& planes)
{
    std::string json = R"({"planes":{)";
    for (const auto& [hex, callsign] : planes) {
        json += (json.back() == '{' ? "\"" : ",\"") + hex + R"(":["B738","CDG-LHR","G-TEST",")" + callsign
            + R"(",51.0,0.0,30000,90,400,1388534390,"7",0,"BA1"])";
    }
    json += "}}";
    KESTLiveDataManager::sharedInstance()->parsePlaneDataResponse(
        NSJSONSerialization::JSONObjectWithData(
            std::string_view(json), NSJSONSerialization::NSJSONReadingMutableContainers, nullptr),
        true, nullptr, nullptr);
    drainAll();
}

// Records the planes the board asks the map to show.
class RecordingSearchDelegate : public KESTSearchDelegate {
public:
    void selectAnnotationMakeVisible(const Ref<KESTAnnotation>& annotation, bool makeVisible) override
    {
        auto plane = std::dynamic_pointer_cast<KESTPlane>(annotation);
        selected.push_back((plane ? plane->adshex() : std::string("?")) + (makeVisible ? " visible" : ""));
    }
    Ref<KESTMapController> mapController() override { return nullptr; }
    std::vector<std::string> selected;
};

// A logo image of the given width, answered after `delay`, or a failure without an image.
URLStubSpec logoAnswer(const std::string& airline, int width, double delay, bool fail = false)
{
    URLStubSpec spec;
    spec.url = std::string(DetailTestScope::kBase) + "v1/getLogo.php?airlineCode=" + airline;
    spec.delay = delay;
    if (fail) {
        spec.statusCode = 404;
        return spec;
    }
    UIGraphicsBeginImageContextWithOptions(CGSizeMake(width, 20), true, 1);
    auto picture = UIGraphicsGetImageFromCurrentImageContext();
    UIGraphicsEndImageContext();
    Value png = UIImagePNGRepresentation(picture);
    spec.headers = { { "Content-Type", "image/png" } };
    spec.body.assign(png.bytes().begin(), png.bytes().end());
    return spec;
}

CGFloat rowHeight(const Ref<KESTAirportViewController>& board, int32_t row)
{
    return *board->tableViewHeightForRowAtIndexPath(board->tableView(), NSIndexPath::indexPathForRowInSection(row, 0));
}

} // namespace

TEST(KESTAirportViewController, RemembersTheModeAndSwitchesWithoutARequest)
{
    DetailTestScope scope;
    auto request = scope.json("APPAPIv2/airportInfo.php?iata=LHR",
        R"({"arr":[)" + boardItem("BA1", "0") + "," + boardItem("BA2", "1") + R"(],"dep":[)" + boardItem("BA3", "2")
            + "]}");
    auto [navigation, board] = openBoard();
    EXPECT_EQ(board->currentKey(), "arr");
    EXPECT_EQ(board->toggleControl()->selectedSegmentIndex(), 0);
    EXPECT_EQ(board->directionHeaderLabel()->text(), "FROM");
    EXPECT_EQ(board->tableViewNumberOfRowsInSection(board->tableView(), 0), 2);
    EXPECT_EQ(request->requestCount(), 1u);

    board->switchBoard(nullptr);
    EXPECT_EQ(board->currentKey(), "dep");
    EXPECT_EQ(board->directionHeaderLabel()->text(), "TO");
    EXPECT_EQ(board->tableViewNumberOfRowsInSection(board->tableView(), 0), 1);
    EXPECT_EQ(NSUserDefaults::standardUserDefaults()->objectForKey("airportBoardMode").string(), "dep");
    drainAll();
    EXPECT_EQ(request->requestCount(), 1u);
    board->viewWillDisappear(false);

    auto [navigation2, second] = openBoard();
    EXPECT_EQ(second->currentKey(), "dep");
    EXPECT_EQ(second->toggleControl()->selectedSegmentIndex(), 1);
    second->viewWillDisappear(false);
}

TEST(KESTAirportViewController, OpensOneRowAtATimeAndRefreshesOnlyWhileAllAreClosed)
{
    DetailTestScope scope;
    auto request = scope.json(
        "APPAPIv2/airportInfo.php", R"({"arr":[)" + boardItem("BA1", "0") + "," + boardItem("BA2", "1") + "]}");
    auto [navigation, board] = openBoard();
    auto table = board->tableView();
    EXPECT_EQ(rowHeight(board, 0), 54);
    board->tableViewDidSelectRowAtIndexPath(table, NSIndexPath::indexPathForRowInSection(0, 0));
    EXPECT_EQ(rowHeight(board, 0), 300);
    board->tableViewDidSelectRowAtIndexPath(table, NSIndexPath::indexPathForRowInSection(1, 0));
    EXPECT_EQ(rowHeight(board, 0), 54);
    EXPECT_EQ(rowHeight(board, 1), 300);
    EXPECT_FALSE(board->updateTimer());

    size_t before = request->requestCount();
    scope.clock().advance(600);
    drainAll();
    EXPECT_EQ(request->requestCount(), before) << "no refresh while a row is open";

    board->tableViewDidSelectRowAtIndexPath(table, NSIndexPath::indexPathForRowInSection(1, 0));
    EXPECT_EQ(rowHeight(board, 1), 54);
    scope.clock().advance(60);
    drainAll();
    EXPECT_EQ(request->requestCount(), before + 1) << "closing the row restarts the minute timer";
    board->viewWillDisappear(false);
    scope.clock().advance(120);
    drainAll();
    EXPECT_EQ(request->requestCount(), before + 1);
}

// A refresh can shorten the list under an open row: "View on map" then does nothing.
TEST(KESTAirportViewController, ViewOnMapChecksTheOpenRowAgainstTheList)
{
    DetailTestScope scope;
    scope.json("APPAPIv2/airportInfo.php", R"({"arr":[)" + boardItem("BA1", "0") + "," + boardItem("BA2", "1") + "]}");
    auto [navigation, board] = openBoard();
    board->tableViewDidSelectRowAtIndexPath(board->tableView(), NSIndexPath::indexPathForRowInSection(1, 0));
    scope.stubs().add([] {
        URLStubSpec spec;
        spec.url = std::string(DetailTestScope::kBase) + "APPAPIv2/airportInfo.php";
        spec.matchPrefix = true;
        spec.headers = { { "Content-Type", "application/json" } };
        spec.body = R"({"arr":[]})";
        return spec;
    }());
    // While the open row is in the list, "View on map" shows its live plane.
    FreshLiveFeed feed;
    publishLivePlanes({ { "400001", "BAW1" } });
    auto delegate = std::make_shared<RecordingSearchDelegate>();
    board->setDelegate(delegate);
    board->showFlight(nullptr);
    EXPECT_EQ(delegate->selected, (std::vector<std::string> { "400001 visible" }));

    board->updateBoard();
    drainAll();
    EXPECT_EQ(board->tableViewNumberOfRowsInSection(board->tableView(), 0), 0);
    board->showFlight(nullptr); // must not read past the list
    EXPECT_EQ(delegate->selected.size(), 1u) << "a row no longer listed shows nothing";
    board->viewWillDisappear(false);
}

// The airline code read from a live plane's callsign goes into the logo address percent-encoded.
TEST(KESTAirportViewCell, EscapesTheAirlineCodeOfTheLogoRequest)
{
    DetailTestScope scope;
    FreshLiveFeed feed;
    auto logo = scope.json("v1/getLogo.php", "{}");
    auto cell = KESTAirportViewCell::initWithStyleReuseIdentifier(UITableViewCellStyleSubtitle, "FlightCell");
    auto queue = NSOperationQueue::init();
    // The code is a run of two or three letters of the callsign, or without one its first two
    // characters.
    for (const char* callsign : { "A&1", "A=1", "A#1", "A/1", "A?1", "A 1", "A%1", "A+1", "\xC3\x84;1" }) {
        SCOPED_TRACE(callsign);
        // A plane of its own for each callsign: a plane keeps the airline code it read first.
        KESTLiveDataManager::resetSharedInstanceForTesting();
        publishLivePlanes({ { "400001", callsign } });
        auto plane = KESTLiveDataManager::sharedInstance()->planeWithADSHEX("400001");
        ASSERT_TRUE(plane);
        std::string airline = plane->airlineICAO().value_or("");
        size_t before = logo->requestCount();
        cell->fillFromItemModeOpen(
            NSJSONSerialization::JSONObjectWithData(boardItem("BA1", "0"), 0, nullptr), "arr", true, queue);
        drainAll();
        ASSERT_EQ(logo->requestCount(), before + 1);
        auto address = RequestAddress::read(logo->requests().back().url);
        EXPECT_FALSE(address.hasFragment);
        EXPECT_EQ(address.fields, (std::vector<std::pair<std::string, std::string>> { { "airlineCode", airline } }));
    }
}

// A reused row shows only the logo of the flight it now shows: the previous flight's logo goes
// when the new request fails, and a logo that arrives late for a flight it no longer shows is
// dropped.
TEST(KESTAirportViewCell, AReusedRowShowsOnlyItsOwnFlightsLogo)
{
    DetailTestScope scope;
    FreshLiveFeed feed;
    auto queue = NSOperationQueue::init();
    auto item = [](const char* hex) {
        std::string text = boardItem("BA1", "0");
        text.replace(text.find("400001"), 6, hex);
        return NSJSONSerialization::JSONObjectWithData(text, 0, nullptr);
    };
    publishLivePlanes({ { "400001", "BAW1" }, { "400002", "AFR2" }, { "400003", "DLH3" } });
    scope.stubs().add(logoAnswer("BAW", 60, 0));
    scope.stubs().add(logoAnswer("AFR", 0, 0, true));
    scope.stubs().add(logoAnswer("DLH", 80, 10));
    auto cell = KESTAirportViewCell::initWithStyleReuseIdentifier(UITableViewCellStyleSubtitle, "FlightCell");
    auto shownWidth = [&]() -> CGFloat {
        auto image = cell->airlineLogo()->image();
        return image ? image->size().width : 0;
    };

    cell->fillFromItemModeOpen(item("400001"), "arr", true, queue);
    drainAll();
    EXPECT_GT(shownWidth(), 0) << "the first flight's logo";

    // Reused for a flight whose logo cannot be had.
    cell->fillFromItemModeOpen(item("400002"), "arr", true, queue);
    drainAll();
    EXPECT_EQ(shownWidth(), 0) << "not the previous flight's logo";

    // Reused for a slow logo, then for the failing one again before it comes.
    cell->fillFromItemModeOpen(item("400003"), "arr", true, queue);
    drainAll();
    cell->fillFromItemModeOpen(item("400002"), "arr", true, queue);
    drainAll();
    scope.clock().advance(10);
    drainAll();
    EXPECT_EQ(shownWidth(), 0) << "the late logo is another flight's";
}

TEST(KESTAirportViewCell, FillsFromItemsWithStatusColoursAndNulls)
{
    DetailTestScope scope;
    auto cell = KESTAirportViewCell::initWithStyleReuseIdentifier(UITableViewCellStyleSubtitle, "FlightCell");
    auto colour = [](int r, int g, int b) {
        return UIColor::colorWithRedGreenBlueAlpha(r / 255.0f, g / 255.0f, b / 255.0f, 1);
    };
    struct Case {
        const char* name;
        std::string item;
        const char* mode;
        Ref<UIColor> status;
        const char* direction;
        const char* flight;
    };
    const Case cases[] = {
        { "landed arrival", boardItem("BA1", "0"), "arr", colour(31, 149, 217), "CDG", "BA1" },
        { "delayed departure", boardItem("BA2", "\"1\""), "dep", colour(217, 31, 31), "LHR", "BA2" },
        { "class 5 after red", boardItem("BA3", "5"), "arr", colour(247, 208, 2), "CDG", "BA3" },
        { "missing status", R"({"fltno":null,"legDepApt":null})", "arr", colour(247, 208, 2), "N/A", "N/A" },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        cell->fillFromItemModeOpen(NSJSONSerialization::JSONObjectWithData(c.item, 0, nullptr), c.mode, false, nullptr);
        EXPECT_TRUE(cell->statusLabel()->textColor()->isEqual(c.status.get()));
        EXPECT_EQ(cell->directionLabel()->text(), c.direction);
        EXPECT_EQ(cell->flightNoLabel()->text(), c.flight);
        EXPECT_EQ(cell->timeLabel()->text(), c.item.find("1405") != std::string::npos ? "1405" : "N/A");
    }

    // Open rows ask for the airline logo (with an empty code when the plane is not live) and
    // name the airports from the lookup database.
    auto logo = scope.json("v1/getLogo.php", "{}");
    cell->fillFromItemModeOpen(NSJSONSerialization::JSONObjectWithData(boardItem("BA1", "0"), 0, nullptr), "arr", true,
        NSOperationQueue::init());
    drainAll();
    EXPECT_EQ(logo->requestCount(), 1u);
    EXPECT_EQ(cell->lastLogoAirlineCode(), "");
    EXPECT_EQ(cell->arrAirportNameLabel()->text(), "Heathrow");
    EXPECT_EQ(cell->depAirportNameLabel()->text(), "Charles de Gaulle");
    EXPECT_TRUE(cell->isExtended());
    for (const auto& view : cell->secondSection())
        EXPECT_EQ(view->alpha(), 1);
    cell->showExtendedSectionDuration(false, 0.25f);
    EXPECT_EQ(cell->callsignLabel()->alpha(), 0) << "the fade ends hidden";
}
