#include "charts/LChartSeriesGroup.h"

#include "charts/LChartColumnSeries.h"
#include "charts/LChartDataSeries.h"
#include "charts/LChartInternalDataPoint.h"
#include "charts/LChartLineSeries.h"
#include "charts/LChartNumberAxis.h"
#include "charts/LChartNumberRange.h"
#include "charts/LChartOrderedDictionary.h"
#include "charts/LChartSeriesDataBin.h"
#include "charts/LatticeChartLog.h"
#include "charts/tests/ChartAxisFixtures.h"
#include "charts/tests/ChartTestSupport.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

namespace {

// A series as its group sees it; it records what the group asks of it into a shared log.
class FakeGroupedSeries final : public LChartGroupedSeries {
public:
    FakeGroupedSeries(std::string name, std::vector<std::string>* log)
        : name(std::move(name))
        , log(log)
    {
    }

    std::string name;
    std::vector<std::string>* log;
    Class cls { LChartRange::classObject() };
    Ref<LChartDataSeries> data { LChartDataSeries::init() };
    int32_t seriesOrientation { 0 };
    bool barColumn { false };
    Value stack;
    int32_t slot { -1 };
    int32_t count { 0 };
    bool stacked { false };
    bool isHidden { false };
    bool entering { false };
    bool exiting { false };
    bool recalc { false };
    bool reenter { false };
    bool delay { false };
    Value ownBaseline;
    Ref<LChartRange> visible;
    std::vector<Value> bins;
    float drawnBaseline { NAN };
    Weak<LChartSeriesGroup> group;

    LChartDataSeries* dataSeries() const override { return data.get(); }
    bool isBarColumnSeries() const override { return barColumn; }
    int32_t orientation() const override { return seriesOrientation; }
    int32_t numSeries() const override { return count; }
    int32_t index() const override { return slot; }
    Class seriesClass() const override { return cls; }
    Value stackIndex() const override { return stack; }
    void setStackIndex(const Value& value) override { stack = value; }
    void setIndex(int32_t value) override { slot = value; }
    void setNumSeries(int32_t value) override { count = value; }
    bool isStacked() const override { return stacked; }
    void setIsStacked(bool value) override { stacked = value; }
    bool hidden() const override { return isHidden; }
    void setHidden(bool value) override { isHidden = value; }
    bool isEntering() const override { return entering; }
    bool isExiting() const override { return exiting; }
    bool requiresRecalculation() const override { return recalc; }
    void setRequiresRecalculation(bool value) override { recalc = value; }
    bool shouldReenter() const override { return reenter; }
    void setShouldReenter(bool value) override { reenter = value; }
    bool delayAnimation() const override { return delay; }
    void setDelayAnimation(bool value) override { delay = value; }
    Value baseline() const override { return ownBaseline; }
    void setSeriesGroup(const Weak<LChartSeriesGroup>& value) override { group = value; }
    std::vector<Value> invalidBinKeys() const override { return bins; }
    void clearStackedRange() override { }
    void mapDataPointOnXAxisAndYAxis(LChartInternalDataPoint&, LChartAxis&, LChartAxis&) override
    {
        log->push_back("single " + name);
    }
    void mapWithStackedSeriesOnXAxisAndYAxis(
        const std::vector<Ref<LChartGroupedSeries>>& list, LChartAxis&, LChartAxis&) override
    {
        log->push_back("stack " + names(list));
    }
    void mapInvalidBinsWithStackedSeriesOnXAxisAndYAxis(const std::vector<Value>& invalid,
        const std::vector<Ref<LChartGroupedSeries>>& list, LChartAxis&, LChartAxis&) override
    {
        log->push_back("bins " + std::to_string(invalid.size()) + " " + names(list));
    }
    bool drawWithDrawerWithGLBaselineAndGLTranslation(
        LChartDrawer&, float baseline, const LChartGLTranslation&) override
    {
        drawnBaseline = baseline;
        log->push_back("draw " + name);
        return entering;
    }
    void updateWithDrawerAndGLTranslation(LChartDrawer&, const LChartGLTranslation&) override { }
    Ref<LChartRange> visibleRangeOnAxis(const LChartAxis&) const override { return visible; }

