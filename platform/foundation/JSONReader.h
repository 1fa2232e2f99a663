#pragma once

#include "foundation/Value.h"

#include <cstddef>
#include <cstdint>
#include <iterator>
#include <memory>
#include <optional>
#include <span>
#include <string_view>

// The fast JSON reader: parses UTF-8 JSON text into a read-only document that its users walk
// without building a Value for what they skip. NSJSONSerialization turns whole documents into
// Values with it (toValue); readers of large answers, such as the live feed's plane table, pick
// out the parts they need. Both get their numbers from Element::number(), so a number reads
// the same whichever way it is taken.
//
// It refuses every text NSJSONSerialization's event reader refuses, and more: numbers beyond
// 64-bit integers and doubles, nesting deeper than kMaximumDepth. A refused text answers
// nullopt; it is for the caller to read it some other way or report it.
//
// Parsing takes buffers the process keeps for the next document, so a busy program does not
// allocate them per text; a document parsed while another holds them, or a text too large for
// them, gets buffers of its own. A document belongs to one thread at a time; any thread.
struct JSONReaderAccess;

class JSONReader {
    // The parser's own element or position, held as bytes so that its type stays out of this
    // header.
    struct Handle {
        alignas(8) unsigned char bytes[16];
    };

public:
    // Texts nested deeper than this are refused. NSJSONSerialization reads and writes to the
    // same depth.
    static constexpr size_t kMaximumDepth = 512;

    // Whether the containers toValue makes can be changed.
    enum class Containers : uint8_t { Immutable, Mutable };

    class Elements;
    class Fields;

    // One value of a document; valid while its document is held. Cheap to copy.
    class Element {
    public:
        enum class Kind : uint8_t { Null, Bool, Number, String, Array, Object };

        // A null element of no document. Its handle is left unset (it is never read while the
        // element is null), so an array of elements costs nothing to declare.
        Element() = default;

        Kind kind() const { return m_kind; }
        bool isString() const { return m_kind == Kind::String; }
        // Numbers and true/false, which decode as Bool numbers.
        bool isNumber() const { return m_kind == Kind::Number || m_kind == Kind::Bool; }

        // The text of a string; empty for any other element. It points into the document.
        std::string_view string() const;
        // The Value NSJSONSerialization makes of a number or of true/false: integers that fit
        // 32 bits as Int, other non-negative integers as unsigned and negative ones as signed
        // LongLong, the rest as Double; true/false as Bool. Nil for any other element.
        Value number() const;
        // number().doubleValue() without making the Value: 0 for any other element.
        double doubleValue() const;
        // The whole element as NSJSONSerialization reads it: objects as dictionaries in
        // document order (a repeated key keeps its first place and its last value), arrays,
        // strings, numbers as number() gives them, null as NSNull.
        Value toValue(Containers containers) const;

        // The elements of an array, in order; none for any other element.
        Elements elements() const;
        // The key/value pairs of an object in document order, repeated keys included; none for
        // any other element.
        Fields fields() const;
        // How many elements or pairs an array or object holds; 0 for any other element.
        size_t count() const;
        // Fills `out` with the first elements of an array in order, in one call rather than a
        // call per step, and answers how many it filled: fewer than out.size() when the array
        // is shorter, 0 for any other element.
        size_t firstElements(std::span<Element> out) const;

    private:
        friend struct ::JSONReaderAccess;
        Handle m_handle;
        Kind m_kind { Kind::Null };
    };

    // One key/value pair of an object; the key points into the document.
    struct Field {
        std::string_view key;
        Element value;
    };

    // The elements of an array: `for (JSONReader::Element e : element.elements())`.
    class Elements {
    public:
        class Iterator {
        public:
            using iterator_category = std::input_iterator_tag;
            using value_type = Element;
            using difference_type = std::ptrdiff_t;
            Element operator*() const;
            Iterator& operator++();
            bool operator==(const Iterator& other) const;

        private:
            friend struct ::JSONReaderAccess;
            Handle m_position {};
        };
        Iterator begin() const { return m_begin; }
        Iterator end() const { return m_end; }

    private:
        friend struct ::JSONReaderAccess;
        Iterator m_begin;
        Iterator m_end;
    };

    // The pairs of an object: `for (JSONReader::Field f : element.fields())`.
    class Fields {
    public:
        class Iterator {
        public:
            using iterator_category = std::input_iterator_tag;
            using value_type = Field;
            using difference_type = std::ptrdiff_t;
            Field operator*() const;
            Iterator& operator++();
            bool operator==(const Iterator& other) const;

        private:
            friend struct ::JSONReaderAccess;
            Handle m_position {};
        };
        Iterator begin() const { return m_begin; }
        Iterator end() const { return m_end; }

    private:
        friend struct ::JSONReaderAccess;
        Iterator m_begin;
        Iterator m_end;
    };

    // Parses `text`, which the document does not keep (it reads a copy); nullopt when the text
    // is refused. The top level may be any value.
    static std::optional<JSONReader> parse(std::string_view text);
    // The same, for a text followed by `allocatedAfter` bytes of memory that may be read (a
    // byte vector's or string's spare capacity; their values do not matter). With at least
    // kReadInPlacePadding of them the text is read where it lies instead of being copied first.
    static constexpr size_t kReadInPlacePadding = 64;
    static std::optional<JSONReader> parse(std::string_view text, size_t allocatedAfter);

    // Whether `bytes` is well-formed UTF-8, checked many bytes at a time.
    static bool isValidUTF8(std::string_view bytes);

    JSONReader(JSONReader&&) noexcept;
    JSONReader& operator=(JSONReader&&) noexcept;
    ~JSONReader();

    // The document's top-level value.
    Element root() const;

private:
    friend struct ::JSONReaderAccess;
    struct Document;
    explicit JSONReader(std::unique_ptr<Document> document);

    std::unique_ptr<Document> m_document;
};
