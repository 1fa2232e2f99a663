#include "charts/LChartAxis.h"

#include "charts/LChartAxisStyle.h"
#include "charts/LChartCategoryAxis.h"
#include "charts/LChartNumberAxis.h"
#include "charts/LChartNumberRange.h"
#include "charts/LChartTickMark.h"
#include "charts/LChartTitle.h"
#include "charts/tests/ChartAxisFixtures.h"
#include "charts/tests/ChartTestSupport.h"
#include "foundation/NSString.h"
#include "graphics/UIColor.h"
#include "graphics/UIFont.h"
#include "testing/LogCapture.h"
#include "uikit/UILabel.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

// Geometry comparisons for the expectations below.
static bool operator==(CGPoint a, CGPoint b)
{
    return a.x == b.x && a.y == b.y;
}
static bool operator==(CGSize a, CGSize b)
{
    return a.width == b.width && a.height == b.height;
}
static void PrintTo(CGPoint p, std::ostream* os)
{
    *os << "(" << p.x << ", " << p.y << ")";
}
static void PrintTo(CGSize s, std::ostream* os)
{
    *os << s.width << " x " << s.height;
}

namespace {

// An X (or Y) number axis over a plot area at (40, 10) sized 400 by 300, with major and minor
// ticks, labels, gridlines and stripes switched on. Major tick lines are 2 wide, so a tick's
// pixel is ceil(v / span × 400 + 1) along X.
struct TickFixture {
    FakeAxisChart chart;
    Ref<LChartNumberAxis> axis { LChartNumberAxis::init() };

    explicit TickFixture(double min = 0, double max = 100, bool xAxis = true)
    {
        chart.drawer.frameRect = { { 40, 10 }, { 400, 300 } };
        chart.yAxesSpace = 40;
        axis->setAxisOrientation(xAxis ? 0 : 1);
        axis->setAnimationEnabled(false);
        axis->setAllowPanningOutOfMaxRange(true);
        axis->setChart(&chart);
        axis->setRangeInternalWithMinimumAndMaximum(Value(min), Value(max));
        const auto& style = axis->style();
        style->setLineWidth(Value(1.0f));
        style->setLineColor(UIColor::blackColor());
        for (const auto& tick : { style->majorTickStyle(), style->minorTickStyle() }) {
            tick->setShowTicks(true);
            tick->setLineLength(Value(6.0f));
            tick->setTickGap(Value(2.0f));
            tick->setLineWidth(Value(2.0f));
            tick->setLabelFont(UIFont::systemFontOfSize(12));
        }
        style->majorTickStyle()->setShowLabels(true);
        style->majorGridLineStyle()->setShowMajorGridLines(true);
        style->majorGridLineStyle()->setLineWidth(Value(1.0f));
        style->gridStripeStyle()->setShowGridStripes(true);
        style->gridStripeStyle()->setStripeColor(UIColor::whiteColor());
        style->gridStripeStyle()->setAlternateStripeColor(UIColor::redColor());
        axis->spaceRequiredToDrawWithTitle(false);
    }
    ~TickFixture() { axis->setChart(nullptr); }

    void draw(bool redraw = false)
    {
        axis->drawTickMarksWithGLFrameUsingAxisDrawerNeedToRedrawLabels(chart.drawer.frameRect, &chart.drawer, redraw);
    }

    std::vector<double> values(bool major) const
    {
        std::vector<double> out;
        for (const auto& tick : axis->tickMarks()) {
            if (tick->isMajor() == major)
                out.push_back(tick->value());
        }
        return out;
    }

    // Values of the major ticks that carry a label.
    std::vector<double> labelled() const
    {
        std::vector<double> out;
        for (const auto& tick : axis->tickMarks()) {
            if (tick->isMajor() && tick->tickLabel())
                out.push_back(tick->value());
        }
        return out;
    }

    Ref<LChartTickMark> tickAt(double value) const
    {
        for (const auto& tick : axis->tickMarks()) {
            if (tick->value() == value)
                return tick;
        }
        return nullptr;
    }
};

// How many logged messages contain the text.
long logged(const LogCapture& log, const std::string& text)
{
    auto messages = log.messages();
    return std::count_if(
        messages.begin(), messages.end(), [&](const std::string& m) { return m.find(text) != std::string::npos; });
}

std::vector<double> stepped(double from, double to, double step)
{
    std::vector<double> out;
    for (double v = from; v <= to + step / 2; v += step)
        out.push_back(v);
    return out;
}

} // namespace

