#include "security/SecItem.h"

#include <gtest/gtest.h>

#include <cstring>
#include <sys/stat.h>
#include <unistd.h>

namespace {

Value item(const char* service, const char* account, const char* secret, const char* group = nullptr)
{
    auto attributes = Value::mutableDictionary({ { kSecClass, kSecClassGenericPassword }, { kSecAttrService, service },
        { kSecAttrAccount, account }, { kSecValueData, Value::data(secret, std::strlen(secret)) } });
    if (group)
        attributes.setObjectForKey(group, kSecAttrAccessGroup);
    return attributes.copy();
}

Value query(std::vector<std::pair<Value, Value>> entries)
{
    entries.emplace_back(kSecClass, kSecClassGenericPassword);
    return Value::dictionary(std::move(entries));
}

class SecItemTest : public ::testing::TestWithParam<Keychain::Storage> {
protected:
    void SetUp() override
    {
        Keychain::setStorageForTesting(GetParam());
        ::unlink(Keychain::filePath().c_str());
    }
    void TearDown() override { Keychain::setStorageForTesting(Keychain::Storage::Memory); }
};

TEST_P(SecItemTest, AddsFindsUpdatesAndDeletesGenericPasswords)
{
    EXPECT_EQ(SecItemAdd(item("feed", "alice", "one"), nullptr), errSecSuccess);
    EXPECT_EQ(SecItemAdd(item("feed", "bob", "two"), nullptr), errSecSuccess);
    EXPECT_EQ(SecItemAdd(item("mail", "alice", "three"), nullptr), errSecSuccess);
    EXPECT_EQ(SecItemAdd(item("feed", "alice", "again"), nullptr), errSecDuplicateItem);
    EXPECT_EQ(SecItemAdd(item("feed", "alice", "grouped", "team.group"), nullptr), errSecSuccess);
    EXPECT_EQ(SecItemAdd(Value::dictionary({ { kSecAttrService, "x" } }), nullptr), errSecParam);

    struct Case {
        const char* name;
        Value query;
        OSStatus status;
        std::string expected; // description of the result
    } cases[] = {
        { "data by service and account",
            query({ { kSecAttrService, "mail" }, { kSecAttrAccount, "alice" }, { kSecReturnData, true } }),
            errSecSuccess, "three" },
        { "count of a partial query",
            query(
                { { kSecAttrService, "feed" }, { kSecMatchLimit, kSecMatchLimitAll }, { kSecReturnAttributes, true } }),
            errSecSuccess, "3 items" },
        { "attributes and data",
            query({ { kSecAttrAccount, "bob" }, { kSecReturnAttributes, true }, { kSecReturnData, true } }),
            errSecSuccess, "bob two ak" },
        { "missing", query({ { kSecAttrService, "none" }, { kSecReturnData, true } }), errSecItemNotFound, "" },
        { "wrong class", Value::dictionary({ { kSecClass, "inet" } }), errSecParam, "" },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Value result;
        EXPECT_EQ(SecItemCopyMatching(c.query, &result), c.status);
        std::string described;
        if (result.isData())
            described.assign(result.bytes().begin(), result.bytes().end());
        else if (result.isArray())
            described = std::to_string(result.count()) + " items";
        else if (result.isDictionary())
            described = result[kSecAttrAccount].stringValue() + " "
                + std::string(result[kSecValueData].bytes().begin(), result[kSecValueData].bytes().end()) + " "
                + result[kSecAttrAccessible].stringValue();
        EXPECT_EQ(described, c.expected);
    }

    EXPECT_EQ(SecItemUpdate(query({ { kSecAttrAccount, "bob" } }),
                  Value::dictionary({ { kSecValueData, Value::data("new", 3) }, { kSecAttrLabel, "Bob" } })),
        errSecSuccess);
    Value updated;
    SecItemCopyMatching(query({ { kSecAttrLabel, "Bob" }, { kSecReturnData, true } }), &updated);
    EXPECT_EQ(std::string(updated.bytes().begin(), updated.bytes().end()), "new");
    EXPECT_EQ(SecItemUpdate(query({ { kSecAttrAccount, "carol" } }), Value::dictionary({ { kSecAttrLabel, "C" } })),
        errSecItemNotFound);

    // Deleting removes every match; a second delete finds nothing.
    EXPECT_EQ(SecItemDelete(query({ { kSecAttrAccount, "alice" } })), errSecSuccess);
    EXPECT_EQ(SecItemDelete(query({ { kSecAttrAccount, "alice" } })), errSecItemNotFound);
    Value remaining;
    EXPECT_EQ(SecItemCopyMatching(
                  query({ { kSecMatchLimit, kSecMatchLimitAll }, { kSecReturnAttributes, true } }), &remaining),
        errSecSuccess);
    EXPECT_EQ(remaining.count(), 1u);

    if (GetParam() == Keychain::Storage::File) {
        struct stat info;
        ASSERT_EQ(::stat(Keychain::filePath().c_str(), &info), 0);
        EXPECT_EQ(info.st_mode & 0777, 0600u);
    }
}

TEST_P(SecItemTest, ItemsAddedWithoutDataAnswerNoDataAndDeletesMayAskForAttributes)
{
    EXPECT_EQ(SecItemAdd(query({ { kSecAttrService, "vxID" }, { kSecAttrAccount, "a@b.c" } }), nullptr), errSecSuccess);
    Value data = Value::data("x", 1);
    EXPECT_EQ(
        SecItemCopyMatching(
            query({ { kSecAttrService, "vxID" }, { kSecAttrAccount, "a@b.c" }, { kSecReturnData, true } }), &data),
        errSecSuccess);
    EXPECT_TRUE(data.isNil());
    EXPECT_EQ(SecItemDelete(query({ { kSecAttrAccount, "a@b.c" }, { kSecReturnAttributes, true } })), errSecSuccess);
    EXPECT_EQ(
        SecItemDelete(query({ { kSecAttrAccount, "a@b.c" }, { kSecReturnAttributes, true } })), errSecItemNotFound);
}

INSTANTIATE_TEST_SUITE_P(Storage, SecItemTest, ::testing::Values(Keychain::Storage::Memory, Keychain::Storage::File),
    [](const ::testing::TestParamInfo<Keychain::Storage>& info) {
        return info.param == Keychain::Storage::File ? std::string("File") : std::string("Memory");
    });

} // namespace
