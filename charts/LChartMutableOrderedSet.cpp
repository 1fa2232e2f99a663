#include "charts/LChartMutableOrderedSet.h"

#include <algorithm>

namespace {
bool sameMember(const Ref<NSObject>& a, const Ref<NSObject>& b)
{
    return a == b || (a && b && a->isEqual(b.get()));
}
} // namespace

void LChartMutableOrderedSet::addObject(const Ref<NSObject>& object)
{
    for (auto& member : m_array) {
        if (sameMember(member, object)) {
            member = object;
            return;
        }
    }
    m_array.push_back(object);
}

void LChartMutableOrderedSet::removeObjectsInArray(const std::vector<Ref<NSObject>>& objects)
{
    std::erase_if(m_array, [&](const Ref<NSObject>& member) {
        return std::any_of(
            objects.begin(), objects.end(), [&](const Ref<NSObject>& o) { return sameMember(member, o); });
    });
}
