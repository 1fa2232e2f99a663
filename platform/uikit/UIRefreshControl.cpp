#include "uikit/UIRefreshControl.h"

#include "uikit/UIScrollView.h"

VX_REGISTER_CLASS(UIRefreshControl);

Ref<UIRefreshControl> UIRefreshControl::init()
{
    auto control = makeView<UIRefreshControl>(CGRectMake(0, -pullDistance, 320, pullDistance));
    control->setAutoresizingMask(UIViewAutoresizingFlexibleWidth);
    return control;
}

void UIRefreshControl::beginRefreshing()
{
    m_refreshing = true;
}

void UIRefreshControl::endRefreshing()
{
    m_refreshing = false;
}

void UIRefreshControl::scrollViewReleasedWithOverscroll(CGFloat overscroll)
{
    if (m_refreshing || overscroll < pullDistance || !isEnabled())
        return;
    m_refreshing = true;
    sendActions(UIControlEventValueChanged, nullptr);
}

void UIRefreshControl::didMoveToSuperview()
{
    auto scrollView = std::dynamic_pointer_cast<UIScrollView>(superview());
    if (!scrollView)
        return;
    setFrame(CGRectMake(0, -pullDistance, scrollView->bounds().size.width, pullDistance));
}
