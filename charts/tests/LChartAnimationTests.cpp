#include "charts/LChartAnimation.h"

#include "charts/LChartRange.h"

#include <cmath>
#include <gtest/gtest.h>

namespace {

float oscillator(float t)
{
    return std::exp(t * -4.8368f) * (-1.0f / 0.8660254f) * std::sin(t * (0.8660254f * 9.6736f) + 1.0471976f) + 1.0f;
}

struct FakeSeries : LChartAnimatedSeries {
    int finished { 0 };
    bool barColumn { false };
    int32_t seriesOrientation { 0 };
    void sendAnimationDidFinishCallback(LChartAnimation&) override { ++finished; }
    bool isBarColumnSeries() const override { return barColumn; }
    int32_t orientation() const override { return seriesOrientation; }
    Value baseline() const override { return Value(3.0); }
    Ref<LChartRange> visibleRangeOnXAxis() const override
    {
        return LChartRange::initWithMinimumAndMaximum(Value(10), Value(20));
    }
};

} // namespace

TEST(LChartAnimationCurve, CurvesSampledAtFixedPointsMatchTheirFormulas)
{
    struct Case {
        Ref<LChartAnimationCurve> curve;
        float t;
        float expected;
    } cases[] = {
        { LChartLinearAnimationCurve::init(), 0.3f, 0.3f },
        { LChartFlatAnimationCurve::init(), 0.3f, 1.0f },
        { LChartEaseInOutAnimationCurve::init(), 0.25f, 0.0625f },
        { LChartEaseInOutAnimationCurve::init(), 0.5f, 0.5f },
        { LChartEaseInOutAnimationCurve::init(), 0.75f, 0.9375f },
        { LChartEaseInAnimationCurve::init(), 0.5f, 0.0625f },
        { LChartEaseOutAnimationCurve::init(), 0.5f, 0.96875f },
        { LChartBounceAnimationCurve::init(), 0.1f, oscillator(0.1f) },
        { LChartBounceAnimationCurve::init(), 0.4f, oscillator(0.4f) },
        { LChartDelayBounceAnimationCurve::init(), 0.3f, oscillator(0.0f) },
        { LChartDelayBounceAnimationCurve::init(), 0.7f, oscillator(0.4f) },
        { LChartBounceDelayAnimationCurve::init(), 0.2f, oscillator(0.4f) },
        { LChartBounceDelayAnimationCurve::init(), 0.8f, oscillator(1.0f) },
        { LChartDelayBounceWithMinimumAnimationCurve::init(), 0.3f, 0.05f },
        { LChartDelayBounceWithMinimumAnimationCurve::init(), 0.95f, oscillator(0.9f) },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.curve->className() + " at " + std::to_string(c.t));
        EXPECT_FLOAT_EQ(c.curve->valueAtTime(c.t), c.expected);
        EXPECT_TRUE(c.curve->copy()->isMemberOfClass(c.curve->objectClass()));
    }
    EXPECT_NEAR(oscillator(0.1f), 0.323, 0.001);
    EXPECT_NEAR(oscillator(0.4f), 1.159, 0.001);
    EXPECT_NEAR(LChartAnimationCurve::evaluateOscillator(0), 0, 1e-6);
    EXPECT_NEAR(LChartAnimationCurve::evaluateOscillator(1), 1, 0.01);
}

TEST(LChartAnimation, NewAnimationsAreFlatAndReverseRunsBackwards)
{
    auto animation = LChartAnimation::init();
    EXPECT_EQ(animation->currentXScaleValue(), 1.0f);
    EXPECT_EQ(animation->currentAlphaScaleValue(), 1.0f);
    EXPECT_TRUE(animation->xCurveSet());
    EXPECT_TRUE(animation->normalisedOriginXSet());
    EXPECT_FALSE(animation->absoluteOriginXSet());
    EXPECT_EQ(animation->duration().doubleValue(), 1.0 / 60.0);

    animation->animationWithCurve(0);
    animation->setDuration(Value(2.0));
    animation->setTimeElapsed(Value(0.5));
    EXPECT_FLOAT_EQ(animation->currentYScaleValue(), 0.25f);
    animation->setReverse(true);
    EXPECT_FLOAT_EQ(animation->currentYScaleValue(), 0.75f);
    auto before = animation->curve();
    animation->animationWithCurve(7);
    EXPECT_EQ(animation->curve(), before);
}