    static std::string names(const std::vector<Ref<LChartGroupedSeries>>& list)
    {
        std::string text;
        for (const auto& entry : list)
            text += static_cast<FakeGroupedSeries&>(*entry).name;
        return text;
    }
};

struct GroupFixture {
    std::vector<std::string> log;
    Ref<LChartAxis> x { LChartNumberAxis::init() };
    Ref<LChartAxis> y { LChartNumberAxis::init() };
    FakeAxisChart chart;
    Ref<LChartSeriesGroup> group;

    GroupFixture() { group = LChartSeriesGroup::initWithXAxisAndYAxisErrorHandler(x, y, LatticeChartLog::logger()); }

    std::shared_ptr<FakeGroupedSeries> add(const std::string& name, Value stack = {})
    {
        auto series = std::make_shared<FakeGroupedSeries>(name, &log);
        series->stack = stack;
        series->stacked = !stack.isNil();
        series->data->dataPoints().push_back(LChartInternalDataPoint::init());
        group->addSeries(series);
        return series;
    }
};

} // namespace

TEST(LChartSeriesGroup, NumbersSlotsAndStacks)
{
    struct Case {
        const char* name;
        std::vector<Value> stacks;
        std::vector<int32_t> slots;
        int32_t numStacks;
    };
    const Case cases[] = {
        { "two share a stack", { Value(1), Value(1), Value() }, { 0, 0, 1 }, 1 },
        { "two stacks", { Value(1), Value(2) }, { 0, 1 }, 2 },
        { "equal numbers of two kinds share", { Value(2), Value(1), Value(2.0) }, { 0, 1, 0 }, 2 },
        { "none stacked", { Value(), Value() }, { 0, 1 }, 0 },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        GroupFixture f;
        std::vector<std::shared_ptr<FakeGroupedSeries>> series;
        for (size_t i = 0; i < c.stacks.size(); ++i)
            series.push_back(f.add(std::string(1, char('a' + i)), c.stacks[i]));
        f.group->setStacks();
        int32_t slots = *std::max_element(c.slots.begin(), c.slots.end()) + 1;
        for (size_t i = 0; i < series.size(); ++i) {
            EXPECT_EQ(series[i]->slot, c.slots[i]) << i;
            EXPECT_EQ(series[i]->count, slots) << i;
            if (c.stacks[i].isNil()) {
                EXPECT_FALSE(series[i]->stacked);
            }
        }
        EXPECT_EQ(f.group->numStacks(), c.numStacks);
        EXPECT_EQ(f.group->seriesAreStacked(), c.numStacks > 0);
        EXPECT_EQ(series.front()->group.lock(), f.group);
    }
}

TEST(LChartSeriesGroup, TakesClassAndOrientationFromTheFirstSeriesAndRefusesForeignClasses)
{
    GroupFixture f;
    auto first = std::make_shared<FakeGroupedSeries>("a", &f.log);
    first->seriesOrientation = 1;
    f.group->addSeries(first);
    EXPECT_EQ(f.group->seriesClass(), LChartRange::classObject());
    EXPECT_EQ(f.group->seriesOrientation(), 1);

    auto subclass = std::make_shared<FakeGroupedSeries>("b", &f.log);
    subclass->cls = LChartNumberRange::classObject();
    f.group->addSeries(subclass);
    EXPECT_EQ(f.group->groupedSeries().size(), 2u);
    EXPECT_EQ(f.group->seriesOrientation(), 1);

    FatalErrorsThrow fatal;
    auto foreign = std::make_shared<FakeGroupedSeries>("c", &f.log);
    foreign->cls = LChartAxis::classObject();
    try {
        f.group->addSeries(foreign);
        FAIL() << "a foreign series was added";
    } catch (const ChartFatalError& error) {
        EXPECT_NE(std::string(error.what()).find("Cannot add series of type LChartAxis to group of type LChartRange"),
            std::string::npos);
    }
}

TEST(LChartSeriesGroup, DrawsStacksLastMemberFirstAndSingleSlotsInGroupOrder)
{
    {
        GroupFixture f;
        f.add("a", Value(1));
        f.add("b", Value(1));
        f.add("c");
        f.group->setStacks();
        f.group->drawSeriesOnChart(&f.chart);
        EXPECT_EQ(f.log, (std::vector<std::string> { "draw b", "draw a", "draw c" }));
    }
    {
        GroupFixture f;
        f.add("a", Value(1));
        f.add("b", Value(2));
        f.group->setStacks();
        f.group->drawSeriesOnChart(&f.chart);
        EXPECT_EQ(f.log, (std::vector<std::string> { "draw a", "draw b" }));
    }
}

