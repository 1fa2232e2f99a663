#include "grid/datagrid/LDataGridDataSourceHelper.h"

#include "foundation/NSException.h"
#include "foundation/NSString.h"
#include "grid/LGridTextField.h"
#include "grid/LGridTextLabel.h"
#include "grid/LatticeGridLog.h"
#include "grid/datagrid/LDataGridCell.h"
#include "grid/datagrid/LDataGridCellStyle.h"
#include "grid/datagrid/LDataGridColumn.h"
#include "grid/datagrid/LDataGridCoord.h"
#include "grid/datagrid/LDataGridDataGroup.h"
#include "grid/datagrid/LDataGridDataSourceHelperDelegate.h"
#include "grid/datagrid/LDataGridLineStyle.h"
#include "grid/datagrid/LDataGridMultiLineTextCell.h"
#include "grid/datagrid/LDataGridRow.h"
#include "grid/datagrid/LDataGridSectionHeaderStyle.h"
#include "grid/datagrid/LDataGridTextCell.h"
#include "grid/datagrid/LatticeDataGrid.h"
#include "uikit/UILabel.h"
#include "uikit/UITextField.h"

#include <algorithm>

namespace {

// The rank of a value's kind in the helper's order of values.
int32_t kindRank(const Value& value)
{
    if (value.isNilOrNull())
        return 0;
    if (value.isNumber())
        return 1;
    if (value.isDate())
        return 2;
    if (value.isString())
        return 3;
    return 4;
}

template <typename T> int32_t threeWay(const T& a, const T& b)
{
    return a < b ? -1 : (b < a ? 1 : 0);
}

} // namespace

Ref<LDataGridDataSourceHelper> LDataGridDataSourceHelper::initWithDataGrid(const Ref<LatticeDataGrid>& grid)
{
    if (!grid) {
        LatticeGridLog::fatalLogMessageFromSource(
            "LGridDataSourceHelper cannot be initialized with a nil dataGrid", classObject());
    }
    auto helper = make<LDataGridDataSourceHelper>();
    helper->m_dataGrid = grid;
    grid->setDataSource(helper);
    grid->setDelegate(helper);
    return helper;
}

void LDataGridDataSourceHelper::setData(std::vector<Ref<NSObject>> data)
{
    m_data = std::move(data);
    refreshGrid();
}

void LDataGridDataSourceHelper::setSelectedItems(std::vector<Ref<NSObject>> items)
{
    m_selectedItems = std::move(items);
    refreshGrid();
}

void LDataGridDataSourceHelper::setGroupedPropertyKey(std::optional<std::string> key)
{
    m_groupedByProperty = std::move(key);
    refreshGrid();
}

void LDataGridDataSourceHelper::setGroupedPropertySortOrder(int32_t order)
{
    m_groupedByPropertySortOrder = order;
    refreshGrid();
}

void LDataGridDataSourceHelper::setDelegate(const Ref<LDataGridDataSourceHelperDelegate>& delegate)
{
    m_delegate = delegate;
    // The grid probes its delegate's operations when it is set.
    if (auto grid = dataGrid())
        grid->setDelegate(self<LDataGridDataSourceHelper>());
    refreshGrid();
}

// Values

int32_t LDataGridDataSourceHelper::compareValues(const Value& a, const Value& b)
{
    int32_t rankA = kindRank(a), rankB = kindRank(b);
    if (rankA != rankB)
        return threeWay(rankA, rankB);
    switch (rankA) {
    case 0:
        return 0;
    case 1:
        return threeWay(a.doubleValue(), b.doubleValue());
    case 2:
        return threeWay(a.dateValue(), b.dateValue());
    case 3:
        return static_cast<int32_t>(NSString::compare(a.string(), b.string()));
    default:
        return static_cast<int32_t>(NSString::compare(a.description(), b.description()));
    }
}

Value LDataGridDataSourceHelper::groupPropertyValueWithSourceObject(const std::string& key, const Ref<NSObject>& item)
{
    if (m_delegate
        && m_delegate->respondsToSelector("dataGridDataSourceHelper:groupValueForProperty:withSourceObject:")) {
        Value value = m_delegate->dataGridDataSourceHelperGroupValueForPropertyWithSourceObject(
            self<LDataGridDataSourceHelper>(), key, item);
        if (value)
            return value;
    }
    return item ? item->valueForKey(key) : Value();
}