TEST(LChartAnimation, FinishingClampsAndTellsTheSeriesOnce)
{
    FakeSeries series;
    auto animation = LChartAnimation::growAnimation();
    animation->setSeries(&series);
    EXPECT_EQ(animation->duration().doubleValue(), static_cast<double>(2.4f));
    animation->setTimeElapsed(Value(3.0));
    EXPECT_EQ(animation->timeElapsed().doubleValue(), static_cast<double>(2.4f));
    EXPECT_FALSE(animation->active());
    animation->setTimeElapsed(Value(3.5));
    EXPECT_EQ(series.finished, 1);
    animation->setTimeElapsed(Value(1.0));
    EXPECT_TRUE(animation->active());
    EXPECT_EQ(series.finished, 1);
    // Normalised origin over the series' visible x range.
    EXPECT_DOUBLE_EQ(animation->animationOriginX(), 15.0);
}

TEST(LChartAnimation, BarsGrowFromTheirBaselineUnlessTheUserChoseAnOrigin)
{
    FakeSeries columns;
    columns.barColumn = true;
    auto animation = LChartAnimation::growVerticalAnimation();
    animation->setSeries(&columns);
    EXPECT_EQ(animation->absoluteOriginY().doubleValue(), 3.0);
    EXPECT_FALSE(animation->absoluteOriginYSet());

    auto chosen = LChartAnimation::growVerticalAnimation();
    chosen->setNormalisedOriginY(0.25f);
    chosen->setSeries(&columns);
    EXPECT_TRUE(chosen->absoluteOriginY().isNil());

    auto television = LChartAnimation::televisionAnimation();
    television->setSeries(&columns);
    EXPECT_TRUE(television->yScaleCurve()->isMemberOfClass(LChartDelayBounceWithMinimumAnimationCurve::classObject()));
    EXPECT_FALSE(television->yCurveSet());
}

TEST(LChartAnimation, PresetsAndCopies)
{
    auto tv = LChartAnimation::televisionAnimation();
    EXPECT_TRUE(tv->xScaleCurve()->isMemberOfClass(LChartBounceDelayAnimationCurve::classObject()));
    EXPECT_TRUE(tv->yScaleCurve()->isMemberOfClass(LChartDelayBounceAnimationCurve::classObject()));
    EXPECT_FALSE(tv->xCurveSet());

    auto radial = LChartAnimation::radialSelection();
    EXPECT_TRUE(radial->radiusCurve()->isMemberOfClass(LChartBounceAnimationCurve::classObject()));
    EXPECT_TRUE(radial->xScaleCurve()->isMemberOfClass(LChartFlatAnimationCurve::classObject()));
    EXPECT_TRUE(radial->angleCurve()->isMemberOfClass(LChartBounceAnimationCurve::classObject()));

    FakeSeries series;
    tv->setTimeElapsed(Value(1.0));
    tv->setSeries(&series);
    auto copy = tv->copy();
    EXPECT_TRUE(copy->xScaleCurve()->isMemberOfClass(LChartBounceDelayAnimationCurve::classObject()));
    EXPECT_TRUE(copy->yScaleCurve()->isMemberOfClass(LChartDelayBounceAnimationCurve::classObject()));
    EXPECT_NE(copy->xScaleCurve(), tv->xScaleCurve());
    EXPECT_EQ(copy->duration().doubleValue(), tv->duration().doubleValue());
    EXPECT_EQ(copy->timeElapsed().doubleValue(), 0);
    EXPECT_EQ(copy->series(), nullptr);
    EXPECT_FALSE(copy->xCurveSet());
    auto fade = LChartAnimation::fadeAnimation();
    EXPECT_TRUE(fade->alphaCurve()->isMemberOfClass(LChartLinearAnimationCurve::classObject()));
    EXPECT_EQ(LChartAnimation::growHorizontalAnimation()->normalisedOriginX(), 0.0f);
}
