#include "grid/LGridSection.h"

#include "grid/tests/GridTestSupport.h"

class LGridSectionTest : public GridTest {
protected:
    Ref<LGridCell> cellAt(int32_t column, int32_t rowIndex)
    {
        auto cell = LGridCell::initWithReuseIdentifier("Cell");
        cell->setGridCoord(LGridCoord::initWithColumnWithRow(column, LGridRowMake(rowIndex, 0)));
        return cell;
    }
};

TEST_F(LGridSectionTest, TheRowStoreKeepsCellsByRowInColumnOrder)
{
    auto client = FakeGridClient::make(5, { 10 });
    auto grid = makeGrid(client, CGRectMake(0, 0, 300, 200));
    auto section = LGridSection::initWithGridWithIndex(grid, 0);

    // A lookup of a row not filed leaves an empty slot that the next filed row takes.
    EXPECT_FALSE(section->visibleCellAtColAtRowIndex(1, 4));
    ASSERT_EQ(section->rowStore().size(), 1u);
    EXPECT_EQ(section->visibleRowIndexFromRow(LGridRowMake(7, 0)), 0);
    auto a = cellAt(3, 4);
    auto b = cellAt(1, 4);
    section->addCell(a);
    section->addCell(b);
    auto c = cellAt(1, 2);
    section->addCell(c);
    ASSERT_EQ(section->rowStore().size(), 2u);
    EXPECT_EQ(section->rowStore()[0], (LGridSection::RowArray { b, a }));
    EXPECT_EQ(section->visibleCellAtColAtRowIndex(3, 4), a);
    EXPECT_FALSE(section->visibleCellAtColAtRowIndex(2, 4));

    section->sortVisibleRows();
    EXPECT_EQ(section->rowStore()[0].front(), c);

    // Only the last column of some row is considered for discarding: column 1 ends row 2, so
    // it goes from every row; column 3 is kept.
    section->discardAllColumnsExcept({ 3 });
    EXPECT_EQ(section->visibleCells(), (std::vector<Ref<LGridCell>> { a }));
    section->removeRowRemoveFromView(LGridRowMake(4, 0), false);
    EXPECT_TRUE(section->visibleCells().empty());
}

TEST_F(LGridSectionTest, HeightCountersAreAddedTo)
{
    auto client = FakeGridClient::make(2, { 3 });
    client->implemented.insert("latticeGrid:styleForRowAtIndex:inSection:");
    client->rowStyle = [](int32_t i, int32_t) {
        return i == 1 ? LGridColRowStyle::styleWithSizeWithCellStyle(50.0f, nullptr) : nullptr;
    };
    auto grid = makeGrid(client, CGRectMake(0, 0, 300, 200));
    auto section = grid->dataSourceDelegateManager()->sectionAtIndex(0);
    int32_t unspecified = 2;
    float specifiedHeight = 10;
    int32_t specified = 1;
    section->collectNumberOfUnspecifiedHeightsAndSpecifiedHeightsAndNumberOfSpecifiedHeights(
        unspecified, specifiedHeight, specified);
    EXPECT_EQ(unspecified, 4);
    EXPECT_EQ(specified, 2);
    EXPECT_FLOAT_EQ(specifiedHeight, 10 + 51);
}
