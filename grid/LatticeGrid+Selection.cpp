// Selection: the record of selected coordinates, taps in the five selection modes, and the row
// and clear operations with their delegate callbacks.

#include "grid/LatticeGrid.h"

#include "foundation/NSString.h"
#include "grid/LGridBlockQueue.h"
#include "grid/LGridCell.h"
#include "grid/LGridCoord.h"
#include "grid/LGridDataSourceDelegateManager.h"
#include "grid/LGridDelegate.h"
#include "grid/LatticeGridLog.h"
#include "grid/NSValue+LGridRow.h"

#include <algorithm>

void LatticeGrid::recordGridCoordAsSelected(const Ref<LGridCoord>& coord, bool selected)
{
    if (!coord)
        return;
    auto same = [&](const Ref<LGridCoord>& c) { return c->isEqual(coord.get()); };
    std::erase_if(m_selectedGridCoords, same);
    if (selected)
        m_selectedGridCoords.push_back(coord->copy());
}

Ref<LGridCoord> LatticeGrid::selectedGridCoord() const
{
    return m_selectedGridCoords.empty() ? nullptr : m_selectedGridCoords.back();
}

bool LatticeGrid::isCoordSelected(const Ref<LGridCoord>& coord) const
{
    return coord
        && std::any_of(m_selectedGridCoords.begin(), m_selectedGridCoords.end(),
            [&](const Ref<LGridCoord>& c) { return c->isEqual(coord.get()); });
}

bool LatticeGrid::isRowSelected(LGridRow row) const
{
    if (m_selectionMode == LGridSelectionModeSingleCell || m_selectionMode == LGridSelectionModeMultipleCells)
        return false;
    return std::any_of(m_selectedGridCoords.begin(), m_selectedGridCoords.end(),
        [&](const Ref<LGridCoord>& c) { return c->hasRow(row); });
}

std::vector<LGridRow> LatticeGrid::selectedRowList() const
{
    std::vector<LGridRow> rows;
    for (const auto& coord : m_selectedGridCoords) {
        LGridRow row = coord->row();
        if (std::none_of(rows.begin(), rows.end(), [&](LGridRow r) { return LGridRowEqualToRow(r, row); }))
            rows.push_back(row);
    }
    return rows;
}

Value LatticeGrid::selectedRows() const
{
    std::vector<Value> boxes;
    for (LGridRow row : selectedRowList())
        boxes.push_back(NSValue_LGridRow::valueWithRow(row));
    return Value::array(std::move(boxes));
}

Ref<LGridCell> LatticeGrid::selectedCell()
{
    auto selected = selectedGridCoord();
    if (!selected)
        return nullptr;
    switch (m_selectionMode) {
    case LGridSelectionModeSingleCell:
    case LGridSelectionModeMultipleCells:
        return visibleCellAtCoord(selected);
    case LGridSelectionModeSingleRow:
        if (m_visibleColIndexes.empty())
            return nullptr;
        return visibleCellAtColAndRowPrivate(m_visibleColIndexes.front(), selected->row(), true);
    default:
        return nullptr;
    }
}

void LatticeGrid::setRowAsSelectedAnimatedNeedsDelegateCallbacksForQueueIfInvalid(
    LGridRow row, bool selected, bool animated, int32_t level, bool queueIfInvalid)
{
    if (!m_dataSourceDelegateManager->hasDataSource()) {
        if (queueIfInvalid) {
            m_delayUntilReloadQueue->addBlock([weak = weak_from_this(), row, selected, animated, level] {
                if (auto grid = std::static_pointer_cast<LatticeGrid>(weak.lock()))
                    grid->setRowAsSelectedAnimatedNeedsDelegateCallbacksForQueueIfInvalid(
                        row, selected, animated, level, false);
            });
        }
        return;
    }
    auto protectedThis = protectedGrid();
    auto delegate = this->delegate();
    if (level == 0 && delegate) {
        if (selected && delegate->respondsToSelector("latticeGrid:shouldSelectRow:")
            && !delegate->latticeGridShouldSelectRow(protectedThis, row))
            return;
        if (!selected && delegate->respondsToSelector("latticeGrid:shouldDeselectRow:")
            && !delegate->latticeGridShouldDeselectRow(protectedThis, row))
            return;
    }
    if (level != 2 && delegate) {
        if (selected && delegate->respondsToSelector("latticeGrid:willSelectRow:"))
            delegate->latticeGridWillSelectRow(protectedThis, row);
        if (!selected && delegate->respondsToSelector("latticeGrid:willDeselectRow:"))
            delegate->latticeGridWillDeselectRow(protectedThis, row);
    }
    int32_t columns = m_dataSourceDelegateManager->totalNumberOfColumnsInGrid();
    for (int32_t column = 0; column < columns; ++column) {
        if (auto cell = visibleCellAtColAndRowPrivate(column, row, true))
            cell->setSelectedAnimatedNeedsDelegateCallBacksFor(selected, animated, 2);
        else
            recordGridCoordAsSelected(LGridCoord::initWithColumnWithRow(column, row), selected);
    }
    if (!selected)
        clearRowFromRecordedSelectedGridCoords(row);
    delegate = this->delegate();
    if (level != 2 && delegate) {
        if (selected && delegate->respondsToSelector("latticeGrid:didSelectRow:"))
            delegate->latticeGridDidSelectRow(protectedThis, row);
        if (!selected && delegate->respondsToSelector("latticeGrid:didDeselectRow:"))
            delegate->latticeGridDidDeselectRow(protectedThis, row);
    }
}

