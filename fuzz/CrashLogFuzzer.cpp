// Crash logs: any bytes read as a report or fail with an error; a report formats as text.
#include "crashreporter/HBRCrashReportTextFormatter.h"
#include "crashreporter/HBRPMCrashReport.h"
#include "foundation/NSError.h"
#include "fuzz/FuzzCheck.h"

#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    Ref<NSError> error;
    auto report = HBRPMCrashReport::initWithData(std::vector<uint8_t>(data, data + size), &error);
    if (!report) {
        fuzzCheck(bool(error), "a refused crash log gave no error");
        return 0;
    }
    std::string text = HBRCrashReportTextFormatter::stringValueForCrashReport(*report, "key");
    fuzzCheck(!text.empty(), "a crash report formatted as nothing");
    return 0;
}
