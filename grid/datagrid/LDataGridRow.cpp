#include "grid/datagrid/LDataGridRow.h"

Ref<LDataGridRow> LDataGridRow::initWithRowIndexWithSectionindex(int32_t rowIndex, int32_t sectionIndex)
{
    return make<LDataGridRow>(LGridRowMake(rowIndex, sectionIndex));
}

bool LDataGridRow::isEqual(const NSObject* other) const
{
    if (!other || !other->isKindOfClass(classObject()))
        return false;
    auto row = static_cast<const LDataGridRow*>(other);
    return LGridRowEqualToRow(m_internalRow, row->m_internalRow);
}

size_t LDataGridRow::hash() const
{
    uint32_t h
        = 37u * (37u * 17u + static_cast<uint32_t>(m_internalRow.index)) + static_cast<uint32_t>(m_internalRow.section);
    return h;
}

std::string LDataGridRow::description() const
{
    return NSStringFromSGridRow(m_internalRow);
}
