// LatticeGrid: the visible window. Queries on it, the edge tests that decide when a row or
// column leaves or enters it, the passes that park and pool what leaves and load what enters,
// and the tidying after deceleration and reloads.
#include "grid/LatticeGrid.h"

#include "grid/LGridBorderStyle.h"
#include "grid/LGridCell.h"
#include "grid/LGridCellPool.h"
#include "grid/LGridCoord.h"
#include "grid/LGridDataSourceDelegateManager.h"
#include "grid/LGridLayer.h"
#include "grid/LGridSection.h"
#include "grid/LGridSectionHeaderStyle.h"

#include <algorithm>

// Queries

std::vector<LGridRow> LatticeGrid::visibleRowsPrivate(bool isPrivate)
{
    if (!isPrivate)
        return m_visibleRowIndexes;
    std::vector<LGridRow> rows;
    for (LGridRow row : m_visibleRowIndexes) {
        if (!m_dataSourceDelegateManager->sectionIsEmpty(row.section))
            rows.push_back(row);
    }
    return rows;
}

int32_t LatticeGrid::firstVisibleColumnIndex() const
{
    return m_visibleColIndexes.empty() ? 0 : m_visibleColIndexes.front();
}

int32_t LatticeGrid::lastVisibleColumnIndex() const
{
    return m_visibleColIndexes.empty() ? 0 : m_visibleColIndexes.back();
}

LGridRow LatticeGrid::firstVisibleRow() const
{
    return m_visibleRowIndexes.empty() ? LGridRowMake(0, 0) : m_visibleRowIndexes.front();
}

LGridRow LatticeGrid::lastVisibleRow() const
{
    return m_visibleRowIndexes.empty() ? LGridRowMake(0, 0) : m_visibleRowIndexes.back();
}

LGridRow LatticeGrid::firstVisibleNonFrozenRowAndVisibleIndex(int32_t* position)
{
    if (m_visibleRowIndexes.empty()) {
        if (position)
            *position = 0;
        return LGridRowMake(0, 0);
    }
    LGridRow last = lastFrozenRow();
    for (size_t i = 0; i < m_visibleRowIndexes.size(); ++i) {
        if (LGridRowGreaterThanRow(m_visibleRowIndexes[i], last)) {
            if (position)
                *position = static_cast<int32_t>(i);
            return m_visibleRowIndexes[i];
        }
    }
    if (position)
        *position = static_cast<int32_t>(m_visibleRowIndexes.size());
    return m_visibleRowIndexes.back();
}

int32_t LatticeGrid::firstVisibleNonFrozenColumnIndexAndVisibleIndex(int32_t* position) const
{
    if (m_visibleColIndexes.empty()) {
        if (position)
            *position = 0;
        return firstVisibleColumnIndex();
    }
    for (size_t i = 0; i < m_visibleColIndexes.size(); ++i) {
        if (static_cast<uint32_t>(m_visibleColIndexes[i]) >= m_innerNumberOfFrozenColumns) {
            if (position)
                *position = static_cast<int32_t>(i);
            return m_visibleColIndexes[i];
        }
    }
    if (position)
        *position = static_cast<int32_t>(m_visibleColIndexes.size());
    return m_visibleColIndexes.back();
}

bool LatticeGrid::allSectionsAreCollapsed()
{
    return static_cast<int32_t>(m_numberOfSectionsCollapsed) == numberOfSections();
}

float LatticeGrid::widthOfVerticalGridLineAtIndex(uint32_t column)
{
    return m_dataSourceDelegateManager->gridLineSizeVerticalAtIndex(static_cast<int32_t>(column));
}

float LatticeGrid::widthOfLeftBorder() const
{
    return m_defaultBorderStyle ? m_defaultBorderStyle->width() : 0;
}

// Edge tests

bool LatticeGrid::topRowNeedsRemovedFromVisibleGrid()
{
    if (m_numberOfFrozenRows + 1 >= m_visibleRowIndexes.size())
        return false;
    auto cell = loadAndRetrieveCellAtColAtRow(firstVisibleColumnIndex(), firstVisibleNonFrozenRow());
    if (!cell)
        return false;
    CGRect frame = cell->frame();
    return frame.origin.y + frame.size.height - contentOffset().y <= 0;
}

