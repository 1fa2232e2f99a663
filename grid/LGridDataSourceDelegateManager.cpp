#include "grid/LGridDataSourceDelegateManager.h"

#include "foundation/NSRunLoop.h"
#include "foundation/NSString.h"
#include "foundation/ThreadChecks.h"
#include "foundation/Value.h"
#include "graphics/UIColor.h"
#include "grid/LGridCell.h"
#include "grid/LGridCellStyle.h"
#include "grid/LGridColRowStyle.h"
#include "grid/LGridCoord.h"
#include "grid/LGridCoordMutable.h"
#include "grid/LGridDataSource.h"
#include "grid/LGridDelegate.h"
#include "grid/LGridLineStyle.h"
#include "grid/LGridSection.h"
#include "grid/LGridSectionHeaderStyle.h"
#include "grid/LatticeGrid.h"
#include "grid/LatticeGridLog.h"
#include "grid/NSValue+LGridRow.h"

#include <algorithm>

namespace {

bool s_loggedMissingDequeue = false;

Ref<UIColor> placeholderColour()
{
    return UIColor::colorWithRedGreenBlueAlpha(26 / 255.0f, 25 / 255.0f, 25 / 255.0f, 1);
}

} // namespace

LGridDataSourceDelegateManager::~LGridDataSourceDelegateManager()
{
    for (const auto& section : m_allSections) {
        if (!section)
            continue;
        cancelPreviousPerformRequestsWithTarget(section);
        section->setOwningGrid(nullptr);
    }
}

Ref<LGridDataSourceDelegateManager> LGridDataSourceDelegateManager::initWithGrid(const Ref<LatticeGrid>& grid)
{
    auto manager = make<LGridDataSourceDelegateManager>();
    manager->m_owningGrid = grid;
    return manager;
}

void LGridDataSourceDelegateManager::resetForTesting()
{
    s_loggedMissingDequeue = false;
}

Ref<LatticeGrid> LGridDataSourceDelegateManager::grid() const
{
    return m_owningGrid.lock();
}

void LGridDataSourceDelegateManager::setDataSource(const Ref<LGridDataSource>& dataSource)
{
    if (dataSource == m_dataSource.lock() && dataSource)
        return;
    m_dataSource = dataSource;
    m_respondsToDatasourceNumberOfSectionsSelector
        = dataSource && dataSource->respondsToSelector("numberOfSectionsInLatticeGrid:");
    if (auto owner = grid())
        owner->invalidateRowHeights();
}

void LGridDataSourceDelegateManager::setDelegate(const Ref<LGridDelegate>& delegate)
{
    if (delegate == m_delegate.lock() && delegate)
        return;
    if (auto owner = grid()) {
        auto object = std::dynamic_pointer_cast<NSObject>(delegate);
        if (delegate && object && delegate->respondsToSelector("viewForZoomingInScrollView:"))
            owner->setZoomDelegate(delegate.get(), object);
        else
            owner->setZoomDelegate(owner.get(), owner);
    }
    m_delegate = delegate;
    auto responds = [&](const char* selector) { return delegate && delegate->respondsToSelector(selector); };
    m_respondsToDelegateColStyleSelector = responds("latticeGrid:styleForColAtIndex:");
    m_respondsToDelegateRowStyleSelector = responds("latticeGrid:styleForRowAtIndex:inSection:");
    m_respondsToDelegateHorizontalGridLineStyleSelector
        = responds("latticeGrid:styleForHorizontalGridLineAtIndex:inSection:");
    m_respondsToDelegateVerticalGridLineStyleSelector = responds("latticeGrid:styleForVerticalGridLineAtIndex:");
    m_respondsToDelegateSectionHeaderStyleSelector = responds("latticeGrid:styleForSectionHeaderAtIndex:");
    if (auto owner = grid())
        owner->invalidateRowHeights();
}

