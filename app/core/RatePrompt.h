#pragma once

#include "foundation/NSObject.h"
#include "uikit/UIAlertView.h"

#include <string>

// The rating prompt: counts the uses of the current build (the info-dictionary value
// "CFBundleVersion") in the user defaults and, once enough days and uses have passed, asks the
// user in an alert to rate the application, with the choices to rate now, never for this build,
// or later. A new build starts the count afresh. Configured through class operations;
// appLaunched and appEnteredForeground may be called from the main thread and return at once.
class RatePrompt : public NSObject, public UIAlertViewDelegate {
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
    // Test-only: the initial settings and a new shared instance.
    static void resetForTesting();

    // Counts one use on a background queue (one count at a time) and, when canPromptForRating and the conditions
    // hold, shows the alert on the main queue.
    static void appLaunched(bool canPromptForRating);
    static void appEnteredForeground(bool canPromptForRating);

    void incrementUseCount();
    void incrementAndRate(bool canPromptForRating);
    bool ratingConditionsHaveBeenMet() const;
    void showRatingAlert();
    // Records the rating and opens the store's product page.
    static void rateApp();
    const Ref<UIAlertView>& ratingAlert() const { return m_ratingAlert; }

    void alertViewDidDismissWithButtonIndex(const Ref<UIAlertView>& alertView, int32_t buttonIndex) override;

private:
    Ref<UIAlertView> m_ratingAlert;
};
