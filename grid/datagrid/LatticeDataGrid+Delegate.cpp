// The data grid as the engine's delegate: styles from its columns and defaults, header rows
// kept out of selection, header taps turned into sorting, drag permissions, and everything about
// the user's content passed on in terms of columns, rows and coordinates.

#include "grid/datagrid/LatticeDataGrid.h"

#include "foundation/NSString.h"
#include "grid/LGridCell.h"
#include "grid/LGridCellStyle.h"
#include "grid/LGridColRowStyle.h"
#include "grid/LGridCoord.h"
#include "grid/LGridLineStyle.h"
#include "grid/LGridSectionHeaderStyle.h"
#include "grid/LGridTextInputCell.h"
#include "grid/LatticeGrid.h"
#include "grid/LatticeGridLog.h"
#include "grid/NSValue+LGridRow.h"
#include "grid/datagrid/LDataGridCell.h"
#include "grid/datagrid/LDataGridCellStyle.h"
#include "grid/datagrid/LDataGridColumn.h"
#include "grid/datagrid/LDataGridCoord.h"
#include "grid/datagrid/LDataGridDelegate.h"
#include "grid/datagrid/LDataGridLineStyle.h"
#include "grid/datagrid/LDataGridRow.h"
#include "grid/datagrid/LDataGridSectionHeaderStyle.h"

#include <atomic>

namespace {

std::atomic<bool> s_loggedHeaderDoubleTap { false };

} // namespace

void LatticeDataGrid::resetForTesting()
{
    s_loggedHeaderDoubleTap = false;
}

void LatticeDataGrid::passDelegateToUserWithSectionIndex(
    const std::function<void(LDataGridDelegate&, uint32_t)>& call, std::string_view selector, uint32_t section)
{
    if (section == 0)
        return;
    auto delegate = this->delegate();
    if (delegate && delegate->respondsToSelector(selector))
        call(*delegate, section - 1);
}

void LatticeDataGrid::passDelegateToUserWithGridCoord(
    const std::function<void(LDataGridDelegate&, const Ref<LDataGridCoord>&)>& call, std::string_view selector,
    const Ref<LGridCoord>& coord)
{
    auto delegate = this->delegate();
    if (!delegate || !coord || !delegate->respondsToSelector(selector))
        return;
    call(*delegate, dataCoordFromRowAndCol(translateRowToExternal(coord->row(), true), coord->column()));
}

void LatticeDataGrid::passRowToUser(const std::function<void(LDataGridDelegate&, const Ref<LDataGridRow>&)>& call,
    std::string_view selector, LGridRow row)
{
    if (isRowHeaderRow(row))
        return;
    auto delegate = this->delegate();
    if (delegate && delegate->respondsToSelector(selector))
        call(*delegate, LDataGridRow::rowFromRowStruct(translateRowToExternal(row, true)));
}

// Styles and layout

Ref<LGridColRowStyle> LatticeDataGrid::latticeGridStyleForRowAtIndexInSection(
    const Ref<LatticeGrid>&, int32_t index, int32_t section)
{
    LGridRow row = LGridRowMake(index, section);
    if (isRowHeaderRow(row)) {
        return LGridColRowStyle::styleWithSizeWithCellStyle(
            m_defaultHeaderRowHeight, m_defaultHeaderCellStyle ? m_defaultHeaderCellStyle->cellStyle() : nullptr);
    }
    Ref<LGridColRowStyle> style;
    if (m_defaultCellStyleForAlternateRows && index % 2 == 1) {
        style = LGridColRowStyle::styleWithSizeWithCellStyle(
            defaultRowHeight(), m_defaultCellStyleForAlternateRows->cellStyle());
        style->setMinimumSize(minimumRowHeight());
    }
    auto delegate = this->delegate();
    if (delegate && delegate->respondsToSelector("latticeDataGrid:heightForRowAtIndex:inSection:")) {
        if (auto height = delegate->latticeDataGridHeightForRowAtIndexInSection(protectedGrid(), index, section - 1)) {
            if (!style)
                style = LGridColRowStyle::init();
            style->setSize(*height);
        }
    }
    return style;
}

