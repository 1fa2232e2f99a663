#include "sdk/HBRKeychainUtils.h"

namespace {

bool fail(Ref<NSError>* error, int32_t code)
{
    if (error)
        *error = NSError::errorWithDomain("HBRKeychainUtilsErrorDomain", code);
    return false;
}

void succeed(Ref<NSError>* error)
{
    if (error)
        *error = nullptr;
}

} // namespace

std::optional<std::string> HBRKeychainUtils::getPasswordForUsernameAndServiceName(
    const std::optional<std::string>& username, const std::optional<std::string>& serviceName, Ref<NSError>* error)
{
    if (!username || !serviceName) {
        fail(error, kMissingArgument);
        return std::nullopt;
    }
    succeed(error);
    Value query = Value::mutableDictionary({ { kSecClass, kSecClassGenericPassword }, { kSecAttrAccount, *username },
        { kSecAttrService, *serviceName }, { kSecReturnAttributes, true } });
    Value attributes;
    OSStatus status = SecItemCopyMatching(query, &attributes);
    if (status == errSecItemNotFound)
        return std::nullopt;
    if (status != errSecSuccess) {
        fail(error, status);
        return std::nullopt;
    }
    query.removeObjectForKey(Value(kSecReturnAttributes));
    query.setObjectForKey(true, Value(kSecReturnData));
    Value data;
    status = SecItemCopyMatching(query, &data);
    if (status == errSecSuccess && data.isData())
        return std::string(data.bytes().begin(), data.bytes().end());
    fail(error, (status == errSecSuccess || status == errSecItemNotFound) ? kNoData : status);
    return std::nullopt;
}

bool HBRKeychainUtils::storeUsernameAndPasswordForServiceName(const std::optional<std::string>& username,
    const std::optional<std::string>& password, const std::optional<std::string>& serviceName, bool updateExisting,
    const std::string& accessibility, Ref<NSError>* error)
{
    if (!username || !password || !serviceName)
        return fail(error, kMissingArgument);
    Ref<NSError> readError;
    auto existing = getPasswordForUsernameAndServiceName(username, serviceName, &readError);
    if (readError && readError->code() == kNoData) {
        // An item without data is useless: remove it and store afresh.
        if (!deleteItemForUsernameAndServiceName(username, serviceName, &readError))
            return fail(error, readError ? readError->code() : kNoData);
        readError = nullptr;
        existing.reset();
    }
    if (readError) {
        if (error)
            *error = readError;
        return false;
    }
    Value data = Value::data(password->data(), password->size());
    OSStatus status;
    if (existing) {
        if (*existing == *password || !updateExisting) {
            succeed(error);
            return true;
        }
        Value query = Value::dictionary({ { kSecClass, kSecClassGenericPassword }, { kSecAttrService, *serviceName },
            { kSecAttrLabel, *serviceName }, { kSecAttrAccount, *username }, { kSecAttrAccessible, accessibility } });
        status = SecItemUpdate(query, Value::dictionary({ { kSecValueData, data } }));
    } else {
        Value item = Value::dictionary({ { kSecClass, kSecClassGenericPassword }, { kSecAttrService, *serviceName },
            { kSecAttrLabel, *serviceName }, { kSecAttrAccount, *username }, { kSecValueData, data },
            { kSecAttrAccessible, accessibility } });
        status = SecItemAdd(item, nullptr);
    }
    if (status != errSecSuccess)
        return fail(error, status);
    succeed(error);
    return true;
}

bool HBRKeychainUtils::deleteItemForUsernameAndServiceName(
    const std::optional<std::string>& username, const std::optional<std::string>& serviceName, Ref<NSError>* error)
{
    if (!username || !serviceName)
        return fail(error, kMissingArgument);
    OSStatus status = SecItemDelete(Value::dictionary({ { kSecClass, kSecClassGenericPassword },
        { kSecAttrAccount, *username }, { kSecAttrService, *serviceName } }));
    if (status != errSecSuccess)
        return fail(error, status);
    succeed(error);
    return true;
}

bool HBRKeychainUtils::purgeItemsForServiceName(const std::optional<std::string>& serviceName, Ref<NSError>* error)
{
    if (!serviceName)
        return fail(error, kMissingArgument);
    OSStatus status = SecItemDelete(
        Value::dictionary({ { kSecClass, kSecClassGenericPassword }, { kSecAttrService, *serviceName } }));
    if (status != errSecSuccess)
        return fail(error, status);
    succeed(error);
    return true;
}
