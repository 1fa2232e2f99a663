#pragma once

#include "foundation/Value.h"
#include "security/SecurityForward.h"

#include <string>

// Generic-password keychain items, queried with dictionaries as on the platform.
inline constexpr const char* kSecClass = "class";
inline constexpr const char* kSecClassGenericPassword = "genp";
inline constexpr const char* kSecAttrService = "svce";
inline constexpr const char* kSecAttrAccount = "acct";
inline constexpr const char* kSecAttrLabel = "labl";
inline constexpr const char* kSecAttrAccessGroup = "agrp";
inline constexpr const char* kSecAttrAccessible = "pdmn";
inline constexpr const char* kSecAttrAccessibleWhenUnlocked = "ak";
inline constexpr const char* kSecAttrAccessibleAfterFirstUnlock = "ck";
inline constexpr const char* kSecAttrAccessibleAlways = "dk";
inline constexpr const char* kSecAttrAccessibleWhenUnlockedThisDeviceOnly = "aku";
inline constexpr const char* kSecAttrAccessibleAfterFirstUnlockThisDeviceOnly = "cku";
inline constexpr const char* kSecAttrAccessibleAlwaysThisDeviceOnly = "dku";
inline constexpr const char* kSecValueData = "v_Data";
inline constexpr const char* kSecReturnData = "r_Data";
inline constexpr const char* kSecReturnAttributes = "r_Attributes";
inline constexpr const char* kSecMatchLimit = "m_Limit";
inline constexpr const char* kSecMatchLimitOne = "m_LimitOne";
inline constexpr const char* kSecMatchLimitAll = "m_LimitAll";

// Adds an item. Service, account and access group identify it: adding a second item with the
// same three answers errSecDuplicateItem. `result` (when given) receives what the query's
// return keys ask for.
OSStatus SecItemAdd(const Value& attributes, Value* result);
// Finds the items matching every attribute the query names (and the class). With
// kSecReturnData alone the result is the data; with kSecReturnAttributes a dictionary of the
// attributes (and the data under kSecValueData when both are asked for); with
// kSecMatchLimitAll an array of those. errSecItemNotFound when nothing matches.
OSStatus SecItemCopyMatching(const Value& query, Value* result);
// Changes the attributes (or data) of every matching item.
OSStatus SecItemUpdate(const Value& query, const Value& attributesToUpdate);
// Removes every matching item.
OSStatus SecItemDelete(const Value& query);

// Where the items live: a 0600 property-list file under the sandbox's Library (the default), or
// memory only, for tests. Switching storage forgets items held in memory.
namespace Keychain {
enum class Storage { File, Memory };
void setStorageForTesting(Storage storage);
// The file used for Storage::File.
std::string filePath();
} // namespace Keychain
