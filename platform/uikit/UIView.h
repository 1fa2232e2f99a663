#pragma once

#include "graphics/CALayer.h"
#include "graphics/CGAffineTransform.h"
#include "graphics/CGGeometry.h"
#include "uikit/UIResponder.h"

#include <functional>
#include <optional>
#include <string>
#include <vector>

class UIColor;

using UIViewAutoresizing = uint32_t;
inline constexpr UIViewAutoresizing UIViewAutoresizingNone = 0;
inline constexpr UIViewAutoresizing UIViewAutoresizingFlexibleLeftMargin = 1 << 0;
inline constexpr UIViewAutoresizing UIViewAutoresizingFlexibleWidth = 1 << 1;
inline constexpr UIViewAutoresizing UIViewAutoresizingFlexibleRightMargin = 1 << 2;
inline constexpr UIViewAutoresizing UIViewAutoresizingFlexibleTopMargin = 1 << 3;
inline constexpr UIViewAutoresizing UIViewAutoresizingFlexibleHeight = 1 << 4;
inline constexpr UIViewAutoresizing UIViewAutoresizingFlexibleBottomMargin = 1 << 5;

enum UIViewContentMode : int32_t {
    UIViewContentModeScaleToFill = 0,
    UIViewContentModeScaleAspectFit = 1,
    UIViewContentModeScaleAspectFill = 2,
    UIViewContentModeRedraw = 3,
    UIViewContentModeCenter = 4,
    UIViewContentModeTop = 5,
    UIViewContentModeBottom = 6,
    UIViewContentModeLeft = 7,
    UIViewContentModeRight = 8,
    UIViewContentModeTopLeft = 9,
    UIViewContentModeTopRight = 10,
    UIViewContentModeBottomLeft = 11,
    UIViewContentModeBottomRight = 12,
};

using UIViewAnimationOptions = uint32_t;
inline constexpr UIViewAnimationOptions UIViewAnimationOptionLayoutSubviews = 1 << 0;
inline constexpr UIViewAnimationOptions UIViewAnimationOptionAllowUserInteraction = 1 << 1;
inline constexpr UIViewAnimationOptions UIViewAnimationOptionBeginFromCurrentState = 1 << 2;
inline constexpr UIViewAnimationOptions UIViewAnimationOptionRepeat = 1 << 3;
inline constexpr UIViewAnimationOptions UIViewAnimationOptionAutoreverse = 1 << 4;
inline constexpr UIViewAnimationOptions UIViewAnimationOptionCurveEaseInOut = 0 << 16;
inline constexpr UIViewAnimationOptions UIViewAnimationOptionCurveEaseIn = 1 << 16;
inline constexpr UIViewAnimationOptions UIViewAnimationOptionCurveEaseOut = 2 << 16;
inline constexpr UIViewAnimationOptions UIViewAnimationOptionCurveLinear = 3 << 16;
inline constexpr UIViewAnimationOptions UIViewAnimationOptionTransitionCrossDissolve = 5 << 20;

enum UIViewAnimationCurve : int32_t {
    UIViewAnimationCurveEaseInOut = 0,
    UIViewAnimationCurveEaseIn = 1,
    UIViewAnimationCurveEaseOut = 2,
    UIViewAnimationCurveLinear = 3,
};

// A rectangle on screen backed by a layer (the view is its layer's delegate): geometry,
// hierarchy, appearance, layout and display passes, drawing, hit testing and touches.
// Geometry lives in the layer: frame = the layer's frame, bounds = its bounds, center = its
// position, transform = its affine transform. Layout and display happen once per main run-loop
// pass for every view that asked (see setNeedsLayout, setNeedsDisplay). Main thread only.
//
// Subclasses make instances with `makeView<T>(frame)` (or call initView themselves), so the
// layer comes from the subclass's layerClass().
class UIView : public UIResponder, public CALayerDelegate {
    VX_OBJECT(UIView, UIResponder)
public:
    explicit UIView(Passkey key)
        : UIResponder(key)
    {
    }
    ~UIView() override;
    static Ref<UIView> init() { return initWithFrame(CGRectZero); }
    static Ref<UIView> initWithFrame(CGRect frame) { return makeView<UIView>(frame); }

