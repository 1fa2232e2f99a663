#pragma once

#include "foundation/FoundationForward.h"

#include <algorithm>
#include <cstdint>
#include <string>

// Functions of NSRange (declared in FoundationForward.h): a range of UTF-16 code units, or of
// any indexed sequence. NSNotFound as location means "no range".

inline constexpr NSRange NSMakeRange(NSUInteger location, NSUInteger length)
{
    return NSRange { location, length };
}
inline constexpr NSUInteger NSMaxRange(NSRange range)
{
    return range.location + range.length;
}
inline constexpr bool NSLocationInRange(NSUInteger location, NSRange range)
{
    return location >= range.location && location - range.location < range.length;
}
inline constexpr bool NSEqualRanges(NSRange a, NSRange b)
{
    return a == b;
}

// The overlap of two ranges; a zero-length range when they do not overlap.
inline constexpr NSRange NSIntersectionRange(NSRange a, NSRange b)
{
    uint64_t start = std::max<uint64_t>(a.location, b.location);
    uint64_t end = std::min<uint64_t>(uint64_t(a.location) + a.length, uint64_t(b.location) + b.length);
    if (end < start)
        return NSRange { 0, 0 };
    return NSRange { static_cast<NSUInteger>(start), static_cast<NSUInteger>(end - start) };
}

// The smallest range covering both.
inline constexpr NSRange NSUnionRange(NSRange a, NSRange b)
{
    uint64_t start = std::min<uint64_t>(a.location, b.location);
    uint64_t end = std::max<uint64_t>(uint64_t(a.location) + a.length, uint64_t(b.location) + b.length);
    return NSRange { static_cast<NSUInteger>(start), static_cast<NSUInteger>(end - start) };
}

// "{location, length}".
inline std::string NSStringFromRange(NSRange range)
{
    return "{" + std::to_string(range.location) + ", " + std::to_string(range.length) + "}";
}
