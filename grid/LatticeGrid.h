#pragma once

#include "foundation/Value.h"
#include "grid/GridForward.h"
#include "grid/LGridRow.h"
#include "uikit/UIScrollView.h"

class UITapGestureRecognizer;
class UILongPressGestureRecognizer;
class UIGestureRecognizer;

#include <array>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <vector>

class NSNotification;
class UIColor;
class UIImage;
class UIImageView;
class LGridMultiTouchRecognizer;
class LGridReorderArrow;
class LGridViewTinter;

enum LGridSelectionMode : int32_t {
    LGridSelectionModeSingleCell = 0,
    LGridSelectionModeMultipleCells = 1,
    LGridSelectionModeSingleRow = 2,
    LGridSelectionModeMultipleRows = 3,
    LGridSelectionModeNone = 4,
};

// The grid view: a scroll view that shows a grid of cells split into sections, with frozen rows
// at the top and frozen columns at the left, drawn in four panes that scroll together (its own
// scrolling is off). It asks its data source and delegate everything through its
// data-source/delegate manager, keeps cells loaded only for its visible window, and recycles the
// cells that leave it into the shared pools. Every layout pass reloads the window from its
// anchor. Programming errors raise "LatticeGridsException" through LatticeGridLog.
//
// Main thread only. The data source and the delegate are weak links.
class LatticeGrid : public UIScrollView, public UIScrollViewDelegate {
    VX_OBJECT(LatticeGrid, UIScrollView)
public:
    static constexpr uint32_t NSNotFound = 2147483647u;

    explicit LatticeGrid(Passkey key)
        : UIScrollView(key)
    {
    }
    ~LatticeGrid() override;
    static Ref<LatticeGrid> initWithFrame(CGRect frame);
    static Ref<LatticeGrid> init() { return initWithFrame(CGRectZero); }
    static std::string getInfo();

    // Data source and delegate.
    Ref<LGridDataSource> dataSource() const;
    void setDataSource(const Ref<LGridDataSource>& dataSource);
    Ref<LGridDelegate> delegate() const;
    void setDelegate(const Ref<LGridDelegate>& delegate);
    void setZoomDelegate(UIScrollViewDelegate* delegate, Weak<NSObject> owner);
    const Ref<LGridDataSourceDelegateManager>& dataSourceDelegateManager() const { return m_dataSourceDelegateManager; }

    // Cells.
    Ref<LGridCell> dequeueReusableCellWithIdentifier(const std::optional<std::string>& identifier);
    Ref<LGridCell> visibleCellAtColAndRow(int32_t column, LGridRow row)
    {
        return visibleCellAtColAndRowPrivate(column, row, false);
    }
    Ref<LGridCell> visibleCellAtColAndRowPrivate(int32_t column, LGridRow row, bool isPrivate);
    Ref<LGridCell> visibleCellAtCoord(const Ref<LGridCoord>& coord);
    Ref<LGridCell> loadAndRetrieveCellAtColAtRow(int32_t column, LGridRow row);
    std::vector<Ref<LGridCellStyle>> unselectedStyleHierarchyForCell(const Ref<LGridCell>& cell);
    bool poolDequeCalled() const { return m_poolDequeCalled; }
    void setPoolDequeCalled(bool v) { m_poolDequeCalled = v; }

    // Reload and redraw. The lists hold boxed rows (NSValue_LGridRow::valueWithRow) or column
    // numbers; other entries are logged and skipped.
    void reload() { reloadInternal(false); }
    void reloadRows(const Value& rows);
    void reloadColsAtIndices(const Value& columns);
    void redrawRows(const Value& rows);
    void redrawColsAtIndices(const Value& columns);
    void setNeedsDisplay();

    // Counts.
    int32_t numberOfColumns();
    int32_t numberOfSections();
    uint32_t numberOfRowsForSection(int32_t section) { return numberOfRowsForSectionPrivate(section, false); }
    uint32_t numberOfRowsForSectionPrivate(int32_t section, bool isPrivate);

    // Frozen rows and columns, validity.
    bool rowIsFrozen(LGridRow row);
    bool colIsFrozen(int32_t column) const { return static_cast<uint32_t>(column) < m_numberOfFrozenColumns; }
    LGridRow lastFrozenRow();
    void freezeRowsAboveAndIncludingRow(LGridRow row);
    void freezeColsToTheLeftOfAndIncludingIndex(int32_t index)
    {
        setNumberOfFrozenColumns(static_cast<uint32_t>(index + 1));
    }
    bool rowIsValidAndVisible(LGridRow row, bool visible);
    bool colIsValidAndVisible(int32_t column, bool visible);
    bool cellCoordIsValidAtColAndRow(int32_t column, LGridRow row);
    uint32_t numberOfFrozenRows() const { return m_numberOfFrozenRows; }
    void setNumberOfFrozenRows(uint32_t count);
    uint32_t numberOfFrozenColumns() const { return m_numberOfFrozenColumns; }
    void setNumberOfFrozenColumns(uint32_t count);
    uint32_t innerNumberOfFrozenRows() const { return m_innerNumberOfFrozenRows; }
    uint32_t innerNumberOfFrozenColumns() const { return m_innerNumberOfFrozenColumns; }
    bool frozenRowsStillNeedsValidation() const { return m_frozenRowsStillNeedsValidation; }
    bool frozenColumnsStillNeedsValidation() const { return m_frozenColumnsStillNeedsValidation; }

