#include "sdk/HBRHarborManager.h"

#include "foundation/Locked.h"
#include "foundation/NSLog.h"
#include "foundation/NSThread.h"
#include "sdk/HBRCrashManager.h"

VX_REGISTER_CLASS(HBRHarborManager);

namespace {

Locked<Ref<HBRHarborManager>> s_shared;

} // namespace

Ref<HBRHarborManager> HBRHarborManager::sharedHarborManager()
{
    return s_shared.with([](Ref<HBRHarborManager>& shared) {
        if (!shared)
            shared = make<HBRHarborManager>();
        return shared;
    });
}

void HBRHarborManager::resetSharedHarborManagerForTesting()
{
    s_shared.set(nullptr);
}

bool HBRHarborManager::isValidIdentifier(const std::string& identifier)
{
    if (identifier.size() != 32)
        return false;
    for (char c : identifier)
        if (!((c >= '0' && c <= '9') || (c >= 'a' && c <= 'f')))
            return false;
    return true;
}

void HBRHarborManager::logInvalidIdentifier(const std::string& name)
{
    if (name == "liveIdentifier") {
        NSLog("[HarborSDK] WARNING: The liveIdentifier is invalid! The SDK will be disabled when deployed to the App "
              "Store "
              "without setting a valid app identifier!");
        return;
    }
    NSLog(
        "[HarborSDK] ERROR: The %@ is invalid! Please use the HarborApp app identifier you find on the apps website on "
        "HarborApp! The SDK is disabled!",
        name);
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

    m_validAppIdentifier = isValidIdentifier(m_appIdentifier);
    if (!NSThread::isMainThread()) {
        NSLog("%@", std::string("ERROR: HarborSDK has to be setup on the main thread!"));
        return;
    }
    m_startManagerIsInvoked = false;
    if (!m_validAppIdentifier) {
        logInvalidIdentifier("app identifier");
        return;
    }
    m_crashManager
        = HBRCrashManager::initWithAppIdentifierIsAppStoreEnvironment(m_appIdentifier, m_appStoreEnvironment);
}

void HBRHarborManager::startManager()
{
    if (!m_validAppIdentifier || !NSThread::isMainThread())
        return;
    m_startManagerIsInvoked = true;
    if (m_crashManager)
        m_crashManager->startManager();
}
