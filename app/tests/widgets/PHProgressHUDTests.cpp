#include "app/widgets/PHBarProgressView.h"
#include "app/widgets/PHProgressHUD.h"
#include "app/widgets/PHRoundProgressView.h"
#include "foundation/NSNotificationCenter.h"
#include "foundation/NSThread.h"
#include "graphics/CGImage.h"
#include "graphics/UIFont.h"
#include "graphics/UIGraphics.h"
#include "graphics/UIImage.h"
#include "testing/Drain.h"
#include "testing/HostedWindow.h"
#include "testing/VirtualClock.h"
#include "uikit/UIActivityIndicatorView.h"
#include "uikit/UIApplicationHost.h"
#include "uikit/UIDevice.h"
#include "uikit/UILabel.h"
#include "uikit/UIWindow.h"

#include <gtest/gtest.h>

#include <atomic>

namespace {

class PHProgressHUDTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        // Overlays still fading out finish before the host goes.
        m_host.setSettleSeconds(5);
        m_parent = UIView::initWithFrame(CGRectMake(0, 0, 320, 480));
        m_window->addSubview(m_parent);
    }
    void TearDown() override { m_parent = nullptr; }
    // The overlay's panel size after a layout pass.
    static CGSize panelSize(const Ref<PHProgressHUD>& hud)
    {
        hud->layoutSubviews();
        return hud->size();
    }

    HostedWindow m_host;
    VirtualClock& m_clock { m_host.clock() };
    const Ref<UIWindow>& m_window { m_host.window() };
    Ref<UIView> m_parent;
};

// Records what reaches the delegate and in which state.
class HiddenRecorder : public NSObject, public PHProgressHUDDelegate {
    VX_OBJECT(HiddenRecorder, NSObject)
public:
    explicit HiddenRecorder(Passkey key)
        : NSObject(key)
    {
    }
    static Ref<HiddenRecorder> init() { return make<HiddenRecorder>(); }
    void hudWasHidden(const Ref<PHProgressHUD>& hud) override
    {
        events.push_back(std::string("hidden") + (hud->superview() ? " attached" : " detached"));
    }
    std::vector<std::string> events;
};

TEST_F(PHProgressHUDTest, DefaultsAndModes)
{
    auto hud = PHProgressHUD::initWithView(m_parent);
    EXPECT_TRUE(CGRectEqualToRect(hud->frame(), m_parent->bounds()));
    EXPECT_EQ(hud->alpha(), 0);
    EXPECT_EQ(hud->autoresizingMask(), 45u);
    EXPECT_FLOAT_EQ(hud->opacity(), 0.8f);
    EXPECT_FLOAT_EQ(hud->margin(), 20);
    EXPECT_EQ(hud->labelFont()->pointSize(), 16);
    EXPECT_EQ(hud->detailsLabelFont()->pointSize(), 12);
    EXPECT_TRUE(CGRectEqualToRect(PHProgressHUD::initWithView(nullptr)->frame(), CGRectZero));

    auto custom = UIView::initWithFrame(CGRectMake(0, 0, 30, 30));
    hud->setCustomView(custom);
    struct Case {
        int32_t mode;
        Class kind; // nullptr: no indicator
        bool annular;
    };
    const Case cases[] = {
        { PHProgressHUDModeIndeterminate, UIActivityIndicatorView::classObject(), false },
        { PHProgressHUDModeAnnularDeterminate, PHRoundProgressView::classObject(), true },
        { PHProgressHUDModeDeterminate, PHRoundProgressView::classObject(), true }, // the ring stays
        { PHProgressHUDModeDeterminateHorizontalBar, PHBarProgressView::classObject(), false },
        { PHProgressHUDModeCustomView, UIView::classObject(), false },
        { 17, UIView::classObject(), false }, // unknown: unchanged
        { PHProgressHUDModeText, nullptr, false },
        { PHProgressHUDModeDeterminate, PHRoundProgressView::classObject(), false },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.mode);
        hud->setMode(c.mode);
        auto indicator = hud->indicator();
        if (!c.kind) {
            EXPECT_FALSE(indicator);
            continue;
        }
        ASSERT_TRUE(indicator);
        EXPECT_TRUE(indicator->isKindOfClass(c.kind));
        EXPECT_EQ(indicator->superview(), hud);
        if (auto round = std::dynamic_pointer_cast<PHRoundProgressView>(indicator)) {
            EXPECT_EQ(round->isAnnular(), c.annular);
        }
        if (c.mode == PHProgressHUDModeCustomView) {
            EXPECT_EQ(indicator, custom);
        }
    }
    // One indicator at a time among the overlay's subviews (the two labels besides).
    EXPECT_EQ(hud->subviews().size(), 3u);
}

