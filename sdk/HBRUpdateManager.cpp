#include "sdk/HBRUpdateManager.h"

#include "foundation/Locked.h"
#include "foundation/NSBundle.h"
#include "foundation/NSDate.h"
#include "foundation/NSDateFormatter.h"
#include "foundation/NSFileManager.h"
#include "foundation/NSJSONSerialization.h"
#include "foundation/NSKeyedArchiver.h"
#include "foundation/NSKeyedUnarchiver.h"
#include "foundation/NSLog.h"
#include "foundation/NSNotificationCenter.h"
#include "foundation/NSOperationQueue.h"
#include "foundation/NSRunLoop.h"
#include "foundation/NSTimeZone.h"
#include "foundation/NSUserDefaults.h"
#include "foundation/Sandbox.h"
#include "net/NSHTTPURLResponse.h"
#include "net/NSMutableURLRequest.h"
#include "net/NSURL.h"
#include "sdk/HBRHarborHelper.h"
#include "sdk/HBRUpdateViewController.h"
#include "uikit/UIApplication.h"
#include "uikit/UIDevice.h"

#include <algorithm>
#include <cmath>

VX_REGISTER_CLASS(HBRUpdateManager);

namespace {

constexpr const char* HBRLogClassName = "HBRUpdateManager";
constexpr const char* kDateOfLastCheck = "HBRUpdateDateOfLastCheck";
constexpr const char* kArrayOfLastCheck = "HBRUpdateArrayOfLastCheck";
constexpr const char* kInstalledUUID = "HBRUpdateInstalledUUID";
constexpr const char* kInstalledVersionID = "HBRUpdateInstalledVersionID";
constexpr const char* kCompanyName = "HBRUpdateCurrentCompanyName";
constexpr const char* kUsageTimeForUUID = "HBRUpdateUsageTimeForUUID";
constexpr const char* kDateOfInstallation = "HBRUpdateDateOfVersionInstallation";
constexpr const char* kUsageTimeOfCurrentVersion = "HBRUpdateUsageTimeOfCurrentVersion";

Locked<std::string> s_executableUUIDOverride;

double now()
{
    return NSDate::date()->timeIntervalSince1970();
}

} // namespace

HBRUpdateManager::~HBRUpdateManager()
{
    unregisterObservers();
    removeObservers({ &m_terminateObserver, &m_resignActiveObserver });
    if (m_urlConnection)
        m_urlConnection->cancel();
}

void HBRUpdateManager::setExecutableUUIDForTesting(std::string uuid)
{
    s_executableUUIDOverride.set(std::move(uuid));
}

void HBRUpdateManager::init()
{
    HBRHarborBaseManager::init();
    auto bundle = NSBundle::mainBundle();
    m_currentAppVersion = bundle->objectForInfoDictionaryKey("CFBundleVersion").stringValue();
    std::string overridden = s_executableUUIDOverride.get();
    m_uuid = overridden.empty() ? executableUUID() : overridden;

    auto defaults = NSUserDefaults::standardUserDefaults();
    Value stored = defaults->objectForKey(kDateOfLastCheck);
    setLastCheck(stored.isDate() ? stored.dateValue() : NSDate::distantPast()->timeIntervalSince1970());

    if (!HBRResourcesBundle())
        NSLog("[HarborSDK] WARNING: %@ is missing, make sure it is added!", std::string(kHBRResourcesBundleName));

    auto support = NSSearchPathForDirectoriesInDomains(NSApplicationSupportDirectory, NSUserDomainMask, true);
    m_updateDir = (support.empty() ? std::string() : support[0]) + "/net.harborapp.sdk.ios";
    m_usageDataFile = m_updateDir + "/HBRUpdateManager.plist";
    auto files = NSFileManager::defaultManager();
    if (!files->fileExistsAtPath(m_updateDir))
        files->createDirectoryAtPath(
            m_updateDir, true, Value::dictionary({ { NSFilePosixPermissions, 0755 } }), nullptr);

    loadAppCache();
    loadAppVersionUsageData();
    startUsage();

    // Usage periods end when the application resigns or terminates.
    auto stop = [](HBRHarborBaseManager& manager) { static_cast<HBRUpdateManager&>(manager).stopUsage(); };
    observeNotification(m_terminateObserver, UIApplicationWillTerminateNotification, stop);
    observeNotification(m_resignActiveObserver, UIApplicationWillResignActiveNotification, stop);
}

