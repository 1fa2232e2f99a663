#include "charts/LChartDateRange.h"

#include "foundation/NSString.h"

namespace {

Value secondsSince1970(const Value& date)
{
    return Value(date.isDate() ? date.dateValue() : date.doubleValue());
}

} // namespace

Ref<LChartDateRange> LChartDateRange::initWithMinimumAndMaximum(const Value& minimum, const Value& maximum)
{
    return make<LChartDateRange>(minimum, maximum);
}

Ref<LChartDateRange> LChartDateRange::initWithDateMinimumAndDateMaximum(const Value& minimum, const Value& maximum)
{
    return make<LChartDateRange>(secondsSince1970(minimum), secondsSince1970(maximum));
}

std::string LChartDateRange::description() const
{
    return NSString::stringWithFormat("{ %@, %@ }", minimumAsDate(), maximumAsDate());
}
