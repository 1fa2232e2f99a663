#include "foundation/NSPropertyListSerializationBinary.h"
#include "foundation/NSString.h"

#include <algorithm>
#include <cstring>
#include <map>
#include <vector>

namespace PropertyListBinary {

namespace {

// Seconds between 1970-01-01 and 2001-01-01, the epoch of property-list dates.
constexpr double kReferenceDateOffset = 978307200.0;
constexpr int kMaximumDepth = 512;
constexpr size_t kTrailerSize = 32;

class Reader {
public:
    Reader(const uint8_t* bytes, size_t length, bool mutableContainers)
        : m_bytes(bytes)
        , m_length(length)
        , m_mutable(mutableContainers)
    {
    }

    Value read(std::string& problem)
    {
        Value result = readDocument();
        if (result.isNil())
            problem = m_problem.empty() ? "Corrupt binary property list" : m_problem;
        return result;
    }

private:
    Value fail(const char* what)
    {
        if (m_problem.empty())
            m_problem = what;
        return {};
    }

    // Big-endian unsigned integer of `size` bytes at `offset`, which the caller has checked.
    uint64_t readUnsigned(size_t offset, size_t size) const
    {
        uint64_t value = 0;
        for (size_t i = 0; i < size; ++i)
            value = value << 8 | m_bytes[offset + i];
        return value;
    }

    bool inBounds(uint64_t offset, uint64_t size) const { return offset <= m_length && size <= m_length - offset; }

    Value readDocument()
    {
        if (m_length < 8 + kTrailerSize || std::memcmp(m_bytes, "bplist00", 8) != 0)
            return fail("Not a binary property list");
        size_t trailer = m_length - kTrailerSize;
        m_offsetSize = m_bytes[trailer + 6];
        m_referenceSize = m_bytes[trailer + 7];
        m_objectCount = readUnsigned(trailer + 8, 8);
        uint64_t top = readUnsigned(trailer + 16, 8);
        m_offsetTable = readUnsigned(trailer + 24, 8);
        if (m_offsetSize < 1 || m_offsetSize > 8 || m_referenceSize < 1 || m_referenceSize > 8)
            return fail("Bad integer sizes in the trailer");
        if (m_objectCount == 0 || top >= m_objectCount)
            return fail("Bad object count in the trailer");
        if (m_offsetTable < 8 || m_objectCount > trailer / m_offsetSize
            || !inBounds(m_offsetTable, m_objectCount * m_offsetSize)
            || m_offsetTable + m_objectCount * m_offsetSize > trailer)
            return fail("Offset table out of bounds");
        m_visiting.assign(m_objectCount, false);
        if (!m_mutable)
            m_made.assign(m_objectCount, Value());
        return readObject(top, 0);
    }

    // The length that follows a marker whose low nibble is 0xF: an integer object.
    bool readLength(size_t& cursor, uint8_t nibble, uint64_t& length)
    {
        if (nibble != 0x0F) {
            length = nibble;
            return true;
        }
        if (!inBounds(cursor, 1))
            return false;
        uint8_t marker = m_bytes[cursor++];
        if ((marker & 0xF0) != 0x10 || (marker & 0x0F) > 3)
            return false;
        size_t size = size_t(1) << (marker & 0x0F);
        if (!inBounds(cursor, size))
            return false;
        length = readUnsigned(cursor, size);
        cursor += size;
        return true;
    }

    Value readObject(uint64_t index, int depth)
    {
        if (index >= m_objectCount)
            return fail("Object reference out of range");
        if (!m_mutable && !m_made[index].isNil())
            return m_made[index];
        // Objects may be referred to many times, so a small document can describe an enormous
        // tree. Immutable results are shared per object; mutable ones are made afresh. Every
        // reference takes at least a byte, so a tree that is not such an expansion makes no
        // more objects than the document has bytes.
        if (++m_objectsMade > m_length)
            return fail("Property list refers to its objects too many times");
        Value result = readNewObject(index, depth);
        if (!m_mutable && !result.isNil())
            m_made[index] = result;
        return result;
    }

