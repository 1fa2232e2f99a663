#include "sdk/HBRHarborManager.h"

#include "foundation/Clock.h"
#include "foundation/Locked.h"
#include "foundation/NSBundle.h"
#include "foundation/NSDate.h"
#include "foundation/NSDateFormatter.h"
#include "foundation/NSLocale.h"
#include "foundation/NSLog.h"
#include "foundation/NSRunLoop.h"
#include "foundation/NSThread.h"
#include "net/NSHTTPURLResponse.h"
#include "net/NSURL.h"
#include "sdk/HBRCrashManager.h"
#include "sdk/HBRFeedbackManager.h"
#include "sdk/HBRHarborAppClient.h"
#include "sdk/HBRHarborHelper.h"
#include "sdk/HBRHarborSDK.h"
#include "sdk/HBRStoreUpdateManager.h"
#include "sdk/HBRUpdateManager.h"

VX_REGISTER_CLASS(HBRHarborManager);

namespace {

constexpr const char* HBRLogClassName = "HBRHarborManager";

struct SharedState {
    Ref<HBRHarborManager> shared;
    std::optional<bool> appStoreOverride;
};
// Never destroyed: the shared manager lives for the whole process, and its components must not
// outlive the notification center and run loops they talk to at exit.
Locked<SharedState>& sharedState()
{
    static auto* state = new Locked<SharedState>();
    return *state;
}

bool storeBuildFromBundle()
{
    auto overridden = sharedState().get().appStoreOverride;
    if (overridden)
        return *overridden;
    return !NSBundle::mainBundle()->pathForResource("embedded", "mobileprovision").has_value();
}

} // namespace

Ref<HBRHarborManager> HBRHarborManager::sharedHarborManager()
{
    if (auto existing = existingSharedHarborManager())
        return existing;
    auto made = makeShared();
    bool created = false;
    auto shared = sharedState().with([&](SharedState& state) {
        if (!state.shared) {
            state.shared = made;
            created = true;
        }
        return state.shared;
    });
    if (created) {
        // The check for a forgotten startManager runs on the next pass of the main run loop.
        performSelectorAfterDelay(
            shared, "validateStartManagerIsInvoked",
            [weak = Weak<HBRHarborManager>(shared)] {
                if (auto manager = weak.lock())
                    manager->validateStartManagerIsInvoked();
            },
            0);
    }
    return shared;
}

Ref<HBRHarborManager> HBRHarborManager::existingSharedHarborManager()
{
    return sharedState().get().shared;
}

Ref<HBRHarborManager> HBRHarborManager::makeShared()
{
    auto manager = make<HBRHarborManager>();
    manager->m_installString = HBRAnonymousAppIdentifier();
    manager->m_appStoreEnvironment = storeBuildFromBundle();
    return manager;
}

void HBRHarborManager::resetSharedHarborManagerForTesting()
{
    sharedState().with([](SharedState& state) { state.shared = nullptr; });
}

void HBRHarborManager::setAppStoreEnvironmentForTesting(std::optional<bool> appStore)
{
    sharedState().with([&](SharedState& state) { state.appStoreOverride = appStore; });
}

bool HBRHarborManager::isValidIdentifier(const std::optional<std::string>& identifier)
{
    if (!identifier || identifier->size() != 32)
        return false;
    for (char c : *identifier)
        if (!((c >= '0' && c <= '9') || (c >= 'a' && c <= 'f')))
            return false;
    return true;
}

void HBRHarborManager::validateStartManagerIsInvoked()
{
    if (m_validAppIdentifier && !m_appStoreEnvironment && !m_startManagerIsInvoked)
        NSLog("[HarborSDK] ERROR: You did not call [[HBRHarborManager sharedHarborManager] startManager] to startup "
              "the HarborSDK! Please do so after setting up all properties. The SDK is NOT running.");
}

void HBRHarborManager::logInvalidIdentifier(const std::string& name) const
{
    if (m_appStoreEnvironment)
        return;
    if (name == "liveIdentifier") {
        NSLog("[HarborSDK] WARNING: The liveIdentifier is invalid! The SDK will be disabled when deployed to the App "
              "Store without setting a valid app identifier!");
        return;
    }
    NSLog("[HarborSDK] ERROR: The %@ is invalid! Please use the HarborApp app identifier you find on the apps "
          "website on HarborApp! The SDK is disabled!",
        name);
}

bool HBRHarborManager::isSetUpOnMainThread() const
{
    if (NSThread::isMainThread())
        return true;
    if (!m_appStoreEnvironment)
        NSLog("%@", std::string("ERROR: HarborSDK has to be setup on the main thread!"));
    return false;
}

