#pragma once

#include "crashreporter/HBRPMCrashReporter.h"
#include "foundation/NSError.h"
#include "foundation/NSException.h"
#include "foundation/NSNotificationCenter.h"
#include "foundation/NSRunLoop.h"
#include "foundation/NSUserDefaults.h"
#include "sdk/HBRCrashManager.h"
#include "sdk/HBRHarborHelper.h"
#include "sdk/HBRHarborManager.h"
#include "security/SecItem.h"
#include "testing/Drain.h"
#include "testing/LogCapture.h"
#include "testing/TemporarySandbox.h"
#include "testing/URLStubs.h"
#include "testing/VirtualClock.h"
#include "uikit/UIAlertView.h"
#include "uikit/UIApplicationHost.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <utility>
#include <vector>

inline constexpr const char* kTestBetaIdentifier = "a41f07c2e98d3b56f10e7ac42d9b6853";
inline constexpr const char* kTestLiveIdentifier = "7c3e952d0fb84a16e2c9d07b1a64f3e8";
inline constexpr const char* kTestServerURL = "https://kit.test/";

// An application delegate that also answers the kit and records what the crash manager says.
class HarborTestDelegate : public NSObject, public UIApplicationDelegate, public HBRHarborManagerDelegate {
    VX_OBJECT(HarborTestDelegate, NSObject)
public:
    explicit HarborTestDelegate(Passkey key)
        : NSObject(key)
    {
    }
    static Ref<HarborTestDelegate> init() { return make<HarborTestDelegate>(); }

    std::optional<bool> useLive;
    std::optional<std::string> userName, userEmail, userID, applicationLog;
    std::vector<std::string> events;
    std::vector<Ref<NSError>> errors;

    std::optional<bool> shouldUseLiveIdentifierForHarborManager(HBRHarborManager&) override { return useLive; }
    std::optional<std::string> userNameForHarborManagerComponentManager(
        HBRHarborManager&, HBRHarborBaseManager&) override
    {
        return userName;
    }
    std::optional<std::string> userEmailForHarborManagerComponentManager(
        HBRHarborManager&, HBRHarborBaseManager&) override
    {
        return userEmail;
    }
    std::optional<std::string> userIDForHarborManagerComponentManager(HBRHarborManager&, HBRHarborBaseManager&) override
    {
        return userID;
    }
    std::optional<std::string> applicationLogForCrashManager(HBRCrashManager&) override { return applicationLog; }
    void crashManagerWillShowSubmitCrashReportAlert(HBRCrashManager&) override { events.push_back("willShowAlert"); }
    void crashManagerWillCancelSendingCrashReport(HBRCrashManager&) override { events.push_back("willCancel"); }
    void crashManagerWillSendCrashReportsAlways(HBRCrashManager&) override { events.push_back("willSendAlways"); }
    void crashManagerWillSendCrashReport(HBRCrashManager&) override { events.push_back("willSend"); }
    void crashManagerDidFailWithError(HBRCrashManager&, const Ref<NSError>& error) override
    {
        events.push_back("didFail");
        errors.push_back(error);
    }
    void crashManagerDidFinishSendingCrashReport(HBRCrashManager&) override { events.push_back("didFinish"); }
};

