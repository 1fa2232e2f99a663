#pragma once

#include "foundation/NSObject.h"

#include <vector>

// Members in insertion order, each listed once (by isEqual); adding an equal member replaces
// it in place. Main thread.
class LChartMutableOrderedSet final : public NSObject {
    VX_OBJECT(LChartMutableOrderedSet, NSObject)
public:
    explicit LChartMutableOrderedSet(Passkey key)
        : NSObject(key)
    {
    }
    static Ref<LChartMutableOrderedSet> orderedSet() { return make<LChartMutableOrderedSet>(); }

    void addObject(const Ref<NSObject>& object);
    size_t count() const { return m_array.size(); }
    void removeObjectsInArray(const std::vector<Ref<NSObject>>& objects);
    void removeAllObjects() { m_array.clear(); }
    // A copy of the members, in order.
    std::vector<Ref<NSObject>> array() const { return m_array; }
    auto begin() const { return m_array.begin(); }
    auto end() const { return m_array.end(); }

private:
    std::vector<Ref<NSObject>> m_array;
};
