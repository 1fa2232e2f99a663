#include "app/core/KESTAuthManager.h"

#include "uikit/UINavigationController.h"

VX_REGISTER_CLASS(KESTAuthManager);

Ref<KESTAuthManager> KESTAuthManager::sharedInstance()
{
    static const Ref<KESTAuthManager> s_instance = make<KESTAuthManager>();
    return s_instance;
}

void KESTAuthManager::presentManagerInControllerCompletionFailure(const Ref<UIViewController>& controller,
    KESTAuthMenuView::Completion completion, KESTAuthMenuView::Failure failure)
{
    if (!controller)
        return;
    auto menu = KESTAuthMenuView::initWithCompletionFailure(std::move(completion), std::move(failure));
    auto navigation = UINavigationController::initWithRootViewController(menu);
    navigation->setModalPresentationStyle(UIModalPresentationCurrentContext);
    controller->presentViewControllerAnimatedCompletion(navigation, true, nullptr);
}
