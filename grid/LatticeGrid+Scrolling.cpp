// LatticeGrid: one offset for all panes, the directional lock, the scroll callbacks from the
// panes and what they pass on, frozen-edge shadows and the validation of the frozen counts.
#include "grid/LatticeGrid.h"

#include "grid/LGridCell.h"
#include "grid/LGridCompositeSectionHeader.h"
#include "grid/LGridDataSourceDelegateManager.h"
#include "grid/LGridDelegate.h"
#include "grid/LGridLayer.h"
#include "grid/LGridSection.h"
#include "grid/LatticeGridLog.h"

#include <cmath>

CGPoint LatticeGrid::contentOffset() const
{
    return m_liquidLayer ? m_liquidLayer->contentOffset() : CGPointZero;
}

void LatticeGrid::setContentOffset(CGPoint offset)
{
    // Before the panes exist (while the scroll view itself is set up) there is nothing to move.
    if (!m_liquidLayer) {
        UIScrollView::setContentOffset(offset);
        return;
    }
    directionLockContentOffset(&offset);
    for (const auto& layer : layers())
        layer->setContentOffset(offset);
}

void LatticeGrid::setBounds(CGRect bounds)
{
    // The scroll view would pass the bounds' origin on as a content offset, which here would
    // move every pane back to the origin whenever the grid is resized.
    UIView::setBounds(CGRectMake(0, 0, bounds.size.width, bounds.size.height));
}

void LatticeGrid::setContentOffsetAnimated(CGPoint offset, bool animated)
{
    directionLockContentOffset(&offset);
    if (m_liquidLayer)
        m_liquidLayer->setContentOffsetAnimated(offset, animated);
}

void LatticeGrid::setDirectionalLockEnabled(bool v)
{
    UIScrollView::setDirectionalLockEnabled(v);
    for (const auto& layer : layers())
        layer->setDirectionalLockEnabled(v);
}

void LatticeGrid::setBounces(bool v)
{
    UIScrollView::setBounces(v);
    for (const auto& layer : layers())
        layer->setBounces(v);
}

void LatticeGrid::setAlwaysBounceHorizontal(bool v)
{
    UIScrollView::setAlwaysBounceHorizontal(v);
    for (const auto& layer : layers())
        layer->setAlwaysBounceHorizontal(v);
}

void LatticeGrid::setAlwaysBounceVertical(bool v)
{
    UIScrollView::setAlwaysBounceVertical(v);
    for (const auto& layer : layers())
        layer->setAlwaysBounceVertical(v);
}

void LatticeGrid::setDecelerationRate(float rate)
{
    UIScrollView::setDecelerationRate(rate);
    for (const auto& layer : layers())
        layer->setDecelerationRate(rate);
}

// Directional lock

void LatticeGrid::directionLockContentOffset(CGPoint* offset)
{
    if (!offset || m_directionalLockAllowDiagonalPanning)
        return;
    if (m_panDecision == 0) {
        float dx = std::fabs(offset->x - m_initialPanOffset.x);
        float dy = std::fabs(offset->y - m_initialPanOffset.y);
        if (std::max(dx, dy) > 5)
            m_panDecision = dx > dy ? 1 : 2;
    }
    if (m_panDecision == 2)
        offset->x = m_initialPanOffset.x;
    else if (m_panDecision == 1)
        offset->y = m_initialPanOffset.y;
}

void LatticeGrid::fakePanDecisionAndLastContentOffset(int32_t decision, CGPoint offset)
{
    m_initialPanOffset = offset;
    m_lastContentOffset = offset;
    m_panDecision = decision;
}

// Scroll callbacks

void LatticeGrid::passScrollCallbackToDelegate(
    const Ref<UIScrollView>& scrollView, std::string_view selector, const std::function<void(LGridDelegate&)>& call)
{
    if (scrollView != m_liquidLayer)
        return;
    auto delegate = this->delegate();
    if (delegate && delegate->respondsToSelector(selector))
        call(*delegate);
}

