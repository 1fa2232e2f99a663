#include "app/core/KESTPlaneAnswer.h"

#include "foundation/JSONReader.h"
#include "foundation/NSError.h"
#include "foundation/NSJSONSerialization.h"

#include <cstdint>
#include <cstdio>
#include <functional>
#include <optional>
#include <unordered_map>
#include <utility>

namespace {

using JSONElement = JSONReader::Element;

bool isJSONWhitespace(char c)
{
    return c == ' ' || c == '\t' || c == '\n' || c == '\r';
}

// The text cut to the longest kept field, without splitting a UTF-8 sequence.
std::string_view boundedText(std::string_view text)
{
    size_t size = KESTPlaneAnswer::kMaximumTextFieldBytes;
    if (text.size() <= size)
        return text;
    while (size > 0 && (static_cast<unsigned char>(text[size]) & 0xC0) == 0x80)
        --size;
    return text.substr(0, size);
}

void boundTextFields(KESTPlane::Fields& f)
{
    for (std::string* text : { &f.type, &f.route, &f.reg, &f.callsign, &f.squawk, &f.fltno }) {
        if (text->size() > KESTPlaneAnswer::kMaximumTextFieldBytes)
            text->resize(boundedText(*text).size());
    }
}

// Reads the fields of a plane info array into `f`, under the rules KESTPlane::fieldsFromInfo
// applies to a decoded one: at least 13 elements, texts at 0-3, 10 and 12, numbers at 4-9 and
// 11; false for anything else. Numbers convert as the decoded answer's do
// (JSONElement::number() is the decoder's conversion). The texts are assigned in place, so
// reading plane after plane into the same fields allocates nothing.
bool readElementFields(const JSONElement& element, KESTPlane::Fields& f)
{
    JSONElement e[13];
    bool valid = element.firstElements(e) == 13;
    for (size_t index : { 0, 1, 2, 3, 10, 12 })
        valid = valid && e[index].isString();
    for (size_t index : { 4, 5, 6, 7, 8, 9, 11 })
        valid = valid && e[index].isNumber();
    if (!valid)
        return false;
    f.type.assign(boundedText(e[0].string()));
    f.route.assign(boundedText(e[1].string()));
    f.reg.assign(boundedText(e[2].string()));
    f.callsign.assign(boundedText(e[3].string()));
    f.lat = e[4].doubleValue();
    f.lon = e[5].doubleValue();
    f.altitude = e[6].doubleValue();
    f.heading = e[7].doubleValue();
    f.speed = e[8].doubleValue();
    f.mtime = e[9].doubleValue();
    f.squawk.assign(boundedText(e[10].string()));
    f.dataType = e[11].number().intValue();
    f.fltno.assign(boundedText(e[12].string()));
    return true;
}

// The entries read so far, by key: an open-addressing table of entry numbers (plus one, so 0
// marks a free slot), each with bits of its key's hash that spare most key comparisons, kept at
// most three quarters full. Finding a repeated key this way takes no allocation per key, unlike
// a node-based map. `keyOf(n)` gives entry n's key.
template <typename KeyOf> class EntryIndex {
public:
    EntryIndex(size_t count, KeyOf keyOf)
        : m_keyOf(keyOf)
    {
        m_slots.resize(sizeFor(count));
    }

    // The entry already indexed under `key`; otherwise indexes entry `next` (all entries
    // before it are indexed) under it and answers nullopt.
    std::optional<size_t> findOrAdd(std::string_view key, size_t next)
    {
        if (sizeFor(next + 1) > m_slots.size()) {
            std::vector<Slot> slots(sizeFor(next + 1));
            std::swap(slots, m_slots);
            for (size_t index = 0; index < next; ++index)
                place(m_keyOf(index), index);
        }
        return place(key, next);
    }

private:
    struct Slot {
        uint32_t entry { 0 };
        uint32_t tag { 0 };
    };

    std::optional<size_t> place(std::string_view key, size_t next)
    {
        uint64_t hash = std::hash<std::string_view> {}(key);
        uint32_t tag = uint32_t(hash >> 32);
        size_t mask = m_slots.size() - 1;
        for (size_t at = hash & mask;; at = (at + 1) & mask) {
            Slot& slot = m_slots[at];
            if (slot.entry == 0) {
                slot = { uint32_t(next + 1), tag };
                return std::nullopt;
            }
            if (slot.tag == tag && m_keyOf(slot.entry - 1) == key)
                return slot.entry - 1;
        }
    }

    static size_t sizeFor(size_t count)
    {
        size_t size = 16;
        while (4 * count > 3 * size)
            size *= 2;
        return size;
    }

    KeyOf m_keyOf;
    std::vector<Slot> m_slots;
};

// Finds where the values of a JSON text begin and end without reading them: enough to cut an
// answer into its plane records when the reader refuses the whole of it. Nothing here checks a
// value's contents; the reader does that record by record.
class JSONSpans {
public:
    explicit JSONSpans(std::string_view text)
        : m_text(text)
    {
    }

