#pragma once

// Private to the foundation's ICU-backed classes: conversions between our types and ICU's.
// Never include from a public header.

#include "foundation/NSLocale.h"
#include "foundation/NSTimeZone.h"

#include <memory>
#include <string>
#include <unicode/calendar.h>
#include <unicode/locid.h>
#include <unicode/timezone.h>
#include <unicode/unistr.h>

struct NSTimeZone::Impl {
    std::string name;
    std::unique_ptr<icu::TimeZone> zone;
};

namespace IcuSupport {

inline icu::UnicodeString toIcu(const std::string& s)
{
    return icu::UnicodeString::fromUTF8(s);
}

inline std::string fromIcu(const icu::UnicodeString& s)
{
    std::string out;
    s.toUTF8String(out);
    return out;
}

// Milliseconds as ICU counts them, from seconds since 1970.
inline double toUDate(double secondsSince1970)
{
    return secondsSince1970 * 1000.0;
}

icu::Locale icuLocale(const NSLocale* locale);
icu::Locale icuLocale(const Ref<NSLocale>& locale);
std::unique_ptr<icu::TimeZone> cloneZone(const Ref<NSTimeZone>& zone);

} // namespace IcuSupport

#include "foundation/NSCalendar.h"

struct NSCalendar::IcuCalendar {
    std::unique_ptr<icu::Calendar> calendar;
};

namespace IcuSupport {

// Splits seconds since 1970 into whole ICU milliseconds and the fraction of a millisecond left
// over (in seconds, 0 <= rest < 0.001), so arithmetic keeps sub-millisecond precision.
struct SplitInstant {
    double milliseconds;
    double restSeconds;
};
SplitInstant splitInstant(double secondsSince1970);

} // namespace IcuSupport
