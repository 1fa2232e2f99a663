#pragma once

#include "crashreporter/HBRPMCrashReport.h"

#include <string>

// The crash log text shared by the two text formatters, which differ only in these points.
struct CrashReportTextStyle {
    bool fixedKey = false; // "CrashReporter Key:   TODO"
    bool maskHome = true; // paths in the home directory read "/Users/USER..."
    bool plainDate = false; // the date's default description instead of the ISO form
    bool exactAppMarker = false; // "+" only for the image that is the process itself
    bool armv8Subtype = false; // 64-bit ARM subtype 13 is "armv8"
    bool plainImageColumn = false; // frame lines keep the whole image name
    bool symbolsInAppImages = false; // frame lines name symbols in the application's images too
};

std::string crashReportText(const HBRPMCrashReport& report, const std::string& key, const CrashReportTextStyle& style);
std::string crashReportFrameLine(const HBRPMCrashReportStackFrameInfo& frame, long index,
    const HBRPMCrashReport& report, bool lp64, const CrashReportTextStyle& style);
std::string crashReportArchName(const HBRPMCrashReportBinaryImageInfo& image, const CrashReportTextStyle& style);
