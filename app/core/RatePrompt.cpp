#include "app/core/RatePrompt.h"

#include "foundation/Clock.h"
#include "foundation/Dispatch.h"
#include "foundation/NSBundle.h"
#include "foundation/NSLog.h"
#include "foundation/NSString.h"
#include "foundation/NSUserDefaults.h"
#include "net/NSURL.h"
#include "uikit/UIApplication.h"

#include <mutex>

VX_REGISTER_CLASS(RatePrompt);

namespace {

struct Settings {
    std::string appId;
    double daysUntilPrompt = 30.0;
    int32_t usesUntilPrompt = 20;
    int32_t significantEventsUntilPrompt = -1;
    double timeBeforeReminding = 1.0;
    bool debug = false;
};

std::mutex s_lock;
Settings s_settings;
Ref<RatePrompt> s_instance;

Settings settings()
{
    std::lock_guard guard(s_lock);
    return s_settings;
}

constexpr const char* kCurrentVersion = "kRatePromptCurrentVersion";
constexpr const char* kFirstUseDate = "kRatePromptFirstUseDate";
constexpr const char* kUseCount = "kRatePromptUseCount";
constexpr const char* kSignificantEventCount = "kRatePromptSignificantEventCount";
constexpr const char* kRatedCurrentVersion = "kRatePromptRatedCurrentVersion";
constexpr const char* kDeclinedToRate = "kRatePromptDeclinedToRate";
constexpr const char* kReminderRequestDate = "kRatePromptReminderRequestDate";

std::string buildVersion()
{
    return NSBundle::mainBundle()->objectForInfoDictionaryKey("CFBundleVersion").stringValue();
}

double now()
{
    return Clock::wallTime();
}

std::string localized(const std::string& key)
{
    return NSBundle::mainBundle()->localizedStringForKey(key, "", "RatePromptLocalizable");
}

std::string displayName()
{
    auto bundle = NSBundle::mainBundle();
    Value name = bundle->objectForInfoDictionaryKey("CFBundleDisplayName");
    if (!name.isString())
        name = bundle->objectForInfoDictionaryKey("CFBundleName");
    return name.stringValue();
}

} // namespace

Ref<RatePrompt> RatePrompt::sharedInstance()
{
    std::lock_guard guard(s_lock);
    if (!s_instance)
        s_instance = make<RatePrompt>();
    return s_instance;
}

void RatePrompt::setAppId(const std::string& appId)
{
    std::lock_guard guard(s_lock);
    s_settings.appId = appId;
}
std::string RatePrompt::appId()
{
    return settings().appId;
}
void RatePrompt::setDaysUntilPrompt(double days)
{
    std::lock_guard guard(s_lock);
    s_settings.daysUntilPrompt = days;
}
double RatePrompt::daysUntilPrompt()
{
    return settings().daysUntilPrompt;
}
void RatePrompt::setUsesUntilPrompt(int32_t uses)
{
    std::lock_guard guard(s_lock);
    s_settings.usesUntilPrompt = uses;
}
int32_t RatePrompt::usesUntilPrompt()
{
    return settings().usesUntilPrompt;
}
void RatePrompt::setSignificantEventsUntilPrompt(int32_t events)
{
    std::lock_guard guard(s_lock);
    s_settings.significantEventsUntilPrompt = events;
}
int32_t RatePrompt::significantEventsUntilPrompt()
{
    return settings().significantEventsUntilPrompt;
}
void RatePrompt::setTimeBeforeReminding(double days)
{
    std::lock_guard guard(s_lock);
    s_settings.timeBeforeReminding = days;
}
double RatePrompt::timeBeforeReminding()
{
    return settings().timeBeforeReminding;
}
void RatePrompt::setDebug(bool debug)
{
    std::lock_guard guard(s_lock);
    s_settings.debug = debug;
}
bool RatePrompt::debug()
{
    return settings().debug;
}

void RatePrompt::resetForTesting()
{
    std::lock_guard guard(s_lock);
    s_settings = Settings();
    s_instance = nullptr;
}

void RatePrompt::appLaunched(bool canPromptForRating)
{
    // One counting at a time: two counts running side by side would each read the stored count
    // and write back the same next value, losing a use.
    static const dispatch_queue_t s_countingQueue
        = dispatch_queue_create("com.kestravon.volantrix.rateprompt", DISPATCH_QUEUE_SERIAL);
    auto instance = sharedInstance();
    dispatch_async(s_countingQueue, [instance, canPromptForRating] { instance->incrementAndRate(canPromptForRating); });
}