void LGridDataSourceDelegateManager::assertDataSourceExists() const
{
    if (hasDataSource())
        return;
    auto owner = grid();
    LatticeGridLog::fatalLogMessageFromSource(
        NSString::stringWithFormat(
            "dataSource has not been set for LatticeGrid at %p", static_cast<const void*>(owner.get())),
        this);
}

// Counts

int32_t LGridDataSourceDelegateManager::totalNumberOfColumnsInGrid()
{
    if (m_totalNumberOfColumnsInGrid != kUnset)
        return m_totalNumberOfColumnsInGrid;
    auto dataSource = this->dataSource();
    auto owner = grid();
    int32_t count = dataSource && owner ? dataSource->numberOfColsForLatticeGrid(owner) : 0;
    if (count < 0)
        LatticeGridLog::fatalLogMessageFromSource(
            NSString::stringWithFormat(
                "Number of columns was returned as %ld. The number of columns must be greater than, or 0.", count),
            this);
    if (count == 0) {
        setupPropertiesForEmptyGrid();
        return 0;
    }
    m_totalNumberOfColumnsInGrid = count;
    return count;
}

int32_t LGridDataSourceDelegateManager::totalNumberOfSectionsInGrid()
{
    if (m_totalNumberOfSectionsInGrid != kUnset)
        return m_totalNumberOfSectionsInGrid;
    auto owner = grid();
    if (!owner || owner->deferredLayout())
        return m_totalNumberOfSectionsInGrid;
    if (totalNumberOfColumnsInGrid() == 0) {
        setupPropertiesForEmptyGrid();
        return 0;
    }
    int32_t count = 1;
    auto dataSource = this->dataSource();
    if (dataSource && m_respondsToDatasourceNumberOfSectionsSelector) {
        count = dataSource->numberOfSectionsInLatticeGrid(owner);
        if (count < 0)
            LatticeGridLog::fatalLogMessageFromSource(
                "numberOfSectionsInLatticeGrid must be greater than, or zero", this);
        if (count == 0) {
            setupPropertiesForEmptyGrid();
            return 0;
        }
    }
    m_totalNumberOfSectionsInGrid = count;
    if (m_allSections.size() < static_cast<size_t>(count))
        m_allSections.resize(static_cast<size_t>(count));
    return count;
}

int32_t LGridDataSourceDelegateManager::numberOfRowsInSection(int32_t section)
{
    if (section < 0)
        LatticeGridLog::fatalLogMessageFromSource(NSString::stringWithFormat("invalid section index %ld in %s", section,
                                                      "-[LGridDataSourceDelegateManager numberOfRowsInSection:]"),
            this);
    auto index = static_cast<size_t>(section);
    if (m_numberOfRowsInASection.size() <= index)
        m_numberOfRowsInASection.resize(index + 1);
    auto& entry = m_numberOfRowsInASection[index];
    if (!entry) {
        auto dataSource = this->dataSource();
        auto owner = grid();
        if (!dataSource || !owner)
            return 0;
        int32_t count = dataSource->latticeGridNumberOfRowsInSection(owner, section);
        if (count == 0) {
            m_emptySections.insert(section);
            count = 1;
        }
        if (count < 1)
            LatticeGridLog::fatalLogMessageFromSource(
                NSString::stringWithFormat("The number of rows in a section was returned as %ld. The number of rows "
                                           "in a section must be greater than 0.",
                    count),
                this);
        entry = count;
    }
    return *entry;
}

int32_t LGridDataSourceDelegateManager::totalNumberOfRowsInGrid()
{
    if (m_totalNumberOfRowsInGrid != kUnset)
        return m_totalNumberOfRowsInGrid;
    int32_t sections = totalNumberOfSectionsInGrid();
    int64_t total = 0;
    for (int32_t s = 0; s < sections; ++s)
        total += numberOfRowsInSection(s);
    if (total < 0 || total > INT32_MAX)
        LatticeGridLog::fatalLogMessageFromSource(
            "latticeGrid:numberOfRowsInSection: must return a value greater than, or zero", this);
    if (sections < 0)
        return 0;
    m_totalNumberOfRowsInGrid = static_cast<int32_t>(total);
    return m_totalNumberOfRowsInGrid;
}

