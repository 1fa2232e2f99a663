#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// Base64 (RFC 4648, standard alphabet, "=" padding) over byte buffers. Any thread.
namespace NSData_Base64 {

enum Base64EncodingOptions : uint32_t {
    NSDataBase64Encoding64CharacterLineLength = 1 << 0,
    NSDataBase64Encoding76CharacterLineLength = 1 << 1,
    NSDataBase64EncodingEndLineWithCarriageReturn = 1 << 4,
    NSDataBase64EncodingEndLineWithLineFeed = 1 << 5,
};
enum Base64DecodingOptions : uint32_t {
    NSDataBase64DecodingIgnoreUnknownCharacters = 1 << 0,
};

// With a line-length option, lines are ended by CR LF unless only one of the two is asked for.
std::string base64EncodedString(const void* bytes, size_t length, uint32_t options = 0);
std::string base64EncodedString(const std::vector<uint8_t>& data, uint32_t options = 0);
// nullopt for text that is not Base64: a character outside the alphabet (unless ignored), a
// length that is not a multiple of four, or padding anywhere but at the end.
std::optional<std::vector<uint8_t>> dataFromBase64String(std::string_view text, uint32_t options = 0);

} // namespace NSData_Base64