void LatticeGrid::setSelectedRowsAnimated(const Value& rows, bool animated)
{
    auto protectedThis = protectedGrid();
    // A copy: the list may be a mutable one the delegate changes while it is told.
    std::vector<Value> entries = rows.elements();
    clearAllSelectedRowsWithAnimationWithDelegateCallbacksForQueueIfInvalid(animated, 1, true);
    for (size_t i = 0; i < entries.size(); ++i) {
        if (auto row = NSValue_LGridRow::rowValue(entries[i])) {
            setRowAsSelectedAnimated(*row, true, animated);
            continue;
        }
        LatticeGridLog::logMessageFromSource(
            NSString::stringWithFormat(
                "Entry %lu of array passed to %@ was not an NSValue object (was a %@ object), so "
                "no row set as selected.",
                static_cast<unsigned long>(i), std::string("setSelectedRows:animated:"),
                LatticeGridLog::classNameOfValue(entries[i])),
            this);
    }
}

void LatticeGrid::clearAllSelectedRowsWithAnimationWithDelegateCallbacksForQueueIfInvalid(
    bool animated, int32_t level, bool queueIfInvalid)
{
    if (!m_dataSourceDelegateManager->hasDataSource()) {
        if (queueIfInvalid) {
            m_delayUntilReloadQueue->addBlock([weak = weak_from_this(), animated, level] {
                if (auto grid = std::static_pointer_cast<LatticeGrid>(weak.lock()))
                    grid->clearAllSelectedRowsWithAnimationWithDelegateCallbacksForQueueIfInvalid(
                        animated, level, false);
            });
        }
        return;
    }
    for (LGridRow row : selectedRowList())
        setRowAsSelectedAnimatedNeedsDelegateCallbacksForQueueIfInvalid(row, false, animated, level, true);
}

void LatticeGrid::clearAllSelectedCellsWithAnimationWithDelegateCallbacksForQueueIfInvalid(
    bool animated, int32_t level, bool queueIfInvalid)
{
    if (!m_dataSourceDelegateManager->hasDataSource()) {
        if (queueIfInvalid) {
            m_delayUntilReloadQueue->addBlock([weak = weak_from_this(), animated, level] {
                if (auto grid = std::static_pointer_cast<LatticeGrid>(weak.lock()))
                    grid->clearAllSelectedCellsWithAnimationWithDelegateCallbacksForQueueIfInvalid(
                        animated, level, false);
            });
        }
        return;
    }
    auto coords = m_selectedGridCoords;
    for (const auto& coord : coords) {
        if (auto cell = visibleCellAtCoord(coord))
            cell->setSelectedAnimatedNeedsDelegateCallBacksFor(false, animated, level);
    }
    m_selectedGridCoords.clear();
}

void LatticeGrid::clearRowFromRecordedSelectedGridCoords(LGridRow row)
{
    auto coords = m_selectedGridCoords;
    for (const auto& coord : coords) {
        if (coord->hasRow(row))
            recordGridCoordAsSelected(coord, false);
    }
}

void LatticeGrid::handleSelectionEventOnCell(const Ref<LGridCell>& cell)
{
    if (!cell)
        return;
    auto protectedThis = protectedGrid();
    auto previous = selectedCell();
    std::vector<Ref<LGridCell>> cells;
    switch (m_selectionMode) {
    case LGridSelectionModeSingleCell:
        if (previous)
            previous->setSelectedAnimatedNeedsDelegateCallBacksFor(false, true, 0);
        if (previous && previous->gridCoord() && cell->gridCoord()
            && previous->gridCoord()->isEqual(cell->gridCoord().get()))
            return;
        cells.push_back(cell);
        break;
    case LGridSelectionModeMultipleCells:
        cells.push_back(cell);
        break;
    case LGridSelectionModeSingleRow:
    case LGridSelectionModeMultipleRows:
        if (m_selectionMode == LGridSelectionModeSingleRow) {
            if (m_preventSingleRowDeselection && cell->selected())
                return;
            clearAllSelectedRowsWithAnimationWithDelegateCallbacksForQueueIfInvalid(true, 0, false);
        }
        if (previous && previous->gridCoord() && cell->gridCoord()
            && LGridRowEqualToRow(previous->gridCoord()->row(), cell->gridCoord()->row()))
            break;
        if (cell->gridCoord()) {
            for (int32_t column : m_visibleColIndexes) {
                if (auto c = visibleCellAtColAndRowPrivate(column, cell->gridCoord()->row(), true))
                    cells.push_back(c);
            }
        }
        break;
    case LGridSelectionModeNone:
        return;
    default:
        LatticeGridLog::fatalLogMessageFromSource(NSString::stringWithFormat("LGridSelectionMode not recognised in %s",
                                                      "-[LatticeGrid handleSelectionEventOnCell:]"),
            this);
    }
    if (m_selectionMode == LGridSelectionModeSingleCell || m_selectionMode == LGridSelectionModeMultipleCells) {
        for (const auto& c : cells)
            c->respondToSelectionEvent();
        return;
    }
    if (cells.empty() || !cells.back()->gridCoord())
        return;
    LGridRow row = cells.back()->gridCoord()->row();
    setRowAsSelectedAnimatedNeedsDelegateCallbacksForQueueIfInvalid(row, !isRowSelected(row), true, 0, false);
}

void LatticeGrid::handleEditEventOnCell(const Ref<LGridCell>& cell)
{
    if (cell)
        cell->respondToEditEvent();
}
