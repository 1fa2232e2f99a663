// Reordering: the long-press driver that picks up a row or a column, decides the direction of
// the drag, moves the dragged cells with the finger over a tint, switches them with the
// neighbours they pass, scrolls to reveal the next neighbour, expands a hovered collapsed
// section, and snaps the cells home on release.

#include "grid/LatticeGrid.h"

#include "foundation/NSRunLoop.h"
#include "grid/LGridBorderStyle.h"
#include "grid/LGridCell.h"
#include "grid/LGridCellBorder.h"
#include "grid/LGridCompositeSectionHeader.h"
#include "grid/LGridCoord.h"
#include "grid/LGridCoordMutable.h"
#include "grid/LGridDataSourceDelegateManager.h"
#include "grid/LGridDelegate.h"
#include "grid/LGridLayer.h"
#include "grid/LGridReorderArrow.h"
#include "grid/LGridSection.h"
#include "grid/LGridSectionHeaderStyle.h"
#include "grid/LGridViewTinter.h"
#include "grid/LatticeGridLog.h"
#include "uikit/UILongPressGestureRecognizer.h"

#include <algorithm>
#include <array>
#include <cmath>

namespace {

bool atOrAfterFirstRow(LGridRow row)
{
    return LGridRowGreaterThanOrEqualToRow(row, LGridRowMake(0, 0));
}

} // namespace

// The driver

void LatticeGrid::reorderColsOrRows(const Ref<UIGestureRecognizer>& recognizer)
{
    auto protectedThis = protectedGrid();
    if (!recognizer || m_aSectionIsCollapsing)
        return;
    auto state = recognizer->state();
    auto delegate = this->delegate();
    if (state == UIGestureRecognizerStateEnded) {
        LGridRow row = m_draggingIndex->row();
        int32_t column = m_draggingIndex->column();
        if (m_dragDecision == 2 && row.index != -1 && row.section != -1) {
            if (delegate && delegate->respondsToSelector("latticeGrid:willEndReorderingRow:"))
                delegate->latticeGridWillEndReorderingRow(protectedThis, row);
            dragRowToPositionFromCurrentState(row, m_positionToSnapDraggingCellsTo.y, false);
            if (delegate && delegate->respondsToSelector("latticeGrid:didEndReorderingRow:"))
                delegate->latticeGridDidEndReorderingRow(protectedThis, row);
        } else if (m_dragDecision == 1 && column != -1) {
            if (delegate && delegate->respondsToSelector("latticeGrid:willEndReorderingColumnAtIndex:"))
                delegate->latticeGridWillEndReorderingColumnAtIndex(protectedThis, static_cast<uint32_t>(column));
            dragColToPositionFromCurrentState(column, m_positionToSnapDraggingCellsTo.x, false);
            if (delegate && delegate->respondsToSelector("latticeGrid:didEndReorderingColumnAtIndex:"))
                delegate->latticeGridDidEndReorderingColumnAtIndex(protectedThis, static_cast<uint32_t>(column));
        }
        resetHoldToReorder();
        return;
    }
    if (state == UIGestureRecognizerStateCancelled || state == UIGestureRecognizerStateFailed) {
        resetHoldToReorder();
        return;
    }
    m_reordering = true;
    cancelEditing();
    bool found = false;
    if (!m_userDragging)
        found = handleGestureTypeWithGesture(2, recognizer);
    auto cell = visibleCellAtCoord(m_userPrimaryCellCoord);
    if (!cell && m_userDragging) {
        LatticeGridLog::logMessage("dragging but no dragging cell found");
        return;
    }
    if (!m_userDragging) {
        if (!cell || !m_userPrimaryCellCoord || !found)
            return;
        // The arrows of a drag that ended moments ago are still cached, with their removal and
        // the cache's purge pending: this drag reuses them, so those must not run.
        for (const auto& [orientation, arrow] : m_activeArrows)
            cancelPreviousPerformRequestsWithTarget(arrow);
        cancelPreviousPerformRequestsWithTarget(m_activeArrowsPurgeTarget);
        if (state == UIGestureRecognizerStateBegan)
            m_positionToSnapDraggingCellsTo = cell->center();
        m_draggingIndex
            = LGridCoordMutable::initWithColumnWithRow(m_userPrimaryCellCoord->column(), m_userPrimaryCellCoord->row());
        m_userDragging = true;
        for (int32_t orientation = 0; orientation < 4; ++orientation)
            arrowForOrientationAtGridCoord(orientation, m_userPrimaryCellCoord)->addToCell(cell);
    }
    if (!m_dragDecisionMade) {
        m_dragDecision = decideIfColOrRowDrag();
        std::array<float, 4> alphas { 1, 1, 1, 1 };
        switch (m_dragDecision) {
        case 0:
            cancelGestures();
            return;
        case 1:
            setDraggingColBeingDragged(true);
            alphas = { 0, 0, 1, 1 };
            break;
        case 2:
            setDraggingRowBeingDragged(true);
            alphas = { 1, 1, 0, 0 };
            break;
        default:
            break;
        }
        for (int32_t orientation = 0; orientation < 4; ++orientation)
            arrowForOrientationAtGridCoord(orientation, m_userPrimaryCellCoord)
                ->fadeTo(alphas[static_cast<size_t>(orientation)]);
        if (m_dragDecision == 3)
            return;
    }
    CGPoint location = recognizer->locationInView(cell->superview());
    auto arrow
        = [&](int32_t orientation) { return arrowForOrientationAtGridCoord(orientation, m_userPrimaryCellCoord); };
    if (m_dragDecision == 2) {
        if (m_needsDrawArrows) {
            arrow(0)->pulse();
            arrow(1)->pulse();
            arrow(2)->fadeTo(0);
            arrow(3)->fadeTo(0);
            m_needsDrawArrows = false;
            m_cellReorderOffset = location.y - cell->center().y;
        }
        reorderRowsAboutCell(cell);
    } else if (m_dragDecision == 1) {
        if (m_needsDrawArrows) {
            arrow(2)->pulse();
            arrow(3)->pulse();
            arrow(0)->fadeTo(0);
            arrow(1)->fadeTo(0);
            m_needsDrawArrows = false;
            m_cellReorderOffset = location.x - cell->center().x;
        }
        reorderColsAboutCell(cell);
    }
}