    // Visible window.
    std::vector<int32_t> visibleColumnIndexes() const { return m_visibleColIndexes; }
    std::vector<LGridRow> visibleRows() { return visibleRowsPrivate(false); }
    std::vector<LGridRow> visibleRowsPrivate(bool isPrivate);
    int32_t numberOfVisibleCols() const { return static_cast<int32_t>(m_visibleColIndexes.size()); }
    int32_t firstVisibleColumnIndex() const;
    int32_t lastVisibleColumnIndex() const;
    LGridRow firstVisibleRow() const;
    LGridRow lastVisibleRow() const;
    int32_t firstVisibleSectionIndex() const { return firstVisibleRow().section; }
    int32_t lastVisibleSectionIndex() const { return lastVisibleRow().section; }
    LGridRow firstVisibleNonFrozenRowAndVisibleIndex(int32_t* position);
    LGridRow firstVisibleNonFrozenRow() { return firstVisibleNonFrozenRowAndVisibleIndex(nullptr); }
    int32_t firstVisibleNonFrozenColumnIndexAndVisibleIndex(int32_t* position) const;
    int32_t firstVisibleNonFrozenColumnIndex() const
    {
        return firstVisibleNonFrozenColumnIndexAndVisibleIndex(nullptr);
    }
    bool allSectionsAreCollapsed();
    float widthOfVerticalGridLineAtIndex(uint32_t column);
    float widthOfLeftBorder() const;

    // Edge tests and passes of the visible window.
    bool topRowNeedsRemovedFromVisibleGrid();
    bool bottomRowNeedsRemovedFromVisibleGrid();
    bool topRowNeedsAddedToVisibleGrid();
    bool bottomRowNeedsAddedToVisibleGrid();
    bool leftColNeedsRemovedFromVisibleGrid();
    bool rightColNeedsRemovedFromVisibleGrid();
    bool leftColNeedsAddedToVisibleGrid();
    bool rightColNeedsAddedToVisibleGrid();
    Ref<LGridCell> topCellToBeRemovedForCol(int32_t column);
    Ref<LGridCell> bottomCellToBeRemovedForCol(int32_t column);
    Ref<LGridCell> topCellToBeAddedForCol(int32_t column);
    Ref<LGridCell> bottomCellToBeAddedForCol(int32_t column);
    Ref<LGridCell> leftCellToBeRemovedForRow(LGridRow row);
    Ref<LGridCell> rightCellToBeRemovedForRow(LGridRow row);
    Ref<LGridCell> leftCellToBeAddedForRow(LGridRow row);
    Ref<LGridCell> rightCellToBeAddedForRow(LGridRow row);
    void removeRowsFromTopAddToBottomIfNeeded();
    void removeRowsFromBottomAddToTopIfNeeded();
    void removeColsFromLeftAddToRightIfNeeded();
    void removeColsFromRightAddToLeftIfNeeded();
    void addNewBottomRowToGrid();
    void addNewTopRowToGrid();
    void addNewRightColumnToGrid();
    void addNewLeftColumnToGrid();
    void manageTopAndBottomEdgeCells();
    // After a jump that leaves the loaded rows out of sight, drops every non-frozen row and
    // loads the one row at the new offset, so that the edge passes grow the window from there
    // instead of loading every row in between. Answers whether it did.
    bool reanchorRowsIfOutOfSight();
    // A reload after the content shrank brings an offset past its end back to the end.
    void keepContentOffsetInsideContent();
    void manageLeftAndRightEdgeCells();
    void tidyRowAndColEdges();
    void removeSectionFromVisibleRows(int32_t section);

    // Sections.
    bool sectionIsValidWithIndex(uint32_t index);
    void assertSectionIndexValid(uint32_t index);
    void setSectionAtIndexAsCollapsed(uint32_t index, bool collapsed)
    {
        setSectionAtIndexAsCollapsedQueueIfInvalid(index, collapsed, true);
    }
    void setSectionAtIndexAsCollapsedQueueIfInvalid(uint32_t index, bool collapsed, bool queueIfInvalid);
    bool sectionAtIndexIsCollapsed(uint32_t index);
    Ref<LGridSection> firstUncollapsedSection();
    Ref<LGridSection> lastUncollapsedSection();
    bool rowIsInLastUncollapsedSection(LGridRow row);
    bool aSectionIsCollapsing() const { return m_aSectionIsCollapsing; }
    void setASectionIsCollapsing(bool v) { m_aSectionIsCollapsing = v; }
    uint32_t numberOfSectionsCollapsed() const { return m_numberOfSectionsCollapsed; }
    void decrementNumberOfCollapsedSections();

