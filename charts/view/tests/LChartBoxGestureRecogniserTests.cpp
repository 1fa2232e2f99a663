#include "charts/view/LChartBoxGestureRecogniser.h"

#include "testing/HostedWindow.h"
#include "testing/TouchSynthesis.h"
#include "uikit/UITapGestureRecognizer.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

class LChartBoxGestureRecogniserTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        m_view = UIView::initWithFrame(CGRectMake(0, 0, 400, 300));
        m_host.window()->addSubview(m_view);
        m_recogniser = LChartBoxGestureRecogniser::init();
        m_recogniser->addTargetAction(nullptr, "record", [this](const Ref<UIGestureRecognizer>&) {
            states.push_back(m_recogniser->state());
            boxes.push_back(m_recogniser->boxInView(m_view));
        });
        m_view->addGestureRecognizer(m_recogniser);
    }

    HostedWindow m_host { HostedWindow::Window::Key, CGSizeMake(400, 300) };
    Ref<UIView> m_view;
    Ref<LChartBoxGestureRecogniser> m_recogniser;
    std::vector<UIGestureRecognizerState> states;
    std::vector<CGRect> boxes;
};

void expectRect(CGRect actual, CGRect expected)
{
    EXPECT_TRUE(CGRectEqualToRect(actual, expected))
        << actual.origin.x << "," << actual.origin.y << " " << actual.size.width << "x" << actual.size.height;
}

} // namespace

TEST_F(LChartBoxGestureRecogniserTest, OneFingerSpansFromWhereItCameDown)
{
    TouchSynthesis::Finger finger(CGPointMake(200, 150));
    expectRect(m_recogniser->boxInView(m_view), CGRectMake(200, 150, 10, 10));
    finger.moveTo(CGPointMake(120, 200), 2);
    finger.lift();
    ASSERT_EQ(states.size(), 3u);
    EXPECT_EQ(states[0], UIGestureRecognizerStateBegan);
    EXPECT_EQ(states[1], UIGestureRecognizerStateChanged);
    EXPECT_EQ(states[2], UIGestureRecognizerStateEnded);
    expectRect(boxes.back(), CGRectMake(120, 150, 80, 50));
    // A thin drag still gives a box 10 points high.
    states.clear();
    m_host.settle(0);
    TouchSynthesis::Finger thin(CGPointMake(100, 100));
    thin.moveTo(CGPointMake(180, 102));
    expectRect(boxes.back(), CGRectMake(100, 100, 80, 10));
}

TEST_F(LChartBoxGestureRecogniserTest, TwoFingersSpanTheBoxBetweenThem)
{
    TouchSynthesis::TwoFingers fingers(CGPointMake(100, 200), CGPointMake(250, 120));
    fingers.moveTo(CGPointMake(90, 210), CGPointMake(260, 110));
    expectRect(boxes.back(), CGRectMake(90, 110, 170, 100));
    // One finger lifting does not end the gesture; the last one does.
    size_t before = states.size();
    fingers.liftFinger(0);
    EXPECT_EQ(states.size(), before);
    fingers.lift();
    EXPECT_EQ(states.back(), UIGestureRecognizerStateEnded);
}

TEST_F(LChartBoxGestureRecogniserTest, ALiftWithoutMovementOrAThirdFingerFails)
{
    // A tap that waits for the box to fail sees it fail.
    int taps = 0;
    auto tap = UITapGestureRecognizer::init();
    tap->addTargetAction(nullptr, "tap", [&](const Ref<UIGestureRecognizer>&) { ++taps; });
    tap->requireGestureRecognizerToFail(m_recogniser);
    m_view->addGestureRecognizer(tap);
    TouchSynthesis::tap(CGPointMake(200, 150));
    EXPECT_TRUE(states.empty());
    EXPECT_EQ(taps, 1);
    m_host.settle(0);

    TouchSynthesis::TwoFingers fingers(CGPointMake(100, 100), CGPointMake(200, 200));
    fingers.moveTo(CGPointMake(110, 100), CGPointMake(200, 210));
    EXPECT_EQ(m_recogniser->state(), UIGestureRecognizerStateBegan);
    TouchSynthesis::Finger third(CGPointMake(300, 250));
    EXPECT_EQ(m_recogniser->state(), UIGestureRecognizerStateFailed);
}