int32_t LatticeGrid::decideIfColOrRowDrag()
{
    if (m_dragDecisionMade)
        return m_dragDecision;
    int32_t d = m_dragDecision;
    auto delegate = this->delegate();
    if (delegate && delegate->respondsToSelector("latticeGrid:permittedDragDirectionForCellAtCoord:")) {
        if (!m_dragDelegateChecked)
            d = delegate->latticeGridPermittedDragDirectionForCellAtCoord(
                protectedGrid(), m_userPrimaryCellCoord ? m_userPrimaryCellCoord->copy() : nullptr);
        m_dragDelegateChecked = true;
    } else if (!(m_defaultPermittedDragDirection & 1)) {
        d = 2;
    } else if (!(m_defaultPermittedDragDirection & 2)) {
        d = 1;
    }
    if (auto cell = visibleCellAtCoord(m_userPrimaryCellCoord)) {
        if (cell->verticallyFrozen())
            d &= ~2;
        if (cell->horizontallyFrozen())
            d &= ~1;
    }
    if (d == 3) {
        CGPoint location = m_holdToReorder->locationInView(self<LatticeGrid>());
        if (m_lastTouchPosition.x == -1 || m_lastTouchPosition.y == -1) {
            m_lastTouchPosition = location;
            return 3;
        }
        float dx = std::fabs(location.x - m_lastTouchPosition.x);
        float dy = std::fabs(location.y - m_lastTouchPosition.y);
        if (dx == dy) {
            m_lastTouchPosition = location;
            return 3;
        }
        if (dx - dy > 10)
            d = 1;
        else if (dy - dx > 10)
            d = 2;
        else
            return 3;
    }
    m_dragDecisionMade = true;
    return d;
}

// One step of a drag

void LatticeGrid::setHoldToReorder(const Ref<UILongPressGestureRecognizer>& recognizer)
{
    if (recognizer == m_holdToReorder)
        return;
    if (m_holdToReorder) {
        resetHoldToReorder();
        m_holdToReorder->removeTargetAction(self<LatticeGrid>(), "reorderColsOrRows");
        removeGestureRecognizer(m_holdToReorder);
    }
    m_holdToReorder = recognizer;
    if (!recognizer)
        return;
    recognizer->addTargetAction(self<LatticeGrid>(), "reorderColsOrRows",
        [weak = std::weak_ptr<LatticeGrid>(self<LatticeGrid>())](const Ref<UIGestureRecognizer>& r) {
            if (auto grid = weak.lock())
                grid->reorderColsOrRows(r);
        });
    recognizer->setEnabled(m_holdToReorderEnabled);
    addGestureRecognizer(recognizer);
}

void LatticeGrid::keepDraggedRowUnderFinger()
{
    if (!m_reordering || !(m_dragDecision & 2) || !m_holdToReorder || !m_liquidLayer)
        return;
    // The same position a drag step gives: the finger less the offset taken when the drag began.
    float y = static_cast<float>(m_holdToReorder->locationInView(m_liquidLayer->content()).y) - m_cellReorderOffset;
    dragRowToPositionFromCurrentState(m_draggingIndex->row(), y, false);
}

void LatticeGrid::reorderRowsAboutCell(const Ref<LGridCell>& cell)
{
    m_userDragging = true;
    if (cell->verticallyFrozen()) {
        resetHoldToReorder();
        m_dragDecision = 3;
        return;
    }
    m_draggingIndex->setRow(m_userPrimaryCellCoord->row());
    if (m_autoScroll == 0) {
        float y = m_holdToReorder->locationInView(cell->owningContentPane()).y - m_cellReorderOffset;
        dragRowToPositionFromCurrentState(m_draggingIndex->row(), y, false);
    }
    switchRowsIfNeeded();
}

void LatticeGrid::reorderColsAboutCell(const Ref<LGridCell>& cell)
{
    m_userDragging = true;
    if (cell->horizontallyFrozen()) {
        m_reordering = false;
        m_userDragging = false;
        m_dragDecision = 3;
        m_lastTouchPosition = CGPointMake(-1, -1);
        return;
    }
    m_draggingIndex->setColumn(m_userPrimaryCellCoord->column());
    if (m_autoScroll == 0) {
        float x = m_holdToReorder->locationInView(cell->owningContentPane()).x - m_cellReorderOffset;
        dragColToPositionFromCurrentState(m_draggingIndex->column(), x, false);
    }
    switchColsIfNeeded();
}