Ref<LGridColRowStyle> LatticeDataGrid::latticeGridStyleForColAtIndex(const Ref<LatticeGrid>&, int32_t column)
{
    if (column < 0 || static_cast<size_t>(column) >= m_cols.size())
        return nullptr;
    const auto& col = m_cols[static_cast<size_t>(column)];
    auto style = LGridColRowStyle::styleWithSizeWithCellStyle(
        col->width(), col->cellStyle() ? col->cellStyle()->cellStyle() : nullptr);
    style->setMinimumSize(col->minimumWidth());
    return style;
}

void LatticeDataGrid::latticeGridAlterStyleBeforeApplyingToCellAtCoord(
    const Ref<LatticeGrid>&, const Ref<LGridCellStyle>& style, const Ref<LGridCoord>& coord)
{
    if (!style || !coord)
        return;
    if (isRowHeaderRow(coord->row())) {
        auto column = columnAtIndex(coord->column());
        if (column && column->headerCellStyle())
            style->overrideWithStyle(column->headerCellStyle()->cellStyle());
        return;
    }
    auto delegate = this->delegate();
    if (!delegate || !delegate->respondsToSelector("latticeDataGrid:alterStyle:beforeApplyingToCellAtCoordinate:"))
        return;
    auto wrapper = LDataGridCellStyle::wrapperOfEngineStyle(style);
    performWithGridCoordToPassout(
        [&](const Ref<LDataGridCoord>& c) {
            delegate->latticeDataGridAlterStyleBeforeApplyingToCellAtCoordinate(protectedGrid(), wrapper, c);
        },
        coord);
}

Ref<LGridLineStyle> LatticeDataGrid::latticeGridStyleForHorizontalGridLineAtIndexInSection(
    const Ref<LatticeGrid>&, int32_t index, int32_t section)
{
    auto delegate = this->delegate();
    bool implemented
        = delegate && delegate->respondsToSelector("latticeDataGrid:styleForHorizontalGridLineAtIndex:inSection:");
    if (!implemented) {
        if (index == 0 && section == 0)
            return LGridLineStyle::initWithWidthWithColor(0, nullptr);
        return nullptr;
    }
    if (section < 1)
        return nullptr;
    auto style
        = delegate->latticeDataGridStyleForHorizontalGridLineAtIndexInSection(protectedGrid(), index, section - 1);
    return style ? style->lineStyle() : nullptr;
}

Ref<LGridLineStyle> LatticeDataGrid::latticeGridStyleForVerticalGridLineAtIndex(const Ref<LatticeGrid>&, int32_t index)
{
    auto delegate = this->delegate();
    if (!delegate || !delegate->respondsToSelector("latticeDataGrid:styleForVerticalGridLineAtIndex:"))
        return nullptr;
    auto style = delegate->latticeDataGridStyleForVerticalGridLineAtIndex(protectedGrid(), index);
    return style ? style->lineStyle() : nullptr;
}

Ref<LGridSectionHeaderStyle> LatticeDataGrid::latticeGridStyleForSectionHeaderAtIndex(
    const Ref<LatticeGrid>&, int32_t section)
{
    if (section == 0)
        return hiddenStyle();
    auto delegate = this->delegate();
    if (delegate && delegate->respondsToSelector("latticeDataGrid:styleForSectionHeaderAtIndex:")) {
        auto style = delegate->latticeDataGridStyleForSectionHeaderAtIndex(protectedGrid(), section - 1);
        return style ? style->sectionHeaderStyle() : nullptr;
    }
    if (numberOfSections() == 1)
        return hiddenStyle();
    return nullptr;
}

void LatticeDataGrid::didFinishLayingOutLatticeGrid(const Ref<LatticeGrid>&)
{
    auto delegate = this->delegate();
    if (delegate && delegate->respondsToSelector("didFinishLayingOutLatticeDataGrid:"))
        delegate->didFinishLayingOutLatticeDataGrid(protectedGrid());
}

// Sections

bool LatticeDataGrid::latticeGridShouldExpandSectionAtIndex(const Ref<LatticeGrid>&, uint32_t section)
{
    auto delegate = this->delegate();
    if (section == 0 || !delegate || !delegate->respondsToSelector("latticeDataGrid:shouldExpandSectionAtIndex:"))
        return true;
    return delegate->latticeDataGridShouldExpandSectionAtIndex(protectedGrid(), section - 1);
}

bool LatticeDataGrid::latticeGridShouldCollapseSectionAtIndex(const Ref<LatticeGrid>&, uint32_t section)
{
    auto delegate = this->delegate();
    if (section == 0 || !delegate || !delegate->respondsToSelector("latticeDataGrid:shouldCollapseSectionAtIndex:"))
        return true;
    return delegate->latticeDataGridShouldCollapseSectionAtIndex(protectedGrid(), section - 1);
}

