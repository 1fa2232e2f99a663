#include "grid/datagrid/LGridSortOrderArrow.h"

#include "graphics/CGAffineTransform.h"
#include "graphics/UIImage.h"
#include "grid/datagrid/LDataGridCell.h"

#include <cmath>

Ref<LGridSortOrderArrow> LGridSortOrderArrow::initWithOrientationWithImageUserControlsOrientation(
    int32_t orientation, const Ref<UIImage>& image, bool userControlsOrientation)
{
    CGSize size = image ? image->size() : CGSizeZero;
    auto arrow = makeView<LGridSortOrderArrow>(CGRectMake(0, 0, size.width, size.height));
    arrow->initialiseArrow(orientation, image, userControlsOrientation);
    arrow->setAutoresizingMask(63);
    arrow->setContentMode(UIViewContentModeScaleAspectFit);
    return arrow;
}

void LGridSortOrderArrow::addToCell(const Ref<LGridCell>& cell)
{
    if (auto dataGridCell = std::dynamic_pointer_cast<LDataGridCell>(cell)) {
        dataGridCell->addSubview(self<UIView>());
        return;
    }
    if (cell)
        cell->addSubview(self<UIView>());
}

void LGridSortOrderArrow::pointUp()
{
    pointInDirection(static_cast<float>(M_PI));
}

void LGridSortOrderArrow::pointDown()
{
    pointInDirection(0);
}

void LGridSortOrderArrow::pointInDirection(float angle)
{
    auto arrow = self<LGridSortOrderArrow>();
    UIView::animateWithDurationDelayOptions(
        0.2, 0, UIViewAnimationOptionCurveEaseInOut,
        [arrow, angle] {
            arrow->setTransform(CGAffineTransformIdentity);
            arrow->setTransform(CGAffineTransformMakeRotation(angle));
        },
        nullptr);
}