// Moving and tinting

void LatticeGrid::dragRowToPositionFromCurrentState(LGridRow row, float y, bool fromCurrentState)
{
    float h = 0;
    bool first = true;
    auto columns = m_visibleColIndexes;
    for (int32_t column : columns) {
        auto cell = loadAndRetrieveCellAtColAtRow(column, row);
        if (!cell)
            continue;
        animateGridElementToPositionInFrontFromCurrentState(
            cell, CGPointMake(cell->center().x, y), true, fromCurrentState);
        if (first)
            h = cell->frame().size.height;
        first = false;
    }
    auto tint = [weak = Weak<LatticeGrid>(protectedGrid()), y, h] {
        auto grid = weak.lock();
        if (!grid)
            return;
        CGRect bounds = grid->convertRectToView(grid->tintBounds(), grid->m_verticalScrollIndicatorLayer);
        grid->m_tinter->highlightYFromToInBounds(y - h / 2, y + h / 2, bounds);
    };
    if (fromCurrentState)
        executeDragAnimationFromCurrentStateWithBlock(true, tint);
    else
        tint();
}

void LatticeGrid::dragColToPositionFromCurrentState(int32_t column, float x, bool fromCurrentState)
{
    float w = 0;
    bool first = true;
    auto rows = visibleRowsPrivate(true);
    for (LGridRow row : rows) {
        auto cell = loadAndRetrieveCellAtColAtRow(column, row);
        if (!cell)
            continue;
        animateGridElementToPositionInFrontFromCurrentState(
            cell, CGPointMake(x, cell->center().y), true, fromCurrentState);
        if (first)
            w = cell->frame().size.width;
        first = false;
    }
    auto tint = [weak = Weak<LatticeGrid>(protectedGrid()), x, w] {
        auto grid = weak.lock();
        if (!grid)
            return;
        CGRect bounds = grid->convertRectToView(grid->tintBounds(), grid->m_horizontalScrollIndicatorLayer);
        grid->m_tinter->highlightXFromToInBounds(x - w / 2, x + w / 2, bounds);
    };
    if (fromCurrentState)
        executeDragAnimationFromCurrentStateWithBlock(true, tint);
    else
        tint();
}

void LatticeGrid::animateGridElementToPositionInFrontFromCurrentState(
    const Ref<LGridCell>& cell, CGPoint position, bool inFront, bool fromCurrentState)
{
    if (!cell)
        return;
    if (inFront)
        cell->bringToFront();
    executeDragAnimationFromCurrentStateWithBlock(
        fromCurrentState, [cell, position] { cell->setCenterPinMovement(position, true); });
}

void LatticeGrid::animateGridElementToPositionInFrontFromCurrentState(
    const Ref<LGridCompositeSectionHeader>& header, CGPoint position, bool inFront, bool fromCurrentState)
{
    if (!header)
        return;
    if (inFront)
        header->bringToFront();
    executeDragAnimationFromCurrentStateWithBlock(
        fromCurrentState, [header, position] { header->setCenterPinMovement(position, true); });
}

void LatticeGrid::executeDragAnimationFromCurrentStateWithBlock(
    bool fromCurrentState, const std::function<void()>& block)
{
    UIView::beginAnimations("", nullptr);
    UIView::setAnimationDuration(0.2);
    UIView::setAnimationCurve(UIViewAnimationCurveEaseInOut);
    UIView::setAnimationBeginsFromCurrentState(fromCurrentState);
    if (block)
        block();
    UIView::commitAnimations();
}

CGRect LatticeGrid::tintBounds()
{
    auto cell = visibleCellAtColAndRowPrivate(lastVisibleColumnIndex(), lastVisibleRow(), true);
    if (!cell)
        return CGRectZero;
    CGRect frame = cell->frame();
    return CGRectMake(0, 0, frame.origin.x + frame.size.width, frame.origin.y + frame.size.height);
}

// Marking

void LatticeGrid::setDraggingRowBeingDragged(bool dragged)
{
    m_currentlyDragging = dragged;
    showFrozenShade(!dragged);
    auto columns = m_visibleColIndexes;
    for (int32_t column : columns)
        setCellDragWithDirection(loadAndRetrieveCellAtColAtRow(column, m_draggingIndex->row()), dragged ? 2 : 0);
}

void LatticeGrid::setDraggingColBeingDragged(bool dragged)
{
    m_currentlyDragging = dragged;
    showFrozenShade(!dragged);
    auto rows = visibleRowsPrivate(true);
    for (LGridRow row : rows)
        setCellDragWithDirection(loadAndRetrieveCellAtColAtRow(m_draggingIndex->column(), row), dragged ? 1 : 0);
}

void LatticeGrid::setCellDragWithDirection(const Ref<LGridCell>& cell, int32_t direction)
{
    if (cell)
        cell->setCurrentDragDirection(direction);
}

