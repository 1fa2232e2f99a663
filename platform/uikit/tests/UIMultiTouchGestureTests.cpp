#include "testing/EventRecorder.h"
#include "testing/HostedWindow.h"

#include "uikit/UIPanGestureRecognizer.h"
#include "uikit/UIPinchGestureRecognizer.h"
#include "uikit/UIRotationGestureRecognizer.h"
#include "uikit/UIScrollView.h"
#include "uikit/UISwipeGestureRecognizer.h"
#include "uikit/UITapGestureRecognizer.h"
#include "uikit/UITouch.h"

#include <gmock/gmock.h>

#include <cmath>
#include <numbers>

using ::testing::ElementsAre;

namespace {

const char* stateName(UIGestureRecognizerState s)
{
    static const char* const names[] = { "possible", "began", "changed", "ended", "cancelled", "failed" };
    return names[s];
}

class TouchLogView : public UIView {
    VX_OBJECT(TouchLogView, UIView)
public:
    explicit TouchLogView(Passkey key)
        : UIView(key)
    {
    }
    static Ref<TouchLogView> initWithFrame(CGRect f) { return makeView<TouchLogView>(f); }
    void touchesBegan(const UITouchSet& t, const Ref<UIEvent>& e) override
    {
        log.add("began " + std::to_string(t.size()) + "/" + std::to_string(e->allTouches().size()));
    }
    void touchesEnded(const UITouchSet&, const Ref<UIEvent>&) override { log.add("ended"); }
    void touchesCancelled(const UITouchSet&, const Ref<UIEvent>&) override { log.add("cancelled"); }
    EventRecorder log;
};

class Simultaneous : public NSObject, public UIGestureRecognizerDelegate {
    VX_OBJECT(Simultaneous, NSObject)
public:
    explicit Simultaneous(Passkey key)
        : NSObject(key)
    {
    }
    static Ref<Simultaneous> init() { return make<Simultaneous>(); }
    bool gestureRecognizerShouldRecognizeSimultaneouslyWithGestureRecognizer(
        const Ref<UIGestureRecognizer>&, const Ref<UIGestureRecognizer>&) override
    {
        return true;
    }
};

class ZoomDelegate : public NSObject, public UIScrollViewDelegate {
    VX_OBJECT(ZoomDelegate, NSObject)
public:
    explicit ZoomDelegate(Passkey key)
        : NSObject(key)
    {
    }
    static Ref<ZoomDelegate> init() { return make<ZoomDelegate>(); }
    Ref<UIView> viewForZoomingInScrollView(const Ref<UIScrollView>&) override { return zoomView; }
    void scrollViewWillBeginDragging(const Ref<UIScrollView>&) override { log.add("willBeginDragging"); }
    void scrollViewWillBeginZoomingWithView(const Ref<UIScrollView>&, const Ref<UIView>&) override
    {
        log.add("willBeginZooming");
    }
    void scrollViewDidEndZoomingWithViewAtScale(const Ref<UIScrollView>&, const Ref<UIView>&, CGFloat) override
    {
        log.add("didEndZooming");
    }
    Ref<UIView> zoomView;
    EventRecorder log;
};

class UIMultiTouchGestureTest : public HostedWindowTest {
protected:
    void SetUp() override
    {
        HostedWindowTest::SetUp();
        m_window = makeKeyWindow();
        m_view = TouchLogView::initWithFrame(CGRectMake(0, 0, 600, 600));
        m_window->addSubview(m_view);
    }

    // Fingers moving together from `from` to `to` in `steps` moves, 1/60 s apart, then lifting
    // after resting `pause` seconds.
    void gesture(std::vector<CGPoint> from, std::vector<CGPoint> to, int steps = 10, bool lift = true, double pause = 0)
    {
        auto touches = UIApplicationHost::touchesDown(from);
        for (int i = 1; i <= steps; ++i) {
            m_clock.advance(1.0 / 60);
            std::vector<CGPoint> points;
            CGFloat f = CGFloat(i) / CGFloat(steps);
            for (size_t k = 0; k < from.size(); ++k)
                points.push_back(
                    CGPointMake(from[k].x + (to[k].x - from[k].x) * f, from[k].y + (to[k].y - from[k].y) * f));
            UIApplicationHost::touchesMove(touches, points);
        }
        m_clock.advance(pause);
        if (lift)
            UIApplicationHost::touchesUp(touches);
        m_live = touches;
    }

    template <typename T> void logStates(const Ref<T>& recognizer, const std::string& name)
    {
        recognizer->addTargetAction(nullptr, "log",
            [this, name](const Ref<UIGestureRecognizer>& r) { m_log.add(name + " " + stateName(r->state())); });
    }

