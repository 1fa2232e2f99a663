#pragma once

#include "uikit/UITapGestureRecognizer.h"

// A two-tap recogniser that also reports each touch-down while it is still possible, so its
// target can cancel it at once (and let a waiting single-tap recogniser fire without the
// double-tap pause). Main thread only; the target is a weak link.
class LGridDoubleTapGestureRecognizer : public UITapGestureRecognizer {
    VX_OBJECT(LGridDoubleTapGestureRecognizer, UITapGestureRecognizer)
public:
    explicit LGridDoubleTapGestureRecognizer(Passkey key)
        : UITapGestureRecognizer(key)
    {
    }
    static Ref<LGridDoubleTapGestureRecognizer> initWithTargetInitialTapActionDoubleTapAction(
        const Ref<NSObject>& target, UIGestureRecognizerAction initialTap, const std::string& doubleTapName,
        UIGestureRecognizerAction doubleTap);

    void touchesBegan(const UITouchSet& touches, const Ref<UIEvent>& event) override;
    void cancel() { setState(UIGestureRecognizerStateCancelled); }

private:
    Weak<NSObject> m_target;
    UIGestureRecognizerAction m_initialTapAction;
};