Value LDataGridDataSourceHelper::sortPropertyValueWithSourceObject(const std::string& key, const Ref<NSObject>& item)
{
    if (m_delegate
        && m_delegate->respondsToSelector("dataGridDataSourceHelper:sortValueForProperty:withSourceObject:")) {
        Value value = m_delegate->dataGridDataSourceHelperSortValueForPropertyWithSourceObject(
            self<LDataGridDataSourceHelper>(), key, item);
        if (value)
            return value;
    }
    return item ? item->valueForKey(key) : Value();
}

Value LDataGridDataSourceHelper::displayPropertyValueWithSourceObject(const std::string& key, const Ref<NSObject>& item)
{
    if (m_delegate
        && m_delegate->respondsToSelector("dataGridDataSourceHelper:displayValueForProperty:withSourceObject:")) {
        Value value = m_delegate->dataGridDataSourceHelperDisplayValueForPropertyWithSourceObject(
            self<LDataGridDataSourceHelper>(), key, item);
        if (value)
            return value;
    }
    return item ? item->valueForKey(key) : Value();
}

std::string LDataGridDataSourceHelper::getValueForPropertyModelObject(const std::string& key, const Ref<NSObject>& item)
{
    try {
        return NSString::stringWithFormat("%@", displayPropertyValueWithSourceObject(key, item));
    } catch (const NSException&) {
        LatticeGridLog::logMessage(NSString::stringWithFormat(
            "The object being rendered in the grid does not have a property with name =[%@]", key));
        return "n/a";
    }
}

// Sorting and grouping

std::vector<int32_t> LDataGridDataSourceHelper::sortedColumns() const
{
    std::vector<int32_t> sorted;
    auto grid = dataGrid();
    if (!grid)
        return sorted;
    auto columns = grid->columns();
    for (size_t i = 0; i < columns.size(); ++i) {
        if (columns[i]->sortOrder() != LDataGridColumnSortOrderNone)
            sorted.push_back(static_cast<int32_t>(i));
    }
    return sorted;
}

std::vector<Ref<NSObject>> LDataGridDataSourceHelper::sortArrayByColumn(
    const std::vector<Ref<NSObject>>& items, const Ref<LDataGridColumn>& column)
{
    if (!column)
        return items;
    std::string key = column->propertyKey().value_or("");
    std::vector<Value> values;
    values.reserve(items.size());
    for (const auto& item : items) {
        try {
            values.push_back(sortPropertyValueWithSourceObject(key, item));
        } catch (const NSException&) {
            // An item without the property sorts as a missing value.
            values.push_back(Value());
        }
    }
    std::vector<size_t> order(items.size());
    for (size_t i = 0; i < order.size(); ++i)
        order[i] = i;
    bool ascending = column->sortOrder() == LDataGridColumnSortOrderAscending;
    std::stable_sort(order.begin(), order.end(), [&](size_t a, size_t b) {
        int32_t result = compareValues(values[a], values[b]);
        return ascending ? result < 0 : result > 0;
    });
    std::vector<Ref<NSObject>> sorted;
    sorted.reserve(items.size());
    for (size_t index : order)
        sorted.push_back(items[index]);
    return sorted;
}

void LDataGridDataSourceHelper::refreshGrid()
{
    auto grid = dataGrid();
    if (!grid)
        return;
    auto protectedThis = self<LDataGridDataSourceHelper>();
    auto sorted = sortedColumns();
    auto columns = grid->columns();
    std::vector<Ref<NSObject>> result;
    if (!isGrouped()) {
        if (sorted.size() == 1) {
            result = sortArrayByColumn(m_data, columns[static_cast<size_t>(sorted[0])]);
        } else {
            if (sorted.size() > 1)
                LatticeGridLog::logMessage("The datasource helper only supports sorting by a single column");
            result = m_data;
        }
    } else {
        std::vector<Value> values;
        std::vector<Ref<LDataGridDataGroup>> groups;
        for (const auto& item : m_data) {
            Value value;
            try {
                value = groupPropertyValueWithSourceObject(*m_groupedByProperty, item);
            } catch (const NSException&) {
                value = Value();
            }
            auto found = std::find(values.begin(), values.end(), value);
            if (found == values.end()) {
                values.push_back(value);
                groups.push_back(LDataGridDataGroup::initWithGroupValueItems(value, { item }));
            } else {
                groups[static_cast<size_t>(found - values.begin())]->mutableItems().push_back(item);
            }
        }
        if (sorted.size() == 1) {
            for (const auto& group : groups)
                group->setItems(sortArrayByColumn(group->items(), columns[static_cast<size_t>(sorted[0])]));
        }
        if (m_groupedByPropertySortOrder != LDataGridColumnSortOrderNone) {
            bool ascending = m_groupedByPropertySortOrder == LDataGridColumnSortOrderAscending;
            std::stable_sort(groups.begin(), groups.end(), [&](const auto& a, const auto& b) {
                int32_t c = compareValues(a->groupValue(), b->groupValue());
                return ascending ? c < 0 : c > 0;
            });
        }
        for (const auto& group : groups)
            result.push_back(group);
    }
    m_sortedData = std::move(result);

    std::vector<Ref<NSObject>> rows;
    for (const auto& item : m_selectedItems) {
        if (auto row = dataGridRowForDataItem(item))
            rows.push_back(row);
    }
    grid->reload();
    m_isUpdatingSelectionState = true;
    grid->setSelectedRows(rows);
    m_isUpdatingSelectionState = false;
}

