#include "charts/LChartSeries.h"

#include "charts/LChartDataSeries.h"
#include "charts/LChartInternalDataPoint.h"
#include "charts/LChartMultiYDataPoint.h"
#include "charts/LChartMutableOrderedSet.h"
#include "charts/LChartOrderedDictionary.h"
#include "charts/LChartRange.h"
#include "charts/LChartSeriesDataBin.h"
#include "charts/tests/ChartSeriesFixtures.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <limits>

namespace {

Ref<LChartInternalDataPoint> point(double x, double y)
{
    auto p = LChartInternalDataPoint::init();
    p->setXValue(Value(x));
    p->setYValue(Value(y));
    return p;
}

size_t pointsInBins(const LChartSeries& series)
{
    size_t total = 0;
    for (uint32_t i = 0; i < series.dataBins().count(); ++i)
        total += series.dataBins().objectAtIndexAs<LChartSeriesDataBin>(i)->dataPoints().size();
    return total;
}

} // namespace

TEST(LChartSeries, BinsFillStrictlyAtTheEnd)
{
    auto series = PlainSeries::init();
    EXPECT_EQ(series->dataBins().count(), 0u);
    for (int i = 0; i < 65; ++i)
        series->addDataPoint(point(i, i * 2));
    ASSERT_EQ(series->dataBins().count(), 2u);
    EXPECT_EQ(series->dataBins().keyAtIndex(1).doubleValue(), 64);
    EXPECT_EQ(series->invalidBins()->count(), 2u);
    EXPECT_EQ(series->endDataPointIndex(), 65);

    auto small = PlainSeries::init();
    small->setNumberOfDataPointsInBin(10);
    EXPECT_EQ(small->numberOfDataPointsInBin(), 10);
    for (int i = 0; i < 12; ++i)
        small->addDataPoint(point(i, 0));
    ASSERT_EQ(small->dataBins().count(), 2u);
    EXPECT_EQ(small->dataBins().objectAtIndexAs<LChartSeriesDataBin>(1)->dataPoints().size(), 2u);

    small->clearInvalidBins();
    EXPECT_FALSE(small->dataBins().objectAtIndexAs<LChartSeriesDataBin>(0)->invalid());
    small->invalidateBinContainingDataPoint(*point(11, 0));
    EXPECT_TRUE(small->dataBins().objectAtIndexAs<LChartSeriesDataBin>(1)->invalid());
}

TEST(LChartSeries, PointsSharingOneChangedValueNeverReplaceABin)
{
    auto series = PlainSeries::init();
    series->setNumberOfDataPointsInBin(10);
    for (int i = 0; i < 25; ++i)
        series->addDataPoint(point(5, i));
    // An unsorted series coming back to an existing key keeps its points too.
    series->addDataPoint(point(6, 0));
    series->addDataPoint(point(5, 0));
    EXPECT_EQ(pointsInBins(*series), 27u);
}

TEST(LChartSeries, FindsBinsByChangedValueAndByPointIndex)
{
    auto series = PlainSeries::init();
    EXPECT_FALSE(series->dataBinContainingChangedValue(Value(1)));
    series->setNumberOfDataPointsInBin(10);
    for (int i = 0; i < 10; ++i)
        series->addDataPoint(point(i, 0));
    for (int i = 20; i < 30; ++i)
        series->addDataPoint(point(i, 0));

    struct Case {
        double value;
        int32_t index;
    };
    const Case cases[] = { { 0, 0 }, { 9, 0 }, { 20, 1 }, { 25, 1 }, { 15, -1 }, { 30, -1 }, { -1, -1 } };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.value);
        auto found = series->dataBinContainingChangedValue(Value(c.value));
        EXPECT_EQ(found ? found->second : -1, c.index);
    }
    EXPECT_FALSE(series->closestDataBinLessThanChangedValue(Value(0)));
    EXPECT_EQ(series->closestDataBinLessThanChangedValue(Value(21))->second, 1);

    for (int i = 0; i < 3; ++i)
        series->removeDataPoint(series->dataSeries()->dataPoints().front());
    EXPECT_EQ(series->startDataPointIndex(), 3);
    auto bin = series->dataBinForDataPointIndex(3);
    ASSERT_TRUE(bin);
    EXPECT_EQ(bin->dataPoints().front()->sChartDataPointIndex(), 3);
    EXPECT_EQ(series->dataBinForDataPointIndex(12), series->dataBinWithStartingValue(Value(20)));
    EXPECT_FALSE(series->dataBinForDataPointIndex(20));
}

TEST(LChartSeries, RemovingMoreThanItHoldsIsReportedAndCapped)
{
    auto handler = std::make_shared<RecordingErrorHandler>();
    auto series = PlainSeries::init(handler);
    for (int i = 0; i < 3; ++i)
        series->addDataPoint(point(i, i));
    series->removeNumberOfDataPoints(5);
    ASSERT_EQ(handler->errors.size(), 1u);
    EXPECT_EQ(handler->errors[0],
        "Unable to remove 5 data points, as the series only contains 3 data points.  Will remove 3 points from the "
        "series.");
    EXPECT_EQ(series->numberOfPointsToRemoveFromStart(), 3);
    EXPECT_TRUE(series->dataToAppendOrRemove());
    series->clearAppendFlags();
    EXPECT_FALSE(series->dataToAppendOrRemove());
}

