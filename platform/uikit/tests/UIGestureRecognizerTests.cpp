#include "testing/EventRecorder.h"
#include "testing/HostedWindow.h"

#include "uikit/UILongPressGestureRecognizer.h"
#include "uikit/UIPanGestureRecognizer.h"
#include "uikit/UITapGestureRecognizer.h"
#include "uikit/UITouch.h"

#include <gmock/gmock.h>

using ::testing::ElementsAre;

namespace {

EventRecorder s_log;

class TouchLogView : public UIView {
    VX_OBJECT(TouchLogView, UIView)
public:
    explicit TouchLogView(Passkey key)
        : UIView(key)
    {
    }
    static Ref<TouchLogView> initWithFrame(CGRect f) { return makeView<TouchLogView>(f); }
    void touchesBegan(const UITouchSet&, const Ref<UIEvent>&) override { s_log.add("view began"); }
    void touchesMoved(const UITouchSet&, const Ref<UIEvent>&) override { s_log.add("view moved"); }
    void touchesEnded(const UITouchSet&, const Ref<UIEvent>&) override { s_log.add("view ended"); }
    void touchesCancelled(const UITouchSet&, const Ref<UIEvent>&) override { s_log.add("view cancelled"); }
};

const char* stateName(UIGestureRecognizerState s)
{
    static const char* const names[] = { "possible", "began", "changed", "ended", "cancelled", "failed" };
    return names[s];
}

template <typename T> void logActions(const Ref<T>& recognizer, const std::string& name)
{
    recognizer->addTargetAction(nullptr, "handle",
        [name](const Ref<UIGestureRecognizer>& r) { s_log.add(name + " " + stateName(r->state())); });
}

// A pan that refuses to go left by failing itself, and says when it is reset.
class RightwardPan : public UIPanGestureRecognizer {
    VX_OBJECT(RightwardPan, UIPanGestureRecognizer)
public:
    explicit RightwardPan(Passkey key)
        : UIPanGestureRecognizer(key)
    {
    }
    static Ref<RightwardPan> init() { return make<RightwardPan>(); }
    void touchesMoved(const UITouchSet& touches, const Ref<UIEvent>& event) override
    {
        UIPanGestureRecognizer::touchesMoved(touches, event);
        if (state() == UIGestureRecognizerStatePossible && translationInView(nullptr).x < -5)
            setState(UIGestureRecognizerStateFailed);
    }
    void reset() override
    {
        UIPanGestureRecognizer::reset();
        s_log.add("pan reset");
    }
};

class UIGestureRecognizerTest : public HostedWindowTest {
protected:
    void SetUp() override
    {
        HostedWindowTest::SetUp();
        s_log.take();
        m_window = makeKeyWindow();
        m_view = TouchLogView::initWithFrame(CGRectMake(0, 0, 400, 400));
        m_window->addSubview(m_view);
    }
    void drag(std::vector<CGPoint> points, double step = 0.1)
    {
        auto touch = UIApplicationHost::touchDown(points.front());
        for (size_t i = 1; i < points.size(); ++i) {
            m_clock.advance(step);
            UIApplicationHost::touchMove(touch, points[i]);
        }
        UIApplicationHost::touchUp(touch);
    }
    Ref<UIWindow> m_window;
    Ref<TouchLogView> m_view;
};

} // namespace

TEST_F(UIGestureRecognizerTest, TapRecognizesAndCancelsTheViewsTouchesUnlessToldNotTo)
{
    auto tap = UITapGestureRecognizer::init();
    logActions(tap, "tap");
    m_view->addGestureRecognizer(tap);

    UIApplicationHost::tap(CGPointMake(50, 50));
    EXPECT_THAT(s_log.take(), ElementsAre("view began", "tap ended", "view cancelled"));
    EXPECT_EQ(UIGestureRecognizerStatePossible, tap->state()) << "reset after the event";

    tap->setCancelsTouchesInView(false);
    m_clock.advance(1);
    UIApplicationHost::tap(CGPointMake(50, 50));
    EXPECT_THAT(s_log.take(), ElementsAre("view began", "tap ended", "view ended"));

    // Moving too far is not a tap.
    m_clock.advance(1);
    drag({ { 50, 50 }, { 70, 50 } });
    EXPECT_EQ(UIGestureRecognizerStatePossible, tap->state());
    EXPECT_THAT(s_log.take(), ElementsAre("view began", "view moved", "view ended"));
}

