#include "app/widgets/BlockAlertView.h"

VX_REGISTER_CLASS(BlockAlertView);

Ref<BlockAlertView> BlockAlertView::initWithTitleMessageCancelButtonTitleOtherButtonTitles(const std::string& title,
    const std::string& message, const std::string& cancelButtonTitle, const std::vector<std::string>& otherButtonTitles)
{
    auto wrapper = make<BlockAlertView>();
    auto alert = UIAlertView::initWithTitle(title, message, wrapper.get(), wrapper, cancelButtonTitle, {});
    for (const auto& other : otherButtonTitles)
        alert->addButtonWithTitle(other);
    wrapper->m_activeAlert = alert;
    return wrapper;
}

void BlockAlertView::showWithDismissHandler(DismissHandler handler)
{
    setActiveDismissHandler(std::move(handler));
    m_strongAlertReference = self<BlockAlertView>();
    if (m_activeAlert)
        m_activeAlert->show();
}

void BlockAlertView::alertViewClickedButtonAtIndex(const Ref<UIAlertView>& alertView, int32_t buttonIndex)
{
    // Kept alive until the end of this call even when the self-reference is its last owner.
    Ref<BlockAlertView> protectedThis = self<BlockAlertView>();
    if (auto handler = activeDismissHandler())
        handler(buttonIndex, alertView && buttonIndex == alertView->cancelButtonIndex());
    m_strongAlertReference = nullptr;
}

void BlockAlertView::alertViewDidDismissWithButtonIndex(const Ref<UIAlertView>&, int32_t)
{
    m_strongAlertReference = nullptr;
}

void BlockAlertView::alertViewCancel(const Ref<UIAlertView>&)
{
    m_strongAlertReference = nullptr;
}

BlockAlertView::DismissHandler BlockAlertView::activeDismissHandler() const
{
    return m_activeDismissHandler.get();
}

void BlockAlertView::setActiveDismissHandler(DismissHandler handler)
{
    m_activeDismissHandler.set(std::move(handler));
}
