#include "app/view-controllers/map/KESTMapController.h"

#include "app/tests/map/MapTestSupport.h"
#include "app/view-controllers/map/KESTMapAnnotation.h"
#include "foundation/Clock.h"
#include "graphics/UIImage.h"
#include "mapkit/MKMapView.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace {

class KESTMapControllerTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        facade = KESTMapController::sharedInstance();
        map = MKMapView::initWithFrame(CGRectMake(0, 0, 1024, 768));
        map->setRegion(MKCoordinateRegionMake({ 50, 5 }, MKCoordinateSpanMake(4, 8)));
    }

    MapTestScope scope;
    Ref<KESTMapController> facade;
    Ref<MKMapView> map;
};

bool contains(const std::vector<Ref<KESTAnnotation>>& list, const Ref<KESTAnnotation>& annotation)
{
    return std::find(list.begin(), list.end(), annotation) != list.end();
}

} // namespace

TEST_F(KESTMapControllerTest, BoundsAreRegionEdgesWidenedOnlyByPositivePadding)
{
    // Nothing registered: zeros everywhere.
    EXPECT_EQ(facade->mapProvider(), -1);
    auto none = facade->currentMapBounds(100);
    EXPECT_EQ(none.north, 0);
    EXPECT_EQ(none.south, 0);
    EXPECT_EQ(none.east, 0);
    EXPECT_EQ(none.west, 0);
    MKMapRect zero = facade->visibleMapRectWithPadding(100);
    EXPECT_EQ(zero.size.width, 0);
    EXPECT_EQ(facade->centerCoordinate().latitude, 0);
    EXPECT_EQ(facade->zoomLevel(), 0u);

    facade->setControllerWithMapView(nullptr, map);
    EXPECT_EQ(facade->mapProvider(), 0);
    EXPECT_TRUE(facade->isAppleMap());
    MKCoordinateRegion region = map->region();
    struct Case {
        double padding;
        bool wider;
    };
    const Case cases[] = { { 0, false }, { -5, false }, { 100, true } };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.padding);
        auto bounds = facade->currentMapBounds(c.padding);
        double north = bounds.north, south = bounds.south;
        double east = bounds.east, west = bounds.west;
        EXPECT_NEAR((east + west) / 2, region.center.longitude, 1e-6);
        if (c.wider) {
            EXPECT_GT(north, region.center.latitude + region.span.latitudeDelta / 2);
            EXPECT_LT(south, region.center.latitude - region.span.latitudeDelta / 2);
            EXPECT_GT(east - west, region.span.longitudeDelta);
            MKMapRect visible = facade->visibleMapRectWithPadding(0);
            MKMapRect widened = facade->visibleMapRectWithPadding(static_cast<float>(c.padding));
            EXPECT_TRUE(MKMapRectContainsRect(widened, visible));
            EXPECT_GT(widened.size.width, visible.size.width);
        } else {
            EXPECT_DOUBLE_EQ(north, region.center.latitude + region.span.latitudeDelta * 0.5);
            EXPECT_DOUBLE_EQ(south, region.center.latitude - region.span.latitudeDelta * 0.5);
            EXPECT_DOUBLE_EQ(east, region.center.longitude + region.span.longitudeDelta * 0.5);
            EXPECT_DOUBLE_EQ(west, region.center.longitude - region.span.longitudeDelta * 0.5);
        }
    }

    // Near the antimeridian the numbers are not wrapped.
    map->setRegion(MKCoordinateRegionMake({ 0, 179 }, MKCoordinateSpanMake(4, 8)));
    EXPECT_GT(facade->currentMapBounds(0).east, 180);

    // A destroyed map view leaves the facade with nothing to answer from.
    map = nullptr;
    EXPECT_EQ(facade->currentMapBounds(0).north, 0);
    EXPECT_EQ(facade->mapProvider(), 0);
}

