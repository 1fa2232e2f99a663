#include "foundation/NSPropertyListSerialization.h"

#include "foundation/NSDataFile.h"
#include "foundation/NSError.h"
#include "foundation/NSPropertyListSerializationBinary.h"
#include "foundation/NSPropertyListSerializationText.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <memory>
#include <plist/plist.h>

namespace {

// Seconds between 1970-01-01 and 2001-01-01, the epoch of property-list dates.
constexpr double kReferenceDateOffset = 978307200.0;
constexpr int kMaximumDepth = 512;

struct PlistDeleter {
    void operator()(void* node) const
    {
        if (node)
            plist_free(static_cast<plist_t>(node));
    }
};
using PlistPtr = std::unique_ptr<void, PlistDeleter>;

bool setError(Ref<NSError>* slot, int32_t code, const std::string& description)
{
    if (slot) {
        Value info = Value::dictionary({ { Value(NSDebugDescriptionErrorKey), Value(description) } });
        *slot = NSError::errorWithDomain(NSCocoaErrorDomain, code, info);
    }
    return false;
}

// libplist to Value. Integers are stored by libplist as 64-bit patterns without a sign: a
// negative integer comes back as its two's-complement bits, so they are read as signed.
Value fromPlist(plist_t node, bool mutableContainers, int depth, std::string& problem)
{
    if (depth > kMaximumDepth) {
        problem = "Property list nested too deeply";
        return {};
    }
    switch (plist_get_node_type(node)) {
    case PLIST_BOOLEAN: {
        uint8_t b = 0;
        plist_get_bool_val(node, &b);
        return Value(b != 0);
    }
    case PLIST_UINT: {
        uint64_t bits = 0;
        plist_get_uint_val(node, &bits);
        int64_t signedValue = static_cast<int64_t>(bits);
        if (signedValue >= std::numeric_limits<int32_t>::min() && signedValue <= std::numeric_limits<int32_t>::max())
            return Value(static_cast<int32_t>(signedValue));
        return Value(signedValue);
    }
    case PLIST_REAL: {
        double d = 0;
        plist_get_real_val(node, &d);
        return Value(d);
    }
    case PLIST_STRING: {
        // The pointer form keeps a NUL inside the string and, unlike the copying accessor,
        // does not assert on one.
        uint64_t length = 0;
        const char* s = plist_get_string_ptr(node, &length);
        std::string text(s ? s : "", s ? static_cast<size_t>(length) : 0);
        // No writer can write a NUL character back, nor can the user defaults keep one.
        if (text.find('\0') != std::string::npos) {
            problem = "NUL character in a string";
            return {};
        }
        return Value(std::move(text));
    }
    case PLIST_DATA: {
        uint64_t length = 0;
        const char* bytes = plist_get_data_ptr(node, &length);
        return Value::data(bytes, bytes ? static_cast<size_t>(length) : 0);
    }
    case PLIST_DATE: {
        int32_t sec = 0, usec = 0;
        plist_get_date_val(node, &sec, &usec);
        return Value::date(kReferenceDateOffset + sec + usec / 1e6);
    }
    case PLIST_UID: {
        uint64_t uid = 0;
        plist_get_uid_val(node, &uid);
        return Value::dictionary({ { Value("CF$UID"), Value(uid) } });
    }
    case PLIST_ARRAY: {
        Value array = Value::mutableArray();
        uint32_t count = plist_array_get_size(node);
        for (uint32_t i = 0; i < count; ++i) {
            Value element = fromPlist(plist_array_get_item(node, i), mutableContainers, depth + 1, problem);
            if (element.isNil())
                return {};
            array.addObject(element);
        }
        return mutableContainers ? array : array.copy();
    }
    case PLIST_DICT: {
        Value dictionary = Value::mutableDictionary();
        plist_dict_iter it = nullptr;
        plist_dict_new_iter(node, &it);
        if (!it)
            return mutableContainers ? dictionary : dictionary.copy();
        bool ok = true;
        for (;;) {
            char* key = nullptr;
            plist_t item = nullptr;
            plist_dict_next_item(node, it, &key, &item);
            if (!key)
                break;
            std::string name(key);
            std::free(key);
            Value element = item ? fromPlist(item, mutableContainers, depth + 1, problem) : Value();
            if (element.isNil()) {
                ok = false;
                break;
            }
            dictionary.setObjectForKey(element, Value(std::move(name)));
        }
        std::free(it);
        if (!ok)
            return {};
        return mutableContainers ? dictionary : dictionary.copy();
    }
    default:
        problem = "Unsupported property list element";
        return {};
    }
}

// Values share containers, so a small value can stand for an enormous tree; writing stops
// after this many elements.
constexpr uint64_t kMaximumElementsWritten = uint64_t(1) << 20;

struct WriteState {
    std::string problem;
    uint64_t written { 0 };
};

// Checks that a value can be written, without building anything: every element is a property
// list type, keys are strings, nothing nests or repeats beyond the limits.
bool validate(const Value& value, int depth, WriteState& state)
{
    if (depth > kMaximumDepth) {
        state.problem = "Property list nested too deeply";
        return false;
    }
    if (++state.written > kMaximumElementsWritten) {
        state.problem = "Property list too large";
        return false;
    }
    switch (value.kind()) {
    case Value::Kind::LongLong:
        // Both formats are written through a signed 64-bit integer: an unsigned value above its
        // range would read back negative.
        if (value.isUnsigned()) {
            state.problem = "Integers above 9223372036854775807 cannot be written";
            return false;
        }
        return true;
    case Value::Kind::Bool:
    case Value::Kind::Int:
    case Value::Kind::Float:
    case Value::Kind::Double:
    case Value::Kind::Data:
        return true;
    case Value::Kind::String:
        if (value.string().find('\0') != std::string::npos) {
            state.problem = "Strings with a NUL character cannot be written";
            return false;
        }
        return true;
    case Value::Kind::Date: {
        double sinceReference = value.dateValue() - kReferenceDateOffset;
        if (!std::isfinite(sinceReference) || std::floor(sinceReference) < std::numeric_limits<int32_t>::min()
            || std::floor(sinceReference) > std::numeric_limits<int32_t>::max()) {
            state.problem = "Date out of the range that can be written";
            return false;
        }
        return true;
    }
    case Value::Kind::Array:
        for (const Value& element : value.elements()) {
            if (!validate(element, depth + 1, state))
                return false;
        }
        return true;
    case Value::Kind::Dictionary:
        for (const auto& [key, element] : value.entries()) {
            if (!key.isString()) {
                state.problem = std::string("Dictionary keys must be strings, not ") + key.kindName();
                return false;
            }
            if (key.string().find('\0') != std::string::npos) {
                state.problem = "Strings with a NUL character cannot be written";
                return false;
            }
            if (!validate(element, depth + 1, state))
                return false;
        }
        return true;
    default:
        state.problem = std::string("Value of type ") + value.kindName() + " is not a property list";
        return false;
    }
}

PlistPtr toPlist(const Value& value, int depth, WriteState& state)
{
    std::string& problem = state.problem;
    if (depth > kMaximumDepth) {
        problem = "Property list nested too deeply";
        return nullptr;
    }
    if (++state.written > kMaximumElementsWritten) {
        problem = "Property list too large";
        return nullptr;
    }
    switch (value.kind()) {
    case Value::Kind::Bool:
        return PlistPtr(plist_new_bool(value.boolValue() ? 1 : 0));
    case Value::Kind::Int:
    case Value::Kind::LongLong:
        return PlistPtr(plist_new_uint(static_cast<uint64_t>(value.longLongValue())));
    case Value::Kind::Float:
    case Value::Kind::Double:
        return PlistPtr(plist_new_real(value.doubleValue()));
    case Value::Kind::String: {
        const std::string& s = value.string();
        if (s.find('\0') != std::string::npos) {
            problem = "Strings with a NUL character cannot be written";
            return nullptr;
        }
        return PlistPtr(plist_new_string(s.c_str()));
    }
    case Value::Kind::Data: {
        const Value::Bytes& bytes = value.bytes();
        return PlistPtr(plist_new_data(reinterpret_cast<const char*>(bytes.data()), bytes.size()));
    }
    case Value::Kind::Date: {
        double sinceReference = value.dateValue() - kReferenceDateOffset;
        double whole = std::floor(sinceReference);
        if (!std::isfinite(sinceReference) || whole < std::numeric_limits<int32_t>::min()
            || whole > std::numeric_limits<int32_t>::max()) {
            problem = "Date out of the range that can be written";
            return nullptr;
        }
        // XML holds whole seconds. libplist's writer would cut toward zero (a date half a second
        // before 2001 would move to 2001), so it gets the second the date falls in.
        return PlistPtr(plist_new_date(static_cast<int32_t>(whole), 0));
    }
    case Value::Kind::Array: {
        PlistPtr array(plist_new_array());
        for (const Value& element : value.elements()) {
            PlistPtr item = toPlist(element, depth + 1, state);
            if (!item)
                return nullptr;
            plist_array_append_item(array.get(), item.release());
        }
        return array;
    }
    case Value::Kind::Dictionary: {
        PlistPtr dictionary(plist_new_dict());
        for (const auto& [key, element] : value.entries()) {
            if (!key.isString()) {
                problem = std::string("Dictionary keys must be strings, not ") + key.kindName();
                return nullptr;
            }
            if (key.string().find('\0') != std::string::npos) {
                problem = "Strings with a NUL character cannot be written";
                return nullptr;
            }
            PlistPtr item = toPlist(element, depth + 1, state);
            if (!item)
                return nullptr;
            plist_dict_set_item(dictionary.get(), key.string().c_str(), item.release());
        }
        return dictionary;
    }
    default:
        problem = std::string("Value of type ") + value.kindName() + " is not a property list";
        return nullptr;
    }
}

// True when every <integer> element of an XML property list holds a number of the signed 64-bit
// range. The reader below keeps integers as 64 bits without a sign, so 18446744073709551615
// would otherwise come back as -1.
bool xmlIntegersFitSigned64(const std::string& text)
{
    static constexpr std::string_view open = "<integer>";
    for (size_t at = text.find(open); at != std::string::npos; at = text.find(open, at)) {
        at += open.size();
        size_t end = text.find('<', at);
        std::string_view literal(text.data() + at, (end == std::string::npos ? text.size() : end) - at);
        while (!literal.empty() && std::isspace(static_cast<unsigned char>(literal.front())))
            literal.remove_prefix(1);
        while (!literal.empty() && std::isspace(static_cast<unsigned char>(literal.back())))
            literal.remove_suffix(1);
        bool negative = !literal.empty() && literal.front() == '-';
        if (!literal.empty() && (literal.front() == '-' || literal.front() == '+'))
            literal.remove_prefix(1);
        int base = 10;
        if (literal.size() > 2 && literal[0] == '0' && (literal[1] == 'x' || literal[1] == 'X')) {
            literal.remove_prefix(2);
            base = 16;
        }
        unsigned __int128 magnitude = 0;
        for (char c : literal) {
            int digit = std::isdigit(static_cast<unsigned char>(c)) ? c - '0'
                : base == 16 && std::isxdigit(static_cast<unsigned char>(c))
                ? std::tolower(static_cast<unsigned char>(c)) - 'a' + 10
                : -1;
            if (digit < 0)
                break;
            magnitude = magnitude * base + unsigned(digit);
            if (magnitude > (unsigned __int128)(1) << 64)
                return false;
        }
        if (magnitude > (negative ? (unsigned __int128)(1) << 63 : (unsigned __int128)(INT64_MAX)))
            return false;
    }
    return true;
}

bool startsWith(const uint8_t* bytes, size_t length, std::string_view prefix)
{
    return length >= prefix.size() && std::memcmp(bytes, prefix.data(), prefix.size()) == 0;
}

// XML documents start (after blanks and a byte-order mark) with a declaration, a doctype or the
// plist element; everything else that is not binary is read as the old text format.
bool looksLikeXML(std::string_view text)
{
    size_t i = 0;
    while (i < text.size() && (text[i] == ' ' || text[i] == '\t' || text[i] == '\r' || text[i] == '\n'))
        ++i;
    std::string_view rest = text.substr(i);
    return rest.starts_with("<?xml") || rest.starts_with("<!DOCTYPE") || rest.starts_with("<plist");
}

// The deepest nesting of <array> and <dict> elements. libplist parses and frees recursively, so
// a document nested deeply enough would overflow the stack inside it; such documents are
// refused before libplist sees them.
int xmlNestingDepth(std::string_view text)
{
    int depth = 0, deepest = 0;
    for (size_t i = text.find('<'); i != std::string_view::npos; i = text.find('<', i + 1)) {
        std::string_view tag = text.substr(i);
        bool opens = tag.starts_with("<array") || tag.starts_with("<dict");
        bool closes = tag.starts_with("</array") || tag.starts_with("</dict");
        if (opens) {
            size_t end = tag.find('>');
            if (end != std::string_view::npos && end > 0 && tag[end - 1] == '/')
                continue; // <array/>
            deepest = std::max(deepest, ++depth);
        } else if (closes && depth > 0) {
            --depth;
        }
    }
    return deepest;
}

} // namespace

