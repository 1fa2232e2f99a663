#include "app/view-controllers/account/KESTAuthMenuView.h"

VX_REGISTER_CLASS(KESTAuthMenuView);

// The account manager opens this menu; it learns how to make it when the program starts.
static const bool s_menuFactoryInstalled = [] {
    KESTAuthManager::setMenuFactory([](KESTAuthManager::Completion completion, KESTAuthManager::Failure failure) {
        return Ref<UIViewController>(
            KESTAuthMenuView::initWithCompletionFailure(std::move(completion), std::move(failure)));
    });
    return true;
}();

Ref<KESTAuthMenuView> KESTAuthMenuView::initWithCompletionFailure(Completion completion, Failure failure)
{
    auto controller = makeTableController<KESTAuthMenuView>(UITableViewStyleGrouped);
    controller->m_completion = std::move(completion);
    controller->m_failure = std::move(failure);
    return controller;
}
