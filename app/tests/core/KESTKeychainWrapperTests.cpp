#include "app/core/KESTKeychainWrapper.h"

#include "app/core/DeviceUUIDHandler.h"
#include "app/tests/AppTestSupport.h"
#include "security/SecItem.h"

#include <gtest/gtest.h>

#include <regex>

namespace {

int32_t code(const Ref<NSError>& error)
{
    return error ? error->code() : 0;
}

TEST(KESTKeychainWrapper, StoresReadsReplacesAndDeletesPasswords)
{
    AppTestScope scope;
    Ref<NSError> error = NSError::errorWithDomain("stale", 1);
    EXPECT_EQ(KESTKeychainWrapper::getPasswordForUsernameAndServiceNameError("a@b.c", "vxID", &error), std::nullopt);
    EXPECT_EQ(error, nullptr) << "a missing item is no error";

    EXPECT_TRUE(KESTKeychainWrapper::storeUsernameAndPasswordForServiceNameUpdateExistingError(
        "a@b.c", "one", "vxID", true, &error));
    EXPECT_EQ(KESTKeychainWrapper::getPasswordForUsernameAndServiceNameError("a@b.c", "vxID", &error), "one");
    // Without the update flag a different password is kept, and that still counts as stored.
    EXPECT_TRUE(KESTKeychainWrapper::storeUsernameAndPasswordForServiceNameUpdateExistingError(
        "a@b.c", "two", "vxID", false, &error));
    EXPECT_EQ(KESTKeychainWrapper::getPasswordForUsernameAndServiceNameError("a@b.c", "vxID", &error), "one");
    EXPECT_TRUE(KESTKeychainWrapper::storeUsernameAndPasswordForServiceNameUpdateExistingError(
        "a@b.c", "two", "vxID", true, &error));
    EXPECT_EQ(KESTKeychainWrapper::getPasswordForUsernameAndServiceNameError("a@b.c", "vxID", &error), "two");
    Value label;
    SecItemCopyMatching(Value::dictionary({ { kSecClass, kSecClassGenericPassword }, { kSecAttrAccount, "a@b.c" },
                            { kSecReturnAttributes, true } }),
        &label);
    EXPECT_EQ(label[kSecAttrLabel].stringValue(), "vxID");

    EXPECT_TRUE(KESTKeychainWrapper::deleteItemForUsernameAndServiceNameError("a@b.c", "vxID", &error));
    EXPECT_FALSE(KESTKeychainWrapper::deleteItemForUsernameAndServiceNameError("a@b.c", "vxID", &error));
    EXPECT_EQ(code(error), -25300);

    struct Case {
        const char* name;
        std::optional<std::string> user, password, service;
    } cases[] = {
        { "no user", std::nullopt, "p", "s" },
        { "no password", "u", std::nullopt, "s" },
        { "no service", "u", "p", std::nullopt },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_FALSE(KESTKeychainWrapper::storeUsernameAndPasswordForServiceNameUpdateExistingError(
            c.user, c.password, c.service, true, &error));
        EXPECT_EQ(code(error), -2000);
        EXPECT_EQ(error->domain(), "vxErrorDomain");
    }
    EXPECT_EQ(KESTKeychainWrapper::getPasswordForUsernameAndServiceNameError(std::nullopt, "s", &error), std::nullopt);
    EXPECT_EQ(code(error), -2000);
}

TEST(KESTKeychainWrapper, AnItemWithoutAPasswordIsReplacedWhenOneIsStored)
{
    AppTestScope scope;
    ASSERT_EQ(SecItemAdd(Value::dictionary({ { kSecClass, kSecClassGenericPassword }, { kSecAttrService, "vxID" },
                             { kSecAttrAccount, "a@b.c" } }),
                  nullptr),
        errSecSuccess);
    Ref<NSError> error;
    EXPECT_EQ(KESTKeychainWrapper::getPasswordForUsernameAndServiceNameError("a@b.c", "vxID", &error), std::nullopt);
    EXPECT_EQ(code(error), -1999);
    EXPECT_TRUE(KESTKeychainWrapper::storeUsernameAndPasswordForServiceNameUpdateExistingError(
        "a@b.c", "pw", "vxID", false, &error));
    EXPECT_EQ(KESTKeychainWrapper::getPasswordForUsernameAndServiceNameError("a@b.c", "vxID", &error), "pw");
}

TEST(DeviceUUIDHandler, MakesOneUUIDThatSurvivesRestarts)
{
    AppTestScope scope;
    DeviceUUIDHandler::resetCacheForTesting();
    auto uuid = DeviceUUIDHandler::UUID();
    ASSERT_TRUE(uuid);
    EXPECT_TRUE(std::regex_match(*uuid, std::regex("[0-9A-F]{8}-[0-9A-F]{4}-[0-9A-F]{4}-[0-9A-F]{4}-[0-9A-F]{12}")));
    EXPECT_EQ(DeviceUUIDHandler::UUID(), uuid);
    DeviceUUIDHandler::resetCacheForTesting(); // a new process on the same keychain
    EXPECT_EQ(DeviceUUIDHandler::UUID(), uuid);
    DeviceUUIDHandler::reset();
    EXPECT_NE(DeviceUUIDHandler::UUID(), uuid);
    DeviceUUIDHandler::resetCacheForTesting();
}

} // namespace
