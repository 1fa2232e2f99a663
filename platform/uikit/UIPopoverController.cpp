#include "uikit/UIPopoverController.h"

#include "foundation/NSNotificationCenter.h"
#include "graphics/CGContext.h"
#include "graphics/UIColor.h"
#include "graphics/UIGraphics.h"
#include "uikit/UIApplication.h"
#include "uikit/UIKeyboard.h"
#include "uikit/UITouch.h"
#include "uikit/UIView.h"
#include "uikit/UIWindow.h"

#include <algorithm>
#include <cmath>

namespace {

constexpr CGFloat kArrowLength = 13;
constexpr CGFloat kArrowBase = 26;
constexpr CGFloat kScreenMargin = 10;
constexpr CGFloat kPanelCornerRadius = 8;

// The triangle between the panel and what it was presented from, its tip towards the anchor.
class PopoverArrowView final : public UIView {
    VX_OBJECT(PopoverArrowView, UIView)
public:
    explicit PopoverArrowView(Passkey key)
        : UIView(key)
    {
    }
    static Ref<PopoverArrowView> init()
    {
        auto view = makeView<PopoverArrowView>(CGRectZero);
        view->setOpaque(false);
        view->setBackgroundColor(UIColor::clearColor());
        view->setUserInteractionEnabled(false);
        return view;
    }
    void setDirection(UIPopoverArrowDirection direction)
    {
        if (direction == m_direction)
            return;
        m_direction = direction;
        setNeedsDisplay();
    }
    void setFill(Ref<UIColor> fill)
    {
        if (fill->isEqual(m_fill.get()))
            return;
        m_fill = std::move(fill);
        setNeedsDisplay();
    }
    void drawRect(CGRect) override
    {
        CGRect b = bounds();
        CGPoint tip, left, right;
        switch (m_direction) {
        case UIPopoverArrowDirectionUp:
            tip = CGPointMake(CGRectGetMidX(b), 0);
            left = CGPointMake(0, CGRectGetMaxY(b));
            right = CGPointMake(CGRectGetMaxX(b), CGRectGetMaxY(b));
            break;
        case UIPopoverArrowDirectionDown:
            tip = CGPointMake(CGRectGetMidX(b), CGRectGetMaxY(b));
            left = CGPointMake(0, 0);
            right = CGPointMake(CGRectGetMaxX(b), 0);
            break;
        case UIPopoverArrowDirectionLeft:
            tip = CGPointMake(0, CGRectGetMidY(b));
            left = CGPointMake(CGRectGetMaxX(b), 0);
            right = CGPointMake(CGRectGetMaxX(b), CGRectGetMaxY(b));
            break;
        default:
            tip = CGPointMake(CGRectGetMaxX(b), CGRectGetMidY(b));
            left = CGPointMake(0, 0);
            right = CGPointMake(0, CGRectGetMaxY(b));
            break;
        }
        auto c = UIGraphicsGetCurrentContext();
        m_fill->setFill();
        CGContextMoveToPoint(c, tip.x, tip.y);
        CGContextAddLineToPoint(c, left.x, left.y);
        CGContextAddLineToPoint(c, right.x, right.y);
        CGContextClosePath(c);
        CGContextFillPath(c);
    }

private:
    UIPopoverArrowDirection m_direction { UIPopoverArrowDirectionUnknown };
    Ref<UIColor> m_fill { UIColor::whiteColor() };
};

// The background colour shown at `point` (in `view`'s coordinates): that of the frontmost view
// there with an opaque colour or a pattern. Null when none has one.
Ref<UIColor> backgroundAt(const Ref<UIView>& view, CGPoint point)
{
    if (view->isHidden() || view->alpha() <= 0 || !CGRectContainsPoint(view->bounds(), point))
        return nullptr;
    const auto& subviews = view->subviews();
    for (auto it = subviews.rbegin(); it != subviews.rend(); ++it) {
        if (auto colour = backgroundAt(*it, (*it)->convertPointFromView(point, view)))
            return colour;
    }
    const auto& colour = view->backgroundColor();
    if (!colour)
        return nullptr;
    CGFloat red, green, blue, alpha = 0;
    if (colour->patternImage() || (colour->getRedGreenBlueAlpha(&red, &green, &blue, &alpha) && alpha >= 0.99f))
        return colour;
    return nullptr;
}

// Covers the window behind the panel and turns a touch on it into a user dismissal. Touches
// over passthrough views go through.
class PopoverCatcherView final : public UIView {
    VX_OBJECT(PopoverCatcherView, UIView)
public:
    explicit PopoverCatcherView(Passkey key)
        : UIView(key)
    {
    }
    static Ref<PopoverCatcherView> initWithFrame(CGRect frame, Weak<UIPopoverController> owner)
    {
        auto view = makeView<PopoverCatcherView>(frame);
        view->m_owner = std::move(owner);
        return view;
    }
    Ref<UIView> hitTest(CGPoint point, const Ref<UIEvent>& event) override
    {
        auto owner = m_owner.lock();
        if (!owner || !pointInside(point, event))
            return nullptr;
        for (auto& passthrough : owner->passthroughViews()) {
            if (!passthrough || !passthrough->window())
                continue;
            CGPoint local = passthrough->convertPointFromView(point, self<UIView>());
            if (passthrough->pointInside(local, event))
                return nullptr;
        }
        return self<UIView>();
    }
    void touchesBegan(const UITouchSet&, const Ref<UIEvent>&) override
    {
        if (auto owner = m_owner.lock())
            owner->userTouchedOutside();
    }
    void touchesMoved(const UITouchSet&, const Ref<UIEvent>&) override { }
    void touchesEnded(const UITouchSet&, const Ref<UIEvent>&) override { }

private:
    Weak<UIPopoverController> m_owner;
};

// The part of `area` (in `window`'s coordinates) that `band` (in screen coordinates, along one
// edge of the screen: the keyboard, the status bar) leaves free: the side away from the band,
// kept a margin from it. An empty band takes nothing.
CGRect areaClearOf(CGRect area, CGRect band, const Ref<UIWindow>& window)
{
    if (CGRectIsEmpty(band))
        return area;
    // The windows share the screen's coordinates but for their origin.
    band = CGRectOffset(band, -window->frame().origin.x, -window->frame().origin.y);
    CGRect bounds = window->bounds();
    CGFloat minX = CGRectGetMinX(area), maxX = CGRectGetMaxX(area);
    CGFloat minY = CGRectGetMinY(area), maxY = CGRectGetMaxY(area);
    if (band.size.width < band.size.height) {
        if (CGRectGetMidX(band) > CGRectGetMidX(bounds))
            maxX = std::min(maxX, CGRectGetMinX(band) - kScreenMargin);
        else
            minX = std::max(minX, CGRectGetMaxX(band) + kScreenMargin);
    } else {
        if (CGRectGetMidY(band) > CGRectGetMidY(bounds))
            maxY = std::min(maxY, CGRectGetMinY(band) - kScreenMargin);
        else
            minY = std::max(minY, CGRectGetMaxY(band) + kScreenMargin);
    }
    return CGRectMake(minX, minY, std::max<CGFloat>(0, maxX - minX), std::max<CGFloat>(0, maxY - minY));
}

} // namespace

