#pragma once

#include "foundation/NSObject.h"
#include "foundation/Value.h"
#include "grid/datagrid/LDataGridDataSource.h"
#include "grid/datagrid/LDataGridDelegate.h"

#include <optional>
#include <string>
#include <vector>

class LDataGridColumn;
class LDataGridDataSourceHelperDelegate;
class LDataGridRow;

// Fills a data grid from an array of model objects: each column's propertyKey names the value
// it shows (read by key-value coding), header taps sort the rows by that value, an optional
// group property splits them into sections, and the selection is kept as a list of items that
// survives re-sorting and regrouping. The helper makes itself the grid's data source and
// delegate (the grid holds it weakly, so its owner keeps it alive) and passes every grid
// callback it does not handle itself to its own delegate.
//
// The helper holds its delegate strongly, as its callers expect; a delegate that also owns the
// helper makes a cycle that it must break (for example by clearing the helper's delegate).
// Main thread only.
class LDataGridDataSourceHelper : public NSObject, public LDataGridDataSource, public LDataGridDelegate {
    VX_OBJECT(LDataGridDataSourceHelper, NSObject)
public:
    explicit LDataGridDataSourceHelper(Passkey key)
        : NSObject(key)
    {
    }
    // A null grid is the fatal grid error "LGridDataSourceHelper cannot be initialized with a
    // nil dataGrid".
    static Ref<LDataGridDataSourceHelper> initWithDataGrid(const Ref<LatticeDataGrid>& grid);

    // Every setter refreshes the grid.
    const std::vector<Ref<NSObject>>& data() const { return m_data; }
    void setData(std::vector<Ref<NSObject>> data);
    const std::vector<Ref<NSObject>>& selectedItems() const { return m_selectedItems; }
    void setSelectedItems(std::vector<Ref<NSObject>> items);
    Ref<LatticeDataGrid> dataGrid() const { return m_dataGrid.lock(); }
    const std::optional<std::string>& groupedPropertyKey() const { return m_groupedByProperty; }
    void setGroupedPropertyKey(std::optional<std::string> key);
    int32_t groupedPropertySortOrder() const { return m_groupedByPropertySortOrder; }
    void setGroupedPropertySortOrder(int32_t order);
    // Items without grouping, LDataGridDataGroup objects with it.
    const std::vector<Ref<NSObject>>& sortedData() const { return m_sortedData; }
    const Ref<LDataGridDataSourceHelperDelegate>& delegate() const { return m_delegate; }
    void setDelegate(const Ref<LDataGridDataSourceHelperDelegate>& delegate);
    void reloadData() { refreshGrid(); }

    // The row that shows the item (compared with isEqual), or nullptr.
    Ref<LDataGridRow> dataGridRowForDataItem(const Ref<NSObject>& item) const;
    // The positions of the grid's columns that are sorted.
    std::vector<int32_t> sortedColumns() const;
    // The items by the column's sort values, ascending or else descending; equal values keep
    // their order. Values of different kinds and missing values compare without failing:
    // missing first, then numbers, dates, texts, and anything else by its description.
    std::vector<Ref<NSObject>> sortArrayByColumn(
        const std::vector<Ref<NSObject>>& items, const Ref<LDataGridColumn>& column);
    Value groupPropertyValueWithSourceObject(const std::string& key, const Ref<NSObject>& item);
    Value sortPropertyValueWithSourceObject(const std::string& key, const Ref<NSObject>& item);
    Value displayPropertyValueWithSourceObject(const std::string& key, const Ref<NSObject>& item);
    // The display value as text; "n/a" (and a log line) when the item has no such property.
    std::string getValueForPropertyModelObject(const std::string& key, const Ref<NSObject>& item);
    void updateSelection();
    void refreshGrid();
    void suppressRowReOrderingWhenSorted();

    // A total order on values: -1, 0 or 1.
    static int32_t compareValues(const Value& a, const Value& b);

    // The data source.
    bool respondsToSelector(std::string_view selector) const override;
    int32_t numberOfSectionsInLatticeDataGrid(const Ref<LatticeDataGrid>& grid) override;
    uint32_t latticeDataGridNumberOfRowsInSection(const Ref<LatticeDataGrid>& grid, int32_t section) override;
    std::optional<std::string> latticeDataGridTitleForHeaderInSection(
        const Ref<LatticeDataGrid>& grid, int32_t section) override;
    void latticeDataGridPrepareCellForDisplay(
        const Ref<LatticeDataGrid>& grid, const Ref<LDataGridCell>& cell) override;