void LatticeGrid::resetHoldToReorder()
{
    auto protectedThis = protectedGrid();
    if (m_dragDecision == 2)
        setDraggingRowBeingDragged(false);
    else if (m_dragDecision == 1)
        setDraggingColBeingDragged(false);
    showFrozenShade(true);
    auto selected = selectedGridCoord();
    for (int32_t orientation = 0; orientation < 4; ++orientation) {
        auto arrow = arrowForOrientationAtGridCoord(orientation, selected);
        arrow->fadeTo(0);
        performSelectorAfterDelay(
            arrow, "removeFromSuperview",
            [weak = Weak<LGridReorderArrow>(arrow)] {
                if (auto a = weak.lock())
                    a->removeFromSuperview();
            },
            0.3);
    }
    setUserPrimaryCellCoord(nullptr);
    performSelectorAfterDelay(
        m_activeArrowsPurgeTarget, "removeAllObjects",
        [weak = Weak<LatticeGrid>(protectedThis)] {
            if (auto grid = weak.lock())
                grid->m_activeArrows.clear();
        },
        0.3);
    m_needsDrawArrows = true;
    m_dragDecision = 3;
    m_userDragging = false;
    m_reordering = false;
    m_autoScroll = 0;
    m_lastTouchPosition = CGPointMake(-1, -1);
    if (m_tinter)
        m_tinter->hide();
    m_dragDecisionMade = false;
    m_dragDelegateChecked = false;
}

// Arrows and tint

Ref<LGridReorderArrow> LatticeGrid::arrowForOrientationAtGridCoord(int32_t orientation, const Ref<LGridCoord>& coord)
{
    auto cached = m_activeArrows.find(orientation);
    if (cached != m_activeArrows.end())
        return cached->second;
    auto image = m_defaultArrowImage;
    bool userControlsOrientation = false;
    auto delegate = this->delegate();
    if (delegate && delegate->respondsToSelector("latticeGrid:arrowImageForOrientation:forCellAtCoord:")) {
        if (auto answer = delegate->latticeGridArrowImageForOrientationForCellAtCoord(
                protectedGrid(), orientation, coord ? coord->copy() : nullptr)) {
            image = answer;
            userControlsOrientation = true;
        }
    }
    auto arrow = LGridReorderArrow::initWithOrientationWithImageUserControlsOrientation(
        orientation, image, userControlsOrientation);
    m_activeArrows[orientation] = arrow;
    return arrow;
}

Ref<UIColor> LatticeGrid::tintColor() const
{
    return m_tinter ? m_tinter->tintColor() : nullptr;
}

void LatticeGrid::setTintColor(const Ref<UIColor>& color)
{
    if (m_tinter)
        m_tinter->setTintColor(color);
}

// Switching rows

