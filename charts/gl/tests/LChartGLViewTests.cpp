#include "charts/gl/LChartGLView.h"

#include "charts/LChartBandSeries.h"
#include "charts/LChartBandSeriesStyle.h"
#include "charts/LChartBarSeries.h"
#include "charts/LChartBubbleSeries.h"
#include "charts/LChartCandlestickSeries.h"
#include "charts/LChartColumnSeries.h"
#include "charts/LChartDarkTheme.h"
#include "charts/LChartDataSeries.h"
#include "charts/LChartInternalDataPoint.h"
#include "charts/LChartLightTheme.h"
#include "charts/LChartMidnightTheme.h"
#include "charts/LChartPieSeries.h"
#include "charts/LChartPointSeriesStyle.h"
#include "charts/LChartScatterSeries.h"
#include "charts/LChartStepLineSeries.h"
#include "charts/LChartStyle.h"
#include "charts/LChartiOS7Theme.h"
#include "charts/gl/tests/EngineTestSupport.h"
#include "gles/CAEAGLLayer.h"
#include "gles/EAGLContext.h"
#include "gles/SoftwareRendering.h"
#include "graphics/CGContext.h"
#include "graphics/UIColor.h"
#include "graphics/UIImage.h"
#include "testing/GoldenImage.h"
#include "testing/HostedWindow.h"
#include "testing/VirtualClock.h"
#include "uikit/UIApplicationHost.h"
#include "uikit/UIViewController.h"
#include "vxbuild/TestPaths.h"

#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <functional>

namespace {

// Series stand-ins: any distinct addresses do, the view only passes them on.
struct FakeSeries {
    int index;
};
LChartSeries* asSeries(FakeSeries& fake)
{
    return reinterpret_cast<LChartSeries*>(&fake);
}

class TestDirectory final : public LChartGLSeriesDirectory {
public:
    int32_t seriesIndexOf(const LChartSeries* series) const override
    {
        return reinterpret_cast<const FakeSeries*>(series)->index;
    }
    void updateAnimation(LChartSeries*, double step) override { steps.push_back(step); }
    std::vector<double> steps;
};

Ref<UIColor> rgba(CGFloat r, CGFloat g, CGFloat b, CGFloat a = 1)
{
    return UIColor::colorWithRedGreenBlueAlpha(r, g, b, a);
}

// Data 0...10 on both axes fills the view.
const LChartGLTranslation kTenByTen { 5, 5, 0, 0 };

Ref<UIImage> solidImage(size_t width, size_t height, bool alpha)
{
    auto context = CGBitmapContextCreate(nullptr, width, height, 8, width * 4, CGColorSpaceCreateDeviceRGB(),
        alpha ? kCGImageAlphaPremultipliedLast : kCGImageAlphaNoneSkipLast);
    CGContextSetRGBFillColor(context, 1, 0, 0, 1);
    CGContextFillRect(context, CGRectMake(0, 0, width, height));
    return UIImage::imageWithCGImage(CGBitmapContextCreateImage(context));
}

class LChartGLViewTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        preferSoftwareRendering();
        m_view = LChartGLView::initWithFrame(CGRectMake(0, 0, 160, 120));
        m_view->setSeriesDirectory(m_directory);
        m_view->setAreaColor(UIColor::colorWithWhiteAlpha(1, 1));
    }

    CGImageRef render(const std::function<void(LChartGLView&)>& draw, bool reloaded = true)
    {
        m_view->beginRenderWithReloadedDataIsRadialChart(reloaded, false);
        draw(*m_view);
        m_view->endRender();
        return m_view->layer()->contents();
    }

    ScopedVirtualClock m_clock;
    std::shared_ptr<TestDirectory> m_directory = std::make_shared<TestDirectory>();
    Ref<LChartGLView> m_view;
    FakeSeries m_first { 0 };
    FakeSeries m_second { 1 };
};

} // namespace

TEST_F(LChartGLViewTest, HasAFixedDrawingBoxAndPremultipliesColours)
{
    EXPECT_EQ(m_view->glWidth(), 1000);
    EXPECT_EQ(m_view->glHeight(), 1000);
    EXPECT_EQ(m_view->glBounds().size.width, 500);
    // Mesa gives an ES 3 context, so no multisampling.
    EXPECT_FALSE(m_view->useMSAA());
    auto grey = m_view->convertUIColorToColour4f(UIColor::colorWithWhiteAlpha(0.5, 0.5).get());
    EXPECT_FLOAT_EQ(grey.red, 0.25f);
    EXPECT_FLOAT_EQ(grey.alpha, 0.5f);
    auto red = m_view->convertUIColorToColour4f(rgba(1, 0, 0, 0.5).get());
    EXPECT_FLOAT_EQ(red.red, 0.5f);
    EXPECT_FLOAT_EQ(red.green, 0);
}

