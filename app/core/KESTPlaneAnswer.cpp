#include "app/core/KESTPlaneAnswer.h"

#include "foundation/JSONReader.h"

#include <functional>

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
// marks a free slot), sized to stay at most half full. Finding a repeated key this way takes no
// allocation per key, unlike a node-based map. `keyOf(n)` gives entry n's key.
template <typename KeyOf> class EntryIndex {
public:
    EntryIndex(size_t count, KeyOf keyOf)
        : m_keyOf(keyOf)
    {
        m_slots.assign(sizeFor(count), 0);
    }

    // The slot of the entry under `key`, or the free slot where a new one goes (then `found`
    // is false).
    uint32_t& slotFor(std::string_view key, bool& found)
    {
        size_t mask = m_slots.size() - 1;
        for (size_t at = std::hash<std::string_view> {}(key)&mask;; at = (at + 1) & mask) {
            uint32_t& slot = m_slots[at];
            if (slot == 0 || m_keyOf(slot - 1) == key) {
                found = slot != 0;
                return slot;
            }
        }
    }

    // Keeps the table at most half full once `count` entries are in, re-placing the `held`
    // entries already indexed when it has to grow.
    void reserve(size_t count, size_t held)
    {
        if (2 * count <= m_slots.size())
            return;
        m_slots.assign(sizeFor(count), 0);
        for (size_t index = 0; index < held; ++index) {
            bool found = false;
            slotFor(m_keyOf(index), found) = uint32_t(index + 1);
        }
    }

private:
    static size_t sizeFor(size_t count)
    {
        size_t size = 16;
        while (size < 2 * count)
            size *= 2;
        return size;
    }

    KeyOf m_keyOf;
    std::vector<uint32_t> m_slots;
};

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

    // The reader refuses what the general decoder refuses (and nesting deeper than it takes).
    auto document = JSONReader::parse(bytes.substr(start), allocatedAfter);
    if (!document)
        return nullptr;
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
        index.reserve(entries.size() + 1, entries.size());
        bool found = false;
        uint32_t& slot = index.slotFor(field.key, found);
        if (found) {
            entries[slot - 1].value = field.value;
        } else {
            entries.push_back({ field.key, field.value });
            slot = uint32_t(entries.size());
        }
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
