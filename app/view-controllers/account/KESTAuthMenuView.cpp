#include "app/view-controllers/account/KESTAuthMenuView.h"

VX_REGISTER_CLASS(KESTAuthMenuView);

Ref<KESTAuthMenuView> KESTAuthMenuView::initWithCompletionFailure(Completion completion, Failure failure)
{
    auto controller = makeTableController<KESTAuthMenuView>(UITableViewStyleGrouped);
    controller->m_completion = std::move(completion);
    controller->m_failure = std::move(failure);
    return controller;
}
