#pragma once

#include "foundation/Value.h"
#include "grid/LGridDataSource.h"
#include "grid/LGridDelegate.h"
#include "uikit/UIScrollView.h"

#include <optional>
#include <string>
#include <vector>

class LDataGridCell;
class LDataGridCellStyle;
class LDataGridColumn;
class LDataGridCoord;
class LDataGridDataSource;
class LDataGridDelegate;
class LDataGridLineStyle;
class LDataGridRow;
class LDataGridSectionHeaderStyle;
class LGridSectionHeaderStyle;
class LGridTextInputCell;
class UIColor;
class UIImage;

// A column-based data grid over the grid engine. It owns one LatticeGrid filling its area (less
// its content insets), is that engine's only data source and delegate, and serves a data source
// and delegate of its own that speak of columns (LDataGridColumn), rows (LDataGridRow) and
// coordinates (LDataGridCoord). The engine's section 0 holds the header rows, whose cells show
// the column titles, stay frozen and cycle a column's sort order when tapped; the user's
// section s is the engine's section s + 1, and header rows reach the user with section -1.
// The data grid itself never scrolls: its scroll-view settings go to the engine.
//
// Programming errors raise "LatticeGridsException" through LatticeGridLog. Main thread only.
// The data source and the delegate are weak links; columns are owned through the column list.
class LatticeDataGrid : public UIScrollView, public LGridDataSource, public LGridDelegate {
    VX_OBJECT(LatticeDataGrid, UIScrollView)
public:
    explicit LatticeDataGrid(Passkey key)
        : UIScrollView(key)
    {
    }
    ~LatticeDataGrid() override;

    static Ref<LatticeDataGrid> initWithFrame(CGRect frame);
    static Ref<LatticeDataGrid> init() { return initWithFrame(CGRectZero); }
    static Ref<LatticeDataGrid> initWithColumns(const std::vector<Ref<LDataGridColumn>>& columns);
    static std::string getInfo();
    const Ref<LatticeGrid>& internalGrid() const { return m_internalGrid; }

    // Data source and delegate (weak). Setting the data source makes the data grid the engine's.
    Ref<LDataGridDataSource> dataSource() const { return m_externalDataSource.lock(); }
    void setDataSource(const Ref<LDataGridDataSource>& dataSource);
    Ref<LDataGridDelegate> delegate() const { return m_externalDelegate.lock(); }
    void setDelegate(const Ref<LDataGridDelegate>& delegate);

    // Columns, in display order once normalised (at reload and at layouts before the engine's
    // first load); between those moments the list keeps insertion order.
    void addColumn(const Ref<LDataGridColumn>& column);
    // A null list is fatal ("Cannot add nil in %s").
    void addColumnsFromArray(const std::optional<std::vector<Ref<LDataGridColumn>>>& columns);
    void setColumns(const std::optional<std::vector<Ref<LDataGridColumn>>>& columns);
    void removeColumnAtIndex(int32_t index);
    void removeColumn(const Ref<LDataGridColumn>& column);
    void removeAllColumns() { m_cols.clear(); }
    std::vector<Ref<LDataGridColumn>> columns() const { return m_cols; }
    // nullptr on an empty list; an index outside a non-empty list is fatal.
    Ref<LDataGridColumn> columnAtIndex(int32_t index) const;
    std::optional<std::string> titleForColAtIndex(int32_t index) const;
    void normaliseColumnDisplayIndices();

    // Loading and counts (user sections).
    void reload();
    // Entries that are not LDataGridRow (or LDataGridColumn) objects are logged and skipped.
    void reloadRows(const std::vector<Ref<NSObject>>& rows);
    void redrawRows(const std::vector<Ref<NSObject>>& rows);
    void reloadColumns(const std::vector<Ref<NSObject>>& columns);
    void redrawColumns(const std::vector<Ref<NSObject>>& columns);
    uint32_t numberOfSections();
    uint32_t numberOfRowsForSection(int32_t section);
    void layoutSubviews() override;
    void setNeedsDisplay();

