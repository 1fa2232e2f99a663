#pragma once

#include "foundation/NSCoding.h"
#include "foundation/NSObject.h"

#include <cstdint>
#include <functional>
#include <string>
#include <utility>
#include <vector>

// A sorted set of unsigned indexes kept as disjoint ranges. Immutable ones may be read from any
// thread; NSMutableIndexSet is for one thread at a time. Ranges are given as a location and a
// length, or as any range type with `location` and `length` members (NSRange).
class NSIndexSet : public NSObject, public NSCoding {
    VX_OBJECT(NSIndexSet, NSObject)
public:
    explicit NSIndexSet(Passkey key)
        : NSObject(key)
    {
    }

    static Ref<NSIndexSet> indexSet();
    static Ref<NSIndexSet> indexSetWithIndex(NSUInteger index);
    static Ref<NSIndexSet> indexSetWithIndexesInRange(NSUInteger location, NSUInteger length);
    template <typename Range> static Ref<NSIndexSet> indexSetWithIndexesInRange(const Range& range)
    {
        return indexSetWithIndexesInRange(range.location, range.length);
    }
    static Ref<NSIndexSet> initWithIndexSet(const NSIndexSet& other);
    static Ref<NSIndexSet> initWithCoder(NSCoder& coder);

    NSUInteger count() const;
    // NSNotFound when empty.
    NSUInteger firstIndex() const;
    NSUInteger lastIndex() const;
    bool containsIndex(NSUInteger index) const;
    bool containsIndexesInRange(NSUInteger location, NSUInteger length) const;
    bool containsIndexes(const NSIndexSet& other) const;
    bool intersectsIndexesInRange(NSUInteger location, NSUInteger length) const;
    NSUInteger countOfIndexesInRange(NSUInteger location, NSUInteger length) const;
    // Neighbours of an index in the set; NSNotFound when there is none.
    NSUInteger indexGreaterThanIndex(NSUInteger index) const;
    NSUInteger indexGreaterThanOrEqualToIndex(NSUInteger index) const;
    NSUInteger indexLessThanIndex(NSUInteger index) const;
    NSUInteger indexLessThanOrEqualToIndex(NSUInteger index) const;

    // Enumeration in ascending order (descending with NSEnumerationReverse). Setting *stop ends
    // it. The set must not be changed by the block.
    enum EnumerationOptions : uint32_t {
        NSEnumerationConcurrent = 1 << 0, // accepted; enumeration stays on the calling thread
        NSEnumerationReverse = 1 << 1,
    };
    void enumerateIndexesUsingBlock(const std::function<void(NSUInteger index, bool* stop)>& block) const;
    void enumerateIndexesWithOptionsUsingBlock(
        uint32_t options, const std::function<void(NSUInteger index, bool* stop)>& block) const;
    void enumerateRangesUsingBlock(
        const std::function<void(NSUInteger location, NSUInteger length, bool* stop)>& block) const;
    void enumerateRangesWithOptionsUsingBlock(
        uint32_t options, const std::function<void(NSUInteger location, NSUInteger length, bool* stop)>& block) const;

    bool isEqualToIndexSet(const NSIndexSet& other) const;
    bool isEqual(const NSObject* other) const override;
    size_t hash() const override;
    // "<NSIndexSet: 0x...>[number of indexes: 3 (in 2 ranges), indexes: (1-2 5)]".
    std::string description() const override;

    Ref<NSIndexSet> copy() const;
    Ref<class NSMutableIndexSet> mutableCopy() const;

    void encodeWithCoder(NSCoder& coder) override;

protected:
    // Half-open [first, second) ranges, sorted, disjoint and not touching. 64-bit so a range
    // ending at the largest index cannot overflow.
    using Ranges = std::vector<std::pair<uint64_t, uint64_t>>;
    Ranges m_ranges;

    void addRange(uint64_t start, uint64_t end);
    void removeRange(uint64_t start, uint64_t end);
};

class NSMutableIndexSet final : public NSIndexSet {
    VX_OBJECT(NSMutableIndexSet, NSIndexSet)
public:
    explicit NSMutableIndexSet(Passkey key)
        : NSIndexSet(key)
    {
    }

    static Ref<NSMutableIndexSet> indexSet();
    static Ref<NSMutableIndexSet> indexSetWithIndex(NSUInteger index);
    static Ref<NSMutableIndexSet> indexSetWithIndexesInRange(NSUInteger location, NSUInteger length);
    template <typename Range> static Ref<NSMutableIndexSet> indexSetWithIndexesInRange(const Range& range)
    {
        return indexSetWithIndexesInRange(range.location, range.length);
    }
    static Ref<NSMutableIndexSet> initWithCoder(NSCoder& coder);

    void addIndex(NSUInteger index);
    void addIndexesInRange(NSUInteger location, NSUInteger length);
    template <typename Range> void addIndexesInRange(const Range& range)
    {
        addIndexesInRange(range.location, range.length);
    }
    void addIndexes(const NSIndexSet& other);
    void removeIndex(NSUInteger index);
    void removeIndexesInRange(NSUInteger location, NSUInteger length);
    template <typename Range> void removeIndexesInRange(const Range& range)
    {
        removeIndexesInRange(range.location, range.length);
    }
    void removeIndexes(const NSIndexSet& other);
    void removeAllIndexes();
    // Moves every index at or above `index` by `delta`. Moving down removes the indexes in
    // [index + delta, index) first; indexes that would fall below 0 or above the largest index
    // are dropped.
    void shiftIndexesStartingAtIndexBy(NSUInteger index, int32_t delta);
};
