#pragma once

#include "foundation/Ref.h"

#include <cstdint>
#include <memory>

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
