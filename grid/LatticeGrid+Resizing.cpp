// Two-finger column resizing: fingers held on the two edges of a column stretch a snapshot of
// it (the floater) between them; when they lift, the new widths go into the column styles and
// the grid lays itself out again.

#include "grid/LatticeGrid.h"

#include "foundation/NSString.h"
#include "graphics/CALayer.h"
#include "graphics/CGImage.h"
#include "graphics/UIGraphics.h"
#include "graphics/UIImage.h"
#include "grid/LGridBorderStyle.h"
#include "grid/LGridCell.h"
#include "grid/LGridColRowStyle.h"
#include "grid/LGridCompositeSectionHeader.h"
#include "grid/LGridDataSourceDelegateManager.h"
#include "grid/LGridDelegate.h"
#include "grid/LGridLayer.h"
#include "grid/LGridMultiTouchRecognizer.h"
#include "grid/LGridSection.h"
#include "grid/LatticeGridLog.h"
#include "uikit/UIImageView.h"

#include <cfloat>
#include <cmath>
#include <vector>

void LatticeGrid::setCanResizeColumnsViaPinch(bool enabled)
{
    m_canResizeColumnsViaPinch = enabled;
    if (m_resizeGesture)
        m_resizeGesture->setEnabled(enabled);
}

void LatticeGrid::colResizeGesture(const Ref<UIGestureRecognizer>& recognizer)
{
    auto protectedThis = protectedGrid();
    auto gesture = std::dynamic_pointer_cast<LGridMultiTouchRecognizer>(recognizer);
    if (!m_canResizeColumnsViaPinch || !gesture)
        return;
    auto state = gesture->state();
    bool twoTouches = gesture->touchCount() == 2;
    float touches[2] = { 0, 0 };
    if (twoTouches || state == UIGestureRecognizerStateChanged || state == UIGestureRecognizerStateEnded) {
        retrieveTouchesFromGesture(touches, gesture);
        if (touches[0] < 0 || touches[1] - touches[0] > bounds().size.width) {
            gesture->setEnabled(false);
            gesture->setEnabled(true);
            return;
        }
    }
    auto cleanUp = [&] {
        m_colResizing = false;
        m_colResizingFloater->setHidden(true);
        setCellsInColAsHidden(m_colResizingIndex, false);
    };
    if (!m_colResizing) {
        if (!twoTouches || (state != UIGestureRecognizerStateBegan && state != UIGestureRecognizerStateChanged))
            return;
        if (colResizeStartWithTouches(touches)) {
            colResizeDragWithTouches(touches);
            m_colResizing = true;
        } else {
            gesture->cancel();
        }
        return;
    }
    if (state == UIGestureRecognizerStateChanged && twoTouches) {
        colResizeDragWithTouches(touches);
    } else if (state == UIGestureRecognizerStateEnded) {
        colResizeEndWithTouches(touches);
        cleanUp();
    } else if (state == UIGestureRecognizerStateCancelled || state == UIGestureRecognizerStateFailed) {
        cleanUp();
    }
}

void LatticeGrid::retrieveTouchesFromGesture(float touches[2], const Ref<LGridMultiTouchRecognizer>& recognizer)
{
    CGPoint left {};
    CGPoint right {};
    recognizer->leftTouchAndRight(&left, &right);
    float offset = contentOffset().x;
    touches[0] = left.x + offset;
    touches[1] = right.x + offset;
}

bool LatticeGrid::touchesToColumns(const float touches[2], ColumnBoundary boundaries[2])
{
    auto columns = m_visibleColIndexes;
    size_t n = columns.size();
    // No visible column: nothing to snap to.
    if (n == 0)
        return false;
    LGridRow row = firstVisibleRow();
    struct Entry {
        float x;
        bool frozen;
    };
    std::vector<Entry> table;
    table.reserve(n + 1);
    Ref<LGridCell> cell;
    for (int32_t column : columns) {
        cell = loadAndRetrieveCellAtColAtRow(column, row);
        if (!cell)
            return false;
        table.push_back({ static_cast<float>(cell->frame().origin.x), cell->horizontallyFrozen() });
    }
    table.push_back(
        { static_cast<float>(cell->frame().origin.x + cell->frame().size.width), cell->horizontallyFrozen() });
    for (int finger = 0; finger < 2; ++finger) {
        float best = FLT_MAX;
        int32_t found = -1;
        for (size_t i = 0; i <= n; ++i) {
            if (table[i].frozen)
                continue;
            float distance = std::fabs(touches[finger] - table[i].x);
            if (distance < best) {
                best = distance;
                found = static_cast<int32_t>(i);
            }
        }
        if (found == -1)
            return false;
        auto index = static_cast<size_t>(found);
        int32_t column = index < n ? columns[index] : columns[n - 1] + 1;
        boundaries[finger] = { column, table[index].x };
    }
    if (boundaries[1].column < boundaries[0].column)
        std::swap(boundaries[0], boundaries[1]);
    return boundaries[1].column == boundaries[0].column + 1;
}