void LatticeDataGrid::latticeGridWillExpandSectionAtIndex(const Ref<LatticeGrid>&, uint32_t section)
{
    passDelegateToUserWithSectionIndex(
        [&](LDataGridDelegate& d, uint32_t s) { d.latticeDataGridWillExpandSectionAtIndex(protectedGrid(), s); },
        "latticeDataGrid:willExpandSectionAtIndex:", section);
}

void LatticeDataGrid::latticeGridDidExpandSectionAtIndex(const Ref<LatticeGrid>&, uint32_t section)
{
    passDelegateToUserWithSectionIndex(
        [&](LDataGridDelegate& d, uint32_t s) { d.latticeDataGridDidExpandSectionAtIndex(protectedGrid(), s); },
        "latticeDataGrid:didExpandSectionAtIndex:", section);
}

void LatticeDataGrid::latticeGridWillCollapseSectionAtIndex(const Ref<LatticeGrid>&, uint32_t section)
{
    passDelegateToUserWithSectionIndex(
        [&](LDataGridDelegate& d, uint32_t s) { d.latticeDataGridWillCollapseSectionAtIndex(protectedGrid(), s); },
        "latticeDataGrid:willCollapseSectionAtIndex:", section);
}

void LatticeDataGrid::latticeGridDidCollapseSectionAtIndex(const Ref<LatticeGrid>&, uint32_t section)
{
    passDelegateToUserWithSectionIndex(
        [&](LDataGridDelegate& d, uint32_t s) { d.latticeDataGridDidCollapseSectionAtIndex(protectedGrid(), s); },
        "latticeDataGrid:didCollapseSectionAtIndex:", section);
}

// Cell selection, taps and editing

bool LatticeDataGrid::latticeGridShouldSelectCellAtCoord(const Ref<LatticeGrid>&, const Ref<LGridCoord>& coord)
{
    if (!coord || isRowHeaderRow(coord->row()))
        return false;
    bool answer = true;
    passDelegateToUserWithGridCoord(
        [&](LDataGridDelegate& d, const Ref<LDataGridCoord>& c) {
            answer = d.latticeDataGridShouldSelectCellAtCoordinate(protectedGrid(), c);
        },
        "latticeDataGrid:shouldSelectCellAtCoordinate:", coord);
    return answer;
}

bool LatticeDataGrid::latticeGridShouldDeselectCellAtCoord(const Ref<LatticeGrid>&, const Ref<LGridCoord>& coord)
{
    if (!coord || isRowHeaderRow(coord->row()))
        return false;
    bool answer = true;
    passDelegateToUserWithGridCoord(
        [&](LDataGridDelegate& d, const Ref<LDataGridCoord>& c) {
            answer = d.latticeDataGridShouldDeselectCellAtCoordinate(protectedGrid(), c);
        },
        "latticeDataGrid:shouldDeselectCellAtCoordinate:", coord);
    return answer;
}

void LatticeDataGrid::latticeGridWillSelectCellAtCoord(const Ref<LatticeGrid>&, const Ref<LGridCoord>& coord)
{
    passDelegateToUserWithGridCoord(
        [&](LDataGridDelegate& d, const Ref<LDataGridCoord>& c) {
            d.latticeDataGridWillSelectCellAtCoordinate(protectedGrid(), c);
        },
        "latticeDataGrid:willSelectCellAtCoordinate:", coord);
}

void LatticeDataGrid::latticeGridDidSelectCellAtCoord(const Ref<LatticeGrid>&, const Ref<LGridCoord>& coord)
{
    passDelegateToUserWithGridCoord(
        [&](LDataGridDelegate& d, const Ref<LDataGridCoord>& c) {
            d.latticeDataGridDidSelectCellAtCoordinate(protectedGrid(), c);
        },
        "latticeDataGrid:didSelectCellAtCoordinate:", coord);
}

void LatticeDataGrid::latticeGridWillDeselectCellAtCoord(const Ref<LatticeGrid>&, const Ref<LGridCoord>& coord)
{
    passDelegateToUserWithGridCoord(
        [&](LDataGridDelegate& d, const Ref<LDataGridCoord>& c) {
            d.latticeDataGridWillDeselectCellAtCoordinate(protectedGrid(), c);
        },
        "latticeDataGrid:willDeselectCellAtCoordinate:", coord);
}

