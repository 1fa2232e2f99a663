#pragma once

#include "foundation/FoundationForward.h"
#include "foundation/Value.h"

#include <string>

// Key-value coding over any Value, so predicates, sort descriptors and other readers can walk
// objects, dictionaries and arrays alike. Any thread.
//
// - An object answers through its valueForKey (unknown keys raise "NSUnknownKeyException").
// - A dictionary answers the entry for the key (nil when absent); "@count" is its entry count.
// - An array answers a new array with the key's value of every element (nil becomes NSNull).
// - "self" answers the target itself; nil and NSNull answer themselves.
// - Any other value (string, number, date, data, class) raises "NSUnknownKeyException".
Value valueForKeyOfValue(const Value& target, const std::string& key);

// Dotted key paths, one step at a time: "a.b" is the value for "b" of the value for "a" (so on
// an array, "a.@count" counts the mapped array). A nil step answers nil. On an array a component
// starting with "@" is a collection operator applied to the array, with the rest of the path as
// its argument, read from each element:
//   @count                      number of elements (the rest of the path is ignored)
//   @sum.x @avg.x               over the non-null values of x, as doubles (0 for none)
//   @max.x @min.x               the largest / smallest non-null value of x (nil for none)
//   @unionOfObjects.x           the non-null values of x, in order
//   @distinctUnionOfObjects.x   the same without repeats (first occurrence kept)
//   @unionOfArrays.x            the elements of the arrays found at x, concatenated
//   @distinctUnionOfArrays.x    the same without repeats
// An unknown operator raises "NSUnknownKeyException"; an operator that needs an argument and
// has none raises "NSInvalidArgumentException".
Value valueForKeyPathOfValue(const Value& target, const std::string& keyPath);

// Sets the value at a dotted key path: objects through setValueForKey, mutable dictionaries by
// storing the entry (nil removes it). A nil step does nothing; an immutable dictionary raises.
void setValueForKeyPathOfValue(const Value& target, const Value& value, const std::string& keyPath);