Ref<LDataGridRow> LDataGridDataSourceHelper::dataGridRowForDataItem(const Ref<NSObject>& item) const
{
    if (!item)
        return nullptr;
    auto matches = [&](const Ref<NSObject>& entry) { return entry == item || (entry && entry->isEqual(item.get())); };
    if (!isGrouped()) {
        auto found = std::find_if(m_sortedData.begin(), m_sortedData.end(), matches);
        if (found == m_sortedData.end())
            return nullptr;
        return LDataGridRow::rowWithRowIndexSectionIndex(static_cast<int32_t>(found - m_sortedData.begin()), 0);
    }
    for (size_t section = 0; section < m_sortedData.size(); ++section) {
        auto group = std::dynamic_pointer_cast<LDataGridDataGroup>(m_sortedData[section]);
        if (!group)
            continue;
        auto found = std::find_if(group->items().begin(), group->items().end(), matches);
        if (found != group->items().end()) {
            return LDataGridRow::rowWithRowIndexSectionIndex(
                static_cast<int32_t>(found - group->items().begin()), static_cast<int32_t>(section));
        }
    }
    return nullptr;
}

Ref<NSObject> LDataGridDataSourceHelper::itemAtRow(int32_t rowIndex, int32_t sectionIndex) const
{
    if (rowIndex < 0 || sectionIndex < 0)
        return nullptr;
    if (!isGrouped())
        return static_cast<size_t>(rowIndex) < m_sortedData.size() ? m_sortedData[static_cast<size_t>(rowIndex)]
                                                                   : nullptr;
    if (static_cast<size_t>(sectionIndex) >= m_sortedData.size())
        return nullptr;
    auto group = std::dynamic_pointer_cast<LDataGridDataGroup>(m_sortedData[static_cast<size_t>(sectionIndex)]);
    if (!group || static_cast<size_t>(rowIndex) >= group->items().size())
        return nullptr;
    return group->items()[static_cast<size_t>(rowIndex)];
}

void LDataGridDataSourceHelper::updateSelection()
{
    auto grid = dataGrid();
    if (!grid)
        return;
    std::vector<Ref<NSObject>> items;
    for (const auto& row : grid->selectedRows()) {
        if (auto item = itemAtRow(row->rowIndex(), row->sectionIndex()))
            items.push_back(item);
    }
    m_selectedItems = std::move(items);
    if (m_delegate && m_delegate->respondsToSelector("dataGridDataSourceHelper:didUpdateSelectedItems:"))
        m_delegate->dataGridDataSourceHelperDidUpdateSelectedItems(self<LDataGridDataSourceHelper>(), m_selectedItems);
}

void LDataGridDataSourceHelper::suppressRowReOrderingWhenSorted()
{
    auto grid = dataGrid();
    if (!grid)
        return;
    if (!sortedColumns().empty()) {
        if (!m_suppressingRowReordering)
            m_originalCanDragRows = grid->canReorderRows();
        m_suppressingRowReordering = true;
        grid->setCanReorderRows(false);
    } else {
        if (m_suppressingRowReordering)
            grid->setCanReorderRows(m_originalCanDragRows);
        m_suppressingRowReordering = false;
    }
}

// The data source

