#include "testing/EventRecorder.h"
#include "testing/HostedWindow.h"

#include "uikit/UIApplicationHost.h"
#include "uikit/UIScrollView.h"
#include "uikit/UITouch.h"

#include <gmock/gmock.h>

#include <cmath>

using ::testing::ElementsAre;
using ::testing::ElementsAreArray;

namespace {

std::string point(CGPoint p)
{
    return "(" + std::to_string(int(std::lround(p.x))) + "," + std::to_string(int(std::lround(p.y))) + ")";
}

// Records delegate messages; runs of didScroll collapse into one entry.
class ScrollRecorder : public NSObject, public UIScrollViewDelegate {
    VX_OBJECT(ScrollRecorder, NSObject)
public:
    explicit ScrollRecorder(Passkey key)
        : NSObject(key)
    {
    }
    static Ref<ScrollRecorder> init() { return make<ScrollRecorder>(); }

    void scrollViewDidScroll(const Ref<UIScrollView>& sv) override
    {
        ++scrolls;
        furthestY = std::max(furthestY, sv->contentOffset().y);
        if (onScroll)
            onScroll(sv);
        if (log.empty() || log.last() != "didScroll")
            log.add("didScroll");
    }
    void scrollViewWillBeginDragging(const Ref<UIScrollView>&) override { log.add("willBeginDragging"); }
    void scrollViewWillEndDraggingWithVelocityTargetContentOffset(
        const Ref<UIScrollView>&, CGPoint velocity, CGPoint* target) override
    {
        lastVelocity = velocity;
        log.add("willEndDragging");
        if (retarget)
            *target = *retarget;
    }
    void scrollViewDidEndDraggingWillDecelerate(const Ref<UIScrollView>&, bool decelerate) override
    {
        log.add(std::string("didEndDragging ") + (decelerate ? "decelerate" : "stop"));
    }
    void scrollViewWillBeginDecelerating(const Ref<UIScrollView>&) override { log.add("willBeginDecelerating"); }
    void scrollViewDidEndDecelerating(const Ref<UIScrollView>& sv) override
    {
        log.add("didEndDecelerating " + point(sv->contentOffset()));
    }
    void scrollViewDidEndScrollingAnimation(const Ref<UIScrollView>& sv) override
    {
        log.add("didEndScrollingAnimation " + point(sv->contentOffset()));
    }
    bool scrollViewShouldScrollToTop(const Ref<UIScrollView>&) override { return allowTop; }
    void scrollViewDidScrollToTop(const Ref<UIScrollView>& sv) override
    {
        log.add("didScrollToTop " + point(sv->contentOffset()));
    }
    Ref<UIView> viewForZoomingInScrollView(const Ref<UIScrollView>&) override { return zoomView; }
    void scrollViewDidZoom(const Ref<UIScrollView>&) override { ++zooms; }
    void scrollViewDidEndZoomingWithViewAtScale(const Ref<UIScrollView>&, const Ref<UIView>&, CGFloat scale) override
    {
        log.add("didEndZooming " + std::to_string(scale).substr(0, 4));
    }

    EventRecorder log;
    int scrolls { 0 };
    int zooms { 0 };
    CGFloat furthestY { 0 };
    CGPoint lastVelocity {};
    std::optional<CGPoint> retarget;
    bool allowTop { true };
    Ref<UIView> zoomView;
    std::function<void(const Ref<UIScrollView>&)> onScroll;
};

// Counts every offset change that reaches the single entry point.
class CountingScrollView : public UIScrollView {
    VX_OBJECT(CountingScrollView, UIScrollView)
public:
    explicit CountingScrollView(Passkey key)
        : UIScrollView(key)
    {
    }
    static Ref<CountingScrollView> initWithFrame(CGRect frame) { return makeScrollView<CountingScrollView>(frame); }
    void setContentOffset(CGPoint offset) override
    {
        ++calls;
        UIScrollView::setContentOffset(offset);
    }
    int calls { 0 };
};

class UIScrollViewTest : public HostedWindowTest {
protected:
    void SetUp() override
    {
        HostedWindowTest::SetUp();
        m_window = makeKeyWindow();
        m_scrollView = CountingScrollView::initWithFrame(CGRectMake(0, 0, 400, 400));
        m_scrollView->setContentSize(CGSizeMake(400, 2000));
        m_window->addSubview(m_scrollView);
        m_delegate = ScrollRecorder::init();
        m_scrollView->setDelegate(m_delegate.get(), m_delegate);
    }

