#pragma once

#include "foundation/NSObject.h"
#include "foundation/Value.h"

#include <string>
#include <unordered_map>
#include <vector>

// A set of Values that keeps insertion order: membership by isEqual (through a hash index),
// access by position. Immutable ones may be read from any thread; NSMutableOrderedSet is for
// one thread at a time. Elements must not change their equality while in the set. Keyed
// archives hold ordered sets in the platform's form ("NS.objects" with the elements).
class NSOrderedSet : public NSObject {
    VX_OBJECT(NSOrderedSet, NSObject)
public:
    explicit NSOrderedSet(Passkey key)
        : NSObject(key)
    {
    }

    static Ref<NSOrderedSet> orderedSet();
    // Later duplicates are dropped; nil elements are skipped.
    static Ref<NSOrderedSet> orderedSetWithArray(const std::vector<Value>& elements);
    static Ref<NSOrderedSet> orderedSetWithArray(const Value& array) { return orderedSetWithArray(array.elements()); }

    NSUInteger count() const { return static_cast<NSUInteger>(m_elements.size()); }
    // Raises "NSRangeException" when out of range.
    const Value& objectAtIndex(NSUInteger index) const;
    // nil when empty.
    Value firstObject() const;
    Value lastObject() const;
    bool containsObject(const Value& object) const;
    // NSNotFound when absent.
    NSUInteger indexOfObject(const Value& object) const;
    const std::vector<Value>& elements() const { return m_elements; }
    // An immutable array of the elements in order.
    Value array() const;

    bool isEqualToOrderedSet(const NSOrderedSet& other) const;
    bool isEqual(const NSObject* other) const override;
    size_t hash() const override { return m_elements.size(); }
    std::string description() const override;

    Ref<NSOrderedSet> copy() const;
    Ref<class NSMutableOrderedSet> mutableCopy() const;

protected:
    std::vector<Value> m_elements;
    std::unordered_map<Value, size_t, ValueHash> m_index;

    // Appends when absent; answers whether it was added.
    bool append(const Value& object);
    void rebuildIndex();
};

class NSMutableOrderedSet final : public NSOrderedSet {
    VX_OBJECT(NSMutableOrderedSet, NSOrderedSet)
public:
    explicit NSMutableOrderedSet(Passkey key)
        : NSOrderedSet(key)
    {
    }

    static Ref<NSMutableOrderedSet> orderedSet();
    static Ref<NSMutableOrderedSet> orderedSetWithArray(const std::vector<Value>& elements);
    static Ref<NSMutableOrderedSet> orderedSetWithArray(const Value& array)
    {
        return orderedSetWithArray(array.elements());
    }

    // Adding nil raises "NSInvalidArgumentException"; adding a member does nothing.
    void addObject(const Value& object);
    void addObjectsFromArray(const std::vector<Value>& objects);
    // Does nothing when the object is already a member; raises "NSRangeException" past the end.
    void insertObjectAtIndex(const Value& object, NSUInteger index);
    void removeObject(const Value& object);
    void removeObjectAtIndex(NSUInteger index);
    void removeAllObjects();
    // Does nothing when `object` is a member at another position.
    void replaceObjectAtIndexWithObject(NSUInteger index, const Value& object);
};
