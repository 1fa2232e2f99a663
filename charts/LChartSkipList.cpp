#include "charts/LChartSkipList.h"

#include "charts/LatticeChartLog.h"
#include "foundation/NSString.h"

#include <algorithm>

Ref<LChartSkipList> LChartSkipList::skipListWithSkipList(const LChartSkipList& list)
{
    auto copy = init();
    for (const auto& skip : list.m_skips)
        copy->addSkip(LChartSkip::skipWithStartAndEnd(skip->start(), skip->end()));
    return copy;
}

void LChartSkipList::addSkip(const Ref<LChartSkip>& skip)
{
    auto position = std::find_if(
        m_skips.begin(), m_skips.end(), [&](const Ref<LChartSkip>& s) { return s->start() > skip->start(); });
    m_skips.insert(position, skip);
    for (size_t i = 0; i + 1 < m_skips.size(); ++i) {
        if (m_skips[i]->overlapsWith(*m_skips[i + 1])) {
            LatticeChartLog::fatalLogMessageFromSource(
                NSString::stringWithFormat("Axis has overlapping skip periods %@ "
                                           "and %@",
                    m_skips[i]->description(), m_skips[i + 1]->description()),
                this);
        }
    }
}

Ref<LChartSkip> LChartSkipList::skipContaining(double x) const
{
    for (const auto& skip : m_skips) {
        if (LChartSkip::valueIsGreaterThanOrEqualToAndStrictlyLessThan(x, skip->start(), skip->end()))
            return skip;
    }
    return nullptr;
}

int32_t LChartSkipList::indexLastRelevantTo(double x) const
{
    for (size_t i = m_skips.size(); i-- > 0;) {
        if (m_skips[i]->start() <= x)
            return static_cast<int32_t>(i);
    }
    return INT32_MAX;
}

Ref<LChartSkip> LChartSkipList::lastRelevantTo(double x) const
{
    int32_t index = indexLastRelevantTo(x);
    return index == INT32_MAX ? nullptr : m_skips[static_cast<size_t>(index)];
}

double LChartSkipList::sumOfSkipsUpToIncluding(const Ref<LChartSkip>& skip) const
{
    if (!skip)
        return 0;
    double sum = 0;
    for (const auto& s : m_skips) {
        sum += s->length();
        if (s == skip)
            break;
    }
    return sum;
}

double LChartSkipList::sumOfSkipsUpTo(double x) const
{
    int32_t last = indexLastRelevantTo(x);
    if (last == INT32_MAX)
        return 0;
    double sum = 0;
    for (int32_t i = 0; i <= last; ++i) {
        const auto& skip = m_skips[static_cast<size_t>(i)];
        sum += skip->end() > x ? x - skip->start() : skip->length();
    }
    return sum;
}

double LChartSkipList::sumOfSkipsBetweenIndexAndIndexLastPoint(int32_t i, int32_t j, double last) const
{
    if (j < 0)
        return 0;
    double sum = 0;
    auto end = std::min(static_cast<size_t>(j) + 1, m_skips.size());
    for (size_t k = static_cast<size_t>(std::max(i, 0)); k < end; ++k) {
        const auto& skip = m_skips[k];
        sum += skip->end() > last ? last - skip->start() : skip->length();
    }
    return sum;
}

double LChartSkipList::sumOfSkipsBetweenAnd(double a, double b) const
{
    // Only the skipped time inside [a, b] counts: the part of any skip below a is left out.
    if (indexLastRelevantTo(b) == INT32_MAX || b <= a)
        return 0;
    return sumOfSkipsUpTo(b) - sumOfSkipsUpTo(a);
}

std::string LChartSkipList::description() const
{
    std::string skips = "(";
    for (size_t i = 0; i < m_skips.size(); ++i)
        skips += (i ? ",\n    " : "\n    ") + m_skips[i]->description();
    skips += m_skips.empty() ? ")" : "\n)";
    return NSString::stringWithFormat("<%@: %p, ", className(), static_cast<const void*>(this)) + skips + ">";
}
