#pragma once

#include "app/core/RatePromptDelegate.h"
#include "foundation/NSObject.h"
#include "services/SKStoreProductViewController.h"
#include "uikit/UIAlertView.h"

#include <memory>
#include <string>

// The rating prompt: counts the uses of the current build (the info-dictionary value
// "CFBundleVersion") in the user defaults and, once enough days and uses have passed, asks the
// user in an alert to rate the application, with the choices to rate now, never for this build,
// or later. A new build starts the count afresh. Configured through class operations;
// appLaunched and appEnteredForeground may be called from the main thread and return at once.
// The alert appears only when the network can be reached. Rating opens the store's product page
// (or its product sheet inside the application when openInAppStore is NO).
class RatePrompt : public NSObject, public UIAlertViewDelegate, public SKStoreProductViewControllerDelegate {
    VX_OBJECT(RatePrompt, NSObject)
public:
    explicit RatePrompt(Passkey key)
        : NSObject(key)
    {
    }
    static Ref<RatePrompt> sharedInstance();

    // Class-level settings.
    static void setAppId(const std::string& appId);
    static std::string appId();
    static void setDaysUntilPrompt(double days);
    static double daysUntilPrompt();
    static void setUsesUntilPrompt(int32_t uses);
    static int32_t usesUntilPrompt();
    static void setSignificantEventsUntilPrompt(int32_t events);
    static int32_t significantEventsUntilPrompt();
    static void setTimeBeforeReminding(double days);
    static double timeBeforeReminding();
    static void setDebug(bool debug);
    static bool debug();
    // The delegate, held weakly; the shared instance takes it when it is made, or at once.
    static void setDelegate(std::weak_ptr<RatePromptDelegate> delegate);
    // Test-only: the initial settings and a new shared instance.
    static void resetForTesting();

    // Counts one use on a background queue (one count at a time) and, when canPromptForRating and the conditions
    // hold, shows the alert on the main queue.
    static void appLaunched(bool canPromptForRating);
    // The same as appLaunched(true).
    static void appLaunched() { appLaunched(true); }
    static void appEnteredForeground(bool canPromptForRating);
    static void userDidSignificantEvent(bool canPromptForRating);
    // Shows the alert at once when the network test passes and this build is neither rated nor
    // declined; the counters are not consulted.
    static void showPrompt();
    static void setUsesAnimation(bool animated);
    static void setAlwaysUseMainBundle(bool always);
    static void setOpenInAppStore(bool open);
    // The bundle of the texts.
    static Ref<NSBundle> bundle();
    static bool modalOpen();
    // Closes the store's product sheet when one is open.
    static void closeModal();
    // The screen that presents the product sheet: the top-most above the normal-level window's
    // root screen; nullptr when there is none.
    static Ref<UIViewController> getRootViewController();
    static Ref<UIViewController> topMostViewController(const Ref<UIViewController>& controller);
    static void appWillResignActive();

    void incrementUseCount();
    void incrementSignificantEventCount();
    void incrementAndRate(bool canPromptForRating);
    void incrementSignificantEventAndRate(bool canPromptForRating);
    bool ratingConditionsHaveBeenMet() const;
    bool userHasDeclinedToRate() const;
    bool userHasRatedCurrentVersion() const;
    // Reachability of the zero address, and a throw-away request for a public page.
    bool connectedToNetwork();
    void showRatingAlert();
    void hideRatingAlert();
    // Records the rating and opens the store's product page.
    static void rateApp();
    const Ref<UIAlertView>& ratingAlert() const { return m_ratingAlert; }
    bool openInAppStore() const { return m_openInAppStore; }
    std::shared_ptr<RatePromptDelegate> delegate() const { return m_delegate.lock(); }
    void setDelegateValue(std::weak_ptr<RatePromptDelegate> delegate) { m_delegate = std::move(delegate); }
    void setOpenInAppStoreValue(bool open) { m_openInAppStore = open; }
    void productViewControllerDidFinish(const Ref<SKStoreProductViewController>&) override { closeModal(); }

    void alertViewDidDismissWithButtonIndex(const Ref<UIAlertView>& alertView, int32_t buttonIndex) override;

private:
    void countAndRate(bool significantEvent, bool canPromptForRating);

    Ref<UIAlertView> m_ratingAlert;
    bool m_openInAppStore { true };
    std::weak_ptr<RatePromptDelegate> m_delegate;
};
