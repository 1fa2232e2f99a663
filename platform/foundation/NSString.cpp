#include "NSString.h"

#include <cctype>
#include <cerrno>
#include <climits>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace NSString {

namespace {

size_t skipBlanks(std::string_view s)
{
    size_t i = 0;
    while (i < s.size() && (s[i] == ' ' || s[i] == '\t' || s[i] == '\n' || s[i] == '\r' || s[i] == '\v' || s[i] == '\f'))
        ++i;
    return i;
}

} // namespace

int64_t longLongValue(std::string_view s)
{
    size_t i = skipBlanks(s);
    bool negative = false;
    if (i < s.size() && (s[i] == '+' || s[i] == '-'))
        negative = s[i++] == '-';
    unsigned long long value = 0;
    bool overflow = false;
    for (; i < s.size() && std::isdigit(static_cast<unsigned char>(s[i])); ++i) {
        unsigned digit = static_cast<unsigned>(s[i] - '0');
        if (value > (static_cast<unsigned long long>(LLONG_MAX) + 1 - digit) / 10)
            overflow = true;
        else
            value = value * 10 + digit;
    }
    if (overflow)
        return negative ? LLONG_MIN : LLONG_MAX;
    if (negative)
        return value > static_cast<unsigned long long>(LLONG_MAX) ? LLONG_MIN : -static_cast<long long>(value);
    return value > static_cast<unsigned long long>(LLONG_MAX) ? LLONG_MAX : static_cast<long long>(value);
}

int32_t intValue(std::string_view s)
{
    int64_t v = longLongValue(s);
    if (v > INT32_MAX)
        return INT32_MAX;
    if (v < INT32_MIN)
        return INT32_MIN;
    return static_cast<int32_t>(v);
}

int32_t integerValue(std::string_view s) { return intValue(s); }

double doubleValue(std::string_view s)
{
    size_t i = skipBlanks(s);
    std::string rest(s.substr(i));
    // Only decimal forms count: hexadecimal floats, "inf" and "nan" read as 0.
    size_t j = 0;
    if (j < rest.size() && (rest[j] == '+' || rest[j] == '-'))
        ++j;
    if (j >= rest.size() || !(std::isdigit(static_cast<unsigned char>(rest[j])) || rest[j] == '.'))
        return 0;
    if (rest.size() > j + 1 && rest[j] == '0' && (rest[j + 1] == 'x' || rest[j + 1] == 'X'))
        return 0;
    return std::strtod(rest.c_str(), nullptr);
}

float floatValue(std::string_view s) { return static_cast<float>(doubleValue(s)); }

bool boolValue(std::string_view s)
{
    size_t i = skipBlanks(s);
    if (i < s.size() && (s[i] == '+' || s[i] == '-'))
        ++i;
    while (i < s.size() && s[i] == '0')
        ++i;
    if (i >= s.size())
        return false;
    char c = s[i];
    return c == 'Y' || c == 'y' || c == 'T' || c == 't' || (c >= '1' && c <= '9');
}

std::string formatWithArgs(std::string_view format, const FormatArg* args, size_t count)
{
    // Minimal formatter; the full checked formatter replaces it.
    std::string out;
    size_t next = 0;
    for (size_t i = 0; i < format.size(); ++i) {
        if (format[i] != '%') {
            out += format[i];
            continue;
        }
        size_t start = i++;
        while (i < format.size() && std::strchr("-+ #0123456789.*hlqLjzt", format[i]))
            ++i;
        if (i >= format.size())
            break;
        char conv = format[i];
        if (conv == '%') {
            out += '%';
            continue;
        }
        if (next >= count) {
            out += "(null)";
            continue;
        }
        const FormatArg& a = args[next++];
        std::string spec(format.substr(start, i - start));
        char buf[512];
        switch (a.kind) {
        case FormatArg::Kind::Object:
            out += a.object.isNil() ? "(null)" : a.object.description();
            break;
        case FormatArg::Kind::Floating:
            std::snprintf(buf, sizeof buf, (spec + conv).c_str(), a.d);
            out += buf;
            break;
        case FormatArg::Kind::CString:
            out += a.s ? a.s : "(null)";
            break;
        default:
            out += std::to_string(a.kind == FormatArg::Kind::Signed ? a.i : static_cast<int64_t>(a.u));
        }
    }
    return out;
}

} // namespace NSString