TEST(LChartSeries, HidingHalfWayThroughTheEntryLeavesFromWhereItGot)
{
    auto series = PlainSeries::init();
    series->entryAnimation()->setDuration(Value(2.0));
    series->exitAnimation()->setDuration(Value(2.0));
    series->setHidden(true);
    series->updateAnimation(5);
    EXPECT_FALSE(series->isExiting());
    series->setHidden(false);
    EXPECT_TRUE(series->isEntering());
    EXPECT_EQ(series->activeAnimation(), series->entryAnimation().get());
    series->updateAnimation(1);

    series->setHidden(true);
    EXPECT_TRUE(series->isExiting());
    EXPECT_FALSE(series->isEntering());
    EXPECT_DOUBLE_EQ(series->exitAnimation()->timeElapsed().doubleValue(), 1);
    EXPECT_TRUE(series->exitAnimation()->reverse());

    // The exit ends; a series told to re-enter shows itself again at once.
    series->setShouldReenter(true);
    series->updateAnimation(1);
    EXPECT_FALSE(series->hidden());
    EXPECT_TRUE(series->isEntering());

    // Showing a shown series changes nothing.
    series->updateAnimation(2);
    series->setRequiresRecalculation(false);
    series->setHidden(false);
    EXPECT_FALSE(series->requiresRecalculation());

    // A held animation does not move.
    series->setDelayAnimation(true);
    double before = series->entryAnimation()->timeElapsed().doubleValue();
    series->updateAnimation(1);
    EXPECT_EQ(series->entryAnimation()->timeElapsed().doubleValue(), before);
}

TEST(LChartSeries, RangesKeysAndValueConversion)
{
    auto series = PlainSeries::init();
    series->addDataPoint(point(3, -2));
    series->addDataPoint(point(1, 7));
    series->addDataPoint(point(5, 7));
    series->calcMinMax();
    EXPECT_EQ(series->dataSeries()->rangeX()->minimum().doubleValue(), 1);
    EXPECT_EQ(series->dataSeries()->rangeX()->maximum().doubleValue(), 5);
    EXPECT_EQ(series->dataSeries()->indexOfDatapointWithMaxY(), 1); // ties keep the earlier point
    EXPECT_EQ(series->dataSeries()->indexOfDatapointWithMinX(), 1);

    EXPECT_EQ(series->stringForKeyWithDataPoint("High", nullptr), "High: ");
    EXPECT_EQ(series->intRepresentationFromKey("Low: ").intValue(), 1);
    EXPECT_TRUE(series->intRepresentationFromKey("Open: ").isNil());
    EXPECT_EQ(series->dataSeries()->valueKeys(), (std::vector<std::string> { "High", "Low" }));

    auto p = point(1, 2);
    series->setOrientation(1);
    EXPECT_EQ(series->changedValueOfDataPoint(*p).doubleValue(), 2);
    series->setMeasuredValueOfDataPoint(Value(9), *p);
    EXPECT_EQ(p->xValue().doubleValue(), 9);
}

TEST(LChartSeries, KeyedValueTextsAndKeyOrder)
{
    auto series = PlainSeries::init();
    EXPECT_EQ(series->yValueKeys(), (std::vector<std::string> { "High", "Low" }));
    EXPECT_EQ(series->xValueKeys(), series->valueKeys());

    auto x = LChartNumberAxis::init();
    auto y = LChartNumberAxis::init();
    y->setAxisOrientation(1);
    auto multiY = LChartMultiYDataPoint::init();
    multiY->setYValues(Value::dictionary({ { "High", Value(12.5) } }));
    auto multiX = LChartMultiXDataPoint::init();
    multiX->setXValues(Value::dictionary({ { "High", Value(3) } }));
    auto bubble = LChartBubbleDataPoint::init();
    bubble->setArea(4);
    auto plain = LChartDataPoint::init();

    // Each kind of keyed value is read through its own axis (or none); a point without that
    // kind has no text.
    EXPECT_EQ(series->stringForValueWithKeyWithDataPoint("High", *multiY, y.get()), y->stringForId(Value(12.5)));
    EXPECT_EQ(series->stringForValueWithKeyWithDataPoint("High", *multiX, x.get()), x->stringForId(Value(3)));
    EXPECT_EQ(series->stringForValueWithKeyWithDataPoint("Area", *bubble, nullptr), "4");
    EXPECT_EQ(series->stringForValueWithKeyWithDataPoint("High", *multiY, x.get()), std::nullopt);
    EXPECT_EQ(series->stringForValueWithKeyWithDataPoint("High", *plain, y.get()), std::nullopt);
    EXPECT_EQ(series->stringForValueWithKeyWithDataPoint("High", *plain, nullptr), std::nullopt);

    // Labels sort into the series' key order; labels it does not have go last, by their text.
    std::vector<std::string> labels { "Zeta: ", "Low: ", "Alpha: ", "High: " };
    auto compare = series->comparatorForValueKeys();
    std::sort(labels.begin(), labels.end(), [&](const auto& a, const auto& b) { return compare(a, b) < 0; });
    EXPECT_EQ(labels, (std::vector<std::string> { "High: ", "Low: ", "Alpha: ", "Zeta: " }));
    EXPECT_EQ(compare("Low: ", "Low: "), 0);
}

TEST(LChartSeries, TheBaseSeriesMeasuresNoDistance)
{
    auto series = PlainSeries::init();
    series->addDataPoint(point(1, 1));
    FakeHitTestChart chart(0, 10, 0, 10);
    LChartSeriesDistanceInfo info;
    info.series = series;
    series->distanceInfoToPointInChartIsOnlySeries(info, { 1, 1 }, chart, true);
    EXPECT_EQ(info.distance, std::numeric_limits<double>::max());
    EXPECT_FALSE(info.dataPoint);
    EXPECT_EQ(info.series, series);
}