TEST(LChartSeriesGroup, AnswersWhetherAnotherFrameIsWantedAndSkipsDelayedSeries)
{
    GroupFixture f;
    auto a = f.add("a");
    auto b = f.add("b");
    f.group->setStacks();
    b->delay = true;
    EXPECT_FALSE(f.group->drawSeriesOnChart(&f.chart));
    EXPECT_EQ(f.log, (std::vector<std::string> { "draw a" }));
    a->entering = true;
    EXPECT_TRUE(f.group->drawSeriesOnChart(&f.chart));
}

TEST(LChartSeriesGroup, MapsStacksTogetherAndDropsStacksOnLogarithmicAxes)
{
    {
        GroupFixture f;
        f.add("a", Value(1));
        f.add("b");
        f.add("c", Value(1));
        auto hidden = f.add("d", Value(1));
        hidden->isHidden = true;
        f.group->setStacks();
        f.group->mapSeries();
        EXPECT_EQ(f.log, (std::vector<std::string> { "single b", "stack ac" }));
    }
    {
        GroupFixture f;
        f.y = LChartLogarithmicAxis::init();
        f.group = LChartSeriesGroup::initWithXAxisAndYAxisErrorHandler(f.x, f.y, LatticeChartLog::logger());
        auto a = f.add("a", Value(1));
        a->recalc = true;
        f.group->setStacks();
        EXPECT_EQ(f.group->numStacks(), 1);
        f.group->mapSeries();
        EXPECT_TRUE(a->stack.isNil());
        EXPECT_FALSE(a->stacked);
        EXPECT_EQ(f.group->numStacks(), 0);
        EXPECT_FALSE(a->recalc);
        EXPECT_EQ(f.log, (std::vector<std::string> { "single a" }));
    }
}

TEST(LChartSeriesGroup, MapsAppendedPointsOfAStackThroughItsInvalidBins)
{
    GroupFixture f;
    auto a = f.add("a", Value(1));
    f.add("b", Value(1.0));
    f.add("c", Value(2));
    f.add("d", Value(1))->isHidden = true;
    auto single = f.add("e");
    a->bins = { Value(0), Value(64) };
    f.group->mapDataPointsInSeries(a->data->dataPoints(), a);
    f.group->mapDataPointsInSeries(single->data->dataPoints(), single);
    EXPECT_EQ(f.log, (std::vector<std::string> { "bins 2 ab", "single e" }));
}

TEST(LChartSeriesGroup, HidesTheRestOfAStackWhileAMemberEntersAndReleasesItAfterwards)
{
    GroupFixture f;
    auto a = f.add("a", Value(1));
    auto b = f.add("b", Value(1));
    auto c = f.add("c", Value(1));
    b->entering = true;
    b->recalc = true;
    EXPECT_TRUE(f.group->requiresRecalculation());
    EXPECT_TRUE(f.group->aSeriesIsEntering());
    EXPECT_TRUE(f.group->aSeriesIsExiting());
    EXPECT_TRUE(a->isHidden);
    EXPECT_TRUE(a->reenter);
    EXPECT_TRUE(c->isHidden);
    EXPECT_FALSE(b->isHidden);
    EXPECT_TRUE(b->delay);

    // Once nothing asks for re-mapping and nothing exits, the entering member goes ahead.
    b->recalc = false;
    b->isHidden = true;
    EXPECT_FALSE(f.group->requiresRecalculation());
    EXPECT_FALSE(f.group->aSeriesIsExiting());
    EXPECT_FALSE(b->isHidden);
    EXPECT_FALSE(b->delay);
}

