#include "app/widgets/KESTSparkLineView.h"

#include "app/widgets/KESTSparkLinePoint.h"
#include "testing/VirtualClock.h"

#include <gtest/gtest.h>

namespace {

class Listener : public NSObject, public KESTSparkLineViewDelegate {
    VX_OBJECT(Listener, NSObject)
public:
    explicit Listener(Passkey key)
        : NSObject(key)
    {
    }
    static Ref<Listener> init() { return make<Listener>(); }
    void sparkLineDidAddPlotPointWithValue(const Ref<KESTSparkLineView>&, float value) override
    {
        values.push_back(value);
    }
    std::vector<float> values;
};

} // namespace

TEST(KESTSparkLineView, ScalesToRoundedBoundsWithMargins)
{
    ScopedVirtualClock clock;
    struct Case {
        const char* name;
        std::vector<float> values;
        float probe;
        float expectedY; // in a 100-point-high view
    };
    // Bounds: 250 alone gives 100..400 (mid-height); 0 alone 0..100; 120 and 380 give 0..500.
    const Case cases[] = {
        { "one value", { 250 }, 250, 50 },
        { "zero", { 0 }, 0, 85 },
        { "spread", { 120, 380 }, 500, 15 },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        auto line = KESTSparkLineView::initWithFrame(CGRectMake(0, 0, 300, 100));
        for (float value : c.values) {
            line->addPlotPoint(value);
            line->replot();
            clock.advance(15);
        }
        EXPECT_NEAR(line->verticalPositionForPoint(KESTSparkLinePoint::initWithValue(c.probe)), c.expectedY, 0.01);
    }
}

TEST(KESTSparkLineView, TakesOneValueEveryFifteenSecondsAndSlidesBetween)
{
    ScopedVirtualClock clock;
    auto line = KESTSparkLineView::initWithFrame(CGRectMake(0, 0, 300, 100));
    auto listener = Listener::init();
    line->setDelegate(listener.get(), listener);
    line->replot();
    EXPECT_TRUE(line->points().empty()) << "an empty line does nothing";

    line->addPlotPoint(250);
    EXPECT_EQ(line->points().size(), 6u);
    line->replot();
    ASSERT_EQ(line->points().size(), 7u) << "the first replot takes the value in";
    EXPECT_EQ(listener->values, (std::vector<float> { 250 }));
    EXPECT_EQ(line->points().back()->position().x, 300);
    clock.advance(7.5);
    line->replot();
    EXPECT_NEAR(line->points().back()->position().x, 275, 0.01) << "half a step after half the interval";

    // Three values within one interval are taken newest first, one per intake.
    line->addPlotPoint(1);
    line->addPlotPoint(2);
    line->addPlotPoint(3);
    for (float expected : { 3.0f, 2.0f, 1.0f }) {
        clock.advance(15);
        line->replot();
        EXPECT_EQ(line->currentValue(), expected);
    }
    EXPECT_EQ(line->points().size(), 8u);
    // With nothing queued, each intake repeats the oldest value held.
    float oldest = line->points().front()->value();
    clock.advance(15);
    line->replot();
    EXPECT_EQ(line->currentValue(), oldest);
    EXPECT_EQ(line->points().size(), 8u);
}
