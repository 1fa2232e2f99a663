#include "graphics/UIColor.h"
#include "graphics/UIGraphics.h"
#include "graphics/UIImage.h"
#include "mapkit/BaseMapRenderer.h"
#include "mapkit/LandOutlines.h"
#include "mapkit/MKGeodesicPolyline.h"
#include "mapkit/MKPolygonRenderer.h"
#include "mapkit/MKPolylineRenderer.h"
#include "testing/GoldenImage.h"
#include "vxbuild/TestPaths.h"

#include <array>
#include <atomic>
#include <cmath>
#include <cstring>
#include <gtest/gtest.h>
#include <map>
#include <thread>

namespace {

// A tile-shaped image context: draws `body` into a size x size top-left context.
template <typename Body> CGImageRef renderTile(int size, Body body)
{
    UIGraphicsBeginImageContextWithOptions(CGSizeMake(size, size), true, 1);
    body(UIGraphicsGetCurrentContext());
    auto image = UIGraphicsGetImageFromCurrentImageContext();
    UIGraphicsEndImageContext();
    return image->CGImage();
}

// RGB of a pixel (premultiplied BGRA storage, opaque here).
std::array<int, 3> rgb(const CGImageRef& image, int x, int y)
{
    const uint8_t* p = image->bytes() + y * image->bytesPerRow() + x * 4;
    return { p[2], p[1], p[0] };
}

class OverlayTest : public ::testing::Test {
protected:
    void SetUp() override { LandOutlines::setDataDirectory(VX_TEST_DIR "/fixtures"); }
    void TearDown() override { LandOutlines::setDataDirectory(""); }
};

} // namespace

TEST_F(OverlayTest, ShapesKeepTheirPointsBoundsAndCoordinates)
{
    auto line = MKPolyline::polylineWithCoordinates({ { 10, 20 }, { -10, 40 }, { 0, 30 } });
    EXPECT_EQ(line->pointCount(), 3u);
    auto bounds = line->boundingMapRect();
    auto nw = MKMapPointForCoordinate({ 10, 20 }), se = MKMapPointForCoordinate({ -10, 40 });
    EXPECT_TRUE(MKMapRectEqualToRect(bounds, MKMapRectMake(nw.x, nw.y, se.x - nw.x, se.y - nw.y)));
    EXPECT_NEAR(line->coordinate().longitude, 30, 1e-9);
    EXPECT_NEAR(line->coordinate().latitude, 0, 1e-9);
    auto middle = line->getCoordinates(1, 5);
    ASSERT_EQ(middle.size(), 2u);
    EXPECT_NEAR(middle[0].latitude, -10, 1e-9);
    EXPECT_TRUE(line->intersectsMapRect(MKMapRectInset(bounds, 10, 10)));
    EXPECT_FALSE(line->intersectsMapRect(MKMapRectOffset(bounds, bounds.size.width * 2, 0)));

    auto empty = MKPolyline::polylineWithPoints({});
    EXPECT_TRUE(MKMapRectIsNull(empty->boundingMapRect()));
    EXPECT_FALSE(CLLocationCoordinate2DIsValid(empty->coordinate()));
    EXPECT_EQ(MKPolylineRenderer::initWithPolyline(nullptr), nullptr);

    auto renderer = MKPolylineRenderer::initWithPolyline(line);
    auto p = renderer->pointForMapPoint({ bounds.origin.x + 12, bounds.origin.y + 34 });
    EXPECT_EQ(p.x, 12);
    EXPECT_EQ(p.y, 34);
    auto back = renderer->mapPointForPoint(p);
    EXPECT_EQ(back.x, bounds.origin.x + 12);
    auto rect = renderer->rectForMapRect(MKMapRectMake(bounds.origin.x, bounds.origin.y, 8, 9));
    EXPECT_TRUE(CGRectEqualToRect(rect, CGRectMake(0, 0, 8, 9)));

    auto shape = MKPolygon::polygonWithCoordinates({ { 0, 0 }, { 0, 1 }, { 1, 1 } });
    shape->setTitle("Area");
    EXPECT_EQ(shape->title(), "Area");
    EXPECT_EQ(shape->subtitle(), std::nullopt);
}

