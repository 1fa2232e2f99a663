#include "foundation/CommonDigest.h"

#include <openssl/evp.h>

#include <cstdio>
#include <cstdlib>

namespace {

void digest(const EVP_MD* type, const void* data, size_t length, unsigned char* md)
{
    unsigned int size = 0;
    if (EVP_Digest(data, length, md, &size, type, nullptr) != 1) {
        std::fprintf(stderr, "CommonDigest: digest failed\n");
        std::abort();
    }
}

} // namespace

unsigned char* CC_MD5(const void* data, uint32_t length, unsigned char* md)
{
    digest(EVP_md5(), data, length, md);
    return md;
}

unsigned char* CC_SHA1(const void* data, uint32_t length, unsigned char* md)
{
    digest(EVP_sha1(), data, length, md);
    return md;
}

unsigned char* CC_SHA256(const void* data, uint32_t length, unsigned char* md)
{
    digest(EVP_sha256(), data, length, md);
    return md;
}

namespace CommonDigest {

std::string hexString(const void* data, size_t length)
{
    static constexpr char kHex[] = "0123456789abcdef";
    const auto* bytes = static_cast<const uint8_t*>(data);
    std::string out;
    out.reserve(length * 2);
    for (size_t i = 0; i < length; ++i) {
        out += kHex[bytes[i] >> 4];
        out += kHex[bytes[i] & 0xF];
    }
    return out;
}

std::string md5Hex(std::string_view bytes)
{
    unsigned char md[CC_MD5_DIGEST_LENGTH];
    digest(EVP_md5(), bytes.data(), bytes.size(), md);
    return hexString(md, sizeof md);
}

std::string sha1Hex(std::string_view bytes)
{
    unsigned char md[CC_SHA1_DIGEST_LENGTH];
    digest(EVP_sha1(), bytes.data(), bytes.size(), md);
    return hexString(md, sizeof md);
}

std::string sha256Hex(std::string_view bytes)
{
    unsigned char md[CC_SHA256_DIGEST_LENGTH];
    digest(EVP_sha256(), bytes.data(), bytes.size(), md);
    return hexString(md, sizeof md);
}

} // namespace CommonDigest
