#include "app/view-controllers/common/KESTWebViewController.h"

#include "foundation/NSBundle.h"
#include "foundation/NSRunLoop.h"
#include "graphics/UIImage.h"
#include "net/NSURL.h"
#include "net/NSURLRequest.h"
#include "uikit/UIBarButtonItem.h"
#include "uikit/UIToolbar.h"

VX_REGISTER_CLASS(KESTWebViewController);

Ref<KESTWebViewController> KESTWebViewController::initWithNibNameBundleWithURLCloseEnableDelayWithCloseButton(
    const std::string& nibName, const Ref<NSBundle>& bundle, const Ref<NSURL>& url, int32_t closeEnableDelay,
    bool withCloseButton)
{
    auto controller = initWithNibNameBundle(nibName, bundle);
    controller->m_loadURL = url;
    controller->m_hideCloseButton = withCloseButton;
    if (closeEnableDelay >= 1) {
        controller->m_disableCloseButton = true;
        Weak<KESTWebViewController> weak = controller;
        // The perform keeps the screen alive until it has run.
        performSelectorAfterDelay(
            controller, "enableButton",
            [weak] {
                if (auto strong = weak.lock())
                    strong->enableButton();
            },
            double(closeEnableDelay));
    }
    return controller;
}

void KESTWebViewController::viewDidLoad()
{
    UIViewController::viewDidLoad();
    setupUI();
    if (m_loadURL && m_webView)
        m_webView->loadRequest(NSURLRequest::requestWithURL(m_loadURL));
}

void KESTWebViewController::viewWillLayoutSubviews()
{
    UIViewController::viewWillLayoutSubviews();
    CGRect bounds = view()->bounds();
    CGFloat toolbarHeight = m_bottomToolbar ? m_bottomToolbar->frame().size.height : 0;
    if (m_webView)
        m_webView->setFrame(CGRectMake(0, 0, bounds.size.width, bounds.size.height - toolbarHeight));
}

void KESTWebViewController::setupUI()
{
    auto self = this->self<KESTWebViewController>();
    Weak<KESTWebViewController> weak = self;
    auto action = [weak](void (KESTWebViewController::*method)(const Ref<NSObject>&)) {
        return [weak, method](const Ref<UIBarButtonItem>& sender) {
            if (auto strong = weak.lock())
                ((*strong).*method)(sender);
        };
    };
    std::string closeTitle = NSBundle::mainBundle()->localizedStringForKey("Close", "", "");
    m_closeButton = UIBarButtonItem::initWithTitleStyleTargetAction(
        closeTitle, UIBarButtonItemStyleBordered, self, action(&KESTWebViewController::closePress));
    auto flexibleSpace = UIBarButtonItem::initWithBarButtonSystemItemTargetAction(
        UIBarButtonSystemItemFlexibleSpace, nullptr, nullptr);
    auto fixedSpace
        = UIBarButtonItem::initWithBarButtonSystemItemTargetAction(UIBarButtonSystemItemFixedSpace, nullptr, nullptr);
    fixedSpace->setWidth(170);
    auto back = UIBarButtonItem::initWithImageStyleTargetAction(
        UIImage::imageNamed("arrow-left"), UIBarButtonItemStylePlain, self, action(&KESTWebViewController::backPress));
    auto forward = UIBarButtonItem::initWithImageStyleTargetAction(UIImage::imageNamed("arrow-right"),
        UIBarButtonItemStylePlain, self, action(&KESTWebViewController::forwardPress));
    if (m_disableCloseButton)
        m_closeButton->setEnabled(false);

    m_bottomToolbar = UIToolbar::initWithFrame(CGRectZero);
    m_bottomToolbar->setAutoresizingMask(UIViewAutoresizingFlexibleWidth | UIViewAutoresizingFlexibleTopMargin);
    auto parent = view();
    parent->addSubview(m_bottomToolbar);
    CGSize size = parent->frame().size;
    m_bottomToolbar->setFrame(CGRectMake(0, size.height - 44, size.width, 44));

    auto secondFlexibleSpace = UIBarButtonItem::initWithBarButtonSystemItemTargetAction(
        UIBarButtonSystemItemFlexibleSpace, nullptr, nullptr);
    m_bottomToolbar->setItemsAnimated(
        { m_hideCloseButton ? m_closeButton : flexibleSpace, fixedSpace, back, secondFlexibleSpace, forward }, false);
}

void KESTWebViewController::enableButton()
{
    if (m_closeButton)
        m_closeButton->setEnabled(true);
    else
        m_disableCloseButton = false;
}

void KESTWebViewController::closePress(const Ref<NSObject>&)
{
    dismissViewControllerAnimatedCompletion(true, nullptr);
}

void KESTWebViewController::backPress(const Ref<NSObject>&)
{
    if (m_webView)
        m_webView->goBack();
}

void KESTWebViewController::forwardPress(const Ref<NSObject>&)
{
    if (m_webView)
        m_webView->goForward();
}
