#pragma once

#include "foundation/NSError.h"
#include "foundation/Ref.h"

#include <string>

// Errors of the crash reporter: domain "PMCrashReporterErrorDomain" with the codes below, the
// description under the localized-description key and, where a system call failed, an
// underlying error. Not signal-safe.
inline constexpr const char* PMCrashReporterErrorDomain = "PMCrashReporterErrorDomain";
inline constexpr const char* PMCrashReporterException = "PMCrashReporterException";

enum PMCrashReporterError : int32_t {
    PMCrashReporterErrorUnknown = 0,
    PMCrashReporterErrorOperatingSystem = 1,
    PMCrashReporterErrorCrashReportInvalid = 2,
    PMCrashReporterErrorResourceBusy = 3,
};

// Each fills `error` when it is not null.
void pmcrash_populate_error(
    Ref<NSError>* error, int32_t code, const std::string& description, Ref<NSError> underlying = nullptr);
void pmcrash_populate_posix_error(Ref<NSError>* error, int errnoValue, const std::string& description);
void pmcrash_populate_mach_error(Ref<NSError>* error, int kernReturn, const std::string& description);
