#include "charts/LChartDiscontinuousNumberAxis.h"

#include "charts/LatticeChartLog.h"
#include "foundation/NSString.h"

#include <algorithm>

Ref<LChartDiscontinuousNumberAxis> LChartDiscontinuousNumberAxis::init()
{
    auto axis = make<LChartDiscontinuousNumberAxis>();
    axis->initialise();
    axis->initialiseNumberAxis();
    return axis;
}

void LChartDiscontinuousNumberAxis::addSkip(const LChartNumberSkip& skip)
{
    double span = skip.end - skip.start;
    if (span <= 0) {
        LatticeChartLog::fatalLogMessageFromSource(
            NSString::stringWithFormat("Can't add skip with a %s span (%f)", span == 0 ? "zero" : "negative", span),
            this);
    }
    addSkipFromTo(skip.start, skip.end);
    m_savedSkips.push_back(skip);
}

void LChartDiscontinuousNumberAxis::removeSkip(const LChartNumberSkip& skip)
{
    auto found = std::find(m_savedSkips.begin(), m_savedSkips.end(), skip);
    if (found != m_savedSkips.end())
        m_savedSkips.erase(found);
    clearSkips();
    for (const auto& s : m_savedSkips)
        addSkipFromTo(s.start, s.end);
}

Value LChartDiscontinuousNumberAxis::transformValueToInternal(const Value& value) const
{
    if (value.isNil())
        return {};
    return LChartNumberAxis::transformValueToInternal(transformValueFromDiscontinous(value));
}

Value LChartDiscontinuousNumberAxis::transformValueToExternal(const Value& value) const
{
    if (value.isNil())
        return {};
    return transformValueToDiscontinous(LChartNumberAxis::transformValueToExternal(value));
}

Ref<LChartAxis> LChartDiscontinuousNumberAxis::stubCopyOfAxisForDataLoading() const
{
    auto copy
        = std::static_pointer_cast<LChartDiscontinuousNumberAxis>(LChartNumberAxis::stubCopyOfAxisForDataLoading());
    copy->m_savedSkips = m_savedSkips;
    return copy;
}

void LChartDiscontinuousNumberAxis::reconfigureFromStubbedAxisCopy(const LChartAxis& copy)
{
    LChartNumberAxis::reconfigureFromStubbedAxisCopy(copy);
    if (auto* other = dynamic_cast<const LChartDiscontinuousNumberAxis*>(&copy))
        m_savedSkips = other->m_savedSkips;
}
