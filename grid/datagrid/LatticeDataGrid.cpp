#include "grid/datagrid/LatticeDataGrid.h"

#include "foundation/NSException.h"
#include "foundation/NSString.h"
#include "graphics/CALayer.h"
#include "graphics/UIColor.h"
#include "grid/LGridBorderStyle.h"
#include "grid/LGridCell.h"
#include "grid/LGridColRowStyle.h"
#include "grid/LGridCoord.h"
#include "grid/LGridLineStyle.h"
#include "grid/LGridSectionHeaderStyle.h"
#include "grid/LatticeGrid.h"
#include "grid/LatticeGridLog.h"
#include "grid/NSValue+LGridRow.h"
#include "grid/datagrid/LDataGridCell.h"
#include "grid/datagrid/LDataGridCellStyle.h"
#include "grid/datagrid/LDataGridColumn.h"
#include "grid/datagrid/LDataGridCoord.h"
#include "grid/datagrid/LDataGridDataSource.h"
#include "grid/datagrid/LDataGridDelegate.h"
#include "grid/datagrid/LDataGridLineStyle.h"
#include "grid/datagrid/LDataGridRow.h"
#include "grid/datagrid/LDataGridSectionHeaderStyle.h"
#include "grid/datagrid/LDataGridTheme.h"

#include <algorithm>

namespace {

CGRect insetRect(CGRect rect, UIEdgeInsets inset)
{
    return CGRectMake(rect.origin.x + inset.left, rect.origin.y + inset.top,
        rect.size.width - (inset.left + inset.right), rect.size.height - (inset.top + inset.bottom));
}

} // namespace

LatticeDataGrid::~LatticeDataGrid()
{
    if (m_internalGrid)
        m_internalGrid->setDefaultSectionHeaderStyle(nullptr);
}

Ref<LatticeDataGrid> LatticeDataGrid::initWithFrame(CGRect frame)
{
    auto grid = makeScrollView<LatticeDataGrid>(frame);
    grid->m_internalGrid = LatticeGrid::initWithFrame(CGRectMake(0, 0, frame.size.width, frame.size.height));
    grid->commonInit();
    return grid;
}

Ref<LatticeDataGrid> LatticeDataGrid::initWithColumns(const std::vector<Ref<LDataGridColumn>>& columns)
{
    auto grid = init();
    grid->setColumns(columns);
    return grid;
}

std::string LatticeDataGrid::getInfo()
{
    return LatticeGrid::getInfo();
}

void LatticeDataGrid::commonInit()
{
    if (m_internalGrid->superview())
        return;
    auto self = protectedGrid();
    UIView::addSubview(m_internalGrid);
    UIScrollView::setScrollEnabled(false);
    m_cols.clear();
    setNumberOfHeaderRows(1);
    m_internalGrid->setDelegate(self);
    m_internalGrid->setNumberOfFrozenRows(static_cast<uint32_t>(m_numberOfHeaderRows));
    m_internalGrid->setSelectionMode(LGridSelectionModeSingleRow);
    m_internalGrid->defaultRowStyle()->setSize(44.0f);

    m_internalGrid->setRowStylesTakePriority(false);
    m_internalGrid->setEnableBlending(true);
    m_internalGrid->defaultBorderStyle()->setWidth(0);
    m_internalGrid->setPreventSingleRowDeselection(true);
    m_internalGrid->setBlendsDelegateRowStylesWithDefaultRowStyle(false);
    m_internalGrid->setIgnoresDelegateColStylesForFirstRow(true);
    m_internalGrid->setTintColor(UIColor::blackColor());
    m_internalGrid->setDirectionalLockAllowDiagonalPanning(false);

    auto grey = UIColor::grayColor()->CGColor();
    m_internalGrid->layer()->setBorderColor(grey);
    m_internalGrid->layer()->setBorderWidth(1.0f);
    m_internalGrid->setBackgroundColor(UIColor::clearColor());
    layer()->setBorderColor(grey);
    layer()->setBorderWidth(1.0f);
    m_internalGrid->setBackgroundColor(UIColor::clearColor());

    m_internalGrid->setCanResizeColumnsViaPinch(true);
    setSingleTapEventMask(1);
    setDoubleTapEventMask(2);

    setDefaultCellStyleForRows(LDataGridTheme::defaultRowStyle());
    setDefaultCellStyleForAlternateRows(LDataGridTheme::defaultAlternatingRowStyle());
    setDefaultCellStyleForSelectedRows(LDataGridTheme::defaultSelectedCellStyle());
    setDefaultCellStyleForHeaderRow(LDataGridTheme::defaultHeaderRowStyle());
    setDefaultSectionHeaderStyle(LDataGridTheme::defaultSectionHeaderStyle());
    setDefaultGridLineStyle(LDataGridTheme::defaultGridLineStyle());

    setDefaultHeaderRowHeight(44.0f);
    setDefaultColWidth(160.0f);
}