// A test of the kit: its own sandbox, virtual clock, in-memory keychain, captured log and an
// active application; the kit's process-wide state is reset around it, and the crash reporter
// is made in the sandbox and "enabled" without installing signal handlers.
class HarborTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        Keychain::setStorageForTesting(Keychain::Storage::Memory);
        HBRPMCrashReporter::setCachesDirectory(m_sandbox.path("Library/Caches"));
        resetKit();
        HBRHarborManager::setAppStoreEnvironmentForTesting(false);
        HBRCrashManager::setDebuggerAttachedForTesting(false);
        HBRCrashManager::setReporterEnablerForTesting([this](HBRPMCrashReporter&, Ref<NSError>*) {
            ++m_enableCount;
            NSSetUncaughtExceptionHandler(&HarborTest::uncaughtHandler);
            return true;
        });
        UIApplicationHost::resetForTesting();
        m_delegate = HarborTestDelegate::init();
        UIApplicationHost::launchWithDelegate(m_delegate);
    }

    void TearDown() override
    {
        drainAll();
        // Delayed performs of this test's components must not run in the next test.
        NSRunLoop::mainRunLoop()->resetForTesting();
        resetKit();
        NSSetUncaughtExceptionHandler(nullptr);
        HBRHarborManager::setAppStoreEnvironmentForTesting(std::nullopt);
        HBRCrashManager::setDebuggerAttachedForTesting(std::nullopt);
        HBRCrashManager::setReporterEnablerForTesting(nullptr);
        HBRPMCrashReporter::setCachesDirectory("");
        UIApplicationHost::resetForTesting();
        Keychain::setStorageForTesting(Keychain::Storage::Memory);
    }

    static void resetKit()
    {
        HBRHarborManager::resetSharedHarborManagerForTesting();
        HBRCrashManager::resetForTesting();
        HBRResetHelperForTesting();
    }

    static void uncaughtHandler(NSException&) { }

    // The shared manager configured with the beta identifier and the test delegate.
    Ref<HBRHarborManager> configuredManager()
    {
        auto manager = HBRHarborManager::sharedHarborManager();
        manager->setServerURL(std::string(kTestServerURL));
        manager->configureWithBetaIdentifierLiveIdentifierDelegate(
            kTestBetaIdentifier, kTestLiveIdentifier, m_delegate.get(), m_delegate);
        return manager;
    }

    void advance(double seconds)
    {
        m_clock.advance(seconds);
        drainAll();
    }

    TemporarySandbox m_sandbox;
    ScopedVirtualClock m_clock;
    LogCapture m_logs;
    Ref<HarborTestDelegate> m_delegate;
    int m_enableCount { 0 };
};

// A strict reader of multipart/form-data bodies, written apart from the kit so that it checks
// what the kit writes: the boundary comes from the content type; a delimiter is "--boundary" at
// the start of the body or after CRLF, ending its line; each part's headers end with an empty
// line; the body ends with the closing delimiter. Returns nullopt for anything else.
struct MultipartField {
    std::string name;
    std::string content;
};

inline std::optional<std::vector<MultipartField>> readMultipart(const std::string& contentType, const std::string& body)
{
    size_t at = contentType.find("boundary=");
    if (contentType.rfind("multipart/form-data;", 0) != 0 || at == std::string::npos)
        return std::nullopt;
    const std::string boundary = contentType.substr(at + 9);
    if (boundary.empty() || boundary.size() > 70)
        return std::nullopt;
    const std::string first = "--" + boundary + "\r\n";
    const std::string delimiter = "\r\n--" + boundary;
    if (body.rfind(first, 0) != 0)
        return std::nullopt;
    std::vector<MultipartField> fields;
    size_t start = first.size();
    while (true) {
        size_t end = body.find(delimiter, start);
        if (end == std::string::npos)
            return std::nullopt;
        std::string part = body.substr(start, end - start);
        size_t headerEnd = part.find("\r\n\r\n");
        if (headerEnd == std::string::npos)
            return std::nullopt;
        std::string headers = part.substr(0, headerEnd);
        size_t name = headers.find("Content-Disposition: form-data; name=\"");
        if (name != 0)
            return std::nullopt;
        size_t nameEnd = headers.find('"', 38);
        fields.push_back({ headers.substr(38, nameEnd - 38), part.substr(headerEnd + 4) });
        size_t after = end + delimiter.size();
        if (body.compare(after, 4, "--\r\n") == 0)
            return after + 4 == body.size() ? std::optional(fields) : std::nullopt;
        if (body.compare(after, 2, "\r\n") != 0)
            return std::nullopt;
        start = after + 2;
    }
}
