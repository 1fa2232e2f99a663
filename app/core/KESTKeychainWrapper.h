#pragma once

#include "foundation/NSError.h"
#include "foundation/NSObject.h"

#include <optional>
#include <string>

// One password per user name and service name in the keychain (generic-password items labelled
// with the service name). Failures answer nil or NO and fill the error (domain "vxErrorDomain"):
// -2000 for a missing argument, -1999 for an item whose password cannot be read, otherwise the
// keychain's status. Main thread only.
class KESTKeychainWrapper : public NSObject {
    VX_OBJECT(KESTKeychainWrapper, NSObject)
public:
    explicit KESTKeychainWrapper(Passkey key)
        : NSObject(key)
    {
    }
    static constexpr const char* kErrorDomain = "vxErrorDomain";

    // nullopt for a missing item (no error) or a failure (with the error).
    static std::optional<std::string> getPasswordForUsernameAndServiceNameError(
        const std::optional<std::string>& username, const std::optional<std::string>& serviceName, Ref<NSError>* error);
    // YES when the keychain holds the password afterwards, or nothing needed to change (an
    // existing different password is kept when updating is not allowed).
    static bool storeUsernameAndPasswordForServiceNameUpdateExistingError(const std::optional<std::string>& username,
        const std::optional<std::string>& password, const std::optional<std::string>& serviceName, bool updateExisting,
        Ref<NSError>* error);
    static bool deleteItemForUsernameAndServiceNameError(
        const std::optional<std::string>& username, const std::optional<std::string>& serviceName, Ref<NSError>* error);
};
