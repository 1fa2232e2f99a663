#include "charts/LChartDonutSeries.h"

#include "charts/LChartAngler.h"
#include "charts/LChartAnimation.h"
#include "charts/LChartDataSeries.h"
#include "charts/LChartDonutSeriesStyle.h"
#include "charts/LChartInternalDataPoint.h"
#include "charts/LChartPieSeries.h"
#include "charts/tests/ChartSeriesFixtures.h"
#include "charts/tests/RecordingDrawer.h"

#include "uikit/UILabel.h"

#include <gtest/gtest.h>

#include <cmath>
#include <optional>
#include <string>

namespace {

Ref<LChartInternalDataPoint> slice(double value)
{
    auto p = LChartInternalDataPoint::init();
    p->setXValue(Value("slice"));
    p->setYValue(Value(value));
    return p;
}

} // namespace

TEST(LChartDonutSeries, SlicesSweepTheirShareAndBadValuesDrawNothing)
{
    auto handler = std::make_shared<RecordingErrorHandler>();
    auto donut = LChartDonutSeries::init(handler);
    donut->setInnerRadius(20);
    donut->setOuterRadius(40);
    for (double value : { 1.0, -1.0, 3.0 })
        donut->dataSeries()->dataPoints().push_back(slice(value));
    RecordingDrawer drawer;
    donut->drawWithDrawer(drawer);
    ASSERT_EQ(drawer.calls.size(), 3u);
    const auto& points = donut->dataSeries()->dataPoints();
    EXPECT_NEAR(points[0]->yCoord() - points[0]->xCoord(), M_PI / 2, 1e-6);
    // The negative slice is reported and drawn with no sweep.
    EXPECT_EQ(points[1]->yCoord() - points[1]->xCoord(), 0);
    EXPECT_NEAR(points[2]->yCoord(), 2 * M_PI, 1e-5);
    EXPECT_EQ(handler->errors, std::vector<std::string> { "Datapoint.yValue must be positive." });
    EXPECT_EQ(donut->donutCenter().x, 100.5); // the middle of the 200 x 100 surface

    // A ring whose values add up to nothing draws no slice (no NaN angles).
    auto empty = LChartPieSeries::init(handler);
    empty->dataSeries()->dataPoints().push_back(slice(0));
    RecordingDrawer none;
    empty->drawWithDrawer(none);
    empty->updateWithDrawer(none);
    EXPECT_TRUE(none.calls.empty());
}

TEST(LChartDonutSeries, TheOuterArcIsHalfWidthForAPieAndFullForADonutWhateverTheirRadii)
{
    struct Case {
        const char* name;
        bool pie;
        float innerRadius;
        float expected; // width of item 3i + 1 for a crust 6 wide
    };
    const Case cases[] = {
        { "a donut with a hole", false, 20, 6 },
        { "a donut with no hole", false, 0, 6 },
        { "a pie", true, 0, 3 },
        { "a pie given an inner radius", true, 10, 3 },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        auto handler = std::make_shared<RecordingErrorHandler>();
        Ref<LChartDonutSeries> series
            = c.pie ? Ref<LChartDonutSeries>(LChartPieSeries::init(handler)) : LChartDonutSeries::init(handler);
        series->setInnerRadius(c.innerRadius);
        series->setOuterRadius(40);
        series->style()->setCrustThickness(Value(6.0f));
        series->dataSeries()->dataPoints().push_back(slice(1));
        RecordingDrawer drawer;
        series->drawWithDrawer(drawer);
        drawer.calls.clear();
        series->updateWithDrawer(drawer);
        std::vector<float> widths;
        for (const auto& call : drawer.calls)
            if (call.primitive == "updateRadialSeries")
                widths.push_back(call.data[3]);
        ASSERT_EQ(widths.size(), 3u);
        float crust = widths[0];
        ASSERT_GT(crust, 0);
        EXPECT_FLOAT_EQ(widths[1], crust * c.expected / 6);
        EXPECT_FLOAT_EQ(widths[2], crust / 2);
    }
}

