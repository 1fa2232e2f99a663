#include "grid/LGridLineStyle.h"

#include "graphics/UIColor.h"
#include "grid/LGridBorderStyle.h"
#include "testing/LogCapture.h"

#include <gtest/gtest.h>

TEST(LGridLineStyle, DefaultsAndDescriptions)
{
    auto line = LGridLineStyle::init();
    EXPECT_EQ(line->width(), 1.0f);
    EXPECT_TRUE(line->color()->isEqual(UIColor::darkGrayColor().get()));
    EXPECT_EQ(line->description(), "[LGridLineStyle width:1.000000, color:" + line->color()->description() + "]");

    auto border = LGridBorderStyle::init();
    EXPECT_EQ(border->width(), 1.5f);
    EXPECT_TRUE(border->color()->isEqual(UIColor::blackColor().get()));
    EXPECT_EQ(border->description(), "[LGridLineStyle width:1.500000, color:" + border->color()->description() + "]");

    auto given = LGridBorderStyle::styleWithWidthWithColor(3, UIColor::redColor());
    EXPECT_EQ(given->width(), 3.0f);
    EXPECT_TRUE(given->color()->isEqual(UIColor::redColor().get()));
}

TEST(LGridLineStyle, RefusesNegativeWidths)
{
    LogCapture log;
    auto line = LGridLineStyle::init();
    line->setWidth(-2);
    EXPECT_EQ(line->width(), 1.0f);
    auto made = LGridLineStyle::initWithWidthWithColor(-1, UIColor::redColor());
    EXPECT_EQ(made->width(), 0.0f);
    ASSERT_EQ(log.messages().size(), 2u);
    EXPECT_EQ(log.messages()[0].rfind(
                  "gridLineWidth cannot be less than 0. Previous value of 1.000000 will be used.\nFrom: ", 0),
        0u);
    EXPECT_EQ(
        log.messages()[1].rfind("gridLineWidth cannot be less than 0. Previous value of 0.000000 will be used.", 0),
        0u);
    line->setWidth(0);
    EXPECT_EQ(line->width(), 0.0f);
}