    Ref<UIWindow> m_window;
    Ref<TouchLogView> m_view;
    std::vector<Ref<UITouch>> m_live;
    EventRecorder m_log;
};

} // namespace

TEST_F(UIMultiTouchGestureTest, PinchScalesWithTheFingersDistance)
{
    auto pinch = UIPinchGestureRecognizer::init();
    m_view->addGestureRecognizer(pinch);
    std::vector<std::string> seen;
    CGFloat lastVelocity = 0;
    pinch->addTargetAction(nullptr, "pinch", [&](const Ref<UIGestureRecognizer>& r) {
        auto p = std::static_pointer_cast<UIPinchGestureRecognizer>(r);
        seen.push_back(std::string(stateName(r->state())) + " " + std::to_string(p->scale()).substr(0, 4));
        lastVelocity = p->velocity();
    });

    struct Case {
        const char* name;
        std::vector<CGPoint> from, to;
        const char* first; // first action, or "" for none
        const char* last;
    };
    const std::vector<Case> cases = {
        { "spread to 1.5", { { 200, 300 }, { 400, 300 } }, { { 150, 300 }, { 450, 300 } }, "began 1.05", "ended 1.50" },
        { "close to 0.5", { { 200, 300 }, { 400, 300 } }, { { 250, 300 }, { 350, 300 } }, "began 0.95", "ended 0.50" },
        { "vertical spread", { { 300, 200 }, { 300, 300 } }, { { 300, 150 }, { 300, 350 } }, "began 1.10",
            "ended 2.00" },
        { "moved together, same distance", { { 200, 300 }, { 400, 300 } }, { { 250, 350 }, { 450, 350 } }, "", "" },
        { "one finger", { { 200, 300 } }, { { 300, 300 } }, "", "" },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        seen.clear();
        m_clock.advance(1);
        gesture(c.from, c.to);
        if (*c.first == 0) {
            EXPECT_TRUE(seen.empty());
        } else {
            ASSERT_GE(seen.size(), 3u);
            EXPECT_EQ(seen.front(), c.first);
            EXPECT_EQ(seen.back(), c.last);
        }
        EXPECT_EQ(pinch->state(), UIGestureRecognizerStatePossible);
    }

    // Velocity is scale per second; lifting one of two fingers ends the pinch; a handler may
    // set the scale back to 1 and later moves scale from there.
    seen.clear();
    m_clock.advance(1);
    auto touches = UIApplicationHost::touchesDown({ { 200, 300 }, { 400, 300 } });
    m_clock.advance(0.1);
    UIApplicationHost::touchesMove(touches, { { 190, 300 }, { 410, 300 } });
    EXPECT_FLOAT_EQ(pinch->scale(), 1.1f);
    EXPECT_FLOAT_EQ(lastVelocity, 1.0f);
    pinch->setScale(1);
    m_clock.advance(0.1);
    UIApplicationHost::touchesMove(touches, { { 145, 300 }, { 455, 300 } });
    EXPECT_NEAR(pinch->scale(), 310.0 / 220.0, 1e-5);
    UIApplicationHost::touchesUp({ touches[1] });
    EXPECT_EQ(seen.back().substr(0, 5), "ended");
    UIApplicationHost::touchesUp({ touches[0] });
    EXPECT_EQ(pinch->state(), UIGestureRecognizerStatePossible);
}

TEST_F(UIMultiTouchGestureTest, RotationFollowsTheTurnOfTheFingersPastAHalfTurn)
{
    auto rotation = UIRotationGestureRecognizer::init();
    m_view->addGestureRecognizer(rotation);
    std::vector<CGFloat> rotations;
    std::vector<std::string> states;
    rotation->addTargetAction(nullptr, "turn", [&](const Ref<UIGestureRecognizer>& r) {
        rotations.push_back(std::static_pointer_cast<UIRotationGestureRecognizer>(r)->rotation());
        states.push_back(stateName(r->state()));
    });

    // The second finger circles the first, clockwise on the screen, for three quarters of a turn.
    CGPoint centre = CGPointMake(300, 300);
    auto at = [&](double angle) {
        return CGPointMake(CGFloat(centre.x + 100 * std::cos(angle)), CGFloat(centre.y + 100 * std::sin(angle)));
    };
    auto touches = UIApplicationHost::touchesDown({ centre, at(0) });
    for (int i = 1; i <= 27; ++i) {
        m_clock.advance(0.1);
        UIApplicationHost::touchesMove(touches, { centre, at(i * std::numbers::pi / 18) });
    }
    EXPECT_EQ(states.front(), "began");
    EXPECT_NEAR(rotations.front(), std::numbers::pi / 18 * 1, 1e-4) << "begins once it turned 0.1 radians";
    EXPECT_NEAR(rotation->rotation(), 1.5 * std::numbers::pi, 1e-4);
    EXPECT_NEAR(rotation->velocity(), (std::numbers::pi / 18) / 0.1, 1e-3);
    UIApplicationHost::touchesUp(touches);
    EXPECT_EQ(states.back(), "ended");

    // Counter-clockwise is negative; a turn smaller than the threshold never begins.
    rotations.clear();
    m_clock.advance(1);
    gesture({ centre, at(0) }, { centre, at(-0.5) });
    EXPECT_NEAR(rotations.back(), -0.5, 1e-4);
    rotations.clear();
    m_clock.advance(1);
    gesture({ centre, at(0) }, { centre, at(0.08) });
    EXPECT_TRUE(rotations.empty());
}