TEST_F(LChartGLViewTest, TheFrameClockIsTheMediaClockAndRestartsAfterResizeOrReload)
{
    auto frameWithSeries = [&] {
        render(
            [&](LChartGLView& view) {
                const float points[] = { 0, 0, 10, 10 };
                int32_t a = 0, b = 0, c = 0;
                view.drawLineStrip(
                    points, asSeries(m_first), &a, &b, &c, 4, rgba(0, 0, 1).get(), nullptr, 2, 0, 1, kTenByTen);
            },
            false);
    };
    frameWithSeries();
    m_clock.advance(0.25);
    frameWithSeries();
    EXPECT_DOUBLE_EQ(m_view->stepInTime(), 0.25);
    EXPECT_EQ(m_directory->steps.back(), 0.25);

    int32_t width = m_view->backingWidth();
    m_view->setFrame(CGRectMake(0, 0, 160 * 0.97, 120));
    m_clock.advance(0.5);
    frameWithSeries();
    EXPECT_EQ(m_view->backingWidth(), width);
    EXPECT_DOUBLE_EQ(m_view->stepInTime(), 0.5);

    m_view->setFrame(CGRectMake(0, 0, 144, 120));
    m_clock.advance(0.5);
    frameWithSeries();
    EXPECT_LT(m_view->backingWidth(), width);
    EXPECT_EQ(m_view->stepInTime(), 0);

    m_clock.advance(0.5);
    render([](LChartGLView&) {}, true);
    EXPECT_EQ(m_view->stepInTime(), 0);
}

TEST_F(LChartGLViewTest, AZeroSizedViewDrawsNothing)
{
    auto view = LChartGLView::initWithFrame(CGRectZero);
    view->beginRenderWithReloadedDataIsRadialChart(true, false);
    EXPECT_FALSE(view->endRender());
    EXPECT_FALSE(view->frameBufferInitialised());
}

TEST_F(LChartGLViewTest, ImagesBecomeSquarePowerOfTwoTexturesSharedUntilTheNextReload)
{
    GLCallRecorder recorder(GLCallRecorder::Mode::Forward);
    m_view->beginRenderWithReloadedDataIsRadialChart(true, false);
    recorder.clear();
    struct Case {
        size_t width, height;
        bool alpha;
        std::string upload;
    };
    const Case cases[] = {
        { 300, 100, true,
            GLCallRecorder::format(
                "TexImage2D", GL_TEXTURE_2D, 0, GL_RGBA, 512, 512, 0, GL_RGBA, GL_UNSIGNED_BYTE, "p") },
        { 2048, 2048, false,
            GLCallRecorder::format(
                "TexImage2D", GL_TEXTURE_2D, 0, GL_RGB, 1024, 1024, 0, GL_RGB, GL_UNSIGNED_SHORT_5_6_5, "p") },
        { 64, 64, true,
            GLCallRecorder::format(
                "TexImage2D", GL_TEXTURE_2D, 0, GL_RGBA, 64, 64, 0, GL_RGBA, GL_UNSIGNED_BYTE, "p") },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.width);
        recorder.clear();
        auto image = solidImage(c.width, c.height, c.alpha);
        ASSERT_TRUE(m_view->createTextureFromUIImage(*image));
        EXPECT_EQ(recorder.callsTo({ "TexImage2D" }), std::vector<std::string> { c.upload });
    }

    // Two points with one image share a texture, and so do later frames that rebuild the points
    // (rebuilding must not leave a texture behind each time); a reload deletes them.
    auto image = solidImage(8, 8, true);
    const float points[] = { 2, 2, 8, 8 };
    auto drawPoints = [&](LChartGLView& view) {
        int32_t slot = 0;
        view.drawDataPoints(points, asSeries(m_first), &slot, { image, image }, 4, rgba(1, 1, 1).get(), nullptr, 6,
            nullptr, 0, 1, kTenByTen);
    };
    recorder.clear();
    drawPoints(*m_view);
    m_view->endRender();
    EXPECT_EQ(recorder.count("TexImage2D"), 1u);
    recorder.clear();
    for (int frame = 0; frame < 3; ++frame)
        render(drawPoints, false);
    EXPECT_EQ(recorder.count("TexImage2D"), 0u);
    recorder.clear();
    render([](LChartGLView&) {}, true);
    EXPECT_EQ(recorder.callsTo({ "DeleteTextures" }).size(), 1u);
    // After the reload the image gets a texture again.
    recorder.clear();
    render(drawPoints, false);
    EXPECT_EQ(recorder.count("TexImage2D"), 1u);
}