    // Stepping from row to row.
    LGridRow findRowAfterRow(LGridRow row);
    LGridRow findRowBeforeRow(LGridRow row);
    LGridRow findRowAfterRowIgnoringCollapsedSections(LGridRow row, bool ignoring);
    LGridRow findRowBeforeRowIgnoringCollapsedSections(LGridRow row, bool ignoring);

    // Zoom: the grid does not zoom.
    void setMinimumZoomScale(float scale);
    void setMaximumZoomScale(float scale);
    Ref<UIView> viewForZoomingInScrollView(const Ref<UIScrollView>&) override { return m_masterContent; }

    // Keyboard: while a text cell is edited the grid keeps it clear of the keyboard.
    void keyboardWillShow(const Ref<NSNotification>& notification);
    void keyboardWillHide(const Ref<NSNotification>& notification);
    bool keyBoardIsShowing() const { return m_keyBoardIsShowing; }

    // Orientation.
    void handleOrientationNotification(const Ref<NSNotification>& notification);
    void orientationChanged();
    int32_t orientationChangeCount() const { return m_orientationChangeCount; }

    // Properties.
    const Ref<LGridLineStyle>& defaultGridLineStyle() const { return m_defaultGridLineStyle; }
    void setDefaultGridLineStyle(const Ref<LGridLineStyle>& style);
    const Ref<LGridBorderStyle>& defaultBorderStyle() const { return m_defaultBorderStyle; }
    void setDefaultBorderStyle(const Ref<LGridBorderStyle>& style) { m_defaultBorderStyle = style; }
    const Ref<LGridSectionHeaderStyle>& defaultSectionHeaderStyle() const { return m_defaultSectionHeaderStyle; }
    void setDefaultSectionHeaderStyle(const Ref<LGridSectionHeaderStyle>& style)
    {
        m_defaultSectionHeaderStyle = style;
    }
    const Ref<LGridColRowStyle>& defaultRowStyle() const { return m_defaultRowStyle; }
    void setDefaultRowStyle(const Ref<LGridColRowStyle>& style);
    const Ref<LGridColRowStyle>& defaultColumnStyle() const { return m_defaultColumnStyle; }
    void setDefaultColumnStyle(const Ref<LGridColRowStyle>& style);
    void privateSetDefaultRowStyle(const Ref<LGridColRowStyle>& style);
    void privateSetDefaultColStyle(const Ref<LGridColRowStyle>& style);
    std::optional<float> minimumRowHeight() const;
    void setMinimumRowHeight(std::optional<float> height);
    std::optional<float> minimumColWidth() const;
    void setMinimumColWidth(std::optional<float> width);
    const Ref<LGridCellStyle>& defaultSelectedCellStyle() const { return m_defaultSelectedCellStyle; }
    void setDefaultSelectedCellStyle(const Ref<LGridCellStyle>& style) { m_defaultSelectedCellStyle = style; }
    bool enableBlending() const { return m_enableBlending; }
    void setEnableBlending(bool enable);
    bool blendLayeredStyleBackgroundColors() const;
    void setBlendLayeredStyleBackgroundColors(bool blend);
    bool blendLayeredStyleTextColors() const;
    void setBlendLayeredStyleTextColors(bool blend);
    bool rowStylesTakePriority() const { return m_rowStylesTakePriority; }
    void setRowStylesTakePriority(bool v) { m_rowStylesTakePriority = v; }
    int32_t linesOnTop() const { return m_linesOnTop; }
    void setLinesOnTop(int32_t v) { m_linesOnTop = v; }
    int32_t selectionMode() const { return m_selectionMode; }
    void setSelectionMode(int32_t mode) { m_selectionMode = mode; }
    bool preventSingleRowDeselection() const { return m_preventSingleRowDeselection; }
    void setPreventSingleRowDeselection(bool v) { m_preventSingleRowDeselection = v; }
    bool directionalLockAllowDiagonalPanning() const { return m_directionalLockAllowDiagonalPanning; }
    void setDirectionalLockAllowDiagonalPanning(bool v) { m_directionalLockAllowDiagonalPanning = v; }
    int32_t defaultPermittedDragDirection() const { return m_defaultPermittedDragDirection; }
    void setDefaultPermittedDragDirection(int32_t direction);
    bool canReorderColsViaLongPress() const;
    void setCanReorderColsViaLongPress(bool v);
    bool canReorderRowsViaLongPress() const;
    void setCanReorderRowsViaLongPress(bool v);
    bool holdToReorderEnabled() const { return m_holdToReorderEnabled; }
    void setHoldToOrderEnabledAppropriately();
    int32_t singleTapEventMask() const { return m_singleTapEventMask; }
    void setSingleTapEventMask(int32_t mask) { m_singleTapEventMask = mask; }
    int32_t doubleTapEventMask() const { return m_doubleTapEventMask; }
    void setDoubleTapEventMask(int32_t mask);
    bool deferredLayout() const { return m_deferredLayout && m_initialLoad; }
    void setDeferredLayout(bool v) { m_deferredLayout = v; }
    bool initialLoad() const { return m_initialLoad; }
    bool blendsDelegateRowStylesWithDefaultRowStyle() const { return m_blendsDelegateRowStylesWithDefaultRowStyle; }
    void setBlendsDelegateRowStylesWithDefaultRowStyle(bool v) { m_blendsDelegateRowStylesWithDefaultRowStyle = v; }
    bool ignoresDelegateColStylesForFirstRow() const { return m_ignoresDelegateColStylesForFirstRow; }
    void setIgnoresDelegateColStylesForFirstRow(bool v) { m_ignoresDelegateColStylesForFirstRow = v; }
    bool userSetDefaultColStyle() const { return m_userSetDefaultColStyle; }
    bool userSetDefaultRowStyle() const { return m_userSetDefaultRowStyle; }
    std::optional<float> initialDefaultColWidth() const { return m_initialDefaultColWidth; }
    std::optional<float> initialDefaultRowHeight() const { return m_initialDefaultRowHeight; }
    const Ref<LGridColourBlender>& backgroundColorBlender() const { return m_backgroundColorBlender; }
    const Ref<LGridColourBlender>& textColorBlender() const { return m_textColorBlender; }
    bool isReordering() const { return m_reordering; }
    bool currentlyDragging() const { return m_currentlyDragging; }
    void observeValueForKeyPath(
        const std::string& keyPath, const Ref<NSObject>& object, const Value& change, void* context) override;

