#include "servicesim/SimPictures.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <functional>
#include <set>

using SimImages::Bitmap;

namespace {

int channel(uint32_t pixel, int index)
{
    return static_cast<int>((pixel >> (24 - 8 * index)) & 0xFF);
}

bool isNear(uint32_t pixel, uint32_t colour, int tolerance)
{
    for (int i = 0; i < 3; ++i) {
        if (std::abs(channel(pixel, i) - channel(colour, i)) > tolerance)
            return false;
    }
    return true;
}

bool isOpaque(uint32_t pixel)
{
    return (pixel & 0xFF) > 200;
}

bool isWhitish(uint32_t pixel)
{
    return isOpaque(pixel) && channel(pixel, 0) > 225 && channel(pixel, 1) > 225 && channel(pixel, 2) > 225;
}

int countNear(const Bitmap& bitmap, uint32_t colour, int tolerance)
{
    return static_cast<int>(std::count_if(bitmap.pixels.begin(), bitmap.pixels.end(),
        [&](uint32_t pixel) { return isOpaque(pixel) && isNear(pixel, colour, tolerance); }));
}

// Distinct colours at four bits a channel, so anti-aliasing alone does not count as detail.
size_t coarseColours(const Bitmap& bitmap)
{
    std::set<uint32_t> colours;
    for (uint32_t pixel : bitmap.pixels)
        colours.insert(pixel & 0xF0F0F0F0u);
    return colours.size();
}

// The mean difference of two pictures of the same size, per channel, from 0 to 255.
double meanDifference(const Bitmap& a, const Bitmap& b)
{
    double sum = 0;
    for (size_t i = 0; i < a.pixels.size(); ++i) {
        for (int c = 0; c < 4; ++c)
            sum += std::abs(channel(a.pixels[i], c) - channel(b.pixels[i], c));
    }
    return sum / (a.pixels.size() * 4.0);
}

double distance(uint32_t a, uint32_t b)
{
    double sum = 0;
    for (int i = 0; i < 3; ++i)
        sum += std::abs(channel(a, i) - channel(b, i));
    return sum;
}

} // namespace

TEST(SimPictures, DrawsTheSameBytesForTheSameRequest)
{
    SimPictures::AircraftLook look { "BAW", "G-EUPT" };
    const struct {
        const char* name;
        std::function<std::string()> draw;
    } cases[] = {
        { "photo", [&] { return SimImages::jpeg(SimPictures::aircraftPhoto("G-EUPT-2", look, 640, 427)); } },
        { "side view", [&] { return SimImages::png(SimPictures::aircraftSideView(look, 300, 100)); } },
        { "logo", [] { return SimImages::png(SimPictures::airlineLogo("BAW", 200, 60)); } },
        { "logo thumbnail", [] { return SimImages::png(SimPictures::airlineLogo("BAW", 60, 20)); } },
        { "app icon", [] { return SimImages::png(*SimPictures::appIcon("VX", 57)); } },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        std::string first = c.draw();
        ASSERT_GT(first.size(), 100u);
        EXPECT_EQ(first, c.draw());
    }
}

// The same view with two liveries differs by the airline's colour: its tail, where the other
// airline's picture has none of it.
TEST(SimPictures, PhotoTailCarriesTheAirlineColour)
{
    uint32_t ours = SimPictures::liveryFor("BAW").primary;
    // The other airline is the one of a few whose colour lies farthest from ours.
    std::string other;
    for (const char* code : { "DLH", "AFR", "KLM", "EZY", "RYR", "UAE" }) {
        if (other.empty()
            || distance(SimPictures::liveryFor(code).primary, ours)
                > distance(SimPictures::liveryFor(other).primary, ours))
            other = code;
    }
    using SimPictures::AircraftShape;
    for (auto shape : { AircraftShape::Airliner, AircraftShape::LightAircraft, AircraftShape::Helicopter }) {
        for (const char* id : { "G-EUPT-1", "G-EUPT-2", "G-EUPT-3" }) {
            SCOPED_TRACE(testing::Message() << id << " drawn as shape " << static_cast<int>(shape));
            Bitmap withOurs = SimPictures::aircraftPhoto(id, { "BAW", "G-EUPT", shape }, 640, 427);
            Bitmap withTheirs = SimPictures::aircraftPhoto(id, { other, "G-EUPT", shape }, 640, 427);
            ASSERT_EQ(withOurs.width, 640);
            ASSERT_EQ(withOurs.height, 427);
            int share = 640 * 427 / 500;
            EXPECT_GT(countNear(withOurs, ours, 40), countNear(withTheirs, ours, 40) + share);
        }
        Bitmap side = SimPictures::aircraftSideView({ "BAW", "", shape }, 300, 100);
        EXPECT_GT(countNear(side, ours, 4), 300 * 100 / 100);
    }
}

// A gallery of one aircraft's photos shows different scenes, each more than a shape on a
// gradient.
TEST(SimPictures, PhotosOfOneAircraftDiffer)
{
    SimPictures::AircraftLook look { "DLH", "D-AIZB" };
    std::vector<Bitmap> photos;
    for (const char* id : { "D-AIZB-1", "D-AIZB-2", "D-AIZB-3" }) {
        photos.push_back(SimPictures::aircraftPhoto(id, look, 640, 427));
        SCOPED_TRACE(id);
        EXPECT_GT(coarseColours(photos.back()), 64u);
    }
    for (size_t i = 0; i < photos.size(); ++i) {
        for (size_t j = i + 1; j < photos.size(); ++j) {
            SCOPED_TRACE(testing::Message() << i << " and " << j);
            EXPECT_GT(meanDifference(photos[i], photos[j]), 15.0);
        }
    }
}

