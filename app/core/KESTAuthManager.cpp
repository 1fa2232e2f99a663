#include "app/core/KESTAuthManager.h"

#include "foundation/ThreadChecks.h"
#include "uikit/UINavigationController.h"

VX_REGISTER_CLASS(KESTAuthManager);

Ref<KESTAuthManager> KESTAuthManager::sharedInstance()
{
    static const Ref<KESTAuthManager> s_instance = make<KESTAuthManager>();
    return s_instance;
}

static KESTAuthManager::MenuFactory& menuFactory()
{
    static KESTAuthManager::MenuFactory s_factory;
    return s_factory;
}

void KESTAuthManager::setMenuFactory(MenuFactory factory)
{
    menuFactory() = std::move(factory);
}

void KESTAuthManager::presentManagerInControllerCompletionFailure(
    const Ref<UIViewController>& controller, Completion completion, Failure failure)
{
    assertIsMainThread();
    if (!controller || !menuFactory())
        return;
    auto menu = menuFactory()(std::move(completion), std::move(failure));
    auto navigation = UINavigationController::initWithRootViewController(menu);
    navigation->setModalPresentationStyle(UIModalPresentationCurrentContext);
    controller->presentViewControllerAnimatedCompletion(navigation, true, nullptr);
}
