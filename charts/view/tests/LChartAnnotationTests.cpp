#include "charts/view/LChartAnnotation.h"

#include "charts/LChartAxis.h"
#include "charts/LChartDataPoint.h"
#include "charts/LChartLineSeries.h"
#include "charts/LChartNumberAxis.h"
#include "charts/LChartRange.h"
#include "charts/gl/LChartGLView.h"
#include "charts/view/LChartAnnotationZooming.h"
#include "charts/view/LChartCanvas.h"
#include "charts/view/LatticeChart.h"
#include "gles/SoftwareRendering.h"
#include "graphics/UIColor.h"
#include "graphics/UIFont.h"
#include "graphics/UIImage.h"
#include "testing/GoldenImage.h"
#include "testing/HostedWindow.h"
#include "testing/LogCapture.h"
#include "uikit/UIApplicationHost.h"
#include "uikit/UILabel.h"
#include "vxbuild/TestPaths.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

// One line series rising from (0, 0) to (10, 10).
class RisingLineSource final : public LChartDatasource {
public:
    int32_t numberOfSeriesInSChart(LChartLoaderHost&) override { return 1; }
    Ref<LChartLoadableSeries> sChartSeriesAtIndex(LChartLoaderHost&, int32_t) override
    {
        return LChartLineSeries::init();
    }
    int32_t sChartNumberOfDataPointsForSeriesAtIndex(LChartLoaderHost&, int32_t) override { return 11; }
    Ref<LChartData> sChartDataPointAtIndexForSeriesAtIndex(LChartLoaderHost&, int32_t index, int32_t) override
    {
        auto point = LChartDataPoint::init();
        point->setXValue(Value(index));
        point->setYValue(Value(index));
        return point;
    }
};

class LChartAnnotationTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        preferSoftwareRendering();
        m_chart = LatticeChart::initWithFramePrimaryXAxisTypePrimaryYAxisType(CGRectMake(0, 0, 500, 400), 0, 0);
        m_host.root()->view()->addSubview(m_chart);
        m_chart->setDatasource(&m_source);
        m_host.settle(0);
        // Both axes show 0 to 10 exactly.
        x()->setRangeInternalWithMinimumAndMaximum(Value(0.0), Value(10.0));
        y()->setRangeInternalWithMinimumAndMaximum(Value(0.0), Value(10.0));
        frame();
    }
    LChartAxis* x() const { return m_chart->xAxis(); }
    LChartAxis* y() const { return m_chart->yAxis(); }
    Ref<LChartAxis> xRef() const { return m_chart->xAxes().front(); }
    Ref<LChartAxis> yRef() const { return m_chart->yAxes().front(); }
    CGRect plot() const { return m_chart->canvas()->glView()->frame(); }
    // The plot-area position of a value on the axes' current ranges.
    double plotX(double value) const
    {
        const auto& range = x()->axisRangeInternal();
        return plot().size.width * (value - range->min()) / (range->max() - range->min());
    }
    double plotY(double value) const
    {
        const auto& range = y()->axisRangeInternal();
        return plot().size.height - plot().size.height * (value - range->min()) / (range->max() - range->min());
    }
    // Lets the chart lay out and draw a frame.
    void frame()
    {
        m_chart->setNeedsLayout();
        m_host.settle(0);
    }

    HostedWindow m_host { HostedWindow::Window::Key, CGSizeMake(500, 400) };
    RisingLineSource m_source;
    Ref<LatticeChart> m_chart;
};

} // namespace

TEST_F(LChartAnnotationTest, ATextAnnotationTakesItsLabelsSizeAndFollowsItsPointThroughAPan)
{
    auto text = LChartAnnotation::
        annotationWithTextAndFontWithXAxisAndYAxisAtXPositionAndYPositionWithTextColorWithBackgroundColor(
            "Top of climb", UIFont::systemFontOfSize(14), xRef(), yRef(), Value(5), Value(8), UIColor::blackColor(),
            UIColor::whiteColor());
    m_chart->addAnnotation(text);
    ASSERT_TRUE(text->label());
    EXPECT_GT(text->bounds().size.width, 20);
    EXPECT_TRUE(CGSizeEqualToSize(text->bounds().size, text->label()->frame().size));
    EXPECT_EQ(text->superview(), std::static_pointer_cast<UIView>(m_chart->canvas()->glView()));
    EXPECT_NEAR(text->center().x, plotX(5), 0.5);
    EXPECT_NEAR(text->center().y, plotY(8), 0.5);

    // Zoomed to 0 to 6 and panned by 2, x 5 lies at half the plot's width; the annotation follows
    // at the next frame.
    x()->setRangeInternalWithMinimumAndMaximum(Value(0.0), Value(6.0));
    x()->panByValueWithAnimationWithBounceLimitsAndRedraw(2, false, false, true);
    frame();
    EXPECT_DOUBLE_EQ(x()->axisRangeInternal()->min(), 2);
    EXPECT_NEAR(text->center().x, plot().size.width / 2, 0.5);
    EXPECT_NEAR(text->center().y, plotY(8), 0.5);
    EXPECT_TRUE(CGSizeEqualToSize(text->bounds().size, text->label()->frame().size));

    // Without a y value it is centred vertically in the plot area.
    text->setYValue(Value());
    text->updateViewWithCanvas(*m_chart->canvas());
    EXPECT_NEAR(text->center().y, plot().size.height / 2, 1e-6);
}

