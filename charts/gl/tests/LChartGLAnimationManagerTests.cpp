#include "charts/gl/LChartGLAnimationManager.h"

#include "charts/LChartAnimation.h"
#include "charts/gl/LChartGLSeriesDirectory.h"
#include "charts/tests/ChartSeriesFixtures.h"
#include "foundation/Value.h"

#include <gtest/gtest.h>

TEST(LChartGLAnimationManager, RunningEntryAndExitAnimationsScaleOthersOnlyMoveTheOrigin)
{
    auto entry = LChartAnimation::fadeAnimation();
    entry->setDuration(Value(1.0));
    entry->setTimeElapsed(Value(0.5));
    auto exit = LChartAnimation::growAnimation();
    auto other = LChartAnimation::linearTransition();
    other->setDuration(Value(1.0));
    other->setTimeElapsed(Value(0.25));

    struct Case {
        const char* what;
        LChartGLAnimationState state;
        bool visible, running, entryExit;
    };
    const Case cases[] = {
        { "hidden and still", { nullptr, entry.get(), exit.get(), true, true }, false, false, false },
        { "shown and still", { nullptr, entry.get(), exit.get(), true, false }, true, false, false },
        { "animations off", { entry.get(), entry.get(), exit.get(), false, true }, false, false, false },
        { "entering while hidden", { entry.get(), entry.get(), exit.get(), true, true }, true, true, true },
        { "another animation", { other.get(), entry.get(), exit.get(), true, false }, true, true, false },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        auto values = LChartGLAnimationManager::valuesFor(c.state);
        EXPECT_EQ(values.visible, c.visible);
        EXPECT_EQ(values.running, c.running);
        EXPECT_EQ(values.entryExit, c.entryExit);
        if (c.running && !c.entryExit) {
            EXPECT_EQ(values.xScale, 1);
            EXPECT_EQ(values.alphaScale, 1);
        }
    }
    auto fading = LChartGLAnimationManager::valuesFor({ entry.get(), entry.get(), exit.get(), true, false });
    EXPECT_FLOAT_EQ(fading.alphaScale, entry->currentAlphaScaleValue());
}

TEST(LChartGLAnimationManager, TheSeriesDirectoryAsksTheSeriesThemselves)
{
    auto series = PlainSeries::init();
    series->setSeriesIndex(4);
    series->setTitle("Speed");
    series->setAnimationEnabled(true);
    series->entryAnimation()->setDuration(Value(1.0));
    series->exitAnimation()->setDuration(Value(1.0));
    LChartSeriesGLDirectory directory;
    EXPECT_EQ(directory.seriesIndexOf(series.get()), 4);
    EXPECT_EQ(directory.titleOf(series.get()), "Speed");

    series->setHidden(true);
    auto exiting = directory.animationValuesOf(series.get());
    EXPECT_TRUE(exiting.running && exiting.entryExit && exiting.visible);
    directory.updateAnimation(series.get(), 2);
    EXPECT_FALSE(directory.animationValuesOf(series.get()).visible);
}
