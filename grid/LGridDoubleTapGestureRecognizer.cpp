#include "grid/LGridDoubleTapGestureRecognizer.h"

Ref<LGridDoubleTapGestureRecognizer> LGridDoubleTapGestureRecognizer::initWithTargetInitialTapActionDoubleTapAction(
    const Ref<NSObject>& target, UIGestureRecognizerAction initialTap, const std::string& doubleTapName,
    UIGestureRecognizerAction doubleTap)
{
    auto recognizer = make<LGridDoubleTapGestureRecognizer>();
    recognizer->addTargetAction(target, doubleTapName, std::move(doubleTap));
    recognizer->m_target = target;
    recognizer->m_initialTapAction = std::move(initialTap);
    recognizer->setNumberOfTapsRequired(2);
    return recognizer;
}

void LGridDoubleTapGestureRecognizer::touchesBegan(const UITouchSet& touches, const Ref<UIEvent>& event)
{
    UITapGestureRecognizer::touchesBegan(touches, event);
    if (state() != UIGestureRecognizerStatePossible || m_target.expired() || !m_initialTapAction)
        return;
    auto protectedThis = self<LGridDoubleTapGestureRecognizer>();
    m_initialTapAction(protectedThis);
}
