#include "mapkit/MKGeometry.h"

#include <cmath>
#include <gtest/gtest.h>

TEST(MKGeometry, ProjectionRoundTrips)
{
    struct Case {
        CLLocationCoordinate2D coordinate;
        MKMapPoint expected; // NAN: only the round trip is checked
    };
    const double w = kMKMapWorldSide;
    const Case cases[] {
        { { 0, 0 }, { w / 2, w / 2 } },
        { { 0, -180 }, { 0, w / 2 } },
        { { 85.0511287798066, 180 }, { w, 0 } },
        { { -85.0511287798066, -90 }, { w / 4, w } },
        { { 51.4775, -0.4614 }, { NAN, NAN } },
        { { -33.9461, 151.1772 }, { NAN, NAN } },
        { { 64.1355, -21.8954 }, { NAN, NAN } },
        { { -54.8, -68.3 }, { NAN, NAN } },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::to_string(c.coordinate.latitude) + "," + std::to_string(c.coordinate.longitude));
        auto p = MKMapPointForCoordinate(c.coordinate);
        if (!std::isnan(c.expected.x)) {
            EXPECT_NEAR(p.x, c.expected.x, 1e-3);
            EXPECT_NEAR(p.y, c.expected.y, 1e-3);
        }
        auto back = MKCoordinateForMapPoint(p);
        EXPECT_NEAR(back.latitude, c.coordinate.latitude, 1e-9);
        EXPECT_NEAR(back.longitude, c.coordinate.longitude, 1e-9);
    }
    // Beyond the projection's reach the point stays on the world's edge.
    EXPECT_EQ(MKMapPointForCoordinate({ 89.9, 0 }).y, 0);
    EXPECT_EQ(MKMapPointForCoordinate({ -90, 0 }).y, w);
    EXPECT_NEAR(MKMapPointForCoordinate({ 0, 190 }).x, MKMapPointForCoordinate({ 0, -170 }).x, 1e-6);
}

TEST(MKGeometry, RectFunctionsIncludingThe180thMeridian)
{
    const double w = kMKMapWorldSide;
    const MKMapRect a = MKMapRectMake(100, 100, 100, 50);
    struct Case {
        const char* name;
        MKMapRect result;
        MKMapRect expected;
    };
    const Case cases[] {
        { "intersection", MKMapRectIntersection(a, MKMapRectMake(150, 120, 100, 100)),
            MKMapRectMake(150, 120, 50, 30) },
        { "disjoint intersection", MKMapRectIntersection(a, MKMapRectMake(500, 500, 1, 1)), MKMapRectNull },
        { "union", MKMapRectUnion(a, MKMapRectMake(0, 0, 10, 10)), MKMapRectMake(0, 0, 200, 150) },
        { "union with null", MKMapRectUnion(MKMapRectNull, a), a },
        { "inset", MKMapRectInset(a, 10, 5), MKMapRectMake(110, 105, 80, 40) },
        { "negative inset grows", MKMapRectInset(a, -10, -10), MKMapRectMake(90, 90, 120, 70) },
        { "over-inset is null", MKMapRectInset(a, 60, 0), MKMapRectNull },
        { "offset", MKMapRectOffset(a, -100, 5), MKMapRectMake(0, 105, 100, 50) },
        { "remainder east", MKMapRectRemainder(MKMapRectMake(w - 100, 10, 300, 20)), MKMapRectMake(0, 10, 200, 20) },
        { "remainder west", MKMapRectRemainder(MKMapRectMake(-50, 10, 300, 20)), MKMapRectMake(w - 50, 10, 50, 20) },
        { "no remainder inside", MKMapRectRemainder(a), MKMapRectNull },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_TRUE(
            MKMapRectEqualToRect(c.result, c.expected) || (MKMapRectIsNull(c.result) && MKMapRectIsNull(c.expected)))
            << MKStringFromMapRect(c.result) << " vs " << MKStringFromMapRect(c.expected);
    }

    struct Flag {
        const char* name;
        bool value;
        bool expected;
    };
    const Flag flags[] {
        { "contains min corner", MKMapRectContainsPoint(a, { 100, 100 }), true },
        { "max edge is outside", MKMapRectContainsPoint(a, { 200, 120 }), false },
        { "null contains nothing", MKMapRectContainsPoint(MKMapRectNull, { 0, 0 }), false },
        { "contains itself", MKMapRectContainsRect(a, a), true },
        { "contains a sliver", MKMapRectContainsRect(a, MKMapRectMake(150, 100, 50, 0)), true },
        { "does not contain a wider rect", MKMapRectContainsRect(a, MKMapRectInset(a, -1, 0)), false },
        { "overlap intersects", MKMapRectIntersectsRect(a, MKMapRectMake(199, 149, 5, 5)), true },
        { "touching edges do not", MKMapRectIntersectsRect(a, MKMapRectMake(200, 100, 5, 5)), false },
        { "null never intersects", MKMapRectIntersectsRect(a, MKMapRectNull), false },
        { "world does not span", MKMapRectSpans180thMeridian(MKMapRectWorld), false },
        { "past east edge spans", MKMapRectSpans180thMeridian(MKMapRectMake(w - 1, 0, 2, 2)), true },
        { "past west edge spans", MKMapRectSpans180thMeridian(MKMapRectMake(-1, 0, 2, 2)), true },
        { "null is empty", MKMapRectIsEmpty(MKMapRectNull), true },
        { "flat is empty", MKMapRectIsEmpty(MKMapRectMake(1, 1, 0, 5)), true },
    };
    for (const auto& f : flags) {
        SCOPED_TRACE(f.name);
        EXPECT_EQ(f.value, f.expected);
    }

    MKMapRect slice, rest;
    MKMapRectDivide(a, &slice, &rest, 30, 2);
    EXPECT_TRUE(MKMapRectEqualToRect(slice, MKMapRectMake(170, 100, 30, 50)));
    EXPECT_TRUE(MKMapRectEqualToRect(rest, MKMapRectMake(100, 100, 70, 50)));
    EXPECT_EQ(MKStringFromMapRect(MKMapRectMake(1, 2, 3, 4)), "{{1.0, 2.0}, {3.0, 4.0}}");
}

