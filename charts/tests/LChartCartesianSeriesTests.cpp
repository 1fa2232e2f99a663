#include "charts/LChartCartesianSeries.h"

#include "charts/LChartDataSeries.h"
#include "charts/LChartInternalDataPoint.h"
#include "charts/LChartMutableOrderedSet.h"
#include "charts/LChartOrderedDictionary.h"
#include "charts/LChartRange.h"
#include "charts/LChartSeriesDataBin.h"
#include "charts/tests/ChartSeriesFixtures.h"
#include "charts/tests/RecordingDrawer.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace {

// A series that draws each bin as one line strip of its points' coordinates.
class StripSeries final : public LChartCartesianSeries {
    VX_OBJECT(StripSeries, LChartCartesianSeries)
public:
    explicit StripSeries(Passkey key)
        : LChartCartesianSeries(key)
    {
    }
    static Ref<StripSeries> init(std::shared_ptr<LChartErrorHandler> handler, bool drawsBins = true)
    {
        auto series = make<StripSeries>();
        series->m_drawsBins = drawsBins;
        series->initCartesianSeries(std::move(handler));
        return series;
    }

protected:
    RenderIndices emptyRenderIndexDict() const override { return { { "Lines", 0 } }; }
    void drawBin(LChartSeriesDataBin& bin, LChartDrawer& drawer, float baseline, const LChartGLTranslation& translation,
        RenderIndices& slots) override
    {
        if (!m_drawsBins) {
            LChartCartesianSeries::drawBin(bin, drawer, baseline, translation, slots);
            return;
        }
        std::vector<float> data;
        for (const auto& point : bin.dataPoints())
            data.insert(data.end(), { point->xValue().floatValue(), point->yValue().floatValue() });
        int32_t unused = 0;
        drawer.drawLineStrip(data.data(), this, &slots["Lines"], &unused, &unused, static_cast<int32_t>(data.size()),
            nullptr, nullptr, 1, baseline, 1, translation);
    }

private:
    bool m_drawsBins { true };
};

Ref<LChartInternalDataPoint> point(double x, double y)
{
    auto p = LChartInternalDataPoint::init();
    p->setXValue(Value(x));
    p->setYValue(Value(y));
    return p;
}

} // namespace

TEST(LChartCartesianSeries, NewBinsTakeTheNextSlotsAndRedrawnBinsKeepTheirs)
{
    auto handler = std::make_shared<RecordingErrorHandler>();
    auto series = StripSeries::init(handler);
    series->setNumberOfDataPointsInBin(2);
    for (int i = 0; i < 6; ++i)
        series->addDataPoint(point(i, i));
    RecordingDrawer drawer;
    EXPECT_FALSE(series->drawWithDrawerWithGLBaselineAndGLTranslation(drawer, 0, {}));
    ASSERT_EQ(drawer.calls.size(), 3u);
    for (int32_t i = 0; i < 3; ++i)
        EXPECT_EQ(drawer.calls[static_cast<size_t>(i)].slots[0], i);
    EXPECT_EQ(series->nextAvailableRenderDataIndices().at("Lines"), 3);
    EXPECT_EQ(series->invalidBins()->count(), 0u);

    drawer.calls.clear();
    series->invalidateBin(series->dataBins().objectAtIndexAs<LChartSeriesDataBin>(1));
    series->drawWithDrawerWithGLBaselineAndGLTranslation(drawer, 0, {});
    ASSERT_EQ(drawer.calls.size(), 1u);
    EXPECT_EQ(drawer.calls[0].slots[0], 1);
    EXPECT_EQ(series->nextAvailableRenderDataIndices().at("Lines"), 3);

    // A bin emptied from the start is drawn empty once (dropping its geometry), then removed.
    series->removeDataPoint(series->dataSeries()->dataPoints().front());
    series->removeDataPoint(series->dataSeries()->dataPoints().front());
    drawer.calls.clear();
    series->drawWithDrawerWithGLBaselineAndGLTranslation(drawer, 0, {});
    ASSERT_EQ(drawer.calls.size(), 1u);
    EXPECT_TRUE(drawer.calls[0].data.empty());
    EXPECT_EQ(series->dataBins().count(), 2u);

    LChartGLTranslation moved { 2, 3, 4, 5 };
    series->updateWithDrawerAndGLTranslation(drawer, moved);
    EXPECT_EQ(drawer.calls.back().translation.xOffset, 4);
}

