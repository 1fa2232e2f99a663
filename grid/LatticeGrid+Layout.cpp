// LatticeGrid: the layout pass, the reload, cutting the window back to its anchor and growing it
// again, preparing loaded cells and choosing their pane, section headers and the scroll-view
// settings passed on to the panes.
#include "grid/LatticeGrid.h"

#include "foundation/NSRunLoop.h"
#include "foundation/NSString.h"
#include "foundation/ThreadChecks.h"
#include "foundation/Value.h"
#include "grid/LGridBlockQueue.h"
#include "grid/LGridBorderStyle.h"
#include "grid/LGridCell.h"
#include "grid/LGridCellStyle.h"
#include "grid/LGridCoord.h"
#include "grid/LGridDataSourceDelegateManager.h"
#include "grid/LGridDelegate.h"
#include "grid/LGridLayer.h"
#include "grid/LGridSection.h"
#include "grid/LatticeGridLog.h"

#include <algorithm>

void LatticeGrid::layoutSubviews()
{
    assertIsMainThread();
    if (deferredLayout()) {
        performSelectorAfterDelay(
            protectedGrid(), "layoutSubviews",
            [weak = weak_from_this()] {
                if (auto grid = std::static_pointer_cast<LatticeGrid>(weak.lock()))
                    grid->layoutSubviews();
            },
            0.0);
        m_initialLoad = false;
        return;
    }
    auto protectedThis = protectedGrid();
    UIScrollView::layoutSubviews();
    reloadInternal(true);
    if (m_frozenColumnsStillNeedsValidation)
        completeFrozenColumnsValidation();
    if (m_frozenRowsStillNeedsValidation)
        completeFrozenRowsValidation();
    auto delegate = this->delegate();
    if (delegate && delegate->respondsToSelector("didFinishLayingOutLatticeGrid:"))
        delegate->didFinishLayingOutLatticeGrid(protectedThis);
}

void LatticeGrid::reloadInternal(bool internal)
{
    if (!internal && m_aSectionIsCollapsing) {
        LatticeGridLog::logMessageFromSource("Cannot call reload on a grid that is about to expand/collapse a section "
                                             "as a grid internally reloads itself at the appropriate time.",
            this);
        return;
    }
    auto protectedThis = protectedGrid();
    m_reloadingGrid = true;
    bool animations = UIView::areAnimationsEnabled();
    // Restores the grid's state however the reload ends: a fatal error raised inside it must
    // not leave animations off or the grid marked as reloading.
    struct Restore {
        LatticeGrid& grid;
        bool animations;
        ~Restore()
        {
            UIView::setAnimationsEnabled(animations);
            grid.m_reloadingGrid = false;
        }
    } restore { *this, animations };
    validateFrozenColumnsAndRows();
    UIView::setAnimationsEnabled(false);
    cancelEditing();
    if (!internal)
        clearAllSelectedCellsWithAnimationWithDelegateCallbacksForQueueIfInvalid(false, 2, false);
    m_dataSourceDelegateManager->prepareForReloadFlushingStylesRefreshDatasource(!internal, !internal);
    updateDatasourceCounts(false);
    for (const auto& content : layerContents())
        content->prepareForReload();
    recalculateContentSize();
    if (!internal)
        keepContentOffsetInsideContent();
    loadAndLayoutVisibleData();
    generateSectionHeaders();
    tidyRowAndColEdges();
    m_delayUntilReloadQueue->executeQueue();
    if (internal)
        keepDraggedRowUnderFinger();
}

void LatticeGrid::keepContentOffsetInsideContent()
{
    CGPoint offset = contentOffset();
    CGSize content = contentSize();
    CGSize size = bounds().size;
    CGFloat maxX = std::max<CGFloat>(0, content.width - size.width);
    CGFloat maxY = std::max<CGFloat>(0, content.height - size.height);
    if (offset.x <= maxX && offset.y <= maxY)
        return;
    CGPoint inside = CGPointMake(std::min(offset.x, maxX), std::min(offset.y, maxY));
    // Scroll callbacks are off while reloading; the panes take the offset as scrolling does.
    for (const auto& layer : layers())
        layer->setContentOffset(inside);
    m_lastContentOffset = inside;
    m_initialPanOffset = inside;
}