void HBRUpdateManager::setDelegate(HBRUpdateManagerDelegate* delegate, Weak<NSObject> owner)
{
    m_delegate = { delegate, owner };
    if (auto target = m_delegate.get())
        if (auto answer = target->updateManagerShouldSendUsageData(*this))
            m_sendUsageData = *answer;
}

Value HBRUpdateManager::valueForKey(const std::string& key)
{
    if (key == "checkInProgress")
        return m_checkInProgress;
    if (key == "updateAvailable")
        return m_updateAvailable;
    if (key == "appVersions") {
        Value list = Value::mutableArray();
        for (const auto& version : m_appVersions)
            list.addObject(Value::object(version));
        return list;
    }
    return HBRHarborBaseManager::valueForKey(key);
}

void HBRUpdateManager::setCheckInProgress(bool value)
{
    setValueNotifying("checkInProgress", m_checkInProgress, value);
}

void HBRUpdateManager::setUpdateAvailable(bool value)
{
    setValueNotifying("updateAvailable", m_updateAvailable, value);
}

void HBRUpdateManager::setLastCheck(double secondsSince1970)
{
    if (m_lastCheck == secondsSince1970)
        return;
    m_lastCheck = secondsSince1970;
    storeDateInUserDefaults(m_lastCheck, kDateOfLastCheck);
}

void HBRUpdateManager::setAppVersions(const std::vector<Ref<HBRAppVersionMetaInfo>>& versions)
{
    if (!versions.empty() && versions == m_appVersions)
        return;
    willChangeValueForKey("appVersions");
    if (!versions.empty()) {
        m_appVersions = versions;
    } else {
        auto placeholder = HBRAppVersionMetaInfo::init();
        placeholder->setName(HBRAppDisplayName(HBRLocalizedString(std::string("HarborAppNamePlaceholder"))));
        placeholder->setVersion(m_currentAppVersion);
        placeholder->setShortVersion(NSBundle::mainBundle()->objectForInfoDictionaryKey("CFBundleShortVersionString"));
        m_appVersions = { placeholder };
    }
    didChangeValueForKey("appVersions");
}

Ref<HBRAppVersionMetaInfo> HBRUpdateManager::newestAppVersion() const
{
    return m_appVersions.empty() ? nullptr : m_appVersions.front();
}

void HBRUpdateManager::loadAppCache()
{
    auto defaults = NSUserDefaults::standardUserDefaults();
    Value installed = defaults->objectForKey(kInstalledUUID);
    m_firstStartAfterInstall = !installed.isString() || installed.string() != m_uuid;
    m_versionUUID = installed.isString() ? std::optional(installed.string()) : std::nullopt;
    Value id = defaults->objectForKey(kInstalledVersionID);
    m_versionID = id.isNumber() ? std::optional<int64_t>(id.longLongValue()) : std::nullopt;
    Value company = defaults->objectForKey(kCompanyName);
    m_companyName = company.isString() ? std::optional(company.string()) : std::nullopt;
    Value archive = defaults->objectForKey(kArrayOfLastCheck);
    if (archive.isData()) {
        Value list = NSKeyedUnarchiver::unarchiveObjectWithData(archive.bytes(), nullptr);
        if (list.isArray()) {
            std::vector<Ref<HBRAppVersionMetaInfo>> versions;
            for (const auto& element : list.elements())
                if (auto info = element.objectAs<HBRAppVersionMetaInfo>())
                    versions.push_back(info);
            setAppVersions(versions);
            checkUpdateAvailable();
            return;
        }
    }
    setAppVersions({});
}

