#include "charts/gl/VboSet.h"

#include "charts/gl/GLObject.h"
#include "charts/gl/VboData.h"

namespace LChartGL {

VboSet::VboSet(uint32_t stride, GLenum target, VertexBuffer* buffer)
    : m_stride(stride)
    , m_target(target)
    , m_vertexBuffer(buffer)
{
}

void VboSet::add(const std::shared_ptr<VboData>& data)
{
    auto found = m_entries.find(data->sequence());
    if (found != m_entries.end() && !data->isDirty())
        return;
    m_entries[data->sequence()] = data;
    data->setDirty(true);
}

void VboSet::buffer()
{
    uint64_t total = 0;
    for (const auto& [sequence, entry] : m_entries)
        total += entry->count();
    if (total == 0)
        return;
    auto needed = static_cast<uint32_t>(total * m_stride);
    bool rewrite = false;
    if (needed > m_capacity) {
        if (m_increment == 0)
            m_increment = needed;
        grow(needed);
        rewrite = true;
    }
    gl().BindBuffer(m_target, m_vertexBuffer->name());
    if (rewrite)
        gl().BufferData(m_target, m_capacity, nullptr, GL_DYNAMIC_DRAW);
    // Blocks lie back to back in sequence order, so no upload can overlap a live block or run
    // past the end; a block is written when it is new or changed, or when a block before it
    // changed size and it moved.
    uint32_t position = 0;
    for (const auto& [sequence, entry] : m_entries) {
        uint32_t offset = position / m_stride;
        if (rewrite || entry->isDirty() || entry->offset() != offset) {
            if (entry->count() > 0)
                gl().BufferSubData(m_target, position, entry->count() * m_stride, entry->data());
            entry->setOffset(offset);
            entry->setDirty(false);
        }
        position += entry->count() * m_stride;
    }
}

void VboSet::clear()
{
    m_nextSequence = 0;
    m_entries.clear();
    m_vertexBuffer->regenerate();
    m_increment = 0;
    m_capacity = 0;
}

void VboSet::grow(uint32_t needed)
{
    while (m_capacity < needed)
        m_capacity += m_increment;
}

} // namespace LChartGL
