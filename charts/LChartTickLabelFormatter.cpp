#include "charts/LChartTickLabelFormatter.h"

#include "charts/LatticeChartLog.h"
#include "foundation/NSDate.h"
#include "foundation/NSDateFormatter.h"
#include "foundation/NSNumberFormatter.h"

Ref<LChartTickLabelFormatter> LChartTickLabelFormatter::numberFormatter()
{
    auto holder = make<LChartTickLabelFormatter>();
    auto formatter = NSNumberFormatter::init();
    formatter->setNumberStyle(NSNumberFormatterDecimalStyle);
    holder->m_formatter = formatter;
    return holder;
}

Ref<LChartTickLabelFormatter> LChartTickLabelFormatter::dateFormatter()
{
    auto holder = make<LChartTickLabelFormatter>();
    holder->m_formatter = NSDateFormatter::init();
    return holder;
}

Ref<NSNumberFormatter> LChartTickLabelFormatter::heldNumberFormatter() const
{
    auto formatter = std::dynamic_pointer_cast<NSNumberFormatter>(m_formatter);
    if (!formatter)
        LatticeChartLog::logMessageFromSource("No formatter of type NSNumberFormatter found", this);
    return formatter;
}

Ref<NSDateFormatter> LChartTickLabelFormatter::heldDateFormatter() const
{
    auto formatter = std::dynamic_pointer_cast<NSDateFormatter>(m_formatter);
    if (!formatter)
        LatticeChartLog::logMessageFromSource("No formatter of type NSDateFormatter found", this);
    return formatter;
}

Value LChartTickLabelFormatter::stringForObjectValueOnAxis(const Value& value, const LChartAxis*) const
{
    if (auto numbers = std::dynamic_pointer_cast<NSNumberFormatter>(m_formatter)) {
        if (!value.isNumber())
            return {};
        return Value(numbers->stringFromNumber(value));
    }
    if (auto dates = std::dynamic_pointer_cast<NSDateFormatter>(m_formatter)) {
        if (!value.isDate() && !value.isNumber())
            return {};
        double seconds = value.isDate() ? value.dateValue() : value.doubleValue();
        return Value(dates->stringFromDate(NSDate::dateWithTimeIntervalSince1970(seconds)));
    }
    return {};
}
