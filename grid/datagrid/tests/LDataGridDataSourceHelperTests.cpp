#include "grid/datagrid/LDataGridDataSourceHelper.h"

#include "foundation/NSException.h"
#include "grid/LGridTextField.h"
#include "grid/datagrid/LDataGridDataGroup.h"
#include "grid/datagrid/LDataGridDataSourceHelperDelegate.h"
#include "grid/datagrid/tests/DataGridTestSupport.h"
#include "testing/LogCapture.h"
#include "uikit/UITextField.h"

namespace {

// A model object answering "name", "type" and "seats" by key.
class Airframe : public NSObject {
    VX_OBJECT(Airframe, NSObject)
public:
    Airframe(Passkey key, std::string name, std::string type, Value seats)
        : NSObject(key)
        , m_name(std::move(name))
        , m_type(std::move(type))
        , m_seats(std::move(seats))
    {
    }
    static Ref<NSObject> make(std::string name, std::string type, Value seats)
    {
        return NSObject::make<Airframe>(std::move(name), std::move(type), std::move(seats));
    }
    Value valueForKey(const std::string& key) override
    {
        if (key == "name")
            return m_name;
        if (key == "type")
            return m_type;
        if (key == "seats")
            return m_seats;
        return NSObject::valueForKey(key);
    }

private:
    std::string m_name;
    std::string m_type;
    Value m_seats;
};

class RecordingHelperDelegate : public NSObject, public LDataGridDataSourceHelperDelegate {
    VX_OBJECT(RecordingHelperDelegate, NSObject)
public:
    explicit RecordingHelperDelegate(Passkey key)
        : NSObject(key)
    {
    }
    static Ref<RecordingHelperDelegate> make() { return NSObject::make<RecordingHelperDelegate>(); }
    bool respondsToSelector(std::string_view selector) const override
    {
        return implemented.count(std::string(selector)) != 0;
    }
    bool dataGridDataSourceHelperPopulateCellWithValueForPropertySourceObject(const Ref<LDataGridDataSourceHelper>&,
        const Ref<LDataGridCell>& cell, const Value& value, const std::string& key, const Ref<NSObject>&) override
    {
        calls.push_back("populate " + key + " " + value.description());
        if (auto text = std::dynamic_pointer_cast<LDataGridTextCell>(cell); text && populateItself)
            text->setText("by delegate");
        return populateItself;
    }
    void dataGridDataSourceHelperDidUpdateSelectedItems(
        const Ref<LDataGridDataSourceHelper>&, const std::vector<Ref<NSObject>>& items) override
    {
        calls.push_back("selected " + std::to_string(items.size()));
    }
    void latticeDataGridWillSelectRow(const Ref<LatticeDataGrid>&, const Ref<LDataGridRow>& row) override
    {
        calls.push_back("willSelect " + row->description());
    }

    std::set<std::string> implemented;
    std::vector<std::string> calls;
    bool populateItself { false };
};

} // namespace

class LDataGridDataSourceHelperTest : public DataGridTest {
protected:
    void SetUp() override
    {
        DataGridTest::SetUp();
        grid = LatticeDataGrid::initWithFrame(CGRectMake(0, 0, 600, 400));
        helper = LDataGridDataSourceHelper::initWithDataGrid(grid);
        nameColumn = LDataGridColumn::columnWithTitleForProperty(std::string("Name"), std::string("name"));
        seatsColumn = LDataGridColumn::columnWithTitleForProperty(std::string("Seats"), std::string("seats"));
        nameColumn->setSortMode(LDataGridColumnSortModeCycle);
        seatsColumn->setSortMode(LDataGridColumnSortModeCycle);
        grid->setColumns(std::vector { nameColumn, seatsColumn });
        items = { Airframe::make("Delta", "A320", 180), Airframe::make("Alpha", "B738", 189),
            Airframe::make("Charlie", "A320", 150), Airframe::make("Bravo", "E190", 100) };
        helper->setData(items);
        grid->layoutIfNeeded();
        grid->internalGrid()->layoutIfNeeded();
    }

    std::vector<std::string> names(const std::vector<Ref<NSObject>>& list)
    {
        std::vector<std::string> result;
        for (const auto& item : list)
            result.push_back(item->valueForKey("name").string());
        return result;
    }

    std::string cellText(int32_t column, int32_t row, int32_t section = 0)
    {
        auto cell = std::dynamic_pointer_cast<LDataGridTextCell>(
            grid->visibleCellAtColAndRow(column, LDataGridRow::rowWithRowIndexSectionIndex(row, section)));
        return cell ? cell->text().value_or("") : std::string("(no cell)");
    }

    Ref<LatticeDataGrid> grid;
    Ref<LDataGridDataSourceHelper> helper;
    Ref<LDataGridColumn> nameColumn;
    Ref<LDataGridColumn> seatsColumn;
    std::vector<Ref<NSObject>> items;
};