void LatticeDataGrid::latticeGridDidDeselectCellAtCoord(const Ref<LatticeGrid>&, const Ref<LGridCoord>& coord)
{
    passDelegateToUserWithGridCoord(
        [&](LDataGridDelegate& d, const Ref<LDataGridCoord>& c) {
            d.latticeDataGridDidDeselectCellAtCoordinate(protectedGrid(), c);
        },
        "latticeDataGrid:didDeselectCellAtCoordinate:", coord);
}

void LatticeDataGrid::latticeGridDidTapCellAtCoordIsDoubleTap(
    const Ref<LatticeGrid>&, const Ref<LGridCoord>& coord, bool doubleTap)
{
    if (!coord)
        return;
    auto protectedThis = protectedGrid();
    if (!isRowHeaderRow(coord->row())) {
        passDelegateToUserWithGridCoord(
            [&](LDataGridDelegate& d, const Ref<LDataGridCoord>& c) {
                d.latticeDataGridDidTapCellAtCoordinateIsDoubleTap(protectedThis, c, doubleTap);
            },
            "latticeDataGrid:didTapCellAtCoordinate:isDoubleTap:", coord);
        return;
    }
    if (doubleTap && !s_loggedHeaderDoubleTap.exchange(true)) {
        LatticeGridLog::logMessage(NSString::stringWithFormat(
            "%s called from a double-tap", "-[LatticeDataGrid latticeGrid:didTapCellAtCoord:isDoubleTap:]"));
    }
    if (auto column = columnAtIndex(coord->column()))
        column->setSortOrder(column->nextSortOrderAccordingToSortMode());
}

bool LatticeDataGrid::latticeGridCellCanRespondToDoubleTap(const Ref<LatticeGrid>&, const Ref<LGridCell>& cell)
{
    auto dataCell = std::dynamic_pointer_cast<LDataGridCell>(cell);
    const auto& coord = cell ? cell->gridCoord() : nullptr;
    if (!coord)
        return true;
    if (isRowHeaderRow(coord->row()))
        return dataCell ? dataCell->respondsToDoubleTap() : false;
    auto column = columnAtIndex(coord->column());
    if (column && !column->editable() && (doubleTapEventMask() & ~2) == 0)
        return false;
    auto delegate = this->delegate();
    if (dataCell && delegate && delegate->respondsToSelector("latticeDataGrid:cellCanRespondToDoubleTap:"))
        return delegate->latticeDataGridCellCanRespondToDoubleTap(protectedGrid(), dataCell);
    return true;
}

bool LatticeDataGrid::latticeGridShouldBeginEditingAutoCell(
    const Ref<LatticeGrid>&, const Ref<LGridTextInputCell>& cell)
{
    const auto& coord = cell ? cell->gridCoord() : nullptr;
    if (!coord)
        return false;
    auto column = columnAtIndex(coord->column());
    bool answer = column && column->editable();
    auto delegate = this->delegate();
    if (delegate && delegate->respondsToSelector("latticeDataGrid:shouldBeginEditingCellAtCoordinate:")) {
        performWithGridCoordToPassout(
            [&](const Ref<LDataGridCoord>& c) {
                answer = delegate->latticeDataGridShouldBeginEditingCellAtCoordinate(protectedGrid(), c);
            },
            coord);
    }
    return answer;
}

void LatticeDataGrid::latticeGridWillBeginEditingAutoCell(const Ref<LatticeGrid>&, const Ref<LGridTextInputCell>& cell)
{
    passDelegateToUserWithGridCoord(
        [&](LDataGridDelegate& d, const Ref<LDataGridCoord>& c) {
            d.latticeDataGridWillBeginEditingCellAtCoordinate(protectedGrid(), c);
        },
        "latticeDataGrid:willBeginEditingCellAtCoordinate:", cell ? cell->gridCoord() : nullptr);
}

void LatticeDataGrid::latticeGridDidFinishEditingAutoCell(const Ref<LatticeGrid>&, const Ref<LGridTextInputCell>& cell)
{
    passDelegateToUserWithGridCoord(
        [&](LDataGridDelegate& d, const Ref<LDataGridCoord>& c) {
            d.latticeDataGridDidFinishEditingCellAtCoordinate(protectedGrid(), c);
        },
        "latticeDataGrid:didFinishEditingCellAtCoordinate:", cell ? cell->gridCoord() : nullptr);
}