void LatticeGrid::updateDatasourceCounts(bool)
{
    LGridRow anchor = LGridRowMake(-1, -1);
    int32_t anchorColumn = -1;
    std::vector<LGridRow> setAside;
    uint32_t frozen = m_numberOfFrozenRows;
    if (!m_visibleRowIndexes.empty()) {
        auto rows = visibleRows();
        if (frozen != 0 && rows.size() > frozen && rows[frozen].index > static_cast<int32_t>(frozen)) {
            anchor = m_visibleRowIndexes[frozen];
            setAside.assign(m_visibleRowIndexes.begin(), m_visibleRowIndexes.begin() + frozen);
        } else {
            anchor = m_visibleRowIndexes.front();
        }
        m_visibleRowIndexes.clear();
    }
    if (!m_visibleColIndexes.empty()) {
        anchorColumn = m_visibleColIndexes.front();
        m_visibleColIndexes.clear();
    }
    int32_t lastSection = m_dataSourceDelegateManager->totalNumberOfSectionsInGrid() - 1;
    if (lastSection < 0)
        return;
    if (anchor.section == -1)
        anchor.section = 0;
    if (anchor.section > lastSection)
        anchor.section = lastSection;
    int32_t lastColumn = m_dataSourceDelegateManager->totalNumberOfColumnsInGrid() - 1;
    if (lastColumn < 0)
        return;
    if (anchorColumn == -1)
        anchorColumn = 0;
    if (anchorColumn > lastColumn)
        anchorColumn = lastColumn;
    int32_t lastRow = m_dataSourceDelegateManager->numberOfRowsInSection(anchor.section) - 1;
    if (lastRow < 0)
        return;
    if (anchor.index == -1)
        anchor.index = 0;
    if (anchor.index > lastRow)
        anchor.index = lastRow;
    if (frozen != 0 && frozen < static_cast<uint32_t>(std::max(anchor.index, 0)))
        m_visibleRowIndexes = setAside;
    m_visibleColIndexes.push_back(anchorColumn);
    m_visibleRowIndexes.push_back(anchor);
}

