#include "sdk/HBRStoreUpdateManager.h"

#include "foundation/NSBundle.h"
#include "foundation/NSDate.h"
#include "foundation/NSJSONSerialization.h"
#include "foundation/NSLocale.h"
#include "foundation/NSLog.h"
#include "foundation/NSNotificationCenter.h"
#include "foundation/NSOperationQueue.h"
#include "foundation/NSRunLoop.h"
#include "foundation/NSUserDefaults.h"
#include "net/NSMutableURLRequest.h"
#include "net/NSURL.h"
#include "net/NSURLConnection.h"
#include "sdk/HBRHarborHelper.h"
#include "uikit/UIApplication.h"

#include <cmath>

VX_REGISTER_CLASS(HBRStoreUpdateManager);

namespace {

constexpr const char* HBRLogClassName = "HBRStoreUpdateManager";
constexpr const char* kDateOfLastCheck = "HBRStoreUpdateDateOfLastCheck";
constexpr const char* kLastUUID = "HBRStoreUpdateLastUUID";
constexpr const char* kLastStoreVersion = "HBRStoreUpdateLastStoreVersion";
constexpr const char* kIgnoredVersion = "HBRStoreUpdateIgnoredVersion";

double now()
{
    return NSDate::date()->timeIntervalSince1970();
}

std::optional<std::string> stringDefault(const char* key)
{
    Value value = NSUserDefaults::standardUserDefaults()->objectForKey(key);
    if (value.isString())
        return value.string();
    return std::nullopt;
}

} // namespace

HBRStoreUpdateManager::~HBRStoreUpdateManager()
{
    removeObservers({ &m_becomeActiveObserver, &m_networkObserver });
}

void HBRStoreUpdateManager::init()
{
    HBRHarborBaseManager::init();
    m_currentUUID = executableUUID();
    if (!HBRResourcesBundle())
        NSLog("[HarborSDK] WARNING: %@ is missing, built in UI is deactivated!", std::string(kHBRResourcesBundleName));
}

void HBRStoreUpdateManager::setLastCheck(double secondsSince1970)
{
    if (m_lastCheck == secondsSince1970)
        return;
    m_lastCheck = secondsSince1970;
    storeDateInUserDefaults(m_lastCheck, kDateOfLastCheck);
}

void HBRStoreUpdateManager::startManager()
{
    if (shouldCancelProcessing())
        return;
    HBRLog("INFO: Start UpdateManager");
    Value stored = NSUserDefaults::standardUserDefaults()->objectForKey(kDateOfLastCheck);
    setLastCheck(stored.isDate() ? stored.dateValue() : NSDate::distantPast()->timeIntervalSince1970());
    registerObservers();
    if (UIApplication::sharedApplication()->applicationState() == UIApplicationStateActive)
        didBecomeActiveActions();
}

void HBRStoreUpdateManager::registerObservers()
{
    auto becomeActive
        = [](HBRHarborBaseManager& manager) { static_cast<HBRStoreUpdateManager&>(manager).didBecomeActiveActions(); };
    observeNotification(m_becomeActiveObserver, UIApplicationDidBecomeActiveNotification, becomeActive);
    observeNotification(m_networkObserver, kHBRNetworkDidBecomeReachableNotification, becomeActive);
}

void HBRStoreUpdateManager::didBecomeActiveActions()
{
    if (shouldCancelProcessing() || !m_checkForUpdateOnLaunch || !shouldAutoCheckForUpdates())
        return;
    Weak<HBRStoreUpdateManager> weak = self<HBRStoreUpdateManager>();
    performSelectorAfterDelay(
        self<HBRStoreUpdateManager>(), "checkForUpdateDelayed",
        [weak] {
            if (auto manager = weak.lock())
                manager->checkForUpdateDelayed();
        },
        1.0);
}

bool HBRStoreUpdateManager::shouldAutoCheckForUpdates() const
{
    double since = std::fabs(now() - m_lastCheck);
    switch (m_updateSetting) {
    case 0:
        return since >= 86400;
    case 1:
        return since >= 7 * 86400;
    default:
        return false;
    }
}

void HBRStoreUpdateManager::checkForUpdateManual(bool manual)
{
    if (shouldCancelProcessing() || m_checkInProgress)
        return;
    m_checkInProgress = true;
    if (!manual && !shouldAutoCheckForUpdates()) {
        HBRLog("INFO: Update check not needed right now");
        m_checkInProgress = false;
        return;
    }
    std::string country = m_countryCode.value_or("");
    if (country.empty()) {
        auto locale = m_currentLocale ? m_currentLocale : NSLocale::currentLocale();
        Value code = locale ? locale->objectForKey(NSLocaleCountryCode) : Value();
        if (code.isString())
            country = code.string();
    }
    if (country.empty()) {
        HBRLog("ERROR: Locale returned nil, can't determine the store to use!");
        m_checkInProgress = false;
        return;
    }
    std::string url = std::string(kStoreLookupBaseURL)
        + NSString::stringWithFormat("lookup?bundleId=%@%@", HBRURLEncodeString(HBRMainBundleIdentifier()),
            NSString::stringWithFormat("&country=%@", country));
    HBRLog("INFO: Sending request to %@", url);
    auto request = NSMutableURLRequest::requestWithURLCachePolicyTimeoutInterval(
        NSURL::URLWithString(url), NSURLRequestReloadIgnoringLocalCacheData, 10.0);
    request->setHTTPMethod("GET");
    request->setValueForHTTPHeaderField("gzip", "Accept-Encoding");
    Weak<HBRStoreUpdateManager> weak = self<HBRStoreUpdateManager>();
    NSURLConnection::sendAsynchronousRequestQueueCompletionHandler(request, NSOperationQueue::mainQueue(),
        [weak](const Ref<NSURLResponse>&, const Value& data, const Ref<NSError>& error) {
            auto manager = weak.lock();
            if (!manager)
                return;
            manager->m_checkInProgress = false;
            if (error) {
                manager->reportError(error);
                return;
            }
            if (!data.isData() || data.bytes().empty())
                return;
            auto text = NSString::stringWithBytes(data.bytes().data(), data.bytes().size(), NSUTF8StringEncoding);
            if (!text)
                return;
            HBRDebugLogLine(
                "-[HBRStoreUpdateManager checkForUpdateManual:]", __LINE__, "INFO: Received API response: %@", *text);
            manager->processStoreResponseWithString(text);
        });
}