Value NSPropertyListSerialization::propertyListWithData(
    const Value& data, uint32_t options, NSPropertyListFormat* format, Ref<NSError>* error)
{
    const uint8_t* bytes;
    size_t length;
    if (data.isString()) {
        bytes = reinterpret_cast<const uint8_t*>(data.string().data());
        length = data.string().size();
    } else if (data.isData()) {
        bytes = data.bytes().data();
        length = data.bytes().size();
    } else {
        setError(error, NSPropertyListReadCorruptError, "Cannot parse a NULL or zero-length data");
        return {};
    }
    if (length == 0) {
        setError(error, NSPropertyListReadCorruptError, "Cannot parse a NULL or zero-length data");
        return {};
    }
    bool mutableContainers = options != NSPropertyListImmutable;
    std::string problem;

    if (startsWith(bytes, length, "bplist")) {
        Value result = PropertyListBinary::parse(bytes, length, mutableContainers, problem);
        if (result.isNil()) {
            setError(error, NSPropertyListReadCorruptError, problem);
            return {};
        }
        if (format)
            *format = NSPropertyListBinaryFormat_v1_0;
        return result;
    }

    // Text formats: UTF-16 (with a byte-order mark) or UTF-8.
    std::optional<std::string> text;
    if (startsWith(bytes, length, "\xFF\xFE") || startsWith(bytes, length, "\xFE\xFF"))
        text = NSString::decodeText(bytes, length, NSString::FileEncodingUTF16);
    else
        text = NSString::decodeText(bytes, length, NSString::FileEncodingUTF8);
    if (!text) {
        setError(error, NSPropertyListReadCorruptError, "Property list text is not valid Unicode");
        return {};
    }

    if (looksLikeXML(*text)) {
        // XML cannot hold a NUL character, and libplist asserts on a key holding one.
        if (text->find('\0') != std::string::npos) {
            setError(error, NSPropertyListReadCorruptError, "NUL character in XML property list");
            return {};
        }
        if (xmlNestingDepth(*text) > kMaximumDepth) {
            setError(error, NSPropertyListReadCorruptError, "Property list nested too deeply");
            return {};
        }
        if (text->size() > std::numeric_limits<uint32_t>::max()) {
            setError(error, NSPropertyListReadCorruptError, "XML property list too large");
            return {};
        }
        if (!xmlIntegersFitSigned64(*text)) {
            setError(error, NSPropertyListReadCorruptError, "Integer out of range in XML property list");
            return {};
        }
        plist_t root = nullptr;
        plist_from_xml(text->data(), static_cast<uint32_t>(text->size()), &root);
        PlistPtr owned(root);
        if (!root) {
            setError(error, NSPropertyListReadCorruptError, "Corrupt XML property list");
            return {};
        }
        Value result = fromPlist(root, mutableContainers, 0, problem);
        if (result.isNil()) {
            setError(error, NSPropertyListReadCorruptError, problem);
            return {};
        }
        if (format)
            *format = NSPropertyListXMLFormat_v1_0;
        return result;
    }

    Value result = PropertyListText::parse(*text, mutableContainers, problem);
    if (result.isNil()) {
        setError(error, NSPropertyListReadCorruptError, "Old-style property list: " + problem);
        return {};
    }
    if (format)
        *format = NSPropertyListOpenStepFormat;
    return result;
}