TEST_F(OverlayTest, GeodesicLinesFollowTheGreatCircle)
{
    struct Case {
        const char* name;
        CLLocationCoordinate2D from, to;
        double highestLatitude; // the vertex of the great circle, NAN to skip
    };
    const Case cases[] {
        { "London to New York bows north", { 51.47, -0.45 }, { 40.64, -73.78 }, 53.657 },
        { "along the equator stays on it", { 0, 10 }, { 0, 60 }, 0 },
        { "Tokyo to San Francisco over the 180th meridian", { 35.55, 139.78 }, { 37.62, -122.38 }, 48.512 },
        { "short hop", { 47.45, 8.56 }, { 47.46, 8.57 }, NAN },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        auto line = MKGeodesicPolyline::polylineWithCoordinates({ c.from, c.to });
        const auto& points = line->points();
        ASSERT_GE(points.size(), 2u);
        auto first = MKCoordinateForMapPoint(points.front());
        EXPECT_NEAR(first.latitude, c.from.latitude, 1e-9);
        EXPECT_NEAR(first.longitude, c.from.longitude, 1e-9);
        auto last = MKCoordinateForMapPoint(points.back());
        EXPECT_NEAR(last.latitude, c.to.latitude, 1e-9);
        EXPECT_NEAR(std::remainder(last.longitude - c.to.longitude, 360.0), 0, 1e-9);
        double highest = -90, total = CLDistanceBetweenCoordinates(c.from, c.to), walked = 0;
        for (size_t i = 0; i < points.size(); ++i) {
            auto coordinate = MKCoordinateForMapPoint(points[i]);
            highest = std::max(highest, coordinate.latitude);
            if (i > 0) {
                EXPECT_LT(std::fabs(points[i].x - points[i - 1].x), kMKMapWorldSide / 4) << "no jump across the map";
                auto previous = MKCoordinateForMapPoint(points[i - 1]);
                double step
                    = CLDistanceBetweenCoordinates({ previous.latitude, std::remainder(previous.longitude, 360.0) },
                        { coordinate.latitude, std::remainder(coordinate.longitude, 360.0) });
                EXPECT_LT(step, 112000) << "points at most a degree of arc apart";
                walked += step;
            }
        }
        // Walking the points is the geodesic distance: the line does not wander off the great circle.
        EXPECT_NEAR(walked, total, total * 0.004 + 1);
        if (!std::isnan(c.highestLatitude)) {
            EXPECT_NEAR(highest, c.highestLatitude, 0.05);
        }
    }
}

