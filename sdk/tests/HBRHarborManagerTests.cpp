#include "foundation/NSUserDefaults.h"
#include "sdk/HBRCrashManager.h"
#include "sdk/HBRHarborManager.h"
#include "testing/LogCapture.h"

#include <gtest/gtest.h>

namespace {

class LiveChooser : public NSObject, public HBRHarborManagerDelegate {
    VX_OBJECT(LiveChooser, NSObject)
public:
    explicit LiveChooser(Passkey key)
        : NSObject(key)
    {
    }
    static Ref<LiveChooser> init() { return make<LiveChooser>(); }
    std::optional<bool> shouldUseLiveIdentifierForHarborManager(HBRHarborManager&) override { return true; }
};

const char* const kBeta = "a41f07c2e98d3b56f10e7ac42d9b6853";
const char* const kLive = "7c3e952d0fb84a16e2c9d07b1a64f3e8";

TEST(HBRHarborManager, IdentifierRule)
{
    const struct {
        const char* identifier;
        bool valid;
    } cases[] = {
        { kBeta, true },
        { "A41f07c2e98d3b56f10e7ac42d9b6853", false }, // upper case
        { "a41f07c2e98d3b56f10e7ac42d9b685", false }, // 31
        { "a41f07c2e98d3b56f10e7ac42d9b68533", false }, // 33
        { "g41f07c2e98d3b56f10e7ac42d9b6853", false },
        { "", false },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.identifier);
        EXPECT_EQ(HBRHarborManager::isValidIdentifier(c.identifier), c.valid);
    }
}

TEST(HBRHarborManager, ConfiguresAndStartsTheCrashManager)
{
    struct Case {
        const char* name;
        std::string beta, live;
        bool delegateChoosesLive;
        std::string chosen;
        bool hasCrashManager;
        size_t logLines;
    };
    const Case cases[] = {
        { "valid, beta chosen", kBeta, kLive, false, kBeta, true, 0 },
        { "delegate asks for live", kBeta, kLive, true, kLive, true, 0 },
        { "invalid live is logged", kBeta, "nope", false, kBeta, true, 1 },
        { "invalid beta leaves the kit inert", "nope", kLive, false, "nope", false, 1 },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        HBRHarborManager::resetSharedHarborManagerForTesting();
        LogCapture logs;
        auto chooser = LiveChooser::init();
        auto manager = HBRHarborManager::sharedHarborManager();
        EXPECT_EQ(manager, HBRHarborManager::sharedHarborManager());
        manager->configureWithBetaIdentifierLiveIdentifierDelegate(
            c.beta, c.live, c.delegateChoosesLive ? chooser.get() : nullptr, chooser);
        EXPECT_EQ(manager->appIdentifier(), c.chosen);
        EXPECT_EQ(bool(manager->crashManager()), c.hasCrashManager);
        EXPECT_EQ(logs.messages().size(), c.logLines);
        if (manager->crashManager())
            manager->crashManager()->setCrashManagerStatus(HBRCrashManagerStatusAutoSend);
        manager->startManager();
        EXPECT_EQ(manager->isStartManagerInvoked(), c.hasCrashManager);
        if (manager->crashManager()) {
            EXPECT_TRUE(manager->crashManager()->isStarted());
            EXPECT_EQ(NSUserDefaults::standardUserDefaults()->integerForKey("HBRCrashManagerStatus"), 2);
        }
    }
    HBRHarborManager::resetSharedHarborManagerForTesting();
}

} // namespace