bool LatticeGrid::colResizeStartWithTouches(const float touches[2])
{
    auto protectedThis = protectedGrid();
    ColumnBoundary boundaries[2] {};
    if (!touchesToColumns(touches, boundaries))
        return false;
    m_colResizingIndex = boundaries[0].column;
    auto column = static_cast<uint32_t>(m_colResizingIndex);
    auto delegate = this->delegate();
    if (delegate && delegate->respondsToSelector("latticeGrid:shouldBeginResizingColumnAtIndex:")
        && !delegate->latticeGridShouldBeginResizingColumnAtIndex(protectedThis, column))
        return false;
    if (delegate && delegate->respondsToSelector("latticeGrid:willBeginResizingColumnAtIndex:"))
        delegate->latticeGridWillBeginResizingColumnAtIndex(protectedThis, column);

    // A snapshot of the content without section headers, cropped to the column.
    int32_t sections = m_dataSourceDelegateManager->totalNumberOfSectionsInGrid();
    auto setHeadersHidden = [&](bool hidden) {
        for (int32_t s = 0; s < sections; ++s) {
            auto section = m_dataSourceDelegateManager->sectionAtIndex(s);
            if (section && section->header())
                section->header()->setHidden(hidden);
        }
    };
    setHeadersHidden(true);
    CGSize size = bounds().size;
    Ref<UIImage> snapshot;
    if (size.width > 0 && size.height > 0) {
        UIGraphicsBeginImageContextWithOptions(size, false, 1);
        m_masterContent->layer()->renderInContext(UIGraphicsGetCurrentContext());
        snapshot = UIGraphicsGetImageFromCurrentImageContext();
        UIGraphicsEndImageContext();
    }
    setHeadersHidden(false);
    auto first = firstVisibleCell();
    auto last = lastVisibleCell();
    CGPoint offset = contentOffset();
    if (snapshot && first && last) {
        CGRect crop = CGRectMake(boundaries[0].x - offset.x, first->frame().origin.y - offset.y,
            boundaries[1].x - boundaries[0].x,
            last->frame().origin.y - first->frame().origin.y + last->frame().size.height);
        if (auto cropped = CGImageCreateWithImageInRect(snapshot->CGImage(), crop))
            m_colResizingFloater->setImage(UIImage::imageWithCGImage(cropped));
    }
    m_colResizingFloater->setHidden(false);
    CGRect floater = m_colResizingFloater->frame();
    if (auto cell = loadAndRetrieveCellAtColAtRow(m_colResizingIndex, firstVisibleRow()))
        m_colResizingFloater->setFrame(
            CGRectMake(cell->frame().origin.x, floater.origin.y, cell->frame().size.width, floater.size.height));
    m_masterContent->bringSubviewToFront(m_colResizingFloater);
    setCellsInColAsHidden(m_colResizingIndex, true);
    return true;
}

void LatticeGrid::colResizeDragWithTouches(const float touches[2])
{
    auto protectedThis = protectedGrid();
    CGPoint offset = contentOffset();
    auto first = firstVisibleCell();
    auto last = lastVisibleCell();
    float top = first ? std::max<float>(first->frame().origin.y - offset.y, 0) : 0;
    float height = last ? last->frame().origin.y + last->frame().size.height - offset.y : 0;
    height = std::min<float>(height, bounds().size.height - top);
    CGRect rect = CGRectMake(std::min(touches[0], touches[1]) - offset.x, top, touches[1] - touches[0], height);
    float border = widthOfLeftBorder();
    if (m_colResizingIndex == 0) {
        rect.origin.x = border;
        rect.size.width = border + touches[1];
    }
    float target = rect.size.width;
    float current = m_colResizingFloater->bounds().size.width;
    float centre = 0;
    auto cell = loadAndRetrieveCellAtColAtRow(m_colResizingIndex, firstVisibleRow());
    if (cell && cell->owningContentPane())
        centre = cell->owningContentPane()->convertPointToView(cell->center(), protectedThis).x;
    auto column = static_cast<uint32_t>(m_colResizingIndex);
    auto delegate = this->delegate();
    if (delegate && delegate->respondsToSelector("latticeGrid:willResizeColumnAtIndex:fromWidth:toWidth:withXCenter:"))
        delegate->latticeGridWillResizeColumnAtIndexFromWidthToWidthWithXCenter(
            protectedThis, column, current, target, centre);
    if (delegate
        && delegate->respondsToSelector("latticeGrid:widthForResizingColAtIndex:withCurrentWidth:targetWidth:")) {
        if (auto answer = delegate->latticeGridWidthForResizingColAtIndexWithCurrentWidthTargetWidth(
                protectedThis, column, current, target)) {
            target = *answer;
            rect.size.width = target;
        }
    }
    m_colResizingFloater->setFrame(rect);
    if (m_colResizingIndex != 0) {
        CGPoint c = m_colResizingFloater->center();
        m_colResizingFloater->setCenter(CGPointMake((touches[0] + touches[1]) / 2 - offset.x, c.y));
    }
    if (delegate && delegate->respondsToSelector("latticeGrid:didResizeColumnAtIndex:fromWidth:toWidth:"))
        delegate->latticeGridDidResizeColumnAtIndexFromWidthToWidth(protectedThis, column, current, target);
}

