#include "foundation/NSDate.h"
#include "location/CLHeading.h"
#include "location/CLLocation.h"

#include <cmath>
#include <gtest/gtest.h>

TEST(CLLocation, DistancesOnTheEllipsoid)
{
    struct Case {
        const char* name;
        CLLocationCoordinate2D from, to;
        double metres;
        double tolerance;
    };
    const Case cases[] {
        { "same point", { 47.1, 8.2 }, { 47.1, 8.2 }, 0, 0 },
        { "one degree on the equator", { 0, 0 }, { 0, 1 }, 111319.491, 0.01 },
        { "equator to pole", { 0, 0 }, { 90, 0 }, 10001965.729, 0.01 },
        { "surveyed line", { -37.95103341666667, 144.42486788888888 }, { -37.65282113888889, 143.92649552777777 },
            54972.271, 0.01 },
        { "across the 180th meridian", { 0, 179.5 }, { 0, -179.5 }, 111319.491, 0.01 },
        { "nearly antipodal falls back", { 0, 0 }, { 0.5, 179.7 }, 19960000, 60000 },
        { "exactly antipodal falls back", { 0, 0 }, { 0, 180 }, 20003931, 20000 },
        { "invalid coordinate", { 91, 0 }, { 0, 0 }, -1, 0 },
        { "invalid marker", kCLLocationCoordinate2DInvalid, { 0, 0 }, -1, 0 },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        auto a = CLLocation::initWithLatitudeLongitude(c.from.latitude, c.from.longitude);
        auto b = CLLocation::initWithLatitudeLongitude(c.to.latitude, c.to.longitude);
        double d = a->distanceFromLocation(b);
        EXPECT_TRUE(std::isfinite(d));
        EXPECT_NEAR(d, c.metres, c.tolerance);
        EXPECT_NEAR(b->distanceFromLocation(a), d, 1e-6) << "symmetric";
    }
}

TEST(CLLocation, CoordinateValidityAndDefaults)
{
    struct Case {
        CLLocationCoordinate2D coordinate;
        bool valid;
    };
    const Case cases[] { { { 0, 0 }, true }, { { 90, 180 }, true }, { { -90, -180 }, true }, { { 90.0001, 0 }, false },
        { { 0, -180.0001 }, false }, { kCLLocationCoordinate2DInvalid, false }, { { NAN, 0 }, false } };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::to_string(c.coordinate.latitude) + "," + std::to_string(c.coordinate.longitude));
        EXPECT_EQ(CLLocationCoordinate2DIsValid(c.coordinate), c.valid);
    }
    auto location = CLLocation::initWithLatitudeLongitude(1, 2);
    EXPECT_EQ(location->speed(), -1);
    EXPECT_EQ(location->course(), -1);
    EXPECT_EQ(location->verticalAccuracy(), -1);
    ASSERT_TRUE(location->timestamp());
    EXPECT_EQ(location->valueForKey("altitude").doubleValue(), 0);

    auto heading = CLHeading::initWithHeading(350, -1, 5)->headingRotatedBy(20);
    EXPECT_DOUBLE_EQ(heading->magneticHeading(), 10);
    EXPECT_EQ(heading->trueHeading(), -1) << "an unknown true heading stays unknown";
}
