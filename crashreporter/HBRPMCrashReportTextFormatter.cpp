#include "crashreporter/HBRPMCrashReportTextFormatter.h"

#include "crashreporter/CrashReportText.h"

namespace {
CrashReportTextStyle reporterStyle()
{
    CrashReportTextStyle style;
    style.fixedKey = true;
    style.maskHome = false;
    style.plainDate = true;
    style.exactAppMarker = true;
    style.armv8Subtype = true;
    style.plainImageColumn = true;
    style.symbolsInAppImages = true;
    return style;
}
} // namespace

std::string HBRPMCrashReportTextFormatter::formatReport(const HBRPMCrashReport& report) const
{
    return stringValueForCrashReportWithTextFormat(report, m_textFormat);
}

std::string HBRPMCrashReportTextFormatter::stringValueForCrashReportWithTextFormat(
    const HBRPMCrashReport& report, int32_t)
{
    return crashReportText(report, "", reporterStyle());
}

std::string HBRPMCrashReportTextFormatter::formatStackFrame(
    const HBRPMCrashReportStackFrameInfo& frame, long index, const HBRPMCrashReport& report, bool lp64)
{
    return crashReportFrameLine(frame, index, report, lp64, reporterStyle());
}