bool LatticeGrid::bottomRowNeedsRemovedFromVisibleGrid()
{
    if (m_numberOfFrozenRows + 1 >= m_visibleRowIndexes.size())
        return false;
    auto cell = loadAndRetrieveCellAtColAtRow(firstVisibleColumnIndex(), lastVisibleRow());
    if (!cell)
        return false;
    return cell->frame().origin.y - contentOffset().y > frame().size.height;
}

bool LatticeGrid::bottomRowNeedsAddedToVisibleGrid()
{
    if (allSectionsAreCollapsed())
        return false;
    auto cell = loadAndRetrieveCellAtColAtRow(firstVisibleColumnIndex(), lastVisibleRow());
    if (!cell || cell->isInLastRowOfLastUncollapsedSection())
        return false;
    float top = cell->frame().origin.y;
    if (cell->isCollapsed()) {
        // The top of the next section's header: the border and every section up to this one.
        top = currentContentHeightUpToAndIncludingSection(cell->gridCoord()->section());
    }
    return top - contentOffset().y <= frame().size.height;
}

bool LatticeGrid::topRowNeedsAddedToVisibleGrid()
{
    auto cell = loadAndRetrieveCellAtColAtRow(firstVisibleColumnIndex(), firstVisibleNonFrozenRow());
    if (!cell || cell->isInFirstRowOfFirstUncollapsedSection())
        return false;
    if (m_dataSourceDelegateManager->absoluteIndexForGridRow(cell->gridCoord()->row()) < m_innerNumberOfFrozenRows)
        return false;
    LGridRow firstNonFrozen = findRowAfterRow(lastFrozenRow());
    while (true) {
        auto section = m_dataSourceDelegateManager->sectionAtIndex(firstNonFrozen.section);
        if (!section || !section->isCollapsed())
            break;
        firstNonFrozen = LGridRowMake(0, firstNonFrozen.section + 1);
    }
    if (cell->gridCoord()->hasRow(firstNonFrozen))
        return false;
    CGRect frame = cell->frame();
    return frame.origin.y + frame.size.height - contentOffset().y >= 0;
}

bool LatticeGrid::leftColNeedsRemovedFromVisibleGrid()
{
    if (m_innerNumberOfFrozenColumns + 1 >= m_visibleColIndexes.size())
        return false;
    auto cell = loadAndRetrieveCellAtColAtRow(firstVisibleNonFrozenColumnIndex(), firstVisibleRow());
    if (!cell)
        return false;
    CGRect frame = cell->frame();
    return frame.origin.x + frame.size.width - contentOffset().x <= 0;
}

bool LatticeGrid::rightColNeedsRemovedFromVisibleGrid()
{
    if (m_innerNumberOfFrozenColumns + 1 >= m_visibleColIndexes.size())
        return false;
    auto cell = loadAndRetrieveCellAtColAtRow(lastVisibleColumnIndex(), firstVisibleRow());
    if (!cell)
        return false;
    return cell->frame().origin.x - contentOffset().x >= frame().size.width;
}

bool LatticeGrid::rightColNeedsAddedToVisibleGrid()
{
    if (m_visibleRowIndexes.empty())
        return false;
    auto cell = loadAndRetrieveCellAtColAtRow(lastVisibleColumnIndex(), firstVisibleRow());
    if (!cell)
        return false;
    return cell->frame().origin.x - contentOffset().x <= frame().size.width;
}

bool LatticeGrid::leftColNeedsAddedToVisibleGrid()
{
    if (m_visibleRowIndexes.empty())
        return false;
    auto cell = loadAndRetrieveCellAtColAtRow(firstVisibleNonFrozenColumnIndex(), firstVisibleRow());
    if (!cell || cell->gridCoord()->column() == 0
        || cell->gridCoord()->hasColumn(static_cast<int32_t>(m_innerNumberOfFrozenColumns)))
        return false;
    CGRect frame = cell->frame();
    return frame.origin.x + frame.size.width - contentOffset().x >= 0;
}

// Cells of an edge

Ref<LGridCell> LatticeGrid::topCellToBeRemovedForCol(int32_t column)
{
    return loadAndRetrieveCellAtColAtRow(column, firstVisibleNonFrozenRow());
}

