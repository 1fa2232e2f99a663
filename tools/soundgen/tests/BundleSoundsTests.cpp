#include "soundgen/BundleSounds.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>

namespace {

uint32_t read32(const std::string& data, size_t at)
{
    return (static_cast<uint32_t>(static_cast<uint8_t>(data[at])) << 24)
        | (static_cast<uint32_t>(static_cast<uint8_t>(data[at + 1])) << 16)
        | (static_cast<uint32_t>(static_cast<uint8_t>(data[at + 2])) << 8) | static_cast<uint8_t>(data[at + 3]);
}

uint16_t read16(const std::string& data, size_t at)
{
    return static_cast<uint16_t>((static_cast<uint8_t>(data[at]) << 8) | static_cast<uint8_t>(data[at + 1]));
}

} // namespace

TEST(BundleSounds, ChimeIsAWellFormedAudibleAiff)
{
    std::string file = BundleSounds::cabinChimeAiff();
    ASSERT_GT(file.size(), 54u);
    EXPECT_EQ(file.substr(0, 4), "FORM");
    EXPECT_EQ(read32(file, 4), file.size() - 8);
    EXPECT_EQ(file.substr(8, 4), "AIFF");
    ASSERT_EQ(file.substr(12, 4), "COMM");
    ASSERT_EQ(read32(file, 16), 18u);
    EXPECT_EQ(read16(file, 20), 1); // mono
    uint32_t frames = read32(file, 22);
    EXPECT_EQ(read16(file, 26), 16);
    // 22,050 as an 80-bit extended float: exponent 16383 + 14, mantissa 22050 << 49.
    EXPECT_EQ(read16(file, 28), 16383 + 14);
    EXPECT_EQ(read32(file, 30), 22050u << 17);
    EXPECT_EQ(read32(file, 34), 0u);
    ASSERT_EQ(file.substr(38, 4), "SSND");
    EXPECT_EQ(read32(file, 42), 8 + frames * 2);
    EXPECT_EQ(file.size(), 54 + frames * 2);
    EXPECT_NEAR(frames / 22050.0, 1.6, 0.01);

    // Loud at the strike, fading by the end, never clipped.
    auto peak = [&](double from, double to) {
        int loudest = 0;
        for (uint32_t i = static_cast<uint32_t>(from * 22050); i < static_cast<uint32_t>(to * 22050); ++i)
            loudest = std::max(loudest, std::abs(static_cast<int16_t>(read16(file, 54 + i * 2))));
        return loudest;
    };
    EXPECT_GT(peak(0.0, 0.1), 8000);
    EXPECT_GT(peak(0.45, 0.55), 8000);
    EXPECT_LT(peak(1.5, 1.6), peak(0.45, 0.55) / 4);
    EXPECT_LT(peak(0.0, 1.6), 32767);
}
