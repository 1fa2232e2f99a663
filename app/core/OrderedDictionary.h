#pragma once

#include "foundation/NSObject.h"
#include "foundation/Value.h"

#include <string>
#include <unordered_map>
#include <vector>

class NSLocale;

// A mutable dictionary that remembers the order in which its keys were first added: key
// lists, enumeration and the text form follow that order. Replacing the value of a key keeps
// its place; removing and adding it again puts it last. Not thread-safe: one thread at a time.
class OrderedDictionary : public NSObject {
    VX_OBJECT(OrderedDictionary, NSObject)
public:
    explicit OrderedDictionary(Passkey);

    static Ref<OrderedDictionary> init();
    static Ref<OrderedDictionary> initWithCapacity(uint32_t capacity);
    // An empty one (the platform's `dictionary` convenience).
    static Ref<OrderedDictionary> dictionary() { return init(); }

    void setObjectForKey(const Value& object, const Value& key);
    void removeObjectForKey(const Value& key);
    // Moves an existing key: it is removed first, and `index` is a place in the order after that.
    // An index past the end appends.
    void insertObjectForKeyAtIndex(const Value& object, const Value& key, uint32_t index);

    uint32_t count() const { return static_cast<uint32_t>(m_array.size()); }
    // Nil when absent.
    Value objectForKey(const Value& key) const;
    // The keys first to last, and last to first.
    std::vector<Value> keyEnumerator() const { return m_array; }
    std::vector<Value> reverseKeyEnumerator() const;
    std::vector<Value> allKeys() const { return m_array; }
    // Nil past the end.
    Value keyAtIndex(uint32_t index) const;

    // A mutable dictionary (Value) with the entries in order.
    Value copy() const;
    Value mutableCopy() const { return copy(); }

    // "{\n", one "    key = value;\n" per entry in order, "}\n", every line indented by four
    // blanks per level. Nested ordered dictionaries are written at the same level.
    std::string descriptionWithLocaleIndent(const Ref<NSLocale>& locale, uint32_t level) const;
    std::string description() const override { return descriptionWithLocaleIndent(nullptr, 0); }

private:
    std::unordered_map<Value, Value, ValueHash, ValueEqual> m_dictionary;
    std::vector<Value> m_array;
};
