#include "app/overlays/KESTFlightPathOverlay.h"
#include "app/overlays/KESTFlightPathOverlayRenderer.h"
#include "app/tests/map-markers/MarkerTestSupport.h"
#include "mapkit/MKGeometry.h"
#include "testing/Drain.h"
#include "testing/GoldenImage.h"
#include "testing/VirtualClock.h"
#include "vxbuild/TestPaths.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

// A tile of 16 x 16 map points at 16 pixels per map point: small tracks given directly in map
// points show every detail.
constexpr double kZoom = 16;
constexpr int kTile = 256;

Ref<KESTFlightPathOverlay> trackOf(std::vector<MKMapPoint> points, std::vector<double> altitudes)
{
    auto overlay = KESTFlightPathOverlay::initWithLocationsAndAltitudes({}, {});
    std::vector<Value> values;
    for (double a : altitudes)
        values.push_back(Value(a));
    overlay->setAltitudes(values);
    overlay->setPoints(std::move(points));
    return overlay;
}

// Draws the overlay's part of map rect (0, 0, 16, 16) into a 256-pixel tile, top row first.
Pixels drawTile(const Ref<KESTFlightPathOverlay>& overlay,
    MKMapRect rect = MKMapRectMake(0, 0, kTile / kZoom, kTile / kZoom), double zoom = kZoom, bool* drew = nullptr)
{
    auto renderer = KESTFlightPathOverlayRenderer::initWithOverlay(overlay);
    UIGraphicsBeginImageContextWithOptions(CGSizeMake(kTile, kTile), false, 1);
    bool result = renderer->drawMapRectIntoTileContext(rect, zoom, UIGraphicsGetCurrentContext());
    auto image = UIGraphicsGetImageFromCurrentImageContext();
    UIGraphicsEndImageContext();
    if (drew)
        *drew = result;
    return pixelsOf(image->CGImage());
}

// The pixel at a map point of the tile above.
uint32_t at(const Pixels& pixels, double x, double y)
{
    return pixels.at(static_cast<size_t>(x * kZoom), static_cast<size_t>(y * kZoom));
}

size_t paintedCount(const Pixels& pixels)
{
    size_t count = 0;
    for (uint32_t p : pixels.argb)
        count += Pixels::alpha(p) != 0;
    return count;
}

class KESTFlightPathOverlayTest : public ::testing::Test {
protected:
    ScopedVirtualClock clock;
    ScopedScreenScale scale { 2 };
};

} // namespace

TEST(KESTFlightPathOverlayRenderer, ColoursSegmentsByAltitude)
{
    using Colour = KESTFlightPathOverlayRenderer::SegmentColour;
    struct Case {
        double altitude;
        Colour colour;
    };
    const Case cases[] = {
        { 0, { 0, 0, 1, 1 } },
        { 21000, { 0.5f, 0, 0.5f, 1 } },
        { 42000, { 1, 0, 0, 1 } },
        { 100000, { 1, 0, 0, 1 } },
        { 420000, { 1, 0, 0, 1 } },
        { -100, { 0, 0, 0, 1 } },
        { 500000, { 0, 0, 0, 1 } },
        { std::nan(""), { 0, 0, 0, 1 } },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.altitude);
        Colour got = KESTFlightPathOverlayRenderer::colourForAltitude(c.altitude);
        EXPECT_FLOAT_EQ(got.red, c.colour.red);
        EXPECT_FLOAT_EQ(got.green, c.colour.green);
        EXPECT_FLOAT_EQ(got.blue, c.colour.blue);
        EXPECT_FLOAT_EQ(got.alpha, c.colour.alpha);
    }
}

TEST_F(KESTFlightPathOverlayTest, ProjectsTheTrackAndCoversTheWorld)
{
    auto overlay = KESTFlightPathOverlay::initWithLocationsAndAltitudes(
        { { 51.47, -0.46 }, { 52.0, 1.0 }, { 53.0, 2.0 } }, { Value(0), Value("1000"), Value(2000) });
    auto points = overlay->points();
    ASSERT_EQ(points->size(), 3u);
    MKMapPoint expected = MKMapPointForCoordinate(CLLocationCoordinate2DMake(52.0, 1.0));
    EXPECT_DOUBLE_EQ((*points)[1].x, expected.x);
    EXPECT_DOUBLE_EQ((*points)[1].y, expected.y);
    EXPECT_NEAR(overlay->coordinate().latitude, 51.47, 1e-9);
    EXPECT_NEAR(overlay->coordinate().longitude, -0.46, 1e-9);
    MKMapRect bounds = overlay->boundingMapRect();
    EXPECT_EQ(bounds.size.width, MKMapRectWorld.size.width);
    EXPECT_EQ(bounds.origin.x, 0);
    ASSERT_EQ(overlay->track().altitudes->size(), 3u);
    EXPECT_EQ((*overlay->track().altitudes)[1], 1000);
}

TEST_F(KESTFlightPathOverlayTest, ShortTracksDrawNothing)
{
    struct Case {
        const char* name;
        std::vector<MKMapPoint> points;
        bool canDraw;
    };
    const Case cases[] = {
        { "empty", {}, false },
        { "one point", { { 2, 8 } }, true },
        { "two points", { { 2, 8 }, { 14, 8 } }, true },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        auto overlay = trackOf(c.points, std::vector<double>(c.points.size(), 10000));
        auto renderer = KESTFlightPathOverlayRenderer::initWithOverlay(overlay);
        EXPECT_EQ(renderer->canDrawMapRect(MKMapRectMake(0, 0, 16, 16), kZoom), c.canDraw);
        bool drew = false;
        EXPECT_EQ(paintedCount(drawTile(overlay, MKMapRectMake(0, 0, 16, 16), kZoom, &drew)), 0u);
        EXPECT_EQ(drew, c.canDraw);
    }
    // An empty track has no first point to stand on.
    auto empty = KESTFlightPathOverlay::initWithLocationsAndAltitudes({}, {});
    EXPECT_EQ(empty->coordinate().latitude, 0);
    EXPECT_EQ(empty->coordinate().longitude, 0);
}

