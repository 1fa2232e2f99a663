#include "app/view-controllers/intro/KESTIntroViewController.h"

#include "foundation/NSBundle.h"
#include "graphics/UIColor.h"
#include "graphics/UIFont.h"
#include "graphics/UIImage.h"
#include "uikit/UIApplication.h"
#include "uikit/UIButton.h"
#include "uikit/UIImageView.h"
#include "uikit/UILabel.h"
#include "uikit/UIScreen.h"
#include "uikit/UIScrollView.h"
#include "uikit/UIWindow.h"

VX_REGISTER_CLASS(KESTIntroViewController);

void KESTIntroViewController::loadView()
{
    CGRect frame = UIScreen::mainScreen()->bounds();
    auto root = UIView::initWithFrame(frame);
    root->setAutoresizingMask(UIViewAutoresizingFlexibleWidth | UIViewAutoresizingFlexibleHeight);
    root->setBackgroundColor(UIColor::colorWithWhiteAlpha(0, 0.85f));
    m_scrollView = UIScrollView::initWithFrame(root->bounds());
    m_scrollView->setAutoresizingMask(UIViewAutoresizingFlexibleWidth | UIViewAutoresizingFlexibleHeight);
    m_scrollView->setPagingEnabled(true);
    root->addSubview(m_scrollView);

    m_jumpInButton = UIButton::buttonWithType(UIButtonTypeSystem);
    m_jumpInButton->setTitleForState(
        NSBundle::mainBundle()->localizedStringForKey("Jump in", "", ""), UIControlStateNormal);
    m_jumpInButton->setFrame(CGRectMake((frame.size.width - 160) / 2, frame.size.height - 80, 160, 44));
    m_jumpInButton->setAutoresizingMask(UIViewAutoresizingFlexibleLeftMargin | UIViewAutoresizingFlexibleRightMargin
        | UIViewAutoresizingFlexibleTopMargin);
    Weak<KESTIntroViewController> weak = self<KESTIntroViewController>();
    m_jumpInButton->addTargetActionForControlEvents(
        self<NSObject>(), "endIntro",
        [weak](const Ref<UIControl>&, const Ref<UIEvent>&) {
            if (auto intro = weak.lock())
                intro->endIntro();
        },
        UIControlEventTouchUpInside);
    root->addSubview(m_jumpInButton);
    setView(root);
    layoutPages();
}

Ref<UIView> KESTIntroViewController::pageTemplateWithTitleContentIconAndView(
    const std::string& title, const std::string& content, const Ref<UIImage>& icon, const Ref<UIView>& view)
{
    CGRect frame = UIScreen::mainScreen()->bounds();
    auto page = UIView::initWithFrame(frame);
    page->setBackgroundColor(UIColor::clearColor());
    CGFloat width = frame.size.width - 80;
    auto iconView = UIImageView::initWithImage(icon);
    iconView->setFrame(CGRectMake((frame.size.width - 60) / 2, 120, 60, 60));
    page->addSubview(iconView);

    // Room for a title of two lines.
    auto titleLabel = UILabel::initWithFrame(CGRectMake(40, 190, width, 56));
    titleLabel->setNumberOfLines(2);
    titleLabel->setFont(UIFont::boldSystemFontOfSize(22));
    titleLabel->setTextColor(UIColor::whiteColor());
    titleLabel->setTextAlignment(NSTextAlignmentCenter);
    titleLabel->setText(title);
    page->addSubview(titleLabel);

    auto contentLabel = UILabel::initWithFrame(CGRectMake(40, 250, width, 120));
    contentLabel->setFont(UIFont::systemFontOfSize(16));
    contentLabel->setTextColor(UIColor::whiteColor());
    contentLabel->setTextAlignment(NSTextAlignmentCenter);
    contentLabel->setNumberOfLines(0);
    contentLabel->setText(content);
    page->addSubview(contentLabel);

    if (view) {
        // A picture of the control, where the control sits on screen.
        if (auto snapshot = view->snapshotViewAfterScreenUpdates(false)) {
            CGRect place
                = view->superview() ? view->superview()->convertRectToView(view->frame(), nullptr) : view->frame();
            snapshot->setFrame(place);
            page->addSubview(snapshot);
        }
    }
    return page;
}

void KESTIntroViewController::setPages(std::vector<Ref<UIView>> pages)
{
    for (const auto& old : m_pages)
        old->removeFromSuperview();
    m_pages = std::move(pages);
    if (m_scrollView)
        layoutPages();
}

void KESTIntroViewController::layoutPages()
{
    CGSize size = m_scrollView->bounds().size;
    for (size_t i = 0; i < m_pages.size(); ++i) {
        m_pages[i]->setFrame(CGRectMake(size.width * CGFloat(i), 0, size.width, size.height));
        m_scrollView->addSubview(m_pages[i]);
    }
    m_scrollView->setContentSize(CGSizeMake(size.width * CGFloat(m_pages.size()), size.height));
}

void KESTIntroViewController::beginIntroWithCompletionHandler(CompletionHandler handler)
{
    m_completion = std::move(handler);
    Ref<UIView> host;
    if (auto parent = parentViewController())
        host = parent->view();
    else if (auto application = UIApplication::sharedApplication())
        host = application->keyWindow();
    auto introView = view();
    if (host) {
        introView->setFrame(host->bounds());
        host->addSubview(introView);
    }
    introView->setAlpha(0);
    UIView::animateWithDuration(0.3, [introView] { introView->setAlpha(1); });
}

void KESTIntroViewController::endIntro()
{
    if (!isViewLoaded())
        return;
    auto introView = view();
    Weak<KESTIntroViewController> weak = self<KESTIntroViewController>();
    UIView::animateWithDuration(
        0.3, [introView] { introView->setAlpha(0); },
        [weak, introView](bool) {
            introView->removeFromSuperview();
            auto intro = weak.lock();
            if (!intro)
                return;
            auto completion = std::move(intro->m_completion);
            intro->m_completion = nullptr;
            if (completion)
                completion();
        });
}
