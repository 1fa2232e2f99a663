#include "imagegen/BundleImages.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <map>
#include <set>

namespace {

std::map<std::string, BundleImages::ImageSpec> imagesByName()
{
    std::map<std::string, BundleImages::ImageSpec> map;
    for (const auto& spec : BundleImages::allImages())
        EXPECT_TRUE(map.emplace(spec.fileName, spec).second) << "twice: " << spec.fileName;
    return map;
}

uint8_t alpha(uint32_t pixel)
{
    return static_cast<uint8_t>(pixel >> 24);
}

} // namespace

TEST(BundleImages, ListsTheMarkerSetAndEveryNamedImage)
{
    auto images = imagesByName();
    const char* families[] = { "A300", "A320", "A321", "A330", "A340", "A350", "A380", "B737", "B747", "B757", "B767",
        "B777", "B787", "RJ100", "FOKKER100", "PRIVATEJET", "TWINPROP", "SINGLEPROP", "EUROCOPTER", "GLIDER", "VEHICLE",
        "TRIANGLE", "VOLCANO" };
    int markers = 0;
    for (const char* family : families) {
        for (const char* colour : { "R", "Y", "B", "W", "O" }) {
            for (int rotation = 10; rotation <= 360; rotation += 10) {
                std::string name = std::string(family) + "_" + colour + "_" + std::to_string(rotation) + ".png";
                ASSERT_TRUE(images.count(name)) << name;
                EXPECT_EQ(images[name].width, images[name].height) << name;
                ++markers;
            }
        }
        EXPECT_FALSE(images.count(std::string(family) + "_R_0.png"));
    }
    for (int rotation = 10; rotation <= 360; rotation += 10) {
        ASSERT_TRUE(images.count("SANTA_" + std::to_string(rotation) + ".png"));
        ++markers;
    }
    EXPECT_EQ(markers, 4176);

    struct Named {
        const char* name;
        int width, height; // 0: any size
    };
    const Named named[] = { { "arrow-left.png", 0, 0 }, { "arrow-right.png", 0, 0 }, { "toggleSelected.png", 0, 0 },
        { "toggleDeselected.png", 0, 0 }, { "toggleHouseChecked.png", 0, 0 }, { "toggleHouseUnchecked.png", 0, 0 },
        { "menuListMenu.png", 0, 0 }, { "bookmarksListMenu.png", 0, 0 }, { "locationListMenu.png", 0, 0 },
        { "arListMenu.png", 0, 0 }, { "settingsListMenu.png", 0, 0 }, { "filterListMenu.png", 0, 0 },
        { "transparent.png", 1, 1 }, { "calloutChevron.png", 0, 0 }, { "airportMarkerLarge.png", 0, 0 },
        { "airportMarkerSmall.png", 0, 0 }, { "volcano.png", 0, 0 },
        // Stretched with cap insets of 8 on every side, so it needs more than 16 points each way.
        { "mapWarningBackground.png", 24, 24 } };
    for (const auto& image : named) {
        SCOPED_TRACE(image.name);
        ASSERT_TRUE(images.count(image.name));
        if (image.width) {
            EXPECT_EQ(images[image.name].width, image.width);
            EXPECT_EQ(images[image.name].height, image.height);
        }
    }
    for (int page = 1; page <= 7; ++page)
        EXPECT_TRUE(images.count("tour" + std::to_string(page) + ".png")) << page;
    EXPECT_LT(images["airportMarkerSmall.png"].width, images["airportMarkerLarge.png"].width);
}

TEST(BundleImages, MarkersAreTintedAndTurnedClockwiseByTheirRotation)
{
    auto images = imagesByName();
    struct Case {
        const char* family;
        const char* colour;
        uint32_t expectedRgb; // the fill of the silhouette
    };
    const Case cases[] = { { "B737", "R", 0xDB2929 }, { "A380", "W", 0xF7F7F7 }, { "TWINPROP", "Y", 0xFACC1F },
        { "EUROCOPTER", "O", 0xFF8C00 } };
    for (const auto& c : cases) {
        std::string base = std::string(c.family) + "_" + c.colour + "_";
        SCOPED_TRACE(base);
        const auto& spec = images[base + "360.png"];
        auto up = BundleImages::render(spec);
        auto right = BundleImages::render(images[base + "90.png"]);
        ASSERT_EQ(up.size(), static_cast<size_t>(spec.width * spec.height));
        ASSERT_EQ(right.size(), up.size());

        // A good share of the opaque pixels carry the tint (within rounding), the rest the outline.
        auto near = [](uint32_t pixel, uint32_t rgb) {
            for (int shift : { 0, 8, 16 }) {
                int a = static_cast<int>((pixel >> shift) & 0xFF), b = static_cast<int>((rgb >> shift) & 0xFF);
                if (std::abs(a - b) > 3)
                    return false;
            }
            return true;
        };
        int opaque = 0, tinted = 0;
        for (uint32_t pixel : up) {
            if (alpha(pixel) == 255) {
                ++opaque;
                tinted += near(pixel, c.expectedRgb);
            }
        }
        ASSERT_GT(opaque, spec.width * spec.height / 20);
        EXPECT_GT(tinted, opaque / 8) << tinted << " of " << opaque;

        // Turning by 90 degrees moves pixel (x, y) of the upright image to (w - 1 - y, x).
        int w = spec.width, mismatched = 0, covered = 0;
        for (int y = 0; y < w; ++y) {
            for (int x = 0; x < w; ++x) {
                bool a = alpha(up[y * w + x]) > 127;
                bool b = alpha(right[x * w + (w - 1 - y)]) > 127;
                covered += a;
                mismatched += a != b;
            }
        }
        EXPECT_LT(mismatched, covered / 10) << mismatched << " of " << covered;
    }
    EXPECT_TRUE(BundleImages::render({ "NOSUCH_R_10.png", 10, 10 }).empty());
}
