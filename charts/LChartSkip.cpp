#include "charts/LChartSkip.h"

#include "charts/LatticeChartLog.h"
#include "foundation/NSString.h"

Ref<LChartSkip> LChartSkip::skipWithStartAndEnd(double start, double end)
{
    auto skip = make<LChartSkip>(start, end);
    if (!(end > start)) {
        LatticeChartLog::fatalLogMessageFromSource(
            NSString::stringWithFormat("A skip must end after it starts (%f - %f)", start, end), skip.get());
    }
    return skip;
}

bool LChartSkip::overlapsWith(const LChartSkip& other) const
{
    return valueIsGreaterThanOrEqualToAndStrictlyLessThan(other.m_start, m_start, m_end)
        || valueIsGreaterThanOrEqualToAndStrictlyLessThan(other.m_end, m_start, m_end);
}

std::string LChartSkip::description() const
{
    return NSString::stringWithFormat("<LChartSkip: %f - %f, length %f>", m_start, m_end, length());
}