TEST_F(KESTMapControllerTest, KeepsOnMapFlagsAcrossAddsRemovesAndRegistrations)
{
    auto backing = facade->backingMapView();
    size_t airportsAtStart = backing->annotations().size();
    EXPECT_GT(airportsAtStart, 0u) << "every bundled airport is indexed from the start";

    facade->setControllerWithMapView(nullptr, map);
    auto a = makeAirport("EHAM", 52.3, 4.76);
    auto b = makeAirport("EBBR", 50.9, 4.48);
    backing->addAnnotations(KESTMapAnnotation::mapAnnotationsFor({ a, b }));

    facade->addAnnotations({ a, b });
    EXPECT_TRUE(a->addedAsAnnotation());
    EXPECT_TRUE(b->addedAsAnnotation());
    EXPECT_EQ(facade->customAnnotations().size(), 2u);
    // Both maps hold the one map annotation of each airport.
    EXPECT_EQ(map->annotations().size(), 2u);
    EXPECT_EQ(KESTMapAnnotation::annotationOf(map->annotations()[0]), a);

    facade->removeAnnotation(a);
    EXPECT_FALSE(a->addedAsAnnotation());
    EXPECT_FALSE(contains(facade->customAnnotations(), a));
    EXPECT_TRUE(contains(facade->customAnnotations(), b));

    // A second map screen registers: every flag is cleared, the index is kept.
    auto second = MKMapView::initWithFrame(CGRectMake(0, 0, 800, 600));
    facade->setControllerWithMapView(nullptr, second);
    EXPECT_FALSE(b->addedAsAnnotation());
    EXPECT_EQ(backing->annotations().size(), airportsAtStart + 2);
    for (const auto& annotation : KESTMapAnnotation::annotationsOf(backing->annotations()))
        ASSERT_FALSE(annotation->addedAsAnnotation());
    EXPECT_TRUE(facade->customAnnotations().empty());

    // Without a MapKit map view the single add still sets the flag but answers nil.
    facade->setMapView(nullptr);
    auto c = makeAirport("LFPG", 49.0, 2.55);
    EXPECT_EQ(facade->addAnnotation(c), nullptr);
    EXPECT_TRUE(c->addedAsAnnotation());
    facade->setMapView(second);
    EXPECT_EQ(facade->addAnnotation(c), c);
    EXPECT_EQ(second->annotations().size(), 1u);
}

TEST_F(KESTMapControllerTest, AddingStampsTheFeedClockEvenWhenEmpty)
{
    facade->setControllerWithMapView(nullptr, map);
    auto feed = KESTLiveDataManager::sharedInstance();
    size_t before = map->annotations().size();
    scope.clock().advance(30);
    facade->addAnnotations({});
    EXPECT_DOUBLE_EQ(feed->deviceUTCTime(), Clock::wallTime());
    EXPECT_EQ(map->annotations().size(), before);
}

TEST_F(KESTMapControllerTest, CommandsReachTheShownMap)
{
    facade->setControllerWithMapView(nullptr, map);
    struct Case {
        int32_t value;
        MKMapType expected;
    };
    const Case cases[] = { { 1, MKMapTypeSatellite }, { 3, MKMapTypeSatellite }, { 2, MKMapTypeHybrid },
        { -1, MKMapTypeHybrid }, { 0, MKMapTypeStandard } };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.value);
        facade->setMapType(c.value);
        EXPECT_EQ(map->mapType(), c.expected);
    }

    facade->toggleUserLocation();
    EXPECT_TRUE(map->showsUserLocation());
    EXPECT_TRUE(facade->shouldZoomToUserLocationWhenLocated());
    // The user-location dot is an annotation of the map but not one of ours.
    auto own = makeAirport("EGLL", 51.47, -0.46);
    facade->addAnnotation(own);
    EXPECT_EQ(facade->annotations().size(), 2u);
    ASSERT_EQ(facade->customAnnotations().size(), 1u);
    EXPECT_EQ(facade->customAnnotations()[0], own);
    facade->toggleUserLocation();
    EXPECT_FALSE(map->showsUserLocation());
    EXPECT_FALSE(facade->shouldZoomToUserLocationWhenLocated());

    facade->setMapRegion(MKCoordinateRegionMake({ 40, -74 }, MKCoordinateSpanMake(1, 1)));
    EXPECT_NEAR(facade->centerCoordinate().latitude, 40, 1e-6);
    facade->setCenterCoordinate({ 41, -73 });
    EXPECT_NEAR(facade->centerCoordinate().longitude, -73, 1e-6);
    EXPECT_EQ(facade->mapBearing(), 0);

    auto snapshot = facade->mapSnapshot();
    ASSERT_TRUE(snapshot);
    EXPECT_EQ(snapshot->size().width, 1024);
    EXPECT_EQ(snapshot->size().height, 768);
}
