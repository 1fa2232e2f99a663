#pragma once

#include "app/view-controllers/common/KESTBaseCustomViewController.h"

class UIButton;

// The augmented-reality screen as the map opens it: a full-screen view with a close button that
// dismisses it. Main thread only.
class KESTARViewController : public KESTBaseCustomViewController {
    VX_OBJECT(KESTARViewController, KESTBaseCustomViewController)
public:
    explicit KESTARViewController(Passkey key)
        : KESTBaseCustomViewController(key)
    {
    }
    static Ref<KESTARViewController> init() { return initWithNibNameBundle({}, nullptr); }
    static Ref<KESTARViewController> initWithNibNameBundle(const std::string& nibName, const Ref<NSBundle>& bundle)
    {
        return makeController<KESTARViewController>(nibName, bundle);
    }

    void viewDidLoad() override;
    const Ref<UIButton>& closeButton() const { return m_closeButton; }

private:
    Ref<UIButton> m_closeButton;
};