void HBRHarborManager::configureWithBetaIdentifierLiveIdentifierDelegate(const std::string& betaIdentifier,
    const std::string& liveIdentifier, HBRHarborManagerDelegate* delegate, Weak<NSObject> delegateOwner)
{
    m_delegate = delegate;
    m_delegateOwner = std::move(delegateOwner);
    if (!isValidIdentifier(liveIdentifier)) {
        logInvalidIdentifier("liveIdentifier");
        m_liveIdentifier = liveIdentifier;
    }
    bool useLive = m_appStoreEnvironment;
    if (auto target = this->delegate()) {
        if (auto answer = target->shouldUseLiveIdentifierForHarborManager(*this))
            useLive = *answer;
    }
    m_appIdentifier = useLive ? liveIdentifier : betaIdentifier;
    initializeModules();
}

void HBRHarborManager::configureWithIdentifier(const std::string& identifier)
{
    m_appIdentifier = identifier;
    initializeModules();
}

void HBRHarborManager::configureWithIdentifierDelegate(
    const std::string& identifier, HBRHarborManagerDelegate* delegate, Weak<NSObject> delegateOwner)
{
    m_delegate = delegate;
    m_delegateOwner = std::move(delegateOwner);
    configureWithIdentifier(identifier);
}

void HBRHarborManager::initializeModules()
{
    m_validAppIdentifier = isValidIdentifier(m_appIdentifier);
    if (!isSetUpOnMainThread())
        return;
    m_startManagerIsInvoked = false;
    if (!m_validAppIdentifier) {
        logInvalidIdentifier("app identifier");
        return;
    }
    auto owner = m_delegateOwner;
    HBRLog("INFO: Setup CrashManager");
    m_crashManager = HBRCrashManager::initWithAppIdentifierIsAppStoreEnvironment<HBRCrashManager>(
        m_appIdentifier, m_appStoreEnvironment);
    m_crashManager->setDelegate(delegate(), owner);
    HBRLog("INFO: Setup UpdateManager");
    m_updateManager = HBRUpdateManager::initWithAppIdentifierIsAppStoreEnvironment<HBRUpdateManager>(
        m_appIdentifier, m_appStoreEnvironment);
    m_updateManager->setDelegate(delegate(), owner);
    HBRLog("INFO: Setup StoreUpdateManager");
    m_storeUpdateManager = HBRStoreUpdateManager::initWithAppIdentifierIsAppStoreEnvironment<HBRStoreUpdateManager>(
        m_appIdentifier, m_appStoreEnvironment);
    HBRLog("INFO: Setup FeedbackManager");
    m_feedbackManager = HBRFeedbackManager::initWithAppIdentifierIsAppStoreEnvironment<HBRFeedbackManager>(
        m_appIdentifier, m_appStoreEnvironment);
    m_feedbackManager->setDelegate(delegate(), owner);

    if (!m_appStoreEnvironment) {
        auto timestamp = NSBundle::mainBundle()->objectForInfoDictionaryKey("HBRIntegrationFlowStartTimestamp");
        if (timestamp.isString() && integrationFlowStartedWithTimeString(timestamp.string()))
            pingServerForIntegrationStartWorkflowWithTimeStringAppIdentifier(timestamp.string(), m_appIdentifier);
    }
}

void HBRHarborManager::startManager()
{
    if (!m_validAppIdentifier || !isSetUpOnMainThread())
        return;
    HBRLog("INFO: Starting HarborManager");
    m_startManagerIsInvoked = true;

    if (m_crashManager && !m_disableCrashManager) {
        HBRLog("INFO: Start CrashManager");
        if (m_serverURL)
            m_crashManager->setServerURL(*m_serverURL);
        m_crashManager->startManager();
    }
    if (m_storeUpdateManager && m_enableStoreUpdateManager) {
        HBRLog("INFO: Start StoreUpdateManager");
        if (m_serverURL)
            m_storeUpdateManager->setServerURL(*m_serverURL);
        auto component = m_storeUpdateManager;
        performSelectorAfterDelay(
            component, "startManager", [component] { component->startManager(); }, 0.5);
    }
    if (m_feedbackManager && !m_disableFeedbackManager) {
        HBRLog("INFO: Start FeedbackManager");
        if (m_serverURL)
            m_feedbackManager->setServerURL(*m_serverURL);
        auto component = m_feedbackManager;
        performSelectorAfterDelay(
            component, "startManager", [component] { component->startManager(); }, 1.0);
    }
    if (m_updateManager && !m_appStoreEnvironment && !m_disableUpdateManager)
        invokeStartUpdateManager();
}

void HBRHarborManager::invokeStartUpdateManager()
{
    if (m_startUpdateManagerIsInvoked)
        return;
    m_startUpdateManagerIsInvoked = true;
    HBRLog("INFO: Start UpdateManager");
    if (m_serverURL)
        m_updateManager->setServerURL(*m_serverURL);
    auto component = m_updateManager;
    performSelectorAfterDelay(
        component, "startManager", [component] { component->startManager(); }, 0.5);
}

void HBRHarborManager::setServerURL(const std::optional<std::string>& serverURL)
{
    std::optional<std::string> value = serverURL;
    if (value && (value->empty() || value->back() != '/'))
        value = NSString::stringWithFormat("%@/", *value);
    if (value == m_serverURL)
        return;
    m_serverURL = value;
    if (m_harborAppClient)
        m_harborAppClient->setBaseURL(NSURL::URLWithString(serverURLOrDefault()));
}

