#pragma once

#include "uikit/NSIndexPath.h"

#include <algorithm>
#include <cstdint>
#include <functional>
#include <map>
#include <optional>
#include <utility>
#include <vector>

// Rows kept by (section, row) path, the way a table view and a collection view keep them (a
// collection view's items are its rows here): the row count of each section as the data source
// gives it, paths checked against those counts, and the cells shown, by path. Helpers over the
// views' own members; the views keep their geometry and delegates (and UIItemSelection their
// selection).
// Internal to platform/uikit. Main thread only.
class UISectionedRows {
public:
    using Path = std::pair<int32_t, int32_t>; // (section, row)
    using Counts = std::vector<int32_t>; // the rows of each section
    template <typename Cell> using VisibleCells = std::map<Path, Ref<Cell>>;

    UISectionedRows() = delete;

    // Counts.
    // The counts of `sections` sections (negative counts read as none).
    static Counts countRows(int32_t sections, const std::function<int32_t(int32_t section)>& rowsInSection);
    // Raises NSRangeException for a section that is not there.
    static int32_t rowsInSection(const Counts& counts, int32_t section);
    // The path of an existing row; nullopt for nil, a path too short, or a row not there.
    static std::optional<Path> existingPath(const Ref<NSIndexPath>& indexPath, const Counts& counts);
    // Drops the paths past the end of their section or of the sections.
    static void dropPathsBeyond(std::vector<Path>& paths, const Counts& counts);

    // The paths as index paths, in (section, row) order.
    static std::vector<Ref<NSIndexPath>> sortedIndexPaths(std::vector<Path> paths);

    // Cells shown, in path order.
    template <typename Cell> static std::vector<Ref<Cell>> cells(const VisibleCells<Cell>& visible)
    {
        std::vector<Ref<Cell>> result;
        for (auto& [path, cell] : visible)
            result.push_back(cell);
        return result;
    }
    template <typename Cell> static std::vector<Ref<NSIndexPath>> indexPaths(const VisibleCells<Cell>& visible)
    {
        std::vector<Ref<NSIndexPath>> result;
        for (auto& [path, cell] : visible)
            result.push_back(indexPath(path));
        return result;
    }
    // The cell showing the row; nullptr for no row or a row off screen.
    template <typename Cell> static Ref<Cell> cellAt(const VisibleCells<Cell>& visible, std::optional<Path> path)
    {
        if (!path)
            return nullptr;
        auto it = visible.find(*path);
        return it == visible.end() ? nullptr : it->second;
    }
    // The row a cell shows; nullptr for a cell not shown.
    template <typename Cell>
    static Ref<NSIndexPath> indexPathOf(const VisibleCells<Cell>& visible, const Ref<Cell>& cell)
    {
        for (auto& [path, shown] : visible) {
            if (shown == cell)
                return indexPath(path);
        }
        return nullptr;
    }
    // Takes off the cells of rows not in `wanted` (anything with count(path)); each goes, in path
    // order, to `endDisplaying(path, cell)` once it is out of `visible`.
    template <typename Cell, typename Wanted, typename EndDisplaying>
    static void dropCellsNotIn(VisibleCells<Cell>& visible, const Wanted& wanted, EndDisplaying&& endDisplaying)
    {
        for (auto it = visible.begin(); it != visible.end();) {
            if (wanted.count(it->first)) {
                ++it;
                continue;
            }
            auto path = it->first;
            auto cell = it->second;
            it = visible.erase(it);
            endDisplaying(path, cell);
        }
    }

    static Ref<NSIndexPath> indexPath(Path path)
    {
        return NSIndexPath::indexPathForRowInSection(path.second, path.first);
    }
};
