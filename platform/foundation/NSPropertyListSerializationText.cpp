#include "foundation/NSPropertyListSerializationText.h"
#include "foundation/NSString.h"

#include <optional>

namespace PropertyListText {

namespace {

constexpr int kMaximumDepth = 512;

class Parser {
public:
    Parser(std::string_view text, bool mutableContainers)
        : m_text(text)
        , m_mutable(mutableContainers)
    {
    }

    Value parseDocument(std::string& problem)
    {
        skipBlanks();
        if (atEnd())
            return finishWithoutBraces(problem); // an empty string table is an empty dictionary
        size_t start = m_pos;
        Value value = parseValue(0);
        if (!m_failed) {
            skipBlanks();
            if (atEnd())
                return value;
        }
        // Not a single value: read the whole text as dictionary entries without braces.
        m_pos = start;
        m_failed = false;
        m_problem.clear();
        return finishWithoutBraces(problem);
    }

private:
    Value finishWithoutBraces(std::string& problem)
    {
        Value dictionary = Value::mutableDictionary();
        parseEntries(dictionary, /* closing */ 0, 0);
        if (m_failed) {
            problem = m_problem;
            return {};
        }
        return m_mutable ? dictionary : dictionary.copy();
    }

    bool atEnd() const { return m_pos >= m_text.size(); }
    char peek() const { return m_text[m_pos]; }

    void fail(const std::string& what)
    {
        if (m_failed)
            return;
        m_failed = true;
        size_t line = 1;
        for (size_t i = 0; i < m_pos && i < m_text.size(); ++i)
            line += m_text[i] == '\n';
        m_problem = what + " on line " + std::to_string(line);
    }

    // Skips white space and comments; an unterminated block comment is an error.
    void skipBlanks()
    {
        while (!atEnd()) {
            char c = peek();
            if (c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\f' || c == '\v') {
                ++m_pos;
            } else if (c == '/' && m_pos + 1 < m_text.size() && m_text[m_pos + 1] == '/') {
                while (!atEnd() && peek() != '\n')
                    ++m_pos;
            } else if (c == '/' && m_pos + 1 < m_text.size() && m_text[m_pos + 1] == '*') {
                size_t end = m_text.find("*/", m_pos + 2);
                if (end == std::string_view::npos) {
                    fail("Unterminated comment");
                    m_pos = m_text.size();
                    return;
                }
                m_pos = end + 2;
            } else {
                return;
            }
        }
    }

    static bool isBareCharacter(char c)
    {
        return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_' || c == '$'
            || c == '+' || c == '/' || c == ':' || c == '.' || c == '-';
    }

    static int hexDigit(char c)
    {
        if (c >= '0' && c <= '9')
            return c - '0';
        if (c >= 'a' && c <= 'f')
            return c - 'a' + 10;
        if (c >= 'A' && c <= 'F')
            return c - 'A' + 10;
        return -1;
    }

    std::optional<std::string> parseQuoted()
    {
        char quote = peek();
        ++m_pos;
        std::string out;
        uint32_t pendingHighSurrogate = 0;
        auto flushSurrogate = [&] {
            if (pendingHighSurrogate) {
                NSString::appendUTF8(out, 0xFFFD);
                pendingHighSurrogate = 0;
            }
        };
        while (!atEnd()) {
            char c = peek();
            ++m_pos;
            if (c == quote) {
                flushSurrogate();
                // No writer can write a NUL character back, nor can the user defaults keep one.
                if (out.find('\0') != std::string::npos) {
                    fail("NUL character in a string");
                    return std::nullopt;
                }
                return out;
            }
            if (c != '\\') {
                flushSurrogate();
                out += c;
                continue;
            }
            if (atEnd())
                break;
            char e = peek();
            ++m_pos;
            uint32_t code = 0;
            switch (e) {
            case 'a':
                code = '\a';
                break;
            case 'b':
                code = '\b';
                break;
            case 'f':
                code = '\f';
                break;
            case 'n':
                code = '\n';
                break;
            case 'r':
                code = '\r';
                break;
            case 't':
                code = '\t';
                break;
            case 'v':
                code = '\v';
                break;
            case 'U':
            case 'u': {
                int digits = 0;
                while (digits < 4 && !atEnd() && hexDigit(peek()) >= 0) {
                    code = code * 16 + static_cast<uint32_t>(hexDigit(peek()));
                    ++m_pos;
                    ++digits;
                }
                if (digits == 0) {
                    fail("Missing hexadecimal digits after \\U");
                    return std::nullopt;
                }
                // Characters beyond the basic plane come as two escaped surrogates.
                if (code >= 0xD800 && code <= 0xDBFF) {
                    flushSurrogate();
                    pendingHighSurrogate = code;
                    continue;
                }
                if (code >= 0xDC00 && code <= 0xDFFF) {
                    if (pendingHighSurrogate) {
                        code = 0x10000 + ((pendingHighSurrogate - 0xD800) << 10) + (code - 0xDC00);
                        pendingHighSurrogate = 0;
                    } else {
                        code = 0xFFFD;
                    }
                }
                break;
            }
            default:
                if (e >= '0' && e <= '7') {
                    code = static_cast<uint32_t>(e - '0');
                    for (int k = 0; k < 2 && !atEnd() && peek() >= '0' && peek() <= '7'; ++k, ++m_pos)
                        code = code * 8 + static_cast<uint32_t>(peek() - '0');
                    code &= 0xFF;
                } else {
                    // Any other escaped character stands for itself (\" \' \\ and a newline).
                    flushSurrogate();
                    out += e;
                    continue;
                }
            }
            flushSurrogate();
            NSString::appendUTF8(out, code);
        }
        fail("Unterminated quoted string");
        return std::nullopt;
    }

