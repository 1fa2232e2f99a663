#pragma once

#include "foundation/NSDateComponents.h"
#include "foundation/NSObject.h"

// A calendar interval of one unit: so many seconds, minutes, hours, days, weeks, months or
// years. Date axes use it for tick frequencies and range paddings; toSeconds is only a measure
// for comparisons (months of 28 days, years of 365 days), stepping uses calendar arithmetic.
// Main thread only.
class LChartDateFrequency final : public NSObject {
    VX_OBJECT(LChartDateFrequency, NSObject)
public:
    enum Denomination : int32_t { Second = 0, Minute, Hour, Day, Week, Month, Year };

    explicit LChartDateFrequency(Passkey key)
        : NSObject(key)
    {
    }
    // No unit: fatal.
    static Ref<LChartDateFrequency> init();
    static Ref<LChartDateFrequency> initWithYear(int32_t count) { return withUnit(Year, count); }
    static Ref<LChartDateFrequency> initWithMonth(int32_t count) { return withUnit(Month, count); }
    static Ref<LChartDateFrequency> initWithWeek(int32_t count) { return withUnit(Week, count); }
    static Ref<LChartDateFrequency> initWithDay(int32_t count) { return withUnit(Day, count); }
    static Ref<LChartDateFrequency> initWithHour(int32_t count) { return withUnit(Hour, count); }
    static Ref<LChartDateFrequency> initWithMinute(int32_t count) { return withUnit(Minute, count); }
    static Ref<LChartDateFrequency> initWithSecond(int32_t count) { return withUnit(Second, count); }

    // A count ≤ 0 is logged and 1 is set; every other unit becomes 0.
    void setYear(int32_t count) { setUnit(Year, count); }
    void setMonth(int32_t count) { setUnit(Month, count); }
    void setWeek(int32_t count) { setUnit(Week, count); }
    void setDay(int32_t count) { setUnit(Day, count); }
    void setHour(int32_t count) { setUnit(Hour, count); }
    void setMinute(int32_t count) { setUnit(Minute, count); }
    void setSecond(int32_t count) { setUnit(Second, count); }
    int32_t year() const { return m_counts[Year]; }
    int32_t month() const { return m_counts[Month]; }
    int32_t week() const { return m_counts[Week]; }
    int32_t day() const { return m_counts[Day]; }
    int32_t hour() const { return m_counts[Hour]; }
    int32_t minute() const { return m_counts[Minute]; }
    int32_t second() const { return m_counts[Second]; }

    int32_t denomination() const { return m_denomination; }
    void setDenomination(int32_t denomination) { m_denomination = denomination; }
    // The one unit's count as date components (the others 0).
    Ref<NSDateComponents> dateComponents() const;
    // Every unit negated, for stepping backwards.
    Ref<NSDateComponents> getNegativeDateComponents() const;
    // Count × seconds per unit; an unknown denomination is fatal.
    double toSeconds() const;
    Ref<LChartDateFrequency> copy() const;

    bool isEqual(const NSObject* other) const override;
    // "LChartDateFrequency = { Y=.., M=.., W=.., D=.., h=.., m=.., s=.. }".
    std::string description() const override;

private:
    static Ref<LChartDateFrequency> withUnit(Denomination unit, int32_t count);
    void setUnit(Denomination unit, int32_t count);

    int32_t m_counts[7] {};
    int32_t m_denomination { Second };
};
