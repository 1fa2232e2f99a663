#include "testing/EventRecorder.h"
#include "testing/HostedWindow.h"

#include "foundation/ThreadChecks.h"
#include "graphics/CGAffineTransform.h"
#include "graphics/UIColor.h"
#include "uikit/UIControl.h"
#include "uikit/UITableView.h"
#include "uikit/UITouch.h"

#include <gmock/gmock.h>

#include <cmath>
#include <functional>
#include <thread>
#include <vector>

using ::testing::ElementsAre;

namespace {

// Counts layout passes and records hierarchy hooks.
class ProbeView : public UIView {
    VX_OBJECT(ProbeView, UIView)
public:
    explicit ProbeView(Passkey key)
        : UIView(key)
    {
    }
    static Ref<ProbeView> initWithFrame(CGRect frame, std::string name = {}, EventRecorder* log = nullptr)
    {
        auto v = makeView<ProbeView>(frame);
        v->m_name = std::move(name);
        v->m_log = log;
        return v;
    }
    void layoutSubviews() override { ++layouts; }
    void didAddSubview(const Ref<UIView>& v) override { note("didAdd " + name(v)); }
    void willRemoveSubview(const Ref<UIView>& v) override { note("willRemove " + name(v)); }
    void willMoveToSuperview(const Ref<UIView>& v) override { note("willMoveTo " + name(v)); }
    void didMoveToSuperview() override { note("didMove"); }
    void willMoveToWindow(const Ref<UIWindow>& w) override { note(w ? "willMoveToWindow" : "willLeaveWindow"); }
    void didMoveToWindow() override { note("didMoveToWindow"); }

    int layouts { 0 };
    std::string m_name;

private:
    static std::string name(const Ref<UIView>& v)
    {
        auto probe = std::dynamic_pointer_cast<ProbeView>(v);
        return probe ? probe->m_name : (v ? "view" : "nil");
    }
    void note(const std::string& s)
    {
        if (m_log)
            m_log->add(m_name + ": " + s);
    }
    EventRecorder* m_log { nullptr };
};

std::vector<std::string> names(const std::vector<Ref<UIView>>& views)
{
    std::vector<std::string> result;
    for (auto& v : views)
        result.push_back(std::static_pointer_cast<ProbeView>(v)->m_name);
    return result;
}

bool near(CGRect a, CGRect b)
{
    return std::fabs(a.origin.x - b.origin.x) < 1e-3f && std::fabs(a.origin.y - b.origin.y) < 1e-3f
        && std::fabs(a.size.width - b.size.width) < 1e-3f && std::fabs(a.size.height - b.size.height) < 1e-3f;
}

} // namespace

class UIViewTest : public HostedWindowTest { };

TEST_F(UIViewTest, FrameBoundsCenterAndTransformAgree)
{
    auto v = UIView::initWithFrame(CGRectMake(10, 20, 100, 50));
    EXPECT_TRUE(near(CGRectMake(0, 0, 100, 50), v->bounds()));
    EXPECT_EQ(60, v->center().x);
    EXPECT_EQ(45, v->center().y);

    v->setBounds(CGRectMake(5, 5, 200, 50));
    EXPECT_TRUE(near(CGRectMake(-40, 20, 200, 50), v->frame())) << "bounds grow around the centre";

    v->setTransform(CGAffineTransformMakeScale(2, 2));
    EXPECT_TRUE(near(CGRectMake(-140, -5, 400, 100), v->frame())) << "frame is the transformed box";
    EXPECT_TRUE(near(CGRectMake(5, 5, 200, 50), v->bounds())) << "bounds ignore the transform";

    v->setTransform(CGAffineTransformIdentity);
    v->setCenter(CGPointMake(0, 0));
    EXPECT_TRUE(near(CGRectMake(-100, -25, 200, 50), v->frame()));
}

