#include "uikit/UITabBarController.h"

#include "graphics/NSParagraphStyle.h"
#include "graphics/NSString+Drawing.h"
#include "graphics/UIColor.h"
#include "graphics/UIFont.h"
#include "graphics/UIImage.h"
#include "uikit/UIScreen.h"
#include "uikit/UITabBarItem.h"
#include "uikit/UITouch.h"
#include "uikit/UIView.h"

#include <algorithm>

namespace {

constexpr CGFloat kTabBarHeight = 49;

// The tab bar: a touch that ends on an item chooses it.
class TabBarView final : public UIView {
    VX_OBJECT(TabBarView, UIView)
public:
    explicit TabBarView(Passkey key)
        : UIView(key)
    {
    }
    static Ref<TabBarView> initWithFrame(CGRect frame, Weak<UITabBarController> owner)
    {
        auto view = makeView<TabBarView>(frame);
        view->m_owner = std::move(owner);
        return view;
    }
    void touchesEnded(const UITouchSet& touches, const Ref<UIEvent>&) override
    {
        auto owner = m_owner.lock();
        if (!owner || touches.empty())
            return;
        auto count = owner->viewControllers().size();
        CGPoint point = touches.front()->locationInView(self<UIView>());
        if (count == 0 || !pointInside(point, nullptr))
            return;
        auto index = static_cast<uint32_t>(point.x / (bounds().size.width / CGFloat(count)));
        owner->userSelectedIndex(std::min<uint32_t>(index, uint32_t(count - 1)));
    }
    // One equal-width item per child: its tab bar item's image (the selected image for the
    // selected child) above its title, or the controller's title alone.
    void drawRect(CGRect) override
    {
        auto owner = m_owner.lock();
        if (!owner)
            return;
        auto children = owner->viewControllers();
        if (children.empty())
            return;
        CGFloat width = bounds().size.width / CGFloat(children.size());
        auto font = UIFont::systemFontOfSize(10);
        for (size_t i = 0; i < children.size(); ++i) {
            const auto& child = children[i];
            bool selected = child == owner->selectedViewController();
            const auto& item = child->tabBarItem();
            auto image = item ? (selected && item->selectedImage() ? item->selectedImage() : item->image()) : nullptr;
            std::string title = item && !item->title().empty() ? item->title() : child->title();
            CGFloat x = width * CGFloat(i);
            if (image) {
                CGSize size = image->size();
                image->drawAtPoint(CGPointMake(x + (width - size.width) / 2, 4));
            }
            auto colour = selected ? UIColor::colorWithRedGreenBlueAlpha(0, 0.48f, 1, 1) : UIColor::grayColor();
            Value attributes = Value::dictionary({ { NSFontAttributeName, Value::object(font) },
                { NSForegroundColorAttributeName, Value::object(colour) } });
            CGSize text = NSString_Drawing::sizeWithAttributes(title, attributes);
            NSString_Drawing::drawAtPoint(title,
                CGPointMake(x + (width - text.width) / 2, image ? 34 : (bounds().size.height - text.height) / 2),
                attributes);
        }
    }
    void touchesBegan(const UITouchSet&, const Ref<UIEvent>&) override { }
    void touchesMoved(const UITouchSet&, const Ref<UIEvent>&) override { }

private:
    Weak<UITabBarController> m_owner;
};

} // namespace

void UITabBarController::loadView()
{
    auto view = UIView::initWithFrame(UIScreen::mainScreen()->bounds());
    CGRect b = view->bounds();
    m_tabBar = TabBarView::initWithFrame(
        CGRectMake(0, b.size.height - kTabBarHeight, b.size.width, kTabBarHeight), self<UITabBarController>());
    m_tabBar->setAutoresizingMask(UIViewAutoresizingFlexibleWidth | UIViewAutoresizingFlexibleTopMargin);
    m_tabBar->setBackgroundColor(UIColor::colorWithWhiteAlpha(0.97f, 1));
    view->addSubview(m_tabBar);
    setView(view);
    if (m_selected) {
        auto selectedView = m_selected->view();
        selectedView->setFrame(contentFrame());
        selectedView->setAutoresizingMask(UIViewAutoresizingFlexibleWidth | UIViewAutoresizingFlexibleHeight);
        view->insertSubviewBelowSubview(selectedView, m_tabBar);
    }
}

CGRect UITabBarController::contentFrame() const
{
    CGRect b = const_cast<UITabBarController*>(this)->view()->bounds();
    b.size.height -= kTabBarHeight;
    return b;
}

void UITabBarController::viewDidLayoutSubviews()
{
    if (m_selected && m_selected->isViewLoaded())
        m_selected->view()->setFrame(contentFrame());
}

void UITabBarController::setViewControllersAnimated(const std::vector<Ref<UIViewController>>& controllers, bool)
{
    auto self_ = self<UITabBarController>();
    for (auto& c : childViewControllers()) {
        if (std::find(controllers.begin(), controllers.end(), c) == controllers.end()) {
            if (c == m_selected)
                show(nullptr);
            c->willMoveToParentViewController(nullptr);
            c->removeFromParentViewController();
        }
    }
    for (auto& c : controllers) {
        if (c && c->parentViewController() != self_) {
            addChildViewController(c);
            c->didMoveToParentViewController(self_);
        }
    }
    reorderChildren(controllers);
    if (!m_selected && !controllers.empty())
        show(controllers.front());
}

uint32_t UITabBarController::selectedIndex() const
{
    auto children = childViewControllers();
    auto it = std::find(children.begin(), children.end(), m_selected);
    return it == children.end() ? uint32_t(INT32_MAX) : uint32_t(it - children.begin());
}

void UITabBarController::setSelectedIndex(uint32_t index)
{
    auto children = childViewControllers();
    if (index < children.size())
        show(children[index]);
}

void UITabBarController::setSelectedViewController(const Ref<UIViewController>& controller)
{
    auto children = childViewControllers();
    if (std::find(children.begin(), children.end(), controller) != children.end())
        show(controller);
}

void UITabBarController::userSelectedIndex(uint32_t index)
{
    auto children = childViewControllers();
    if (index >= children.size())
        return;
    auto self_ = self<UITabBarController>();
    auto controller = children[index];
    if (auto* d = delegate(); d && !d->tabBarControllerShouldSelectViewController(self_, controller))
        return;
    show(controller);
    if (auto* d = delegate())
        d->tabBarControllerDidSelectViewController(self_, controller);
}

void UITabBarController::show(const Ref<UIViewController>& controller)
{
    auto from = m_selected;
    if (from == controller)
        return;
    m_selected = controller;
    if (m_tabBar)
        m_tabBar->setNeedsDisplay();
    if (!isViewLoaded())
        return;
    bool onScreen = isAppearingOrVisible();
    if (controller)
        controller->view();
    if (onScreen && from)
        from->beginAppearanceTransition(false, false);
    if (onScreen && controller)
        controller->beginAppearanceTransition(true, false);
    if (from && from->isViewLoaded())
        from->view()->removeFromSuperview();
    if (controller) {
        auto v = controller->view();
        v->setFrame(contentFrame());
        v->setAutoresizingMask(UIViewAutoresizingFlexibleWidth | UIViewAutoresizingFlexibleHeight);
        view()->insertSubviewBelowSubview(v, m_tabBar);
    }
    if (onScreen && from)
        from->endAppearanceTransition();
    if (onScreen && controller)
        controller->endAppearanceTransition();
}

VX_REGISTER_CLASS(UITabBarController);
