// The data grid as the engine's data source: the header section from its columns, everything
// else from its own data source with the section index lowered by one.

#include "grid/datagrid/LatticeDataGrid.h"

#include "foundation/NSString.h"
#include "graphics/CAGradientLayer.h"
#include "graphics/UIColor.h"
#include "graphics/UIFont.h"
#include "grid/LGridCoord.h"
#include "grid/LGridSectionHeaderStyle.h"
#include "grid/LatticeGrid.h"
#include "grid/LatticeGridLog.h"
#include "grid/datagrid/GradientLayerUIView.h"
#include "grid/datagrid/LDataGridCell.h"
#include "grid/datagrid/LDataGridColumn.h"
#include "grid/datagrid/LDataGridCoord.h"
#include "grid/datagrid/LDataGridDataSource.h"
#include "grid/datagrid/LDataGridDelegate.h"
#include "grid/datagrid/LDataGridRow.h"
#include "grid/datagrid/LDataGridSectionHeaderStyle.h"
#include "grid/datagrid/LDataGridTextInputCell.h"
#include "grid/datagrid/LDataGridTheme.h"
#include "uikit/UILabel.h"

#include <array>

namespace {

// The operations of the engine's protocols that the data grid answers, by selector name.
constexpr std::array<std::string_view, 49> kAnsweredSelectors {
    "numberOfSectionsInLatticeGrid:",
    "latticeGrid:titleForHeaderInSection:",
    "latticeGrid:titleForFrozenHeaderInSection:",
    "latticeGrid:viewForHeaderInSection:inFrame:",
    "latticeGrid:viewForFrozenHeaderInSection:inFrame:",
    "latticeGrid:styleForRowAtIndex:inSection:",
    "latticeGrid:styleForColAtIndex:",
    "latticeGrid:alterStyle:beforeApplyingToCellAtCoord:",
    "latticeGrid:styleForHorizontalGridLineAtIndex:inSection:",
    "latticeGrid:styleForVerticalGridLineAtIndex:",
    "latticeGrid:styleForSectionHeaderAtIndex:",
    "didFinishLayingOutLatticeGrid:",
    "latticeGrid:shouldExpandSectionAtIndex:",
    "latticeGrid:willExpandSectionAtIndex:",
    "latticeGrid:didExpandSectionAtIndex:",
    "latticeGrid:shouldCollapseSectionAtIndex:",
    "latticeGrid:willCollapseSectionAtIndex:",
    "latticeGrid:didCollapseSectionAtIndex:",
    "latticeGrid:shouldSelectCellAtCoord:",
    "latticeGrid:willSelectCellAtCoord:",
    "latticeGrid:didSelectCellAtCoord:",
    "latticeGrid:shouldDeselectCellAtCoord:",
    "latticeGrid:willDeselectCellAtCoord:",
    "latticeGrid:didDeselectCellAtCoord:",
    "latticeGrid:shouldBeginEditingAutoCell:",
    "latticeGrid:willBeginEditingAutoCell:",
    "latticeGrid:didFinishEditingAutoCell:",
    "latticeGrid:didTapCellAtCoord:isDoubleTap:",
    "latticeGrid:cellCanRespondToDoubleTap:",
    "latticeGrid:shouldSelectRow:",
    "latticeGrid:willSelectRow:",
    "latticeGrid:didSelectRow:",
    "latticeGrid:shouldDeselectRow:",
    "latticeGrid:willDeselectRow:",
    "latticeGrid:didDeselectRow:",
    "latticeGrid:shouldBeginResizingColumnAtIndex:",
    "latticeGrid:widthForResizingColAtIndex:withCurrentWidth:targetWidth:",
    "latticeGrid:didResizeColumnAtIndex:fromWidth:toWidth:",
    "latticeGrid:willEndResizingColumnAtIndex:fromWidth:toWidth:",
    "latticeGrid:didEndResizingColumnAtIndex:fromWidth:toWidth:",
    "latticeGrid:permittedDragDirectionForCellAtCoord:",
    "latticeGrid:colAtIndex:hasBeenSwitchedWithColAtIndex:",
    "latticeGrid:willEndReorderingColumnAtIndex:",
    "latticeGrid:didEndReorderingColumnAtIndex:",
    "latticeGrid:row:hasBeenSwitchedWithRow:",
    "latticeGrid:willEndReorderingRow:",
    "latticeGrid:didEndReorderingRow:",
    "latticeGrid:arrowImageForOrientation:forCellAtCoord:",
    "latticeGrid:offsetForArrowImageWithOrientation:forCellAtCoord:",
};

constexpr std::array<std::string_view, 9> kScrollSelectors {
    "scrollViewDidScroll:",
    "scrollViewDidEndScrollingAnimation:",
    "scrollViewDidEndDecelerating:",
    "scrollViewWillBeginDragging:",
    "scrollViewWillEndDragging:withVelocity:targetContentOffset:",
    "scrollViewDidEndDragging:willDecelerate:",
    "scrollViewDidScrollToTop:",
    "scrollViewWillBeginDecelerating:",
    "scrollViewShouldScrollToTop:",
};

} // namespace