Ref<LGridCell> LatticeGrid::bottomCellToBeRemovedForCol(int32_t column)
{
    return loadAndRetrieveCellAtColAtRow(column, lastVisibleRow());
}

Ref<LGridCell> LatticeGrid::bottomCellToBeAddedForCol(int32_t column)
{
    LGridRow row = findRowAfterRow(lastVisibleRow());
    while (row.section < numberOfSections()) {
        auto section = m_dataSourceDelegateManager->sectionAtIndex(row.section);
        if (!section || !section->isCollapsed())
            break;
        row = LGridRowMake(0, row.section + 1);
    }
    return loadAndRetrieveCellAtColAtRow(column, row);
}

Ref<LGridCell> LatticeGrid::topCellToBeAddedForCol(int32_t column)
{
    LGridRow row = findRowBeforeRow(firstVisibleNonFrozenRow());
    while (row.section >= 0) {
        auto section = m_dataSourceDelegateManager->sectionAtIndex(row.section);
        if (!section || !section->isCollapsed() || row.section == 0)
            break;
        int32_t previous = row.section - 1;
        row = LGridRowMake(static_cast<int32_t>(numberOfRowsForSectionPrivate(previous, true)) - 1, previous);
    }
    return loadAndRetrieveCellAtColAtRow(column, row);
}

Ref<LGridCell> LatticeGrid::leftCellToBeRemovedForRow(LGridRow row)
{
    return loadAndRetrieveCellAtColAtRow(firstVisibleNonFrozenColumnIndex(), row);
}

Ref<LGridCell> LatticeGrid::rightCellToBeRemovedForRow(LGridRow row)
{
    return loadAndRetrieveCellAtColAtRow(lastVisibleColumnIndex(), row);
}

Ref<LGridCell> LatticeGrid::leftCellToBeAddedForRow(LGridRow row)
{
    return loadAndRetrieveCellAtColAtRow(firstVisibleNonFrozenColumnIndex() - 1, row);
}

Ref<LGridCell> LatticeGrid::rightCellToBeAddedForRow(LGridRow row)
{
    return loadAndRetrieveCellAtColAtRow(m_visibleColIndexes.back() + 1, row);
}

// Passes

namespace {

void parkAndPool(const Ref<LGridCell>& cell)
{
    if (!cell)
        return;
    if (auto pane = cell->owningContentPane())
        pane->removeCell(cell);
    LGridCellPool::returnCell(cell);
}

} // namespace

void LatticeGrid::removeRowsFromTopAddToBottomIfNeeded()
{
    while (topRowNeedsRemovedFromVisibleGrid()) {
        for (int32_t column : std::vector<int32_t>(m_visibleColIndexes))
            parkAndPool(topCellToBeRemovedForCol(column));
        if (m_visibleRowIndexes.empty())
            break;
        int32_t position = 0;
        LGridRow row = firstVisibleNonFrozenRowAndVisibleIndex(&position);
        if (static_cast<size_t>(position) < m_visibleRowIndexes.size())
            m_visibleRowIndexes.erase(m_visibleRowIndexes.begin() + position);
        if (auto section = m_dataSourceDelegateManager->sectionAtIndex(row.section))
            section->removeRowRemoveFromView(row, false);
        m_dataSourceDelegateManager->forgetRowStyle(row);
    }
    while (bottomRowNeedsAddedToVisibleGrid())
        addNewBottomRowToGrid();
}

void LatticeGrid::removeRowsFromBottomAddToTopIfNeeded()
{
    while (bottomRowNeedsRemovedFromVisibleGrid()) {
        for (int32_t column : std::vector<int32_t>(m_visibleColIndexes))
            parkAndPool(bottomCellToBeRemovedForCol(column));
        if (m_visibleRowIndexes.empty())
            break;
        LGridRow row = m_visibleRowIndexes.back();
        m_visibleRowIndexes.pop_back();
        if (auto section = m_dataSourceDelegateManager->sectionAtIndex(row.section))
            section->removeRowRemoveFromView(row, false);
        m_dataSourceDelegateManager->forgetRowStyle(row);
    }
    while (topRowNeedsAddedToVisibleGrid())
        addNewTopRowToGrid();
}

