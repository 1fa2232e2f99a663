#include "uikit/UIBarButtonItem.h"

#include "graphics/NSString+Drawing.h"
#include "graphics/UIFont.h"
#include "graphics/UIImage.h"
#include "uikit/UIButton.h"
#include "uikit/UIView.h"

#include <algorithm>

namespace {
constexpr CGFloat kMinimumItemWidth = 44;
constexpr CGFloat kTitlePadding = 16;
} // namespace

VX_REGISTER_CLASS(UIBarButtonItem);

Ref<UIBarButtonItem> UIBarButtonItem::initWithTitleStyleTargetAction(
    const std::string& title, UIBarButtonItemStyle style, const Ref<NSObject>& target, Action action)
{
    auto item = make<UIBarButtonItem>();
    item->setTitle(title);
    item->m_style = style;
    item->setTargetAction(target, std::move(action));
    return item;
}

Ref<UIBarButtonItem> UIBarButtonItem::initWithImageStyleTargetAction(
    const Ref<UIImage>& image, UIBarButtonItemStyle style, const Ref<NSObject>& target, Action action)
{
    auto item = make<UIBarButtonItem>();
    item->setImage(image);
    item->m_style = style;
    item->setTargetAction(target, std::move(action));
    return item;
}

Ref<UIBarButtonItem> UIBarButtonItem::initWithBarButtonSystemItemTargetAction(
    UIBarButtonSystemItem systemItem, const Ref<NSObject>& target, Action action)
{
    auto item = make<UIBarButtonItem>();
    item->m_systemItem = systemItem;
    if (systemItem == UIBarButtonSystemItemDone)
        item->m_style = UIBarButtonItemStyleDone;
    item->setTargetAction(target, std::move(action));
    return item;
}

Ref<UIBarButtonItem> UIBarButtonItem::initWithCustomView(const Ref<UIView>& view)
{
    auto item = make<UIBarButtonItem>();
    item->m_customView = view;
    return item;
}

void UIBarButtonItem::setTargetAction(const Ref<NSObject>& target, Action action)
{
    m_target = target;
    m_hasTarget = target != nullptr;
    m_action = std::move(action);
}

bool UIBarButtonItem::userTap()
{
    if (!isEnabled() || !m_action || isFlexibleSpace() || isFixedSpace())
        return false;
    // Keep the target alive while its action runs.
    auto target = m_target.lock();
    if (m_hasTarget && !target)
        return false;
    auto self = std::static_pointer_cast<UIBarButtonItem>(shared_from_this());
    auto action = m_action;
    action(self);
    return true;
}

void UIBarButtonItem::setTitle(const std::string& title)
{
    UIBarItem::setTitle(title);
    updateButtons();
}

void UIBarButtonItem::setImage(const Ref<UIImage>& image)
{
    UIBarItem::setImage(image);
    updateButtons();
}

void UIBarButtonItem::setEnabled(bool enabled)
{
    UIBarItem::setEnabled(enabled);
    updateButtons();
}

std::string UIBarButtonItem::displayTitle() const
{
    if (!title().empty() || !m_systemItem)
        return title();
    switch (*m_systemItem) {
    case UIBarButtonSystemItemDone:
        return "Done";
    case UIBarButtonSystemItemCancel:
        return "Cancel";
    case UIBarButtonSystemItemEdit:
        return "Edit";
    case UIBarButtonSystemItemSave:
        return "Save";
    case UIBarButtonSystemItemAdd:
        return "+";
    case UIBarButtonSystemItemUndo:
        return "Undo";
    case UIBarButtonSystemItemRedo:
        return "Redo";
    default:
        return {};
    }
}

Ref<UIView> UIBarButtonItem::makeBarView()
{
    if (m_customView)
        return m_customView;
    if (isFlexibleSpace() || isFixedSpace())
        return nullptr;
    auto button = UIButton::buttonWithType(UIButtonTypeSystem);
    Weak<UIBarButtonItem> weak = std::static_pointer_cast<UIBarButtonItem>(shared_from_this());
    button->addTargetActionForControlEvents(
        nullptr, "tap",
        [weak](const Ref<UIControl>&, const Ref<UIEvent>&) {
            if (auto strong = weak.lock())
                strong->userTap();
        },
        UIControlEventTouchUpInside);
    std::erase_if(m_buttons, [](const Weak<UIButton>& b) { return b.expired(); });
    m_buttons.push_back(button);
    updateButtons();
    return button;
}

void UIBarButtonItem::updateButtons()
{
    for (auto& weak : m_buttons) {
        auto button = weak.lock();
        if (!button)
            continue;
        button->setTitleForState(displayTitle(), UIControlStateNormal);
        button->setImageForState(image(), UIControlStateNormal);
        button->setEnabled(isEnabled());
        // The bar sizes its items from their titles.
        if (auto bar = button->superview())
            bar->setNeedsLayout();
    }
}

CGFloat UIBarButtonItem::fittingWidth() const
{
    if (isFlexibleSpace())
        return 0;
    if (m_width > 0 || isFixedSpace())
        return m_width;
    if (m_customView)
        return m_customView->bounds().size.width;
    CGFloat content = 0;
    if (auto title = displayTitle(); !title.empty())
        content = NSString_Drawing::sizeWithFont(title, UIFont::systemFontOfSize(17)).width;
    else if (image())
        content = image()->size().width;
    return std::max(kMinimumItemWidth, content + kTitlePadding);
}
