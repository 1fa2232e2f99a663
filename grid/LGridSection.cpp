#include "grid/LGridSection.h"

#include "foundation/NSRunLoop.h"
#include "foundation/NSString.h"
#include "grid/LGridCell.h"
#include "grid/LGridCellBorder.h"
#include "grid/LGridCellPool.h"
#include "grid/LGridColRowStyle.h"
#include "grid/LGridCompositeSectionHeader.h"
#include "grid/LGridCoord.h"
#include "grid/LGridCoordMutable.h"
#include "grid/LGridDataSourceDelegateManager.h"
#include "grid/LGridDelegate.h"
#include "grid/LGridLayer.h"
#include "grid/LGridSectionHeaderStyle.h"
#include "grid/LatticeGrid.h"
#include "grid/LatticeGridLog.h"
#include "grid/NSArray+LGridBinarySearch.h"

#include <algorithm>

LGridSection::~LGridSection()
{
    cancelPreviousPerformRequestsWithTarget(this);
    removeSubHeaders();
}

Ref<LGridSection> LGridSection::initWithGridWithIndex(const Ref<LatticeGrid>& grid, int32_t index)
{
    auto section = make<LGridSection>();
    section->m_owningGrid = grid;
    section->m_index = index;
    section->m_header = LGridCompositeSectionHeader::initWithOwningSection(section);
    return section;
}

int32_t LGridSection::numberOfCols() const
{
    auto grid = owningGrid();
    return grid ? grid->dataSourceDelegateManager()->totalNumberOfColumnsInGrid() : 0;
}

int32_t LGridSection::numberOfRows() const
{
    auto grid = owningGrid();
    return grid ? grid->dataSourceDelegateManager()->numberOfRowsInSection(m_index) : 0;
}

LGridRow LGridSection::lastPossibleRowInSection() const
{
    return LGridRowMake(numberOfRows() - 1, m_index);
}

std::string LGridSection::description() const
{
    std::string rows;
    for (const auto& row : m_visibleRows) {
        rows += "(";
        for (const auto& cell : row)
            rows += (cell->gridCoord() ? cell->gridCoord()->description() : std::string("(null)")) + " ";
        rows += ")";
    }
    return NSString::stringWithFormat("<Section at index: %ld\n visibleRows: <%@>>", m_index, Value(rows));
}

// Row store

int32_t LGridSection::visibleRowIndexFromRow(LGridRow row) const
{
    for (size_t i = 0; i < m_visibleRows.size(); ++i) {
        const auto& cells = m_visibleRows[i];
        if (cells.empty() || (cells.back()->gridCoord() && cells.back()->gridCoord()->hasRow(row)))
            return static_cast<int32_t>(i);
    }
    return static_cast<int32_t>(m_visibleRows.size());
}

int32_t LGridSection::visibleColIndexFromColIndexForRow(int32_t column, const RowArray& row)
{
    int32_t found = NSArray_LGridBinarySearch::binarySearchNSArrayOfCellsForCol(row, column);
    return found == NSArray_LGridBinarySearch::notFound ? static_cast<int32_t>(row.size()) : found;
}

LGridSection::RowArray& LGridSection::getVisibleRowArrayAtRow(LGridRow row)
{
    auto position = static_cast<size_t>(visibleRowIndexFromRow(row));
    if (position == m_visibleRows.size()) {
        m_visibleRows.emplace_back();
        m_visibleRowsNeedSorted = true;
    }
    return m_visibleRows[position];
}

LGridSection::RowArray* LGridSection::getRow(LGridRow row)
{
    auto position = static_cast<size_t>(visibleRowIndexFromRow(row));
    return position == m_visibleRows.size() ? nullptr : &m_visibleRows[position];
}

void LGridSection::replaceRowWithRow(const RowArray& oldRow, const RowArray& newRow)
{
    LatticeGridLog::assertWithFailMsg(!oldRow.empty() && !newRow.empty(), "Test cell should not be nil");
    auto found = std::find(m_visibleRows.begin(), m_visibleRows.end(), oldRow);
    if (found == m_visibleRows.end())
        return;
    *found = newRow;
    m_visibleRowsNeedSorted = true;
}

