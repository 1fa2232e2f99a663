#pragma once

#include "app/core/KESTPlane.h"
#include "foundation/Value.h"

#include <cstddef>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// The plane table of one answer, reduced to what the merge needs: one record per key in the
// answer's order, a repeated key keeping its first place and its last value.
struct KESTPlaneAnswer {
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

    std::vector<Record> records;

    // Reads the table of a decoded answer; nullptr when the answer is not a dictionary whose
    // "planes" is a dictionary.
    static std::shared_ptr<const KESTPlaneAnswer> fromJSONObject(const Value& answer);
    // Reads the table straight from the answer's bytes, giving what decoding them and
    // fromJSONObject would. Nullptr for anything else (bytes that are not a JSON object, no
    // plane table ...): the caller then decodes the bytes the general way, which reports it.
    static std::shared_ptr<const KESTPlaneAnswer> decode(std::string_view bytes);
};