    // Visible content.
    Ref<LDataGridCell> visibleCellAtCoordinate(const Ref<LDataGridCoord>& coordinate);
    // An index outside the column list raises "NSRangeException".
    Ref<LDataGridCell> visibleCellAtColAndRow(int32_t column, const Ref<LDataGridRow>& row);
    Ref<LGridCell> visibleHeaderCellAtColIndex(uint32_t column);
    std::vector<Ref<LDataGridColumn>> visibleColumns();
    std::vector<Ref<LDataGridRow>> visibleRows();

    // Selection.
    std::vector<Ref<LDataGridCoord>> selectedCellCoordinates();
    std::vector<Ref<LDataGridRow>> selectedRows();
    void setSelectedRowsAnimated(const std::vector<Ref<NSObject>>& rows, bool animated);
    void setSelectedRows(const std::vector<Ref<NSObject>>& rows) { setSelectedRowsAnimated(rows, false); }
    void setRowAsSelectedAnimated(const Ref<LDataGridRow>& row, bool selected, bool animated);
    bool isValidDataGridRow(const Ref<LDataGridRow>& row);
    void clearSelectionWithAnimation(bool animated);
    int32_t selectionMode() const;
    void setSelectionMode(int32_t mode);
    Ref<LDataGridCellStyle> defaultCellStyleForSelectedRows() const;
    void setDefaultCellStyleForSelectedRows(const Ref<LDataGridCellStyle>& style);

    // Sections and frozen panes (user sections).
    void setSectionAtIndexAsCollapsed(uint32_t section, bool collapsed);
    bool sectionAtIndexIsCollapsed(uint32_t section);
    int32_t numberOfHeaderRows() const { return m_numberOfHeaderRows; }
    void setNumberOfHeaderRows(int32_t rows);
    uint32_t numberOfFrozenColumns() const { return m_numberOfFrozenColumns; }
    void setNumberOfFrozenColumns(uint32_t columns);
    uint32_t numberOfFrozenRows() const { return m_numberOfFrozenRows; }
    void setNumberOfFrozenRows(uint32_t rows);

    // Styles and sizes.
    Ref<LDataGridCellStyle> defaultCellStyleForRows() const;
    void setDefaultCellStyleForRows(const Ref<LDataGridCellStyle>& style);
    const Ref<LDataGridCellStyle>& defaultCellStyleForAlternateRows() const
    {
        return m_defaultCellStyleForAlternateRows;
    }
    void setDefaultCellStyleForAlternateRows(const Ref<LDataGridCellStyle>& style)
    {
        m_defaultCellStyleForAlternateRows = style;
    }
    const Ref<LDataGridCellStyle>& defaultCellStyleForHeaderRow() const { return m_defaultHeaderCellStyle; }
    void setDefaultCellStyleForHeaderRow(const Ref<LDataGridCellStyle>& style) { m_defaultHeaderCellStyle = style; }
    std::optional<float> defaultHeaderRowHeight() const { return m_defaultHeaderRowHeight; }
    void setDefaultHeaderRowHeight(std::optional<float> height) { m_defaultHeaderRowHeight = height; }
    std::optional<float> defaultRowHeight() const;
    void setDefaultRowHeight(std::optional<float> height);
    std::optional<float> defaultColWidth() const;
    void setDefaultColWidth(std::optional<float> width);
    std::optional<float> minimumRowHeight() const;
    void setMinimumRowHeight(std::optional<float> height);
    std::optional<float> minimumColWidth() const;
    void setMinimumColWidth(std::optional<float> width);
    Ref<LDataGridLineStyle> defaultGridLineStyle() const;
    void setDefaultGridLineStyle(const Ref<LDataGridLineStyle>& style);
    // The data grid's own wrapper of the engine's default section header style, with its gradient.
    const Ref<LDataGridSectionHeaderStyle>& defaultSectionHeaderStyle() const { return m_defaultSectionHeaderStyle; }
    void setDefaultSectionHeaderStyle(const Ref<LDataGridSectionHeaderStyle>& style);
    bool rowStylesTakePriority() const;
    void setRowStylesTakePriority(bool v);
    bool enableBlending() const;
    void setEnableBlending(bool v);
    int32_t linesOnTop() const;
    void setLinesOnTop(int32_t v);
    Ref<UIColor> backgroundColor() const;
    void setBackgroundColor(const Ref<UIColor>& color) override;
    Ref<UIColor> tintColor() const;
    void setTintColor(const Ref<UIColor>& color);
    bool directionalLockAllowDiagonalPanning() const;
    void setDirectionalLockAllowDiagonalPanning(bool v);
    float widthOfVerticalGridLineAtIndex(uint32_t column);
    float widthOfLeftBorder() const;

