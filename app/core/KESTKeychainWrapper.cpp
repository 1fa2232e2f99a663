#include "app/core/KESTKeychainWrapper.h"

#include "foundation/Value.h"
#include "security/SecItem.h"

VX_REGISTER_CLASS(KESTKeychainWrapper);

namespace {

void fail(Ref<NSError>* error, int32_t code)
{
    if (error)
        *error = NSError::errorWithDomain(KESTKeychainWrapper::kErrorDomain, code);
}

Value baseQuery(const std::string& username, const std::string& serviceName)
{
    return Value::mutableDictionary(
        { { kSecClass, kSecClassGenericPassword }, { kSecAttrAccount, username }, { kSecAttrService, serviceName } });
}

} // namespace

std::optional<std::string> KESTKeychainWrapper::getPasswordForUsernameAndServiceNameError(
    const std::optional<std::string>& username, const std::optional<std::string>& serviceName, Ref<NSError>* error)
{
    if (!username || !serviceName) {
        fail(error, -2000);
        return std::nullopt;
    }
    if (error)
        *error = nullptr;
    auto attributesQuery = baseQuery(*username, *serviceName);
    attributesQuery.setObjectForKey(true, kSecReturnAttributes);
    Value attributes;
    OSStatus status = SecItemCopyMatching(attributesQuery, &attributes);
    if (status != errSecSuccess) {
        if (status != errSecItemNotFound)
            fail(error, status);
        return std::nullopt;
    }
    auto dataQuery = baseQuery(*username, *serviceName);
    dataQuery.setObjectForKey(true, kSecReturnData);
    Value data;
    status = SecItemCopyMatching(dataQuery, &data);
    if (status != errSecSuccess) {
        fail(error, status == errSecItemNotFound ? -1999 : status);
        return std::nullopt;
    }
    if (!data.isData()) {
        fail(error, -1999);
        return std::nullopt;
    }
    return std::string(data.bytes().begin(), data.bytes().end());
}

bool KESTKeychainWrapper::storeUsernameAndPasswordForServiceNameUpdateExistingError(
    const std::optional<std::string>& username, const std::optional<std::string>& password,
    const std::optional<std::string>& serviceName, bool updateExisting, Ref<NSError>* error)
{
    if (!username || !password || !serviceName) {
        fail(error, -2000);
        return false;
    }
    Ref<NSError> readError;
    auto existing = getPasswordForUsernameAndServiceNameError(username, serviceName, &readError);
    if (readError && readError->code() == -1999) {
        // An item without a usable password is replaced by a complete one.
        readError = nullptr;
        deleteItemForUsernameAndServiceNameError(username, serviceName, &readError);
    }
    if (readError) {
        if (error)
            *error = readError;
        return false;
    }
    if (error)
        *error = nullptr;
    Value passwordData = Value::data(password->data(), password->size());
    OSStatus status;
    if (existing) {
        if (*existing == *password || !updateExisting)
            return true;
        auto query = Value::mutableDictionary({ { kSecClass, kSecClassGenericPassword },
            { kSecAttrService, *serviceName }, { kSecAttrLabel, *serviceName }, { kSecAttrAccount, *username } });
        status = SecItemUpdate(query, Value::dictionary({ { kSecValueData, passwordData } }));
    } else {
        status = SecItemAdd(
            Value::dictionary({ { kSecClass, kSecClassGenericPassword }, { kSecAttrService, *serviceName },
                { kSecAttrLabel, *serviceName }, { kSecAttrAccount, *username }, { kSecValueData, passwordData } }),
            nullptr);
    }
    if (status != errSecSuccess) {
        fail(error, status);
        return false;
    }
    return true;
}

bool KESTKeychainWrapper::deleteItemForUsernameAndServiceNameError(
    const std::optional<std::string>& username, const std::optional<std::string>& serviceName, Ref<NSError>* error)
{
    if (!username || !serviceName) {
        fail(error, -2000);
        return false;
    }
    if (error)
        *error = nullptr;
    auto query = baseQuery(*username, *serviceName);
    query.setObjectForKey(true, kSecReturnAttributes);
    OSStatus status = SecItemDelete(query);
    if (status != errSecSuccess) {
        fail(error, status);
        return false;
    }
    return true;
}
