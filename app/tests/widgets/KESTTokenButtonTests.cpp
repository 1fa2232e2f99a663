#include "app/widgets/KESTTokenButton.h"

#include "graphics/NSParagraphStyle.h"
#include "graphics/NSString+Drawing.h"
#include "graphics/UIColor.h"
#include "graphics/UIFont.h"

#include "app/tests/widgets/TokenTestSupport.h"

#include <gtest/gtest.h>

namespace {

TEST(KESTTokenButton, SizesToItsTitleAndTurnsRedWhileFocused)
{
    auto empty = KESTTokenButton::initWithInfo(Value::dictionary());
    EXPECT_EQ(empty->frame().size.width, 20);
    EXPECT_EQ(empty->frame().size.height, 34);
    EXPECT_EQ(empty->titleForState(UIControlStateNormal), "");

    auto token = KESTTokenButton::initWithInfo(Value::dictionary(
        { { Value("title"), Value("British Airways") }, { Value("representedObject"), Value("BAW") } }));
    EXPECT_FLOAT_EQ(token->frame().size.width, bodyTextWidth("British Airways") + 20);
    EXPECT_EQ(token->representedObject(), Value("BAW"));
    EXPECT_TRUE(token->backgroundImageForState(UIControlStateNormal));
    CGFloat r, g, b, a;
    token->titleColorForState(UIControlStateNormal)->getRedGreenBlueAlpha(&r, &g, &b, &a);
    EXPECT_NEAR(r, 1.0 / 3, 1e-6);
    token->setToggled(true);
    token->titleColorForState(UIControlStateNormal)->getRedGreenBlueAlpha(&r, &g, &b, &a);
    EXPECT_EQ(r, 1);
    EXPECT_EQ(g, 0);
    EXPECT_FALSE(token->hasText());
}

} // namespace
