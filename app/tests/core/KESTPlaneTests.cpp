#include "app/core/KESTPlane.h"

#include "app/core/KESTPlaneServices.h"
#include "app/tests/AppTestSupport.h"
#include "foundation/Dispatch.h"
#include "foundation/NSException.h"
#include "graphics/CGContext.h"
#include "graphics/UIGraphics.h"
#include "graphics/UIImage.h"
#include "testing/Drain.h"
#include "testing/VirtualClock.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

// Fixed clocks, bearing and marker tables, and a record of what the plane asked for.
class FakePlaneServices final : public KESTPlaneServices {
public:
    double deviceUTCTime() const override { return device; }
    double serverTime() const override { return server; }
    double mapBearing() const override { return bearing; }
    void performFlightPathFetch(const std::string& adshex, const Value& timestamp) override
    {
        fetches.emplace_back(adshex, timestamp);
    }
    std::optional<std::string> fullLookupFamily(const std::string& type) const override
    {
        if (type == "B738")
            return std::string("B738");
        return std::nullopt;
    }
    std::optional<std::string> partialLookupFamily(const std::string& prefix) const override
    {
        if (prefix == "A32")
            return std::string("A320");
        return std::nullopt;
    }
    Ref<UIImage> rotatedImageNamed(
        const std::string& family, int32_t rotation, const std::optional<std::string>& colour) const override
    {
        images.push_back(family + "_" + colour.value_or("-") + "_" + std::to_string(rotation));
        return nullptr;
    }

    double device { 1000060 };
    double server { 0 };
    double bearing { 0 };
    std::vector<std::pair<std::string, Value>> fetches;
    mutable std::vector<std::string> images;
};

struct PlaneScope {
    PlaneScope() { KESTPlaneServices::install(services); }
    ~PlaneScope() { KESTPlaneServices::install(nullptr); }
    AppTestScope app;
    std::shared_ptr<FakePlaneServices> services = std::make_shared<FakePlaneServices>();
};

struct Report {
    std::string type = "B738";
    std::string callsign = "BAW123";
    double lat = 0, lon = 0, altitude = 30000, heading = 90, speed = 400, mtime = 1000000;
    int32_t dataType = 0;
    std::string fltno = "BA123";
    std::string squawk = "123";

    Value info() const
    {
        return Value::array(
            { Value(type), Value("LHR-JFK"), Value("G-ABCD"), Value(callsign), Value(lat), Value(lon), Value(altitude),
                Value(heading), Value(speed), Value(mtime), Value(squawk), Value(dataType), Value(fltno) });
    }
};

} // namespace

TEST(KESTPlane, EstimatesPositionWithClampingRules)
{
    PlaneScope scope; // device 60 s ahead of the report: t = 65 s
    constexpr double moved = 400 * 0.514444444 * 65;
    struct Case {
        const char* name;
        double speed, altitude;
        int32_t dataType;
        bool clamping, moves;
    };
    const Case cases[] = {
        { "cruise", 400, 30000, 0, true, true },
        { "slow", 129, 30000, 0, true, false },
        { "just fast enough", 130, 30000, 0, true, true },
        { "low", 400, 999, 0, true, false },
        { "just high enough", 400, 1000, 0, true, true },
        { "low scheduled", 400, 9999, 1, true, false },
        { "high scheduled", 400, 10000, 1, true, true },
        { "slow, no clamping", 10, 0, 1, false, true },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Report report;
        report.speed = c.speed;
        report.altitude = c.altitude;
        report.dataType = c.dataType;
        auto plane = KESTPlane::initWithAdshexAndInfo("400abc", report.info());
        ASSERT_TRUE(plane);
        KESTLocation estimate = plane->estimateCoordWithClamping(c.clamping);
        EXPECT_NEAR(estimate.latitude, 0, 1e-6); // the degree factor leaves the track a hair off east
        if (c.moves) {
            double metres = KESTLocation {}.distanceFromLocation(estimate);
            EXPECT_NEAR(metres, c.speed * 0.514444444 * 65, 1.0);
        } else {
            EXPECT_EQ(estimate.longitude, 0);
        }
    }
    Report report;
    auto plane = KESTPlane::initWithAdshexAndInfo("400abc", report.info());
    EXPECT_NEAR(plane->estimateCoordWithClamping(true).longitude, 0.1201, 0.0001);
    EXPECT_NEAR(KESTLocation {}.distanceFromLocation(plane->estimateCoordWithClamping(true)), moved, 1.0);

    // A plane that does not move goes through the estimate's own degree factors.
    report.lat = 51.5;
    report.lon = -0.25;
    report.speed = 0;
    plane->updateInfo(report.info());
    KESTLocation still = plane->estimateCoordWithClamping(true);
    EXPECT_NEAR(still.longitude, -0.25 * 0.01745327 * 57.2957795, 1e-12);
    EXPECT_NEAR(still.latitude, 51.5, 1e-4);
    EXPECT_NE(still.latitude, 51.5);

    // Meaningless numbers fall back to the reported position.
    report.speed = INFINITY;
    plane->updateInfo(report.info());
    EXPECT_EQ(plane->estimateCoordWithClamping(true), (KESTLocation { 51.5, -0.25 }));
}