uint32_t LGridDataSourceDelegateManager::absoluteIndexForGridRow(LGridRow row)
{
    int64_t index = row.index;
    for (int32_t s = 0; s < row.section; ++s)
        index += numberOfRowsInSection(s);
    return static_cast<uint32_t>(index);
}

LGridRow LGridDataSourceDelegateManager::gridRowForRowWithAbsoluteIndex(uint32_t index)
{
    int32_t sections = totalNumberOfSectionsInGrid();
    uint32_t remainder = index;
    for (int32_t s = 0; s < sections; ++s) {
        auto rows = static_cast<uint32_t>(numberOfRowsInSection(s));
        if (remainder < rows)
            return LGridRowMake(static_cast<int32_t>(remainder), s);
        remainder -= rows;
    }
    return LGridRowMake(-1, -1);
}

void LGridDataSourceDelegateManager::setupPropertiesForEmptyGrid()
{
    m_totalNumberOfColumnsInGrid = 0;
    m_totalNumberOfSectionsInGrid = 0;
    m_totalNumberOfRowsInGrid = 0;
    m_allSections.clear();
}

// Sections and cells

Ref<LGridSection> LGridDataSourceDelegateManager::sectionAtIndex(int32_t index)
{
    if (index < 0 || index >= totalNumberOfSectionsInGrid())
        return nullptr;
    auto position = static_cast<size_t>(index);
    if (m_allSections.size() <= position)
        m_allSections.resize(position + 1);
    auto& section = m_allSections[position];
    if (!section)
        section = LGridSection::initWithGridWithIndex(grid(), index);
    return section;
}

Ref<LGridCell> LGridDataSourceDelegateManager::loadAndRetrieveCellAtColAtRow(int32_t column, LGridRow row)
{
    assertDataSourceExists();
    auto owner = grid();
    auto section = sectionAtIndex(row.section);
    if (!section || !owner)
        return nullptr;
    auto cell = section->visibleCellAtColAtRowIndex(column, row.index);
    Ref<LGridCoord> coord;
    if (cell && cell->gridCoord()) {
        coord = cell->gridCoord();
        coord->mutateColumnTo(column);
        coord->mutateRowTo(row);
    } else {
        coord = LGridCoord::initWithColumnWithRow(column, row);
    }
    if (cell) {
        cell->setGridCoord(coord);
        return cell;
    }
    if (!sectionIsEmpty(row.section)) {
        owner->setPoolDequeCalled(false);
        cell = dataSource()->latticeGridCellForGridCoord(owner, coord);
        if (!owner->poolDequeCalled() && !s_loggedMissingDequeue) {
            s_loggedMissingDequeue = true;
            LatticeGridLog::logMessageFromSource("LatticeGrid's datasource should call "
                                                 "dequeueReusableCellWithIdentifier: for efficient grid-cell pooling "
                                                 "(from latticeGrid:cellForGridCoord:)",
                this);
        }
    }
    if (!cell) {
        cell = owner->dequeueReusableCellWithIdentifier(std::string("NIL"));
        if (!cell)
            cell = LGridCell::initWithReuseIdentifier("NIL");
        auto children = cell->subviews();
        for (const auto& child : children)
            child->removeFromSuperview();
        cell->setBackgroundColor(placeholderColour());
        cell->setUserInteractionEnabled(false);
    } else if (cell->reuseIdentifier().empty()) {
        LatticeGridLog::fatalLogMessageFromSource("A cell must have a reuse identifier. Please use the "
                                                  "initWithReuseIdentifier: method to initialize your cells.",
            this);
    }
    cell->setGridCoord(coord);
    section->addCell(cell);
    owner->addCellToAppropriateLayer(cell);
    cell->setCollapsed(section->isCollapsed());
    return cell;
}