bool LDataGridDataSourceHelper::respondsToSelector(std::string_view selector) const
{
    if (m_delegate && m_delegate->respondsToSelector(selector))
        return true;
    for (std::string_view own : { "numberOfSectionsInLatticeDataGrid:", "latticeDataGrid:titleForHeaderInSection:",
             "latticeDataGrid:didChangeSortOrderForColumn:from:", "latticeDataGrid:didSelectRow:",
             "latticeDataGrid:didReorderRow:withRow:" }) {
        if (own == selector)
            return true;
    }
    return false;
}

int32_t LDataGridDataSourceHelper::numberOfSectionsInLatticeDataGrid(const Ref<LatticeDataGrid>&)
{
    return isGrouped() ? static_cast<int32_t>(m_sortedData.size()) : 1;
}

uint32_t LDataGridDataSourceHelper::latticeDataGridNumberOfRowsInSection(const Ref<LatticeDataGrid>&, int32_t section)
{
    if (!isGrouped())
        return static_cast<uint32_t>(m_sortedData.size());
    if (section < 0 || static_cast<size_t>(section) >= m_sortedData.size())
        return 0;
    auto group = std::dynamic_pointer_cast<LDataGridDataGroup>(m_sortedData[static_cast<size_t>(section)]);
    return group ? static_cast<uint32_t>(group->items().size()) : 0;
}

std::optional<std::string> LDataGridDataSourceHelper::latticeDataGridTitleForHeaderInSection(
    const Ref<LatticeDataGrid>&, int32_t section)
{
    if (!isGrouped() || section < 0 || static_cast<size_t>(section) >= m_sortedData.size())
        return std::nullopt;
    auto group = std::dynamic_pointer_cast<LDataGridDataGroup>(m_sortedData[static_cast<size_t>(section)]);
    return group ? std::optional<std::string>(NSString::stringWithFormat("%@", group->groupValue())) : std::nullopt;
}

void LDataGridDataSourceHelper::latticeDataGridPrepareCellForDisplay(
    const Ref<LatticeDataGrid>&, const Ref<LDataGridCell>& cell)
{
    auto coord = cell ? cell->coordinate() : nullptr;
    if (!coord || !coord->column())
        return;
    auto item = itemAtRow(coord->rowIndex(), coord->sectionIndex());
    const auto& column = coord->column();
    if (!column->propertyKey()) {
        LatticeGridLog::logMessage(NSString::stringWithFormat(
            "The column with the header [%@] does not have the propertyKey property set. The datasource helper needs "
            "this property to be set in order to determine the values to render in the column",
            column->title().value_or("(null)")));
        return;
    }
    const std::string& key = *column->propertyKey();
    if (m_delegate
        && m_delegate->respondsToSelector(
            "dataGridDataSourceHelper:populateCell:withValue:forProperty:sourceObject:")) {
        Value value;
        try {
            value = displayPropertyValueWithSourceObject(key, item);
        } catch (const NSException&) {
            value = Value();
        }
        if (m_delegate->dataGridDataSourceHelperPopulateCellWithValueForPropertySourceObject(
                self<LDataGridDataSourceHelper>(), cell, value, key, item))
            return;
    }
    if (auto text = std::dynamic_pointer_cast<LDataGridTextCell>(cell)) {
        if (auto field = text->textField())
            field->setText(getValueForPropertyModelObject(key, item));
        return;
    }
    if (auto multi = std::dynamic_pointer_cast<LDataGridMultiLineTextCell>(cell)) {
        if (auto label = multi->textLabel())
            label->setText(getValueForPropertyModelObject(key, item));
        return;
    }
    LatticeGridLog::logMessage(NSString::stringWithFormat(
        "The column which renders the [%@] property is not of type LDataGridTextCell. The datasource helper can only "
        "auto-populate cells of this type. For all other cell types, implement the "
        "dataGridDataSourceHelper:populateCell:withValue:forProperty:sourceObject: delegate method.",
        key));
}

// The delegate operations handled here

void LDataGridDataSourceHelper::latticeDataGridDidChangeSortOrderForColumnFrom(
    const Ref<LatticeDataGrid>& grid, const Ref<LDataGridColumn>& column, int32_t previous)
{
    auto protectedThis = self<LDataGridDataSourceHelper>();
    suppressRowReOrderingWhenSorted();
    refreshGrid();
    if (m_delegate && m_delegate->respondsToSelector("latticeDataGrid:didChangeSortOrderForColumn:from:"))
        m_delegate->latticeDataGridDidChangeSortOrderForColumnFrom(grid, column, previous);
}