TEST(KESTPlane, HeadingStepsOperatorCodesAndSquawks)
{
    PlaneScope scope;
    struct HeadingCase {
        double bearing, heading;
        int32_t step;
    };
    const HeadingCase headings[] = {
        { 0, 356, 360 },
        { 0, 4, 0 },
        { 90, 45, 320 },
        { 10, 10, 0 },
        { 90, 90.9, 0 },
        { 30, 390, 0 },
        { 30, -330, 360 },
        { 30, 0, 330 },
        { 0, 15, 20 },
        { 0, -20, 0 },
        { 0, 400, 360 },
        { 45.7, 50.2, 10 },
    };
    Report report;
    auto plane = KESTPlane::initWithAdshexAndInfo("400abc", report.info());
    for (const auto& c : headings) {
        SCOPED_TRACE(testing::Message() << c.bearing << " " << c.heading);
        scope.services->bearing = c.bearing;
        plane->setHeading(c.heading);
        EXPECT_EQ(plane->clampedHeading(), c.step);
    }

    const std::pair<const char*, const char*> callsigns[] = {
        { "BAW123", "BAW" },
        { "N123AB", "AB" },
        { "12", "01" },
        { "", "00" },
        { "7", "00" },
        { "ezy12", "ezy" },
        { "ABCDEF", "ABC" },
        { "1A2B3C", "1A" },
    };
    for (auto [callsign, code] : callsigns) {
        SCOPED_TRACE(callsign);
        report.callsign = callsign;
        auto fresh = KESTPlane::initWithAdshexAndInfo("400abc", report.info());
        EXPECT_EQ(fresh->airlineICAO(), code);
        report.callsign = "DLH9";
        fresh->updateInfo(report.info());
        EXPECT_EQ(fresh->airlineICAO(), code); // cached for the life of the plane
    }

    const std::pair<const char*, const char*> squawks[]
        = { { "123", "0123" }, { "7500", "7500" }, { "", "0000" }, { "ab", "0000" } };
    for (auto [squawk, padded] : squawks) {
        plane->setSquawk(squawk);
        EXPECT_EQ(plane->paddedSquawk(), padded);
    }
}

