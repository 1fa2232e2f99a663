#include "app/core/KESTAlertManager.h"

#include "foundation/NSBundle.h"
#include "foundation/NSUserDefaults.h"
#include "foundation/ThreadChecks.h"
#include "uikit/UIDevice.h"

#include <cstdio>

VX_REGISTER_CLASS(KESTAlertManager);

namespace {

std::mutex s_instanceLock;
Ref<KESTAlertManager> s_instance;

constexpr const char* kDeviceTokenKey = "vxDeviceToken";

} // namespace

KESTAlertManager::KESTAlertManager(Passkey key)
    : NSObject(key)
{
}

Ref<KESTAlertManager> KESTAlertManager::sharedInstance()
{
    std::lock_guard guard(s_instanceLock);
    if (!s_instance)
        s_instance = make<KESTAlertManager>();
    return s_instance;
}

void KESTAlertManager::resetSharedInstanceForTesting()
{
    std::lock_guard guard(s_instanceLock);
    s_instance = nullptr;
}

void KESTAlertManager::setManagedObjectContext(Ref<NSManagedObjectContext> context)
{
    assertIsMainThread();
    std::lock_guard guard(m_lock);
    m_managedObjectContext = std::move(context);
}

Ref<NSManagedObjectContext> KESTAlertManager::managedObjectContext() const
{
    assertIsMainThread();
    std::lock_guard guard(m_lock);
    return m_managedObjectContext;
}

void KESTAlertManager::syncAlerts()
{
    assertIsMainThread();
    Request request { "APNS/sync_user_alerts.php", {} };
    if (auto token = storedDeviceToken())
        request.fields.push_back({ "token", *token });
    record(std::move(request));
}

std::string KESTAlertManager::tokenText(const Value& deviceToken)
{
    std::string text;
    if (!deviceToken.isData())
        return text;
    char digits[3];
    for (uint8_t byte : deviceToken.bytes()) {
        std::snprintf(digits, sizeof digits, "%02x", byte);
        text += digits;
    }
    return text;
}

std::optional<std::string> KESTAlertManager::storedDeviceToken() const
{
    assertIsMainThread();
    Value stored = NSUserDefaults::standardUserDefaults()->objectForKey(kDeviceTokenKey);
    if (!stored.isString())
        return std::nullopt;
    return stored.stringValue();
}

void KESTAlertManager::registerDeviceWithServer(const Value& deviceToken)
{
    assertIsMainThread();
    std::string token = tokenText(deviceToken);
    std::string name = NSBundle::mainBundle()->bundleIdentifier().value_or("");
    auto stored = storedDeviceToken();
    if (stored != token) {
        if (stored)
            record({ "APNS/apns_change_device.php",
                { { "cmd", "change" }, { "oldtoken", *stored }, { "newtoken", token }, { "name", name } } });
        auto defaults = NSUserDefaults::standardUserDefaults();
        defaults->setObjectForKey(Value(token), kDeviceTokenKey);
        defaults->synchronize();
    }
    std::string appVersion
        = NSBundle::mainBundle()->objectForInfoDictionaryKey("CFBundleShortVersionString").stringValue();
    record({ "APNS/apns_new_device.php",
        { { "cmd", "reg" }, { "token", token }, { "name", name }, { "appversion", appVersion },
            { "deviceversion", UIDevice::currentDevice()->systemVersion() }, { "debugDevice", "0" } } });
}

std::vector<KESTAlertManager::Request> KESTAlertManager::recordedRequests() const
{
    assertIsMainThread();
    std::lock_guard guard(m_lock);
    return m_requests;
}

void KESTAlertManager::record(Request request)
{
    std::lock_guard guard(m_lock);
    m_requests.push_back(std::move(request));
}