// Styles

std::vector<Ref<LGridCellStyle>> LGridDataSourceDelegateManager::unselectedStyleHierarchyForCell(
    const Ref<LGridCell>& cell)
{
    auto owner = grid();
    if (!owner || !cell || !cell->gridCoord())
        return {};
    Ref<LGridColRowStyle> rowStyle = styleOfCellAtRow(cell->gridCoord()->row());
    Ref<LGridColRowStyle> colStyle = styleOfCellAtCol(cell->gridCoord()->column());
    Ref<LGridCellStyle> defaultRow = owner->defaultRowStyle();
    Ref<LGridCellStyle> defaultCol = owner->defaultColumnStyle();
    Ref<LGridCellStyle> own = cell->currentStyle();
    if (!owner->blendsDelegateRowStylesWithDefaultRowStyle() && rowStyle
        && (rowStyle->backgroundColor() || rowStyle->textColor()) && defaultRow) {
        auto copy = defaultRow->copy();
        if (rowStyle->backgroundColor())
            copy->setBackgroundColor(nullptr);
        if (rowStyle->textColor())
            copy->setTextColor(nullptr);
        defaultRow = copy;
    }
    if (owner->ignoresDelegateColStylesForFirstRow() && cell->gridCoord()->hasRow(LGridRowMake(0, 0)))
        colStyle = LGridColRowStyle::init();
    std::vector<Ref<LGridCellStyle>> order;
    if (owner->rowStylesTakePriority())
        order = { defaultCol, defaultRow, colStyle, rowStyle, own };
    else
        order = { defaultRow, defaultCol, rowStyle, colStyle, own };
    std::vector<Ref<LGridCellStyle>> result;
    result.reserve(5);
    for (auto& entry : order) {
        if (entry)
            result.push_back(entry);
    }
    return result;
}

Ref<LGridCellStyle> LGridDataSourceDelegateManager::styleForCell(const Ref<LGridCell>& cell)
{
    auto owner = grid();
    if (!owner || !cell)
        return nullptr;
    return owner->blendedStyleFromHierarchyCellIsSelected(unselectedStyleHierarchyForCell(cell), cell->selected());
}

Ref<LGridColRowStyle> LGridDataSourceDelegateManager::styleOfCellAtColAddToDictionary(int32_t column, bool add)
{
    if (column < 0 || column >= totalNumberOfColumnsInGrid())
        return nullptr;
    auto cached = m_colStyles.find(column);
    if (cached != m_colStyles.end())
        return cached->second;
    auto owner = grid();
    auto delegate = this->delegate();
    if (delegate && m_respondsToDelegateColStyleSelector) {
        auto style = delegate->latticeGridStyleForColAtIndex(owner, column);
        if (!style)
            style = LGridColRowStyle::init();
        m_colStyles[column] = style;
        return style;
    }
    auto copy = std::static_pointer_cast<LGridColRowStyle>(owner->defaultColumnStyle()->copy());
    if (add)
        m_colStyles[column] = copy;
    return copy;
}

Ref<LGridColRowStyle> LGridDataSourceDelegateManager::styleOfCellAtRowKeepingIt(LGridRow row, bool keep)
{
    bool empty = sectionIsEmpty(row.section);
    auto delegate = this->delegate();
    bool asks = delegate && m_respondsToDelegateRowStyleSelector;
    auto key = std::make_pair(row.section, row.index);
    if (asks || empty) {
        auto cached = m_rowStyles.find(key);
        if (cached != m_rowStyles.end())
            return cached->second;
    }
    if (empty) {
        // The placeholder row takes no height: its minimum is 0 as well, or the grid's minimum
        // row height would apply to it.
        auto style = LGridColRowStyle::styleWithSizeWithCellStyle(0.0f, nullptr);
        style->setMinimumSize(0.0f);
        m_rowStyles[key] = style;
        return style;
    }
    auto owner = grid();
    if (asks) {
        auto style = delegate->latticeGridStyleForRowAtIndexInSection(owner, row.index, row.section);
        if (!style)
            style = LGridColRowStyle::init();
        if (keep)
            m_rowStyles[key] = style;
        return style;
    }
    return owner ? owner->defaultRowStyle() : nullptr;
}

