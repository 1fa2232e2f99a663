#include "app/categories/UIColor+Expanded.h"

#include "graphics/CGColor.h"

#include <gtest/gtest.h>

using namespace UIColor_Expanded;

namespace {

Ref<UIColor> rgb(float r, float g, float b, float a = 1)
{
    return UIColor::colorWithRedGreenBlueAlpha(r, g, b, a);
}

Ref<UIColor> cmyk()
{
    const CGFloat components[] = { 0.1f, 0.2f, 0.3f, 0.4f, 1 };
    return UIColor::colorWithCGColor(CGColorCreate(CGColorSpaceCreateDeviceCMYK(), components));
}

void expectRGBA(const Ref<UIColor>& color, float r, float g, float b, float a)
{
    float cr, cg, cb, ca;
    ASSERT_TRUE(redGreenBlueAlpha(color, &cr, &cg, &cb, &ca));
    EXPECT_NEAR(cr, r, 1e-5);
    EXPECT_NEAR(cg, g, 1e-5);
    EXPECT_NEAR(cb, b, 1e-5);
    EXPECT_NEAR(ca, a, 1e-5);
}

} // namespace

TEST(UIColor_Expanded, NearestNamesAndNameTables)
{
    struct Case {
        Ref<UIColor> color;
        const char* colorName;
        const char* crayonName;
    };
    const Case cases[] = {
        { rgb(0, 1, 1), "aqua", "Blue" }, // one exact channel outweighs two near ones
        { rgb(0.5f, 0.5f, 0.5f), "gray", "Gray" },
        { colorWithRGBHex(0xFFFF66), "yellow", "Laser Lemon" },
        { colorWithRGBHex(0xFF6FFF), "fuchsia", "Shocking Pink" },
        { UIColor::colorWithWhiteAlpha(1, 1), "white", "White" },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.colorName);
        EXPECT_EQ(closestColorName(c.color), c.colorName);
        EXPECT_EQ(closestCrayonName(c.color), c.crayonName);
    }
    EXPECT_EQ(namedColors().size(), 147u);
    EXPECT_EQ(namedCrayons().size(), 134u);
    EXPECT_EQ(rgbHex(colorWithName("yellowgreen")), 0x9ACD32u);
    EXPECT_EQ(rgbHex(crayonWithName("Purple Mountain's Majesty")), 0x9678B6u);
    EXPECT_EQ(rgbHex(crayonWithName("Almond")), 0xEED9C4u);
    EXPECT_EQ(colorWithName("YellowGreen"), nullptr);
    EXPECT_EQ(crayonWithName("almond"), nullptr);
}

TEST(UIColor_Expanded, HexValuesAndTexts)
{
    EXPECT_EQ(hexStringFromColor(rgb(1, 0.5f, 0)), "FF8000");
    EXPECT_EQ(hexStringFromColor(UIColor::colorWithWhiteAlpha(0.2f, 1)), "333333");
    EXPECT_EQ(hexStringFromColor(rgb(0, 0, 0.01f)), "000003");
    EXPECT_EQ(hexStringFromColor(cmyk()), "000000");
    EXPECT_EQ(rgbHex(colorWithRGBHex(0xAB123456)), rgbHex(colorWithRGBHex(0x123456)));

    const std::pair<const char*, int64_t> strings[] = {
        { "ff8000", 0xFF8000 },
        { "  0x00FF00", 0x00FF00 },
        { "12zz", 0x12 },
        { "#ff0000", -1 },
        { "", -1 },
        { "zz", -1 },
        { "1FFFFFFFFF", 0xFFFFFF },
    };
    for (auto [text, hex] : strings) {
        SCOPED_TRACE(text);
        auto color = colorWithHexString(text);
        if (hex < 0)
            EXPECT_EQ(color, nullptr);
        else
            EXPECT_EQ(rgbHex(color), static_cast<uint32_t>(hex));
    }

    EXPECT_EQ(stringFromColor(rgb(1, 0.5f, 0.25f, 0.5f)), "{1.000, 0.500, 0.250, 0.500}");
    EXPECT_EQ(stringFromColor(UIColor::colorWithWhiteAlpha(0.5f, 1)), "{0.500, 1.000}");
    EXPECT_EQ(stringFromColor(cmyk()), std::nullopt);
    EXPECT_EQ(colorSpaceString(cmyk()), "kCGColorSpaceModelCMYK");
    EXPECT_EQ(colorSpaceStringForModel(-1), "kCGColorSpaceModelUnknown");
    EXPECT_EQ(colorSpaceStringForModel(7), "Not a valid color space");
    EXPECT_FALSE(canProvideRGBComponents(cmyk()));
    EXPECT_TRUE(arrayFromRGBAComponents(cmyk()).isNil());
    EXPECT_EQ(arrayFromRGBAComponents(UIColor::colorWithWhiteAlpha(0.25f, 0.5f)).count(), 4u);
    EXPECT_EQ(green(UIColor::colorWithWhiteAlpha(0.25f, 0.5f)), 0.25f);
}

