#include "uikit/UIAlertView.h"

#include "uikit/UITextField.h"
#include "uikit/UIViewController.h"

#include <algorithm>
#include <utility>

namespace {
std::vector<Ref<UIAlertView>>& visible()
{
    static std::vector<Ref<UIAlertView>> s_visible;
    return s_visible;
}
} // namespace

Ref<UIAlertView> UIAlertView::initWithTitle(const std::string& title, const std::string& message,
    UIAlertViewDelegate* delegate, Weak<NSObject> delegateOwner, const std::string& cancelButtonTitle,
    const std::vector<std::string>& otherButtonTitles)
{
    auto alert = makeView<UIAlertView>(CGRectMake(0, 0, 270, 150));
    alert->m_title = title;
    alert->m_message = message;
    alert->setDelegate(delegate, std::move(delegateOwner));
    if (!cancelButtonTitle.empty())
        alert->m_cancelButtonIndex = alert->addButtonWithTitle(cancelButtonTitle);
    for (const auto& other : otherButtonTitles)
        alert->addButtonWithTitle(other);
    return alert;
}

int32_t UIAlertView::addButtonWithTitle(const std::string& title)
{
    m_buttons.push_back(title);
    return numberOfButtons() - 1;
}

std::string UIAlertView::buttonTitleAtIndex(int32_t index) const
{
    return index >= 0 && index < numberOfButtons() ? m_buttons[size_t(index)] : std::string();
}

int32_t UIAlertView::firstOtherButtonIndex() const
{
    for (int32_t i = 0; i < numberOfButtons(); ++i) {
        if (i != m_cancelButtonIndex)
            return i;
    }
    return -1;
}

void UIAlertView::show()
{
    if (m_visible)
        return;
    auto self_ = self<UIAlertView>();
    m_visible = true;
    visible().push_back(self_);
    if (auto* d = delegate())
        d->willPresentAlertView(self_);
    UIViewController::finishTransition(true, [self_] {
        if (!self_->m_visible)
            return;
        if (auto* d = self_->delegate())
            d->didPresentAlertView(self_);
    });
}

void UIAlertView::tapButtonAtIndex(int32_t index)
{
    if (!m_visible || index < 0 || index >= numberOfButtons())
        return;
    auto self_ = self<UIAlertView>();
    if (auto* d = delegate())
        d->alertViewClickedButtonAtIndex(self_, index);
    dismiss(index, true);
}

void UIAlertView::dismissWithClickedButtonIndexAnimated(int32_t index, bool animated)
{
    dismiss(index, animated);
}

void UIAlertView::dismiss(int32_t index, bool animated)
{
    if (!m_visible)
        return;
    auto self_ = self<UIAlertView>();
    m_visible = false;
    if (auto* d = delegate())
        d->alertViewWillDismissWithButtonIndex(self_, index);
    auto& list = visible();
    list.erase(std::remove(list.begin(), list.end(), self_), list.end());
    UIViewController::finishTransition(animated, [self_, index] {
        if (auto* d = self_->delegate())
            d->alertViewDidDismissWithButtonIndex(self_, index);
    });
}

std::vector<Ref<UIAlertView>> UIAlertView::visibleAlerts()
{
    return visible();
}

void UIAlertView::resetForTesting()
{
    // The system takes every alert away: each delegate hears that its alert was cancelled.
    auto alerts = std::exchange(visible(), {});
    for (const auto& alert : alerts) {
        alert->m_visible = false;
        if (auto* d = alert->delegate())
            d->alertViewCancel(alert);
    }
}

VX_REGISTER_CLASS(UIAlertView);

Ref<UITextField> UIAlertView::textFieldAtIndex(int32_t index)
{
    size_t count = m_style == UIAlertViewStyleDefault ? 0 : m_style == UIAlertViewStyleLoginAndPasswordInput ? 2 : 1;
    if (index < 0 || static_cast<size_t>(index) >= count)
        return nullptr;
    while (m_textFields.size() < count) {
        auto field = UITextField::initWithFrame(CGRectMake(0, 0, 260, 29));
        bool secure = m_style == UIAlertViewStyleSecureTextInput
            || (m_style == UIAlertViewStyleLoginAndPasswordInput && m_textFields.size() == 1);
        field->setSecureTextEntry(secure);
        m_textFields.push_back(field);
    }
    return m_textFields[index];
}
