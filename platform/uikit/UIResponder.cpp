#include "uikit/UIResponder.h"

namespace {
Weak<UIResponder> s_firstResponder;
}

bool UIResponder::becomeFirstResponder()
{
    if (isFirstResponder())
        return true;
    if (!canBecomeFirstResponder())
        return false;
    if (auto current = s_firstResponder.lock()) {
        if (!current->canResignFirstResponder() || !current->resignFirstResponder())
            return false;
    }
    s_firstResponder = self<UIResponder>();
    return true;
}

bool UIResponder::resignFirstResponder()
{
    if (isFirstResponder())
        s_firstResponder.reset();
    return true;
}

bool UIResponder::isFirstResponder() const
{
    auto current = s_firstResponder.lock();
    return current.get() == this;
}

Ref<UIResponder> UIResponder::currentFirstResponder()
{
    return s_firstResponder.lock();
}

void UIResponder::resetFirstResponderForTesting()
{
    s_firstResponder.reset();
}

void UIResponder::touchesBegan(const UITouchSet& touches, const Ref<UIEvent>& event)
{
    if (auto next = nextResponder())
        next->touchesBegan(touches, event);
}

void UIResponder::touchesMoved(const UITouchSet& touches, const Ref<UIEvent>& event)
{
    if (auto next = nextResponder())
        next->touchesMoved(touches, event);
}

void UIResponder::touchesEnded(const UITouchSet& touches, const Ref<UIEvent>& event)
{
    if (auto next = nextResponder())
        next->touchesEnded(touches, event);
}

void UIResponder::touchesCancelled(const UITouchSet& touches, const Ref<UIEvent>& event)
{
    if (auto next = nextResponder())
        next->touchesCancelled(touches, event);
}

VX_REGISTER_CLASS(UIResponder);
