// UITableView: selection, in code and by tap, and scrolling to rows.
#include "uikit/UITableView.h"

#include "foundation/NSException.h"
#include "foundation/ThreadChecks.h"
#include "uikit/UITableViewInternal.h"

#include <algorithm>

using UITableViewInternal::toIndexPath;

// Selection

Ref<NSIndexPath> UITableView::indexPathForSelectedRow() const
{
    auto first = m_selection.first();
    return first ? toIndexPath(*first) : nullptr;
}

std::vector<Ref<NSIndexPath>> UITableView::indexPathsForSelectedRows() const
{
    return m_selection.sortedIndexPaths();
}

void UITableView::selectRowAtIndexPathAnimatedScrollPosition(
    const Ref<NSIndexPath>& indexPath, bool animated, UITableViewScrollPosition position)
{
    assertIsMainThread();
    auto path = validPath(indexPath);
    if (!path) {
        // Selecting nil clears the selection.
        m_selection.clear();
        return;
    }
    // A table selects in code even when it does not allow selection by taps.
    m_selection.select(*path);
    if (position != UITableViewScrollPositionNone)
        scrollToRowAtIndexPathAtScrollPositionAnimated(indexPath, position, animated);
}

void UITableView::deselectRowAtIndexPathAnimated(const Ref<NSIndexPath>& indexPath, bool)
{
    assertIsMainThread();
    if (auto path = validPath(indexPath))
        m_selection.set(*path, false);
}

void UITableView::userSelectRowAtIndexPath(const Ref<NSIndexPath>& indexPath)
{
    assertIsMainThread();
    auto self = protectedTable();
    if (!allowsSelection() || (m_editing && !m_allowsSelectionDuringEditing))
        return;
    auto tapped = validPath(indexPath);
    if (!tapped)
        return;
    // The delegate may answer another row to select or deselect than the one asked about, or
    // none; the answer must be a row the table has.
    m_selection.tap(*tapped,
        { .willSelect =
                [&](Path p) {
                    auto* d = tableDelegate();
                    return validPath(d ? d->tableViewWillSelectRowAtIndexPath(self, toIndexPath(p)) : toIndexPath(p));
                },
            .didSelect =
                [&](Path p) {
                    if (auto* d = tableDelegate())
                        d->tableViewDidSelectRowAtIndexPath(self, toIndexPath(p));
                },
            .willDeselect =
                [&](Path p) {
                    auto* d = tableDelegate();
                    return validPath(d ? d->tableViewWillDeselectRowAtIndexPath(self, toIndexPath(p)) : toIndexPath(p));
                },
            .didDeselect =
                [&](Path p) {
                    if (auto* d = tableDelegate())
                        d->tableViewDidDeselectRowAtIndexPath(self, toIndexPath(p));
                } });
}

void UITableView::touchesEnded(const UITouchSet& touches, const Ref<UIEvent>& event)
{
    assertIsMainThread();
    // A touch that lifts without having dragged is a tap on the row under it.
    bool tap = isTapInProgress();
    UIScrollView::touchesEnded(touches, event);
    if (auto point = UIItemSelection::tapLocation(tap, touches, protectedTable())) {
        if (auto indexPath = indexPathForRowAtPoint(*point))
            userSelectRowAtIndexPath(indexPath);
    }
}

// Scrolling to rows

void UITableView::scrollToRowAtIndexPathAtScrollPositionAnimated(
    const Ref<NSIndexPath>& indexPath, UITableViewScrollPosition position, bool animated)
{
    assertIsMainThread();
    auto path = validPath(indexPath);
    if (!path)
        NSException::raise(NSRangeException,
            "attempt to scroll to invalid index path: "
                + (indexPath ? indexPath->description() : std::string("(null)")));
    CGRect rect = rowRect(*path);
    CGFloat height = bounds().size.height;
    CGPoint offset = contentOffset();
    switch (position) {
    case UITableViewScrollPositionNone:
        scrollRectToVisibleAnimated(rect, animated);
        return;
    case UITableViewScrollPositionTop:
        offset.y = rect.origin.y;
        break;
    case UITableViewScrollPositionMiddle:
        offset.y = CGRectGetMidY(rect) - height / 2;
        break;
    case UITableViewScrollPositionBottom:
        offset.y = CGRectGetMaxY(rect) - height;
        break;
    }
    CGPoint min = minimumContentOffset();
    CGPoint max = maximumContentOffset();
    offset.y = std::clamp(offset.y, min.y, max.y);
    setContentOffsetAnimated(offset, animated);
}

void UITableView::scrollToNearestSelectedRowAtScrollPositionAnimated(UITableViewScrollPosition position, bool animated)
{
    assertIsMainThread();
    if (auto selected = indexPathForSelectedRow())
        scrollToRowAtIndexPathAtScrollPositionAnimated(selected, position, animated);
}
