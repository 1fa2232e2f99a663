#pragma once

#include "foundation/NSObject.h"
#include "foundation/Value.h"

#include <unordered_map>
#include <vector>

// Objects by number key, with the keys kept in ascending order for access by position.
// Main thread, or the loading queue while loading.
class LChartOrderedDictionary final : public NSObject {
    VX_OBJECT(LChartOrderedDictionary, NSObject)
public:
    explicit LChartOrderedDictionary(Passkey key)
        : NSObject(key)
    {
    }
    static Ref<LChartOrderedDictionary> dictionary() { return make<LChartOrderedDictionary>(); }

    // A new key is appended when it is above the last key, else inserted at its binary-search
    // position; an existing key only has its object replaced.
    void setObjectForKey(const Ref<NSObject>& object, const Value& key);
    void removeObjectForKey(const Value& key);
    void removeAllObjects();
    size_t count() const { return m_dictionary.size(); }
    Ref<NSObject> objectForKey(const Value& key) const;
    // The ascending keys themselves.
    const std::vector<Value>& allKeys() const { return m_sortedKeys; }
    // Nil, after logging "Ordered dictionary doesn't have key at index <i>", past the end.
    Value keyAtIndex(uint32_t index) const;
    Ref<NSObject> objectAtIndex(uint32_t index) const;

    template <typename T> Ref<T> objectAtIndexAs(uint32_t index) const
    {
        return std::static_pointer_cast<T>(objectAtIndex(index));
    }
    template <typename T> Ref<T> objectForKeyAs(const Value& key) const
    {
        return std::static_pointer_cast<T>(objectForKey(key));
    }

private:
    std::unordered_map<Value, Ref<NSObject>, ValueHash, ValueEqual> m_dictionary;
    std::vector<Value> m_sortedKeys;
};
