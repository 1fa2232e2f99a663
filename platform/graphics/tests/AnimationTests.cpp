#include "foundation/NSRunLoop.h"
#include "graphics/CAAnimation.h"
#include "graphics/CADisplayLink.h"
#include "graphics/CALayer.h"
#include "graphics/CATransaction.h"
#include "testing/VirtualClock.h"

#include <gtest/gtest.h>
#include <vector>

TEST(CATransaction, CompletionWaitsForTheLongestAnimation)
{
    ScopedVirtualClock clock;
    auto layer = CALayer::layer();
    std::vector<std::string> events;
    CATransaction::begin();
    CATransaction::setAnimationDuration(0.5);
    EXPECT_EQ(CATransaction::animationDuration(), 0.5);
    CATransaction::setCompletionBlock([&] { events.push_back("transaction"); });
    auto fade = CABasicAnimation::animationWithKeyPath("opacity");
    fade->setDuration(0.3);
    fade->setCompletion([&](bool finished) { events.push_back(finished ? "fade done" : "fade cut"); });
    layer->addAnimation(fade, "fade");
    auto border = CABasicAnimation::animationWithKeyPath("borderColor");
    border->setDuration(1.0);
    border->setRemovedOnCompletion(false);
    border->setFillMode("forwards");
    layer->addAnimation(border, "border");
    layer->setOpacity(0); // the model value changes at once
    CATransaction::commit();
    EXPECT_EQ(layer->opacity(), 0);

    clock.advance(0.31);
    EXPECT_EQ(events, (std::vector<std::string> { "fade done" }));
    EXPECT_FALSE(layer->animationForKey("fade"));
    clock.advance(0.7);
    EXPECT_EQ(events, (std::vector<std::string> { "fade done", "transaction" }));
    // Kept at its end value: the animation stays on the layer.
    EXPECT_TRUE(layer->animationForKey("border"));
}

TEST(CATransaction, NestedSettingsAndImmediateCompletion)
{
    ScopedVirtualClock clock;
    int completions = 0;
    CATransaction::begin();
    CATransaction::setDisableActions(true);
    CATransaction::begin();
    EXPECT_FALSE(CATransaction::disableActions());
    CATransaction::setCompletionBlock([&] { ++completions; });
    CATransaction::commit();
    EXPECT_TRUE(CATransaction::disableActions());
    CATransaction::commit();
    EXPECT_FALSE(CATransaction::disableActions());
    EXPECT_EQ(completions, 0); // runs on the next pass, not inside commit
    NSRunLoop::mainRunLoop()->runPass(NSDefaultRunLoopMode);
    EXPECT_EQ(completions, 1);

    // Replacing an animation under the same key cuts the old one short.
    auto layer = CALayer::layer();
    std::vector<bool> results;
    auto first = CABasicAnimation::animationWithKeyPath("position");
    first->setCompletion([&](bool finished) { results.push_back(finished); });
    layer->addAnimation(first, "move");
    layer->addAnimation(CABasicAnimation::animationWithKeyPath("position"), "move");
    clock.advance(1);
    EXPECT_EQ(results, (std::vector<bool> { false }));
}

TEST(CADisplayLink, TicksAtTheFrameIntervalOnTheClock)
{
    ScopedVirtualClock clock;
    auto target = NSObject::init();
    std::vector<double> stamps;
    auto link = CADisplayLink::displayLinkWithTargetSelector(
        target, [&](const Ref<CADisplayLink>& l) { stamps.push_back(l->timestamp()); });
    link->setFrameInterval(2);
    link->setFrameInterval(0); // ignored
    EXPECT_EQ(link->frameInterval(), 2);
    link->addToRunLoopForMode(NSRunLoop::mainRunLoop(), NSRunLoopCommonModes);
    double start = CACurrentMediaTime();
    clock.advance(1.0 + 1e-6);
    ASSERT_EQ(stamps.size(), 30u);
    EXPECT_NEAR(stamps[1] - stamps[0], 2.0 / 60, 1e-6);
    EXPECT_GT(stamps.front(), start);

    link->setPaused(true);
    clock.advance(0.5);
    EXPECT_EQ(stamps.size(), 30u);
    link->setPaused(false);
    link->invalidate();
    clock.advance(0.5);
    EXPECT_EQ(stamps.size(), 30u);
    // Invalidation releases the target.
    Weak<NSObject> weakTarget = target;
    target.reset();
    EXPECT_TRUE(weakTarget.expired());
}
