#include "sdk/HBRCrashManager.h"

#include "crashreporter/HBRPMCrashReport.h"
#include "foundation/Dispatch.h"
#include "foundation/Locked.h"
#include "foundation/NSDate.h"
#include "foundation/NSDirectoryEnumerator.h"
#include "foundation/NSFileManager.h"
#include "foundation/NSLog.h"
#include "foundation/NSNotificationCenter.h"
#include "foundation/NSOperationQueue.h"
#include "foundation/NSPropertyListSerialization.h"
#include "foundation/NSRunLoop.h"
#include "foundation/NSUserDefaults.h"
#include "foundation/Sandbox.h"
#include "os/OSHost.h"
#include "sdk/HBRHarborHelper.h"
#include "sdk/HBRHarborManager.h"
#include "uikit/UIApplication.h"

#include <cerrno>
#include <cstring>
#include <sys/stat.h>
#include <unistd.h>

VX_REGISTER_CLASS(HBRCrashManager);

namespace {

constexpr const char* HBRLogClassName = "HBRCrashManager";
constexpr const char* kStatusKey = "HBRCrashManagerStatus";
constexpr const char* kLegacyAutoSendKey = "HBRCrashAutomaticallySendReports";
constexpr const char* kApprovedReportsKey = "HarborSDKCrashApprovedReports";
constexpr const char* kMetaApplicationLog = "HBRCrashMetaApplicationLog";
constexpr const char* kMetaUserName = "HBRCrashMetaUserName";
constexpr const char* kMetaUserEmail = "HBRCrashMetaUserEmail";
constexpr const char* kMetaUserID = "HBRCrashMetaUserID";

struct ProcessState {
    bool reporterSetUp { false };
    std::optional<bool> debuggerAttached;
    std::optional<bool> debuggerOverride;
    HBRCrashManager::ReporterFactory factory;
    HBRCrashManager::ReporterEnabler enabler;
};
Locked<ProcessState> s_process;

bool hasSuffix(const std::string& text, const char* suffix)
{
    size_t length = std::strlen(suffix);
    return text.size() >= length && text.compare(text.size() - length, length, suffix) == 0;
}

} // namespace

HBRCrashManager::~HBRCrashManager()
{
    if (m_urlConnection)
        m_urlConnection->cancel();
    removeObservers({ &m_appDidBecomeActiveObserver, &m_networkDidBecomeReachableObserver });
}

void HBRCrashManager::init()
{
    HBRHarborBaseManager::init();
    m_showAlwaysButton = true;
    m_approvedCrashReports = Value::mutableDictionary();
    m_fileManager = NSFileManager::defaultManager();

    auto defaults = NSUserDefaults::standardUserDefaults();
    m_crashManagerStatus = HBRCrashManagerStatusAlwaysAsk;
    Value stored = defaults->stringForKey(kStatusKey);
    if (stored.isString()) {
        m_crashManagerStatus = NSString::intValue(stored.string());
    } else {
        if (defaults->boolForKey(kLegacyAutoSendKey)) {
            m_crashManagerStatus = HBRCrashManagerStatusAutoSend;
            defaults->removeObjectForKey(kLegacyAutoSendKey);
        }
        defaults->setInteger(m_crashManagerStatus, kStatusKey);
    }

    auto caches = NSSearchPathForDirectoriesInDomains(NSCachesDirectory, NSUserDomainMask, true);
    m_crashesDir = (caches.empty() ? std::string() : caches[0]) + "/net.harborapp.sdk.ios";
    if (!m_fileManager->fileExistsAtPath(m_crashesDir))
        m_fileManager->createDirectoryAtPath(
            m_crashesDir, true, Value::dictionary({ { NSFilePosixPermissions, 0755 } }), nullptr);
    m_settingsFile = m_crashesDir + "/HBRCrashManager.plist";
    m_analyzerInProgressFile = m_crashesDir + "/HBRCrashManager.analyzer";
    if (m_fileManager->fileExistsAtPath(m_analyzerInProgressFile))
        m_fileManager->removeItemAtPath(m_analyzerInProgressFile, nullptr);

    if (!HBRResourcesBundle())
        NSLog("[HarborSDK] WARNING: %@ is missing, will send reports automatically!",
            std::string(kHBRResourcesBundleName));
}

