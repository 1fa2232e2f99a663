#include "grid/datagrid/LDataGridColumn.h"

#include "foundation/NSException.h"
#include "grid/datagrid/LDataGridHeaderCell.h"
#include "grid/datagrid/LDataGridHeaderMultiLineCell.h"
#include "grid/datagrid/LDataGridMultiLineTextCell.h"
#include "grid/datagrid/tests/DataGridTestSupport.h"
#include "testing/LogCapture.h"

// Rows and coordinates are values: equal by content, hashed alike, never equal to each other.
TEST(LDataGridRow, EqualityHashAndDescription)
{
    auto a = LDataGridRow::rowWithRowIndexSectionIndex(3, 1);
    auto b = LDataGridRow::rowFromRowStruct(LGridRowMake(3, 1));
    EXPECT_TRUE(a->isEqual(b.get()));
    EXPECT_EQ(a->hash(), b->hash());
    EXPECT_EQ(a->hash(), 3u * 37u + 1u + 23273u);
    EXPECT_FALSE(a->isEqual(LDataGridRow::zeroRow().get()));
    EXPECT_EQ(a->description(), "Row: {i=3, s=1}");

    auto column = LDataGridColumn::columnWithTitle(std::string("Reg"));
    auto coord = LDataGridCoord::coordinateWithColRow(column, a);
    EXPECT_EQ(coord->description(), "{c:Reg,r:3,s:1}");
    EXPECT_FALSE(a->isEqual(coord.get()));
    EXPECT_FALSE(coord->isEqual(a.get()));
    auto same = LDataGridCoord::coordinateWithColRow(column, b);
    EXPECT_TRUE(coord->isEqual(same.get()));
    EXPECT_EQ(coord->hash(), same->hash());
}

TEST_F(LDataGridColumnTest, StartsWithDefaultsAndDescribesItself)
{
    auto column = LDataGridColumn::columnWithTitleForProperty(std::string("Reg"), std::string("reg"));
    EXPECT_EQ(column->cellType(), LDataGridTextCell::classObject());
    EXPECT_EQ(column->headerCellType(), LDataGridHeaderCell::classObject());
    EXPECT_EQ(column->displayIndex(), 2147483647);
    EXPECT_EQ(column->sortOrder(), LDataGridColumnSortOrderNone);
    EXPECT_EQ(column->sortMode(), LDataGridColumnSortModeNone);
    EXPECT_FALSE(column->width());
    EXPECT_TRUE(column->cellStyle());
    EXPECT_TRUE(column->headerCellStyle());
    EXPECT_EQ(column->propertyKey(), "reg");
    std::string text = column->description();
    EXPECT_NE(text.find(" title: Reg, displayIndex: 2147483647>"), std::string::npos) << text;
}

// The next order for each mode and current order, and what tapping three times from None gives.
TEST_F(LDataGridColumnTest, NextSortOrderFollowsTheModeTable)
{
    struct Case {
        int32_t mode;
        int32_t from;
        int32_t next;
    } cases[] = {
        { LDataGridColumnSortModeNone, 0, 0 },
        { LDataGridColumnSortModeNone, 1, 0 },
        { LDataGridColumnSortModeToggle, 0, 1 },
        { LDataGridColumnSortModeToggle, 1, 2 },
        { LDataGridColumnSortModeToggle, 2, 1 },
        { LDataGridColumnSortModeCycle, 0, 1 },
        { LDataGridColumnSortModeCycle, 1, 2 },
        { LDataGridColumnSortModeCycle, 2, 0 },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << "mode " << c.mode << " from " << c.from);
        auto column = LDataGridColumn::init();
        column->setSortMode(LDataGridColumnSortModeCycle);
        column->setSortOrder(c.from);
        column->setSortMode(c.mode);
        EXPECT_EQ(column->nextSortOrderAccordingToSortMode(), c.next);
    }
    for (auto [mode, expected] : { std::pair { LDataGridColumnSortModeCycle, std::vector<int32_t> { 1, 2, 0 } },
             std::pair { LDataGridColumnSortModeToggle, std::vector<int32_t> { 1, 2, 1 } } }) {
        auto column = LDataGridColumn::init();
        column->setSortMode(mode);
        std::vector<int32_t> seen;
        for (int tap = 0; tap < 3; ++tap) {
            column->setSortOrder(column->nextSortOrderAccordingToSortMode());
            seen.push_back(column->sortOrder());
        }
        EXPECT_EQ(seen, expected);
    }
}

