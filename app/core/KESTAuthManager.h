#pragma once

#include "app/view-controllers/account/KESTAuthMenuView.h"
#include "foundation/NSObject.h"

class UIViewController;

// The account client. For now it opens the account menu; the account service calls come with
// the accounts subsystem. Main thread only.
class KESTAuthManager : public NSObject {
    VX_OBJECT(KESTAuthManager, NSObject)
public:
    explicit KESTAuthManager(Passkey key)
        : NSObject(key)
    {
    }
    static Ref<KESTAuthManager> sharedInstance();

    // Presents, animated, from the controller, a navigation controller (current-context style)
    // whose root is the account menu made with the two callbacks (either may be null).
    void presentManagerInControllerCompletionFailure(const Ref<UIViewController>& controller,
        KESTAuthMenuView::Completion completion, KESTAuthMenuView::Failure failure);
};
