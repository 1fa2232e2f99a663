#include "app/view-controllers/detail/KESTDetailViewController.h"

#include "app/tests/RequestAddress.h"
#include "app/tests/detail/DetailTestSupport.h"
#include "app/view-controllers/alerts/KESTAlertActivity.h"
#include "app/view-controllers/detail/KESTAircraftDetailViewController.h"
#include "app/view-controllers/detail/KESTDetailActivityProvider.h"
#include "app/view-controllers/detail/KESTFlightDetailViewController.h"
#include "app/view-controllers/detail/KESTOverviewDetailViewController.h"
#include "app/view-controllers/detail/KESTThreeColumnViewCell.h"
#include "foundation/NSNotificationCenter.h"
#include "foundation/NSUserDefaults.h"
#include "media/AVAudioPlayer.h"
#include "net/NSURL.h"
#include "uikit/NSIndexPath.h"
#include "uikit/UIActivity.h"
#include "uikit/UIActivityViewController.h"
#include "uikit/UILabel.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace {

size_t countPosted(const std::string& name, const std::function<void()>& action)
{
    size_t count = 0;
    auto center = NSNotificationCenter::defaultCenter();
    auto token = center->addObserverForName(name, nullptr, nullptr, [&count](const Ref<NSNotification>&) { ++count; });
    action();
    center->removeObserver(token);
    return count;
}

bool requested(const std::vector<std::string>& paths, const std::string& prefix)
{
    return std::any_of(paths.begin(), paths.end(), [&](const std::string& p) { return p.rfind(prefix, 0) == 0; });
}

} // namespace

TEST(KESTDetailViewController, DecidesWhenAPlaneFliesForNoAirline)
{
    struct Case {
        const char* callsign;
        const char* reg;
        bool noAirline;
    };
    const Case cases[] = {
        { "GOTO FMS", "G-ABCD", true },
        { "G-ABCD", "G-ABCD", true },
        { "z.NO-CALL", "G-ABCD", true },
        { "AMX123", "VH-ABC", true },
        { "AMX1", "VH-", false }, // a registration shorter than four characters
        { "BAW117", "G-STBA", false },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.callsign);
        auto plane = detailPlane("400001", "B738", "LHR-JFK", c.reg, c.callsign, "BA1");
        EXPECT_EQ(KESTDetailViewController::planeHasNoAirline(plane), c.noAirline);
    }
}

// Which of the five requests a plane sends, and how their values go into the addresses.
TEST(KESTDetailViewController, QueuesItsRequestsByThePlanesValues)
{
    DetailTestScope scope;
    scope.json("", "{}");
    struct Case {
        const char* name;
        const char* type;
        const char* reg;
        const char* callsign;
        bool manufacturer, drawing, airlineLogo;
    };
    const Case cases[] = {
        { "airliner", "B738", "G-STBA", "BAW117", true, true, true },
        { "unknown type", "ZZZZ", "G-STBA", "BAW117", false, true, true },
        { "callsign is the registration", "B738", "G-STBA", "G-STBA", true, false, false },
        { "on the ground", "B738", "<gnd>", "BAW117", true, true, false },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        size_t before = scope.stubs().allRequests().size();
        auto detail = KESTDetailViewController::initWithPlane(
            detailPlane("400001", c.type, "LHR-JFK", c.reg, c.callsign, "BA117"));
        drainAll();
        auto all = scope.requestedPaths();
        std::vector<std::string> paths(all.begin() + static_cast<long>(before), all.end());
        EXPECT_TRUE(requested(paths, "APPAPIv2/planeMetaData.php?adshex=400001&flightno=BA117"));
        // "<gnd>" cannot be put into an address: that search fails without a request.
        EXPECT_EQ(requested(paths, std::string("searchPhotos.php?querytext=") + c.reg), c.reg != std::string("<gnd>"));
        EXPECT_EQ(requested(paths, "APPAPIv2/getManufacturerLogo.php?manufacturer=Boeing"), c.manufacturer);
        EXPECT_EQ(requested(paths, "v1/getImage.php?airlineCode=BAW&aircraftType="), c.drawing);
        EXPECT_EQ(requested(paths, "v1/getLogo.php?airlineCode=BAW"), c.airlineLogo);
        if (c.airlineLogo) {
            EXPECT_EQ(detail->airlineSQLName(), "British Airways");
        }
    }
    // A type with "?" is sent with "z" in its place.
    KESTDetailViewController::initWithPlane(detailPlane("400002", "B7?8", "LHR-JFK", "G-STBB", "BAW118", "BA118"));
    drainAll();
    EXPECT_TRUE(requested(scope.requestedPaths(), "v1/getImage.php?airlineCode=BAW&aircraftType=B7z8&skipFuzzy=1"));
}

