// UIView: geometry, autoresizing, hierarchy, appearance, hit testing, conversions and key-value coding.
#include "uikit/UIView.h"

#include "foundation/ThreadChecks.h"
#include "graphics/UIColor.h"
#include "graphics/UIGraphics.h"
#include "uikit/UIGestureRecognizer.h"
#include "uikit/UIViewController.h"
#include "uikit/UIViewInternal.h"
#include "uikit/UIWindow.h"

#include <algorithm>

using UIViewInternal::nonDrawingClasses;

UIView::~UIView()
{
    if (m_layer)
        m_layer->setDelegate(nullptr, {});
}

void UIView::initView(CGRect frame)
{
    m_layer = layerClass();
    if (!m_layer)
        m_layer = CALayer::layer();
    m_layer->setDelegate(this, weak_from_this());
    m_layer->setContentsScale(UIGraphicsScreenScale());
    setFrame(frame);
    m_layer->setNeedsLayout();
    if (!nonDrawingClasses().contains(objectClass()))
        m_layer->setNeedsDisplay();
}

// MARK: Geometry

CGRect UIView::frame() const
{
    return m_layer->frame();
}

void UIView::setFrame(CGRect frame)
{
    assertIsMainThread();
    frame = CGRectStandardize(frame);
    CGRect b = bounds();
    // The frame is the bounds' size around the centre; with a transform, the untransformed size.
    setCenter(CGPointMake(frame.origin.x + frame.size.width * m_layer->anchorPoint().x,
        frame.origin.y + frame.size.height * m_layer->anchorPoint().y));
    b.size = frame.size;
    setBounds(b);
}

CGRect UIView::bounds() const
{
    return m_layer->bounds();
}

void UIView::setBounds(CGRect bounds)
{
    assertIsMainThread();
    CGSize oldSize = m_layer->bounds().size;
    if (!CGRectEqualToRect(bounds, m_layer->bounds()))
        recordAnimatedChange("bounds");
    m_layer->setBounds(bounds);
    if (!CGSizeEqualToSize(oldSize, bounds.size)) {
        if (m_contentMode == UIViewContentModeRedraw)
            setNeedsDisplay();
        resizeSubviews(oldSize);
        UIViewUpdateCycle::schedule();
    }
}

CGPoint UIView::center() const
{
    return m_layer->position();
}

void UIView::setCenter(CGPoint center)
{
    assertIsMainThread();
    CGPoint old = m_layer->position();
    if (old.x != center.x || old.y != center.y)
        recordAnimatedChange("position");
    m_layer->setPosition(center);
}

CGAffineTransform UIView::transform() const
{
    return m_layer->affineTransform();
}

void UIView::setTransform(CGAffineTransform transform)
{
    assertIsMainThread();
    if (!CGAffineTransformEqualToTransform(transform, m_layer->affineTransform()))
        recordAnimatedChange("transform");
    m_layer->setAffineTransform(transform);
}

void UIView::setContentScaleFactor(CGFloat scale)
{
    assertIsMainThread();
    m_layer->setContentsScale(scale);
    setNeedsDisplay();
}

void UIView::resizeSubviews(CGSize oldSize)
{
    if (!m_autoresizesSubviews)
        return;
    CGSize newSize = bounds().size;
    for (auto& view : std::vector<Ref<UIView>>(m_subviews))
        view->applyAutoresizing(oldSize, newSize);
}

namespace {

// Shares a change of the superview's length among the flexible parts of one axis (leading
// margin, length, trailing margin) in proportion to their current sizes, or equally when they
// are all zero.
void resizeAxis(CGFloat delta, bool flexLead, bool flexLength, bool flexTrail, CGFloat superLength, CGFloat& origin,
    CGFloat& length)
{
    if (delta == 0 || !(flexLead || flexLength || flexTrail))
        return;
    CGFloat lead = origin;
    CGFloat trail = superLength - origin - length;
    CGFloat total = (flexLead ? lead : 0) + (flexLength ? length : 0) + (flexTrail ? trail : 0);
    int parts = int(flexLead) + int(flexLength) + int(flexTrail);
    auto share = [&](bool flexible, CGFloat size) -> CGFloat {
        if (!flexible)
            return 0;
        return total != 0 ? delta * size / total : delta / parts;
    };
    CGFloat dLead = share(flexLead, lead);
    CGFloat dLength = share(flexLength, length);
    origin += dLead;
    length = std::max<CGFloat>(0, length + dLength);
}

} // namespace

