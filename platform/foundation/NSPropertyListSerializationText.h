#pragma once

// Private to NSPropertyListSerialization: the old text format.

#include "foundation/Value.h"

#include <string>
#include <string_view>

namespace PropertyListText {

// Parses UTF-8 text in the old format: dictionaries "{ key = value; }", arrays "( a, b )",
// data "<0fbd 7e>", quoted and bare strings, comments; and a top level of dictionary entries
// without braces (a string table). Answers nil and sets `problem` on malformed text.
Value parse(std::string_view text, bool mutableContainers, std::string& problem);

} // namespace PropertyListText