TEST_F(LChartAnnotationTest, LinesKeepTheirWidthAndBandsStretchBetweenTheirValues)
{
    auto line = LChartAnnotationZooming::verticalLineAtPositionWithXAxisAndYAxisWithWidthWithColor(
        Value(5), xRef(), yRef(), 2, UIColor::redColor());
    auto band = LChartAnnotationZooming::verticalBandAtPositionAndMaxXWithXAxisAndYAxisWithColor(
        Value(2), Value(4), xRef(), yRef(), UIColor::blueColor());
    auto open = LChartAnnotationZooming::verticalBandAtPositionAndMaxXWithXAxisAndYAxisWithColor(
        Value(7), Value(), xRef(), yRef(), UIColor::greenColor());
    auto across = LChartAnnotationZooming::horizontalBandAtPositionAndMaxYWithXAxisAndYAxisWithColor(
        Value(6), Value(9), xRef(), yRef(), UIColor::grayColor());
    for (const auto& annotation : { line, band, open, across })
        m_chart->addAnnotation(annotation);
    CGRect area = plot();

    auto check = [&](const char* when) {
        SCOPED_TRACE(when);
        // The line: 2 wide at x 5, as high as the plot area.
        EXPECT_NEAR(line->frame().size.width, 2, 1e-4);
        EXPECT_NEAR(line->frame().size.height, area.size.height, 1e-3);
        EXPECT_NEAR(line->center().x, x()->mapPixelValueForDataValueUsingSeries(5, nullptr) - area.origin.x, 1e-3);
        // The band: from x 2 to x 4 by a scale of its unit width, over the full height.
        double lo = x()->mapPixelValueForDataValueUsingSeries(2, nullptr) - area.origin.x;
        double hi = x()->mapPixelValueForDataValueUsingSeries(4, nullptr) - area.origin.x;
        EXPECT_NEAR(band->center().x, (lo + hi) / 2, 1e-3);
        EXPECT_NEAR(band->transform().a, hi - lo, 1e-3);
        EXPECT_NEAR(band->frame().size.height, area.size.height, 1e-3);
        EXPECT_TRUE(CGSizeEqualToSize(band->bounds().size, CGSizeMake(1, 1)));
        // A band without a maximum is a line of its own width at its value.
        EXPECT_NEAR(open->frame().size.width, 1, 1e-4);
        EXPECT_NEAR(open->center().x, x()->mapPixelValueForDataValueUsingSeries(7, nullptr) - area.origin.x, 1e-3);
        // A horizontal band spans the plot area's width between its y values.
        EXPECT_NEAR(across->frame().size.width, area.size.width, 1e-3);
        EXPECT_NEAR(across->frame().size.height, plotY(6) - plotY(9), 1e-3);
    };
    check("at first");
    EXPECT_NEAR(band->transform().a, plotX(2) - plotX(0), 1e-3);
    double before = band->transform().a;

    // Zooming in about x 5 doubles the band and keeps the line 2 wide.
    double centre = 5;
    x()->setZoomFromPosition(2, &centre);
    frame();
    area = plot();
    check("zoomed");
    EXPECT_NEAR(band->transform().a, 2 * before, 1e-2);
}

