#include "grid/datagrid/LDataGridHeaderCell.h"

#include "grid/datagrid/LDataGridSortArrowManager.h"
#include "grid/datagrid/LGridSortOrderArrow.h"

LDataGridHeaderCell::~LDataGridHeaderCell()
{
    if (m_sortArrow)
        m_sortArrow->removeFromSuperview();
}

Ref<LDataGridHeaderCell> LDataGridHeaderCell::initWithReuseIdentifier(const std::string& reuseIdentifier)
{
    auto cell = makeTextInputCell<LDataGridHeaderCell>(reuseIdentifier);
    cell->m_sortArrowManager = LDataGridSortArrowManager::init();
    cell->setSortArrow(cell->m_sortArrowManager->prepareHeaderCell(cell, cell->spaceBetweenArrowAndText()));
    return cell;
}

void LDataGridHeaderCell::showArrowForSortOrderSortMode(int32_t sortOrder, int32_t sortMode)
{
    m_sortArrowManager->showArrowOnPresenterForSortOrderSortMode(m_sortArrow, self<UIView>(), sortOrder, sortMode);
}

void LDataGridHeaderCell::setSortArrow(const Ref<LGridSortOrderArrow>& arrow)
{
    if (arrow == m_sortArrow)
        return;
    if (m_sortArrow)
        m_sortArrow->removeFromSuperview();
    m_sortArrow = arrow;
}

void LDataGridHeaderCell::layoutSubviews()
{
    LDataGridTextCell::layoutSubviews();
    m_sortArrowManager->showArrowForColumnOfCoordinate(m_sortArrow, self<UIView>(), LDataGridCell::coordinate());
}
