#include "charts/LChartRepeatedTimePeriod.h"

#include "charts/LChartDateFrequency.h"
#include "charts/LatticeChartLog.h"
#include "foundation/NSCalendar.h"
#include "foundation/NSDate.h"
#include "foundation/NSString.h"

Ref<LChartRepeatedTimePeriod> LChartRepeatedTimePeriod::initWithStartAndLengthAndFrequency(
    const Ref<NSDate>& start, const Ref<LChartDateFrequency>& length, const Ref<LChartDateFrequency>& frequency)
{
    auto period = make<LChartRepeatedTimePeriod>();
    period->initialiseWithStartAndLength(start, length);
    if (!frequency)
        LatticeChartLog::fatalLogMessageFromSource(
            NSString::stringWithFormat("%@: frequency is nil", period->className()), period.get());
    if (!(frequency->toSeconds() > 0))
        LatticeChartLog::fatalLogMessageFromSource(
            NSString::stringWithFormat("%@: frequency must be greater than zero", period->className()), period.get());
    if (!(length->toSeconds() < frequency->toSeconds()))
        LatticeChartLog::fatalLogMessageFromSource(
            NSString::stringWithFormat("%@: length must be shorter than frequency", period->className()), period.get());
    period->m_frequency = frequency;
    return period;
}

Ref<LChartRepeatedTimePeriod> LChartRepeatedTimePeriod::initWithStartAndLength(
    const Ref<NSDate>&, const Ref<LChartDateFrequency>&)
{
    LatticeChartLog::fatalLogMessageFromSource(NSString::stringWithFormat("You must initialise a repeated date period "
                                                                          "using %@",
                                                   "initWithStart:andLength:andFrequency:"),
        nullptr);
}

bool LChartRepeatedTimePeriod::isEqual(const NSObject* other) const
{
    auto* period = dynamic_cast<const LChartRepeatedTimePeriod*>(other);
    return period && LChartTimePeriod::isEqual(other) && m_frequency && m_frequency->isEqual(period->m_frequency.get());
}

std::string LChartRepeatedTimePeriod::description() const
{
    return NSString::stringWithFormat(
        "%@ x %@", LChartTimePeriod::description(), m_frequency ? m_frequency->description() : std::string("(null)"));
}

void LChartRepeatedTimePeriod::hop(bool forward)
{
    auto components = forward ? m_frequency->dateComponents() : m_frequency->getNegativeDateComponents();
    m_start = m_cal->dateByAddingComponentsToDateOptions(components, m_start);
}

bool LChartRepeatedTimePeriod::isBefore(const Ref<NSDate>& date) const
{
    return m_start->timeIntervalSince1970() < date->timeIntervalSince1970();
}

void LChartRepeatedTimePeriod::positionBefore(const Ref<NSDate>& date)
{
    double target = date->timeIntervalSince1970();
    while (m_start->timeIntervalSince1970() < target)
        hopForward();
    while (m_start->timeIntervalSince1970() > target)
        hopBackward();
}

bool LChartRepeatedTimePeriod::skipsOver(const Ref<NSDate>& date)
{
    positionBefore(date);
    double seconds = date->timeIntervalSince1970();
    return m_start->timeIntervalSince1970() <= seconds && seconds < periodEnd()->timeIntervalSince1970();
}