void RatePrompt::appEnteredForeground(bool canPromptForRating)
{
    appLaunched(canPromptForRating);
}

void RatePrompt::incrementUseCount()
{
    auto defaults = NSUserDefaults::standardUserDefaults();
    std::string version = buildVersion();
    Value tracked = defaults->objectForKey(kCurrentVersion);
    std::string trackedVersion = tracked.isString() ? tracked.stringValue() : version;
    if (!tracked.isString())
        defaults->setObjectForKey(Value(version), kCurrentVersion);
    if (debug())
        NSLog("RATEPROMPT Tracking version: %@", trackedVersion);
    if (trackedVersion == version) {
        if (defaults->doubleForKey(kFirstUseDate) == 0)
            defaults->setDouble(now(), kFirstUseDate);
        int32_t uses = defaults->integerForKey(kUseCount) + 1;
        defaults->setInteger(uses, kUseCount);
        if (debug())
            NSLog("RATEPROMPT Use count: %@", Value(uses));
    } else {
        defaults->setObjectForKey(Value(version), kCurrentVersion);
        defaults->setDouble(now(), kFirstUseDate);
        defaults->setInteger(1, kUseCount);
        defaults->setInteger(0, kSignificantEventCount);
        defaults->setBool(false, kRatedCurrentVersion);
        defaults->setBool(false, kDeclinedToRate);
        defaults->setDouble(0, kReminderRequestDate);
    }
    defaults->synchronize();
}

bool RatePrompt::ratingConditionsHaveBeenMet() const
{
    Settings current = settings();
    if (current.debug)
        return true;
    auto defaults = NSUserDefaults::standardUserDefaults();
    double time = now();
    if (time - defaults->doubleForKey(kFirstUseDate) < current.daysUntilPrompt * 86400)
        return false;
    if (!(defaults->integerForKey(kUseCount) > current.usesUntilPrompt))
        return false;
    if (!(defaults->integerForKey(kSignificantEventCount) > current.significantEventsUntilPrompt))
        return false;
    if (defaults->boolForKey(kDeclinedToRate) || defaults->boolForKey(kRatedCurrentVersion))
        return false;
    if (time - defaults->doubleForKey(kReminderRequestDate) < current.timeBeforeReminding * 86400)
        return false;
    return true;
}

void RatePrompt::incrementAndRate(bool canPromptForRating)
{
    incrementUseCount();
    // FIXME: the network test before the alert comes with the accounts and settings subsystem.
    if (canPromptForRating && ratingConditionsHaveBeenMet()) {
        Weak<RatePrompt> weak = self<RatePrompt>();
        dispatch_async(dispatch_get_main_queue(), [weak] {
            if (auto prompt = weak.lock())
                prompt->showRatingAlert();
        });
    }
}

void RatePrompt::showRatingAlert()
{
    std::string name = displayName();
    std::string rate = NSString::stringWithFormat(localized("Rate %@"), name);
    m_ratingAlert = UIAlertView::initWithTitle(rate,
        NSString::stringWithFormat(
            localized("If you enjoy using %@, would you mind taking a moment to rate it? It won't take more "
                      "than a minute. Thanks for your support!"),
            name),
        this, self<RatePrompt>(), localized("No, Thanks"), { rate, localized("Remind me later") });
    m_ratingAlert->show();
}

void RatePrompt::alertViewDidDismissWithButtonIndex(const Ref<UIAlertView>&, int32_t buttonIndex)
{
    auto defaults = NSUserDefaults::standardUserDefaults();
    switch (buttonIndex) {
    case 0:
        defaults->setBool(true, kDeclinedToRate);
        defaults->synchronize();
        break;
    case 1:
        rateApp();
        break;
    case 2:
        defaults->setDouble(now(), kReminderRequestDate);
        defaults->synchronize();
        break;
    default:
        break;
    }
}

void RatePrompt::rateApp()
{
    auto defaults = NSUserDefaults::standardUserDefaults();
    defaults->setBool(true, kRatedCurrentVersion);
    defaults->synchronize();
    std::string link = "itms-apps://apps.store.invalid/app/idAPP_ID";
    link.replace(link.find("APP_ID"), 6, appId());
    if (auto application = UIApplication::sharedApplication())
        application->openURL(link);
}