void LDataGridDataSourceHelper::latticeDataGridDidSelectRow(
    const Ref<LatticeDataGrid>& grid, const Ref<LDataGridRow>& row)
{
    if (m_isUpdatingSelectionState)
        return;
    updateSelection();
    if (m_delegate && m_delegate->respondsToSelector("latticeDataGrid:didSelectRow:"))
        m_delegate->latticeDataGridDidSelectRow(grid, row);
}

void LDataGridDataSourceHelper::latticeDataGridDidReorderRowWithRow(
    const Ref<LatticeDataGrid>& grid, const Ref<LDataGridRow>& a, const Ref<LDataGridRow>& b)
{
    if (!isGrouped() && a && b) {
        auto first = static_cast<size_t>(a->rowIndex());
        auto second = static_cast<size_t>(b->rowIndex());
        if (a->rowIndex() >= 0 && b->rowIndex() >= 0 && first < m_sortedData.size() && second < m_sortedData.size()) {
            auto itemA = m_sortedData[first];
            auto itemB = m_sortedData[second];
            std::swap(m_sortedData[first], m_sortedData[second]);
            // The data changes places too, so the next refresh keeps the new order.
            auto inData = [&](const Ref<NSObject>& item) { return std::find(m_data.begin(), m_data.end(), item); };
            auto dataA = inData(itemA);
            auto dataB = inData(itemB);
            if (dataA != m_data.end() && dataB != m_data.end())
                std::iter_swap(dataA, dataB);
        }
    }
    if (m_delegate && m_delegate->respondsToSelector("latticeDataGrid:didReorderRow:withRow:"))
        m_delegate->latticeDataGridDidReorderRowWithRow(grid, a, b);
}

// The rest, passed to the delegate

std::optional<float> LDataGridDataSourceHelper::latticeDataGridHeightForRowAtIndexInSection(
    const Ref<LatticeDataGrid>& grid, int32_t index, int32_t section)
{
    return m_delegate ? m_delegate->latticeDataGridHeightForRowAtIndexInSection(grid, index, section) : std::nullopt;
}

void LDataGridDataSourceHelper::latticeDataGridAlterStyleBeforeApplyingToCellAtCoordinate(
    const Ref<LatticeDataGrid>& grid, const Ref<LDataGridCellStyle>& style, const Ref<LDataGridCoord>& coord)
{
    if (m_delegate)
        m_delegate->latticeDataGridAlterStyleBeforeApplyingToCellAtCoordinate(grid, style, coord);
}

Ref<LDataGridLineStyle> LDataGridDataSourceHelper::latticeDataGridStyleForHorizontalGridLineAtIndexInSection(
    const Ref<LatticeDataGrid>& grid, int32_t index, int32_t section)
{
    return m_delegate ? m_delegate->latticeDataGridStyleForHorizontalGridLineAtIndexInSection(grid, index, section)
                      : nullptr;
}

Ref<LDataGridLineStyle> LDataGridDataSourceHelper::latticeDataGridStyleForVerticalGridLineAtIndex(
    const Ref<LatticeDataGrid>& grid, int32_t index)
{
    return m_delegate ? m_delegate->latticeDataGridStyleForVerticalGridLineAtIndex(grid, index) : nullptr;
}

Ref<LDataGridSectionHeaderStyle> LDataGridDataSourceHelper::latticeDataGridStyleForSectionHeaderAtIndex(
    const Ref<LatticeDataGrid>& grid, int32_t section)
{
    return m_delegate ? m_delegate->latticeDataGridStyleForSectionHeaderAtIndex(grid, section) : nullptr;
}

void LDataGridDataSourceHelper::didFinishLayingOutLatticeDataGrid(const Ref<LatticeDataGrid>& grid)
{
    if (m_delegate)
        m_delegate->didFinishLayingOutLatticeDataGrid(grid);
}

bool LDataGridDataSourceHelper::latticeDataGridShouldExpandSectionAtIndex(
    const Ref<LatticeDataGrid>& grid, uint32_t section)
{
    return m_delegate ? m_delegate->latticeDataGridShouldExpandSectionAtIndex(grid, section) : true;
}

void LDataGridDataSourceHelper::latticeDataGridWillExpandSectionAtIndex(
    const Ref<LatticeDataGrid>& grid, uint32_t section)
{
    if (m_delegate)
        m_delegate->latticeDataGridWillExpandSectionAtIndex(grid, section);
}

