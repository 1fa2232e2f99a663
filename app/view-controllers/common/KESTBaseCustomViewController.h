#pragma once

#include "app/view-controllers/common/KESTBaseViewController.h"

// A base screen that builds its view in code: a plain white view that follows its parent's
// width and height. Main thread only.
class KESTBaseCustomViewController : public KESTBaseViewController {
    VX_OBJECT(KESTBaseCustomViewController, KESTBaseViewController)
public:
    explicit KESTBaseCustomViewController(Passkey key)
        : KESTBaseViewController(key)
    {
    }
    static Ref<KESTBaseCustomViewController> initWithNibNameBundle(
        const std::string& nibName, const Ref<NSBundle>& bundle)
    {
        return makeController<KESTBaseCustomViewController>(nibName, bundle);
    }

    void loadView() override;
};
