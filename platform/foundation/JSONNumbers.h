#pragma once

#include "foundation/Value.h"

#include <simdjson.h>

#include <climits>
#include <cstdint>
#include <optional>

// The value the JSON reader makes of a parsed number or boolean: integers that fit 32 bits as
// such, other non-negative integers as unsigned and negative ones as signed 64-bit numbers,
// the rest as doubles. Readers that decode parts of a JSON text themselves use it so their
// numbers convert exactly as the reader's do. nullopt for any other element.
inline std::optional<Value> jsonNumberValue(simdjson::dom::element element)
{
    using Type = simdjson::dom::element_type;
    switch (element.type()) {
    case Type::BOOL:
        return Value(element.get_bool().value_unsafe());
    case Type::INT64: {
        int64_t v = element.get_int64().value_unsafe();
        if (v >= INT32_MIN && v <= INT32_MAX)
            return Value(static_cast<int32_t>(v));
        return v < 0 ? Value(v) : Value(static_cast<uint64_t>(v));
    }
    case Type::UINT64:
        return Value(element.get_uint64().value_unsafe());
    case Type::DOUBLE:
        return Value(element.get_double().value_unsafe());
    default:
        return std::nullopt;
    }
}
