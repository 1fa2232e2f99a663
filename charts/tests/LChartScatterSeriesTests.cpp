#include "charts/LChartScatterSeries.h"

#include "charts/LChartInternalDataPoint.h"
#include "charts/LChartPointSeriesStyle.h"
#include "charts/LChartiOS7Theme.h"
#include "charts/tests/InternalPointFixtures.h"
#include "charts/tests/RecordingDrawer.h"
#include "foundation/Value.h"
#include "graphics/UIColor.h"

#include <gtest/gtest.h>

#include <array>
#include <cmath>

TEST(LChartScatterSeries, DrawsOuterMarkersThenInnerDiscs)
{
    auto series = LChartScatterSeries::init();
    series->addDataPoint(markerPoint(0, 1));
    RecordingDrawer drawer;
    series->drawWithDrawerWithGLBaselineAndGLTranslation(drawer, 0, {});
    EXPECT_EQ(drawer.calls.size(), 4u);
    EXPECT_EQ(series->nextAvailableRenderDataIndices().at("Points"), 4);
    EXPECT_FALSE(series->isDrawingOuterPoints());
}

TEST(LChartScatterSeries, InnerDiscsTakeTheInnerValuesOrElseTheNormalStyles)
{
    auto series = LChartScatterSeries::init();
    series->addDataPoint(markerPoint(0, 1));
    auto markers = LChartPointStyle::init();
    markers->setShowPoints(true);
    markers->setColor(UIColor::redColor());
    markers->setRadius(Value(6.0f));
    markers->setInnerColor(UIColor::blueColor());
    markers->setInnerRadius(Value(3.0f));
    series->style()->setPointStyle(markers);
    // The selected style's outer markers are its own (they take no fallback); of the inner
    // values it names the colour only.
    auto selectedMarkers = LChartPointStyle::init();
    selectedMarkers->setShowPoints(true);
    selectedMarkers->setColor(UIColor::redColor());
    selectedMarkers->setRadius(Value(6.0f));
    selectedMarkers->setInnerColor(UIColor::greenColor());
    series->selectedStyle()->setPointStyle(selectedMarkers);

    const auto red = RecordingDrawer::rgba(UIColor::redColor().get());
    const auto blue = RecordingDrawer::rgba(UIColor::blueColor().get());
    const auto green = RecordingDrawer::rgba(UIColor::greenColor().get());
    struct Case {
        const char* name;
        bool selected;
        std::array<CGFloat, 4> inner;
    };
    const Case cases[] = { { "normal", false, blue }, { "selected", true, green } };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        series->setSelected(c.selected);
        series->invalidateAllBins();
        RecordingDrawer drawer;
        series->drawWithDrawerWithGLBaselineAndGLTranslation(drawer, 0, {});
        // Outer markers (unselected points, then selected ones), then the inner discs likewise.
        ASSERT_EQ(drawer.calls.size(), 4u);
        const auto& outer = drawer.calls[0];
        const auto& inner = drawer.calls[2];
        EXPECT_EQ(outer.colours[0], red);
        EXPECT_EQ(inner.colours[0], c.inner);
        ASSERT_GT(outer.scalars[0], 0);
        // The inner radius (3) is half the outer one (6), whatever the resolution scale.
        EXPECT_FLOAT_EQ(inner.scalars[0] * 2, outer.scalars[0]);
    }
}
