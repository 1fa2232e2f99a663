#include "refdata/CsvTable.h"

#include <fstream>
#include <sstream>

std::optional<CsvTable> CsvTable::parse(std::string_view text, std::string* error)
{
    auto fail = [&](std::string message) -> std::optional<CsvTable> {
        if (error)
            *error = std::move(message);
        return std::nullopt;
    };

    std::vector<std::vector<std::string>> records;
    std::vector<std::string> record;
    std::string field;
    bool inQuotes = false;
    bool fieldStarted = false;
    size_t line = 1;
    auto endField = [&] {
        record.push_back(std::move(field));
        field.clear();
        fieldStarted = false;
    };
    auto endRecord = [&] {
        endField();
        // A blank line is no record.
        if (!(record.size() == 1 && record[0].empty()))
            records.push_back(std::move(record));
        record.clear();
    };

    for (size_t i = 0; i < text.size(); ++i) {
        char c = text[i];
        if (inQuotes) {
            if (c == '"') {
                if (i + 1 < text.size() && text[i + 1] == '"') {
                    field += '"';
                    ++i;
                } else {
                    inQuotes = false;
                }
            } else {
                if (c == '\n')
                    ++line;
                field += c;
            }
            continue;
        }
        switch (c) {
        case '"':
            if (fieldStarted)
                return fail("stray quote on line " + std::to_string(line));
            inQuotes = true;
            fieldStarted = true;
            break;
        case ',':
            endField();
            break;
        case '\r':
            break;
        case '\n':
            endRecord();
            ++line;
            break;
        default:
            field += c;
            fieldStarted = true;
        }
    }
    if (inQuotes)
        return fail("unterminated quoted field");
    if (fieldStarted || !record.empty())
        endRecord();
    if (records.empty())
        return fail("no header");

    CsvTable table;
    table.m_header = std::move(records.front());
    for (size_t r = 1; r < records.size(); ++r) {
        if (records[r].size() != table.m_header.size())
            return fail("record " + std::to_string(r) + " has " + std::to_string(records[r].size())
                + " fields, the header " + std::to_string(table.m_header.size()));
        table.m_rows.push_back(std::move(records[r]));
    }
    return table;
}

std::optional<CsvTable> CsvTable::readFile(const std::string& path, std::string* error)
{
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        if (error)
            *error = "cannot open " + path;
        return std::nullopt;
    }
    std::ostringstream buffer;
    buffer << in.rdbuf();
    std::string message;
    auto table = parse(buffer.str(), &message);
    if (!table && error)
        *error = path + ": " + message;
    return table;
}

int CsvTable::column(std::string_view name) const
{
    for (size_t i = 0; i < m_header.size(); ++i) {
        if (m_header[i] == name)
            return static_cast<int>(i);
    }
    return -1;
}
