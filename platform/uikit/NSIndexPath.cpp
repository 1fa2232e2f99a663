#include "uikit/NSIndexPath.h"

#include <algorithm>

VX_REGISTER_CLASS(NSIndexPath);

namespace {
constexpr uint32_t kNotFound = INT32_MAX;
}

Ref<NSIndexPath> NSIndexPath::indexPathWithIndexes(std::vector<uint32_t> indexes)
{
    auto path = make<NSIndexPath>();
    path->m_indexes = std::move(indexes);
    return path;
}

Ref<NSIndexPath> NSIndexPath::indexPathForRowInSection(int32_t row, int32_t section)
{
    return indexPathWithIndexes({ uint32_t(section), uint32_t(row) });
}

Ref<NSIndexPath> NSIndexPath::indexPathForItemInSection(int32_t item, int32_t section)
{
    return indexPathForRowInSection(item, section);
}

uint32_t NSIndexPath::indexAtPosition(uint32_t position) const
{
    return position < m_indexes.size() ? m_indexes[position] : kNotFound;
}

Ref<NSIndexPath> NSIndexPath::indexPathByAddingIndex(uint32_t index) const
{
    auto indexes = m_indexes;
    indexes.push_back(index);
    return indexPathWithIndexes(std::move(indexes));
}

int32_t NSIndexPath::section() const
{
    return int32_t(indexAtPosition(0));
}
int32_t NSIndexPath::row() const
{
    return int32_t(indexAtPosition(1));
}

NSComparisonResult NSIndexPath::compare(const Ref<NSIndexPath>& other) const
{
    if (!other)
        return NSOrderedDescending;
    size_t n = std::min(m_indexes.size(), other->m_indexes.size());
    for (size_t i = 0; i < n; ++i) {
        if (m_indexes[i] != other->m_indexes[i])
            return m_indexes[i] < other->m_indexes[i] ? NSOrderedAscending : NSOrderedDescending;
    }
    if (m_indexes.size() == other->m_indexes.size())
        return NSOrderedSame;
    return m_indexes.size() < other->m_indexes.size() ? NSOrderedAscending : NSOrderedDescending;
}

bool NSIndexPath::isEqual(const NSObject* other) const
{
    auto* path = dynamic_cast<const NSIndexPath*>(other);
    return path && path->m_indexes == m_indexes;
}

size_t NSIndexPath::hash() const
{
    size_t h = m_indexes.size();
    for (uint32_t i : m_indexes)
        h = h * 31 + i;
    return h;
}

std::string NSIndexPath::description() const
{
    std::string text = "<NSIndexPath> {length = " + std::to_string(m_indexes.size()) + ", path = ";
    for (size_t i = 0; i < m_indexes.size(); ++i)
        text += (i ? " - " : "") + std::to_string(m_indexes[i]);
    return text + "}";
}
