#pragma once

#include "foundation/FoundationForward.h"
#include "foundation/Ref.h"

class RatePrompt;

// What the rating prompt tells the object set with RatePrompt::setDelegate; every operation is
// optional (the default does nothing). Main thread.
class RatePromptDelegate {
public:
    virtual ~RatePromptDelegate() = default;
    // The rating alert is on screen.
    virtual void ratePromptDidDisplayAlert(const Ref<RatePrompt>&) { }
    // The user chose "No, Thanks".
    virtual void ratePromptDidDeclineToRate(const Ref<RatePrompt>&) { }
    // The user chose to rate; the store has been opened.
    virtual void ratePromptDidOptToRate(const Ref<RatePrompt>&) { }
    // The user chose "Remind me later".
    virtual void ratePromptDidOptToRemindLater(const Ref<RatePrompt>&) { }
    // The store's product sheet is about to be presented inside the application.
    virtual void ratePromptWillPresentModalViewAnimated(const Ref<RatePrompt>&, bool /*animated*/) { }
    // The product sheet has been dismissed; told with the class.
    virtual void ratePromptDidDismissModalViewAnimated(Class, bool /*animated*/) { }
};
