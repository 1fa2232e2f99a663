#include "grid/datagrid/LDataGridColumn.h"

#include "foundation/NSString.h"
#include "foundation/Value.h"
#include "grid/LatticeGridLog.h"
#include "grid/datagrid/LDataGridCell.h"
#include "grid/datagrid/LDataGridCellStyle.h"
#include "grid/datagrid/LDataGridDelegate.h"
#include "grid/datagrid/LDataGridHeaderCell.h"
#include "grid/datagrid/LDataGridHeaderCellProtocol.h"
#include "grid/datagrid/LDataGridTextCell.h"
#include "grid/datagrid/LatticeDataGrid.h"

namespace {

uint32_t hashOfText(const std::optional<std::string>& text)
{
    return text ? static_cast<uint32_t>(Value(*text).hash()) : 0u;
}

uint32_t hashOfClassName(Class cls)
{
    return cls ? static_cast<uint32_t>(Value(std::string(cls->name)).hash()) : 0u;
}

} // namespace

LDataGridColumn::~LDataGridColumn() = default;

Ref<LDataGridColumn> LDataGridColumn::init()
{
    return initWithTitleForPropertyCellTypeHeaderCellType(std::nullopt, std::nullopt, nullptr, nullptr);
}

Ref<LDataGridColumn> LDataGridColumn::initWithTitle(std::optional<std::string> title)
{
    return initWithTitleForPropertyCellTypeHeaderCellType(std::move(title), std::nullopt, nullptr, nullptr);
}

Ref<LDataGridColumn> LDataGridColumn::initWithTitleCellType(std::optional<std::string> title, Class cellType)
{
    return initWithTitleForPropertyCellTypeHeaderCellType(std::move(title), std::nullopt, cellType, nullptr);
}

Ref<LDataGridColumn> LDataGridColumn::initWithTitleForProperty(
    std::optional<std::string> title, std::optional<std::string> propertyKey)
{
    return initWithTitleForPropertyCellTypeHeaderCellType(std::move(title), std::move(propertyKey), nullptr, nullptr);
}

Ref<LDataGridColumn> LDataGridColumn::initWithTitleForPropertyCellTypeHeaderCellType(
    std::optional<std::string> title, std::optional<std::string> propertyKey, Class cellType, Class headerCellType)
{
    auto column = make<LDataGridColumn>();
    column->commonInitWithCellTypeHeaderCellType(cellType, headerCellType);
    column->m_title = std::move(title);
    column->m_propertyKey = std::move(propertyKey);
    return column;
}

Ref<LDataGridColumn> LDataGridColumn::columnWithTitleDisplayIndex(
    std::optional<std::string> title, uint32_t displayIndex)
{
    auto column = columnWithTitle(std::move(title));
    column->setDisplayIndex(static_cast<int32_t>(displayIndex));
    return column;
}

void LDataGridColumn::commonInitWithCellTypeHeaderCellType(Class cellType, Class headerCellType)
{
    m_cellStyle = LDataGridCellStyle::init();
    m_headerCellStyle = LDataGridCellStyle::init();
    setCellType(cellType ? cellType : LDataGridTextCell::classObject());
    setHeaderCellType(headerCellType ? headerCellType : LDataGridHeaderCell::classObject());
    setDisplayIndex(kDisplayIndexNotSet);
    setCanResizeViaPinch(false);
}

void LDataGridColumn::setCellType(Class cellType)
{
    if (!isTypeSubclassOf(LDataGridCell::classObject(), cellType)) {
        LatticeGridLog::fatalLogMessageFromSource(
            NSString::stringWithFormat(
                "Attempt to set cellType as %@. Property cellType must be %@ or a class that inherits from %@",
                cellType ? NSStringFromClass(cellType) : std::string("(null)"),
                NSStringFromClass(LDataGridCell::classObject()), NSStringFromClass(LDataGridCell::classObject())),
            this);
    }
    m_cellType = cellType;
}

void LDataGridColumn::setHeaderCellType(Class headerCellType)
{
    if (!headerCellType || !LDataGridCell::classAdoptsHeaderCellProtocol(headerCellType)) {
        LatticeGridLog::fatalLogMessageFromSource(
            NSString::stringWithFormat("Attempt to set cellType as %@. Property cellType must be LDataGridHeaderCell, "
                                       "LDataGridMultiLineHeaderCell, or a class that inherits from them",
                headerCellType ? NSStringFromClass(headerCellType) : std::string("(null)")),
            this);
    }
    m_headerCellType = headerCellType;
}

bool LDataGridColumn::isTypeSubclassOf(Class p, Class q)
{
    return p && q && NSObject::classIsSubclassOf(q, p);
}