TEST(KESTPlane, MarkerDataImagesAndRedraws)
{
    PlaneScope scope;
    auto settings = KESTSettingsManager::sharedInstance();
    struct Case {
        const char* type;
        int32_t colour, dataType;
        bool debug;
        const char* family;
        const char* letter;
    };
    const Case cases[] = {
        { "B738", 0, 0, false, "B738", "R" },
        { "A321", 1, 0, false, "A320", "Y" },
        { "A321", 2, 1, false, "A320", "O" },
        { "B7", 3, 0, false, "B737", "W" },
        { "B7", 7, 0, true, "VOLCANO", "R" },
        { "ZZZZ", 0, 0, false, "B737", "R" },
        { "ZZZZ", 0, 0, true, "VOLCANO", "R" },
        { "b738", 0, 0, false, "B737", "R" },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.type << " " << c.colour << " " << c.debug);
        settings->setPlaneColor(c.colour);
        settings->setMarkerDebug(c.debug);
        Report report;
        report.type = c.type;
        report.dataType = c.dataType;
        report.heading = 44;
        auto plane = KESTPlane::initWithAdshexAndInfo("400abc", report.info());
        Value data = plane->annotationData();
        ASSERT_EQ(data.count(), 3u);
        EXPECT_EQ(data[0].string(), c.family);
        EXPECT_EQ(data[1].string(), c.letter);
        EXPECT_EQ(data[2].intValue(), 40);
    }

    settings->setPlaneColor(0);
    settings->setMarkerDebug(false);
    Report report;
    report.heading = 44;
    auto plane = KESTPlane::initWithAdshexAndInfo("400abc", report.info());
    EXPECT_EQ(plane->lastRenderedHeading(), -999);
    EXPECT_TRUE(plane->requiresRedraw());
    plane->annotationImage();
    EXPECT_EQ(plane->lastRenderedHeading(), 40);
    EXPECT_FALSE(plane->requiresRedraw());
    scope.services->bearing = 90; // the map turned
    EXPECT_TRUE(plane->requiresRedraw());
    report.dataType = 99;
    plane->updateInfo(report.info());
    plane->annotationImage();
    EXPECT_EQ(scope.services->images, (std::vector<std::string> { "B738_R_40", "SANTA_-_310" }));
}

TEST(KESTPlane, InfoUpdatesPositionsCopiesAndTexts)
{
    PlaneScope scope;
    drainAll();
    Report report;
    const Value badInfos[] = {
        Value::array({ Value("B738") }),
        Value::array(std::vector<Value>(13, Value::null())),
        [] {
            auto v = Report().info().mutableCopy();
            v.replaceObjectAtIndex(4, Value("north"));
            return v;
        }(),
        Value("not an array"),
    };
    for (const auto& bad : badInfos)
        EXPECT_EQ(KESTPlane::initWithAdshexAndInfo("400abc", bad), nullptr);

    auto plane = KESTPlane::initWithAdshexAndInfo("400abc", report.info());
    ASSERT_TRUE(plane);
    EXPECT_EQ(plane->coordinate(), (KESTLocation { 0, 0 })); // queued to the main thread
    KESTLocation first = plane->threadedCoordinate();
    EXPECT_GT(first.longitude, 0.1);
    EXPECT_TRUE(MKMapPointEqualToPoint(plane->mapPoint(), KESTAnnotation::mapPointForCoordinate(first)));

    // Two lazy updates before the main thread runs: both steps copy the latest position.
    scope.services->device += 60;
    plane->updateLocationLazily();
    scope.services->device += 60;
    plane->updateLocationLazily();
    KESTLocation latest = plane->threadedCoordinate();
    EXPECT_GT(latest.longitude, first.longitude);
    drainAll();
    EXPECT_EQ(plane->coordinate(), latest);

    // A bad refresh changes nothing; a good one changes the fields but not the identity.
    plane->updateInfo(Value::array({ Value("X") }));
    EXPECT_EQ(plane->type(), "B738");
    report.fltno = "";
    report.callsign = "SHT9";
    plane->updateInfo(report.info());
    EXPECT_EQ(plane->adshex(), "400abc");
    EXPECT_EQ(plane->title(), "SHT9 G-ABCD");
    EXPECT_EQ(plane->subtitle(), "LHR-JFK 30,000ft 400kts");

    // Plain reported positions when planes are not moved, applied at once when asked.
    KESTSettingsManager::sharedInstance()->setMovePlanes(false);
    plane->updateLocationImmediately();
    EXPECT_EQ(plane->coordinate(), (KESTLocation { 0, 0 }));

    auto copy = plane->copy();
    EXPECT_EQ(copy->adshex(), "");
    EXPECT_EQ(copy->callsign(), "SHT9");
    EXPECT_EQ(copy->mtime(), report.mtime);
    EXPECT_EQ(copy->coordinate(), plane->coordinate());
    EXPECT_EQ(copy->searchCodeshare(), std::nullopt);

    // The path is fetched live when planes move, else for the report's time.
    plane->updateFlightPath();
    KESTSettingsManager::sharedInstance()->setMovePlanes(true);
    plane->updateFlightPath();
    KESTSettingsManager::sharedInstance()->setShowFlightPaths(false);
    plane->updateFlightPath();
    ASSERT_EQ(scope.services->fetches.size(), 2u);
    EXPECT_EQ(scope.services->fetches[0].second.doubleValue(), report.mtime);
    EXPECT_TRUE(scope.services->fetches[1].second.isNil());
    EXPECT_EQ(scope.services->fetches[1].first, "400abc");

    // A plane gone before its queued step runs is left alone.
    plane->updateLocationLazily();
    Weak<KESTPlane> weak = plane;
    plane = nullptr;
    copy = nullptr;
    drainAll();
    EXPECT_TRUE(weak.expired());
}