TEST_F(LChartGLViewTest, TexturesOfImagesNoLongerDrawnAreDeletedAfterTheFrameAndTheRestKept)
{
    auto imageA = solidImage(8, 8, true), imageB = solidImage(8, 8, true), imageC = solidImage(8, 8, true);
    // A bin of two points whose pieces start at `firstSlot`.
    auto drawBin = [&](LChartGLView& view, int32_t firstSlot, const Ref<UIImage>& image) {
        const float points[] = { 2, 2, 8, 8 };
        int32_t slot = firstSlot;
        view.drawDataPoints(points, asSeries(m_first), &slot, { image, image }, 4, rgba(1, 1, 1).get(), nullptr, 6,
            nullptr, 0, 1, kTenByTen);
    };
    // The texture the bin's markers are drawn with; a rebuilt bin has one piece, not one per image.
    auto textureOfBin = [&](int32_t firstSlot) -> GLuint {
        std::vector<GLuint> textures;
        for (const auto& [handle, types] : m_view->drawer().transparentRenderData()) {
            auto found = types.find(LChartGL::RenderDataType::SizedPoints);
            if (found != types.end())
                for (const auto& piece : found->second)
                    if (piece.id == firstSlot)
                        textures.push_back(piece.texture);
        }
        EXPECT_EQ(textures.size(), 1u) << "bin " << firstSlot;
        return textures.empty() ? 0 : textures.front();
    };
    auto& resources = m_view->drawer().resources();

    render(
        [&](LChartGLView& view) {
            drawBin(view, 0, imageA);
            drawBin(view, 10, imageB);
        },
        true);
    const GLuint a = textureOfBin(0);
    EXPECT_NE(a, textureOfBin(10));
    EXPECT_EQ(resources.liveUserTextureCount(), 2u);

    // The second bin is rebuilt with another image, the first with its own: B's texture goes
    // once the frame is drawn, A's stays without being uploaded again.
    GLCallRecorder recorder(GLCallRecorder::Mode::Forward);
    render(
        [&](LChartGLView& view) {
            drawBin(view, 0, imageA);
            drawBin(view, 10, imageC);
        },
        false);
    EXPECT_EQ(textureOfBin(0), a);
    EXPECT_EQ(recorder.count("TexImage2D"), 1u);
    EXPECT_EQ(recorder.count("DeleteTextures"), 1u);
    EXPECT_EQ(resources.liveUserTextureCount(), 2u);
    const GLuint c = textureOfBin(10);

    // Frames that rebuild nothing draw the kept pieces with their textures.
    recorder.clear();
    for (int frame = 0; frame < 3; ++frame)
        render([](LChartGLView&) {}, false);
    EXPECT_EQ(recorder.count("DeleteTextures"), 0u);
    EXPECT_EQ(resources.liveUserTextureCount(), 2u);
    EXPECT_EQ(textureOfBin(0), a);
    EXPECT_EQ(textureOfBin(10), c);

    // The first bin takes C too: the bins share C's texture and A's goes.
    recorder.clear();
    render([&](LChartGLView& view) { drawBin(view, 0, imageC); }, false);
    EXPECT_EQ(textureOfBin(0), c);
    EXPECT_EQ(recorder.count("TexImage2D"), 0u);
    EXPECT_EQ(resources.liveUserTextureCount(), 1u);

    // A reload deletes the rest.
    render([](LChartGLView&) {}, true);
    EXPECT_EQ(resources.liveUserTextureCount(), 0u);
}

TEST_F(LChartGLViewTest, WithoutAnES3ContextFramesAreMultisampledAndResolved)
{
    EAGLContext::setAPIAvailableForTesting(kEAGLRenderingAPIOpenGLES3, false);
    auto view = LChartGLView::initWithFrame(CGRectMake(0, 0, 80, 60));
    EAGLContext::setAPIAvailableForTesting(kEAGLRenderingAPIOpenGLES3, std::nullopt);
    ASSERT_TRUE(view->useMSAA());
    view->setAreaColor(rgba(0, 1, 0));
    GLCallRecorder recorder(GLCallRecorder::Mode::Forward);
    view->beginRenderWithReloadedDataIsRadialChart(true, false);
    view->endRender();
    EXPECT_EQ(recorder.count("BlitFramebuffer"), 1u);
    auto image = view->layer()->contents();
    ASSERT_TRUE(image);
    const uint8_t* pixel = image->bytes() + (image->height() / 2) * image->bytesPerRow() + (image->width() / 2) * 4;
    EXPECT_EQ(pixel[0], 0);
    EXPECT_EQ(pixel[1], 255);
}

