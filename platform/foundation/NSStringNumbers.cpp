// NSString: reading numbers and booleans from text with the platform's rules.
#include "foundation/NSString.h"

#include <cctype>
#include <climits>
#include <clocale>
#include <cstdlib>

namespace NSString {

namespace {

size_t skipBlanks(std::string_view s)
{
    size_t i = 0;
    while (
        i < s.size() && (s[i] == ' ' || s[i] == '\t' || s[i] == '\n' || s[i] == '\r' || s[i] == '\v' || s[i] == '\f'))
        ++i;
    return i;
}

} // namespace

// MARK: Numbers

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

int32_t integerValue(std::string_view s)
{
    return intValue(s);
}

double doubleValue(std::string_view s)
{
    size_t i = skipBlanks(s);
    // Take only the decimal form (sign, digits, point, exponent): hexadecimal floats, "inf" and
    // "nan" read as 0, and the process locale's decimal separator plays no part.
    size_t j = i;
    if (j < s.size() && (s[j] == '+' || s[j] == '-'))
        ++j;
    size_t digits = 0;
    while (j < s.size() && std::isdigit(static_cast<unsigned char>(s[j])))
        ++j, ++digits;
    if (j < s.size() && s[j] == '.') {
        ++j;
        while (j < s.size() && std::isdigit(static_cast<unsigned char>(s[j])))
            ++j, ++digits;
    }
    if (!digits)
        return 0;
    if (j < s.size() && (s[j] == 'e' || s[j] == 'E')) {
        size_t k = j + 1;
        if (k < s.size() && (s[k] == '+' || s[k] == '-'))
            ++k;
        if (k < s.size() && std::isdigit(static_cast<unsigned char>(s[k]))) {
            while (k < s.size() && std::isdigit(static_cast<unsigned char>(s[k])))
                ++k;
            j = k;
        }
    }
    static locale_t s_cLocale = newlocale(LC_NUMERIC_MASK, "C", nullptr);
    std::string text(s.substr(i, j - i));
    return strtod_l(text.c_str(), nullptr, s_cLocale);
}

float floatValue(std::string_view s)
{
    return static_cast<float>(doubleValue(s));
}

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

} // namespace NSString