bool LatticeDataGrid::respondsToSelector(std::string_view selector) const
{
    for (auto known : kAnsweredSelectors) {
        if (known == selector)
            return true;
    }
    for (auto known : kScrollSelectors) {
        if (known == selector)
            return true;
    }
    return false;
}

int32_t LatticeDataGrid::numberOfColsForLatticeGrid(const Ref<LatticeGrid>&)
{
    return static_cast<int32_t>(m_cols.size());
}

int32_t LatticeDataGrid::numberOfSectionsInLatticeGrid(const Ref<LatticeGrid>&)
{
    auto source = dataSource();
    if (!source || !source->respondsToSelector("numberOfSectionsInLatticeDataGrid:"))
        return 2;
    int32_t sections = source->numberOfSectionsInLatticeDataGrid(protectedGrid());
    if (sections < 0)
        abortWithMsg("numberOfSectionsInLatticeDataGrid must return a number greater than, or zero");
    return sections + 1;
}

int32_t LatticeDataGrid::latticeGridNumberOfRowsInSection(const Ref<LatticeGrid>&, int32_t section)
{
    if (section == 0)
        return m_numberOfHeaderRows;
    auto source = dataSource();
    return source ? static_cast<int32_t>(source->latticeDataGridNumberOfRowsInSection(protectedGrid(), section - 1))
                  : 0;
}

Ref<LGridCell> LatticeDataGrid::latticeGridCellForGridCoord(const Ref<LatticeGrid>&, const Ref<LGridCoord>& coord)
{
    if (!coord)
        return nullptr;
    if (isRowHeaderRow(coord->row()))
        return retrieveOrMakeHeaderCellForGridCoord(coord);
    return retrieveOrMakeBodyCellForGridCoord(coord);
}

Ref<LDataGridCell> LatticeDataGrid::retrieveOrMakeHeaderCellForGridCoord(const Ref<LGridCoord>& coord)
{
    auto column = columnAtIndex(coord->column());
    if (!column)
        return nullptr;
    auto cell = retrieveOrMakeCellForGridCoordOfType(coord, column->headerCellType());
    if (auto text = std::dynamic_pointer_cast<LDataGridTextInputCell>(cell))
        text->setText(column->title().value_or(""));
    return cell;
}

Ref<LDataGridCell> LatticeDataGrid::retrieveOrMakeBodyCellForGridCoord(const Ref<LGridCoord>& coord)
{
    auto column = columnAtIndex(coord->column());
    if (!column)
        return nullptr;
    auto cell = retrieveOrMakeCellForGridCoordOfType(coord, column->cellType());
    if (!cell)
        return nullptr;
    if (auto source = dataSource())
        source->latticeDataGridPrepareCellForDisplay(protectedGrid(), cell);
    return cell;
}

Ref<LDataGridCell> LatticeDataGrid::retrieveOrMakeCellForGridCoordOfType(const Ref<LGridCoord>& coord, Class cellType)
{
    if (!cellType)
        return nullptr;
    std::string identifier = NSStringFromClass(cellType);
    auto cell = std::dynamic_pointer_cast<LDataGridCell>(m_internalGrid->dequeueReusableCellWithIdentifier(identifier));
    if (!cell)
        cell = LDataGridCell::makeCellOfClass(cellType, identifier);
    if (!cell)
        return nullptr;
    cell->setCoordinate(dataCoordFromRowAndCol(translateRowToExternal(coord->row(), true), coord->column()));
    // The engine finds the cell where it asked for it by this coordinate.
    cell->setGridCoord(coord);
    cell->internalCell()->setGridCoord(cell->gridCoord());
    return cell;
}