TEST(LChartSeriesGroup, ChoosesEachSeriesBaseline)
{
    struct Case {
        const char* name;
        bool log;
        Value own;
        bool stacked;
        bool barColumn;
        double expected;
    };
    const Case cases[] = {
        { "line without a baseline starts at the default minimum", false, Value(), false, false, 10 },
        { "column without a baseline uses the axis baseline", false, Value(), false, true, 0 },
        { "stacked without a baseline uses the axis baseline", true, Value(), true, false, 1 },
        { "own baseline, stacked, is taken as it is", true, Value(100), true, false, 100 },
        { "own baseline, single, goes through the axis", true, Value(100), false, false, 2 },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        GroupFixture f;
        if (c.log) {
            f.y = LChartLogarithmicAxis::init();
            f.group = LChartSeriesGroup::initWithXAxisAndYAxisErrorHandler(f.x, f.y, LatticeChartLog::logger());
        }
        f.y->setDefaultRangeInternal(LChartNumberRange::initWithMinimumAndMaximum(Value(10), Value(50)));
        auto series = f.add("a");
        series->ownBaseline = c.own;
        series->stacked = c.stacked;
        series->barColumn = c.barColumn;
        EXPECT_DOUBLE_EQ(f.group->baselineForSeries(*series), c.expected);
        f.group->setStacks();
        series->stacked = c.stacked;
        f.group->drawSeriesOnChart(&f.chart);
        EXPECT_FLOAT_EQ(series->drawnBaseline, static_cast<float>(c.expected));
    }
}

TEST(LChartSeriesGroup, TranslatesTheVisibleRangesIntoTheDrawingSurface)
{
    GroupFixture f;
    f.x->setAxisRangeInternal(LChartNumberRange::initWithMinimumAndMaximum(Value(20), Value(120)));
    f.y->setAxisRangeInternal(LChartNumberRange::initWithMinimumAndMaximum(Value(-4), Value(6)));
    f.chart.drawer.bounds = { { 0, 0 }, { 200, 100 } };
    LChartGLTranslation t = f.group->translationForChart(&f.chart);
    EXPECT_FLOAT_EQ(t.xScale, 50);
    EXPECT_FLOAT_EQ(t.xOffset, -80);
    EXPECT_FLOAT_EQ(t.yScale, 5);
    EXPECT_FLOAT_EQ(t.yOffset, -54);

    // The constant surface of the chart view: clip x = (c - xOffset) / xScale - 1.
    f.chart.drawer.bounds = { { -500, -500 }, { 500, 500 } };
    t = f.group->translationForChart(&f.chart);
    EXPECT_FLOAT_EQ((20 - t.xOffset) / t.xScale - 1, -1);
    EXPECT_FLOAT_EQ((120 - t.xOffset) / t.xScale - 1, 1);

    // No surface size yet: finite values, the same as the limit of the formula.
    f.chart.drawer.bounds = { { 0, 0 }, { 0, 0 } };
    t = f.group->translationForChart(&f.chart);
    EXPECT_FLOAT_EQ(t.xScale, 50);
    EXPECT_FLOAT_EQ(t.xOffset, 20);
    f.chart.hasView = false;
    t = f.group->translationForChart(&f.chart);
    EXPECT_FLOAT_EQ(t.yScale, 5);
    EXPECT_FLOAT_EQ(t.yOffset, -4);
}

TEST(LChartSeriesGroup, ReportsTheRangeItsShownSeriesCover)
{
    GroupFixture f;
    auto a = f.add("a");
    a->visible = LChartNumberRange::initWithMinimumAndMaximum(Value(3), Value(8));
    a->isHidden = true;
    auto range = f.group->visibleRangeForAxis(*f.y);
    EXPECT_TRUE(range->minimum().isNil());
    EXPECT_TRUE(range->maximum().isNil());

    a->exiting = true;
    auto b = f.add("b");
    b->visible = LChartNumberRange::initWithMinimumAndMaximum(Value(-2), Value(5));
    f.add("c");
    range = f.group->visibleRangeForAxis(*f.y);
    EXPECT_DOUBLE_EQ(range->min(), -2);
    EXPECT_DOUBLE_EQ(range->max(), 8);
}

namespace {

// A series of the kind through the points, with the stack index when one is given.
template <typename Series>
Ref<Series> seriesThrough(const std::vector<std::pair<double, double>>& points, Value stack = {})
{
    auto series = Series::init();
    for (auto [x, y] : points) {
        auto p = LChartInternalDataPoint::init();
        p->setXValue(Value(x));
        p->setYValue(Value(y));
        series->addDataPoint(p);
    }
    if (!stack.isNil())
        series->setStackIndex(stack);
    return series;
}

} // namespace