TEST(LChartDonutSeries, ProtrusionFollowsTheSelectionStatusAndAShortStatusListReadsAsZero)
{
    auto donut = LChartDonutSeries::init();
    donut->style()->setProtrusion(0);
    donut->selectedStyle()->setProtrusion(10);
    for (double value : { 1.0, 1.0 })
        donut->dataSeries()->dataPoints().push_back(slice(value));
    EXPECT_EQ(donut->datapointProtrusion(1), 0);
    donut->setSelectedStatusAtIndex(0, 1);
    EXPECT_NEAR(donut->datapointProtrusion(0), 10, 1e-3);
    donut->dataSeries()->dataPoints()[1]->setSelected(true);
    donut->resetSelectedStatus();
    EXPECT_EQ(donut->selectedStatus(), (std::vector<float> { 0, 1 }));
}

namespace {

// What a radial series tells its canvas.
class RecordingRadialHost final : public LChartRadialHost {
public:
    void radialSeriesDidEndDecelerating(LChartDonutSeries&) override { events.push_back("rest"); }
    void radialSeriesToggledSelection(LChartDonutSeries&, int32_t index, CGPoint) override
    {
        events.push_back("toggled " + std::to_string(index));
    }
    void radialSeriesNeedsRedraw() override { ++redraws; }
    std::vector<std::string> events;
    int redraws { 0 };
};

// A donut of the given slices whose angles have been worked out by one draw.
Ref<LChartDonutSeries> drawnDonut(std::initializer_list<double> values, RecordingRadialHost& host)
{
    auto donut = LChartDonutSeries::init(std::make_shared<RecordingErrorHandler>());
    for (double value : values)
        donut->dataSeries()->dataPoints().push_back(slice(value));
    donut->resetSelectedStatus();
    donut->setCanvas(&host);
    RecordingDrawer drawer;
    donut->drawWithDrawer(drawer);
    return donut;
}

} // namespace

TEST(LChartDonutSeries, ASpinLosesItsFrictionShareEachFrameAndComesToRest)
{
    struct Case {
        float friction;
        int frames; // frames until the speed falls below 0.2 rad/s
    };
    // 10 x 0.98^n < 0.2 first at n = 194; 10 x 0.5^n < 0.2 first at n = 6.
    for (const Case& c : { Case { 0.02f, 194 }, Case { 0.5f, 6 } }) {
        SCOPED_TRACE(c.friction);
        RecordingRadialHost host;
        auto donut = drawnDonut({ 1, 1 }, host);
        donut->setRotationFriction(c.friction);
        donut->setVelocity(10);
        int frames = 0;
        float rotation = donut->rotation();
        while (donut->rotationVelocity() != 0 && frames < 1000) {
            float before = donut->rotationVelocity();
            EXPECT_TRUE(donut->rotateWithStep(1.0 / 60));
            ++frames;
            if (donut->rotationVelocity() != 0) {
                EXPECT_FLOAT_EQ(donut->rotationVelocity(), before * (1 - c.friction));
            }
        }
        EXPECT_EQ(frames, c.frames);
        EXPECT_NE(donut->rotation(), rotation);
        EXPECT_EQ(host.events, std::vector<std::string> { "rest" });
        EXPECT_FALSE(donut->rotateWithStep(1.0 / 60));
    }

    auto handler = std::make_shared<RecordingErrorHandler>();
    auto donut = LChartDonutSeries::init(handler);
    donut->setRotationFriction(0);
    EXPECT_FLOAT_EQ(donut->rotationFriction(), 0.02f);
    EXPECT_EQ(handler->errors, std::vector<std::string> { "rotationFriction must be greater than zero" });
}