void LGridSection::addCell(const Ref<LGridCell>& cell)
{
    if (!cell || !cell->gridCoord())
        return;
    auto& row = getVisibleRowArrayAtRow(cell->gridCoord()->row());
    if (!row.empty())
        LatticeGridLog::assertWithFailMsg(row.back()->gridCoord()->rowIndex() == cell->gridCoord()->rowIndex(),
            "Cells of one row must share a row index");
    int32_t column = cell->gridCoord()->column();
    auto position = std::upper_bound(row.begin(), row.end(), column,
        [](int32_t c, const Ref<LGridCell>& x) { return c < x->gridCoord()->column(); });
    row.insert(position, cell);
}

Ref<LGridCell> LGridSection::visibleCellAtColAtRowIndex(int32_t column, int32_t rowIndex)
{
    auto& row = getVisibleRowArrayAtRow(LGridRowMake(rowIndex, m_index));
    int32_t position = visibleColIndexFromColIndexForRow(column, row);
    if (row.empty() || position < 0 || position == static_cast<int32_t>(row.size()))
        return nullptr;
    return row[static_cast<size_t>(position)];
}

std::vector<Ref<LGridCell>> LGridSection::visibleCells() const
{
    std::vector<Ref<LGridCell>> cells;
    for (const auto& row : m_visibleRows)
        cells.insert(cells.end(), row.begin(), row.end());
    return cells;
}

void LGridSection::sortVisibleRows()
{
    if (!m_visibleRowsNeedSorted)
        return;
    auto rowOf = [](const RowArray& cells) {
        return cells.empty() || !cells.back()->gridCoord() ? LGridRowMake(0, 0) : cells.back()->gridCoord()->row();
    };
    std::stable_sort(m_visibleRows.begin(), m_visibleRows.end(),
        [&](const RowArray& a, const RowArray& b) { return LGridRowLessThanRow(rowOf(a), rowOf(b)); });
    m_visibleRowsNeedSorted = false;
}

int32_t LGridSection::indexFromColAndRow(int32_t column, int32_t rowIndex) const
{
    return column + rowIndex * numberOfCols();
}

int32_t LGridSection::indexOfCellForThisSection(const Ref<LGridCell>& cell) const
{
    return indexFromColAndRow(cell->gridCoord()->column(), cell->gridCoord()->rowIndex());
}

void LGridSection::removeRowRemoveFromView(LGridRow row, bool removeFromView)
{
    auto found = std::find_if(m_visibleRows.begin(), m_visibleRows.end(), [&](const RowArray& cells) {
        return !cells.empty() && cells.front()->gridCoord() && cells.front()->gridCoord()->hasRow(row);
    });
    if (found == m_visibleRows.end())
        return;
    if (removeFromView) {
        for (const auto& cell : *found)
            cell->removeFromSuperview();
    }
    m_visibleRows.erase(found);
}

void LGridSection::removeColAtIndexRemoveFromView(int32_t column, bool removeFromView)
{
    for (auto& row : m_visibleRows) {
        if (row.empty())
            continue;
        auto position = static_cast<size_t>(visibleColIndexFromColIndexForRow(column, row));
        if (position == row.size())
            continue;
        if (removeFromView)
            row[position]->removeFromSuperview();
        row.erase(row.begin() + static_cast<std::ptrdiff_t>(position));
    }
    std::erase_if(m_visibleRows, [](const RowArray& row) { return row.empty(); });
}

void LGridSection::discardAllRowsExcept(const std::vector<LGridRow>& keep)
{
    std::vector<LGridRow> drop;
    for (const auto& row : m_visibleRows) {
        if (row.empty() || !row.back()->gridCoord())
            continue;
        LGridRow r = row.back()->gridCoord()->row();
        if (std::find(keep.begin(), keep.end(), r) == keep.end())
            drop.push_back(r);
    }
    for (LGridRow r : drop)
        removeRowRemoveFromView(r, true);
}

void LGridSection::discardAllColumnsExcept(const std::vector<int32_t>& keep)
{
    std::vector<int32_t> drop;
    for (const auto& row : m_visibleRows) {
        if (row.empty() || !row.back()->gridCoord())
            continue;
        int32_t column = row.back()->gridCoord()->column();
        if (std::find(keep.begin(), keep.end(), column) == keep.end()
            && std::find(drop.begin(), drop.end(), column) == drop.end())
            drop.push_back(column);
    }
    for (int32_t column : drop)
        removeColAtIndexRemoveFromView(column, true);
}