    Value readNewObject(uint64_t index, int depth)
    {
        if (depth > kMaximumDepth)
            return fail("Property list nested too deeply");
        if (m_visiting[index])
            return fail("Property list refers to itself");
        uint64_t offset = readUnsigned(m_offsetTable + index * m_offsetSize, m_offsetSize);
        if (offset < 8 || offset >= m_offsetTable)
            return fail("Object offset out of bounds");
        size_t cursor = static_cast<size_t>(offset);
        uint8_t marker = m_bytes[cursor++];
        uint8_t nibble = marker & 0x0F;

        switch (marker >> 4) {
        case 0x0:
            if (marker == 0x08)
                return Value(false);
            if (marker == 0x09)
                return Value(true);
            return fail("Unsupported simple object");
        case 0x1: {
            if (nibble > 4)
                return fail("Bad integer size");
            size_t size = size_t(1) << nibble;
            if (!inBounds(cursor, size))
                return fail("Integer out of bounds");
            // Eight-byte integers are signed. Sixteen-byte ones hold unsigned values above the
            // signed range (high half zero) or sign-extended negatives; anything else would not
            // fit and is refused rather than cut to its low half.
            uint64_t bits = size == 16 ? readUnsigned(cursor + 8, 8) : readUnsigned(cursor, size);
            if (size == 16) {
                uint64_t high = readUnsigned(cursor, 8);
                if (high == 0 && bits > uint64_t(INT64_MAX))
                    return Value(bits);
                if (!(high == 0 || (high == UINT64_MAX && bits > uint64_t(INT64_MAX))))
                    return fail("Integer out of range");
            }
            int64_t value = static_cast<int64_t>(bits);
            if (value >= INT32_MIN && value <= INT32_MAX)
                return Value(static_cast<int32_t>(value));
            return Value(value);
        }
        case 0x2: {
            if (nibble != 2 && nibble != 3)
                return fail("Bad real size");
            size_t size = size_t(1) << nibble;
            if (!inBounds(cursor, size))
                return fail("Real out of bounds");
            uint64_t bits = readUnsigned(cursor, size);
            if (size == 4) {
                uint32_t narrow = static_cast<uint32_t>(bits);
                float f;
                std::memcpy(&f, &narrow, sizeof(f));
                return Value(static_cast<double>(f));
            }
            double d;
            std::memcpy(&d, &bits, sizeof(d));
            return Value(d);
        }
        case 0x3: {
            if (marker != 0x33 || !inBounds(cursor, 8))
                return fail("Bad date");
            uint64_t bits = readUnsigned(cursor, 8);
            double d;
            std::memcpy(&d, &bits, sizeof(d));
            return Value::date(kReferenceDateOffset + d);
        }
        case 0x4:
        case 0x5:
        case 0x6: {
            uint64_t count;
            if (!readLength(cursor, nibble, count))
                return fail("Bad length");
            uint64_t unit = (marker >> 4) == 0x6 ? 2 : 1;
            if (count > m_length / unit || !inBounds(cursor, count * unit))
                return fail("Data or string out of bounds");
            const uint8_t* start = m_bytes + cursor;
            if ((marker >> 4) == 0x4)
                return Value::data(start, static_cast<size_t>(count));
            if ((marker >> 4) == 0x5) {
                for (uint64_t i = 0; i < count; ++i) {
                    if (start[i] >= 0x80)
                        return fail("Non-ASCII byte in an ASCII string");
                    // No writer can write a NUL character back, nor can the user defaults keep one.
                    if (start[i] == 0)
                        return fail("NUL character in a string");
                }
                return Value(std::string(reinterpret_cast<const char*>(start), static_cast<size_t>(count)));
            }
            for (uint64_t i = 0; i < count; ++i) {
                if (start[2 * i] == 0 && start[2 * i + 1] == 0)
                    return fail("NUL character in a string");
            }
            return utf16String(start, static_cast<size_t>(count));
        }
        case 0x8: {
            size_t size = size_t(nibble) + 1;
            if (!inBounds(cursor, size) || size > 8)
                return fail("Bad UID");
            return Value::dictionary({ { Value("CF$UID"), Value(readUnsigned(cursor, size)) } });
        }
        case 0xA:
        case 0xD: {
            uint64_t count;
            if (!readLength(cursor, nibble, count))
                return fail("Bad length");
            bool dictionary = (marker >> 4) == 0xD;
            uint64_t references = dictionary ? count * 2 : count;
            if (count > m_length || references > m_length / m_referenceSize
                || !inBounds(cursor, references * m_referenceSize))
                return fail("Container out of bounds");
            m_visiting[index] = true;
            Value result = dictionary ? Value::mutableDictionary() : Value::mutableArray();
            for (uint64_t i = 0; i < count; ++i) {
                if (dictionary) {
                    uint64_t keyRef = readUnsigned(cursor + i * m_referenceSize, m_referenceSize);
                    uint64_t valueRef = readUnsigned(cursor + (count + i) * m_referenceSize, m_referenceSize);
                    Value key = readObject(keyRef, depth + 1);
                    if (key.isNil())
                        return {};
                    if (!key.isString())
                        return fail("Dictionary key is not a string");
                    Value value = readObject(valueRef, depth + 1);
                    if (value.isNil())
                        return {};
                    result.setObjectForKey(value, key);
                } else {
                    Value element = readObject(readUnsigned(cursor + i * m_referenceSize, m_referenceSize), depth + 1);
                    if (element.isNil())
                        return {};
                    result.addObject(element);
                }
            }
            m_visiting[index] = false;
            return m_mutable ? result : result.copy();
        }
        default:
            return fail("Unknown object type");
        }
    }

