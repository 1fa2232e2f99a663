#include "app/core/KESTAirport.h"
#include "app/core/KESTHistoricFlight.h"

#include "app/tests/AppTestSupport.h"
#include "foundation/NSBundle.h"
#include "foundation/NSDataFile.h"
#include "graphics/UIGraphics.h"
#include "graphics/UIImage.h"
#include "testing/LogCapture.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace {

// Writes a PNG of the given size, so named images can be told apart by size.
void writeImage(const std::string& path, CGFloat width, CGFloat height)
{
    UIGraphicsBeginImageContextWithOptions(CGSizeMake(width, height), false, 1);
    auto image = UIGraphicsGetImageFromCurrentImageContext();
    UIGraphicsEndImageContext();
    ASSERT_TRUE(NSData::writeToFile(UIImagePNGRepresentation(image), path, true));
}

} // namespace

TEST(KESTAirport, EntriesBecomeAnnotations)
{
    AppTestScope scope;
    std::filesystem::create_directories(scope.sandbox().path("images"));
    writeImage(scope.sandbox().path("images/airportMarkerLarge.png"), 20, 20);
    writeImage(scope.sandbox().path("images/airportMarkerSmall.png"), 10, 10);
    UIImage::setNamedImageDirectory(scope.sandbox().path("images"));

    struct Case {
        Value entry;
        const char* title;
        const char* subtitle;
        CGFloat markerWidth;
    };
    const Case cases[] = {
        { Value::array({ "Heathrow", "London", "United Kingdom", "LHR", "EGLL", 51.4775, -0.461389, 1 }), "Heathrow",
            "London, United Kingdom", 20 },
        { Value::array({ "Field", Value::null(), "France", "XFD", "LFXX", 45.0, 2.0, 0 }), "Field", "Unknown", 10 },
        { Value::array({ Value::null(), "Town", "Spain", "XTW", "LEXX", 40.0, -3.0, 0 }), "Unknown", "Town, Spain",
            10 },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.title);
        auto airport = KESTAirport::initWithData(c.entry);
        ASSERT_TRUE(airport);
        EXPECT_EQ(airport->title(), c.title);
        EXPECT_EQ(airport->subtitle(), c.subtitle);
        auto marker = airport->annotationImage();
        ASSERT_TRUE(marker);
        EXPECT_EQ(marker->size().width, c.markerWidth);
        EXPECT_FALSE(airport->requiresRedraw());
        EXPECT_FALSE(airport->addedAsAnnotation());
        KESTLocation before = airport->coordinate();
        airport->updateLocationImmediately();
        airport->updateInfo(Value::array({}));
        EXPECT_EQ(airport->coordinate(), before);
        EXPECT_TRUE(MKMapPointEqualToPoint(airport->mapPoint(), KESTAnnotation::mapPointForCoordinate(before)));
    }
    auto heathrow = KESTAirport::initWithData(cases[0].entry);
    EXPECT_EQ(heathrow->coordinate(), (KESTLocation { 51.4775, -0.461389 }));
    EXPECT_EQ(heathrow->iata(), "LHR");
    EXPECT_EQ(heathrow->icao(), "EGLL");
    EXPECT_TRUE(heathrow->isMajor());
    heathrow->setAddedAsAnnotationWithRepresentedValue(Value(true));
    EXPECT_TRUE(heathrow->addedAsAnnotation());
    UIImage::setNamedImageDirectory("");
}

TEST(KESTAirport, ListSkipsMalformedEntriesAndSurvivesAMissingFile)
{
    AppTestScope scope;
    LogCapture log;
    auto airports = KESTAirport::airportsFromJSONData(R"({"airports": [
        ["Heathrow", "London", "United Kingdom", "LHR", "EGLL", 51.4775, -0.461389, 1],
        ["Short", "Entry"],
        ["Bad", "Kinds", "Here", "BAD", "XBAD", "north", 0, 0],
        ["Gatwick", "London", "United Kingdom", "LGW", "EGKK", 51.148, -0.19, 0]
    ]})");
    ASSERT_EQ(airports.size(), 2u);
    EXPECT_EQ(airports[0]->iata(), "LHR");
    EXPECT_EQ(airports[1]->iata(), "LGW");
    EXPECT_EQ(log.messages().size(), 2u);

    log.clear();
    EXPECT_TRUE(KESTAirport::airportsFromJSONData("not json").empty());
    EXPECT_TRUE(KESTAirport::airportsFromJSONData(R"({"airports": {}})").empty());
    EXPECT_EQ(log.messages().size(), 2u);

    // A bundle without the list: no airports and a log line, no crash.
    std::string previous = NSBundle::mainBundle()->bundlePath();
    std::filesystem::create_directories(scope.sandbox().path("bundle"));
    NSBundle::setMainBundlePath(scope.sandbox().path("bundle"));
    log.clear();
    EXPECT_TRUE(KESTAirport::airportsFromBundle().empty());
    EXPECT_TRUE(log.contains("Airport list \"airports.json\" is missing from the bundle"));

    std::string list = R"({"airports": [["A", "B", "C", "AAA", "AAAA", 1, 2, 1]]})";
    ASSERT_TRUE(
        NSData::writeToFile(Value::data(list.data(), list.size()), scope.sandbox().path("bundle/airports.json"), true));
    NSBundle::setMainBundlePath(scope.sandbox().path("bundle"));
    auto bundled = KESTAirport::airportsFromBundle();
    NSBundle::setMainBundlePath(previous);
    ASSERT_EQ(bundled.size(), 1u);
    EXPECT_EQ(bundled[0]->title(), "A");
}

TEST(KESTHistoricFlight, HoldsItsTexts)
{
    auto flight = KESTHistoricFlight::init();
    flight->setFltno("BA117");
    flight->setTimeStamp("2014-01-01 10:20:30");
    EXPECT_EQ(flight->fltno(), "BA117");
    EXPECT_EQ(flight->timeStamp().substr(0, 10), "2014-01-01");
    EXPECT_EQ(flight->callsign(), "");
}