TEST_F(KESTFlightPathOverlayTest, ThinsTheTrackAndLeavesTheLastPointOut)
{
    // P1 lies closer than the minimum step to P0 and is skipped, so the first segment runs
    // P0-P2 level at y 8 (coloured by P2's altitude); P2-P3 ends at the last point, never drawn.
    auto overlay = trackOf({ { 1, 8 }, { 2, 9.8 }, { 14, 8 }, { 15, 15 } }, { 42000, 42000, 0, 42000 });
    Pixels tile = drawTile(overlay);
    uint32_t middle = at(tile, 8, 8);
    EXPECT_EQ(Pixels::alpha(middle), 255);
    EXPECT_EQ(Pixels::blue(middle), 255);
    EXPECT_EQ(Pixels::red(middle), 0);
    EXPECT_EQ(Pixels::alpha(at(tile, 2, 9.8)), 0) << "the segment starts from the last drawn point";
    EXPECT_EQ(Pixels::alpha(at(tile, 14.6, 12)), 0) << "the final point is not visited";

    // A point at exactly the minimum step is kept.
    auto stepped = trackOf({ { 1, 4 }, { 2, 6 }, { 14, 6 }, { 15, 15 } }, { 0, 21000, 42000, 0 });
    Pixels second = drawTile(stepped);
    uint32_t first = at(second, 1.5, 5);
    EXPECT_EQ(Pixels::alpha(first), 255);
    EXPECT_NEAR(Pixels::red(first), 128, 2);
    EXPECT_NEAR(Pixels::blue(first), 128, 2);
    EXPECT_EQ(Pixels::red(at(second, 8, 6)), 255);
}

TEST_F(KESTFlightPathOverlayTest, DrawsHalfAsWideOnAPlainScreen)
{
    auto overlay = trackOf({ { 1, 8 }, { 14, 8 }, { 15, 15 } }, { 10000, 10000, 10000 });
    auto thickness = [&] {
        Pixels tile = drawTile(overlay);
        int count = 0;
        for (size_t y = 0; y < tile.height; ++y)
            count += Pixels::alpha(tile.at(128, y)) > 127;
        return count;
    };
    int wide = thickness();
    UIGraphicsSetScreenScale(1);
    int narrow = thickness();
    double expected = MKRoadWidthAtZoomScale(kZoom) * kZoom;
    EXPECT_NEAR(wide, expected, 1);
    EXPECT_NEAR(narrow, expected * 0.5, 1);
}

TEST_F(KESTFlightPathOverlayTest, ToleratesAltitudesMissingForSomePoints)
{
    auto overlay = trackOf({ { 1, 4 }, { 8, 4 }, { 14, 4 }, { 14, 12 }, { 2, 12 } }, { 0, 0, 0 });
    Pixels tile = drawTile(overlay);
    EXPECT_EQ(Pixels::alpha(at(tile, 4, 4)), 255);
    EXPECT_EQ(Pixels::alpha(at(tile, 14, 8)), 0) << "no altitude, no segment";
}

TEST_F(KESTFlightPathOverlayTest, MatchesTheGoldenImage)
{
    // A climb out of the corner, a cruise and a descent, drawn at a regional zoom.
    std::vector<KESTLocation> locations;
    std::vector<Value> altitudes;
    for (int i = 0; i <= 60; ++i) {
        double t = i / 60.0;
        locations.push_back({ 51.0 + 3.0 * t + 0.6 * std::sin(t * 6), -2.0 + 5.0 * t });
        double altitude = i < 20 ? i * 2100.0 : (i < 40 ? 42000.0 : (60 - i) * 2100.0);
        altitudes.push_back(Value(altitude));
    }
    auto overlay = KESTFlightPathOverlay::initWithLocationsAndAltitudes(locations, altitudes);
    MKMapPoint southWest = MKMapPointForCoordinate(CLLocationCoordinate2DMake(50.5, -2.5));
    MKMapPoint northEast = MKMapPointForCoordinate(CLLocationCoordinate2DMake(55.0, 3.5));
    double side = std::max(northEast.x - southWest.x, southWest.y - northEast.y);
    MKMapRect rect = MKMapRectMake(southWest.x, northEast.y, side, side);
    auto renderer = KESTFlightPathOverlayRenderer::initWithOverlay(overlay);
    UIGraphicsBeginImageContextWithOptions(CGSizeMake(kTile, kTile), false, 1);
    CGContextSetRGBFillColor(UIGraphicsGetCurrentContext(), 0.9f, 0.9f, 0.85f, 1);
    CGContextFillRect(UIGraphicsGetCurrentContext(), CGRectMake(0, 0, kTile, kTile));
    EXPECT_TRUE(renderer->drawMapRectIntoTileContext(rect, kTile / side, UIGraphicsGetCurrentContext()));
    auto image = UIGraphicsGetImageFromCurrentImageContext();
    UIGraphicsEndImageContext();
    EXPECT_TRUE(GoldenImage::matches(image->CGImage(), std::string(VX_TEST_DIR "/golden/flight-path.png"), 8));
}