    // Gestures.
    bool canResizeColumnsViaPinch() const;
    void setCanResizeColumnsViaPinch(bool v);
    int32_t singleTapEventMask() const;
    void setSingleTapEventMask(int32_t mask);
    int32_t doubleTapEventMask() const;
    void setDoubleTapEventMask(int32_t mask);
    bool canReorderRows() const { return m_canReorderRows; }
    void setCanReorderRows(bool v) { m_canReorderRows = v; }

    // Scroll-view settings: the engine is the one that scrolls.
    bool isScrollEnabled() const;
    void setScrollEnabled(bool v);
    void setMinimumZoomScale(float scale);
    void setMaximumZoomScale(float scale);
    CGPoint contentOffset() const;
    void setContentOffset(CGPoint offset) override;
    void setContentOffsetAnimated(CGPoint offset, bool animated);
    CGSize contentSize() const;
    void setContentSize(CGSize) { }
    UIEdgeInsets contentInset() const { return UIScrollView::contentInset(); }
    void setContentInset(UIEdgeInsets inset);
    void setDirectionalLockEnabled(bool v);
    void setBounces(bool v);
    void setAlwaysBounceHorizontal(bool v);
    void setAlwaysBounceVertical(bool v);
    void setDecelerationRate(float rate);
    void setAutoresizingMask(UIViewAutoresizing mask);
    void setFrame(CGRect frame) override;
    void setBounds(CGRect bounds) override;

    // The hidden section header style of the header section.
    static Ref<LGridSectionHeaderStyle> hiddenStyle();

    // Coordinates between the engine and the user.
    static LGridRow translateRowToExternal(LGridRow row, bool toExternal);
    bool isRowHeaderRow(LGridRow row) const;
    Ref<LDataGridCoord> dataCoordFromRowAndCol(LGridRow row, int32_t column) const;
    // Calls the block once with the user's coordinate, unless the engine coordinate is in a
    // header row.
    void performWithGridCoordToPassout(
        const std::function<void(const Ref<LDataGridCoord>&)>& block, const Ref<LGridCoord>& coord) const;

    // The engine's data-source operations.
    bool respondsToSelector(std::string_view selector) const override;
    int32_t numberOfColsForLatticeGrid(const Ref<LatticeGrid>& grid) override;
    Ref<LGridCell> latticeGridCellForGridCoord(const Ref<LatticeGrid>& grid, const Ref<LGridCoord>& coord) override;
    int32_t latticeGridNumberOfRowsInSection(const Ref<LatticeGrid>& grid, int32_t section) override;
    int32_t numberOfSectionsInLatticeGrid(const Ref<LatticeGrid>& grid) override;
    std::optional<std::string> latticeGridTitleForHeaderInSection(
        const Ref<LatticeGrid>& grid, int32_t section) override;
    std::optional<std::string> latticeGridTitleForFrozenHeaderInSection(
        const Ref<LatticeGrid>& grid, int32_t section) override;
    Ref<UIView> latticeGridViewForHeaderInSectionInFrame(
        const Ref<LatticeGrid>& grid, int32_t section, CGRect frame) override;
    Ref<UIView> latticeGridViewForFrozenHeaderInSectionInFrame(
        const Ref<LatticeGrid>& grid, int32_t section, CGRect frame) override;
    Ref<UIView> sectionHeaderViewAtIndexAsFrozenInFrame(int32_t section, bool frozen, CGRect frame);

