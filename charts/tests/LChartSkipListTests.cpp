#include "charts/LChartSkipList.h"

#include "charts/LChartDiscontinuousNumberAxis.h"
#include "charts/tests/ChartTestSupport.h"
#include "testing/LogCapture.h"

#include <gtest/gtest.h>

TEST(LChartSkipList, KeepsSkipsOrderedAndRefusesOverlaps)
{
    LogCapture log;
    FatalErrorsThrow fatal;
    auto list = LChartSkipList::init();
    list->addSkip(LChartSkip::skipWithStartAndEnd(10, 20));
    list->addSkip(LChartSkip::skipWithStartAndEnd(0, 5));
    ASSERT_EQ(list->skips().size(), 2u);
    EXPECT_EQ(list->skips()[0]->start(), 0);
    list->addSkip(LChartSkip::skipWithStartAndEnd(5, 10)); // touching is not overlapping
    EXPECT_THROW(list->addSkip(LChartSkip::skipWithStartAndEnd(15, 30)), ChartFatalError);
    EXPECT_EQ(
        log.messages().back().rfind("Axis has overlapping skip periods <LChartSkip: 10.000000 - 20.000000, length "
                                    "10.000000> and <LChartSkip: 15.000000",
            0),
        0u);
    auto copy = LChartSkipList::skipListWithSkipList(*LChartSkipList::init());
    EXPECT_TRUE(copy->isEmpty());
}

TEST(LChartSkipList, CompressesAndExpandsValues)
{
    auto axis = LChartDiscontinuousNumberAxis::init();
    axis->addSkip({ 10, 20 });
    axis->addSkip({ 30, 40 });
    EXPECT_EQ(axis->skipList()->sumOfSkipsUpTo(35), 15);
    struct Case {
        double real, compressed;
    } compress[] = { { 25, 15 }, { 15, 10 }, { 45, 25 }, { 5, 5 } };
    for (const auto& c : compress)
        EXPECT_EQ(axis->transformValueToInternal(Value(c.real)).doubleValue(), c.compressed) << c.real;
    struct Back {
        double compressed, real;
    } expand[] = { { 15, 25 }, { 25, 45 }, { 5, 5 } };
    for (const auto& c : expand)
        EXPECT_EQ(axis->transformValueToExternal(Value(c.compressed)).doubleValue(), c.real) << c.compressed;
    EXPECT_TRUE(axis->isSkippedData(Value(12)));
    EXPECT_FALSE(axis->isSkippedData(Value(20)));

    axis->removeSkip({ 10, 20 });
    EXPECT_EQ(axis->skipList()->skips().size(), 1u);
    EXPECT_EQ(axis->transformValueToInternal(Value(25)).doubleValue(), 25);
    auto stub = axis->stubCopyOfAxisForDataLoading();
    EXPECT_EQ(std::static_pointer_cast<LChartDiscontinuousNumberAxis>(stub)->skips(), axis->skips());
    EXPECT_NE(stub->skipList(), axis->skipList());
    EXPECT_TRUE(stub->isSkippedData(Value(35)));
}

TEST(LChartSkipList, EmptyNumberSkipsAreFatal)
{
    LogCapture log;
    FatalErrorsThrow fatal;
    auto axis = LChartDiscontinuousNumberAxis::init();
    EXPECT_THROW(axis->addSkip({ 5, 5 }), ChartFatalError);
    EXPECT_EQ(log.messages().back().rfind("Can't add skip with a zero span (0.000000)", 0), 0u);
    EXPECT_THROW(axis->addSkip({ 6, 5 }), ChartFatalError);
    EXPECT_EQ(log.messages().back().rfind("Can't add skip with a negative span (-1.000000)", 0), 0u);
}

TEST(LChartSkipList, SumsOnlyTheSkippedTimeBetweenTwoValues)
{
    auto list = LChartSkipList::init();
    list->addSkip(LChartSkip::skipWithStartAndEnd(10, 20));
    list->addSkip(LChartSkip::skipWithStartAndEnd(30, 40));
    struct Case {
        double a, b, sum;
    } cases[] = {
        { 0, 100, 20 }, // both skips
        { 15, 35, 10 }, // the upper half of the first and the lower half of the second
        { 20, 30, 0 }, // between the skips
        { 25, 28, 0 }, { 0, 5, 0 }, // before every skip
        { 50, 10, 0 }, // reversed
    };
    for (const auto& c : cases)
        EXPECT_EQ(list->sumOfSkipsBetweenAnd(c.a, c.b), c.sum) << c.a << ".." << c.b;
    EXPECT_EQ(list->sumOfSkipsBetweenIndexAndIndexLastPoint(0, 1, 35), 15);
    EXPECT_EQ(list->sumOfSkipsBetweenIndexAndIndexLastPoint(1, 1, 35), 5);
    EXPECT_EQ(list->sumOfSkipsBetweenIndexAndIndexLastPoint(0, -1, 35), 0);
}
