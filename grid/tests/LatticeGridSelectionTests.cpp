#include "grid/LatticeGrid.h"

#include "grid/NSValue+LGridRow.h"
#include "grid/tests/GridTestSupport.h"
#include "testing/LogCapture.h"

#include <algorithm>

namespace {

using Coords = std::vector<std::pair<int32_t, int32_t>>;

Coords recordOf(const Ref<LatticeGrid>& grid)
{
    Coords coords;
    for (const auto& c : grid->selectedCellGridCoords())
        coords.emplace_back(c->column(), c->rowIndex());
    std::sort(coords.begin(), coords.end());
    return coords;
}

Coords rowOf(int32_t rowIndex, int32_t columns = 3)
{
    Coords coords;
    for (int32_t c = 0; c < columns; ++c)
        coords.emplace_back(c, rowIndex);
    return coords;
}

} // namespace

TEST_F(LatticeGridTest, TapsSelectByTheSelectionMode)
{
    struct Case {
        const char* name;
        int32_t mode;
        std::vector<std::pair<int32_t, int32_t>> taps; // column, row index
        Coords recorded;
    };
    const Case cases[] = {
        { "single cell: moves, then a tap on the selected cell only deselects", LGridSelectionModeSingleCell,
            { { 0, 0 }, { 1, 1 }, { 1, 1 } }, {} },
        { "single cell: moves", LGridSelectionModeSingleCell, { { 0, 0 }, { 1, 1 } }, { { 1, 1 } } },
        { "multiple cells toggle alone", LGridSelectionModeMultipleCells, { { 0, 0 }, { 1, 1 }, { 0, 0 }, { 2, 3 } },
            { { 1, 1 }, { 2, 3 } } },
        { "single row: moves", LGridSelectionModeSingleRow, { { 0, 1 }, { 2, 2 } }, rowOf(2) },
        { "single row: a tap on the selected row deselects it", LGridSelectionModeSingleRow, { { 0, 1 }, { 2, 1 } },
            {} },
        { "multiple rows toggle", LGridSelectionModeMultipleRows, { { 0, 1 }, { 0, 2 }, { 1, 1 } }, rowOf(2) },
        { "none", LGridSelectionModeNone, { { 0, 1 }, { 1, 1 } }, {} },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        auto client = FakeGridClient::make(3, { 4 });
        auto grid = makeGrid(client, CGRectMake(0, 0, 400, 300));
        grid->setSelectionMode(c.mode);
        grid->layoutIfNeeded();
        for (auto [column, index] : c.taps)
            grid->visibleCellAtColAndRow(column, row(index, 0))->actUponSelectionEvent();
        EXPECT_EQ(recordOf(grid), c.recorded);
        for (int32_t column = 0; column < 3; ++column) {
            for (int32_t index = 0; index < 4; ++index) {
                bool recorded
                    = std::find(c.recorded.begin(), c.recorded.end(), std::pair(column, index)) != c.recorded.end();
                EXPECT_EQ(grid->visibleCellAtColAndRow(column, row(index, 0))->selected(), recorded)
                    << column << "," << index;
            }
        }
        bool rowMode = c.mode == LGridSelectionModeSingleRow || c.mode == LGridSelectionModeMultipleRows;
        if (!c.recorded.empty()) {
            EXPECT_EQ(grid->isRowSelected(row(c.recorded.back().second, 0)), rowMode);
        }
    }
}

TEST_F(LatticeGridTest, RowTapsAskAndTellTheDelegateAndARefusalKeepsTheSelection)
{
    auto client = FakeGridClient::make(3, { 4 });
    implementSelectionCallbacks(client);
    auto grid = makeGrid(client, CGRectMake(0, 0, 400, 300));
    grid->setSelectionMode(LGridSelectionModeSingleRow);
    grid->layoutIfNeeded();
    grid->visibleCellAtColAndRow(0, row(1, 0))->actUponSelectionEvent();
    client->calls.clear();
    grid->visibleCellAtColAndRow(1, row(2, 0))->actUponSelectionEvent();
    EXPECT_EQ(client->calls,
        (std::vector<std::string> { "shouldDeselectRow 1,0", "willDeselectRow 1,0", "didDeselectRow 1,0",
            "shouldSelectRow 2,0", "willSelectRow 2,0", "didSelectRow 2,0" }));

    // The delegate refuses the deselection: the tapped row is selected beside the old one.
    client->allowDeselection = false;
    grid->visibleCellAtColAndRow(1, row(3, 0))->actUponSelectionEvent();
    auto rows = grid->selectedRowList();
    EXPECT_EQ(asPairs(rows), (std::vector<std::pair<int32_t, int32_t>> { { 2, 0 }, { 3, 0 } }));

    // With single-row deselection prevented, a tap on a selected row does nothing at all.
    client->allowDeselection = true;
    grid->setPreventSingleRowDeselection(true);
    client->calls.clear();
    grid->visibleCellAtColAndRow(0, row(3, 0))->actUponSelectionEvent();
    EXPECT_TRUE(client->calls.empty());
    EXPECT_TRUE(grid->isRowSelected(row(3, 0)));

    // A programmatic row change tells but never asks.
    client->calls.clear();
    grid->setRowAsSelectedAnimated(row(0, 0), true, false);
    EXPECT_EQ(client->calls, (std::vector<std::string> { "willSelectRow 0,0", "didSelectRow 0,0" }));
}

