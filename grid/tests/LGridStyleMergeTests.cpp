#include "grid/LGridStyleMerge.h"

#include "graphics/UIColor.h"
#include "graphics/UIFont.h"
#include "grid/LGridCellStyle.h"
#include "grid/LGridColourBlender.h"

#include <gtest/gtest.h>

namespace {

struct Blenders {
    Ref<LGridColourBlender> background = LGridColourBlender::init();
    Ref<LGridColourBlender> text = LGridColourBlender::init();
    Ref<LGridCellStyle> merge(const std::vector<Ref<LGridCellStyle>>& hierarchy)
    {
        return blendedStyleFromHierarchy(hierarchy, *background, *text);
    }
};

void expectRGBA(const Ref<UIColor>& colour, float r, float g, float b, float a)
{
    float cr, cg, cb, ca;
    ASSERT_TRUE(LGridColourBlender::extractComponentsFromColor(colour, cr, cg, cb, ca));
    EXPECT_FLOAT_EQ(cr, r);
    EXPECT_FLOAT_EQ(cg, g);
    EXPECT_FLOAT_EQ(cb, b);
    EXPECT_FLOAT_EQ(ca, a);
}

} // namespace

TEST(LGridStyleMerge, LaterChosenValuesWin)
{
    Blenders blenders;
    EXPECT_FALSE(blenders.merge({}));

    auto general
        = LGridCellStyle::initWithBackgroundColorWithTextColorWithTextAlignmentWithVerticalTextAlignmentWithFont(
            UIColor::whiteColor(), UIColor::blackColor(), 1, 1, UIFont::systemFontOfSize(10));
    auto middle = LGridCellStyle::init();
    middle->setTextAlignment(0);
    middle->setContentInset(UIEdgeInsetsMake(2, 2, 2, 2));
    auto own = LGridCellStyle::init();
    own->setTextVerticalAlignmentPrivately(3);
    own->setBackgroundColor(nullptr);

    auto merged = blenders.merge({ general, middle, own });
    ASSERT_TRUE(merged);
    // Left given through the public setter overrides the earlier centre.
    EXPECT_EQ(merged->textAlignment(), 0);
    // The own style's private vertical value does not override; the chosen top does.
    EXPECT_EQ(merged->textVerticalAlignment(), 1);
    EXPECT_EQ(merged->font(), general->font());
    EXPECT_TRUE(merged->contentInsetSetByUser());
    EXPECT_EQ(merged->contentInset().top, 2);
    // Blending off: the last non-null colour stays in force.
    expectRGBA(merged->backgroundColor(), 1, 1, 1, 1);
    expectRGBA(merged->textColor(), 0, 0, 0, 1);
}

TEST(LGridStyleMerge, BlendsColoursInHierarchyOrder)
{
    Blenders blenders;
    blenders.background->setShouldBlend(true);
    auto white = LGridCellStyle::init();
    white->setBackgroundColor(UIColor::colorWithRedGreenBlueAlpha(1, 1, 1, 1));
    auto blue = LGridCellStyle::init();
    blue->setBackgroundColor(UIColor::colorWithRedGreenBlueAlpha(0, 0, 1, 0.5f));
    auto merged = blenders.merge({ white, blue });
    expectRGBA(merged->backgroundColor(), 0.5f, 0.5f, 1, 0.75f);
    EXPECT_FALSE(merged->textColor());

    // One style: a copy with its colours rebuilt as RGB.
    auto grey = LGridCellStyle::init();
    grey->setTextColor(UIColor::colorWithWhiteAlpha(0.5f, 1));
    auto single = blenders.merge({ grey });
    EXPECT_NE(single, grey);
    EXPECT_FALSE(single->backgroundColor());
    expectRGBA(single->textColor(), 0.5f, 0.5f, 0.5f, 1);
}
