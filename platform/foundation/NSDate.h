#pragma once

#include "foundation/NSObject.h"
#include "foundation/Value.h"

#include <string>

// Seconds between 1970-01-01 and the reference date 2001-01-01 (both 00:00 UTC).
inline constexpr NSTimeInterval NSTimeIntervalSince1970 = 978307200.0;

// An instant, held as seconds since 1970-01-01 00:00 UTC. Immutable, so any thread.
// "Now" comes from the process clock, so a virtual clock moves it in tests.
class NSDate final : public NSObject {
    VX_OBJECT(NSDate, NSObject)
public:
    NSDate(Passkey, NSTimeInterval secondsSince1970);

    static Ref<NSDate> date();
    static Ref<NSDate> init() { return date(); }
    static Ref<NSDate> dateWithTimeIntervalSinceNow(NSTimeInterval seconds);
    static Ref<NSDate> dateWithTimeIntervalSince1970(NSTimeInterval seconds);
    static Ref<NSDate> dateWithTimeIntervalSinceReferenceDate(NSTimeInterval seconds);
    // nullptr for a nil date.
    static Ref<NSDate> dateWithTimeIntervalSinceDate(NSTimeInterval seconds, const Ref<NSDate>& date);
    // 0001-01-01 and 4001-01-01, 00:00 UTC.
    static Ref<NSDate> distantPast();
    static Ref<NSDate> distantFuture();
    // Seconds since the reference date, now.
    static NSTimeInterval timeIntervalSinceReferenceDateNow();

    // A date from a Value holding a date (Value::date) or an NSDate object; nullptr otherwise.
    static Ref<NSDate> fromValue(const Value& value);
    // The Value form (Kind::Date, same seconds since 1970).
    Value toValue() const { return Value::date(m_seconds); }

    NSTimeInterval timeIntervalSince1970() const { return m_seconds; }
    NSTimeInterval timeIntervalSinceReferenceDate() const { return m_seconds - NSTimeIntervalSince1970; }
    // Receiver minus the other date. A nil date raises "NSInvalidArgumentException" rather than
    // answering a meaningless number.
    NSTimeInterval timeIntervalSinceDate(const Ref<NSDate>& other) const;
    NSTimeInterval timeIntervalSinceNow() const;
    Ref<NSDate> dateByAddingTimeInterval(NSTimeInterval seconds) const;

    // A nil argument makes the receiver the answer.
    Ref<NSDate> earlierDate(const Ref<NSDate>& other) const;
    Ref<NSDate> laterDate(const Ref<NSDate>& other) const;
    // Raises "NSInvalidArgumentException" for a nil date.
    NSComparisonResult compare(const Ref<NSDate>& other) const;
    bool isEqualToDate(const Ref<NSDate>& other) const;

    // "yyyy-MM-dd HH:mm:ss +0000" in UTC, seconds cut to whole seconds.
    std::string description() const override;
    bool isEqual(const NSObject* other) const override;
    size_t hash() const override;
    Value valueForKey(const std::string& key) override;

    // The description text for any instant.
    static std::string descriptionForSecondsSince1970(double seconds);

private:
    NSTimeInterval m_seconds;
};
