#include "app/categories/MKMapView+ZoomLevel.h"

#include "mapkit/MKMapView.h"

#include <gtest/gtest.h>

#include <cmath>

using namespace MKMapView_ZoomLevel;

TEST(MapZoomLevel, ConvertsBetweenDegreesAndPixelSpace)
{
    struct Case {
        double longitude;
        double x;
    };
    const Case xs[] = { { 0, 268435456 }, { 180, 536870912 }, { -180, 0 }, { 90, 402653184 } };
    for (const auto& c : xs) {
        SCOPED_TRACE(c.longitude);
        EXPECT_EQ(originXForLongitude(c.longitude), c.x);
        EXPECT_NEAR(longitudeForOriginX(c.x), c.longitude, 1e-9);
    }
    EXPECT_EQ(originYForLatitude(0), 268435456);
    EXPECT_EQ(originYForLatitude(90), 0);
    EXPECT_EQ(originYForLatitude(-90), 536870912);
    // Round trips are exact to within the rounding of pixel space to whole units.
    for (double longitude : { -179.123456, -73.9857, 0.5, 151.2093 }) {
        SCOPED_TRACE(longitude);
        EXPECT_NEAR(longitudeForOriginX(originXForLongitude(longitude)), longitude, 360.0 / 536870912.0);
    }
    for (double latitude : { -60.0, -33.8688, 0.0, 40.7128, 51.5074, 70.0 }) {
        SCOPED_TRACE(latitude);
        // The forward projection runs in single precision, so a round trip is good to about
        // a metre, not to a pixel-space unit.
        EXPECT_NEAR(latitudeForOriginY(originYForLatitude(latitude)), latitude, 1e-5);
    }
    // North lies above (smaller y) the south.
    EXPECT_LT(originYForLatitude(51.5), originYForLatitude(-33.9));
}

TEST(MapZoomLevel, LevelFollowsTheVisibleLongitudeSpan)
{
    auto map = MKMapView::initWithFrame(CGRectMake(0, 0, 1024, 768));
    struct Case {
        double longitudeSpan;
        uint32_t level;
    };
    const Case cases[] = { { 360, 1 }, { 1, 9 }, { 0.5, 10 }, { 0.01, 16 } };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.longitudeSpan);
        map->setRegion(MKCoordinateRegionMake({ 0, 0 }, MKCoordinateSpanMake(0.0001, c.longitudeSpan)));
        ASSERT_NEAR(map->region().span.longitudeDelta, c.longitudeSpan, c.longitudeSpan * 1e-6);
        EXPECT_EQ(zoomLevel(map), c.level);
    }
    EXPECT_EQ(zoomLevel(nullptr), 0u);
    EXPECT_EQ(zoomLevel(MKMapView::initWithFrame(CGRectZero)), 0u);
    EXPECT_EQ(realWorldDistanceOfMapView(nullptr), 0);
}

TEST(MapZoomLevel, SettingALevelShowsThatLevelAndCapsAt28)
{
    auto map = MKMapView::initWithFrame(CGRectMake(0, 0, 1024, 768));
    for (uint32_t level : { 3u, 6u, 10u, 14u }) {
        SCOPED_TRACE(level);
        // 1024 points of 2^(20 - level) units each.
        double expected = 1024.0 * std::ldexp(1.0, 20 - int(level)) * 360 / 536870912.0;
        auto span = coordinateSpanWithMapViewCenterCoordinateAndZoomLevel(map, { 0, 0 }, level);
        EXPECT_NEAR(span.longitudeDelta, expected, 1e-6);
        setCenterCoordinateZoomLevelAnimated(map, { 51.5, -0.12 }, level, false);
        // The map keeps its aspect, so it may widen the region to fit the Mercator latitude
        // span: it shows at least the level's width, never a higher level.
        EXPECT_GE(map->region().span.longitudeDelta, expected - 1e-6);
        EXPECT_LE(zoomLevel(map), level);
        EXPECT_NEAR(map->centerCoordinate().latitude, 51.5, 1e-6);
        EXPECT_NEAR(map->centerCoordinate().longitude, -0.12, 1e-6);
    }
    // Level 30 asks for the same span as level 28.
    auto span28 = coordinateSpanWithMapViewCenterCoordinateAndZoomLevel(map, { 10, 10 }, 28);
    auto span30 = coordinateSpanWithMapViewCenterCoordinateAndZoomLevel(map, { 10, 10 }, 30);
    EXPECT_GT(span28.longitudeDelta, span30.longitudeDelta);
    setCenterCoordinateZoomLevelAnimated(map, { 10, 10 }, 30, false);
    auto after30 = map->region().span;
    setCenterCoordinateZoomLevelAnimated(map, { 10, 10 }, 28, false);
    EXPECT_DOUBLE_EQ(map->region().span.longitudeDelta, after30.longitudeDelta);
}

TEST(MapZoomLevel, RegionForLevelClampsAndMovesRegionsOffTheBottom)
{
    auto map = MKMapView::initWithFrame(CGRectMake(0, 0, 1024, 768));
    // Level 9 at the equator: 1024 points of 2^11 units each span 1.4 degrees of longitude.
    auto plain = coordinateRegionWithMapViewCenterCoordinateAndZoomLevel(map, { 0, 0 }, 9);
    EXPECT_NEAR(plain.span.longitudeDelta, 1024.0 * 2048 * 360 / 536870912.0, 1e-9);
    EXPECT_GT(plain.span.latitudeDelta, 0);
    EXPECT_EQ(plain.center.latitude, 0);

    // Longitudes are reduced modulo 180 keeping their sign; latitudes clamped.
    auto wrapped = coordinateRegionWithMapViewCenterCoordinateAndZoomLevel(map, { 120, 190 }, 9);
    EXPECT_DOUBLE_EQ(wrapped.center.longitude, 10);
    auto negative = coordinateRegionWithMapViewCenterCoordinateAndZoomLevel(map, { 0, -190 }, 9);
    EXPECT_DOUBLE_EQ(negative.center.longitude, -10);

    auto clamped = coordinateRegionWithMapViewCenterCoordinateAndZoomLevel(map, { -100, 0 }, 9);
    EXPECT_EQ(clamped.center.latitude, -90);
    EXPECT_GT(clamped.span.latitudeDelta, 0);
}
