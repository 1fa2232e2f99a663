#pragma once

#include "uikit/UIPinchGestureRecognizer.h"

class UIScrollView;

// The pinch recognizer a zooming scroll view makes for itself: it drives the scroll view's pinch
// input wherever it is attached and recognizes together with the scroll view's pan. Main thread
// only.
class UIScrollViewPinchGestureRecognizer : public UIPinchGestureRecognizer {
    VX_OBJECT(UIScrollViewPinchGestureRecognizer, UIPinchGestureRecognizer)
public:
    explicit UIScrollViewPinchGestureRecognizer(Passkey key)
        : UIPinchGestureRecognizer(key)
    {
    }
    static Ref<UIScrollViewPinchGestureRecognizer> initWithScrollView(const Ref<UIScrollView>& scrollView);

    Ref<UIScrollView> scrollView() const { return m_scrollView.lock(); }

    bool canPreventGestureRecognizer(const Ref<UIGestureRecognizer>& other) const override;
    bool canBePreventedByGestureRecognizer(const Ref<UIGestureRecognizer>& other) const override;

protected:
    void didChangeState(UIGestureRecognizerState state) override;

private:
    bool isSibling(const Ref<UIGestureRecognizer>& other) const;

    Weak<UIScrollView> m_scrollView;
};
