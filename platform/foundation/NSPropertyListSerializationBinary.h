#pragma once

// Private to NSPropertyListSerialization: reading the binary format. Our own reader rather
// than libplist's, because libplist aborts the process on some corrupt documents (a key with a
// NUL inside, for one); every offset, count and reference here is checked against the data.

#include "foundation/Value.h"

#include <cstddef>
#include <cstdint>
#include <string>

namespace PropertyListBinary {

// Answers nil and sets `problem` when the data is not a well-formed binary property list.
Value parse(const uint8_t* bytes, size_t length, bool mutableContainers, std::string& problem);

} // namespace PropertyListBinary
