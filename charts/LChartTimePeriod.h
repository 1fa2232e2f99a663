#pragma once

#include "foundation/NSObject.h"

class LChartDateFrequency;
class NSCalendar;
class NSDate;

// A stretch of time from a start date for a calendar length; discontinuous date axes leave
// such periods out. The calendar is the current one when the period is made. Main thread only.
class LChartTimePeriod : public NSObject {
    VX_OBJECT(LChartTimePeriod, NSObject)
public:
    explicit LChartTimePeriod(Passkey key)
        : NSObject(key)
    {
    }
    // A nil start or length is fatal.
    static Ref<LChartTimePeriod> initWithStartAndLength(
        const Ref<NSDate>& start, const Ref<LChartDateFrequency>& length);

    const Ref<NSDate>& periodStart() const { return m_start; }
    const Ref<LChartDateFrequency>& periodLength() const { return m_length; }
    // The start plus the length, in calendar arithmetic.
    Ref<NSDate> periodEnd() const;
    // By start date.
    NSComparisonResult compare(const LChartTimePeriod& other) const;
    // Equal starts and equal lengths.
    bool isEqual(const NSObject* other) const override;
    // "<class>: <start> - <end>".
    std::string description() const override;

protected:
    void initialiseWithStartAndLength(const Ref<NSDate>& start, const Ref<LChartDateFrequency>& length);

    Ref<NSDate> m_start;
    Ref<LChartDateFrequency> m_length;
    Ref<NSCalendar> m_cal;
};
