#include "grid/LGridCoord.h"

#include "foundation/NSString.h"
#include "grid/LGridCoordMutable.h"

LGridCoord::LGridCoord(Passkey key)
    : NSObject(key)
{
}

Ref<LGridCoord> LGridCoord::initWithColumnWithRow(int32_t column, LGridRow row)
{
    auto coord = make<LGridCoord>();
    coord->m_mutableGridCoord = LGridCoordMutable::initWithColumnWithRow(column, row);
    return coord;
}

int32_t LGridCoord::column() const
{
    return m_mutableGridCoord->column();
}

LGridRow LGridCoord::row() const
{
    return m_mutableGridCoord->row();
}

int32_t LGridCoord::rowIndex() const
{
    return m_mutableGridCoord->rowIndex();
}

int32_t LGridCoord::section() const
{
    return m_mutableGridCoord->row().section;
}

bool LGridCoord::hasColumn(int32_t column) const
{
    return m_mutableGridCoord->hasColumn(column);
}

bool LGridCoord::hasRow(LGridRow row) const
{
    return m_mutableGridCoord->hasRow(row);
}

bool LGridCoord::hasSection(int32_t section) const
{
    return m_mutableGridCoord->hasSection(section);
}

bool LGridCoord::hasColumnAndRow(int32_t column, LGridRow row) const
{
    return hasColumn(column) && hasRow(row);
}

bool LGridCoord::hasColumnOrRow(int32_t column, LGridRow row) const
{
    return hasColumn(column) || hasRow(row);
}

bool LGridCoord::hasRowGreaterThanRow(LGridRow row) const
{
    return m_mutableGridCoord->hasRowGreaterThanRow(row);
}

bool LGridCoord::isEqual(const NSObject* other) const
{
    if (other == this)
        return true;
    if (!other || !other->isKindOfClass(objectClass()))
        return false;
    auto* coord = static_cast<const LGridCoord*>(other);
    return hasColumnAndRow(coord->column(), coord->row());
}

size_t LGridCoord::hash() const
{
    return m_mutableGridCoord->hash();
}

Ref<LGridCoord> LGridCoord::copy() const
{
    return initWithColumnWithRow(column(), row());
}

Ref<LGridCoordMutable> LGridCoord::mutableCopy() const
{
    return m_mutableGridCoord->copy();
}

void LGridCoord::mutateColumnTo(int32_t column)
{
    m_mutableGridCoord->setColumn(column);
}

void LGridCoord::mutateRowTo(LGridRow row)
{
    m_mutableGridCoord->setRow(row);
}

std::string LGridCoord::description() const
{
    return NSString::stringWithFormat("{c:%ld,r:%ld,s:%ld}", column(), rowIndex(), section());
}
