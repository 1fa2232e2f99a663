#pragma once

// Private to NSPropertyListSerialization: reading and writing the binary format. Our own reader
// rather than libplist's, because libplist aborts the process on some corrupt documents (a key
// with a NUL inside, for one); every offset, count and reference here is checked against the
// data. Our own writer, because libplist passes dates through whole seconds and microseconds,
// while the format stores them as a double that must come back as it was.

#include "foundation/Value.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace PropertyListBinary {

// Answers nil and sets `problem` when the data is not a well-formed binary property list.
Value parse(const uint8_t* bytes, size_t length, bool mutableContainers, std::string& problem);

// Writes a value that the caller has checked is a property list (strings without NUL, keys that
// are strings, integers of the signed 64-bit range). Equal strings are written once.
std::vector<uint8_t> write(const Value& plist);

} // namespace PropertyListBinary
