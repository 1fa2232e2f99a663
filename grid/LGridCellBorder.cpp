#include "grid/LGridCellBorder.h"

#include "graphics/CAGradientLayer.h"
#include "graphics/CATransaction.h"
#include "graphics/CGPath.h"
#include "graphics/UIColor.h"
#include "grid/LGridCell.h"
#include "grid/LGridCoord.h"
#include "grid/LGridDataSourceDelegateManager.h"
#include "grid/LGridLineStyle.h"
#include "grid/LatticeGrid.h"

Ref<LGridCellBorder> LGridCellBorder::initWithCell(const Ref<LGridCell>& cell)
{
    auto border = make<LGridCellBorder>();
    border->m_cell = cell;
    for (auto& strip : border->m_borders) {
        strip = CAGradientLayer::layer();
        cell->layer()->addSublayer(strip);
    }
    return border;
}

Ref<LGridLineStyle> LGridCellBorder::borderStyleAt(int32_t side) const
{
    auto cell = m_cell.lock();
    auto grid = cell ? cell->owningGrid() : nullptr;
    if (!grid || !cell->gridCoord())
        return nullptr;
    auto& manager = grid->dataSourceDelegateManager();
    int32_t column = cell->gridCoord()->column();
    LGridRow row = cell->gridCoord()->row();
    switch (side) {
    case 0: {
        if (row.index == 0 && row.section == 0)
            return manager->gridLineStyleHorizontalAtIndexInSection(-1, 0);
        LGridRow before = grid->findRowBeforeRow(row);
        return manager->gridLineStyleHorizontalAtIndexInSection(before.index, before.section);
    }
    case 1:
        return manager->gridLineStyleHorizontalAtIndexInSection(row.index, row.section);
    case 2:
        return manager->gridLineStyleVerticalAtIndex(column - 1);
    case 3:
        return manager->gridLineStyleVerticalAtIndex(column);
    default:
        return nullptr;
    }
}

float LGridCellBorder::borderSizeAt(int32_t side) const
{
    auto style = borderStyleAt(side);
    return style ? style->width() : 0;
}

CGRect LGridCellBorder::horizontalBorderFrameTop(bool top) const
{
    auto cell = m_cell.lock();
    if (!cell)
        return CGRectZero;
    auto grid = cell->owningGrid();
    CGSize size = cell->bounds().size;
    CGRect strip = CGRectMake(0, 0, size.width, borderSizeAt(top ? 0 : 1));
    if (grid && !grid->rowStylesTakePriority()) {
        float left = borderSizeAt(2);
        strip.origin.x = left;
        strip.size.width -= left + borderSizeAt(3);
    }
    return strip;
}

CGRect LGridCellBorder::verticalBorderFrameLeft(bool left) const
{
    auto cell = m_cell.lock();
    if (!cell)
        return CGRectZero;
    auto grid = cell->owningGrid();
    CGSize size = cell->bounds().size;
    CGRect strip = CGRectMake(0, 0, borderSizeAt(left ? 2 : 3), size.height);
    if (grid && grid->rowStylesTakePriority()) {
        float top = borderSizeAt(0);
        strip.origin.y = top;
        strip.size.height -= top + borderSizeAt(1);
    }
    return strip;
}

void LGridCellBorder::setFrame(CGRect frame)
{
    auto cell = m_cell.lock();
    if (!cell || !cell->hasOwningGrid())
        return;
    refreshBorderWithFrameRestyleBorders(frame, !m_initialisedBorders);
    m_initialisedBorders = true;
}

void LGridCellBorder::refreshBorderWithFrameRestyleBorders(CGRect frame, bool restyle)
{
    std::array<CGRect, 4> strips { horizontalBorderFrameTop(true), horizontalBorderFrameTop(false),
        verticalBorderFrameLeft(true), verticalBorderFrameLeft(false) };
    strips[1].origin.y = frame.size.height - strips[1].size.height;
    strips[3].origin.x = frame.size.width - strips[3].size.width;
    CATransaction::begin();
    CATransaction::setDisableActions(true);
    for (int32_t side = 0; side < 4; ++side) {
        const auto& layer = m_borders[static_cast<size_t>(side)];
        if (restyle) {
            styleBorderAtIndex(layer, side);
            layer->setShadowPath(CGPathCreateWithRect(CGRectMake(0, 0, frame.size.width, frame.size.height), nullptr));
        }
        layer->setFrame(strips[static_cast<size_t>(side)]);
    }
    CATransaction::commit();
}

void LGridCellBorder::styleBorderAtIndex(const Ref<CAGradientLayer>& layer, int32_t side)
{
    auto style = borderStyleAt(side);
    if (style && style->color())
        layer->setBackgroundColor(style->color()->CGColor());
}