Ref<UIPopoverController> UIPopoverController::initWithContentViewController(const Ref<UIViewController>& content)
{
    auto popover = make<UIPopoverController>();
    popover->m_content = content;
    return popover;
}

void UIPopoverController::setContentViewControllerAnimated(const Ref<UIViewController>& content, bool)
{
    if (content == m_content)
        return;
    auto old = m_content;
    if (m_visible && old) {
        old->beginAppearanceTransition(false, false);
        old->view()->removeFromSuperview();
        old->endAppearanceTransition();
    }
    m_content = content;
    if (m_visible && content) {
        showContent();
        content->beginAppearanceTransition(true, false);
        content->endAppearanceTransition();
        // The content has set its colours up by now; the arrow takes them.
        place();
    }
}

void UIPopoverController::showContent()
{
    // The content goes into the panel, sized and laid out, before it hears that it will appear:
    // what it sets up then (a navigation bar's place, a table's inset below it) sees the panel,
    // which has no status bar above it. It hears of the appearance from the popover alone.
    auto content = m_content->view();
    UIView::performWithoutAppearanceForwarding([&] { m_panel->addSubview(content); });
    place();
    m_panel->layoutIfNeeded();
}

CGSize UIPopoverController::popoverContentSize() const
{
    if (m_contentSize.width > 0 && m_contentSize.height > 0)
        return m_contentSize;
    if (m_content) {
        CGSize preferred = m_content->preferredContentSize();
        if (preferred.width > 0 && preferred.height > 0)
            return preferred;
    }
    return CGSizeMake(320, 480);
}