void LatticeDataGrid::abortWithMsg(const std::string& message) const
{
    LatticeGridLog::fatalLogMessageFromSource(message, this);
}

// Data source and delegate

void LatticeDataGrid::setDataSource(const Ref<LDataGridDataSource>& dataSource)
{
    m_externalDataSource = dataSource;
    m_internalGrid->setDataSource(protectedGrid());
}

void LatticeDataGrid::setDelegate(const Ref<LDataGridDelegate>& delegate)
{
    m_externalDelegate = delegate;
    // Set again so the engine probes the data grid's answers afresh.
    m_internalGrid->setDelegate(nullptr);
    m_internalGrid->setDelegate(protectedGrid());
}

// Columns

void LatticeDataGrid::addColumn(const Ref<LDataGridColumn>& column)
{
    if (!column) {
        abortWithMsg(NSString::stringWithFormat("col in %s must be of type %@, but is of type %@.",
            "-[LatticeDataGrid addColumn:]", NSStringFromClass(LDataGridColumn::classObject()), "nil"));
    }
    if (column->displayIndex() == LDataGridColumn::kDisplayIndexNotSet)
        column->setDisplayIndex(static_cast<int32_t>(m_cols.size()));
    m_cols.push_back(column);
    column->setOwningGrid(protectedGrid());
}

void LatticeDataGrid::addColumnsFromArray(const std::optional<std::vector<Ref<LDataGridColumn>>>& columns)
{
    if (!columns)
        abortWithMsg(NSString::stringWithFormat("Cannot add nil in %s", "-[LatticeDataGrid addColumnsFromArray:]"));
    for (const auto& column : *columns)
        addColumn(column);
}

void LatticeDataGrid::setColumns(const std::optional<std::vector<Ref<LDataGridColumn>>>& columns)
{
    if (!columns)
        abortWithMsg(NSString::stringWithFormat("Cannot add nil in %s", "-[LatticeDataGrid setColumns:]"));
    removeAllColumns();
    addColumnsFromArray(columns);
}

void LatticeDataGrid::removeColumnAtIndex(int32_t index)
{
    const char* method = "-[LatticeDataGrid removeColumnAtIndex:]";
    if (index < 0)
        abortWithMsg(NSString::stringWithFormat(
            "Cannot remove col at index %ld in method %s", static_cast<long>(index), method));
    if (static_cast<size_t>(index) >= m_cols.size()) {
        abortWithMsg(NSString::stringWithFormat("Cannot remove col at index %ld in method %s as number of column  "
                                                "items is %lu",
            static_cast<long>(index), method, static_cast<unsigned long>(m_cols.size())));
    }
    m_cols.erase(m_cols.begin() + index);
    reload();
}

void LatticeDataGrid::removeColumn(const Ref<LDataGridColumn>& column)
{
    std::erase_if(m_cols, [&](const Ref<LDataGridColumn>& entry) { return entry->isEqual(column.get()); });
    reload();
}

Ref<LDataGridColumn> LatticeDataGrid::columnAtIndex(int32_t index) const
{
    if (m_cols.empty())
        return nullptr;
    if (index < 0 || static_cast<size_t>(index) >= m_cols.size()) {
        abortWithMsg(NSString::stringWithFormat(
            "colIndex of %ld in %s is out of bounds.", static_cast<long>(index), "-[LatticeDataGrid columnAtIndex:]"));
    }
    return m_cols[static_cast<size_t>(index)];
}

std::optional<std::string> LatticeDataGrid::titleForColAtIndex(int32_t index) const
{
    auto column = columnAtIndex(index);
    return column ? column->title() : std::nullopt;
}

