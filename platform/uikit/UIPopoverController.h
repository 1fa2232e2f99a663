#pragma once

#include "uikit/UIViewController.h"

class UIPopoverController;

using UIPopoverArrowDirection = uint32_t;
inline constexpr UIPopoverArrowDirection UIPopoverArrowDirectionUp = 1 << 0;
inline constexpr UIPopoverArrowDirection UIPopoverArrowDirectionDown = 1 << 1;
inline constexpr UIPopoverArrowDirection UIPopoverArrowDirectionLeft = 1 << 2;
inline constexpr UIPopoverArrowDirection UIPopoverArrowDirectionRight = 1 << 3;
inline constexpr UIPopoverArrowDirection UIPopoverArrowDirectionAny = 15;
inline constexpr UIPopoverArrowDirection UIPopoverArrowDirectionUnknown = UINT32_MAX;

// What a popover tells its delegate: only about dismissals the user makes by touching outside.
class UIPopoverControllerDelegate {
public:
    virtual ~UIPopoverControllerDelegate() = default;
    virtual bool popoverControllerShouldDismissPopover(const Ref<UIPopoverController>&) { return true; }
    virtual void popoverControllerDidDismissPopover(const Ref<UIPopoverController>&) { }
};

// Shows a controller's view in a floating panel next to a rectangle of a view, with its arrow
// pointing at the rectangle from the first permitted side that fits (up, down, left, right).
// Presenting again moves it. While the keyboard is up the panel stays clear of it, keeping its
// side of the rectangle and shortening if it must. A touch outside the panel (and outside the
// passthrough views) dismisses it after asking the delegate; dismissing in code does not reach
// the delegate.
// The panel and the view catching outside touches are kept alive by the popover, which is kept
// alive while it shows. Main thread only.
class UIPopoverController : public NSObject {
    VX_OBJECT(UIPopoverController, NSObject)
public:
    explicit UIPopoverController(Passkey key)
        : NSObject(key)
    {
    }
    static Ref<UIPopoverController> initWithContentViewController(const Ref<UIViewController>& content);

    const Ref<UIViewController>& contentViewController() const { return m_content; }
    void setContentViewControllerAnimated(const Ref<UIViewController>& content, bool animated);
    // The content's preferred size, else 320 x 480, unless set here.
    CGSize popoverContentSize() const;
    void setPopoverContentSize(CGSize size) { setPopoverContentSizeAnimated(size, false); }
    void setPopoverContentSizeAnimated(CGSize size, bool animated);
    bool isPopoverVisible() const { return m_visible; }
    UIPopoverArrowDirection popoverArrowDirection() const { return m_arrowDirection; }
    const std::vector<Ref<UIView>>& passthroughViews() const { return m_passthroughViews; }
    void setPassthroughViews(std::vector<Ref<UIView>> views) { m_passthroughViews = std::move(views); }
    // The panel in window coordinates while visible.
    CGRect popoverFrame() const;

    void setDelegate(UIPopoverControllerDelegate* delegate, Weak<NSObject> owner)
    {
        m_delegate = delegate;
        m_delegateOwner = std::move(owner);
    }
    UIPopoverControllerDelegate* delegate() const { return m_delegateOwner.expired() ? nullptr : m_delegate; }

    void presentPopoverFromRectInViewPermittedArrowDirectionsAnimated(
        CGRect rect, const Ref<UIView>& view, UIPopoverArrowDirection directions, bool animated);
    void dismissPopoverAnimated(bool animated);

    // The user touching outside the panel (the catcher view calls this).
    void userTouchedOutside();

private:
    void place();
    // Puts the arrow in the gap between the panel and its anchor, or hides it when the panel
    // had to slide away from the anchor.
    void placeArrow(CGRect target, CGRect panel);
    void showContent();
    // Keeps the panel clear of the keyboard as it comes up or goes down.
    void keyboardWillMove(const Ref<NSNotification>& notification);
    void dismiss(bool animated, std::function<void()> then);

    Ref<UIViewController> m_content;
    CGSize m_contentSize {};
    bool m_visible { false };
    UIPopoverArrowDirection m_arrowDirection { UIPopoverArrowDirectionUnknown };
    UIPopoverArrowDirection m_permitted { UIPopoverArrowDirectionAny };
    CGRect m_anchorRect {};
    Weak<UIView> m_anchorView;
    std::vector<Ref<UIView>> m_passthroughViews;
    Ref<UIView> m_panel;
    Ref<UIView> m_catcher;
    Ref<UIView> m_arrow;
    Ref<UIPopoverController> m_keepAlive;
    UIPopoverControllerDelegate* m_delegate { nullptr };
    Weak<NSObject> m_delegateOwner;
};
