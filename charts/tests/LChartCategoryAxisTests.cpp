#include "charts/LChartCategoryAxis.h"

#include "charts/LChartInternalDataPoint.h"
#include "charts/LChartNumberRange.h"
#include "charts/tests/ChartAxisFixtures.h"
#include "foundation/NSString.h"
#include "testing/LogCapture.h"

#include <gtest/gtest.h>

TEST(LChartCategoryAxis, CategoriesByDescriptionInOrderOfArrival)
{
    LogCapture log;
    auto axis = LChartCategoryAxis::init();
    for (const char* day : { "Mon", "Tue", "Mon" })
        axis->willAddDataPointToSeriesWithValue(Value(day));
    EXPECT_EQ(axis->categories(), (std::vector<std::string> { "Mon", "Tue" }));
    EXPECT_EQ(axis->transformValueToInternal(Value("Tue")).intValue(), 1);
    EXPECT_EQ(axis->transformValueToInternal(Value(5)).intValue(), 5);
    EXPECT_TRUE(axis->transformValueToInternal(Value("Sun")).isNil());
    EXPECT_EQ(axis->transformValueToExternal(Value(0)), Value("Mon"));
    EXPECT_TRUE(axis->doubleToData(7).isNil());

    auto numbers = LChartCategoryAxis::init();
    numbers->addCategoryForValue(Value("5"));
    numbers->addCategoryForValue(Value(5));
    EXPECT_EQ(numbers->categories().size(), 1u);
    EXPECT_EQ(numbers->transformValueToInternal(Value(5)).intValue(), 0);

    for (int32_t bad : { -1, 2 }) {
        log.clear();
        EXPECT_TRUE(axis->categoryNameFromIndex(Value(bad)).isNil());
        ASSERT_EQ(log.messages().size(), 1u);
        EXPECT_EQ(log.messages()[0].rfind(
                      NSString::stringWithFormat("Unable to get category name for index %d\nFrom: ", bad), 0),
            0u);
    }
    EXPECT_EQ(axis->stringForValue(1), "Tue");
    EXPECT_EQ(axis->stringForId(Value("text")), "text");
}

TEST(LChartCategoryAxis, RefusesWhatCategoriesCannotDo)
{
    LogCapture log;
    auto axis = LChartCategoryAxis::init();
    axis->setMajorTickFrequency(Value(2));
    EXPECT_TRUE(axis->majorTickFrequency().isNil());
    EXPECT_EQ(axis->internalMajorTickFrequency().intValue(), 1);
    EXPECT_EQ(axis->incrementTickMarkValueIsMajor(3, true), 4);
    EXPECT_FALSE(axis->allowsInterpolation());
    EXPECT_TRUE(axis->isOverAlternate(2));
    EXPECT_FALSE(axis->isOverAlternate(3));

    EXPECT_FALSE(
        axis->setRangeWithMinimumAndMaximumWithAnimationUsingBounceLimits(Value("a"), Value("b"), false, true));
    ASSERT_EQ(log.messages().size(), 1u);
    EXPECT_EQ(log.messages()[0].rfind("Unable to set range between a and b.  The axis doesn't contain categories with "
                                      "these values, and the range is not numeric.\nFrom: ",
                  0),
        0u);

    log.clear();
    LChartCategoryAxis::resetCustomTickWarningForTesting();
    auto other = LChartCategoryAxis::init();
    axis->manualGenerateTickMarks(Value::array({ Value(1) }));
    other->manualGenerateTickMarks(Value::array({ Value(2) }));
    axis->manualGenerateTickMarks(Value());
    EXPECT_EQ(log.messages().size(), 1u);
    EXPECT_TRUE(axis->allowsStacking());
    EXPECT_EQ(log.messages().size(), 2u);
    LChartCategoryAxis::resetCustomTickWarningForTesting();
}

TEST(LChartCategoryAxis, SavedRangeWaitsForTheFirstUpdateAndFirstTickFollowsTheData)
{
    FakeAxisChart chart;
    chart.drawer.frameRect.size = { 1000, 100 };
    auto axis = LChartCategoryAxis::initWithRange(LChartNumberRange::initWithMinimumAndMaximum(Value(2), Value(5)));
    axis->setChart(&chart);
    axis->setAnimationEnabled(false);
    axis->setAllowPanningOutOfMaxRange(true);
    EXPECT_EQ(axis->defaultRangeInternal()->max(), 1);
    FakeAxisSeries series;
    for (int i = 0; i < 10; ++i) {
        auto p = LChartInternalDataPoint::init();
        axis->willAddDataPointToSeriesWithValue(Value(NSString::stringWithFormat("c%d", i)));
        p->setXValue(axis->transformValueToInternal(Value(NSString::stringWithFormat("c%d", i))));
        axis->mapCoordinatesForDataPointInSeries(*p, series);
    }
    axis->updateGlRange();
    axis->updateRanges();
    EXPECT_EQ(axis->defaultRangeInternal()->min(), 2);
    EXPECT_EQ(axis->defaultRangeInternal()->max(), 5);

    axis->setRangeInternalWithMinimumAndMaximum(Value(0.3), Value(4.6));
    EXPECT_EQ(axis->firstMajorTick().intValue(), 1);
    axis->setRangeInternalWithMinimumAndMaximum(Value(-3.5), Value(4.6));
    EXPECT_TRUE(axis->firstMajorTick().isNil());
    axis->setRangeInternalWithMinimumAndMaximum(Value(-3.5), Value(12));
    EXPECT_EQ(axis->firstMajorTick().intValue(), 0);
    axis->setChart(nullptr);
}