TEST_F(PHProgressHUDTest, GraceTimeShowsOnlyWhileATaskRuns)
{
    for (bool task : { false, true }) {
        SCOPED_TRACE(task);
        auto hud = PHProgressHUD::initWithView(m_parent);
        m_parent->addSubview(hud);
        hud->setGraceTime(1);
        hud->setTaskInProgress(task);
        hud->show(false);
        EXPECT_EQ(hud->alpha(), 0);
        EXPECT_TRUE(hud->graceTimer());
        m_clock.advance(0.9);
        EXPECT_EQ(hud->alpha(), 0);
        m_clock.advance(0.2);
        EXPECT_EQ(hud->alpha(), task ? 1 : 0);
        EXPECT_EQ(bool(hud->showStarted()), task);
        hud->removeFromSuperview();
    }
}

TEST_F(PHProgressHUDTest, MinimumShowTimeDelaysTheHide)
{
    auto recorder = HiddenRecorder::init();
    auto hud = PHProgressHUD::initWithView(m_parent);
    m_parent->addSubview(hud);
    hud->setDelegate(recorder.get(), recorder);
    hud->setMinShowTime(2);
    hud->setRemoveFromSuperViewOnHide(true);
    std::vector<std::string> order;
    hud->setCompletionBlock(
        [&] { order.push_back(recorder->events.size() == 1 ? "completion after delegate" : "completion"); });
    hud->show(false);
    m_clock.advance(0.5);
    hud->hide(false);
    EXPECT_EQ(hud->alpha(), 1);
    m_clock.advance(1.49);
    EXPECT_EQ(hud->alpha(), 1);
    EXPECT_FALSE(hud->isFinished());
    m_clock.advance(0.02);
    EXPECT_EQ(hud->alpha(), 0);
    EXPECT_TRUE(hud->isFinished());
    EXPECT_FALSE(hud->superview());
    // Delegate first (still attached), then the completion once, then the removal.
    EXPECT_EQ(recorder->events, (std::vector<std::string> { "hidden attached" }));
    EXPECT_EQ(order, (std::vector<std::string> { "completion after delegate" }));
    EXPECT_FALSE(hud->completionBlock());
}

TEST_F(PHProgressHUDTest, AnimatedHideRunsOnTheClockAndAHideBeforeShowingEndsAtOnce)
{
    struct Case {
        int32_t type;
        CGFloat hidingScale; // the transform's x scale while hiding
    };
    const Case cases[] = { { PHProgressHUDAnimationFade, 1 }, { PHProgressHUDAnimationZoomOut, 0.5f },
        { PHProgressHUDAnimationZoomIn, 1.5f } };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.type);
        auto hud = PHProgressHUD::showHUDAddedToAnimated(m_parent, true);
        hud->setAnimationType(c.type);
        m_clock.advance(0.3);
        EXPECT_EQ(hud->alpha(), 1);
        EXPECT_TRUE(PHProgressHUD::hideHUDForViewAnimated(m_parent, true));
        EXPECT_FLOAT_EQ(hud->alpha(), 0.02f);
        EXPECT_FLOAT_EQ(hud->transform().a, c.hidingScale);
        EXPECT_FALSE(hud->isFinished());
        m_clock.advance(0.31);
        drainAll();
        EXPECT_TRUE(hud->isFinished());
        EXPECT_EQ(hud->alpha(), 0);
        EXPECT_FALSE(hud->superview());
    }
    // Never shown: an animated hide completes at once, without animation.
    auto hud = PHProgressHUD::initWithView(m_parent);
    hud->hide(true);
    EXPECT_TRUE(hud->isFinished());
}

