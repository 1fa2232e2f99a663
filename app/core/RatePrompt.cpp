#include "app/core/RatePrompt.h"

#include "app/core/KESTServiceEndpoints.h"
#include "foundation/Clock.h"
#include "foundation/Dispatch.h"
#include "foundation/NSBundle.h"
#include "foundation/NSLog.h"
#include "foundation/NSNotificationCenter.h"
#include "foundation/NSRunLoop.h"
#include "foundation/NSString.h"
#include "foundation/NSUserDefaults.h"
#include "net/NSURL.h"
#include "net/NSURLConnection.h"
#include "net/NSURLRequest.h"
#include "sysconfig/SCNetworkReachability.h"
#include "uikit/UIApplication.h"
#include "uikit/UIDevice.h"
#include "uikit/UIViewController.h"
#include "uikit/UIWindow.h"

#include <netinet/in.h>

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
    bool usesAnimation = true;
    bool alwaysUseMainBundle = false;
    bool modalOpen = false;
    int32_t statusBarStyle = 0;
    std::weak_ptr<RatePromptDelegate> delegate;
};

// Answers the network test's request and ignores what it hears.
class NetworkProbe : public NSObject, public NSURLConnectionDelegate {
    VX_OBJECT(NetworkProbe, NSObject)
public:
    explicit NetworkProbe(Passkey key)
        : NSObject(key)
    {
    }
    static Ref<NetworkProbe> init() { return make<NetworkProbe>(); }
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
    return RatePrompt::bundle()->localizedStringForKey(key, "", "RatePromptLocalizable");
}

std::string displayName()
{
    auto bundle = NSBundle::mainBundle();
    Value localizedInfo = bundle->localizedInfoDictionary();
    Value name = localizedInfo.isDictionary() ? localizedInfo["CFBundleDisplayName"] : Value();
    if (!name.isString())
        name = bundle->objectForInfoDictionaryKey("CFBundleDisplayName");
    return name.isString() ? name.stringValue() : std::string();
}

bool systemIsAtLeast7()
{
    return std::atof(UIDevice::currentDevice()->systemVersion().c_str()) >= 7.0;
}

} // namespace