TEST(LChartDonutSeries, ASelectedSliceTurnsTheShortWayToTheSelectedPosition)
{
    struct Case {
        int32_t slice;
        double span; // the slices' middles lie at pi/2 and 3pi/2
    };
    for (const Case& c : { Case { 1, M_PI / 2 }, Case { 0, -M_PI / 2 } }) {
        SCOPED_TRACE(c.slice);
        RecordingRadialHost host;
        auto donut = drawnDonut({ 1, 1 }, host);
        EXPECT_FALSE(donut->selectedPositionSet());
        donut->setSelectedPosition(Value(0.0));
        donut->selectionAnimation()->animationWithCurve(0);
        donut->setSliceAsSelected(c.slice, true);
        EXPECT_TRUE(donut->dataSeries()->dataPoints()[c.slice]->selected());
        EXPECT_EQ(host.events, std::vector<std::string> { "toggled " + std::to_string(c.slice) });
        EXPECT_EQ(host.redraws, 1);
        // Halfway through the (linear) animation the donut has turned half the span.
        auto animation = donut->programmaticPanUserAnimation();
        ASSERT_TRUE(animation);
        animation->setTimeElapsed(Value(animation->duration().doubleValue() / 2));
        EXPECT_TRUE(donut->rotateWithStep(0));
        EXPECT_NEAR(LChartAngler::wrap2PI(static_cast<float>(c.span / 2)), donut->rotation(), 1e-5);
        donut->endAnimation();
        EXPECT_FALSE(donut->rotateWithStep(0));
    }
}

TEST(LChartDonutSeries, SlicesMoveOutOverTheAnimationAndBackInAThirdOfIt)
{
    RecordingRadialHost host;
    auto donut = drawnDonut({ 1, 2 }, host);
    donut->setSliceAsSelected(0, true);
    double duration = donut->selectionAnimation()->duration().doubleValue();
    EXPECT_FLOAT_EQ(static_cast<float>(duration), 2.4f);
    EXPECT_TRUE(donut->moveInOutWithStep(duration / 2));
    EXPECT_FLOAT_EQ(donut->selectedStatus()[0], 0.5f);
    EXPECT_EQ(donut->selectedStatus()[1], 0);
    EXPECT_TRUE(donut->moveInOutWithStep(duration / 2));
    EXPECT_FLOAT_EQ(donut->selectedStatus()[0], 1);
    EXPECT_FALSE(donut->moveInOutWithStep(duration));
    donut->setSliceAsSelected(0, false);
    EXPECT_TRUE(donut->moveInOutWithStep(duration / 6));
    EXPECT_FLOAT_EQ(donut->selectedStatus()[0], 0.5f);
    EXPECT_TRUE(donut->moveInOutWithStep(duration / 6));
    EXPECT_EQ(donut->selectedStatus()[0], 0);

    // While the ring is still growing in, nothing moves.
    auto growing = drawnDonut({ 1 }, host);
    growing->setAnimationEnabled(true);
    growing->dataSeries()->dataPoints()[0]->setSelected(true);
    EXPECT_FALSE(growing->moveInOutWithStep(1));
}

TEST(LChartDonutSeries, ATapOnASpinningRingStopsItUnlessSelectionIsAllowedWhilePanning)
{
    for (bool allowed : { false, true }) {
        SCOPED_TRACE(allowed);
        RecordingRadialHost host;
        auto donut = drawnDonut({ 1, 1, 1 }, host);
        donut->setSelectionEnabledDuringPanning(allowed);
        donut->setVelocity(5);
        donut->setSliceAsSelectedWithTapLocation(2, true, CGPointMake(3, 4));
        EXPECT_EQ(donut->dataSeries()->dataPoints()[2]->selected(), allowed);
        EXPECT_EQ(donut->rotationVelocity(), allowed ? 5 : 0);
        EXPECT_EQ(
            host.events, allowed ? std::vector<std::string> { "toggled 2" } : std::vector<std::string> { "rest" });
    }
    // A hidden ring ignores taps.
    RecordingRadialHost host;
    auto hidden = drawnDonut({ 1 }, host);
    hidden->setHidden(true);
    hidden->setSliceAsSelected(0, true);
    EXPECT_FALSE(hidden->dataSeries()->dataPoints()[0]->selected());
}

