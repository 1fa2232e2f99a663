#include "foundation/JSONReader.h"

#include "foundation/JSONReaderInternal.h"

#include <simdjson.h>

#include <atomic>
#include <cstring>
#include <type_traits>
#include <utility>
#include <vector>

namespace {

// The largest text the shared parser takes.
constexpr size_t kSharedCapacity = 8 * 1024 * 1024;

// One parser keeps its buffers between texts (allocating them anew for every answer costs more
// than the parse). The flag rather than a mutex marks it taken, so that a thread that holds a
// document and parses another simply gets a parser of its own.
std::atomic<bool> s_sharedParserTaken { false };

simdjson::dom::parser& sharedParser()
{
    static simdjson::dom::parser s_parser(kSharedCapacity);
    return s_parser;
}

JSONReader::Element::Kind kindOf(simdjson::dom::element_type type)
{
    using Type = simdjson::dom::element_type;
    using Kind = JSONReader::Element::Kind;
    switch (type) {
    case Type::ARRAY:
        return Kind::Array;
    case Type::OBJECT:
        return Kind::Object;
    case Type::INT64:
    case Type::UINT64:
    case Type::DOUBLE:
        return Kind::Number;
    case Type::STRING:
        return Kind::String;
    case Type::BOOL:
        return Kind::Bool;
    case Type::NULL_VALUE:
        break;
    }
    return Kind::Null;
}

} // namespace

struct JSONReader::Document {
    ~Document()
    {
        if (holdsSharedParser)
            s_sharedParserTaken.store(false, std::memory_order_release);
    }

    simdjson::dom::parser* parser { nullptr };
    std::unique_ptr<simdjson::dom::parser> ownParser;
    bool holdsSharedParser { false };
    simdjson::dom::element root;
};

// Moves the parser's elements and iterators in and out of the header's opaque handles.
struct JSONReaderAccess {
    using Element = JSONReader::Element;
    using Handle = JSONReader::Handle;
    using DOMElement = simdjson::dom::element;

    template <typename T> static Handle pack(const T& value)
    {
        static_assert(sizeof(T) <= sizeof(Handle) && alignof(T) <= alignof(Handle));
        static_assert(std::is_trivially_copyable_v<T>);
        Handle handle;
        std::memcpy(handle.bytes, &value, sizeof(T));
        return handle;
    }

    template <typename T> static T unpack(const Handle& handle)
    {
        T value;
        std::memcpy(static_cast<void*>(&value), handle.bytes, sizeof(T));
        return value;
    }

    static Element make(DOMElement element)
    {
        Element result;
        result.m_handle = pack(element);
        result.m_kind = kindOf(element.type());
        return result;
    }

    static DOMElement element(const Element& element) { return unpack<DOMElement>(element.m_handle); }

    static Value number(DOMElement element)
    {
        using Type = simdjson::dom::element_type;
        switch (element.type()) {
        case Type::BOOL:
            return Value(element.get_bool().value_unsafe());
        case Type::INT64:
            return jsonIntegerValue(element.get_int64().value_unsafe());
        case Type::UINT64:
            return jsonUnsignedValue(element.get_uint64().value_unsafe());
        case Type::DOUBLE:
            return Value(element.get_double().value_unsafe());
        default:
            return Value();
        }
    }

    static Value convert(DOMElement element, JSONReader::Containers containers)
    {
        bool isMutable = containers == JSONReader::Containers::Mutable;
        using Type = simdjson::dom::element_type;
        switch (element.type()) {
        case Type::NULL_VALUE:
            return Value::null();
        case Type::STRING:
            return Value(element.get_string().value_unsafe());
        case Type::ARRAY: {
            simdjson::dom::array array = element.get_array().value_unsafe();
            std::vector<Value> elements;
            elements.reserve(array.size());
            for (DOMElement child : array)
                elements.push_back(convert(child, containers));
            return isMutable ? Value::mutableArray(std::move(elements)) : Value::array(std::move(elements));
        }
        case Type::OBJECT: {
            simdjson::dom::object object = element.get_object().value_unsafe();
            std::vector<std::pair<Value, Value>> entries;
            entries.reserve(object.size());
            for (simdjson::dom::key_value_pair field : object)
                entries.emplace_back(Value(field.key), convert(field.value, containers));
            return isMutable ? Value::mutableDictionary(std::move(entries)) : Value::dictionary(std::move(entries));
        }
        default:
            return number(element);
        }
    }

    static JSONReader::Elements elements(const Element& element)
    {
        JSONReader::Elements range;
        if (element.kind() != Element::Kind::Array)
            return range;
        simdjson::dom::array array = JSONReaderAccess::element(element).get_array().value_unsafe();
        range.m_begin.m_position = pack(array.begin());
        range.m_end.m_position = pack(array.end());
        return range;
    }

    static JSONReader::Fields fields(const Element& element)
    {
        JSONReader::Fields range;
        if (element.kind() != Element::Kind::Object)
            return range;
        simdjson::dom::object object = JSONReaderAccess::element(element).get_object().value_unsafe();
        range.m_begin.m_position = pack(object.begin());
        range.m_end.m_position = pack(object.end());
        return range;
    }

    template <typename Position, typename Iterator> static void advance(Iterator& iterator)
    {
        auto position = unpack<Position>(iterator.m_position);
        ++position;
        iterator.m_position = pack(position);
    }

    template <typename Position, typename Iterator> static bool equal(const Iterator& a, const Iterator& b)
    {
        return !(unpack<Position>(a.m_position) != unpack<Position>(b.m_position));
    }

    static Element elementAt(const JSONReader::Elements::Iterator& iterator)
    {
        return make(*unpack<simdjson::dom::array::iterator>(iterator.m_position));
    }