TEST_F(LChartGLViewTest, EveryKindOfGeometryMatchesItsGolden)
{
    struct Case {
        const char* name;
        std::function<void(LChartGLView&, LChartSeries*)> draw;
    };
    const float line[] = { 0, 2, 2, 6, 4, 3, 6, 8, 8, 5, 10, 9 };
    const Case cases[] = {
        { "line",
            [&](LChartGLView& v, LChartSeries* s) {
                int32_t a = 0, b = 0, c = 0;
                v.drawLineStrip(line, s, &a, &b, &c, 12, rgba(0, 0.4, 0.8).get(), nullptr, 2, 0, 1, kTenByTen);
            } },
        { "wideline",
            [&](LChartGLView& v, LChartSeries* s) {
                int32_t a = 0, b = 0, c = 0;
                v.drawLineStrip(
                    line, s, &a, &b, &c, 12, rgba(0.8, 0.2, 0.2).get(), rgba(0.2, 0.6, 0.2).get(), 6, 4, 1, kTenByTen);
            } },
        { "area",
            [&](LChartGLView& v, LChartSeries* s) {
                int32_t a = 0;
                v.horizontalFill(line, s, &a, 12, rgba(0.1, 0.5, 0.9).get(), rgba(0.9, 0.3, 0.1).get(),
                    rgba(0.9, 0.9, 1).get(), nullptr, 4, 5, 4, 1, true, kTenByTen);
            } },
        { "points",
            [&](LChartGLView& v, LChartSeries* s) {
                int32_t a = 0;
                v.drawDataPoints(line, s, &a, {}, 12, rgba(0.5, 0.1, 0.6).get(), rgba(0.1, 0.6, 0.5).get(), 5, nullptr,
                    4, 1, kTenByTen);
            } },
        { "bubbles",
            [&](LChartGLView& v, LChartSeries* s) {
                int32_t a = 0;
                const float sizes[] = { 8, 30, 14, 40, 20, 10 };
                v.drawDataPoints(
                    line, s, &a, {}, 12, rgba(0.2, 0.5, 0.9, 0.6).get(), nullptr, 5, sizes, 0, 1, kTenByTen);
            } },
        { "columns",
            [&](LChartGLView& v, LChartSeries* s) {
                int32_t a = 0, b = 0;
                const float columns[] = { 1, 6, 3, 2, 5, 8, 7, 1, 9, 4 };
                v.barColumnFill(columns, s, nullptr, &a, 10, rgba(0.2, 0.6, 0.3).get(), rgba(0.7, 0.2, 0.2).get(),
                    rgba(0.5, 0.9, 0.6).get(), rgba(0.9, 0.5, 0.5).get(), 1.2f, 3, 0, true, kTenByTen);
                v.barColumnLine(columns, s, nullptr, &b, 10, rgba(0, 0.2, 0).get(), rgba(0.3, 0, 0).get(), 1.2f, 2, 3,
                    0, kTenByTen);
            } },
        { "bars",
            [&](LChartGLView& v, LChartSeries* s) {
                int32_t a = 0;
                const float bars[] = { 6, 1, 2, 3, 8, 5, 1, 7, 4, 9 };
                v.barColumnFill(bars, s, nullptr, &a, 10, rgba(0.9, 0.6, 0.1).get(), nullptr, rgba(1, 0.8, 0.4).get(),
                    nullptr, 1.2f, 0, 1, false, kTenByTen);
            } },
        { "band",
            [&](LChartGLView& v, LChartSeries* s) {
                int32_t a = 0;
                const float high[] = { 0, 6, 2, 7, 4, 3, 6, 2, 8, 6, 10, 8 };
                const float low[] = { 0, 3, 2, 4, 4, 5, 6, 6, 8, 4, 10, 5 };
                v.drawBandSeriesFill(high, s, low, &a, 12, rgba(0.2, 0.5, 0.8, 0.7).get(),
                    rgba(0.8, 0.4, 0.2, 0.7).get(), 0, 0, kTenByTen);
            } },
        { "candlesticks",
            [&](LChartGLView& v, LChartSeries* s) {
                int32_t a = 0, b = 0, c = 0;
                const float candles[] = { 2, 8, 7, 4, 3, 5, 7, 5, 5, 2, 8, 9, 8, 3, 1 };
                v.drawCandlesticks(candles, s, &a, &b, &c, 3,
                    { rgba(0.1, 0.6, 0.2), rgba(0.5, 0.5, 0.5), rgba(0.8, 0.1, 0.1) },
                    { rgba(0.4, 0.9, 0.5), rgba(0.7, 0.7, 0.7), rgba(1, 0.5, 0.5) }, rgba(0, 0, 0).get(), nullptr, 1.5f,
                    1, 1, 0, kTenByTen);
            } },
        { "ohlc",
            [&](LChartGLView& v, LChartSeries* s) {
                int32_t a = 0, b = 0;
                const float points[] = { 2, 8, 4, 7, 3, 5, 7, 5, 5, 2, 8, 9, 8, 3, 1 };
                v.drawOHLCPoints(points, s, &a, &b, 3,
                    { rgba(0.1, 0.3, 0.8), rgba(0.1, 0.3, 0.8), rgba(0.1, 0.3, 0.8) },
                    { rgba(0.8, 0.3, 0.1), rgba(0.8, 0.3, 0.1), rgba(0.8, 0.3, 0.1) }, 0, 1.5f, 2, 2, kTenByTen);
            } },
        { "pie",
            [&](LChartGLView& v, LChartSeries* s) {
                const Ref<UIColor> colours[] = { rgba(0.9, 0.3, 0.2), rgba(0.2, 0.6, 0.9), rgba(0.3, 0.8, 0.3) };
                const float angles[] = { 0, 2.5f, 4.5f, float(2 * M_PI) };
                for (int32_t i = 0; i < 3; ++i)
                    v.drawRadialSlice(i, s, angles[i], angles[i + 1], CGPointZero, 0, 50, i == 1 ? 6 : 0,
                        colours[i].get(), rgba(1, 1, 1).get(), 2, 1);
            } },
        { "donut",
            [&](LChartGLView& v, LChartSeries* s) {
                const Ref<UIColor> colours[] = { rgba(0.6, 0.2, 0.7), rgba(0.9, 0.7, 0.1), rgba(0.2, 0.7, 0.6) };
                const float angles[] = { 0, 1.5f, 4, float(2 * M_PI) };
                for (int32_t i = 0; i < 3; ++i)
                    v.drawRadialSlice(i, s, angles[i], angles[i + 1], CGPointZero, 25, 50, 0, colours[i].get(),
                        rgba(1, 1, 1).get(), 2, 2);
            } },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        auto image = render([&](LChartGLView& view) { c.draw(view, asSeries(m_first)); });
        ASSERT_TRUE(image);
        EXPECT_TRUE(GoldenImage::matches(image, std::string(VX_TEST_DIR "/golden/") + c.name + ".png", 8, 0.01));
    }
}

