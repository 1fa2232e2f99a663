#pragma once

#include "foundation/NSObject.h"

#include <memory>
#include <optional>
#include <string>

// A time zone: a region's rules (daylight saving included) or a fixed offset from GMT.
// Immutable once made, so any thread. The default zone is process-wide; tests pin it.
class NSTimeZone final : public NSObject {
    VX_OBJECT(NSTimeZone, NSObject)
public:
    struct Impl;
    NSTimeZone(Passkey, std::unique_ptr<Impl> impl);
    ~NSTimeZone() override;

    // A zone by region name ("America/New_York", "UTC", "GMT"); nullptr for an unknown name.
    static Ref<NSTimeZone> timeZoneWithName(const std::string& name);
    // A fixed offset. The name is "GMT" for 0, otherwise "GMT+hhmm"/"GMT-hhmm". Offsets beyond
    // 18 hours either way answer nullptr.
    static Ref<NSTimeZone> timeZoneForSecondsFromGMT(NSInteger seconds);
    // "UTC", "GMT", "EST" ... and "GMT+1"-style texts; nullptr when not recognised.
    static Ref<NSTimeZone> timeZoneWithAbbreviation(const std::string& abbreviation);

    // The host's zone, unless a test has pinned one.
    static Ref<NSTimeZone> systemTimeZone();
    // The zone set with setDefaultTimeZone, else the system zone.
    static Ref<NSTimeZone> defaultTimeZone();
    static Ref<NSTimeZone> localTimeZone() { return defaultTimeZone(); }
    static void setDefaultTimeZone(const Ref<NSTimeZone>& zone);

    // Test seam: pins the system zone to a named zone (an unknown name pins UTC) and clears any
    // default set with setDefaultTimeZone. resetForTesting returns to the host's zone.
    static void setDefaultTimeZoneForTesting(const std::string& name);
    static void resetForTesting();

    const std::string& name() const;
    // Abbreviation such as "EST"/"EDT", "GMT+1" where the zone has none; at now or at a date.
    std::string abbreviation() const;
    std::string abbreviationForDate(const Ref<NSDate>& date) const;
    NSInteger secondsFromGMT() const;
    NSInteger secondsFromGMTForDate(const Ref<NSDate>& date) const;
    bool isDaylightSavingTime() const;
    bool isDaylightSavingTimeForDate(const Ref<NSDate>& date) const;
    NSTimeInterval daylightSavingTimeOffsetForDate(const Ref<NSDate>& date) const;

    // Seconds from GMT at an instant given in seconds since 1970.
    NSInteger secondsFromGMTAt(double secondsSince1970) const;
    bool isDaylightSavingTimeAt(double secondsSince1970) const;

    std::string description() const override;
    bool isEqual(const NSObject* other) const override;
    size_t hash() const override;

    const Impl& impl() const { return *m_impl; }

private:
    std::unique_ptr<Impl> m_impl;
};