TEST(LChartAxis, GeneratesMajorsUntilTwoGhostsThenMinorsWithinTheRange)
{
    TickFixture f;
    f.axis->setMajorTickFrequency(Value(10));
    f.axis->setMinorTickFrequency(Value(5));
    f.draw();
    // 110 and 120 lie beyond the axis end: they are the two ghosts that end the loop.
    EXPECT_EQ(f.values(true), stepped(0, 120, 10));
    EXPECT_EQ(f.labelled(), stepped(0, 100, 10));
    EXPECT_EQ(f.values(false), stepped(0, 100, 5));
    EXPECT_EQ(f.tickAt(40)->tickLabel()->text(), "40");
    EXPECT_EQ(f.tickAt(40)->tickLabel()->superview(), f.chart.overlay);
    EXPECT_TRUE(f.axis->hasTicks());
    EXPECT_FALSE(f.tickAt(110)->tickMarkView());
}

TEST(LChartAxis, PlacesTickLinesGridlinesAndStripesAroundThePlotArea)
{
    TickFixture f;
    f.axis->setMajorTickFrequency(Value(10));
    f.axis->setMinorTickFrequency(Value(5));
    f.draw();

    // The tick at 10: pixel ceil(40 + 1) = 41, so x = 41 + 40 − 1 = 80; it hangs below the plot
    // (y = 10 + 300 + line 1 + tick 6 + gap 2 = 319).
    auto major = f.tickAt(10);
    EXPECT_FLOAT_EQ(major->tickMarkX(), 80);
    EXPECT_FLOAT_EQ(major->tickMarkY(), 319);
    EXPECT_EQ(major->tickMarkView()->center(), (CGPoint { 80, 314 }));
    EXPECT_EQ(major->tickMarkView()->bounds().size, (CGSize { 2, 6 }));
    // A minor tick covers only the outer half of a major tick's length.
    auto minor = f.tickAt(15);
    EXPECT_EQ(minor->tickMarkView()->center(), (CGPoint { minor->tickMarkX(), 312.5f }));
    EXPECT_EQ(minor->tickMarkView()->bounds().size, (CGSize { 2, 3 }));
    EXPECT_FALSE(minor->gridLineView());
    EXPECT_FALSE(minor->gridStripeView());

    EXPECT_EQ(major->gridLineView()->superview(), f.chart.underlay);
    EXPECT_EQ(major->gridLineView()->center(), (CGPoint { 80, 160 }));
    EXPECT_EQ(major->gridLineView()->bounds().size, (CGSize { 1, 300 }));

    // Each major tick owns the stripe back to the previous major; the first starts at the
    // plot's left edge, where the tick at 0 stands, so it has none.
    EXPECT_FALSE(f.tickAt(0)->gridStripeView());
    auto stripe = major->gridStripeView();
    ASSERT_TRUE(stripe);
    EXPECT_EQ(stripe->center(), (CGPoint { 60, 160 }));
    EXPECT_EQ(stripe->bounds().size, (CGSize { 40, 300 }));
    EXPECT_TRUE(stripe->backgroundColor()->isEqual(UIColor::redColor().get()));
    EXPECT_TRUE(f.tickAt(20)->gridStripeView()->backgroundColor()->isEqual(UIColor::whiteColor().get()));

    f.axis->drawAxisWithGLFrameUsingAxisDrawer(f.chart.drawer.frameRect, &f.chart.drawer);
    const auto& line = f.axis->axisLineView();
    EXPECT_EQ(line->superview(), f.chart.overlay);
    EXPECT_EQ(line->center(), (CGPoint { 240, 310.5f }));
    EXPECT_EQ(line->bounds().size, (CGSize { 400, 1 }));

    f.axis->removeViews();
    EXPECT_FALSE(line->superview());
    EXPECT_FALSE(major->gridLineView()->superview());
}

TEST(LChartAxis, PlacesYAxisTicksLeftOfThePlotWithRightAlignedLabels)
{
    TickFixture f(0, 100, false);
    f.axis->setMajorTickFrequency(Value(50));
    f.draw();
    auto tick = f.tickAt(50);
    ASSERT_TRUE(tick && tick->tickLabel());
    CGRect label = tick->tickLabel()->frame();
    // Pixel from the top: ceil(150 − 1) = 149; the label is centred on it (+ half the line).
    EXPECT_FLOAT_EQ(label.origin.y + label.size.height / 2, 149 + 10 + 1);
    EXPECT_FLOAT_EQ(label.origin.x + label.size.width, 40 - 1 - 8);
    EXPECT_FLOAT_EQ(tick->tickMarkX(), 31);
    EXPECT_EQ(tick->tickLabel()->textAlignment(), NSTextAlignmentRight);
    EXPECT_EQ(tick->gridLineView()->bounds().size, (CGSize { 400, 1 }));

    f.axis->drawAxisWithGLFrameUsingAxisDrawer(f.chart.drawer.frameRect, &f.chart.drawer);
    EXPECT_EQ(f.axis->axisLineView()->center(), (CGPoint { 39.5f, 160.5f }));
    EXPECT_EQ(f.axis->axisLineView()->bounds().size, (CGSize { 1, 301 }));
}