void HBRCrashManager::setCrashManagerStatus(int32_t status)
{
    m_crashManagerStatus = status;
    NSUserDefaults::standardUserDefaults()->setInteger(status, kStatusKey);
}

void HBRCrashManager::startManager()
{
    if (m_crashManagerStatus == HBRCrashManagerStatusDisabled)
        return;
    auto trigger
        = [](HBRHarborBaseManager& manager) { static_cast<HBRCrashManager&>(manager).triggerDelayedProcessing(); };
    observeNotification(m_appDidBecomeActiveObserver, UIApplicationDidBecomeActiveNotification, trigger);
    observeNotification(m_networkDidBecomeReachableObserver, kHBRNetworkDidBecomeReachableNotification, trigger);
    if (!m_isSetup) {
        bool first = s_process.with([](ProcessState& state) {
            bool was = state.reporterSetUp;
            state.reporterSetUp = true;
            return !was;
        });
        if (first)
            setupReporter();
    }
    triggerDelayedProcessing();
}

void HBRCrashManager::setupReporter()
{
    HBRPMCrashReporterConfig config(
        m_enableMachExceptionHandler ? HBRPMCrashReporterConfig::Mach : HBRPMCrashReporterConfig::BSD,
        HBRPMCrashReporterConfig::All);
    auto factory = s_process.get().factory;
    if (!m_pmCrashReporter)
        m_pmCrashReporter = factory ? factory(config) : HBRPMCrashReporter::initWithConfiguration(config);
    if (!m_pmCrashReporter)
        return;
    if (m_pmCrashReporter->hasPendingCrashReport()) {
        m_didCrashInLastSession = true;
        handleCrashReport();
    }
    if (!isAppStoreEnvironment() && isDebuggerAttached()) {
        NSLog("[HarborSDK] WARNING: Detecting crashes is NOT enabled due to running the app with a debugger attached.");
        m_isSetup = true;
        return;
    }
    NSUncaughtExceptionHandler before = NSGetUncaughtExceptionHandler();
    if (m_crashCallBacks)
        m_pmCrashReporter->setCrashCallbacks(m_crashCallBacks);
    Ref<NSError> error;
    auto enabler = s_process.get().enabler;
    bool enabled
        = enabler ? enabler(*m_pmCrashReporter, &error) : m_pmCrashReporter->enableCrashReporterAndReturnError(&error);
    if (!enabled)
        NSLog("[HarborSDK] WARNING: Could not enable crash reporter: %@",
            error ? error->localizedDescription() : std::string());
    NSUncaughtExceptionHandler after = NSGetUncaughtExceptionHandler();
    if (after && after != before) {
        m_exceptionHandler = after;
        HBRLog("INFO: Exception handler successfully initialized.");
    } else {
        NSLog("[HarborSDK] ERROR: Exception handler could not be set. Make sure there is no other exception handler "
              "set up!");
    }
    m_isSetup = true;
}

std::string HBRCrashManager::keychainKey(const std::string& fileName, const char* item) const
{
    return NSString::stringWithFormat("%@.%@", fileName, std::string(item));
}