void LatticeGrid::scrollViewDidScroll(const Ref<UIScrollView>& scrollView)
{
    // The grid's own scroll view (never scrolled by the user) and the zoom callbacks end here.
    auto pane = std::dynamic_pointer_cast<LGridLayer>(scrollView);
    if (!pane)
        return;
    if (m_scrollCallbackInProgress && scrollView != m_liquidLayer)
        return;
    if (m_reloadingGrid || m_aSectionIsCollapsing)
        return;
    auto protectedThis = protectedGrid();
    m_scrollCallbackInProgress = true;
    struct ClearFlag {
        bool& flag;
        ~ClearFlag() { flag = false; }
    } clear { m_scrollCallbackInProgress };
    passScrollCallbackToDelegate(
        scrollView, "scrollViewDidScroll:", [&](LGridDelegate& d) { d.scrollViewDidScroll(protectedThis); });
    switch (pane->freezeType()) {
    case LGridFreezeTypeNone:
        setContentOffset(pane->contentOffset());
        break;
    case LGridFreezeTypeVertical:
        m_liquidLayer->setContentOffset(CGPointMake(pane->contentOffset().x, m_liquidLayer->contentOffset().y));
        return;
    case LGridFreezeTypeHorizontal:
        m_liquidLayer->setContentOffset(CGPointMake(m_liquidLayer->contentOffset().x, pane->contentOffset().y));
        return;
    default:
        return;
    }
    if (!m_visibleRowIndexes.empty()) {
        bool animations = UIView::areAnimationsEnabled();
        UIView::setAnimationsEnabled(false);
        manageTopAndBottomEdgeCells();
        manageLeftAndRightEdgeCells();
        UIView::setAnimationsEnabled(animations);
    }
    noteDragScrollDirection(contentOffset());
    m_lastContentOffset = contentOffset();
    bool positiveX = m_lastContentOffset.x > 0;
    bool positiveY = m_lastContentOffset.y > 0;
    if (positiveX != m_contentOffsetStrictlyPositiveX || positiveY != m_contentOffsetStrictlyPositiveY) {
        m_contentOffsetStrictlyPositiveX = positiveX;
        m_contentOffsetStrictlyPositiveY = positiveY;
        showFrozenShade(true);
    }
}

void LatticeGrid::scrollViewWillBeginDragging(const Ref<UIScrollView>& scrollView)
{
    auto protectedThis = protectedGrid();
    CGPoint offset = contentOffset();
    m_initialPanOffset = offset;
    float maxX = contentSize().width - bounds().size.width;
    float maxY = contentSize().height - bounds().size.height;
    if (offset.x >= 0 && offset.x <= maxX + 2 && offset.y >= 0 && offset.y <= maxY + 2)
        m_panDecision = 0;
    for (const auto& indicator : scrollIndicatorLayers())
        indicator->scrollViewWillBeginDragging(indicator);
    passScrollCallbackToDelegate(scrollView,
        "scrollViewWillBeginDragging:", [&](LGridDelegate& d) { d.scrollViewWillBeginDragging(protectedThis); });
}

void LatticeGrid::scrollViewWillEndDraggingWithVelocityTargetContentOffset(
    const Ref<UIScrollView>& scrollView, CGPoint velocity, CGPoint* target)
{
    auto protectedThis = protectedGrid();
    passScrollCallbackToDelegate(
        scrollView, "scrollViewWillEndDragging:withVelocity:targetContentOffset:", [&](LGridDelegate& d) {
            d.scrollViewWillEndDraggingWithVelocityTargetContentOffset(protectedThis, velocity, target);
        });
}

void LatticeGrid::scrollViewDidEndDraggingWillDecelerate(const Ref<UIScrollView>& scrollView, bool decelerate)
{
    auto protectedThis = protectedGrid();
    for (const auto& indicator : scrollIndicatorLayers())
        indicator->scrollViewDidEndDraggingWillDecelerate(indicator, decelerate);
    passScrollCallbackToDelegate(scrollView, "scrollViewDidEndDragging:willDecelerate:", [&](LGridDelegate& d) {
        d.scrollViewDidEndDraggingWillDecelerate(protectedThis, decelerate);
    });
}

void LatticeGrid::scrollViewWillBeginDecelerating(const Ref<UIScrollView>& scrollView)
{
    auto protectedThis = protectedGrid();
    passScrollCallbackToDelegate(scrollView, "scrollViewWillBeginDecelerating:", [&](LGridDelegate& d) {
        d.scrollViewWillBeginDecelerating(protectedThis);
    });
}

void LatticeGrid::scrollViewDidEndDecelerating(const Ref<UIScrollView>& scrollView)
{
    auto protectedThis = protectedGrid();
    for (const auto& indicator : scrollIndicatorLayers())
        indicator->scrollViewDidEndDecelerating(indicator);
    if (scrollView != m_liquidLayer)
        return;
    passScrollCallbackToDelegate(scrollView,
        "scrollViewDidEndDecelerating:", [&](LGridDelegate& d) { d.scrollViewDidEndDecelerating(protectedThis); });
    tidyRowAndColEdges();
}