void HBRUpdateManager::saveAppCache()
{
    auto defaults = NSUserDefaults::standardUserDefaults();
    if (m_companyName)
        defaults->setObjectForKey(*m_companyName, kCompanyName);
    if (m_versionUUID)
        defaults->setObjectForKey(*m_versionUUID, kInstalledUUID);
    if (m_versionID)
        defaults->setObjectForKey(Value(int64_t(*m_versionID)), kInstalledVersionID);
    Value list = Value::mutableArray();
    for (const auto& version : m_appVersions)
        list.addObject(Value::object(version));
    defaults->setObjectForKey(NSKeyedArchiver::archivedDataWithRootObject(list), kArrayOfLastCheck);
    defaults->synchronize();
}

void HBRUpdateManager::checkUpdateAvailable()
{
    auto newest = newestAppVersion();
    if (!newest)
        return;
    auto order = HBRCompareVersionStrings(newest->versionText(), m_currentAppVersion);
    if (order == NSOrderedDescending) {
        setUpdateAvailable(true);
        return;
    }
    if (order == NSOrderedAscending)
        return;
    setUpdateAvailable(false);
    if (m_firstStartAfterInstall) {
        if (newest->hasUUID(m_uuid)) {
            m_versionUUID = m_uuid;
            m_versionID
                = newest->versionID().isNumber() ? std::optional(newest->versionID().longLongValue()) : std::nullopt;
            saveAppCache();
            return;
        }
        for (size_t i = 1; i < m_appVersions.size(); ++i) {
            const auto& record = m_appVersions[i];
            if (HBRCompareVersionStrings(record->versionText(), m_currentAppVersion) != NSOrderedSame)
                break;
            if (record->hasUUID(m_uuid)) {
                m_versionUUID = m_uuid;
                m_versionID = record->versionID().isNumber() ? std::optional(record->versionID().longLongValue())
                                                             : std::nullopt;
                saveAppCache();
                setUpdateAvailable(true);
                break;
            }
        }
        return;
    }
    if (newest->versionID().isNumber() && m_versionID && newest->versionID().longLongValue() > *m_versionID)
        setUpdateAvailable(true);
}

bool HBRUpdateManager::hasNewerMandatoryVersion() const
{
    bool mandatory = false;
    for (const auto& record : m_appVersions) {
        if (record->versionText() == m_currentAppVersion
            || HBRCompareVersionStrings(record->versionText(), m_currentAppVersion) == NSOrderedAscending)
            break;
        mandatory |= record->isMandatory();
    }
    return mandatory;
}

void HBRUpdateManager::loadAppVersionUsageData()
{
    m_currentAppVersionUsageTime = 0;
    auto defaults = NSUserDefaults::standardUserDefaults();
    Value counted = defaults->objectForKey(kUsageTimeForUUID);
    if (!counted.isString() || counted.string() != m_uuid) {
        defaults->setDouble(NSDate::timeIntervalSinceReferenceDateNow(), kDateOfInstallation);
        defaults->setObjectForKey(m_uuid, kUsageTimeForUUID);
        storeUsageTimeOfCurrentVersion(0);
        return;
    }
    Value data = NSFileManager::defaultManager()->contentsAtPath(m_usageDataFile);
    if (!data.isData())
        return;
    auto archive = NSKeyedUnarchiver::initForReadingWithData(data.bytes(), nullptr);
    if (archive && archive->containsValueForKey(kUsageTimeOfCurrentVersion))
        m_currentAppVersionUsageTime = archive->decodeObjectForKey(kUsageTimeOfCurrentVersion).doubleValue();
}

void HBRUpdateManager::storeUsageTimeOfCurrentVersion(double seconds)
{
    auto archiver = NSKeyedArchiver::init();
    archiver->encodeObjectForKey(Value(seconds), kUsageTimeOfCurrentVersion);
    NSFileManager::defaultManager()->createFileAtPath(m_usageDataFile, archiver->encodedData(), Value());
    m_currentAppVersionUsageTime = seconds;
}

