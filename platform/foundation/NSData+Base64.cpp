#include "foundation/NSData+Base64.h"

namespace NSData_Base64 {

namespace {

constexpr char kAlphabet[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";

int decodeDigit(char c)
{
    if (c >= 'A' && c <= 'Z')
        return c - 'A';
    if (c >= 'a' && c <= 'z')
        return c - 'a' + 26;
    if (c >= '0' && c <= '9')
        return c - '0' + 52;
    if (c == '+')
        return 62;
    if (c == '/')
        return 63;
    return -1;
}

} // namespace

std::string base64EncodedString(const void* data, size_t length, uint32_t options)
{
    const auto* bytes = static_cast<const uint8_t*>(data);
    size_t lineLength = (options & NSDataBase64Encoding64CharacterLineLength) ? 64
        : (options & NSDataBase64Encoding76CharacterLineLength)               ? 76
                                                                              : 0;
    std::string lineEnd;
    bool cr = options & NSDataBase64EncodingEndLineWithCarriageReturn;
    bool lf = options & NSDataBase64EncodingEndLineWithLineFeed;
    if (cr || !lf)
        lineEnd += '\r';
    if (lf || !cr)
        lineEnd += '\n';
    std::string out;
    out.reserve((length + 2) / 3 * 4 + (lineLength ? length / 32 : 0));
    size_t column = 0;
    auto put = [&](char c) {
        if (lineLength && column == lineLength) {
            out += lineEnd;
            column = 0;
        }
        out += c;
        ++column;
    };
    for (size_t i = 0; i < length; i += 3) {
        uint32_t chunk = static_cast<uint32_t>(bytes[i]) << 16;
        if (i + 1 < length)
            chunk |= static_cast<uint32_t>(bytes[i + 1]) << 8;
        if (i + 2 < length)
            chunk |= bytes[i + 2];
        put(kAlphabet[(chunk >> 18) & 63]);
        put(kAlphabet[(chunk >> 12) & 63]);
        put(i + 1 < length ? kAlphabet[(chunk >> 6) & 63] : '=');
        put(i + 2 < length ? kAlphabet[chunk & 63] : '=');
    }
    return out;
}

std::string base64EncodedString(const std::vector<uint8_t>& data, uint32_t options)
{
    return base64EncodedString(data.data(), data.size(), options);
}

std::optional<std::vector<uint8_t>> dataFromBase64String(std::string_view text, uint32_t options)
{
    bool ignoreUnknown = options & NSDataBase64DecodingIgnoreUnknownCharacters;
    std::vector<uint8_t> out;
    out.reserve(text.size() / 4 * 3);
    uint32_t chunk = 0;
    size_t digits = 0; // digits in the current quantum
    size_t padding = 0;
    for (char c : text) {
        if (c == '=') {
            // Padding may only close the last quantum, after at least two digits.
            if (digits + padding < 2)
                return std::nullopt;
            ++padding;
            if (digits + padding > 4)
                return std::nullopt;
            continue;
        }
        int value = decodeDigit(c);
        if (value < 0) {
            if (ignoreUnknown)
                continue;
            return std::nullopt;
        }
        if (padding)
            return std::nullopt;
        chunk = chunk << 6 | static_cast<uint32_t>(value);
        if (++digits == 4) {
            out.push_back(static_cast<uint8_t>(chunk >> 16));
            out.push_back(static_cast<uint8_t>(chunk >> 8));
            out.push_back(static_cast<uint8_t>(chunk));
            chunk = 0;
            digits = 0;
        }
    }
    if (digits == 0 && padding == 0)
        return out;
    if (digits + padding != 4 || digits < 2)
        return std::nullopt;
    chunk <<= 6 * (4 - digits);
    out.push_back(static_cast<uint8_t>(chunk >> 16));
    if (digits == 3)
        out.push_back(static_cast<uint8_t>(chunk >> 8));
    return out;
}

} // namespace NSData_Base64