// Sorting one column resets its siblings first, each with its own callbacks, then tells the
// delegate about its own change; setting the order it already has sends nothing.
TEST_F(LDataGridColumnTest, SortOrderChangeResetsSiblingsAndTellsTheDelegate)
{
    auto client = FakeDataGridClient::make({ 2 });
    client->implemented.insert("latticeDataGrid:willChangeSortOrderForColumn:to:");
    client->implemented.insert("latticeDataGrid:didChangeSortOrderForColumn:from:");
    auto columns = columnsTitled({ "A", "B", "C" });
    for (const auto& column : columns)
        column->setSortMode(LDataGridColumnSortModeCycle);
    auto grid = makeGrid(client, columns);
    columns[0]->setSortOrderAndResetSiblings(LDataGridColumnSortOrderAscending, false);
    columns[2]->setSortOrderAndResetSiblings(LDataGridColumnSortOrderDescending, false);
    client->calls.clear();

    columns[1]->setSortOrder(LDataGridColumnSortOrderAscending);
    EXPECT_EQ(client->calls,
        (std::vector<std::string> { "will A 0", "did A 1", "will C 0", "did C 2", "will B 1", "did B 0" }));
    EXPECT_EQ(columns[0]->sortOrder(), 0);
    EXPECT_EQ(columns[2]->sortOrder(), 0);

    client->calls.clear();
    columns[1]->setSortOrder(LDataGridColumnSortOrderAscending);
    EXPECT_TRUE(client->calls.empty());
}

TEST_F(LDataGridColumnTest, ModeNoneRefusesOrderChangesWithALog)
{
    LogCapture log;
    auto column = LDataGridColumn::columnWithTitle(std::string("Lat"));
    column->setSortOrder(LDataGridColumnSortOrderNone);
    EXPECT_TRUE(log.messages().empty());
    column->setSortOrder(LDataGridColumnSortOrderAscending);
    EXPECT_EQ(column->sortOrder(), LDataGridColumnSortOrderNone);
    EXPECT_TRUE(loggedMessage(log.messages(),
        "An attempt to change the sortOrder has been made when sortMode == LDataGridColumnSortModeNone. The sortOrder "
        "will remain as LDataGridColumnSortOrderNone"));
}

TEST_F(LDataGridColumnTest, EqualityHashAndOrdering)
{
    auto a = LDataGridColumn::columnWithTitleDisplayIndex(std::string("Reg"), 2);
    auto b = LDataGridColumn::columnWithTitleDisplayIndex(std::string("Reg"), 2);
    EXPECT_TRUE(a->isEqual(b.get()));
    EXPECT_EQ(a->hash(), b->hash());
    EXPECT_EQ(a->compare(b), 0);
    b->setDisplayIndex(3);
    EXPECT_FALSE(a->isEqual(b.get()));
    EXPECT_EQ(a->compare(b), -1);
    EXPECT_EQ(b->compare(a), 1);
    auto multi
        = LDataGridColumn::columnWithTitleCellType(std::string("Reg"), LDataGridMultiLineTextCell::classObject());
    multi->setDisplayIndex(2);
    EXPECT_FALSE(a->isEqual(multi.get()));

    LogCapture log;
    EXPECT_FALSE(a->isEqual(LDataGridRow::zeroRow().get()));
    EXPECT_TRUE(loggedMessage(
        log.messages(), "Warning: testing equality of LDataGridRow object against LDataGridColumn object."));
}

TEST_F(LDataGridColumnTest, CellClassesAreChecked)
{
    LogCapture log;
    auto column = LDataGridColumn::init();
    column->setCellType(LDataGridMultiLineTextCell::classObject());
    EXPECT_TRUE(column->hasCellType(LDataGridTextInputCell::classObject()));
    EXPECT_FALSE(column->hasCellType(LDataGridTextCell::classObject()));
    column->setHeaderCellType(LDataGridHeaderMultiLineCell::classObject());
    EXPECT_THROW(column->setCellType(LDataGridRow::classObject()), NSException);
    EXPECT_THROW(column->setCellType(nullptr), NSException);
    EXPECT_THROW(column->setHeaderCellType(LDataGridTextCell::classObject()), NSException);
    EXPECT_TRUE(loggedMessage(log.messages(),
        "Attempt to set cellType as LDataGridRow. Property cellType must be LDataGridCell or a class that inherits "
        "from LDataGridCell"));
    EXPECT_EQ(column->cellType(), LDataGridMultiLineTextCell::classObject());
}