TEST_F(PHProgressHUDTest, ClassOperationsFindTheTopmostOverlay)
{
    EXPECT_FALSE(PHProgressHUD::hideHUDForViewAnimated(m_parent, false));
    EXPECT_EQ(PHProgressHUD::hideAllHUDsForViewAnimated(m_parent, false), 0);
    auto first = PHProgressHUD::showHUDAddedToAnimated(m_parent, false);
    m_parent->addSubview(UIView::init());
    auto second = PHProgressHUD::showHUDAddedToAnimated(m_parent, false);
    EXPECT_EQ(PHProgressHUD::HUDForView(m_parent), second);
    EXPECT_EQ(PHProgressHUD::allHUDsForView(m_parent), (std::vector<Ref<PHProgressHUD>> { first, second }));
    EXPECT_TRUE(PHProgressHUD::hideHUDForViewAnimated(m_parent, false));
    EXPECT_FALSE(second->superview());
    EXPECT_EQ(first->superview(), m_parent);
    EXPECT_EQ(PHProgressHUD::HUDForView(m_parent), first);

    auto third = PHProgressHUD::showHUDAddedToAnimated(m_parent, false);
    EXPECT_EQ(PHProgressHUD::hideAllHUDsForViewAnimated(m_parent, false), 2);
    EXPECT_FALSE(PHProgressHUD::HUDForView(m_parent));
    EXPECT_TRUE(first->isFinished());
    EXPECT_TRUE(third->isFinished());
}

TEST_F(PHProgressHUDTest, PanelLayoutSquareAndMinimumSize)
{
    // A 60 x 20 custom indicator gives a 100 x 60 panel with margin 20.
    struct Case {
        bool square;
        CGSize minSize;
        CGSize panel;
    };
    const Case cases[] = {
        { false, { 0, 0 }, { 100, 60 } },
        { true, { 0, 0 }, { 100, 100 } },
        { false, { 150, 40 }, { 150, 60 } },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.square);
        auto hud = PHProgressHUD::showHUDAddedToAnimated(m_parent, false);
        hud->setCustomView(UIView::initWithFrame(CGRectMake(0, 0, 60, 20)));
        hud->setMode(PHProgressHUDModeCustomView);
        hud->setSquare(c.square);
        hud->setMinSize(c.minSize);
        CGSize panel = panelSize(hud);
        EXPECT_EQ(panel.width, c.panel.width);
        EXPECT_EQ(panel.height, c.panel.height);
        // The indicator sits centred at the top of the unsquared panel: y = rnd((480 - 60) / 2) + 20.
        EXPECT_TRUE(CGRectEqualToRect(hud->indicator()->frame(), CGRectMake(130, 230, 60, 20)));
        hud->removeFromSuperview();
    }
}

