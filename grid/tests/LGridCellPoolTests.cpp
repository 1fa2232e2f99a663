#include "grid/LGridCellPool.h"

#include "grid/tests/GridTestSupport.h"

TEST_F(LGridCellPoolTest, PoolsHandOutTheLastReturnedCellFirst)
{
    EXPECT_FALSE(LGridCellPool::getCellWithIdentifier("A"));
    auto a = LGridCell::initWithReuseIdentifier("A");
    auto b = LGridCell::initWithReuseIdentifier("A");
    a->setSelected(true);
    LGridCellPool::returnCell(a);
    EXPECT_TRUE(a->isHidden());
    EXPECT_FALSE(a->selected()) << "reset for reuse on return";
    LGridCellPool::returnCell(b);
    LGridCellPool::returnCell(b);
    EXPECT_EQ(LGridCellPool::getSharedPoolForIdentifier("A")->count(), 2u) << "a cell is pooled once";
    EXPECT_EQ(LGridCellPool::getCellWithIdentifier("A"), b);
    auto taken = LGridCellPool::getCellWithIdentifier("A");
    EXPECT_EQ(taken, a);
    EXPECT_FALSE(taken->isHidden());
    EXPECT_FALSE(LGridCellPool::getCellWithIdentifier("A"));
}

TEST_F(LGridCellPoolTest, ReleasingAGridEmptiesThePoolsOfEveryGrid)
{
    auto client = FakeGridClient::make(20, { 100 });
    auto grid = makeGrid(client, CGRectMake(0, 0, 400, 300));
    grid->layoutIfNeeded();
    for (int32_t step = 1; step <= 5; ++step)
        grid->setContentOffset(CGPointMake(0, 41.0f * step));
    LGridCellPool::returnCell(LGridCell::initWithReuseIdentifier("Cell"));
    EXPECT_GT(LGridCellPool::getSharedPoolForIdentifier("Cell")->count(), 0u);

    auto other = LatticeGrid::initWithFrame(CGRectMake(0, 0, 100, 100));
    other = nullptr;
    EXPECT_EQ(LGridCellPool::getSharedPoolForIdentifier("Cell")->count(), 0u);
    EXPECT_FALSE(grid->dequeueReusableCellWithIdentifier(std::string("Cell")));
}