void UIPopoverController::setPopoverContentSizeAnimated(CGSize size, bool)
{
    m_contentSize = size;
    if (m_visible)
        place();
}

CGRect UIPopoverController::popoverFrame() const
{
    return m_visible && m_panel ? m_panel->frame() : CGRectZero;
}

void UIPopoverController::place()
{
    auto anchor = m_anchorView.lock();
    auto window = anchor ? anchor->window() : nullptr;
    if (!window || !m_panel)
        return;
    CGRect target = anchor->convertRectToView(m_anchorRect, window);
    // Panels keep a margin from the screen's edges and stay clear of the status bar.
    CGRect area = areaClearOf(CGRectInset(window->bounds(), kScreenMargin, kScreenMargin),
        UIApplication::sharedApplication()->statusBarFrame(), window);
    CGSize size = popoverContentSize();
    struct Option {
        UIPopoverArrowDirection direction;
        CGRect frame;
    };
    // The arrow points up when the panel hangs below the target, and so on.
    const Option options[] = {
        { UIPopoverArrowDirectionUp,
            CGRectMake(CGRectGetMidX(target) - size.width / 2, CGRectGetMaxY(target) + kArrowLength, size.width,
                size.height) },
        { UIPopoverArrowDirectionDown,
            CGRectMake(CGRectGetMidX(target) - size.width / 2, CGRectGetMinY(target) - kArrowLength - size.height,
                size.width, size.height) },
        { UIPopoverArrowDirectionLeft,
            CGRectMake(CGRectGetMaxX(target) + kArrowLength, CGRectGetMidY(target) - size.height / 2, size.width,
                size.height) },
        { UIPopoverArrowDirectionRight,
            CGRectMake(CGRectGetMinX(target) - kArrowLength - size.width, CGRectGetMidY(target) - size.height / 2,
                size.width, size.height) },
    };
    auto fits = [&](const Option& o) {
        // Sliding along the arrow's side is allowed; the panel must fit across it.
        bool vertical = o.direction == UIPopoverArrowDirectionUp || o.direction == UIPopoverArrowDirectionDown;
        return vertical ? (o.frame.origin.y >= area.origin.y && CGRectGetMaxY(o.frame) <= CGRectGetMaxY(area))
                        : (o.frame.origin.x >= area.origin.x && CGRectGetMaxX(o.frame) <= CGRectGetMaxX(area));
    };
    const Option* chosen = nullptr;
    for (const auto& o : options) {
        if ((m_permitted & o.direction) && fits(o)) {
            chosen = &o;
            break;
        }
    }
    if (!chosen) {
        for (const auto& o : options) {
            if (m_permitted & o.direction) {
                chosen = &o;
                break;
            }
        }
    }
    if (!chosen)
        chosen = &options[0];
    CGRect frame = chosen->frame;
    // The keyboard does not change the side the panel opens on; the panel slides clear of it,
    // and is shortened (or narrowed) when it cannot fit beside it otherwise.
    CGRect free = UIKeyboard::isVisible() ? areaClearOf(area, UIKeyboard::frame(), window) : area;
    if (UIKeyboard::isVisible()) {
        frame.size.width = std::min(frame.size.width, free.size.width);
        frame.size.height = std::min(frame.size.height, free.size.height);
    }
    frame.origin.x
        = std::clamp(frame.origin.x, free.origin.x, std::max(free.origin.x, CGRectGetMaxX(free) - frame.size.width));
    frame.origin.y
        = std::clamp(frame.origin.y, free.origin.y, std::max(free.origin.y, CGRectGetMaxY(free) - frame.size.height));
    m_arrowDirection = chosen->direction;
    m_panel->setFrame(frame);
    if (m_content)
        m_content->view()->setFrame(m_panel->bounds());
    placeArrow(target, frame);
}