TEST_F(PHProgressHUDTest, ProgressReachesTheIndicatorAndTextRelaysThePanel)
{
    auto hud = PHProgressHUD::showHUDAddedToAnimated(m_parent, false);
    hud->setMode(PHProgressHUDModeDeterminate);
    CGSize before = panelSize(hud);
    hud->setProgress(0.4f);
    EXPECT_FLOAT_EQ(std::static_pointer_cast<PHRoundProgressView>(hud->indicator())->progress(), 0.4f);
    EXPECT_TRUE(CGSizeEqualToSize(hud->size(), before));

    hud->setLabelText("Loading");
    EXPECT_EQ(hud->label()->text(), "Loading");
    CGSize after = panelSize(hud);
    EXPECT_GT(after.height, before.height);
    EXPECT_GT(hud->label()->frame().size.width, 0);

    // A change made on another thread reaches the label on the main thread.
    std::atomic<bool> off { false };
    dispatch_async(dispatch_get_global_queue(DISPATCH_QUEUE_PRIORITY_DEFAULT, 0), [&] {
        off = !NSThread::isMainThread();
        hud->setDetailsLabelText("Please wait");
    });
    drainAll();
    EXPECT_TRUE(off);
    EXPECT_EQ(hud->detailsLabel()->text(), "Please wait");
}

TEST_F(PHProgressHUDTest, TasksHideTheOverlayWhenTheyEnd)
{
    // Block form: the completion runs once on the main thread after the overlay has hidden.
    auto hud = PHProgressHUD::initWithView(m_parent);
    m_parent->addSubview(hud);
    std::atomic<bool> ranOffMain { false };
    int completions = 0;
    bool completionOnMain = false;
    hud->showAnimatedWhileExecutingBlockCompletionBlock(
        false, [&] { ranOffMain = !NSThread::isMainThread(); },
        [&] {
            ++completions;
            completionOnMain = NSThread::isMainThread();
        });
    EXPECT_TRUE(hud->taskInProgress());
    EXPECT_EQ(hud->alpha(), 1);
    drainAll();
    EXPECT_TRUE(ranOffMain);
    EXPECT_EQ(completions, 1);
    EXPECT_TRUE(completionOnMain);
    EXPECT_FALSE(hud->taskInProgress());
    EXPECT_TRUE(hud->isFinished());
    EXPECT_FALSE(hud->indicator());

    // Selector form: the method runs on its own thread with the target and the argument.
    auto other = PHProgressHUD::initWithView(m_parent);
    m_parent->addSubview(other);
    auto target = UIView::init();
    std::atomic<bool> sawTarget { false };
    std::atomic<int64_t> argument { 0 };
    other->showWhileExecutingOnTargetWithObjectAnimated(
        [&](const Ref<NSObject>& t, const Value& object) {
            sawTarget = t == target && !NSThread::isMainThread();
            argument = object.integerValue();
        },
        target, Value(42), false);
    drainAll();
    EXPECT_TRUE(sawTarget);
    EXPECT_EQ(argument, 42);
    EXPECT_TRUE(other->isFinished());
}

TEST_F(PHProgressHUDTest, FollowsTheInterfaceOrientationOnAWindow)
{
    auto application = UIApplication::sharedApplication();
    ASSERT_TRUE(application);
    auto hud = PHProgressHUD::initWithWindow(m_window);
    m_window->addSubview(hud);
    EXPECT_TRUE(CGAffineTransformIsIdentity(hud->transform()));
    application->setStatusBarOrientation(UIInterfaceOrientationLandscapeRight);
    NSNotificationCenter::defaultCenter()->postNotificationName(UIDeviceOrientationDidChangeNotification, nullptr);
    EXPECT_EQ(hud->bounds().size.width, m_window->bounds().size.height);
    m_clock.advance(1);
    EXPECT_NEAR(hud->rotationTransform().b, 1.0, 1e-6); // a quarter turn
    EXPECT_NEAR(hud->transform().b, 1.0, 1e-6);

    // In a plain view the overlay only takes the parent's bounds again.
    auto inView = PHProgressHUD::showHUDAddedToAnimated(m_parent, false);
    inView->setBounds(CGRectMake(0, 0, 10, 10));
    NSNotificationCenter::defaultCenter()->postNotificationName(UIDeviceOrientationDidChangeNotification, nullptr);
    EXPECT_TRUE(CGRectEqualToRect(inView->bounds(), m_parent->bounds()));
    EXPECT_TRUE(CGAffineTransformIsIdentity(inView->transform()));
}