void HBRCrashManager::handleCrashReport()
{
    if (!m_pmCrashReporter)
        return;
    loadSettings();
    if (!m_fileManager->fileExistsAtPath(m_analyzerInProgressFile)) {
        m_fileManager->createFileAtPath(m_analyzerInProgressFile, Value(), Value());
        saveSettings();
        Ref<NSError> error;
        auto bytes = m_pmCrashReporter->loadPendingCrashReportDataAndReturnError(&error);
        std::string fileName = NSString::stringWithFormat("%.0f", NSDate::timeIntervalSinceReferenceDateNow());
        if (!bytes) {
            HBRLog("ERROR: Could not load crash report: %@", error ? error->localizedDescription() : std::string());
        } else if (bytes->size() > kMaximumReportSize) {
            HBRLog("WARNING: Could not parse crash report");
        } else if (auto report = HBRPMCrashReport::initWithData(*bytes, nullptr); !report) {
            HBRLog("WARNING: Could not parse crash report");
        } else {
            auto start = report->processInfo() ? report->processInfo()->processStartTime() : std::nullopt;
            auto stamp = report->systemInfo() ? report->systemInfo()->timestamp() : std::nullopt;
            if (start && stamp)
                m_timeintervalCrashInLastSessionOccured = *stamp - *start;
            std::string path = m_crashesDir + "/" + fileName;
            m_fileManager->createFileAtPath(path, Value::data(*bytes), Value());
            addStringValueToKeychainForKey(userNameForCrashReport(), keychainKey(fileName, kMetaUserName));
            addStringValueToKeychainForKey(userEmailForCrashReport(), keychainKey(fileName, kMetaUserEmail));
            addStringValueToKeychainForKey(userIDForCrashReport(), keychainKey(fileName, kMetaUserID));
            std::string applicationLog;
            if (auto target = delegate())
                applicationLog = target->applicationLogForCrashManager(*this).value_or("");
            Ref<NSError> plistError;
            Value meta = NSPropertyListSerialization::dataWithPropertyList(
                Value::dictionary({ { kMetaApplicationLog, applicationLog } }),
                NSPropertyListSerialization::NSPropertyListBinaryFormat_v1_0, 0, &plistError);
            if (meta.isData())
                m_fileManager->createFileAtPath(path + ".meta", meta, Value());
            else
                HBRLog("ERROR: Writing crash meta data failed. %@",
                    plistError ? plistError->localizedDescription() : std::string());
        }
    }
    if (m_fileManager->fileExistsAtPath(m_analyzerInProgressFile))
        m_fileManager->removeItemAtPath(m_analyzerInProgressFile, nullptr);
    saveSettings();
    m_pmCrashReporter->purgePendingCrashReport();
}

void HBRCrashManager::triggerDelayedProcessing()
{
    auto me = self<HBRCrashManager>();
    cancelPreviousPerformRequestsWithTargetSelector(me, "invokeDelayedProcessing");
    Weak<HBRCrashManager> weak = me;
    performSelectorAfterDelay(
        me, "invokeDelayedProcessing",
        [weak] {
            if (auto manager = weak.lock())
                manager->invokeDelayedProcessing();
        },
        0.5);
}

void HBRCrashManager::invokeDelayedProcessing()
{
    if (UIApplication::sharedApplication()->applicationState() != UIApplicationStateActive)
        return;
    HBRLog("INFO: Start delayed CrashManager processing");
    if (m_exceptionHandler && NSGetUncaughtExceptionHandler() != m_exceptionHandler)
        HBRLog("[HarborSDK] WARNING: Another exception handler was added. If this invokes any kind exit() after "
               "processing the exception, which causes any subsequent error handler not to be invoked, these crashes "
               "will NOT be reported to HarborApp!");
    if (m_sendingInProgress || !hasPendingCrashReport())
        return;
    m_sendingInProgress = true;
    if (!HBRResourcesBundle() || m_crashManagerStatus == HBRCrashManagerStatusAutoSend
        || !hasNonApprovedCrashReports()) {
        sendCrashReports();
        return;
    }
    if (auto target = delegate())
        target->crashManagerWillShowSubmitCrashReportAlert(*this);
    std::string appName = HBRAppDisplayName(HBRLocalizedString("HarborAppNamePlaceholder"));
    std::string message = NSString::stringWithFormat(HBRLocalizedString("CrashDataFoundAnonymousDescription"), appName);
    if (!userIDForCrashReport().empty() || !userNameForCrashReport().empty() || !userEmailForCrashReport().empty())
        message = NSString::stringWithFormat(HBRLocalizedString("CrashDataFoundDescription"), appName);
    std::vector<std::string> others { HBRLocalizedString("CrashSendReport") };
    if (m_showAlwaysButton)
        others.push_back(HBRLocalizedString("CrashSendReportAlways"));
    auto alert
        = UIAlertView::initWithTitle(NSString::stringWithFormat(HBRLocalizedString("CrashDataFoundTitle"), appName),
            message, this, self<HBRCrashManager>(), HBRLocalizedString("CrashDontSendReport"), others);
    alert->show();
}