void LatticeGrid::colResizeEndWithTouches(const float touches[2])
{
    auto protectedThis = protectedGrid();
    int32_t c = m_colResizingIndex;
    auto column = static_cast<uint32_t>(c);
    LGridRow row = firstVisibleRow();
    auto cell = loadAndRetrieveCellAtColAtRow(c, row);
    float oldWidth = cell ? cell->frame().size.width : 0;
    float centre = cell ? cell->center().x : 0;
    float leftReference = widthOfLeftBorder();
    float newWidth = 0;
    auto setWidth = [&](int32_t index, float width) {
        if (auto style = m_dataSourceDelegateManager->styleOfCellAtColAddToDictionary(index, true))
            style->setSize(width);
    };
    if (c == 0) {
        newWidth = touches[1];
    } else {
        auto previous = loadAndRetrieveCellAtColAtRow(c - 1, row);
        leftReference = previous ? previous->frame().origin.x : 0;
        setWidth(c - 1, std::max(std::fabs(touches[0] - leftReference), minimumWidthForColumnAtIndex(c - 1)));
        newWidth = std::fabs(touches[1] - touches[0]);
    }
    auto delegate = this->delegate();
    if (delegate && delegate->respondsToSelector("latticeGrid:willResizeColumnAtIndex:fromWidth:toWidth:withXCenter:"))
        delegate->latticeGridWillResizeColumnAtIndexFromWidthToWidthWithXCenter(
            protectedThis, column, oldWidth, newWidth, centre);
    if (delegate && delegate->respondsToSelector("latticeGrid:willEndResizingColumnAtIndex:fromWidth:toWidth:"))
        delegate->latticeGridWillEndResizingColumnAtIndexFromWidthToWidth(protectedThis, column, oldWidth, newWidth);
    float minimum = minimumWidthForColumnAtIndex(c);
    if (delegate
        && delegate->respondsToSelector("latticeGrid:widthForResizingColAtIndex:withCurrentWidth:targetWidth:")) {
        auto answer = delegate->latticeGridWidthForResizingColAtIndexWithCurrentWidthTargetWidth(
            protectedThis, column, oldWidth, newWidth);
        float width = answer.value_or(newWidth);
        if (width != newWidth) {
            if (c == 0) {
                LatticeGridLog::logMessageFromSource("Cannot alter x position of first column.", this);
            } else {
                float previousWidth = contentOffset().x + m_colResizingFloater->center().x - width / 2 - leftReference;
                setWidth(c - 1, std::max(previousWidth, minimumWidthForColumnAtIndex(c - 1)));
            }
        }
        if (width < 0) {
            LatticeGridLog::logMessageFromSource(
                NSString::stringWithFormat("The width of column %ld has been set to %f, using %f instead.",
                    static_cast<long>(c), static_cast<double>(width), static_cast<double>(newWidth)),
                this);
        } else {
            newWidth = width;
        }
    }
    if (newWidth <= minimum)
        newWidth = minimum;
    setWidth(c, newWidth);
    setCellsInColAsHidden(c, false);
    reloadInternal(true);
    if (delegate && delegate->respondsToSelector("latticeGrid:didResizeColumnAtIndex:fromWidth:toWidth:"))
        delegate->latticeGridDidResizeColumnAtIndexFromWidthToWidth(protectedThis, column, oldWidth, newWidth);
    if (delegate && delegate->respondsToSelector("latticeGrid:didEndResizingColumnAtIndex:fromWidth:toWidth:"))
        delegate->latticeGridDidEndResizingColumnAtIndexFromWidthToWidth(protectedThis, column, oldWidth, newWidth);
}

void LatticeGrid::setCellsInColAsHidden(int32_t column, bool hidden)
{
    // The rows of the window only: with frozen rows the window skips from the last frozen row
    // to the scrolled run, and the rows in between have no cells to hide.
    for (LGridRow row : std::vector<LGridRow>(m_visibleRowIndexes)) {
        if (auto cell = loadAndRetrieveCellAtColAtRow(column, row))
            cell->setHidden(hidden);
    }
}

Ref<LGridCell> LatticeGrid::firstVisibleCell()
{
    return loadAndRetrieveCellAtColAtRow(firstVisibleColumnIndex(), firstVisibleRow());
}

Ref<LGridCell> LatticeGrid::lastVisibleCell()
{
    return loadAndRetrieveCellAtColAtRow(lastVisibleColumnIndex(), lastVisibleRow());
}