void LatticeDataGrid::normaliseColumnDisplayIndices()
{
    auto sorted = m_cols;
    std::stable_sort(sorted.begin(), sorted.end(),
        [](const Ref<LDataGridColumn>& a, const Ref<LDataGridColumn>& b) { return a->compare(b) < 0; });
    m_cols.clear();
    int32_t index = 0;
    for (const auto& column : sorted) {
        column->setDisplayIndex(index++);
        addColumn(column);
    }
}

// Loading and counts

void LatticeDataGrid::reload()
{
    normaliseColumnDisplayIndices();
    if (!dataSource()) {
        abortWithMsg(NSString::stringWithFormat(
            "dataSource has not been set for LatticeGrid at %p", static_cast<const void*>(this)));
    }
    m_internalGrid->reload();
}

Value LatticeDataGrid::translateArrayOfSDataGridRowsToSGridRowStructs(const std::vector<Ref<NSObject>>& rows)
{
    std::vector<Value> boxed;
    for (const auto& entry : rows) {
        auto row = std::dynamic_pointer_cast<LDataGridRow>(entry);
        if (!row) {
            LatticeGridLog::logMessageFromSource(
                NSString::stringWithFormat("`rows` cannot contain an %@ object in method %@. This method can only "
                                           "take an NSArray of LDataGridRow objects",
                    entry ? entry->className() : std::string("(null)"),
                    "translateArrayOfSDataGridRowsToSGridRowStructs:"),
                this);
            continue;
        }
        boxed.push_back(NSValue_LGridRow::valueWithRow(translateRowToExternal(row->internalRow(), false)));
    }
    return Value::array(std::move(boxed));
}

Value LatticeDataGrid::translateArrayOfSDataGridColumnsToNSNumbers(const std::vector<Ref<NSObject>>& columns)
{
    std::vector<Value> numbers;
    for (const auto& entry : columns) {
        auto column = std::dynamic_pointer_cast<LDataGridColumn>(entry);
        if (!column) {
            LatticeGridLog::logMessageFromSource(
                NSString::stringWithFormat("`columns` cannot contain an %@ object in method %@. This method can only "
                                           "take an NSArray of LDataGridColumn objects",
                    entry ? entry->className() : std::string("(null)"), "translateArrayOfSDataGridColumnsToNSNumbers:"),
                this);
            continue;
        }
        numbers.push_back(Value(column->displayIndex()));
    }
    return Value::array(std::move(numbers));
}

void LatticeDataGrid::reloadRows(const std::vector<Ref<NSObject>>& rows)
{
    m_internalGrid->reloadRows(translateArrayOfSDataGridRowsToSGridRowStructs(rows));
}

void LatticeDataGrid::redrawRows(const std::vector<Ref<NSObject>>& rows)
{
    m_internalGrid->redrawRows(translateArrayOfSDataGridRowsToSGridRowStructs(rows));
}

void LatticeDataGrid::reloadColumns(const std::vector<Ref<NSObject>>& columns)
{
    m_internalGrid->reloadColsAtIndices(translateArrayOfSDataGridColumnsToNSNumbers(columns));
}

void LatticeDataGrid::redrawColumns(const std::vector<Ref<NSObject>>& columns)
{
    m_internalGrid->redrawColsAtIndices(translateArrayOfSDataGridColumnsToNSNumbers(columns));
}

uint32_t LatticeDataGrid::numberOfSections()
{
    // The engine's first section holds the header rows; without a data source it has none.
    return static_cast<uint32_t>(std::max(m_internalGrid->numberOfSections() - 1, 0));
}

uint32_t LatticeDataGrid::numberOfRowsForSection(int32_t section)
{
    return m_internalGrid->numberOfRowsForSection(section + 1);
}

void LatticeDataGrid::layoutSubviews()
{
    // The engine keeps its first-load flag for its life, so the columns are put in display
    // order at every layout (a reload does it too).
    if (m_internalGrid->initialLoad())
        normaliseColumnDisplayIndices();
    UIScrollView::layoutSubviews();
}

void LatticeDataGrid::setNeedsDisplay()
{
    m_internalGrid->setNeedsDisplay();
    UIScrollView::setNeedsDisplay();
}

// Visible content

Ref<LDataGridCell> LatticeDataGrid::visibleCellAtCoordinate(const Ref<LDataGridCoord>& coordinate)
{
    if (!coordinate || !coordinate->row() || !coordinate->column())
        return nullptr;
    LGridRow row = translateRowToExternal(coordinate->row()->internalRow(), false);
    if (row.section == 0)
        return nullptr;
    return std::dynamic_pointer_cast<LDataGridCell>(
        m_internalGrid->visibleCellAtColAndRow(coordinate->column()->displayIndex(), row));
}

