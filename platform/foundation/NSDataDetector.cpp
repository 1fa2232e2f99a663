#include "foundation/NSDataDetector.h"

#include "foundation/NSError.h"
#include "foundation/NSString.h"

#include <algorithm>
#include <ctime>
#include <string>

#include <unicode/uchar.h>
#include <unicode/utf16.h>

VX_REGISTER_CLASS(NSDataDetector);

namespace {

constexpr uint64_t kDetectable
    = NSTextCheckingTypeDate | NSTextCheckingTypeAddress | NSTextCheckingTypeLink | NSTextCheckingTypePhoneNumber;

const NSRegularExpression& linkExpression()
{
    static Ref<NSRegularExpression> expression
        = NSRegularExpression::regularExpressionWithPattern("(?:[a-z][a-z0-9+.-]*://[^\\s<>\"]+)|(?:www\\.[^\\s<>\"]+)|"
                                                            "(?:[a-z0-9._%+-]+@[a-z0-9.-]+\\.[a-z]{2,})",
            NSRegularExpression::NSRegularExpressionCaseInsensitive);
    return *expression;
}

const NSRegularExpression& phoneExpression()
{
    static Ref<NSRegularExpression> expression
        = NSRegularExpression::regularExpressionWithPattern("(?<![\\w+])\\+?\\(?\\d[\\d ().-]{5,}\\d(?!\\w)");
    return *expression;
}

const NSRegularExpression& dateExpression()
{
    static Ref<NSRegularExpression> expression = NSRegularExpression::regularExpressionWithPattern(
        "\\b(\\d{4})-(\\d{2})-(\\d{2})(?:[T ](\\d{2}):(\\d{2})(?::(\\d{2}))?(Z|[+-]\\d{2}:?\\d{2})?)?\\b");
    return *expression;
}

const NSRegularExpression& addressExpression()
{
    static Ref<NSRegularExpression> expression = NSRegularExpression::regularExpressionWithPattern(
        "\\b(\\d{1,5}) ((?:[A-Z][a-z]+ ){1,3}(?:Street|St|Avenue|Ave|Road|Rd|Lane|Way|Drive|Boulevard)\\.?), "
        "([A-Z][a-z]+(?: [A-Z][a-z]+)?)\\b");
    return *expression;
}

std::string substring(const std::u16string& text, NSRange range)
{
    if (range.location == NSUInteger(NSNotFound) || range.location + range.length > text.size())
        return {};
    return NSString::fromUTF16(std::u16string_view(text).substr(range.location, range.length));
}

// Punctuation that ends a sentence is not part of the link before it.
NSRange trimmedLink(const std::u16string& text, NSRange range)
{
    while (range.length > 0) {
        char16_t last = text[range.location + range.length - 1];
        if (std::u16string_view(u".,;:!?)]'}").find(last) == std::u16string_view::npos)
            break;
        --range.length;
    }
    return range;
}

// The decimal digits of a range, in order and as values: `\\d` matches every decimal digit
// (Arabic-Indic, full-width, mathematical), so each is read by its Unicode value.
std::vector<int> digitValuesIn(const std::u16string& text, NSRange range)
{
    std::vector<int> digits;
    if (range.location == NSUInteger(NSNotFound) || range.location + range.length > text.size())
        return digits;
    size_t end = range.location + range.length;
    for (size_t i = range.location; i < end;) {
        UChar32 c;
        U16_NEXT(text.data(), i, end, c);
        int32_t value = u_charDigitValue(c);
        if (value >= 0 && value <= 9)
            digits.push_back(value);
    }
    return digits;
}

// The number written by the digits of a range; nullopt when it holds none.
std::optional<int> numberIn(const std::u16string& text, NSRange range)
{
    auto digits = digitValuesIn(text, range);
    if (digits.empty() || digits.size() > 9)
        return std::nullopt;
    int number = 0;
    for (int digit : digits)
        number = number * 10 + digit;
    return number;
}

int digitsIn(const std::string& text)
{
    return int(std::count_if(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; }));
}

} // namespace

Ref<NSDataDetector> NSDataDetector::dataDetectorWithTypes(uint64_t types, Ref<NSError>* error)
{
    if ((types & kDetectable) == 0) {
        if (error)
            *error = NSError::errorWithDomain(NSCocoaErrorDomain, 2048);
        return nullptr;
    }
    auto detector = make<NSDataDetector>();
    detector->m_types = types & kDetectable;
    return detector;
}

NSTextCheckingResult NSDataDetector::linkCheckingResult(NSRange range, std::string url)
{
    NSTextCheckingResult result;
    result.ranges = { range };
    result.resultType = NSTextCheckingTypeLink;
    result.URL = std::move(url);
    return result;
}

NSTextCheckingResult NSDataDetector::phoneNumberCheckingResult(NSRange range, std::string number)
{
    NSTextCheckingResult result;
    result.ranges = { range };
    result.resultType = NSTextCheckingTypePhoneNumber;
    result.phoneNumber = std::move(number);
    return result;
}