TEST(MKGeometry, RegionsDistancesAndScales)
{
    // A region and the map rect covering it describe each other.
    struct Case {
        MKCoordinateRegion region;
    };
    const Case cases[] { { { { 0, 0 }, { 10, 20 } } }, { { { 48.85, 2.35 }, { 1.5, 1.5 } } },
        { { { -33.9, 151.2 }, { 0.01, 0.02 } } }, { { { 60, 179 }, { 4, 6 } } } };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::to_string(c.region.center.latitude));
        auto rect = MKMapRectForCoordinateRegion(c.region);
        auto back = MKCoordinateRegionForMapRect(rect);
        EXPECT_NEAR(back.span.latitudeDelta, c.region.span.latitudeDelta, 1e-9);
        EXPECT_NEAR(back.span.longitudeDelta, c.region.span.longitudeDelta, 1e-9);
        EXPECT_NEAR(back.center.longitude, c.region.center.longitude, 1e-9);
        // The Mercator middle sits a little poleward of the middle latitude, never outside the span.
        EXPECT_NEAR(back.center.latitude, c.region.center.latitude, c.region.span.latitudeDelta / 2);
    }

    auto world = MKCoordinateRegionForMapRect(MKMapRectWorld);
    EXPECT_NEAR(world.span.longitudeDelta, 360, 1e-9);
    EXPECT_NEAR(world.span.latitudeDelta, 2 * 85.0511287798066, 1e-6);

    auto region = MKCoordinateRegionMakeWithDistance({ 60, 10 }, 111319.49, 111319.49);
    EXPECT_NEAR(region.span.latitudeDelta, 1, 1e-6);
    EXPECT_NEAR(region.span.longitudeDelta, 2, 1e-6) << "a degree of longitude is half as long at 60 degrees";

    EXPECT_NEAR(MKMapPointsPerMeterAtLatitude(0), kMKMapWorldSide / 40075016.686, 1e-6);
    EXPECT_NEAR(MKMapPointsPerMeterAtLatitude(60), 2 * MKMapPointsPerMeterAtLatitude(0), 1e-9);
    EXPECT_NEAR(MKMetersPerMapPointAtLatitude(0) * MKMapPointsPerMeterAtLatitude(0), 1, 1e-12);
    auto p = MKMapPointForCoordinate({ 0, 0 }), q = MKMapPointForCoordinate({ 0, 1 });
    EXPECT_NEAR(MKMetersBetweenMapPoints(p, q), 111319.491, 0.01);

    double previous = INFINITY;
    for (double zoom = 1.0 / (1 << 20); zoom <= 2; zoom *= 2) {
        double width = MKRoadWidthAtZoomScale(zoom);
        EXPECT_GT(width, 0);
        EXPECT_LT(width, previous) << "fewer map points per road as the map zooms in";
        EXPECT_GE(width * zoom, 1.0) << "at least a point wide on screen";
        previous = width;
    }
    EXPECT_EQ(MKRoadWidthAtZoomScale(0), 0);
}
