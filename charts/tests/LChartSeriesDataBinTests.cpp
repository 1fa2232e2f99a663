#include "charts/LChartSeriesDataBin.h"

#include "charts/LChartInternalDataPoint.h"
#include "charts/LChartMutableOrderedSet.h"
#include "charts/LChartOrderedDictionary.h"
#include "testing/LogCapture.h"

#include <gtest/gtest.h>

namespace {

struct XConverter : LChartInternalDataPointValueConverter {
    Value changedValueOfDataPoint(const LChartInternalDataPoint& p) const override { return p.xValue(); }
    Value measuredValueOfDataPoint(const LChartInternalDataPoint& p) const override { return p.yValue(); }
};

Ref<LChartInternalDataPoint> pointAt(double x)
{
    auto point = LChartInternalDataPoint::init();
    point->setXValue(Value(x));
    point->setYValue(Value(0));
    return point;
}

} // namespace

TEST(LChartSeriesDataBin, EndValueFollowsTheLastPoint)
{
    XConverter converter;
    auto bin = LChartSeriesDataBin::initWithStartValueDataPointValueConverter(Value(10), &converter);
    EXPECT_TRUE(bin->invalid());
    EXPECT_EQ(bin->maxBinSize(), 64);
    EXPECT_TRUE(bin->endValue().isNil());

    auto p10 = pointAt(10), p11 = pointAt(11), p12 = pointAt(12);
    for (const auto& p : { p10, p11, p12 }) {
        bin->addDataPoint(p);
        bin->addLowDataPoint(pointAt(-1));
    }
    EXPECT_EQ(bin->endValue().doubleValue(), 12);
    bin->removeDataPoint(p12);
    EXPECT_EQ(bin->endValue().doubleValue(), 11);
    EXPECT_EQ(bin->lowDataPoints().size(), 2u);
    bin->removeDataPoint(pointAt(99)); // not in the bin: ignored
    EXPECT_EQ(bin->dataPoints().size(), 2u);
    bin->removeDataPoint(p10);
    bin->removeDataPoint(p11);
    EXPECT_TRUE(bin->endValue().isNil());
    EXPECT_EQ(bin->startValue().doubleValue(), 10);
}

TEST(LChartOrderedDictionary, KeepsKeysAscendingAndLogsBadPositions)
{
    LogCapture log;
    auto dict = LChartOrderedDictionary::dictionary();
    auto one = pointAt(1), three = pointAt(3), five = pointAt(5), other = pointAt(50);
    dict->setObjectForKey(one, Value(1));
    dict->setObjectForKey(five, Value(5));
    dict->setObjectForKey(three, Value(3));
    dict->setObjectForKey(other, Value(5));
    EXPECT_EQ(dict->allKeys(), (std::vector<Value> { Value(1), Value(3), Value(5) }));
    EXPECT_EQ(dict->objectAtIndex(1), three);
    EXPECT_EQ(dict->objectForKey(Value(5)), other);
    EXPECT_EQ(dict->count(), 3u);

    EXPECT_TRUE(dict->keyAtIndex(3).isNil());
    EXPECT_EQ(dict->objectAtIndex(3), nullptr);
    ASSERT_EQ(log.messages().size(), 2u);
    EXPECT_EQ(log.messages()[0].rfind("Ordered dictionary doesn't have key at index 3\nFrom: ", 0), 0u);

    dict->removeObjectForKey(Value(3));
    EXPECT_EQ(dict->allKeys(), (std::vector<Value> { Value(1), Value(5) }));
    dict->removeAllObjects();
    EXPECT_EQ(dict->count(), 0u);
    EXPECT_TRUE(dict->allKeys().empty());
}

TEST(LChartMutableOrderedSet, ListsEachMemberOnce)
{
    auto set = LChartMutableOrderedSet::orderedSet();
    auto a = pointAt(1), b = pointAt(2);
    set->addObject(a);
    set->addObject(b);
    set->addObject(a);
    EXPECT_EQ(set->count(), 2u);
    EXPECT_EQ(set->array(), (std::vector<Ref<NSObject>> { a, b }));
    set->removeObjectsInArray({ a });
    EXPECT_EQ(set->array(), (std::vector<Ref<NSObject>> { b }));
}
