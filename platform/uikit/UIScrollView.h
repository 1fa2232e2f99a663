#pragma once

#include "graphics/UIGeometry.h"
#include "uikit/UIView.h"

#include <optional>

class NSTimer;
class UIPanGestureRecognizer;
class UIPinchGestureRecognizer;
class UIScrollView;
class UIScrollViewPanGestureRecognizer;
class UIScrollViewPinchGestureRecognizer;
class UIImageView;

inline constexpr CGFloat UIScrollViewDecelerationRateNormal = 0.998f;
inline constexpr CGFloat UIScrollViewDecelerationRateFast = 0.99f;

enum UIScrollViewIndicatorStyle : int32_t {
    UIScrollViewIndicatorStyleDefault = 0,
    UIScrollViewIndicatorStyleBlack = 1,
    UIScrollViewIndicatorStyleWhite = 2,
};

// What a scroll view tells its delegate. Every call is optional. Velocities are in points per
// millisecond, positive where the content offset grows.
class UIScrollViewDelegate {
public:
    virtual ~UIScrollViewDelegate() = default;
    virtual void scrollViewDidScroll(const Ref<UIScrollView>&) { }
    virtual void scrollViewWillBeginDragging(const Ref<UIScrollView>&) { }
    // May change *targetContentOffset; deceleration then ends there.
    virtual void scrollViewWillEndDraggingWithVelocityTargetContentOffset(
        const Ref<UIScrollView>&, CGPoint /*velocity*/, CGPoint* /*targetContentOffset*/)
    {
    }
    virtual void scrollViewDidEndDraggingWillDecelerate(const Ref<UIScrollView>&, bool /*decelerate*/) { }
    virtual void scrollViewWillBeginDecelerating(const Ref<UIScrollView>&) { }
    virtual void scrollViewDidEndDecelerating(const Ref<UIScrollView>&) { }
    virtual void scrollViewDidEndScrollingAnimation(const Ref<UIScrollView>&) { }
    virtual Ref<UIView> viewForZoomingInScrollView(const Ref<UIScrollView>&) { return nullptr; }
    virtual void scrollViewWillBeginZoomingWithView(const Ref<UIScrollView>&, const Ref<UIView>&) { }
    virtual void scrollViewDidEndZoomingWithViewAtScale(const Ref<UIScrollView>&, const Ref<UIView>&, CGFloat) { }
    virtual void scrollViewDidZoom(const Ref<UIScrollView>&) { }
    virtual bool scrollViewShouldScrollToTop(const Ref<UIScrollView>&) { return true; }
    virtual void scrollViewDidScrollToTop(const Ref<UIScrollView>&) { }
};

// A view whose bounds origin (the content offset) moves over a larger content area.
//
// setContentOffset is the single entry point for every change of offset: drags, deceleration,
// bounce, paging, animated scrolls and scrolling to the top all go through it, so a subclass
// that overrides it sees them all. scrollViewDidScroll is sent synchronously on each change and
// may itself change the offset. Deceleration, bounce-back and animated scrolls are stepped by a
// repeating timer on the main run loop in the common modes, so they follow the process clock.
//
// Drags come from the scroll view's own pan recognizer, zooming pinches from its own pinch
// recognizer (present while the zoom limits differ); both may be moved to another view and
// still drive this one, and they recognize together. Any other recognizer may call the drag
// and pinch input methods below. Main thread only.
class UIScrollView : public UIView {
    VX_OBJECT(UIScrollView, UIView)
public:
    explicit UIScrollView(Passkey key)
        : UIView(key)
    {
    }
    ~UIScrollView() override;
    static Ref<UIScrollView> initWithFrame(CGRect frame) { return makeScrollView<UIScrollView>(frame); }

    void setDelegate(UIScrollViewDelegate* delegate, Weak<NSObject> owner)
    {
        m_delegate = delegate;
        m_delegateOwner = std::move(owner);
    }
    UIScrollViewDelegate* delegate() const { return m_delegateOwner.expired() ? nullptr : m_delegate; }

    CGPoint contentOffset() const { return bounds().origin; }
    // Moves the bounds origin and, when it changed, tells the delegate at once.
    virtual void setContentOffset(CGPoint offset);
    // Animated: eases to `offset` in 0.3 s and then sends scrollViewDidEndScrollingAnimation
    // (not when the offset is already there). Not animated: stops any running scroll first.
    void setContentOffsetAnimated(CGPoint offset, bool animated);
    CGSize contentSize() const { return m_contentSize; }
    void setContentSize(CGSize size);
    UIEdgeInsets contentInset() const { return m_contentInset; }
    void setContentInset(UIEdgeInsets insets) { m_contentInset = insets; }
    UIEdgeInsets scrollIndicatorInsets() const { return m_scrollIndicatorInsets; }
    void setScrollIndicatorInsets(UIEdgeInsets insets) { m_scrollIndicatorInsets = insets; }

