#include "charts/LChartDataLoader.h"

#include "charts/LChartDataSeries.h"
#include "charts/LChartDateFrequency.h"
#include "charts/LChartDiscontinuousDateTimeAxis.h"
#include "charts/LChartInternalDataPoint.h"
#include "charts/LChartNumberAxis.h"
#include "charts/LChartRange.h"
#include "charts/LChartRepeatedTimePeriod.h"
#include "charts/LChartSkipList.h"
#include "charts/tests/ChartTestSupport.h"
#include "foundation/NSCalendar.h"
#include "foundation/NSDate.h"
#include "foundation/NSTimeZone.h"
#include "testing/LogCapture.h"

#include <functional>
#include <gtest/gtest.h>

namespace {

// A number axis that records what the loader tells it and can skip values.
class RecordingAxis final : public LChartNumberAxis {
public:
    explicit RecordingAxis(Passkey key)
        : LChartNumberAxis(key)
    {
    }
    static Ref<RecordingAxis> create()
    {
        auto axis = make<RecordingAxis>();
        axis->initialise();
        axis->initialiseNumberAxis();
        return axis;
    }
    std::vector<std::pair<Value, Value>> configured;
    std::function<bool(double)> skip;
    void configureWithDataMinAndDataMax(const Value& min, const Value& max) override
    {
        configured.emplace_back(min, max);
    }
    bool isSkippedData(const Value& v) const override { return skip && skip(v.doubleValue()); }
};

class FakeSeries final : public NSObject, public LChartLoadableSeries {
public:
    explicit FakeSeries(Passkey key)
        : NSObject(key)
    {
    }
    static Ref<FakeSeries> create(bool radial = false)
    {
        auto s = make<FakeSeries>();
        s->radial = radial;
        return s;
    }
    bool radial { false };
    Ref<LChartDataSeries> data { LChartDataSeries::init() };
    bool delegateSet { false };
    int32_t nextIndex { 0 };

    bool isRadialSeries() const override { return radial; }
    LChartDataSeries* dataSeries() const override { return data.get(); }
    void addDataPoint(const Ref<LChartInternalDataPoint>& p) override
    {
        p->setSChartDataPointIndex(nextIndex++);
        data->dataPoints().push_back(p);
    }
    void removeDataPoint(const Ref<LChartInternalDataPoint>& p) override { std::erase(data->dataPoints(), p); }
    void setDelegate(const Weak<NSObject>&) override { delegateSet = true; }
};

class FakeChart : public LChartLoaderHost {
public:
    bool radial { false };
    bool isRadial() const override { return radial; }
    void setIsRadial(bool r) override { radial = r; }
    Weak<NSObject> delegate() const override { return {}; }
};

Ref<LChartData> pointAt(double x, double y)
{
    auto p = LChartDataPoint::init();
    p->setXValue(Value(x));
    p->setYValue(Value(y));
    return p;
}

class FakeSource : public LChartDatasource {
public:
    std::vector<Ref<LChartLoadableSeries>> series;
    std::vector<Ref<LChartData>> points;
    int32_t count { 0 };
    std::optional<std::vector<Ref<LChartData>>> bulk;
    std::vector<int32_t> asked;

    int32_t numberOfSeriesInSChart(LChartLoaderHost&) override { return static_cast<int32_t>(series.size()); }
    Ref<LChartLoadableSeries> sChartSeriesAtIndex(LChartLoaderHost&, int32_t i) override { return series[i]; }
    int32_t sChartNumberOfDataPointsForSeriesAtIndex(LChartLoaderHost&, int32_t) override { return count; }
    Ref<LChartData> sChartDataPointAtIndexForSeriesAtIndex(LChartLoaderHost&, int32_t i, int32_t) override
    {
        asked.push_back(i);
        return static_cast<size_t>(i) < points.size() ? points[i] : nullptr;
    }
    std::optional<std::vector<Ref<LChartData>>> sChartDataPointsForSeriesAtIndex(LChartLoaderHost&, int32_t) override
    {
        return bulk;
    }
};

struct Fixture {
    FakeChart chart;
    FakeSource source;
    Ref<RecordingAxis> x { RecordingAxis::create() };
    Ref<RecordingAxis> y { RecordingAxis::create() };
    Ref<LChartDataLoader> loader { LChartDataLoader::initWithChartDatasourceErrorHandler(
        &chart, &source, LatticeChartLog::logger()) };
};

} // namespace

