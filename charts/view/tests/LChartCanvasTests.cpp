#include "charts/view/LChartCanvas.h"

#include "charts/LChartAxis.h"
#include "charts/LChartDataSeries.h"
#include "charts/LChartDonutSeries.h"
#include "charts/LChartDonutSeriesStyle.h"
#include "charts/LChartInternalDataPoint.h"
#include "charts/LChartPieSeries.h"
#include "charts/gl/LChartGLView.h"
#include "charts/view/tests/ChartViewTestSupport.h"
#include "graphics/CGImage.h"
#include "graphics/UIImage.h"
#include "testing/Drain.h"
#include "testing/GoldenImage.h"
#include "uikit/UIApplicationHost.h"
#include "uikit/UIDevice.h"
#include "uikit/UILabel.h"
#include "vxbuild/TestPaths.h"

#include <gtest/gtest.h>

#include <array>
#include <cmath>

namespace {

class LChartCanvasTest : public ChartViewTest {
protected:
    void TearDown() override
    {
        UIDevice::resetForTesting();
        ChartViewTest::TearDown();
    }
    // A radial chart of one series of the given slice values, made by `make`.
    Ref<LatticeChart> radialChart(
        CGRect frame, std::vector<double> values,
        std::function<Ref<LChartDonutSeries>()> make = [] { return LChartDonutSeries::init(); })
    {
        source.data.assign(1, {});
        for (size_t i = 0; i < values.size(); ++i)
            source.data[0].push_back({ double(i), values[i] });
        source.make = [make] { return make(); };
        return show(LatticeChart::initWithFrame(frame));
    }
    static Ref<LChartDonutSeries> donutOf(const LatticeChart& chart)
    {
        return std::dynamic_pointer_cast<LChartDonutSeries>(chart.series().at(0));
    }
};

// The red, green and blue of a pixel of the window's snapshot (0 to 255).
std::array<int, 3> pixelAt(const Ref<UIImage>& image, int x, int y)
{
    const auto& cg = image->CGImage();
    auto bytes = CGDataProviderCopyData(CGImageGetDataProvider(cg));
    const uint8_t* p = bytes.data() + y * CGImageGetBytesPerRow(cg) + x * 4;
    bool little = (CGImageGetBitmapInfo(cg) & kCGBitmapByteOrderMask) == kCGBitmapByteOrder32Little;
    auto alpha = CGImageGetAlphaInfo(cg);
    bool alphaFirst = alpha == kCGImageAlphaPremultipliedFirst || alpha == kCGImageAlphaFirst
        || alpha == kCGImageAlphaNoneSkipFirst;
    if (little)
        return alphaFirst ? std::array<int, 3> { p[2], p[1], p[0] } : std::array<int, 3> { p[3], p[2], p[1] };
    return alphaFirst ? std::array<int, 3> { p[1], p[2], p[3] } : std::array<int, 3> { p[0], p[1], p[2] };
}

std::array<int, 3> rgbOf(const Ref<UIColor>& color)
{
    CGFloat r = 0, g = 0, b = 0, a = 0;
    color->getRedGreenBlueAlpha(&r, &g, &b, &a);
    return { int(std::lround(r * 255)), int(std::lround(g * 255)), int(std::lround(b * 255)) };
}

bool near(const std::array<int, 3>& a, const std::array<int, 3>& b)
{
    for (size_t i = 0; i < 3; ++i)
        if (std::abs(a[i] - b[i]) > 12)
            return false;
    return true;
}

} // namespace

