#include "security/SecItem.h"

#include "foundation/NSPropertyListSerialization.h"
#include "foundation/Sandbox.h"

#include <fcntl.h>
#include <fstream>
#include <iterator>
#include <mutex>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace {

// Attributes an item keeps and a query may match on.
constexpr const char* s_attributes[]
    = { kSecAttrService, kSecAttrAccount, kSecAttrLabel, kSecAttrAccessGroup, kSecAttrAccessible };

std::mutex& s_lock = *new std::mutex;
Keychain::Storage s_storage = Keychain::Storage::File;
std::vector<Value>& s_memory = *new std::vector<Value>;

std::vector<Value> load()
{
    if (s_storage == Keychain::Storage::Memory)
        return s_memory;
    std::ifstream file(Keychain::filePath(), std::ios::binary);
    if (!file)
        return {};
    Value::Bytes bytes((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
    Value list = NSPropertyListSerialization::propertyListWithData(Value::data(std::move(bytes)), 0, nullptr, nullptr);
    if (!list.isArray())
        return {};
    std::vector<Value> items;
    for (const auto& item : list.elements()) {
        if (item.isDictionary())
            items.push_back(item);
    }
    return items;
}

OSStatus save(const std::vector<Value>& items)
{
    if (s_storage == Keychain::Storage::Memory) {
        s_memory = items;
        return errSecSuccess;
    }
    Value data = NSPropertyListSerialization::dataWithPropertyList(
        Value::array(items), NSPropertyListSerialization::NSPropertyListBinaryFormat_v1_0, 0, nullptr);
    if (!data.isData())
        return errSecParam;
    std::string path = Keychain::filePath();
    std::string directory = path.substr(0, path.rfind('/'));
    ::mkdir(directory.c_str(), 0700);
    // Written to a new 0600 file, then moved into place, so a crash never leaves half a keychain.
    std::string temporary = path + ".new";
    int fd = ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    if (fd < 0)
        return errSecParam;
    const auto& bytes = data.bytes();
    bool ok = ::write(fd, bytes.data(), bytes.size()) == ssize_t(bytes.size());
    ok = ::fsync(fd) == 0 && ok;
    ::close(fd);
    if (!ok || ::rename(temporary.c_str(), path.c_str()) != 0) {
        ::unlink(temporary.c_str());
        return errSecParam;
    }
    return errSecSuccess;
}

bool isGenericPassword(const Value& query)
{
    return query.isDictionary() && query[kSecClass].isString() && query[kSecClass].string() == kSecClassGenericPassword;
}

bool matches(const Value& item, const Value& query)
{
    for (const char* key : s_attributes) {
        const Value& wanted = query[key];
        if (!wanted.isNil() && !(item[key] == wanted))
            return false;
    }
    return true;
}

Value answer(const Value& item, const Value& query)
{
    bool data = query[kSecReturnData].boolValue();
    bool attributes = query[kSecReturnAttributes].boolValue();
    // An item without data answers nil for its data.
    if (data && !attributes)
        return item[kSecValueData];
    auto result = Value::mutableDictionary();
    result.setObjectForKey(kSecClassGenericPassword, kSecClass);
    for (const char* key : s_attributes) {
        if (!item[key].isNil())
            result.setObjectForKey(item[key], key);
    }
    if (data && !item[kSecValueData].isNil())
        result.setObjectForKey(item[kSecValueData], kSecValueData);
    return result.copy();
}

} // namespace

namespace Keychain {

void setStorageForTesting(Storage storage)
{
    std::lock_guard lock(s_lock);
    s_storage = storage;
    s_memory.clear();
}

std::string filePath()
{
    return Sandbox::root() + "/Library/Keychains/keychain.plist";
}

} // namespace Keychain

OSStatus SecItemAdd(const Value& attributes, Value* result)
{
    if (!isGenericPassword(attributes))
        return errSecParam;
    if (!attributes[kSecValueData].isNil() && !attributes[kSecValueData].isData())
        return errSecParam;
    std::lock_guard lock(s_lock);
    auto items = load();
    for (const auto& item : items) {
        if (item[kSecAttrService] == attributes[kSecAttrService] && item[kSecAttrAccount] == attributes[kSecAttrAccount]
            && item[kSecAttrAccessGroup] == attributes[kSecAttrAccessGroup])
            return errSecDuplicateItem;
    }
    auto item = Value::mutableDictionary();
    for (const char* key : s_attributes) {
        if (!attributes[key].isNil())
            item.setObjectForKey(attributes[key], key);
    }
    if (attributes[kSecAttrAccessible].isNil())
        item.setObjectForKey(kSecAttrAccessibleWhenUnlocked, kSecAttrAccessible);
    // An item added without data keeps none: asking for its data then answers nothing.
    if (attributes[kSecValueData].isData())
        item.setObjectForKey(attributes[kSecValueData], kSecValueData);
    items.push_back(item.copy());
    OSStatus status = save(items);
    if (status == errSecSuccess && result
        && (attributes[kSecReturnData].boolValue() || attributes[kSecReturnAttributes].boolValue()))
        *result = answer(items.back(), attributes);
    return status;
}

OSStatus SecItemCopyMatching(const Value& query, Value* result)
{
    if (!isGenericPassword(query))
        return errSecParam;
    std::lock_guard lock(s_lock);
    auto items = load();
    bool all = query[kSecMatchLimit].isString() && query[kSecMatchLimit].string() == kSecMatchLimitAll;
    std::vector<Value> found;
    for (const auto& item : items) {
        if (!matches(item, query))
            continue;
        found.push_back(answer(item, query));
        if (!all)
            break;
    }
    if (found.empty())
        return errSecItemNotFound;
    if (result) {
        if (all) {
            // An item without data has nothing to put in a list of data.
            std::erase_if(found, [](const Value& v) { return v.isNil(); });
            *result = Value::array(std::move(found));
        } else {
            *result = found.front();
        }
    }
    return errSecSuccess;
}

OSStatus SecItemUpdate(const Value& query, const Value& attributesToUpdate)
{
    if (!isGenericPassword(query) || !attributesToUpdate.isDictionary())
        return errSecParam;
    std::lock_guard lock(s_lock);
    auto items = load();
    bool any = false;
    for (auto& item : items) {
        if (!matches(item, query))
            continue;
        any = true;
        auto changed = item.mutableCopy();
        for (const char* key : s_attributes) {
            if (!attributesToUpdate[key].isNil())
                changed.setObjectForKey(attributesToUpdate[key], key);
        }
        if (attributesToUpdate[kSecValueData].isData())
            changed.setObjectForKey(attributesToUpdate[kSecValueData], kSecValueData);
        item = changed.copy();
    }
    if (!any)
        return errSecItemNotFound;
    return save(items);
}

OSStatus SecItemDelete(const Value& query)
{
    if (!isGenericPassword(query))
        return errSecParam;
    std::lock_guard lock(s_lock);
    auto items = load();
    auto before = items.size();
    std::erase_if(items, [&](const Value& item) { return matches(item, query); });
    if (items.size() == before)
        return errSecItemNotFound;
    return save(items);
}
