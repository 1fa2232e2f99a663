#pragma once

#include "foundation/NSObject.h"
#include "grid/GridForward.h"
#include "grid/LGridRow.h"

// The changeable inside of a cell coordinate: a column and a row. Main thread only.
class LGridCoordMutable : public NSObject {
    VX_OBJECT(LGridCoordMutable, NSObject)
public:
    explicit LGridCoordMutable(Passkey);

    static Ref<LGridCoordMutable> initWithColumnWithRow(int32_t column, LGridRow row);

    int32_t column() const { return m_column; }
    void setColumn(int32_t column) { m_column = column; }
    LGridRow row() const { return m_row; }
    void setRow(LGridRow row) { m_row = row; }
    int32_t rowIndex() const { return m_row.index; }

    bool hasColumn(int32_t column) const;
    bool hasRow(LGridRow row) const;
    bool hasSection(int32_t section) const;
    bool hasColumnAndRow(int32_t column, LGridRow row) const;
    bool hasRowGreaterThanRow(LGridRow row) const;
    bool hasRowLessThanRow(LGridRow row) const;

    // Equal to itself and to another mutable coordinate with the same column and row.
    bool isEqual(const NSObject* other) const override;
    size_t hash() const override;
    Ref<LGridCoordMutable> copy() const;
    // "{c:<column>,r:<index>, s:<section>}".
    std::string description() const override;

private:
    int32_t m_column { 0 };
    LGridRow m_row;
};
