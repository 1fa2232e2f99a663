#include "app/view-controllers/intro/KESTIntroViewController.h"

#include "app/tests/AppTestSupport.h"
#include "graphics/UIImage.h"
#include "testing/Drain.h"
#include "testing/VirtualClock.h"
#include "uikit/UIApplicationHost.h"
#include "uikit/UIButton.h"
#include "uikit/UIImageView.h"
#include "uikit/UILabel.h"
#include "uikit/UIPageControl.h"
#include "uikit/UISearchBar.h"
#include "uikit/UIWindow.h"

#include <gtest/gtest.h>

namespace {

class IntroTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        UIApplicationHost::resetForTesting();
        m_window = UIWindow::initWithFrame(CGRectMake(0, 0, 768, 1024));
        m_root = UIViewController::init();
        m_window->setRootViewController(m_root);
        m_window->makeKeyAndVisible();
        m_intro = KESTIntroViewController::initWithNibNameBundle({}, nullptr);
        m_root->addChildViewController(m_intro);
        m_root->view()->addSubview(m_intro->view());
        m_intro->didMoveToParentViewController(m_root);
    }
    void TearDown() override
    {
        drainAll();
        UIApplicationHost::resetForTesting();
    }
    AppTestScope m_scope;
    ScopedVirtualClock m_clock;
    Ref<UIWindow> m_window;
    Ref<UIViewController> m_root;
    Ref<KESTIntroViewController> m_intro;
};

TEST_F(IntroTest, PagesSnapshotsAndTheEnd)
{
    auto control = UIView::initWithFrame(CGRectMake(10, 30, 40, 40));
    m_root->view()->addSubview(control);
    auto search = UISearchBar::initWithFrame(CGRectMake(100, 20, 300, 44));
    search->setText("typed");
    m_root->view()->addSubview(search);
    std::vector<Ref<UIView>> pages = {
        m_intro->pageTemplateWithTitleContentIconAndView("One", "First", UIImage::imageNamed("tour1"), nullptr),
        m_intro->pageTemplateWithTitleContentIconAndView("Two", "Second", UIImage::imageNamed("tour2"), control),
        m_intro->pageTemplateWithTitleContentIconAndView("Three", "Third", UIImage::imageNamed("tour3"), search),
    };
    m_intro->setPages(pages);
    int ended = 0;
    m_intro->beginIntroWithCompletionHandler([&] { ++ended; });
    m_clock.advance(0.5);
    drainAll();
    EXPECT_EQ(m_intro->pageControl()->numberOfPages(), 3);
    EXPECT_EQ(m_intro->jumpInButton()->frame().size.width, 289);
    EXPECT_EQ(m_intro->jumpInButton()->alpha(), 1);
    CGFloat width = m_intro->view()->bounds().size.width;
    EXPECT_EQ(pages[2]->frame().origin.x, 2 * width);
    EXPECT_FALSE(m_intro->relevantViewImageView()->image());

    // Past the middle of the second page its dot lights before the pager rests.
    m_intro->scrollView()->setContentOffset(CGPointMake(width * 0.6f, 0));
    EXPECT_EQ(m_intro->pageControl()->currentPage(), 1);
    EXPECT_EQ(m_intro->currentPage(), 0);
    EXPECT_TRUE(m_intro->relevantViewImageView()->image());
    EXPECT_TRUE(CGRectEqualToRect(m_intro->relevantViewImageView()->frame(), CGRectMake(10, 30, 40, 40)));
    m_intro->scrollViewDidEndDecelerating(m_intro->scrollView());
    EXPECT_EQ(m_intro->currentPage(), 1);
    // Far beyond the last page: the last page, no crash.
    m_intro->scrollView()->setContentOffset(CGPointMake(width * 7, 0));
    EXPECT_EQ(m_intro->pageControl()->currentPage(), 2);
    EXPECT_TRUE(m_intro->relevantViewImageView()->image()) << "the substitute search bar";

    m_intro->jumpInButton()->sendActionsForControlEvents(UIControlEventTouchUpInside);
    EXPECT_EQ(ended, 0);
    m_clock.advance(0.5);
    drainAll();
    EXPECT_FALSE(m_intro->view()->superview());
    EXPECT_FALSE(m_intro->parentViewController());
    EXPECT_EQ(ended, 1);
}

TEST_F(IntroTest, WithoutPagesNothingBreaks)
{
    m_intro->setPages({});
    m_intro->showPageForceUpdate(3, true);
    m_intro->beginIntroWithCompletionHandler(nullptr);
    m_clock.advance(1);
    m_intro->endIntro();
    m_clock.advance(1);
    drainAll();
    EXPECT_FALSE(m_intro->view()->superview());
}

TEST_F(IntroTest, PagesLayOutByDeviceOrientation)
{
    auto page = std::dynamic_pointer_cast<KESTIntroPageView>(
        m_intro->pageTemplateWithTitleContentIconAndView("Title", "Text", UIImage::imageNamed("tour1"), nullptr));
    page->setFrame(CGRectMake(0, 0, 768, 1024));
    page->layoutIfNeeded();
    EXPECT_LT(page->iconImageView->frame().origin.y, page->titleLabel->frame().origin.y) << "stacked";
    UIApplicationHost::setDeviceOrientation(UIDeviceOrientationLandscapeLeft);
    page->setFrame(CGRectMake(0, 0, 1024, 768));
    page->setNeedsLayout();
    page->layoutIfNeeded();
    EXPECT_EQ(page->titleLabel->frame().origin.x, page->iconImageView->frame().origin.x + 85) << "side by side";
    UIApplicationHost::setDeviceOrientation(UIDeviceOrientationPortrait);
}

} // namespace
