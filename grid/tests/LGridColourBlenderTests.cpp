#include "grid/LGridColourBlender.h"

#include "foundation/NSString.h"
#include "graphics/CGColor.h"
#include "graphics/UIColor.h"

#include <gtest/gtest.h>

namespace {

struct RGBA {
    float r, g, b, a;
};

void expectColour(const Ref<UIColor>& colour, RGBA expected)
{
    float r, g, b, a;
    ASSERT_TRUE(LGridColourBlender::extractComponentsFromColor(colour, r, g, b, a));
    EXPECT_FLOAT_EQ(r, expected.r);
    EXPECT_FLOAT_EQ(g, expected.g);
    EXPECT_FLOAT_EQ(b, expected.b);
    EXPECT_FLOAT_EQ(a, expected.a);
}

} // namespace

TEST(LGridColourBlender, ReplacesOrBlendsInOrder)
{
    struct Case {
        const char* name;
        bool blend;
        std::vector<Ref<UIColor>> colours;
        RGBA expected;
    };
    const Case cases[] = {
        { "last wins", false, { UIColor::whiteColor(), UIColor::colorWithRedGreenBlueAlpha(0, 0, 1, 0.5f), nullptr },
            { 0, 0, 1, 0.5f } },
        { "half blue over white", true,
            { UIColor::colorWithRedGreenBlueAlpha(1, 1, 1, 1), UIColor::colorWithRedGreenBlueAlpha(0, 0, 1, 0.5f) },
            { 0.5f, 0.5f, 1, 0.75f } },
        // The first colour is laid over transparent black, so a half-transparent one darkens.
        { "half red alone", true, { UIColor::colorWithRedGreenBlueAlpha(1, 0, 0, 0.5f) }, { 0.5f, 0, 0, 0.25f } },
        { "grey reads as its level", true, { UIColor::colorWithWhiteAlpha(0.25f, 1) }, { 0.25f, 0.25f, 0.25f, 1 } },
    };
    auto blender = LGridColourBlender::init();
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        blender->empty();
        blender->setShouldBlend(c.blend);
        for (const auto& colour : c.colours)
            blender->addColourToBlend(colour);
        expectColour(blender->getBlendedColour(), c.expected);
    }
}

TEST(LGridColourBlender, AnswersNothingUntilAColourArrives)
{
    auto blender = LGridColourBlender::init();
    EXPECT_FALSE(blender->shouldBlend());
    EXPECT_FALSE(blender->getBlendedColour());
    blender->addColourToBlend(nullptr);
    EXPECT_FALSE(blender->getBlendedColour());
    blender->addColourToBlend(UIColor::redColor());
    EXPECT_TRUE(blender->getBlendedColour());
    blender->setShouldBlend(true);
    blender->empty();
    EXPECT_TRUE(blender->shouldBlend());
    EXPECT_FALSE(blender->getBlendedColour());
    EXPECT_FLOAT_EQ(LGridColourBlender::blendComponentValueValueToBlendBlendFactor(0.2f, 1, 0.25f), 0.4f);
}

TEST(LGridColourBlender, IgnoresColoursThatAreNeitherRGBNorGrey)
{
    auto blender = LGridColourBlender::init();
    const CGFloat cmyk[] = { 0, 1, 1, 0, 1 };
    auto pattern = UIColor::colorWithCGColor(CGColorCreate(CGColorSpaceCreateWithModel(kCGColorSpaceModelCMYK), cmyk));
    ASSERT_TRUE(pattern && pattern->CGColor());
    blender->addColourToBlend(pattern);
    EXPECT_FALSE(blender->getBlendedColour());
    blender->addColourToBlend(UIColor::blueColor());
    blender->addColourToBlend(pattern);
    expectColour(blender->getBlendedColour(), { 0, 0, 1, 1 });
}
