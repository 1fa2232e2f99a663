#include "app/core/analytics/NSString+URLArgumentsAdditions.h"

namespace NSString_URLArgumentsAdditions {

std::string gtm_stringByEscapingForURLArgument(const std::string& text)
{
    static const char* const s_hex = "0123456789ABCDEF";
    std::string escaped;
    escaped.reserve(text.size());
    for (unsigned char c : text) {
        bool keep = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '-' || c == '_'
            || c == '.' || c == '~';
        if (keep) {
            escaped += char(c);
        } else {
            escaped += '%';
            escaped += s_hex[c >> 4];
            escaped += s_hex[c & 0xF];
        }
    }
    return escaped;
}

std::string gtm_stringByUnescapingFromURLArgument(const std::string& text)
{
    auto digit = [](char c) -> int {
        if (c >= '0' && c <= '9')
            return c - '0';
        if (c >= 'a' && c <= 'f')
            return c - 'a' + 10;
        if (c >= 'A' && c <= 'F')
            return c - 'A' + 10;
        return -1;
    };
    std::string result;
    result.reserve(text.size());
    for (size_t i = 0; i < text.size(); ++i) {
        char c = text[i];
        if (c == '+') {
            result += ' ';
        } else if (c == '%' && i + 2 < text.size() && digit(text[i + 1]) >= 0 && digit(text[i + 2]) >= 0) {
            result += char(digit(text[i + 1]) * 16 + digit(text[i + 2]));
            i += 2;
        } else {
            result += c;
        }
    }
    return result;
}

} // namespace NSString_URLArgumentsAdditions
