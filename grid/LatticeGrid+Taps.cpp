// Taps: the grid's recognisers, finding the element under a gesture, and turning single and
// double taps into selection and edit events by the two event masks.

#include "grid/LatticeGrid.h"

#include "grid/LGridCell.h"
#include "grid/LGridCoord.h"
#include "grid/LGridCoordMutable.h"
#include "grid/LGridDelegate.h"
#include "grid/LGridDoubleTapGestureRecognizer.h"
#include "grid/LGridLayer.h"
#include "grid/LGridMultiTouchRecognizer.h"
#include "grid/LGridSectionHeader.h"
#include "uikit/UILongPressGestureRecognizer.h"

void LatticeGrid::setUpGestureRecognizers()
{
    auto self = protectedGrid();
    auto weak = Weak<LatticeGrid>(self);
    auto call = [weak](void (LatticeGrid::*method)(const Ref<UIGestureRecognizer>&)) {
        return [weak, method](const Ref<UIGestureRecognizer>& recognizer) {
            if (auto grid = weak.lock())
                ((*grid).*method)(recognizer);
        };
    };
    m_doubleTapToEdit = LGridDoubleTapGestureRecognizer::initWithTargetInitialTapActionDoubleTapAction(
        self, call(&LatticeGrid::handleTenativeSingleTap), "handleDoubleTap:", call(&LatticeGrid::handleDoubleTap));
    m_singleTapToSelect = UITapGestureRecognizer::init();
    m_singleTapToSelect->addTargetAction(self, "handleSingleTap:", call(&LatticeGrid::handleSingleTap));
    m_singleTapToSelect->setNumberOfTapsRequired(1);
    m_resizeGesture = LGridMultiTouchRecognizer::initWithTargetActionAndPossibleAction(
        self, "colResizeGesture:", call(&LatticeGrid::colResizeGesture), call(&LatticeGrid::colResizeMaybe));
    m_resizeGesture->setEnabled(false);
    m_singleTapToSelect->requireGestureRecognizerToFail(m_doubleTapToEdit);
    m_resizeGesture->requireGestureRecognizerToFail(m_doubleTapToEdit);
    m_holdToReorder = UILongPressGestureRecognizer::init();
    m_holdToReorder->addTargetAction(self, "reorderColsOrRows", call(&LatticeGrid::reorderColsOrRows));
    m_holdToReorder->setEnabled(false);
    m_singleTapEventMask = 1;
    m_doubleTapEventMask = 3;
    m_positionToSnapDraggingCellsTo = CGPointMake(-1, -1);
    m_lastTouchPosition = CGPointMake(-1, -1);
    m_dragDecision = 3;
    m_draggingIndex = LGridCoordMutable::initWithColumnWithRow(0, LGridRowMake(0, 0));
    addGestureRecognizer(m_doubleTapToEdit);
    addGestureRecognizer(m_singleTapToSelect);
    addGestureRecognizer(m_resizeGesture);
    addGestureRecognizer(m_holdToReorder);
}

bool LatticeGrid::canSelectViaSingleTap() const
{
    return m_singleTapToSelect->isEnabled();
}

void LatticeGrid::setCanSelectViaSingleTap(bool enabled)
{
    m_singleTapToSelect->setEnabled(enabled);
}

bool LatticeGrid::canEditCellsViaDoubleTap() const
{
    return m_doubleTapToEdit->isEnabled();
}

void LatticeGrid::setCanEditCellsViaDoubleTap(bool enabled)
{
    m_doubleTapToEdit->setEnabled(enabled);
}

void LatticeGrid::setDoubleTapEventMask(int32_t mask)
{
    m_doubleTapEventMask = mask;
    m_doubleTapToEdit->setEnabled(mask != 0);
}

void LatticeGrid::handleSingleTap(const Ref<UIGestureRecognizer>& recognizer)
{
    if (recognizer && recognizer->state() == UIGestureRecognizerStateEnded)
        handleGestureTypeWithGesture(0, recognizer);
}

void LatticeGrid::handleDoubleTap(const Ref<UIGestureRecognizer>& recognizer)
{
    if (recognizer && recognizer->state() == UIGestureRecognizerStateEnded)
        handleGestureTypeWithGesture(1, recognizer);
}