TEST_F(LChartCanvasTest, PieSlicesRunAnticlockwiseFromTheTop)
{
    // A quarter and three quarters: the first slice runs from 12 o'clock to 9 o'clock.
    auto chart = radialChart(CGRectMake(0, 0, 200, 200), { 1, 3 }, [] { return LChartPieSeries::init(); });
    m_host->settle(0);
    auto pie = donutOf(*chart);
    auto snapshot = UIApplicationHost::renderKeyWindow();
    ASSERT_TRUE(snapshot && snapshot->CGImage());
    CGPoint centre = chart->convertPointToView(pie->getDonutCenter(), nullptr);
    auto first = rgbOf(pie->style()->flavourColorAtIndex(0));
    auto second = rgbOf(pie->style()->flavourColorAtIndex(1));
    ASSERT_FALSE(near(first, second));
    struct Probe {
        const char* where;
        double dx, dy;
        std::array<int, 3> colour;
    };
    // Just either side of 12 o'clock and of 9 o'clock, clear of the slice labels.
    const Probe probes[] = { { "left of 12", -15, -60, first }, { "right of 12", 15, -60, second },
        { "above 9", -60, -15, first }, { "below 9", -60, 15, second } };
    for (const auto& probe : probes) {
        SCOPED_TRACE(probe.where);
        auto pixel = pixelAt(snapshot, int(centre.x + probe.dx), int(centre.y + probe.dy));
        EXPECT_TRUE(near(pixel, probe.colour)) << pixel[0] << "," << pixel[1] << "," << pixel[2];
    }
}

TEST_F(LChartCanvasTest, SliceLabelsSitOnTheirSlicesAndLeaveWithAHiddenSeries)
{
    RecordingDelegate delegate;
    auto chart = LatticeChart::initWithFrame(CGRectMake(0, 0, 200, 200));
    chart->setChartDelegate(&delegate);
    source.data = { { { 0, 1 }, { 1, 1 }, { 2, 2 } } };
    source.make = [] {
        auto donut = LChartDonutSeries::init();
        donut->style()->setShowLabels(true);
        donut->selectedStyle()->setShowLabels(false);
        return donut;
    };
    show(chart);
    auto donut = donutOf(*chart);
    const auto& labels = donut->labels();
    ASSERT_EQ(labels.size(), 3u);
    for (int32_t i = 0; i < 3; ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(labels[i]->superview(), chart->canvas()->overlay());
        CGPoint expected = donut->getSliceCenter(i);
        EXPECT_NEAR(labels[i]->center().x, expected.x, 1e-3);
        EXPECT_NEAR(labels[i]->center().y, expected.y, 1e-3);
        EXPECT_FALSE(labels[i]->isHidden());
    }
    EXPECT_EQ(labels[2]->text(), "2.00");
    EXPECT_NE(std::find(delegate.events.begin(), delegate.events.end(), "label 2"), delegate.events.end());

    // A selected slice takes its selected style, which shows no label.
    donut->dataSeries()->dataPoints()[1]->setSelected(true);
    chart->canvas()->updateSeriesLabels(*donut);
    EXPECT_TRUE(labels[1]->isHidden());

    // A hidden series loses its labels at every placement.
    auto kept = labels[0];
    donut->setHidden(true);
    chart->canvas()->updateSeriesLabels(*donut);
    EXPECT_TRUE(donut->labels().empty());
    EXPECT_EQ(kept->superview(), nullptr);
}

TEST_F(LChartCanvasTest, ASpinningRingKeepsDrawingFramesUntilItComesToRest)
{
    RecordingDelegate delegate;
    auto chart = LatticeChart::initWithFrame(CGRectMake(0, 0, 200, 200));
    chart->setChartDelegate(&delegate);
    source.data = { { { 0, 1 }, { 1, 2 } } };
    source.make = [] { return LChartDonutSeries::init(); };
    show(chart);
    auto donut = donutOf(*chart);
    const auto& canvas = chart->canvas();
    int32_t frames = canvas->framesDrawn();
    donut->setVelocity(10);
    canvas->setNeedsToRenderChart();
    // Each frame asks for the next while the ring turns; friction is taken per frame.
    for (int pass = 0; pass < 400 && donut->rotationVelocity() != 0; ++pass) {
        m_host->clock().advance(1.0 / 60);
        runOnePass();
    }
    EXPECT_EQ(donut->rotationVelocity(), 0);
    EXPECT_GE(canvas->framesDrawn() - frames, 194);
    EXPECT_EQ(std::count(delegate.events.begin(), delegate.events.end(), "rest"), 1);
    int32_t resting = canvas->framesDrawn();
    m_host->settle(1);
    EXPECT_LE(canvas->framesDrawn() - resting, 1);
}

