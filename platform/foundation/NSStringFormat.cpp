// The checked printf-style formatter behind NSString::stringWithFormat and NSLog.

#include "foundation/NSString.h"

#include "foundation/NSLog.h"
#include "foundation/NSObject.h"

#include <unicode/utf16.h>
#include <unicode/utf8.h>

#include <cstdio>
#include <cstring>

namespace NSString {

namespace {

// Widths and precisions above this are treated as format errors rather than honoured, so a
// hostile format cannot ask for gigabytes of padding.
constexpr int kMaxWidth = 100000;

enum class Length : uint8_t { None, Char, Short, Long, LongLong, LongDouble, IntMax, Size, PtrDiff };

struct Conversion {
    std::string_view text; // the whole conversion, "%08lx"
    bool minus { false };
    bool plus { false };
    bool space { false };
    bool alternate { false };
    bool zero { false };
    int width { -1 };
    int precision { -1 };
    Length length { Length::None };
    char type { 0 };
};

const char* kindName(FormatArg::Kind kind)
{
    switch (kind) {
    case FormatArg::Kind::Signed:
    case FormatArg::Kind::Unsigned:
        return "an integer";
    case FormatArg::Kind::Floating:
        return "a floating-point number";
    case FormatArg::Kind::CString:
        return "a C string";
    case FormatArg::Kind::Text:
        return "a string";
    case FormatArg::Kind::Text16:
        return "a UTF-16 string";
    case FormatArg::Kind::Pointer:
        return "a pointer";
    case FormatArg::Kind::Object:
        return "an object";
    }
    return "an unknown argument";
}

bool isInteger(const FormatArg& a)
{
    return a.kind == FormatArg::Kind::Signed || a.kind == FormatArg::Kind::Unsigned;
}

uint64_t rawBits(const FormatArg& a)
{
    return a.kind == FormatArg::Kind::Signed ? static_cast<uint64_t>(a.i) : a.u;
}

class Formatter {
public:
    Formatter(std::string_view format, const FormatArg* args, size_t count)
        : m_format(format)
        , m_args(args)
        , m_count(count)
    {
        m_out.reserve(format.size() + 16 * count);
    }

    std::string run();

private:
    void error(std::string_view conversion, const std::string& detail)
    {
        // A log sink that itself formats badly must not recurse without end.
        thread_local bool t_reporting = false;
        if (t_reporting)
            return;
        t_reporting = true;
        struct Reset {
            ~Reset() { t_reporting = false; }
        } reset;
        NSLogv("Format error: \"" + std::string(conversion) + "\" " + detail + " in format \"" + std::string(m_format)
            + "\"");
    }

    // Reads "n$" at m_pos; answers n (1-based) or 0 when there is none.
    int readPosition()
    {
        size_t p = m_pos;
        int n = 0;
        while (p < m_format.size() && m_format[p] >= '0' && m_format[p] <= '9' && n <= kMaxWidth)
            n = n * 10 + (m_format[p++] - '0');
        if (p > m_pos && p < m_format.size() && m_format[p] == '$' && n > 0) {
            m_pos = p + 1;
            return n;
        }
        return 0;
    }

    int readNumber()
    {
        int n = 0;
        while (m_pos < m_format.size() && m_format[m_pos] >= '0' && m_format[m_pos] <= '9') {
            if (n <= kMaxWidth)
                n = n * 10 + (m_format[m_pos] - '0');
            ++m_pos;
        }
        return n;
    }

    // The argument at a 1-based position, or the next one in order; null when missing.
    const FormatArg* argument(int position)
    {
        size_t index = position > 0 ? static_cast<size_t>(position - 1) : m_next++;
        return index < m_count ? &m_args[index] : nullptr;
    }

    // A "*" width or precision: an integer argument.
    bool starValue(int position, std::string_view conversion, int& value)
    {
        const FormatArg* a = argument(position);
        if (!a) {
            error(conversion, "has no argument for \"*\"");
            return false;
        }
        if (!isInteger(*a)) {
            error(conversion, std::string("expects an integer for \"*\", got ") + kindName(a->kind));
            return false;
        }
        value = static_cast<int32_t>(static_cast<uint32_t>(rawBits(*a)));
        return true;
    }

    void emitInteger(const Conversion& c, const FormatArg& a);
    void emitFloating(const Conversion& c, const FormatArg& a);
    void emitText(const Conversion& c, std::string_view text, bool bytePrecision);
    void emitPadded(const Conversion& c, std::string_view text);
    bool emit(const Conversion& c, const FormatArg* a);

