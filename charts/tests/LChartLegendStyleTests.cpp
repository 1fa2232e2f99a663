#include "charts/LChartBoxGestureStyle.h"
#include "charts/LChartCrosshairStyle.h"
#include "charts/LChartLegendStyle.h"

#include "testing/LogCapture.h"

#include <gtest/gtest.h>

TEST(LChartLegendStyle, MarginsSupplementAndCopies)
{
    LogCapture log;
    auto legend = LChartLegendStyle::init();
    legend->setMarginWidth(Value(-1));
    EXPECT_TRUE(legend->marginWidth().isNil());
    ASSERT_EQ(log.messages().size(), 1u);
    EXPECT_EQ(log.messages()[0].rfind("Legend can't have a margin width less than zero\nFrom: ", 0), 0u);
    legend->setMarginWidth(Value(0));
    EXPECT_EQ(legend->marginWidth(), Value(0));

    auto user = LChartLegendStyle::init();
    user->setOrientation(2);
    auto fresh = LChartLegendStyle::init();
    auto theme = LChartLegendStyle::init();
    theme->setOrientation(1);
    theme->setFont(UIFont::systemFontOfSize(10));
    user->supplementStyleFromStyle(*theme);
    fresh->supplementStyleFromStyle(*theme);
    EXPECT_EQ(user->orientation(), 2);
    EXPECT_EQ(fresh->orientation(), 1);
    auto third = LChartLegendStyle::init();
    third->setOrientation(0);
    fresh->supplementStyleFromStyle(*third);
    EXPECT_EQ(fresh->orientation(), 0);

    // A copy raises every flag, so a theme changes none of its scalars but fills its fonts.
    auto copy = LChartLegendStyle::init()->copy();
    EXPECT_TRUE(copy->textAlignmentSet());
    copy->supplementStyleFromStyle(*theme);
    EXPECT_EQ(copy->orientation(), 0);
    EXPECT_EQ(copy->font(), theme->font());
}

TEST(LChartLegendStyle, CrosshairAndBoxStylesCopyTheirValues)
{
    auto crosshair = LChartCrosshairStyle::init();
    crosshair->setDefaultBorderColor(UIColor::redColor());
    EXPECT_EQ(crosshair->copy()->defaultBorderColor(), crosshair->defaultBorderColor());
    auto theme = LChartCrosshairStyle::init();
    theme->setLineWidth(Value(2));
    theme->setDefaultBorderColor(UIColor::blueColor());
    crosshair->supplementStyleFromStyle(*theme);
    EXPECT_EQ(crosshair->lineWidth().intValue(), 2);
    EXPECT_EQ(crosshair->defaultBorderColor(), UIColor::redColor());

    auto box = LChartBoxGestureStyle::init();
    EXPECT_EQ(box->boxLineWidth(), 0);
    EXPECT_EQ(box->trackingLineWidth(), 0);
    box->setBoxLineWidth(2);
    EXPECT_EQ(box->copy()->boxLineWidth(), 2);
}