    Value utf16String(const uint8_t* start, size_t units)
    {
        std::string out;
        out.reserve(units * 2);
        auto append = [&out](uint32_t c) { NSString::appendUTF8(out, c); };
        for (size_t i = 0; i < units; ++i) {
            uint32_t c = static_cast<uint32_t>(start[2 * i] << 8 | start[2 * i + 1]);
            if (c >= 0xD800 && c <= 0xDBFF && i + 1 < units) {
                uint32_t low = static_cast<uint32_t>(start[2 * i + 2] << 8 | start[2 * i + 3]);
                if (low >= 0xDC00 && low <= 0xDFFF) {
                    append(0x10000 + ((c - 0xD800) << 10) + (low - 0xDC00));
                    ++i;
                    continue;
                }
            }
            if (c >= 0xD800 && c <= 0xDFFF)
                c = 0xFFFD; // an unpaired surrogate
            append(c);
        }
        return Value(std::move(out));
    }

    const uint8_t* m_bytes;
    size_t m_length;
    bool m_mutable;
    size_t m_offsetSize { 0 };
    size_t m_referenceSize { 0 };
    uint64_t m_objectCount { 0 };
    uint64_t m_offsetTable { 0 };
    std::vector<bool> m_visiting;
    std::vector<Value> m_made;
    uint64_t m_objectsMade { 0 };
    std::string m_problem;
};

// Lays out every object first (so the width of references is known), then writes them.
class Writer {
public:
    std::vector<uint8_t> write(const Value& plist)
    {
        uint64_t top = add(plist);
        m_referenceSize = widthOf(m_objects.size() - 1);
        std::vector<uint8_t> out = { 'b', 'p', 'l', 'i', 's', 't', '0', '0' };
        std::vector<uint64_t> offsets;
        offsets.reserve(m_objects.size());
        for (const Object& object : m_objects) {
            offsets.push_back(out.size());
            writeObject(out, object);
        }
        uint64_t offsetTable = out.size();
        size_t offsetSize = widthOf(offsetTable);
        for (uint64_t offset : offsets)
            appendUnsigned(out, offset, offsetSize);
        // Trailer: six unused bytes, the two widths, object count, top object, table offset.
        out.insert(out.end(), 6, 0);
        out.push_back(static_cast<uint8_t>(offsetSize));
        out.push_back(static_cast<uint8_t>(m_referenceSize));
        appendUnsigned(out, m_objects.size(), 8);
        appendUnsigned(out, top, 8);
        appendUnsigned(out, offsetTable, 8);
        return out;
    }

private:
    struct Object {
        Value value;
        std::vector<uint64_t> references; // arrays: elements; dictionaries: keys, then values
    };

    static size_t widthOf(uint64_t largest)
    {
        if (largest <= 0xFF)
            return 1;
        if (largest <= 0xFFFF)
            return 2;
        if (largest <= 0xFFFFFFFF)
            return 4;
        return 8;
    }

    static void appendUnsigned(std::vector<uint8_t>& out, uint64_t value, size_t size)
    {
        for (size_t i = size; i-- > 0;)
            out.push_back(static_cast<uint8_t>(value >> (8 * i)));
    }