TEST(LChartAxis, ClipsLabelsAtEachEndByMode)
{
    struct Case {
        int32_t mode;
        bool labelAtEnds, enabledAtEnds;
        double lastTick;
    };
    // The ticks at 0 and 100 sit at pixels 1 and 401 of a 400-wide axis (401 is its end with
    // half the tick line): inside, but half a label would reach past the ends.
    // A clipped end tick is the first of the two ghosts that end generation.
    const Case cases[]
        = { { 0, true, true, 120 }, { 1, false, true, 110 }, { 2, false, false, 110 }, { 3, true, true, 120 } };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.mode);
        TickFixture f;
        f.axis->setMajorTickFrequency(Value(10));
        f.axis->setTickLabelClippingModeLow(c.mode);
        f.axis->setTickLabelClippingModeHigh(c.mode);
        f.draw();
        for (double end : { 0.0, 100.0 }) {
            auto tick = f.tickAt(end);
            ASSERT_TRUE(tick) << end;
            EXPECT_EQ(bool(tick->tickLabel()), c.labelAtEnds) << end;
            EXPECT_EQ(tick->tickEnabled(), c.enabledAtEnds) << end;
        }
        EXPECT_TRUE(f.tickAt(50)->tickLabel());
        // Even a mode that never drops labels stops after two ticks past the end.
        EXPECT_EQ(f.values(true).back(), c.lastTick);
    }
}

TEST(LChartAxis, LabelsEveryNthTickOfAUserFrequencySoThatTheAnchorIsLabelled)
{
    TickFixture f;
    f.axis->setMajorTickFrequency(Value(5));
    f.draw();
    float extent = f.axis->largestLabelWidth();
    ASSERT_GT(extent, 0);

    // 20 ticks; n = ceil(20 × E ÷ D): every tick while D ≥ 20 E, every second one at 20 E ÷ 1.5.
    f.chart.drawer.frameRect.size.width = std::ceil(20 * extent);
    f.draw(true);
    EXPECT_EQ(f.labelled().size(), 21u);
    f.chart.drawer.frameRect.size.width = std::ceil(20 * extent / 1.5f);
    f.draw(true);
    auto labelled = f.labelled();
    labelled.erase(std::remove(labelled.begin(), labelled.end(), 100.0), labelled.end()); // may be clipped
    EXPECT_EQ(labelled, stepped(0, 90, 10));

    f.axis->setAnchorPoint(Value(5));
    f.draw(true);
    EXPECT_EQ(f.labelled(), stepped(5, 95, 10));

    FatalErrorsThrow fatal;
    EXPECT_THROW(f.axis->setAnchorPoint(Value("x")), ChartFatalError);
}

TEST(LChartAxis, ReusesTicksAndTheirLabelsWhileTheRangePans)
{
    TickFixture f;
    f.axis->setMajorTickFrequency(Value(10));
    f.draw();
    auto tick = f.tickAt(50);
    auto label = tick->tickLabel();
    float before = tick->tickMarkX();
    f.axis->setRangeInternalWithMinimumAndMaximum(Value(5), Value(105));
    f.draw();
    EXPECT_EQ(f.tickAt(50), tick);
    EXPECT_EQ(tick->tickLabel(), label);
    EXPECT_FLOAT_EQ(tick->tickMarkX(), before - 20);
    EXPECT_EQ(f.values(true), stepped(10, 120, 10));
}

TEST(LChartAxis, TakesTickValuesFromTheDataSource)
{
    TickFixture f;
    f.chart.tickValues
        = std::vector<Value> { Value(-10), Value(5), Value(50), Value(20), Value(150), Value(200), Value(300) };
    f.draw();
    // Values below the minimum are skipped; the loop stops after two ghosts; drawing sorts.
    EXPECT_EQ(f.values(true), (std::vector<double> { 5, 20, 50, 150, 200 }));
    EXPECT_EQ(f.labelled(), (std::vector<double> { 5, 20, 50 }));
    EXPECT_TRUE(f.axis->needToSortTickMarks());
}