Ref<LDataGridCell> LatticeDataGrid::visibleCellAtColAndRow(int32_t column, const Ref<LDataGridRow>& row)
{
    if (column < 0 || static_cast<size_t>(column) >= m_cols.size()) {
        throw NSException("NSRangeException",
            NSString::stringWithFormat("*** -[NSArray objectAtIndex:]: index %ld beyond bounds [0 .. %ld]",
                static_cast<long>(column), static_cast<long>(m_cols.size()) - 1));
    }
    return visibleCellAtCoordinate(LDataGridCoord::coordinateWithColRow(m_cols[static_cast<size_t>(column)], row));
}

Ref<LGridCell> LatticeDataGrid::visibleHeaderCellAtColIndex(uint32_t column)
{
    return m_internalGrid->visibleCellAtColAndRow(static_cast<int32_t>(column), LGridRowMake(0, 0));
}

std::vector<Ref<LDataGridColumn>> LatticeDataGrid::visibleColumns()
{
    std::vector<Ref<LDataGridColumn>> visible;
    for (int32_t index : m_internalGrid->visibleColumnIndexes()) {
        if (auto column = columnAtIndex(index))
            visible.push_back(column);
    }
    return visible;
}

std::vector<Ref<LDataGridRow>> LatticeDataGrid::visibleRows()
{
    std::vector<Ref<LDataGridRow>> rows;
    for (LGridRow row : m_internalGrid->visibleRows()) {
        LGridRow external = translateRowToExternal(row, true);
        if (external.section != -1)
            rows.push_back(LDataGridRow::rowFromRowStruct(external));
    }
    return rows;
}

// Selection

std::vector<Ref<LDataGridCoord>> LatticeDataGrid::selectedCellCoordinates()
{
    std::vector<Ref<LDataGridCoord>> coordinates;
    for (const auto& coord : m_internalGrid->selectedCellGridCoords())
        performWithGridCoordToPassout([&](const Ref<LDataGridCoord>& c) { coordinates.push_back(c); }, coord);
    return coordinates;
}

std::vector<Ref<LDataGridRow>> LatticeDataGrid::selectedRows()
{
    std::vector<Ref<LDataGridRow>> rows;
    for (const auto& coord : selectedCellCoordinates()) {
        const auto& row = coord->row();
        bool seen = std::any_of(
            rows.begin(), rows.end(), [&](const Ref<LDataGridRow>& known) { return known->isEqual(row.get()); });
        if (!seen)
            rows.push_back(row);
    }
    return rows;
}

void LatticeDataGrid::setSelectedRowsAnimated(const std::vector<Ref<NSObject>>& rows, bool animated)
{
    std::vector<Ref<NSObject>> copied;
    for (const auto& entry : rows) {
        auto row = std::dynamic_pointer_cast<LDataGridRow>(entry);
        copied.push_back(row ? std::static_pointer_cast<NSObject>(row->copy()) : entry);
    }
    m_internalGrid->clearAllSelectedRowsWithAnimationWithDelegateCallbacksForQueueIfInvalid(animated, 1, true);
    for (size_t i = 0; i < copied.size(); ++i) {
        auto row = std::dynamic_pointer_cast<LDataGridRow>(copied[i]);
        if (!row) {
            LatticeGridLog::logMessageFromSource(
                NSString::stringWithFormat("Entry %lu of array passed to %@ was not an LDataGridRow object (was a %@ "
                                           "object), so no row set as selected.",
                    static_cast<unsigned long>(i),
                    "setSelectedRows:animated:", copied[i] ? copied[i]->className() : std::string("(null)")),
                this);
            continue;
        }
        setRowAsSelectedAnimated(row, true, animated);
    }
}

void LatticeDataGrid::setRowAsSelectedAnimated(const Ref<LDataGridRow>& row, bool selected, bool animated)
{
    if (!isValidDataGridRow(row)) {
        LatticeGridLog::logMessage(NSString::stringWithFormat("%s: Invalid row %@",
            "-[LatticeDataGrid setRow:asSelected:animated:]", row ? row->description() : std::string("(null)")));
        return;
    }
    m_internalGrid->setRowAsSelectedAnimated(translateRowToExternal(row->internalRow(), false), selected, animated);
}