TEST_F(UIGestureRecognizerTest, SingleTapWaitsForTheDoubleTapToFail)
{
    auto single = UITapGestureRecognizer::init();
    auto twice = UITapGestureRecognizer::init();
    twice->setNumberOfTapsRequired(2);
    single->requireGestureRecognizerToFail(twice);
    single->setCancelsTouchesInView(false);
    twice->setCancelsTouchesInView(false);
    logActions(single, "single");
    logActions(twice, "double");
    m_view->addGestureRecognizer(single);
    m_view->addGestureRecognizer(twice);

    UIApplicationHost::tap(CGPointMake(50, 50));
    m_clock.advance(0.3);
    EXPECT_THAT(s_log.take(), ElementsAre("view began", "view ended")) << "still waiting for a second tap";
    m_clock.advance(0.1);
    EXPECT_THAT(s_log.take(), ElementsAre("single ended"));

    m_clock.advance(1);
    UIApplicationHost::tap(CGPointMake(50, 50));
    m_clock.advance(0.2);
    UIApplicationHost::tap(CGPointMake(53, 52));
    m_clock.advance(1);
    EXPECT_THAT(s_log.take(), ElementsAre("view began", "view ended", "view began", "double ended", "view ended"));
    EXPECT_EQ(UIGestureRecognizerStatePossible, single->state());
}

TEST_F(UIGestureRecognizerTest, LongPressBeginsAfterHalfASecondInPlace)
{
    auto press = UILongPressGestureRecognizer::init();
    logActions(press, "press");
    m_view->addGestureRecognizer(press);

    auto touch = UIApplicationHost::touchDown(CGPointMake(100, 100));
    m_clock.advance(0.49);
    EXPECT_THAT(s_log.take(), ElementsAre("view began"));
    m_clock.advance(0.01);
    EXPECT_THAT(s_log.take(), ElementsAre("press began", "view cancelled"));
    UIApplicationHost::touchMove(touch, CGPointMake(150, 100));
    UIApplicationHost::touchUp(touch);
    EXPECT_THAT(s_log.take(), ElementsAre("press changed", "press ended"));

    struct Case {
        const char* name;
        CGPoint moveTo;
        double hold;
    };
    const Case failures[] = {
        { "lifted early", { 100, 100 }, 0.3 },
        { "moved 11 points first", { 111, 100 }, 1.0 },
    };
    for (const auto& c : failures) {
        SCOPED_TRACE(c.name);
        m_clock.advance(1);
        auto t = UIApplicationHost::touchDown(CGPointMake(100, 100));
        UIApplicationHost::touchMove(t, c.moveTo);
        m_clock.advance(c.hold);
        UIApplicationHost::touchUp(t);
        m_clock.advance(1);
        auto entries = s_log.take();
        EXPECT_THAT(entries, ::testing::Not(::testing::Contains(::testing::StartsWith("press"))));
    }
}

TEST_F(UIGestureRecognizerTest, PanReportsTranslationAndVelocityAndSubclassesSetTheirOwnState)
{
    auto pan = RightwardPan::init();
    std::vector<std::string> samples;
    pan->addTargetAction(nullptr, "pan", [&](const Ref<UIGestureRecognizer>& r) {
        auto p = std::static_pointer_cast<UIPanGestureRecognizer>(r);
        CGPoint t = p->translationInView(m_view);
        CGPoint v = p->velocityInView(m_view);
        samples.push_back(
            std::string(stateName(r->state())) + " " + NSStringFromCGPoint(t) + " " + NSStringFromCGPoint(v));
    });
    m_view->addGestureRecognizer(pan);

    drag({ { 100, 100 }, { 105, 100 }, { 120, 100 }, { 150, 110 } });
    EXPECT_THAT(
        samples, ElementsAre("began {20, 0} {150, 0}", "changed {50, 10} {300, 100}", "ended {50, 10} {300, 100}"));
    EXPECT_THAT(s_log.take(), ElementsAre("view began", "view moved", "view cancelled", "pan reset"));

    samples.clear();
    m_clock.advance(1);
    drag({ { 100, 100 }, { 94, 100 }, { 150, 100 } });
    EXPECT_TRUE(samples.empty()) << "failed on its own when going left";
    EXPECT_THAT(s_log.take(), ElementsAre("view began", "view moved", "view moved", "view ended", "pan reset"));

    // Disabling a pan in progress cancels it; enabled again, it works.
    samples.clear();
    m_clock.advance(1);
    auto touch = UIApplicationHost::touchDown(CGPointMake(100, 100));
    m_clock.advance(0.1);
    UIApplicationHost::touchMove(touch, CGPointMake(130, 100));
    pan->setEnabled(false);
    UIApplicationHost::touchMove(touch, CGPointMake(160, 100));
    UIApplicationHost::touchUp(touch);
    pan->setEnabled(true);
    drainAll();
    EXPECT_THAT(samples, ElementsAre("began {30, 0} {300, 0}", "cancelled {30, 0} {300, 0}"));
    samples.clear();
    m_clock.advance(1);
    drag({ { 100, 100 }, { 130, 100 } });
    EXPECT_EQ(2u, samples.size());
}