TEST_F(LDataGridDataSourceHelperTest, ShowsTheDataInItsOrderAndSortsByOneColumn)
{
    EXPECT_EQ(grid->dataSource().get(), static_cast<LDataGridDataSource*>(helper.get()));
    EXPECT_EQ(names(helper->sortedData()), (std::vector<std::string> { "Delta", "Alpha", "Charlie", "Bravo" }));
    EXPECT_EQ(cellText(0, 1), "Alpha");
    EXPECT_EQ(cellText(1, 1), "189");

    nameColumn->setSortOrder(LDataGridColumnSortOrderAscending);
    EXPECT_EQ(names(helper->sortedData()), (std::vector<std::string> { "Alpha", "Bravo", "Charlie", "Delta" }));
    EXPECT_EQ(cellText(0, 0), "Alpha");
    // Sorting another column resets the first: one sorted column at a time.
    seatsColumn->setSortOrder(LDataGridColumnSortOrderDescending);
    EXPECT_EQ(helper->sortedColumns(), (std::vector<int32_t> { 1 }));
    EXPECT_EQ(names(helper->sortedData()), (std::vector<std::string> { "Alpha", "Delta", "Charlie", "Bravo" }));
    seatsColumn->setSortOrder(LDataGridColumnSortOrderNone);
    EXPECT_EQ(names(helper->sortedData()), (std::vector<std::string> { "Delta", "Alpha", "Charlie", "Bravo" }));

    LogCapture log;
    nameColumn->setSortOrderAndResetSiblings(LDataGridColumnSortOrderAscending, false);
    seatsColumn->setSortOrderAndResetSiblings(LDataGridColumnSortOrderAscending, false);
    EXPECT_TRUE(log.contains("The datasource helper only supports sorting by a single column"));
    EXPECT_EQ(names(helper->sortedData()), (std::vector<std::string> { "Delta", "Alpha", "Charlie", "Bravo" }));
}

// Missing values and values of different kinds sort without failing.
TEST_F(LDataGridDataSourceHelperTest, SortValuesOfMixedKindsHaveATotalOrder)
{
    helper->setData({ Airframe::make("A", "x", Value("many")), Airframe::make("B", "x", 12),
        Airframe::make("C", "x", Value()), Airframe::make("D", "x", 3.5) });
    seatsColumn->setSortOrder(LDataGridColumnSortOrderAscending);
    EXPECT_EQ(names(helper->sortedData()), (std::vector<std::string> { "C", "D", "B", "A" }));
    EXPECT_EQ(LDataGridDataSourceHelper::compareValues(Value(), Value()), 0);
    EXPECT_EQ(LDataGridDataSourceHelper::compareValues(Value(2), Value(10)), -1);
    EXPECT_EQ(LDataGridDataSourceHelper::compareValues(Value("b"), Value("a")), 1);
}

TEST_F(LDataGridDataSourceHelperTest, GroupsBecomeSectionsTitledWithTheirValue)
{
    helper->setGroupedPropertySortOrder(LDataGridColumnSortOrderDescending);
    helper->setGroupedPropertyKey(std::string("type"));
    ASSERT_EQ(helper->sortedData().size(), 3u);
    EXPECT_EQ(grid->numberOfSections(), 3u);
    std::vector<std::string> titles;
    for (int32_t s = 0; s < 3; ++s)
        titles.push_back(helper->latticeDataGridTitleForHeaderInSection(grid, s).value_or(""));
    EXPECT_EQ(titles, (std::vector<std::string> { "E190", "B738", "A320" }));
    auto a320 = std::dynamic_pointer_cast<LDataGridDataGroup>(helper->sortedData()[2]);
    ASSERT_TRUE(a320);
    EXPECT_EQ(names(a320->items()), (std::vector<std::string> { "Delta", "Charlie" }));
    nameColumn->setSortOrder(LDataGridColumnSortOrderAscending);
    a320 = std::dynamic_pointer_cast<LDataGridDataGroup>(helper->sortedData()[2]);
    EXPECT_EQ(names(a320->items()), (std::vector<std::string> { "Charlie", "Delta" }));
    auto row = helper->dataGridRowForDataItem(items[0]);
    ASSERT_TRUE(row);
    EXPECT_EQ(row->description(), "Row: {i=1, s=2}");
}