bool LatticeDataGrid::isValidDataGridRow(const Ref<LDataGridRow>& row)
{
    if (!row || row->rowIndex() < 0 || row->sectionIndex() < 0)
        return false;
    if (static_cast<uint32_t>(row->sectionIndex()) >= numberOfSections())
        return false;
    return static_cast<uint32_t>(row->rowIndex()) < numberOfRowsForSection(row->sectionIndex());
}

void LatticeDataGrid::clearSelectionWithAnimation(bool animated)
{
    m_internalGrid->clearAllSelectedCellsWithAnimation(animated);
}

int32_t LatticeDataGrid::selectionMode() const
{
    return m_internalGrid->selectionMode();
}

void LatticeDataGrid::setSelectionMode(int32_t mode)
{
    m_internalGrid->setSelectionMode(mode);
}

Ref<LDataGridCellStyle> LatticeDataGrid::defaultCellStyleForSelectedRows() const
{
    return LDataGridCellStyle::wrapperOfEngineStyle(m_internalGrid->defaultSelectedCellStyle());
}

void LatticeDataGrid::setDefaultCellStyleForSelectedRows(const Ref<LDataGridCellStyle>& style)
{
    m_internalGrid->setDefaultSelectedCellStyle(style ? style->cellStyle() : nullptr);
}

// Sections and frozen panes

void LatticeDataGrid::setSectionAtIndexAsCollapsed(uint32_t section, bool collapsed)
{
    m_internalGrid->setSectionAtIndexAsCollapsed(section + 1, collapsed);
}

bool LatticeDataGrid::sectionAtIndexIsCollapsed(uint32_t section)
{
    return m_internalGrid->sectionAtIndexIsCollapsed(section + 1);
}

void LatticeDataGrid::setNumberOfHeaderRows(int32_t rows)
{
    if (rows < 0) {
        LatticeGridLog::logMessageFromSource(
            NSString::stringWithFormat("The number of header rows has been set to %ld in %s. The number of header "
                                       "rows cannot be negative, therefore using 0 header rows.",
                static_cast<long>(rows), "-[LatticeDataGrid setNumberOfHeaderRows:]"),
            this);
        rows = 0;
    }
    m_numberOfHeaderRows = rows;
}

void LatticeDataGrid::setNumberOfFrozenColumns(uint32_t columns)
{
    if (columns == m_numberOfFrozenColumns)
        return;
    m_internalGrid->setNumberOfFrozenColumns(columns);
    m_numberOfFrozenColumns = columns;
}

void LatticeDataGrid::setNumberOfFrozenRows(uint32_t rows)
{
    if (rows == m_numberOfFrozenRows)
        return;
    m_internalGrid->setNumberOfFrozenRows(rows + static_cast<uint32_t>(m_numberOfHeaderRows));
    m_numberOfFrozenRows = rows;
}

// Styles and sizes

Ref<LDataGridCellStyle> LatticeDataGrid::defaultCellStyleForRows() const
{
    // The engine's row style itself, which also carries the row height.
    return LDataGridCellStyle::wrapperOfEngineStyle(m_internalGrid->defaultRowStyle());
}

void LatticeDataGrid::setDefaultCellStyleForRows(const Ref<LDataGridCellStyle>& style)
{
    Ref<LGridColRowStyle> rowStyle
        = LGridColRowStyle::styleWithSizeWithCellStyle(defaultRowHeight(), style ? style->cellStyle() : nullptr);
    if (!style && !m_defaultRowHeightSetByUser)
        rowStyle = nullptr;
    m_internalGrid->setDefaultRowStyle(rowStyle);
}

std::optional<float> LatticeDataGrid::defaultRowHeight() const
{
    auto style = m_internalGrid->defaultRowStyle();
    return style ? style->size() : std::nullopt;
}

void LatticeDataGrid::setDefaultRowHeight(std::optional<float> height)
{
    m_internalGrid->defaultRowStyle()->setSize(height);
    m_defaultRowHeightSetByUser = true;
}

std::optional<float> LatticeDataGrid::defaultColWidth() const
{
    auto style = m_internalGrid->defaultColumnStyle();
    return style ? style->size() : std::nullopt;
}

void LatticeDataGrid::setDefaultColWidth(std::optional<float> width)
{
    m_internalGrid->defaultColumnStyle()->setSize(width);
}