TEST_F(OverlayTest, RendersOverlaysOverTheBaseMap)
{
    // A 256-point tile over the fixture continent at world zoom 2 (the world is 1024 points wide).
    const MKZoomScale zoom = 1024 / kMKMapWorldSide;
    const MKMapRect tile
        = MKMapRectMake(kMKMapWorldSide * 0.375, kMKMapWorldSide * 0.375, kMKMapWorldSide / 4, kMKMapWorldSide / 4);

    auto outer = std::vector<CLLocationCoordinate2D> { { 30, -30 }, { 30, 30 }, { -30, 30 }, { -30, -30 } };
    auto hole = MKPolygon::polygonWithCoordinates({ { 15, -15 }, { 15, 15 }, { -15, 15 }, { -15, -15 } });
    auto polygonRenderer = MKPolygonRenderer::initWithPolygon(MKPolygon::polygonWithCoordinates(outer, { hole }));
    polygonRenderer->setFillColor(UIColor::colorWithRedGreenBlueAlpha(0.9f, 0.2f, 0.2f, 0.6f));
    polygonRenderer->setStrokeColor(UIColor::redColor());
    polygonRenderer->setLineWidth(3);
    polygonRenderer->setAlpha(0.7f);
    auto lineRenderer
        = MKPolylineRenderer::initWithPolyline(MKPolyline::polylineWithCoordinates({ { -40, -40 }, { 40, 40 } }));
    lineRenderer->setStrokeColor(UIColor::blueColor());
    lineRenderer->setLineWidth(4);
    lineRenderer->setLineDashPattern({ 12, 6 });
    auto geodesicRenderer = MKPolylineRenderer::initWithPolyline(
        MKGeodesicPolyline::polylineWithCoordinates({ { 25, -40 }, { 25, 40 } }));
    geodesicRenderer->setStrokeColor(UIColor::colorWithRedGreenBlueAlpha(0, 0.5f, 0, 1));
    geodesicRenderer->setLineWidth(2);
    geodesicRenderer->setAlpha(0.8f);

    auto drawAll = [&](const CGContextRef& context) {
        BaseMapRenderer::drawMapRect(MKMapTypeStandard, tile, zoom, context);
        for (auto& renderer :
            std::initializer_list<Ref<MKOverlayRenderer>> { polygonRenderer, lineRenderer, geodesicRenderer })
            EXPECT_TRUE(renderer->drawMapRectIntoTileContext(tile, zoom, context));
    };
    auto image = renderTile(256, drawAll);
    EXPECT_TRUE(GoldenImage::matches(image, VX_TEST_DIR "/golden/overlays.png"));

    // Renderers are drawn from rendering threads, several at once: every thread gets the same tile.
    std::vector<CGImageRef> images(4);
    std::vector<std::thread> threads;
    for (size_t i = 0; i < images.size(); ++i) {
        threads.emplace_back([&, i] {
            auto context = CGBitmapContextCreate(nullptr, 256, 256, 8, 256 * 4, CGColorSpaceCreateDeviceRGB(),
                kCGImageAlphaPremultipliedFirst | kCGBitmapByteOrder32Little);
            // Top-left user space, as the tile context above.
            CGContextTranslateCTM(context, 0, 256);
            CGContextScaleCTM(context, 1, -1);
            for (auto& renderer :
                std::initializer_list<Ref<MKOverlayRenderer>> { polygonRenderer, lineRenderer, geodesicRenderer })
                renderer->drawMapRectIntoTileContext(tile, zoom, context);
            images[i] = CGBitmapContextCreateImage(context);
        });
    }
    for (auto& thread : threads)
        thread.join();
    for (auto& other : images)
        EXPECT_EQ(std::memcmp(other->bytes(), images[0]->bytes(), 256 * 256 * 4), 0);

    // A rect the overlay does not touch is not drawn.
    auto far = MKMapRectOffset(tile, kMKMapWorldSide / 2, 0);
    EXPECT_FALSE(renderTile(16, [&](const CGContextRef& context) {
        EXPECT_FALSE(polygonRenderer->drawMapRectIntoTileContext(far, zoom, context));
    }) == nullptr);
}