// The selection is a list of items: it follows them through sorting, drops items no longer
// shown from the grid's selection, and is rebuilt from the grid when the user selects a row.
TEST_F(LDataGridDataSourceHelperTest, SelectionFollowsItems)
{
    auto delegate = RecordingHelperDelegate::make();
    delegate->implemented.insert("dataGridDataSourceHelper:didUpdateSelectedItems:");
    helper->setDelegate(delegate);
    helper->setSelectedItems({ items[1] });
    drainAll();
    ASSERT_EQ(grid->selectedRows().size(), 1u);
    EXPECT_EQ(grid->selectedRows()[0]->rowIndex(), 1);
    nameColumn->setSortOrder(LDataGridColumnSortOrderDescending);
    drainAll();
    ASSERT_EQ(grid->selectedRows().size(), 1u);
    EXPECT_EQ(grid->selectedRows()[0]->rowIndex(), 3);
    EXPECT_TRUE(delegate->calls.empty());

    helper->setData({ items[0], items[2] });
    drainAll();
    EXPECT_TRUE(grid->selectedRows().empty());
    EXPECT_EQ(helper->selectedItems().size(), 1u);

    grid->setRowAsSelectedAnimated(LDataGridRow::rowWithRowIndexSectionIndex(0, 0), true, false);
    drainAll();
    EXPECT_EQ(names(helper->selectedItems()), (std::vector<std::string> { "Delta" }));
    EXPECT_EQ(delegate->calls, (std::vector<std::string> { "selected 1" }));
}

TEST_F(LDataGridDataSourceHelperTest, CellsThatCannotBeFilled)
{
    LogCapture log;
    auto untitled = LDataGridColumn::columnWithTitle(std::string("Nothing"));
    auto missing = LDataGridColumn::columnWithTitleForProperty(std::string("Range"), std::string("range"));
    auto plain = LDataGridColumn::columnWithTitleForPropertyCellTypeHeaderCellType(
        std::string("Plain"), std::string("name"), LDataGridCell::classObject(), nullptr);
    grid->setColumns(std::vector { nameColumn, untitled, missing, plain });
    grid->reload();
    grid->internalGrid()->layoutIfNeeded();
    EXPECT_EQ(cellText(2, 0), "n/a");
    EXPECT_TRUE(log.contains("The object being rendered in the grid does not have a property with name =[range]"));
    EXPECT_TRUE(log.contains("The column with the header [Nothing] does not have the propertyKey property set. The "
                             "datasource helper needs this property to be set in order to determine the values to "
                             "render in the column"));
    EXPECT_TRUE(log.contains(
        "The column which renders the [name] property is not of type LDataGridTextCell. The datasource helper can "
        "only auto-populate cells of this type. For all other cell types, implement the "
        "dataGridDataSourceHelper:populateCell:withValue:forProperty:sourceObject: delegate method."));
}

// A delegate that fills cells itself leaves them alone; other grid callbacks reach it through
// the helper.
TEST_F(LDataGridDataSourceHelperTest, DelegateFillsCellsAndHearsTheRest)
{
    auto delegate = RecordingHelperDelegate::make();
    delegate->implemented = { "dataGridDataSourceHelper:populateCell:withValue:forProperty:sourceObject:",
        "latticeDataGrid:willSelectRow:" };
    delegate->populateItself = true;
    helper->setDelegate(delegate);
    grid->internalGrid()->layoutIfNeeded();
    EXPECT_EQ(cellText(0, 0), "by delegate");
    EXPECT_NE(std::find(delegate->calls.begin(), delegate->calls.end(), "populate name Delta"), delegate->calls.end());
    EXPECT_TRUE(helper->respondsToSelector("latticeDataGrid:willSelectRow:"));
    EXPECT_FALSE(helper->respondsToSelector("latticeDataGrid:didDeselectRow:"));
    grid->setRowAsSelectedAnimated(LDataGridRow::rowWithRowIndexSectionIndex(2, 0), true, false);
    drainAll();
    EXPECT_NE(
        std::find(delegate->calls.begin(), delegate->calls.end(), "willSelect Row: {i=2, s=0}"), delegate->calls.end());
    helper->setDelegate(nullptr);
}

// Reordering rows changes the data too, so a refresh keeps the new order; sorting switches row
// reordering off and back to the grid's own setting, however often the sort changes.
TEST_F(LDataGridDataSourceHelperTest, RowReorderingAndSorting)
{
    helper->latticeDataGridDidReorderRowWithRow(
        grid, LDataGridRow::rowWithRowIndexSectionIndex(0, 0), LDataGridRow::rowWithRowIndexSectionIndex(3, 0));
    EXPECT_EQ(names(helper->sortedData()), (std::vector<std::string> { "Bravo", "Alpha", "Charlie", "Delta" }));
    helper->reloadData();
    EXPECT_EQ(names(helper->sortedData()), (std::vector<std::string> { "Bravo", "Alpha", "Charlie", "Delta" }));

    grid->setCanReorderRows(true);
    nameColumn->setSortOrder(LDataGridColumnSortOrderAscending);
    EXPECT_FALSE(grid->canReorderRows());
    nameColumn->setSortOrder(LDataGridColumnSortOrderDescending);
    EXPECT_FALSE(grid->canReorderRows());
    nameColumn->setSortOrder(LDataGridColumnSortOrderNone);
    EXPECT_TRUE(grid->canReorderRows());
}

TEST(LDataGridDataSourceHelper, NeedsAGrid)
{
    EXPECT_THROW(LDataGridDataSourceHelper::initWithDataGrid(nullptr), NSException);
}