std::optional<std::string> LatticeDataGrid::latticeGridTitleForHeaderInSection(const Ref<LatticeGrid>&, int32_t section)
{
    if (section == 0)
        return std::string("Headers");
    auto source = dataSource();
    if (source && source->respondsToSelector("latticeDataGrid:titleForHeaderInSection:"))
        return source->latticeDataGridTitleForHeaderInSection(protectedGrid(), section - 1);
    return NSString::stringWithFormat("Section %ld", static_cast<long>(section - 1));
}

std::optional<std::string> LatticeDataGrid::latticeGridTitleForFrozenHeaderInSection(
    const Ref<LatticeGrid>&, int32_t section)
{
    if (section == 0)
        return std::string("Headers");
    auto source = dataSource();
    if (source && source->respondsToSelector("latticeDataGrid:titleForFrozenHeaderInSection:"))
        return source->latticeDataGridTitleForFrozenHeaderInSection(protectedGrid(), section - 1);
    return NSString::stringWithFormat("Section %ld", static_cast<long>(section - 1));
}

Ref<UIView> LatticeDataGrid::latticeGridViewForHeaderInSectionInFrame(
    const Ref<LatticeGrid>&, int32_t section, CGRect frame)
{
    if (section == 0)
        return nullptr;
    auto source = dataSource();
    if (source && source->respondsToSelector("latticeDataGrid:viewForHeaderInSection:inFrame:"))
        return source->latticeDataGridViewForHeaderInSectionInFrame(protectedGrid(), section - 1, frame);
    return sectionHeaderViewAtIndexAsFrozenInFrame(section - 1, false, frame);
}

Ref<UIView> LatticeDataGrid::latticeGridViewForFrozenHeaderInSectionInFrame(
    const Ref<LatticeGrid>&, int32_t section, CGRect frame)
{
    if (section == 0)
        return nullptr;
    auto source = dataSource();
    if (source && source->respondsToSelector("latticeDataGrid:viewForFrozenHeaderInSection:inFrame:"))
        return source->latticeDataGridViewForFrozenHeaderInSectionInFrame(protectedGrid(), section - 1, frame);
    return sectionHeaderViewAtIndexAsFrozenInFrame(section - 1, true, frame);
}

Ref<UIView> LatticeDataGrid::sectionHeaderViewAtIndexAsFrozenInFrame(int32_t section, bool frozen, CGRect frame)
{
    auto view = GradientLayerUIView::initWithFrame(frame);
    const auto& style = m_defaultSectionHeaderStyle;
    if (style && style->gradient())
        LDataGridTheme::applyGradientToGradientLayer(style->gradient(), view->gradientLayer());
    else if (!style || !style->backgroundColor())
        LDataGridTheme::applyGradientToGradientLayer(LDataGridTheme::sectionHeaderGradient(), view->gradientLayer());
    view->setClipsToBounds(true);
    auto grid = m_internalGrid;
    auto title = frozen ? latticeGridTitleForFrozenHeaderInSection(grid, section + 1)
                        : latticeGridTitleForHeaderInSection(grid, section + 1);
    if (title) {
        auto label = UILabel::initWithFrame(CGRectZero);
        label->setBackgroundColor(UIColor::clearColor());
        auto textColor = style ? style->textColor() : nullptr;
        label->setTextColor(textColor ? textColor : LDataGridTheme::initialThemeSectionHeaderFontColor());
        auto font = style ? style->font() : nullptr;
        label->setFont(font ? font : UIFont::fontWithNameSize("Helvetica-Bold", 20));
        label->setTextAlignment(NSTextAlignmentLeft);
        label->setText(*title);
        label->setAutoresizingMask(63);
        label->sizeToFit();
        label->setCenter(CGPointMake(label->frame().size.width / 2 + 26, frame.size.height / 2));
        view->addSubview(label);
    }
    return view;
}