TEST_F(UIMultiTouchGestureTest, SwipeRecognizesQuickStrokesInItsDirections)
{
    struct Case {
        const char* name;
        uint32_t direction;
        uint32_t touches;
        std::vector<CGPoint> from, to;
        double duration;
        bool recognized;
    };
    const CGPoint a = CGPointMake(300, 300);
    const CGPoint b = CGPointMake(340, 300);
    const std::vector<Case> cases = {
        { "right", UISwipeGestureRecognizerDirectionRight, 1, { a }, { { 380, 300 } }, 0.2, true },
        { "right, slightly up", UISwipeGestureRecognizerDirectionRight, 1, { a }, { { 380, 270 } }, 0.2, true },
        { "left when right is asked", UISwipeGestureRecognizerDirectionRight, 1, { a }, { { 220, 300 } }, 0.2, false },
        { "up among left or up", UISwipeGestureRecognizerDirectionLeft | UISwipeGestureRecognizerDirectionUp, 1, { a },
            { { 300, 220 } }, 0.2, true },
        { "too slow", UISwipeGestureRecognizerDirectionRight, 1, { a }, { { 380, 300 } }, 0.8, false },
        { "too short", UISwipeGestureRecognizerDirectionRight, 1, { a }, { { 340, 300 } }, 0.2, false },
        { "diagonal", UISwipeGestureRecognizerDirectionRight, 1, { a }, { { 370, 360 } }, 0.2, false },
        { "two fingers", UISwipeGestureRecognizerDirectionDown, 2, { a, b }, { { 300, 380 }, { 340, 380 } }, 0.2,
            true },
        { "one finger of two", UISwipeGestureRecognizerDirectionDown, 2, { a }, { { 300, 380 } }, 0.2, false },
        { "two fingers of one", UISwipeGestureRecognizerDirectionDown, 1, { a, b }, { { 300, 380 }, { 340, 380 } }, 0.2,
            false },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        auto swipe = UISwipeGestureRecognizer::init();
        swipe->setDirection(c.direction);
        swipe->setNumberOfTouchesRequired(c.touches);
        m_view->addGestureRecognizer(swipe);
        int recognized = 0;
        swipe->addTargetAction(nullptr, "swipe", [&](const Ref<UIGestureRecognizer>& r) {
            EXPECT_EQ(r->state(), UIGestureRecognizerStateEnded);
            ++recognized;
        });
        m_clock.advance(1);
        auto touches = UIApplicationHost::touchesDown(c.from);
        for (int i = 1; i <= 10; ++i) {
            m_clock.advance(c.duration / 10);
            std::vector<CGPoint> points;
            for (size_t k = 0; k < c.from.size(); ++k)
                points.push_back(CGPointMake(c.from[k].x + (c.to[k].x - c.from[k].x) * CGFloat(i) / 10,
                    c.from[k].y + (c.to[k].y - c.from[k].y) * CGFloat(i) / 10));
            UIApplicationHost::touchesMove(touches, points);
        }
        UIApplicationHost::touchesUp(touches);
        EXPECT_EQ(recognized, c.recognized ? 1 : 0);
        m_view->removeGestureRecognizer(swipe);
    }
}