void HBRUpdateManager::startUsage()
{
    m_usageStartTimestamp = now();
}

void HBRUpdateManager::stopUsage()
{
    storeUsageTimeOfCurrentVersion(m_currentAppVersionUsageTime + (now() - m_usageStartTimestamp));
}

std::string HBRUpdateManager::currentUsageString() const
{
    if (m_currentAppVersionUsageTime <= 0)
        return "0";
    return NSString::stringWithFormat("%.0f", std::ceil(m_currentAppVersionUsageTime / 60.0) * 60.0);
}

std::string HBRUpdateManager::installationDateString() const
{
    auto formatter = NSDateFormatter::init();
    formatter->setDateFormat("MM/dd/yyyy");
    double installed = NSUserDefaults::standardUserDefaults()->doubleForKey(kDateOfInstallation);
    auto date = installed == 0 ? NSDate::date() : NSDate::dateWithTimeIntervalSinceReferenceDate(installed);
    return formatter->stringFromDate(date);
}

bool HBRUpdateManager::checkForUpdateIsDue() const
{
    switch (m_updateSetting) {
    case CheckStartup:
        return true;
    case CheckDaily:
        return std::fabs(now() - m_lastCheck) >= 86400;
    default:
        return false;
    }
}

void HBRUpdateManager::startManager()
{
    if (isAppStoreEnvironment()) {
        registerObservers();
        return;
    }
    if (m_disableUpdateManager)
        return;
    m_started = true;
    HBRLog("INFO: Starting UpdateManager");
    if (!m_checkForTracker && (!m_checkForUpdateOnLaunch || !checkForUpdateIsDue())) {
        registerObservers();
        return;
    }
    if (UIApplication::sharedApplication()->applicationState() == UIApplicationStateActive) {
        Weak<HBRUpdateManager> weak = self<HBRUpdateManager>();
        performSelectorAfterDelay(
            self<HBRUpdateManager>(), "checkForUpdate",
            [weak] {
                if (auto manager = weak.lock())
                    manager->checkForUpdate();
            },
            1.0);
    }
    registerObservers();
}

void HBRUpdateManager::registerObservers()
{
    observeNotification(
        m_enterBackgroundObserver, UIApplicationDidEnterBackgroundNotification, [](HBRHarborBaseManager& base) {
            auto& manager = static_cast<HBRUpdateManager&>(base);
            manager.m_didEnterBackgroundState
                = UIApplication::sharedApplication()->applicationState() == UIApplicationStateBackground;
        });
    auto becomeActive = [](HBRHarborBaseManager& base) {
        auto& manager = static_cast<HBRUpdateManager&>(base);
        if (manager.m_disableUpdateManager || !manager.m_didEnterBackgroundState)
            return;
        manager.m_didEnterBackgroundState = false;
        manager.startUsage();
        if (manager.m_checkForUpdateOnLaunch)
            manager.checkForUpdate();
    };
    observeNotification(m_becomeActiveObserver, UIApplicationDidBecomeActiveNotification, becomeActive);
    observeNotification(m_networkObserver, kHBRNetworkDidBecomeReachableNotification, becomeActive);
}

void HBRUpdateManager::unregisterObservers()
{
    removeObservers({ &m_enterBackgroundObserver, &m_becomeActiveObserver, &m_networkObserver });
}

void HBRUpdateManager::checkForUpdate()
{
    if (isAppStoreEnvironment())
        return;
    if (m_disableUpdateManager && !m_checkForTracker)
        return;
    if (!m_disableUpdateManager && m_updateAvailable && hasNewerMandatoryVersion())
        showCheckForUpdateAlert();
    checkForUpdateShowFeedback(false);
}

