#pragma once

#include "charts/LChartTimePeriod.h"

// A time period that recurs every `frequency` (weekends, nights). Positioning moves its start
// along the time line, so one object walks over the occurrences. Main thread only.
class LChartRepeatedTimePeriod final : public LChartTimePeriod {
    VX_OBJECT(LChartRepeatedTimePeriod, LChartTimePeriod)
public:
    explicit LChartRepeatedTimePeriod(Passkey key)
        : LChartTimePeriod(key)
    {
    }
    // A nil frequency, one of no length, or a length not shorter than the frequency is fatal.
    static Ref<LChartRepeatedTimePeriod> initWithStartAndLengthAndFrequency(
        const Ref<NSDate>& start, const Ref<LChartDateFrequency>& length, const Ref<LChartDateFrequency>& frequency);
    // A repeated period needs its frequency: this is fatal.
    static Ref<LChartRepeatedTimePeriod> initWithStartAndLength(
        const Ref<NSDate>& start, const Ref<LChartDateFrequency>& length);

    const Ref<LChartDateFrequency>& frequency() const { return m_frequency; }
    bool isEqual(const NSObject* other) const override;
    // "<period> x <frequency>".
    std::string description() const override;

    // Moves the start one frequency forwards or backwards.
    void hop(bool forward);
    void hopForward() { hop(true); }
    void hopBackward() { hop(false); }
    bool isBefore(const Ref<NSDate>& date) const;
    // Moves to the last occurrence that starts at or before the date.
    void positionBefore(const Ref<NSDate>& date);
    // Whether the occurrence around the date covers it (start ≤ date < end).
    bool skipsOver(const Ref<NSDate>& date);

private:
    Ref<LChartDateFrequency> m_frequency;
};
