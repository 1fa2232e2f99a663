#include "testing/EventRecorder.h"
#include "testing/HostedWindow.h"

#include "uikit/UIImageView.h"
#include "uikit/UIScrollView.h"

#include <gtest/gtest.h>

namespace {

// An image view that refuses alpha 0 while it is marked to stay.
class StickyImageView : public UIImageView {
    VX_OBJECT(StickyImageView, UIImageView)
public:
    explicit StickyImageView(Passkey key)
        : UIImageView(key)
    {
    }
    static Ref<StickyImageView> init() { return makeView<StickyImageView>(CGRectZero); }
    void setAlpha(CGFloat alpha) override
    {
        if (alpha == 0 && stays)
            return;
        UIImageView::setAlpha(alpha);
    }
    bool stays { false };
};

// Makes its indicators sticky.
class StickyIndicatorScrollView : public UIScrollView {
    VX_OBJECT(StickyIndicatorScrollView, UIScrollView)
public:
    explicit StickyIndicatorScrollView(Passkey key)
        : UIScrollView(key)
    {
    }
    static Ref<StickyIndicatorScrollView> initWithFrame(CGRect frame)
    {
        return makeScrollView<StickyIndicatorScrollView>(frame);
    }
    Ref<UIImageView> makeScrollIndicator(IndicatorAxis axis) override
    {
        auto view = StickyImageView::init();
        (axis == IndicatorAxis::Vertical ? vertical : horizontal) = view;
        return view;
    }
    Ref<StickyImageView> vertical;
    Ref<StickyImageView> horizontal;
};

// The UIKit test set-up for one test (virtual clock, fresh application, queues drained at
// the end), as an object, so the tests can be named after the class they test.
class Environment : public HostedWindowTest {
public:
    Environment() { SetUp(); }
    ~Environment() override { TearDown(); }
    void TestBody() override { }
    using HostedWindowTest::makeKeyWindow;
    void advance(double seconds) { m_clock.advance(seconds); }
};

// The image views among the scroll view's own subviews.
std::vector<Ref<UIImageView>> imageViews(const Ref<UIScrollView>& scrollView)
{
    std::vector<Ref<UIImageView>> found;
    for (const auto& subview : scrollView->subviews()) {
        if (subview->isKindOfClass(UIImageView::classObject()))
            found.push_back(std::static_pointer_cast<UIImageView>(subview));
    }
    return found;
}

} // namespace

TEST(UIScrollView, IndicatorsAreImageViewsFadedThroughAlpha)
{
    Environment env;
    auto window = env.makeKeyWindow();
    auto scrollView = UIScrollView::initWithFrame(CGRectMake(0, 0, 400, 400));
    scrollView->setContentSize(CGSizeMake(400, 2000));
    window->addSubview(scrollView);
    auto content = UIView::initWithFrame(CGRectMake(0, 0, 400, 2000));
    scrollView->addSubview(content);
    EXPECT_TRUE(imageViews(scrollView).empty());

    scrollView->setContentOffsetAnimated(CGPointMake(0, 800), true);
    env.advance(0.5);
    // Only the vertical axis scrolls, so only its indicator exists; it lies above the content.
    auto indicators = imageViews(scrollView);
    ASSERT_EQ(indicators.size(), 1u);
    auto indicator = indicators[0];
    EXPECT_EQ(scrollView->subviews().back(), indicator);
    EXPECT_EQ(indicator->alpha(), 1);
    EXPECT_TRUE(scrollView->isVerticalScrollIndicatorVisible());
    // Along the right edge of the visible area, a fifth of its height (400 of 2000 visible),
    // halfway down its track at offset 800 of 1600.
    CGRect frame = indicator->frame();
    EXPECT_NEAR(frame.origin.x + frame.size.width, 399, 0.01);
    EXPECT_NEAR(frame.size.height, (400 - 2) / 5.0, 0.01);
    EXPECT_NEAR(frame.origin.y, 800 + 1 + (398 - frame.size.height) / 2, 0.01);

    env.advance(1);
    EXPECT_EQ(indicator->alpha(), 0);
    EXPECT_FALSE(scrollView->isVerticalScrollIndicatorVisible());

    scrollView->flashScrollIndicators();
    EXPECT_EQ(indicator->alpha(), 1);
    EXPECT_EQ(imageViews(scrollView).size(), 1u);
    env.advance(1.5);
    EXPECT_EQ(indicator->alpha(), 0);
}

TEST(UIScrollView, AnIndicatorThatRefusesAlphaZeroStaysOnScreen)
{
    Environment env;
    auto window = env.makeKeyWindow();
    auto scrollView = StickyIndicatorScrollView::initWithFrame(CGRectMake(0, 0, 400, 400));
    scrollView->setContentSize(CGSizeMake(1000, 2000));
    window->addSubview(scrollView);

    scrollView->flashScrollIndicators();
    ASSERT_TRUE(scrollView->vertical && scrollView->horizontal);
    EXPECT_EQ(imageViews(scrollView).size(), 2u);
    scrollView->vertical->stays = true;
    env.advance(1.5);
    EXPECT_TRUE(scrollView->isVerticalScrollIndicatorVisible());
    EXPECT_FALSE(scrollView->isHorizontalScrollIndicatorVisible());

    // Once released, the next fade hides it.
    scrollView->vertical->stays = false;
    scrollView->flashScrollIndicators();
    env.advance(1.5);
    EXPECT_FALSE(scrollView->isVerticalScrollIndicatorVisible());
}

TEST(UIScrollView, HiddenOrUnscrollableAxesGetNoIndicator)
{
    Environment env;
    auto window = env.makeKeyWindow();
    auto scrollView = UIScrollView::initWithFrame(CGRectMake(0, 0, 400, 400));
    scrollView->setContentSize(CGSizeMake(1000, 2000));
    scrollView->setShowsVerticalScrollIndicator(false);
    window->addSubview(scrollView);
    scrollView->flashScrollIndicators();
    EXPECT_EQ(imageViews(scrollView).size(), 1u);
    EXPECT_FALSE(scrollView->isVerticalScrollIndicatorVisible());
    EXPECT_TRUE(scrollView->isHorizontalScrollIndicatorVisible());

    auto still = UIScrollView::initWithFrame(CGRectMake(0, 0, 400, 400));
    still->setContentSize(CGSizeMake(400, 400));
    window->addSubview(still);
    still->flashScrollIndicators();
    EXPECT_TRUE(imageViews(still).empty());
}
