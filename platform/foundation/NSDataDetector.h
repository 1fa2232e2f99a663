#pragma once

#include "foundation/NSRegularExpression.h"

#include <cstdint>
#include <string_view>
#include <vector>

// The checking types a data detector can look for.
enum NSTextCheckingType : uint64_t {
    NSTextCheckingTypeDate = 1ull << 3,
    NSTextCheckingTypeAddress = 1ull << 4,
    NSTextCheckingTypeLink = 1ull << 5,
    NSTextCheckingTypePhoneNumber = 1ull << 11,
};

// Finds links (URLs with a scheme, "www." hosts and e-mail addresses), phone numbers (seven or
// more digits, optionally with a leading "+", spaces, dots, dashes and parentheses), calendar
// dates in the "yyyy-MM-dd" form (optionally with a "HH:mm" time and a "Z" or "+hh:mm" zone)
// and street addresses of the "number street, city" form in text, through ICU regular
// expressions. Results come in text order with UTF-16 ranges; overlapping finds keep the one
// that starts first. Immutable; any thread.
class NSDataDetector : public NSObject {
    VX_OBJECT(NSDataDetector, NSObject)
public:
    explicit NSDataDetector(Passkey key)
        : NSObject(key)
    {
    }
    // nullptr and, when asked, an NSError (NSCocoaErrorDomain, 2048) when `types` holds none of
    // the detectable types.
    static Ref<NSDataDetector> dataDetectorWithTypes(uint64_t types, Ref<NSError>* error = nullptr);

    uint64_t checkingTypes() const { return m_types; }
    // `range` in UTF-16 units; a range past the end is cut to the text.
    std::vector<NSTextCheckingResult> matchesInStringOptionsRange(
        std::string_view text, uint32_t options, NSRange range) const;

    // Results made by hand, as a detector would make them.
    static NSTextCheckingResult linkCheckingResult(NSRange range, std::string url);
    static NSTextCheckingResult phoneNumberCheckingResult(NSRange range, std::string number);
    static NSTextCheckingResult dateCheckingResult(
        NSRange range, double date, std::string timeZone = {}, double duration = 0);
    static NSTextCheckingResult addressCheckingResult(
        NSRange range, std::vector<std::pair<std::string, std::string>> components);

private:
    uint64_t m_types { 0 };
};