    // The engine's delegate operations.
    Ref<LGridColRowStyle> latticeGridStyleForRowAtIndexInSection(
        const Ref<LatticeGrid>& grid, int32_t index, int32_t section) override;
    Ref<LGridColRowStyle> latticeGridStyleForColAtIndex(const Ref<LatticeGrid>& grid, int32_t column) override;
    void latticeGridAlterStyleBeforeApplyingToCellAtCoord(
        const Ref<LatticeGrid>& grid, const Ref<LGridCellStyle>& style, const Ref<LGridCoord>& coord) override;
    Ref<LGridLineStyle> latticeGridStyleForHorizontalGridLineAtIndexInSection(
        const Ref<LatticeGrid>& grid, int32_t index, int32_t section) override;
    Ref<LGridLineStyle> latticeGridStyleForVerticalGridLineAtIndex(
        const Ref<LatticeGrid>& grid, int32_t index) override;
    Ref<LGridSectionHeaderStyle> latticeGridStyleForSectionHeaderAtIndex(
        const Ref<LatticeGrid>& grid, int32_t section) override;
    void didFinishLayingOutLatticeGrid(const Ref<LatticeGrid>& grid) override;
    bool latticeGridShouldExpandSectionAtIndex(const Ref<LatticeGrid>& grid, uint32_t section) override;
    void latticeGridWillExpandSectionAtIndex(const Ref<LatticeGrid>& grid, uint32_t section) override;
    void latticeGridDidExpandSectionAtIndex(const Ref<LatticeGrid>& grid, uint32_t section) override;
    bool latticeGridShouldCollapseSectionAtIndex(const Ref<LatticeGrid>& grid, uint32_t section) override;
    void latticeGridWillCollapseSectionAtIndex(const Ref<LatticeGrid>& grid, uint32_t section) override;
    void latticeGridDidCollapseSectionAtIndex(const Ref<LatticeGrid>& grid, uint32_t section) override;
    bool latticeGridShouldSelectCellAtCoord(const Ref<LatticeGrid>& grid, const Ref<LGridCoord>& coord) override;
    void latticeGridWillSelectCellAtCoord(const Ref<LatticeGrid>& grid, const Ref<LGridCoord>& coord) override;
    void latticeGridDidSelectCellAtCoord(const Ref<LatticeGrid>& grid, const Ref<LGridCoord>& coord) override;
    bool latticeGridShouldDeselectCellAtCoord(const Ref<LatticeGrid>& grid, const Ref<LGridCoord>& coord) override;
    void latticeGridWillDeselectCellAtCoord(const Ref<LatticeGrid>& grid, const Ref<LGridCoord>& coord) override;
    void latticeGridDidDeselectCellAtCoord(const Ref<LatticeGrid>& grid, const Ref<LGridCoord>& coord) override;
    bool latticeGridShouldSelectRow(const Ref<LatticeGrid>& grid, LGridRow row) override;
    void latticeGridWillSelectRow(const Ref<LatticeGrid>& grid, LGridRow row) override;
    void latticeGridDidSelectRow(const Ref<LatticeGrid>& grid, LGridRow row) override;
    bool latticeGridShouldDeselectRow(const Ref<LatticeGrid>& grid, LGridRow row) override;
    void latticeGridWillDeselectRow(const Ref<LatticeGrid>& grid, LGridRow row) override;
    void latticeGridDidDeselectRow(const Ref<LatticeGrid>& grid, LGridRow row) override;
    bool latticeGridCellCanRespondToDoubleTap(const Ref<LatticeGrid>& grid, const Ref<LGridCell>& cell) override;
    void latticeGridDidTapCellAtCoordIsDoubleTap(
        const Ref<LatticeGrid>& grid, const Ref<LGridCoord>& coord, bool doubleTap) override;
    int32_t latticeGridPermittedDragDirectionForCellAtCoord(
        const Ref<LatticeGrid>& grid, const Ref<LGridCoord>& coord) override;
    void latticeGridColAtIndexHasBeenSwitchedWithColAtIndex(
        const Ref<LatticeGrid>& grid, int32_t a, int32_t b) override;
    void latticeGridRowHasBeenSwitchedWithRow(const Ref<LatticeGrid>& grid, LGridRow a, LGridRow b) override;

