#include "app/core/KESTAuthManager.h"

#include "app/core/DeviceUUIDHandler.h"
#include "app/core/KESTAlertManager.h"
#include "app/core/KESTKeychainWrapper.h"
#include "app/core/KESTLiveDataManager.h"
#include "app/tests/AppTestSupport.h"
#include "foundation/NSString.h"
#include "foundation/NSUserDefaults.h"
#include "testing/Drain.h"
#include "testing/URLStubs.h"

#include <gtest/gtest.h>

#include <map>

namespace {

constexpr const char* kService = "http://accounts.test/";

// The decoded form of a recorded POST.
std::map<std::string, std::string> form(const URLStubRecord& record)
{
    std::map<std::string, std::string> fields;
    std::string body(record.body.begin(), record.body.end());
    size_t start = 0;
    while (start < body.size()) {
        size_t end = body.find('&', start);
        if (end == std::string::npos)
            end = body.size();
        std::string pair = body.substr(start, end - start);
        size_t eq = pair.find('=');
        std::string key = NSString::stringByRemovingPercentEncoding(pair.substr(0, eq)).value_or("");
        std::string value = NSString::stringByRemovingPercentEncoding(pair.substr(eq + 1)).value_or("");
        fields[key] = value;
        start = end + 1;
    }
    return fields;
}

class AuthTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        m_previousBase = KESTLiveDataManager::serviceBaseURL();
        KESTLiveDataManager::setServiceBaseURL(kService);
        KESTAuthManager::resetSharedInstanceForTesting();
        KESTAlertManager::resetSharedInstanceForTesting();
        DeviceUUIDHandler::resetCacheForTesting();
    }
    void TearDown() override
    {
        drainAll();
        KESTAuthManager::resetSharedInstanceForTesting();
        DeviceUUIDHandler::resetCacheForTesting();
        KESTLiveDataManager::setServiceBaseURL(m_previousBase);
    }
    Ref<URLStub> stub(int32_t status, std::string body = {})
    {
        URLStubSpec spec;
        spec.method = "POST";
        spec.url = std::string(kService).append("auth/api/v1.php");
        spec.statusCode = status;
        spec.body = std::move(body);
        return m_stubs.add(spec);
    }
    AppTestScope m_scope;
    URLStubs m_stubs;
    std::string m_previousBase;
};

TEST_F(AuthTest, EveryRequestCarriesTheDeviceDescriptionWhichWins)
{
    auto service = stub(200, "{\"response\":\"whatever\"}");
    int successes = 0;
    KESTAuthManager::sharedInstance()->performRequestSuccessFailure(
        Value::dictionary({ { "action", "login" }, { "uuid", "mine" }, { "email", "a@b.c" } }),
        [&](const Ref<VNHTTPRequestOperation>&, const Value&) { ++successes; }, nullptr);
    drainAll();
    EXPECT_EQ(successes, 1);
    ASSERT_EQ(service->requestCount(), 1u);
    auto fields = form(service->requests()[0]);
    EXPECT_EQ(fields["uuid"], DeviceUUIDHandler::UUID());
    EXPECT_EQ(fields["action"], "login");
    EXPECT_EQ(fields["country"], "en_US");
    EXPECT_EQ(fields.count("push_token"), 0u) << "no token stored yet";
    for (const char* key : { "model", "bundle_id", "device_version", "app_version" })
        EXPECT_EQ(fields.count(key), 1u) << key;
}

TEST_F(AuthTest, OnlyTwoHundredsSucceed)
{
    struct Case {
        int32_t status;
        bool success;
    } cases[] = { { 200, true }, { 204, true }, { 400, false }, { 500, false } };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.status);
        URLStubs stubs;
        URLStubSpec spec;
        spec.url = std::string(kService).append("auth/api/v1.php");
        spec.statusCode = c.status;
        spec.body = "{\"response\":\"text\"}";
        stubs.add(spec);
        int successes = 0, failures = 0;
        KESTAuthManager::sharedInstance()->performRequestSuccessFailure(
            Value::dictionary({ { "action", "create" } }),
            [&](const Ref<VNHTTPRequestOperation>&, const Value&) { ++successes; },
            [&](const Ref<VNHTTPRequestOperation>&, const Ref<NSError>&) { ++failures; });
        drainAll();
        EXPECT_EQ(successes, c.success ? 1 : 0);
        EXPECT_EQ(failures, c.success ? 0 : 1);
    }
}

TEST_F(AuthTest, StoredCredentialsAndTheTemporaryAccount)
{
    auto auth = KESTAuthManager::sharedInstance();
    EXPECT_FALSE(auth->hasStoredCredentials());
    auth->removeStoredCredentials(); // nothing stored: nothing happens
    EXPECT_FALSE(auth->storeUserCredentials(Value::dictionary({ { "email", "a@b.c" } })));

    auto service = stub(200);
    int completions = 0;
    auth->createTempAccountWithCompletionFailure([&] { ++completions; }, nullptr);
    drainAll();
    EXPECT_EQ(completions, 1);
    auto fields = form(service->requests()[0]);
    EXPECT_EQ(fields["action"], "create");
    EXPECT_EQ(fields["email"].rfind("temp_" + *DeviceUUIDHandler::UUID() + "_", 0), 0u);
    EXPECT_EQ(fields["password"].size(), 16u);
    EXPECT_EQ(auth->storedEmail(), fields["email"]);
    EXPECT_TRUE(auth->hasStoredCredentials());
    EXPECT_FALSE(auth->hasValidStoredCredentials()) << "a temporary account is not a real one";

    // A real account, even without a password in the keychain, is valid; it is not "stored".
    NSUserDefaults::standardUserDefaults()->setObjectForKey(Value("real@b.c"), "vxIDEmail");
    EXPECT_TRUE(auth->hasValidStoredCredentials());
    EXPECT_FALSE(auth->hasStoredCredentials());
    EXPECT_TRUE(auth->storeUserCredentials(Value::dictionary({ { "email", "real@b.c" }, { "password", "pw" } })));
    EXPECT_TRUE(auth->hasStoredCredentials());
    auth->removeStoredCredentials();
    EXPECT_EQ(auth->storedEmail(), std::nullopt);
    Ref<NSError> error;
    EXPECT_EQ(KESTKeychainWrapper::getPasswordForUsernameAndServiceNameError("real@b.c", "vxID", &error), std::nullopt);
}

TEST_F(AuthTest, RandomStringsUseTheAlphabet)
{
    std::string alphabet = "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXZY0123456789";
    EXPECT_EQ(KESTAuthManager::randomStringWithLength(0), "");
    std::string text = KESTAuthManager::randomStringWithLength(16);
    EXPECT_EQ(text.size(), 16u);
    EXPECT_EQ(text.find_first_not_of(alphabet), std::string::npos);
}

} // namespace