TEST_F(LChartCanvasTest, DeviceTurnsFadeTheLayersAndRebuildTheAxisLabels)
{
    source.data = { { { 0, 1 }, { 1, 2 } } };
    auto chart = show(LatticeChart::initWithFramePrimaryXAxisTypePrimaryYAxisType(CGRectMake(0, 0, 200, 100), 0, 0));
    const auto& canvas = chart->canvas();
    auto device = UIDevice::currentDevice();
    ASSERT_EQ(canvas->lastOrientation(), UIDeviceOrientationPortrait);
    struct Case {
        const char* name;
        UIDeviceOrientation orientation;
        bool rotates;
        bool acted;
    };
    const Case cases[] = {
        { "face up", UIDeviceOrientationFaceUp, true, false },
        { "face down", UIDeviceOrientationFaceDown, true, false },
        { "the same orientation", UIDeviceOrientationPortrait, true, false },
        { "a chart that does not rotate", UIDeviceOrientationLandscapeLeft, false, false },
        { "a real turn", UIDeviceOrientationLandscapeRight, true, true },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        chart->setRotatesOnDeviceRotation(c.rotates);
        UIDeviceOrientation before = UIDeviceOrientation(canvas->lastOrientation());
        device->setOrientation(c.orientation);
        bool ignored = c.orientation == UIDeviceOrientationFaceUp || c.orientation == UIDeviceOrientationFaceDown;
        EXPECT_EQ(canvas->lastOrientation(), ignored ? before : c.orientation);
        EXPECT_EQ(canvas->orientationChanged(), c.acted);
        EXPECT_EQ(canvas->underlay()->alpha(), c.acted ? 0 : 1);
        EXPECT_EQ(canvas->overlay()->alpha(), c.acted ? 0 : 1);
        m_host->settle(0.5);
        EXPECT_EQ(canvas->underlay()->alpha(), 1);
        EXPECT_EQ(canvas->overlay()->alpha(), 1);
    }
}

TEST_F(LChartCanvasTest, ASelectedSliceMovesOutFrameByFrameAndMatchesItsGolden)
{
    RecordingDelegate delegate;
    auto chart = LatticeChart::initWithFrame(CGRectMake(20, 20, 240, 240));
    chart->setChartDelegate(&delegate);
    source.data = { { { 0, 3 }, { 1, 5 }, { 2, 2 }, { 3, 4 } } };
    source.make = [] { return LChartDonutSeries::init(); };
    show(chart);
    auto donut = donutOf(*chart);
    ASSERT_EQ(donut->selectedStatus(), (std::vector<float> { 0, 0, 0, 0 }));
    float full = donut->selectedStyle()->protrusion();
    ASSERT_GT(full, 0);

    // The tap's selection moves the slice out over the selection animation, one frame per pass.
    donut->setSliceAsSelected(1, true);
    const auto& canvas = chart->canvas();
    int32_t frames = canvas->framesDrawn();
    for (int pass = 0; pass < 200 && donut->selectedStatus()[1] < 1; ++pass) {
        m_host->clock().moveWithoutDraining(0.1);
        runOnePass();
        if (pass == 5) {
            EXPECT_GT(donut->selectedStatus()[1], 0);
        }
    }
    EXPECT_EQ(donut->selectedStatus()[1], 1);
    // 2.4 s at most 0.2 s a frame (a frame asks for the next one on the following pass).
    EXPECT_GE(canvas->framesDrawn() - frames, 12);
    EXPECT_NEAR(donut->datapointProtrusion(1), full, 1e-3);
    EXPECT_EQ(donut->datapointProtrusion(0), 0);
    m_host->settle(0);

    auto snapshot = UIApplicationHost::renderKeyWindow();
    ASSERT_TRUE(snapshot && snapshot->CGImage());
    EXPECT_TRUE(GoldenImage::matches(snapshot->CGImage(), std::string(VX_TEST_DIR "/golden/chart-donut.png"), 8, 0.01));
}
