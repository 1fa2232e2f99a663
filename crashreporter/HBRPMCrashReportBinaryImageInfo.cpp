#include "crashreporter/HBRPMCrashReportBinaryImageInfo.h"

HBRPMCrashReportBinaryImageInfo::HBRPMCrashReportBinaryImageInfo(Ref<HBRPMCrashReportProcessorInfo> codeType,
    uint64_t baseAddress, uint64_t size, std::string name, const std::vector<uint8_t>& uuid)
    : m_codeType(std::move(codeType))
    , m_baseAddress(baseAddress)
    , m_size(size)
    , m_name(std::move(name))
{
    if (!uuid.empty()) {
        static const char kHex[] = "0123456789abcdef";
        std::string text;
        for (uint8_t byte : uuid) {
            text += kHex[byte >> 4];
            text += kHex[byte & 15];
        }
        m_uuid = text;
    }
}
