#include "charts/LChartTimePeriod.h"

#include "charts/LChartDateFrequency.h"
#include "charts/LatticeChartLog.h"
#include "foundation/NSCalendar.h"
#include "foundation/NSDate.h"
#include "foundation/NSString.h"

Ref<LChartTimePeriod> LChartTimePeriod::initWithStartAndLength(
    const Ref<NSDate>& start, const Ref<LChartDateFrequency>& length)
{
    auto period = make<LChartTimePeriod>();
    period->initialiseWithStartAndLength(start, length);
    return period;
}

void LChartTimePeriod::initialiseWithStartAndLength(const Ref<NSDate>& start, const Ref<LChartDateFrequency>& length)
{
    if (!start)
        LatticeChartLog::fatalLogMessageFromSource(
            NSString::stringWithFormat("%@: %s is nil", className(), "start-date"), this);
    if (!length)
        LatticeChartLog::fatalLogMessageFromSource(
            NSString::stringWithFormat("%@: %s is nil", className(), "length"), this);
    m_start = start;
    m_length = length;
    m_cal = NSCalendar::currentCalendar();
}

Ref<NSDate> LChartTimePeriod::periodEnd() const
{
    if (!m_start || !m_length || !m_cal)
        return nullptr;
    return m_cal->dateByAddingComponentsToDateOptions(m_length->dateComponents(), m_start);
}

NSComparisonResult LChartTimePeriod::compare(const LChartTimePeriod& other) const
{
    return m_start->compare(other.m_start);
}

bool LChartTimePeriod::isEqual(const NSObject* other) const
{
    auto* period = dynamic_cast<const LChartTimePeriod*>(other);
    return period && m_start->isEqualToDate(period->m_start) && m_length->isEqual(period->m_length.get());
}

std::string LChartTimePeriod::description() const
{
    // Also printed while a fatal error reports a period that is still being made.
    auto text = [](const Ref<NSDate>& date) { return date ? date->description() : std::string("(null)"); };
    return NSString::stringWithFormat("%@: %@ - %@", className(), text(m_start), text(periodEnd()));
}
