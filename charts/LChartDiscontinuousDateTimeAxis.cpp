#include "charts/LChartDiscontinuousDateTimeAxis.h"

#include "charts/LChartRepeatedTimePeriod.h"
#include "charts/LChartSkip.h"
#include "charts/LChartSkipList.h"
#include "foundation/NSCalendar.h"
#include "foundation/NSDate.h"

#include <algorithm>

namespace {

Ref<NSDate> dateOf(const Value& value)
{
    return NSDate::dateWithTimeIntervalSince1970(value.isDate() ? value.dateValue() : value.doubleValue());
}

// Occurrences of a repeated period a rebuild may turn into skips; far beyond any real data.
constexpr int32_t kMaxOccurrences = 1000000;

} // namespace

Ref<LChartDiscontinuousDateTimeAxis> LChartDiscontinuousDateTimeAxis::init()
{
    auto axis = make<LChartDiscontinuousDateTimeAxis>();
    axis->initialise();
    axis->initialiseDateTimeAxis();
    return axis;
}

void LChartDiscontinuousDateTimeAxis::addExcludedTimePeriod(const Ref<LChartTimePeriod>& period)
{
    if (!period)
        return;
    m_singleSkips.push_back(period);
    std::stable_sort(m_singleSkips.begin(), m_singleSkips.end(),
        [](const auto& a, const auto& b) { return a->compare(*b) == NSOrderedAscending; });
    m_needSkipUpdate = true;
}

void LChartDiscontinuousDateTimeAxis::addExcludedRepeatedTimePeriod(const Ref<LChartRepeatedTimePeriod>& period)
{
    if (!period)
        return;
    m_repeatedSkips.push_back(period);
    m_needSkipUpdate = true;
}

void LChartDiscontinuousDateTimeAxis::removeExcludedTimePeriod(const Ref<LChartTimePeriod>& period)
{
    std::erase_if(m_singleSkips, [&](const auto& known) { return known->isEqual(period.get()); });
    m_needSkipUpdate = true;
}

void LChartDiscontinuousDateTimeAxis::removeExcludedRepeatedTimePeriod(const Ref<LChartRepeatedTimePeriod>& period)
{
    std::erase_if(m_repeatedSkips, [&](const auto& known) { return known->isEqual(period.get()); });
    m_needSkipUpdate = true;
}

void LChartDiscontinuousDateTimeAxis::configureWithDataMinAndDataMax(const Value& dataMin, const Value& dataMax)
{
    m_dataMin = dateOf(dataMin);
    m_dataMax = dateOf(dataMax);
    m_needSkipUpdate = true;
    updateAllSkips();
}

void LChartDiscontinuousDateTimeAxis::updateAllSkips()
{
    if (!m_needSkipUpdate)
        return;
    m_needSkipUpdate = false;
    clearSkips();
    updateDateSkips();
    updateRepeatedDateSkips();
}

void LChartDiscontinuousDateTimeAxis::updateDateSkips()
{
    for (const auto& period : m_singleSkips)
        addSkipFromTo(period->periodStart()->timeIntervalSince1970(), period->periodEnd()->timeIntervalSince1970());
}

void LChartDiscontinuousDateTimeAxis::updateRepeatedDateSkips()
{
    if (!m_dataMin || !m_dataMax)
        return;
    for (const auto& period : m_repeatedSkips) {
        period->positionBefore(m_dataMin);
        for (int32_t n = 0; period->isBefore(m_dataMax) && n < kMaxOccurrences; ++n) {
            addSkipFromTo(period->periodStart()->timeIntervalSince1970(), period->periodEnd()->timeIntervalSince1970());
            period->hopForward();
        }
    }
}

bool LChartDiscontinuousDateTimeAxis::isSkippedData(const Value& value) const
{
    if (value.isNil())
        return false;
    Ref<NSDate> date = dateOf(value);
    if (LChartAxis::isSkippedData(Value::date(date->timeIntervalSince1970())))
        return true;
    return std::any_of(
        m_repeatedSkips.begin(), m_repeatedSkips.end(), [&](const auto& period) { return period->skipsOver(date); });
}

Value LChartDiscontinuousDateTimeAxis::transformValueToInternal(const Value& value) const
{
    if (value.isNil())
        return {};
    return LChartDateTimeAxis::transformValueToInternal(transformValueFromDiscontinous(value));
}

Value LChartDiscontinuousDateTimeAxis::transformValueToExternal(const Value& value) const
{
    if (value.isNil())
        return {};
    return transformValueToDiscontinous(LChartDateTimeAxis::transformValueToExternal(value));
}

Ref<NSDate> LChartDiscontinuousDateTimeAxis::dateFromApplyingComponentsToDateGoingBackwardsMajor(
    const Ref<NSDateComponents>& components, const Ref<NSDate>& date, bool backwards, bool major) const
{
    Ref<NSDate> result
        = LChartDateTimeAxis::dateFromApplyingComponentsToDateGoingBackwardsMajor(components, date, backwards, major);
    if (!backwards || !result)
        return result;
    // A backward step into skipped time continues from the skip's start, so no tick lies inside.
    for (int32_t n = 0; n < kMaxOccurrences; ++n) {
        auto skip = skipList()->skipContaining(result->timeIntervalSince1970());
        if (!skip)
            break;
        result = LChartDateTimeAxis::dateFromApplyingComponentsToDateGoingBackwardsMajor(
            components, NSDate::dateWithTimeIntervalSince1970(skip->start()), backwards, major);
    }
    return result;
}

double LChartDiscontinuousDateTimeAxis::jumpToFirstTickValueWithMinimumAlignedToAnchorPoint(double, double anchor) const
{
    return anchor;
}

Ref<LChartAxis> LChartDiscontinuousDateTimeAxis::stubCopyOfAxisForDataLoading() const
{
    auto copy
        = std::static_pointer_cast<LChartDiscontinuousDateTimeAxis>(LChartDateTimeAxis::stubCopyOfAxisForDataLoading());
    // Repeated periods move as they are walked over the data, so the copy a load works on gets
    // periods of its own; single periods never change and are shared.
    copy->m_repeatedSkips.clear();
    for (const auto& period : m_repeatedSkips)
        copy->m_repeatedSkips.push_back(LChartRepeatedTimePeriod::initWithStartAndLengthAndFrequency(
            period->periodStart(), period->periodLength(), period->frequency()));
    copy->m_singleSkips = m_singleSkips;
    return copy;
}

void LChartDiscontinuousDateTimeAxis::reconfigureFromStubbedAxisCopy(const LChartAxis& copy)
{
    LChartDateTimeAxis::reconfigureFromStubbedAxisCopy(copy);
    if (auto* discontinuous = dynamic_cast<const LChartDiscontinuousDateTimeAxis*>(&copy)) {
        m_repeatedSkips = discontinuous->m_repeatedSkips;
        m_singleSkips = discontinuous->m_singleSkips;
    }
}
