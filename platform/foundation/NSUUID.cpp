#include "foundation/NSUUID.h"

#include <openssl/rand.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

VX_REGISTER_CLASS(NSUUID);

NSUUID::NSUUID(Passkey key, const Bytes& bytes)
    : NSObject(key)
    , m_bytes(bytes)
{
}

Ref<NSUUID> NSUUID::UUID()
{
    Bytes bytes;
    if (RAND_bytes(bytes.data(), static_cast<int>(bytes.size())) != 1) {
        // Without a working random source identifiers could repeat; that is a broken platform.
        std::fprintf(stderr, "NSUUID: no random bytes available\n");
        std::abort();
    }
    bytes[6] = static_cast<uint8_t>((bytes[6] & 0x0F) | 0x40); // version 4
    bytes[8] = static_cast<uint8_t>((bytes[8] & 0x3F) | 0x80); // RFC 4122 variant
    return make<NSUUID>(bytes);
}

Ref<NSUUID> NSUUID::initWithUUIDString(std::string_view string)
{
    if (string.size() != 36)
        return nullptr;
    Bytes bytes {};
    size_t byte = 0;
    for (size_t i = 0; i < string.size();) {
        if (i == 8 || i == 13 || i == 18 || i == 23) {
            if (string[i] != '-')
                return nullptr;
            ++i;
            continue;
        }
        int value = 0;
        for (int k = 0; k < 2; ++k) {
            char c = string[i + static_cast<size_t>(k)];
            int digit = (c >= '0' && c <= '9') ? c - '0'
                : (c >= 'a' && c <= 'f')       ? c - 'a' + 10
                : (c >= 'A' && c <= 'F')       ? c - 'A' + 10
                                               : -1;
            if (digit < 0)
                return nullptr;
            value = value * 16 + digit;
        }
        bytes[byte++] = static_cast<uint8_t>(value);
        i += 2;
    }
    return make<NSUUID>(bytes);
}

Ref<NSUUID> NSUUID::initWithUUIDBytes(const Bytes& bytes)
{
    return make<NSUUID>(bytes);
}

std::string NSUUID::UUIDString() const
{
    static constexpr char kHex[] = "0123456789ABCDEF";
    std::string out;
    out.reserve(36);
    for (size_t i = 0; i < m_bytes.size(); ++i) {
        if (i == 4 || i == 6 || i == 8 || i == 10)
            out += '-';
        out += kHex[m_bytes[i] >> 4];
        out += kHex[m_bytes[i] & 0xF];
    }
    return out;
}

void NSUUID::getUUIDBytes(uint8_t out[16]) const
{
    std::memcpy(out, m_bytes.data(), m_bytes.size());
}

bool NSUUID::isEqual(const NSObject* other) const
{
    auto* uuid = dynamic_cast<const NSUUID*>(other);
    return uuid && uuid->m_bytes == m_bytes;
}

size_t NSUUID::hash() const
{
    size_t h = 0;
    for (uint8_t b : m_bytes)
        h = h * 131 + b;
    return h;
}

std::string NSUUID::description() const
{
    char prefix[64];
    std::snprintf(prefix, sizeof prefix, "<NSUUID %p> ", static_cast<const void*>(this));
    return prefix + UUIDString();
}
