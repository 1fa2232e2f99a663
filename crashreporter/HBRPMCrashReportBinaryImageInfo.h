#pragma once

#include "crashreporter/HBRPMCrashReportProcessorInfo.h"
#include "foundation/Ref.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

// One loaded image: code type, base address, size, path and UUID. Part of a decoded crash report;
// immutable, any thread.
class HBRPMCrashReportBinaryImageInfo {
public:
    // `uuid`: the image's UUID bytes; empty for none.
    HBRPMCrashReportBinaryImageInfo(Ref<HBRPMCrashReportProcessorInfo> codeType, uint64_t baseAddress, uint64_t size,
        std::string name, const std::vector<uint8_t>& uuid);
    const Ref<HBRPMCrashReportProcessorInfo>& codeType() const { return m_codeType; }
    uint64_t imageBaseAddress() const { return m_baseAddress; }
    uint64_t imageSize() const { return m_size; }
    const std::string& imageName() const { return m_name; }
    bool hasImageUUID() const { return m_uuid.has_value(); }
    // Lower-case hexadecimal, two characters per byte.
    const std::optional<std::string>& imageUUID() const { return m_uuid; }

private:
    Ref<HBRPMCrashReportProcessorInfo> m_codeType;
    uint64_t m_baseAddress;
    uint64_t m_size;
    std::string m_name;
    std::optional<std::string> m_uuid;
};