void LDataGridDataSourceHelper::latticeDataGridDidExpandSectionAtIndex(
    const Ref<LatticeDataGrid>& grid, uint32_t section)
{
    if (m_delegate)
        m_delegate->latticeDataGridDidExpandSectionAtIndex(grid, section);
}

bool LDataGridDataSourceHelper::latticeDataGridShouldCollapseSectionAtIndex(
    const Ref<LatticeDataGrid>& grid, uint32_t section)
{
    return m_delegate ? m_delegate->latticeDataGridShouldCollapseSectionAtIndex(grid, section) : true;
}

void LDataGridDataSourceHelper::latticeDataGridWillCollapseSectionAtIndex(
    const Ref<LatticeDataGrid>& grid, uint32_t section)
{
    if (m_delegate)
        m_delegate->latticeDataGridWillCollapseSectionAtIndex(grid, section);
}

void LDataGridDataSourceHelper::latticeDataGridDidCollapseSectionAtIndex(
    const Ref<LatticeDataGrid>& grid, uint32_t section)
{
    if (m_delegate)
        m_delegate->latticeDataGridDidCollapseSectionAtIndex(grid, section);
}

bool LDataGridDataSourceHelper::latticeDataGridShouldSelectCellAtCoordinate(
    const Ref<LatticeDataGrid>& grid, const Ref<LDataGridCoord>& coord)
{
    return m_delegate ? m_delegate->latticeDataGridShouldSelectCellAtCoordinate(grid, coord) : true;
}

void LDataGridDataSourceHelper::latticeDataGridWillSelectCellAtCoordinate(
    const Ref<LatticeDataGrid>& grid, const Ref<LDataGridCoord>& coord)
{
    if (m_delegate)
        m_delegate->latticeDataGridWillSelectCellAtCoordinate(grid, coord);
}

void LDataGridDataSourceHelper::latticeDataGridDidSelectCellAtCoordinate(
    const Ref<LatticeDataGrid>& grid, const Ref<LDataGridCoord>& coord)
{
    if (m_delegate)
        m_delegate->latticeDataGridDidSelectCellAtCoordinate(grid, coord);
}

bool LDataGridDataSourceHelper::latticeDataGridShouldDeselectCellAtCoordinate(
    const Ref<LatticeDataGrid>& grid, const Ref<LDataGridCoord>& coord)
{
    return m_delegate ? m_delegate->latticeDataGridShouldDeselectCellAtCoordinate(grid, coord) : true;
}

void LDataGridDataSourceHelper::latticeDataGridWillDeselectCellAtCoordinate(
    const Ref<LatticeDataGrid>& grid, const Ref<LDataGridCoord>& coord)
{
    if (m_delegate)
        m_delegate->latticeDataGridWillDeselectCellAtCoordinate(grid, coord);
}

void LDataGridDataSourceHelper::latticeDataGridDidDeselectCellAtCoordinate(
    const Ref<LatticeDataGrid>& grid, const Ref<LDataGridCoord>& coord)
{
    if (m_delegate)
        m_delegate->latticeDataGridDidDeselectCellAtCoordinate(grid, coord);
}

bool LDataGridDataSourceHelper::latticeDataGridShouldBeginEditingCellAtCoordinate(
    const Ref<LatticeDataGrid>& grid, const Ref<LDataGridCoord>& coord)
{
    return m_delegate ? m_delegate->latticeDataGridShouldBeginEditingCellAtCoordinate(grid, coord) : true;
}

void LDataGridDataSourceHelper::latticeDataGridWillBeginEditingCellAtCoordinate(
    const Ref<LatticeDataGrid>& grid, const Ref<LDataGridCoord>& coord)
{
    if (m_delegate)
        m_delegate->latticeDataGridWillBeginEditingCellAtCoordinate(grid, coord);
}

void LDataGridDataSourceHelper::latticeDataGridDidFinishEditingCellAtCoordinate(
    const Ref<LatticeDataGrid>& grid, const Ref<LDataGridCoord>& coord)
{
    if (m_delegate)
        m_delegate->latticeDataGridDidFinishEditingCellAtCoordinate(grid, coord);
}

void LDataGridDataSourceHelper::latticeDataGridDidTapCellAtCoordinateIsDoubleTap(
    const Ref<LatticeDataGrid>& grid, const Ref<LDataGridCoord>& coord, bool doubleTap)
{
    if (m_delegate)
        m_delegate->latticeDataGridDidTapCellAtCoordinateIsDoubleTap(grid, coord, doubleTap);
}

