#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

// A table read from RFC 4180 CSV text whose first record names the columns. Quoted fields may
// hold commas, doubled quotes and line breaks. Any thread; no shared state.
class CsvTable {
public:
    // Parses the text. Returns nullopt with a message in `error` for an unterminated quote, a
    // record whose field count differs from the header's, or text with no header.
    static std::optional<CsvTable> parse(std::string_view text, std::string* error = nullptr);
    static std::optional<CsvTable> readFile(const std::string& path, std::string* error = nullptr);

    const std::vector<std::string>& header() const { return m_header; }
    const std::vector<std::vector<std::string>>& rows() const { return m_rows; }

    // Index of the named column, or -1.
    int column(std::string_view name) const;

private:
    std::vector<std::string> m_header;
    std::vector<std::vector<std::string>> m_rows;
};