TEST_F(UIViewTest, HierarchyMovesInsertsAndReorders)
{
    EventRecorder log;
    auto a = ProbeView::initWithFrame(CGRectZero, "a", &log);
    auto b = ProbeView::initWithFrame(CGRectZero, "b", &log);
    auto x = ProbeView::initWithFrame(CGRectZero, "x", &log);
    auto y = ProbeView::initWithFrame(CGRectZero, "y", &log);
    auto z = ProbeView::initWithFrame(CGRectZero, "z", &log);

    a->addSubview(x);
    EXPECT_THAT(log.take(), ElementsAre("x: willMoveTo a", "x: didMove", "a: didAdd x"));
    a->addSubview(y);
    a->insertSubviewAtIndex(z, 0);
    EXPECT_THAT(names(a->subviews()), ElementsAre("z", "x", "y"));
    a->bringSubviewToFront(z);
    EXPECT_THAT(names(a->subviews()), ElementsAre("x", "y", "z"));
    a->sendSubviewToBack(y);
    EXPECT_THAT(names(a->subviews()), ElementsAre("y", "x", "z"));
    a->insertSubviewAboveSubview(y, x);
    EXPECT_THAT(names(a->subviews()), ElementsAre("x", "y", "z"));
    a->exchangeSubviewAtIndexWithSubviewAtIndex(0, 2);
    EXPECT_THAT(names(a->subviews()), ElementsAre("z", "y", "x"));
    // The layers follow the views.
    ASSERT_EQ(3u, a->layer()->sublayers().size());
    EXPECT_EQ(z->layer(), a->layer()->sublayers()[0]);
    EXPECT_EQ(x->layer(), a->layer()->sublayers()[2]);
    log.take();

    // Adding to another superview moves the view.
    b->addSubview(y);
    EXPECT_THAT(log.take(), ElementsAre("y: willMoveTo b", "a: willRemove y", "y: didMove", "b: didAdd y"));
    EXPECT_THAT(names(a->subviews()), ElementsAre("z", "x"));
    EXPECT_EQ(b, y->superview());
    EXPECT_EQ(b->layer(), y->layer()->superlayer());

    // A view cannot contain its own ancestor.
    y->addSubview(b);
    EXPECT_EQ(nullptr, b->superview());

    y->removeFromSuperview();
    EXPECT_THAT(log.take(), ElementsAre("b: willRemove y", "y: willMoveTo nil", "y: didMove"));
    EXPECT_TRUE(b->subviews().empty());

    x->setTag(7);
    EXPECT_EQ(x, std::static_pointer_cast<ProbeView>(a->viewWithTag(7)));
    EXPECT_EQ(nullptr, a->viewWithTag(8));

    // Window hooks reach the whole moved subtree.
    auto window = makeKeyWindow();
    log.take();
    window->addSubview(a);
    auto entries = log.take();
    EXPECT_THAT(entries, ::testing::Contains("z: willMoveToWindow"));
    EXPECT_THAT(entries, ::testing::Contains("x: didMoveToWindow"));
    EXPECT_EQ(window, x->window());
}

