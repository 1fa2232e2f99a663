#pragma once

#include "PMCrashMachException.h"
#include "Ref.h"

#include <cstdint>
#include <vector>

// One exception port registration: mask, port, behavior and thread-state flavor. Immutable.
class HBRPMCrashMachExceptionPort {
public:
    HBRPMCrashMachExceptionPort(uint32_t port, uint32_t mask, int32_t behavior, int32_t flavor)
        : m_mask(mask)
        , m_port(port)
        , m_behavior(behavior)
        , m_flavor(flavor)
    {
    }
    static Ref<HBRPMCrashMachExceptionPort> initWithServerPortMaskBehaviorFlavor(
        uint32_t port, uint32_t mask, int32_t behavior, int32_t flavor)
    {
        return std::make_shared<HBRPMCrashMachExceptionPort>(port, mask, behavior, flavor);
    }

    uint32_t server_port() const { return m_port; }
    uint32_t mask() const { return m_mask; }
    int32_t behavior() const { return m_behavior; }
    int32_t flavor() const { return m_flavor; }

private:
    uint32_t m_mask;
    uint32_t m_port;
    int32_t m_behavior;
    int32_t m_flavor;
};

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