void LatticeGrid::loadAndLayoutVisibleData()
{
    assertValid();
    if (!m_reordering) {
        stretchColsIfNeeded();
        stretchRowsIfNeeded();
    }
    CGSize size = contentSize();
    m_masterContent->setFrame(CGRectMake(0, 0, size.width, size.height));
    if (m_masterContent->superview().get() == this)
        bringSubviewToFront(m_masterContent);
    else
        addSubview(m_masterContent);
    for (const auto& layer : layers()) {
        layer->content()->setFrame(CGRectMake(0, 0, size.width, size.height));
        if (!layer->superview())
            m_masterContent->addSubview(layer);
    }
    CGPoint origin = CGPointZero;
    bool moreRows = true;
    LGridRow row = firstVisibleRow();
    auto& manager = m_dataSourceDelegateManager;
    CGRect frame = this->frame();
    while (static_cast<int32_t>(m_visibleRowIndexes.size()) <= manager->totalNumberOfRowsInGrid()
        && row.section < manager->totalNumberOfSectionsInGrid() && moreRows) {
        if (!sectionAtIndexIsCollapsed(static_cast<uint32_t>(row.section))) {
            if (std::find(m_visibleRowIndexes.begin(), m_visibleRowIndexes.end(), row) == m_visibleRowIndexes.end())
                m_visibleRowIndexes.push_back(row);
            bool moreCols = true;
            bool originKnown = false;
            int32_t column = firstVisibleColumnIndex();
            Ref<LGridCell> last;
            bool isFirstRow = row == firstVisibleRow();
            while (column < manager->totalNumberOfColumnsInGrid() && moreCols) {
                if (std::find(m_visibleColIndexes.begin(), m_visibleColIndexes.end(), column)
                    == m_visibleColIndexes.end())
                    m_visibleColIndexes.push_back(column);
                auto cell = manager->loadAndRetrieveCellAtColAtRow(column, row);
                if (!cell)
                    break;
                if (originKnown) {
                    origin.x = xPosOfCell(cell);
                } else {
                    origin = originOfCell(cell);
                    originKnown = true;
                }
                prepareNewCellAtPointAtColumnAndRow(cell, origin, column, row);
                cell->setNeedsLayout();
                cell->setNeedsDisplay();
                last = cell;
                CGPoint inGrid = cell->owningContentPane()
                    ? cell->owningContentPane()->convertPointToView(origin, self<LatticeGrid>())
                    : origin;
                if (isFirstRow)
                    moreCols = inGrid.x < frame.size.width;
                else
                    moreCols = m_visibleColIndexes.back() != column;
                column = incrementColIndexToNextVisibleColIndex(column);
            }
            if (last && last->owningContentPane()) {
                CGPoint inGrid = last->owningContentPane()->convertPointToView(origin, self<LatticeGrid>());
                moreRows = inGrid.y < frame.size.height;
            }
        }
        row = incrementRowToNextVisibleRow(row);
    }
    setContentSize(CGSizeMake(contentSize().width, currentContentHeightForAllSections()));
    setNeedsDisplay();
    for (const auto& layer : layers())
        layer->setFrame(bounds());
}

void LatticeGrid::generateSectionHeaders()
{
    float y = m_defaultBorderStyle ? m_defaultBorderStyle->width() : 0;
    for (int32_t s = 0; s < numberOfSections(); ++s) {
        auto section = m_dataSourceDelegateManager->sectionAtIndex(s);
        if (!section)
            continue;
        for (const auto& content : layerContents())
            content->generateSectionHeadersForSectionAtOrigin(section, y);
        y += section->currentContentHeight();
    }
}

void LatticeGrid::prepareNewCellAtPointAtColumnAndRow(
    const Ref<LGridCell>& cell, CGPoint origin, int32_t column, LGridRow row)
{
    prepareNewCellWithFrameAtColumnAndRow(
        cell, CGRectMake(origin.x, origin.y, colStyleSizeForColIndex(column), rowStyleSizeForRow(row)), column, row);
}

void LatticeGrid::prepareNewCellWithFrameAtColumnAndRow(const Ref<LGridCell>& cell, CGRect frame, int32_t, LGridRow row)
{
    if (!cell)
        return;
    cell->setFrame(frame);
    if (!m_currentlyDragging)
        cell->shadeIfFrozen();
    addCellToAppropriateLayer(cell);
    cell->applyStyle(m_dataSourceDelegateManager->styleForCell(cell));
    auto selected = selectedGridCoord();
    bool showsSelected = false;
    switch (static_cast<uint32_t>(m_selectionMode)) {
    case LGridSelectionModeSingleCell:
        showsSelected = selected && cell->gridCoord() && cell->gridCoord()->isEqual(selected.get());
        break;
    case LGridSelectionModeMultipleCells:
        showsSelected = isCoordSelected(cell->gridCoord());
        break;
    case LGridSelectionModeSingleRow:
        showsSelected = selected && cell->gridCoord() && cell->gridCoord()->hasRow(selected->row());
        break;
    case LGridSelectionModeMultipleRows:
        showsSelected = isRowSelected(row);
        break;
    case LGridSelectionModeNone:
        break;
    default:
        LatticeGridLog::fatalLogMessageFromSource(NSString::stringWithFormat("LGridSelectionMode not recognised in %s",
                                                      "-[LatticeGrid prepareNewCell:withFrame:atColumn:andRow:]"),
            this);
    }
    if (selected && showsSelected)
        cell->setSelectedAnimatedNeedsDelegateCallBacksFor(true, false, 2);
}