void UIPopoverController::placeArrow(CGRect target, CGRect panel)
{
    if (!m_arrow)
        return;
    bool vertical = m_arrowDirection == UIPopoverArrowDirectionUp || m_arrowDirection == UIPopoverArrowDirectionDown;
    // The arrow sits on the anchor's middle line, moved clear of the panel's rounded corners when
    // the anchor is near one; an anchor wholly beyond the panel's side gets none.
    CGFloat sideStart = vertical ? CGRectGetMinX(panel) : CGRectGetMinY(panel);
    CGFloat sideEnd = vertical ? CGRectGetMaxX(panel) : CGRectGetMaxY(panel);
    CGFloat targetStart = vertical ? CGRectGetMinX(target) : CGRectGetMinY(target);
    CGFloat targetEnd = vertical ? CGRectGetMaxX(target) : CGRectGetMaxY(target);
    CGFloat inset = kPanelCornerRadius + kArrowBase / 2;
    CGFloat middle
        = std::clamp((targetStart + targetEnd) / 2, sideStart + inset, std::max(sideStart + inset, sideEnd - inset));
    // The gap between the panel and the anchor, the arrow's frame in it, and the point just inside
    // the panel where the two join.
    CGFloat gap = 0;
    CGRect frame;
    CGPoint join;
    switch (m_arrowDirection) {
    case UIPopoverArrowDirectionUp:
        gap = CGRectGetMinY(panel) - CGRectGetMaxY(target);
        frame = CGRectMake(middle - kArrowBase / 2, CGRectGetMinY(panel) - kArrowLength, kArrowBase, kArrowLength);
        join = CGPointMake(middle, CGRectGetMinY(panel) + 1);
        break;
    case UIPopoverArrowDirectionDown:
        gap = CGRectGetMinY(target) - CGRectGetMaxY(panel);
        frame = CGRectMake(middle - kArrowBase / 2, CGRectGetMaxY(panel), kArrowBase, kArrowLength);
        join = CGPointMake(middle, CGRectGetMaxY(panel) - 1);
        break;
    case UIPopoverArrowDirectionLeft:
        gap = CGRectGetMinX(panel) - CGRectGetMaxX(target);
        frame = CGRectMake(CGRectGetMinX(panel) - kArrowLength, middle - kArrowBase / 2, kArrowLength, kArrowBase);
        join = CGPointMake(CGRectGetMinX(panel) + 1, middle);
        break;
    default:
        gap = CGRectGetMinX(target) - CGRectGetMaxX(panel);
        frame = CGRectMake(CGRectGetMaxX(panel), middle - kArrowBase / 2, kArrowLength, kArrowBase);
        join = CGPointMake(CGRectGetMaxX(panel) - 1, middle);
        break;
    }
    if (std::abs(gap - kArrowLength) > 0.5f || targetEnd <= sideStart || targetStart >= sideEnd) {
        m_arrow->setHidden(true);
        return;
    }
    // The arrow takes the colour of the panel where it joins it, so the two read as one shape.
    auto fill = backgroundAt(m_panel, CGPointMake(join.x - panel.origin.x, join.y - panel.origin.y));
    auto* arrow = static_cast<PopoverArrowView*>(m_arrow.get());
    arrow->setDirection(m_arrowDirection);
    arrow->setFill(fill ? fill : UIColor::whiteColor());
    m_arrow->setFrame(frame);
    m_arrow->setHidden(false);
}