void LatticeGrid::removeColsFromLeftAddToRightIfNeeded()
{
    while (leftColNeedsRemovedFromVisibleGrid()) {
        for (LGridRow row : std::vector<LGridRow>(m_visibleRowIndexes))
            parkAndPool(leftCellToBeRemovedForRow(row));
        if (m_visibleColIndexes.empty())
            break;
        int32_t position = 0;
        int32_t column = firstVisibleNonFrozenColumnIndexAndVisibleIndex(&position);
        for (int32_t s = firstVisibleSectionIndex(); s <= lastVisibleSectionIndex(); ++s) {
            if (auto section = m_dataSourceDelegateManager->sectionAtIndex(s))
                section->removeColAtIndexRemoveFromView(column, false);
        }
        if (static_cast<size_t>(position) < m_visibleColIndexes.size())
            m_visibleColIndexes.erase(m_visibleColIndexes.begin() + position);
    }
    while (rightColNeedsAddedToVisibleGrid() && lastVisibleColumnIndex() < numberOfColumns() - 1)
        addNewRightColumnToGrid();
}

void LatticeGrid::removeColsFromRightAddToLeftIfNeeded()
{
    while (rightColNeedsRemovedFromVisibleGrid()) {
        for (LGridRow row : std::vector<LGridRow>(m_visibleRowIndexes))
            parkAndPool(rightCellToBeRemovedForRow(row));
        if (m_visibleColIndexes.empty())
            break;
        int32_t column = lastVisibleColumnIndex();
        m_visibleColIndexes.pop_back();
        for (int32_t s = firstVisibleSectionIndex(); s <= lastVisibleSectionIndex(); ++s) {
            if (auto section = m_dataSourceDelegateManager->sectionAtIndex(s))
                section->removeColAtIndexRemoveFromView(column, false);
        }
    }
    while (leftColNeedsAddedToVisibleGrid())
        addNewLeftColumnToGrid();
}

void LatticeGrid::addNewBottomRowToGrid()
{
    Ref<LGridCell> added;
    for (int32_t column : std::vector<int32_t>(m_visibleColIndexes)) {
        auto cell = bottomCellToBeAddedForCol(column);
        if (!cell)
            continue;
        LGridRow newRow = cell->gridCoord()->row();
        LGridRow above = findRowBeforeRow(newRow);
        float extra = 0;
        while (true) {
            auto section = m_dataSourceDelegateManager->sectionAtIndex(above.section);
            if (!section || !section->isCollapsed() || above.section == 0)
                break;
            extra += headerHeightOfSection(above.section);
            int32_t previous = above.section - 1;
            above = LGridRowMake(m_dataSourceDelegateManager->numberOfRowsInSection(previous) - 1, previous);
        }
        auto neighbour = loadAndRetrieveCellAtColAtRow(column, above);
        if (!neighbour)
            continue;
        float top = neighbour->beingDragged() ? originOfCell(neighbour).y : neighbour->frame().origin.y;
        float y = top + neighbour->frame().size.height + extra;
        if (neighbour->isInLastRowOfOwnSection())
            y += headerHeightOfSection(newRow.section);
        prepareNewCellAtPointAtColumnAndRow(cell, CGPointMake(neighbour->frame().origin.x, y), column, newRow);
        added = cell;
    }
    if (added)
        m_visibleRowIndexes.push_back(added->gridCoord()->row());
}