void UIView::applyAutoresizing(CGSize oldSuperSize, CGSize newSuperSize)
{
    if (m_autoresizingMask == UIViewAutoresizingNone)
        return;
    CGRect f = frame();
    auto m = m_autoresizingMask;
    resizeAxis(newSuperSize.width - oldSuperSize.width, m & UIViewAutoresizingFlexibleLeftMargin,
        m & UIViewAutoresizingFlexibleWidth, m & UIViewAutoresizingFlexibleRightMargin, oldSuperSize.width, f.origin.x,
        f.size.width);
    resizeAxis(newSuperSize.height - oldSuperSize.height, m & UIViewAutoresizingFlexibleTopMargin,
        m & UIViewAutoresizingFlexibleHeight, m & UIViewAutoresizingFlexibleBottomMargin, oldSuperSize.height,
        f.origin.y, f.size.height);
    setFrame(f);
}

// MARK: Hierarchy

Ref<UIWindow> UIView::window() const
{
    const UIView* view = this;
    while (auto super = view->superview())
        view = super.get();
    if (!view->isKindOfClass(UIWindow::classObject()))
        return nullptr;
    return std::static_pointer_cast<UIWindow>(const_cast<UIView*>(view)->shared_from_this());
}

namespace {
// Nesting depth of performWithoutAppearanceForwarding.
int s_appearanceForwardingSuspended = 0;
} // namespace

void UIView::performWithoutAppearanceForwarding(const std::function<void()>& changes)
{
    assertIsMainThread();
    ++s_appearanceForwardingSuspended;
    struct Resume {
        ~Resume() { --s_appearanceForwardingSuspended; }
    } resume;
    if (changes)
        changes();
}

void UIView::notifyWindowChange(const Ref<UIWindow>& oldWindow, const Ref<UIWindow>& newWindow, bool before)
{
    if (oldWindow == newWindow)
        return;
    // A controller's view entering or leaving a visible window makes the controller appear or
    // disappear, unless someone (a container, a presentation) is already doing so or is about to.
    auto controller = s_appearanceForwardingSuspended ? nullptr : viewController();
    if (before) {
        bool wasVisible = oldWindow && !oldWindow->isHidden();
        bool willBeVisible = newWindow && !newWindow->isHidden();
        if (controller && wasVisible != willBeVisible)
            m_windowAppearance = controller->startAppearanceTransition(willBeVisible
                    ? UIViewController::AppearanceChange::Appearing
                    : UIViewController::AppearanceChange::Disappearing,
                UIViewController::TransitionAnimation::None);
        willMoveToWindow(newWindow);
    } else {
        didMoveToWindow();
        if (controller && m_windowAppearance) {
            m_windowAppearance = false;
            controller->endAppearanceTransition();
        }
    }
    for (auto& view : std::vector<Ref<UIView>>(m_subviews))
        view->notifyWindowChange(oldWindow, newWindow, before);
}

