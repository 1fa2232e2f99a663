#pragma once

#include "foundation/NSObject.h"

#include <optional>
#include <string>

// The device's UUID: made once at random, kept in the keychain (account "device_uuid_account",
// service "device_uuid_service") so it survives restarts, and cached once read back. Keychain
// failures answer nil with one log line. Main thread only.
class DeviceUUIDHandler : public NSObject {
    VX_OBJECT(DeviceUUIDHandler, NSObject)
public:
    explicit DeviceUUIDHandler(Passkey key)
        : NSObject(key)
    {
    }
    static std::optional<std::string> UUID();
    static std::string generateUUID();
    // Stores a new UUID (updating the item when `itemExists`) and answers it, uncached.
    static std::optional<std::string> storeUUID(bool itemExists);
    // Forgets the cached UUID and deletes the item.
    static void reset();
    static std::string accessGroup();
    static void setAccessGroup(const std::string& group);
    // Test-only: forgets the cache and the access group (the item stays).
    static void resetCacheForTesting();
};