TEST_F(LChartGLViewTest, EachBuiltInThemeMatchesItsGolden)
{
    struct Case {
        const char* name;
        Ref<LChartTheme> theme;
    };
    const Case cases[] = { { "theme-ios7", LChartiOS7Theme::init() }, { "theme-light", LChartLightTheme::init() },
        { "theme-dark", LChartDarkTheme::init() }, { "theme-midnight", LChartMidnightTheme::init() } };
    const float line[] = { 0, 2, 2, 6, 4, 3, 6, 8, 8, 5, 10, 9 };
    const float columns[] = { 1, 6, 3, 2, 5, 8, 7, 1, 9, 4 };
    auto width = [](const Value& value, float fallback) {
        float w = value.floatValue();
        return w > 0 ? w : fallback;
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        m_view->setAreaColor(c.theme->chartStyle()->plotAreaBackgroundColor());
        auto lineStyle = c.theme->lineSeriesStyleForSeriesAtIndex(0, false);
        auto columnStyle = c.theme->columnSeriesStyleForSeriesAtIndex(1, false);
        ASSERT_TRUE(lineStyle && columnStyle);
        auto image = render([&](LChartGLView& view) {
            int32_t fill = 0, a = 0, b = 0, lines = 0, segments = 0, joins = 0;
            view.barColumnFill(columns, asSeries(m_second), nullptr, &a, 10, columnStyle->areaColor().get(),
                columnStyle->areaColorBelowBaseline().get(), columnStyle->areaColorGradient().get(),
                columnStyle->areaColorGradientBelowBaseline().get(), 1.2f, 0, 0, true, kTenByTen);
            view.barColumnLine(columns, asSeries(m_second), nullptr, &b, 10, columnStyle->lineColor().get(),
                columnStyle->lineColorBelowBaseline().get(), 1.2f, width(columnStyle->lineWidth(), 1), 0, 0, kTenByTen);
            view.horizontalFill(line, asSeries(m_first), &fill, 12, lineStyle->areaColor().get(),
                lineStyle->areaColorBelowBaseline().get(), lineStyle->areaColorLowGradient().get(),
                lineStyle->areaColorGradientBelowBaseline().get(), 0, 9, 0, 1, true, kTenByTen);
            view.drawLineStrip(line, asSeries(m_first), &lines, &segments, &joins, 12, lineStyle->lineColor().get(),
                lineStyle->lineColorBelowBaseline().get(), width(lineStyle->lineWidth(), 2), 0, 1, kTenByTen);
        });
        ASSERT_TRUE(image);
        EXPECT_TRUE(GoldenImage::matches(image, std::string(VX_TEST_DIR "/golden/") + c.name + ".png", 8, 0.01));
    }
}

