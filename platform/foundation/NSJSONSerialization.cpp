#include "foundation/NSJSONSerialization.h"

#include "foundation/JSONReader.h"
#include "foundation/JSONReaderInternal.h"
#include "foundation/NSError.h"

#include <nlohmann/json.hpp>

#include <cmath>
#include <cstdio>
#include <optional>
#include <string>
#include <vector>

namespace NSJSONSerialization {

namespace {

// The fast reader refuses deeper texts; the event reader then reports them.
constexpr size_t kMaximumDepth = JSONReader::kMaximumDepth;

Ref<NSError> makeError(const std::string& debugDescription)
{
    return NSError::errorWithDomain(NSCocoaErrorDomain, NSJSONErrorCode,
        Value::dictionary({ { Value(NSDebugDescriptionErrorKey), Value(debugDescription) } }));
}

Value fail(Ref<NSError>* error, const std::string& debugDescription)
{
    if (error)
        *error = makeError(debugDescription);
    return {};
}

// Offset of the first byte that does not start a well-formed UTF-8 sequence, if any.
std::optional<size_t> firstInvalidUTF8(std::string_view s)
{
    size_t i = 0;
    while (i < s.size()) {
        auto c = static_cast<unsigned char>(s[i]);
        if (c < 0x80) {
            ++i;
            continue;
        }
        size_t length;
        uint32_t cp;
        if (c >= 0xC2 && c <= 0xDF) {
            length = 2;
            cp = c & 0x1F;
        } else if (c >= 0xE0 && c <= 0xEF) {
            length = 3;
            cp = c & 0x0F;
        } else if (c >= 0xF0 && c <= 0xF4) {
            length = 4;
            cp = c & 0x07;
        } else {
            return i;
        }
        if (i + length > s.size())
            return i;
        for (size_t k = 1; k < length; ++k) {
            auto cc = static_cast<unsigned char>(s[i + k]);
            if ((cc & 0xC0) != 0x80)
                return i;
            cp = (cp << 6) | (cc & 0x3F);
        }
        bool overlong = (length == 3 && cp < 0x800) || (length == 4 && cp < 0x10000);
        if (overlong || (cp >= 0xD800 && cp <= 0xDFFF) || cp > 0x10FFFF)
            return i;
        i += length;
    }
    return std::nullopt;
}

// Builds Values straight from the parser's events, so object keys keep their order.
class Builder final : public nlohmann::json_sax<nlohmann::json> {
public:
    explicit Builder(bool mutableContainers)
        : m_mutable(mutableContainers)
    {
    }

    bool null() override { return add(Value::null()); }
    bool boolean(bool v) override { return add(Value(v)); }
    // The parser reports negative integers as signed, the others as unsigned.
    bool number_integer(number_integer_t v) override { return add(jsonIntegerValue(static_cast<int64_t>(v))); }
    bool number_unsigned(number_unsigned_t v) override { return add(jsonUnsignedValue(static_cast<uint64_t>(v))); }
    bool number_float(number_float_t v, const string_t&) override { return add(Value(static_cast<double>(v))); }
    bool string(string_t& v) override { return add(Value(std::move(v))); }
    bool binary(binary_t&) override { return false; }
    bool start_object(std::size_t) override { return push(false); }
    bool key(string_t& v) override
    {
        m_stack.back().key = Value(std::move(v));
        return true;
    }
    bool end_object() override { return pop(); }
    bool start_array(std::size_t) override { return push(true); }
    bool end_array() override { return pop(); }
    bool parse_error(std::size_t position, const std::string&, const nlohmann::detail::exception&) override
    {
        m_errorPosition = position;
        return false;
    }

    Value result() const { return m_result; }
    bool isComplete() const { return m_complete; }
    bool isTooDeep() const { return m_tooDeep; }
    size_t errorPosition() const { return m_errorPosition; }

private:
    struct Frame {
        bool isArray;
        Value key;
        std::vector<Value> elements;
        std::vector<std::pair<Value, Value>> entries;
    };