NSTextCheckingResult NSDataDetector::dateCheckingResult(
    NSRange range, double date, std::string timeZone, double duration)
{
    NSTextCheckingResult result;
    result.ranges = { range };
    result.resultType = NSTextCheckingTypeDate;
    result.date = date;
    result.timeZone = std::move(timeZone);
    result.duration = duration;
    return result;
}

NSTextCheckingResult NSDataDetector::addressCheckingResult(
    NSRange range, std::vector<std::pair<std::string, std::string>> components)
{
    NSTextCheckingResult result;
    result.ranges = { range };
    result.resultType = NSTextCheckingTypeAddress;
    result.addressComponents = std::move(components);
    return result;
}

std::vector<NSTextCheckingResult> NSDataDetector::matchesInStringOptionsRange(
    std::string_view text, uint32_t options, NSRange range) const
{
    std::u16string wide = NSString::toUTF16(text);
    if (range.location > wide.size())
        return {};
    range.length = std::min<NSUInteger>(range.length, NSUInteger(wide.size()) - range.location);
    std::vector<NSTextCheckingResult> found;
    if (m_types & NSTextCheckingTypeLink) {
        for (const auto& match : linkExpression().matchesInString(text, options, range)) {
            NSRange r = trimmedLink(wide, match.range());
            std::string url = substring(wide, r);
            if (url.empty())
                continue;
            if (url.find("://") == std::string::npos)
                url = (url.find('@') != std::string::npos ? "mailto:" : "http://") + url;
            found.push_back(linkCheckingResult(r, url));
        }
    }
    if (m_types & NSTextCheckingTypeDate) {
        for (const auto& match : dateExpression().matchesInString(text, options, range)) {
            auto number = [&](size_t i) { return numberIn(wide, match.rangeAtIndex(i)); };
            auto year = number(1), month = number(2), day = number(3);
            if (!year || !month || !day)
                continue;
            std::tm tm {};
            tm.tm_year = *year - 1900;
            tm.tm_mon = *month - 1;
            tm.tm_mday = *day;
            if (auto hour = number(4)) {
                auto minute = number(5);
                if (!minute)
                    continue;
                tm.tm_hour = *hour;
                tm.tm_min = *minute;
                tm.tm_sec = number(6).value_or(0);
            }
            if (tm.tm_mon < 0 || tm.tm_mon > 11 || tm.tm_mday < 1 || tm.tm_mday > 31 || tm.tm_hour > 23
                || tm.tm_min > 59 || tm.tm_sec > 60)
                continue;
            double seconds = double(timegm(&tm));
            std::string zone = substring(wide, match.rangeAtIndex(7));
            std::string zoneName;
            if (zone == "Z") {
                zoneName = "GMT";
            } else if (!zone.empty()) {
                auto digits = digitValuesIn(wide, match.rangeAtIndex(7));
                if (digits.size() != 4)
                    continue;
                int hours = digits[0] * 10 + digits[1], minutes = digits[2] * 10 + digits[3];
                if (hours > 23 || minutes > 59)
                    continue;
                int offset = hours * 3600 + minutes * 60;
                bool west = zone[0] == '-';
                seconds -= west ? -offset : offset;
                zoneName = std::string("GMT") + (west ? "-" : "+") + char('0' + digits[0]) + char('0' + digits[1])
                    + char('0' + digits[2]) + char('0' + digits[3]);
            }
            found.push_back(dateCheckingResult(match.range(), seconds, zoneName));
        }
    }
    if (m_types & NSTextCheckingTypeAddress) {
        for (const auto& match : addressExpression().matchesInString(text, options, range)) {
            auto part = [&](size_t i) { return substring(wide, match.rangeAtIndex(i)); };
            found.push_back(
                addressCheckingResult(match.range(), { { "Street", part(1) + " " + part(2) }, { "City", part(3) } }));
        }
    }
    if (m_types & NSTextCheckingTypePhoneNumber) {
        for (const auto& match : phoneExpression().matchesInString(text, options, range)) {
            std::string number = substring(wide, match.range());
            if (digitsIn(number) >= 7)
                found.push_back(phoneNumberCheckingResult(match.range(), number));
        }
    }
    // Text order; where finds overlap (a date's digits read as a phone number, a link holding
    // one) the one that starts first, then the longer, stays.
    std::stable_sort(found.begin(), found.end(), [](const auto& a, const auto& b) {
        if (a.range().location != b.range().location)
            return a.range().location < b.range().location;
        return a.range().length > b.range().length;
    });
    std::vector<NSTextCheckingResult> results;
    NSUInteger end = range.location;
    for (auto& result : found) {
        if (result.range().location < end)
            continue;
        end = result.range().location + result.range().length;
        results.push_back(std::move(result));
    }
    return results;
}