    std::optional<std::string> parseString()
    {
        if (atEnd()) {
            fail("Unexpected end of text");
            return std::nullopt;
        }
        if (peek() == '"' || peek() == '\'')
            return parseQuoted();
        size_t start = m_pos;
        while (!atEnd() && isBareCharacter(peek()))
            ++m_pos;
        if (m_pos == start) {
            fail(std::string("Unexpected character '") + peek() + "'");
            return std::nullopt;
        }
        return std::string(m_text.substr(start, m_pos - start));
    }

    Value parseData()
    {
        ++m_pos; // '<'
        Value::Bytes bytes;
        int high = -1;
        for (;;) {
            skipBlanks();
            if (atEnd()) {
                fail("Unterminated data");
                return {};
            }
            char c = peek();
            ++m_pos;
            if (c == '>')
                break;
            int digit = hexDigit(c);
            if (digit < 0) {
                fail("Unexpected character in data");
                return {};
            }
            if (high < 0) {
                high = digit;
            } else {
                bytes.push_back(static_cast<uint8_t>(high << 4 | digit));
                high = -1;
            }
        }
        if (high >= 0) {
            fail("Odd number of hexadecimal digits in data");
            return {};
        }
        return Value::data(std::move(bytes));
    }

    // Entries "key = value;" (or "key;", whose value is the key) up to `closing` (0: the end).
    void parseEntries(Value& dictionary, char closing, int depth)
    {
        for (;;) {
            skipBlanks();
            if (m_failed)
                return;
            if (atEnd()) {
                if (closing)
                    fail("Missing '}'");
                return;
            }
            if (closing && peek() == closing) {
                ++m_pos;
                return;
            }
            auto key = parseString();
            if (!key)
                return;
            skipBlanks();
            if (!atEnd() && peek() == ';') {
                ++m_pos;
                dictionary.setObjectForKey(Value(*key), Value(*key));
                continue;
            }
            if (atEnd() || peek() != '=') {
                fail("Expected '=' after key");
                return;
            }
            ++m_pos;
            skipBlanks();
            Value value = parseValue(depth + 1);
            if (m_failed)
                return;
            skipBlanks();
            if (atEnd() || peek() != ';') {
                fail("Expected ';' after value");
                return;
            }
            ++m_pos;
            dictionary.setObjectForKey(value, Value(*key));
        }
    }

    Value parseValue(int depth)
    {
        if (depth > kMaximumDepth) {
            fail("Too deeply nested");
            return {};
        }
        skipBlanks();
        if (m_failed)
            return {};
        if (atEnd()) {
            fail("Unexpected end of text");
            return {};
        }
        char c = peek();
        if (c == '{') {
            ++m_pos;
            Value dictionary = Value::mutableDictionary();
            parseEntries(dictionary, '}', depth);
            if (m_failed)
                return {};
            return m_mutable ? dictionary : dictionary.copy();
        }
        if (c == '(') {
            ++m_pos;
            Value array = Value::mutableArray();
            skipBlanks();
            if (!atEnd() && peek() == ')') {
                ++m_pos;
                return m_mutable ? array : array.copy();
            }
            for (;;) {
                Value element = parseValue(depth + 1);
                if (m_failed)
                    return {};
                array.addObject(element);
                skipBlanks();
                if (atEnd()) {
                    fail("Missing ')'");
                    return {};
                }
                if (peek() == ',') {
                    ++m_pos;
                    skipBlanks();
                    if (!atEnd() && peek() == ')') { // a trailing comma is allowed
                        ++m_pos;
                        break;
                    }
                    continue;
                }
                if (peek() == ')') {
                    ++m_pos;
                    break;
                }
                fail("Expected ',' or ')' in array");
                return {};
            }
            return m_mutable ? array : array.copy();
        }
        if (c == '<')
            return parseData();
        auto text = parseString();
        if (!text)
            return {};
        return Value(std::move(*text));
    }

    std::string_view m_text;
    bool m_mutable;
    size_t m_pos { 0 };
    bool m_failed { false };
    std::string m_problem;
};

} // namespace

Value parse(std::string_view text, bool mutableContainers, std::string& problem)
{
    Parser parser(text, mutableContainers);
    return parser.parseDocument(problem);
}

} // namespace PropertyListText