std::optional<float> LatticeDataGrid::minimumRowHeight() const
{
    auto style = m_internalGrid->defaultRowStyle();
    return style ? style->minimumSize() : std::nullopt;
}

void LatticeDataGrid::setMinimumRowHeight(std::optional<float> height)
{
    auto style = m_internalGrid->defaultRowStyle();
    if (!style && height)
        style = LGridColRowStyle::init();
    if (!style)
        return;
    style->setMinimumSize(height);
    m_internalGrid->setDefaultRowStyle(style);
}

std::optional<float> LatticeDataGrid::minimumColWidth() const
{
    auto style = m_internalGrid->defaultColumnStyle();
    return style ? style->minimumSize() : std::nullopt;
}

void LatticeDataGrid::setMinimumColWidth(std::optional<float> width)
{
    auto style = m_internalGrid->defaultColumnStyle();
    if (!style && width)
        style = LGridColRowStyle::init();
    if (!style)
        return;
    style->setMinimumSize(width);
    m_internalGrid->setDefaultColumnStyle(style);
}

Ref<LDataGridLineStyle> LatticeDataGrid::defaultGridLineStyle() const
{
    auto style = m_internalGrid->defaultGridLineStyle();
    return style ? LDataGridLineStyle::initWithObjectToWrap(style) : nullptr;
}

void LatticeDataGrid::setDefaultGridLineStyle(const Ref<LDataGridLineStyle>& style)
{
    m_internalGrid->setDefaultGridLineStyle(style ? style->lineStyle() : nullptr);
}

void LatticeDataGrid::setDefaultSectionHeaderStyle(const Ref<LDataGridSectionHeaderStyle>& style)
{
    m_defaultSectionHeaderStyle = style;
    m_internalGrid->setDefaultSectionHeaderStyle(style ? style->sectionHeaderStyle() : nullptr);
}

bool LatticeDataGrid::rowStylesTakePriority() const
{
    return m_internalGrid->rowStylesTakePriority();
}

void LatticeDataGrid::setRowStylesTakePriority(bool v)
{
    m_internalGrid->setRowStylesTakePriority(v);
}

bool LatticeDataGrid::enableBlending() const
{
    return m_internalGrid->enableBlending();
}

void LatticeDataGrid::setEnableBlending(bool v)
{
    m_internalGrid->setEnableBlending(v);
}

int32_t LatticeDataGrid::linesOnTop() const
{
    return m_internalGrid->linesOnTop();
}

void LatticeDataGrid::setLinesOnTop(int32_t v)
{
    m_internalGrid->setLinesOnTop(v);
}

Ref<UIColor> LatticeDataGrid::backgroundColor() const
{
    return m_internalGrid ? m_internalGrid->backgroundColor() : nullptr;
}

void LatticeDataGrid::setBackgroundColor(const Ref<UIColor>& color)
{
    if (m_internalGrid)
        m_internalGrid->setBackgroundColor(color);
}

Ref<UIColor> LatticeDataGrid::tintColor() const
{
    return m_internalGrid->tintColor();
}

void LatticeDataGrid::setTintColor(const Ref<UIColor>& color)
{
    m_internalGrid->setTintColor(color);
}

bool LatticeDataGrid::directionalLockAllowDiagonalPanning() const
{
    return m_internalGrid->directionalLockAllowDiagonalPanning();
}

void LatticeDataGrid::setDirectionalLockAllowDiagonalPanning(bool v)
{
    m_internalGrid->setDirectionalLockAllowDiagonalPanning(v);
}

float LatticeDataGrid::widthOfVerticalGridLineAtIndex(uint32_t column)
{
    return m_internalGrid->widthOfVerticalGridLineAtIndex(column);
}

float LatticeDataGrid::widthOfLeftBorder() const
{
    return m_internalGrid->widthOfLeftBorder();
}

bool LatticeDataGrid::canResizeColumnsViaPinch() const
{
    return m_internalGrid->canResizeColumnsViaPinch();
}

void LatticeDataGrid::setCanResizeColumnsViaPinch(bool v)
{
    m_internalGrid->setCanResizeColumnsViaPinch(v);
}

int32_t LatticeDataGrid::singleTapEventMask() const
{
    return m_internalGrid->singleTapEventMask();
}

void LatticeDataGrid::setSingleTapEventMask(int32_t mask)
{
    m_internalGrid->setSingleTapEventMask(mask);
}

