#pragma once

#include "grid/datagrid/LDataGridHeaderCellImpl.h"
#include "grid/datagrid/LDataGridMultiLineTextCell.h"

// A header cell with wrapped text: a multi-line text cell that shows the column title and an
// arrow for the column's sort state, otherwise as LDataGridHeaderCell. Main thread only.
class LDataGridHeaderMultiLineCell : public LDataGridHeaderCellImpl<LDataGridMultiLineTextCell> {
    VX_OBJECT(LDataGridHeaderMultiLineCell, LDataGridMultiLineTextCell)
public:
    explicit LDataGridHeaderMultiLineCell(Passkey key)
        : LDataGridHeaderCellImpl(key)
    {
    }
    static Ref<LDataGridHeaderMultiLineCell> initWithReuseIdentifier(const std::string& reuseIdentifier);
};