    bool consume(char c)
    {
        skipSpace();
        if (m_at < m_text.size() && m_text[m_at] == c) {
            ++m_at;
            return true;
        }
        return false;
    }

    bool atEnd()
    {
        skipSpace();
        return m_at == m_text.size();
    }

    // A string with its quotes.
    std::optional<std::string_view> string()
    {
        skipSpace();
        size_t start = m_at;
        if (start == m_text.size() || m_text[start] != '"' || !skipString())
            return std::nullopt;
        return m_text.substr(start, m_at - start);
    }

    // A whole value: a string, an object or array with everything inside it, or a scalar.
    std::optional<std::string_view> value()
    {
        skipSpace();
        size_t start = m_at;
        if (start == m_text.size())
            return std::nullopt;
        char first = m_text[start];
        if (first == '"')
            return string();
        if (first == '{' || first == '[') {
            size_t depth = 0;
            while (m_at < m_text.size()) {
                char c = m_text[m_at];
                if (c == '"') {
                    if (!skipString())
                        return std::nullopt;
                    continue;
                }
                ++m_at;
                if (c == '{' || c == '[') {
                    ++depth;
                } else if (c == '}' || c == ']') {
                    if (--depth == 0)
                        return m_text.substr(start, m_at - start);
                }
            }
            return std::nullopt;
        }
        while (m_at < m_text.size() && !isJSONWhitespace(m_text[m_at]) && m_text[m_at] != ',' && m_text[m_at] != '}'
            && m_text[m_at] != ']')
            ++m_at;
        if (m_at == start)
            return std::nullopt;
        return m_text.substr(start, m_at - start);
    }

private:
    void skipSpace()
    {
        while (m_at < m_text.size() && isJSONWhitespace(m_text[m_at]))
            ++m_at;
    }

    // Past the string that starts at m_at; false when it does not end.
    bool skipString()
    {
        for (size_t at = m_at + 1; at < m_text.size(); ++at) {
            if (m_text[at] == '\\') {
                ++at;
            } else if (m_text[at] == '"') {
                m_at = at + 1;
                return true;
            }
        }
        return false;
    }

    std::string_view m_text;
    size_t m_at { 0 };
};

// A key's bytes for a log line: printable ASCII as it is, everything else as \xNN.
std::string printableKey(std::string_view key)
{
    std::string text;
    for (unsigned char c : key) {
        if (c >= 0x20 && c < 0x7F && c != '\\') {
            text += char(c);
        } else {
            char escaped[5];
            std::snprintf(escaped, sizeof escaped, "\\x%02X", c);
            text += escaped;
        }
    }
    return text;
}

// One value as the general decoder reads it; nullopt when it refuses it.
std::optional<Value> decoded(std::string_view json)
{
    Ref<NSError> error;
    Value value
        = NSJSONSerialization::JSONObjectWithData(json, NSJSONSerialization::NSJSONReadingAllowFragments, &error);
    if (error || value.isNil())
        return std::nullopt;
    return value;
}

// The records of an answer no decoder takes as a whole, read one by one: a record the general
// decoder refuses reads as malformed, and one whose key it refuses is left out and its key
// listed. Nullopt when the refusal lies outside the plane records (broken structure, a bad value
// elsewhere in the answer, no plane table): then the whole answer is refused as before.
struct ReadableRecords {
    std::vector<KESTPlaneAnswer::Record> records;
    std::vector<std::string> unreadableKeys;
};

std::optional<ReadableRecords> readableRecordsOf(std::string_view text)
{
    JSONSpans answer(text);
    if (!answer.consume('{'))
        return std::nullopt;
    // A repeated key's last value counts.
    std::optional<std::string_view> table;
    if (!answer.consume('}')) {
        do {
            auto key = answer.string();
            if (!key || !answer.consume(':'))
                return std::nullopt;
            auto value = answer.value();
            auto name = key ? decoded(*key) : std::nullopt;
            if (!value || !name)
                return std::nullopt;
            if (name->isString() && name->string() == "planes")
                table = *value;
            else if (!decoded(*value))
                return std::nullopt;
        } while (answer.consume(','));
        if (!answer.consume('}'))
            return std::nullopt;
    }
    if (!answer.atEnd() || !table || table->front() != '{')
        return std::nullopt;

    ReadableRecords readable;
    // A repeated key keeps its first place and takes its last value.
    std::unordered_map<std::string, size_t> places;
    JSONSpans records(*table);
    records.consume('{');
    if (!records.consume('}')) {
        do {
            auto key = records.string();
            if (!key || !records.consume(':'))
                return std::nullopt;
            auto value = records.value();
            if (!value)
                return std::nullopt;
            auto name = decoded(*key);
            if (!name) {
                readable.unreadableKeys.push_back(printableKey(key->substr(1, key->size() - 2)));
                continue;
            }
            KESTPlaneAnswer::Record record { name->string(), std::nullopt };
            if (auto info = decoded(*value)) {
                record.fields = KESTPlane::fieldsFromInfo(*info);
                if (record.fields)
                    boundTextFields(*record.fields);
            }
            auto [place, added] = places.emplace(record.adshex, readable.records.size());
            if (added)
                readable.records.push_back(std::move(record));
            else
                readable.records[place->second].fields = std::move(record.fields);
        } while (records.consume(','));
        if (!records.consume('}') || !records.atEnd())
            return std::nullopt;
    }
    return readable;
}

} // namespace

