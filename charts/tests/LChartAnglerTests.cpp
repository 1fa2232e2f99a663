#include "charts/LChartAngler.h"

#include <cmath>
#include <gtest/gtest.h>

TEST(LChartAngler, WrapsAnglesIntoTheirWindow)
{
    struct Case {
        float angle;
        float twoPi;
        float halfPi;
    } cases[] = {
        { -0.5f, 5.7831855f, -0.5f },
        { 7.0f, 0.7168147f, 0.7168147f },
        { 6.2831855f, 6.2831855f, 6.2831855f - 6.2831855f },
        { 3.5f, 3.5f, -2.7831853f },
        { -3.1415927f, 3.1415927f, -3.1415927f },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.angle);
        EXPECT_NEAR(LChartAngler::wrap2PI(c.angle), c.twoPi, 1e-6);
        EXPECT_NEAR(LChartAngler::wrapHalfPI(c.angle), c.halfPi, 1e-6);
    }
    // Exactly 2π stays: only values strictly above the bound are wrapped.
    EXPECT_EQ(LChartAngler::wrap2PI(6.2831855f), 6.2831855f);
    // A narrow window: the low loop runs first and is not repeated.
    EXPECT_NEAR(LChartAngler::wrapAngleBetweenAnd(10.0f, 1.0f, 2.0f), 10.0f - 2 * 6.2831855f, 1e-5);
}

TEST(LChartAngler, MeasuresTheDirectionFromTheSecondPointToTheFirst)
{
    EXPECT_NEAR(LChartAngler::angleBetweenPointAndPoint({ 1, 1 }, { 0, 0 }), M_PI / 4, 1e-6);
    EXPECT_NEAR(LChartAngler::angleBetweenPointAndPoint({ 0, 0 }, { 1, 1 }), -3 * M_PI / 4, 1e-6);
}
