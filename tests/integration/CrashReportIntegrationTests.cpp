#include "crashreporter/HBRPMCrashReport.h"
#include "crashreporter/HBRPMCrashReporter.h"
#include "foundation/NSFileManager.h"
#include "sdk/HBRCrashManager.h"
#include "sdk/HBRHarborHelper.h"
#include "sdk/HBRHarborManager.h"
#include "security/SecItem.h"
#include "servicesim/ServiceSimulator.h"
#include "testing/Drain.h"
#include "testing/TemporarySandbox.h"
#include "testing/VirtualClock.h"
#include "uikit/UIApplicationHost.h"

#include <gtest/gtest.h>

#include <sys/wait.h>
#include <unistd.h>

namespace {

const char* const kBeta = "a41f07c2e98d3b56f10e7ac42d9b6853";
const char* const kLive = "7c3e952d0fb84a16e2c9d07b1a64f3e8";

class CrashIntegrationAppDelegate : public NSObject, public UIApplicationDelegate {
    VX_OBJECT(CrashIntegrationAppDelegate, NSObject)
public:
    explicit CrashIntegrationAppDelegate(Passkey key)
        : NSObject(key)
    {
    }
    static Ref<CrashIntegrationAppDelegate> init() { return make<CrashIntegrationAppDelegate>(); }
};

// The kit's start as the application's launch makes it.
Ref<HBRHarborManager> startKit(const std::string& serverURL)
{
    auto harbor = HBRHarborManager::sharedHarborManager();
    harbor->setServerURL(serverURL);
    harbor->configureWithBetaIdentifierLiveIdentifierDelegate(kBeta, kLive, nullptr, {});
    harbor->crashManager()->setCrashManagerStatus(HBRCrashManagerStatusAutoSend);
    harbor->startManager();
    return harbor;
}

__attribute__((noinline)) void crashLikeTheApplication()
{
    // The pointer is read at run time, so the store really faults.
    volatile int* volatile target = nullptr;
    *target = 1;
}

std::string between(const std::string& text, const std::string& from, const std::string& to)
{
    size_t start = text.find(from);
    if (start == std::string::npos)
        return {};
    start += from.size();
    size_t end = text.find(to, start);
    return end == std::string::npos ? std::string() : text.substr(start, end - start);
}

// A copy of the application crashes with the kit running; the next launch finds the crash log,
// keeps it as a report and sends it to the service, which receives the same crash.
TEST(CrashReportIntegration, CrashOfAChildArrivesAtTheServiceAfterTheNextLaunch)
{
    TemporarySandbox sandbox;
    ScopedVirtualClock clock;
    Keychain::setStorageForTesting(Keychain::Storage::Memory);
    HBRHarborManager::resetSharedHarborManagerForTesting();
    HBRCrashManager::resetForTesting();
    HBRResetHelperForTesting();
    HBRHarborManager::setAppStoreEnvironmentForTesting(false);
    HBRCrashManager::setDebuggerAttachedForTesting(false);
    HBRPMCrashReporter::setCachesDirectory(sandbox.path("Library/Caches"));

    ServiceSimulator::Options options;
    options.aircraft = 10;
    std::string error;
    auto sim = ServiceSimulator::create(options, &error);
    ASSERT_TRUE(sim) << error;
    ASSERT_TRUE(sim->start(0));

    pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        // The crashing copy: the kit enables the real crash reporter, then the process faults.
        startKit(sim->baseUrl());
        crashLikeTheApplication();
        _exit(3);
    }
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFSIGNALED(status)) << "exit status " << status;
    EXPECT_EQ(WTERMSIG(status), SIGSEGV);

    // The next launch: the kit is set up again (here without installing signal handlers).
    HBRCrashManager::setReporterEnablerForTesting([](HBRPMCrashReporter&, Ref<NSError>*) { return true; });
    UIApplicationHost::resetForTesting();
    auto delegate = CrashIntegrationAppDelegate::init();
    UIApplicationHost::launchWithDelegate(delegate);
    auto harbor = startKit(sim->baseUrl());
    auto crash = harbor->crashManager();
    EXPECT_TRUE(crash->didCrashInLastSession());
    EXPECT_FALSE(crash->pmCrashReporter()->hasPendingCrashReport());
    ASSERT_TRUE(crash->hasPendingCrashReport());
    ASSERT_EQ(crash->crashFiles().size(), 1u);
    auto stored = NSFileManager::defaultManager()->contentsAtPath(crash->crashFiles()[0]);
    auto report = HBRPMCrashReport::initWithData(stored.bytes(), nullptr);
    ASSERT_TRUE(report);
    ASSERT_TRUE(report->signalInfo());
    EXPECT_EQ(report->signalInfo()->name(), "SIGSEGV");
    long crashedThread = -1;
    for (const auto& thread : report->threads())
        if (thread->crashed())
            crashedThread = thread->threadNumber();
    ASSERT_GE(crashedThread, 0);
    std::string storedPath = crash->crashFiles()[0];

    clock.advance(0.5);
    drainAll();
    auto documents = sim->receivedCrashReports();
    ASSERT_EQ(documents.size(), 1u);
    const std::string& xml = documents[0];
    EXPECT_EQ(xml.rfind("<crashes><crash><applicationname>", 0), 0u);
    EXPECT_EQ(between(xml, "<installstring>", "</installstring>"), HBRAnonymousAppIdentifier().value_or(""));
    std::string log = between(xml, "<log><![CDATA[", "]]></log>");
    EXPECT_NE(log.find("Exception Type:  SIGSEGV\n"), std::string::npos);
    EXPECT_NE(log.find("Crashed Thread:  " + std::to_string(crashedThread) + "\n"), std::string::npos);
    EXPECT_NE(log.find("Thread " + std::to_string(crashedThread) + " Crashed:\n"), std::string::npos);
    auto requests = sim->requestsForPath(std::string("/api/2/apps/") + kBeta + "/crashes");
    ASSERT_EQ(requests.size(), 1u);
    EXPECT_EQ(requests[0].parts.size(), 1u);
    // Accepted, so the report is gone.
    EXPECT_FALSE(NSFileManager::defaultManager()->fileExistsAtPath(storedPath));
    EXPECT_FALSE(crash->isSendingInProgress());

    sim->stop();
    HBRHarborManager::resetSharedHarborManagerForTesting();
    HBRCrashManager::resetForTesting();
    HBRCrashManager::setReporterEnablerForTesting(nullptr);
    HBRCrashManager::setDebuggerAttachedForTesting(std::nullopt);
    HBRHarborManager::setAppStoreEnvironmentForTesting(std::nullopt);
    HBRPMCrashReporter::setCachesDirectory("");
    UIApplicationHost::resetForTesting();
}

} // namespace
