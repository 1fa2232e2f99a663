#pragma once

#include "gles/GLFunctions.h"

#include <cstdint>
#include <map>
#include <memory>

namespace LChartGL {

class VboData;
class VertexBuffer;

// All blocks of one vertex layout (or of the indices), laid out one after the other in a single
// GL buffer in sequence order. An upload writes only the blocks that are new, changed or moved;
// the buffer grows in whole increments (the size of the first upload after a clear), and a growth
// rewrites it. Main thread only, with the drawer's context current.
class VboSet {
public:
    VboSet(uint32_t stride, GLenum target, VertexBuffer* buffer);

    // Puts a block in the set at its sequence (replacing the block there), unless that very
    // place already holds a block and the given one is clean.
    void add(const std::shared_ptr<VboData>& data);
    // Uploads what changed since the last call.
    void buffer();
    // Drops every block and gives the set a fresh GL buffer.
    void clear();
    void grow(uint32_t needed);

    uint64_t takeSequence() { return m_nextSequence++; }
    uint32_t stride() const { return m_stride; }
    uint32_t capacity() const { return m_capacity; }
    uint32_t increment() const { return m_increment; }
    size_t entryCount() const { return m_entries.size(); }
    VertexBuffer& vertexBuffer() const { return *m_vertexBuffer; }

private:
    std::map<uint64_t, std::shared_ptr<VboData>> m_entries;
    uint32_t m_stride;
    GLenum m_target;
    VertexBuffer* m_vertexBuffer;
    uint64_t m_nextSequence { 0 };
    uint32_t m_increment { 0 };
    uint32_t m_capacity { 0 };
};

} // namespace LChartGL