    // Deferred work until the grid is valid.
    const Ref<LGridBlockQueue>& delayUntilReloadQueue() const { return m_delayUntilReloadQueue; }

    // Selection. The record holds the selected coordinates, the most recent last; a selected
    // row is recorded as one coordinate per column. Callback levels: 0 asks the should-callback
    // and sends will and did, 1 sends will and did, 2 sends nothing.
    void recordGridCoordAsSelected(const Ref<LGridCoord>& coord, bool selected);
    Ref<LGridCoord> selectedGridCoord() const;
    bool isCoordSelected(const Ref<LGridCoord>& coord) const;
    bool isRowSelected(LGridRow row) const;
    std::vector<Ref<LGridCoord>> selectedCellGridCoords() const { return m_selectedGridCoords; }
    const std::vector<Ref<LGridCoord>>& selectedCellGridCoordsPrivate() const { return m_selectedGridCoords; }
    std::vector<LGridRow> selectedRowList() const;
    // The rows as boxed values, each once, in the order of their first recorded coordinate.
    Value selectedRows() const;
    Ref<LGridCell> selectedCell();
    void setRowAsSelectedAnimatedNeedsDelegateCallbacksForQueueIfInvalid(
        LGridRow row, bool selected, bool animated, int32_t level, bool queueIfInvalid);
    void setRowAsSelectedAnimated(LGridRow row, bool selected, bool animated)
    {
        setRowAsSelectedAnimatedNeedsDelegateCallbacksForQueueIfInvalid(row, selected, animated, 1, true);
    }
    // Entries that are not boxed rows are logged and skipped.
    void setSelectedRowsAnimated(const Value& rows, bool animated);
    void setSelectedRows(const Value& rows) { setSelectedRowsAnimated(rows, false); }
    void clearAllSelectedRowsWithAnimationWithDelegateCallbacksForQueueIfInvalid(
        bool animated, int32_t level, bool queueIfInvalid);
    void clearAllSelectedCellsWithAnimationWithDelegateCallbacksForQueueIfInvalid(
        bool animated, int32_t level, bool queueIfInvalid);
    void clearAllSelectedCellsWithAnimation(bool animated)
    {
        clearAllSelectedCellsWithAnimationWithDelegateCallbacksForQueueIfInvalid(animated, 1, true);
    }
    void clearRowFromRecordedSelectedGridCoords(LGridRow row);
    void handleSelectionEventOnCell(const Ref<LGridCell>& cell);
    void handleEditEventOnCell(const Ref<LGridCell>& cell);
    void cancelEditing();
    void setUpGestureRecognizers();
    void cancelGestures();