// Row selection

bool LatticeDataGrid::latticeGridShouldSelectRow(const Ref<LatticeGrid>&, LGridRow row)
{
    if (isRowHeaderRow(row))
        return false;
    bool answer = true;
    passRowToUser([&](LDataGridDelegate& d,
                      const Ref<LDataGridRow>& r) { answer = d.latticeDataGridShouldSelectRow(protectedGrid(), r); },
        "latticeDataGrid:shouldSelectRow:", row);
    return answer;
}

bool LatticeDataGrid::latticeGridShouldDeselectRow(const Ref<LatticeGrid>&, LGridRow row)
{
    if (isRowHeaderRow(row))
        abortWithMsg("should never get here, since we can't select a header row");
    bool answer = true;
    passRowToUser([&](LDataGridDelegate& d,
                      const Ref<LDataGridRow>& r) { answer = d.latticeDataGridShouldDeselectRow(protectedGrid(), r); },
        "latticeDataGrid:shouldDeselectRow:", row);
    return answer;
}

void LatticeDataGrid::latticeGridWillSelectRow(const Ref<LatticeGrid>&, LGridRow row)
{
    passRowToUser(
        [&](LDataGridDelegate& d, const Ref<LDataGridRow>& r) { d.latticeDataGridWillSelectRow(protectedGrid(), r); },
        "latticeDataGrid:willSelectRow:", row);
}

void LatticeDataGrid::latticeGridDidSelectRow(const Ref<LatticeGrid>&, LGridRow row)
{
    passRowToUser(
        [&](LDataGridDelegate& d, const Ref<LDataGridRow>& r) { d.latticeDataGridDidSelectRow(protectedGrid(), r); },
        "latticeDataGrid:didSelectRow:", row);
}

void LatticeDataGrid::latticeGridWillDeselectRow(const Ref<LatticeGrid>&, LGridRow row)
{
    passRowToUser(
        [&](LDataGridDelegate& d, const Ref<LDataGridRow>& r) { d.latticeDataGridWillDeselectRow(protectedGrid(), r); },
        "latticeDataGrid:willDeselectRow:", row);
}

void LatticeDataGrid::latticeGridDidDeselectRow(const Ref<LatticeGrid>&, LGridRow row)
{
    passRowToUser(
        [&](LDataGridDelegate& d, const Ref<LDataGridRow>& r) { d.latticeDataGridDidDeselectRow(protectedGrid(), r); },
        "latticeDataGrid:didDeselectRow:", row);
}

// Column resizing

bool LatticeDataGrid::latticeGridShouldBeginResizingColumnAtIndex(const Ref<LatticeGrid>&, uint32_t column)
{
    auto col = columnAtIndex(static_cast<int32_t>(column));
    return col && col->canResizeViaPinch();
}

std::optional<float> LatticeDataGrid::latticeGridWidthForResizingColAtIndexWithCurrentWidthTargetWidth(
    const Ref<LatticeGrid>&, uint32_t column, float current, float target)
{
    auto delegate = this->delegate();
    if (!delegate
        || !delegate->respondsToSelector("latticeDataGrid:widthForResizingColumn:withCurrentWidth:targetWidth:"))
        return std::nullopt;
    return delegate->latticeDataGridWidthForResizingColumnWithCurrentWidthTargetWidth(
        protectedGrid(), columnAtIndex(static_cast<int32_t>(column)), current, target);
}

void LatticeDataGrid::latticeGridDidResizeColumnAtIndexFromWidthToWidth(
    const Ref<LatticeGrid>&, uint32_t column, float from, float to)
{
    auto delegate = this->delegate();
    if (delegate && delegate->respondsToSelector("latticeDataGrid:didResizeColumn:fromWidth:toWidth:"))
        delegate->latticeDataGridDidResizeColumnFromWidthToWidth(
            protectedGrid(), columnAtIndex(static_cast<int32_t>(column)), from, to);
}

void LatticeDataGrid::latticeGridWillEndResizingColumnAtIndexFromWidthToWidth(
    const Ref<LatticeGrid>&, uint32_t column, float from, float to)
{
    auto delegate = this->delegate();
    if (delegate && delegate->respondsToSelector("latticeDataGrid:willEndResizingColumn:fromWidth:toWidth:"))
        delegate->latticeDataGridWillEndResizingColumnFromWidthToWidth(
            protectedGrid(), columnAtIndex(static_cast<int32_t>(column)), from, to);
}