TEST(LChartDataLoader, ListsSeriesOfOneKind)
{
    LogCapture log;
    Fixture f;
    EXPECT_TRUE(f.loader->emptyChartSeries().empty());
    ASSERT_EQ(log.messages().size(), 1u);
    EXPECT_EQ(
        log.messages()[0].rfind("The datasource for this chart has specified that there are 0 series\nFrom: ", 0), 0u);

    log.clear();
    auto pie = FakeSeries::create(true);
    f.source.series = { pie, FakeSeries::create(false) };
    auto list = f.loader->emptyChartSeries();
    ASSERT_EQ(list.size(), 1u);
    EXPECT_EQ(list[0], pie);
    EXPECT_TRUE(f.chart.radial);
    ASSERT_EQ(log.messages().size(), 1u);
    EXPECT_EQ(log.messages()[0].rfind("Incompatible series added to chart.", 0), 0u);

    FatalErrorsThrow fatal;
    f.source.series = { FakeSeries::create(false), nullptr };
    EXPECT_THROW(f.loader->emptyChartSeries(), ChartFatalError);
}

TEST(LChartDataLoader, FillsSeriesSingleAndBulk)
{
    Fixture f;
    auto series = FakeSeries::create();
    f.source.count = 3;
    f.source.bulk = std::vector<Ref<LChartData>> { pointAt(1, 10), pointAt(2, 20), pointAt(3, 30), pointAt(-4, 40),
        pointAt(5, -50) };
    f.loader->populateChartSeriesAtIndexXAxisYAxis(series, 0, *f.x, *f.y);
    ASSERT_EQ(series->data->dataPoints().size(), 3u);
    EXPECT_EQ(series->data->dataPoints()[2]->yValue().doubleValue(), 30);
    ASSERT_EQ(f.x->configured.size(), 1u);
    EXPECT_EQ(f.x->configured[0].first.doubleValue(), -4);
    EXPECT_EQ(f.x->configured[0].second.doubleValue(), 5);
    EXPECT_EQ(f.y->configured[0].first.doubleValue(), -50);
    EXPECT_TRUE(series->delegateSet);

    Fixture empty;
    auto none = FakeSeries::create();
    empty.loader->populateChartSeriesAtIndexXAxisYAxis(none, 0, *empty.x, *empty.y);
    EXPECT_TRUE(none->delegateSet);
    ASSERT_EQ(empty.x->configured.size(), 1u);
    EXPECT_TRUE(empty.x->configured[0].first.isNil());

    // Points on a skipped stretch are dropped; later points keep their own indices.
    Fixture skipping;
    skipping.y->skip = [](double v) { return v > 15 && v < 25; };
    skipping.source.count = 3;
    skipping.source.points = { pointAt(1, 10), pointAt(2, 20), pointAt(3, 30) };
    auto gaps = FakeSeries::create();
    skipping.loader->populateChartSeriesAtIndexXAxisYAxis(gaps, 0, *skipping.x, *skipping.y);
    EXPECT_EQ(skipping.source.asked, (std::vector<int32_t> { 0, 1, 2 }));
    ASSERT_EQ(gaps->data->dataPoints().size(), 2u);
    EXPECT_EQ(gaps->data->dataPoints()[1]->xValue().doubleValue(), 3);
}

TEST(LChartDataLoader, NilPointsAreFatal)
{
    LogCapture log;
    FatalErrorsThrow fatal;
    Fixture f;
    f.source.count = 2;
    f.source.bulk = std::vector<Ref<LChartData>> {}; // answered, but with nothing
    EXPECT_THROW(f.loader->populateChartSeriesAtIndexXAxisYAxis(FakeSeries::create(), 4, *f.x, *f.y), ChartFatalError);
    ASSERT_EQ(f.x->configured.size(), 1u);
    EXPECT_TRUE(f.x->configured[0].first.isNil());
    EXPECT_EQ(log.messages().back().rfind("Datapoint cannot be nil. (series 4, index 0)\nFrom: ", 0), 0u);

    Fixture single;
    single.source.count = 2;
    single.source.points = { pointAt(1, 1) };
    EXPECT_THROW(single.loader->populateChartSeriesAtIndexXAxisYAxis(FakeSeries::create(), 1, *single.x, *single.y),
        ChartFatalError);
    EXPECT_EQ(log.messages().back().rfind("Datapoint cannot be nil. (series 1, index 1)\nFrom: ", 0), 0u);

    Fixture noX;
    auto bad = LChartDataPoint::init();
    bad->setYValue(Value(1));
    noX.source.count = 1;
    noX.source.points = { bad };
    EXPECT_THROW(
        noX.loader->populateChartSeriesAtIndexXAxisYAxis(FakeSeries::create(), 0, *noX.x, *noX.y), ChartFatalError);
    EXPECT_EQ(log.messages().back().rfind("Datapoint can't have a nil x-object (series 0, index 0)\nFrom: ", 0), 0u);
}

