// UITableView: row and section updates, alone or batched, and editing (the user's deletes and moves).
#include "uikit/UITableView.h"

#include "foundation/NSException.h"
#include "foundation/ThreadChecks.h"
#include "uikit/UITableViewInternal.h"

#include <algorithm>
#include <string>

using UITableViewInternal::toIndexPath;

// Updates

void UITableView::recordUpdate(UITableViewRecordedUpdate record)
{
    m_recordedUpdates.push_back(std::move(record));
}

void UITableView::beginUpdates()
{
    assertIsMainThread();
    m_updates.begin();
}

void UITableView::endUpdates()
{
    assertIsMainThread();
    if (!m_updates.end())
        return;
    // Heights are asked again even when nothing changed.
    applyUpdates(m_updates.takePending());
}

void UITableView::insertRowsAtIndexPathsWithRowAnimation(
    const std::vector<Ref<NSIndexPath>>& indexPaths, UITableViewRowAnimation animation)
{
    assertIsMainThread();
    queueRowUpdate(
        UITableViewRecordedUpdate::Kind::InsertRows, indexPaths, animation, &UIBatchUpdates::Changes::insertRows);
}

void UITableView::deleteRowsAtIndexPathsWithRowAnimation(
    const std::vector<Ref<NSIndexPath>>& indexPaths, UITableViewRowAnimation animation)
{
    assertIsMainThread();
    queueRowUpdate(
        UITableViewRecordedUpdate::Kind::DeleteRows, indexPaths, animation, &UIBatchUpdates::Changes::deleteRows);
}

void UITableView::reloadRowsAtIndexPathsWithRowAnimation(
    const std::vector<Ref<NSIndexPath>>& indexPaths, UITableViewRowAnimation animation)
{
    assertIsMainThread();
    queueRowUpdate(
        UITableViewRecordedUpdate::Kind::ReloadRows, indexPaths, animation, &UIBatchUpdates::Changes::reloadRows);
}

void UITableView::moveRowAtIndexPathToIndexPath(const Ref<NSIndexPath>& from, const Ref<NSIndexPath>& to)
{
    assertIsMainThread();
    if (!from || !to)
        return;
    Path a { from->section(), from->row() };
    Path b { to->section(), to->row() };
    recordUpdate({ UITableViewRecordedUpdate::Kind::MoveRow, { a, b }, {}, UITableViewRowAnimationNone });
    m_updates.pending().moveRows.push_back({ a, b });
    applyUpdatesUnlessBatched();
}

void UITableView::queueRowUpdate(UITableViewRecordedUpdate::Kind kind, const std::vector<Ref<NSIndexPath>>& indexPaths,
    UITableViewRowAnimation animation, std::vector<Path> UIBatchUpdates::Changes::*list)
{
    UITableViewRecordedUpdate record { kind, {}, {}, animation };
    for (const auto& p : indexPaths) {
        if (p)
            record.indexPaths.push_back({ p->section(), p->row() });
    }
    auto& pending = m_updates.pending().*list;
    pending.insert(pending.end(), record.indexPaths.begin(), record.indexPaths.end());
    recordUpdate(std::move(record));
    applyUpdatesUnlessBatched();
}

void UITableView::queueSectionUpdate(UITableViewRecordedUpdate::Kind kind, const std::vector<int32_t>& sections,
    UITableViewRowAnimation animation, std::vector<int32_t> UIBatchUpdates::Changes::*list)
{
    recordUpdate({ kind, {}, sections, animation });
    auto& pending = m_updates.pending().*list;
    pending.insert(pending.end(), sections.begin(), sections.end());
    applyUpdatesUnlessBatched();
}

void UITableView::applyUpdatesUnlessBatched()
{
    if (!m_updates.isBatching())
        applyUpdates(m_updates.takePending());
}

void UITableView::insertSectionsWithRowAnimation(
    const std::vector<int32_t>& sections, UITableViewRowAnimation animation)
{
    assertIsMainThread();
    queueSectionUpdate(
        UITableViewRecordedUpdate::Kind::InsertSections, sections, animation, &UIBatchUpdates::Changes::insertSections);
}

void UITableView::deleteSectionsWithRowAnimation(
    const std::vector<int32_t>& sections, UITableViewRowAnimation animation)
{
    assertIsMainThread();
    queueSectionUpdate(
        UITableViewRecordedUpdate::Kind::DeleteSections, sections, animation, &UIBatchUpdates::Changes::deleteSections);
}

void UITableView::reloadSectionsWithRowAnimation(
    const std::vector<int32_t>& sections, UITableViewRowAnimation animation)
{
    assertIsMainThread();
    queueSectionUpdate(
        UITableViewRecordedUpdate::Kind::ReloadSections, sections, animation, &UIBatchUpdates::Changes::reloadSections);
}

