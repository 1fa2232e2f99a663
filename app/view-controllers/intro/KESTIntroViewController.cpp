#include "app/view-controllers/intro/KESTIntroViewController.h"

#include "foundation/NSBundle.h"
#include "graphics/UIColor.h"
#include "graphics/UIImage.h"
#include "uikit/UIApplication.h"
#include "uikit/UIButton.h"
#include "uikit/UIImageView.h"
#include "uikit/UILabel.h"
#include "uikit/UIPageControl.h"
#include "uikit/UIWindow.h"

#include <algorithm>
#include <cmath>

VX_REGISTER_CLASS(KESTIntroViewController);

void KESTIntroViewController::loadView()
{
    auto root = UIView::initWithFrame(CGRectZero);
    root->setAutoresizingMask(UIViewAutoresizingFlexibleWidth | UIViewAutoresizingFlexibleHeight);
    setView(root);

    m_scrollView = UIScrollView::initWithFrame(CGRectZero);
    m_scrollView->setAutoresizingMask(UIViewAutoresizingFlexibleWidth | UIViewAutoresizingFlexibleHeight);
    m_scrollView->setPagingEnabled(true);
    m_scrollView->setShowsHorizontalScrollIndicator(false);
    m_scrollView->setShowsVerticalScrollIndicator(false);
    m_scrollView->setDelegate(this, self<NSObject>());
    root->addSubview(m_scrollView);

    m_pageControl = UIPageControl::initWithFrame(CGRectZero);
    m_pageControl->setAutoresizingMask(UIViewAutoresizingFlexibleLeftMargin | UIViewAutoresizingFlexibleRightMargin
        | UIViewAutoresizingFlexibleTopMargin);
    root->addSubview(m_pageControl);

    m_jumpInButton = UIButton::buttonWithType(UIButtonTypeCustom);
    m_jumpInButton->setFrame(CGRectZero);
    m_jumpInButton->setTitleForState(
        NSBundle::mainBundle()->localizedStringForKey("Jump in", "", ""), UIControlStateNormal);
    m_jumpInButton->setTitleColorForState(UIColor::whiteColor(), UIControlStateNormal);
    m_jumpInButton->setBackgroundColor(UIColor::colorWithRedGreenBlueAlpha(0, 0.4745098f, 1.0f, 1.0f));
    m_jumpInButton->layer()->setCornerRadius(5.0f);
    Weak<KESTIntroViewController> weak = self<KESTIntroViewController>();
    m_jumpInButton->addTargetActionForControlEvents(
        self<NSObject>(), "endIntro",
        [weak](const Ref<UIControl>&, const Ref<UIEvent>&) {
            if (auto intro = weak.lock())
                intro->endIntro();
        },
        UIControlEventTouchUpInside);
    root->addSubview(m_jumpInButton);

    m_relevantViewImageView = UIImageView::initWithFrame(CGRectZero);
    root->addSubview(m_relevantViewImageView);
}

void KESTIntroViewController::viewWillLayoutSubviews()
{
    UIViewController::viewWillLayoutSubviews();
    CGRect bounds = view()->bounds();
    CGFloat W = bounds.size.width, H = bounds.size.height;
    m_scrollView->setFrame(bounds);
    m_pageControl->setFrame(CGRectMake(0, H - 125, W, 8));
    CGRect dots = m_pageControl->frame();
    m_jumpInButton->setFrame(CGRectMake(std::ceil(W / 2 - 144.5f), dots.origin.y + dots.size.height + 15, 289, 45));
    layoutPages();
}

Ref<UIView> KESTIntroViewController::pageTemplateWithTitleContentIconAndView(
    const std::string& title, const std::string& content, const Ref<UIImage>& icon, const Ref<UIView>& relevant)
{
    auto page = KESTIntroPageView::initWithFrame(view()->bounds());
    page->titleLabel->setText(title);
    page->contentLabel->setText(content);
    page->icon = icon;
    page->relevantView = relevant;
    return page;
}

void KESTIntroViewController::setPages(std::vector<Ref<UIView>> pages)
{
    for (const auto& old : m_pages)
        old->removeFromSuperview();
    m_pages = std::move(pages);
    view();
    for (const auto& page : m_pages) {
        if (auto introPage = std::dynamic_pointer_cast<KESTIntroPageView>(page))
            introPage->delegate = this;
        m_scrollView->addSubview(page);
    }
    showPageForceUpdate(0, true);
    m_pageControl->setNumberOfPages(int32_t(m_pages.size()));
}

void KESTIntroViewController::layoutPages()
{
    if (!m_scrollView)
        return;
    CGRect bounds = view()->bounds();
    CGFloat W = bounds.size.width, H = bounds.size.height;
    for (size_t i = 0; i < m_pages.size(); ++i)
        m_pages[i]->setFrame(CGRectMake(W * CGFloat(i), 0, W, H));
    m_scrollView->setContentSize(CGSizeMake(W * CGFloat(m_pages.size()), H));
    if (!m_scrollView->isDragging() && !m_scrollView->isDecelerating())
        m_scrollView->setContentOffsetAnimated(CGPointMake(W * CGFloat(m_currentPage), 0), false);
}