void LatticeGrid::scrollViewDidEndScrollingAnimation(const Ref<UIScrollView>& scrollView)
{
    auto protectedThis = protectedGrid();
    for (const auto& indicator : scrollIndicatorLayers())
        indicator->scrollViewDidEndScrollingAnimation(indicator);
    passScrollCallbackToDelegate(scrollView, "scrollViewDidEndScrollingAnimation:", [&](LGridDelegate& d) {
        d.scrollViewDidEndScrollingAnimation(protectedThis);
    });
    if (scrollView == m_liquidLayer)
        continueDragAfterScrollingAnimation();
}

bool LatticeGrid::scrollViewShouldScrollToTop(const Ref<UIScrollView>&)
{
    return scrollsToTop();
}

void LatticeGrid::scrollViewDidScrollToTop(const Ref<UIScrollView>& scrollView)
{
    auto protectedThis = protectedGrid();
    passScrollCallbackToDelegate(
        scrollView, "scrollViewDidScrollToTop:", [&](LGridDelegate& d) { d.scrollViewDidScrollToTop(protectedThis); });
}

// Frozen-edge shadows

void LatticeGrid::showFrozenShade(bool show)
{
    if (m_currentlyDragging && show)
        return;
    auto rows = visibleRowsPrivate(true);
    auto columns = m_visibleColIndexes;
    for (LGridRow row : rows) {
        for (int32_t column : columns) {
            if (auto cell = visibleCellAtColAndRowPrivate(column, row, true))
                cell->showShadows(show);
        }
    }
    if (innerNumberOfFrozenColumns() == 0)
        return;
    if (show)
        show = contentOffset().x > 0;
    auto& manager = m_dataSourceDelegateManager;
    int32_t sections = manager->totalNumberOfSectionsInGrid();
    for (int32_t i = 0; i < sections; ++i) {
        if (auto section = manager->sectionAtIndex(i))
            section->header()->setShowShadow(show);
    }
}

// Frozen counts

void LatticeGrid::validateFrozenColumnsAndRows()
{
    if (m_frozenRowsStillNeedsValidation || m_innerNumberOfFrozenRows != m_numberOfFrozenRows) {
        int32_t rows = m_dataSourceDelegateManager->totalNumberOfRowsInGrid();
        m_innerNumberOfFrozenRows
            = m_numberOfFrozenRows < static_cast<uint32_t>(std::max(rows, 0)) ? m_numberOfFrozenRows : 0;
    }
    if (m_frozenColumnsStillNeedsValidation || m_innerNumberOfFrozenColumns != m_numberOfFrozenColumns) {
        int32_t columns = m_dataSourceDelegateManager->totalNumberOfColumnsInGrid();
        m_innerNumberOfFrozenColumns
            = m_numberOfFrozenColumns < static_cast<uint32_t>(std::max(columns, 0)) ? m_numberOfFrozenColumns : 0;
    }
}

void LatticeGrid::completeFrozenRowsValidation()
{
    if (deferredLayout()) {
        m_frozenRowsStillNeedsValidation = true;
        return;
    }
    m_frozenRowsStillNeedsValidation = false;
    if (m_dataSourceDelegateManager->hasDataSource() && m_numberOfFrozenRows != 0)
        updateUserCanScroll();
}

void LatticeGrid::completeFrozenColumnsValidation()
{
    if (deferredLayout()) {
        m_frozenColumnsStillNeedsValidation = true;
        return;
    }
    m_frozenColumnsStillNeedsValidation = false;
    if (m_dataSourceDelegateManager->hasDataSource() && m_numberOfFrozenColumns != 0)
        updateUserCanScroll();
}

void LatticeGrid::updateUserCanScroll()
{
    if (!m_dataSourceDelegateManager->hasDataSource())
        return;
    int32_t sections = numberOfSections();
    if (sections <= 0)
        return;
    LGridRow last = LGridRowMake(m_dataSourceDelegateManager->numberOfRowsInSection(sections - 1) - 1, sections - 1);
    bool canScroll = static_cast<int64_t>(m_innerNumberOfFrozenColumns) - 1 < numberOfColumns()
        && LGridRowLessThanRow(lastFrozenRow(), last);
    m_liquidLayer->UIScrollView::setScrollEnabled(canScroll);
}

void LatticeGrid::assertValid()
{
    CGRect frame = this->frame();
    if (frame.size.width <= 0 || frame.size.height <= 0)
        LatticeGridLog::fatalLogMessageFromSource(
            "LGrid must have a non-empty frame assigned to produce a grid.", this);
    m_dataSourceDelegateManager->assertDataSourceExists();
}
