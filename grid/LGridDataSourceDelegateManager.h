#pragma once

#include "foundation/NSObject.h"
#include "graphics/CGGeometry.h"
#include "grid/GridForward.h"
#include "grid/LGridRow.h"

#include <functional>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <vector>

class UIView;

// The one bridge between a grid and its data source and delegate: it keeps both (weakly),
// records which optional style operations the delegate implements, caches counts, section
// objects, styles, titles and header views until a full reload, loads the cell of a position
// (placeholders where the data source gives none), resolves a cell's style hierarchy, and
// redraws given rows and columns. Main thread only.
class LGridDataSourceDelegateManager : public NSObject {
    VX_OBJECT(LGridDataSourceDelegateManager, NSObject)
public:
    explicit LGridDataSourceDelegateManager(Passkey key)
        : NSObject(key)
    {
    }
    ~LGridDataSourceDelegateManager() override;
    static Ref<LGridDataSourceDelegateManager> initWithGrid(const Ref<LatticeGrid>& grid);

    Ref<LGridDataSource> dataSource() const { return m_dataSource.lock(); }
    void setDataSource(const Ref<LGridDataSource>& dataSource);
    Ref<LGridDelegate> delegate() const { return m_delegate.lock(); }
    void setDelegate(const Ref<LGridDelegate>& delegate);
    Ref<LatticeGrid> owningGrid() const { return m_owningGrid.lock(); }
    bool hasDataSource() const { return !m_dataSource.expired(); }
    bool hasDelegate() const { return !m_delegate.expired(); }
    void assertDataSourceExists() const;

    // Counts.
    int32_t totalNumberOfColumnsInGrid();
    int32_t totalNumberOfSectionsInGrid();
    int32_t totalNumberOfRowsInGrid();
    int32_t numberOfRowsInSection(int32_t section);
    int32_t totalNumberOfCellsInGrid() { return totalNumberOfColumnsInGrid() * totalNumberOfRowsInGrid(); }
    uint32_t absoluteIndexForGridRow(LGridRow row);
    // (-1, -1) for an index past the last row.
    LGridRow gridRowForRowWithAbsoluteIndex(uint32_t index);
    void setupPropertiesForEmptyGrid();
    bool sectionIsEmpty(int32_t section) const { return m_emptySections.count(section) != 0; }

    // Sections and cells.
    Ref<LGridSection> sectionAtIndex(int32_t index);
    Ref<LGridCell> loadAndRetrieveCellAtColAtRow(int32_t column, LGridRow row);

    // Styles.
    std::vector<Ref<LGridCellStyle>> unselectedStyleHierarchyForCell(const Ref<LGridCell>& cell);
    Ref<LGridCellStyle> styleForCell(const Ref<LGridCell>& cell);
    Ref<LGridColRowStyle> styleOfCellAtCol(int32_t column) { return styleOfCellAtColAddToDictionary(column, false); }
    Ref<LGridColRowStyle> styleOfCellAtColAddToDictionary(int32_t column, bool addToDictionary);
    // A row's style, asked of the delegate once and kept while the row is loaded (rows that
    // leave the visible window drop theirs, so a grid keeps styles for its window only).
    Ref<LGridColRowStyle> styleOfCellAtRow(LGridRow row) { return styleOfCellAtRowKeepingIt(row, true); }
    // With `keep` false a style not already kept is asked for and handed out without keeping it.
    Ref<LGridColRowStyle> styleOfCellAtRowKeepingIt(LGridRow row, bool keep);
    void forgetRowStyle(LGridRow row);
    Ref<LGridLineStyle> gridLineStyleHorizontalAtIndexInSection(int32_t index, int32_t section);
    Ref<LGridLineStyle> gridLineStyleVerticalAtIndex(int32_t index);
    float gridLineSizeHorizontalAtIndexInSection(int32_t index, int32_t section);
    float gridLineSizeVerticalAtIndex(int32_t index);
    Ref<LGridSectionHeaderStyle> sectionHeaderStyleAtIndex(int32_t index);