// The keys filters and searches read: each field by its name; a near miss is an unknown key.
TEST(KESTPlane, AnswersItsFieldsByKey)
{
    PlaneScope scope;
    Report report;
    report.lat = 51.25;
    report.lon = -0.5;
    report.dataType = 2;
    auto plane = KESTPlane::initWithAdshexAndInfo("400abc", report.info());
    ASSERT_TRUE(plane);
    const std::pair<const char*, Value> fields[] = {
        { "adshex", Value("400abc") },
        { "reg", Value("G-ABCD") },
        { "fltno", Value("BA123") },
        { "type", Value("B738") },
        { "route", Value("LHR-JFK") },
        { "squawk", Value("123") },
        { "callsign", Value("BAW123") },
        { "lat", Value(51.25) },
        { "lon", Value(-0.5) },
        { "altitude", Value(30000.0) },
        { "heading", Value(90.0) },
        { "speed", Value(400.0) },
        { "mtime", Value(1000000.0) },
        { "dataType", Value(2) },
    };
    for (const auto& [key, expected] : fields) {
        SCOPED_TRACE(key);
        Value value = plane->valueForKey(key);
        EXPECT_EQ(value, expected);
        EXPECT_EQ(value.kind(), expected.kind());
    }
    EXPECT_EQ(plane->valueForKey("class").classValue(), KESTPlane::classObject());
    for (const char* key : { "Type", "types", "typ", "speeds", "alt", "lng", "dataTypes", "callSign", "" }) {
        SCOPED_TRACE(key);
        try {
            plane->valueForKey(key);
            ADD_FAILURE() << "no exception";
        } catch (const NSException& e) {
            EXPECT_EQ(e.name(), "NSUnknownKeyException");
        }
    }
}

TEST(KESTPlane, RefreshesOnOneThreadWhileReadOnAnother)
{
    PlaneScope scope;
    Report report;
    auto plane = KESTPlane::initWithAdshexAndInfo("400abc", report.info());
    auto queue = dispatch_get_global_queue(0, 0);
    dispatch_async(queue, [plane] {
        Report r;
        for (int i = 0; i < 200; ++i) {
            r.callsign = i % 2 ? "BAW123456789012345678901234" : "EZY1";
            r.lat = i * 0.1;
            plane->updateInfo(r.info());
            plane->updateLocationLazily();
        }
    });
    for (int i = 0; i < 200; ++i) {
        std::string title = plane->title();
        EXPECT_TRUE(title.starts_with("BA123 "));
        plane->threadedCoordinate();
    }
    drainAll();
    EXPECT_NEAR(plane->lat(), 19.9, 1e-9);
}