TEST_F(UIViewTest, LayoutRunsOncePerPassOnlyWhenAsked)
{
    auto window = makeKeyWindow();
    auto parent = ProbeView::initWithFrame(CGRectMake(0, 0, 300, 300), "parent");
    auto child = ProbeView::initWithFrame(CGRectMake(0, 0, 100, 100), "child");
    parent->addSubview(child);
    window->addSubview(parent);
    runOnePass();
    EXPECT_EQ(1, parent->layouts);
    EXPECT_EQ(1, child->layouts);

    struct Case {
        const char* name;
        std::function<void()> change;
        int parentLayouts;
        int childLayouts;
    };
    const Case cases[] = {
        { "nothing asked", [] {}, 0, 0 },
        { "asked three times",
            [&] {
                child->setNeedsLayout();
                child->setNeedsLayout();
                child->setNeedsLayout();
            },
            0, 1 },
        { "moved, same size", [&] { child->setFrame(CGRectMake(50, 50, 100, 100)); }, 0, 0 },
        { "centre moved", [&] { child->setCenter(CGPointMake(10, 10)); }, 0, 0 },
        { "resized: itself and its superview", [&] { child->setFrame(CGRectMake(0, 0, 120, 100)); }, 1, 1 },
        { "same bounds again", [&] { child->setBounds(child->bounds()); }, 0, 0 },
        { "alpha and colour",
            [&] {
                child->setAlpha(0.5f);
                child->setBackgroundColor(UIColor::redColor());
            },
            0, 0 },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        parent->layouts = child->layouts = 0;
        c.change();
        EXPECT_EQ(0, child->layouts) << "layout waits for the pass";
        runOnePass();
        runOnePass();
        EXPECT_EQ(c.parentLayouts, parent->layouts);
        EXPECT_EQ(c.childLayouts, child->layouts);
    }

    // layoutIfNeeded lays out at once, and the pass then has nothing left to do.
    parent->layouts = 0;
    parent->setNeedsLayout();
    parent->layoutIfNeeded();
    EXPECT_EQ(1, parent->layouts);
    runOnePass();
    EXPECT_EQ(1, parent->layouts);
}

TEST_F(UIViewTest, AutoresizingSharesTheChangeAmongFlexibleParts)
{
    struct Case {
        UIViewAutoresizing mask;
        CGRect expected;
    };
    // Superview 200 x 100 grows to 300 x 150; the child starts at (20, 10, 100, 40).
    const Case cases[] = {
        { UIViewAutoresizingNone, CGRectMake(20, 10, 100, 40) },
        { UIViewAutoresizingFlexibleWidth, CGRectMake(20, 10, 200, 40) },
        { UIViewAutoresizingFlexibleLeftMargin, CGRectMake(120, 10, 100, 40) },
        { UIViewAutoresizingFlexibleWidth | UIViewAutoresizingFlexibleTopMargin, CGRectMake(20, 60, 200, 40) },
        { UIViewAutoresizingFlexibleWidth | UIViewAutoresizingFlexibleHeight, CGRectMake(20, 10, 200, 90) },
        // Left margin 20 and width 100 share 100 points: 1/6 and 5/6.
        { UIViewAutoresizingFlexibleLeftMargin | UIViewAutoresizingFlexibleWidth,
            CGRectMake(20 + 100.0f / 6, 10, 100 + 500.0f / 6, 40) },
        // All three horizontal parts (20, 100, 80 of 200) grow by half; the vertical margins (10
        // and 50) share 50 points.
        { UIViewAutoresizingFlexibleLeftMargin | UIViewAutoresizingFlexibleWidth | UIViewAutoresizingFlexibleRightMargin
                | UIViewAutoresizingFlexibleTopMargin | UIViewAutoresizingFlexibleBottomMargin,
            CGRectMake(30, 10 + 50.0f / 6, 150, 40) },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.mask);
        auto parent = UIView::initWithFrame(CGRectMake(0, 0, 200, 100));
        auto child = UIView::initWithFrame(CGRectMake(20, 10, 100, 40));
        child->setAutoresizingMask(c.mask);
        parent->addSubview(child);
        parent->setFrame(CGRectMake(0, 0, 300, 150));
        EXPECT_TRUE(near(c.expected, child->frame())) << NSStringFromCGRect(child->frame());
    }

    auto parent = UIView::initWithFrame(CGRectMake(0, 0, 200, 100));
    auto child = UIView::initWithFrame(CGRectMake(20, 10, 100, 40));
    child->setAutoresizingMask(UIViewAutoresizingFlexibleWidth);
    parent->setAutoresizesSubviews(false);
    parent->addSubview(child);
    parent->setFrame(CGRectMake(0, 0, 300, 150));
    EXPECT_TRUE(near(CGRectMake(20, 10, 100, 40), child->frame()));
}

