#include "charts/gl/VboData.h"

#include "charts/gl/VboSet.h"

#include <cstdlib>

namespace LChartGL {

VboData::VboData(void* data, uint32_t count, bool ownsData, VboSet* set)
    : m_data(data)
    , m_count(count)
    , m_ownsData(ownsData)
    , m_set(set)
    , m_sequence(set ? set->takeSequence() : 0)
{
}

VboData::~VboData()
{
    if (m_ownsData)
        std::free(m_data);
}

void VboData::setDeltaSize(int32_t delta)
{
    m_deltaSize = delta;
}

} // namespace LChartGL
