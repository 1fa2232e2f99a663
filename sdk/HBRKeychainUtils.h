#pragma once

#include "foundation/NSError.h"
#include "security/SecItem.h"

#include <optional>
#include <string>

// Generic-password keychain items of the kit: account = the key, service = the service name,
// label = the service name, data = the value as UTF-8. Errors have the domain
// "HBRKeychainUtilsErrorDomain": -2000 a required argument is missing, -1999 the item has no
// data (or vanished between the two queries of a read), otherwise the keychain's status.
// Any thread.
class HBRKeychainUtils {
public:
    static constexpr int32_t kMissingArgument = -2000;
    static constexpr int32_t kNoData = -1999;

    // nullopt without error when there is no item.
    static std::optional<std::string> getPasswordForUsernameAndServiceName(
        const std::optional<std::string>& username, const std::optional<std::string>& serviceName, Ref<NSError>* error);
    static bool storeUsernameAndPasswordForServiceName(const std::optional<std::string>& username,
        const std::optional<std::string>& password, const std::optional<std::string>& serviceName, bool updateExisting,
        const std::string& accessibility, Ref<NSError>* error);
    static bool storeUsernameAndPasswordForServiceName(const std::optional<std::string>& username,
        const std::optional<std::string>& password, const std::optional<std::string>& serviceName, bool updateExisting,
        Ref<NSError>* error)
    {
        return storeUsernameAndPasswordForServiceName(
            username, password, serviceName, updateExisting, kSecAttrAccessibleWhenUnlocked, error);
    }
    static bool deleteItemForUsernameAndServiceName(
        const std::optional<std::string>& username, const std::optional<std::string>& serviceName, Ref<NSError>* error);
    static bool purgeItemsForServiceName(const std::optional<std::string>& serviceName, Ref<NSError>* error);
};