    // Taps. Gesture types: 0 single tap, 1 double tap, 2 long press. Event mask bits: 1 sends a
    // selection event, 2 an edit event (selection first).
    bool canSelectViaSingleTap() const;
    void setCanSelectViaSingleTap(bool enabled);
    bool canEditCellsViaDoubleTap() const;
    void setCanEditCellsViaDoubleTap(bool enabled);
    const Ref<LGridDoubleTapGestureRecognizer>& doubleTapToEdit() const { return m_doubleTapToEdit; }
    const Ref<UITapGestureRecognizer>& singleTapToSelect() const { return m_singleTapToSelect; }
    const Ref<UILongPressGestureRecognizer>& holdToReorder() const { return m_holdToReorder; }
    // Replaces the long press that drives reordering: the old one leaves the grid, the new one
    // is attached to it with the reorder action and enabled as the drag permissions say.
    void setHoldToReorder(const Ref<UILongPressGestureRecognizer>& recognizer);
    // Taps act only when recognised: a cancelled double tap (see handleTenativeSingleTap) sends
    // its action too, and must not count as a tap.
    void handleSingleTap(const Ref<UIGestureRecognizer>& recognizer);
    void handleDoubleTap(const Ref<UIGestureRecognizer>& recognizer);
    void handleTenativeSingleTap(const Ref<UIGestureRecognizer>& recognizer);
    bool cellCanRespondToDoubleTapAccordingToDelegate(const Ref<LGridCell>& cell);
    bool handleGestureTypeWithGesture(int32_t type, const Ref<UIGestureRecognizer>& recognizer);
    Ref<UIView> findSelectableElementFromGesture(const Ref<UIGestureRecognizer>& recognizer);
    Ref<UIView> searchLayerForResponderThatContainsPoint(const Ref<LGridLayer>& layer, CGPoint point);
    void handleGestureForResponder(int32_t type, const Ref<UIView>& element);
    void dispatchEventToResponder(int32_t mask, const Ref<UIView>& element);
    void handleReorderEventOnCell(const Ref<LGridCell>& cell);
    const Ref<LGridCoord>& userPrimaryCellCoord() const { return m_userPrimaryCellCoord; }
    void setUserPrimaryCellCoord(const Ref<LGridCoord>& coord);

    // Reordering: a long press picks up a cell's row or column, which follows the finger along
    // one axis, switches places with the neighbours it passes and snaps home on release. Drag
    // directions: 0 none, 1 columns, 2 rows, 3 both (as a decision: not decided yet).
    void reorderColsOrRows(const Ref<UIGestureRecognizer>& recognizer);
    int32_t decideIfColOrRowDrag();
    void reorderRowsAboutCell(const Ref<LGridCell>& cell);
    void reorderColsAboutCell(const Ref<LGridCell>& cell);
    void dragRowToPositionFromCurrentState(LGridRow row, float y, bool fromCurrentState);
    void dragColToPositionFromCurrentState(int32_t column, float x, bool fromCurrentState);
    void animateGridElementToPositionInFrontFromCurrentState(
        const Ref<LGridCell>& cell, CGPoint position, bool inFront, bool fromCurrentState);
    void animateGridElementToPositionInFrontFromCurrentState(
        const Ref<LGridCompositeSectionHeader>& header, CGPoint position, bool inFront, bool fromCurrentState);
    void executeDragAnimationFromCurrentStateWithBlock(bool fromCurrentState, const std::function<void()>& block);
    CGRect tintBounds();
    void setDraggingRowBeingDragged(bool dragged);
    void setDraggingColBeingDragged(bool dragged);
    void setCellDragWithDirection(const Ref<LGridCell>& cell, int32_t direction);
    void resetHoldToReorder();
    // A layout pass during a row drag puts the dragged row back under the finger.
    void keepDraggedRowUnderFinger();
    bool userDragging() const { return m_userDragging; }
    bool reordering() const { return m_reordering; }
    const Ref<LGridCoordMutable>& draggingIndex() const { return m_draggingIndex; }
    int32_t dragDecision() const { return m_dragDecision; }
    int32_t autoScroll() const { return m_autoScroll; }
    CGPoint positionToSnapDraggingCellsTo() const { return m_positionToSnapDraggingCellsTo; }
    int32_t sectionWaitingForExpand() const { return m_sectionWaitingForExpand; }
    Ref<LGridReorderArrow> arrowForOrientationAtGridCoord(int32_t orientation, const Ref<LGridCoord>& coord);
    const std::map<int32_t, Ref<LGridReorderArrow>>& activeArrows() const { return m_activeArrows; }
    const Ref<UIImage>& defaultArrowImage() const { return m_defaultArrowImage; }
    void setDefaultArrowImage(const Ref<UIImage>& image) { m_defaultArrowImage = image; }
    Ref<UIColor> tintColor() const;
    void setTintColor(const Ref<UIColor>& color);
    const Ref<LGridViewTinter>& tinter() const { return m_tinter; }