void LatticeGrid::handleTenativeSingleTap(const Ref<UIGestureRecognizer>& recognizer)
{
    auto cell = std::dynamic_pointer_cast<LGridCell>(findSelectableElementFromGesture(recognizer));
    if (cell && !cellCanRespondToDoubleTapAccordingToDelegate(cell)) {
        if (auto doubleTap = std::dynamic_pointer_cast<LGridDoubleTapGestureRecognizer>(recognizer))
            doubleTap->cancel();
    }
}

bool LatticeGrid::cellCanRespondToDoubleTapAccordingToDelegate(const Ref<LGridCell>& cell)
{
    auto delegate = this->delegate();
    if (!delegate || !delegate->respondsToSelector("latticeGrid:cellCanRespondToDoubleTap:"))
        return true;
    return delegate->latticeGridCellCanRespondToDoubleTap(protectedGrid(), cell);
}

bool LatticeGrid::handleGestureTypeWithGesture(int32_t type, const Ref<UIGestureRecognizer>& recognizer)
{
    auto element = findSelectableElementFromGesture(recognizer);
    if (!element)
        return false;
    handleGestureForResponder(type, element);
    return true;
}

Ref<UIView> LatticeGrid::findSelectableElementFromGesture(const Ref<UIGestureRecognizer>& recognizer)
{
    if (!recognizer)
        return nullptr;
    // Frozen panes draw above the scrolled ones, so they are searched first.
    for (const auto& layer : { m_staticLayer, m_verticallyFrozenLayer, m_horizontallyFrozenLayer, m_liquidLayer }) {
        if (!layer)
            continue;
        CGPoint point = recognizer->locationInView(layer);
        if (auto element = searchLayerForResponderThatContainsPoint(layer, point))
            return element;
    }
    return nullptr;
}

Ref<UIView> LatticeGrid::searchLayerForResponderThatContainsPoint(const Ref<LGridLayer>& layer, CGPoint point)
{
    auto elements = layer->content()->selectableGridElements();
    for (const auto& element : elements) {
        if (!CGRectContainsPoint(element->frame(), point))
            continue;
        if (auto cell = std::dynamic_pointer_cast<LGridCell>(element); cell && cell->isCollapsed())
            continue;
        if (auto header = std::dynamic_pointer_cast<LGridSectionHeader>(element); header && header->isCollapsed())
            continue;
        return element;
    }
    return nullptr;
}

void LatticeGrid::handleGestureForResponder(int32_t type, const Ref<UIView>& element)
{
    auto protectedThis = protectedGrid();
    cancelEditing();
    if (type == 2) {
        if (auto cell = std::dynamic_pointer_cast<LGridCell>(element))
            handleReorderEventOnCell(cell);
        return;
    }
    if (type != 0 && type != 1)
        return;
    dispatchEventToResponder(type == 1 ? m_doubleTapEventMask : m_singleTapEventMask, element);
    auto cell = std::dynamic_pointer_cast<LGridCell>(element);
    auto delegate = this->delegate();
    if (cell && delegate && delegate->respondsToSelector("latticeGrid:didTapCellAtCoord:isDoubleTap:"))
        delegate->latticeGridDidTapCellAtCoordIsDoubleTap(protectedThis, cell->gridCoord(), type == 1);
}

void LatticeGrid::dispatchEventToResponder(int32_t mask, const Ref<UIView>& element)
{
    auto cell = std::dynamic_pointer_cast<LGridCell>(element);
    auto header = std::dynamic_pointer_cast<LGridSectionHeader>(element);
    if (mask & 1) {
        if (cell)
            cell->actUponSelectionEvent();
        else if (header)
            header->actUponSelectionEvent();
    }
    if (mask & 2) {
        if (cell)
            cell->actUponEditEvent();
        else if (header)
            header->actUponEditEvent();
    }
}

void LatticeGrid::handleReorderEventOnCell(const Ref<LGridCell>& cell)
{
    if (cell)
        setUserPrimaryCellCoord(cell->gridCoord());
}

void LatticeGrid::setUserPrimaryCellCoord(const Ref<LGridCoord>& coord)
{
    if (coord == m_userPrimaryCellCoord)
        return;
    m_userPrimaryCellCoord = coord ? coord->copy() : nullptr;
}

void LatticeGrid::cancelEditing()
{
    if (!m_userPrimaryCellCoord)
        return;
    if (auto cell = visibleCellAtCoord(m_userPrimaryCellCoord))
        cell->resignFirstResponder();
}
