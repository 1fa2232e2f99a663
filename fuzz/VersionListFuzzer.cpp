// The update service's answer to a check the user asked for, whatever its body: the check ends,
// and when versions were taken the newest one is offered first.
#include "fuzz/FuzzCheck.h"
#include "fuzz/KitSession.h"
#include "sdk/HBRAppVersionMetaInfo.h"
#include "sdk/HBRHarborHelper.h"
#include "sdk/HBRUpdateManager.h"

#include <string>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    KitSession session;
    auto manager = session.manager()->updateManager();
    manager->setServerURL(KitSession::kServerURL);
    session.answer(std::string(KitSession::kServerURL) + "api/2/apps/" + KitSession::kIdentifier,
        std::string(reinterpret_cast<const char*>(data), size));
    manager->checkForUpdateShowFeedback(true);
    drainAll();
    fuzzCheck(!manager->isCheckInProgress(), "the check never ended");
    auto newest = manager->newestAppVersion();
    for (const auto& version : manager->appVersions()) {
        fuzzCheck(HBRCompareVersionStrings(newest->versionText(), version->versionText()) != NSOrderedAscending,
            "a newer version than the one offered first was taken");
    }
    return 0;
}
