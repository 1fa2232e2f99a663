#include "charts/LChartDateFrequency.h"

#include "charts/LatticeChartLog.h"
#include "foundation/NSString.h"

namespace {

constexpr const char* kUnitNames[] = { "second", "minute", "hour", "day", "week", "month", "year" };
constexpr double kSecondsPerUnit[] = { 1, 60, 3600, 86400, 604800, 2419200, 31536000 };

} // namespace

Ref<LChartDateFrequency> LChartDateFrequency::init()
{
    auto frequency = make<LChartDateFrequency>();
    LatticeChartLog::fatalLogMessageFromSource(
        "An LChartDateFrequency cannot be initialized without any values. Use one "
        "of the other provided initializers such as 'initWithYear:'",
        frequency.get());
}

Ref<LChartDateFrequency> LChartDateFrequency::withUnit(Denomination unit, int32_t count)
{
    auto frequency = make<LChartDateFrequency>();
    frequency->setUnit(unit, count);
    return frequency;
}

void LChartDateFrequency::setUnit(Denomination unit, int32_t count)
{
    if (count <= 0) {
        LatticeChartLog::logMessageFromSource(
            NSString::stringWithFormat(
                "Attempt to set %s of LChartDateFrequency object to negative or zero - a default "
                "of 1 has been set.",
                kUnitNames[unit]),
            this);
        count = 1;
    }
    for (auto& c : m_counts)
        c = 0;
    m_counts[unit] = count;
    m_denomination = unit;
}

Ref<NSDateComponents> LChartDateFrequency::dateComponents() const
{
    auto components = NSDateComponents::init();
    components->setSecond(m_counts[Second]);
    components->setMinute(m_counts[Minute]);
    components->setHour(m_counts[Hour]);
    components->setDay(m_counts[Day]);
    components->setWeek(m_counts[Week]);
    components->setMonth(m_counts[Month]);
    components->setYear(m_counts[Year]);
    return components;
}

Ref<NSDateComponents> LChartDateFrequency::getNegativeDateComponents() const
{
    auto components = NSDateComponents::init();
    components->setSecond(-m_counts[Second]);
    components->setMinute(-m_counts[Minute]);
    components->setHour(-m_counts[Hour]);
    components->setDay(-m_counts[Day]);
    components->setWeek(-m_counts[Week]);
    components->setMonth(-m_counts[Month]);
    components->setYear(-m_counts[Year]);
    return components;
}

double LChartDateFrequency::toSeconds() const
{
    if (m_denomination < Second || m_denomination > Year) {
        LatticeChartLog::fatalLogMessageFromSource(
            NSString::stringWithFormat("toSeconds does not cater for denomination: %d", m_denomination), this);
    }
    return m_counts[m_denomination] * kSecondsPerUnit[m_denomination];
}

Ref<LChartDateFrequency> LChartDateFrequency::copy() const
{
    if (m_denomination < Second || m_denomination > Year)
        LatticeChartLog::fatalLogMessageFromSource("Copying LChartDateFrequency failed", this);
    auto other = initWithSecond(1);
    other->setUnit(static_cast<Denomination>(m_denomination), m_counts[m_denomination]);
    return other;
}

bool LChartDateFrequency::isEqual(const NSObject* other) const
{
    auto* frequency = dynamic_cast<const LChartDateFrequency*>(other);
    if (!frequency)
        return false;
    for (int i = 0; i < 7; ++i) {
        if (m_counts[i] != frequency->m_counts[i])
            return false;
    }
    return true;
}

std::string LChartDateFrequency::description() const
{
    return NSString::stringWithFormat("LChartDateFrequency = { Y=%ld, M=%ld, W=%ld, D=%ld, h=%ld, m=%ld, s=%ld }",
        static_cast<long>(year()), static_cast<long>(month()), static_cast<long>(week()), static_cast<long>(day()),
        static_cast<long>(hour()), static_cast<long>(minute()), static_cast<long>(second()));
}