    static JSONReader::Field fieldAt(const JSONReader::Fields::Iterator& iterator)
    {
        simdjson::dom::key_value_pair pair = *unpack<simdjson::dom::object::iterator>(iterator.m_position);
        return { pair.key, make(pair.value) };
    }

    static const JSONReader::Document& document(const JSONReader& reader) { return *reader.m_document; }
};

// MARK: Elements

std::string_view JSONReader::Element::string() const
{
    if (m_kind != Kind::String)
        return {};
    return JSONReaderAccess::element(*this).get_string().value_unsafe();
}

Value JSONReader::Element::number() const
{
    if (!isNumber())
        return Value();
    return JSONReaderAccess::number(JSONReaderAccess::element(*this));
}

double JSONReader::Element::doubleValue() const
{
    using Type = simdjson::dom::element_type;
    switch (m_kind) {
    case Kind::Bool:
        return JSONReaderAccess::element(*this).get_bool().value_unsafe() ? 1 : 0;
    case Kind::Number: {
        auto element = JSONReaderAccess::element(*this);
        switch (element.type()) {
        case Type::INT64:
            return static_cast<double>(element.get_int64().value_unsafe());
        case Type::UINT64:
            return static_cast<double>(element.get_uint64().value_unsafe());
        case Type::DOUBLE:
            return element.get_double().value_unsafe();
        default:
            return 0;
        }
    }
    default:
        return 0;
    }
}

Value JSONReader::Element::toValue(Containers containers) const
{
    // A default element belongs to no document; it reads as the null it stands for.
    if (m_kind == Kind::Null)
        return Value::null();
    return JSONReaderAccess::convert(JSONReaderAccess::element(*this), containers);
}

JSONReader::Elements JSONReader::Element::elements() const
{
    return JSONReaderAccess::elements(*this);
}

JSONReader::Fields JSONReader::Element::fields() const
{
    return JSONReaderAccess::fields(*this);
}

size_t JSONReader::Element::count() const
{
    switch (m_kind) {
    case Kind::Array:
        return JSONReaderAccess::element(*this).get_array().value_unsafe().size();
    case Kind::Object:
        return JSONReaderAccess::element(*this).get_object().value_unsafe().size();
    default:
        return 0;
    }
}

size_t JSONReader::Element::firstElements(std::span<Element> out) const
{
    if (m_kind != Kind::Array)
        return 0;
    simdjson::dom::array array = JSONReaderAccess::element(*this).get_array().value_unsafe();
    size_t count = 0;
    for (simdjson::dom::element child : array) {
        if (count == out.size())
            break;
        out[count++] = JSONReaderAccess::make(child);
    }
    return count;
}

JSONReader::Element JSONReader::Elements::Iterator::operator*() const
{
    return JSONReaderAccess::elementAt(*this);
}

JSONReader::Elements::Iterator& JSONReader::Elements::Iterator::operator++()
{
    JSONReaderAccess::advance<simdjson::dom::array::iterator>(*this);
    return *this;
}

bool JSONReader::Elements::Iterator::operator==(const Iterator& other) const
{
    return JSONReaderAccess::equal<simdjson::dom::array::iterator>(*this, other);
}

JSONReader::Field JSONReader::Fields::Iterator::operator*() const
{
    return JSONReaderAccess::fieldAt(*this);
}

JSONReader::Fields::Iterator& JSONReader::Fields::Iterator::operator++()
{
    JSONReaderAccess::advance<simdjson::dom::object::iterator>(*this);
    return *this;
}

bool JSONReader::Fields::Iterator::operator==(const Iterator& other) const
{
    return JSONReaderAccess::equal<simdjson::dom::object::iterator>(*this, other);
}

// MARK: Documents

JSONReader::JSONReader(std::unique_ptr<Document> document)
    : m_document(std::move(document))
{
}

JSONReader::JSONReader(JSONReader&&) noexcept = default;
JSONReader& JSONReader::operator=(JSONReader&&) noexcept = default;
JSONReader::~JSONReader() = default;

std::optional<JSONReader> JSONReader::parse(std::string_view text)
{
    return parse(text, 0);
}

std::optional<JSONReader> JSONReader::parse(std::string_view text, size_t allocatedAfter)
{
    static_assert(kReadInPlacePadding >= simdjson::SIMDJSON_PADDING);
    auto document = std::make_unique<Document>();
    // A text too large for the shared parser, or one that comes while another document holds
    // it, gets a parser of its own.
    if (text.size() <= kSharedCapacity && !s_sharedParserTaken.exchange(true, std::memory_order_acquire)) {
        document->holdsSharedParser = true;
        document->parser = &sharedParser();
    } else {
        document->ownParser = std::make_unique<simdjson::dom::parser>();
        document->parser = document->ownParser.get();
    }
    // Deeper nesting fails the parse. The depth is set once per parser; later texts grow its
    // buffers keeping it.
    simdjson::dom::parser& parser = *document->parser;
    if (parser.max_depth() != kMaximumDepth && parser.allocate(text.size(), kMaximumDepth))
        return std::nullopt;
    // The parser reads a little past the end of the text: it copies a text without that much
    // memory after it into a padded buffer of its own.
    bool copy = allocatedAfter < kReadInPlacePadding;
    if (parser.parse(text.data(), text.size(), copy).get(document->root))
        return std::nullopt;
    return JSONReader(std::move(document));
}

bool JSONReader::isValidUTF8(std::string_view bytes)
{
    return simdjson::validate_utf8(bytes.data(), bytes.size());
}

JSONReader::Element JSONReader::root() const
{
    return JSONReaderAccess::make(JSONReaderAccess::document(*this).root);
}
