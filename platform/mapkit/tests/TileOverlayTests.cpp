#include "foundation/Dispatch.h"
#include "foundation/NSError.h"
#include "foundation/Value.h"
#include "graphics/UIColor.h"
#include "graphics/UIGraphics.h"
#include "graphics/UIImage.h"
#include "mapkit/MKTileOverlayRenderer.h"
#include "testing/Drain.h"

#include <array>
#include <cmath>
#include <gtest/gtest.h>
#include <map>
#include <mutex>

namespace {

// PNG bytes of a solid colour square.
Value solidTile(const Ref<UIColor>& color, int size)
{
    UIGraphicsBeginImageContextWithOptions(CGSizeMake(size, size), true, 1);
    color->setFill();
    UIRectFill(CGRectMake(0, 0, size, size));
    auto image = UIGraphicsGetImageFromCurrentImageContext();
    UIGraphicsEndImageContext();
    return UIImagePNGRepresentation(image);
}

} // namespace

TEST(MKTileOverlay, FillsTheURLTemplate)
{
    struct Case {
        std::optional<std::string> urlTemplate;
        MKTileOverlayPath path;
        std::string expected;
    };
    const Case cases[] {
        { "https://tiles.example/{z}/{x}/{y}.png", { 3, 5, 4, 1 }, "https://tiles.example/4/3/5.png" },
        { "https://tiles.example/{z}/{x}/{y}@{scale}x.png", { 0, 0, 0, 2 }, "https://tiles.example/0/0/0@2x.png" },
        { "http://t/{x}-{x}?z={z}&s={scale}", { 7, 1, 9, 1.5f }, "http://t/7-7?z=9&s=1.5" },
        { "no placeholders", { 1, 1, 1, 1 }, "no placeholders" },
        { std::nullopt, { 1, 1, 1, 1 }, "" },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.expected);
        EXPECT_EQ(MKTileOverlay::initWithURLTemplate(c.urlTemplate)->URLForTilePath(c.path), c.expected);
    }
    auto overlay = MKTileOverlay::initWithURLTemplate("t");
    EXPECT_TRUE(CGSizeEqualToSize(overlay->tileSize(), CGSizeMake(256, 256)));
    EXPECT_EQ(overlay->minimumZ(), 0);
    EXPECT_EQ(overlay->maximumZ(), 21);
    EXPECT_FALSE(overlay->isGeometryFlipped());
    EXPECT_TRUE(MKMapRectEqualToRect(overlay->boundingMapRect(), MKMapRectWorld));
}

TEST(MKTileOverlay, AddressesTilesForMapRects)
{
    auto overlay = MKTileOverlay::initWithURLTemplate("t");
    const double w = kMKMapWorldSide;
    EXPECT_EQ(overlay->zoomLevelForZoomScale(256 / w), 0);
    EXPECT_EQ(overlay->zoomLevelForZoomScale(1024 / w), 2);
    EXPECT_EQ(overlay->zoomLevelForZoomScale(1.0), 20);

    struct Case {
        const char* name;
        MKMapRect rect;
        int32_t z;
        bool flipped;
        std::vector<std::tuple<int, int, int>> expected; // x, y, z
    };
    const Case cases[] {
        { "whole world at 1", MKMapRectWorld, 1, false, { { 0, 0, 1 }, { 1, 0, 1 }, { 0, 1, 1 }, { 1, 1, 1 } } },
        { "one tile", MKMapRectMake(w / 4 + 1, w / 4 + 1, 10, 10), 2, false, { { 1, 1, 2 } } },
        { "flipped rows count from the bottom", MKMapRectMake(w / 4 + 1, 1, 10, 10), 2, true, { { 1, 3, 2 } } },
        { "across the 180th meridian", MKMapRectMake(w - 10, 1, 20, 10), 2, false, { { 3, 0, 2 }, { 0, 0, 2 } } },
        { "rows off the world are dropped", MKMapRectMake(1, -w, 10, w + 10), 2, false, { { 0, 0, 2 } } },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        overlay->setGeometryFlipped(c.flipped);
        std::vector<std::tuple<int, int, int>> got;
        for (auto& tile : overlay->tilesForMapRect(c.rect, c.z, 1)) {
            got.emplace_back(tile.path.x, tile.path.y, tile.path.z);
            EXPECT_TRUE(MKMapRectIntersectsRect(tile.mapRect, c.rect));
            auto home = overlay->mapRectForTilePath(tile.path);
            EXPECT_EQ(std::fmod(tile.mapRect.origin.x - home.origin.x, w), 0);
            EXPECT_EQ(tile.mapRect.origin.y, home.origin.y);
        }
        EXPECT_EQ(got, c.expected);
    }
}

