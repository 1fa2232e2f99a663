#pragma once

#include "charts/LChartSkip.h"

#include <vector>

// An axis's skips in ascending order of start, none overlapping. Main thread, or the loading
// queue for a stub copy's own list.
class LChartSkipList final : public NSObject {
    VX_OBJECT(LChartSkipList, NSObject)
public:
    explicit LChartSkipList(Passkey key)
        : NSObject(key)
    {
    }
    static Ref<LChartSkipList> init() { return make<LChartSkipList>(); }
    // A new list with new skips of the same bounds.
    static Ref<LChartSkipList> skipListWithSkipList(const LChartSkipList& list);

    // Inserted after every skip starting at or before it; overlapping neighbours are fatal.
    void addSkip(const Ref<LChartSkip>& skip);
    void removeAllSkips() { m_skips.clear(); }
    bool isEmpty() const { return m_skips.empty(); }
    const std::vector<Ref<LChartSkip>>& skips() const { return m_skips; }

    Ref<LChartSkip> skipContaining(double x) const;
    // The last skip starting at or before x (INT32_MAX as the index when there is none).
    int32_t indexLastRelevantTo(double x) const;
    Ref<LChartSkip> lastRelevantTo(double x) const;
    // Lengths up to and including the skip (all of them when it is not in the list; 0 for null).
    double sumOfSkipsUpToIncluding(const Ref<LChartSkip>& skip) const;
    // The left-out range below x.
    double sumOfSkipsUpTo(double x) const;
    // The left-out range of skips i to j below `last` (skip i and those after it; 0 for j < 0).
    double sumOfSkipsBetweenIndexAndIndexLastPoint(int32_t i, int32_t j, double last) const;
    // The left-out range between a and b: skipped time below b that is not below a.
    double sumOfSkipsBetweenAnd(double a, double b) const;

    std::string description() const override;

private:
    std::vector<Ref<LChartSkip>> m_skips;
};
