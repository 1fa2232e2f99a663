#include "testing/EventRecorder.h"
#include "testing/HostedWindow.h"

#include "graphics/CAAnimation.h"

#include <gmock/gmock.h>

using ::testing::ElementsAre;

class UIViewAnimationTest : public HostedWindowTest { };

TEST_F(UIViewAnimationTest, ModelValuesChangeAtOnceAndCompletionFollowsTheClock)
{
    auto view = UIView::initWithFrame(CGRectMake(0, 0, 10, 10));
    EventRecorder log;
    UIView::animateWithDurationDelayOptions(
        0.3, 0.2, UIViewAnimationOptionCurveEaseOut,
        [&] {
            view->setAlpha(0.25f);
            view->setFrame(CGRectMake(5, 5, 20, 20));
        },
        [&](bool finished) { log.add(finished ? "done" : "interrupted"); });
    EXPECT_FLOAT_EQ(0.25f, view->alpha());
    EXPECT_FLOAT_EQ(20, view->bounds().size.width);
    ASSERT_TRUE(view->layer()->animationForKey("opacity"));
    EXPECT_EQ("easeOut", view->layer()->animationForKey("opacity")->timingFunction());

    drainAll();
    m_clock.advance(0.49);
    EXPECT_TRUE(log.empty()) << "delay + duration is 0.5 s";
    m_clock.advance(0.02);
    EXPECT_THAT(log.take(), ElementsAre("done"));
    EXPECT_FALSE(view->layer()->animationForKey("opacity"));
}

TEST_F(UIViewAnimationTest, NewerAnimationOfTheSamePropertyInterruptsTheOlder)
{
    auto view = UIView::initWithFrame(CGRectMake(0, 0, 10, 10));
    auto other = UIView::initWithFrame(CGRectMake(0, 0, 10, 10));
    EventRecorder log;
    UIView::animateWithDuration(
        1.0,
        [&] {
            view->setAlpha(0);
            other->setAlpha(0);
        },
        [&](bool finished) { log.add(std::string("first ") + (finished ? "finished" : "interrupted")); });
    m_clock.advance(0.5);
    UIView::animateWithDurationDelayOptions(
        1.0, 0, UIViewAnimationOptionBeginFromCurrentState, [&] { view->setAlpha(1); },
        [&](bool finished) { log.add(std::string("second ") + (finished ? "finished" : "interrupted")); });
    // A different property of the same view does not interrupt.
    UIView::animateWithDuration(
        0.1, [&] { view->setCenter(CGPointMake(50, 50)); },
        [&](bool finished) { log.add(std::string("third ") + (finished ? "finished" : "interrupted")); });
    drainAll();
    EXPECT_TRUE(log.take().empty()) << "the first block still runs on the other view";
    EXPECT_FLOAT_EQ(1, view->alpha());
    // The first block ends when its last animation does (t = 1.0), reporting the interruption.
    m_clock.advance(1.0);
    EXPECT_THAT(log.take(), ElementsAre("third finished", "first interrupted", "second finished"));
}

TEST_F(UIViewAnimationTest, NothingToAnimateCompletesOnTheNextPass)
{
    auto view = UIView::initWithFrame(CGRectMake(0, 0, 10, 10));
    struct Case {
        const char* name;
        std::function<void(UIView::CompletionBlock)> run;
    };
    const Case cases[] = {
        { "no change",
            [&](UIView::CompletionBlock done) {
                UIView::animateWithDuration(
                    0.3, [] {}, done);
            } },
        { "zero duration",
            [&](UIView::CompletionBlock done) {
                UIView::animateWithDuration(
                    0, [&] { view->setAlpha(0.3f); }, done);
            } },
        { "animations disabled",
            [&](UIView::CompletionBlock done) {
                UIView::setAnimationsEnabled(false);
                UIView::animateWithDuration(
                    0.3, [&] { view->setAlpha(0.6f); }, done);
                UIView::setAnimationsEnabled(true);
            } },
        { "without animation",
            [&](UIView::CompletionBlock done) {
                UIView::animateWithDuration(
                    0.3, [&] { UIView::performWithoutAnimation([&] { view->setAlpha(0.9f); }); }, done);
            } },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        std::vector<bool> results;
        c.run([&](bool finished) { results.push_back(finished); });
        EXPECT_TRUE(results.empty()) << "never inside the call";
        EXPECT_FALSE(view->layer()->animationForKey("opacity"));
        runOnePass();
        EXPECT_THAT(results, ElementsAre(true));
    }
}

TEST_F(UIViewAnimationTest, BeginCommitTellsTheDidStopCallback)
{
    auto view = UIView::initWithFrame(CGRectMake(0, 0, 10, 10));
    EventRecorder log;
    int context = 42;
    UIView::beginAnimations("storeButtonUpdate", &context);
    UIView::setAnimationDuration(0.25);
    UIView::setAnimationDidStop([&](const std::string& name, bool finished, void* ctx) {
        log.add(name + (finished ? " finished " : " stopped ") + std::to_string(*static_cast<int*>(ctx)));
    });
    view->setAlpha(0);
    UIView::commitAnimations();
    EXPECT_FLOAT_EQ(0, view->alpha());
    m_clock.advance(0.25);
    EXPECT_THAT(log.take(), ElementsAre("storeButtonUpdate finished 42"));
}