    // The delegate operations the helper handles itself.
    void latticeDataGridDidChangeSortOrderForColumnFrom(
        const Ref<LatticeDataGrid>& grid, const Ref<LDataGridColumn>& column, int32_t previous) override;
    void latticeDataGridDidSelectRow(const Ref<LatticeDataGrid>& grid, const Ref<LDataGridRow>& row) override;
    void latticeDataGridDidReorderRowWithRow(
        const Ref<LatticeDataGrid>& grid, const Ref<LDataGridRow>& a, const Ref<LDataGridRow>& b) override;

    // The rest, passed to the delegate.
    std::optional<float> latticeDataGridHeightForRowAtIndexInSection(
        const Ref<LatticeDataGrid>& grid, int32_t index, int32_t section) override;
    void latticeDataGridAlterStyleBeforeApplyingToCellAtCoordinate(const Ref<LatticeDataGrid>& grid,
        const Ref<LDataGridCellStyle>& style, const Ref<LDataGridCoord>& coord) override;
    Ref<LDataGridLineStyle> latticeDataGridStyleForHorizontalGridLineAtIndexInSection(
        const Ref<LatticeDataGrid>& grid, int32_t index, int32_t section) override;
    Ref<LDataGridLineStyle> latticeDataGridStyleForVerticalGridLineAtIndex(
        const Ref<LatticeDataGrid>& grid, int32_t index) override;
    Ref<LDataGridSectionHeaderStyle> latticeDataGridStyleForSectionHeaderAtIndex(
        const Ref<LatticeDataGrid>& grid, int32_t section) override;
    void didFinishLayingOutLatticeDataGrid(const Ref<LatticeDataGrid>& grid) override;
    bool latticeDataGridShouldExpandSectionAtIndex(const Ref<LatticeDataGrid>& grid, uint32_t section) override;
    void latticeDataGridWillExpandSectionAtIndex(const Ref<LatticeDataGrid>& grid, uint32_t section) override;
    void latticeDataGridDidExpandSectionAtIndex(const Ref<LatticeDataGrid>& grid, uint32_t section) override;
    bool latticeDataGridShouldCollapseSectionAtIndex(const Ref<LatticeDataGrid>& grid, uint32_t section) override;
    void latticeDataGridWillCollapseSectionAtIndex(const Ref<LatticeDataGrid>& grid, uint32_t section) override;
    void latticeDataGridDidCollapseSectionAtIndex(const Ref<LatticeDataGrid>& grid, uint32_t section) override;
    bool latticeDataGridShouldSelectCellAtCoordinate(
        const Ref<LatticeDataGrid>& grid, const Ref<LDataGridCoord>& coord) override;
    void latticeDataGridWillSelectCellAtCoordinate(
        const Ref<LatticeDataGrid>& grid, const Ref<LDataGridCoord>& coord) override;
    void latticeDataGridDidSelectCellAtCoordinate(
        const Ref<LatticeDataGrid>& grid, const Ref<LDataGridCoord>& coord) override;
    bool latticeDataGridShouldDeselectCellAtCoordinate(
        const Ref<LatticeDataGrid>& grid, const Ref<LDataGridCoord>& coord) override;
    void latticeDataGridWillDeselectCellAtCoordinate(
        const Ref<LatticeDataGrid>& grid, const Ref<LDataGridCoord>& coord) override;
    void latticeDataGridDidDeselectCellAtCoordinate(
        const Ref<LatticeDataGrid>& grid, const Ref<LDataGridCoord>& coord) override;
    bool latticeDataGridShouldBeginEditingCellAtCoordinate(
        const Ref<LatticeDataGrid>& grid, const Ref<LDataGridCoord>& coord) override;
    void latticeDataGridWillBeginEditingCellAtCoordinate(
        const Ref<LatticeDataGrid>& grid, const Ref<LDataGridCoord>& coord) override;
    void latticeDataGridDidFinishEditingCellAtCoordinate(
        const Ref<LatticeDataGrid>& grid, const Ref<LDataGridCoord>& coord) override;
    void latticeDataGridDidTapCellAtCoordinateIsDoubleTap(
        const Ref<LatticeDataGrid>& grid, const Ref<LDataGridCoord>& coord, bool doubleTap) override;
    bool latticeDataGridCellCanRespondToDoubleTap(
        const Ref<LatticeDataGrid>& grid, const Ref<LDataGridCell>& cell) override;
    bool latticeDataGridShouldSelectRow(const Ref<LatticeDataGrid>& grid, const Ref<LDataGridRow>& row) override;
    void latticeDataGridWillSelectRow(const Ref<LatticeDataGrid>& grid, const Ref<LDataGridRow>& row) override;
    bool latticeDataGridShouldDeselectRow(const Ref<LatticeDataGrid>& grid, const Ref<LDataGridRow>& row) override;
    void latticeDataGridWillDeselectRow(const Ref<LatticeDataGrid>& grid, const Ref<LDataGridRow>& row) override;
    void latticeDataGridDidDeselectRow(const Ref<LatticeDataGrid>& grid, const Ref<LDataGridRow>& row) override;
    void latticeDataGridDidResizeColumnFromWidthToWidth(
        const Ref<LatticeDataGrid>& grid, const Ref<LDataGridColumn>& column, float from, float to) override;
    std::optional<float> latticeDataGridWidthForResizingColumnWithCurrentWidthTargetWidth(
        const Ref<LatticeDataGrid>& grid, const Ref<LDataGridColumn>& column, float from, float to) override;
    void latticeDataGridWillEndResizingColumnFromWidthToWidth(
        const Ref<LatticeDataGrid>& grid, const Ref<LDataGridColumn>& column, float from, float to) override;
    void latticeDataGridDidEndResizingColumnFromWidthToWidth(
        const Ref<LatticeDataGrid>& grid, const Ref<LDataGridColumn>& column, float from, float to) override;
    int32_t latticeDataGridPermittedDragDirectionForCellAtCoordinate(
        const Ref<LatticeDataGrid>& grid, const Ref<LDataGridCoord>& coord) override;
    void latticeDataGridDidReorderColumnWithColumn(
        const Ref<LatticeDataGrid>& grid, const Ref<LDataGridColumn>& a, const Ref<LDataGridColumn>& b) override;
    void latticeDataGridWillEndReorderingColumn(
        const Ref<LatticeDataGrid>& grid, const Ref<LDataGridColumn>& column) override;
    void latticeDataGridDidEndReorderingColumn(
        const Ref<LatticeDataGrid>& grid, const Ref<LDataGridColumn>& column) override;
    void latticeDataGridWillEndReorderingRow(const Ref<LatticeDataGrid>& grid, const Ref<LDataGridRow>& row) override;
    void latticeDataGridDidEndReorderingRow(const Ref<LatticeDataGrid>& grid, const Ref<LDataGridRow>& row) override;
    void latticeDataGridWillChangeSortOrderForColumnTo(
        const Ref<LatticeDataGrid>& grid, const Ref<LDataGridColumn>& column, int32_t order) override;
    std::optional<std::string> latticeDataGridTitleForFrozenHeaderInSection(
        const Ref<LatticeDataGrid>& grid, int32_t section) override;
    Ref<UIView> latticeDataGridViewForHeaderInSectionInFrame(
        const Ref<LatticeDataGrid>& grid, int32_t section, CGRect frame) override;
    Ref<UIView> latticeDataGridViewForFrozenHeaderInSectionInFrame(
        const Ref<LatticeDataGrid>& grid, int32_t section, CGRect frame) override;
    void scrollViewDidScroll(const Ref<UIScrollView>& scrollView) override;
    void scrollViewDidEndScrollingAnimation(const Ref<UIScrollView>& scrollView) override;
    void scrollViewDidEndDecelerating(const Ref<UIScrollView>& scrollView) override;
    void scrollViewWillBeginDragging(const Ref<UIScrollView>& scrollView) override;
    void scrollViewWillEndDraggingWithVelocityTargetContentOffset(
        const Ref<UIScrollView>& scrollView, CGPoint velocity, CGPoint* target) override;
    void scrollViewDidEndDraggingWillDecelerate(const Ref<UIScrollView>& scrollView, bool decelerate) override;
    void scrollViewDidScrollToTop(const Ref<UIScrollView>& scrollView) override;
    void scrollViewWillBeginDecelerating(const Ref<UIScrollView>& scrollView) override;
    bool scrollViewShouldScrollToTop(const Ref<UIScrollView>& scrollView) override;

private:
    bool isGrouped() const { return m_groupedByProperty.has_value(); }
    Ref<NSObject> itemAtRow(int32_t rowIndex, int32_t sectionIndex) const;

    std::vector<Ref<NSObject>> m_data;
    std::vector<Ref<NSObject>> m_selectedItems;
    Weak<LatticeDataGrid> m_dataGrid;
    std::optional<std::string> m_groupedByProperty;
    int32_t m_groupedByPropertySortOrder { 0 };
    std::vector<Ref<NSObject>> m_sortedData;
    bool m_isUpdatingSelectionState { false };
    bool m_originalCanDragRows { false };
    // True while sorting has switched row reordering off, so the grid's own setting is recorded
    // once, when sorting starts, and not overwritten by later sorts.
    bool m_suppressingRowReordering { false };
    Ref<LDataGridDataSourceHelperDelegate> m_delegate;
};
