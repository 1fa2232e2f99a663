#include "charts/LChartSeriesDataPointFinder.h"

#include "charts/LChartInternalDataPoint.h"
#include "charts/LChartOrderedDictionary.h"
#include "charts/tests/ChartTestSupport.h"
#include "testing/LogCapture.h"

#include <gtest/gtest.h>

namespace {

// A series of bins along x, each keyed by its first value.
class BinnedSeries : public LChartFinderSeries {
public:
    Ref<LChartOrderedDictionary> bins { LChartOrderedDictionary::dictionary() };

    explicit BinnedSeries(std::vector<std::vector<double>> runs)
    {
        for (const auto& run : runs) {
            auto bin = LChartSeriesDataBin::initWithStartValueDataPointValueConverter(Value(run.front()), this);
            for (double x : run) {
                auto p = LChartInternalDataPoint::init();
                p->setXValue(Value(x));
                p->setYValue(Value(0));
                bin->addDataPoint(p);
                bin->addLowDataPoint(LChartInternalDataPoint::init());
            }
            bins->setObjectForKey(bin, Value(run.front()));
        }
    }
    Value changedValueOfDataPoint(const LChartInternalDataPoint& p) const override { return p.xValue(); }
    Value measuredValueOfDataPoint(const LChartInternalDataPoint& p) const override { return p.yValue(); }
    const LChartOrderedDictionary& dataBins() const override { return *bins; }
    std::optional<std::pair<Ref<LChartSeriesDataBin>, int32_t>> dataBinContainingChangedValue(
        const Value& v) const override
    {
        std::optional<std::pair<Ref<LChartSeriesDataBin>, int32_t>> found;
        for (uint32_t i = 0; i < bins->count(); ++i) {
            if (compareValues(bins->keyAtIndex(i), v) <= 0)
                found = std::make_pair(bins->objectAtIndexAs<LChartSeriesDataBin>(i), static_cast<int32_t>(i));
        }
        return found;
    }
    void setChangedValueOfDataPoint(const Value& v, LChartInternalDataPoint& p) const override { p.setXValue(v); }
};

} // namespace

TEST(LChartSeriesDataPointFinder, SearchingFinderRunsAscendingAndSearchesOnBreaks)
{
    BinnedSeries series({ { 1, 2, 2, 3 } });
    auto finder = LChartSeriesSearchDataPointFinder::initWithSeries(&series);
    auto twos = finder->resultsForChangedValue(Value(2));
    ASSERT_TRUE(twos);
    ASSERT_EQ(twos->size(), 2u);
    EXPECT_EQ((*twos)[0].dataPoint, series.bins->objectAtIndexAs<LChartSeriesDataBin>(0)->dataPoints()[1].get());
    EXPECT_NE((*twos)[0].lowDataPoint, nullptr);
    EXPECT_EQ(finder->currentDataPoint()->xValue().doubleValue(), 3);
    auto threes = finder->resultsForChangedValue(Value(3));
    ASSERT_TRUE(threes);
    EXPECT_EQ(threes->size(), 1u);
    EXPECT_EQ(finder->currentBin(), nullptr);

    auto again = LChartSeriesSearchDataPointFinder::initWithSeries(&series);
    EXPECT_FALSE(again->resultsForChangedValue(Value(7)).has_value());
    EXPECT_EQ(again->currentDataPoint(), nullptr);
    EXPECT_EQ(again->currentDataPointIndex(), 0);
    // Across bins: an ascending run continues into the next bin.
    BinnedSeries split({ { 1, 2 }, { 2, 4 } });
    auto across = LChartSeriesSearchDataPointFinder::initWithSeries(&split);
    EXPECT_EQ(across->resultsForChangedValue(Value(1))->size(), 1u);
    auto found = across->resultsForChangedValue(Value(2));
    ASSERT_TRUE(found);
    EXPECT_EQ(found->size(), 2u);
    EXPECT_EQ(across->currentDataBinIndex(), 1);
}

TEST(LChartSeriesDataPointFinder, SteppingFinderNeverSearches)
{
    BinnedSeries series({ { 4, 5 } });
    auto finder = LChartSeriesSteppingDataPointFinder::initWithSeries(&series);
    EXPECT_FALSE(finder->resultsForChangedValue(Value(5)).has_value());
    EXPECT_EQ(finder->currentDataPoint()->xValue().doubleValue(), 4);
    EXPECT_EQ(finder->resultsForChangedValue(Value(4))->size(), 1u);
    EXPECT_EQ(finder->resultsForChangedValue(Value(5))->size(), 1u);
}

TEST(LChartSeriesDataPointFinder, TheAbstractFinderIsFatalAndAnEmptySeriesLogs)
{
    LogCapture log;
    FatalErrorsThrow fatal;
    BinnedSeries empty({});
    auto finder = LChartSeriesDataPointFinder::initWithSeries(&empty);
    EXPECT_EQ(finder->currentBin(), nullptr);
    EXPECT_EQ(log.messages().size(), 1u);
    EXPECT_THROW(finder->resultsForChangedValue(Value(1)), ChartFatalError);
    EXPECT_EQ(log.messages().back().rfind(
                  "Cannot use abstract base class LChartSeriesDataPointFinder.  Use one of its children instead.", 0),
        0u);
}