    // The layer backing a new view of this class (the platform's +layerClass).
    virtual Ref<CALayer> layerClass() const { return CALayer::layer(); }
    const Ref<CALayer>& layer() const { return m_layer; }

    // Geometry. The setters are virtual so that subclasses (scroll views) can follow changes.
    CGRect frame() const;
    virtual void setFrame(CGRect frame);
    CGRect bounds() const;
    virtual void setBounds(CGRect bounds);
    CGPoint center() const;
    virtual void setCenter(CGPoint center);
    CGAffineTransform transform() const;
    virtual void setTransform(CGAffineTransform transform);
    UIViewAutoresizing autoresizingMask() const { return m_autoresizingMask; }
    void setAutoresizingMask(UIViewAutoresizing mask) { m_autoresizingMask = mask; }
    bool autoresizesSubviews() const { return m_autoresizesSubviews; }
    void setAutoresizesSubviews(bool v) { m_autoresizesSubviews = v; }
    CGFloat contentScaleFactor() const { return m_layer->contentsScale(); }
    void setContentScaleFactor(CGFloat scale);

    // Hierarchy.
    Ref<UIView> superview() const { return m_superview.lock(); }
    const std::vector<Ref<UIView>>& subviews() const { return m_subviews; }
    Ref<UIWindow> window() const;
    // Adds at the front. A view that has another superview is moved; one already here goes to
    // the front.
    void addSubview(const Ref<UIView>& view);
    void insertSubviewAtIndex(const Ref<UIView>& view, int32_t index);
    void insertSubviewAboveSubview(const Ref<UIView>& view, const Ref<UIView>& sibling);
    void insertSubviewBelowSubview(const Ref<UIView>& view, const Ref<UIView>& sibling);
    void exchangeSubviewAtIndexWithSubviewAtIndex(int32_t index1, int32_t index2);
    void bringSubviewToFront(const Ref<UIView>& view);
    void sendSubviewToBack(const Ref<UIView>& view);
    void removeFromSuperview();
    bool isDescendantOfView(const Ref<UIView>& view) const;
    // Depth first, this view included; nullptr when none has the tag.
    Ref<UIView> viewWithTag(int32_t tag);
    int32_t tag() const { return m_tag; }
    void setTag(int32_t tag) { m_tag = tag; }

    // Hooks around hierarchy changes.
    virtual void didAddSubview(const Ref<UIView>&) { }
    virtual void willRemoveSubview(const Ref<UIView>&) { }
    virtual void willMoveToSuperview(const Ref<UIView>&) { }
    virtual void didMoveToSuperview() { }
    virtual void willMoveToWindow(const Ref<UIWindow>&) { }
    virtual void didMoveToWindow() { }

    // Appearance.
    bool isHidden() const { return m_layer->isHidden(); }
    virtual void setHidden(bool hidden);
    CGFloat alpha() const { return m_layer->opacity(); }
    virtual void setAlpha(CGFloat alpha);
    bool isOpaque() const { return m_layer->isOpaque(); }
    void setOpaque(bool opaque) { m_layer->setOpaque(opaque); }
    const Ref<UIColor>& backgroundColor() const { return m_backgroundColor; }
    virtual void setBackgroundColor(const Ref<UIColor>& color);
    bool clipsToBounds() const { return m_layer->masksToBounds(); }
    void setClipsToBounds(bool clips) { m_layer->setMasksToBounds(clips); }
    UIViewContentMode contentMode() const { return m_contentMode; }
    virtual void setContentMode(UIViewContentMode mode);
    bool isUserInteractionEnabled() const { return m_userInteractionEnabled; }
    void setUserInteractionEnabled(bool v) { m_userInteractionEnabled = v; }
    bool isMultipleTouchEnabled() const { return m_multipleTouchEnabled; }
    void setMultipleTouchEnabled(bool v) { m_multipleTouchEnabled = v; }
    bool isExclusiveTouch() const { return m_exclusiveTouch; }
    void setExclusiveTouch(bool v) { m_exclusiveTouch = v; }
    const Ref<UIColor>& tintColor() const;
    void setTintColor(const Ref<UIColor>& color) { m_tintColor = color; }

