#include "grid/datagrid/LDataGridHeaderMultiLineCell.h"

#include "grid/datagrid/LDataGridSortArrowManager.h"
#include "grid/datagrid/LGridSortOrderArrow.h"

LDataGridHeaderMultiLineCell::~LDataGridHeaderMultiLineCell()
{
    if (m_sortArrow)
        m_sortArrow->removeFromSuperview();
}

Ref<LDataGridHeaderMultiLineCell> LDataGridHeaderMultiLineCell::initWithReuseIdentifier(
    const std::string& reuseIdentifier)
{
    auto cell = makeTextInputCell<LDataGridHeaderMultiLineCell>(reuseIdentifier);
    cell->m_sortArrowManager = LDataGridSortArrowManager::init();
    cell->setSortArrow(cell->m_sortArrowManager->prepareHeaderCell(cell, cell->spaceBetweenArrowAndText()));
    return cell;
}

void LDataGridHeaderMultiLineCell::showArrowForSortOrderSortMode(int32_t sortOrder, int32_t sortMode)
{
    m_sortArrowManager->showArrowOnPresenterForSortOrderSortMode(m_sortArrow, self<UIView>(), sortOrder, sortMode);
}

void LDataGridHeaderMultiLineCell::setSortArrow(const Ref<LGridSortOrderArrow>& arrow)
{
    if (arrow == m_sortArrow)
        return;
    if (m_sortArrow)
        m_sortArrow->removeFromSuperview();
    m_sortArrow = arrow;
}

void LDataGridHeaderMultiLineCell::layoutSubviews()
{
    LDataGridMultiLineTextCell::layoutSubviews();
    m_sortArrowManager->showArrowForColumnOfCoordinate(m_sortArrow, self<UIView>(), LDataGridCell::coordinate());
}