void LatticeGrid::addNewTopRowToGrid()
{
    Ref<LGridCell> added;
    for (int32_t column : std::vector<int32_t>(m_visibleColIndexes)) {
        auto cell = topCellToBeAddedForCol(column);
        if (!cell)
            continue;
        LGridRow newRow = cell->gridCoord()->row();
        LGridRow below = findRowAfterRow(newRow);
        float extra = 0;
        while (below.section < numberOfSections()) {
            auto section = m_dataSourceDelegateManager->sectionAtIndex(below.section);
            if (!section || !section->isCollapsed())
                break;
            extra += headerHeightOfSection(below.section);
            below = LGridRowMake(0, below.section + 1);
        }
        auto neighbour = loadAndRetrieveCellAtColAtRow(column, below);
        if (!neighbour)
            continue;
        float top = neighbour->beingDragged() ? originOfCell(neighbour).y : neighbour->frame().origin.y;
        float y = top - rowStyleSizeForRow(newRow) - extra;
        if (neighbour->gridCoord()->rowIndex() == 0)
            y -= headerHeightOfSection(neighbour->gridCoord()->section());
        prepareNewCellAtPointAtColumnAndRow(cell, CGPointMake(neighbour->frame().origin.x, y), column, newRow);
        added = cell;
    }
    if (!added)
        return;
    int32_t position = 0;
    firstVisibleNonFrozenRowAndVisibleIndex(&position);
    LGridRow row = added->gridCoord()->row();
    if (std::find(m_visibleRowIndexes.begin(), m_visibleRowIndexes.end(), row) == m_visibleRowIndexes.end())
        m_visibleRowIndexes.insert(m_visibleRowIndexes.begin() + position, row);
}

void LatticeGrid::addNewRightColumnToGrid()
{
    for (LGridRow row : std::vector<LGridRow>(m_visibleRowIndexes)) {
        auto cell = rightCellToBeAddedForRow(row);
        if (!cell)
            continue;
        int32_t column = cell->gridCoord()->column();
        auto neighbour = loadAndRetrieveCellAtColAtRow(column - 1, row);
        if (!neighbour)
            continue;
        float left = neighbour->beingDragged() ? originOfCell(neighbour).x : neighbour->frame().origin.x;
        prepareNewCellAtPointAtColumnAndRow(
            cell, CGPointMake(left + neighbour->frame().size.width, neighbour->frame().origin.y), column, row);
    }
    m_visibleColIndexes.push_back(m_visibleColIndexes.back() + 1);
}

void LatticeGrid::addNewLeftColumnToGrid()
{
    for (LGridRow row : std::vector<LGridRow>(m_visibleRowIndexes)) {
        auto cell = leftCellToBeAddedForRow(row);
        if (!cell)
            continue;
        int32_t column = cell->gridCoord()->column();
        auto neighbour = loadAndRetrieveCellAtColAtRow(column + 1, row);
        if (!neighbour)
            continue;
        float left = neighbour->beingDragged() ? originOfCell(neighbour).x : neighbour->frame().origin.x;
        prepareNewCellAtPointAtColumnAndRow(
            cell, CGPointMake(left - colStyleSizeForColIndex(column), neighbour->frame().origin.y), column, row);
    }
    int32_t position = 0;
    int32_t column = firstVisibleNonFrozenColumnIndexAndVisibleIndex(&position);
    if (std::find(m_visibleColIndexes.begin(), m_visibleColIndexes.end(), column - 1) == m_visibleColIndexes.end())
        m_visibleColIndexes.insert(m_visibleColIndexes.begin() + position, column - 1);
}