TEST_F(LatticeGridTest, ARowSelectedPartlyOutOfViewIsRecordedAndShowsWhenScrolledIn)
{
    auto client = FakeGridClient::make(6, { 4 });
    auto grid = makeGrid(client, CGRectMake(0, 0, 250, 300));
    grid->setSelectionMode(LGridSelectionModeMultipleRows);
    grid->layoutIfNeeded();
    ASSERT_FALSE(grid->visibleCellAtColAndRow(5, row(1, 0)));
    grid->setRowAsSelectedAnimated(row(1, 0), true, false);
    EXPECT_EQ(recordOf(grid), rowOf(1, 6));
    EXPECT_EQ(grid->selectedRows().count(), 1u);
    EXPECT_EQ(NSValue_LGridRow::rowValue(grid->selectedRows()[0])->index, 1);
    EXPECT_TRUE(grid->visibleCellAtColAndRow(0, row(1, 0))->selected());

    grid->setContentOffset(CGPointMake(grid->contentSize().width - 250, 0));
    grid->layoutIfNeeded();
    auto far = grid->visibleCellAtColAndRow(5, row(1, 0));
    ASSERT_TRUE(far);
    EXPECT_TRUE(far->selected());

    grid->setRowAsSelectedAnimated(row(1, 0), false, false);
    EXPECT_TRUE(grid->selectedCellGridCoords().empty());
    EXPECT_FALSE(far->selected());
}

TEST_F(LatticeGridTest, SelectedRowsSkipEntriesThatAreNotRowsAndWaitForADataSource)
{
    auto client = FakeGridClient::make(3, { 4 });
    implementSelectionCallbacks(client);
    auto grid = LatticeGrid::initWithFrame(CGRectMake(0, 0, 400, 300));
    grid->setSelectionMode(LGridSelectionModeMultipleRows);
    LogCapture log;
    grid->setSelectedRows(Value::array(
        { NSValue_LGridRow::valueWithRow(row(2, 0)), Value("row 1"), NSValue_LGridRow::valueWithRow(row(0, 0)) }));
    ASSERT_EQ(log.messages().size(), 1u);
    EXPECT_EQ(messageOf(log.messages()[0]),
        "Entry 1 of array passed to setSelectedRows:animated: was not an NSValue object (was a NSString object), so "
        "no row set as selected.");
    EXPECT_TRUE(grid->selectedCellGridCoords().empty()) << "queued until the grid has a data source";

    grid->setDataSource(client);
    grid->setDelegate(client);
    grid->layoutIfNeeded();
    EXPECT_EQ(asPairs(grid->selectedRowList()), (std::vector<std::pair<int32_t, int32_t>> { { 2, 0 }, { 0, 0 } }));
    EXPECT_EQ(client->callsStartingWith("didSelectRow"),
        (std::vector<std::string> { "didSelectRow 2,0", "didSelectRow 0,0" }));

    // A client reload empties the selection without telling anyone.
    client->calls.clear();
    grid->reload();
    EXPECT_TRUE(grid->selectedCellGridCoords().empty());
    EXPECT_TRUE(client->callsStartingWith("didDeselect").empty());
}

TEST_F(LatticeGridTest, AnUnknownSelectionModeIsFatalAtTheFirstTap)
{
    auto client = FakeGridClient::make(3, { 4 });
    auto grid = makeGrid(client, CGRectMake(0, 0, 400, 300));
    grid->layoutIfNeeded();
    grid->setSelectionMode(-1);
    LogCapture log;
    try {
        grid->handleSelectionEventOnCell(grid->visibleCellAtColAndRow(0, row(0, 0)));
        FAIL();
    } catch (const NSException& e) {
        EXPECT_EQ(
            messageOf(e.reason()), "LGridSelectionMode not recognised in -[LatticeGrid handleSelectionEventOnCell:]");
    }
}