    // Switching dragged rows and columns with their neighbours.
    void switchRowsIfNeeded();
    void switchColsIfNeeded();
    void switchDraggingRowWithStaticRowFromCurrentState(LGridRow staticRow, bool fromCurrentState);
    void switchDraggingColWithStaticColFromCurrentState(int32_t staticColumn, bool fromCurrentState);
    void exchangeIndexesOfDraggingRowWithRow(LGridRow staticRow);
    void updateSelectedCellGridCoordsForRowSwitchingWithRow(LGridRow a, LGridRow b);
    Ref<LGridCell> safelyRetrieveCellAtColAtRow(int32_t column, LGridRow row);
    void setContentOffsetAnimatedBoundedByContentSize(CGPoint offset, bool animated, bool bounded);
    void expandHeader(const Ref<LGridSection>& section);
    float totalHeightOfSectionHeadersFromSectionIndexToSectionIndex(int32_t from, int32_t to);
    LGridRow lastRow();
    // The drag branches of the liquid pane's scroll callbacks: which way a reveal scroll goes,
    // and the next drag step when it ends.
    void noteDragScrollDirection(CGPoint offset);
    void continueDragAfterScrollingAnimation();

    // Two-finger column resizing.
    bool canResizeColumnsViaPinch() const { return m_canResizeColumnsViaPinch; }
    void setCanResizeColumnsViaPinch(bool enabled);
    const Ref<LGridMultiTouchRecognizer>& resizeGesture() const { return m_resizeGesture; }
    bool colResizing() const { return m_colResizing; }
    int32_t colResizingIndex() const { return m_colResizingIndex; }
    const Ref<UIImageView>& colResizingFloater() const { return m_colResizingFloater; }
    void colResizeGesture(const Ref<UIGestureRecognizer>& recognizer);
    void colResizeMaybe(const Ref<UIGestureRecognizer>&) { }
    void retrieveTouchesFromGesture(float touches[2], const Ref<LGridMultiTouchRecognizer>& recognizer);
    struct ColumnBoundary {
        int32_t column;
        float x;
    };
    // False also when no column is visible: there is no boundary to snap to.
    bool touchesToColumns(const float touches[2], ColumnBoundary boundaries[2]);
    bool colResizeStartWithTouches(const float touches[2]);
    void colResizeDragWithTouches(const float touches[2]);
    void colResizeEndWithTouches(const float touches[2]);
    void setCellsInColAsHidden(int32_t column, bool hidden);
    Ref<LGridCell> firstVisibleCell();
    Ref<LGridCell> lastVisibleCell();

    // Style resolution.
    Ref<LGridCellStyle> blendedStyleFromHierarchyCellIsSelected(
        const std::vector<Ref<LGridCellStyle>>& hierarchy, bool selected);

    // Layout and reload pipeline.
    void layoutSubviews() override;
    void reloadInternal(bool internal);
    void updateDatasourceCounts(bool unused);
    void loadAndLayoutVisibleData();
    void generateSectionHeaders();
    void prepareNewCellAtPointAtColumnAndRow(const Ref<LGridCell>& cell, CGPoint origin, int32_t column, LGridRow row);
    void prepareNewCellWithFrameAtColumnAndRow(const Ref<LGridCell>& cell, CGRect frame, int32_t column, LGridRow row);
    Ref<LGridLayer> layerForCell(const Ref<LGridCell>& cell);
    void addCellToAppropriateLayer(const Ref<LGridCell>& cell);
    LGridRow incrementRowToNextVisibleRow(LGridRow row);
    bool shouldSkipToFirstVisibleRowFromRow(LGridRow row);
    LGridRow skipToFirstVisibleRowFromRow();
    int32_t incrementColIndexToNextVisibleColIndex(int32_t column) const;
    bool contentOffsetIsNegative() const;
    CGPoint lastContentOffset() const { return m_lastContentOffset; }
    bool reloadingGrid() const { return m_reloadingGrid; }
    void printVisibleIndexDebugInfo();

    // Panes.
    const Ref<LGridLayer>& liquidLayer() const { return m_liquidLayer; }
    const Ref<LGridLayer>& verticallyFrozenLayer() const { return m_verticallyFrozenLayer; }
    const Ref<LGridLayer>& horizontallyFrozenLayer() const { return m_horizontallyFrozenLayer; }
    const Ref<LGridLayer>& staticLayer() const { return m_staticLayer; }
    const Ref<UIView>& masterContent() const { return m_masterContent; }
    std::vector<Ref<LGridLayer>> layers() const;
    std::vector<Ref<LGridLayerContent>> layerContents() const;
    std::vector<Ref<LGridScrollIndicatorLayer>> scrollIndicatorLayers() const;
    void setLayersUserInteractionEnabled(bool enabled);
    void setLayersScrollEnabled(bool enabled);

    // The grid's own bounds never scroll: a new size keeps the panes' offset.
    void setBounds(CGRect bounds) override;

