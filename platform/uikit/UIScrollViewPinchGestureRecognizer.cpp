#include "uikit/UIScrollViewPinchGestureRecognizer.h"

#include "uikit/UIPanGestureRecognizer.h"
#include "uikit/UIScrollView.h"

Ref<UIScrollViewPinchGestureRecognizer> UIScrollViewPinchGestureRecognizer::initWithScrollView(
    const Ref<UIScrollView>& scrollView)
{
    auto recognizer = make<UIScrollViewPinchGestureRecognizer>();
    recognizer->m_scrollView = scrollView;
    return recognizer;
}

void UIScrollViewPinchGestureRecognizer::didChangeState(UIGestureRecognizerState state)
{
    auto scrollView = m_scrollView.lock();
    if (!scrollView)
        return;
    switch (state) {
    case UIGestureRecognizerStateBegan:
        scrollView->pinchBegan();
        scrollView->pinchChanged(scale());
        break;
    case UIGestureRecognizerStateChanged:
        scrollView->pinchChanged(scale());
        break;
    case UIGestureRecognizerStateEnded:
    case UIGestureRecognizerStateCancelled:
        scrollView->pinchEnded();
        break;
    case UIGestureRecognizerStatePossible:
    case UIGestureRecognizerStateFailed:
        break;
    }
}

bool UIScrollViewPinchGestureRecognizer::isSibling(const Ref<UIGestureRecognizer>& other) const
{
    auto scrollView = m_scrollView.lock();
    return scrollView && other && other == scrollView->panGestureRecognizer();
}

bool UIScrollViewPinchGestureRecognizer::canPreventGestureRecognizer(const Ref<UIGestureRecognizer>& other) const
{
    return !isSibling(other);
}

bool UIScrollViewPinchGestureRecognizer::canBePreventedByGestureRecognizer(const Ref<UIGestureRecognizer>& other) const
{
    return !isSibling(other);
}

VX_REGISTER_CLASS(UIScrollViewPinchGestureRecognizer);
