#include "charts/view/LChartPinchPanGestureRecogniser.h"

#include "charts/tests/ChartTestSupport.h"
#include "charts/view/LChartIdentical.h"
#include "testing/HostedWindow.h"
#include "testing/TouchSynthesis.h"
#include "uikit/UIScreen.h"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

namespace {

// What the recogniser reported at one action.
struct Step {
    UIGestureRecognizerState state;
    CGPoint location;
    CGPoint scale;
    CGPoint panVelocity;
    bool doPanMomentum;
};

class LChartPinchPanGestureRecogniserTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        m_view = UIView::initWithFrame(CGRectMake(0, 0, 400, 300));
        m_host.window()->addSubview(m_view);
        m_recogniser = LChartPinchPanGestureRecogniser::init();
        m_recogniser->addTargetAction(nullptr, "record", [this](const Ref<UIGestureRecognizer>&) {
            auto& r = *m_recogniser;
            steps.push_back(
                { r.state(), r.locationInView(m_view), r.scale(), r.velocityInView(m_view), r.doPanMomentum() });
        });
        m_view->addGestureRecognizer(m_recogniser);
    }
    static double aspect()
    {
        CGRect screen = UIScreen::mainScreen()->bounds();
        return screen.size.width / screen.size.height;
    }

    HostedWindow m_host { HostedWindow::Window::Key, CGSizeMake(400, 300) };
    Ref<UIView> m_view;
    Ref<LChartPinchPanGestureRecogniser> m_recogniser;
    std::vector<Step> steps;
};

} // namespace

TEST(LChartIdentical, MatchesTheSameObjectOnly)
{
    auto a = NSObject::init();
    auto b = NSObject::init();
    std::vector<Ref<NSObject>> array { a };
    EXPECT_TRUE(containsObjectIdenticalTo(array, a.get()));
    EXPECT_FALSE(containsObjectIdenticalTo(array, b.get()));
}

TEST_F(LChartPinchPanGestureRecogniserTest, OneFingerBeginsOnlyPastTheMovementThreshold)
{
    struct Case {
        CGFloat dx;
        bool begins;
    };
    for (const Case& c : { Case { 3.0, false }, Case { 3.01, true } }) {
        SCOPED_TRACE(c.dx);
        steps.clear();
        TouchSynthesis::Finger finger(CGPointMake(100, 100));
        finger.moveBy(c.dx, 0);
        EXPECT_EQ(steps.empty(), !c.begins);
        if (c.begins) {
            EXPECT_EQ(steps.front().state, UIGestureRecognizerStateBegan);
            EXPECT_NEAR(steps.front().location.x, 100 + c.dx, 1e-6);
            EXPECT_FALSE(m_recogniser->hasPinched());
        }
        finger.lift();
        m_host.settle(0);
    }
}

TEST_F(LChartPinchPanGestureRecogniserTest, APinchScalesEachDirectionByItsShareOfTheLineBetweenTheFingers)
{
    double a = aspect();
    struct Case {
        const char* name;
        CGPoint first, second, firstTo, secondTo;
        bool aspectLock;
        double x, y;
    };
    const Case cases[] = {
        // Level fingers twice as far apart: only x zooms.
        { "level", { 150, 150 }, { 250, 150 }, { 100, 150 }, { 300, 150 }, false, 2 / a, 0 },
        // Upright fingers: only y zooms.
        { "upright", { 200, 100 }, { 200, 150 }, { 200, 75 }, { 200, 175 }, false, 0, 2 * a },
        // A shallow angle whose y cosine is below 0.2 zooms x only.
        { "shallow", { 150, 150 }, { 250, 165 }, { 100, 142.5 }, { 300, 172.5 }, false,
            2 / a * 200 / std::hypot(200.0, 30.0), 0 },
        // Aspect lock: both zoom, differing only by the screen's aspect.
        { "locked", { 150, 150 }, { 250, 150 }, { 100, 150 }, { 300, 150 }, true, 2 / a, 2 * a },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        steps.clear();
        m_recogniser->setAspectLock(c.aspectLock);
        TouchSynthesis::TwoFingers fingers(c.first, c.second);
        fingers.moveTo(c.firstTo, c.secondTo, 4, 0.02);
        ASSERT_FALSE(steps.empty());
        CGPoint scale = steps.back().scale;
        EXPECT_NEAR(scale.x, c.x, 1e-5);
        EXPECT_NEAR(scale.y, c.y, 1e-5);
        EXPECT_TRUE(m_recogniser->hasPinched());
        ASSERT_TRUE(m_recogniser->hasZoomCentre());
        CGPoint centre = m_recogniser->zoomCentreInView(m_view);
        EXPECT_NEAR(centre.x, (c.firstTo.x + c.secondTo.x) / 2, 1e-6);
        EXPECT_NEAR(centre.y, (c.firstTo.y + c.secondTo.y) / 2, 1e-6);
        fingers.lift();
        m_host.settle(0);
    }
}