    static void appendDouble(std::vector<uint8_t>& out, uint8_t marker, double value)
    {
        uint64_t bits;
        std::memcpy(&bits, &value, sizeof(bits));
        out.push_back(marker);
        appendUnsigned(out, bits, 8);
    }

    // An integer object: unsigned in 1, 2 or 4 bytes, else signed in 8.
    static void appendInteger(std::vector<uint8_t>& out, int64_t value)
    {
        size_t size = value < 0 ? 8 : widthOf(static_cast<uint64_t>(value));
        out.push_back(static_cast<uint8_t>(0x10 | (size == 1 ? 0 : size == 2 ? 1 : size == 4 ? 2 : 3)));
        appendUnsigned(out, static_cast<uint64_t>(value), size);
    }

    // A marker with a count: in its low nibble, or 0xF and an integer object after it.
    static void appendMarker(std::vector<uint8_t>& out, uint8_t type, uint64_t count)
    {
        if (count < 15) {
            out.push_back(static_cast<uint8_t>(type << 4 | count));
            return;
        }
        out.push_back(static_cast<uint8_t>(type << 4 | 0x0F));
        appendInteger(out, static_cast<int64_t>(count));
    }

    uint64_t add(const Value& value)
    {
        if (value.isString()) {
            auto found = m_strings.find(value.string());
            if (found != m_strings.end())
                return found->second;
        }
        uint64_t index = m_objects.size();
        m_objects.push_back({ value, {} });
        if (value.isString())
            m_strings.emplace(value.string(), index);
        std::vector<uint64_t> references;
        if (value.isArray()) {
            for (const Value& element : value.elements())
                references.push_back(add(element));
        } else if (value.isDictionary()) {
            std::vector<uint64_t> values;
            for (const auto& [key, element] : value.entries()) {
                references.push_back(add(key));
                values.push_back(add(element));
            }
            references.insert(references.end(), values.begin(), values.end());
        }
        m_objects[index].references = std::move(references);
        return index;
    }

    void writeObject(std::vector<uint8_t>& out, const Object& object)
    {
        const Value& value = object.value;
        switch (value.kind()) {
        case Value::Kind::Bool:
            out.push_back(value.boolValue() ? 0x09 : 0x08);
            return;
        case Value::Kind::Int:
        case Value::Kind::LongLong:
            appendInteger(out, value.longLongValue());
            return;
        case Value::Kind::Float:
        case Value::Kind::Double:
            appendDouble(out, 0x23, value.doubleValue());
            return;
        case Value::Kind::Date:
            appendDouble(out, 0x33, value.dateValue() - kReferenceDateOffset);
            return;
        case Value::Kind::Data: {
            const Value::Bytes& bytes = value.bytes();
            appendMarker(out, 0x4, bytes.size());
            out.insert(out.end(), bytes.begin(), bytes.end());
            return;
        }
        case Value::Kind::String: {
            const std::string& text = value.string();
            bool ascii = std::all_of(text.begin(), text.end(), [](char c) { return static_cast<uint8_t>(c) < 0x80; });
            if (ascii) {
                appendMarker(out, 0x5, text.size());
                out.insert(out.end(), text.begin(), text.end());
                return;
            }
            std::u16string units = NSString::toUTF16(text);
            appendMarker(out, 0x6, units.size());
            for (char16_t unit : units)
                appendUnsigned(out, unit, 2);
            return;
        }
        case Value::Kind::Array:
            appendMarker(out, 0xA, object.references.size());
            break;
        case Value::Kind::Dictionary:
            appendMarker(out, 0xD, object.references.size() / 2);
            break;
        default:
            return; // refused by the caller's check
        }
        for (uint64_t reference : object.references)
            appendUnsigned(out, reference, m_referenceSize);
    }

    std::vector<Object> m_objects;
    std::map<std::string, uint64_t> m_strings;
    size_t m_referenceSize { 1 };
};

} // namespace

std::vector<uint8_t> write(const Value& plist)
{
    Writer writer;
    return writer.write(plist);
}

Value parse(const uint8_t* bytes, size_t length, bool mutableContainers, std::string& problem)
{
    Reader reader(bytes, length, mutableContainers);
    return reader.read(problem);
}

} // namespace PropertyListBinary