std::string HBRHarborManager::serverURLOrDefault() const
{
    return m_serverURL.value_or(kHBRDefaultServerURL);
}

void HBRHarborManager::setDelegate(HBRHarborManagerDelegate* delegate, Weak<NSObject> delegateOwner)
{
    if (delegate == this->delegate() && !delegateOwner.owner_before(m_delegateOwner)
        && !m_delegateOwner.owner_before(delegateOwner))
        return;
    m_delegate = delegate;
    m_delegateOwner = delegateOwner;
    if (m_crashManager)
        m_crashManager->setDelegate(delegate, delegateOwner);
    if (m_updateManager)
        m_updateManager->setDelegate(delegate, delegateOwner);
    if (m_feedbackManager)
        m_feedbackManager->setDelegate(delegate, delegateOwner);
}

void HBRHarborManager::setDisableUpdateManager(bool value)
{
    if (m_updateManager)
        m_updateManager->setDisableUpdateManager(value);
    m_disableUpdateManager = value;
}

void HBRHarborManager::setEnableStoreUpdateManager(bool value)
{
    if (m_storeUpdateManager)
        m_storeUpdateManager->setEnableStoreUpdateManager(value);
    m_enableStoreUpdateManager = value;
}

void HBRHarborManager::setDisableFeedbackManager(bool value)
{
    if (m_feedbackManager)
        m_feedbackManager->setDisableFeedbackManager(value);
    m_disableFeedbackManager = value;
}

Ref<HBRHarborAppClient> HBRHarborManager::harborAppClient()
{
    if (!m_harborAppClient) {
        auto url = NSURL::URLWithString(serverURLOrDefault());
        m_harborAppClient = HBRHarborAppClient::initWithBaseURL(url);
        m_harborAppClient->setBaseURL(url);
    }
    return m_harborAppClient;
}

void HBRHarborManager::testIdentifier()
{
    if (m_appIdentifier.empty() || m_appStoreEnvironment)
        return;
    std::string now = NSString::stringWithFormat("%.0f", NSDate::date()->timeIntervalSince1970());
    pingServerForIntegrationStartWorkflowWithTimeStringAppIdentifier(now, m_appIdentifier);
    if (m_liveIdentifier)
        pingServerForIntegrationStartWorkflowWithTimeStringAppIdentifier(now, *m_liveIdentifier);
}

bool HBRHarborManager::integrationFlowStartedWithTimeString(const std::optional<std::string>& timeString) const
{
    if (!timeString || m_appStoreEnvironment)
        return false;
    auto formatter = NSDateFormatter::init();
    formatter->setLocale(NSLocale::localeWithLocaleIdentifier("en_US_POSIX"));
    formatter->setDateFormat("yyyy-MM-dd'T'HH:mm:ssZ");
    auto date = formatter->dateFromString(*timeString);
    return date && date->timeIntervalSince1970() > NSDate::date()->timeIntervalSince1970() - 600;
}

void HBRHarborManager::pingServerForIntegrationStartWorkflowWithTimeStringAppIdentifier(
    const std::string& timeString, const std::string& appIdentifier)
{
    if (m_appStoreEnvironment)
        return;
    std::string path = NSString::stringWithFormat("api/3/apps/%@/integration", HBREncodedAppIdentifier(appIdentifier));
    HBRLog("INFO: Sending integration workflow ping to %@", path);
    auto bundleVersion = NSBundle::mainBundle()->objectForInfoDictionaryKey("CFBundleVersion").stringValue();
    Value parameters = Value::dictionary({ { "timestamp", timeString }, { "sdk", kHBRSDKName },
        { "sdk_version", kHBRSDKVersion }, { "bundle_version", bundleVersion } });
    harborAppClient()->postPathParametersCompletion(
        path, parameters, [](const Ref<HBRHTTPOperation>& operation, const Value&, const Ref<NSError>&) {
            int32_t status = operation && operation->response() ? operation->response()->statusCode() : 0;
            switch (status) {
            case 400:
                HBRDebugLogLine(
                    "-[HBRHarborManager pingServerForIntegrationStartWorkflowWithTimeString:appIdentifier:]", __LINE__,
                    "ERROR: App ID not found");
                break;
            case 201:
                HBRDebugLogLine(
                    "-[HBRHarborManager pingServerForIntegrationStartWorkflowWithTimeString:appIdentifier:]", __LINE__,
                    "INFO: Ping accepted.");
                break;
            case 200:
                HBRDebugLogLine(
                    "-[HBRHarborManager pingServerForIntegrationStartWorkflowWithTimeString:appIdentifier:]", __LINE__,
                    "INFO: Ping accepted. Server already knows.");
                break;
            default:
                HBRDebugLogLine(
                    "-[HBRHarborManager pingServerForIntegrationStartWorkflowWithTimeString:appIdentifier:]", __LINE__,
                    "ERROR: Unknown error");
                break;
            }
        });
}
