#pragma once

#include "foundation/NSObject.h"

class LDataGridColumn;
class LDataGridRow;

// One cell of the data grid as its users name it: a column object and a row. Immutable.
// Main thread only.
class LDataGridCoord : public NSObject {
    VX_OBJECT(LDataGridCoord, NSObject)
public:
    LDataGridCoord(Passkey key, Ref<LDataGridColumn> column, Ref<LDataGridRow> row)
        : NSObject(key)
        , m_row(std::move(row))
        , m_column(std::move(column))
    {
    }
    static Ref<LDataGridCoord> initWithColRow(const Ref<LDataGridColumn>& column, const Ref<LDataGridRow>& row)
    {
        return make<LDataGridCoord>(column, row);
    }
    static Ref<LDataGridCoord> coordinateWithColRow(const Ref<LDataGridColumn>& column, const Ref<LDataGridRow>& row)
    {
        return initWithColRow(column, row);
    }

    const Ref<LDataGridRow>& row() const { return m_row; }
    const Ref<LDataGridColumn>& column() const { return m_column; }
    int32_t rowIndex() const;
    int32_t sectionIndex() const;

    // Equal to a coordinate (of this class or a subclass) with an equal column and row.
    bool isEqual(const NSObject* other) const override;
    // 37 * (37 * 17 + column hash) + row hash, in 32-bit unsigned arithmetic.
    size_t hash() const override;
    // "{c:<column title>,r:<row index>,s:<section index>}".
    std::string description() const override;

private:
    Ref<LDataGridRow> m_row;
    Ref<LDataGridColumn> m_column;
};
