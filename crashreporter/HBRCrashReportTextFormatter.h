#pragma once

#include "crashreporter/HBRPMCrashReport.h"

#include <string>
#include <vector>

// Turns a decoded crash report into the plain-text crash log (report version 104) and lists the
// UUIDs of the application's own images. Stateless; any thread.
class HBRCrashReportTextFormatter {
public:
    // `key` may be empty (printed as "???").
    static std::string stringValueForCrashReport(const HBRPMCrashReport& report, const std::string& key);

    struct AppUUID {
        std::string uuid; // "???" when the image has none
        std::string arch;
        std::string type; // "app" or "framework"
    };
    static std::vector<AppUUID> arrayOfAppUUIDsForCrashReport(const HBRPMCrashReport& report);

    static std::string archNameFromImageInfo(const HBRPMCrashReportBinaryImageInfo& image);
    static std::string formatStackFrame(
        const HBRPMCrashReportStackFrameInfo& frame, long index, const HBRPMCrashReport& report, bool lp64);
};