    // Layout. setNeedsLayout asks for layoutSubviews in the next layout pass (once, however
    // often it is asked); a change of bounds size asks for it too, for the view and its
    // superview. layoutIfNeeded lays out now what has been asked for in this subtree.
    void setNeedsLayout();
    void layoutIfNeeded();
    virtual void layoutSubviews();
    virtual CGSize sizeThatFits(CGSize size) const;
    // Resizes to sizeThatFits of the current size, keeping the origin. Virtual so that a view
    // with its own placement rule keeps it when it is resized through a plain UIView.
    virtual void sizeToFit();

    // Display. setNeedsDisplay asks for drawRect in the next display pass; a view whose class
    // does not override drawRect keeps no drawing of its own.
    void setNeedsDisplay();
    void setNeedsDisplayInRect(CGRect rect);
    // Draws into the current context (top-left points, the bounds' space).
    virtual void drawRect(CGRect rect);
    // Draws the view and its subviews, scaled into `rect` of the current context.
    bool drawViewHierarchyInRectAfterScreenUpdates(CGRect rect, bool afterUpdates);
    // A view showing a picture of this one as it is now.
    Ref<UIView> snapshotViewAfterScreenUpdates(bool afterUpdates);

    // Hit testing and conversions. hitTest takes a point in this view's bounds space and
    // returns the deepest visible, interactive descendant containing it (front-most first).
    virtual Ref<UIView> hitTest(CGPoint point, const Ref<UIEvent>& event);
    virtual bool pointInside(CGPoint point, const Ref<UIEvent>& event);
    // Conversions to and from another view's space; nullptr means the window.
    CGPoint convertPointToView(CGPoint point, const Ref<UIView>& view) const;
    CGPoint convertPointFromView(CGPoint point, const Ref<UIView>& view) const;
    CGRect convertRectToView(CGRect rect, const Ref<UIView>& view) const;
    CGRect convertRectFromView(CGRect rect, const Ref<UIView>& view) const;

    // Gesture recognizers see this view's touches (and its subviews') before the views do.
    void addGestureRecognizer(const Ref<UIGestureRecognizer>& recognizer);
    void removeGestureRecognizer(const Ref<UIGestureRecognizer>& recognizer);
    const std::vector<Ref<UIGestureRecognizer>>& gestureRecognizers() const { return m_gestureRecognizers; }

    // Resigns the first responder found in this subtree; true when none is left.
    bool endEditing(bool force);

    // Responder chain: the controller whose view this is, else the superview.
    Ref<UIResponder> nextResponder() const override;
    // The controller that owns this view as its root view, if any.
    Ref<UIViewController> viewController() const { return m_viewController.lock(); }
    void setViewController(const Ref<UIViewController>& controller) { m_viewController = controller; }
    // Runs `changes` with the views that enter or leave a window in it not making their
    // controllers appear or disappear. For containers that put a controller's view in place
    // first and then tell the controller themselves, so that it appears already where it shows.
    static void performWithoutAppearanceForwarding(const std::function<void()>& changes);

