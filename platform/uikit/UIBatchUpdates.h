#pragma once

#include "NSIndexPath.h"

#include <algorithm>
#include <cstdint>
#include <functional>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <utility>
#include <vector>

// The section and row bookkeeping a table view and a collection view share (a collection view's
// items are its rows here): the row counts of each section as the data source gives them, paths
// checked against those counts, and the changes (insert, delete, reload and move of sections and
// rows) gathered at once or over nested batches, then checked against the counts the data source
// gives afterwards. What differs between the views, their wording and how strictly they check,
// comes in a Rules value; their geometry, cells and delegates stay with them. Internal to
// platform/uikit. Main thread only.
class UIBatchUpdates {
public:
    using Path = std::pair<int32_t, int32_t>; // (section, row)
    using Counts = std::vector<int32_t>; // the rows of each section

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
    static void moveVisibleCells(std::map<Path, Ref<Cell>>& visible, const Plan& plan, EndDisplaying&& endDisplaying)
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

    // The counts of `sections` sections (negative counts read as none).
    static Counts countRows(int32_t sections, const std::function<int32_t(int32_t section)>& rowsInSection);
    // Drops the paths past the end of their section or of the sections.
    static void dropPathsBeyond(std::vector<Path>& paths, const Counts& counts);
    // The path of an existing row; nullopt for nil, a path too short, or a row not there.
    static std::optional<Path> existingPath(const Ref<NSIndexPath>& indexPath, const Counts& counts);
    // Raises NSRangeException for a section that is not there.
    static int32_t rowsInSection(const Counts& counts, int32_t section);

    // Selection: the selected rows in order, and marking one selected or not, with its cell if shown.
    static std::vector<Ref<NSIndexPath>> sortedIndexPaths(std::vector<Path> paths);
    template <typename Cell>
    static void setSelected(std::vector<Path>& selected, const std::map<Path, Ref<Cell>>& visible, Path path, bool on)
    {
        auto it = std::find(selected.begin(), selected.end(), path);
        if (on && it == selected.end())
            selected.push_back(path);
        else if (!on && it != selected.end())
            selected.erase(it);
        auto cell = visible.find(path);
        if (cell != visible.end())
            cell->second->setSelected(on);
    }

private:
    Changes m_pending;
    int32_t m_depth { 0 };
};