bool HBRStoreUpdateManager::processStoreResponseWithString(const std::optional<std::string>& text)
{
    if (!text)
        return false;
    Ref<NSError> error;
    Value answer = NSJSONSerialization::JSONObjectWithData(std::string_view(*text), 0, &error);
    if (error || answer.isNil()) {
        HBRLog("ERROR: Invalid JSON string. %@", error ? error->localizedDescription() : std::string());
        return false;
    }
    setLastCheck(now());
    m_updateAvailable = hasNewVersion(answer);
    HBRLog("INFO: Update available: %i", int(m_updateAvailable));
    if (m_lastCheckFailed) {
        HBRLog("ERROR: Last check failed");
        return false;
    }
    if (m_updateAvailable) {
        if (auto target = delegate())
            target->detectedUpdateFromStoreUpdateManagerNewVersionStoreURL(
                *this, m_newStoreVersion.value_or(""), m_appStoreURLString.value_or(""));
        if (m_updateUIEnabled && HBRResourcesBundle())
            showUpdateAlert();
        else
            storeIgnoredVersion();
    }
    return true;
}

bool HBRStoreUpdateManager::hasNewVersion(const Value& answer)
{
    m_lastCheckFailed = true;
    auto baseline = lastStoreVersion();
    const Value& results = answer.isDictionary() ? answer["results"] : Value();
    if (!results.isArray() || results.count() == 0)
        return false;
    m_lastCheckFailed = false;
    const Value& first = results[0];
    m_newStoreVersion = first["version"].isString() ? std::optional(first["version"].string()) : std::nullopt;
    m_appStoreURLString
        = first["trackViewUrl"].isString() ? std::optional(first["trackViewUrl"].string()) : std::nullopt;
    auto ignored = stringDefault(kIgnoredVersion);
    if (ignored)
        HBRLog("INFO: Ignored version: %@", *ignored);
    if (!m_newStoreVersion || !m_appStoreURLString || (ignored && *ignored == *m_newStoreVersion))
        return false;
    if (baseline) {
        HBRLog("INFO: Compare new version string %@ with %@", *m_newStoreVersion, *baseline);
        return HBRCompareVersionStrings(*m_newStoreVersion, *baseline) == NSOrderedDescending;
    }
    auto defaults = NSUserDefaults::standardUserDefaults();
    defaults->setObjectForKey(m_currentUUID, kLastUUID);
    defaults->setObjectForKey(*m_newStoreVersion, kLastStoreVersion);
    defaults->synchronize();
    return false;
}

std::optional<std::string> HBRStoreUpdateManager::lastStoreVersion()
{
    auto stored = stringDefault(kLastStoreVersion);
    auto uuid = stringDefault(kLastUUID);
    if (uuid && *uuid != m_currentUUID) {
        // The application was updated: its store version is taken again at the next answer.
        auto defaults = NSUserDefaults::standardUserDefaults();
        defaults->setObjectForKey(m_currentUUID, kLastUUID);
        defaults->removeObjectForKey(kLastStoreVersion);
        defaults->synchronize();
        return std::nullopt;
    }
    return stored;
}

void HBRStoreUpdateManager::storeIgnoredVersion()
{
    if (!m_newStoreVersion)
        return;
    auto defaults = NSUserDefaults::standardUserDefaults();
    defaults->setObjectForKey(*m_newStoreVersion, kIgnoredVersion);
    defaults->synchronize();
}

void HBRStoreUpdateManager::showUpdateAlert()
{
    if (m_updateAlertShowing)
        return;
    std::string version = NSString::stringWithFormat(
        "%@ %@", HBRLocalizedString(std::string("UpdateVersion")), m_newStoreVersion.value_or(""));
    auto alert = UIAlertView::initWithTitle(HBRLocalizedString(std::string("UpdateAvailable")),
        NSString::stringWithFormat(HBRLocalizedString(std::string("UpdateAlertTextWithAppVersion")), version), this,
        self<HBRStoreUpdateManager>(), HBRLocalizedString(std::string("UpdateIgnore")),
        { HBRLocalizedString(std::string("UpdateRemindMe")), HBRLocalizedString(std::string("UpdateShow")) });
    m_updateAlertShowing = true;
    alert->show();
}

void HBRStoreUpdateManager::alertViewDidDismissWithButtonIndex(const Ref<UIAlertView>& alert, int32_t buttonIndex)
{
    m_updateAlertShowing = false;
    if (buttonIndex == alert->cancelButtonIndex()) {
        storeIgnoredVersion();
    } else if (buttonIndex == alert->firstOtherButtonIndex() + 1) {
        storeIgnoredVersion();
        if (m_appStoreURLString && !m_appStoreURLString->empty())
            UIApplication::sharedApplication()->openURL(*m_appStoreURLString);
        else
            HBRLog(
                "WARNING: The app store page couldn't be opened, since we did not get a valid URL from the store API.");
    }
}

void HBRStoreUpdateManager::reportError(const Ref<NSError>& error)
{
    HBRLog("ERROR: %@", error ? error->localizedDescription() : std::string());
    m_lastCheckFailed = true;
}
