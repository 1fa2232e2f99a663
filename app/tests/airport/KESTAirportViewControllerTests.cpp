#include "app/view-controllers/airport/KESTAirportViewController.h"

#include "app/core/KESTAirport.h"
#include "app/tests/detail/DetailTestSupport.h"
#include "app/view-controllers/airport/KESTAirportViewCell.h"
#include "foundation/NSOperationQueue.h"
#include "foundation/NSUserDefaults.h"
#include "graphics/UIColor.h"
#include "uikit/NSIndexPath.h"
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
    board->updateBoard();
    drainAll();
    EXPECT_EQ(board->tableViewNumberOfRowsInSection(board->tableView(), 0), 0);
    board->showFlight(nullptr); // must not read past the list
    board->viewWillDisappear(false);
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