TEST(KESTPlane, DrawsTextAndImageLabels)
{
    PlaneScope scope;
    Report report;
    auto plane = KESTPlane::initWithAdshexAndInfo("400abc", report.info());
    auto alphaAt = [](int x, int y) {
        auto context = UIGraphicsGetCurrentContext();
        auto* bytes = static_cast<const uint8_t*>(CGBitmapContextGetData(context));
        size_t row = CGBitmapContextGetBytesPerRow(context);
        const uint8_t* pixel = bytes + y * row + x * 4;
        return std::max({ pixel[0], pixel[1], pixel[2], pixel[3] });
    };

    UIGraphicsBeginImageContextWithOptions(CGSizeMake(50, 20), false, 1);
    plane->drawLabelWithContentInRect(Value("BA1"), CGRectMake(0, 0, 50, 20));
    EXPECT_GT(alphaAt(25, 2), 0); // inside the capsule
    EXPECT_EQ(alphaAt(25, 15), 0); // below its 12-point height
    EXPECT_EQ(alphaAt(1, 6), 0); // outside its width
    UIGraphicsEndImageContext();

    UIGraphicsBeginImageContextWithOptions(CGSizeMake(2, 40), false, 1);
    auto thin = UIGraphicsGetImageFromCurrentImageContext();
    UIGraphicsEndImageContext();
    UIGraphicsBeginImageContextWithOptions(CGSizeMake(30, 30), false, 1);
    auto square = UIGraphicsGetImageFromCurrentImageContext();
    UIGraphicsEndImageContext();
    ASSERT_TRUE(thin && square);

    UIGraphicsBeginImageContextWithOptions(CGSizeMake(50, 50), false, 1);
    plane->drawLabelWithContentInRect(Value(thin), CGRectMake(0, 0, 50, 50));
    plane->drawLabelWithContentInRect(Value(), CGRectMake(0, 0, 50, 50));
    plane->drawLabelWithContentInRect(Value(3), CGRectMake(0, 0, 50, 50));
    EXPECT_EQ(alphaAt(25, 20), 0);
    plane->drawLabelWithContentInRect(Value(square), CGRectMake(0, 0, 50, 50));
    EXPECT_GT(alphaAt(25, 20), 0); // the white box behind the image
    EXPECT_EQ(alphaAt(25, 45), 0);
    UIGraphicsEndImageContext();
}

// The feed may send a callsign of any length (the model keeps 64 characters): its label stays a
// short capsule centred under the marker instead of running across the map.
TEST(KESTPlane, CutsAnOverlongLabelTextToAShortCapsule)
{
    PlaneScope scope;
    Report report;
    auto plane = KESTPlane::initWithAdshexAndInfo("400abc", report.info());
    // The label's 50 points sit in the middle of a context far wider than any capsule.
    constexpr int kWidth = 1200;
    UIGraphicsBeginImageContextWithOptions(CGSizeMake(kWidth, 20), false, 1);
    auto context = UIGraphicsGetCurrentContext();
    CGContextTranslateCTM(context, kWidth / 2 - 25, 0);
    plane->drawLabelWithContentInRect(Value(std::string(64, 'W')), CGRectMake(0, 0, 50, 20));
    auto* bytes = static_cast<const uint8_t*>(CGBitmapContextGetData(context));
    size_t row = CGBitmapContextGetBytesPerRow(context);
    int left = kWidth, right = -1;
    for (int y = 0; y < 20; ++y) {
        for (int x = 0; x < kWidth; ++x) {
            if (bytes[y * row + x * 4 + 3] != 0) {
                left = std::min(left, x);
                right = std::max(right, x);
            }
        }
    }
    UIGraphicsEndImageContext();
    ASSERT_GE(right, left);
    // At most the text's 100 points and the capsule's 5-point ends, centred on the label.
    EXPECT_LE(right - left + 1, 111);
    EXPECT_NEAR((left + right + 1) / 2.0, kWidth / 2, 2);
}
