#pragma once

#include "foundation/Clock.h"
#include "foundation/NSLocale.h"
#include "foundation/NSTimeZone.h"

#include <ctime>
#include <memory>
#include <string>

// A clock that stands still at a chosen wall time.
class FixedClock final : public ClockSource {
public:
    explicit FixedClock(double wall)
        : m_wall(wall)
    {
    }
    double wallTime() const override { return m_wall; }
    double mediaTime() const override { return 0; }
    bool isVirtual() const override { return true; }

private:
    double m_wall;
};

// Seconds since 1970 of a UTC calendar date and time (month 1 to 12).
inline double utcTime(int year, int month, int day, int hour = 0, int minute = 0, int second = 0)
{
    std::tm parts {};
    parts.tm_year = year - 1900;
    parts.tm_mon = month - 1;
    parts.tm_mday = day;
    parts.tm_hour = hour;
    parts.tm_min = minute;
    parts.tm_sec = second;
    return static_cast<double>(::timegm(&parts));
}

// Pins the current locale, the default time zone and (optionally) now for one test, and puts
// back the host's values afterwards.
class PinnedTime {
public:
    PinnedTime(const std::string& locale, const std::string& zone, double now = -1)
    {
        NSLocale::setCurrentLocaleForTesting(locale);
        NSTimeZone::setDefaultTimeZoneForTesting(zone);
        m_previousClock = Clock::source();
        if (now >= 0)
            Clock::setSource(std::make_shared<FixedClock>(now));
    }
    ~PinnedTime()
    {
        Clock::setSource(m_previousClock);
        NSLocale::resetForTesting();
        NSTimeZone::resetForTesting();
    }
    PinnedTime(const PinnedTime&) = delete;
    PinnedTime& operator=(const PinnedTime&) = delete;

private:
    std::shared_ptr<ClockSource> m_previousClock;
};
