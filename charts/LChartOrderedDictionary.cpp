#include "charts/LChartOrderedDictionary.h"

#include "charts/LatticeChartLog.h"
#include "foundation/NSString.h"

#include <algorithm>

void LChartOrderedDictionary::setObjectForKey(const Ref<NSObject>& object, const Value& key)
{
    auto found = m_dictionary.find(key);
    if (found != m_dictionary.end()) {
        found->second = object;
        return;
    }
    if (m_sortedKeys.empty() || m_sortedKeys.back().doubleValue() < key.doubleValue()) {
        m_sortedKeys.push_back(key);
    } else {
        auto position = std::lower_bound(m_sortedKeys.begin(), m_sortedKeys.end(), key,
            [](const Value& a, const Value& b) { return compareValues(a, b) < 0; });
        m_sortedKeys.insert(position, key);
    }
    m_dictionary.emplace(key, object);
}

void LChartOrderedDictionary::removeObjectForKey(const Value& key)
{
    if (m_dictionary.erase(key) == 0)
        return;
    auto found = std::find_if(m_sortedKeys.begin(), m_sortedKeys.end(), [&](const Value& k) { return k.isEqual(key); });
    if (found != m_sortedKeys.end())
        m_sortedKeys.erase(found);
}

void LChartOrderedDictionary::removeAllObjects()
{
    m_dictionary.clear();
    m_sortedKeys.clear();
}

Ref<NSObject> LChartOrderedDictionary::objectForKey(const Value& key) const
{
    auto found = m_dictionary.find(key);
    return found == m_dictionary.end() ? nullptr : found->second;
}

Value LChartOrderedDictionary::keyAtIndex(uint32_t index) const
{
    if (index >= m_sortedKeys.size()) {
        LatticeChartLog::logMessageFromSource(
            NSString::stringWithFormat(
                "Ordered dictionary doesn't have key at index %lu", static_cast<unsigned long>(index)),
            this);
        return {};
    }
    return m_sortedKeys[index];
}

Ref<NSObject> LChartOrderedDictionary::objectAtIndex(uint32_t index) const
{
    Value key = keyAtIndex(index);
    return key.isNil() ? nullptr : objectForKey(key);
}
