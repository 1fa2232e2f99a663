#include "uikit/UIScrollViewPanGestureRecognizer.h"

#include "uikit/UIPinchGestureRecognizer.h"
#include "uikit/UIScrollView.h"
#include "uikit/UITouch.h"

Ref<UIScrollViewPanGestureRecognizer> UIScrollViewPanGestureRecognizer::initWithScrollView(
    const Ref<UIScrollView>& scrollView)
{
    auto recognizer = make<UIScrollViewPanGestureRecognizer>();
    recognizer->m_scrollView = scrollView;
    return recognizer;
}

CGPoint UIScrollViewPanGestureRecognizer::dragPoint() const
{
    // Where one finger would be had it made the whole translation: fingers joining or leaving
    // do not jerk the content.
    CGPoint t = translationInView(nullptr);
    return CGPointMake(m_start.x + t.x, m_start.y + t.y);
}

void UIScrollViewPanGestureRecognizer::touchesBegan(const UITouchSet& touches, const Ref<UIEvent>& event)
{
    UIPanGestureRecognizer::touchesBegan(touches, event);
    if (state() != UIGestureRecognizerStatePossible || numberOfTouches() != touches.size())
        return;
    auto scrollView = m_scrollView.lock();
    if (!scrollView)
        return;
    for (const auto& touch : touches) {
        if (!scrollView->dragMayStartWithTouch(touch)) {
            setState(UIGestureRecognizerStateFailed);
            return;
        }
    }
    m_start = locationInView(nullptr);
    scrollView->dragBegan(m_start);
}

void UIScrollViewPanGestureRecognizer::didChangeState(UIGestureRecognizerState state)
{
    auto scrollView = m_scrollView.lock();
    if (!scrollView)
        return;
    switch (state) {
    case UIGestureRecognizerStateBegan:
    case UIGestureRecognizerStateChanged:
        scrollView->dragMoved(dragPoint());
        break;
    case UIGestureRecognizerStateEnded:
        scrollView->dragEnded(dragPoint());
        break;
    case UIGestureRecognizerStateCancelled:
        scrollView->dragCancelled();
        break;
    case UIGestureRecognizerStatePossible:
    case UIGestureRecognizerStateFailed:
        // A failed pan leaves the scroll view tracking until the fingers lift (reset), so that
        // a touch that ends without a drag still reads as a tap.
        break;
    }
}

void UIScrollViewPanGestureRecognizer::reset()
{
    UIPanGestureRecognizer::reset();
    auto scrollView = m_scrollView.lock();
    if (scrollView && scrollView->isTracking() && !scrollView->isDragging())
        scrollView->dragCancelled();
}

bool UIScrollViewPanGestureRecognizer::isSibling(const Ref<UIGestureRecognizer>& other) const
{
    auto scrollView = m_scrollView.lock();
    return scrollView && other && other == scrollView->pinchGestureRecognizer();
}

bool UIScrollViewPanGestureRecognizer::canPreventGestureRecognizer(const Ref<UIGestureRecognizer>& other) const
{
    return !isSibling(other);
}

bool UIScrollViewPanGestureRecognizer::canBePreventedByGestureRecognizer(const Ref<UIGestureRecognizer>& other) const
{
    return !isSibling(other);
}

VX_REGISTER_CLASS(UIScrollViewPanGestureRecognizer);