void UIView::insertSubviewAt(const Ref<UIView>& view, size_t index)
{
    if (!view || view.get() == this || isDescendantOfView(view))
        return;
    Ref<UIView> protectedView = view;
    auto oldSuper = view->superview();
    if (oldSuper.get() == this) {
        // Reordering among siblings; staying in place changes nothing and asks for no layout.
        auto it = std::find(m_subviews.begin(), m_subviews.end(), view);
        size_t oldIndex = static_cast<size_t>(it - m_subviews.begin());
        if (std::min(index, m_subviews.size() - 1) == oldIndex || index == oldIndex + 1)
            return;
        m_subviews.erase(it);
        if (oldIndex < index)
            --index;
    } else {
        auto oldWindow = view->window();
        auto newWindow = window();
        view->willMoveToSuperview(self<UIView>());
        view->notifyWindowChange(oldWindow, newWindow, true);
        if (oldSuper) {
            oldSuper->willRemoveSubview(view);
            auto& list = oldSuper->m_subviews;
            list.erase(std::remove(list.begin(), list.end(), view), list.end());
            oldSuper->setNeedsLayout();
        }
        view->m_superview = self<UIView>();
        index = std::min(index, m_subviews.size());
        m_subviews.insert(m_subviews.begin() + static_cast<ptrdiff_t>(index), view);
        // The layer goes just below the next subview's layer, so layers that are not views keep
        // their places.
        if (index + 1 < m_subviews.size())
            m_layer->insertSublayerBelow(view->m_layer, m_subviews[index + 1]->m_layer);
        else
            m_layer->addSublayer(view->m_layer);
        view->didMoveToSuperview();
        view->notifyWindowChange(oldWindow, newWindow, false);
        didAddSubview(view);
        view->setNeedsLayout();
        setNeedsLayout();
        return;
    }
    index = std::min(index, m_subviews.size());
    m_subviews.insert(m_subviews.begin() + static_cast<ptrdiff_t>(index), view);
    if (index + 1 < m_subviews.size())
        m_layer->insertSublayerBelow(view->m_layer, m_subviews[index + 1]->m_layer);
    else
        m_layer->insertSublayerAtIndex(view->m_layer, m_layer->sublayers().size());
    setNeedsLayout();
}

void UIView::addSubview(const Ref<UIView>& view)
{
    assertIsMainThread();
    insertSubviewAt(view, m_subviews.size());
}

void UIView::insertSubviewAtIndex(const Ref<UIView>& view, int32_t index)
{
    assertIsMainThread();
    insertSubviewAt(view, static_cast<size_t>(std::max(0, index)));
}

void UIView::insertSubviewAboveSubview(const Ref<UIView>& view, const Ref<UIView>& sibling)
{
    assertIsMainThread();
    auto it = std::find(m_subviews.begin(), m_subviews.end(), sibling);
    insertSubviewAt(
        view, it == m_subviews.end() ? m_subviews.size() : static_cast<size_t>(it - m_subviews.begin()) + 1);
}

void UIView::insertSubviewBelowSubview(const Ref<UIView>& view, const Ref<UIView>& sibling)
{
    assertIsMainThread();
    auto it = std::find(m_subviews.begin(), m_subviews.end(), sibling);
    insertSubviewAt(view, it == m_subviews.end() ? m_subviews.size() : static_cast<size_t>(it - m_subviews.begin()));
}

void UIView::exchangeSubviewAtIndexWithSubviewAtIndex(int32_t index1, int32_t index2)
{
    assertIsMainThread();
    auto count = static_cast<int32_t>(m_subviews.size());
    if (index1 < 0 || index2 < 0 || index1 >= count || index2 >= count || index1 == index2)
        return;
    auto a = m_subviews[size_t(index1)];
    auto b = m_subviews[size_t(index2)];
    std::swap(m_subviews[size_t(index1)], m_subviews[size_t(index2)]);
    auto& layers = m_layer->sublayers();
    auto ia = std::find(layers.begin(), layers.end(), a->m_layer) - layers.begin();
    auto ib = std::find(layers.begin(), layers.end(), b->m_layer) - layers.begin();
    auto list = layers;
    std::swap(list[size_t(ia)], list[size_t(ib)]);
    m_layer->setSublayers(list);
}

void UIView::bringSubviewToFront(const Ref<UIView>& view)
{
    assertIsMainThread();
    if (view && view->superview().get() == this)
        insertSubviewAt(view, m_subviews.size());
}