void LatticeGrid::switchRowsIfNeeded()
{
    auto protectedThis = protectedGrid();
    int32_t reference = firstVisibleColumnIndex();
    LGridRow dragged = m_draggingIndex->row();
    auto draggedCell = loadAndRetrieveCellAtColAtRow(reference, dragged);
    if (!draggedCell)
        return;

    // Hovering over a collapsed section's header for a second expands it.
    float middle = draggedCell->center().y;
    int32_t target = -1;
    for (int32_t s : { dragged.section - 1, dragged.section, dragged.section + 1 }) {
        if (s < 0 || !sectionIsValidWithIndex(static_cast<uint32_t>(s)))
            continue;
        auto section = m_dataSourceDelegateManager->sectionAtIndex(s);
        auto header = section ? section->header() : nullptr;
        if (header && header->hasAllSubheaders() && std::fabs(middle - header->center().y) <= header->height() / 3)
            target = s;
    }
    if (target == -1) {
        cancelPreviousPerformRequestsWithTarget(this);
        m_sectionWaitingForExpand = -1;
    } else if (target != m_sectionWaitingForExpand) {
        auto section = m_dataSourceDelegateManager->sectionAtIndex(target);
        if (section && section->isCollapsed()) {
            m_sectionWaitingForExpand = target;
            cancelPreviousPerformRequestsWithTarget(this);
            performSelectorAfterDelay(
                protectedThis, "expandHeader:",
                [weak = Weak<LatticeGrid>(protectedThis), section] {
                    if (auto grid = weak.lock())
                        grid->expandHeader(section);
                },
                1.0);
        }
    }

    float top = draggedCell->frame().origin.y;
    float bottom = top + draggedCell->frame().size.height;
    LGridRow previous = LGridRowMake(-1, -1);
    Ref<LGridCell> previousCell;
    if (LGridRowGreaterThanRow(dragged, LGridRowMake(0, 0))) {
        previous = findRowBeforeRowIgnoringCollapsedSections(dragged, true);
        if (atOrAfterFirstRow(previous))
            previousCell = safelyRetrieveCellAtColAtRow(reference, previous);
    }
    LGridRow next = LGridRowMake(-1, -1);
    Ref<LGridCell> nextCell;
    if (LGridRowLessThanRow(dragged, lastRow())) {
        next = findRowAfterRowIgnoringCollapsedSections(dragged, true);
        if (next.section >= 0 && sectionIsValidWithIndex(static_cast<uint32_t>(next.section)))
            nextCell = safelyRetrieveCellAtColAtRow(reference, next);
    }
    auto delegate = this->delegate();
    auto tellSwitch = [&](LGridRow from, LGridRow to) {
        if (delegate && delegate->respondsToSelector("latticeGrid:row:hasBeenSwitchedWithRow:"))
            delegate->latticeGridRowHasBeenSwitchedWithRow(protectedThis, from, to);
    };

    if (previousCell && top < previousCell->center().y && !previousCell->verticallyFrozen()
        && !previousCell->isCollapsed()) {
        switchDraggingRowWithStaticRowFromCurrentState(previous, true);
        updateSelectedCellGridCoordsForRowSwitchingWithRow(dragged, previous);
        tellSwitch(dragged, previous);
        m_draggingIndex->setRow(previous);
        // Reveal the row above when it has gone under the frozen rows or the top edge.
        if (LGridRowGreaterThanRow(m_draggingIndex->row(), findRowAfterRow(lastFrozenRow()))) {
            LGridRow above = findRowBeforeRowIgnoringCollapsedSections(previous, true);
            auto aboveCell = atOrAfterFirstRow(above) ? safelyRetrieveCellAtColAtRow(reference, above) : nullptr;
            if (aboveCell && aboveCell->owningContentPane()) {
                float a
                    = aboveCell->owningContentPane()->convertPointToView(aboveCell->frame().origin, protectedThis).y;
                LGridRow frozen = lastFrozenRow();
                float boundary = widthOfLeftBorder();
                if (frozen.index != -1 && frozen.section != -1) {
                    if (auto frozenCell = loadAndRetrieveCellAtColAtRow(reference, frozen))
                        boundary = frozenCell->frame().origin.y + frozenCell->frame().size.height;
                }
                LGridRow beyond = findRowBeforeRowIgnoringCollapsedSections(above, true);
                auto beyondCell = atOrAfterFirstRow(beyond) ? safelyRetrieveCellAtColAtRow(reference, beyond) : nullptr;
                if (atOrAfterFirstRow(beyond) && a < boundary && !(beyondCell && beyondCell->isCollapsed())) {
                    CGPoint offset = contentOffset();
                    setContentOffsetAnimatedBoundedByContentSize(
                        CGPointMake(offset.x, offset.y - (boundary - a)), true, true);
                }
            }
        }
    }
    if (nextCell && nextCell->center().y < bottom && !nextCell->verticallyFrozen() && !nextCell->isCollapsed()) {
        LGridRow from = m_draggingIndex->row();
        switchDraggingRowWithStaticRowFromCurrentState(next, true);
        updateSelectedCellGridCoordsForRowSwitchingWithRow(from, next);
        tellSwitch(from, next);
        m_draggingIndex->setRow(next);
        // Reveal the row below when it lies beyond the bottom edge.
        if (LGridRowLessThanRow(m_draggingIndex->row(), lastRow())) {
            LGridRow below = findRowAfterRowIgnoringCollapsedSections(next, true);
            if (below.section >= 0 && sectionIsValidWithIndex(static_cast<uint32_t>(below.section))) {
                auto belowCell = safelyRetrieveCellAtColAtRow(reference, below);
                if (belowCell && belowCell->owningContentPane()) {
                    CGRect f = belowCell->frame();
                    float a
                        = belowCell->owningContentPane()
                              ->convertPointToView(CGPointMake(f.origin.x, f.origin.y + f.size.height), protectedThis)
                              .y;
                    float height = frame().size.height;
                    if (height < a && !belowCell->isCollapsed()) {
                        CGPoint offset = contentOffset();
                        setContentOffsetAnimatedBoundedByContentSize(
                            CGPointMake(offset.x, offset.y + (a - height)), true, true);
                    }
                }
            }
        }
    }
}

