#include "uikit/UISearchBar.h"

#include "graphics/UIColor.h"
#include "graphics/UIGraphics.h"

#include "graphics/UIImage.h"
#include "uikit/UISearchDisplayController.h"

VX_REGISTER_CLASS(UISearchBar);

namespace {
constexpr CGFloat kFieldInset = 8;
constexpr CGFloat kCancelWidth = 70;
} // namespace

Ref<UISearchBar> UISearchBar::initWithFrame(CGRect frame)
{
    auto bar = makeView<UISearchBar>(frame);
    bar->m_field = UITextField::initWithFrame(CGRectZero);
    bar->m_field->setReturnKeyType(UIReturnKeySearch);
    bar->m_field->setBorderStyle(UITextBorderStyleRoundedRect);
    bar->m_field->setClearButtonMode(UITextFieldViewModeWhileEditing);
    bar->m_field->setDelegate(bar.get(), bar);
    Weak<UISearchBar> weak = bar;
    bar->m_field->addTargetActionForControlEvents(
        bar, "textChanged",
        [weak](const Ref<UIControl>&, const Ref<UIEvent>&) {
            if (auto strong = weak.lock())
                strong->textChanged();
        },
        UIControlEventEditingChanged);
    bar->addSubview(bar->m_field);
    bar->setNeedsLayout();
    return bar;
}

void UISearchBar::layoutSubviews()
{
    CGRect b = bounds();
    CGFloat right = m_showsCancel ? kCancelWidth : 0;
    m_field->setFrame(CGRectMake(kFieldInset, kFieldInset, std::max<CGFloat>(0, b.size.width - 2 * kFieldInset - right),
        std::max<CGFloat>(0, std::min<CGFloat>(b.size.height, 44) - 2 * kFieldInset)));
}

void UISearchBar::setSelectedScopeButtonIndex(int32_t index)
{
    if (index >= 0 && index < int32_t(m_scopeTitles.size()))
        m_selectedScope = index;
}

Ref<UIImage> UISearchBar::imageForSearchBarIconState(UISearchBarIcon icon, UIControlState state) const
{
    auto it = m_icons.find({ icon, state });
    return it == m_icons.end() ? nullptr : it->second;
}

void UISearchBar::setImageForSearchBarIconState(const Ref<UIImage>& image, UISearchBarIcon icon, UIControlState state)
{
    if (image)
        m_icons[{ icon, state }] = image;
    else
        m_icons.erase({ icon, state });
}

void UISearchBar::textChanged()
{
    auto self = protectedBar();
    std::string text = m_field->text();
    if (auto controller = m_displayController.lock())
        controller->searchBarTextDidChange(text);
    if (auto* d = delegate())
        d->searchBarTextDidChange(self, text);
}

void UISearchBar::userTapCancelButton()
{
    if (!m_showsCancel)
        return;
    auto self = protectedBar();
    if (auto controller = m_displayController.lock())
        controller->searchBarCancelled();
    if (auto* d = delegate())
        d->searchBarCancelButtonClicked(self);
}

void UISearchBar::userTapBookmarkButton()
{
    if (!m_showsBookmark)
        return;
    if (auto* d = delegate())
        d->searchBarBookmarkButtonClicked(protectedBar());
}

void UISearchBar::userTapResultsListButton()
{
    if (!m_showsResults)
        return;
    if (auto* d = delegate())
        d->searchBarResultsListButtonClicked(protectedBar());
}

void UISearchBar::userTapScopeButton(int32_t index)
{
    if (index < 0 || index >= int32_t(m_scopeTitles.size()) || index == m_selectedScope)
        return;
    m_selectedScope = index;
    if (auto* d = delegate())
        d->searchBarSelectedScopeButtonIndexDidChange(protectedBar(), index);
}

bool UISearchBar::textFieldShouldBeginEditing(const Ref<UITextField>&)
{
    auto* d = delegate();
    return !d || d->searchBarShouldBeginEditing(protectedBar());
}

void UISearchBar::textFieldDidBeginEditing(const Ref<UITextField>&)
{
    auto self = protectedBar();
    if (auto controller = m_displayController.lock())
        controller->searchBarDidBeginEditing();
    if (auto* d = delegate())
        d->searchBarTextDidBeginEditing(self);
}

bool UISearchBar::textFieldShouldEndEditing(const Ref<UITextField>&)
{
    auto* d = delegate();
    return !d || d->searchBarShouldEndEditing(protectedBar());
}

void UISearchBar::textFieldDidEndEditing(const Ref<UITextField>&)
{
    if (auto* d = delegate())
        d->searchBarTextDidEndEditing(protectedBar());
}

bool UISearchBar::textFieldShouldChangeCharactersInRangeReplacementString(
    const Ref<UITextField>&, NSRange range, const std::string& text)
{
    auto* d = delegate();
    return !d || d->searchBarShouldChangeTextInRangeReplacementText(protectedBar(), range, text);
}

bool UISearchBar::textFieldShouldReturn(const Ref<UITextField>&)
{
    if (auto* d = delegate())
        d->searchBarSearchButtonClicked(protectedBar());
    return true;
}

void UISearchBar::drawRect(CGRect)
{
    // The bar's grey, unless the application gave it a background of its own or asked for the
    // minimal style, which draws no background at all.
    if (backgroundColor() || m_style == UISearchBarStyleMinimal)
        return;
    if (m_backgroundImage) {
        m_backgroundImage->drawInRect(bounds());
        return;
    }
    UIColor::colorWithRedGreenBlueAlpha(0.79f, 0.79f, 0.81f, 1)->setFill();
    UIRectFill(bounds());
}
