#pragma once

#include "FoundationForward.h"
#include "FormatArg.h"

#include <cstdint>
#include <initializer_list>
#include <string>
#include <string_view>
#include <vector>

// Strings are std::string in UTF-8. These functions give them the platform's NSString
// semantics: lengths and ranges in UTF-16 code units, comparison options, number parsing,
// escaping, transforms and the checked "%@" formatter. Any thread.
namespace NSString {

// printf-style formatting with "%@". Each conversion is checked against its argument; a
// mismatch or a missing argument logs an error and formats a safe placeholder instead.
std::string formatWithArgs(std::string_view format, const FormatArg* args, size_t count);

template<typename... Args>
std::string stringWithFormat(std::string_view format, const Args&... args)
{
    const FormatArg list[] = { FormatArg(args)..., FormatArg(0) };
    return formatWithArgs(format, list, sizeof...(Args));
}

// Number readings with the platform's rules: leading blanks skipped, then an optional sign and
// digits; anything else ends the number; no digits reads as 0; overflow clamps.
int32_t intValue(std::string_view s);
int32_t integerValue(std::string_view s);
int64_t longLongValue(std::string_view s);
double doubleValue(std::string_view s);
float floatValue(std::string_view s);
// Leading blanks, an optional sign and zeros skipped; then Y, y, T, t or 1-9 is true.
bool boolValue(std::string_view s);

} // namespace NSString