void HBRUpdateManager::checkForUpdateShowFeedback(bool feedback)
{
    if (isAppStoreEnvironment() || m_checkInProgress)
        return;
    m_showFeedback = feedback;
    setCheckInProgress(true);
    if (!m_checkForTracker && !checkForUpdateIsDue() && !m_currentHarborViewController) {
        HBRLog("INFO: Update not needed right now");
        setCheckInProgress(false);
        return;
    }
    std::string path = NSString::stringWithFormat(
        "api/2/apps/%@?format=json&extended=true", HBRURLEncodeString(encodedAppIdentifier()));
    path += NSString::stringWithFormat(
        "&sdk=%@&sdk_version=%@&uuid=%@", std::string(kHBRSDKName), std::string(kHBRSDKVersion), m_uuid);
    if (m_sendUsageData) {
        auto languages = NSBundle::localizationOrder();
        path += NSString::stringWithFormat(
            "&app_version=%@&os=iOS&os_version=%@&device=%@&lang=%@&first_start_at=%@&usage_time=%@",
            HBRURLEncodeString(m_currentAppVersion), HBRURLEncodeString(UIDevice::currentDevice()->systemVersion()),
            HBRURLEncodeString(getDevicePlatform()), HBRURLEncodeString(languages.empty() ? "en" : languages[0]),
            HBRURLEncodeString(installationDateString()), HBRURLEncodeString(currentUsageString()));
    }
    if (m_checkForTracker)
        path += "&jmc=yes";
    std::string url = NSString::stringWithFormat("%@%@", serverURL(), path);
    HBRLog("INFO: Sending api request to %@", url);
    auto request = NSMutableURLRequest::requestWithURLCachePolicyTimeoutInterval(
        NSURL::URLWithString(url), NSURLRequestReloadIgnoringLocalCacheData, 10.0);
    request->setHTTPMethod("GET");
    request->setValueForHTTPHeaderField("Harbor/iOS", "User-Agent");
    request->setValueForHTTPHeaderField("gzip", "Accept-Encoding");
    m_receivedData.clear();
    m_urlConnection = request->URL()
        ? NSURLConnection::initWithRequestDelegateStartImmediately(request, self<HBRUpdateManager>(), true)
        : nullptr;
    if (!m_urlConnection) {
        setCheckInProgress(false);
        reportError(updateError(5, "Url Connection could not be created."));
    }
}

Ref<NSError> HBRUpdateManager::updateError(int32_t code, const std::string& description) const
{
    return NSError::errorWithDomain(
        "HBRUpdaterErrorDomain", code, Value::dictionary({ { NSLocalizedDescriptionKey, description } }));
}

std::optional<Ref<NSURLRequest>> HBRUpdateManager::connectionWillSendRequestRedirectResponse(
    const Ref<NSURLConnection>&, const Ref<NSURLRequest>& request, const Ref<NSURLResponse>& redirect)
{
    // Redirects are not followed.
    if (redirect)
        return Ref<NSURLRequest>();
    return request;
}

void HBRUpdateManager::connectionDidReceiveResponse(
    const Ref<NSURLConnection>& connection, const Ref<NSURLResponse>& response)
{
    auto http = std::dynamic_pointer_cast<NSHTTPURLResponse>(response);
    if (http && http->statusCode() == 404) {
        connection->cancel();
        finishConnection();
        setCheckInProgress(false);
        reportError(updateError(1, NSString::stringWithFormat("Harbor API received HTTP Status Code %ld", 404L)));
        return;
    }
    m_receivedData.clear();
}

void HBRUpdateManager::connectionDidReceiveData(const Ref<NSURLConnection>&, const Value& data)
{
    m_receivedData.insert(m_receivedData.end(), data.bytes().begin(), data.bytes().end());
}

void HBRUpdateManager::connectionDidFailWithError(const Ref<NSURLConnection>&, const Ref<NSError>& error)
{
    finishConnection();
    setCheckInProgress(false);
    reportError(error);
}

void HBRUpdateManager::finishConnection()
{
    m_receivedData.clear();
    m_urlConnection = nullptr;
}