    // View animations. Inside the animations block, changes to frame, bounds, center,
    // transform, alpha and background colour take their new value at once and are shown as
    // animating for duration after delay on the process clock; completion then runs with true.
    // A newer animation of the same property of the same view interrupts the older one, whose
    // completion runs with false. With nothing animated (or animations disabled, or a zero
    // duration) the completion runs on the next run-loop pass with true.
    using AnimationBlock = std::function<void()>;
    using CompletionBlock = std::function<void(bool finished)>;
    static void animateWithDuration(double duration, AnimationBlock animations, CompletionBlock completion = nullptr);
    static void animateWithDurationDelayOptions(double duration, double delay, UIViewAnimationOptions options,
        AnimationBlock animations, CompletionBlock completion);
    static void transitionWithViewDurationOptions(const Ref<UIView>& view, double duration,
        UIViewAnimationOptions options, AnimationBlock animations, CompletionBlock completion);
    static void performWithoutAnimation(const AnimationBlock& actions);
    static void setAnimationsEnabled(bool enabled);
    static bool areAnimationsEnabled();
    // Begin/commit style. The did-stop callback gets the animation's name, whether it
    // finished, and the context given to beginAnimations.
    using AnimationDidStop = std::function<void(const std::string& animationID, bool finished, void* context)>;
    static void beginAnimations(const std::string& animationID, void* context);
    static void commitAnimations();
    static void setAnimationDuration(double duration);
    static void setAnimationDelay(double delay);
    static void setAnimationCurve(UIViewAnimationCurve curve);
    static void setAnimationBeginsFromCurrentState(bool fromCurrentState);
    static void setAnimationDidStop(AnimationDidStop callback);

    // For views that animate by themselves (a map's camera): the timing of the innermost open
    // animation block or begin/commit section, when a change made now would animate (animations
    // enabled, not inside performWithoutAnimation, a duration above zero); nullopt otherwise.
    struct AnimationTiming {
        double duration;
        double delay;
        UIViewAnimationCurve curve;
    };
    static std::optional<AnimationTiming> currentAnimationTiming();
    // Joins the innermost open block with an animation run elsewhere: the block's completion
    // waits until the answered function is called with whether that animation finished. Call
    // only while currentAnimationTiming() has a value; the function may be called at any time,
    // once.
    static std::function<void(bool finished)> joinCurrentAnimation();
    // Test-only: clears the animation state (open blocks, the enabled flag).
    static void resetAnimationsForTesting();

    // Layer delegate.
    bool displayLayer(CALayer& layer) override;
    bool drawLayerInContext(CALayer& layer, const CGContextRef& context) override;
    void layoutSublayersOfLayer(CALayer& layer) override;

    Value valueForKey(const std::string& key) override;
    void setValueForKey(const Value& value, const std::string& key) override;

protected:
    template <typename T> static Ref<T> makeView(CGRect frame)
    {
        auto view = make<T>();
        view->initView(frame);
        return view;
    }
    // Makes the layer (from layerClass) and sets the frame. Call once, right after making.
    void initView(CGRect frame);

private:
    friend class UIWindow;
    void insertSubviewAt(const Ref<UIView>& view, size_t index);
    void resizeSubviews(CGSize oldSize);
    void applyAutoresizing(CGSize oldSuperSize, CGSize newSuperSize);
    void notifyWindowChange(const Ref<UIWindow>& oldWindow, const Ref<UIWindow>& newWindow, bool before);
    void recordAnimatedChange(const char* key);
    void updateLayerContentsGravity();

    Ref<CALayer> m_layer;
    Weak<UIView> m_superview;
    std::vector<Ref<UIView>> m_subviews;
    std::vector<Ref<UIGestureRecognizer>> m_gestureRecognizers;
    Weak<UIViewController> m_viewController;
    Ref<UIColor> m_backgroundColor;
    Ref<UIColor> m_tintColor;
    UIViewAutoresizing m_autoresizingMask { UIViewAutoresizingNone };
    UIViewContentMode m_contentMode { UIViewContentModeScaleToFill };
    int32_t m_tag { 0 };
    bool m_autoresizesSubviews { true };
    bool m_userInteractionEnabled { true };
    bool m_multipleTouchEnabled { false };
    bool m_exclusiveTouch { false };
    // Set while this view's controller is in an appearance transition that a window change
    // started (and that the end of the change finishes).
    bool m_windowAppearance { false };
};

// The layout and display passes. Views ask for them; the main run loop performs them once per
// pass (layout of every window's tree, then display of the layers that asked).
namespace UIViewUpdateCycle {
// Asks for a pass on the main run loop (one, however often asked before it runs).
void schedule();
// Runs layout then display for every window now.
void run();
} // namespace UIViewUpdateCycle