void HBRCrashManager::alertViewDidDismissWithButtonIndex(const Ref<UIAlertView>&, int32_t buttonIndex)
{
    switch (buttonIndex) {
    case 2: {
        setCrashManagerStatus(HBRCrashManagerStatusAutoSend);
        NSUserDefaults::standardUserDefaults()->synchronize();
        if (auto target = delegate())
            target->crashManagerWillSendCrashReportsAlways(*this);
        sendCrashReports();
        break;
    }
    case 1:
        sendCrashReports();
        break;
    case 0:
        if (auto target = delegate())
            target->crashManagerWillCancelSendingCrashReport(*this);
        m_sendingInProgress = false;
        cleanCrashReports();
        break;
    default:
        m_sendingInProgress = false;
        cleanCrashReports();
        break;
    }
}

bool HBRCrashManager::hasPendingCrashReport()
{
    if (m_crashManagerStatus == HBRCrashManagerStatusDisabled)
        return false;
    if (m_fileManager->fileExistsAtPath(m_crashesDir)) {
        m_crashFiles.clear();
        auto enumerator = m_fileManager->enumeratorAtPath(m_crashesDir);
        for (Value entry = enumerator ? enumerator->nextObject() : Value(); entry.isString();
             entry = enumerator->nextObject()) {
            const std::string& name = entry.string();
            Value attributes = enumerator->fileAttributes();
            if (attributes[NSFileSize].longLongValue() < 1 || hasSuffix(name, ".DS_Store")
                || hasSuffix(name, ".analyzer") || hasSuffix(name, ".plist") || hasSuffix(name, ".meta"))
                continue;
            if (attributes[NSFileType].isString() && attributes[NSFileType].string() == NSFileTypeDirectory)
                continue;
            m_crashFiles.push_back(m_crashesDir + "/" + name);
        }
    }
    if (!m_crashFiles.empty()) {
        HBRLog("INFO: %lu pending crash reports found.", static_cast<unsigned long>(m_crashFiles.size()));
        return true;
    }
    if (m_didCrashInLastSession) {
        if (auto target = delegate())
            target->crashManagerWillCancelSendingCrashReport(*this);
        m_didCrashInLastSession = false;
    }
    return false;
}

bool HBRCrashManager::hasNonApprovedCrashReports() const
{
    if (!m_crashFiles.empty() && m_approvedCrashReports.count() == 0)
        return true;
    for (const auto& path : m_crashFiles)
        if (m_approvedCrashReports.objectForKey(path).isNil())
            return true;
    return false;
}

void HBRCrashManager::removeReportAtPath(const std::string& path)
{
    m_fileManager->removeItemAtPath(path, nullptr);
    m_fileManager->removeItemAtPath(path + ".meta", nullptr);
    std::string fileName = NSString::lastPathComponent(path);
    removeKeyFromKeychain(keychainKey(fileName, kMetaUserName));
    removeKeyFromKeychain(keychainKey(fileName, kMetaUserEmail));
    removeKeyFromKeychain(keychainKey(fileName, kMetaUserID));
}

void HBRCrashManager::cleanCrashReports()
{
    for (const auto& path : m_crashFiles)
        removeReportAtPath(path);
    m_crashFiles.clear();
    m_approvedCrashReports.removeAllObjects();
    saveSettings();
}