// Draws a bar of 120 x 20 at the progress and answers the alpha of pixels along its middle row.
std::vector<int> barRow(float progress, const std::vector<int>& xs)
{
    auto bar = PHBarProgressView::init();
    bar->setProgress(progress);
    UIGraphicsBeginImageContextWithOptions(CGSizeMake(120, 20), false, 1);
    bar->drawRect(bar->bounds());
    auto image = UIGraphicsGetImageFromCurrentImageContext();
    UIGraphicsEndImageContext();
    const auto& cg = image->CGImage();
    auto bytes = CGDataProviderCopyData(CGImageGetDataProvider(cg));
    std::vector<int> alphas;
    for (int x : xs)
        alphas.push_back(bytes[10 * CGImageGetBytesPerRow(cg) + size_t(x) * 4 + 3] > 127 ? 1 : 0);
    return alphas;
}

TEST(PHBarProgressView, FillsFromTheLeftInsideTheOutline)
{
    // Columns: the left outline, inside left, the middle, inside right, the right outline.
    const std::vector<int> xs = { 2, 10, 60, 110, 117 };
    struct Case {
        float progress;
        std::vector<int> painted;
    };
    const Case cases[] = {
        { 0, { 1, 0, 0, 0, 1 } }, // only the outline
        { 0.5f, { 1, 1, 0, 0, 1 } }, { 1, { 1, 1, 1, 1, 1 } }, // into the right end
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.progress);
        EXPECT_EQ(barRow(c.progress, xs), c.painted);
    }
}

// Alpha (0-255) of pixels of a view drawn into a fresh image context of its size.
std::vector<int> alphasOf(const Ref<UIView>& view, const std::vector<CGPoint>& points)
{
    CGSize size = view->bounds().size;
    UIGraphicsBeginImageContextWithOptions(size, false, 1);
    view->drawRect(view->bounds());
    auto image = UIGraphicsGetImageFromCurrentImageContext();
    UIGraphicsEndImageContext();
    const auto& cg = image->CGImage();
    auto bytes = CGDataProviderCopyData(CGImageGetDataProvider(cg));
    std::vector<int> alphas;
    for (CGPoint p : points)
        alphas.push_back(bytes[size_t(p.y) * CGImageGetBytesPerRow(cg) + size_t(p.x) * 4 + 3]);
    return alphas;
}

TEST_F(PHProgressHUDTest, DrawsTheRoundedPanelAndTheDimming)
{
    auto hud = PHProgressHUD::showHUDAddedToAnimated(m_parent, false);
    hud->setMode(PHProgressHUDModeText);
    hud->setMinSize(CGSizeMake(100, 60));
    hud->layoutSubviews();
    // The 100 x 60 panel sits at (110, 210); corners are cut by the radius of 10.
    const std::vector<CGPoint> points = { { 160, 240 }, { 111, 211 }, { 112, 240 }, { 50, 50 } };
    auto plain = alphasOf(hud, points);
    EXPECT_NEAR(plain[0], 204, 2); // black at opacity 0.8
    EXPECT_EQ(plain[1], 0); // outside the rounded corner
    EXPECT_NEAR(plain[2], 204, 2);
    EXPECT_EQ(plain[3], 0);

    hud->setDimBackground(true);
    auto dimmed = alphasOf(hud, points);
    EXPECT_GT(dimmed[3], 0) << "the dimming reaches out from the centre";
    EXPECT_GT(dimmed[1], 0);
}

TEST(PHRoundProgressView, PieFillsClockwiseFromTheTop)
{
    auto pie = PHRoundProgressView::init();
    pie->setProgress(0.25f);
    // Right of the centre is filled (the first quarter), left is only the faint background.
    auto alphas = alphasOf(pie, { { 26, 12 }, { 11, 25 } });
    EXPECT_EQ(alphas[0], 255);
    EXPECT_LT(alphas[1], 60);
}

} // namespace
