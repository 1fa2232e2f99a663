#include "uikit/UIActivity.h"

void UIActivity::activityDidFinish(bool completed)
{
    auto finish = std::move(m_finish);
    m_finish = nullptr;
    if (finish)
        finish(completed);
}

VX_REGISTER_CLASS(UIActivity);