bool LDataGridDataSourceHelper::latticeDataGridCellCanRespondToDoubleTap(
    const Ref<LatticeDataGrid>& grid, const Ref<LDataGridCell>& cell)
{
    return m_delegate ? m_delegate->latticeDataGridCellCanRespondToDoubleTap(grid, cell) : true;
}

bool LDataGridDataSourceHelper::latticeDataGridShouldSelectRow(
    const Ref<LatticeDataGrid>& grid, const Ref<LDataGridRow>& row)
{
    return m_delegate ? m_delegate->latticeDataGridShouldSelectRow(grid, row) : true;
}

void LDataGridDataSourceHelper::latticeDataGridWillSelectRow(
    const Ref<LatticeDataGrid>& grid, const Ref<LDataGridRow>& row)
{
    if (m_delegate)
        m_delegate->latticeDataGridWillSelectRow(grid, row);
}

bool LDataGridDataSourceHelper::latticeDataGridShouldDeselectRow(
    const Ref<LatticeDataGrid>& grid, const Ref<LDataGridRow>& row)
{
    return m_delegate ? m_delegate->latticeDataGridShouldDeselectRow(grid, row) : true;
}

void LDataGridDataSourceHelper::latticeDataGridWillDeselectRow(
    const Ref<LatticeDataGrid>& grid, const Ref<LDataGridRow>& row)
{
    if (m_delegate)
        m_delegate->latticeDataGridWillDeselectRow(grid, row);
}

void LDataGridDataSourceHelper::latticeDataGridDidDeselectRow(
    const Ref<LatticeDataGrid>& grid, const Ref<LDataGridRow>& row)
{
    if (m_delegate)
        m_delegate->latticeDataGridDidDeselectRow(grid, row);
}

void LDataGridDataSourceHelper::latticeDataGridDidResizeColumnFromWidthToWidth(
    const Ref<LatticeDataGrid>& grid, const Ref<LDataGridColumn>& column, float from, float to)
{
    if (m_delegate)
        m_delegate->latticeDataGridDidResizeColumnFromWidthToWidth(grid, column, from, to);
}

std::optional<float> LDataGridDataSourceHelper::latticeDataGridWidthForResizingColumnWithCurrentWidthTargetWidth(
    const Ref<LatticeDataGrid>& grid, const Ref<LDataGridColumn>& column, float from, float to)
{
    return m_delegate
        ? m_delegate->latticeDataGridWidthForResizingColumnWithCurrentWidthTargetWidth(grid, column, from, to)
        : std::nullopt;
}

void LDataGridDataSourceHelper::latticeDataGridWillEndResizingColumnFromWidthToWidth(
    const Ref<LatticeDataGrid>& grid, const Ref<LDataGridColumn>& column, float from, float to)
{
    if (m_delegate)
        m_delegate->latticeDataGridWillEndResizingColumnFromWidthToWidth(grid, column, from, to);
}

void LDataGridDataSourceHelper::latticeDataGridDidEndResizingColumnFromWidthToWidth(
    const Ref<LatticeDataGrid>& grid, const Ref<LDataGridColumn>& column, float from, float to)
{
    if (m_delegate)
        m_delegate->latticeDataGridDidEndResizingColumnFromWidthToWidth(grid, column, from, to);
}

int32_t LDataGridDataSourceHelper::latticeDataGridPermittedDragDirectionForCellAtCoordinate(
    const Ref<LatticeDataGrid>& grid, const Ref<LDataGridCoord>& coord)
{
    return m_delegate ? m_delegate->latticeDataGridPermittedDragDirectionForCellAtCoordinate(grid, coord) : 0;
}

void LDataGridDataSourceHelper::latticeDataGridDidReorderColumnWithColumn(
    const Ref<LatticeDataGrid>& grid, const Ref<LDataGridColumn>& a, const Ref<LDataGridColumn>& b)
{
    if (m_delegate)
        m_delegate->latticeDataGridDidReorderColumnWithColumn(grid, a, b);
}

void LDataGridDataSourceHelper::latticeDataGridWillEndReorderingColumn(
    const Ref<LatticeDataGrid>& grid, const Ref<LDataGridColumn>& column)
{
    if (m_delegate)
        m_delegate->latticeDataGridWillEndReorderingColumn(grid, column);
}