TEST(LChartAxis, BoundsTickGenerationAndSkipsItWithoutASurface)
{
    {
        TickFixture f;
        LogCapture log;
        f.axis->setMajorTickFrequency(Value(0.01));
        f.draw();
        EXPECT_EQ(f.values(true).size(), 1000u);
        EXPECT_EQ(logged(log, "Too many major ticks for the axis range; stopping at 1000"), 1);
    }
    {
        TickFixture f;
        f.chart.drawer.frameRect.size = { 0, 0 };
        f.axis->setMajorTickFrequency(Value(10));
        f.draw();
        EXPECT_FALSE(f.axis->hasTicks());
    }
}

TEST(LChartAxis, TickPassesEndOnHugeSpansAndTinyFrequencies)
{
    struct Case {
        const char* name;
        double min;
        double max;
        double major; // 0: chosen by the axis
        double minor; // 0: none
        double anchor;
    };
    const Case cases[] = {
        { "a user frequency of 1 over a span of a million", 0, 1e6, 1, 0, 0 },
        { "the same with an anchor far above the range", 0, 1e6, 1, 0, 5e8 },
        { "a major frequency below the float resolution of the start", 1e6, 1e6 + 1, 1e-11, 0, 0 },
        { "a minor frequency below the float resolution of the start", 1e6, 1e6 + 10, 1, 1e-11, 0 },
        { "a minor frequency a billion times finer than the major one", 0, 100, 10, 1e-8, 0 },
        { "automatic frequencies over a span of 1e300", -5e299, 5e299, 0, 0, 0 },
        { "automatic frequencies over a span of 1e-300", 0, 1e-300, 0, 0, 0 },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        TickFixture f(c.min, c.max);
        if (c.anchor != 0)
            f.axis->setAnchorPoint(Value(c.anchor));
        if (c.major > 0)
            f.axis->setMajorTickFrequency(Value(c.major));
        if (c.minor > 0)
            f.axis->setMinorTickFrequency(Value(c.minor));
        {
            HangGuard guard(std::chrono::seconds(20), std::string("a drawing pass over ") + c.name);
            f.draw(true);
        }
        // At most 1000 major and 1000 minor ticks are made in a pass.
        EXPECT_LE(f.axis->tickMarks().size(), 2000u);
    }
}

TEST(LChartAxis, RefusesARangeWhoseSpanIsNotFinite)
{
    auto range = [](const TickFixture& f) {
        return std::pair { f.axis->axisRangeInternal()->min(), f.axis->axisRangeInternal()->max() };
    };
    TickFixture f(0, 100);
    LogCapture log;
    // Both ends are finite numbers but their difference is not.
    EXPECT_FALSE(f.axis->setRangeInternalWithMinimumAndMaximum(Value(-1e308), Value(1e308)));
    EXPECT_EQ(range(f), std::pair(0.0, 100.0));
    EXPECT_EQ(logged(log, "Ignoring range with inf span"), 1);
    {
        HangGuard guard(std::chrono::seconds(20), "a drawing pass after a range of infinite span");
        f.draw(true);
    }
    EXPECT_TRUE(f.axis->setRangeInternalWithMinimumAndMaximum(Value(-1e8), Value(1e8)));
    EXPECT_EQ(range(f), std::pair(-1e8, 1e8));
}

TEST(LChartAxis, WarnsOnEveryPassWhenAUserWidthIsTooNarrow)
{
    TickFixture f;
    f.axis->setWidth(Value(10));
    f.axis->setMajorTickFrequency(Value(10));
    LogCapture log;
    f.draw();
    f.axis->spaceRequiredToDrawWithTitle(false);
    EXPECT_FALSE(f.axis->axisWidthIsSufficient());
    f.draw();
    f.draw();
    EXPECT_EQ(logged(log, "Axis width does not provide enough space to fit the tickmarks and ticklabels."), 2);
    EXPECT_TRUE(f.tickAt(50)->tickLabel());
}

TEST(LChartAxis, RotatesLabelsByOrientationAndRefusesUnknownOnes)
{
    TickFixture f;
    auto label = UILabel::initWithFrame({ { 0, 0 }, { 60, 20 } });
    f.axis->style()->majorTickStyle()->setTickLabelOrientation(2);
    f.axis->rotateLabel(*label);
    EXPECT_EQ(label->textAlignment(), NSTextAlignmentLeft);
    EXPECT_NEAR(std::atan2(label->transform().b, label->transform().a), 4.712389 - 2 * M_PI, 1e-5);
    f.axis->style()->majorTickStyle()->setTickLabelOrientation(1);
    f.axis->rotateLabel(*label);
    EXPECT_EQ(label->textAlignment(), NSTextAlignmentCenter);
    f.axis->style()->majorTickStyle()->setTickLabelOrientation(3);
    FatalErrorsThrow fatal;
    EXPECT_THROW(f.axis->rotateLabel(*label), ChartFatalError);
}