void LGridDataSourceDelegateManager::forgetRowStyle(LGridRow row)
{
    // The placeholder style of an empty section is made here, never asked of the delegate.
    if (!sectionIsEmpty(row.section))
        m_rowStyles.erase(std::make_pair(row.section, row.index));
}

Ref<LGridLineStyle> LGridDataSourceDelegateManager::cachedLineStyle(
    LineStyleCache& cache, int32_t index, const std::function<Ref<LGridLineStyle>()>& ask)
{
    auto owner = grid();
    auto found = cache.find(index);
    if (found != cache.end() && found->second != owner->defaultGridLineStyle())
        return found->second;
    Ref<LGridLineStyle> style = ask ? ask() : nullptr;
    if (!style)
        style = owner->defaultGridLineStyle();
    if (!style)
        LatticeGridLog::fatalLogMessageFromSource("gridLineStyle is nil!", this);
    if (style != owner->defaultGridLineStyle())
        cache[index] = style;
    else if (found != cache.end())
        cache.erase(found);
    return style;
}

Ref<LGridLineStyle> LGridDataSourceDelegateManager::gridLineStyleHorizontalAtIndexInSection(
    int32_t index, int32_t section)
{
    int32_t sections = totalNumberOfSectionsInGrid();
    if (index < 0 || section < 0 || sectionIsEmpty(section)
        || (section == sections - 1 && index >= numberOfRowsInSection(section) - 1))
        return LGridLineStyle::initWithWidthWithColor(0, nullptr);
    auto positionS = static_cast<size_t>(section);
    if (m_horizontalGridLineStylesGroupedBySection.size() <= positionS)
        m_horizontalGridLineStylesGroupedBySection.resize(positionS + 1);
    auto delegate = this->delegate();
    auto owner = grid();
    return cachedLineStyle(m_horizontalGridLineStylesGroupedBySection[positionS], index,
        delegate && m_respondsToDelegateHorizontalGridLineStyleSelector ? std::function<Ref<LGridLineStyle>()>(
            [&] { return delegate->latticeGridStyleForHorizontalGridLineAtIndexInSection(owner, index, section); })
                                                                        : nullptr);
}

Ref<LGridLineStyle> LGridDataSourceDelegateManager::gridLineStyleVerticalAtIndex(int32_t index)
{
    if (index < 0 || index >= totalNumberOfColumnsInGrid() - 1)
        return LGridLineStyle::initWithWidthWithColor(0, nullptr);
    auto delegate = this->delegate();
    auto owner = grid();
    return cachedLineStyle(m_verticalGridLineStyles, index,
        delegate && m_respondsToDelegateVerticalGridLineStyleSelector ? std::function<Ref<LGridLineStyle>()>(
            [&] { return delegate->latticeGridStyleForVerticalGridLineAtIndex(owner, index); })
                                                                      : nullptr);
}

float LGridDataSourceDelegateManager::gridLineSizeHorizontalAtIndexInSection(int32_t index, int32_t section)
{
    return gridLineStyleHorizontalAtIndexInSection(index, section)->width();
}

float LGridDataSourceDelegateManager::gridLineSizeVerticalAtIndex(int32_t index)
{
    return gridLineStyleVerticalAtIndex(index)->width();
}