void LatticeGrid::switchDraggingRowWithStaticRowFromCurrentState(LGridRow staticRow, bool fromCurrentState)
{
    int32_t reference = firstVisibleColumnIndex();
    LGridRow dragged = m_draggingIndex->row();
    auto draggedReference = loadAndRetrieveCellAtColAtRow(reference, dragged);
    auto staticReference = loadAndRetrieveCellAtColAtRow(reference, staticRow);
    if (!draggedReference || !staticReference)
        return;
    float dH = draggedReference->frame().size.height;
    CGRect s = staticReference->frame();
    float newY = 0;
    auto moveHeader = [&](int32_t section, float centreY) {
        auto object = m_dataSourceDelegateManager->sectionAtIndex(section);
        if (auto header = object ? object->header() : nullptr)
            animateGridElementToPositionInFrontFromCurrentState(
                header, CGPointMake(header->center().x, centreY), false, false);
    };
    if (LGridRowGreaterThanRow(staticRow, dragged)) {
        newY = s.origin.y - dH;
        if (staticReference->isInFirstRowOfOwnSection()) {
            float headers
                = totalHeightOfSectionHeadersFromSectionIndexToSectionIndex(dragged.section + 1, staticRow.section);
            float hy = newY + s.size.height - headers;
            for (int32_t section = dragged.section + 1; section <= staticRow.section; ++section) {
                float h = headerHeightOfSection(section);
                newY -= h;
                moveHeader(section, hy + h / 2);
                hy += h;
            }
        }
        m_positionToSnapDraggingCellsTo.y = s.origin.y + s.size.height - dH / 2;
    } else {
        newY = s.origin.y + dH;
        if (staticReference->isInLastRowOfOwnSection()) {
            float hy = newY
                + totalHeightOfSectionHeadersFromSectionIndexToSectionIndex(dragged.section + 1, staticRow.section);
            for (int32_t section = staticRow.section + 1; section <= dragged.section; ++section) {
                float h = headerHeightOfSection(section);
                newY += h;
                moveHeader(section, hy + h / 2);
                hy += h;
            }
        }
        m_positionToSnapDraggingCellsTo.y = s.origin.y + dH / 2;
    }
    // Every pair is taken before any coordinate changes: the sections find cells by them.
    std::vector<std::pair<Ref<LGridCell>, Ref<LGridCell>>> pairs;
    auto columns = m_visibleColIndexes;
    for (int32_t column : columns) {
        auto staticCell = loadAndRetrieveCellAtColAtRow(column, staticRow);
        auto draggedCell = loadAndRetrieveCellAtColAtRow(column, dragged);
        if (staticCell && draggedCell)
            pairs.emplace_back(staticCell, draggedCell);
    }
    int32_t sections = numberOfSections();
    auto isLastRowOfGrid = [&](const Ref<LGridCell>& cell) {
        LGridRow row = cell->gridCoord()->row();
        return row.section == sections - 1
            && static_cast<uint32_t>(row.index) + 1 == numberOfRowsForSection(row.section);
    };
    for (auto& [staticCell, draggedCell] : pairs) {
        animateGridElementToPositionInFrontFromCurrentState(staticCell,
            CGPointMake(staticCell->center().x, newY + staticCell->frame().size.height / 2), false, fromCurrentState);
        auto draggedCoord = draggedCell->gridCoord()->copy();
        auto staticCoord = staticCell->gridCoord()->copy();
        staticCell->setGridCoord(draggedCoord);
        draggedCell->setGridCoord(staticCoord);
        if (staticCell->gridCoord()->rowIndex() == 0 || draggedCell->gridCoord()->rowIndex() == 0
            || isLastRowOfGrid(staticCell) || isLastRowOfGrid(draggedCell)) {
            staticCell->border()->refreshBorderWithFrameRestyleBorders(staticCell->frame(), true);
            draggedCell->border()->refreshBorderWithFrameRestyleBorders(draggedCell->frame(), true);
        }
    }
    exchangeIndexesOfDraggingRowWithRow(staticRow);
    m_dataSourceDelegateManager->exchangeRowStyleAtRowWithRowStyleAtRow(staticRow, dragged);
    setUserPrimaryCellCoord(LGridCoord::initWithColumnWithRow(m_draggingIndex->column(), staticRow));
}

void LatticeGrid::exchangeIndexesOfDraggingRowWithRow(LGridRow staticRow)
{
    LGridRow dragged = m_draggingIndex->row();
    auto a = m_dataSourceDelegateManager->sectionAtIndex(dragged.section);
    auto b = m_dataSourceDelegateManager->sectionAtIndex(staticRow.section);
    if (!a || !b)
        return;
    // After the exchange of coordinates, the dragged cells (in section a) carry the static row
    // and the static cells (in section b) the dragged row.
    auto rowLabelled = [](const Ref<LGridSection>& section, LGridRow row) -> std::optional<LGridSection::RowArray> {
        for (const auto& cells : section->rowStore()) {
            if (!cells.empty() && cells.back()->gridCoord() && cells.back()->gridCoord()->row() == row)
                return cells;
        }
        return std::nullopt;
    };
    auto x = rowLabelled(a, staticRow);
    auto y = rowLabelled(b, dragged);
    if (!x || !y)
        return;
    a->replaceRowWithRow(*x, *y);
    b->replaceRowWithRow(*y, *x);
    a->sortVisibleRows();
    b->sortVisibleRows();
}

void LatticeGrid::updateSelectedCellGridCoordsForRowSwitchingWithRow(LGridRow a, LGridRow b)
{
    for (const auto& coord : m_selectedGridCoords) {
        if (coord->row() == a)
            coord->mutateRowTo(b);
        else if (coord->row() == b)
            coord->mutateRowTo(a);
    }
}

// Switching columns

