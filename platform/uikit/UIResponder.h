#pragma once

#include "foundation/NSObject.h"
#include "uikit/UIKitForward.h"

// The responder chain: views, their controllers, windows and the application. Touch messages a
// responder does not handle go to its next responder. Main thread only.
class UIResponder : public NSObject {
    VX_OBJECT(UIResponder, NSObject)
public:
    explicit UIResponder(Passkey key)
        : NSObject(key)
    {
    }

    // The next link of the chain; nullptr at its end.
    virtual Ref<UIResponder> nextResponder() const { return nullptr; }

    virtual bool canBecomeFirstResponder() const { return false; }
    virtual bool canResignFirstResponder() const { return true; }
    // Makes this responder the first responder of its window (resigning the current one first).
    // Returns false when it cannot become one or the current one refuses to resign.
    virtual bool becomeFirstResponder();
    virtual bool resignFirstResponder();
    bool isFirstResponder() const;
    // The view the keyboard shows above its keys while this responder has it; none by default.
    virtual Ref<UIView> inputAccessoryView() const { return nullptr; }
    // The application's current first responder, if any.
    static Ref<UIResponder> currentFirstResponder();

    virtual void touchesBegan(const UITouchSet& touches, const Ref<UIEvent>& event);
    virtual void touchesMoved(const UITouchSet& touches, const Ref<UIEvent>& event);
    virtual void touchesEnded(const UITouchSet& touches, const Ref<UIEvent>& event);
    virtual void touchesCancelled(const UITouchSet& touches, const Ref<UIEvent>& event);

    // Test-only: forgets the first responder.
    static void resetFirstResponderForTesting();
};
