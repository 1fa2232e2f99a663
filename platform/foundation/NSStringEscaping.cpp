// NSString: percent escaping and unescaping for URLs.
#include "foundation/NSString.h"

#include "foundation/NSCharacterSet.h"
#include "foundation/NSStringInternal.h"

#include <cctype>
#include <cstring>

namespace NSString {

using namespace NSStringInternal;

// MARK: Percent escapes

namespace {

constexpr char kHex[] = "0123456789ABCDEF";

// RFC 2396 unreserved and reserved marks, and "#", which may stand in a URL as they are.
bool isLegalURLCharacter(unsigned char c)
{
    return std::isalnum(c) || (c && std::strchr("-_.!~*'();/?:@&=+$,#", c));
}

template <typename Keep> std::string escapeBytes(std::string_view s, Keep&& keep)
{
    std::string out;
    out.reserve(s.size() + s.size() / 2);
    for (unsigned char c : s) {
        if (c < 0x80 && keep(c)) {
            out += static_cast<char>(c);
        } else {
            out += '%';
            out += kHex[c >> 4];
            out += kHex[c & 0xF];
        }
    }
    return out;
}

int hexValue(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

} // namespace

std::string stringByAddingPercentEscapes(
    std::string_view s, std::string_view leaveUnescaped, std::string_view legalToEscape)
{
    return escapeBytes(s, [&](unsigned char c) {
        if (leaveUnescaped.find(static_cast<char>(c)) != std::string_view::npos)
            return true;
        return isLegalURLCharacter(c) && legalToEscape.find(static_cast<char>(c)) == std::string_view::npos;
    });
}

std::optional<std::string> stringByAddingPercentEscapes(
    std::string_view s, std::string_view leaveUnescaped, std::string_view legalToEscape, NSStringEncoding encoding)
{
    if (encoding == NSUTF8StringEncoding)
        return stringByAddingPercentEscapes(s, leaveUnescaped, legalToEscape);
    std::optional<std::vector<uint8_t>> bytes = dataUsingEncoding(s, encoding);
    if (!bytes)
        return std::nullopt;
    return stringByAddingPercentEscapes(
        std::string_view(reinterpret_cast<const char*>(bytes->data()), bytes->size()), leaveUnescaped, legalToEscape);
}

std::string stringByAddingPercentEscapesUsingEncoding(std::string_view s)
{
    return stringByAddingPercentEscapes(s, {}, {});
}

std::string stringByEscapingForURLArgument(std::string_view s)
{
    return escapeBytes(
        s, [](unsigned char c) { return std::isalnum(c) || c == '-' || c == '_' || c == '.' || c == '~'; });
}

std::string stringByURLEncoding(std::string_view s)
{
    return stringByAddingPercentEscapes(s, {}, "!*'();:@&=+$,/?%#[]");
}

std::string stringByAddingPercentEncodingWithAllowedCharacters(std::string_view s, const NSCharacterSet& allowed)
{
    return escapeBytes(s, [&](unsigned char c) { return allowed.characterIsMember(c); });
}

std::optional<std::string> stringByReplacingPercentEscapes(std::string_view s)
{
    std::string out;
    out.reserve(s.size());
    for (size_t i = 0; i < s.size(); ++i) {
        if (s[i] != '%') {
            out += s[i];
            continue;
        }
        if (i + 2 >= s.size())
            return std::nullopt;
        int hi = hexValue(s[i + 1]), lo = hexValue(s[i + 2]);
        if (hi < 0 || lo < 0)
            return std::nullopt;
        out += static_cast<char>(hi << 4 | lo);
        i += 2;
    }
    if (!isValidUTF8(out))
        return std::nullopt;
    return out;
}

std::optional<std::string> stringByRemovingPercentEncoding(std::string_view s)
{
    return stringByReplacingPercentEscapes(s);
}

} // namespace NSString