void LatticeGrid::switchColsIfNeeded()
{
    auto protectedThis = protectedGrid();
    int32_t dragged = m_draggingIndex->column();
    LGridRow reference = firstVisibleRow();
    auto draggedCell = loadAndRetrieveCellAtColAtRow(dragged, reference);
    if (!draggedCell)
        return;
    float left = draggedCell->frame().origin.x;
    float right = left + draggedCell->frame().size.width;
    int32_t last = m_dataSourceDelegateManager->totalNumberOfColumnsInGrid() - 1;
    auto previousCell = dragged != 0 ? safelyRetrieveCellAtColAtRow(dragged - 1, reference) : nullptr;
    auto nextCell = dragged != last ? safelyRetrieveCellAtColAtRow(dragged + 1, reference) : nullptr;
    auto delegate = this->delegate();
    auto tellSwitch = [&](int32_t from, int32_t to) {
        if (delegate && delegate->respondsToSelector("latticeGrid:colAtIndex:hasBeenSwitchedWithColAtIndex:"))
            delegate->latticeGridColAtIndexHasBeenSwitchedWithColAtIndex(protectedThis, from, to);
    };
    if (previousCell && left < previousCell->center().x) {
        if (previousCell->horizontallyFrozen())
            return;
        switchDraggingColWithStaticColFromCurrentState(dragged - 1, true);
        tellSwitch(dragged, dragged - 1);
        m_draggingIndex->setColumn(dragged - 1);
        int32_t column = m_draggingIndex->column();
        if (static_cast<uint32_t>(column) > m_innerNumberOfFrozenColumns) {
            auto leftCell = safelyRetrieveCellAtColAtRow(column - 1, reference);
            if (leftCell && leftCell->owningContentPane()) {
                float a = leftCell->owningContentPane()->convertPointToView(leftCell->frame().origin, protectedThis).x;
                float boundary = widthOfLeftBorder();
                if (m_innerNumberOfFrozenColumns > 0) {
                    if (auto frozen = loadAndRetrieveCellAtColAtRow(
                            static_cast<int32_t>(m_innerNumberOfFrozenColumns) - 1, reference))
                        boundary = frozen->frame().origin.x + frozen->frame().size.width;
                }
                if (a < boundary) {
                    CGPoint offset = contentOffset();
                    setContentOffsetAnimatedBoundedByContentSize(
                        CGPointMake(offset.x - (boundary - a), offset.y), true, true);
                }
            }
        }
        return;
    }
    if (nextCell && nextCell->center().x < right && !nextCell->horizontallyFrozen()) {
        switchDraggingColWithStaticColFromCurrentState(dragged + 1, true);
        tellSwitch(dragged, dragged + 1);
        m_draggingIndex->setColumn(dragged + 1);
        int32_t column = m_draggingIndex->column();
        if (column < last) {
            auto rightCell = safelyRetrieveCellAtColAtRow(column + 1, reference);
            if (rightCell && rightCell->owningContentPane()) {
                CGRect f = rightCell->frame();
                float a = rightCell->owningContentPane()
                              ->convertPointToView(CGPointMake(f.origin.x + f.size.width, f.origin.y), protectedThis)
                              .x;
                float edge = frame().origin.x + frame().size.width;
                if (edge < a) {
                    CGPoint offset = contentOffset();
                    setContentOffsetAnimatedBoundedByContentSize(
                        CGPointMake(offset.x + (a - edge), offset.y), true, true);
                }
            }
        }
    }
}

void LatticeGrid::switchDraggingColWithStaticColFromCurrentState(int32_t staticColumn, bool fromCurrentState)
{
    int32_t dragged = m_draggingIndex->column();
    LGridRow reference = firstVisibleRow();
    auto draggedCell = loadAndRetrieveCellAtColAtRow(dragged, reference);
    if (!draggedCell)
        return;
    float dW = draggedCell->frame().size.width;
    int32_t neighbour = dragged < staticColumn ? dragged + 1 : dragged - 1;
    auto neighbourCell = loadAndRetrieveCellAtColAtRow(neighbour, reference);
    if (!neighbourCell)
        return;
    CGRect n = neighbourCell->frame();
    float newOrigin = 0;
    if (dragged < staticColumn) {
        newOrigin = n.origin.x - dW;
        m_positionToSnapDraggingCellsTo.x = n.origin.x + n.size.width - dW / 2;
    } else {
        newOrigin = n.origin.x + dW;
        m_positionToSnapDraggingCellsTo.x = n.origin.x + dW / 2;
    }
    m_dataSourceDelegateManager->switchDraggingColWithColAtIndexWithNewOriginOfColToSwitchWithFromCurrentState(
        neighbour, newOrigin, fromCurrentState);
    m_dataSourceDelegateManager->switchColStyleAtIndexWithColStyleAtIndex(dragged, staticColumn);
    setUserPrimaryCellCoord(LGridCoord::initWithColumnWithRow(neighbour, m_draggingIndex->row()));
}

// Helpers of the switches

Ref<LGridCell> LatticeGrid::safelyRetrieveCellAtColAtRow(int32_t column, LGridRow row)
{
    if (std::find(m_visibleColIndexes.begin(), m_visibleColIndexes.end(), column) == m_visibleColIndexes.end()) {
        if (column > lastVisibleColumnIndex())
            addNewRightColumnToGrid();
        else if (column < firstVisibleNonFrozenColumnIndex())
            addNewLeftColumnToGrid();
    }
    if (std::find(m_visibleRowIndexes.begin(), m_visibleRowIndexes.end(), row) == m_visibleRowIndexes.end()) {
        if (LGridRowGreaterThanRow(row, lastVisibleRow()))
            addNewBottomRowToGrid();
        else if (LGridRowLessThanRow(row, firstVisibleNonFrozenRow()))
            addNewTopRowToGrid();
    }
    return visibleCellAtColAndRowPrivate(column, row, true);
}

void LatticeGrid::setContentOffsetAnimatedBoundedByContentSize(CGPoint offset, bool animated, bool bounded)
{
    if (bounded) {
        CGPoint current = contentOffset();
        CGSize content = m_liquidLayer->contentSize();
        CGSize size = bounds().size;
        float limitY = content.height - size.height;
        if (limitY < 0)
            limitY = current.y;
        offset.y = std::clamp<CGFloat>(offset.y, 0, std::max<CGFloat>(limitY, 0));
        float limitX = content.width - size.width;
        if (limitX < 0)
            limitX = current.x;
        offset.x = std::clamp<CGFloat>(offset.x, 0, std::max<CGFloat>(limitX, 0));
    }
    setContentOffsetAnimated(offset, animated);
}