    // Section header content.
    std::string sectionTitleForLiquidSectionAtIndex(int32_t index);
    std::string sectionTitleForFrozenSectionAtIndex(int32_t index);
    Ref<UIView> sectionViewForLiquidSectionAtIndexInFrame(int32_t index, CGRect frame);
    Ref<UIView> sectionViewForFrozenSectionAtIndexInFrame(int32_t index, CGRect frame);
    static std::string defaultTitleForSectionIndex(int32_t index);

    // Reload and redraw.
    void prepareForReloadFlushingStylesRefreshDatasource(bool flushStyles, bool refreshDatasource);
    // Entries that are not rows (columns) are logged and skipped.
    void redrawRowsForceDataSourceCheck(const Value& rows, bool force);
    void redrawColsAtIndicesForceDataSourceCheck(const Value& columns, bool force);
    void reloadOrRedrawCellAtRowColIndexNumberCheckDataSource(LGridRow row, int32_t column, bool checkDataSource);
    void trimSectionsOfNonVisibleCells();
    int32_t countStoredRowStyles() const { return static_cast<int32_t>(m_rowStyles.size()); }

    // Keeping the caches in step with a dragged row or column.
    void exchangeRowStyleAtRowWithRowStyleAtRow(LGridRow a, LGridRow b);
    void switchColStyleAtIndexWithColStyleAtIndex(int32_t a, int32_t b);
    // Moves column `target`'s cells to `originX` in every section, exchanging them with the
    // dragged column's, and moves the selection with the cells.
    void switchDraggingColWithColAtIndexWithNewOriginOfColToSwitchWithFromCurrentState(
        int32_t target, float originX, bool fromCurrentState);

    // Test-only: forgets that the missing-dequeue hint was logged.
    static void resetForTesting();

private:
    static constexpr int32_t kUnset = -1;
    Ref<LatticeGrid> grid() const;
    std::string titleFor(std::map<int32_t, std::string>& cache, int32_t index, bool frozen);
    Ref<UIView> viewFor(std::map<int32_t, Ref<UIView>>& cache, int32_t index, CGRect frame, bool frozen);
    // Line styles other than the grid's default, by index. The default is never kept: it is
    // asked again on each request, so a grid of a million rows with default lines keeps nothing
    // per row.
    using LineStyleCache = std::map<int32_t, Ref<LGridLineStyle>>;
    Ref<LGridLineStyle> cachedLineStyle(
        LineStyleCache& cache, int32_t index, const std::function<Ref<LGridLineStyle>()>& ask);

    int32_t m_totalNumberOfColumnsInGrid { kUnset };
    int32_t m_totalNumberOfSectionsInGrid { kUnset };
    int32_t m_totalNumberOfRowsInGrid { kUnset };
    std::vector<std::optional<int32_t>> m_numberOfRowsInASection;
    std::vector<Ref<LGridSection>> m_allSections;
    std::map<int32_t, Ref<LGridColRowStyle>> m_colStyles;
    std::map<std::pair<int32_t, int32_t>, Ref<LGridColRowStyle>> m_rowStyles;
    std::set<int32_t> m_emptySections;
    std::vector<LineStyleCache> m_horizontalGridLineStylesGroupedBySection;
    LineStyleCache m_verticalGridLineStyles;
    std::map<int32_t, Ref<LGridSectionHeaderStyle>> m_headerStyles;
    std::map<int32_t, std::string> m_liquidSectionHeaderTitles;
    std::map<int32_t, std::string> m_frozenSectionHeaderTitles;
    std::map<int32_t, Ref<UIView>> m_liquidSectionHeaderViews;
    std::map<int32_t, Ref<UIView>> m_frozenSectionHeaderViews;
    bool m_respondsToDelegateColStyleSelector { false };
    bool m_respondsToDelegateRowStyleSelector { false };
    bool m_respondsToDelegateVerticalGridLineStyleSelector { false };
    bool m_respondsToDelegateHorizontalGridLineStyleSelector { false };
    bool m_respondsToDelegateSectionHeaderStyleSelector { false };
    bool m_respondsToDatasourceNumberOfSectionsSelector { false };
    Weak<LGridDataSource> m_dataSource;
    Weak<LGridDelegate> m_delegate;
    Weak<LatticeGrid> m_owningGrid;
};