TEST(UIColor_Expanded, ArithmeticAndRelatedColours)
{
    expectRGBA(colorByAddingColor(rgb(0.6f, 0.6f, 0.6f, 0.8f), rgb(0.6f, 0.1f, 0.1f)), 1, 0.7f, 0.7f, 0.8f);
    expectRGBA(colorByMultiplyingBy(rgb(0.5f, 0.8f, 1, 0.5f), 1.5f), 0.75f, 1, 1, 0.5f);
    expectRGBA(colorByLighteningTo(rgb(0.2f, 0.8f, 0.4f, 0.5f), 0.5f), 0.5f, 0.8f, 0.5f, 0.5f);
    expectRGBA(colorByDarkeningTo(rgb(0.2f, 0.8f, 0.4f, 0.5f), 0.5f), 0.2f, 0.5f, 0.4f, 0.5f);
    EXPECT_EQ(colorByAddingColor(rgb(0, 0, 0), cmyk()), nullptr);
    EXPECT_EQ(colorByMultiplyingBy(cmyk(), 2), nullptr);
    expectRGBA(complementaryColor(rgb(1, 0, 0)), 0, 1, 1, 1);
    EXPECT_EQ(contrastingColor(rgb(1, 1, 1)), UIColor::blackColor());
    EXPECT_EQ(contrastingColor(rgb(0, 0, 1)), UIColor::whiteColor());
    EXPECT_NEAR(luminance(rgb(1, 1, 0)), 0.9278f, 1e-5);

    auto triad = triadicColors(rgb(1, 0, 0));
    ASSERT_TRUE(triad);
    ASSERT_EQ(triad->size(), 2u);
    EXPECT_NEAR(hue((*triad)[0]), 120, 1e-3);
    EXPECT_NEAR(hue((*triad)[1]), 240, 1e-3);
    auto analogous = analogousColorsWithStepAnglePairCount(rgb(1, 0, 0), -30, 2);
    ASSERT_TRUE(analogous);
    ASSERT_EQ(analogous->size(), 4u);
    EXPECT_NEAR(hue((*analogous)[3]), 300, 1e-3);
    EXPECT_TRUE(analogousColorsWithStepAnglePairCount(rgb(1, 0, 0), 30, 0)->empty());
    EXPECT_EQ(analogousColorsWithStepAnglePairCount(cmyk(), 30, 1), std::nullopt);

    // Conversions both ways, hue 360 wrapping to red.
    const float hsb[][6] = {
        { 0, 1, 1, 1, 0, 0 },
        { 360, 1, 1, 1, 0, 0 },
        { 120, 1, 0.5f, 0, 0.5f, 0 },
        { 200, 0, 0.3f, 0.3f, 0.3f, 0.3f },
        { 300, 0.5f, 1, 1, 0.5f, 1 },
    };
    for (const auto& row : hsb) {
        SCOPED_TRACE(row[0]);
        float r, g, b;
        hueSaturationBrightnessToRedGreenBlue(row[0], row[1], row[2], &r, &g, &b);
        EXPECT_NEAR(r, row[3], 1e-5);
        EXPECT_NEAR(g, row[4], 1e-5);
        EXPECT_NEAR(b, row[5], 1e-5);
        float h, s, v;
        redGreenBlueToHueSaturationBrightness(r, g, b, &h, &s, &v);
        EXPECT_NEAR(v, row[2], 1e-5);
        if (row[1] != 0) {
            EXPECT_NEAR(h, row[0] == 360 ? 0 : row[0], 1e-3);
        }
    }
    float r, g, b, a;
    auto random = randomColor();
    ASSERT_TRUE(redGreenBlueAlpha(random, &r, &g, &b, &a));
    EXPECT_GE(r, 0);
    EXPECT_LT(r, 1);
    EXPECT_EQ(a, 1);
}