TEST_F(LChartGLViewTest, LineSeriesDrawThroughTheViewInTheirThemesStyles)
{
    struct Case {
        const char* name;
        Ref<LChartLineSeries> series;
        Ref<LChartTheme> theme;
        bool fill;
    };
    const Case cases[] = {
        { "series-line", LChartLineSeries::init(), LChartiOS7Theme::init(), false },
        { "series-line-fill", LChartLineSeries::init(), LChartMidnightTheme::init(), true },
        { "series-stepline", LChartStepLineSeries::init(), LChartDarkTheme::init(), false },
    };
    const double values[][2] = { { 0, 3 }, { 1.5, 6 }, { 3, 4 }, { 5, 8 }, { 7, 2 }, { 8.5, 5 }, { 10, 7 } };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        // The identity mapping a series group gives on axes from 0 to 10.
        for (const auto& [x, y] : values) {
            auto p = LChartInternalDataPoint::init();
            p->setXValue(Value(x));
            p->setYValue(Value(y));
            p->setXCoord(x);
            p->setYCoord(y);
            c.series->addDataPoint(p);
        }
        c.series->applyStylesFromThemeAtStyleIndexPreservingSetValues(*c.theme, 0, false);
        c.series->style()->setShowFill(c.fill);
        m_view->setSeriesDirectory(std::make_shared<LChartSeriesGLDirectory>());
        m_view->setAreaColor(c.theme->chartStyle()->plotAreaBackgroundColor());
        auto image = render([&](LChartGLView& view) {
            c.series->drawWithDrawerWithGLBaselineAndGLTranslation(view, 1, kTenByTen);
            c.series->updateWithDrawerAndGLTranslation(view, kTenByTen);
        });
        ASSERT_TRUE(image);
        EXPECT_TRUE(GoldenImage::matches(image, std::string(VX_TEST_DIR "/golden/") + c.name + ".png", 8, 0.01));
    }
}

TEST(LChartGLViewWindow, APresentedFrameShowsInTheWindowSnapshot)
{
    preferSoftwareRendering();
    HostedWindow host(HostedWindow::Window::Key, CGSizeMake(320, 240));
    auto view = LChartGLView::initWithFrame(CGRectMake(40, 40, 100, 80));
    host.root()->view()->addSubview(view);
    view->setAreaColor(rgba(0, 0, 1));
    view->beginRenderWithReloadedDataIsRadialChart(true, false);
    const float columns[] = { 5, 5 };
    int32_t slot = 0;
    view->barColumnFill(columns, nullptr, nullptr, &slot, 2, rgba(1, 0, 0).get(), nullptr, rgba(1, 0, 0).get(), nullptr,
        4, 0, 0, false, kTenByTen);
    EXPECT_FALSE(view->endRender());
    drainAll();

    ASSERT_TRUE(view->layer()->contents());
    auto snapshot = UIApplicationHost::renderKeyWindow();
    ASSERT_TRUE(snapshot && snapshot->CGImage());
    const auto& image = snapshot->CGImage();
    // The host renders the whole screen at the screen's scale.
    double scale = view->layer()->contentsScale();
    auto pixel = [&](double x, double y) {
        auto px = static_cast<size_t>(x * scale), py = static_cast<size_t>(y * scale);
        uint8_t rgbaBytes[4];
        image->format().readPremultiplied(image->bytes() + py * image->bytesPerRow(), px, rgbaBytes);
        return std::array<int, 3> { rgbaBytes[0], rgbaBytes[1], rgbaBytes[2] };
    };
    // The column stands in the middle of the view, blue plot area around it.
    EXPECT_EQ(pixel(90, 100), (std::array<int, 3> { 255, 0, 0 }));
    EXPECT_EQ(pixel(45, 100), (std::array<int, 3> { 0, 0, 255 }));
}