    std::string_view m_format;
    const FormatArg* m_args;
    size_t m_count;
    size_t m_next { 0 };
    size_t m_pos { 0 };
    std::string m_out;
};

void Formatter::emitPadded(const Conversion& c, std::string_view text)
{
    size_t units = 0;
    if (c.width > 0) {
        const auto* bytes = reinterpret_cast<const uint8_t*>(text.data());
        for (size_t i = 0; i < text.size(); ++i)
            units += (bytes[i] & 0xC0) != 0x80 ? ((bytes[i] >= 0xF0) ? 2 : 1) : 0;
    }
    size_t pad = c.width > 0 && units < static_cast<size_t>(c.width) ? static_cast<size_t>(c.width) - units : 0;
    if (!c.minus)
        m_out.append(pad, ' ');
    m_out.append(text);
    if (c.minus)
        m_out.append(pad, ' ');
}

// Text with an optional precision (in bytes for C strings, UTF-16 units otherwise; never
// splitting a character) and width.
void Formatter::emitText(const Conversion& c, std::string_view text, bool bytePrecision)
{
    if (c.precision >= 0) {
        const auto* bytes = reinterpret_cast<const uint8_t*>(text.data());
        int32_t length = static_cast<int32_t>(text.size());
        int32_t i = 0;
        size_t used = 0;
        while (i < length) {
            int32_t next = i;
            UChar32 ch;
            U8_NEXT(bytes, next, length, ch);
            size_t cost = bytePrecision ? static_cast<size_t>(next - i) : (ch > 0xFFFF ? 2 : 1);
            if (used + cost > static_cast<size_t>(c.precision))
                break;
            used += cost;
            i = next;
        }
        text = text.substr(0, static_cast<size_t>(i));
    }
    emitPadded(c, text);
}

// Writes "%", the conversion's flags and a "*" width into a printf format; answers the end.
char* writeFlagsAndWidth(char* w, const Conversion& c)
{
    *w++ = '%';
    if (c.minus)
        *w++ = '-';
    if (c.plus)
        *w++ = '+';
    if (c.space)
        *w++ = ' ';
    if (c.alternate)
        *w++ = '#';
    if (c.zero)
        *w++ = '0';
    *w++ = '*';
    return w;
}

void Formatter::emitInteger(const Conversion& c, const FormatArg& a)
{
    uint64_t bits = rawBits(a);
    bool isSigned = c.type == 'd' || c.type == 'i';
    char printfFormat[32];
    char* w = writeFlagsAndWidth(printfFormat, c);
    *w++ = '.';
    *w++ = '*';
    *w++ = 'l';
    *w++ = 'l';
    *w++ = c.type;
    *w = 0;
    int width = c.width < 0 ? 0 : c.width;
    int precision = c.precision;
    char buffer[256];
    int n;
    // The platform's NSInteger and long are 32 bits: only ll, q and j take 64.
    if (isSigned) {
        long long v;
        switch (c.length) {
        case Length::Char:
            v = static_cast<int8_t>(bits);
            break;
        case Length::Short:
            v = static_cast<int16_t>(bits);
            break;
        case Length::LongLong:
        case Length::IntMax:
            v = static_cast<int64_t>(bits);
            break;
        default:
            v = static_cast<int32_t>(static_cast<uint32_t>(bits));
        }
        n = std::snprintf(buffer, sizeof buffer, printfFormat, width, precision, v);
        if (n >= static_cast<int>(sizeof buffer)) {
            std::string big(static_cast<size_t>(n) + 1, '\0');
            std::snprintf(big.data(), big.size(), printfFormat, width, precision, v);
            m_out.append(big.data(), static_cast<size_t>(n));
            return;
        }
    } else {
        unsigned long long v;
        switch (c.length) {
        case Length::Char:
            v = static_cast<uint8_t>(bits);
            break;
        case Length::Short:
            v = static_cast<uint16_t>(bits);
            break;
        case Length::LongLong:
        case Length::IntMax:
            v = bits;
            break;
        default:
            v = static_cast<uint32_t>(bits);
        }
        n = std::snprintf(buffer, sizeof buffer, printfFormat, width, precision, v);
        if (n >= static_cast<int>(sizeof buffer)) {
            std::string big(static_cast<size_t>(n) + 1, '\0');
            std::snprintf(big.data(), big.size(), printfFormat, width, precision, v);
            m_out.append(big.data(), static_cast<size_t>(n));
            return;
        }
    }
    if (n > 0)
        m_out.append(buffer, static_cast<size_t>(n));
}

void Formatter::emitFloating(const Conversion& c, const FormatArg& a)
{
    char printfFormat[32];
    char* w = writeFlagsAndWidth(printfFormat, c);
    if (c.precision >= 0) {
        *w++ = '.';
        *w++ = '*';
    }
    *w++ = c.type;
    *w = 0;
    int width = c.width < 0 ? 0 : c.width;
    char buffer[512];
    int n = c.precision >= 0 ? std::snprintf(buffer, sizeof buffer, printfFormat, width, c.precision, a.d)
                             : std::snprintf(buffer, sizeof buffer, printfFormat, width, a.d);
    if (n >= static_cast<int>(sizeof buffer)) {
        std::string big(static_cast<size_t>(n) + 1, '\0');
        if (c.precision >= 0)
            std::snprintf(big.data(), big.size(), printfFormat, width, c.precision, a.d);
        else
            std::snprintf(big.data(), big.size(), printfFormat, width, a.d);
        m_out.append(big.data(), static_cast<size_t>(n));
        return;
    }
    if (n > 0)
        m_out.append(buffer, static_cast<size_t>(n));
}

// Writes one conversion; false when its argument does not fit it.
bool Formatter::emit(const Conversion& c, const FormatArg* a)
{
    using Kind = FormatArg::Kind;
    switch (c.type) {
    case 'd':
    case 'i':
    case 'u':
    case 'o':
    case 'x':
    case 'X':
    case 'D':
    case 'U':
    case 'O':
        if (!isInteger(*a))
            return false;
        {
            Conversion adjusted = c;
            // The platform's upper-case D, U and O are the long forms of d, u and o.
            if (c.type == 'D' || c.type == 'U' || c.type == 'O')
                adjusted.type = static_cast<char>(c.type - 'A' + 'a');
            emitInteger(adjusted, *a);
        }
        return true;
    case 'f':
    case 'F':
    case 'e':
    case 'E':
    case 'g':
    case 'G':
    case 'a':
    case 'A':
        if (a->kind != Kind::Floating)
            return false;
        emitFloating(c, *a);
        return true;
    case 'c':
    case 'C': {
        if (!isInteger(*a))
            return false;
        uint64_t bits = rawBits(*a);
        // %c is one byte (read as ISO Latin-1 beyond ASCII), %C one UTF-16 unit.
        char32_t ch = c.type == 'c' ? static_cast<char32_t>(bits & 0xFF) : static_cast<char32_t>(bits & 0xFFFF);
        if (U_IS_SURROGATE(ch))
            ch = 0xFFFD;
        char text[4];
        int32_t length = 0;
        if (ch) {
            UBool failed = false;
            U8_APPEND(reinterpret_cast<uint8_t*>(text), length, 4, static_cast<UChar32>(ch), failed);
            (void)failed;
        }
        emitPadded(c, std::string_view(text, static_cast<size_t>(length)));
        return true;
    }
    case 's':
    case 'S':
    case '@': {
        switch (a->kind) {
        case Kind::CString:
            emitText(c, a->s ? std::string_view(a->s) : std::string_view("(null)"), c.type == 's');
            return true;
        case Kind::Text:
            emitText(c, a->text, false);
            return true;
        case Kind::Text16:
            if (!a->p) {
                emitText(c, "(null)", false);
                return true;
            }
            emitText(c, fromUTF16(a->text16), false);
            return true;
        case Kind::Object:
            if (a->object.isNil()) {
                emitText(c, "(null)", false);
                return true;
            }
            if (a->object.isString()) {
                emitText(c, a->object.string(), false);
                return true;
            }
            // Only "%@" prints objects; "%s" and "%S" want text.
            if (c.type != '@')
                return false;
            emitText(c, a->object.description(), false);
            return true;
        default:
            return false;
        }
    }
    case 'p': {
        const void* pointer = nullptr;
        if (a->kind == Kind::Pointer || a->kind == Kind::CString || a->kind == Kind::Text16)
            pointer = a->kind == Kind::CString ? static_cast<const void*>(a->s) : a->p;
        else if (a->kind == Kind::Object && (a->object.isNil() || a->object.isObject()))
            pointer = a->object.isNil() ? nullptr : static_cast<const void*>(a->object.objectValue().get());
        else
            return false;
        char buffer[32];
        int n = std::snprintf(
            buffer, sizeof buffer, "0x%llx", static_cast<unsigned long long>(reinterpret_cast<uintptr_t>(pointer)));
        emitPadded(c, std::string_view(buffer, static_cast<size_t>(n)));
        return true;
    }
    }
    return false;
}

std::string Formatter::run()
{
    while (m_pos < m_format.size()) {
        size_t percent = m_format.find('%', m_pos);
        if (percent == std::string_view::npos) {
            m_out.append(m_format.substr(m_pos));
            break;
        }
        m_out.append(m_format.substr(m_pos, percent - m_pos));
        m_pos = percent + 1;
        if (m_pos < m_format.size() && m_format[m_pos] == '%') {
            m_out += '%';
            ++m_pos;
            continue;
        }

        Conversion c;
        bool ok = true;
        int position = readPosition();
        int widthPosition = -1; // -1: no "*" width; 0: next argument; n: argument n
        int precisionPosition = -1;
        // Flags and the width, in any order (the platform also reads "%10#llx").
        while (m_pos < m_format.size()) {
            char ch = m_format[m_pos];
            if (ch == '-')
                c.minus = true;
            else if (ch == '+')
                c.plus = true;
            else if (ch == ' ')
                c.space = true;
            else if (ch == '#')
                c.alternate = true;
            else if (ch == '\'')
                ;
            else if (ch == '0' && c.width < 0 && widthPosition < 0)
                c.zero = true;
            else if (ch >= '0' && ch <= '9') {
                c.width = readNumber();
                continue;
            } else if (ch == '*') {
                ++m_pos;
                widthPosition = readPosition();
                c.width = 0;
                continue;
            } else
                break;
            ++m_pos;
        }
        if (m_pos < m_format.size() && m_format[m_pos] == '.') {
            ++m_pos;
            if (m_pos < m_format.size() && m_format[m_pos] == '*') {
                ++m_pos;
                precisionPosition = readPosition();
            } else {
                c.precision = readNumber();
            }
        }
        if (m_pos < m_format.size()) {
            char ch = m_format[m_pos];
            char next = m_pos + 1 < m_format.size() ? m_format[m_pos + 1] : 0;
            if (ch == 'h' && next == 'h')
                c.length = Length::Char, m_pos += 2;
            else if (ch == 'l' && next == 'l')
                c.length = Length::LongLong, m_pos += 2;
            else if (ch == 'h')
                c.length = Length::Short, ++m_pos;
            else if (ch == 'l')
                c.length = Length::Long, ++m_pos;
            else if (ch == 'q')
                c.length = Length::LongLong, ++m_pos;
            else if (ch == 'L')
                c.length = Length::LongDouble, ++m_pos;
            else if (ch == 'j')
                c.length = Length::IntMax, ++m_pos;
            else if (ch == 'z')
                c.length = Length::Size, ++m_pos;
            else if (ch == 't')
                c.length = Length::PtrDiff, ++m_pos;
        }
        if (m_pos >= m_format.size()) {
            c.text = m_format.substr(percent);
            error(c.text, "is incomplete");
            m_out.append(c.text);
            break;
        }
        c.type = m_format[m_pos++];
        c.text = m_format.substr(percent, m_pos - percent);
        if (!std::strchr("diuoxXDUOfFeEgGaAcCsS@p", c.type)) {
            error(c.text, "is not a known conversion");
            m_out.append(c.text);
            continue;
        }

        // "*" arguments come before the value, in order.
        if (widthPosition >= 0) {
            int value = 0;
            ok = starValue(widthPosition, c.text, value);
            if (ok) {
                if (value < 0) {
                    c.minus = true;
                    value = value == INT32_MIN ? INT32_MAX : -value;
                }
                c.width = value;
            }
        }
        if (ok && precisionPosition >= 0) {
            int value = 0;
            ok = starValue(precisionPosition, c.text, value);
            if (ok)
                c.precision = value < 0 ? -1 : value;
        }
        const FormatArg* a = argument(position);
        if (!ok) {
            m_out.append(c.text);
            continue;
        }
        if (c.width > kMaxWidth || c.precision > kMaxWidth) {
            error(c.text, "asks for a width or precision above " + std::to_string(kMaxWidth));
            m_out.append(c.text);
            continue;
        }
        if (!a) {
            error(c.text, "has no argument");
            m_out.append(c.text);
            continue;
        }
        if (!emit(c, a)) {
            error(c.text, std::string("does not take ") + kindName(a->kind));
            m_out.append(c.text);
        }
    }
    return std::move(m_out);
}

} // namespace

std::string formatWithArgs(std::string_view format, const FormatArg* args, size_t count)
{
    return Formatter(format, args, count).run();
}

} // namespace NSString