void HBRCrashManager::saveSettings()
{
    Value settings = Value::mutableDictionary();
    if (m_approvedCrashReports.count() > 0)
        settings.setObjectForKey(m_approvedCrashReports.copy(), Value(kApprovedReportsKey));
    Ref<NSError> error;
    Value data = NSPropertyListSerialization::dataWithPropertyList(
        settings, NSPropertyListSerialization::NSPropertyListBinaryFormat_v1_0, 0, &error);
    if (data.isData())
        m_fileManager->createFileAtPath(m_settingsFile, data, Value());
    else
        HBRLog("ERROR: Writing settings. %@", error ? error->localizedDescription() : std::string());
}

void HBRCrashManager::loadSettings()
{
    if (!m_fileManager->fileExistsAtPath(m_settingsFile))
        return;
    Value data = m_fileManager->contentsAtPath(m_settingsFile);
    Value settings = NSPropertyListSerialization::propertyListWithData(
        data, NSPropertyListSerialization::NSPropertyListMutableContainers, nullptr, nullptr);
    if (!settings.isDictionary()) {
        HBRLog("ERROR: Reading crash manager settings.");
        return;
    }
    Value approved = settings[kApprovedReportsKey];
    if (approved.isDictionary())
        m_approvedCrashReports = approved.mutableCopy();
}

std::string HBRCrashManager::userIDForCrashReport()
{
    auto sdk = HBRHarborManager::sharedHarborManager();
    if (auto target = sdk->delegate())
        return target->userIDForHarborManagerComponentManager(*sdk, *this).value_or("");
    return "";
}

std::string HBRCrashManager::userNameForCrashReport()
{
    std::string name;
    if (auto target = delegate())
        if (auto answer = target->userNameForCrashManager(*this))
            name = *answer;
    auto sdk = HBRHarborManager::sharedHarborManager();
    if (auto target = sdk->delegate())
        if (auto answer = target->userNameForHarborManagerComponentManager(*sdk, *this))
            name = *answer;
    return name;
}

std::string HBRCrashManager::userEmailForCrashReport()
{
    std::string email;
    if (auto target = delegate())
        if (auto answer = target->userEmailForCrashManager(*this))
            email = *answer;
    auto sdk = HBRHarborManager::sharedHarborManager();
    if (auto target = sdk->delegate())
        if (auto answer = target->userEmailForHarborManagerComponentManager(*sdk, *this))
            email = *answer;
    return email;
}

bool HBRCrashManager::isDebuggerAttached()
{
    return s_process.with([](ProcessState& state) {
        if (state.debuggerOverride)
            return *state.debuggerOverride;
        if (!state.debuggerAttached) {
            auto record = vxos::processRecord(getpid());
            if (!record) {
                NSLog("[HarborSDK] ERROR: Checking for a running debugger via sysctl() failed: %s",
                    std::string(std::strerror(errno)));
                state.debuggerAttached = false;
            } else {
                state.debuggerAttached = record->traced;
            }
        }
        return *state.debuggerAttached;
    });
}

void HBRCrashManager::generateTestCrash()
{
    if (isAppStoreEnvironment())
        return;
    if (isDebuggerAttached())
        NSLog("[HarborSDK] WARNING: The debugger is attached. The following crash cannot be detected by the SDK!");
    __builtin_trap();
}

void HBRCrashManager::setReporterFactoryForTesting(ReporterFactory factory)
{
    s_process.with([&](ProcessState& state) { state.factory = std::move(factory); });
}

void HBRCrashManager::setReporterEnablerForTesting(ReporterEnabler enabler)
{
    s_process.with([&](ProcessState& state) { state.enabler = std::move(enabler); });
}

void HBRCrashManager::setDebuggerAttachedForTesting(std::optional<bool> attached)
{
    s_process.with([&](ProcessState& state) { state.debuggerOverride = attached; });
}

void HBRCrashManager::resetForTesting()
{
    s_process.with([](ProcessState& state) {
        state.reporterSetUp = false;
        state.debuggerAttached.reset();
    });
}