// Values from the feed go into the addresses percent-encoded: each request keeps exactly its
// fields, and each field reads back as the plane's value.
TEST(KESTDetailViewController, EscapesThePlanesValuesInEveryRequest)
{
    DetailTestScope scope;
    scope.json("", "{}");
    for (const auto& hostile : hostileURLValues()) {
        SCOPED_TRACE(hostile);
        size_t before = scope.stubs().allRequests().size();
        std::string type = "T" + hostile, reg = "R" + hostile, fltno = "F" + hostile;
        auto plane = detailPlane(hostile, type, "LHR-JFK", reg, hostile, fltno);
        auto detail = KESTDetailViewController::initWithPlane(plane);
        drainAll();
        std::string airline = plane->airlineICAO().value_or("");
        std::string drawnType = type;
        std::replace(drawnType.begin(), drawnType.end(), '?', 'z');
        struct Expected {
            std::string script;
            std::vector<std::pair<std::string, std::string>> fields;
        } expected[] = {
            { "planeMetaData.php", { { "adshex", hostile }, { "flightno", fltno } } },
            { "searchPhotos.php", { { "querytext", reg } } },
            { "getImage.php", { { "airlineCode", airline }, { "aircraftType", drawnType }, { "skipFuzzy", "1" } } },
        };
        auto requests = scope.stubs().allRequests();
        for (const auto& e : expected) {
            SCOPED_TRACE(e.script);
            std::vector<RequestAddress> sent;
            for (size_t i = before; i < requests.size(); ++i) {
                auto address = RequestAddress::read(requests[i].url);
                if (!address.pathSegments.empty() && address.pathSegments.back() == e.script)
                    sent.push_back(address);
            }
            ASSERT_EQ(sent.size(), 1u);
            EXPECT_FALSE(sent[0].hasFragment);
            EXPECT_EQ(sent[0].fields, e.fields);
        }
    }
}

// Metadata answers of every shape: the live values, the hop figures and the notification.
TEST(KESTDetailViewController, StoresMetadataAndRecomputesProgress)
{
    struct Case {
        const char* name;
        std::string body;
        bool stored;
        size_t posted;
        int32_t currentHop, totalHops;
    };
    std::string route = scheduleRecordJSON(1, "FY");
    const Case cases[] = {
        { "full",
            R"({"route":)" + route + R"(,"status":[1,"1230",1,3],"aircraft":{"country":"G","Operator":"Speedbird"}})",
            true, 1, 1, 3 },
        { "short status", R"({"route":)" + route + R"(,"status":[1,"1230"]})", true, 1, 0, 0 },
        { "odd status", R"({"route":)" + route + R"(,"status":[1,"1230","x",null]})", true, 1, 0, 0 },
        { "no status", R"({"route":)" + route + "}", true, 1, 0, 0 },
        { "not an object", "[1,2,3]", false, 1, -1, -1 },
        { "empty body", "", false, 0, -1, -1 },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        DetailTestScope scope;
        scope.json("APPAPIv2/planeMetaData.php", c.body);
        scope.json("searchPhotos.php", "[]");
        Ref<KESTDetailViewController> detail;
        size_t posted = countPosted(KESTDetailViewController::kMetadataUpdatedNotification, [&] {
            detail = KESTDetailViewController::initWithPlane(
                detailPlane("400001", "B738", "LHR-JFK", "G-STBA", "BAW117", "BA117"));
            drainAll();
        });
        EXPECT_EQ(posted, c.posted);
        EXPECT_EQ(detail->metadata().isDictionary(), c.stored);
        EXPECT_EQ(detail->altitude(), "12,000ft");
        EXPECT_EQ(detail->course(), "85°");
        if (c.currentHop < 0) {
            EXPECT_TRUE(detail->progressData().isNil()) << "no schedule record, no progress";
            continue;
        }
        ASSERT_TRUE(detail->progressData().isDictionary());
        EXPECT_EQ(detail->progressData().objectForKey("currentHop").intValue(), c.currentHop);
        EXPECT_EQ(detail->progressData().objectForKey("totalHops").intValue(), c.totalHops);
        EXPECT_GT(detail->progressData().objectForKey("totalDistance").doubleValue(), 3000);
    }
}

