#pragma once

#include "crashreporter/HBRPMCrashReport.h"

#include <cstdint>
#include <string>

// The reporter's own text formatter: nearly the text of HBRCrashReportTextFormatter, with
// paths unmasked, a fixed key line, the plain date, whole image names in frame lines and
// symbol names in every image. Immutable; any thread.
class HBRPMCrashReportTextFormatter {
public:
    HBRPMCrashReportTextFormatter(int32_t textFormat, uint32_t stringEncoding)
        : m_textFormat(textFormat)
        , m_stringEncoding(stringEncoding)
    {
    }
    static HBRPMCrashReportTextFormatter initWithTextFormatStringEncoding(int32_t textFormat, uint32_t stringEncoding)
    {
        return { textFormat, stringEncoding };
    }

    int32_t textFormat() const { return m_textFormat; }
    uint32_t stringEncoding() const { return m_stringEncoding; }

    // The text as bytes (UTF-8).
    std::string formatReport(const HBRPMCrashReport& report) const;

    // `textFormat` is not used.
    static std::string stringValueForCrashReportWithTextFormat(const HBRPMCrashReport& report, int32_t textFormat);
    static std::string formatStackFrame(
        const HBRPMCrashReportStackFrameInfo& frame, long index, const HBRPMCrashReport& report, bool lp64);

private:
    int32_t m_textFormat;
    uint32_t m_stringEncoding;
};
