#pragma once

#include "foundation/Value.h"

#include <climits>
#include <cstdint>

// How JSON integers become Values, for the two readers of JSON text in foundation: the fast
// reader (JSONReader) and NSJSONSerialization's event reader, which takes what the fast one
// refuses. Integers that fit 32 bits become Int; other non-negative ones unsigned LongLong,
// other negative ones signed LongLong.
inline Value jsonIntegerValue(int64_t v)
{
    if (v >= INT32_MIN && v <= INT32_MAX)
        return Value(static_cast<int32_t>(v));
    return v < 0 ? Value(v) : Value(static_cast<uint64_t>(v));
}

inline Value jsonUnsignedValue(uint64_t v)
{
    if (v <= static_cast<uint64_t>(INT32_MAX))
        return Value(static_cast<int32_t>(v));
    return Value(v);
}