TEST_F(LChartGLViewTest, PointSeriesDrawThroughTheViewInTheirThemesStyles)
{
    struct Case {
        const char* name;
        Ref<LChartPointSeries> series;
        Ref<LChartTheme> theme;
    };
    const Case cases[] = {
        { "series-scatter", LChartScatterSeries::init(), LChartiOS7Theme::init() },
        { "series-bubble", LChartBubbleSeries::init(), LChartLightTheme::init() },
    };
    const double values[][3] = { { 1, 3, 20 }, { 3, 6, 80 }, { 5, 4, 40 }, { 7, 8, 10 }, { 9, 5, 60 } };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        for (const auto& [x, y, area] : values) {
            auto p = LChartInternalDataPoint::init();
            p->setXValue(Value(x));
            p->setYValue(Value(y));
            p->setXCoord(x);
            p->setYCoord(y);
            p->setValues(Value::dictionary({ { Value("Area"), Value(area) } }));
            c.series->addDataPoint(p);
        }
        c.series->applyStylesFromThemeAtStyleIndexPreservingSetValues(*c.theme, 1, false);
        if (auto markers = c.series->style()->pointStyle())
            markers->setShowPoints(true);
        m_view->setSeriesDirectory(std::make_shared<LChartSeriesGLDirectory>());
        m_view->setAreaColor(c.theme->chartStyle()->plotAreaBackgroundColor());
        auto image = render(
            [&](LChartGLView& view) { c.series->drawWithDrawerWithGLBaselineAndGLTranslation(view, 0, kTenByTen); });
        ASSERT_TRUE(image);
        EXPECT_TRUE(GoldenImage::matches(image, std::string(VX_TEST_DIR "/golden/") + c.name + ".png", 8, 0.01));
    }
}

TEST_F(LChartGLViewTest, ABandSeriesDrawsThroughTheViewInItsThemesStyle)
{
    auto band = LChartBandSeries::init();
    const double values[][3] = { { 0, 6, 3 }, { 2, 7, 4 }, { 4, 3, 5 }, { 6, 2, 6 }, { 8, 6, 4 }, { 10, 8, 5 } };
    for (const auto& [x, high, low] : values) {
        auto p = LChartInternalDataPoint::init();
        p->setXValue(Value(x));
        p->setYValue(Value(high));
        p->setXCoord(x);
        p->setYCoords(Value::dictionary({ { Value("High"), Value(high) }, { Value("Low"), Value(low) } }));
        band->addDataPoint(p);
    }
    auto theme = LChartDarkTheme::init();
    band->applyStylesFromThemeAtStyleIndexPreservingSetValues(*theme, 0, false);
    band->style()->setShowFill(true);
    m_view->setSeriesDirectory(std::make_shared<LChartSeriesGLDirectory>());
    m_view->setAreaColor(theme->chartStyle()->plotAreaBackgroundColor());
    auto image
        = render([&](LChartGLView& view) { band->drawWithDrawerWithGLBaselineAndGLTranslation(view, 0, kTenByTen); });
    ASSERT_TRUE(image);
    EXPECT_TRUE(GoldenImage::matches(image, std::string(VX_TEST_DIR "/golden/series-band.png"), 8, 0.01));
}

