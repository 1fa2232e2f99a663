#pragma once

#include "foundation/FoundationForward.h"
#include "foundation/Value.h"

#include <cstdint>
#include <string_view>

// JSON reading and writing for Values. Objects become insertion-ordered dictionaries, arrays
// arrays, strings strings, true/false Bool numbers, null NSNull; integers stay integers (Int
// when they fit 32 bits, else LongLong, unsigned above INT64_MAX kept), other numbers Double.
//
// Failures answer nil and, when `error` is not null, store an NSError in "NSCocoaErrorDomain"
// with code 3840 and an "NSDebugDescription" saying what went wrong; success leaves `*error`
// untouched. Nothing throws. Any thread.
namespace NSJSONSerialization {

inline constexpr uint32_t NSJSONReadingMutableContainers = 1;
// Accepted; strings are values here, so there is nothing to make mutable.
inline constexpr uint32_t NSJSONReadingMutableLeaves = 2;
inline constexpr uint32_t NSJSONReadingAllowFragments = 4;

inline constexpr uint32_t NSJSONWritingPrettyPrinted = 1;

inline constexpr int32_t NSJSONErrorCode = 3840;

// Reads UTF-8 JSON text. The top level must be an array or an object unless
// NSJSONReadingAllowFragments is given; containers are mutable with
// NSJSONReadingMutableContainers. Invalid UTF-8, trailing garbage and nesting deeper than 512
// levels are errors.
Value JSONObjectWithData(std::string_view bytes, uint32_t options, Ref<NSError>* error);
Value JSONObjectWithData(const Value::Bytes& bytes, uint32_t options, Ref<NSError>* error);

// Writes an array or dictionary as UTF-8 JSON text in a data Value. Keys must be strings;
// leaves must be strings, finite numbers or NSNull. "/" is written as "\/"; numbers in their
// shortest form. NSJSONWritingPrettyPrinted indents by two spaces with " : " after keys.
Value dataWithJSONObject(const Value& object, uint32_t options, Ref<NSError>* error);

// True when dataWithJSONObject would succeed.
bool isValidJSONObject(const Value& object);

} // namespace NSJSONSerialization
