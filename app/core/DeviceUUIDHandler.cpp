#include "app/core/DeviceUUIDHandler.h"

#include "foundation/NSLog.h"
#include "foundation/NSUUID.h"
#include "foundation/Value.h"
#include "security/SecItem.h"

VX_REGISTER_CLASS(DeviceUUIDHandler);

namespace {

std::string s_cachedUUID;
std::string s_accessGroup;

Value baseQuery()
{
    auto query = Value::mutableDictionary({ { kSecClass, kSecClassGenericPassword },
        { kSecAttrAccount, "device_uuid_account" }, { kSecAttrService, "device_uuid_service" } });
    if (!s_accessGroup.empty())
        query.setObjectForKey(s_accessGroup, kSecAttrAccessGroup);
    return query;
}

} // namespace

std::string DeviceUUIDHandler::generateUUID()
{
    return NSUUID::UUID()->UUIDString();
}

std::optional<std::string> DeviceUUIDHandler::UUID()
{
    if (!s_cachedUUID.empty())
        return s_cachedUUID;
    Value query = baseQuery();
    OSStatus status = SecItemCopyMatching(query, nullptr);
    if (status == errSecItemNotFound)
        return storeUUID(false);
    if (status != errSecSuccess) {
        NSLog("DeviceUUIDHandler Unhandled Keychain Error %d", status);
        return std::nullopt;
    }
    query.setObjectForKey(true, kSecReturnData);
    Value data;
    status = SecItemCopyMatching(query, &data);
    if (status == errSecItemNotFound)
        return storeUUID(false);
    if (status != errSecSuccess) {
        NSLog("DeviceUUIDHandler Unhandled Keychain Error %d", status);
        return std::nullopt;
    }
    if (!data.isData())
        return std::nullopt;
    s_cachedUUID.assign(data.bytes().begin(), data.bytes().end());
    return s_cachedUUID;
}

std::optional<std::string> DeviceUUIDHandler::storeUUID(bool itemExists)
{
    std::string uuid = generateUUID();
    Value data = Value::data(uuid.data(), uuid.size());
    OSStatus status;
    if (itemExists) {
        status = SecItemUpdate(baseQuery(), Value::dictionary({ { kSecValueData, data } }));
    } else {
        Value attributes = baseQuery();
        attributes.setObjectForKey(data, kSecValueData);
        status = SecItemAdd(attributes, nullptr);
    }
    if (status != errSecSuccess) {
        NSLog("DeviceUUIDHandler Keychain Save Error: %d", status);
        return std::nullopt;
    }
    return uuid;
}

void DeviceUUIDHandler::reset()
{
    s_cachedUUID.clear();
    Value query = baseQuery();
    query.setObjectForKey(true, kSecReturnAttributes);
    if (SecItemCopyMatching(query, nullptr) == errSecItemNotFound)
        return;
    OSStatus status = SecItemDelete(query);
    if (status != errSecSuccess)
        NSLog("DeviceUUIDHandler Keychain Delete Error: %d", status);
}

std::string DeviceUUIDHandler::accessGroup()
{
    return s_accessGroup;
}

void DeviceUUIDHandler::setAccessGroup(const std::string& group)
{
    s_accessGroup = group;
}

void DeviceUUIDHandler::resetCacheForTesting()
{
    s_cachedUUID.clear();
    s_accessGroup.clear();
}
