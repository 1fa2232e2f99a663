#include "grid/LGridReorderArrow.h"

#include "grid/LGridCell.h"
#include "grid/LGridCoord.h"
#include "grid/LGridDelegate.h"
#include "grid/LatticeGrid.h"

Ref<LGridReorderArrow> LGridReorderArrow::initWithOrientationWithImageUserControlsOrientation(
    int32_t orientation, const Ref<UIImage>& image, bool userControlsOrientation)
{
    auto arrow = makeView<LGridReorderArrow>(CGRectZero);
    arrow->initialiseArrow(orientation, image, userControlsOrientation);
    return arrow;
}

void LGridReorderArrow::addToCell(const Ref<LGridCell>& cell)
{
    if (!cell)
        return;
    CGSize size = cell->frame().size;
    CGPoint origin {};
    switch (orientation()) {
    case 0:
        origin = CGPointMake(size.width / 2 - 10, 0);
        break;
    case 1:
        origin = CGPointMake(size.width / 2 - 10, size.height - 20);
        break;
    case 2:
        origin = CGPointMake(0, size.height / 2 - 10);
        break;
    case 3:
        origin = CGPointMake(size.width - 20, size.height / 2 - 10);
        break;
    default:
        break;
    }
    auto grid = cell->owningGrid();
    auto delegate = grid ? grid->delegate() : nullptr;
    if (delegate && cell->gridCoord()
        && delegate->respondsToSelector("latticeGrid:offsetForArrowImageWithOrientation:forCellAtCoord:")) {
        CGPoint offset = delegate->latticeGridOffsetForArrowImageWithOrientationForCellAtCoord(
            grid, orientation(), cell->gridCoord()->copy());
        origin.x += offset.x;
        origin.y += offset.y;
    }
    setFrame(CGRectMake(origin.x, origin.y, 20, 20));
    setCellSize(size);
    cell->addSubview(self<LGridReorderArrow>());
    cell->bringSubviewToFront(self<LGridReorderArrow>());
}
