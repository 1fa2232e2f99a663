// Property lists: whatever reads must write back in XML and in binary and read back equal, or
// be refused by the writer. Equal here means: a NaN equals a NaN, binary keeps every date
// exactly, and XML keeps a date to the second it falls in (its text holds whole seconds).
#include "foundation/NSError.h"
#include "foundation/NSPropertyListSerialization.h"
#include "fuzz/FuzzCheck.h"

#include <cmath>

namespace {

using Format = NSPropertyListSerialization::NSPropertyListFormat;

// Seconds between 1970-01-01 and 2001-01-01, the epoch of property-list dates.
constexpr double kReferenceDateOffset = 978307200.0;

bool sameDouble(double a, double b)
{
    return a == b || (std::isnan(a) && std::isnan(b));
}

bool keptThrough(const Value& before, const Value& after, Format format)
{
    if (before.isDate() && after.isDate()) {
        double expected = before.dateValue();
        if (format == NSPropertyListSerialization::NSPropertyListXMLFormat_v1_0)
            expected = std::floor(expected - kReferenceDateOffset) + kReferenceDateOffset;
        return sameDouble(after.dateValue(), expected);
    }
    if (before.isNumber() && after.isNumber() && std::isnan(before.doubleValue()))
        return std::isnan(after.doubleValue());
    if (before.isArray() && after.isArray()) {
        const auto& a = before.elements();
        const auto& b = after.elements();
        if (a.size() != b.size())
            return false;
        for (size_t i = 0; i < a.size(); ++i) {
            if (!keptThrough(a[i], b[i], format))
                return false;
        }
        return true;
    }
    if (before.isDictionary() && after.isDictionary()) {
        if (before.count() != after.count())
            return false;
        for (const auto& [key, element] : before.entries()) {
            const Value& other = after.objectForKey(key);
            if (other.isNil() || !keptThrough(element, other, format))
                return false;
        }
        return true;
    }
    return before.isEqual(after);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    Value input = Value::data(data, size);
    Value plist = NSPropertyListSerialization::propertyListWithData(input, 0, nullptr, nullptr);
    if (plist.isNil())
        return 0;
    (void)plist.description();
    for (auto format : { NSPropertyListSerialization::NSPropertyListXMLFormat_v1_0,
             NSPropertyListSerialization::NSPropertyListBinaryFormat_v1_0 }) {
        Ref<NSError> error;
        Value written = NSPropertyListSerialization::dataWithPropertyList(plist, format, 0, &error);
        if (!written.isData()) {
            fuzzCheck(bool(error), "a refused write gave no error");
            continue;
        }
        Value back = NSPropertyListSerialization::propertyListWithData(written, 0, nullptr, nullptr);
        fuzzCheck(!back.isNil(), "a written property list does not read back");
        fuzzCheck(keptThrough(plist, back, format), "a property list changed on a write and read");
    }
    return 0;
}
