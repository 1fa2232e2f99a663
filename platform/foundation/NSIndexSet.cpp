#include "foundation/NSIndexSet.h"

#include "foundation/NSCoder.h"
#include "foundation/NSString.h"

#include <algorithm>

namespace {

constexpr uint64_t kIndexLimit = uint64_t(UINT32_MAX) + 1; // one past the largest index

// A range given as location and length, clipped to the index space.
std::pair<uint64_t, uint64_t> clip(NSUInteger location, NSUInteger length)
{
    uint64_t start = location;
    return { start, std::min<uint64_t>(start + length, kIndexLimit) };
}

} // namespace

void NSIndexSet::addRange(uint64_t start, uint64_t end)
{
    if (start >= end)
        return;
    // Merge with every range that overlaps or touches [start, end).
    auto first = std::lower_bound(m_ranges.begin(), m_ranges.end(), start,
        [](const auto& range, uint64_t value) { return range.second < value; });
    auto last = first;
    while (last != m_ranges.end() && last->first <= end) {
        start = std::min(start, last->first);
        end = std::max(end, last->second);
        ++last;
    }
    first = m_ranges.erase(first, last);
    m_ranges.insert(first, { start, end });
}

void NSIndexSet::removeRange(uint64_t start, uint64_t end)
{
    if (start >= end)
        return;
    Ranges out;
    out.reserve(m_ranges.size() + 1);
    for (const auto& [a, b] : m_ranges) {
        if (b <= start || a >= end) {
            out.emplace_back(a, b);
            continue;
        }
        if (a < start)
            out.emplace_back(a, start);
        if (b > end)
            out.emplace_back(end, b);
    }
    m_ranges = std::move(out);
}

Ref<NSIndexSet> NSIndexSet::indexSet()
{
    return make<NSIndexSet>();
}

Ref<NSIndexSet> NSIndexSet::indexSetWithIndex(NSUInteger index)
{
    return indexSetWithIndexesInRange(index, 1);
}

Ref<NSIndexSet> NSIndexSet::indexSetWithIndexesInRange(NSUInteger location, NSUInteger length)
{
    auto set = make<NSIndexSet>();
    auto [start, end] = clip(location, length);
    set->addRange(start, end);
    return set;
}

Ref<NSIndexSet> NSIndexSet::initWithIndexSet(const NSIndexSet& other)
{
    auto set = make<NSIndexSet>();
    set->m_ranges = other.m_ranges;
    return set;
}

NSUInteger NSIndexSet::count() const
{
    uint64_t total = 0;
    for (const auto& [a, b] : m_ranges)
        total += b - a;
    // The whole index space does not fit the count's type; answer its largest value.
    return static_cast<NSUInteger>(std::min<uint64_t>(total, UINT32_MAX));
}

NSUInteger NSIndexSet::firstIndex() const
{
    return m_ranges.empty() ? NSNotFound : static_cast<NSUInteger>(m_ranges.front().first);
}

NSUInteger NSIndexSet::lastIndex() const
{
    return m_ranges.empty() ? NSNotFound : static_cast<NSUInteger>(m_ranges.back().second - 1);
}

bool NSIndexSet::containsIndex(NSUInteger index) const
{
    return containsIndexesInRange(index, 1);
}

bool NSIndexSet::containsIndexesInRange(NSUInteger location, NSUInteger length) const
{
    auto [start, end] = clip(location, length);
    if (start >= end)
        return false;
    auto it = std::upper_bound(m_ranges.begin(), m_ranges.end(), start,
        [](uint64_t value, const auto& range) { return value < range.second; });
    return it != m_ranges.end() && it->first <= start && end <= it->second;
}

bool NSIndexSet::containsIndexes(const NSIndexSet& other) const
{
    for (const auto& [a, b] : other.m_ranges) {
        if (!containsIndexesInRange(static_cast<NSUInteger>(a), static_cast<NSUInteger>(b - a)))
            return false;
    }
    return true;
}

bool NSIndexSet::intersectsIndexesInRange(NSUInteger location, NSUInteger length) const
{
    return countOfIndexesInRange(location, length) > 0;
}

NSUInteger NSIndexSet::countOfIndexesInRange(NSUInteger location, NSUInteger length) const
{
    auto [start, end] = clip(location, length);
    uint64_t total = 0;
    for (const auto& [a, b] : m_ranges) {
        uint64_t lo = std::max(a, start), hi = std::min(b, end);
        if (lo < hi)
            total += hi - lo;
    }
    return static_cast<NSUInteger>(std::min<uint64_t>(total, UINT32_MAX));
}

NSUInteger NSIndexSet::indexGreaterThanOrEqualToIndex(NSUInteger index) const
{
    for (const auto& [a, b] : m_ranges) {
        if (index < b)
            return static_cast<NSUInteger>(std::max<uint64_t>(a, index));
    }
    return NSNotFound;
}

NSUInteger NSIndexSet::indexGreaterThanIndex(NSUInteger index) const
{
    if (index == UINT32_MAX)
        return NSNotFound;
    return indexGreaterThanOrEqualToIndex(index + 1);
}