    // A finger moving from `from` to `to` in `steps` frames, then resting `pause` seconds before lifting.
    void drag(CGPoint from, CGPoint to, int steps, double pause = 0)
    {
        auto touch = UIApplicationHost::touchDown(from);
        for (int i = 1; i <= steps; ++i) {
            m_clock.advance(1.0 / 60);
            CGFloat f = CGFloat(i) / steps;
            UIApplicationHost::touchMove(
                touch, CGPointMake(from.x + (to.x - from.x) * f, from.y + (to.y - from.y) * f));
        }
        if (pause > 0)
            m_clock.advance(pause);
        UIApplicationHost::touchUp(touch);
    }

    Ref<UIWindow> m_window;
    Ref<CountingScrollView> m_scrollView;
    Ref<ScrollRecorder> m_delegate;
};

TEST_F(UIScrollViewTest, DragsReportTheFullSequenceAndComeToRest)
{
    struct Case {
        const char* name;
        CGPoint start;
        CGPoint from, to;
        int steps;
        double pause;
        bool bounces;
        bool paging;
        std::vector<std::string> expected;
        CGPoint resting;
        bool runsPastRest; // a flick past the edge overshoots it before settling
    };
    const std::vector<Case> cases = {
        { "slow drag held before lifting", { 0, 500 }, { 200, 300 }, { 200, 200 }, 10, 0.5, true, false,
            { "willBeginDragging", "didScroll", "willEndDragging", "didEndDragging stop" }, { 0, 600 }, false },
        { "flick decelerates", { 0, 500 }, { 200, 350 }, { 200, 150 }, 5, 0, true, false,
            { "willBeginDragging", "didScroll", "willEndDragging", "didEndDragging decelerate", "willBeginDecelerating",
                "didScroll", "didEndDecelerating (0,1600)" },
            { 0, 1600 }, true },
        { "flick without bounce stops at the edge", { 0, 500 }, { 200, 350 }, { 200, 150 }, 5, 0, false, false,
            { "willBeginDragging", "didScroll", "willEndDragging", "didEndDragging decelerate", "willBeginDecelerating",
                "didScroll", "didEndDecelerating (0,1600)" },
            { 0, 1600 }, false },
        { "pulled past the top bounces back", { 0, 0 }, { 200, 100 }, { 200, 300 }, 10, 0.5, true, false,
            { "willBeginDragging", "didScroll", "willEndDragging", "didEndDragging decelerate", "willBeginDecelerating",
                "didScroll", "didEndDecelerating (0,0)" },
            { 0, 0 }, false },
        { "without bounce the top edge holds", { 0, 0 }, { 200, 100 }, { 200, 300 }, 10, 0.5, false, false,
            { "willBeginDragging", "willEndDragging", "didEndDragging stop" }, { 0, 0 }, false },
        { "paging flick moves one page", { 0, 400 }, { 200, 300 }, { 200, 200 }, 5, 0, true, true,
            { "willBeginDragging", "didScroll", "willEndDragging", "didEndDragging decelerate", "willBeginDecelerating",
                "didScroll", "didEndDecelerating (0,800)" },
            { 0, 800 }, false },
        { "paging slow drag settles on the nearest page", { 0, 400 }, { 200, 300 }, { 200, 50 }, 10, 0.5, true, true,
            { "willBeginDragging", "didScroll", "willEndDragging", "didEndDragging decelerate", "willBeginDecelerating",
                "didScroll", "didEndDecelerating (0,800)" },
            { 0, 800 }, false },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        m_scrollView->setBounces(c.bounces);
        m_scrollView->setPagingEnabled(c.paging);
        m_scrollView->setContentOffset(c.start);
        m_delegate->log.take();
        m_delegate->furthestY = c.start.y;
        drag(c.from, c.to, c.steps, c.pause);
        m_clock.advance(5);
        EXPECT_THAT(m_delegate->log.take(), ElementsAreArray(c.expected));
        EXPECT_EQ(m_delegate->furthestY > c.resting.y + 1, c.runsPastRest);
        EXPECT_EQ(point(m_scrollView->contentOffset()), point(c.resting));
        EXPECT_FALSE(m_scrollView->isDragging());
        EXPECT_FALSE(m_scrollView->isDecelerating());
    }
}

TEST_F(UIScrollViewTest, EveryOffsetChangeGoesThroughTheSingleEntryPoint)
{
    // While pulled past the top the content follows the finger at half speed.
    auto touch = UIApplicationHost::touchDown(CGPointMake(200, 100));
    m_clock.advance(0.1);
    UIApplicationHost::touchMove(touch, CGPointMake(200, 300));
    EXPECT_TRUE(m_scrollView->isDragging());
    EXPECT_EQ(point(m_scrollView->contentOffset()), "(0,-100)");
    m_clock.advance(0.5);
    UIApplicationHost::touchUp(touch);
    m_clock.advance(1);
    m_scrollView->setContentOffsetAnimated(CGPointMake(0, 300), true);
    m_clock.advance(1);
    // Every delegate didScroll came from a call of the overridable setter.
    EXPECT_GE(m_scrollView->calls, m_delegate->scrolls);
    EXPECT_GT(m_delegate->scrolls, 3);
    EXPECT_EQ(point(m_scrollView->contentOffset()), "(0,300)");
}

TEST_F(UIScrollViewTest, DidScrollMayReenterAndTheDelegateMayRetarget)
{
    // A delegate that never lets the offset pass 1000 re-enters the setter from didScroll.
    m_delegate->onScroll = [](const Ref<UIScrollView>& sv) {
        if (sv->contentOffset().y > 1000)
            sv->setContentOffset(CGPointMake(0, 1000));
    };
    m_scrollView->setContentOffset(CGPointMake(0, 1500));
    EXPECT_EQ(point(m_scrollView->contentOffset()), "(0,1000)");

    m_delegate->onScroll = nullptr;
    m_delegate->retarget = CGPointMake(0, 1234);
    m_delegate->log.take();
    drag(CGPointMake(200, 300), CGPointMake(200, 200), 5);
    EXPECT_GT(m_delegate->lastVelocity.y, 0);
    m_clock.advance(5);
    EXPECT_EQ(m_delegate->log.last(), "didEndDecelerating (0,1234)");

    // A target beyond the content still comes to rest inside it.
    m_delegate->retarget = CGPointMake(0, 99999);
    drag(CGPointMake(200, 300), CGPointMake(200, 200), 5);
    m_clock.advance(5);
    EXPECT_EQ(point(m_scrollView->contentOffset()), "(0,1600)");
}

TEST_F(UIScrollViewTest, AnimatedScrollsEndOnTheClockAndTouchesStopMotion)
{
    m_scrollView->setContentOffsetAnimated(CGPointMake(0, 600), true);
    m_clock.advance(0.15);
    CGFloat midway = m_scrollView->contentOffset().y;
    EXPECT_GT(midway, 0);
    EXPECT_LT(midway, 600);
    m_clock.advance(0.2);
    EXPECT_THAT(m_delegate->log.take(), ElementsAre("didScroll", "didEndScrollingAnimation (0,600)"));

    // Already there, or not animated: no end message.
    m_scrollView->setContentOffsetAnimated(CGPointMake(0, 600), true);
    m_scrollView->setContentOffsetAnimated(CGPointMake(0, 700), false);
    m_clock.advance(1);
    EXPECT_THAT(m_delegate->log.take(), ElementsAre("didScroll"));

    // A touch on decelerating content stops it where it is, without an end message.
    drag(CGPointMake(200, 300), CGPointMake(200, 200), 5);
    m_clock.advance(0.2);
    EXPECT_TRUE(m_scrollView->isDecelerating());
    auto touch = UIApplicationHost::touchDown(CGPointMake(100, 100));
    CGFloat stopped = m_scrollView->contentOffset().y;
    EXPECT_FALSE(m_scrollView->isDecelerating());
    m_clock.advance(3);
    UIApplicationHost::touchUp(touch);
    EXPECT_EQ(m_scrollView->contentOffset().y, stopped);
    for (const auto& entry : m_delegate->log.take())
        EXPECT_EQ(entry.find("didEndDecelerating"), std::string::npos) << entry;
}

TEST_F(UIScrollViewTest, DirectionalLockFollowsTheDominantAxis)
{
    m_scrollView->setContentSize(CGSizeMake(2000, 2000));
    m_scrollView->setContentOffset(CGPointMake(500, 500));
    m_scrollView->setDirectionalLockEnabled(true);
    drag(CGPointMake(200, 300), CGPointMake(200 - 10, 300 - 100), 10, 0.5);
    EXPECT_EQ(point(m_scrollView->contentOffset()), "(500,600)");
    m_scrollView->setDirectionalLockEnabled(false);
    drag(CGPointMake(200, 300), CGPointMake(200 - 10, 300 - 100), 10, 0.5);
    EXPECT_EQ(point(m_scrollView->contentOffset()), "(510,700)");
}

TEST_F(UIScrollViewTest, ScrollRectToVisibleMovesTheLeastDistance)
{
    struct Case {
        const char* name;
        CGRect rect;
        const char* expected;
    };
    const std::vector<Case> cases = {
        { "already visible", CGRectMake(0, 550, 100, 100), "(0,500)" },
        { "below", CGRectMake(0, 950, 100, 100), "(0,650)" },
        { "above", CGRectMake(0, 300, 100, 100), "(0,300)" },
        { "taller than the view shows its top", CGRectMake(0, 1000, 100, 900), "(0,1000)" },
        { "beyond the content is clamped", CGRectMake(0, 1950, 100, 200), "(0,1600)" },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        m_scrollView->setContentOffset(CGPointMake(0, 500));
        m_scrollView->scrollRectToVisibleAnimated(c.rect, false);
        EXPECT_EQ(point(m_scrollView->contentOffset()), c.expected);
    }
}

TEST_F(UIScrollViewTest, ScrollsToTopRespectingInsetAndDelegate)
{
    m_scrollView->setContentInset(UIEdgeInsetsMake(64, 0, 0, 0));
    m_scrollView->setContentOffset(CGPointMake(0, 900));
    m_delegate->allowTop = false;
    EXPECT_FALSE(m_scrollView->scrollToTop());
    m_delegate->allowTop = true;
    m_delegate->log.take();
    EXPECT_TRUE(m_scrollView->scrollToTop());
    m_clock.advance(1);
    EXPECT_THAT(m_delegate->log.take(), ElementsAre("didScroll", "didScrollToTop (0,-64)"));
    m_scrollView->setScrollsToTop(false);
    m_scrollView->setContentOffset(CGPointMake(0, 900));
    EXPECT_FALSE(m_scrollView->scrollToTop());
}

TEST_F(UIScrollViewTest, IndicatorsShowWhileMovingAndFadeAfter)
{
    EXPECT_FALSE(m_scrollView->isVerticalScrollIndicatorVisible());
    m_scrollView->setContentOffsetAnimated(CGPointMake(0, 400), true);
    m_clock.advance(0.1);
    EXPECT_TRUE(m_scrollView->isVerticalScrollIndicatorVisible());
    // Nothing to scroll sideways, so no horizontal indicator.
    EXPECT_FALSE(m_scrollView->isHorizontalScrollIndicatorVisible());
    m_clock.advance(0.3);
    EXPECT_TRUE(m_scrollView->isVerticalScrollIndicatorVisible());
    m_clock.advance(1);
    EXPECT_FALSE(m_scrollView->isVerticalScrollIndicatorVisible());
    m_scrollView->flashScrollIndicators();
    EXPECT_TRUE(m_scrollView->isVerticalScrollIndicatorVisible());
    m_clock.advance(1.5);
    EXPECT_FALSE(m_scrollView->isVerticalScrollIndicatorVisible());
}

TEST_F(UIScrollViewTest, ZoomScalesTheDelegatesViewWithinLimits)
{
    auto content = UIView::initWithFrame(CGRectMake(0, 0, 400, 400));
    m_scrollView->addSubview(content);
    m_scrollView->setContentSize(CGSizeMake(400, 400));
    m_delegate->zoomView = content;
    m_scrollView->setMinimumZoomScale(0.5f);
    m_scrollView->setMaximumZoomScale(4);

    m_scrollView->setZoomScale(10);
    EXPECT_EQ(m_scrollView->zoomScale(), 4);
    EXPECT_EQ(m_scrollView->contentSize().width, 1600);
    EXPECT_EQ(content->frame().origin.x, 0);

    m_scrollView->setZoomScale(1);
    m_scrollView->zoomToRectAnimated(CGRectMake(100, 100, 200, 200), false);
    EXPECT_EQ(m_scrollView->zoomScale(), 2);
    EXPECT_EQ(point(m_scrollView->contentOffset()), "(200,200)");

    // A pinch past the limit springs back to it when released.
    m_delegate->log.take();
    m_scrollView->pinchBegan();
    m_scrollView->pinchChanged(4);
    EXPECT_EQ(m_scrollView->zoomScale(), 8);
    m_scrollView->pinchEnded();
    EXPECT_EQ(m_scrollView->zoomScale(), 4);
    EXPECT_GT(m_delegate->zooms, 0);
    EXPECT_EQ(m_delegate->log.last(), "didEndZooming 4.00");

    // Without a zooming view nothing changes.
    m_delegate->zoomView = nullptr;
    m_scrollView->setZoomScale(1);
    EXPECT_EQ(m_scrollView->zoomScale(), 4);
}

} // namespace