TEST(LChartSeriesGroup, GroupsMapsAndDrawsRealLineSeries)
{
    GroupFixture f;
    f.x->setChart(&f.chart);
    f.y->setChart(&f.chart);
    f.y->setAxisOrientation(1);
    auto lower = seriesThrough<LChartLineSeries>({ { 0, 1 }, { 1, 2 }, { 2, 3 } });
    auto upper = seriesThrough<LChartLineSeries>({ { 0, 0 }, { 2, -1 }, { 4, -2 } });
    f.group->addSeries(lower);
    f.group->addSeries(upper);
    EXPECT_EQ(f.group->seriesClass(), LChartLineSeries::classObject());
    EXPECT_EQ(lower->seriesGroup().lock(), f.group);

    f.group->setStacks();
    EXPECT_EQ(upper->index(), 1);
    EXPECT_EQ(upper->numSeries(), 2);
    lower->calcMinMax();
    upper->calcMinMax();
    f.group->mapSeries();
    const auto& mapped = upper->dataSeries()->dataPoints();
    EXPECT_DOUBLE_EQ(mapped[2]->xCoord(), 4);
    EXPECT_DOUBLE_EQ(mapped[2]->yCoord(), -2);

    // The group's ranges cover both series on each axis.
    auto onX = f.group->visibleRangeForAxis(*f.x);
    auto onY = f.group->visibleRangeForAxis(*f.y);
    ASSERT_TRUE(onX && onY);
    EXPECT_DOUBLE_EQ(onX->min(), 0);
    EXPECT_DOUBLE_EQ(onX->max(), 4);
    EXPECT_DOUBLE_EQ(onY->min(), -2);
    EXPECT_DOUBLE_EQ(onY->max(), 3);

    // Drawing hands both series' lines to the surface once; a second pass has nothing invalid.
    f.group->drawSeriesOnChart(&f.chart);
    size_t drawn = f.chart.drawer.calls.size();
    EXPECT_GT(drawn, 0u);
    EXPECT_TRUE(lower->invalidBinKeys().empty());
    f.group->drawSeriesOnChart(&f.chart);
    for (size_t i = drawn; i < f.chart.drawer.calls.size(); ++i)
        EXPECT_EQ(f.chart.drawer.calls[i].primitive, "updateSeriesWithTranslation");

    // A column series is not a line series.
    FatalErrorsThrow fatal;
    EXPECT_THROW(f.group->addSeries(LChartColumnSeries::init()), ChartFatalError);
}

TEST(LChartSeriesGroup, StacksRealLineSeriesOnTheSeriesBelow)
{
    struct Case {
        const char* name;
        std::vector<std::pair<double, double>> lower;
        std::vector<double> upperCoords;
        std::vector<double> lowCoords;
    };
    const Case cases[] = {
        { "points at every x", { { 1, 1 }, { 2, 2 }, { 3, 3 } }, { 11, 22, 33 }, { 1, 2, 3 } },
        { "the lower series interpolated where it has no point", { { 1, 1 }, { 3, 3 } }, { 11, 22, 33 }, { 1, 2, 3 } },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        GroupFixture f;
        f.y->setAxisOrientation(1);
        auto lower = seriesThrough<LChartLineSeries>(c.lower, Value(1));
        auto upper = seriesThrough<LChartLineSeries>({ { 1, 10 }, { 2, 20 }, { 3, 30 } }, Value(1));
        f.group->addSeries(lower);
        f.group->addSeries(upper);
        f.group->setStacks();
        lower->calcMinMax();
        upper->calcMinMax();
        f.group->mapSeries();

        const auto& points = upper->dataSeries()->dataPoints();
        auto bin = upper->dataBins().objectAtIndexAs<LChartSeriesDataBin>(0);
        ASSERT_EQ(bin->lowDataPoints().size(), 3u);
        for (size_t i = 0; i < 3; ++i) {
            EXPECT_DOUBLE_EQ(points[i]->yCoord(), c.upperCoords[i]) << i;
            // The point keeps its own value; only its drawing position is raised.
            EXPECT_DOUBLE_EQ(points[i]->yValue().doubleValue(), 10.0 * (i + 1)) << i;
            EXPECT_DOUBLE_EQ(bin->lowDataPoints()[i]->yCoord(), c.lowCoords[i]) << i;
        }
        ASSERT_TRUE(upper->stackedRange());
        EXPECT_DOUBLE_EQ(upper->stackedRange()->min(), 1);
        EXPECT_DOUBLE_EQ(upper->stackedRange()->max(), 33);
        EXPECT_TRUE(upper->isStacked());
        // The group's range on y covers the top of the stack and the baseline.
        auto onY = f.group->visibleRangeForAxis(*f.y);
        EXPECT_DOUBLE_EQ(onY->min(), 0);
        EXPECT_DOUBLE_EQ(onY->max(), 33);
    }

    // A point appended to the upper series is stacked through its invalid bin alone.
    {
        GroupFixture f;
        f.y->setAxisOrientation(1);
        auto lower = seriesThrough<LChartLineSeries>({ { 1, 1 }, { 2, 2 }, { 4, 4 } }, Value(1));
        auto upper = seriesThrough<LChartLineSeries>({ { 1, 10 }, { 2, 20 } }, Value(1));
        f.group->addSeries(lower);
        f.group->addSeries(upper);
        f.group->setStacks();
        f.group->mapSeries();
        upper->clearInvalidBins();
        auto added = LChartInternalDataPoint::init();
        added->setXValue(Value(4));
        added->setYValue(Value(40));
        upper->addDataPoint(added);
        f.group->mapDataPointsInSeries({ added }, upper);
        EXPECT_DOUBLE_EQ(added->yCoord(), 44);
        EXPECT_DOUBLE_EQ(upper->dataSeries()->dataPoints()[1]->yCoord(), 22);
    }

    // A stack of one is mapped through the stacking pass but is not marked stacked.
    GroupFixture f;
    f.y->setAxisOrientation(1);
    auto alone = seriesThrough<LChartLineSeries>({ { 1, 5 } }, Value(2));
    f.group->addSeries(alone);
    f.group->setStacks();
    alone->calcMinMax();
    f.group->mapSeries();
    EXPECT_FALSE(alone->isStacked());
    EXPECT_DOUBLE_EQ(alone->dataSeries()->dataPoints()[0]->yCoord(), 5);
}