void HBRUpdateManager::connectionDidFinishLoading(const Ref<NSURLConnection>&)
{
    setCheckInProgress(false);
    if (m_receivedData.empty()) {
        finishConnection();
        reportError(updateError(3, "Server returned an empty response."));
        return;
    }
    auto text = NSString::stringWithBytes(m_receivedData.data(), m_receivedData.size(), NSUTF8StringEncoding);
    if (!text) {
        finishConnection();
        return;
    }
    HBRLog("INFO: Received API response: %@", *text);
    Value json = NSJSONSerialization::JSONObjectWithData(m_receivedData, 0, nullptr);
    finishConnection();
    // An answer that is not an object with a version list (not JSON, a bare array, "versions" of
    // another kind) is a failed check: the user who asked hears so, and the last check stays.
    if (!json.isDictionary() || !json["versions"].isArray()) {
        reportError(updateError(2, "Invalid data received from server."));
        return;
    }
    m_trackerConfig = m_checkForTracker && json["tracker"].isDictionary() ? json["tracker"] : Value();
    m_companyName = json["company"].isString() ? std::optional(json["company"].string()) : std::nullopt;
    setLastCheck(now());
    const Value& feed = json["versions"];
    if (!feed.isArray() || feed.count() == 0) {
        HBRLog("WARNING: No versions available for download on HarborApp.");
        return;
    }
    auto previous = newestAppVersion();
    std::string previousVersion = previous ? previous->versionText() : std::string();
    std::vector<Ref<HBRAppVersionMetaInfo>> kept;
    std::string systemVersion = UIDevice::currentDevice()->systemVersion();
    for (const auto& entry : feed.elements()) {
        auto record = HBRAppVersionMetaInfo::appVersionMetaInfoFromDict(entry);
        if (!record->isValid()) {
            reportError(updateError(2, "Invalid data received from server."));
            continue;
        }
        const Value& minimum = record->minOSVersion();
        if (minimum.isString() && HBRCompareVersionStrings(minimum.string(), systemVersion) == NSOrderedDescending)
            continue;
        kept.push_back(record);
    }
    // Newest first, whatever order the service sent; uploads of the same version keep theirs.
    std::stable_sort(kept.begin(), kept.end(), [](const auto& a, const auto& b) {
        return HBRCompareVersionStrings(a->versionText(), b->versionText()) == NSOrderedDescending;
    });
    bool differs = kept.size() != m_appVersions.size();
    for (size_t i = 0; !differs && i < kept.size(); ++i)
        differs = !kept[i]->isEqualToAppVersionMetaInfo(m_appVersions[i].get());
    if (differs)
        setAppVersions(kept);
    saveAppCache();
    checkUpdateAvailable();

    if (m_showFeedback && !m_updateAvailable) {
        auto newest = newestAppVersion();
        Value shortVersion = NSBundle::mainBundle()->objectForInfoDictionaryKey("CFBundleShortVersionString");
        std::string marketing = shortVersion.isString() && !shortVersion.string().empty()
            ? NSString::stringWithFormat("%@ ", shortVersion.string())
            : std::string();
        std::string build
            = marketing.empty() ? m_currentAppVersion : NSString::stringWithFormat("(%@)", m_currentAppVersion);
        std::string name = newest && newest->name().isString() ? newest->name().string() : std::string();
        std::string argument = NSString::stringWithFormat(
            "%@ %@ %@%@", name, HBRLocalizedString(std::string("UpdateVersion")), marketing, build);
        auto alert = UIAlertView::initWithTitle(HBRLocalizedString(std::string("UpdateNoUpdateAvailableTitle")),
            NSString::stringWithFormat(HBRLocalizedString(std::string("UpdateNoUpdateAvailableMessage")), argument),
            nullptr, {}, HBRLocalizedString(std::string("HarborOK")), {});
        alert->show();
    }
    if (m_updateAvailable && !m_currentHarborViewController) {
        auto newest = newestAppVersion();
        if (m_alwaysShowUpdateReminder || (newest && newest->versionText() != previousVersion)
            || hasNewerMandatoryVersion())
            showCheckForUpdateAlert();
    }
    m_showFeedback = false;
}