    bool isScrollEnabled() const { return m_scrollEnabled; }
    // Also enables or disables the pan recognizer.
    void setScrollEnabled(bool v);
    Ref<UIPanGestureRecognizer> panGestureRecognizer() const;
    // nullptr unless the zoom limits allow zooming.
    Ref<UIPinchGestureRecognizer> pinchGestureRecognizer() const;
    bool bounces() const { return m_bounces; }
    void setBounces(bool v) { m_bounces = v; }
    bool alwaysBounceVertical() const { return m_alwaysBounceVertical; }
    void setAlwaysBounceVertical(bool v) { m_alwaysBounceVertical = v; }
    bool alwaysBounceHorizontal() const { return m_alwaysBounceHorizontal; }
    void setAlwaysBounceHorizontal(bool v) { m_alwaysBounceHorizontal = v; }
    bool isPagingEnabled() const { return m_pagingEnabled; }
    void setPagingEnabled(bool v) { m_pagingEnabled = v; }
    bool isDirectionalLockEnabled() const { return m_directionalLockEnabled; }
    void setDirectionalLockEnabled(bool v) { m_directionalLockEnabled = v; }
    CGFloat decelerationRate() const { return m_decelerationRate; }
    void setDecelerationRate(CGFloat rate);
    bool scrollsToTop() const { return m_scrollsToTop; }
    void setScrollsToTop(bool v) { m_scrollsToTop = v; }
    bool delaysContentTouches() const { return m_delaysContentTouches; }
    void setDelaysContentTouches(bool v) { m_delaysContentTouches = v; }
    bool canCancelContentTouches() const { return m_canCancelContentTouches; }
    void setCanCancelContentTouches(bool v) { m_canCancelContentTouches = v; }

    bool isTracking() const { return m_tracking; }
    bool isDragging() const { return m_dragging; }
    bool isDecelerating() const { return m_decelerating; }
    bool isZooming() const { return m_zooming; }
    bool isZoomBouncing() const { return false; }

    // Indicators are shown while the content moves and fade out shortly after it stops. Each
    // is an image view among the scroll view's own subviews, made the first time it is shown
    // and added above the subviews present then; showing sets its alpha to 1 and fading sets
    // it to 0 through setAlpha, so an image view that refuses alpha 0 stays on screen.
    bool showsHorizontalScrollIndicator() const { return m_showsHorizontalIndicator; }
    void setShowsHorizontalScrollIndicator(bool v) { m_showsHorizontalIndicator = v; }
    bool showsVerticalScrollIndicator() const { return m_showsVerticalIndicator; }
    void setShowsVerticalScrollIndicator(bool v) { m_showsVerticalIndicator = v; }
    UIScrollViewIndicatorStyle indicatorStyle() const { return m_indicatorStyle; }
    void setIndicatorStyle(UIScrollViewIndicatorStyle style) { m_indicatorStyle = style; }
    // Shows the indicators briefly.
    void flashScrollIndicators();
    // Whether each indicator is on screen now.
    bool isHorizontalScrollIndicatorVisible() const;
    bool isVerticalScrollIndicatorVisible() const;

    // Zooming scales the delegate's viewForZoomingInScrollView; the content size follows it.
    CGFloat zoomScale() const { return m_zoomScale; }
    void setZoomScale(CGFloat scale) { setZoomScaleAnimated(scale, false); }
    void setZoomScaleAnimated(CGFloat scale, bool animated);
    CGFloat minimumZoomScale() const { return m_minimumZoomScale; }
    void setMinimumZoomScale(CGFloat scale);
    CGFloat maximumZoomScale() const { return m_maximumZoomScale; }
    void setMaximumZoomScale(CGFloat scale);
    bool bouncesZoom() const { return m_bouncesZoom; }
    void setBouncesZoom(bool v) { m_bouncesZoom = v; }
    // Zooms so that `rect` (in the zooming view's own space) fills the bounds.
    void zoomToRectAnimated(CGRect rect, bool animated);

    // Scrolls the least distance that shows `rect` (content coordinates); nothing when shown.
    void scrollRectToVisibleAnimated(CGRect rect, bool animated);
    // A tap on the status bar: scrolls to the top when allowed, then tells the delegate.
    // Returns whether it scrolled.
    bool scrollToTop();

    // The offsets the content can rest at (the insets included).
    CGPoint minimumContentOffset() const;
    CGPoint maximumContentOffset() const;

    // Whether the pan recognizer may drag with a touch that has just gone down (subclasses keep
    // controls of their own out of it).
    virtual bool dragMayStartWithTouch(const Ref<UITouch>&) const { return true; }
    // Drag input, in window coordinates: the pan recognizer calls these, and so may another.
    // A drag becomes a scroll once it has moved 10 points.
    void dragBegan(CGPoint windowPoint);
    void dragMoved(CGPoint windowPoint);
    void dragEnded(CGPoint windowPoint);
    void dragCancelled();
    // Pinch input: the scale relative to where the pinch began, about a point in window
    // coordinates.
    void pinchBegan();
    void pinchChanged(CGFloat relativeScale);
    void pinchEnded();

