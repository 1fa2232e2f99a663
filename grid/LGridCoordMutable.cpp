#include "grid/LGridCoordMutable.h"

#include "foundation/NSString.h"

LGridCoordMutable::LGridCoordMutable(Passkey key)
    : NSObject(key)
{
}

Ref<LGridCoordMutable> LGridCoordMutable::initWithColumnWithRow(int32_t column, LGridRow row)
{
    auto coord = make<LGridCoordMutable>();
    coord->m_column = column;
    coord->m_row = row;
    return coord;
}

bool LGridCoordMutable::hasColumn(int32_t column) const
{
    return m_column == column;
}

bool LGridCoordMutable::hasRow(LGridRow row) const
{
    return LGridRowEqualToRow(m_row, row);
}

bool LGridCoordMutable::hasSection(int32_t section) const
{
    return m_row.section == section;
}

bool LGridCoordMutable::hasColumnAndRow(int32_t column, LGridRow row) const
{
    return hasColumn(column) && hasRow(row);
}

bool LGridCoordMutable::hasRowGreaterThanRow(LGridRow row) const
{
    return LGridRowGreaterThanRow(m_row, row);
}

bool LGridCoordMutable::hasRowLessThanRow(LGridRow row) const
{
    return LGridRowLessThanRow(m_row, row);
}

bool LGridCoordMutable::isEqual(const NSObject* other) const
{
    if (other == this)
        return true;
    if (!other || !other->isKindOfClass(objectClass()))
        return false;
    auto* coord = static_cast<const LGridCoordMutable*>(other);
    return hasColumnAndRow(coord->m_column, coord->m_row);
}

size_t LGridCoordMutable::hash() const
{
    return (static_cast<size_t>(static_cast<uint32_t>(m_column)) * 31 + static_cast<uint32_t>(m_row.section)) * 31
        + static_cast<uint32_t>(m_row.index);
}

Ref<LGridCoordMutable> LGridCoordMutable::copy() const
{
    return initWithColumnWithRow(m_column, m_row);
}

std::string LGridCoordMutable::description() const
{
    return NSString::stringWithFormat("{c:%ld,r:%ld, s:%ld}", m_column, m_row.index, m_row.section);
}
