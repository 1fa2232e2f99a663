#include "grid/datagrid/LDataGridCoord.h"

#include "foundation/NSString.h"
#include "grid/datagrid/LDataGridColumn.h"
#include "grid/datagrid/LDataGridRow.h"

int32_t LDataGridCoord::rowIndex() const
{
    return m_row ? m_row->rowIndex() : 0;
}

int32_t LDataGridCoord::sectionIndex() const
{
    return m_row ? m_row->sectionIndex() : 0;
}

bool LDataGridCoord::isEqual(const NSObject* other) const
{
    if (!other || !other->isKindOfClass(classObject()))
        return false;
    if (other == this)
        return true;
    auto coord = static_cast<const LDataGridCoord*>(other);
    bool columnsEqual = m_column == coord->m_column || (m_column && m_column->isEqual(coord->m_column.get()));
    bool rowsEqual = m_row == coord->m_row || (m_row && m_row->isEqual(coord->m_row.get()));
    return columnsEqual && rowsEqual;
}

size_t LDataGridCoord::hash() const
{
    uint32_t columnHash = m_column ? static_cast<uint32_t>(m_column->hash()) : 0;
    uint32_t rowHash = m_row ? static_cast<uint32_t>(m_row->hash()) : 0;
    return 37u * (37u * 17u + columnHash) + rowHash;
}

std::string LDataGridCoord::description() const
{
    std::string title = m_column && m_column->title() ? *m_column->title() : std::string("(null)");
    return NSString::stringWithFormat(
        "{c:%@,r:%ld,s:%ld}", title, static_cast<long>(rowIndex()), static_cast<long>(sectionIndex()));
}
