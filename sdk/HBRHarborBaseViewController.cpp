#include "sdk/HBRHarborBaseViewController.h"

#include "graphics/UIColor.h"
#include "uikit/UIApplication.h"
#include "uikit/UIBarButtonItem.h"
#include "uikit/UIDevice.h"
#include "uikit/UINavigationBar.h"
#include "uikit/UINavigationController.h"
#include "uikit/UINavigationItem.h"

VX_REGISTER_CLASS(HBRHarborBaseViewController);

void HBRHarborBaseViewController::setUpModal(bool modal)
{
    // The table starts below the navigation bar, so its first rows are not hidden under it.
    setEdgesForExtendedLayout(UIRectEdgeNone);
    m_modal = modal;
    m_modalAnimated = true;
    if (!modal)
        return;
    Weak<HBRHarborBaseViewController> weak = self<HBRHarborBaseViewController>();
    navigationItem()->setLeftBarButtonItem(UIBarButtonItem::initWithBarButtonSystemItemTargetAction(
        UIBarButtonSystemItemDone, self<HBRHarborBaseViewController>(), [weak](const Ref<UIBarButtonItem>&) {
            if (auto screen = weak.lock())
                screen->onDismissModal();
        }));
}

void HBRHarborBaseViewController::onDismissModal()
{
    auto application = UIApplication::sharedApplication();
    if (m_modal) {
        if (presentingViewController() && m_modalAnimated) {
            presentingViewController()->dismissViewControllerAnimatedCompletion(true, nullptr);
        } else if (auto navigation = navigationController()) {
            navigation->view()->removeFromSuperview();
        }
    } else if (auto navigation = navigationController()) {
        navigation->popViewControllerAnimated(true);
    }
    application->setStatusBarStyle(UIStatusBarStyle(m_statusBarStyle));
}

// The pre-iOS 7 dark bar: tint of red = green = blue = 25/255.
bool HBRHarborBaseViewController::usesDarkBar()
{
    auto navigation = navigationController();
    if (!navigation)
        return false;
    auto dark = UIColor::colorWithRedGreenBlueAlpha(25.0f / 255.0f, 25.0f / 255.0f, 25.0f / 255.0f, 1);
    auto bar = navigation->navigationBar();
    auto tint = bar ? bar->tintColor() : nullptr;
    return tint && tint->isEqual(dark.get());
}

void HBRHarborBaseViewController::viewWillAppear(bool animated)
{
    UITableViewController::viewWillAppear(animated);
    auto application = UIApplication::sharedApplication();
    m_statusBarStyle = application->statusBarStyle();
    if (usesDarkBar())
        application->setStatusBarStyle(UIStatusBarStyleLightContent);
}

void HBRHarborBaseViewController::viewWillDisappear(bool animated)
{
    UITableViewController::viewWillDisappear(animated);
    if (usesDarkBar())
        UIApplication::sharedApplication()->setStatusBarStyle(UIStatusBarStyle(m_statusBarStyle));
}

bool HBRHarborBaseViewController::shouldAutorotateToInterfaceOrientation(int32_t orientation)
{
    if (UIDevice::currentDevice()->userInterfaceIdiom() != UIUserInterfaceIdiomPhone)
        return true;
    return orientation == 1 || orientation == 3 || orientation == 4;
}
