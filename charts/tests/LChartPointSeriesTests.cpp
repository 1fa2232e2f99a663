#include "charts/LChartPointSeries.h"

#include "charts/LChartInternalDataPoint.h"
#include "charts/LChartPointSeriesStyle.h"
#include "charts/LChartiOS7Theme.h"
#include "charts/tests/ChartTestSupport.h"
#include "charts/tests/InternalPointFixtures.h"
#include "charts/tests/RecordingDrawer.h"
#include "foundation/Value.h"
#include "graphics/CGContext.h"
#include "graphics/UIColor.h"
#include "graphics/UIImage.h"

#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <functional>
#include <vector>

TEST(LChartPointSeries, DrawsUnselectedThenSelectedMarkersFromOneSlotCounter)
{
    auto series = LChartPointSeries::init();
    series->applyStylesFromThemeAtStyleIndexPreservingSetValues(*LChartiOS7Theme::init(), 0, false);
    series->style()->pointStyle()->setShowPoints(true);
    series->addDataPoint(markerPoint(0, 1));
    series->addDataPoint(markerPoint(1, 2, true));
    series->addDataPoint(markerPoint(2, 3));
    RecordingDrawer drawer;
    series->drawWithDrawerWithGLBaselineAndGLTranslation(drawer, 0, {});
    ASSERT_EQ(drawer.calls.size(), 2u);
    EXPECT_EQ(drawer.calls[0].data, (std::vector<float> { 0, 1, 2, 3 }));
    EXPECT_EQ(drawer.calls[1].data, (std::vector<float> { 1, 2 }));
    EXPECT_EQ(drawer.calls[0].slots[0], 0);
    EXPECT_EQ(drawer.calls[1].slots[0], 1);
    EXPECT_EQ(series->nextAvailableRenderDataIndices().at("Points"), 2);
}

namespace {

Ref<UIImage> markerImage()
{
    auto context
        = CGBitmapContextCreate(nullptr, 2, 2, 8, 8, CGColorSpaceCreateDeviceRGB(), kCGImageAlphaPremultipliedLast);
    return UIImage::imageWithCGImage(CGBitmapContextCreateImage(context));
}

} // namespace

TEST(LChartPointSeries, EachMarkerGroupTakesTheColoursRadiiAndImagesOfItsStyle)
{
    using Colour = std::array<CGFloat, 4>;
    const Colour red = RecordingDrawer::rgba(UIColor::redColor().get());
    const Colour blue = RecordingDrawer::rgba(UIColor::blueColor().get());
    const Colour green = RecordingDrawer::rgba(UIColor::greenColor().get());
    const Colour cyan = RecordingDrawer::rgba(UIColor::cyanColor().get());
    const Colour magenta = RecordingDrawer::rgba(UIColor::magentaColor().get());
    const Colour yellow = RecordingDrawer::rgba(UIColor::yellowColor().get());
    const Colour clear = RecordingDrawer::rgba(UIColor::clearColor().get());
    const auto imageA = markerImage(), imageB = markerImage();
    // What the view is handed for one group: colour, below colour, the radius entry of its
    // point (-1: no radius array) and its point's image.
    struct Group {
        Colour colour, below;
        float radius;
        const UIImage* image;
    };
    struct Case {
        const char* name;
        CGFloat screenScale;
        bool seriesSelected;
        // Changes to the set-up below: the series, its unselected point and its selected point.
        std::function<void(LChartPointSeries&, LChartInternalDataPoint&, LChartInternalDataPoint&)> change;
        Group unselected, selected;
    };
    const Case cases[] = {
        { "the selected markers take the below colour they lack from the unselected ones", 1, false,
            [](auto&, auto&, auto&) {}, { red, blue, 5, nullptr }, { green, blue, 7, nullptr } },
        { "a point's own radius wins over the style's, and both follow the screen scale", 2, false,
            [](auto&, auto&, LChartInternalDataPoint& selected) { selected.setRadius(6); }, { red, blue, 10, nullptr },
            { green, blue, 12, nullptr } },
        { "a point's own image wins over the style's", 1, false,
            [&](LChartPointSeries& series, auto&, LChartInternalDataPoint& selected) {
                series.style()->pointStyle()->setTexture(imageA);
                series.style()->selectedPointStyle()->setTexture(imageA);
                selected.setTexture(imageB);
            },
            { red, blue, 5, imageA.get() }, { green, blue, 7, imageB.get() } },
        { "a selected series draws both groups in its selected style", 1, true,
            [](LChartPointSeries& series, auto&, auto&) {
                auto markers = series.selectedStyle()->pointStyle();
                markers->setColor(UIColor::cyanColor());
                markers->setColorBelowBaseline(UIColor::magentaColor());
                markers->setRadius(Value(4));
                auto selectedMarkers = series.selectedStyle()->selectedPointStyle();
                selectedMarkers->setColor(UIColor::yellowColor());
                selectedMarkers->setRadius(Value(8));
            },
            { cyan, magenta, 4, nullptr }, { yellow, magenta, 8, nullptr } },
        { "markers without a below colour are drawn below the baseline in their colour", 1, false,
            [](LChartPointSeries& series, auto&, auto&) {
                series.style()->pointStyle()->setColorBelowBaseline(nullptr);
            },
            { red, red, 5, nullptr }, { green, green, 7, nullptr } },
        { "hidden markers are handed over clear, with no radius array", 1, false,
            [](LChartPointSeries& series, auto&, auto&) {
                series.style()->pointStyle()->setShowPoints(false);
                series.style()->selectedPointStyle()->setShowPoints(false);
            },
            { clear, clear, -1, nullptr }, { clear, clear, -1, nullptr } },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        ScopedScreenScale scale(c.screenScale);
        auto series = LChartPointSeries::init();
        auto markers = series->style()->pointStyle();
        markers->setColor(UIColor::redColor());
        markers->setColorBelowBaseline(UIColor::blueColor());
        markers->setRadius(Value(5));
        auto selectedMarkers = series->style()->selectedPointStyle();
        selectedMarkers->setColor(UIColor::greenColor());
        selectedMarkers->setRadius(Value(7));
        auto unselectedPoint = markerPoint(0, 1);
        auto selectedPoint = markerPoint(1, 2, true);
        c.change(*series, *unselectedPoint, *selectedPoint);
        series->setSelected(c.seriesSelected);
        series->addDataPoint(unselectedPoint);
        series->addDataPoint(selectedPoint);
        RecordingDrawer drawer;
        series->drawWithDrawerWithGLBaselineAndGLTranslation(drawer, 0, {});
        ASSERT_EQ(drawer.calls.size(), 2u);
        for (size_t i = 0; i < 2; ++i) {
            SCOPED_TRACE(i == 0 ? "unselected" : "selected");
            const auto& call = drawer.calls[i];
            const auto& expected = i == 0 ? c.unselected : c.selected;
            EXPECT_EQ(call.data, i == 0 ? (std::vector<float> { 0, 1 }) : (std::vector<float> { 1, 2 }));
            EXPECT_EQ(call.colours, (std::vector<Colour> { expected.colour, expected.below }));
            EXPECT_FLOAT_EQ(call.scalars[1], expected.radius);
            EXPECT_EQ(call.images, std::vector<const UIImage*> { expected.image });
        }
    }
}