    bool add(Value v)
    {
        if (m_stack.empty()) {
            m_result = std::move(v);
            m_complete = true;
            return true;
        }
        Frame& top = m_stack.back();
        if (top.isArray)
            top.elements.push_back(std::move(v));
        else
            top.entries.emplace_back(std::move(top.key), std::move(v));
        return true;
    }

    bool push(bool isArray)
    {
        if (m_stack.size() >= kMaximumDepth) {
            m_tooDeep = true;
            return false;
        }
        m_stack.push_back(Frame { isArray, {}, {}, {} });
        return true;
    }

    bool pop()
    {
        Frame frame = std::move(m_stack.back());
        m_stack.pop_back();
        Value finished;
        if (frame.isArray)
            finished
                = m_mutable ? Value::mutableArray(std::move(frame.elements)) : Value::array(std::move(frame.elements));
        else
            finished = m_mutable ? Value::mutableDictionary(std::move(frame.entries))
                                 : Value::dictionary(std::move(frame.entries));
        return add(std::move(finished));
    }

    bool m_mutable;
    std::vector<Frame> m_stack;
    Value m_result;
    bool m_complete { false };
    bool m_tooDeep { false };
    size_t m_errorPosition { 0 };
};

bool isJSONWhitespace(char c)
{
    return c == ' ' || c == '\t' || c == '\n' || c == '\r';
}

class Writer {
public:
    explicit Writer(bool pretty)
        : m_pretty(pretty)
    {
    }

    // Answers an error description, or nullopt when `v` was written.
    std::optional<std::string> write(const Value& v, size_t depth)
    {
        if (depth > kMaximumDepth)
            return std::string("Too many nested arrays or dictionaries in JSON write");
        switch (v.kind()) {
        case Value::Kind::Null:
            m_out += "null";
            return std::nullopt;
        case Value::Kind::Bool:
            m_out += v.boolValue() ? "true" : "false";
            return std::nullopt;
        case Value::Kind::Int:
        case Value::Kind::LongLong:
            m_out += v.description();
            return std::nullopt;
        case Value::Kind::Float:
        case Value::Kind::Double: {
            double d = v.doubleValue();
            if (std::isnan(d))
                return std::string("Invalid number value (NaN) in JSON write");
            if (std::isinf(d))
                return std::string("Invalid number value (infinite) in JSON write");
            m_out += d == 0 ? "0" : Value(d).description();
            return std::nullopt;
        }
        case Value::Kind::String:
            return writeString(v.string());
        case Value::Kind::Array: {
            const auto& elements = v.elements();
            m_out += '[';
            for (size_t i = 0; i < elements.size(); ++i) {
                if (i)
                    m_out += ',';
                newline(depth + 1);
                if (auto failure = write(elements[i], depth + 1))
                    return failure;
            }
            // An empty container prints with an empty line inside when pretty-printing.
            if (elements.empty() && m_pretty)
                m_out += '\n';
            newline(depth);
            m_out += ']';
            return std::nullopt;
        }
        case Value::Kind::Dictionary: {
            const auto& entries = v.entries();
            m_out += '{';
            bool first = true;
            for (const auto& [key, object] : entries) {
                if (!key.isString())
                    return std::string("Invalid (non-string) key in JSON dictionary");
                if (!first)
                    m_out += ',';
                first = false;
                newline(depth + 1);
                if (auto failure = writeString(key.string()))
                    return failure;
                m_out += m_pretty ? " : " : ":";
                if (auto failure = write(object, depth + 1))
                    return failure;
            }
            // An empty container prints with an empty line inside when pretty-printing.
            if (entries.empty() && m_pretty)
                m_out += '\n';
            newline(depth);
            m_out += '}';
            return std::nullopt;
        }
        default:
            return std::string("Invalid type in JSON write (") + v.kindName() + ")";
        }
    }

    std::string& text() { return m_out; }

private:
    void newline(size_t depth)
    {
        if (!m_pretty)
            return;
        m_out += '\n';
        m_out.append(depth * 2, ' ');
    }