TEST_F(UIViewTest, HitTestingAndConversionsFollowBoundsOriginsAndTransforms)
{
    auto window = makeKeyWindow();
    auto container = ProbeView::initWithFrame(CGRectMake(100, 100, 400, 400), "container");
    // A scrolled container: its bounds origin moves its content.
    container->setBounds(CGRectMake(0, 200, 400, 400));
    auto inner = ProbeView::initWithFrame(CGRectMake(0, 200, 100, 100), "inner");
    auto rotated = ProbeView::initWithFrame(CGRectMake(200, 300, 100, 50), "rotated");
    rotated->setTransform(CGAffineTransformMakeRotation(static_cast<CGFloat>(M_PI / 2)));
    auto hidden = ProbeView::initWithFrame(CGRectMake(0, 200, 400, 400), "hidden");
    hidden->setHidden(true);
    container->addSubview(inner);
    container->addSubview(rotated);
    container->addSubview(hidden);
    window->addSubview(container);

    CGPoint p = inner->convertPointToView(CGPointMake(10, 10), nullptr);
    EXPECT_FLOAT_EQ(110, p.x);
    EXPECT_FLOAT_EQ(110, p.y);
    CGPoint back = inner->convertPointFromView(CGPointMake(110, 110), window);
    EXPECT_FLOAT_EQ(10, back.x);
    EXPECT_FLOAT_EQ(10, back.y);
    CGRect r = container->convertRectToView(CGRectMake(0, 200, 10, 10), window);
    EXPECT_TRUE(near(CGRectMake(100, 100, 10, 10), r)) << NSStringFromCGRect(r);
    CGRect rr = container->convertRectFromView(CGRectMake(100, 100, 10, 10), window);
    EXPECT_TRUE(near(CGRectMake(0, 200, 10, 10), rr)) << NSStringFromCGRect(rr);

    // The rotated view (centre 250,325 in container space) is 50 wide and 100 tall on screen.
    struct Case {
        CGPoint windowPoint;
        const char* expected;
    };
    const Case cases[] = {
        { { 150, 150 }, "inner" }, { { 350, 200 }, "rotated" }, // container (250, 300): inside the rotated box only
        { { 310, 200 }, "container" }, // left of the rotated box
        { { 450, 450 }, "container" }, { { 99, 150 }, "window" }, { { 500, 150 }, "window" }, // the max edge is outside
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.expected) + " at " + NSStringFromCGPoint(c.windowPoint));
        auto hit = window->hitTest(c.windowPoint, nullptr);
        ASSERT_TRUE(hit);
        auto probe = std::dynamic_pointer_cast<ProbeView>(hit);
        EXPECT_EQ(c.expected, probe ? probe->m_name : std::string("window"));
    }

    inner->setUserInteractionEnabled(false);
    EXPECT_EQ(container, std::dynamic_pointer_cast<ProbeView>(window->hitTest(CGPointMake(150, 150), nullptr)));
}

TEST_F(UIViewTest, MainThreadEntryPointsAbortOnAnotherThread)
{
    ASSERT_TRUE(mainThreadChecksEnabled());
    auto view = UIView::initWithFrame(CGRectMake(0, 0, 100, 100));
    auto subview = UIView::initWithFrame(CGRectMake(0, 0, 10, 10));
    auto table = UITableView::initWithFrame(CGRectMake(0, 0, 100, 100));
    auto control = UIControl::initWithFrame(CGRectMake(0, 0, 10, 10));
    struct Case {
        const char* name;
        std::function<void()> call;
    };
    const std::vector<Case> cases = {
        { "adding a subview", [&] { view->addSubview(subview); } },
        { "reloading a table", [&] { table->reloadData(); } },
        { "sending a control's actions", [&] { control->sendActionsForControlEvents(UIControlEventValueChanged); } },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_DEATH(
            {
                std::thread worker(c.call);
                worker.join();
            },
            "must run on the main thread");
        // The same call is fine on the main thread.
        c.call();
    }
    EXPECT_EQ(subview->superview(), view);
}
