#pragma once

#include "foundation/NSObject.h"

#include <memory>
#include <string>

enum NSDateFormatterStyle : uint32_t {
    NSDateFormatterNoStyle = 0,
    NSDateFormatterShortStyle = 1,
    NSDateFormatterMediumStyle = 2,
    NSDateFormatterLongStyle = 3,
    NSDateFormatterFullStyle = 4,
};

enum NSDateFormatterBehavior : uint32_t {
    NSDateFormatterBehaviorDefault = 0,
    NSDateFormatterBehavior10_0 = 1000,
    NSDateFormatterBehavior10_4 = 1040,
};

// Writes dates as text and reads them back, with a fixed pattern ("dd-MM-yy",
// "yyyy-MM-dd'T'HH:mm:ssZ", "Y-MM-d HH-mm-ss-SSS") or the locale's date and time styles, in a
// locale, time zone and calendar. Parsing is strict unless made lenient: the whole text must
// match, so trailing text fails. Two-digit years are read in the 100 years starting 80 years
// before now, or from twoDigitStartDate when set. Relative formatting writes "Today",
// "Yesterday" and "Tomorrow" (in the locale's language) for the date part of a style.
// Any thread: calls are serialised on the formatter.
class NSDateFormatter final : public NSObject {
    VX_OBJECT(NSDateFormatter, NSObject)
public:
    struct Impl;
    explicit NSDateFormatter(Passkey);
    ~NSDateFormatter() override;
    // Current locale, default time zone, no styles, no pattern.
    static Ref<NSDateFormatter> init();

    // The pattern in force: the one set, else the one the styles give ("" for none).
    std::string dateFormat() const;
    void setDateFormat(const std::string& format);
    NSDateFormatterStyle dateStyle() const;
    void setDateStyle(NSDateFormatterStyle style);
    NSDateFormatterStyle timeStyle() const;
    void setTimeStyle(NSDateFormatterStyle style);
    Ref<NSLocale> locale() const;
    void setLocale(Ref<NSLocale> locale); // nullptr means the current locale
    Ref<NSTimeZone> timeZone() const;
    void setTimeZone(Ref<NSTimeZone> zone); // nullptr means the default zone
    Ref<NSCalendar> calendar() const;
    void setCalendar(Ref<NSCalendar> calendar); // nullptr means the locale's calendar
    bool doesRelativeDateFormatting() const;
    void setDoesRelativeDateFormatting(bool relative);
    // nullptr unless set; the window then starts 80 years before now.
    Ref<NSDate> twoDigitStartDate() const;
    void setTwoDigitStartDate(Ref<NSDate> date);
    bool isLenient() const;
    void setLenient(bool lenient);
    NSDateFormatterBehavior formatterBehavior() const;
    void setFormatterBehavior(NSDateFormatterBehavior behavior);

    // "" for a nil date, a date whose time is NaN or infinite, or when there is no pattern.
    std::string stringFromDate(const Ref<NSDate>& date) const;
    // nullptr when the text does not match the pattern.
    Ref<NSDate> dateFromString(const std::string& string) const;

    static std::string localizedStringFromDateDateStyleTimeStyle(
        const Ref<NSDate>& date, NSDateFormatterStyle dateStyle, NSDateFormatterStyle timeStyle);
    // The locale's pattern for a template of fields ("yMMMd" gives "MMM d, y" in en_US).
    static std::string dateFormatFromTemplateOptionsLocale(
        const std::string& templateString, NSUInteger options, const Ref<NSLocale>& locale);

private:
    std::unique_ptr<Impl> m_impl;
};