    // Scroll-view settings, passed on to the panes.
    CGPoint contentOffset() const;
    void setContentOffset(CGPoint offset) override;
    void setContentOffsetAnimated(CGPoint offset, bool animated);
    void setContentInset(UIEdgeInsets inset);
    void setScrollsToTop(bool v);
    void scrollRectToVisibleAnimated(CGRect rect, bool animated);
    void setIndicatorStyle(UIScrollViewIndicatorStyle style);
    UIScrollViewIndicatorStyle indicatorStyle() const;
    void setScrollIndicatorInsets(UIEdgeInsets insets);
    UIEdgeInsets scrollIndicatorInsets() const;
    void setShowsHorizontalScrollIndicator(bool v);
    bool showsHorizontalScrollIndicator() const;
    void setShowsVerticalScrollIndicator(bool v);
    bool showsVerticalScrollIndicator() const;
    void flashScrollIndicators();
    void setDirectionalLockEnabled(bool v);
    void setBounces(bool v);
    void setAlwaysBounceHorizontal(bool v);
    void setAlwaysBounceVertical(bool v);
    void setDecelerationRate(float rate);
    void setScrollEnabled(bool v) { setLayersScrollEnabled(v); }

    // Directional lock and scroll callbacks.
    void directionLockContentOffset(CGPoint* offset);
    int32_t internalPanDecision() const { return m_panDecision; }
    void fakePanDecisionAndLastContentOffset(int32_t decision, CGPoint offset);
    void scrollViewDidScroll(const Ref<UIScrollView>& scrollView) override;
    void scrollViewWillBeginDragging(const Ref<UIScrollView>& scrollView) override;
    void scrollViewWillEndDraggingWithVelocityTargetContentOffset(
        const Ref<UIScrollView>& scrollView, CGPoint velocity, CGPoint* target) override;
    void scrollViewDidEndDraggingWillDecelerate(const Ref<UIScrollView>& scrollView, bool decelerate) override;
    void scrollViewWillBeginDecelerating(const Ref<UIScrollView>& scrollView) override;
    void scrollViewDidEndDecelerating(const Ref<UIScrollView>& scrollView) override;
    void scrollViewDidEndScrollingAnimation(const Ref<UIScrollView>& scrollView) override;
    bool scrollViewShouldScrollToTop(const Ref<UIScrollView>& scrollView) override;
    void scrollViewDidScrollToTop(const Ref<UIScrollView>& scrollView) override;
    void showFrozenShade(bool show);
    void validateFrozenColumnsAndRows();
    void completeFrozenRowsValidation();
    void completeFrozenColumnsValidation();
    void updateUserCanScroll();
    void assertValid();

    // Geometry.
    float minimumWidthForColumnAtIndex(int32_t column);
    float minimumHeightForRow(LGridRow row);
    float validateColSizeUsingMinimumSizeForColIndex(std::optional<float> size, float minimum, int32_t column);
    float validateRowSizeUsingMinimumSizeForRow(std::optional<float> size, float minimum, LGridRow row);
    float colStyleSizeForColIndex(int32_t column);
    float rowStyleSizeForRow(LGridRow row);
    // The height of a row measured from its style, its minimum and its grid lines, without
    // keeping the row's style (the sections keep the measured heights).
    float measureRowHeight(LGridRow row);
    // Changes whenever the measured row heights may have gone stale: the default row style's
    // size or minimum, or the default grid line, changed, or `invalidateRowHeights` was called
    // (styles flushed, a new data source or delegate).
    uint64_t rowHeightsGeneration();
    void invalidateRowHeights() { ++m_rowHeightsGeneration; }
    // The vertical distance from the top of row `from` to the top of row `to` (`from` not after
    // `to`): the heights of the rows of expanded sections in between and the headers of the
    // sections entered.
    float distanceFromRowToRow(LGridRow from, LGridRow to);
    // The first row of an expanded section whose band ends below content y `y` (the last such
    // row when none does), or (-1, -1) when every section is collapsed.
    LGridRow rowAtContentY(float y);
    void recalculateContentSize();
    void setContentSize(CGSize size);
    float currentContentHeightUpToAndIncludingSection(int32_t section);
    float currentContentHeightForAllSections();
    void stretchColsIfNeeded();
    void stretchRowsIfNeeded();
    float xPosOfCell(const Ref<LGridCell>& cell);
    float yPosOfCell(const Ref<LGridCell>& cell);
    CGPoint originOfCell(const Ref<LGridCell>& cell);
    int32_t visibleColIndexFromActualIndex(int32_t column);
    int32_t visibleRowIndexFromActualRow(LGridRow row);

private:
    void commonInit();
    float headerHeightOfSection(int32_t section);
    void passScrollCallbackToDelegate(const Ref<UIScrollView>& scrollView, std::string_view selector,
        const std::function<void(LGridDelegate&)>& call);
    Ref<LatticeGrid> protectedGrid() { return self<LatticeGrid>(); }
    void stopObservingSize(const Ref<LGridColRowStyle>& style);
    void startObservingSize(const Ref<LGridColRowStyle>& style);