Value NSPropertyListSerialization::dataWithPropertyList(
    const Value& plist, NSPropertyListFormat format, uint32_t, Ref<NSError>* error)
{
    if (format != NSPropertyListXMLFormat_v1_0 && format != NSPropertyListBinaryFormat_v1_0) {
        setError(error, NSPropertyListWriteStreamError, "Property lists cannot be written in this format");
        return {};
    }
    WriteState state;
    if (!validate(plist, 0, state)) {
        setError(error, NSPropertyListWriteStreamError, state.problem);
        return {};
    }
    if (format == NSPropertyListBinaryFormat_v1_0) {
        std::vector<uint8_t> bytes = PropertyListBinary::write(plist);
        return Value::data(bytes.data(), bytes.size());
    }
    state = {};
    PlistPtr root = toPlist(plist, 0, state);
    if (!root) {
        setError(error, NSPropertyListWriteStreamError, state.problem);
        return {};
    }
    char* out = nullptr;
    uint32_t length = 0;
    plist_to_xml(root.get(), &out, &length);
    if (!out) {
        setError(error, NSPropertyListWriteStreamError, "The property list could not be written");
        return {};
    }
    Value data = Value::data(out, length);
    std::free(out);
    return data;
}

bool NSPropertyListSerialization::propertyListIsValidForFormat(const Value& plist, NSPropertyListFormat format)
{
    // The old text format is read only.
    if (format != NSPropertyListXMLFormat_v1_0 && format != NSPropertyListBinaryFormat_v1_0)
        return false;
    WriteState state;
    return validate(plist, 0, state);
}