void LDataGridDataSourceHelper::latticeDataGridDidEndReorderingColumn(
    const Ref<LatticeDataGrid>& grid, const Ref<LDataGridColumn>& column)
{
    if (m_delegate)
        m_delegate->latticeDataGridDidEndReorderingColumn(grid, column);
}

void LDataGridDataSourceHelper::latticeDataGridWillEndReorderingRow(
    const Ref<LatticeDataGrid>& grid, const Ref<LDataGridRow>& row)
{
    if (m_delegate)
        m_delegate->latticeDataGridWillEndReorderingRow(grid, row);
}

void LDataGridDataSourceHelper::latticeDataGridDidEndReorderingRow(
    const Ref<LatticeDataGrid>& grid, const Ref<LDataGridRow>& row)
{
    if (m_delegate)
        m_delegate->latticeDataGridDidEndReorderingRow(grid, row);
}

void LDataGridDataSourceHelper::latticeDataGridWillChangeSortOrderForColumnTo(
    const Ref<LatticeDataGrid>& grid, const Ref<LDataGridColumn>& column, int32_t order)
{
    if (m_delegate)
        m_delegate->latticeDataGridWillChangeSortOrderForColumnTo(grid, column, order);
}

std::optional<std::string> LDataGridDataSourceHelper::latticeDataGridTitleForFrozenHeaderInSection(
    const Ref<LatticeDataGrid>& grid, int32_t section)
{
    return m_delegate ? m_delegate->latticeDataGridTitleForFrozenHeaderInSection(grid, section) : std::nullopt;
}

Ref<UIView> LDataGridDataSourceHelper::latticeDataGridViewForHeaderInSectionInFrame(
    const Ref<LatticeDataGrid>& grid, int32_t section, CGRect frame)
{
    return m_delegate ? m_delegate->latticeDataGridViewForHeaderInSectionInFrame(grid, section, frame) : nullptr;
}

Ref<UIView> LDataGridDataSourceHelper::latticeDataGridViewForFrozenHeaderInSectionInFrame(
    const Ref<LatticeDataGrid>& grid, int32_t section, CGRect frame)
{
    return m_delegate ? m_delegate->latticeDataGridViewForFrozenHeaderInSectionInFrame(grid, section, frame) : nullptr;
}

void LDataGridDataSourceHelper::scrollViewDidScroll(const Ref<UIScrollView>& scrollView)
{
    if (m_delegate)
        m_delegate->scrollViewDidScroll(scrollView);
}

void LDataGridDataSourceHelper::scrollViewDidEndScrollingAnimation(const Ref<UIScrollView>& scrollView)
{
    if (m_delegate)
        m_delegate->scrollViewDidEndScrollingAnimation(scrollView);
}

void LDataGridDataSourceHelper::scrollViewDidEndDecelerating(const Ref<UIScrollView>& scrollView)
{
    if (m_delegate)
        m_delegate->scrollViewDidEndDecelerating(scrollView);
}

void LDataGridDataSourceHelper::scrollViewWillBeginDragging(const Ref<UIScrollView>& scrollView)
{
    if (m_delegate)
        m_delegate->scrollViewWillBeginDragging(scrollView);
}

void LDataGridDataSourceHelper::scrollViewWillEndDraggingWithVelocityTargetContentOffset(
    const Ref<UIScrollView>& scrollView, CGPoint velocity, CGPoint* target)
{
    if (m_delegate)
        m_delegate->scrollViewWillEndDraggingWithVelocityTargetContentOffset(scrollView, velocity, target);
}

void LDataGridDataSourceHelper::scrollViewDidEndDraggingWillDecelerate(
    const Ref<UIScrollView>& scrollView, bool decelerate)
{
    if (m_delegate)
        m_delegate->scrollViewDidEndDraggingWillDecelerate(scrollView, decelerate);
}

void LDataGridDataSourceHelper::scrollViewDidScrollToTop(const Ref<UIScrollView>& scrollView)
{
    if (m_delegate)
        m_delegate->scrollViewDidScrollToTop(scrollView);
}

void LDataGridDataSourceHelper::scrollViewWillBeginDecelerating(const Ref<UIScrollView>& scrollView)
{
    if (m_delegate)
        m_delegate->scrollViewWillBeginDecelerating(scrollView);
}

bool LDataGridDataSourceHelper::scrollViewShouldScrollToTop(const Ref<UIScrollView>& scrollView)
{
    return m_delegate ? m_delegate->scrollViewShouldScrollToTop(scrollView) : false;
}