TEST(LChartAxis, HidesOneOfEachPairOfOverlappingLabels)
{
    struct Case {
        int32_t mode;
        std::vector<double> enabled;
    } cases[] = {
        { 0, { 3, 10, 20 } }, // the lower of each pair
        { 1, { 0, 10, 20 } }, // the higher of each pair
        { 2, { 0, 1, 2, 3, 10, 20 } },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.mode);
        TickFixture f(0, 20);
        // Ticks 5 points apart carry labels about three times as wide.
        f.chart.drawer.frameRect.size.width = 100;
        f.chart.tickValues = std::vector<Value> { Value(0), Value(1), Value(2), Value(3), Value(10), Value(20) };
        f.axis->setDiscontinuousTickLabelClipping(c.mode);
        f.draw();
        f.axis->removeOverlappingTickmarks();
        std::vector<double> enabled;
        for (const auto& tick : f.axis->tickMarks()) {
            if (tick->tickEnabled())
                enabled.push_back(tick->value());
        }
        EXPECT_EQ(enabled, c.enabled);
    }
}

TEST(LChartAxis, CategoryTicksBeyondTheCategoriesAreDisabledGhosts)
{
    FakeAxisChart chart;
    chart.drawer.frameRect = { { 40, 10 }, { 400, 300 } };
    chart.yAxesSpace = 40;
    auto axis = LChartCategoryAxis::init();
    axis->setChart(&chart);
    axis->setAnimationEnabled(false);
    axis->setAllowPanningOutOfMaxRange(true);
    for (int i = 0; i < 5; ++i)
        axis->willAddDataPointToSeriesWithValue(Value(NSString::stringWithFormat("c%d", i)));
    axis->setDataRangeInternal(LChartNumberRange::initWithMinimumAndMaximum(Value(0), Value(4)));
    axis->setRangeInternalWithMinimumAndMaximum(Value(-0.5), Value(10.5));
    auto tick = axis->style()->majorTickStyle();
    tick->setShowTicks(true);
    tick->setShowLabels(true);
    tick->setLabelFont(UIFont::systemFontOfSize(12));
    axis->spaceRequiredToDrawWithTitle(false);
    axis->drawTickMarksWithGLFrameUsingAxisDrawerNeedToRedrawLabels(chart.drawer.frameRect, &chart.drawer, false);

    // 5 and 6 lie past the last category; 7 and 8 are the two ghosts that end generation.
    std::vector<double> values;
    std::vector<std::string> labels;
    for (const auto& mark : axis->tickMarks()) {
        values.push_back(mark->value());
        EXPECT_EQ(mark->tickEnabled(), mark->value() <= 4) << mark->value();
        if (mark->tickLabel() && mark->tickLabel()->superview())
            labels.push_back(mark->tickLabel()->text());
    }
    EXPECT_EQ(values, stepped(0, 8, 1));
    EXPECT_EQ(labels, (std::vector<std::string> { "c0", "c1", "c2", "c3", "c4" }));
    axis->setChart(nullptr);
}

TEST(LChartAxis, SwitchingTicksAndLabelsOffTakesTheirViewsAway)
{
    TickFixture f;
    f.axis->setMajorTickFrequency(Value(10));
    f.draw();
    auto tick = f.tickAt(50);
    auto label = tick->tickLabel();
    ASSERT_TRUE(label->superview());
    const auto& major = f.axis->style()->majorTickStyle();
    major->setShowLabels(false);
    f.draw();
    EXPECT_FALSE(label->superview());
    EXPECT_TRUE(tick->tickMarkView());

    // Nothing left to show: the ticks go and none are made.
    major->setShowTicks(false);
    f.axis->style()->minorTickStyle()->setShowTicks(false);
    f.axis->style()->majorGridLineStyle()->setShowMajorGridLines(false);
    f.draw();
    EXPECT_FALSE(f.axis->hasTicks());
}

TEST(LChartAxis, TitlesFitTheirTextAndTurnWhenVertical)
{
    TickFixture f(0, 100, false);
    f.axis->setTitle("Altitude");
    f.axis->style()->titleStyle()->setTitleOrientation(1);
    f.axis->configureTitle();
    const auto& title = f.axis->titleLabel();
    EXPECT_TRUE(title->adjustsFontSizeToFitWidth());
    EXPECT_GT(title->frame().size.width, 0);
    EXPECT_NEAR(std::atan2(title->transform().b, title->transform().a), -1.5707964, 1e-6);
}