Ref<LGridLayer> LatticeGrid::layerForCell(const Ref<LGridCell>& cell)
{
    if (!cell || !cell->gridCoord())
        return m_liquidLayer;
    if (!cell->gridCoord()->hasRowGreaterThanRow(lastFrozenRow()))
        cell->setVerticallyFrozen(true);
    if (static_cast<uint32_t>(cell->gridCoord()->column()) < m_innerNumberOfFrozenColumns)
        cell->setHorizontallyFrozen(true);
    if (cell->verticallyFrozen() && cell->horizontallyFrozen())
        return m_staticLayer;
    if (cell->verticallyFrozen())
        return m_verticallyFrozenLayer;
    if (cell->horizontallyFrozen())
        return m_horizontallyFrozenLayer;
    return m_liquidLayer;
}

void LatticeGrid::addCellToAppropriateLayer(const Ref<LGridCell>& cell)
{
    auto layer = layerForCell(cell);
    cell->setOwningLayer(layer);
    layer->content()->addCell(cell);
}

LGridRow LatticeGrid::incrementRowToNextVisibleRow(LGridRow row)
{
    if (shouldSkipToFirstVisibleRowFromRow(row))
        return skipToFirstVisibleRowFromRow();
    auto found = std::find(m_visibleRowIndexes.begin(), m_visibleRowIndexes.end(), row);
    auto position = static_cast<size_t>(found - m_visibleRowIndexes.begin());
    if (position + 1 < m_visibleRowIndexes.size())
        return m_visibleRowIndexes[position + 1];
    return findRowAfterRow(row);
}

bool LatticeGrid::shouldSkipToFirstVisibleRowFromRow(LGridRow row)
{
    auto section = m_dataSourceDelegateManager->sectionAtIndex(row.section);
    if (section && section->isCollapsed())
        return false;
    return m_numberOfFrozenRows != 0 && row == lastFrozenRow() && visibleRows().size() == m_numberOfFrozenRows + 1;
}

LGridRow LatticeGrid::skipToFirstVisibleRowFromRow()
{
    return visibleRows()[m_numberOfFrozenRows];
}

int32_t LatticeGrid::incrementColIndexToNextVisibleColIndex(int32_t column) const
{
    auto found = std::find(m_visibleColIndexes.begin(), m_visibleColIndexes.end(), column);
    auto position = static_cast<size_t>(found - m_visibleColIndexes.begin());
    if (position + 1 < m_visibleColIndexes.size())
        return m_visibleColIndexes[position + 1];
    return column + 1;
}

bool LatticeGrid::contentOffsetIsNegative() const
{
    CGPoint offset = contentOffset();
    return offset.x < 0 || offset.y < 0;
}

void LatticeGrid::printVisibleIndexDebugInfo()
{
    LatticeGridLog::logMessageFromSource(
        NSString::stringWithFormat("visibleColIndexes count: %lu", static_cast<uint32_t>(m_visibleColIndexes.size())),
        this);
    std::vector<Value> columns;
    for (int32_t c : m_visibleColIndexes)
        columns.emplace_back(c);
    LatticeGridLog::logMessageFromSource(NSString::stringWithFormat("%@", Value::array(columns)), this);
    LatticeGridLog::logMessageFromSource(NSString::stringWithFormat("\n\nvisibleRowIndexes count: %lu",
                                             static_cast<uint32_t>(m_visibleRowIndexes.size())),
        this);
    for (LGridRow row : m_visibleRowIndexes)
        LatticeGridLog::logMessageFromSource(NSString::stringWithFormat("{%ld,%ld}", row.index, row.section), this);
}

// Panes

