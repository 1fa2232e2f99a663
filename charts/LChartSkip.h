#pragma once

#include "foundation/NSObject.h"

// A left-out stretch of an axis: the values start ≤ v < end (data units; seconds since 1970
// on date axes). Immutable.
class LChartSkip final : public NSObject {
    VX_OBJECT(LChartSkip, NSObject)
public:
    LChartSkip(Passkey key, double start, double end)
        : NSObject(key)
        , m_start(start)
        , m_end(end)
    {
    }
    // An end not above the start is fatal.
    static Ref<LChartSkip> skipWithStartAndEnd(double start, double end);
    double start() const { return m_start; }
    double end() const { return m_end; }
    double length() const { return m_end - m_start; }
    static bool valueIsGreaterThanOrEqualToAndStrictlyLessThan(double x, double lo, double hi)
    {
        return lo <= x && x < hi;
    }
    // Whether the other skip's start or end lies inside this one.
    bool overlapsWith(const LChartSkip& other) const;
    // "<LChartSkip: start - end, length length>".
    std::string description() const override;

private:
    double m_start;
    double m_end;
};