void LGridSection::prepareForReload()
{
    removeSubHeaders();
    for (const auto& cell : visibleCells())
        LGridCellPool::returnCell(cell);
    m_visibleRows.clear();
}

bool LGridSection::containsFrozenRows() const
{
    for (const auto& row : m_visibleRows) {
        for (const auto& cell : row) {
            if (cell->verticallyFrozen())
                return true;
        }
    }
    return false;
}

void LGridSection::returnCellToPool(const Ref<LGridCell>& cell)
{
    LGridCellPool::returnCell(cell);
}

void LGridSection::removeSubHeaders()
{
    if (m_header)
        m_header->removeSubHeaders();
}

void LGridSection::bringElementToFront(const Ref<LGridCell>& cell)
{
    if (cell)
        cell->bringToFront();
}

// Heights

float LGridSection::headerHeight() const
{
    auto grid = owningGrid();
    if (!grid)
        return 0;
    auto style = grid->dataSourceDelegateManager()->sectionHeaderStyleAtIndex(m_index);
    return style ? style->height() : 0;
}

float LGridSection::currentContentHeight() const
{
    return m_collapsed ? headerHeight() : expandedContentHeight();
}

float LGridSection::expandedContentHeight() const
{
    auto grid = owningGrid();
    float height = headerHeight();
    if (!grid)
        return height;
    return height + static_cast<float>(const_cast<LGridSection*>(this)->heightOfAllRows());
}

float LGridSection::loadRowStylesAndReturnSectionHeight() const
{
    return expandedContentHeight();
}

LGridRowHeights& LGridSection::rowHeights()
{
    auto grid = owningGrid();
    if (!grid)
        return m_rowHeights;
    uint64_t generation = grid->rowHeightsGeneration();
    int32_t rows = std::max(numberOfRows(), 0);
    if (generation == m_rowHeightsGeneration && m_rowHeights.count() == static_cast<size_t>(rows))
        return m_rowHeights;
    std::vector<float> heights(static_cast<size_t>(rows));
    for (int32_t i = 0; i < rows; ++i)
        heights[static_cast<size_t>(i)] = grid->measureRowHeight(LGridRowMake(i, m_index));
    m_rowHeights.assign(heights);
    m_rowHeightsGeneration = generation;
    return m_rowHeights;
}

float LGridSection::rowHeightAtIndex(int32_t index)
{
    auto& heights = rowHeights();
    if (index < 0 || static_cast<size_t>(index) >= heights.count()) {
        auto grid = owningGrid();
        return grid ? grid->measureRowHeight(LGridRowMake(index, m_index)) : 0;
    }
    return heights.heightAt(static_cast<size_t>(index));
}

double LGridSection::heightOfRowsBefore(int32_t index)
{
    return rowHeights().sumBefore(static_cast<size_t>(std::max(index, 0)));
}

double LGridSection::heightOfAllRows()
{
    return rowHeights().total();
}

int32_t LGridSection::rowIndexAtOffset(double offset)
{
    auto& heights = rowHeights();
    if (heights.count() == 0)
        return 0;
    return static_cast<int32_t>(heights.indexAtOffset(offset));
}

void LGridSection::remeasureRowAtIndex(int32_t index)
{
    auto grid = owningGrid();
    if (!grid || m_rowHeightsGeneration != grid->rowHeightsGeneration() || index < 0
        || static_cast<size_t>(index) >= m_rowHeights.count())
        return;
    m_rowHeights.setHeightAt(static_cast<size_t>(index), grid->measureRowHeight(LGridRowMake(index, m_index)));
}

float LGridSection::sumOfRowHeights()
{
    auto grid = owningGrid();
    if (!grid)
        return 0;
    int32_t column = grid->firstVisibleColumnIndex();
    float sum = 0;
    for (const auto& row : m_visibleRows) {
        auto position = static_cast<size_t>(visibleColIndexFromColIndexForRow(column, row));
        if (position < row.size())
            sum += row[position]->frame().size.height;
    }
    return sum;
}

