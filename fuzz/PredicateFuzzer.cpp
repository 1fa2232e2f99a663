// Predicate formats: a format that parses prints a format that parses to the same print.
#include "foundation/NSException.h"
#include "foundation/NSPredicate.h"
#include "fuzz/FuzzCheck.h"

#include <optional>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    std::string format(reinterpret_cast<const char*>(data), size);
    Ref<NSPredicate> predicate;
    try {
        predicate = NSPredicate::predicateWithFormat(format);
    } catch (const NSException&) {
        return 0;
    }
    fuzzCheck(bool(predicate), "a parsed format gave no predicate");
    std::string printed = predicate->predicateFormat();
    Ref<NSPredicate> reparsed;
    try {
        reparsed = NSPredicate::predicateWithFormat(printed);
    } catch (const NSException&) {
        fuzzCheck(false, "a printed predicate does not parse");
    }
    fuzzCheck(reparsed->predicateFormat() == printed, "a printed predicate reparses to another predicate");
    // The two also decide alike: a constant that reparsed as a key path would not.
    Value object = Value::dictionary({ { "speed", 5 }, { "name", "BAW1" }, { "seen", Value::date(0) } });
    std::optional<bool> first, second;
    try {
        first = predicate->evaluateWithObject(object);
        second = reparsed->evaluateWithObject(object);
    } catch (const NSException&) {
    }
    if (first && second)
        fuzzCheck(*first == *second, "a printed predicate decides differently");
    return 0;
}