// A logo is the airline's colour with white letters across most of its height, at the board's
// size and at the map badge's.
TEST(SimPictures, LogoShowsTheCodeOnTheAirlineColour)
{
    const struct {
        int width, height;
    } sizes[] = { { 200, 60 }, { 60, 20 } };
    for (const auto& size : sizes) {
        for (const char* code : { "BAW", "DLH", "EZY" }) {
            SCOPED_TRACE(testing::Message() << code << " at " << size.width << "x" << size.height);
            Bitmap logo = SimPictures::airlineLogo(code, size.width, size.height);
            ASSERT_EQ(logo.width, size.width);
            ASSERT_EQ(logo.height, size.height);
            int pixels = size.width * size.height;
            EXPECT_GT(countNear(logo, SimPictures::liveryFor(code).primary, 6), pixels / 4);
            int letters = static_cast<int>(std::count_if(logo.pixels.begin(), logo.pixels.end(), isWhitish));
            EXPECT_GT(letters, pixels / 20);
            // The letters' rows span at least half the height.
            int top = size.height, bottom = -1;
            for (int y = 0; y < size.height; ++y) {
                for (int x = size.width / 3; x < size.width; ++x) {
                    if (isWhitish(logo.at(x, y))) {
                        top = std::min(top, y);
                        bottom = std::max(bottom, y);
                    }
                }
            }
            EXPECT_GE(bottom - top + 1, size.height / 2);
        }
    }
    EXPECT_GT(meanDifference(SimPictures::airlineLogo("BAW", 200, 60), SimPictures::airlineLogo("DLH", 200, 60)), 10);
}

// Each application has its own symbol: the white parts of any two icons differ.
TEST(SimPictures, AppIconsAreDistinctSymbolsOnRoundedTiles)
{
    const char* codes[] = { "VX", "VM", "VA", "RW", "LB" };
    std::vector<std::vector<bool>> symbols;
    for (const char* code : codes) {
        SCOPED_TRACE(code);
        auto icon = SimPictures::appIcon(code, 57);
        ASSERT_TRUE(icon);
        ASSERT_EQ(icon->width, 57);
        ASSERT_EQ(icon->height, 57);
        for (auto [x, y] : { std::pair { 0, 0 }, { 56, 0 }, { 0, 56 }, { 56, 56 } })
            EXPECT_EQ(icon->at(x, y) & 0xFF, 0u) << x << "," << y;
        EXPECT_TRUE(isOpaque(icon->at(28, 2)) && isOpaque(icon->at(2, 28)));
        EXPECT_GT(coarseColours(*icon), 20u);
        std::vector<bool> symbol;
        for (uint32_t pixel : icon->pixels)
            symbol.push_back(isWhitish(pixel));
        EXPECT_GT(std::count(symbol.begin(), symbol.end(), true), 57 * 57 / 20);
        symbols.push_back(symbol);
    }
    for (size_t i = 0; i < symbols.size(); ++i) {
        for (size_t j = i + 1; j < symbols.size(); ++j) {
            SCOPED_TRACE(testing::Message() << codes[i] << " and " << codes[j]);
            size_t differing = 0;
            for (size_t k = 0; k < symbols[i].size(); ++k)
                differing += symbols[i][k] != symbols[j][k];
            EXPECT_GT(differing, symbols[i].size() / 20);
        }
    }
    EXPECT_FALSE(SimPictures::appIcon("ZZ", 57));
}

// Drawing full-size photos leaves the letters of every later picture intact.
TEST(SimPictures, LettersSurviveLargePhotos)
{
    for (const char* id : { "G-EUPT-1", "G-EUPT-2", "G-EUPT-3", "G-EUPT-4" })
        SimPictures::aircraftPhoto(id, { "BAW", "G-EUPT" }, 1024, 683);
    Bitmap logo = SimPictures::airlineLogo("BAW", 200, 60);
    EXPECT_GT(std::count_if(logo.pixels.begin(), logo.pixels.end(), isWhitish), 200 * 60 / 20);
}

// A manufacturer's logo is its name in its colour across the middle of a white plate.
TEST(SimPictures, ManufacturerLogoIsItsNameOnWhite)
{
    for (const char* maker : { "Boeing", "Airbus", "De havilland canada" }) {
        SCOPED_TRACE(maker);
        Bitmap logo = SimPictures::manufacturerLogo(maker, 120, 40);
        ASSERT_EQ(logo.width, 120);
        ASSERT_EQ(logo.height, 40);
        uint32_t colour = SimPictures::liveryFor(maker).primary;
        int top = 40, bottom = -1, coloured = 0;
        for (int y = 0; y < 40; ++y) {
            for (int x = 0; x < 120; ++x) {
                if (isNear(logo.at(x, y), colour, 6)) {
                    ++coloured;
                    top = std::min(top, y);
                    bottom = std::max(bottom, y);
                }
            }
        }
        EXPECT_GT(coloured, 120 * 40 / 20);
        // The letters keep clear of the plate's top and bottom edges.
        EXPECT_GE(top, 40 / 8);
        EXPECT_LE(bottom, 40 - 40 / 8);
        EXPECT_GT(std::count_if(logo.pixels.begin(), logo.pixels.end(), isWhitish), 120 * 40 / 2);
    }
}