void UIPopoverController::presentPopoverFromRectInViewPermittedArrowDirectionsAnimated(
    CGRect rect, const Ref<UIView>& view, UIPopoverArrowDirection directions, bool animated)
{
    if (!view || !view->window() || !m_content)
        return;
    m_anchorRect = rect;
    m_anchorView = view;
    m_permitted = directions ? directions : UIPopoverArrowDirectionAny;
    auto window = view->window();
    if (m_visible) {
        // Presenting again moves the panel.
        place();
        return;
    }
    m_visible = true;
    m_keepAlive = self<UIPopoverController>();
    auto center = NSNotificationCenter::defaultCenter();
    for (const char* name : { UIKeyboardWillShowNotification, UIKeyboardWillHideNotification })
        center->addObserver(
            self<UIPopoverController>(), &UIPopoverController::keyboardWillMove, std::string(name), nullptr);
    m_catcher = PopoverCatcherView::initWithFrame(window->bounds(), self<UIPopoverController>());
    m_catcher->setAutoresizingMask(UIViewAutoresizingFlexibleWidth | UIViewAutoresizingFlexibleHeight);
    m_panel = UIView::initWithFrame(CGRectZero);
    m_panel->setBackgroundColor(UIColor::whiteColor());
    m_panel->setClipsToBounds(true);
    m_panel->layer()->setCornerRadius(kPanelCornerRadius);
    m_arrow = PopoverArrowView::init();
    window->addSubview(m_catcher);
    window->addSubview(m_panel);
    window->addSubview(m_arrow);
    showContent();
    m_content->beginAppearanceTransition(true, animated);
    // The content has laid itself out and set its colours up by now; the arrow takes them.
    place();
    auto content = m_content;
    UIViewController::finishTransition(animated, [content] { content->endAppearanceTransition(); });
}

void UIPopoverController::keyboardWillMove(const Ref<NSNotification>&)
{
    if (m_visible)
        place();
}

void UIPopoverController::dismissPopoverAnimated(bool animated)
{
    dismiss(animated, nullptr);
}

void UIPopoverController::dismiss(bool animated, std::function<void()> then)
{
    if (!m_visible)
        return;
    m_visible = false;
    auto self_ = self<UIPopoverController>();
    NSNotificationCenter::defaultCenter()->removeObserver(self_);
    auto content = m_content;
    if (content)
        content->beginAppearanceTransition(false, animated);
    UIViewController::finishTransition(animated, [self_, content, then = std::move(then)] {
        if (content && content->isViewLoaded())
            content->view()->removeFromSuperview();
        if (self_->m_panel)
            self_->m_panel->removeFromSuperview();
        if (self_->m_catcher)
            self_->m_catcher->removeFromSuperview();
        if (self_->m_arrow)
            self_->m_arrow->removeFromSuperview();
        self_->m_arrow = nullptr;
        self_->m_panel = nullptr;
        self_->m_catcher = nullptr;
        if (content)
            content->endAppearanceTransition();
        if (then)
            then();
        self_->m_keepAlive = nullptr;
    });
}

void UIPopoverController::userTouchedOutside()
{
    auto self_ = self<UIPopoverController>();
    if (!m_visible)
        return;
    if (auto* d = delegate(); d && !d->popoverControllerShouldDismissPopover(self_))
        return;
    dismiss(true, [self_] {
        if (auto* d = self_->delegate())
            d->popoverControllerDidDismissPopover(self_);
    });
}

VX_REGISTER_CLASS(UIPopoverController);