void LGridSection::collectNumberOfUnspecifiedHeightsAndSpecifiedHeightsAndNumberOfSpecifiedHeights(
    int32_t& unspecified, float& specifiedHeight, int32_t& specified) const
{
    auto grid = owningGrid();
    if (!grid)
        return;
    int32_t rows = numberOfRows();
    for (int32_t i = 0; i < rows; ++i) {
        LGridRow row = LGridRowMake(i, m_index);
        auto style = grid->dataSourceDelegateManager()->styleOfCellAtRow(row);
        if (style && style->size() && *style->size() > 0) {
            specifiedHeight += grid->rowStyleSizeForRow(row);
            ++specified;
        } else {
            ++unspecified;
        }
    }
}

// Collapsing

void LGridSection::collapseOrExpandProgrammaticWithCompletion(bool programmatic, std::function<void()> completion)
{
    auto grid = owningGrid();
    if (!grid)
        return;
    auto protectedThis = self<LGridSection>();
    grid->setASectionIsCollapsing(true);
    grid->setLayersUserInteractionEnabled(false);
    auto delegate = grid->delegate();
    auto index = static_cast<uint32_t>(m_index);
    bool expanding = m_collapsed;
    const char* should
        = expanding ? "latticeGrid:shouldExpandSectionAtIndex:" : "latticeGrid:shouldCollapseSectionAtIndex:";
    if (!programmatic && delegate && delegate->respondsToSelector(should)) {
        bool allowed = expanding ? delegate->latticeGridShouldExpandSectionAtIndex(grid, index)
                                 : delegate->latticeGridShouldCollapseSectionAtIndex(grid, index);
        if (!allowed) {
            grid->setASectionIsCollapsing(false);
            grid->setLayersUserInteractionEnabled(true);
            return;
        }
    }
    if (delegate && expanding && delegate->respondsToSelector("latticeGrid:willExpandSectionAtIndex:"))
        delegate->latticeGridWillExpandSectionAtIndex(grid, index);
    if (delegate && !expanding && delegate->respondsToSelector("latticeGrid:willCollapseSectionAtIndex:"))
        delegate->latticeGridWillCollapseSectionAtIndex(grid, index);
    auto finish = [weak = weak_from_this(), completion = std::move(completion), expanding, index] {
        auto self = std::static_pointer_cast<LGridSection>(weak.lock());
        if (!self)
            return;
        auto grid = self->owningGrid();
        if (!grid)
            return;
        self->tidyAfterCollapseOrExpand();
        if (completion)
            completion();
        auto delegate = grid->delegate();
        if (delegate && expanding && delegate->respondsToSelector("latticeGrid:didExpandSectionAtIndex:"))
            delegate->latticeGridDidExpandSectionAtIndex(grid, index);
        if (delegate && !expanding && delegate->respondsToSelector("latticeGrid:didCollapseSectionAtIndex:"))
            delegate->latticeGridDidCollapseSectionAtIndex(grid, index);
    };
    if (expanding)
        expandWithCompletion(finish);
    else
        collapseWithCompletion(finish);
}

void LGridSection::collapseWithCompletion(const std::function<void()>& completion)
{
    m_collapsed = true;
    if (m_header)
        m_header->bringToFront();
    UIView::animateWithDurationDelayOptions(
        0.3, 0.2, 0,
        [weak = weak_from_this()] {
            auto self = std::static_pointer_cast<LGridSection>(weak.lock());
            auto grid = self ? self->owningGrid() : nullptr;
            if (!grid)
                return;
            float height = self->loadRowStylesAndReturnSectionHeight();
            float rows = height - (self->m_header ? self->m_header->height() : 0);
            self->shiftSectionsBelowBy(-rows);
            grid->setContentSize(CGSizeMake(grid->contentSize().width, grid->currentContentHeightForAllSections()));
        },
        [weak = weak_from_this(), completion](bool) {
            auto self = std::static_pointer_cast<LGridSection>(weak.lock());
            if (completion && self && self->owningGrid())
                completion();
        });
    hideMovables();
}