Ref<LGridSectionHeaderStyle> LGridDataSourceDelegateManager::sectionHeaderStyleAtIndex(int32_t index)
{
    int32_t sections = totalNumberOfSectionsInGrid();
    if (index < 0 || index > sections - 1)
        return LGridSectionHeaderStyle::initWithHeightWithBackgroundColor(
            0, UIColor::colorWithRedGreenBlueAlpha(206 / 255.0f, 111 / 255.0f, 62 / 255.0f, 1));
    Ref<LGridSectionHeaderStyle> style;
    auto cached = m_headerStyles.find(index);
    if (cached != m_headerStyles.end())
        style = cached->second;
    auto delegate = this->delegate();
    auto owner = grid();
    if (!style && delegate && m_respondsToDelegateSectionHeaderStyleSelector) {
        style = delegate->latticeGridStyleForSectionHeaderAtIndex(owner, index);
        if (style)
            m_headerStyles[index] = style;
    }
    if (!style) {
        style = owner->defaultSectionHeaderStyle();
        // A grid of one section shows no header band. The grid's default style is handed out
        // as a hidden copy so that it stays as the client set it for later reloads.
        if (style && (sections == 1 || style->isHidden())) {
            auto hidden = LGridSectionHeaderStyle::initWithHeightWithBackgroundColorWithHidden(
                0, style->backgroundColor(), true);
            hidden->setTextColor(style->textColor());
            hidden->setFont(style->font());
            style = hidden;
        }
    }
    if (style && style->isHidden())
        style->setHeight(0);
    return style;
}

// Section header content

std::string LGridDataSourceDelegateManager::defaultTitleForSectionIndex(int32_t index)
{
    return NSString::stringWithFormat("Section %ld", index + 1);
}

std::string LGridDataSourceDelegateManager::titleFor(std::map<int32_t, std::string>& cache, int32_t index, bool frozen)
{
    auto cached = cache.find(index);
    if (cached != cache.end())
        return cached->second;
    auto dataSource = this->dataSource();
    auto owner = grid();
    const char* selector
        = frozen ? "latticeGrid:titleForFrozenHeaderInSection:" : "latticeGrid:titleForHeaderInSection:";
    if (dataSource && dataSource->respondsToSelector(selector)) {
        auto title = frozen ? dataSource->latticeGridTitleForFrozenHeaderInSection(owner, index)
                            : dataSource->latticeGridTitleForHeaderInSection(owner, index);
        if (title) {
            cache[index] = *title;
            return *title;
        }
    }
    return defaultTitleForSectionIndex(index);
}

std::string LGridDataSourceDelegateManager::sectionTitleForLiquidSectionAtIndex(int32_t index)
{
    return titleFor(m_liquidSectionHeaderTitles, index, false);
}

std::string LGridDataSourceDelegateManager::sectionTitleForFrozenSectionAtIndex(int32_t index)
{
    return titleFor(m_frozenSectionHeaderTitles, index, true);
}

Ref<UIView> LGridDataSourceDelegateManager::viewFor(
    std::map<int32_t, Ref<UIView>>& cache, int32_t index, CGRect frame, bool frozen)
{
    auto cached = cache.find(index);
    if (cached != cache.end())
        return cached->second;
    auto dataSource = this->dataSource();
    auto owner = grid();
    const char* selector
        = frozen ? "latticeGrid:viewForFrozenHeaderInSection:inFrame:" : "latticeGrid:viewForHeaderInSection:inFrame:";
    if (!dataSource || !dataSource->respondsToSelector(selector))
        return nullptr;
    CGRect local = CGRectMake(0, 0, frame.size.width, frame.size.height);
    auto view = frozen ? dataSource->latticeGridViewForFrozenHeaderInSectionInFrame(owner, index, local)
                       : dataSource->latticeGridViewForHeaderInSectionInFrame(owner, index, local);
    if (view)
        cache[index] = view;
    return view;
}

Ref<UIView> LGridDataSourceDelegateManager::sectionViewForLiquidSectionAtIndexInFrame(int32_t index, CGRect frame)
{
    return viewFor(m_liquidSectionHeaderViews, index, frame, false);
}

Ref<UIView> LGridDataSourceDelegateManager::sectionViewForFrozenSectionAtIndexInFrame(int32_t index, CGRect frame)
{
    return viewFor(m_frozenSectionHeaderViews, index, frame, true);
}

