// Value: the platform's description of values (number formatting, quoting, nesting) and kind names.
#include "foundation/Value.h"

#include "foundation/NSObject.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <ctime>

namespace {

// Writes shortest round-trip digits the way "%.17g" lays them out: plain notation for decimal
// exponents from -5 to 16 (so whole values up to 1e17 print without a fraction or exponent),
// scientific with a signed two-digit exponent otherwise.
std::string formatShortest(const char* first, const char* last, bool negative)
{
    // `first..last` is the scientific shortest form without sign: "d[.ddd]e[+-]xx".
    std::string_view sci(first, static_cast<size_t>(last - first));
    size_t e = sci.find('e');
    std::string digits(sci.substr(0, e));
    digits.erase(std::remove(digits.begin(), digits.end(), '.'), digits.end());
    int exponent = std::atoi(std::string(sci.substr(e + 1)).c_str());
    std::string out = negative ? "-" : "";
    if (exponent < -5 || exponent > 16) {
        out += digits[0];
        if (digits.size() > 1)
            out += "." + digits.substr(1);
        char buf[16];
        std::snprintf(buf, sizeof buf, "e%c%02d", exponent < 0 ? '-' : '+', std::abs(exponent));
        return out + buf;
    }
    if (exponent < 0)
        return out + "0." + std::string(static_cast<size_t>(-exponent - 1), '0') + digits;
    size_t intDigits = static_cast<size_t>(exponent) + 1;
    if (digits.size() <= intDigits)
        return out + digits + std::string(intDigits - digits.size(), '0');
    return out + digits.substr(0, intDigits) + "." + digits.substr(intDigits);
}

template <typename F> std::string formatReal(F d)
{
    if (std::isnan(d))
        return "nan";
    if (std::isinf(d))
        return d > 0 ? "inf" : "-inf";
    if (d == 0)
        return std::signbit(d) ? "-0" : "0";
    char buf[64];
    auto result = std::to_chars(buf, buf + sizeof buf, std::fabs(d), std::chars_format::scientific);
    return formatShortest(buf, result.ptr, d < 0);
}

// Strings print bare in containers only when made of ASCII letters, digits, "_" and "$";
// anything else is quoted, with quotes, backslashes and control characters escaped and
// non-ASCII characters written as "\Uxxxx" UTF-16 units.
bool needsQuotes(const std::string& s)
{
    if (s.empty())
        return true;
    for (unsigned char c : s) {
        bool plain = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_' || c == '$';
        if (!plain)
            return true;
    }
    return false;
}

void appendUnicodeEscape(std::string& out, uint32_t unit)
{
    char buf[16];
    std::snprintf(buf, sizeof buf, "\\U%04x", unit);
    out += buf;
}

std::string quoted(const std::string& s)
{
    std::string out = "\"";
    for (size_t i = 0; i < s.size(); ++i) {
        unsigned char c = static_cast<unsigned char>(s[i]);
        switch (c) {
        case '"':
            out += "\\\"";
            continue;
        case '\\':
            out += "\\\\";
            continue;
        case '\n':
            out += "\\n";
            continue;
        case '\t':
            out += "\\t";
            continue;
        case '\r':
            out += "\\r";
            continue;
        default:
            break;
        }
        if (c < 0x20) {
            char buf[8];
            std::snprintf(buf, sizeof buf, "\\%03o", c);
            out += buf;
            continue;
        }
        if (c < 0x80) {
            out += static_cast<char>(c);
            continue;
        }
        // Decode one UTF-8 sequence; a malformed byte is shown as its own unit.
        uint32_t cp = c;
        size_t extra = c >= 0xF0 ? 3 : c >= 0xE0 ? 2 : c >= 0xC0 ? 1 : 0;
        bool ok = extra > 0 && i + extra < s.size();
        if (ok) {
            cp = c & (0x3F >> extra);
            for (size_t k = 1; k <= extra; ++k) {
                unsigned char cc = static_cast<unsigned char>(s[i + k]);
                if ((cc & 0xC0) != 0x80) {
                    ok = false;
                    break;
                }
                cp = (cp << 6) | (cc & 0x3F);
            }
        }
        if (!ok) {
            appendUnicodeEscape(out, c);
            continue;
        }
        i += extra;
        if (cp >= 0x10000) {
            cp -= 0x10000;
            appendUnicodeEscape(out, 0xD800 + (cp >> 10));
            appendUnicodeEscape(out, 0xDC00 + (cp & 0x3FF));
        } else {
            appendUnicodeEscape(out, cp);
        }
    }
    return out + "\"";
}

// `level` is the nesting depth of `v`: containers indent their elements one level deeper, and
// a container inside another starts with its own level's indentation, as the platform prints
// it ("key =     {" and "        (" for nested containers).
std::string describeLeaf(const Value& v)
{
    switch (v.kind()) {
    case Value::Kind::Nil:
        return "(null)";
    case Value::Kind::Null:
        return "<null>";
    case Value::Kind::Bool:
        return v.boolValue() ? "1" : "0";
    case Value::Kind::Int:
    case Value::Kind::LongLong:
        return v.isUnsigned() ? std::to_string(v.unsignedLongLongValue()) : std::to_string(v.longLongValue());
    case Value::Kind::Float:
        return formatReal(v.floatValue());
    case Value::Kind::Double:
        return formatReal(v.doubleValue());
    case Value::Kind::String:
        return v.string();
    case Value::Kind::Data: {
        static const char* hex = "0123456789abcdef";
        std::string out = "<";
        const auto& b = v.bytes();
        for (size_t i = 0; i < b.size(); ++i) {
            if (i && i % 4 == 0)
                out += ' ';
            out += hex[b[i] >> 4];
            out += hex[b[i] & 15];
        }
        return out + ">";
    }
    case Value::Kind::Date: {
        // A date read from a file can hold any double: one that is not a number, or too far out
        // for a calendar year, prints its seconds instead of converting out of range.
        double t = std::floor(v.dateValue());
        struct tm tm;
        char buf[64];
        if (std::isfinite(t) && std::fabs(t) < 1e15) {
            time_t secs = static_cast<time_t>(t);
            if (gmtime_r(&secs, &tm) && std::strftime(buf, sizeof buf, "%Y-%m-%d %H:%M:%S +0000", &tm) > 0)
                return buf;
        }
        std::snprintf(buf, sizeof buf, "<date %g seconds since 1970>", v.dateValue());
        return buf;
    }
    case Value::Kind::Class:
        return v.classValue()->name;
    case Value::Kind::Object:
        return v.objectValue()->description();
    case Value::Kind::Array:
    case Value::Kind::Dictionary:
        break;
    }
    return {};
}

// `level` is the nesting depth of `v`. Inside a container every element that is not itself a
// container prints its description, quoted when it is not a plain word ("1.5", "<null>").
// Containers indent their elements one level deeper, and a container inside another starts
// with its own level's indentation, as the platform prints it ("key =     {", "        (").
void describe(std::string& out, const Value& v, int level)
{
    auto pad = [&](int n) { out.append(static_cast<size_t>(n) * 4, ' '); };
    switch (v.kind()) {
    case Value::Kind::Array: {
        pad(level);
        out += "(\n";
        const auto& e = v.elements();
        for (size_t i = 0; i < e.size(); ++i) {
            pad(level + 1);
            describe(out, e[i], level + 1);
            out += i + 1 < e.size() ? ",\n" : "\n";
        }
        pad(level);
        out += ')';
        return;
    }
    case Value::Kind::Dictionary: {
        pad(level);
        out += "{\n";
        for (const auto& [key, object] : v.entries()) {
            pad(level + 1);
            describe(out, key, level + 1);
            out += " = ";
            describe(out, object, level + 1);
            out += ";\n";
        }
        pad(level);
        out += '}';
        return;
    }
    default: {
        std::string text = describeLeaf(v);
        out += level > 0 && needsQuotes(text) ? quoted(text) : text;
        return;
    }
    }
}

} // namespace

std::string Value::description() const
{
    std::string out;
    describe(out, *this, 0);
    return out;
}

const char* Value::kindName() const
{
    switch (m_kind) {
    case Kind::Nil:
        return "nil";
    case Kind::Null:
        return "NSNull";
    case Kind::Bool:
    case Kind::Int:
    case Kind::LongLong:
    case Kind::Float:
    case Kind::Double:
        return "NSNumber";
    case Kind::String:
        return "NSString";
    case Kind::Data:
        return "NSData";
    case Kind::Date:
        return "NSDate";
    case Kind::Array:
        return "NSArray";
    case Kind::Dictionary:
        return "NSDictionary";
    case Kind::Class:
        return "Class";
    case Kind::Object:
        return objectValue()->objectClass()->name;
    }
    return "?";
}