TEST(MKTileOverlayRenderer, LoadsMissingTilesOnceThenDrawsThem)
{
    auto overlay = MKTileOverlay::initWithURLTemplate("https://tiles.example/{z}/{x}/{y}.png");
    overlay->setMinimumZ(1);
    overlay->setMaximumZ(2);
    // Tiles arrive later on the main queue, as a network fetch would; tile 1/0/1 fails.
    std::mutex lock;
    std::vector<std::string> requested;
    overlay->setTileLoader([&](const std::string& url, MKTileOverlay::LoadResult result) {
        {
            std::lock_guard guard(lock);
            requested.push_back(url);
        }
        dispatch_async(dispatch_get_main_queue(), [url, result] {
            if (url.ends_with("/1/0/1.png"))
                result(Value(), NSError::errorWithDomain("NSURLErrorDomain", -1004));
            else
                result(
                    solidTile(url.ends_with("/1/1/0.png") ? UIColor::redColor() : UIColor::blueColor(), 256), nullptr);
        });
    });
    auto renderer = MKTileOverlayRenderer::initWithTileOverlay(overlay);
    int redraws = 0;
    renderer->setDisplayHandler([&](MKMapRect, MKZoomScale) { ++redraws; });

    const MKZoomScale zoom = 512 / kMKMapWorldSide; // level 1: four tiles over the world
    EXPECT_FALSE(renderer->canDrawMapRect(MKMapRectWorld, zoom));
    EXPECT_FALSE(renderer->canDrawMapRect(MKMapRectWorld, zoom)); // asks for nothing twice
    EXPECT_EQ(requested.size(), 4u);
    drainAll();
    EXPECT_EQ(redraws, 4);
    EXPECT_TRUE(renderer->canDrawMapRect(MKMapRectWorld, zoom));
    EXPECT_EQ(requested.size(), 4u) << "a failed tile is not asked for again";
    EXPECT_FALSE(renderer->canDrawMapRect(MKMapRectWorld, 128 / kMKMapWorldSide)) << "below minimumZ";

    UIGraphicsBeginImageContextWithOptions(CGSizeMake(64, 64), true, 1);
    auto context = UIGraphicsGetCurrentContext();
    EXPECT_TRUE(renderer->drawMapRectIntoTileContext(MKMapRectWorld, 64 / kMKMapWorldSide * 1.0, context) == false)
        << "level 0 is below minimumZ";
    UIGraphicsEndImageContext();

    // Draw level 1 into a 512-point tile context and look at each quadrant.
    UIGraphicsBeginImageContextWithOptions(CGSizeMake(512, 512), true, 1);
    context = UIGraphicsGetCurrentContext();
    UIColor::whiteColor()->setFill();
    UIRectFill(CGRectMake(0, 0, 512, 512));
    EXPECT_TRUE(renderer->drawMapRectIntoTileContext(MKMapRectWorld, zoom, context));
    auto image = UIGraphicsGetImageFromCurrentImageContext();
    UIGraphicsEndImageContext();
    auto pixel = [&](int x, int y) {
        const uint8_t* p = image->CGImage()->bytes() + y * image->CGImage()->bytesPerRow() + x * 4;
        return std::array<int, 3> { p[2], p[1], p[0] };
    };
    EXPECT_EQ(pixel(100, 100), (std::array<int, 3> { 0, 0, 255 })) << "tile 0/0";
    EXPECT_EQ(pixel(400, 100), (std::array<int, 3> { 255, 0, 0 })) << "tile 1/0";
    EXPECT_EQ(pixel(100, 400), (std::array<int, 3> { 255, 255, 255 })) << "the failed tile 0/1 draws nothing";
    EXPECT_EQ(pixel(400, 400), (std::array<int, 3> { 0, 0, 255 })) << "tile 1/1";

    // Reloading forgets the tiles; answers to requests made before the reload are ignored.
    renderer->canDrawMapRect(MKMapRectMake(0, 0, 10, 10), 1024 / kMKMapWorldSide); // level 2, tile 0/0
    renderer->reloadData();
    drainAll();
    EXPECT_FALSE(renderer->hasTile({ 0, 0, 2, 1 }));
    EXPECT_FALSE(renderer->hasTile({ 0, 0, 1, 1 }));
    overlay->setTileLoader(nullptr);
}

TEST(MKTileOverlay, LoadingWithoutALoaderFailsCleanly)
{
    auto overlay = MKTileOverlay::initWithURLTemplate("https://tiles.example/{z}/{x}/{y}.png");
    Ref<NSError> error;
    int calls = 0;
    overlay->loadTileAtPath({ 0, 0, 0, 1 }, [&](const Value& data, const Ref<NSError>& e) {
        ++calls;
        error = e;
        EXPECT_TRUE(data.isNil());
    });
    EXPECT_EQ(calls, 1);
    ASSERT_TRUE(error);
    EXPECT_EQ(error->code(), -1002);

    // The process default loader serves overlays without their own.
    MKTileOverlay::setDefaultTileLoader(
        [](const std::string& url, MKTileOverlay::LoadResult result) { result(Value(url), nullptr); });
    Value got;
    overlay->loadTileAtPath({ 1, 2, 3, 1 }, [&](const Value& data, const Ref<NSError>&) { got = data; });
    MKTileOverlay::setDefaultTileLoader(nullptr);
    EXPECT_EQ(got.string(), "https://tiles.example/3/1/2.png");
}
