#include "sdk/HBRCrashManager.h"

#include "foundation/NSUserDefaults.h"

VX_REGISTER_CLASS(HBRCrashManager);

Ref<HBRCrashManager> HBRCrashManager::initWithAppIdentifierIsAppStoreEnvironment(
    const std::string& appIdentifier, bool isAppStoreEnvironment)
{
    auto manager = make<HBRCrashManager>();
    manager->m_appIdentifier = appIdentifier;
    manager->m_appStoreEnvironment = isAppStoreEnvironment;
    auto defaults = NSUserDefaults::standardUserDefaults();
    if (!defaults->objectForKey("HBRCrashManagerStatus").isNil())
        manager->m_status = defaults->integerForKey("HBRCrashManagerStatus");
    return manager;
}

void HBRCrashManager::setCrashManagerStatus(int32_t status)
{
    m_status = status;
    auto defaults = NSUserDefaults::standardUserDefaults();
    defaults->setInteger(status, "HBRCrashManagerStatus");
    defaults->synchronize();
}

void HBRCrashManager::startManager()
{
    m_started = true;
    // FIXME: pending crash reports are looked for and sent here once the kit's crash report
    // store and its HTTP client exist.
}
