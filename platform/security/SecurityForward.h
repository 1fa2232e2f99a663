#pragma once

#include "foundation/FoundationForward.h"

#include <cstdint>

// Forward declarations of the trust and keychain stand-in.
class SecCertificate;
class SecKey;
class SecPolicy;
class SecTrust;

using SecCertificateRef = Ref<SecCertificate>;
using SecKeyRef = Ref<SecKey>;
using SecPolicyRef = Ref<SecPolicy>;
using SecTrustRef = Ref<SecTrust>;
using OSStatus = int32_t;

inline constexpr OSStatus errSecSuccess = 0;
inline constexpr OSStatus errSecUnimplemented = -4;
inline constexpr OSStatus errSecParam = -50;
inline constexpr OSStatus errSecAllocate = -108;
inline constexpr OSStatus errSecDuplicateItem = -25299;
inline constexpr OSStatus errSecItemNotFound = -25300;
inline constexpr OSStatus errSecDecode = -26275;