Ref<LDataGridHeaderCellProtocol> LDataGridColumn::headerCell() const
{
    auto grid = owningGrid();
    if (!grid || m_displayIndex < 0)
        return nullptr;
    auto cell = grid->visibleHeaderCellAtColIndex(static_cast<uint32_t>(m_displayIndex));
    return std::dynamic_pointer_cast<LDataGridHeaderCellProtocol>(cell);
}

std::optional<std::string> LDataGridColumn::sortOrderToString() const
{
    switch (m_sortOrder) {
    case LDataGridColumnSortOrderNone:
        return std::string("LDataGridColumnSortOrderNone");
    case LDataGridColumnSortOrderAscending:
        return std::string("LDataGridColumnSortOrderAscending");
    case LDataGridColumnSortOrderDescending:
        return std::string("LDataGridColumnSortOrderDescending");
    default:
        return std::nullopt;
    }
}

int32_t LDataGridColumn::nextSortOrderAccordingToSortMode() const
{
    switch (m_sortMode) {
    case LDataGridColumnSortModeToggle:
        return m_sortOrder == LDataGridColumnSortOrderAscending ? LDataGridColumnSortOrderDescending
                                                                : LDataGridColumnSortOrderAscending;
    case LDataGridColumnSortModeCycle:
        if (m_sortOrder == LDataGridColumnSortOrderNone)
            return LDataGridColumnSortOrderAscending;
        if (m_sortOrder == LDataGridColumnSortOrderAscending)
            return LDataGridColumnSortOrderDescending;
        return LDataGridColumnSortOrderNone;
    default:
        return LDataGridColumnSortOrderNone;
    }
}

void LDataGridColumn::setSortOrderAndResetSiblings(int32_t order, bool resetSiblings)
{
    if (m_sortMode == LDataGridColumnSortModeNone) {
        if (order != m_sortOrder) {
            LatticeGridLog::logMessageFromSource(
                NSString::stringWithFormat("An attempt to change the sortOrder has been made when sortMode == "
                                           "LDataGridColumnSortModeNone. The sortOrder will remain as %@",
                    sortOrderToString().value_or("(null)")),
                this);
        }
        return;
    }
    if (order == m_sortOrder)
        return;
    auto protectedThis = self<LDataGridColumn>();
    if (resetSiblings)
        resetSortOrderForSiblingColumns();
    auto grid = owningGrid();
    auto delegate = grid ? grid->delegate() : nullptr;
    if (delegate && delegate->respondsToSelector("latticeDataGrid:willChangeSortOrderForColumn:to:"))
        delegate->latticeDataGridWillChangeSortOrderForColumnTo(grid, protectedThis, order);
    int32_t previous = m_sortOrder;
    m_sortOrder = order;
    if (auto cell = headerCell())
        cell->showArrowForSortOrderSortMode(order, m_sortMode);
    if (delegate && delegate->respondsToSelector("latticeDataGrid:didChangeSortOrderForColumn:from:"))
        delegate->latticeDataGridDidChangeSortOrderForColumnFrom(grid, protectedThis, previous);
}

void LDataGridColumn::resetSortOrderForSiblingColumns()
{
    auto grid = owningGrid();
    if (!grid)
        return;
    for (const auto& column : grid->columns()) {
        if (column.get() != this)
            column->setSortOrderAndResetSiblings(LDataGridColumnSortOrderNone, false);
    }
}

int32_t LDataGridColumn::compare(const Ref<LDataGridColumn>& other) const
{
    int32_t theirs = other ? other->m_displayIndex : 0;
    if (m_displayIndex < theirs)
        return -1;
    return m_displayIndex == theirs ? 0 : 1;
}

bool LDataGridColumn::isEqual(const NSObject* other) const
{
    if (!other || !other->isKindOfClass(classObject())) {
        LatticeGridLog::logMessageFromSource(
            NSString::stringWithFormat("Warning: testing equality of %@ object against %@ object.",
                other ? other->className() : std::string("(null)"), className()),
            this);
        return false;
    }
    if (other == this)
        return true;
    auto column = static_cast<const LDataGridColumn*>(other);
    return m_displayIndex == column->m_displayIndex && m_title == column->m_title && m_cellType == column->m_cellType
        && m_headerCellType == column->m_headerCellType;
}

size_t LDataGridColumn::hash() const
{
    uint32_t h = 37u * 17u + static_cast<uint32_t>(m_displayIndex);
    h = 37u * h + hashOfText(m_title);
    h = 37u * h + hashOfClassName(m_cellType);
    h = 37u * h + hashOfClassName(m_headerCellType);
    return h;
}

std::string LDataGridColumn::description() const
{
    std::string base = NSObject::description();
    std::string extra = NSString::stringWithFormat(
        " title: %@, displayIndex: %ld", m_title.value_or("(null)"), static_cast<long>(m_displayIndex));
    return base.substr(0, base.size() - 1) + extra + base.substr(base.size() - 1);
}
