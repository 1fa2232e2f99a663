#pragma once

#include <string>

// Escaping of a text for use as one value of a URL query. Any thread.
namespace NSString_URLArgumentsAdditions {

// Percent-encodes the UTF-8 bytes of the text (upper-case hexadecimal digits), leaving only
// ASCII letters, digits and "-", "_", ".", "~" as they are.
std::string gtm_stringByEscapingForURLArgument(const std::string& text);
// Turns "+" into a space, then decodes the percent escapes. A "%" not followed by two
// hexadecimal digits stays as it is.
std::string gtm_stringByUnescapingFromURLArgument(const std::string& text);

} // namespace NSString_URLArgumentsAdditions
