#pragma once

#include "crashreporter/HBRPMCrashMachExceptionPort.h"
#include "crashreporter/PMCrashMachException.h"
#include "foundation/Ref.h"

#include <cstdint>
#include <vector>

// The registrations in place before the reporter's, as objects and in the fixed-size form the
// crash path reads without allocating. Immutable; any thread.
class HBRPMCrashMachExceptionPortSet {
public:
    // More than 13 ports is a programming error and stops the process.
    static Ref<HBRPMCrashMachExceptionPortSet> initWithSet(const std::vector<Ref<HBRPMCrashMachExceptionPort>>& ports);
    static Ref<HBRPMCrashMachExceptionPortSet> initWithAsyncSafeRepresentation(
        const pmcrash_mach_exception_port_set_t& record);

    const std::vector<Ref<HBRPMCrashMachExceptionPort>>& set() const { return m_set; }
    pmcrash_mach_exception_port_set_t asyncSafeRepresentation() const { return m_record; }

    HBRPMCrashMachExceptionPortSet(
        std::vector<Ref<HBRPMCrashMachExceptionPort>> set, const pmcrash_mach_exception_port_set_t& record)
        : m_set(std::move(set))
        , m_record(record)
    {
    }

private:
    std::vector<Ref<HBRPMCrashMachExceptionPort>> m_set;
    pmcrash_mach_exception_port_set_t m_record;
};