std::shared_ptr<const KESTPlaneAnswer> KESTPlaneAnswer::fromJSONObject(const Value& answer)
{
    Value planes = answer.isDictionary() ? answer["planes"] : Value();
    if (!planes.isDictionary())
        return nullptr;
    auto result = std::make_shared<KESTPlaneAnswer>();
    result->m_records.reserve(planes.count());
    for (const auto& [key, info] : planes.entries()) {
        Record record;
        record.adshex = key.stringValue();
        // Only a text key names a plane.
        if (key.isString()) {
            record.fields = KESTPlane::fieldsFromInfo(info);
            if (record.fields)
                boundTextFields(*record.fields);
        }
        result->m_records.push_back(std::move(record));
    }
    return result;
}

std::shared_ptr<const KESTPlaneAnswer> KESTPlaneAnswer::decode(std::string_view bytes, size_t allocatedAfter)
{
    // Only an object is read here; the general decoder reports everything else, and takes a
    // byte order mark.
    size_t start = 0;
    while (start < bytes.size() && isJSONWhitespace(bytes[start]))
        ++start;
    if (start == bytes.size() || bytes[start] != '{')
        return nullptr;

    // The reader refuses what the general decoder refuses (and nesting deeper than it takes)
    // and some texts it takes (integers beyond 64 bits): those are read the general way. An
    // answer both refuse keeps the records they can read, if the refusal lies in the others.
    auto document = JSONReader::parse(bytes.substr(start), allocatedAfter);
    if (!document) {
        if (auto whole = decoded(bytes.substr(start)))
            return fromJSONObject(*whole);
        auto readable = readableRecordsOf(bytes.substr(start));
        if (!readable)
            return nullptr;
        auto result = std::make_shared<KESTPlaneAnswer>();
        result->m_records = std::move(readable->records);
        result->m_unreadableKeys = std::move(readable->unreadableKeys);
        return result;
    }
    JSONElement root = document->root();
    // A repeated key's last value counts.
    std::optional<JSONElement> table;
    for (const JSONReader::Field& field : root.fields()) {
        if (field.key == "planes")
            table = field.value;
    }
    if (!table || table->kind() != JSONElement::Kind::Object)
        return nullptr;

    auto result = std::make_shared<KESTPlaneAnswer>();
    auto& entries = result->m_entries;
    size_t count = table->count();
    entries.reserve(count);
    EntryIndex index(count, [&entries](size_t n) { return entries[n].key; });
    for (const JSONReader::Field& field : table->fields()) {
        if (auto earlier = index.findOrAdd(field.key, entries.size()))
            entries[*earlier].value = field.value;
        else
            entries.push_back({ field.key, field.value });
    }
    // The keys and values point into the document, which the answer now keeps.
    result->m_document = std::move(document);
    return result;
}

size_t KESTPlaneAnswer::size() const
{
    return m_document ? m_entries.size() : m_records.size();
}

std::string_view KESTPlaneAnswer::key(size_t index) const
{
    return m_document ? m_entries[index].key : std::string_view(m_records[index].adshex);
}

bool KESTPlaneAnswer::readFields(size_t index, KESTPlane::Fields& fields) const
{
    if (m_document)
        return readElementFields(m_entries[index].value, fields);
    const auto& record = m_records[index];
    if (!record.fields)
        return false;
    fields = *record.fields;
    return true;
}

std::vector<KESTPlaneAnswer::Record> KESTPlaneAnswer::records() const
{
    std::vector<Record> records;
    records.reserve(size());
    for (size_t index = 0; index < size(); ++index) {
        Record record { std::string(key(index)), KESTPlane::Fields() };
        if (!readFields(index, *record.fields))
            record.fields.reset();
        records.push_back(std::move(record));
    }
    return records;
}
