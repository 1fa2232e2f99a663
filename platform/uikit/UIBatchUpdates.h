#pragma once

#include "uikit/UISectionedRows.h"

#include <cstdint>
#include <map>
#include <set>
#include <string>
#include <utility>
#include <vector>

// The row and section changes of a table view or a collection view (a collection view's items
// are its rows here): insert, delete, reload and move, gathered at once or over nested batches,
// then checked against the counts the data source gives afterwards and turned into a plan of
// where each surviving row goes. What differs between the views, their wording and how strictly
// they check, comes in a Rules value; their geometry, cells and delegates stay with them.
// Internal to platform/uikit. Main thread only.
class UIBatchUpdates {
public:
    using Path = UISectionedRows::Path;
    using Counts = UISectionedRows::Counts;

    // Deletes, reloads and move sources name rows and sections as they were; inserts and move
    // targets as they are after.
    struct Changes {
        std::vector<Path> insertRows, deleteRows, reloadRows;
        std::vector<std::pair<Path, Path>> moveRows;
        std::vector<int32_t> insertSections, deleteSections, reloadSections;
        std::vector<std::pair<int32_t, int32_t>> moveSections;
    };

    // How a view words its refusals and what it checks beyond the counts.
    struct Rules {
        const char* viewName; // "table view"
        const char* rowName; // "row"
        bool checksReloadedSections; // a reload of a section that was not there is refused
        // Two moves from one place, or onto an inserted row's or another move's place, are refused.
        bool checksMoveClashes;
        std::string (*insertFailure)(Path path, int32_t rowsInSectionAfter);
        std::string (*moveFailure)(Path from, Path to);
    };

    // Where the rows that were there go, or why the changes do not add up.
    struct Plan {
        std::string failure; // the whole reason ("Invalid update: ..."); empty when they add up
        std::map<Path, Path> destinations; // each surviving row's new place
        std::set<Path> refreshed; // survivors whose cells must be asked for again
    };

    // Batches nest; changes queued inside one apply when the outermost ends.
    void begin() { ++m_depth; }
    // True when this closed the outermost batch; false inside another, or with none open.
    bool end();
    // Closes a batch left by an exception: the outermost drops what was queued.
    void abandon();
    bool isBatching() const { return m_depth > 0; }
    Changes& pending() { return m_pending; }
    Changes takePending() { return std::exchange(m_pending, {}); }

    // Checks `changes` against the counts before and after, and places the surviving rows:
    // moved rows where they were sent, the others of a surviving section into its free places
    // in order. Sections map likewise.
    [[nodiscard]] static Plan plan(
        const Counts& before, const Counts& after, const Changes& changes, const Rules& rules);

    // The visible cells moved to their rows' new places; `endDisplaying(path, cell)` gets, in
    // path order, those whose rows went or were refreshed.
    template <typename Cell, typename EndDisplaying>
    static void moveVisibleCells(
        UISectionedRows::VisibleCells<Cell>& visible, const Plan& plan, EndDisplaying&& endDisplaying)
    {
        auto cells = std::move(visible);
        visible.clear();
        for (auto& [path, cell] : cells) {
            auto it = plan.destinations.find(path);
            if (it != plan.destinations.end() && !plan.refreshed.count(path))
                visible[it->second] = cell;
            else
                endDisplaying(path, cell);
        }
    }
    // The selected rows that survive, at their new places.
    static void moveSelection(std::vector<Path>& selected, const Plan& plan);

private:
    Changes m_pending;
    int32_t m_depth { 0 };
};
