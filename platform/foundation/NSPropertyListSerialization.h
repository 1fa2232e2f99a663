#pragma once

#include "foundation/FoundationForward.h"
#include "foundation/Value.h"

#include <cstdint>

// Property lists: Values made of dictionaries (string keys, insertion order kept), arrays,
// strings, data, dates, numbers (integers, reals) and booleans, read from and written to the
// XML and binary formats, and read from the old text format (including string tables such as
// `"key" = "value";`). NSNull, nil and objects are not property-list values.
//
// Failures answer nil with an NSError in "NSCocoaErrorDomain": 3840 when reading
// (NSPropertyListReadCorruptError), 3851 when writing (the code the platform gives for a value
// that is not a property list), with an "NSDebugDescription" saying what went wrong. Malformed input never crashes. Any
// thread.
class NSPropertyListSerialization {
public:
    enum NSPropertyListFormat : uint32_t {
        NSPropertyListOpenStepFormat = 1,
        NSPropertyListXMLFormat_v1_0 = 100,
        NSPropertyListBinaryFormat_v1_0 = 200,
    };

    enum NSPropertyListMutabilityOptions : uint32_t {
        NSPropertyListImmutable = 0,
        NSPropertyListMutableContainers = 1,
        // Strings and data are values here, so this makes the containers mutable, as above.
        NSPropertyListMutableContainersAndLeaves = 2,
    };

    // Reads a property list from data (a data Value; a string Value is read as its UTF-8
    // bytes). The format found is stored in `format` when given.
    static Value propertyListWithData(
        const Value& data, uint32_t options, NSPropertyListFormat* format, Ref<NSError>* error);
    // Writes a property list as XML or binary data; the old text format cannot be written.
    static Value dataWithPropertyList(
        const Value& plist, NSPropertyListFormat format, uint32_t options, Ref<NSError>* error);
    static bool propertyListIsValidForFormat(const Value& plist, NSPropertyListFormat format);
};

inline constexpr int32_t NSPropertyListReadCorruptError = 3840;
inline constexpr int32_t NSPropertyListReadUnknownVersionError = 3841;
inline constexpr int32_t NSPropertyListReadStreamError = 3842;
inline constexpr int32_t NSPropertyListWriteStreamError = 3851;
inline constexpr int32_t NSPropertyListWriteInvalidError = 3852;