    std::optional<std::string> writeString(const std::string& s)
    {
        if (firstInvalidUTF8(s))
            return std::string("Invalid string (not UTF-8) in JSON write");
        m_out += '"';
        for (char c : s) {
            switch (c) {
            case '"':
                m_out += "\\\"";
                break;
            case '\\':
                m_out += "\\\\";
                break;
            case '/':
                m_out += "\\/";
                break;
            case '\b':
                m_out += "\\b";
                break;
            case '\f':
                m_out += "\\f";
                break;
            case '\n':
                m_out += "\\n";
                break;
            case '\r':
                m_out += "\\r";
                break;
            case '\t':
                m_out += "\\t";
                break;
            default:
                if (static_cast<unsigned char>(c) < 0x20) {
                    char buf[8];
                    std::snprintf(buf, sizeof buf, "\\u%04x", static_cast<unsigned>(c));
                    m_out += buf;
                } else {
                    m_out += c;
                }
            }
        }
        m_out += '"';
        return std::nullopt;
    }

    bool m_pretty;
    std::string m_out;
};

} // namespace

Value JSONObjectWithData(std::string_view bytes, uint32_t options, Ref<NSError>* error)
{
    // The vectorised check first; the byte-wise one finds where the fault is.
    if (!JSONReader::isValidUTF8(bytes)) {
        if (auto bad = firstInvalidUTF8(bytes))
            return fail(error, "Unable to convert data to string around character " + std::to_string(*bad) + ".");
    }
    size_t start = 0;
    // A byte order mark is allowed before the text.
    if (bytes.substr(0, 3) == "\xEF\xBB\xBF")
        start = 3;
    while (start < bytes.size() && isJSONWhitespace(bytes[start]))
        ++start;
    if (start == bytes.size())
        return fail(error, "No value.");
    if (!(options & NSJSONReadingAllowFragments) && bytes[start] != '[' && bytes[start] != '{')
        return fail(error, "JSON text did not start with array or object and option to allow fragments not set.");

    bool mutableContainers = (options & NSJSONReadingMutableContainers) != 0;
    std::string_view text = bytes.substr(start);
    // The fast reader first. It refuses every text the event reader refuses (and some more, such
    // as numbers beyond 64-bit integers and doubles); the event reader then decides between a
    // value and the exact error. Both make the same Values of what they accept.
    if (auto document = JSONReader::parse(text))
        return document->root().toValue(
            mutableContainers ? JSONReader::Containers::Mutable : JSONReader::Containers::Immutable);

    Builder builder(mutableContainers);
    bool ok = false;
    try {
        ok = nlohmann::json::sax_parse(text.begin(), text.end(), &builder);
    } catch (const std::exception&) {
        ok = false;
    }
    if (ok && builder.isComplete())
        return builder.result();
    if (builder.isTooDeep())
        return fail(error, "Too many nested arrays or dictionaries.");
    size_t position = start + builder.errorPosition();
    if (builder.isComplete())
        return fail(error, "Garbage at end.");
    // The parser reports the position just past the offending token; name its start.
    return fail(error, "Invalid value around character " + std::to_string(position ? position - 1 : 0) + ".");
}

Value JSONObjectWithData(const Value::Bytes& bytes, uint32_t options, Ref<NSError>* error)
{
    return JSONObjectWithData(
        std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size()), options, error);
}

Value dataWithJSONObject(const Value& object, uint32_t options, Ref<NSError>* error)
{
    if (!object.isArray() && !object.isDictionary())
        return fail(error, std::string("Invalid top-level type in JSON write (") + object.kindName() + ")");
    Writer writer((options & NSJSONWritingPrettyPrinted) != 0);
    if (auto failure = writer.write(object, 0))
        return fail(error, *failure);
    auto& text = writer.text();
    return Value::data(text.data(), text.size());
}

bool isValidJSONObject(const Value& object)
{
    if (!object.isArray() && !object.isDictionary())
        return false;
    Writer writer(false);
    return !writer.write(object, 0).has_value();
}

} // namespace NSJSONSerialization