void KESTIntroViewController::showPageForceUpdate(int32_t page, bool force)
{
    // The tour needs pages; a position past either end shows the nearest page.
    if (m_pages.empty())
        return;
    page = std::clamp(page, 0, int32_t(m_pages.size()) - 1);
    if (page == m_currentPage && !force)
        return;
    auto introPage = std::dynamic_pointer_cast<KESTIntroPageView>(m_pages[size_t(page)]);
    auto relevant = introPage ? introPage->relevantView : nullptr;
    if (relevant) {
        m_relevantViewImageView->setImage(introPage->relevantViewSnapshot());
        CGRect inWindow = relevant->superview() ? relevant->superview()->convertRectToView(relevant->frame(), nullptr)
                                                : relevant->frame();
        CGRect here = view()->convertRectFromView(inWindow, nullptr);
        m_relevantViewImageView->setFrame(
            CGRectMake(here.origin.x, here.origin.y, relevant->frame().size.width, relevant->frame().size.height));
    } else {
        m_relevantViewImageView->setImage(nullptr);
    }
    m_pageControl->setCurrentPage(page);
}

int32_t KESTIntroViewController::pageForOffset() const
{
    CGFloat w = m_scrollView->frame().size.width;
    if (w <= 0)
        return 0;
    CGFloat x = m_scrollView->contentOffset().x;
    return int32_t(std::floor((x - w / 2) / w)) + 1;
}

CGRect KESTIntroViewController::controlFrames()
{
    return CGRectUnion(m_jumpInButton->frame(), m_pageControl->frame());
}

void KESTIntroViewController::scrollViewDidScroll(const Ref<UIScrollView>&)
{
    showPageForceUpdate(pageForOffset(), false);
}

void KESTIntroViewController::scrollViewDidEndDecelerating(const Ref<UIScrollView>&)
{
    m_currentPage = m_pages.empty() ? 0 : std::clamp(pageForOffset(), 0, int32_t(m_pages.size()) - 1);
}

void KESTIntroViewController::willRotateToInterfaceOrientationDuration(UIInterfaceOrientation, double duration)
{
    Weak<KESTIntroViewController> weak = self<KESTIntroViewController>();
    UIView::animateWithDuration(
        duration, [] {},
        [weak](bool) {
            auto intro = weak.lock();
            if (!intro)
                return;
            intro->layoutPages();
            intro->showPageForceUpdate(intro->m_currentPage, true);
        });
}

void KESTIntroViewController::beginIntroWithCompletionHandler(CompletionHandler handler)
{
    m_completion = std::move(handler);
    auto introView = view();
    if (!introView->superview()) {
        // Over the parent screen's view, or the key window, when the owner has not placed it.
        Ref<UIView> host = parentViewController() ? parentViewController()->view() : nullptr;
        if (!host) {
            auto application = UIApplication::sharedApplication();
            host = application ? application->keyWindow() : nullptr;
        }
        if (host)
            host->addSubview(introView);
    }
    if (auto superview = introView->superview())
        introView->setFrame(superview->bounds());
    introView->setBackgroundColor(UIColor::colorWithWhiteAlpha(0, 0));
    std::vector<Ref<UIView>> controls { m_jumpInButton, m_pageControl, m_scrollView };
    for (const auto& control : controls) {
        control->setAlpha(0);
        control->setTransform(CGAffineTransformMakeScale(2, 2));
    }
    introView->layoutIfNeeded();
    layoutPages();
    UIView::animateWithDuration(
        0.15, [introView] { introView->setBackgroundColor(UIColor::colorWithWhiteAlpha(0, 0.7f)); },
        [controls](bool) {
            UIView::animateWithDuration(0.3, [controls] {
                for (const auto& control : controls) {
                    control->setAlpha(1);
                    control->setTransform(CGAffineTransformIdentity);
                }
            });
        });
}

void KESTIntroViewController::endIntro()
{
    if (!isViewLoaded())
        return;
    auto introView = view();
    Weak<KESTIntroViewController> weak = self<KESTIntroViewController>();
    UIView::animateWithDuration(
        0.35,
        [introView] {
            introView->setAlpha(0);
            introView->setTransform(CGAffineTransformMakeScale(2, 2));
        },
        [weak, introView](bool) {
            introView->removeFromSuperview();
            auto intro = weak.lock();
            if (!intro)
                return;
            intro->removeFromParentViewController();
            auto completion = std::move(intro->m_completion);
            intro->m_completion = nullptr;
            if (completion)
                completion();
        });
}
