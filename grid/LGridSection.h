#pragma once

#include "foundation/NSObject.h"
#include "grid/GridForward.h"
#include "grid/LGridRow.h"
#include "grid/LGridRowHeights.h"

#include <array>
#include <functional>
#include <vector>

// One section of a grid: the cells of the section that are loaded, grouped by row (the row
// store), whether the section is collapsed, and its heights. Made by the data-source manager on
// first request and kept across reloads. Main thread only; the grid is a weak link.
class UIView;

class LGridSection : public NSObject {
    VX_OBJECT(LGridSection, NSObject)
public:
    using RowArray = std::vector<Ref<LGridCell>>;

    explicit LGridSection(Passkey key)
        : NSObject(key)
    {
    }
    ~LGridSection() override;
    static Ref<LGridSection> initWithGridWithIndex(const Ref<LatticeGrid>& grid, int32_t index);

    int32_t index() const { return m_index; }
    bool isCollapsed() const { return m_collapsed; }
    Ref<LatticeGrid> owningGrid() const { return m_owningGrid.lock(); }
    void setOwningGrid(const Ref<LatticeGrid>& grid) { m_owningGrid = grid; }
    int32_t numberOfCols() const;
    int32_t numberOfRows() const;
    LGridRow lastPossibleRowInSection() const;
    std::string description() const override;

    // Row store.
    int32_t visibleRowIndexFromRow(LGridRow row) const;
    static int32_t visibleColIndexFromColIndexForRow(int32_t column, const RowArray& row);
    RowArray& getVisibleRowArrayAtRow(LGridRow row);
    RowArray* getRow(LGridRow row);
    void replaceRowWithRow(const RowArray& oldRow, const RowArray& newRow);
    void addCell(const Ref<LGridCell>& cell);
    Ref<LGridCell> visibleCellAtColAtRowIndex(int32_t column, int32_t rowIndex);
    std::vector<Ref<LGridCell>> visibleCells() const;
    void sortVisibleRows();
    int32_t indexFromColAndRow(int32_t column, int32_t rowIndex) const;
    int32_t indexOfCellForThisSection(const Ref<LGridCell>& cell) const;
    void removeRowRemoveFromView(LGridRow row, bool removeFromView);
    void removeColAtIndexRemoveFromView(int32_t column, bool removeFromView);
    void discardAllRowsExcept(const std::vector<LGridRow>& keep);
    void discardAllColumnsExcept(const std::vector<int32_t>& keep);
    void prepareForReload();
    bool containsFrozenRows() const;
    void returnCellToPool(const Ref<LGridCell>& cell);
    const std::vector<RowArray>& rowStore() const { return m_visibleRows; }
    bool visibleRowsNeedSorted() const { return m_visibleRowsNeedSorted; }

    // Exchanges the dragged column's cells with column `target`'s in every loaded row, moving
    // the target's cells to `originX` (frozen columns stay).
    void switchDragginColWithColAtIndexWithNewOriginOfColToSwitchWithFromCurrentState(
        int32_t target, float originX, bool fromCurrentState);

    // Heights.
    float headerHeight() const;
    float currentContentHeight() const;
    float expandedContentHeight() const;
    float loadRowStylesAndReturnSectionHeight() const;
    float sumOfRowHeights();
    // The height of one row (with its half grid lines) and the sum of the heights of the rows
    // before a row, from the section's kept row heights: measured for every row when first
    // needed after the grid's row geometry changed, then answered without asking again.
    float rowHeightAtIndex(int32_t index);
    double heightOfRowsBefore(int32_t index);
    double heightOfAllRows();
    // The row whose span holds `offset`, measured from the top of the section's first row.
    int32_t rowIndexAtOffset(double offset);
    // Measures one row again (its style was asked again or exchanged).
    void remeasureRowAtIndex(int32_t index);
    void collectNumberOfUnspecifiedHeightsAndSpecifiedHeightsAndNumberOfSpecifiedHeights(
        int32_t& unspecified, float& specifiedHeight, int32_t& specified) const;

    // The section's header band (two parts, one per pane that shows headers).
    const Ref<LGridCompositeSectionHeader>& header() const { return m_header; }
    void setHeader(const Ref<LGridCompositeSectionHeader>& header) { m_header = header; }
    void removeSubHeaders();
    void bringElementToFront(const Ref<LGridCell>& cell);

    // Collapsing. A collapse fades the cells out (0.3 s), parks them and hands them back to the
    // pool, and after 0.2 s slides the sections below up (0.3 s); an expand slides them down
    // (0.3 s). Then the grid relays itself out, `completion` runs and the delegate is told. The
    // delegate is asked first unless the toggle is programmatic.
    void collapseOrExpandProgrammaticWithCompletion(bool programmatic, std::function<void()> completion);
    void collapseWithCompletion(const std::function<void()>& completion);
    void expandWithCompletion(const std::function<void()>& completion);
    void hideMovables();
    void shiftSectionsBelowBy(float delta);
    void expandElements();
    void tidyAfterCollapseOrExpand();

private:
    Weak<LatticeGrid> m_owningGrid;
    int32_t m_index { 0 };
    std::vector<RowArray> m_visibleRows;
    bool m_visibleRowsNeedSorted { false };
    bool m_collapsed { false };
    Ref<LGridCompositeSectionHeader> m_header;
    LGridRowHeights& rowHeights();
    LGridRowHeights m_rowHeights;
    // The grid's row-geometry generation the heights were measured for; 0 = never.
    uint64_t m_rowHeightsGeneration { 0 };
};
