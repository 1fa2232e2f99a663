#pragma once

#include <cstdint>

namespace LChartGL {

class VboSet;

// One block of items (vertices or indices) of a piece of render data, kept in CPU memory and
// uploaded into its set's GL buffer. `offset` (in items) says where the block lies in the buffer
// after the last upload. Main thread only.
class VboData {
public:
    // Takes `data` (released with free when `ownsData`); the block gets its set's next sequence.
    VboData(void* data, uint32_t count, bool ownsData, VboSet* set);
    ~VboData();
    VboData(const VboData&) = delete;
    VboData& operator=(const VboData&) = delete;

    const void* data() const { return m_data; }
    uint32_t count() const { return m_count; }
    VboSet* set() const { return m_set; }
    bool isDirty() const { return m_dirty; }
    void setDirty(bool dirty) { m_dirty = dirty; }
    uint64_t sequence() const { return m_sequence; }
    // A block that replaces another takes over its place in the set.
    void setSequence(uint64_t sequence) { m_sequence = sequence; }
    int32_t deltaSize() const { return m_deltaSize; }
    // Called once on a block that has just replaced another: the change of count against it.
    void setDeltaSize(int32_t delta);
    uint32_t offset() const { return m_offset; }
    void setOffset(uint32_t offset) { m_offset = offset; }

private:
    void* m_data;
    uint32_t m_count;
    bool m_ownsData;
    VboSet* m_set;
    bool m_dirty { true };
    uint64_t m_sequence;
    int32_t m_deltaSize { 0 };
    uint32_t m_offset { 0 };
};

} // namespace LChartGL