namespace {
std::string refusedInsert(UISectionedRows::Path path, int32_t rowsAfter)
{
    return "attempt to insert row " + std::to_string(path.second) + " into section " + std::to_string(path.first)
        + ", but there are only " + std::to_string(rowsAfter) + " rows in section after the update";
}

std::string refusedMove(UISectionedRows::Path, UISectionedRows::Path)
{
    return "attempt to move a row that does not exist or to a place that does not exist after the update";
}

// How a table words its refusals. It lets through a reload of a section that is not there, and
// moves onto places already taken.
const UIBatchUpdates::Rules kTableRules { .viewName = "table view",
    .rowName = "row",
    .checksReloadedSections = false,
    .checksMoveClashes = false,
    .insertFailure = refusedInsert,
    .moveFailure = refusedMove };
} // namespace

void UITableView::applyUpdates(UIBatchUpdates::Changes changes)
{
    auto self = protectedTable();
    // A table that has not loaded yet simply loads the new data.
    if (m_needsReload) {
        setNeedsGeometry();
        return;
    }
    auto* ds = dataSource();
    UISectionedRows::Counts oldCounts = m_rowCounts;
    UISectionedRows::Counts newCounts = rowCountsFromDataSource(ds);
    auto plan = UIBatchUpdates::plan(oldCounts, newCounts, changes, kTableRules);
    if (!plan.failure.empty()) {
        // The table stays usable: it forgets its rows and loads them again.
        m_needsReload = true;
        setNeedsGeometry();
        NSException::raise(NSInternalInconsistencyException, plan.failure);
    }

    UIBatchUpdates::moveVisibleCells(
        m_visibleCells, plan, [&](Path path, const Ref<UITableViewCell>& cell) { endDisplaying(path, cell); });
    UIBatchUpdates::moveSelection(m_selection.paths(), plan);
    removeSectionViews();

    m_rowCounts = std::move(newCounts);
    computeGeometry();
    setNeedsLayout();
    layoutCells();
}

// Editing

void UITableView::setEditingAnimated(bool editing, bool animated)
{
    assertIsMainThread();
    if (m_editing == editing)
        return;
    m_editing = editing;
    for (auto& [path, cell] : m_visibleCells)
        cell->setEditingAnimated(editing, animated);
}

bool UITableView::userCommitDeleteOfRowAtIndexPath(const Ref<NSIndexPath>& indexPath)
{
    assertIsMainThread();
    auto self = protectedTable();
    auto path = validPath(indexPath);
    auto* ds = dataSource();
    if (!path || !ds || !ds->tableViewCanEditRowAtIndexPath(self, indexPath))
        return false;
    auto* d = tableDelegate();
    auto style = d ? d->tableViewEditingStyleForRowAtIndexPath(self, indexPath) : std::nullopt;
    if (style.value_or(UITableViewCellEditingStyleDelete) != UITableViewCellEditingStyleDelete)
        return false;
    ds->tableViewCommitEditingStyleForRowAtIndexPath(self, UITableViewCellEditingStyleDelete, toIndexPath(*path));
    return true;
}

Ref<NSIndexPath> UITableView::userMoveRowAtIndexPathToProposedIndexPath(
    const Ref<NSIndexPath>& from, const Ref<NSIndexPath>& proposed)
{
    assertIsMainThread();
    auto self = protectedTable();
    auto source = validPath(from);
    auto* ds = dataSource();
    if (!source || !proposed || !ds || !ds->respondsToMoveRow() || !ds->tableViewCanMoveRowAtIndexPath(self, from))
        return nullptr;
    // A place the row can take once it has left its own: a section's rows, or one past the end
    // of another section.
    auto clampTarget = [&](int32_t section, int32_t row) -> Path {
        section = std::clamp(section, 0, int32_t(m_rowCounts.size()) - 1);
        int32_t limit = m_rowCounts[section] - (section == source->first ? 1 : 0);
        return { section, std::clamp(row, 0, limit) };
    };
    Path target = clampTarget(proposed->section(), proposed->row());
    if (auto* d = tableDelegate()) {
        auto redirected = d->tableViewTargetIndexPathForMoveFromRowAtIndexPathToProposedIndexPath(
            self, toIndexPath(*source), toIndexPath(target));
        if (redirected)
            target = clampTarget(redirected->section(), redirected->row());
    }
    if (target == *source)
        return toIndexPath(target);
    ds->tableViewMoveRowAtIndexPathToIndexPath(self, toIndexPath(*source), toIndexPath(target));
    UIBatchUpdates::Changes move;
    move.moveRows.push_back({ *source, target });
    applyUpdates(std::move(move));
    return toIndexPath(target);
}
