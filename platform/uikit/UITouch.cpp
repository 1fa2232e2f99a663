#include "uikit/UITouch.h"

#include "uikit/UIView.h"
#include "uikit/UIWindow.h"

CGPoint UITouch::locationInView(const Ref<UIView>& view) const
{
    auto window = m_window.lock();
    if (!view || !window)
        return m_location;
    return view->convertPointFromView(m_location, window);
}

CGPoint UITouch::previousLocationInView(const Ref<UIView>& view) const
{
    auto window = m_window.lock();
    if (!view || !window)
        return m_previousLocation;
    return view->convertPointFromView(m_previousLocation, window);
}

void UITouch::setWindowLocation(CGPoint point)
{
    m_previousLocation = m_located ? m_location : point;
    m_location = point;
    m_located = true;
}

Ref<UIEvent> UIEvent::initWithTouches(UITouchSet touches, double timestamp)
{
    auto event = make<UIEvent>();
    event->m_touches = std::move(touches);
    event->m_timestamp = timestamp;
    return event;
}

UITouchSet UIEvent::touchesForView(const Ref<UIView>& view) const
{
    UITouchSet result;
    for (const auto& touch : m_touches) {
        if (touch->view() == view)
            result.push_back(touch);
    }
    return result;
}

UITouchSet UIEvent::touchesForWindow(const Ref<UIWindow>& window) const
{
    UITouchSet result;
    for (const auto& touch : m_touches) {
        if (touch->window() == window)
            result.push_back(touch);
    }
    return result;
}

VX_REGISTER_CLASS(UITouch);
VX_REGISTER_CLASS(UIEvent);
