#pragma once

#include "foundation/Ref.h"

#include <optional>
#include <string>

class HBRCrashManager;
class NSError;

// What the crash manager tells and asks its delegate; every operation is optional (nullopt:
// not implemented).
class HBRCrashManagerDelegate {
public:
    virtual ~HBRCrashManagerDelegate() = default;
    virtual std::optional<std::string> applicationLogForCrashManager(HBRCrashManager&) { return std::nullopt; }
    virtual std::optional<std::string> userNameForCrashManager(HBRCrashManager&) { return std::nullopt; }
    virtual std::optional<std::string> userEmailForCrashManager(HBRCrashManager&) { return std::nullopt; }
    virtual void crashManagerWillShowSubmitCrashReportAlert(HBRCrashManager&) { }
    virtual void crashManagerWillCancelSendingCrashReport(HBRCrashManager&) { }
    virtual void crashManagerWillSendCrashReportsAlways(HBRCrashManager&) { }
    virtual void crashManagerWillSendCrashReport(HBRCrashManager&) { }
    virtual void crashManagerDidFailWithError(HBRCrashManager&, const Ref<NSError>&) { }
    virtual void crashManagerDidFinishSendingCrashReport(HBRCrashManager&) { }
};