TEST_F(OverlayTest, MapTypesAreDistinguishableAndTheWorldRepeats)
{
    // World zoom 0: one 256-point tile shows the whole world; the fixture's continent is at the middle.
    const MKZoomScale zoom = 256 / kMKMapWorldSide;
    std::map<MKMapType, std::pair<std::array<int, 3>, std::array<int, 3>>> seen;
    for (auto type : { MKMapTypeStandard, MKMapTypeSatellite, MKMapTypeHybrid }) {
        SCOPED_TRACE(type);
        auto image = renderTile(256,
            [&](const CGContextRef& context) { BaseMapRenderer::drawMapRect(type, MKMapRectWorld, zoom, context); });
        auto sea = rgb(image, 5, 200), land = rgb(image, 110, 110), lake = rgb(image, 124, 124);
        EXPECT_NE(sea, land);
        EXPECT_EQ(lake, sea) << "inner rings are lakes";
        seen[type] = { sea, land };
    }
    EXPECT_NE(seen[MKMapTypeStandard], seen[MKMapTypeSatellite]);
    auto plain = renderTile(
        256, [&](const CGContextRef& c) { BaseMapRenderer::drawMapRect(MKMapTypeSatellite, MKMapRectWorld, zoom, c); });
    auto hybrid = renderTile(
        256, [&](const CGContextRef& c) { BaseMapRenderer::drawMapRect(MKMapTypeHybrid, MKMapRectWorld, zoom, c); });
    EXPECT_NE(std::memcmp(plain->bytes(), hybrid->bytes(), 256 * 256 * 4), 0) << "hybrid draws lines over the imagery";

    // A tile straddling the 180th meridian shows both halves of the island there.
    const MKZoomScale closer = 4096 / kMKMapWorldSide;
    auto across = MKMapRectMake(kMKMapWorldSide - kMKMapWorldSide / 32, MKMapPointForCoordinate({ 10, 0 }).y,
        kMKMapWorldSide / 16, kMKMapWorldSide / 16);
    auto image = renderTile(
        256, [&](const CGContextRef& c) { BaseMapRenderer::drawMapRect(MKMapTypeStandard, across, closer, c); });
    auto land = seen[MKMapTypeStandard].second;
    EXPECT_EQ(rgb(image, 100, 10), land) << "west of the meridian";
    EXPECT_EQ(rgb(image, 156, 10), land) << "east of it, from the repeated world";
    EXPECT_EQ(rgb(image, 128, 200), seen[MKMapTypeStandard].first);

    // An island written across the meridian, its east side's seam given as -180, is one piece
    // on each side: no sliver of it runs around the world.
    auto world = renderTile(
        256, [&](const CGContextRef& c) { BaseMapRenderer::drawMapRect(MKMapTypeStandard, MKMapRectWorld, zoom, c); });
    int islandRow = static_cast<int>(MKMapPointForCoordinate({ -52.5, 0 }).y * zoom);
    EXPECT_EQ(rgb(world, 128, islandRow), seen[MKMapTypeStandard].first) << "the middle of the world is sea";
    EXPECT_EQ(rgb(world, 64, islandRow), seen[MKMapTypeStandard].first);
    auto island = MKMapRectMake(kMKMapWorldSide - kMKMapWorldSide / 32, MKMapPointForCoordinate({ -50, 0 }).y,
        kMKMapWorldSide / 16, kMKMapWorldSide / 16);
    auto islandTile = renderTile(
        256, [&](const CGContextRef& c) { BaseMapRenderer::drawMapRect(MKMapTypeStandard, island, closer, c); });
    int islandInside = static_cast<int>((MKMapPointForCoordinate({ -52.5, 0 }).y - island.origin.y) * closer);
    EXPECT_EQ(rgb(islandTile, 100, islandInside), land) << "east part, west of the meridian on screen";
    EXPECT_EQ(rgb(islandTile, 156, islandInside), land) << "west part, east of the meridian on screen";
    auto westEdge = MKMapRectMake(0, island.origin.y, kMKMapWorldSide / 32, kMKMapWorldSide / 16);
    auto westTile = renderTile(
        128, [&](const CGContextRef& c) { BaseMapRenderer::drawMapRect(MKMapTypeStandard, westEdge, closer, c); });
    EXPECT_EQ(rgb(westTile, 10, islandInside), land) << "the part past the meridian shows at the world's west edge";

    // Deep zoom inside the continent: all land, without overflowing the rasteriser.
    auto inside = MKMapPointForCoordinate({ 20, 20 });
    auto deep = renderTile(64, [&](const CGContextRef& c) {
        BaseMapRenderer::drawMapRect(MKMapTypeStandard, MKMapRectMake(inside.x, inside.y, 64, 64), 1.0, c);
    });
    EXPECT_EQ(rgb(deep, 32, 32), land);

    // Without land data the sea is still drawn.
    LandOutlines::setDataDirectory(VX_TEST_DIR "/no-such-directory");
    auto empty = renderTile(16, [&](const CGContextRef& c) {
        BaseMapRenderer::drawMapRect(MKMapTypeStandard, MKMapRectWorld, 16 / kMKMapWorldSide, c);
    });
    EXPECT_EQ(rgb(empty, 8, 8), seen[MKMapTypeStandard].first);
}

TEST_F(OverlayTest, RedrawRequestsReachTheDisplayHandler)
{
    auto line = MKPolyline::polylineWithCoordinates({ { 0, 0 }, { 1, 1 } });
    auto renderer = MKPolylineRenderer::initWithPolyline(line);
    std::vector<std::pair<MKMapRect, MKZoomScale>> requests;
    renderer->setDisplayHandler([&](MKMapRect rect, MKZoomScale zoom) { requests.emplace_back(rect, zoom); });
    renderer->setStrokeColor(UIColor::redColor());
    renderer->setNeedsDisplayInMapRect(MKMapRectMake(1, 2, 3, 4), 0.5);
    ASSERT_EQ(requests.size(), 2u);
    EXPECT_TRUE(MKMapRectEqualToRect(requests[0].first, line->boundingMapRect()));
    EXPECT_EQ(requests[0].second, 0);
    EXPECT_TRUE(MKMapRectEqualToRect(requests[1].first, MKMapRectMake(1, 2, 3, 4)));
    EXPECT_EQ(requests[1].second, 0.5);
}
