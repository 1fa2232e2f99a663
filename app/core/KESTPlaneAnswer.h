#pragma once

#include "app/core/KESTPlane.h"
#include "foundation/JSONReader.h"
#include "foundation/Value.h"

#include <cstddef>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// The plane table of one answer, as the merge reads it: one entry per key in the answer's order,
// a repeated key keeping its first place and its last value.
//
// An answer read straight from its bytes keeps the parsed document and only indexes its keys: the
// merge reads each plane's fields from the document into the plane, so no intermediate copy of
// the fields is written and read again.
class KESTPlaneAnswer {
public:
    struct Record {
        // The key as the skipped-record log line names it.
        std::string adshex;
        // Nullopt for a record that is not a valid plane info array.
        std::optional<KESTPlane::Fields> fields;
        bool operator==(const Record&) const = default;
    };
    // The longest text field kept, in bytes. Real values (callsign, registration, route ...)
    // are a few dozen at most; a longer one is cut at a character boundary so a hostile record
    // cannot make every label and callout lay out hundreds of thousands of characters.
    static constexpr size_t kMaximumTextFieldBytes = 64;

    // Reads the table of a decoded answer; nullptr when the answer is not a dictionary whose
    // "planes" is a dictionary.
    static std::shared_ptr<const KESTPlaneAnswer> fromJSONObject(const Value& answer);
    // Reads the table straight from the answer's bytes, giving what decoding them and
    // fromJSONObject would. Nullptr for anything else (bytes that are not a JSON object, no
    // plane table ...): the caller then decodes the bytes the general way, which reports it.
    // `allocatedAfter` is how many bytes of memory follow them (JSONReader::parse).
    //
    // One bad record does not cost the others: when the answer is well-formed apart from some
    // plane records that no decoder takes (a number out of range, a text that is not UTF-8),
    // those records read as malformed (readFields answers false) and the rest are kept. A record
    // whose key no decoder takes is left out and listed in unreadableKeys().
    static std::shared_ptr<const KESTPlaneAnswer> decode(std::string_view bytes, size_t allocatedAfter = 0);

    // How many entries the table has.
    size_t size() const;
    // The key of an entry.
    std::string_view key(size_t index) const;
    // Reads an entry's fields into `fields`, reusing its strings, and answers true; false (and
    // `fields` unspecified) for an entry that is not a valid plane info array.
    bool readFields(size_t index, KESTPlane::Fields& fields) const;
    // Every entry as a record, in order.
    std::vector<Record> records() const;
    // The keys of the records left out because the key is not UTF-8, its bytes outside
    // printable ASCII written as \xNN.
    const std::vector<std::string>& unreadableKeys() const { return m_unreadableKeys; }

private:
    // Read from a decoded answer.
    std::vector<Record> m_records;
    // Read from the bytes: the document, and each key with its (last) value in it.
    struct Entry {
        std::string_view key;
        JSONReader::Element value;
    };
    std::optional<JSONReader> m_document;
    std::vector<Entry> m_entries;
    std::vector<std::string> m_unreadableKeys;
};