// Reload and redraw

void LGridDataSourceDelegateManager::prepareForReloadFlushingStylesRefreshDatasource(bool flushStyles, bool refresh)
{
    if (refresh) {
        for (const auto& section : m_allSections) {
            if (section)
                section->prepareForReload();
        }
        m_liquidSectionHeaderTitles.clear();
        m_frozenSectionHeaderTitles.clear();
        for (auto* views : { &m_liquidSectionHeaderViews, &m_frozenSectionHeaderViews }) {
            for (auto& [index, view] : *views)
                view->removeFromSuperview();
            views->clear();
        }
        m_totalNumberOfColumnsInGrid = kUnset;
        m_totalNumberOfSectionsInGrid = kUnset;
        m_totalNumberOfRowsInGrid = kUnset;
        m_numberOfRowsInASection.clear();
        m_emptySections.clear();
    }
    if (flushStyles) {
        if (auto owner = grid())
            owner->invalidateRowHeights();
        m_colStyles.clear();
        m_rowStyles.clear();
        m_horizontalGridLineStylesGroupedBySection.clear();
        m_verticalGridLineStyles.clear();
        m_headerStyles.clear();
    }
}

void LGridDataSourceDelegateManager::redrawRowsForceDataSourceCheck(const Value& rows, bool force)
{
    auto owner = grid();
    if (!owner)
        return;
    for (size_t i = 0; i < rows.count(); ++i) {
        auto row = NSValue_LGridRow::rowValue(rows[i]);
        if (!row) {
            LatticeGridLog::logMessageFromSource(
                NSString::stringWithFormat("`rows` cannot contain an %@ object in method %@. This method can only "
                                           "take an NSArray of NSValues",
                    Value(LatticeGridLog::classNameOfValue(rows[i])), Value("redrawRows:forceDataSourceCheck:")),
                this);
            continue;
        }
        auto shown = owner->visibleRows();
        bool isShown = std::find(shown.begin(), shown.end(), *row) != shown.end();
        m_rowStyles.erase(std::make_pair(row->section, row->index));
        if (auto section = sectionAtIndex(row->section))
            section->remeasureRowAtIndex(row->index);
        if (force && isShown) {
            if (auto section = sectionAtIndex(row->section))
                section->removeRowRemoveFromView(*row, true);
        }
        for (int32_t column : owner->visibleColumnIndexes())
            reloadOrRedrawCellAtRowColIndexNumberCheckDataSource(*row, column, force);
    }
}

void LGridDataSourceDelegateManager::redrawColsAtIndicesForceDataSourceCheck(const Value& columns, bool force)
{
    auto owner = grid();
    if (!owner)
        return;
    for (size_t i = 0; i < columns.count(); ++i) {
        const Value& entry = columns[i];
        if (!entry.isNumber()) {
            LatticeGridLog::logMessageFromSource(
                NSString::stringWithFormat("`colIndices` cannot contain an %@ object in method %@. This method can "
                                           "only take an NSArray of NSNumbers",
                    Value(LatticeGridLog::classNameOfValue(entry)), Value("redrawColsAtIndices:forceDataSourceCheck:")),
                this);
            continue;
        }
        int32_t column = entry.intValue();
        auto shown = owner->visibleColumnIndexes();
        bool isShown = std::find(shown.begin(), shown.end(), column) != shown.end();
        m_colStyles.erase(column);
        if (force && isShown) {
            for (const auto& section : m_allSections) {
                if (section)
                    section->removeColAtIndexRemoveFromView(column, true);
            }
        }
        for (LGridRow row : owner->visibleRows())
            reloadOrRedrawCellAtRowColIndexNumberCheckDataSource(row, column, force);
    }
}

