#pragma once

#include "foundation/FoundationForward.h"
#include "foundation/NSObject.h"

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

// A universally unique identifier (RFC 4122). Immutable; any thread.
class NSUUID : public NSObject {
    VX_OBJECT(NSUUID, NSObject)
public:
    using Bytes = std::array<uint8_t, 16>;

    NSUUID(Passkey, const Bytes& bytes);

    // A new random (version 4) identifier.
    static Ref<NSUUID> UUID();
    static Ref<NSUUID> init() { return UUID(); }
    // Parses "E621E1F8-C36C-495A-93FC-0C247A3E6E5F" (either case); nullptr when malformed.
    static Ref<NSUUID> initWithUUIDString(std::string_view string);
    static Ref<NSUUID> initWithUUIDBytes(const Bytes& bytes);

    // Upper-case, hyphenated: 8-4-4-4-12 hexadecimal digits.
    std::string UUIDString() const;
    const Bytes& UUIDBytes() const { return m_bytes; }
    void getUUIDBytes(uint8_t out[16]) const;

    bool isEqual(const NSObject* other) const override;
    size_t hash() const override;
    std::string description() const override;

private:
    Bytes m_bytes;
};