void UIView::sendSubviewToBack(const Ref<UIView>& view)
{
    assertIsMainThread();
    if (view && view->superview().get() == this)
        insertSubviewAt(view, 0);
}

void UIView::removeFromSuperview()
{
    assertIsMainThread();
    auto super = superview();
    if (!super)
        return;
    Ref<UIView> protectedThis = self<UIView>();
    auto oldWindow = window();
    super->willRemoveSubview(protectedThis);
    willMoveToSuperview(nullptr);
    notifyWindowChange(oldWindow, nullptr, true);
    if (isFirstResponder())
        resignFirstResponder();
    auto& list = super->m_subviews;
    list.erase(std::remove(list.begin(), list.end(), protectedThis), list.end());
    m_superview.reset();
    m_layer->removeFromSuperlayer();
    didMoveToSuperview();
    notifyWindowChange(oldWindow, nullptr, false);
    super->setNeedsLayout();
}

bool UIView::isDescendantOfView(const Ref<UIView>& view) const
{
    if (!view)
        return false;
    for (const UIView* v = this; v; v = v->m_superview.lock().get()) {
        if (v == view.get())
            return true;
    }
    return false;
}

Ref<UIView> UIView::viewWithTag(int32_t tag)
{
    if (m_tag == tag)
        return self<UIView>();
    for (auto& view : m_subviews) {
        if (auto found = view->viewWithTag(tag))
            return found;
    }
    return nullptr;
}

// MARK: Appearance

void UIView::setHidden(bool hidden)
{
    assertIsMainThread();
    if (hidden && isFirstResponder())
        resignFirstResponder();
    m_layer->setHidden(hidden);
    // A view shown again may have display work that waited while it was hidden.
    if (!hidden)
        UIViewUpdateCycle::schedule();
}

void UIView::setAlpha(CGFloat alpha)
{
    assertIsMainThread();
    // Only changes animate: setting the value a view already has adds no animation.
    if (alpha != m_layer->opacity())
        recordAnimatedChange("opacity");
    m_layer->setOpacity(alpha);
}

void UIView::setBackgroundColor(const Ref<UIColor>& color)
{
    assertIsMainThread();
    if (color != m_backgroundColor && !(color && m_backgroundColor && color->isEqual(m_backgroundColor.get())))
        recordAnimatedChange("backgroundColor");
    bool hadPattern = m_backgroundColor && m_backgroundColor->patternImage();
    m_backgroundColor = color;
    // A pattern is tiled by the view's own drawing; the layer fills plain colours.
    bool pattern = color && color->patternImage();
    m_layer->setBackgroundColor(color && !pattern ? color->CGColor() : nullptr);
    if (pattern || hadPattern)
        setNeedsDisplay();
}

void UIView::setContentMode(UIViewContentMode mode)
{
    assertIsMainThread();
    m_contentMode = mode;
    updateLayerContentsGravity();
}

void UIView::updateLayerContentsGravity()
{
    static const char* const gravities[] = { "resize", "resizeAspect", "resizeAspectFill", "resize", "center", "top",
        "bottom", "left", "right", "topLeft", "topRight", "bottomLeft", "bottomRight" };
    auto index = static_cast<size_t>(m_contentMode);
    m_layer->setContentsGravity(index < std::size(gravities) ? gravities[index] : "resize");
}

const Ref<UIColor>& UIView::tintColor() const
{
    if (m_tintColor)
        return m_tintColor;
    if (auto super = superview())
        return super->tintColor();
    static const Ref<UIColor> s_default = UIColor::colorWithRedGreenBlueAlpha(0, 122 / 255.0f, 1, 1);
    return s_default;
}

// MARK: Hit testing and conversions

bool UIView::pointInside(CGPoint point, const Ref<UIEvent>&)
{
    return CGRectContainsPoint(bounds(), point);
}

