#include "grid/datagrid/LDataGridSortArrowManager.h"

#include "graphics/UIImage.h"
#include "grid/LGridCell.h"
#include "grid/LGridGraphics.h"
#include "grid/datagrid/LDataGridColumn.h"
#include "grid/datagrid/LDataGridColumnSortOrder.h"
#include "grid/datagrid/LDataGridCoord.h"
#include "grid/datagrid/LDataGridTextInputCell.h"
#include "grid/datagrid/LGridSortOrderArrow.h"

Ref<LGridSortOrderArrow> LDataGridSortArrowManager::sortArrowForOrder(int32_t)
{
    auto arrow = LGridSortOrderArrow::initWithOrientationWithImageUserControlsOrientation(
        3, LGridGraphics::sortOrderArrowImageForSortOrder(LDataGridColumnSortOrderNone), false);
    arrow->setAutoresizingMask(63 & ~(UIViewAutoresizingFlexibleWidth | UIViewAutoresizingFlexibleHeight));
    arrow->setAlpha(1);
    return arrow;
}

void LDataGridSortArrowManager::showArrowOnPresenterForSortOrderSortMode(
    const Ref<LGridSortOrderArrow>& arrow, const Ref<UIView>& presenter, int32_t order, int32_t mode)
{
    if (!arrow)
        return;
    if (mode == LDataGridColumnSortModeNone) {
        arrow->removeFromSuperview();
        return;
    }
    if (!arrow->superview()) {
        if (auto cell = std::dynamic_pointer_cast<LGridCell>(presenter))
            arrow->addToCell(cell);
        else if (presenter)
            presenter->addSubview(arrow);
    }
    auto image = LGridGraphics::sortOrderArrowImageForSortOrder(order);
    arrow->setImage(image);
    CGSize size = image->size();
    arrow->setBounds(CGRectMake(0, 0, size.width, size.height));
    positionArrowOnPresenter(arrow, presenter);
}

void LDataGridSortArrowManager::positionArrowOnPresenter(
    const Ref<LGridSortOrderArrow>& arrow, const Ref<UIView>& presenter)
{
    if (!arrow || !presenter)
        return;
    arrow->setHidden(presenter->bounds().size.height == 0);
    auto cell = std::dynamic_pointer_cast<LGridCell>(presenter);
    CGRect content = cell ? cell->contentFrame() : presenter->bounds();
    arrow->setCenter(CGPointMake(content.size.width - arrow->bounds().size.width, content.size.height / 2));
}

Ref<LGridSortOrderArrow> LDataGridSortArrowManager::prepareHeaderCell(
    const Ref<LDataGridTextInputCell>& cell, float spaceBetweenArrowAndText)
{
    auto arrow = sortArrowForOrder(LDataGridColumnSortOrderNone);
    UIEdgeInsets inset = cell->contentInset();
    inset.right += spaceBetweenArrowAndText + arrow->frame().size.width;
    cell->setContentInset(inset);
    return arrow;
}

void LDataGridSortArrowManager::showArrowForColumnOfCoordinate(
    const Ref<LGridSortOrderArrow>& arrow, const Ref<UIView>& presenter, const Ref<LDataGridCoord>& coordinate)
{
    auto column = coordinate ? coordinate->column() : nullptr;
    if (!column)
        return;
    showArrowOnPresenterForSortOrderSortMode(arrow, presenter, column->sortOrder(), column->sortMode());
}
