#pragma once

#include "uikit/UIPanGestureRecognizer.h"

class UIScrollView;

// The pan recognizer a scroll view makes for itself: it drives the scroll view's drag input
// (touch-down starts tracking, recognizing starts the drag, and so on) wherever it is attached,
// so it can be moved to another view and still scroll its own. It recognizes together with its
// scroll view's pinch. Main thread only.
class UIScrollViewPanGestureRecognizer : public UIPanGestureRecognizer {
    VX_OBJECT(UIScrollViewPanGestureRecognizer, UIPanGestureRecognizer)
public:
    explicit UIScrollViewPanGestureRecognizer(Passkey key)
        : UIPanGestureRecognizer(key)
    {
    }
    static Ref<UIScrollViewPanGestureRecognizer> initWithScrollView(const Ref<UIScrollView>& scrollView);

    Ref<UIScrollView> scrollView() const { return m_scrollView.lock(); }

    void touchesBegan(const UITouchSet& touches, const Ref<UIEvent>& event) override;
    void reset() override;
    bool canPreventGestureRecognizer(const Ref<UIGestureRecognizer>& other) const override;
    bool canBePreventedByGestureRecognizer(const Ref<UIGestureRecognizer>& other) const override;

protected:
    void didChangeState(UIGestureRecognizerState state) override;

private:
    bool isSibling(const Ref<UIGestureRecognizer>& other) const;
    CGPoint dragPoint() const;

    Weak<UIScrollView> m_scrollView;
    CGPoint m_start {};
};