NSUInteger NSIndexSet::indexLessThanOrEqualToIndex(NSUInteger index) const
{
    for (auto it = m_ranges.rbegin(); it != m_ranges.rend(); ++it) {
        if (it->first <= index)
            return static_cast<NSUInteger>(std::min<uint64_t>(it->second - 1, index));
    }
    return NSNotFound;
}

NSUInteger NSIndexSet::indexLessThanIndex(NSUInteger index) const
{
    if (index == 0)
        return NSNotFound;
    return indexLessThanOrEqualToIndex(index - 1);
}

void NSIndexSet::enumerateIndexesUsingBlock(const std::function<void(NSUInteger, bool*)>& block) const
{
    enumerateIndexesWithOptionsUsingBlock(0, block);
}

void NSIndexSet::enumerateIndexesWithOptionsUsingBlock(
    uint32_t options, const std::function<void(NSUInteger, bool*)>& block) const
{
    // A copy, so a block that changes the set by mistake cannot invalidate the walk.
    Ranges ranges = m_ranges;
    bool stop = false;
    if (options & NSEnumerationReverse) {
        for (auto it = ranges.rbegin(); it != ranges.rend() && !stop; ++it) {
            for (uint64_t i = it->second; i > it->first && !stop; --i)
                block(static_cast<NSUInteger>(i - 1), &stop);
        }
        return;
    }
    for (const auto& [a, b] : ranges) {
        for (uint64_t i = a; i < b && !stop; ++i)
            block(static_cast<NSUInteger>(i), &stop);
        if (stop)
            return;
    }
}

void NSIndexSet::enumerateRangesUsingBlock(const std::function<void(NSUInteger, NSUInteger, bool*)>& block) const
{
    enumerateRangesWithOptionsUsingBlock(0, block);
}

void NSIndexSet::enumerateRangesWithOptionsUsingBlock(
    uint32_t options, const std::function<void(NSUInteger, NSUInteger, bool*)>& block) const
{
    Ranges ranges = m_ranges;
    if (options & NSEnumerationReverse)
        std::reverse(ranges.begin(), ranges.end());
    bool stop = false;
    for (const auto& [a, b] : ranges) {
        block(static_cast<NSUInteger>(a), static_cast<NSUInteger>(std::min<uint64_t>(b - a, UINT32_MAX)), &stop);
        if (stop)
            return;
    }
}

bool NSIndexSet::isEqualToIndexSet(const NSIndexSet& other) const
{
    return m_ranges == other.m_ranges;
}

bool NSIndexSet::isEqual(const NSObject* other) const
{
    auto* set = dynamic_cast<const NSIndexSet*>(other);
    return set && isEqualToIndexSet(*set);
}

size_t NSIndexSet::hash() const
{
    return count();
}

std::string NSIndexSet::description() const
{
    std::string indexes;
    for (const auto& [a, b] : m_ranges) {
        if (!indexes.empty())
            indexes += ' ';
        indexes += std::to_string(a);
        if (b - a > 1)
            indexes += "-" + std::to_string(b - 1);
    }
    std::string text = NSString::stringWithFormat("<%s: %p>", className().c_str(), static_cast<const void*>(this));
    if (m_ranges.empty())
        return text + "(no indexes)";
    return text + "[number of indexes: " + std::to_string(count()) + " (in " + std::to_string(m_ranges.size())
        + " range" + (m_ranges.size() == 1 ? "" : "s") + "), indexes: (" + indexes + ")]";
}

Ref<NSIndexSet> NSIndexSet::copy() const
{
    return initWithIndexSet(*this);
}

Ref<NSMutableIndexSet> NSIndexSet::mutableCopy() const
{
    auto set = NSMutableIndexSet::indexSet();
    set->addIndexes(*this);
    return set;
}

// Archive form: "NSRangeCount"; one range as "NSLocation"/"NSLength"; several as "NSRangeData",
// location and length pairs as unsigned LEB128 numbers.
void NSIndexSet::encodeWithCoder(NSCoder& coder)
{
    coder.encodeIntegerForKey(static_cast<NSInteger>(m_ranges.size()), "NSRangeCount");
    if (m_ranges.size() == 1) {
        coder.encodeInt64ForKey(static_cast<int64_t>(m_ranges[0].first), "NSLocation");
        coder.encodeInt64ForKey(static_cast<int64_t>(m_ranges[0].second - m_ranges[0].first), "NSLength");
        return;
    }
    if (m_ranges.empty())
        return;
    Value::Bytes bytes;
    auto put = [&](uint64_t v) {
        do {
            uint8_t byte = v & 0x7F;
            v >>= 7;
            bytes.push_back(v ? byte | 0x80 : byte);
        } while (v);
    };
    for (const auto& [a, b] : m_ranges) {
        put(a);
        put(b - a);
    }
    coder.encodeObjectForKey(Value::data(std::move(bytes)), "NSRangeData");
}

