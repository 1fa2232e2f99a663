#include "foundation/CommonDigest.h"
#include "foundation/NSData+Base64.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

TEST(CommonDigest, KnownVectorsInLowerCaseHex)
{
    struct Case {
        std::string input;
        const char* md5;
        const char* sha1;
    };
    for (const auto& c : std::vector<Case> {
             { "", "d41d8cd98f00b204e9800998ecf8427e", "da39a3ee5e6b4b0d3255bfef95601890afd80709" },
             { "abc", "900150983cd24fb0d6963f7d28e17f72", "a9993e364706816aba3e25717850c26c9cd0d89d" },
             { "The quick brown fox jumps over the lazy dog", "9e107d9d372bb6826bd81d3542a419d6",
                 "2fd4e1c67a2d28fced849ee1bb76e7391b93eb12" },
         }) {
        SCOPED_TRACE(c.input);
        EXPECT_EQ(CommonDigest::md5Hex(c.input), c.md5);
        EXPECT_EQ(CommonDigest::sha1Hex(c.input), c.sha1);
        unsigned char md[CC_MD5_DIGEST_LENGTH];
        EXPECT_EQ(CC_MD5(c.input.data(), static_cast<uint32_t>(c.input.size()), md), md);
        EXPECT_EQ(CommonDigest::hexString(md, sizeof md), c.md5);
    }
    EXPECT_EQ(CommonDigest::sha256Hex("abc"), "ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad");
}

TEST(Base64, RoundTripsTheStandardVectorsAndRejectsBadText)
{
    using Bytes = std::vector<uint8_t>;
    struct Case {
        std::string plain;
        const char* encoded;
    };
    for (const auto& c : std::vector<Case> { { "", "" }, { "f", "Zg==" }, { "fo", "Zm8=" }, { "foo", "Zm9v" },
             { "foob", "Zm9vYg==" }, { "fooba", "Zm9vYmE=" }, { "foobar", "Zm9vYmFy" }, { "\xFB\xFF", "+/8=" } }) {
        SCOPED_TRACE(c.encoded);
        Bytes bytes(c.plain.begin(), c.plain.end());
        EXPECT_EQ(NSData_Base64::base64EncodedString(bytes), c.encoded);
        EXPECT_EQ(NSData_Base64::dataFromBase64String(c.encoded), bytes);
    }
    for (const char* bad : { "Zg", "Zg=", "Z===", "Zm9v=", "Zg==Zg==", "Zm9v YmFy", "Zm-v", "=Zm9" }) {
        SCOPED_TRACE(bad);
        EXPECT_EQ(NSData_Base64::dataFromBase64String(bad), std::nullopt);
    }
    EXPECT_EQ(
        NSData_Base64::dataFromBase64String("Zm9v\r\nYmFy", NSData_Base64::NSDataBase64DecodingIgnoreUnknownCharacters),
        (Bytes { 'f', 'o', 'o', 'b', 'a', 'r' }));

    Bytes long_(60, 'x');
    std::string wrapped
        = NSData_Base64::base64EncodedString(long_, NSData_Base64::NSDataBase64Encoding64CharacterLineLength);
    EXPECT_EQ(wrapped.find("\r\n"), 64u);
    EXPECT_EQ(wrapped.size(), 80u + 2u);
    EXPECT_EQ(NSData_Base64::dataFromBase64String(wrapped, NSData_Base64::NSDataBase64DecodingIgnoreUnknownCharacters),
        long_);
}