void LGridSection::hideMovables()
{
    auto protectedThis = self<LGridSection>();
    for (const auto& cell : visibleCells()) {
        UIView::beginAnimations("", nullptr);
        UIView::setAnimationCurve(UIViewAnimationCurveEaseInOut);
        UIView::setAnimationDelay(0);
        UIView::setAnimationDuration(0.3);
        cell->setCollapsed(true);
        performSelectorAfterDelay(
            protectedThis, "returnCellToPool:",
            [weak = weak_from_this(), cell] {
                if (auto self = std::static_pointer_cast<LGridSection>(weak.lock()))
                    self->returnCellToPool(cell);
            },
            0.3);
        UIView::commitAnimations();
        if (auto pane = cell->owningContentPane())
            pane->removeCell(cell);
    }
    m_visibleRows.clear();
    if (auto grid = owningGrid())
        grid->removeSectionFromVisibleRows(m_index);
}

void LGridSection::expandWithCompletion(const std::function<void()>& completion)
{
    m_collapsed = false;
    UIView::animateWithDurationDelayOptions(
        0.3, 0, 0,
        [weak = weak_from_this()] {
            auto self = std::static_pointer_cast<LGridSection>(weak.lock());
            auto grid = self ? self->owningGrid() : nullptr;
            if (!grid)
                return;
            CGSize size = grid->contentSize();
            float height = grid->currentContentHeightForAllSections();
            grid->setContentSize(CGSizeMake(size.width, height));
            self->shiftSectionsBelowBy(height - size.height);
        },
        [weak = weak_from_this(), completion](bool) {
            auto self = std::static_pointer_cast<LGridSection>(weak.lock());
            if (!self || !self->owningGrid())
                return;
            self->expandElements();
            if (completion)
                completion();
        });
}

void LGridSection::shiftSectionsBelowBy(float delta)
{
    auto grid = owningGrid();
    if (!grid)
        return;
    auto& manager = grid->dataSourceDelegateManager();
    int32_t sections = manager->totalNumberOfSectionsInGrid();
    int32_t lastVisibleSection = grid->lastVisibleRow().section;
    for (int32_t j = m_index + 1; j < sections; ++j) {
        auto section = manager->sectionAtIndex(j);
        if (!section)
            continue;
        if (section->header())
            section->header()->adjustYPositionOfCentreBy(delta);
        if (j <= lastVisibleSection) {
            for (const auto& cell : section->visibleCells())
                cell->adjustYPositionOfCentreBy(delta);
        }
    }
}

void LGridSection::expandElements()
{
    if (auto grid = owningGrid())
        grid->decrementNumberOfCollapsedSections();
}

void LGridSection::tidyAfterCollapseOrExpand()
{
    auto grid = owningGrid();
    if (!grid)
        return;
    grid->reloadInternal(true);
    grid->setLayersUserInteractionEnabled(true);
    grid->setASectionIsCollapsing(false);
}

void LGridSection::switchDragginColWithColAtIndexWithNewOriginOfColToSwitchWithFromCurrentState(
    int32_t target, float originX, bool fromCurrentState)
{
    auto grid = owningGrid();
    if (!grid)
        return;
    int32_t pt = grid->visibleColIndexFromActualIndex(target);
    int32_t pd = grid->visibleColIndexFromActualIndex(grid->draggingIndex()->column());
    if (pt < 0 || pd < 0)
        return;
    for (auto& cells : m_visibleRows) {
        if (cells.empty() || static_cast<size_t>(std::max(pt, pd)) >= cells.size())
            continue;
        auto t = cells[static_cast<size_t>(pt)];
        auto d = cells[static_cast<size_t>(pd)];
        if (!t || !d || t->horizontallyFrozen())
            continue;
        grid->animateGridElementToPositionInFrontFromCurrentState(
            t, CGPointMake(originX + t->frame().size.width / 2, t->center().y), false, fromCurrentState);
        std::swap(cells[static_cast<size_t>(pd)], cells[static_cast<size_t>(pt)]);
        auto draggedCoord = d->gridCoord()->copy();
        auto targetCoord = t->gridCoord()->copy();
        t->setGridCoord(draggedCoord);
        d->setGridCoord(targetCoord);
        int32_t columns = numberOfCols();
        if (d->gridCoord()->column() == 0 || t->gridCoord()->column() == 0 || d->gridCoord()->column() + 1 == columns
            || t->gridCoord()->column() + 1 == columns) {
            t->border()->refreshBorderWithFrameRestyleBorders(t->frame(), true);
            d->border()->refreshBorderWithFrameRestyleBorders(d->frame(), true);
        }
    }
}