TEST(LChartSeriesGroup, StacksColumnsAndPlacesSideBySideColumnsInTheirSlots)
{
    auto column = [](const std::vector<std::pair<double, double>>& points, Value stack) {
        return seriesThrough<LChartColumnSeries>(points, stack);
    };
    {
        GroupFixture f;
        f.y->setAxisOrientation(1);
        auto lower = column({ { 1, 2 }, { 2, 4 } }, Value(1));
        auto upper = column({ { 1, 5 }, { 2, -1 } }, Value(1));
        f.group->addSeries(lower);
        f.group->addSeries(upper);
        f.group->setStacks();
        lower->calcMinMax();
        upper->calcMinMax();
        f.group->mapSeries();
        const auto& points = upper->dataSeries()->dataPoints();
        EXPECT_DOUBLE_EQ(points[0]->yCoord(), 7);
        EXPECT_DOUBLE_EQ(points[1]->yCoord(), 3);
        auto bin = upper->dataBins().objectAtIndexAs<LChartSeriesDataBin>(0);
        ASSERT_EQ(bin->lowDataPoints().size(), 2u);
        EXPECT_DOUBLE_EQ(bin->lowDataPoints()[0]->yCoord(), 2);
        EXPECT_DOUBLE_EQ(bin->lowDataPoints()[1]->yCoord(), 4);
        // On y the stack reaches from the baseline to its top.
        auto onY = f.group->visibleRangeForAxis(*f.y);
        EXPECT_DOUBLE_EQ(onY->min(), 0);
        EXPECT_DOUBLE_EQ(onY->max(), 7);
    }
    {
        // Two unstacked columns split a slot; on x their range grows by half a slot each way.
        GroupFixture f;
        f.y->setAxisOrientation(1);
        auto left = column({ { 1, 2 }, { 2, 4 } }, Value());
        auto right = column({ { 1, 3 }, { 2, 1 } }, Value());
        f.group->addSeries(left);
        f.group->addSeries(right);
        f.group->setStacks();
        f.x->setBarColSpacing(1);
        EXPECT_DOUBLE_EQ(left->dataValueAdjustForAxis(*f.x), -0.25);
        EXPECT_DOUBLE_EQ(right->dataValueAdjustForAxis(*f.x), 0.25);
        EXPECT_DOUBLE_EQ(right->dataValueAdjustForAxis(*f.y), 0);
        left->calcMinMax();
        auto onX = left->visibleRangeOnAxis(*f.x);
        EXPECT_DOUBLE_EQ(onX->min(), 0.5);
        EXPECT_DOUBLE_EQ(onX->max(), 2.5);
    }
}
