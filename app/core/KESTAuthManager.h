#pragma once

#include "foundation/NSObject.h"

#include <functional>

class NSError;
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
    using Completion = std::function<void()>;
    using Failure = std::function<void(const Ref<NSError>&)>;
    // Makes the account menu opened with the two callbacks. The account screens install it when
    // the program starts, so the manager needs no view of its own.
    using MenuFactory = std::function<Ref<UIViewController>(Completion, Failure)>;

    static Ref<KESTAuthManager> sharedInstance();
    static void setMenuFactory(MenuFactory factory);

    // Presents, animated, from the controller, a navigation controller (current-context style)
    // whose root is the account menu made with the two callbacks (either may be null). Nothing
    // when no menu factory is installed.
    void presentManagerInControllerCompletionFailure(
        const Ref<UIViewController>& controller, Completion completion, Failure failure);
};
