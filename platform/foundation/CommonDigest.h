#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

// Message digests of byte buffers (OpenSSL underneath). Any thread.
inline constexpr size_t CC_MD5_DIGEST_LENGTH = 16;
inline constexpr size_t CC_SHA1_DIGEST_LENGTH = 20;
inline constexpr size_t CC_SHA256_DIGEST_LENGTH = 32;

// Each writes the digest to `md` (which must hold the digest's length) and returns `md`.
unsigned char* CC_MD5(const void* data, uint32_t length, unsigned char* md);
unsigned char* CC_SHA1(const void* data, uint32_t length, unsigned char* md);
unsigned char* CC_SHA256(const void* data, uint32_t length, unsigned char* md);

namespace CommonDigest {

// Lower-case hexadecimal digests of a text's bytes.
std::string md5Hex(std::string_view bytes);
std::string sha1Hex(std::string_view bytes);
std::string sha256Hex(std::string_view bytes);
// Lower-case hexadecimal of any bytes.
std::string hexString(const void* bytes, size_t length);

} // namespace CommonDigest
