#include "app/widgets/KESTTokenButton.h"

#include "graphics/NSParagraphStyle.h"
#include "graphics/NSString+Drawing.h"
#include "graphics/UIColor.h"
#include "graphics/UIFont.h"

#include "app/tests/widgets/TokenTestSupport.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

TEST(KESTTokenButton, SizesToItsTitleAndTurnsRedWhileFocused)
{
    auto empty = KESTTokenButton::initWithInfo(Value::dictionary());
    EXPECT_EQ(empty->frame().size.width, 20);
    EXPECT_EQ(empty->frame().size.height, 34);
    EXPECT_EQ(empty->titleForState(UIControlStateNormal), "");

    auto token = KESTTokenButton::initWithInfo(Value::dictionary(
        { { Value("title"), Value("British Airways") }, { Value("representedObject"), Value("BAW") } }));
    // The title's width rounded up to whole points, so the token sits on whole pixels.
    EXPECT_FLOAT_EQ(token->frame().size.width, std::ceil(bodyTextWidth("British Airways")) + 20);
    EXPECT_NE(bodyTextWidth("British Airways"), std::ceil(bodyTextWidth("British Airways")));
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