void LatticeDataGrid::latticeGridDidEndResizingColumnAtIndexFromWidthToWidth(
    const Ref<LatticeGrid>&, uint32_t column, float from, float to)
{
    auto delegate = this->delegate();
    if (delegate && delegate->respondsToSelector("latticeDataGrid:didEndResizingColumn:fromWidth:toWidth:"))
        delegate->latticeDataGridDidEndResizingColumnFromWidthToWidth(
            protectedGrid(), columnAtIndex(static_cast<int32_t>(column)), from, to);
}

// Reordering

int32_t LatticeDataGrid::latticeGridPermittedDragDirectionForCellAtCoord(
    const Ref<LatticeGrid>&, const Ref<LGridCoord>& coord)
{
    if (!coord)
        return 0;
    bool header = isRowHeaderRow(coord->row());
    auto delegate = this->delegate();
    // Header rows always follow the rule below, so a header row can never be dragged up or
    // down into the user's rows, whatever the delegate answers for body cells.
    if (!header && delegate
        && delegate->respondsToSelector("latticeDataGrid:permittedDragDirectionForCellAtCoordinate:")) {
        int32_t answer = 0;
        performWithGridCoordToPassout(
            [&](const Ref<LDataGridCoord>& c) {
                answer = delegate->latticeDataGridPermittedDragDirectionForCellAtCoordinate(protectedGrid(), c);
            },
            coord);
        return answer;
    }
    int32_t directions = 3;
    auto column = columnAtIndex(coord->column());
    if (!(header && column && column->canReorderViaLongPress()))
        directions &= ~1;
    if (!(!header && m_canReorderRows))
        directions &= ~2;
    return directions;
}

void LatticeDataGrid::latticeGridColAtIndexHasBeenSwitchedWithColAtIndex(const Ref<LatticeGrid>&, int32_t a, int32_t b)
{
    auto first = columnAtIndex(a);
    auto second = columnAtIndex(b);
    if (!first || !second)
        return;
    first->setDisplayIndex(b);
    second->setDisplayIndex(a);
    std::swap(m_cols[static_cast<size_t>(a)], m_cols[static_cast<size_t>(b)]);
    auto delegate = this->delegate();
    if (delegate && delegate->respondsToSelector("latticeDataGrid:didReorderColumn:withColumn:"))
        delegate->latticeDataGridDidReorderColumnWithColumn(protectedGrid(), first, second);
}

void LatticeDataGrid::latticeGridWillEndReorderingColumnAtIndex(const Ref<LatticeGrid>&, uint32_t column)
{
    auto delegate = this->delegate();
    if (delegate && delegate->respondsToSelector("latticeDataGrid:willEndReorderingColumn:"))
        delegate->latticeDataGridWillEndReorderingColumn(protectedGrid(), columnAtIndex(static_cast<int32_t>(column)));
}

void LatticeDataGrid::latticeGridDidEndReorderingColumnAtIndex(const Ref<LatticeGrid>&, uint32_t column)
{
    auto delegate = this->delegate();
    if (delegate && delegate->respondsToSelector("latticeDataGrid:didEndReorderingColumn:"))
        delegate->latticeDataGridDidEndReorderingColumn(protectedGrid(), columnAtIndex(static_cast<int32_t>(column)));
}

void LatticeDataGrid::latticeGridRowHasBeenSwitchedWithRow(const Ref<LatticeGrid>&, LGridRow a, LGridRow b)
{
    m_internalGrid->redrawRows(Value::array({ NSValue_LGridRow::valueWithRow(a), NSValue_LGridRow::valueWithRow(b) }));
    auto delegate = this->delegate();
    if (delegate && delegate->respondsToSelector("latticeDataGrid:didReorderRow:withRow:")) {
        delegate->latticeDataGridDidReorderRowWithRow(protectedGrid(),
            LDataGridRow::rowFromRowStruct(translateRowToExternal(a, true)),
            LDataGridRow::rowFromRowStruct(translateRowToExternal(b, true)));
    }
}