int32_t LatticeDataGrid::doubleTapEventMask() const
{
    return m_internalGrid->doubleTapEventMask();
}

void LatticeDataGrid::setDoubleTapEventMask(int32_t mask)
{
    m_internalGrid->setDoubleTapEventMask(mask);
}

// Scroll-view settings

bool LatticeDataGrid::isScrollEnabled() const
{
    return m_internalGrid->isScrollEnabled();
}

void LatticeDataGrid::setScrollEnabled(bool v)
{
    m_internalGrid->setScrollEnabled(v);
}

void LatticeDataGrid::setMinimumZoomScale(float scale)
{
    m_internalGrid->setMinimumZoomScale(scale);
}

void LatticeDataGrid::setMaximumZoomScale(float scale)
{
    m_internalGrid->setMaximumZoomScale(scale);
}

CGPoint LatticeDataGrid::contentOffset() const
{
    return m_internalGrid ? m_internalGrid->contentOffset() : CGPointZero;
}

void LatticeDataGrid::setContentOffset(CGPoint offset)
{
    if (m_settingFrame != 0 || !m_internalGrid)
        return;
    m_internalGrid->setContentOffset(offset);
}

void LatticeDataGrid::setContentOffsetAnimated(CGPoint offset, bool animated)
{
    m_internalGrid->setContentOffsetAnimated(offset, animated);
}

CGSize LatticeDataGrid::contentSize() const
{
    return m_internalGrid ? m_internalGrid->contentSize() : CGSizeZero;
}

void LatticeDataGrid::setContentInset(UIEdgeInsets inset)
{
    UIScrollView::setContentInset(inset);
    layoutInternalGrid(bounds());
}

void LatticeDataGrid::setDirectionalLockEnabled(bool v)
{
    m_internalGrid->setDirectionalLockEnabled(v);
}

void LatticeDataGrid::setBounces(bool v)
{
    m_internalGrid->setBounces(v);
}

void LatticeDataGrid::setAlwaysBounceHorizontal(bool v)
{
    m_internalGrid->setAlwaysBounceHorizontal(v);
}

void LatticeDataGrid::setAlwaysBounceVertical(bool v)
{
    m_internalGrid->setAlwaysBounceVertical(v);
}

void LatticeDataGrid::setDecelerationRate(float rate)
{
    m_internalGrid->setDecelerationRate(rate);
}

void LatticeDataGrid::setAutoresizingMask(UIViewAutoresizing mask)
{
    m_internalGrid->setAutoresizingMask(mask);
    UIScrollView::setAutoresizingMask(mask);
}

void LatticeDataGrid::setFrame(CGRect frame)
{
    ++m_settingFrame;
    UIScrollView::setFrame(frame);
    --m_settingFrame;
    layoutInternalGrid(CGRectMake(0, 0, frame.size.width, frame.size.height));
}

void LatticeDataGrid::setBounds(CGRect bounds)
{
    if (m_internalGrid)
        m_internalGrid->setBounds(bounds);
    UIScrollView::setBounds(bounds);
}

void LatticeDataGrid::layoutInternalGrid(CGRect rect)
{
    if (m_internalGrid)
        m_internalGrid->setFrame(insetRect(rect, contentInset()));
}

// Coordinates

Ref<LGridSectionHeaderStyle> LatticeDataGrid::hiddenStyle()
{
    auto style = LGridSectionHeaderStyle::init();
    style->setHidden(true);
    return style;
}

LGridRow LatticeDataGrid::translateRowToExternal(LGridRow row, bool toExternal)
{
    row.section += toExternal ? -1 : 1;
    return row;
}

bool LatticeDataGrid::isRowHeaderRow(LGridRow row) const
{
    return LGridRowLessThanRow(row, LGridRowMake(m_numberOfHeaderRows, 0));
}

Ref<LDataGridCoord> LatticeDataGrid::dataCoordFromRowAndCol(LGridRow row, int32_t column) const
{
    return LDataGridCoord::coordinateWithColRow(columnAtIndex(column), LDataGridRow::rowFromRowStruct(row));
}

void LatticeDataGrid::performWithGridCoordToPassout(
    const std::function<void(const Ref<LDataGridCoord>&)>& block, const Ref<LGridCoord>& coord) const
{
    if (!coord || isRowHeaderRow(coord->row()))
        return;
    block(dataCoordFromRowAndCol(translateRowToExternal(coord->row(), true), coord->column()));
}