TEST(KESTDetailViewController, PhotoAnswersAndUnformableAddressesFailSafely)
{
    DetailTestScope scope;
    scope.json("APPAPIv2/planeMetaData.php", "{}");
    scope.json("searchPhotos.php?querytext=G-STBA",
        R"([{"id":"p1","filename":"photos/p1.jpg","author":"Ann","NINGURL":"http://x/p1"},7,{"id":"p2"}])");
    scope.json("searchPhotos.php?querytext=G-NONE", R"({"not":"a list"})");
    auto detail = KESTDetailViewController::initWithPlane(
        detailPlane("400001", "B738", "LHR-JFK", "G-STBA", "BAW117", "BA117"));
    drainAll();
    const Value& photos = detail->planeImages();
    ASSERT_EQ(photos.count(), 2u) << "elements that are not objects are skipped";
    EXPECT_EQ(photos.objectAtIndex(0).objectForKey("thumbnail").string(), "http://detail.test/640thumbs/p1.jpg");
    EXPECT_EQ(photos.objectAtIndex(0).objectForKey("fullsize").string(), "http://detail.test/photos/p1.jpg");
    EXPECT_EQ(photos.objectAtIndex(1).objectForKey("author").string(), "") << "missing texts read as empty";

    auto notList = KESTDetailViewController::initWithPlane(
        detailPlane("400002", "B738", "LHR-JFK", "G-NONE", "BAW118", "BA118"));
    drainAll();
    EXPECT_TRUE(notList->planeImages().isNil());

    // A registration with a blank cannot form an address: the photo search fails on a later
    // turn, with its notification, and the metadata request still goes out.
    Ref<KESTDetailViewController> blank;
    size_t posted = countPosted(KESTDetailViewController::kPhotosUpdatedNotification, [&] {
        blank = KESTDetailViewController::initWithPlane(
            detailPlane("400003", "B738", "LHR-JFK", "G ABC", "BAW119", "BA119"));
        drainAll();
    });
    EXPECT_EQ(posted, 1u);
    EXPECT_TRUE(blank->planeImages().isNil());
}

TEST(KESTDetailViewController, RemembersTheTabAndPlaysTheSeasonalSoundOnce)
{
    DetailTestScope scope;
    scope.json("", "{}");
    AVAudioPlayer::resetRecordForTesting();
    auto first = KESTDetailViewController::initWithPlane(
        detailPlane("400001", "B738", "LHR-JFK", "G-STBA", "BAW117", "BA117"));
    first->view();
    first->viewWillAppear(false);
    EXPECT_EQ(first->selectedIndex(), 0u) << "no stored choice: the overview";
    first->userSelectedIndex(2);
    EXPECT_EQ(
        NSUserDefaults::standardUserDefaults()->objectForKey(KESTDetailViewController::kSelectedTabKey).intValue(), 2);

    auto santa = KESTDetailViewController::initWithPlane(detailPlane("s4n7a", "SLEI", "", "SANTA", "SANTA1", "", 99));
    santa->view();
    santa->viewWillAppear(false);
    EXPECT_EQ(santa->selectedIndex(), 2u) << "the next plane opens on the tab last chosen";
    ASSERT_TRUE(santa->backgroundMusicPlayer());
    EXPECT_EQ(santa->backgroundMusicPlayer()->numberOfLoops(), -1);
    santa->viewWillAppear(false);
    santa->cleanup();
    auto events = AVAudioPlayer::recordedEvents();
    ASSERT_EQ(events.size(), 2u) << "played once, stopped once";
    EXPECT_EQ(events[0].rfind("play ", 0), 0u);
    EXPECT_EQ(events[1].rfind("stop ", 0), 0u);
    EXPECT_TRUE(santa->isCleanedUp());
    drainAll();
}

// A live update reaches the tabs before the values are recomputed; their reloads run later and
// see the new values. A metadata answer recomputes first.
TEST(KESTDetailViewController, RoutesLiveUpdatesToTheTabs)
{
    DetailTestScope scope;
    scope.json("", "{}");
    auto plane = detailPlane("400001", "B738", "LHR-JFK", "G-STBA", "BAW117", "BA117");
    auto detail = KESTDetailViewController::initWithPlane(plane);
    drainAll();
    auto overview = std::dynamic_pointer_cast<KESTOverviewDetailViewController>(detail->viewControllers()[0]);
    ASSERT_TRUE(overview);
    auto table = overview->tableView();
    plane->setAltitude(15000);
    NSNotificationCenter::defaultCenter()->postNotificationName(KESTLiveDataUpdatedNotification, nullptr);
    EXPECT_EQ(detail->altitude(), "15,000ft");
    drainAll();
    auto row = std::dynamic_pointer_cast<KESTThreeColumnViewCell>(
        overview->tableViewCellForRowAtIndexPath(table, NSIndexPath::indexPathForRowInSection(3, 0)));
    ASSERT_TRUE(row);
    EXPECT_EQ(row->col1ValueLabel()->text(), "15,000ft");

    // After close, notifications no longer reach the screen.
    detail->close();
    plane->setAltitude(16000);
    NSNotificationCenter::defaultCenter()->postNotificationName(KESTLiveDataUpdatedNotification, nullptr);
    EXPECT_EQ(detail->altitude(), "15,000ft");
}

TEST(KESTDetailViewController, SharesTextPictureAndFlightPage)
{
    DetailTestScope scope;
    scope.json("", "{}");
    auto plane = detailPlane("400001", "B738", "LHR-JFK", "G-STBA", "BAW117", "");
    auto detail = KESTDetailViewController::initWithPlane(plane);
    detail->view()->setFrame(CGRectMake(0, 0, 320, 600));
    detail->view()->layoutIfNeeded();
    drainAll();
    auto table = std::dynamic_pointer_cast<KESTDetailBaseViewController>(detail->selectedViewController())->tableView();
    table->setContentOffset(CGPointMake(0, 40));
    detail->showShareOptions();
    auto sheet = detail->lastShareSheet();
    ASSERT_TRUE(sheet);
    EXPECT_EQ(table->contentOffset().y, 40) << "the table is put back after the drawing";
    const auto& items = sheet->activityItems();
    ASSERT_EQ(items.size(), 3u);
    auto provider = items[0].objectAs<KESTDetailActivityProvider>();
    ASSERT_TRUE(provider);
    EXPECT_EQ(provider->activityViewControllerItemForActivityType(sheet, UIActivityTypeMail).string(),
        "Spotted! G-STBA (BAW117) using Volantrix");
    EXPECT_EQ(provider->activityViewControllerItemForActivityType(sheet, UIActivityTypePostToTwitter).string(),
        "Spotted! G-STBA (BAW117) using @volantrix");
    auto picture = items[1].objectAs<UIImage>();
    ASSERT_TRUE(picture);
    auto logo = UIImage::imageNamed("shareLogo");
    ASSERT_TRUE(logo);
    // No map snapshot: as wide as the tab and as high as the tab plus the logo.
    EXPECT_EQ(picture->size().width, detail->selectedViewController()->view()->bounds().size.width);
    EXPECT_EQ(
        picture->size().height, detail->selectedViewController()->view()->bounds().size.height + logo->size().height);
    EXPECT_EQ(items[2].objectAs<NSURL>()->absoluteString(), "https://volantrix.example/flight/");
    auto excluded = sheet->excludedActivityTypes();
    for (const char* type : { UIActivityTypePostToWeibo, UIActivityTypeAssignToContact, UIActivityTypePrint,
             UIActivityTypeCopyToPasteboard })
        EXPECT_NE(std::find(excluded.begin(), excluded.end(), type), excluded.end())
            << type; // Add Alert is offered for this plane's address.
    ASSERT_EQ(sheet->applicationActivities().size(), 1u);
    auto addAlert = std::dynamic_pointer_cast<KESTAlertActivity>(sheet->applicationActivities()[0]);
    ASSERT_TRUE(addAlert);
    EXPECT_EQ(addAlert->hexCode(), "400001");
}