Ref<UIView> UIView::hitTest(CGPoint point, const Ref<UIEvent>& event)
{
    if (isHidden() || !m_userInteractionEnabled || alpha() < 0.01f)
        return nullptr;
    if (!pointInside(point, event))
        return nullptr;
    for (auto it = m_subviews.rbegin(); it != m_subviews.rend(); ++it) {
        Ref<UIView> subview = *it;
        CGPoint local = subview->convertPointFromView(point, self<UIView>());
        if (auto hit = subview->hitTest(local, event))
            return hit;
    }
    return self<UIView>();
}

namespace {

Ref<CALayer> targetLayer(const UIView& from, const Ref<UIView>& view)
{
    if (view)
        return view->layer();
    if (auto window = from.window())
        return window->layer();
    return nullptr;
}

} // namespace

CGPoint UIView::convertPointToView(CGPoint point, const Ref<UIView>& view) const
{
    auto layer = targetLayer(*this, view);
    if (!layer)
        return m_layer->convertPointToLayer(point, nullptr);
    return m_layer->convertPointToLayer(point, layer);
}

CGPoint UIView::convertPointFromView(CGPoint point, const Ref<UIView>& view) const
{
    auto layer = targetLayer(*this, view);
    return m_layer->convertPointFromLayer(point, layer);
}

CGRect UIView::convertRectToView(CGRect rect, const Ref<UIView>& view) const
{
    auto layer = targetLayer(*this, view);
    return m_layer->convertRectToLayer(rect, layer);
}

CGRect UIView::convertRectFromView(CGRect rect, const Ref<UIView>& view) const
{
    auto layer = targetLayer(*this, view);
    if (!layer)
        return rect;
    return layer->convertRectToLayer(rect, m_layer);
}

void UIView::addGestureRecognizer(const Ref<UIGestureRecognizer>& recognizer)
{
    assertIsMainThread();
    if (!recognizer)
        return;
    if (auto old = recognizer->view(); old && old.get() != this)
        old->removeGestureRecognizer(recognizer);
    if (std::find(m_gestureRecognizers.begin(), m_gestureRecognizers.end(), recognizer) == m_gestureRecognizers.end())
        m_gestureRecognizers.push_back(recognizer);
    recognizer->setViewInternal(self<UIView>());
}

void UIView::removeGestureRecognizer(const Ref<UIGestureRecognizer>& recognizer)
{
    assertIsMainThread();
    auto it = std::find(m_gestureRecognizers.begin(), m_gestureRecognizers.end(), recognizer);
    if (it == m_gestureRecognizers.end())
        return;
    m_gestureRecognizers.erase(it);
    recognizer->setViewInternal(nullptr);
}

bool UIView::endEditing(bool force)
{
    assertIsMainThread();
    auto responder = UIResponder::currentFirstResponder();
    auto view = std::dynamic_pointer_cast<UIView>(responder);
    if (!view || !view->isDescendantOfView(self<UIView>()))
        return true;
    view->resignFirstResponder();
    // Forcing ends editing even when the responder refuses to resign.
    if (force && view->isFirstResponder())
        view->UIResponder::resignFirstResponder();
    return !view->isFirstResponder();
}

Ref<UIResponder> UIView::nextResponder() const
{
    if (auto controller = m_viewController.lock())
        return controller;
    return superview();
}

// MARK: Key-value coding

Value UIView::valueForKey(const std::string& key)
{
    if (key == "tag")
        return m_tag;
    if (key == "hidden")
        return isHidden();
    if (key == "alpha")
        return alpha();
    if (key == "layer")
        return Value(m_layer);
    if (key == "superview")
        return Value(superview());
    if (key == "backgroundColor")
        return Value(m_backgroundColor);
    return UIResponder::valueForKey(key);
}

void UIView::setValueForKey(const Value& value, const std::string& key)
{
    if (key == "tag")
        return setTag(value.intValue());
    if (key == "hidden")
        return setHidden(value.boolValue());
    if (key == "alpha")
        return setAlpha(value.floatValue());
    if (key == "backgroundColor")
        return setBackgroundColor(value.objectAs<UIColor>());
    UIResponder::setValueForKey(value, key);
}

VX_REGISTER_CLASS(UIView);