void LatticeDataGrid::latticeGridWillEndReorderingRow(const Ref<LatticeGrid>&, LGridRow row)
{
    auto delegate = this->delegate();
    if (delegate && delegate->respondsToSelector("latticeDataGrid:willEndReorderingRow:"))
        delegate->latticeDataGridWillEndReorderingRow(
            protectedGrid(), LDataGridRow::rowFromRowStruct(translateRowToExternal(row, true)));
}

void LatticeDataGrid::latticeGridDidEndReorderingRow(const Ref<LatticeGrid>&, LGridRow row)
{
    auto delegate = this->delegate();
    if (delegate && delegate->respondsToSelector("latticeDataGrid:didEndReorderingRow:"))
        delegate->latticeDataGridDidEndReorderingRow(
            protectedGrid(), LDataGridRow::rowFromRowStruct(translateRowToExternal(row, true)));
}

Ref<UIImage> LatticeDataGrid::latticeGridArrowImageForOrientationForCellAtCoord(
    const Ref<LatticeGrid>&, int32_t, const Ref<LGridCoord>&)
{
    return nullptr;
}

CGPoint LatticeDataGrid::latticeGridOffsetForArrowImageWithOrientationForCellAtCoord(
    const Ref<LatticeGrid>&, int32_t, const Ref<LGridCoord>&)
{
    return CGPointZero;
}

// Scrolling

void LatticeDataGrid::passScrollToUser(std::string_view selector, const std::function<void(LDataGridDelegate&)>& call)
{
    auto delegate = this->delegate();
    if (delegate && delegate->respondsToSelector(selector))
        call(*delegate);
}

void LatticeDataGrid::scrollViewDidScroll(const Ref<UIScrollView>& scrollView)
{
    passScrollToUser("scrollViewDidScroll:", [&](LDataGridDelegate& d) { d.scrollViewDidScroll(scrollView); });
}

void LatticeDataGrid::scrollViewDidEndScrollingAnimation(const Ref<UIScrollView>& scrollView)
{
    passScrollToUser("scrollViewDidEndScrollingAnimation:",
        [&](LDataGridDelegate& d) { d.scrollViewDidEndScrollingAnimation(scrollView); });
}

void LatticeDataGrid::scrollViewDidEndDecelerating(const Ref<UIScrollView>& scrollView)
{
    passScrollToUser(
        "scrollViewDidEndDecelerating:", [&](LDataGridDelegate& d) { d.scrollViewDidEndDecelerating(scrollView); });
}

void LatticeDataGrid::scrollViewWillBeginDragging(const Ref<UIScrollView>& scrollView)
{
    passScrollToUser(
        "scrollViewWillBeginDragging:", [&](LDataGridDelegate& d) { d.scrollViewWillBeginDragging(scrollView); });
}

void LatticeDataGrid::scrollViewWillEndDraggingWithVelocityTargetContentOffset(
    const Ref<UIScrollView>& scrollView, CGPoint velocity, CGPoint* target)
{
    passScrollToUser("scrollViewWillEndDragging:withVelocity:targetContentOffset:", [&](LDataGridDelegate& d) {
        d.scrollViewWillEndDraggingWithVelocityTargetContentOffset(scrollView, velocity, target);
    });
}

void LatticeDataGrid::scrollViewDidEndDraggingWillDecelerate(const Ref<UIScrollView>& scrollView, bool decelerate)
{
    passScrollToUser("scrollViewDidEndDragging:willDecelerate:",
        [&](LDataGridDelegate& d) { d.scrollViewDidEndDraggingWillDecelerate(scrollView, decelerate); });
}

void LatticeDataGrid::scrollViewDidScrollToTop(const Ref<UIScrollView>& scrollView)
{
    passScrollToUser(
        "scrollViewDidScrollToTop:", [&](LDataGridDelegate& d) { d.scrollViewDidScrollToTop(scrollView); });
}

void LatticeDataGrid::scrollViewWillBeginDecelerating(const Ref<UIScrollView>& scrollView)
{
    passScrollToUser("scrollViewWillBeginDecelerating:",
        [&](LDataGridDelegate& d) { d.scrollViewWillBeginDecelerating(scrollView); });
}

bool LatticeDataGrid::scrollViewShouldScrollToTop(const Ref<UIScrollView>& scrollView)
{
    bool answer = false;
    passScrollToUser("scrollViewShouldScrollToTop:",
        [&](LDataGridDelegate& d) { answer = d.scrollViewShouldScrollToTop(scrollView); });
    return answer;
}
