#include "charts/view/LChartGradientView.h"

#include "charts/tests/RecordedDrawing.h"
#include "graphics/UIColor.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

TEST(LChartGradientView, DrawsATopToBottomGradientOnlyWithBothColours)
{
    auto view = LChartGradientView::initWithFrame(CGRectMake(0, 0, 100, 80));
    view->setTopColor(UIColor::whiteColor());
    EXPECT_TRUE(recordedDrawing(*view).empty());
    EXPECT_FALSE(view->previousTopColor());

    auto bottom = UIColor::colorWithRedGreenBlueAlpha(0, 0, 0.5, 1);
    view->setBottomColor(bottom);
    EXPECT_EQ(recordedDrawing(*view), (std::vector<std::string> { "linearGradient {50, 0} {50, 80} options 0" }));
    EXPECT_EQ(view->previousTopColor(), view->topColor());
    EXPECT_EQ(view->previousBottomColor(), bottom);

    // New colour objects become the pair drawn last.
    auto other = UIColor::colorWithRedGreenBlueAlpha(0.5, 0, 0, 1);
    view->setBottomColor(other);
    EXPECT_EQ(recordedDrawing(*view).size(), 1u);
    EXPECT_EQ(view->previousBottomColor(), other);
}

TEST(LChartGradientView, ReadsGreyColoursAsGreyAndAlpha)
{
    CGFloat components[4];
    LChartGradientView::getColorComponentsFromCGColor(components, UIColor::colorWithWhiteAlpha(0.25, 0.5)->CGColor());
    EXPECT_EQ(std::vector<CGFloat>(components, components + 4), (std::vector<CGFloat> { 0.25, 0.25, 0.25, 0.5 }));
    LChartGradientView::getColorComponentsFromCGColor(
        components, UIColor::colorWithRedGreenBlueAlpha(0.1, 0.2, 0.3, 0.4)->CGColor());
    EXPECT_NEAR(components[0], 0.1, 1e-6);
    EXPECT_NEAR(components[2], 0.3, 1e-6);
    EXPECT_NEAR(components[3], 0.4, 1e-6);
}