TEST_F(LChartAnnotationTest, ThePositionChoosesTheLayerAndTheListCanBeEdited)
{
    auto over = LChartAnnotation::initWithFrame(CGRectMake(0, 0, 10, 10));
    auto under = LChartAnnotation::initWithFrame(CGRectMake(0, 0, 10, 10));
    under->setPosition(1);
    auto third = LChartAnnotation::initWithFrame(CGRectMake(0, 0, 10, 10));
    m_chart->addAnnotation(over);
    m_chart->addAnnotation(under);
    m_chart->addAnnotation(third);
    const auto& canvas = m_chart->canvas();
    EXPECT_EQ(over->superview(), std::static_pointer_cast<UIView>(canvas->glView()));
    EXPECT_EQ(under->superview(), canvas->underlayForAnnotations());
    // An annotation with neither axis sits in the middle of the plot area.
    EXPECT_NEAR(over->center().x, plot().size.width / 2, 1e-6);
    EXPECT_NEAR(over->center().y, plot().size.height / 2, 1e-6);

    LogCapture log;
    auto spare = LChartAnnotation::initWithFrame(CGRectMake(0, 0, 10, 10));
    m_chart->replaceAnnotationAtIndexWithAnnotation(3, spare);
    EXPECT_EQ(m_chart->annotations().size(), 3u);
    EXPECT_FALSE(spare->superview());
    ASSERT_FALSE(log.messages().empty());
    EXPECT_EQ(log.messages()[0].rfind("Invalid index in -replaceAnnotationAtIndex", 0), 0u);

    m_chart->replaceAnnotationAtIndexWithAnnotation(1, spare);
    EXPECT_FALSE(under->superview());
    EXPECT_EQ(m_chart->annotations()[1], spare);
    EXPECT_EQ(spare->superview(), std::static_pointer_cast<UIView>(canvas->glView()));
    m_chart->removeAnnotation(over);
    EXPECT_FALSE(over->superview());
    EXPECT_EQ(m_chart->annotations().size(), 2u);
    m_chart->removeAllAnnotations();
    EXPECT_TRUE(m_chart->annotations().empty());
    EXPECT_FALSE(spare->superview());
    EXPECT_FALSE(third->superview());
}

TEST_F(LChartAnnotationTest, AxesOfTheWrongOrientationAreRefusedAndAGoneAxisCountsAsNone)
{
    auto annotation = LChartAnnotation::initWithFrame(CGRectMake(0, 0, 10, 10));
    annotation->setXAxis(xRef());
    LogCapture log;
    annotation->setXAxis(yRef());
    annotation->setYAxis(xRef());
    EXPECT_EQ(annotation->xAxis(), x());
    EXPECT_EQ(annotation->yAxis(), nullptr);
    auto messages = log.messages();
    ASSERT_EQ(messages.size(), 2u);
    EXPECT_NE(messages[0].find("LChartAnnotation at 0x"), std::string::npos);
    EXPECT_NE(messages[0].find(": yAxis passed to xAxis property"), std::string::npos);
    EXPECT_NE(messages[1].find(": xAxis passed to yAxis property"), std::string::npos);

    // The annotation does not keep its axes: once an axis is gone it centres along that axis.
    auto spare = LChartNumberAxis::init();
    spare->setAxisOrientation(1);
    annotation->setYAxis(spare);
    annotation->setYValue(Value(3));
    spare.reset();
    EXPECT_EQ(annotation->yAxis(), nullptr);
    annotation->updateViewWithCanvas(*m_chart->canvas());
    EXPECT_NEAR(annotation->center().y, plot().size.height / 2, 1e-6);
}

TEST_F(LChartAnnotationTest, AChartWithAnnotationsMatchesItsGolden)
{
    auto under = LChartAnnotationZooming::horizontalBandAtPositionAndMaxYWithXAxisAndYAxisWithColor(
        Value(2), Value(4), xRef(), yRef(), UIColor::colorWithRedGreenBlueAlpha(1, 0.8, 0.2, 1));
    under->setPosition(1);
    m_chart->addAnnotation(under);
    m_chart->addAnnotation(LChartAnnotationZooming::verticalLineAtPositionWithXAxisAndYAxisWithWidthWithColor(
        Value(6), xRef(), yRef(), 3, UIColor::redColor()));
    m_chart->addAnnotation(LChartAnnotation::
            annotationWithTextAndFontWithXAxisAndYAxisAtXPositionAndYPositionWithTextColorWithBackgroundColor("Cruise",
                UIFont::systemFontOfSize(16), xRef(), yRef(), Value(3), Value(8), UIColor::whiteColor(),
                UIColor::darkGrayColor()));
    frame();
    auto snapshot = UIApplicationHost::renderKeyWindow();
    ASSERT_TRUE(snapshot && snapshot->CGImage());
    EXPECT_TRUE(
        GoldenImage::matches(snapshot->CGImage(), std::string(VX_TEST_DIR "/golden/chart-annotations.png"), 8, 0.01));
}