TEST_F(UIMultiTouchGestureTest, RecognizersExcludeEachOtherUnlessTheDelegateAllowsBoth)
{
    auto pinch = UIPinchGestureRecognizer::init();
    auto rotation = UIRotationGestureRecognizer::init();
    logStates(pinch, "pinch");
    logStates(rotation, "rotation");
    m_view->addGestureRecognizer(pinch);
    m_view->addGestureRecognizer(rotation);

    // Spreading and turning at once: the pinch begins first and the rotation fails.
    CGPoint c = CGPointMake(300, 300);
    gesture({ c, { 400, 300 } }, { c, { 300, 450 } });
    auto entries = m_log.take();
    EXPECT_EQ(entries.front(), "pinch began");
    EXPECT_THAT(entries, ::testing::Not(::testing::Contains(::testing::StartsWith("rotation"))));

    auto both = Simultaneous::init();
    rotation->setDelegate(both.get(), both);
    m_clock.advance(1);
    gesture({ c, { 400, 300 } }, { c, { 300, 450 } });
    entries = m_log.take();
    EXPECT_THAT(entries, ::testing::Contains("pinch ended"));
    EXPECT_THAT(entries, ::testing::Contains("rotation began"));
    EXPECT_THAT(entries, ::testing::Contains("rotation ended"));
}

TEST_F(UIMultiTouchGestureTest, PanWaitsForTheSwipeToFail)
{
    auto swipe = UISwipeGestureRecognizer::init();
    auto pan = UIPanGestureRecognizer::init();
    pan->requireGestureRecognizerToFail(swipe);
    logStates(swipe, "swipe");
    logStates(pan, "pan");
    m_view->addGestureRecognizer(swipe);
    m_view->addGestureRecognizer(pan);

    // A quick stroke is a swipe; the pan never begins.
    gesture({ { 100, 100 } }, { { 200, 100 } }, 6);
    EXPECT_THAT(m_log.take(), ElementsAre("swipe ended"));

    // A slow drag: the pan waits until the swipe's time runs out, then begins.
    m_clock.advance(1);
    gesture({ { 100, 100 } }, { { 130, 100 } }, 10, false);
    EXPECT_TRUE(m_log.take().empty());
    m_clock.advance(0.4);
    UIApplicationHost::touchesMove(m_live, { { 140, 100 } });
    EXPECT_THAT(m_log.take(), ElementsAre("pan began", "pan changed"));
    UIApplicationHost::touchesUp(m_live);
    EXPECT_THAT(m_log.take(), ElementsAre("pan ended"));

    // A drag the wrong way fails the swipe at once, and the pan takes over.
    m_clock.advance(1);
    gesture({ { 200, 100 } }, { { 170, 100 } }, 3);
    EXPECT_THAT(m_log.take(), ElementsAre("pan began", "pan changed", "pan changed", "pan ended"));
}

TEST_F(UIMultiTouchGestureTest, ScrollViewsScrollAndZoomThroughTheirOwnRecognizers)
{
    auto scrollView = UIScrollView::initWithFrame(CGRectMake(0, 0, 600, 600));
    scrollView->setContentSize(CGSizeMake(600, 3000));
    m_view->addSubview(scrollView);
    auto content = TouchLogView::initWithFrame(CGRectMake(0, 0, 600, 600));
    scrollView->addSubview(content);
    auto delegate = ZoomDelegate::init();
    scrollView->setDelegate(delegate.get(), delegate);
    ASSERT_NE(scrollView->panGestureRecognizer(), nullptr);
    EXPECT_EQ(scrollView->pinchGestureRecognizer(), nullptr) << "no zooming without zoom limits";

    // A drag scrolls and takes the touch from the content; a tap in the content does not fire.
    auto tap = UITapGestureRecognizer::init();
    logStates(tap, "tap");
    content->addGestureRecognizer(tap);
    gesture({ { 300, 400 } }, { { 300, 200 } }, 10, true, 0.2);
    EXPECT_EQ(scrollView->contentOffset().y, 200);
    EXPECT_THAT(content->log.take(), ElementsAre("began 1/1", "cancelled"));
    EXPECT_THAT(delegate->log.take(), ElementsAre("willBeginDragging"));
    EXPECT_TRUE(m_log.take().empty());
    m_clock.advance(5);

    // A pan of a view inside the scroll view wins over the scroll view's own.
    auto handle = UIView::initWithFrame(CGRectMake(0, 200, 100, 100));
    content->addSubview(handle);
    auto pan = UIPanGestureRecognizer::init();
    logStates(pan, "pan");
    handle->addGestureRecognizer(pan);
    gesture({ { 50, 50 } }, { { 50, 250 } });
    EXPECT_EQ(scrollView->contentOffset().y, 200);
    EXPECT_FALSE(scrollView->isTracking());
    EXPECT_TRUE(delegate->log.take().empty());
    EXPECT_EQ(m_log.take().front(), "pan began");
    content->log.take();

    // With zoom limits it pinches; its pan and pinch run together. Moved to another view, the
    // recognizers still zoom this scroll view.
    delegate->zoomView = content;
    scrollView->setMinimumZoomScale(1);
    scrollView->setMaximumZoomScale(6);
    auto pinch = scrollView->pinchGestureRecognizer();
    ASSERT_NE(pinch, nullptr);
    gesture({ { 250, 400 }, { 350, 400 } }, { { 200, 360 }, { 400, 360 } }, 10, true, 0.2);
    EXPECT_FLOAT_EQ(scrollView->zoomScale(), 2);
    EXPECT_THAT(delegate->log.take(), ElementsAre("willBeginZooming", "willBeginDragging", "didEndZooming"));

    auto pager = UIView::initWithFrame(CGRectMake(0, 0, 768, 1024));
    m_window->addSubview(pager);
    pager->addGestureRecognizer(pinch);
    pager->addGestureRecognizer(scrollView->panGestureRecognizer());
    EXPECT_TRUE(scrollView->gestureRecognizers().empty());
    scrollView->setZoomScale(1);
    m_clock.advance(5);
    gesture({ { 300, 700 }, { 400, 700 } }, { { 325, 700 }, { 375, 700 } });
    EXPECT_FLOAT_EQ(scrollView->zoomScale(), 1) << "zooming out springs back to the minimum";
    EXPECT_THAT(delegate->log.take(), ElementsAre("willBeginZooming", "didEndZooming"));

    scrollView->setMaximumZoomScale(1);
    EXPECT_EQ(scrollView->pinchGestureRecognizer(), nullptr);
    EXPECT_TRUE(pager->gestureRecognizers().size() == 1u) << "the pinch left the view it was moved to";
}

