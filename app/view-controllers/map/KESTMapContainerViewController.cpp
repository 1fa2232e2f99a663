#include "app/view-controllers/map/KESTMapContainerViewController.h"

#include "app/view-controllers/map/KESTMapController.h"
#include "app/view-controllers/map/KESTMapViewController.h"
#include "graphics/UIColor.h"
#include "uikit/UINavigationController.h"
#include "uikit/UIScreen.h"

VX_REGISTER_CLASS(KESTMapContainerViewController);

void KESTMapContainerViewController::loadView()
{
    auto root = UIView::initWithFrame(UIScreen::mainScreen()->applicationFrame());
    root->setBackgroundColor(UIColor::grayColor());
    root->setAutoresizingMask(UIViewAutoresizing(18));
    setView(root);
}

void KESTMapContainerViewController::setVisibleMapController(const Ref<KESTMapViewController>& controller)
{
    teardownVisibleMapController();
    if (!controller)
        return;
    auto navigation = UINavigationController::initWithRootViewController(controller);
    addChildViewController(navigation);
    auto container = view();
    navigation->view()->setFrame(container->bounds());
    navigation->view()->setAutoresizingMask(container->autoresizingMask());
    CGRect bounds = controller->view()->bounds();
    bounds.size = container->bounds().size;
    controller->view()->setBounds(bounds);
    container->addSubview(navigation->view());
    navigation->didMoveToParentViewController(self<KESTMapContainerViewController>());
    m_mapViewController = controller;
}

void KESTMapContainerViewController::teardownVisibleMapController()
{
    if (!m_mapViewController)
        return;
    auto screen = m_mapViewController;
    // The navigation controller that wraps the screen goes with it, so the container never
    // keeps an empty navigation controller and its view.
    auto navigation = screen->navigationController();
    screen->cleanup();
    screen->willMoveToParentViewController(nullptr);
    if (screen->isViewLoaded())
        screen->view()->removeFromSuperview();
    screen->removeFromParentViewController();
    if (navigation) {
        navigation->willMoveToParentViewController(nullptr);
        if (navigation->isViewLoaded())
            navigation->view()->removeFromSuperview();
        navigation->removeFromParentViewController();
    }
    KESTMapController::sharedInstance()->setMapViewController(nullptr);
    m_mapViewController = nullptr;
}

Ref<UIViewController> KESTMapContainerViewController::childViewControllerForStatusBarHidden() const
{
    return m_mapViewController;
}

UIStatusBarStyle KESTMapContainerViewController::preferredStatusBarStyle() const
{
    if (m_mapViewController) {
        if (auto navigation = m_mapViewController->navigationController()) {
            if (auto top = navigation->topViewController())
                return top->preferredStatusBarStyle();
        }
    }
    return UIStatusBarStyleDefault;
}