TEST_F(LChartPinchPanGestureRecogniserTest, PinchVelocityNeedsTwoSamplesMovingOneWay)
{
    {
        SCOPED_TRACE("steady spread");
        TouchSynthesis::TwoFingers fingers(CGPointMake(150, 150), CGPointMake(250, 150));
        // 20 points of distance per 0.02 s: the last five samples span 80 points in 0.08 s.
        fingers.moveTo(CGPointMake(90, 150), CGPointMake(310, 150), 6, 0.02);
        EXPECT_NEAR(m_recogniser->velocityForOrientation(0), 1000, 1e-3);
        EXPECT_EQ(m_recogniser->velocityForOrientation(1), 0);
        EXPECT_NEAR(m_recogniser->velocity().x, 1000, 1e-3);
        fingers.lift();
        m_host.settle(0);
    }
    {
        SCOPED_TRACE("out and back");
        TouchSynthesis::TwoFingers fingers(CGPointMake(150, 150), CGPointMake(250, 150));
        fingers.moveTo(CGPointMake(140, 150), CGPointMake(260, 150), 2, 0.02);
        fingers.moveTo(CGPointMake(148, 150), CGPointMake(252, 150), 2, 0.02);
        EXPECT_EQ(m_recogniser->velocityForOrientation(0), 0);
        fingers.lift();
        m_host.settle(0);
    }
    {
        SCOPED_TRACE("one sample");
        TouchSynthesis::TwoFingers fingers(CGPointMake(150, 150), CGPointMake(250, 150));
        fingers.moveTo(CGPointMake(100, 150), CGPointMake(300, 150));
        EXPECT_EQ(m_recogniser->velocityStartIndex(), -1);
        EXPECT_EQ(m_recogniser->velocityForOrientation(0), 0);
        fingers.lift();
        m_host.settle(0);
    }
}

TEST_F(LChartPinchPanGestureRecogniserTest, TheLastLiftDecidesWhetherThePanCoasts)
{
    struct Case {
        const char* name;
        double secondLiftAfter; // < 0: both fingers lift at once
        bool pinch;
        bool coasts;
    };
    const Case cases[] = {
        { "fingers lifted together", -1, true, false },
        { "second finger 0.5 s later", 0.5, true, false },
        { "second finger 0.6 s later", 0.6, true, true },
        { "one-finger pan", 0, false, true },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        steps.clear();
        if (c.pinch) {
            TouchSynthesis::TwoFingers fingers(CGPointMake(150, 150), CGPointMake(250, 150));
            fingers.moveTo(CGPointMake(120, 150), CGPointMake(280, 150), 3, 0.02);
            if (c.secondLiftAfter >= 0) {
                fingers.liftFinger(1);
                // The remaining finger moves alone until it lifts.
                fingers.moveTo(CGPointMake(150, 150), CGPointMake(280, 150), 5, c.secondLiftAfter / 5);
            }
            fingers.lift();
        } else {
            TouchSynthesis::Finger finger(CGPointMake(100, 100));
            finger.moveBy(60, 0, 6, 0.02);
            finger.lift();
        }
        ASSERT_FALSE(steps.empty());
        EXPECT_EQ(steps.back().state, UIGestureRecognizerStateEnded);
        EXPECT_EQ(steps.back().doPanMomentum, c.coasts);
        m_host.settle(0);
    }
}

