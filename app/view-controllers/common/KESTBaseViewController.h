#pragma once

#include "uikit/UIViewController.h"

class NSNotification;

// Base of most of the application's screens. Each appearance logs one analytics event named
// after the screen's class; from each appearance to the next disappearance the screen listens
// for the keyboard notifications (hooks that subclasses override) and is marked visible.
// Disappearing removes the screen from the default notification center for every
// notification, so selector-style registrations a subclass made with that center end there too.
// Main thread only.
class KESTBaseViewController : public UIViewController {
    VX_OBJECT(KESTBaseViewController, UIViewController)
public:
    explicit KESTBaseViewController(Passkey key)
        : UIViewController(key)
    {
    }
    static Ref<KESTBaseViewController> initWithNibNameBundle(const std::string& nibName, const Ref<NSBundle>& bundle)
    {
        return makeController<KESTBaseViewController>(nibName, bundle);
    }

    void viewWillAppear(bool animated) override;
    void viewDidDisappear(bool animated) override;

    // Dismisses the screen, animated.
    virtual void closePress(const Ref<NSObject>& sender);

    // Hooks that do nothing here.
    virtual void keyboardWillBeShown(const Ref<NSNotification>&) { }
    virtual void keyboardWasShown(const Ref<NSNotification>&) { }
    virtual void keyboardWillBeHidden(const Ref<NSNotification>&) { }
    virtual void keyboardWasHidden(const Ref<NSNotification>&) { }
    virtual void viewAnimatedIn(bool) { }
    virtual void viewAnimatedOut(bool) { }

    bool visible() const { return m_visible; }
    void setVisible(bool visible) { m_visible = visible; }

private:
    bool m_visible { false };
};
