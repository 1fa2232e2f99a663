#pragma once

// The world the crash, feedback and update kit runs in, made afresh for one fuzz input: its own
// sandbox, a virtual clock, an in-memory keychain, a captured log, an active application and the
// shared kit manager configured against a stubbed service. The crash reporter is made in the
// sandbox and "enabled" without signal handlers, which would take the fuzzer's own. Everything
// is undone at the end, so one input cannot change the next. Main thread only.
#include "crashreporter/HBRPMCrashReporter.h"
#include "foundation/NSRunLoop.h"
#include "sdk/HBRCrashManager.h"
#include "sdk/HBRHarborHelper.h"
#include "sdk/HBRHarborManager.h"
#include "security/SecItem.h"
#include "testing/Drain.h"
#include "testing/LogCapture.h"
#include "testing/TemporarySandbox.h"
#include "testing/TestEnvironment.h"
#include "testing/URLStubs.h"
#include "testing/VirtualClock.h"
#include "uikit/UIAlertView.h"
#include "uikit/UIApplicationHost.h"

#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>
#include <system_error>

class KitFuzzDelegate : public NSObject, public UIApplicationDelegate, public HBRHarborManagerDelegate {
    VX_OBJECT(KitFuzzDelegate, NSObject)
public:
    explicit KitFuzzDelegate(Passkey key)
        : NSObject(key)
    {
    }
    static Ref<KitFuzzDelegate> init() { return make<KitFuzzDelegate>(); }
};

class KitSession {
public:
    static constexpr const char* kServerURL = "https://kit.test/";
    static constexpr const char* kIdentifier = "a41f07c2e98d3b56f10e7ac42d9b6853";

    KitSession()
    {
        static bool installed = [] {
            TestEnvironment::install();
            // Only the folder is removed at exit: the objects uninstall() would use may be gone.
            static char* root = ::strdup(TestEnvironment::sandboxRoot().c_str());
            std::atexit([] {
                std::error_code ignored;
                std::filesystem::remove_all(root, ignored);
            });
            return true;
        }();
        (void)installed;
        Keychain::setStorageForTesting(Keychain::Storage::Memory);
        HBRPMCrashReporter::setCachesDirectory(m_sandbox.path("Library/Caches"));
        resetKit();
        HBRHarborManager::setAppStoreEnvironmentForTesting(false);
        HBRCrashManager::setDebuggerAttachedForTesting(false);
        HBRCrashManager::setReporterEnablerForTesting([](HBRPMCrashReporter&, Ref<NSError>*) { return true; });
        UIApplicationHost::resetForTesting();
        m_delegate = KitFuzzDelegate::init();
        UIApplicationHost::launchWithDelegate(m_delegate);
    }

    ~KitSession()
    {
        drainAll();
        NSRunLoop::mainRunLoop()->resetForTesting();
        resetKit();
        UIAlertView::resetForTesting();
        HBRHarborManager::setAppStoreEnvironmentForTesting(std::nullopt);
        HBRCrashManager::setDebuggerAttachedForTesting(std::nullopt);
        HBRCrashManager::setReporterEnablerForTesting(nullptr);
        HBRPMCrashReporter::setCachesDirectory("");
        UIApplicationHost::resetForTesting();
        Keychain::setStorageForTesting(Keychain::Storage::Memory);
    }

    KitSession(const KitSession&) = delete;
    KitSession& operator=(const KitSession&) = delete;

    // The shared kit manager, configured with the test identifier and this session's delegate.
    Ref<HBRHarborManager> manager()
    {
        auto manager = HBRHarborManager::sharedHarborManager();
        manager->setServerURL(std::string(kServerURL));
        manager->configureWithBetaIdentifierLiveIdentifierDelegate(
            kIdentifier, kIdentifier, m_delegate.get(), m_delegate);
        return manager;
    }

    // Every request whose URL starts with `url` is answered with `body`.
    Ref<URLStub> answer(const std::string& url, std::string body)
    {
        URLStubSpec spec;
        spec.url = url;
        spec.matchPrefix = true;
        spec.body = std::move(body);
        return m_stubs.add(spec);
    }

private:
    static void resetKit()
    {
        HBRHarborManager::resetSharedHarborManagerForTesting();
        HBRCrashManager::resetForTesting();
        HBRResetHelperForTesting();
    }

    TemporarySandbox m_sandbox;
    ScopedVirtualClock m_clock;
    LogCapture m_logs;
    URLStubs m_stubs;
    Ref<KitFuzzDelegate> m_delegate;
};
