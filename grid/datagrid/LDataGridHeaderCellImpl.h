#pragma once

#include "grid/datagrid/LDataGridHeaderCellProtocol.h"
#include "grid/datagrid/LDataGridSortArrowManager.h"
#include "grid/datagrid/LGridSortOrderArrow.h"

class LDataGridCoord;

// What both header cell classes add to their text cell base: the sort arrow, its manager, the
// room made for the arrow, the layout that shows the column's arrow, and no selection, editing,
// double tap or coordinate for anyone else. Main thread only.
template <typename Base> class LDataGridHeaderCellImpl : public Base, public LDataGridHeaderCellProtocol {
public:
    using Base::Base;
    ~LDataGridHeaderCellImpl() override
    {
        if (m_sortArrow)
            m_sortArrow->removeFromSuperview();
    }

    float spaceBetweenArrowAndText() const { return 5.0f; }
    const Ref<LDataGridSortArrowManager>& sortArrowManager() const { return m_sortArrowManager; }

    void showArrowForSortOrderSortMode(int32_t sortOrder, int32_t sortMode) override
    {
        m_sortArrowManager->showArrowOnPresenterForSortOrderSortMode(
            m_sortArrow, this->template self<UIView>(), sortOrder, sortMode);
    }
    const Ref<LGridSortOrderArrow>& sortArrow() const override { return m_sortArrow; }
    void setSortArrow(const Ref<LGridSortOrderArrow>& arrow) override
    {
        if (arrow == m_sortArrow)
            return;
        if (m_sortArrow)
            m_sortArrow->removeFromSuperview();
        m_sortArrow = arrow;
    }

    void layoutSubviews() override
    {
        Base::layoutSubviews();
        m_sortArrowManager->showArrowForColumnOfCoordinate(
            m_sortArrow, this->template self<UIView>(), Base::LDataGridCell::coordinate());
    }
    Ref<LDataGridCoord> coordinate() const override { return nullptr; }
    bool respondsToDoubleTap() const override { return false; }
    void respondToSelectionEvent() override { }
    void respondToEditEvent() override { }

protected:
    // After the base's own set-up: the manager, the arrow and the room made for it.
    void initialiseHeaderCell()
    {
        m_sortArrowManager = LDataGridSortArrowManager::init();
        setSortArrow(m_sortArrowManager->prepareHeaderCell(
            this->template self<LDataGridTextInputCell>(), spaceBetweenArrowAndText()));
    }

private:
    Ref<LDataGridSortArrowManager> m_sortArrowManager;
    Ref<LGridSortOrderArrow> m_sortArrow;
};
