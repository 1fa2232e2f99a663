#pragma once

#include "graphics/CGGeometry.h"
#include "uikit/UIKitForward.h"
#include "uikit/UISectionedRows.h"

#include <functional>
#include <optional>
#include <vector>

// The selection of a table view's rows or a collection view's items (items are rows here), and
// the rules the two share: whether selection is allowed, single or multiple selection, selecting
// in code (no delegate is told) and selecting by a tap (the delegate is asked and told), with the
// cell of each path marked as it changes. What differs stays with each view: which paths exist,
// when a tap or a selection in code is ignored, and how its delegate answers (a table's may name
// another row, a collection view's may only refuse). Internal to platform/uikit. Main thread only.
class UIItemSelection {
public:
    using Path = UISectionedRows::Path; // (section, row)
    // Marks the cell showing `path` selected or not, when one is on screen.
    using MarkCell = std::function<void(Path path, bool selected)>;

    explicit UIItemSelection(MarkCell markCell);
    // Marks the cells of `visible`, a member of the view that owns this selection.
    template <typename Cell> static MarkCell markingCellsOf(const UISectionedRows::VisibleCells<Cell>& visible)
    {
        return [&visible](Path path, bool selected) {
            auto cell = visible.find(path);
            if (cell != visible.end())
                cell->second->setSelected(selected);
        };
    }

    bool allowsSelection() const { return m_allowsSelection; }
    void setAllowsSelection(bool allows) { m_allowsSelection = allows; }
    bool allowsMultipleSelection() const { return m_allowsMultipleSelection; }
    void setAllowsMultipleSelection(bool allows) { m_allowsMultipleSelection = allows; }

    // The selected paths, in the order they were selected. Reloads and updates drop and move them
    // in place; a cell made later is marked from isSelected.
    const std::vector<Path>& paths() const { return m_paths; }
    std::vector<Path>& paths() { return m_paths; }
    bool isSelected(Path path) const;
    // The first selected path in (section, row) order; nullopt when none is.
    std::optional<Path> first() const;
    // The selected paths in (section, row) order.
    std::vector<Ref<NSIndexPath>> sortedIndexPaths() const;

    // Marks the path selected or not, and its cell.
    void set(Path path, bool selected);
    // Deselects every path.
    void clear();
    // Selecting in code: in single selection the other paths are deselected first.
    void select(Path path);

    // What a tap asks and tells the view's delegate, in the view's own terms.
    struct Delegate {
        // The path to select when `path` is tapped; nullopt selects nothing.
        std::function<std::optional<Path>(Path path)> willSelect;
        std::function<void(Path path)> didSelect;
        // The path to deselect when `path` is to be deselected; nullopt keeps it selected.
        std::function<std::optional<Path>(Path path)> willDeselect;
        std::function<void(Path path)> didDeselect;
    };
    // A tap on `tapped`, an existing path the view accepts taps on. In multiple selection a tap
    // on a selected path deselects it. Otherwise the path the delegate answers is selected; in
    // single selection the others are deselected first, each as the delegate allows.
    void tap(Path tapped, const Delegate& delegate);

    // Where a touch that just ended tapped in `view`: `wasTap` says the scroll view took it for a
    // tap (it did not drag); nullopt when it did not, or when no touch ended.
    static std::optional<CGPoint> tapLocation(bool wasTap, const UITouchSet& touches, const Ref<UIView>& view);

private:
    void deselectAsked(Path path, const Delegate& delegate);

    MarkCell m_markCell;
    std::vector<Path> m_paths;
    bool m_allowsSelection { true };
    bool m_allowsMultipleSelection { false };
};
