#pragma once

#include "grid/datagrid/LDataGridHeaderCellProtocol.h"
#include "grid/datagrid/LDataGridMultiLineTextCell.h"

class LDataGridSortArrowManager;

// A header cell with wrapped text: a multi-line text cell that shows the column title and
// an arrow for the column's sort state. Header cells are never selected or edited through the
// engine's events, never wait for a double tap, and answer no coordinate (they keep theirs for
// their own layout). Main thread only.
class LDataGridHeaderMultiLineCell : public LDataGridMultiLineTextCell, public LDataGridHeaderCellProtocol {
    VX_OBJECT(LDataGridHeaderMultiLineCell, LDataGridMultiLineTextCell)
public:
    explicit LDataGridHeaderMultiLineCell(Passkey key)
        : LDataGridMultiLineTextCell(key)
    {
    }
    ~LDataGridHeaderMultiLineCell() override;
    static Ref<LDataGridHeaderMultiLineCell> initWithReuseIdentifier(const std::string& reuseIdentifier);

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