TEST(LChartCartesianSeries, SlotsDistancesAndStackedRanges)
{
    auto handler = std::make_shared<RecordingErrorHandler>();
    auto series = StripSeries::init(handler);
    struct Slot {
        int32_t numSeries, index;
        float offset;
    };
    const Slot slots[] = { { 3, 0, -1 }, { 3, 2, 1 }, { 4, 0, -1 }, { 4, 3, 2 }, { 2, 0, 0 }, { 2, 1, 1 } };
    for (const auto& s : slots) {
        SCOPED_TRACE(std::to_string(s.numSeries) + " " + std::to_string(s.index));
        series->setNumSeries(s.numSeries);
        series->setIndex(s.index);
        EXPECT_EQ(series->offsetFromCentre(), s.offset);
    }

    const LChartPoint a { 4, 6 }, b { 1, 2 }, scalars { 3, 4 };
    EXPECT_DOUBLE_EQ(series->distanceToCoordFromCoordWithScalarsWithDistanceMode(a, b, scalars, 0), std::sqrt(2.0));
    EXPECT_DOUBLE_EQ(series->distanceToCoordFromCoordWithScalarsWithDistanceMode(a, b, scalars, 1), 1);
    EXPECT_DOUBLE_EQ(series->distanceToCoordFromCoordWithScalarsWithDistanceMode(a, b, scalars, 2), 1);
    EXPECT_THROW(series->distanceToCoordFromCoordWithScalarsWithDistanceMode(a, b, scalars, 3), std::runtime_error);

    series->checkForNewStackedRangeMinAndMax(1, 11);
    series->checkForNewStackedRangeMinAndMax(33, 3);
    EXPECT_EQ(series->stackedRange()->minimum().doubleValue(), 1);
    EXPECT_EQ(series->stackedRange()->maximum().doubleValue(), 33);
    series->clearStackedRange();
    EXPECT_FALSE(series->stackedRange());

    series->setStackIndex(Value(1));
    EXPECT_TRUE(series->stackIndex().isNil());
    EXPECT_EQ(handler->errors, std::vector<std::string> { "Stacking not available for this series type." });

    series->setAnimationDuration(0.75f);
    EXPECT_DOUBLE_EQ(series->exitAnimation()->duration().doubleValue(), 0.75);
}

TEST(LChartCartesianSeries, TheBaseClassDrawsNothingAndSaysSo)
{
    auto handler = std::make_shared<RecordingErrorHandler>();
    auto series = StripSeries::init(handler, false);
    series->addDataPoint(point(1, 1));
    RecordingDrawer drawer;
    series->drawWithDrawerWithGLBaselineAndGLTranslation(drawer, 0, {});
    EXPECT_TRUE(drawer.calls.empty());
    ASSERT_EQ(handler->errors.size(), 1u);
    EXPECT_NE(
        handler->errors[0].find("Should not be rendering the base LChartCartesianSeries class"), std::string::npos);
}

TEST(LChartCartesianSeries, NearestPointCountsScreenDistanceAndKeepsTheEarlierOnATie)
{
    auto series = StripSeries::init(std::make_shared<RecordingErrorHandler>());
    series->addDataPoint(point(0, 10));
    series->addDataPoint(point(10, 0));
    FakeHitTestChart chart(0, 100, 0, 100);
    // On a square plot both points lie 10 away from the origin: the first is kept. A wide plot
    // makes a step in y count for less, a tall one for more.
    const struct {
        CGSize plot;
        double x;
        double distance;
    } cases[] = { { { 100, 100 }, 0, 0.1 }, { { 200, 100 }, 0, 0.05 }, { { 50, 100 }, 10, 0.1 } };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.plot.width);
        chart.glFrame.size = c.plot;
        LChartSeriesDistanceInfo info;
        series->distanceInfoToPointInChartIsOnlySeries(info, { 0, 0 }, chart, false);
        ASSERT_TRUE(info.dataPoint);
        EXPECT_EQ(info.dataPoint->xValue().doubleValue(), c.x);
        EXPECT_DOUBLE_EQ(info.distance, c.distance);
        EXPECT_EQ(info.resolvedPoint.x, c.x);
        EXPECT_EQ(info.resolvedPoint.y, 10 - c.x);
    }

    // Alone, the series is measured along x only.
    chart.glFrame.size = { 100, 100 };
    LChartSeriesDistanceInfo only;
    series->distanceInfoToPointInChartIsOnlySeries(only, { 7, 0 }, chart, true);
    EXPECT_EQ(only.dataPoint->xValue().doubleValue(), 10);
    EXPECT_DOUBLE_EQ(only.distance, 0.03);

    // A stacked series with a baseline is measured from its raised values.
    series->overrideSetStackIndex(Value(1));
    series->setBaseline(Value(20));
    LChartSeriesDistanceInfo stacked;
    series->distanceInfoToPointInChartIsOnlySeries(stacked, { 0, 30 }, chart, false);
    EXPECT_EQ(stacked.dataPoint->xValue().doubleValue(), 0);
    EXPECT_DOUBLE_EQ(stacked.distance, 0);
    EXPECT_EQ(stacked.resolvedPoint.y, 10);

    // Without points nothing is found and the record keeps the largest distance.
    auto empty = StripSeries::init(std::make_shared<RecordingErrorHandler>());
    LChartSeriesDistanceInfo none;
    empty->distanceInfoToPointInChartIsOnlySeries(none, { 0, 0 }, chart, false);
    EXPECT_FALSE(none.dataPoint);
    EXPECT_EQ(none.distance, std::numeric_limits<double>::max());
}