void LGridDataSourceDelegateManager::reloadOrRedrawCellAtRowColIndexNumberCheckDataSource(
    LGridRow row, int32_t column, bool checkDataSource)
{
    auto owner = grid();
    if (!owner)
        return;
    auto cell = owner->visibleCellAtColAndRow(column, row);
    if (!cell)
        return;
    if (checkDataSource) {
        CGPoint origin = owner->originOfCell(cell);
        owner->prepareNewCellAtPointAtColumnAndRow(cell, origin, column, row);
        return;
    }
    UIView::animateWithDuration(0.3, [this, cell, owner] {
        if (cell->selected()) {
            auto hierarchy = unselectedStyleHierarchyForCell(cell);
            if (!hierarchy.empty())
                hierarchy.pop_back();
            cell->applyStyle(owner->blendedStyleFromHierarchyCellIsSelected(hierarchy, true));
            cell->setSelected(false);
            cell->setSelectedAnimatedWithSelectedStyleNeedsDelegateCallBacksFor(
                true, false, owner->defaultSelectedCellStyle(), 2);
        } else {
            cell->applyStyle(styleForCell(cell));
        }
    });
}

void LGridDataSourceDelegateManager::trimSectionsOfNonVisibleCells()
{
    auto owner = grid();
    if (!owner)
        return;
    auto rows = owner->visibleRows();
    auto columns = owner->visibleColumnIndexes();
    for (const auto& section : m_allSections) {
        if (!section)
            continue;
        section->discardAllRowsExcept(rows);
        section->discardAllColumnsExcept(columns);
    }
    // Row styles are kept for the loaded rows only.
    std::erase_if(m_rowStyles, [&](const auto& entry) {
        LGridRow row = LGridRowMake(entry.first.second, entry.first.first);
        return !sectionIsEmpty(row.section) && std::find(rows.begin(), rows.end(), row) == rows.end();
    });
}

// Dragged rows and columns

void LGridDataSourceDelegateManager::exchangeRowStyleAtRowWithRowStyleAtRow(LGridRow a, LGridRow b)
{
    if (m_rowStyles.empty())
        return;
    auto styleA = styleOfCellAtRow(a);
    auto styleB = styleOfCellAtRow(b);
    m_rowStyles[std::make_pair(b.section, b.index)] = styleA;
    m_rowStyles[std::make_pair(a.section, a.index)] = styleB;
    for (LGridRow row : { a, b }) {
        if (auto section = sectionAtIndex(row.section))
            section->remeasureRowAtIndex(row.index);
    }
}

void LGridDataSourceDelegateManager::switchColStyleAtIndexWithColStyleAtIndex(int32_t a, int32_t b)
{
    if (m_colStyles.empty())
        return;
    auto styleA = styleOfCellAtCol(a);
    auto styleB = styleOfCellAtCol(b);
    auto copyOf = [](const Ref<LGridColRowStyle>& style) {
        return style ? std::static_pointer_cast<LGridColRowStyle>(style->copy()) : nullptr;
    };
    m_colStyles[b] = copyOf(styleA);
    m_colStyles[a] = copyOf(styleB);
}

void LGridDataSourceDelegateManager::switchDraggingColWithColAtIndexWithNewOriginOfColToSwitchWithFromCurrentState(
    int32_t target, float originX, bool fromCurrentState)
{
    auto owner = grid();
    if (!owner)
        return;
    for (int32_t s = 0; s < static_cast<int32_t>(m_allSections.size()); ++s) {
        if (m_allSections[static_cast<size_t>(s)] && !sectionIsEmpty(s))
            m_allSections[static_cast<size_t>(s)]
                ->switchDragginColWithColAtIndexWithNewOriginOfColToSwitchWithFromCurrentState(
                    target, originX, fromCurrentState);
    }
    int32_t dragged = owner->draggingIndex()->column();
    for (const auto& coord : owner->selectedCellGridCoordsPrivate()) {
        if (coord->column() == dragged)
            coord->mutateColumnTo(target);
        else if (coord->column() == target)
            coord->mutateColumnTo(dragged);
    }
}
