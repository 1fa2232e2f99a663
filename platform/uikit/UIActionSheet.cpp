#include "uikit/UIActionSheet.h"

#include "uikit/UIViewController.h"

#include <algorithm>

namespace {
std::vector<Ref<UIActionSheet>>& visible()
{
    static std::vector<Ref<UIActionSheet>> s_visible;
    return s_visible;
}
} // namespace

Ref<UIActionSheet> UIActionSheet::initWithTitle(const std::string& title, UIActionSheetDelegate* delegate,
    Weak<NSObject> delegateOwner, const std::string& cancelButtonTitle, const std::string& destructiveButtonTitle,
    const std::vector<std::string>& otherButtonTitles)
{
    auto sheet = makeView<UIActionSheet>(CGRectMake(0, 0, 272, 44));
    sheet->m_title = title;
    sheet->setDelegate(delegate, std::move(delegateOwner));
    if (!destructiveButtonTitle.empty())
        sheet->m_destructiveButtonIndex = sheet->addButtonWithTitle(destructiveButtonTitle);
    for (const auto& other : otherButtonTitles)
        sheet->addButtonWithTitle(other);
    if (!cancelButtonTitle.empty())
        sheet->m_cancelButtonIndex = sheet->addButtonWithTitle(cancelButtonTitle);
    return sheet;
}

int32_t UIActionSheet::addButtonWithTitle(const std::string& title)
{
    m_buttons.push_back(title);
    return numberOfButtons() - 1;
}

std::string UIActionSheet::buttonTitleAtIndex(int32_t index) const
{
    return index >= 0 && index < numberOfButtons() ? m_buttons[size_t(index)] : std::string();
}

int32_t UIActionSheet::firstOtherButtonIndex() const
{
    for (int32_t i = 0; i < numberOfButtons(); ++i) {
        if (i != m_cancelButtonIndex && i != m_destructiveButtonIndex)
            return i;
    }
    return -1;
}

void UIActionSheet::showInView(const Ref<UIView>& view)
{
    m_fromView = view;
    m_fromRect = view ? view->bounds() : CGRectZero;
    present(true);
}

void UIActionSheet::showFromRectInViewAnimated(CGRect rect, const Ref<UIView>& view, bool animated)
{
    m_fromView = view;
    m_fromRect = rect;
    present(animated);
}

void UIActionSheet::present(bool animated)
{
    if (m_visible)
        return;
    auto self_ = self<UIActionSheet>();
    m_visible = true;
    visible().push_back(self_);
    if (auto* d = delegate())
        d->willPresentActionSheet(self_);
    UIViewController::finishTransition(animated, [self_] {
        if (!self_->m_visible)
            return;
        if (auto* d = self_->delegate())
            d->didPresentActionSheet(self_);
    });
}

void UIActionSheet::tapButtonAtIndex(int32_t index)
{
    if (!m_visible || index >= numberOfButtons())
        return;
    auto self_ = self<UIActionSheet>();
    if (auto* d = delegate())
        d->actionSheetClickedButtonAtIndex(self_, index);
    dismiss(index, true);
}

void UIActionSheet::dismissWithClickedButtonIndexAnimated(int32_t index, bool animated)
{
    dismiss(index, animated);
}

void UIActionSheet::dismiss(int32_t index, bool animated)
{
    if (!m_visible)
        return;
    auto self_ = self<UIActionSheet>();
    m_visible = false;
    if (auto* d = delegate())
        d->actionSheetWillDismissWithButtonIndex(self_, index);
    auto& list = visible();
    list.erase(std::remove(list.begin(), list.end(), self_), list.end());
    UIViewController::finishTransition(animated, [self_, index] {
        if (auto* d = self_->delegate())
            d->actionSheetDidDismissWithButtonIndex(self_, index);
    });
}

std::vector<Ref<UIActionSheet>> UIActionSheet::visibleActionSheets()
{
    return visible();
}

void UIActionSheet::resetForTesting()
{
    visible().clear();
}

VX_REGISTER_CLASS(UIActionSheet);