TEST(LChartDataLoader, AppendingRecomputesExtremesAfterDroppingPoints)
{
    Fixture f;
    auto series = FakeSeries::create();
    f.source.count = 3;
    f.source.points = { pointAt(1, 5), pointAt(2, 7), pointAt(3, 6) };
    f.loader->populateChartSeriesAtIndexXAxisYAxis(series, 0, *f.x, *f.y);
    series->data->setRangeX(LChartRange::initWithMinimumAndMaximum(Value(1), Value(3)));
    series->data->setRangeY(LChartRange::initWithMinimumAndMaximum(Value(5), Value(7)));

    // The data source drops its first point and adds two.
    f.source.points = { pointAt(2, 7), pointAt(3, 6), pointAt(4, 9), pointAt(5, 8) };
    f.source.count = 4;
    auto append = LChartDataLoader::initWithChartDatasourceErrorHandler(&f.chart, &f.source, LatticeChartLog::logger());
    auto added = append->appendDataPointsToSeriesWithIndexNumberOfPointsToRemoveFromStartXAxisYAxis(
        2, series, 0, 1, *f.x, *f.y);
    ASSERT_EQ(added.size(), 2u);
    EXPECT_EQ(added[0]->xValue().doubleValue(), 4);
    ASSERT_EQ(series->data->dataPoints().size(), 4u);
    EXPECT_EQ(series->data->rangeX()->min(), 2);
    EXPECT_EQ(series->data->rangeX()->max(), 5);
    EXPECT_EQ(series->data->rangeY()->min(), 6);
    EXPECT_EQ(series->data->rangeY()->max(), 9);
    ASSERT_EQ(f.x->configured.size(), 2u);
    EXPECT_EQ(f.x->configured[1].first.doubleValue(), 2);
    EXPECT_EQ(f.x->configured[1].second.doubleValue(), 5);
}

TEST(LChartDataLoader, LeavesOutPointsOnExcludedWeekends)
{
    NSTimeZone::setDefaultTimeZoneForTesting("UTC");
    constexpr double kDay = 86400;
    constexpr double kWednesday = 1388534400; // 2014-01-01 00:00 UTC
    Fixture f;
    auto dates = LChartDiscontinuousDateTimeAxis::init();
    dates->setCal(NSCalendar::currentCalendar());
    dates->addExcludedRepeatedTimePeriod(LChartRepeatedTimePeriod::initWithStartAndLengthAndFrequency(
        NSDate::dateWithTimeIntervalSince1970(kWednesday - 4 * kDay), LChartDateFrequency::initWithDay(2),
        LChartDateFrequency::initWithDay(7)));
    // Noon every day for two weeks and a day: Wednesday to Wednesday.
    f.source.count = 15;
    for (int i = 0; i < 15; ++i) {
        auto p = LChartDataPoint::init();
        p->setXValue(Value::date(kWednesday + i * kDay + kDay / 2));
        p->setYValue(Value(i));
        f.source.points.push_back(p);
    }
    auto series = FakeSeries::create();
    f.loader->populateChartSeriesAtIndexXAxisYAxis(series, 0, *dates, *f.y);

    std::vector<int> kept;
    for (const auto& point : series->data->dataPoints())
        kept.push_back(point->yValue().intValue());
    EXPECT_EQ(kept, (std::vector<int> { 0, 1, 2, 5, 6, 7, 8, 9, 12, 13, 14 }));
    EXPECT_EQ(dates->skipList()->skips().size(), 3u);
    // Friday noon and Monday noon lie one day apart once the weekend is left out.
    const auto& points = series->data->dataPoints();
    EXPECT_EQ(points[3]->xValue().doubleValue() - points[2]->xValue().doubleValue(), kDay);
    NSTimeZone::resetForTesting();
}
