#pragma once

#include "foundation/NSObject.h"
#include "foundation/Value.h"

// An immutable stretch of values: a minimum and a maximum number (internal units, or seconds
// since 1970 for a date range). No order is enforced; a reversed range has a negative span.
// Any thread (immutable).
class LChartRange : public NSObject {
    VX_OBJECT(LChartRange, NSObject)
public:
    LChartRange(Passkey key, Value minimum, Value maximum)
        : NSObject(key)
        , m_minimum(std::move(minimum))
        , m_maximum(std::move(maximum))
    {
    }

    static Ref<LChartRange> initWithMinimumAndMaximum(const Value& minimum, const Value& maximum);
    // A new range of the same class as `range`, holding the same two values.
    static Ref<LChartRange> rangeWithRange(const Ref<LChartRange>& range);

    const Value& minimum() const { return m_minimum; }
    const Value& maximum() const { return m_maximum; }
    double min() const { return m_minimum.doubleValue(); }
    double max() const { return m_maximum.doubleValue(); }
    // maximum − minimum, as doubles.
    Value span() const { return Value(max() - min()); }

    // "{ <min>, <max> }" with both ends printed as "%f".
    std::string description() const override;

protected:
    // Makes a range of this object's own class with the given ends.
    virtual Ref<LChartRange> makeSameKind(const Value& minimum, const Value& maximum) const;

private:
    Value m_minimum;
    Value m_maximum;
};