    Ref<LGridLineStyle> m_defaultGridLineStyle;
    Ref<LGridBorderStyle> m_defaultBorderStyle;
    Ref<LGridColRowStyle> m_defaultRowStyle;
    Ref<LGridColRowStyle> m_defaultColumnStyle;
    bool m_rowStylesTakePriority { false };
    bool m_keyBoardIsShowing { false };
    bool m_needsDrawArrows { true };
    Ref<LGridDataSourceDelegateManager> m_dataSourceDelegateManager;
    Ref<UIView> m_masterContent;
    Ref<LGridLayer> m_liquidLayer;
    Ref<LGridLayer> m_verticallyFrozenLayer;
    Ref<LGridLayer> m_horizontallyFrozenLayer;
    Ref<LGridLayer> m_staticLayer;
    Ref<LGridScrollIndicatorLayer> m_verticalScrollIndicatorLayer;
    Ref<LGridScrollIndicatorLayer> m_horizontalScrollIndicatorLayer;
    std::optional<float> m_initialDefaultColWidth;
    std::optional<float> m_initialDefaultRowHeight;
    // What every measured row height depends on besides the row's own style.
    struct RowHeightInputs {
        std::optional<float> size;
        std::optional<float> minimum;
        const void* line { nullptr };
        float lineWidth { 0 };
        bool operator==(const RowHeightInputs&) const = default;
    };
    RowHeightInputs m_rowHeightInputs;
    uint64_t m_rowHeightsGeneration { 1 };
    bool m_userSetDefaultColStyle { false };
    bool m_userSetDefaultRowStyle { false };
    std::vector<Ref<LGridCoord>> m_selectedGridCoords;
    bool m_holdToReorderEnabled { false };
    bool m_reordering { false };
    bool m_currentlyDragging { false };
    int32_t m_dragDecision { 3 };
    int32_t m_autoScroll { 0 };
    CGPoint m_positionToSnapDraggingCellsTo { -1, -1 };
    CGPoint m_lastTouchPosition { -1, -1 };
    Ref<LGridCoordMutable> m_draggingIndex;
    bool m_dragDecisionMade { false };
    bool m_dragDelegateChecked { false };
    bool m_userDragging { false };
    float m_cellReorderOffset { 0 };
    // -1 = none, so hovering over section 0 is scheduled at once.
    int32_t m_sectionWaitingForExpand { -1 };
    std::map<int32_t, Ref<LGridReorderArrow>> m_activeArrows;
    // Stands for the arrow cache as the target of its delayed purge.
    Ref<NSObject> m_activeArrowsPurgeTarget;
    Ref<UIImage> m_defaultArrowImage;
    Ref<LGridViewTinter> m_tinter;
    Ref<LGridMultiTouchRecognizer> m_resizeGesture;
    bool m_canResizeColumnsViaPinch { false };
    bool m_colResizing { false };
    int32_t m_colResizingIndex { 0 };
    Ref<UIImageView> m_colResizingFloater;
    CGPoint m_lastContentOffset {};
    int32_t m_panDecision { 0 };
    Ref<LGridDoubleTapGestureRecognizer> m_doubleTapToEdit;
    Ref<UITapGestureRecognizer> m_singleTapToSelect;
    Ref<UILongPressGestureRecognizer> m_holdToReorder;
    Ref<LGridCoord> m_userPrimaryCellCoord;
    CGPoint m_initialPanOffset {};
    bool m_contentOffsetStrictlyPositiveX { false };
    bool m_contentOffsetStrictlyPositiveY { false };
    std::vector<LGridRow> m_visibleRowIndexes;
    std::vector<int32_t> m_visibleColIndexes;
    bool m_poolDequeCalled { false };
    bool m_initialLoad { true };
    bool m_frozenColumnsStillNeedsValidation { false };
    bool m_frozenRowsStillNeedsValidation { false };
    uint32_t m_innerNumberOfFrozenColumns { 0 };
    uint32_t m_innerNumberOfFrozenRows { 0 };
    bool m_scrollCallbackInProgress { false };
    bool m_reloadingGrid { false };
    bool m_deferredLayout { false };
    uint32_t m_numberOfSectionsCollapsed { 0 };
    bool m_aSectionIsCollapsing { false };
    bool m_blendsDelegateRowStylesWithDefaultRowStyle { true };
    bool m_ignoresDelegateColStylesForFirstRow { false };
    Ref<LGridColourBlender> m_backgroundColorBlender;
    Ref<LGridColourBlender> m_textColorBlender;
    Ref<LGridBlockQueue> m_delayUntilReloadQueue;
    int32_t m_lastOrientation { 0 };
    int32_t m_orientationChangeCount { 0 };
    bool m_directionalLockAllowDiagonalPanning { true };
    bool m_preventSingleRowDeselection { false };
    bool m_enableBlending { false };
    Ref<LGridSectionHeaderStyle> m_defaultSectionHeaderStyle;
    int32_t m_linesOnTop { 0 };
    int32_t m_defaultPermittedDragDirection { 0 };
    int32_t m_selectionMode { 0 };
    int32_t m_singleTapEventMask { 1 };
    int32_t m_doubleTapEventMask { 3 };
    Ref<LGridCellStyle> m_defaultSelectedCellStyle;
    uint32_t m_numberOfFrozenColumns { 0 };
    uint32_t m_numberOfFrozenRows { 0 };
};
