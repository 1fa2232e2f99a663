#pragma once

#include "foundation/Clock.h"
#include "foundation/NSLocale.h"
#include "foundation/NSTimeZone.h"

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