    bool latticeGridShouldBeginEditingAutoCell(
        const Ref<LatticeGrid>& grid, const Ref<LGridTextInputCell>& cell) override;
    void latticeGridWillBeginEditingAutoCell(
        const Ref<LatticeGrid>& grid, const Ref<LGridTextInputCell>& cell) override;
    void latticeGridDidFinishEditingAutoCell(
        const Ref<LatticeGrid>& grid, const Ref<LGridTextInputCell>& cell) override;
    bool latticeGridShouldBeginResizingColumnAtIndex(const Ref<LatticeGrid>& grid, uint32_t column) override;
    std::optional<float> latticeGridWidthForResizingColAtIndexWithCurrentWidthTargetWidth(
        const Ref<LatticeGrid>& grid, uint32_t column, float current, float target) override;
    void latticeGridDidResizeColumnAtIndexFromWidthToWidth(
        const Ref<LatticeGrid>& grid, uint32_t column, float from, float to) override;
    void latticeGridWillEndResizingColumnAtIndexFromWidthToWidth(
        const Ref<LatticeGrid>& grid, uint32_t column, float from, float to) override;
    void latticeGridDidEndResizingColumnAtIndexFromWidthToWidth(
        const Ref<LatticeGrid>& grid, uint32_t column, float from, float to) override;
    void latticeGridWillEndReorderingColumnAtIndex(const Ref<LatticeGrid>& grid, uint32_t column) override;
    void latticeGridDidEndReorderingColumnAtIndex(const Ref<LatticeGrid>& grid, uint32_t column) override;
    void latticeGridWillEndReorderingRow(const Ref<LatticeGrid>& grid, LGridRow row) override;
    void latticeGridDidEndReorderingRow(const Ref<LatticeGrid>& grid, LGridRow row) override;
    // The engine's own arrow image, at no offset.
    Ref<UIImage> latticeGridArrowImageForOrientationForCellAtCoord(
        const Ref<LatticeGrid>& grid, int32_t orientation, const Ref<LGridCoord>& coord) override;
    CGPoint latticeGridOffsetForArrowImageWithOrientationForCellAtCoord(
        const Ref<LatticeGrid>& grid, int32_t orientation, const Ref<LGridCoord>& coord) override;

    // Scroll callbacks of the engine, passed to the delegate.
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

    // Test-only: the header double-tap notice is logged again.
    static void resetForTesting();

private:
    void commonInit();
    [[noreturn]] void abortWithMsg(const std::string& message) const;
    Ref<LatticeDataGrid> protectedGrid() { return self<LatticeDataGrid>(); }
    Ref<LDataGridCell> retrieveOrMakeCellForGridCoordOfType(const Ref<LGridCoord>& coord, Class cellType);
    Ref<LDataGridCell> retrieveOrMakeHeaderCellForGridCoord(const Ref<LGridCoord>& coord);
    Ref<LDataGridCell> retrieveOrMakeBodyCellForGridCoord(const Ref<LGridCoord>& coord);
    Value translateArrayOfSDataGridRowsToSGridRowStructs(const std::vector<Ref<NSObject>>& rows);
    Value translateArrayOfSDataGridColumnsToNSNumbers(const std::vector<Ref<NSObject>>& columns);
    void passDelegateToUserWithSectionIndex(
        const std::function<void(LDataGridDelegate&, uint32_t)>& call, std::string_view selector, uint32_t section);
    void passDelegateToUserWithGridCoord(
        const std::function<void(LDataGridDelegate&, const Ref<LDataGridCoord>&)>& call, std::string_view selector,
        const Ref<LGridCoord>& coord);
    void passRowToUser(const std::function<void(LDataGridDelegate&, const Ref<LDataGridRow>&)>& call,
        std::string_view selector, LGridRow row);
    void passScrollToUser(std::string_view selector, const std::function<void(LDataGridDelegate&)>& call);
    void layoutInternalGrid(CGRect rect);

    int32_t m_numberOfHeaderRows { 1 };
    Ref<LatticeGrid> m_internalGrid;
    Weak<LDataGridDataSource> m_externalDataSource;
    Weak<LDataGridDelegate> m_externalDelegate;
    std::vector<Ref<LDataGridColumn>> m_cols;
    bool m_defaultRowHeightSetByUser { false };
    uint8_t m_settingFrame { 0 };
    bool m_canReorderRows { false };
    Ref<LDataGridCellStyle> m_defaultCellStyleForAlternateRows;
    std::optional<float> m_defaultHeaderRowHeight;
    Ref<LDataGridCellStyle> m_defaultHeaderCellStyle;
    uint32_t m_numberOfFrozenColumns { 0 };
    uint32_t m_numberOfFrozenRows { 0 };
    Ref<LDataGridSectionHeaderStyle> m_defaultSectionHeaderStyle;
};