std::vector<Ref<LGridLayer>> LatticeGrid::layers() const
{
    std::vector<Ref<LGridLayer>> result;
    for (const Ref<LGridLayer>& layer :
        { m_liquidLayer, m_horizontallyFrozenLayer, m_verticallyFrozenLayer, m_staticLayer,
            Ref<LGridLayer>(m_horizontalScrollIndicatorLayer), Ref<LGridLayer>(m_verticalScrollIndicatorLayer) }) {
        if (!layer)
            break;
        result.push_back(layer);
    }
    return result;
}

std::vector<Ref<LGridLayerContent>> LatticeGrid::layerContents() const
{
    std::vector<Ref<LGridLayerContent>> result;
    for (const auto& layer : layers())
        result.push_back(layer->content());
    return result;
}

std::vector<Ref<LGridScrollIndicatorLayer>> LatticeGrid::scrollIndicatorLayers() const
{
    std::vector<Ref<LGridScrollIndicatorLayer>> result;
    if (m_verticalScrollIndicatorLayer)
        result.push_back(m_verticalScrollIndicatorLayer);
    if (m_horizontalScrollIndicatorLayer)
        result.push_back(m_horizontalScrollIndicatorLayer);
    return result;
}

void LatticeGrid::setLayersUserInteractionEnabled(bool enabled)
{
    for (const auto& layer : layers())
        layer->setUserInteractionEnabled(enabled);
}

void LatticeGrid::setLayersScrollEnabled(bool enabled)
{
    for (const auto& layer : layers())
        layer->UIScrollView::setScrollEnabled(enabled);
}

// Scroll-view settings passed on to the panes

void LatticeGrid::setContentInset(UIEdgeInsets inset)
{
    UIScrollView::setContentInset(inset);
    for (const auto& layer : { m_liquidLayer, m_staticLayer, m_horizontallyFrozenLayer, m_verticallyFrozenLayer }) {
        if (layer)
            layer->setContentInset(inset);
    }
}

void LatticeGrid::setScrollsToTop(bool v)
{
    UIScrollView::setScrollsToTop(v);
    for (const auto& layer : { m_staticLayer, m_horizontallyFrozenLayer, m_verticallyFrozenLayer, m_liquidLayer }) {
        if (layer)
            layer->setScrollsToTop(v);
    }
}

void LatticeGrid::scrollRectToVisibleAnimated(CGRect rect, bool)
{
    if (m_liquidLayer)
        m_liquidLayer->scrollRectToVisibleAnimated(rect, true);
}

void LatticeGrid::setIndicatorStyle(UIScrollViewIndicatorStyle style)
{
    for (const auto& layer : scrollIndicatorLayers())
        layer->setIndicatorStyle(style);
}

UIScrollViewIndicatorStyle LatticeGrid::indicatorStyle() const
{
    return m_verticalScrollIndicatorLayer->indicatorStyle();
}

void LatticeGrid::setScrollIndicatorInsets(UIEdgeInsets insets)
{
    for (const auto& layer : scrollIndicatorLayers())
        layer->setScrollIndicatorInsets(insets);
}

UIEdgeInsets LatticeGrid::scrollIndicatorInsets() const
{
    return m_verticalScrollIndicatorLayer->scrollIndicatorInsets();
}

void LatticeGrid::setShowsHorizontalScrollIndicator(bool v)
{
    m_horizontalScrollIndicatorLayer->setShowsHorizontalScrollIndicator(v);
}

bool LatticeGrid::showsHorizontalScrollIndicator() const
{
    return m_horizontalScrollIndicatorLayer->showsHorizontalScrollIndicator();
}

void LatticeGrid::setShowsVerticalScrollIndicator(bool v)
{
    m_verticalScrollIndicatorLayer->setShowsVerticalScrollIndicator(v);
}

bool LatticeGrid::showsVerticalScrollIndicator() const
{
    return m_verticalScrollIndicatorLayer->showsVerticalScrollIndicator();
}

void LatticeGrid::flashScrollIndicators()
{
    for (const auto& layer : scrollIndicatorLayers())
        layer->flashScrollIndicators();
}
