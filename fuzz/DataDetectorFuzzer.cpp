// The data detector over any text: results come in text order, lie inside the text, do not
// overlap and say what they found.
#include "foundation/JSONReader.h"
#include "foundation/NSDataDetector.h"
#include "foundation/NSString.h"
#include "fuzz/FuzzCheck.h"

#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    std::string_view text(reinterpret_cast<const char*>(data), size);
    // Texts reach the detector as strings, which are UTF-8.
    if (!JSONReader::isValidUTF8(text))
        return 0;
    static Ref<NSDataDetector> detector = NSDataDetector::dataDetectorWithTypes(
        NSTextCheckingTypeDate | NSTextCheckingTypeAddress | NSTextCheckingTypeLink | NSTextCheckingTypePhoneNumber);
    uint64_t length = NSString::length(text);
    auto results = detector->matchesInStringOptionsRange(text, 0, NSRange { 0, static_cast<NSUInteger>(length) });
    uint64_t end = 0;
    for (const auto& result : results) {
        NSRange range = result.range();
        fuzzCheck(range.location != NSUInteger(NSNotFound) && range.length > 0, "a result has no range");
        fuzzCheck(uint64_t(range.location) >= end, "results overlap or come out of text order");
        end = uint64_t(range.location) + range.length;
        fuzzCheck(end <= length, "a result lies outside the text");
        fuzzCheck((result.resultType & detector->checkingTypes()) != 0, "a result of a type not asked for");
    }
    return 0;
}