void HBRUpdateManager::showCheckForUpdateAlert()
{
    if (isAppStoreEnvironment() || m_disableUpdateManager || m_updateAlertShowing)
        return;
    auto newest = newestAppVersion();
    std::string argument = newest ? newest->nameAndVersionString() : std::string();
    Ref<UIAlertView> alert;
    if (hasNewerMandatoryVersion()) {
        alert = UIAlertView::initWithTitle(HBRLocalizedString(std::string("UpdateAvailable")),
            NSString::stringWithFormat(
                HBRLocalizedString(std::string("UpdateAlertMandatoryTextWithAppVersion")), argument),
            this, self<HBRUpdateManager>(), "",
            { HBRLocalizedString(std::string("UpdateShow")), HBRLocalizedString(std::string("UpdateInstall")) });
        alert->setCancelButtonIndex(-1);
    } else {
        std::vector<std::string> others { HBRLocalizedString(std::string("UpdateShow")) };
        if (m_showDirectInstallOption)
            others.push_back(HBRLocalizedString(std::string("UpdateInstall")));
        alert = UIAlertView::initWithTitle(HBRLocalizedString(std::string("UpdateAvailable")),
            NSString::stringWithFormat(HBRLocalizedString(std::string("UpdateAlertTextWithAppVersion")), argument),
            this, self<HBRUpdateManager>(), HBRLocalizedString(std::string("UpdateIgnore")), others);
    }
    m_updateAlertShowing = true;
    alert->show();
}

void HBRUpdateManager::alertViewDidDismissWithButtonIndex(const Ref<UIAlertView>& alert, int32_t buttonIndex)
{
    m_updateAlertShowing = false;
    int32_t show = alert->cancelButtonIndex() < 0 ? 0 : alert->cancelButtonIndex() + 1;
    if (buttonIndex == show)
        showUpdateView();
    else if (buttonIndex == show + 1)
        initiateAppDownload();
}

void HBRUpdateManager::showUpdateView()
{
    if (isAppStoreEnvironment()) {
        NSLog("[HarborSDK] This should not be called from an app store build!");
        return;
    }
    if (m_currentHarborViewController) {
        HBRLog("INFO: Update view already visible, aborting");
        return;
    }
    auto screen = harborViewController(true);
    if (auto updateScreen = std::dynamic_pointer_cast<HBRUpdateViewController>(screen))
        updateScreen->setMandatoryUpdate(hasNewerMandatoryVersion());
    showView(screen);
}

Ref<HBRHarborBaseViewController> HBRUpdateManager::harborViewController(bool modal)
{
    if (isAppStoreEnvironment()) {
        NSLog("[HarborSDK] This should not be called from an app store build!");
        return HBRHarborBaseViewController::initWithModalStyle(modal);
    }
    return HBRUpdateViewController::initWithModalStyle(modal);
}

bool HBRUpdateManager::initiateAppDownload()
{
    if (isAppStoreEnvironment())
        return false;
    if (!m_updateAvailable) {
        HBRLog("WARNING: No update available. Aborting.");
        return false;
    }
    std::string manifest
        = NSString::stringWithFormat("%@api/2/apps/%@?format=plist", serverURL(), encodedAppIdentifier());
    std::string link
        = NSString::stringWithFormat("itms-services://?action=download-manifest&url=%@", HBRURLEncodeString(manifest));
    HBRLog("INFO: API Server Call: %@, calling iOS with %@", manifest, link);
    bool opened = UIApplication::sharedApplication()->openURL(link);
    HBRLog("INFO: System returned: %d", int(opened));
    return opened;
}

void HBRUpdateManager::reportError(const Ref<NSError>& error)
{
    HBRLog("ERROR: %@", error ? error->localizedDescription() : std::string());
    if (!m_showFeedback)
        return;
    auto alert = UIAlertView::initWithTitle(HBRLocalizedString(std::string("UpdateError")),
        error ? error->localizedDescription() : std::string(), nullptr, {}, HBRLocalizedString(std::string("OK")), {});
    alert->show();
    m_showFeedback = false;
}
