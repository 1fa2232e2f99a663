#pragma once

#include "grid/datagrid/LDataGridHeaderCellProtocol.h"
#include "grid/datagrid/LDataGridTextCell.h"

class LDataGridSortArrowManager;

// The default header cell of a column: a single-line text cell that shows the column title and
// an arrow for the column's sort state. Header cells are never selected or edited through the
// engine's events, never wait for a double tap, and answer no coordinate (they keep theirs for
// their own layout). Main thread only.
class LDataGridHeaderCell : public LDataGridTextCell, public LDataGridHeaderCellProtocol {
    VX_OBJECT(LDataGridHeaderCell, LDataGridTextCell)
public:
    explicit LDataGridHeaderCell(Passkey key)
        : LDataGridTextCell(key)
    {
    }
    ~LDataGridHeaderCell() override;
    static Ref<LDataGridHeaderCell> initWithReuseIdentifier(const std::string& reuseIdentifier);

    float spaceBetweenArrowAndText() const { return 5.0f; }
    const Ref<LDataGridSortArrowManager>& sortArrowManager() const { return m_sortArrowManager; }

    void showArrowForSortOrderSortMode(int32_t sortOrder, int32_t sortMode) override;
    const Ref<LGridSortOrderArrow>& sortArrow() const override { return m_sortArrow; }
    void setSortArrow(const Ref<LGridSortOrderArrow>& arrow) override;

    void layoutSubviews() override;
    Ref<LDataGridCoord> coordinate() const override { return nullptr; }
    bool respondsToDoubleTap() const override { return false; }
    void respondToSelectionEvent() override { }

private:
    Ref<LDataGridSortArrowManager> m_sortArrowManager;
    Ref<LGridSortOrderArrow> m_sortArrow;
};