TEST_F(LChartPinchPanGestureRecogniserTest, PanVelocityPassesOnlyForACoastingPan)
{
    {
        SCOPED_TRACE("fast one-finger pan coasts with the platform velocity");
        steps.clear();
        TouchSynthesis::Finger finger(CGPointMake(100, 100));
        finger.moveBy(80, 0, 8, 0.02); // 500 points per second
        finger.lift();
        ASSERT_FALSE(steps.empty());
        EXPECT_NEAR(steps.back().panVelocity.x, 500, 1e-3);
        m_host.settle(0);
    }
    // After a pinch, the finger left behind moves alone too briefly to coast, slowly (80 points
    // per second) or fast (1000) with the pinch's samples still in the ring.
    struct Case {
        const char* name;
        CGFloat to;
    };
    for (const Case& c : { Case { "slow", 148 }, Case { "fast", 240 } }) {
        SCOPED_TRACE(c.name);
        steps.clear();
        TouchSynthesis::TwoFingers fingers(CGPointMake(150, 150), CGPointMake(250, 150));
        fingers.moveTo(CGPointMake(140, 150), CGPointMake(260, 150), 2, 0.02);
        fingers.liftFinger(1);
        fingers.moveTo(CGPointMake(c.to, 150), CGPointMake(260, 150), 5, 0.02);
        fingers.lift();
        ASSERT_FALSE(steps.empty());
        EXPECT_FALSE(steps.back().doPanMomentum);
        EXPECT_EQ(steps.back().panVelocity.x, 0);
        m_host.settle(0);
    }
}

TEST_F(LChartPinchPanGestureRecogniserTest, ATapFailsWithoutBeginningAndResetsEverything)
{
    TouchSynthesis::tap(CGPointMake(100, 100));
    EXPECT_TRUE(steps.empty());
    m_host.settle(0);
    EXPECT_EQ(m_recogniser->state(), UIGestureRecognizerStatePossible);
    EXPECT_FALSE(m_recogniser->hasZoomCentre());
    EXPECT_FALSE(m_recogniser->touchStateChanged());
    CGPoint scale = m_recogniser->scale();
    EXPECT_EQ(scale.x, 1);
    EXPECT_EQ(scale.y, 1);

    FatalErrorsThrow fatal;
    try {
        m_recogniser->zoomCentreInView(m_view);
        ADD_FAILURE() << "no fatal error";
    } catch (const ChartFatalError& error) {
        EXPECT_NE(std::string(error.what()).find("Zoom Centre only valid with 2+ touches"), std::string::npos);
    }
}

TEST_F(LChartPinchPanGestureRecogniserTest, FingersComingAndGoingAreReportedOnce)
{
    TouchSynthesis::Finger first(CGPointMake(100, 100));
    EXPECT_TRUE(m_recogniser->touchStateChanged());
    EXPECT_FALSE(m_recogniser->touchStateChanged());
    first.moveBy(20, 0);
    TouchSynthesis::Finger second(CGPointMake(200, 100));
    EXPECT_TRUE(m_recogniser->touchStateChanged());
    EXPECT_TRUE(m_recogniser->hasPinched());
    second.moveBy(10, 0);
    CGPoint location = m_recogniser->locationInView(m_view);
    EXPECT_NEAR(location.x, (120 + 210) / 2.0, 1e-6);
    second.lift();
    EXPECT_TRUE(m_recogniser->touchStateChanged());
    EXPECT_TRUE(m_recogniser->hasZoomCentre());
    location = m_recogniser->locationInView(m_view);
    EXPECT_NEAR(location.x, 120, 1e-6);
}
