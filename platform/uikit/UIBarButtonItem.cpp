#include "UIBarButtonItem.h"

#include "UIView.h"

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
