#include "crashreporter/PMCrashReporterError.h"

#include "foundation/Value.h"

void pmcrash_populate_error(Ref<NSError>* error, int32_t code, const std::string& description, Ref<NSError> underlying)
{
    if (!error)
        return;
    std::vector<std::pair<Value, Value>> info { { Value(NSLocalizedDescriptionKey), Value(description) } };
    if (underlying)
        info.push_back({ Value(NSUnderlyingErrorKey), Value(underlying) });
    *error = NSError::errorWithDomain(PMCrashReporterErrorDomain, code, Value::dictionary(std::move(info)));
}

void pmcrash_populate_posix_error(Ref<NSError>* error, int errnoValue, const std::string& description)
{
    pmcrash_populate_error(error, PMCrashReporterErrorOperatingSystem, description,
        NSError::errorWithDomain(NSPOSIXErrorDomain, errnoValue));
}

void pmcrash_populate_mach_error(Ref<NSError>* error, int kernReturn, const std::string& description)
{
    pmcrash_populate_error(error, PMCrashReporterErrorOperatingSystem, description,
        NSError::errorWithDomain(NSMachErrorDomain, kernReturn));
}
