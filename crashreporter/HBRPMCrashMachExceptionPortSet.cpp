#include "crashreporter/HBRPMCrashMachExceptionPortSet.h"

#include <cstdio>
#include <cstdlib>

Ref<HBRPMCrashMachExceptionPortSet> HBRPMCrashMachExceptionPortSet::initWithSet(
    const std::vector<Ref<HBRPMCrashMachExceptionPort>>& ports)
{
    if (ports.size() > PMCRASH_EXC_TYPES_COUNT) {
        std::fprintf(stderr, "Set size of %lu exceeds EXC_TYPES_COUNT (%lu)\n",
            static_cast<unsigned long>(ports.size()), static_cast<unsigned long>(PMCRASH_EXC_TYPES_COUNT));
        std::abort();
    }
    pmcrash_mach_exception_port_set_t record {};
    for (const auto& port : ports) {
        record.ports[record.count] = port->server_port();
        record.masks[record.count] = port->mask();
        record.behaviors[record.count] = port->behavior();
        record.flavors[record.count] = port->flavor();
        ++record.count;
    }
    return std::make_shared<HBRPMCrashMachExceptionPortSet>(ports, record);
}

Ref<HBRPMCrashMachExceptionPortSet> HBRPMCrashMachExceptionPortSet::initWithAsyncSafeRepresentation(
    const pmcrash_mach_exception_port_set_t& record)
{
    if (record.count > PMCRASH_EXC_TYPES_COUNT) {
        std::fprintf(stderr, "Count of %lu exceeds EXC_TYPES_COUNT (%lu)\n", static_cast<unsigned long>(record.count),
            static_cast<unsigned long>(PMCRASH_EXC_TYPES_COUNT));
        std::abort();
    }
    std::vector<Ref<HBRPMCrashMachExceptionPort>> ports;
    for (uint32_t i = 0; i < record.count; ++i)
        ports.push_back(HBRPMCrashMachExceptionPort::initWithServerPortMaskBehaviorFlavor(
            record.ports[i], record.masks[i], record.behaviors[i], record.flavors[i]));
    return std::make_shared<HBRPMCrashMachExceptionPortSet>(std::move(ports), record);
}
