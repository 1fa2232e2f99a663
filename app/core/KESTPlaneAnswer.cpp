#include "app/core/KESTPlaneAnswer.h"

#include "foundation/JSONReader.h"

#include <unordered_map>

namespace {

using JSONElement = JSONReader::Element;

bool isJSONWhitespace(char c)
{
    return c == ' ' || c == '\t' || c == '\n' || c == '\r';
}

// The text cut to the longest kept field, without splitting a UTF-8 sequence.
std::string boundedText(std::string_view text)
{
    size_t size = KESTPlaneAnswer::kMaximumTextFieldBytes;
    if (text.size() <= size)
        return std::string(text);
    while (size > 0 && (static_cast<unsigned char>(text[size]) & 0xC0) == 0x80)
        --size;
    return std::string(text.substr(0, size));
}

void boundTextFields(KESTPlane::Fields& f)
{
    for (std::string* text : { &f.type, &f.route, &f.reg, &f.callsign, &f.squawk, &f.fltno }) {
        if (text->size() > KESTPlaneAnswer::kMaximumTextFieldBytes)
            *text = boundedText(*text);
    }
}

// The fields of a plane info array, under the rules KESTPlane::fieldsFromInfo applies to a
// decoded one: at least 13 elements, texts at 0-3, 10 and 12, numbers at 4-9 and 11. Numbers
// convert as the decoded answer's do (JSONElement::number() is the decoder's conversion).
std::optional<KESTPlane::Fields> readFields(const JSONElement& element)
{
    JSONElement e[13];
    if (element.firstElements(e) < 13)
        return std::nullopt;
    for (size_t index : { 0, 1, 2, 3, 10, 12 }) {
        if (!e[index].isString())
            return std::nullopt;
    }
    for (size_t index : { 4, 5, 6, 7, 8, 9, 11 }) {
        if (!e[index].isNumber())
            return std::nullopt;
    }
    auto text = [&](size_t index) { return boundedText(e[index].string()); };
    KESTPlane::Fields f;
    f.type = text(0);
    f.route = text(1);
    f.reg = text(2);
    f.callsign = text(3);
    f.lat = e[4].doubleValue();
    f.lon = e[5].doubleValue();
    f.altitude = e[6].doubleValue();
    f.heading = e[7].doubleValue();
    f.speed = e[8].doubleValue();
    f.mtime = e[9].doubleValue();
    f.squawk = text(10);
    f.dataType = e[11].number().intValue();
    f.fltno = text(12);
    return f;
}

} // namespace

std::shared_ptr<const KESTPlaneAnswer> KESTPlaneAnswer::fromJSONObject(const Value& answer)
{
    Value planes = answer.isDictionary() ? answer["planes"] : Value();
    if (!planes.isDictionary())
        return nullptr;
    auto result = std::make_shared<KESTPlaneAnswer>();
    result->records.reserve(planes.count());
    for (const auto& [key, info] : planes.entries()) {
        Record record;
        record.adshex = key.stringValue();
        // Only a text key names a plane.
        if (key.isString()) {
            record.fields = KESTPlane::fieldsFromInfo(info);
            if (record.fields)
                boundTextFields(*record.fields);
        }
        result->records.push_back(std::move(record));
    }
    return result;
}

std::shared_ptr<const KESTPlaneAnswer> KESTPlaneAnswer::decode(std::string_view bytes)
{
    // Only an object is read here; the general decoder reports everything else, and takes a
    // byte order mark.
    size_t start = 0;
    while (start < bytes.size() && isJSONWhitespace(bytes[start]))
        ++start;
    if (start == bytes.size() || bytes[start] != '{')
        return nullptr;

    // The reader refuses what the general decoder refuses (and nesting deeper than it takes).
    auto document = JSONReader::parse(bytes.substr(start));
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
    size_t count = table->count();
    result->records.reserve(count);
    // Keys seen so far, to their records. The keys are views into the document, which lives
    // until the end of this function, so no key is copied to find a repeat.
    std::unordered_map<std::string_view, size_t> seen;
    seen.reserve(count);
    for (const JSONReader::Field& field : table->fields()) {
        auto fields = readFields(field.value);
        auto [it, added] = seen.try_emplace(field.key, result->records.size());
        if (added)
            result->records.push_back(Record { std::string(field.key), std::move(fields) });
        else
            result->records[it->second].fields = std::move(fields);
    }
    return result;
}