TEST_F(UIMultiTouchGestureTest, ExclusiveTouchViewsShareNoTouches)
{
    auto left = TouchLogView::initWithFrame(CGRectMake(0, 0, 200, 200));
    auto right = TouchLogView::initWithFrame(CGRectMake(300, 0, 200, 200));
    m_view->addSubview(left);
    m_view->addSubview(right);
    struct Case {
        const char* name;
        bool leftExclusive, rightExclusive;
        bool rightFirst;
        bool secondDelivered;
    };
    const Case cases[] = {
        { "neither exclusive", false, false, false, true },
        { "first view exclusive", true, false, false, false },
        { "second view exclusive", false, true, false, false },
        { "exclusive view touched while another holds a touch", true, false, true, false },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        left->setExclusiveTouch(c.leftExclusive);
        right->setExclusiveTouch(c.rightExclusive);
        CGPoint l = CGPointMake(100, 100), r = CGPointMake(400, 100);
        auto first = UIApplicationHost::touchDown(c.rightFirst ? r : l);
        auto second = UIApplicationHost::touchDown(c.rightFirst ? l : r);
        UIApplicationHost::touchesUp({ first, second });
        auto& firstLog = c.rightFirst ? right->log : left->log;
        auto& secondLog = c.rightFirst ? left->log : right->log;
        EXPECT_THAT(firstLog.take(), ElementsAre("began 1/1", "ended"));
        if (c.secondDelivered)
            EXPECT_THAT(secondLog.take(), ElementsAre("began 1/2", "ended"));
        else
            EXPECT_TRUE(secondLog.take().empty());
        m_clock.advance(1);
    }
    // Once the exclusive view's touch is gone, others are touched again.
    left->setExclusiveTouch(true);
    UIApplicationHost::tap(CGPointMake(100, 100));
    UIApplicationHost::tap(CGPointMake(400, 100));
    EXPECT_THAT(right->log.take(), ElementsAre("began 1/1", "ended"));
}

TEST_F(UIMultiTouchGestureTest, TapsCountTheirFingers)
{
    auto oneFinger = UITapGestureRecognizer::init();
    auto twoFingers = UITapGestureRecognizer::init();
    twoFingers->setNumberOfTouchesRequired(2);
    logStates(oneFinger, "one");
    logStates(twoFingers, "two");
    m_view->addGestureRecognizer(oneFinger);
    m_view->addGestureRecognizer(twoFingers);

    UIApplicationHost::touchesUp(UIApplicationHost::touchesDown({ { 100, 100 }, { 140, 100 } }));
    EXPECT_THAT(m_log.take(), ElementsAre("two ended"));
    m_clock.advance(1);
    UIApplicationHost::tap(CGPointMake(100, 100));
    EXPECT_THAT(m_log.take(), ElementsAre("one ended"));
}