TEST(LChartDonutSeries, SlicesAreFoundByAngleAndLabelledAtTheirMiddles)
{
    RecordingRadialHost host;
    auto empty = drawnDonut({}, host);
    EXPECT_EQ(empty->indexOfSliceAtAngle(1), -1);

    auto donut = drawnDonut({ 1, 1, 2 }, host);
    EXPECT_EQ(donut->indexOfSliceAtAngle(0.1), 0);
    EXPECT_EQ(donut->indexOfSliceAtAngle(M_PI * 0.75), 1);
    EXPECT_EQ(donut->indexOfSliceAtAngle(M_PI * 1.5), 2);
    donut->setRotation(static_cast<float>(M_PI / 2));
    EXPECT_EQ(donut->indexOfSliceAtAngle(M_PI / 2 + 0.1), 0);

    // Labels sit halfway across the ring, along the middle of the slice; angle 0 points up and
    // angles grow anticlockwise on screen (y grows downward).
    donut->setRotation(0);
    donut->setInnerRadius(20);
    donut->setOuterRadius(40);
    CGPoint centre = donut->getDonutCenter();
    CGPoint first = donut->getSliceCenter(0); // middle at pi/4: up and to the left
    EXPECT_NEAR(first.x, centre.x - 30 * std::sin(M_PI / 4), 1e-3);
    EXPECT_NEAR(first.y, centre.y - 30 * std::cos(M_PI / 4), 1e-3);
    CGPoint last = donut->getSliceCenter(2); // middle at 3pi/2: to the right
    EXPECT_NEAR(last.x, centre.x + 30, 1e-3);
    EXPECT_NEAR(last.y, centre.y, 1e-3);

    EXPECT_EQ(donut->titleForSliceInLegend(1), "slice");
}

namespace {

class NoChart final : public LChartLoaderHost {
public:
    bool isRadial() const override { return true; }
    void setIsRadial(bool) override { }
    Weak<NSObject> delegate() const override { return {}; }
};

// Answers slice labels through the newer question, the older one, or neither.
class LabelSource final : public LChartDatasource {
public:
    enum class Labels { None, Current, Deprecated } labels { Labels::None };
    int32_t numberOfSeriesInSChart(LChartLoaderHost&) override { return 1; }
    Ref<LChartLoadableSeries> sChartSeriesAtIndex(LChartLoaderHost&, int32_t) override { return nullptr; }
    int32_t sChartNumberOfDataPointsForSeriesAtIndex(LChartLoaderHost&, int32_t) override { return 0; }
    Ref<LChartData> sChartDataPointAtIndexForSeriesAtIndex(LChartLoaderHost&, int32_t, int32_t) override
    {
        return nullptr;
    }
    std::optional<Ref<UILabel>> sChartLabelForSliceAtIndexInRadialSeries(
        LChartLoaderHost&, int32_t index, LChartSeries&) override
    {
        return labels == Labels::Current ? std::optional(made("current", index)) : std::nullopt;
    }
    std::optional<Ref<UILabel>> getLabelsForRadialChartSeriesForIndex(LChartSeries&, int32_t index) override
    {
        return labels == Labels::Deprecated ? std::optional(made("older", index)) : std::nullopt;
    }

private:
    static Ref<UILabel> made(const std::string& kind, int32_t index)
    {
        auto label = UILabel::initWithFrame(CGRectZero);
        label->setText(kind + " " + std::to_string(index));
        return label;
    }
};

} // namespace

TEST(LChartDonutSeries, SliceLabelsComeFromTheDataSourceOrTheLabelFormat)
{
    NoChart chart;
    LabelSource source;
    struct Case {
        LabelSource::Labels labels;
        const char* lastText;
        size_t warnings;
    };
    const Case cases[] = { { LabelSource::Labels::None, "2.0%", 0 }, { LabelSource::Labels::Current, "current 2", 0 },
        { LabelSource::Labels::Deprecated, "older 2", 1 } };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.lastText);
        auto handler = std::make_shared<RecordingErrorHandler>();
        auto donut = LChartDonutSeries::init(handler);
        for (double value : { 1.0, 1.0, 2.0 })
            donut->dataSeries()->dataPoints().push_back(slice(value));
        donut->setLabelFormatString("%.1f%%");
        source.labels = c.labels;
        donut->createLabelsOnChart(&source, chart);
        ASSERT_EQ(donut->labels().size(), 3u);
        EXPECT_EQ(donut->labels()[2]->text(), c.lastText);
        // The older question is warned of once, not once per slice.
        EXPECT_EQ(handler->errors.size(), c.warnings);
        donut->removeLabels();
        EXPECT_TRUE(donut->labels().empty());
    }
}