Ref<RatePrompt> RatePrompt::sharedInstance()
{
    std::lock_guard guard(s_lock);
    if (!s_instance) {
        s_instance = make<RatePrompt>();
        s_instance->m_openInAppStore = systemIsAtLeast7();
        s_instance->m_delegate = s_settings.delegate;
        NSNotificationCenter::defaultCenter()->addObserverForName(UIApplicationWillResignActiveNotification, nullptr,
            nullptr, [](const Ref<NSNotification>&) { RatePrompt::appWillResignActive(); });
    }
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

void RatePrompt::setDelegate(std::weak_ptr<RatePromptDelegate> delegate)
{
    std::lock_guard guard(s_lock);
    s_settings.delegate = delegate;
    // An instance made before the delegate was set hears it too.
    if (s_instance)
        s_instance->m_delegate = std::move(delegate);
}

void RatePrompt::appLaunched(bool canPromptForRating)
{
    sharedInstance()->countAndRate(false, canPromptForRating);
}

void RatePrompt::userDidSignificantEvent(bool canPromptForRating)
{
    sharedInstance()->countAndRate(true, canPromptForRating);
}

void RatePrompt::countAndRate(bool significantEvent, bool canPromptForRating)
{
    // Off the main thread, one count at a time: two counts running side by side would each read
    // the stored count and write back the same next value, losing a use.
    static const dispatch_queue_t s_countingQueue
        = dispatch_queue_create("com.kestravon.volantrix.rateprompt", DISPATCH_QUEUE_SERIAL);
    auto instance = self<RatePrompt>();
    dispatch_async(s_countingQueue, [instance, significantEvent, canPromptForRating] {
        if (significantEvent)
            instance->incrementSignificantEventAndRate(canPromptForRating);
        else
            instance->incrementAndRate(canPromptForRating);
    });
}

void RatePrompt::appEnteredForeground(bool canPromptForRating)
{
    appLaunched(canPromptForRating);
}

namespace {

// Counts one use or one significant event of the running build. The first count of a new build
// starts every counter, date and flag afresh: a use dates the first use now, an event leaves it
// for the next counted use.
void countForBuild(bool significantEvent)
{
    const char* counter = significantEvent ? kSignificantEventCount : kUseCount;
    auto defaults = NSUserDefaults::standardUserDefaults();
    std::string version = buildVersion();
    Value tracked = defaults->objectForKey(kCurrentVersion);
    std::string trackedVersion = tracked.isString() ? tracked.stringValue() : version;
    if (!tracked.isString())
        defaults->setObjectForKey(Value(version), kCurrentVersion);
    if (RatePrompt::debug())
        NSLog("RATEPROMPT Tracking version: %@", trackedVersion);
    if (trackedVersion == version) {
        if (defaults->doubleForKey(kFirstUseDate) == 0)
            defaults->setDouble(now(), kFirstUseDate);
        int32_t count = defaults->integerForKey(counter) + 1;
        defaults->setInteger(count, counter);
        if (RatePrompt::debug())
            NSLog(
                significantEvent ? "RATEPROMPT Significant event count: %@" : "RATEPROMPT Use count: %@", Value(count));
    } else {
        defaults->setObjectForKey(Value(version), kCurrentVersion);
        defaults->setDouble(significantEvent ? 0 : now(), kFirstUseDate);
        defaults->setInteger(significantEvent ? 0 : 1, kUseCount);
        defaults->setInteger(significantEvent ? 1 : 0, kSignificantEventCount);
        defaults->setBool(false, kRatedCurrentVersion);
        defaults->setBool(false, kDeclinedToRate);
        defaults->setDouble(0, kReminderRequestDate);
    }
    defaults->synchronize();
}

} // namespace

void RatePrompt::incrementUseCount()
{
    countForBuild(false);
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

void RatePrompt::incrementSignificantEventCount()
{
    countForBuild(true);
}

bool RatePrompt::userHasDeclinedToRate() const
{
    return NSUserDefaults::standardUserDefaults()->boolForKey(kDeclinedToRate);
}

bool RatePrompt::userHasRatedCurrentVersion() const
{
    return NSUserDefaults::standardUserDefaults()->boolForKey(kRatedCurrentVersion);
}

bool RatePrompt::connectedToNetwork()
{
    sockaddr_in zero {};
    zero.sin_family = AF_INET;
    auto reachability = SCNetworkReachabilityCreateWithAddress(nullptr, reinterpret_cast<const sockaddr*>(&zero));
    SCNetworkReachabilityFlags flags = 0;
    if (!reachability || !SCNetworkReachabilityGetFlags(reachability, &flags)) {
        NSLog("Error. Could not recover network reachability flags");
        return false;
    }
    // A throw-away request for a public page; its answer is never looked at.
    Ref<NSURLConnection> connection;
    if (auto url = NSURL::URLWithString(KESTServiceEndpoints::productSiteBaseURL())) {
        connection = NSURLConnection::initWithRequestDelegateStartImmediately(
            NSURLRequest::requestWithURLCachePolicyTimeoutInterval(url, NSURLRequestCachePolicy(1), 20.0),
            NetworkProbe::init(), false);
        if (connection) {
            // Heard on the main run loop, which always runs, rather than on this worker thread's.
            connection->scheduleInRunLoopForMode(NSRunLoop::mainRunLoop(), NSDefaultRunLoopMode);
            connection->start();
        }
    }
    bool reachable
        = (flags & kSCNetworkReachabilityFlagsReachable) && !(flags & kSCNetworkReachabilityFlagsConnectionRequired);
    bool transient = flags & kSCNetworkReachabilityFlagsTransientConnection;
    return (reachable || transient) && connection;
}

void RatePrompt::incrementSignificantEventAndRate(bool canPromptForRating)
{
    incrementSignificantEventCount();
    if (canPromptForRating && ratingConditionsHaveBeenMet() && connectedToNetwork()) {
        Weak<RatePrompt> weak = self<RatePrompt>();
        dispatch_async(dispatch_get_main_queue(), [weak] {
            if (auto prompt = weak.lock())
                prompt->showRatingAlert();
        });
    }
}

void RatePrompt::incrementAndRate(bool canPromptForRating)
{
    incrementUseCount();
    if (canPromptForRating && ratingConditionsHaveBeenMet() && connectedToNetwork()) {
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
    if (auto listener = delegate())
        listener->ratePromptDidDisplayAlert(self<RatePrompt>());
}

void RatePrompt::hideRatingAlert()
{
    if (!m_ratingAlert || !m_ratingAlert->isVisible())
        return;
    if (debug())
        NSLog("RATEPROMPT Hiding Alert");
    m_ratingAlert->dismissWithClickedButtonIndexAnimated(-1, false);
}

void RatePrompt::appWillResignActive()
{
    if (debug())
        NSLog("RATEPROMPT appWillResignActive");
    sharedInstance()->hideRatingAlert();
}

void RatePrompt::showPrompt()
{
    auto prompt = sharedInstance();
    if (prompt->connectedToNetwork() && !prompt->userHasDeclinedToRate() && !prompt->userHasRatedCurrentVersion())
        prompt->showRatingAlert();
}

void RatePrompt::setUsesAnimation(bool animated)
{
    std::lock_guard guard(s_lock);
    s_settings.usesAnimation = animated;
}

void RatePrompt::setAlwaysUseMainBundle(bool always)
{
    std::lock_guard guard(s_lock);
    s_settings.alwaysUseMainBundle = always;
}

void RatePrompt::setOpenInAppStore(bool open)
{
    sharedInstance()->m_openInAppStore = open;
}

bool RatePrompt::modalOpen()
{
    return settings().modalOpen;
}

Ref<NSBundle> RatePrompt::bundle()
{
    auto main = NSBundle::mainBundle();
    if (settings().alwaysUseMainBundle)
        return main;
    auto path = main->pathForResource("RatePrompt", "bundle");
    if (path) {
        if (auto own = NSBundle::bundleWithPath(*path))
            return own;
    }
    return main;
}

Ref<UIViewController> RatePrompt::topMostViewController(const Ref<UIViewController>& controller)
{
    auto top = controller;
    while (top && top->presentedViewController())
        top = top->presentedViewController();
    return top;
}

Ref<UIViewController> RatePrompt::getRootViewController()
{
    auto application = UIApplication::sharedApplication();
    if (!application)
        return nullptr;
    auto window = application->keyWindow();
    if (!window || window->windowLevel() != UIWindowLevelNormal) {
        window = nullptr;
        for (const auto& candidate : application->windows()) {
            if (candidate->windowLevel() == UIWindowLevelNormal) {
                window = candidate;
                break;
            }
        }
    }
    if (!window)
        return nullptr;
    for (const auto& subview : window->subviews()) {
        if (auto controller = std::dynamic_pointer_cast<UIViewController>(subview->nextResponder()))
            return topMostViewController(controller);
    }
    return nullptr;
}

void RatePrompt::closeModal()
{
    Settings current = settings();
    if (!current.modalOpen)
        return;
    auto application = UIApplication::sharedApplication();
    if (application)
        application->setStatusBarStyleAnimated(UIStatusBarStyle(current.statusBarStyle), current.usesAnimation);
    {
        std::lock_guard guard(s_lock);
        s_settings.modalOpen = false;
    }
    auto window = application ? application->keyWindow() : nullptr;
    auto root = window ? window->rootViewController() : nullptr;
    if (auto sheet = topMostViewController(root); sheet && sheet != root) {
        bool animated = current.usesAnimation;
        sheet->dismissViewControllerAnimatedCompletion(animated, [animated] {
            if (auto listener = sharedInstance()->delegate())
                listener->ratePromptDidDismissModalViewAnimated(RatePrompt::classObject(), animated);
        });
    }
    std::lock_guard guard(s_lock);
    s_settings.statusBarStyle = 0;
}

void RatePrompt::alertViewDidDismissWithButtonIndex(const Ref<UIAlertView>&, int32_t buttonIndex)
{
    auto defaults = NSUserDefaults::standardUserDefaults();
    auto protectedThis = self<RatePrompt>();
    switch (buttonIndex) {
    case 0:
        defaults->setBool(true, kDeclinedToRate);
        defaults->synchronize();
        if (auto listener = delegate())
            listener->ratePromptDidDeclineToRate(protectedThis);
        break;
    case 1:
        rateApp();
        if (auto listener = delegate())
            listener->ratePromptDidOptToRate(protectedThis);
        break;
    case 2:
        defaults->setDouble(now(), kReminderRequestDate);
        defaults->synchronize();
        if (auto listener = delegate())
            listener->ratePromptDidOptToRemindLater(protectedThis);
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
    auto prompt = sharedInstance();
    if (!prompt->m_openInAppStore) {
        auto sheet = SKStoreProductViewController::init();
        sheet->loadProductWithParametersCompletionBlock(
            Value::dictionary({ { SKStoreProductParameterITunesItemIdentifier, Value(std::atoi(appId().c_str())) } }),
            nullptr);
        sheet->setDelegate(prompt.get(), prompt);
        auto presenter = getRootViewController();
        if (!presenter)
            return;
        bool animated = settings().usesAnimation;
        if (auto listener = prompt->delegate())
            listener->ratePromptWillPresentModalViewAnimated(prompt, animated);
        presenter->presentViewControllerAnimatedCompletion(sheet, animated, [animated] {
            auto application = UIApplication::sharedApplication();
            std::lock_guard guard(s_lock);
            s_settings.modalOpen = true;
            if (application) {
                s_settings.statusBarStyle = int32_t(application->statusBarStyle());
                application->setStatusBarStyleAnimated(UIStatusBarStyle(1), animated);
            }
        });
        return;
    }
    std::string link = systemIsAtLeast7() ? "itms-apps://apps.store.invalid/app/idAPP_ID"
                                          : "itms-apps://apps.store.invalid/WebObjects/MZStore.woa/wa/"
                                            "viewContentsUserReviews?type=Purple+Software&id=APP_ID";
    link.replace(link.find("APP_ID"), 6, appId());
    if (auto application = UIApplication::sharedApplication())
        application->openURL(link);
}