TEST_F(LChartGLViewTest, FinancialSeriesDrawThroughTheViewInTheirThemesStyles)
{
    struct Case {
        const char* name;
        Ref<LChartOHLCSeries> series;
    };
    const Case cases[]
        = { { "series-ohlc", LChartOHLCSeries::init() }, { "series-candlestick", LChartCandlestickSeries::init() } };
    const double prices[][5] = { { 1.5, 4, 7, 3, 6 }, { 3.5, 6, 8, 5, 5.5 }, { 5.5, 5.5, 9, 5, 8 },
        { 7.5, 8, 8.5, 2, 3 }, { 9, 3, 6, 1, 5 } };
    auto theme = LChartiOS7Theme::init();
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        for (const auto& [x, open, high, low, close] : prices) {
            auto p = LChartInternalDataPoint::init();
            p->setXValue(Value(x));
            p->setYValue(Value(close));
            p->setXCoord(x);
            p->setYCoords(Value::dictionary({ { Value("Open"), Value(open) }, { Value("High"), Value(high) },
                { Value("Low"), Value(low) }, { Value("Close"), Value(close) } }));
            c.series->addDataPoint(p);
        }
        c.series->applyStylesFromThemeAtStyleIndexPreservingSetValues(*theme, 0, false);
        c.series->setSeriesWidth(Value(1.0));
        m_view->setSeriesDirectory(std::make_shared<LChartSeriesGLDirectory>());
        m_view->setAreaColor(theme->chartStyle()->plotAreaBackgroundColor());
        auto image = render(
            [&](LChartGLView& view) { c.series->drawWithDrawerWithGLBaselineAndGLTranslation(view, 0, kTenByTen); });
        ASSERT_TRUE(image);
        EXPECT_TRUE(GoldenImage::matches(image, std::string(VX_TEST_DIR "/golden/") + c.name + ".png", 8, 0.01));
    }
}

TEST_F(LChartGLViewTest, BarAndColumnSeriesDrawThroughTheViewInTheirThemesStyles)
{
    struct Case {
        const char* name;
        Ref<LChartBarColumnSeries> series;
    };
    const Case cases[] = { { "series-column", LChartColumnSeries::init() }, { "series-bar", LChartBarSeries::init() } };
    const double values[][2] = { { 1, 6 }, { 3, 2 }, { 5, 8 }, { 7, 3 }, { 9, 5 } };
    auto theme = LChartMidnightTheme::init();
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        bool bars = c.series->orientation() == 1;
        for (const auto& [slot, value] : values) {
            auto p = LChartInternalDataPoint::init();
            p->setXValue(Value(bars ? value : slot));
            p->setYValue(Value(bars ? slot : value));
            p->setXCoord(bars ? value : slot);
            p->setYCoord(bars ? slot : value);
            c.series->addDataPoint(p);
        }
        c.series->applyStylesFromThemeAtStyleIndexPreservingSetValues(*theme, 0, false);
        c.series->setSeriesWidth(Value(1.2));
        m_view->setSeriesDirectory(std::make_shared<LChartSeriesGLDirectory>());
        m_view->setAreaColor(theme->chartStyle()->plotAreaBackgroundColor());
        auto image = render(
            [&](LChartGLView& view) { c.series->drawWithDrawerWithGLBaselineAndGLTranslation(view, 0, kTenByTen); });
        ASSERT_TRUE(image);
        EXPECT_TRUE(GoldenImage::matches(image, std::string(VX_TEST_DIR "/golden/") + c.name + ".png", 8, 0.01));
    }
}

TEST_F(LChartGLViewTest, PieAndDonutSeriesDrawThroughTheViewInTheirThemesStyles)
{
    struct Case {
        const char* name;
        Ref<LChartDonutSeries> series;
        Ref<LChartTheme> theme;
        float inner;
    };
    const Case cases[] = { { "series-pie", LChartPieSeries::init(), LChartiOS7Theme::init(), 0 },
        { "series-donut", LChartDonutSeries::init(), LChartLightTheme::init(), 25 } };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        for (double value : { 3.0, 5.0, 2.0, 4.0 }) {
            auto p = LChartInternalDataPoint::init();
            p->setXValue(Value("slice"));
            p->setYValue(Value(value));
            c.series->dataSeries()->dataPoints().push_back(p);
        }
        c.series->dataSeries()->dataPoints()[1]->setSelected(true);
        c.series->applyStylesFromThemeAtStyleIndexPreservingSetValues(*c.theme, 0, false);
        c.series->selectedStyle()->setProtrusion(8);
        c.series->resetSelectedStatus();
        c.series->setInnerRadius(c.inner);
        c.series->setOuterRadius(50);
        m_view->setSeriesDirectory(std::make_shared<LChartSeriesGLDirectory>());
        m_view->setAreaColor(c.theme->chartStyle()->plotAreaBackgroundColor());
        auto image = render([&](LChartGLView& view) {
            c.series->drawWithDrawer(view);
            c.series->updateWithDrawer(view);
        });
        ASSERT_TRUE(image);
        EXPECT_TRUE(GoldenImage::matches(image, std::string(VX_TEST_DIR "/golden/") + c.name + ".png", 8, 0.01));
    }
}