namespace {

// Reads the archive form into `addRange`; false when it is malformed.
template <typename Add> bool decodeRanges(NSCoder& coder, Add add)
{
    int32_t count = coder.decodeIntegerForKey("NSRangeCount");
    if (count < 0)
        return false;
    auto checkedAdd = [&](uint64_t location, uint64_t length) {
        if (location >= kIndexLimit || length > kIndexLimit - location)
            return false;
        add(location, location + length);
        return true;
    };
    if (count == 0)
        return true;
    if (count == 1) {
        int64_t location = coder.decodeInt64ForKey("NSLocation");
        int64_t length = coder.decodeInt64ForKey("NSLength");
        return location >= 0 && length >= 0
            && checkedAdd(static_cast<uint64_t>(location), static_cast<uint64_t>(length));
    }
    Value data = coder.decodeObjectOfClassForKey(Value::dataClass(), "NSRangeData");
    const auto& bytes = data.bytes();
    size_t pos = 0;
    auto get = [&](uint64_t& v) {
        v = 0;
        for (unsigned shift = 0; shift < 64; shift += 7) {
            if (pos >= bytes.size())
                return false;
            uint8_t byte = bytes[pos++];
            v |= uint64_t(byte & 0x7F) << shift;
            if (!(byte & 0x80))
                return true;
        }
        return false;
    };
    for (int32_t i = 0; i < count; ++i) {
        uint64_t location, length;
        if (!get(location) || !get(length) || !checkedAdd(location, length))
            return false;
    }
    return pos == bytes.size();
}

} // namespace

Ref<NSIndexSet> NSIndexSet::initWithCoder(NSCoder& coder)
{
    auto set = make<NSIndexSet>();
    if (!decodeRanges(coder, [&](uint64_t a, uint64_t b) { set->addRange(a, b); }))
        return nullptr;
    return set;
}

Ref<NSMutableIndexSet> NSMutableIndexSet::initWithCoder(NSCoder& coder)
{
    auto set = make<NSMutableIndexSet>();
    if (!decodeRanges(coder, [&](uint64_t a, uint64_t b) { set->addRange(a, b); }))
        return nullptr;
    return set;
}

Ref<NSMutableIndexSet> NSMutableIndexSet::indexSet()
{
    return make<NSMutableIndexSet>();
}

Ref<NSMutableIndexSet> NSMutableIndexSet::indexSetWithIndex(NSUInteger index)
{
    return indexSetWithIndexesInRange(index, 1);
}

Ref<NSMutableIndexSet> NSMutableIndexSet::indexSetWithIndexesInRange(NSUInteger location, NSUInteger length)
{
    auto set = make<NSMutableIndexSet>();
    set->addIndexesInRange(location, length);
    return set;
}

void NSMutableIndexSet::addIndex(NSUInteger index)
{
    addIndexesInRange(index, 1);
}

void NSMutableIndexSet::addIndexesInRange(NSUInteger location, NSUInteger length)
{
    auto [start, end] = clip(location, length);
    addRange(start, end);
}

void NSMutableIndexSet::addIndexes(const NSIndexSet& other)
{
    other.enumerateRangesUsingBlock(
        [&](NSUInteger location, NSUInteger length, bool*) { addIndexesInRange(location, length); });
}

void NSMutableIndexSet::removeIndex(NSUInteger index)
{
    removeIndexesInRange(index, 1);
}

void NSMutableIndexSet::removeIndexesInRange(NSUInteger location, NSUInteger length)
{
    auto [start, end] = clip(location, length);
    removeRange(start, end);
}

void NSMutableIndexSet::removeIndexes(const NSIndexSet& other)
{
    other.enumerateRangesUsingBlock(
        [&](NSUInteger location, NSUInteger length, bool*) { removeIndexesInRange(location, length); });
}

void NSMutableIndexSet::removeAllIndexes()
{
    m_ranges.clear();
}

void NSMutableIndexSet::shiftIndexesStartingAtIndexBy(NSUInteger index, int32_t delta)
{
    if (delta == 0)
        return;
    int64_t shift = delta;
    if (shift < 0) {
        // The indexes the shifted ones land on are removed first.
        uint64_t from = static_cast<uint64_t>(std::max<int64_t>(0, int64_t(index) + shift));
        removeRange(from, index);
    }
    Ranges moved;
    Ranges kept;
    for (const auto& [a, b] : m_ranges) {
        if (b <= index) {
            kept.emplace_back(a, b);
            continue;
        }
        if (a < index) {
            kept.emplace_back(a, index);
            moved.emplace_back(index, b);
        } else {
            moved.emplace_back(a, b);
        }
    }
    m_ranges = std::move(kept);
    for (const auto& [a, b] : moved) {
        int64_t start = std::max<int64_t>(0, int64_t(a) + shift);
        int64_t end = std::min<int64_t>(int64_t(kIndexLimit), int64_t(b) + shift);
        if (start < end)
            addRange(static_cast<uint64_t>(start), static_cast<uint64_t>(end));
    }
}

VX_REGISTER_CODING_CLASS(NSIndexSet);
VX_REGISTER_CODING_CLASS(NSMutableIndexSet);