    void setBounds(CGRect bounds) override;
    void touchesBegan(const UITouchSet& touches, const Ref<UIEvent>& event) override;
    void touchesMoved(const UITouchSet& touches, const Ref<UIEvent>& event) override;
    void touchesEnded(const UITouchSet& touches, const Ref<UIEvent>& event) override;
    void touchesCancelled(const UITouchSet& touches, const Ref<UIEvent>& event) override;

protected:
    template <typename T> static Ref<T> makeScrollView(CGRect frame)
    {
        auto view = makeView<T>(frame);
        view->setClipsToBounds(true);
        view->installGestureRecognizers();
        return view;
    }
    // A touch that reached this view (or came up the responder chain to it) and has not been
    // taken by a recognizer or turned into a drag: when it ends, it is a tap.
    bool isTapInProgress() const { return m_viewTouchDown && !m_dragging; }
    // Subclasses hear about every offset change here before the delegate does.
    virtual void didChangeContentOffset() { }
    // Makes the image view of the vertical or the horizontal indicator; a subclass may give
    // its own kind of image view.
    enum class IndicatorAxis { Vertical, Horizontal };
    virtual Ref<UIImageView> makeScrollIndicator(IndicatorAxis axis);

private:
    enum class Motion { None, Deceleration, Animation, ScrollToTop, Bounce, ZoomAnimation };
    struct Sample {
        CGPoint point;
        double time;
    };

    bool canScrollHorizontally() const;
    bool canScrollVertically() const;
    CGPoint clampedOffset(CGPoint offset) const;
    CGPoint offsetForDrag(CGPoint windowPoint) const;
    CGPoint dragVelocity() const;
    CGPoint pagedTarget(CGPoint velocity) const;
    void startMotion(Motion motion, CGPoint target, double duration);
    void stopMotion();
    void step();
    void finishMotion();
    void showIndicators();
    void scheduleIndicatorFade(double delay);
    void layoutIndicators();
    void applyZoomScale(CGFloat scale);
    void installGestureRecognizers();
    void updatePinchRecognizer();
    Ref<UIScrollView> protectedThis() { return std::static_pointer_cast<UIScrollView>(shared_from_this()); }

    UIScrollViewDelegate* m_delegate { nullptr };
    Weak<NSObject> m_delegateOwner;
    CGSize m_contentSize {};
    UIEdgeInsets m_contentInset {};
    UIEdgeInsets m_scrollIndicatorInsets {};
    CGFloat m_decelerationRate { UIScrollViewDecelerationRateNormal };
    CGFloat m_zoomScale { 1 };
    CGFloat m_minimumZoomScale { 1 };
    CGFloat m_maximumZoomScale { 1 };
    CGFloat m_pinchStartScale { 1 };
    UIScrollViewIndicatorStyle m_indicatorStyle { UIScrollViewIndicatorStyleDefault };
    bool m_scrollEnabled { true };
    bool m_bounces { true };
    bool m_alwaysBounceVertical { false };
    bool m_alwaysBounceHorizontal { false };
    bool m_pagingEnabled { false };
    bool m_directionalLockEnabled { false };
    bool m_scrollsToTop { true };
    bool m_delaysContentTouches { true };
    bool m_canCancelContentTouches { true };
    bool m_showsHorizontalIndicator { true };
    bool m_showsVerticalIndicator { true };
    bool m_bouncesZoom { true };
    bool m_tracking { false };
    bool m_dragging { false };
    bool m_decelerating { false };
    bool m_zooming { false };
    bool m_indicatorsShown { false };

    Ref<UIScrollViewPanGestureRecognizer> m_panRecognizer;
    Ref<UIScrollViewPinchGestureRecognizer> m_pinchRecognizer;
    bool m_viewTouchDown { false };

    // The drag in progress.
    CGPoint m_dragStartPoint {};
    CGPoint m_dragStartOffset {};
    bool m_lockHorizontal { false };
    bool m_lockVertical { false };
    std::vector<Sample> m_samples;

    // The motion in progress (deceleration, bounce or animation).
    Motion m_motion { Motion::None };
    CGPoint m_motionFrom {};
    CGPoint m_motionTo {};
    CGFloat m_zoomFrom { 1 };
    CGFloat m_zoomTo { 1 };
    // Where a deceleration that ran past an edge settles once it has stopped.
    std::optional<CGPoint> m_bounceBackTo;
    double m_motionStart { 0 };
    double m_motionDuration { 0 };
    Ref<NSTimer> m_motionTimer;
    Ref<NSTimer> m_indicatorTimer;
    Ref<UIImageView> m_verticalIndicator;
    Ref<UIImageView> m_horizontalIndicator;
};