bool LatticeGrid::reanchorRowsIfOutOfSight()
{
    if (m_reordering || m_currentlyDragging || m_aSectionIsCollapsing || m_visibleColIndexes.empty())
        return false;
    int32_t position = 0;
    LGridRow first = firstVisibleNonFrozenRowAndVisibleIndex(&position);
    if (position < 0 || static_cast<size_t>(position) >= m_visibleRowIndexes.size())
        return false;
    auto firstCell = loadAndRetrieveCellAtColAtRow(firstVisibleColumnIndex(), first);
    auto lastCell = loadAndRetrieveCellAtColAtRow(firstVisibleColumnIndex(), lastVisibleRow());
    if (!firstCell || !lastCell || firstCell->beingDragged() || lastCell->beingDragged())
        return false;
    // Within a screen of the window the edge passes step there row by row.
    float y = contentOffset().y;
    float height = frame().size.height;
    float top = firstCell->frame().origin.y;
    float bottom = lastCell->frame().origin.y + lastCell->frame().size.height;
    if (bottom >= y - height && top <= y + 2 * height)
        return false;
    LGridRow anchor = rowAtContentY(y);
    if (anchor.section < 0)
        return false;
    // Frozen rows stay where they are; the scrolled run starts after them.
    if (m_dataSourceDelegateManager->absoluteIndexForGridRow(anchor) < m_innerNumberOfFrozenRows) {
        anchor = findRowAfterRowIgnoringCollapsedSections(lastFrozenRow(), true);
        if (anchor.section < 0 || anchor.section >= numberOfSections())
            return false;
    }
    // The scrolled rows keep their columns' x; only their y changes.
    std::vector<std::pair<int32_t, float>> columns;
    for (int32_t column : m_visibleColIndexes) {
        auto cell = loadAndRetrieveCellAtColAtRow(column, first);
        columns.emplace_back(column, cell ? cell->frame().origin.x : 0);
    }
    std::vector<LGridRow> dropped(m_visibleRowIndexes.begin() + position, m_visibleRowIndexes.end());
    m_visibleRowIndexes.resize(static_cast<size_t>(position));
    for (LGridRow row : dropped) {
        auto section = m_dataSourceDelegateManager->sectionAtIndex(row.section);
        if (!section)
            continue;
        for (auto [column, x] : columns)
            parkAndPool(section->visibleCellAtColAtRowIndex(column, row.index));
        section->removeRowRemoveFromView(row, false);
        m_dataSourceDelegateManager->forgetRowStyle(row);
    }
    float rowTop = widthOfLeftBorder() + headerHeightOfSection(0) + distanceFromRowToRow(LGridRowMake(0, 0), anchor);
    m_visibleRowIndexes.push_back(anchor);
    for (auto [column, x] : columns) {
        if (auto cell = loadAndRetrieveCellAtColAtRow(column, anchor))
            prepareNewCellAtPointAtColumnAndRow(cell, CGPointMake(x, rowTop), column, anchor);
    }
    return true;
}

void LatticeGrid::manageTopAndBottomEdgeCells()
{
    if (allSectionsAreCollapsed())
        return;
    float y = contentOffset().y;
    float maxY = contentSize().height - frame().size.height + 2;
    if (y < 0 || y > maxY)
        return;
    if (y != m_lastContentOffset.y && reanchorRowsIfOutOfSight()) {
        // The window is one row at the new offset: grow it downwards, and after a jump up also
        // upwards, so that it has the shape scrolling that way would have given it.
        removeRowsFromTopAddToBottomIfNeeded();
        if (y < m_lastContentOffset.y)
            removeRowsFromBottomAddToTopIfNeeded();
        for (int32_t s = firstVisibleSectionIndex(); s <= lastVisibleSectionIndex(); ++s) {
            if (auto section = m_dataSourceDelegateManager->sectionAtIndex(s))
                section->sortVisibleRows();
        }
        return;
    }
    if (y > m_lastContentOffset.y)
        removeRowsFromTopAddToBottomIfNeeded();
    if (y < m_lastContentOffset.y)
        removeRowsFromBottomAddToTopIfNeeded();
}

void LatticeGrid::manageLeftAndRightEdgeCells()
{
    if (allSectionsAreCollapsed())
        return;
    float x = contentOffset().x;
    float maxX = contentSize().width - frame().size.width + 2;
    if (x < 0 || x > maxX)
        return;
    if (x > m_lastContentOffset.x)
        removeColsFromLeftAddToRightIfNeeded();
    if (x < m_lastContentOffset.x)
        removeColsFromRightAddToLeftIfNeeded();
}

void LatticeGrid::tidyRowAndColEdges()
{
    if (allSectionsAreCollapsed())
        return;
    m_dataSourceDelegateManager->trimSectionsOfNonVisibleCells();
    if (m_visibleRowIndexes.empty())
        return;
    removeRowsFromBottomAddToTopIfNeeded();
    removeRowsFromTopAddToBottomIfNeeded();
    removeColsFromLeftAddToRightIfNeeded();
    removeColsFromRightAddToLeftIfNeeded();
    for (int32_t s = firstVisibleSectionIndex(); s <= lastVisibleSectionIndex(); ++s) {
        if (auto section = m_dataSourceDelegateManager->sectionAtIndex(s))
            section->sortVisibleRows();
    }
}

void LatticeGrid::removeSectionFromVisibleRows(int32_t section)
{
    std::erase_if(m_visibleRowIndexes, [section](LGridRow row) { return row.section == section; });
    ++m_numberOfSectionsCollapsed;
}
