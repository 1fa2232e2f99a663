// The application delegate's entry points for pushes, background fetches and links. They hand
// their work to the live feed (plane searches and polls), the alert manager (the push token),
// the settings and the map screen (chart messages).
#include "app/application/KESTAppDelegate.h"

#include "app/core/KESTAlertManager.h"
#include "app/core/KESTLiveDataManager.h"
#include "app/core/KESTSettingsManager.h"
#include "app/view-controllers/map/KESTMapContainerViewController.h"
#include "app/view-controllers/map/KESTMapViewController.h"
#include "app/widgets/BlockAlertView.h"
#include "foundation/NSBundle.h"
#include "foundation/NSLog.h"
#include "foundation/NSString.h"
#include "net/NSURL.h"
#include "uikit/UIApplication.h"
#include "uikit/UINavigationController.h"

#include <memory>

namespace {

// The map screen shown by the root container, if any.
Ref<KESTMapViewController> mapScreenOf(const Ref<UIViewController>& root)
{
    auto container = std::dynamic_pointer_cast<KESTMapContainerViewController>(root);
    return container ? container->mapViewController() : nullptr;
}

// Calls the platform's handler at most once, whichever path finishes the work.
UIApplicationDelegate::FetchCompletion once(const UIApplicationDelegate::FetchCompletion& completion)
{
    auto called = std::make_shared<std::atomic<bool>>(false);
    return [completion, called](UIBackgroundFetchResult result) {
        if (completion && !called->exchange(true))
            completion(result);
    };
}

} // namespace

// Missing arguments are empty texts; the checked formatter keeps a bad format from reading
// arguments that are not there.
std::string KESTAppDelegate::pushAlertMessage(const Value& alert)
{
    std::string format = NSLocalizedString(alert["loc-key"].stringValue());
    Value args = alert["loc-args"];
    std::string parts[3];
    for (size_t i = 0; i < 3; ++i) {
        if (args.isArray() && i < args.count())
            parts[i] = args[i].stringValue();
    }
    return NSString::stringWithFormat(format, parts[0], parts[1], parts[2]);
}

Value KESTAppDelegate::pushSearch(const Value& custom)
{
    if (custom.isDictionary() && !custom["adshex"].isNil())
        return Value::dictionary({ { Value("adshex"), Value(custom["adshex"].stringValue()) } });
    return Value();
}

void KESTAppDelegate::applicationDidRegisterForRemoteNotificationsWithDeviceToken(
    const Ref<UIApplication>&, const Value& token)
{
    KESTAlertManager::sharedInstance()->registerDeviceWithServer(token);
}

bool KESTAppDelegate::applicationDidReceiveRemoteNotificationFetchCompletionHandler(
    const Ref<UIApplication>& application, const Value& payload, const FetchCompletion& completion)
{
    auto handler = once(completion);
    Value custom = payload["custom"];
    if (custom.isDictionary() && !custom["chart"].isNil()) {
        std::string message = custom["message"].stringValue();
        if (auto screen = mapScreenOf(m_mapContainerVC)) {
            playBong();
            screen->chartAlert(message);
        }
        // Nothing was fetched for a chart message; the platform still gets its one answer.
        handler(UIBackgroundFetchResultNoData);
        return true;
    }

    Value search = pushSearch(custom);
    auto feed = KESTLiveDataManager::sharedInstance();
    auto feedHandler = [handler](int32_t result) { handler(static_cast<UIBackgroundFetchResult>(result)); };

    bool active = application && application->applicationState() == UIApplicationStateActive;
    if (!active) {
        feed->performBackgroundFullPollWithSearchAndCompletionHandler(search, feedHandler);
        return true;
    }

    playBong();
    auto alert = BlockAlertView::initWithTitleMessageCancelButtonTitleOtherButtonTitles(NSLocalizedString("Alert"),
        pushAlertMessage(payload["aps"]["alert"]), NSLocalizedString("Cancel"), { NSLocalizedString("View") });
    Weak<KESTAppDelegate> weak = self<KESTAppDelegate>();
    alert->showWithDismissHandler([weak, search, feedHandler, handler](int32_t, bool isCancel) {
        if (isCancel) {
            handler(UIBackgroundFetchResultNoData);
            return;
        }
        KESTLiveDataManager::sharedInstance()->performBackgroundFullPollWithSearchAndCompletionHandler(
            search, feedHandler);
        auto self = weak.lock();
        auto screen = self ? mapScreenOf(self->m_mapContainerVC) : nullptr;
        if (!screen)
            return;
        if (screen->presentedViewController())
            screen->dismissViewControllerAnimatedCompletion(true, nullptr);
        if (auto navigation = screen->navigationController())
            navigation->popToRootViewControllerAnimated(true);
    });
    return true;
}

bool KESTAppDelegate::applicationPerformFetchWithCompletionHandler(
    const Ref<UIApplication>&, const FetchCompletion& completion)
{
    auto handler = once(completion);
    KESTLiveDataManager::sharedInstance()->performDeltaPollWithCompletionHandler(
        [handler](int32_t result) { handler(static_cast<UIBackgroundFetchResult>(result)); });
    return true;
}

bool KESTAppDelegate::applicationOpenURLSourceApplicationAnnotation(
    const Ref<UIApplication>&, const std::string& text, const std::string&, const Value&)
{
    auto url = text.empty() ? nullptr : NSURL::URLWithString(text);
    if (!url)
        return false;
    std::string scheme = url->scheme();
    if (scheme == "vxvolantrix" || scheme == "vxvolantrixbeta")
        parseURLForLaunch(url);
    return true;
}

void KESTAppDelegate::parseURLForLaunch(const Ref<NSURL>& url)
{
    if (!url)
        return;
    Value query = parseQueryString(url->query());
    if (Value flight = query["flight"]; !flight.isNil())
        KESTLiveDataManager::sharedInstance()->performFullPollWithSearch(
            Value::dictionary({ { Value("callsign"), flight } }));
    if (Value debug = query["markerdebug"]; !debug.isNil())
        KESTSettingsManager::sharedInstance()->setValueForSetting(debug, "kMarkerDebug");
    if (Value filter = query["addfilter"]; !filter.isNil())
        NSLog("%@", filter.stringValue());
}

Value KESTAppDelegate::parseQueryString(const std::optional<std::string>& query)
{
    Value result = Value::mutableDictionary();
    if (!query)
        return result;
    for (const auto& part : NSString::componentsSeparatedByString(*query, "&")) {
        auto pieces = NSString::componentsSeparatedByString(part, "=");
        if (pieces.size() < 2)
            continue;
        auto key = NSString::stringByRemovingPercentEncoding(pieces[0]);
        auto value = NSString::stringByRemovingPercentEncoding(pieces[1]);
        if (!key || !value)
            continue;
        result.setObjectForKey(Value(*value), Value(*key));
    }
    return result;
}
