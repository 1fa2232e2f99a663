#pragma once

#include "charts/LChartRange.h"

// A range of dates, held as numbers of seconds since 1970.
class LChartDateRange final : public LChartRange {
    VX_OBJECT(LChartDateRange, LChartRange)
public:
    LChartDateRange(Passkey key, Value minimum, Value maximum)
        : LChartRange(key, std::move(minimum), std::move(maximum))
    {
    }
    static Ref<LChartDateRange> initWithMinimumAndMaximum(const Value& minimum, const Value& maximum);
    // Two dates (Value dates or numbers of seconds since 1970).
    static Ref<LChartDateRange> initWithDateMinimumAndDateMaximum(const Value& minimum, const Value& maximum);

    Value minimumAsDate() const { return Value::date(min()); }
    Value maximumAsDate() const { return Value::date(max()); }

    // "{ <min date>, <max date> }".
    std::string description() const override;

protected:
    Ref<LChartRange> makeSameKind(const Value& minimum, const Value& maximum) const override
    {
        return initWithMinimumAndMaximum(minimum, maximum);
    }
};
