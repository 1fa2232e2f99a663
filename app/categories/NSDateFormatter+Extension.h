#pragma once

#include <optional>
#include <string>

// Converts a date text from one format to another; nullopt when the text does not parse.
namespace NSDateFormatter_Extension {
std::optional<std::string> dateStringFromStringSourceFormatDestinationFormat(
    const std::string& string, const std::string& sourceFormat, const std::string& destinationFormat);
} // namespace NSDateFormatter_Extension
