#pragma once

#include "grid/datagrid/LDataGridHeaderCellImpl.h"
#include "grid/datagrid/LDataGridTextCell.h"

// The default header cell of a column: a single-line text cell that shows the column title and
// an arrow for the column's sort state. Header cells are never selected or edited through the
// engine's events, never wait for a double tap, and answer no coordinate (they keep theirs for
// their own layout). Main thread only.
class LDataGridHeaderCell : public LDataGridHeaderCellImpl<LDataGridTextCell> {
    VX_OBJECT(LDataGridHeaderCell, LDataGridTextCell)
public:
    explicit LDataGridHeaderCell(Passkey key)
        : LDataGridHeaderCellImpl(key)
    {
    }
    static Ref<LDataGridHeaderCell> initWithReuseIdentifier(const std::string& reuseIdentifier);
};