void LatticeGrid::expandHeader(const Ref<LGridSection>& section)
{
    if (!section || !section->isCollapsed())
        return;
    section->collapseOrExpandProgrammaticWithCompletion(true, [weak = Weak<LatticeGrid>(protectedGrid()), section] {
        auto grid = weak.lock();
        if (!grid)
            return;
        auto columns = grid->m_visibleColIndexes;
        for (int32_t column : columns) {
            if (auto cell = grid->loadAndRetrieveCellAtColAtRow(column, grid->m_draggingIndex->row()))
                cell->bringToFront();
        }
        for (int32_t i = 0; i <= section->numberOfRows(); ++i)
            grid->switchRowsIfNeeded();
        for (int32_t orientation = 0; orientation < 4; ++orientation)
            grid->arrowForOrientationAtGridCoord(orientation, grid->m_userPrimaryCellCoord)->pulse();
        grid->m_sectionWaitingForExpand = -1;
    });
}

float LatticeGrid::totalHeightOfSectionHeadersFromSectionIndexToSectionIndex(int32_t from, int32_t to)
{
    float total = 0;
    for (int32_t section = from; section <= to; ++section)
        total += headerHeightOfSection(section);
    return total;
}

LGridRow LatticeGrid::lastRow()
{
    int32_t sections = m_dataSourceDelegateManager->totalNumberOfSectionsInGrid();
    if (sections <= 0)
        return LGridRowMake(-1, -1);
    return LGridRowMake(m_dataSourceDelegateManager->numberOfRowsInSection(sections - 1) - 1, sections - 1);
}

// Reveal scrolling continued by the scroll callbacks

void LatticeGrid::noteDragScrollDirection(CGPoint offset)
{
    if (m_dragDecision == 2) {
        if (offset.y > m_lastContentOffset.y)
            m_autoScroll = 2;
        else if (offset.y < m_lastContentOffset.y)
            m_autoScroll = 1;
    } else if (m_dragDecision == 1) {
        if (offset.x > m_lastContentOffset.x)
            m_autoScroll = 2;
        else if (offset.x < m_lastContentOffset.x)
            m_autoScroll = 1;
    }
}

void LatticeGrid::continueDragAfterScrollingAnimation()
{
    if (!m_userDragging || m_autoScroll == 0 || !m_userPrimaryCellCoord)
        return;
    auto primary = visibleCellAtCoord(m_userPrimaryCellCoord);
    if (!primary || !primary->owningContentPane())
        return;
    CGRect c = primary->frame();
    CGPoint finger = m_holdToReorder->locationInView(primary->owningContentPane());
    if (m_dragDecision == 2) {
        LGridRow row = m_userPrimaryCellCoord->row();
        int32_t column = m_userPrimaryCellCoord->column();
        float f = finger.y - m_cellReorderOffset;
        float position = f;
        if (m_autoScroll == 2) {
            LGridRow next = findRowAfterRowIgnoringCollapsedSections(row, true);
            auto nextCell = next.section >= 0 && sectionIsValidWithIndex(static_cast<uint32_t>(next.section))
                ? safelyRetrieveCellAtColAtRow(column, next)
                : nullptr;
            float limit
                = nextCell ? nextCell->frame().origin.y + nextCell->frame().size.height * 3 / 4 - c.size.height / 2 : f;
            if (!nextCell || nextCell->isInLastRowOfLastSection() || f <= limit)
                m_autoScroll = 0;
            else
                position = limit;
        } else {
            LGridRow previous = findRowBeforeRowIgnoringCollapsedSections(row, true);
            auto previousCell = atOrAfterFirstRow(previous) ? safelyRetrieveCellAtColAtRow(column, previous) : nullptr;
            float limit = previousCell
                ? previousCell->frame().origin.y + previousCell->frame().size.height / 4 + c.size.height / 2
                : f;
            if (!previousCell || previous == firstVisibleNonFrozenRow() || limit <= f)
                m_autoScroll = 0;
            else
                position = limit;
        }
        dragRowToPositionFromCurrentState(m_draggingIndex->row(), position, true);
        switchRowsIfNeeded();
    } else if (m_dragDecision == 1) {
        int32_t column = m_userPrimaryCellCoord->column();
        LGridRow row = m_userPrimaryCellCoord->row();
        float f = finger.x - m_cellReorderOffset;
        float position = f;
        if (m_autoScroll == 2) {
            int32_t last = m_dataSourceDelegateManager->totalNumberOfColumnsInGrid() - 1;
            auto nextCell = column < last ? safelyRetrieveCellAtColAtRow(column + 1, row) : nullptr;
            float limit
                = nextCell ? nextCell->frame().origin.x + nextCell->frame().size.width * 3 / 4 - c.size.width / 2 : f;
            if (!nextCell || column + 1 == last || f <= limit)
                m_autoScroll = 0;
            else
                position = limit;
        } else {
            auto previousCell = column > 0 ? safelyRetrieveCellAtColAtRow(column - 1, row) : nullptr;
            float limit = previousCell
                ? previousCell->frame().origin.x + previousCell->frame().size.width / 4 + c.size.width / 2
                : f;
            if (!previousCell || column - 1 == firstVisibleNonFrozenColumnIndex() || limit <= f)
                m_autoScroll = 0;
            else
                position = limit;
        }
        dragColToPositionFromCurrentState(m_draggingIndex->column(), position, true);
        switchColsIfNeeded();
    }
}
