#include "grid/LatticeGrid.h"

#include "grid/LGridLayer.h"
#include "grid/LGridSection.h"
#include "grid/tests/GridTestSupport.h"
#include "testing/LogCapture.h"

// 20 columns of 100 + half lines, rows of 40 + half lines, in a 400 x 300 grid.
TEST_F(LatticeGridTest, LayoutLoadsARectangularWindowFromTheTopLeft)
{
    auto client = FakeGridClient::make(20, { 100 });
    client->implemented.insert("didFinishLayingOutLatticeGrid:");
    auto grid = makeGrid(client, CGRectMake(0, 0, 400, 300));
    grid->layoutIfNeeded();

    // The load runs to the first column starting at 400 or beyond (4, at 405) and the first
    // row starting beyond 300 (8, at 329.5); the tidy then drops column 4 (wholly outside)
    // and keeps row 8 as the one spare row past the bottom edge.
    auto columns = grid->visibleColumnIndexes();
    ASSERT_FALSE(columns.empty());
    EXPECT_EQ(columns.front(), 0);
    EXPECT_EQ(columns.back(), 3);
    auto rows = grid->visibleRows();
    EXPECT_EQ(rows.front(), row(0, 0));
    EXPECT_EQ(rows.back(), row(8, 0));

    // Sizes include half of each neighbouring line; the outer border is 1.5.
    auto first = grid->visibleCellAtColAndRow(0, row(0, 0));
    ASSERT_TRUE(first);
    EXPECT_FLOAT_EQ(first->frame().origin.x, 1.5f);
    EXPECT_FLOAT_EQ(first->frame().origin.y, 1.5f);
    EXPECT_FLOAT_EQ(first->frame().size.width, 100.5f);
    EXPECT_FLOAT_EQ(first->frame().size.height, 41.0f);
    auto second = grid->visibleCellAtColAndRow(1, row(1, 0));
    ASSERT_TRUE(second);
    EXPECT_FLOAT_EQ(second->frame().origin.x, 1.5f + 100.5f);
    EXPECT_FLOAT_EQ(second->frame().origin.y, 1.5f + 41.0f);
    EXPECT_EQ(second->owningLayer(), grid->liquidLayer());

    // Only the window's cells (and the column dropped by the tidy) were asked for.
    EXPECT_LE(client->callsStartingWith("cellFor").size(), 5u * 10u);
    EXPECT_EQ(client->callsStartingWith("didFinishLayingOut").size(), 1u);
    // No line after the last column or below the last row; a border of 1.5 on each side.
    EXPECT_FLOAT_EQ(grid->contentSize().width, 20 * 101 - 1 + 3);
    EXPECT_FLOAT_EQ(grid->contentSize().height, 100 * 41 - 0.5f + 3);
}

TEST_F(LatticeGridTest, ScrollingSlidesTheWindowAndRecyclesCellsThroughThePool)
{
    auto client = FakeGridClient::make(20, { 1000 });
    auto grid = makeGrid(client, CGRectMake(0, 0, 400, 300));
    grid->layoutIfNeeded();
    int32_t madeAfterLayout = client->cellsMade;

    // Step down one row at a time through 100 rows: the window keeps its size and new rows come
    // from cells that left at the top.
    for (int32_t step = 1; step <= 100; ++step)
        grid->setContentOffset(CGPointMake(0, 41.0f * step));
    // Row 99 ends 1.5 points below the top edge, so it stays; row 108 is the spare row.
    auto rows = grid->visibleRows();
    EXPECT_EQ(rows.front(), row(99, 0));
    EXPECT_EQ(rows.back(), row(108, 0));
    EXPECT_EQ(grid->visibleColumnIndexes(), (std::vector<int32_t> { 0, 1, 2, 3 }));
    EXPECT_LE(client->cellsMade, madeAfterLayout + 8);
    auto cell = grid->visibleCellAtColAndRow(2, row(104, 0));
    ASSERT_TRUE(cell);
    EXPECT_FLOAT_EQ(cell->frame().origin.y, 1.5f + 41.0f * 104);
    EXPECT_FLOAT_EQ(cell->frame().origin.x, 1.5f + 100.5f + 101.0f);

    // Sideways, then back: columns leave at the left and come back.
    grid->setContentOffset(CGPointMake(250, 41.0f * 100));
    EXPECT_EQ(grid->visibleColumnIndexes(), (std::vector<int32_t> { 2, 3, 4, 5, 6, 7 }));
    grid->setContentOffset(CGPointMake(0, 41.0f * 100));
    EXPECT_EQ(grid->visibleColumnIndexes().front(), 0);
    EXPECT_FLOAT_EQ(grid->visibleCellAtColAndRow(0, row(101, 0))->frame().origin.x, 1.5f);

    // And up again to the top.
    for (int32_t step = 99; step >= 0; --step)
        grid->setContentOffset(CGPointMake(0, 41.0f * step));
    EXPECT_EQ(grid->visibleRows().front(), row(0, 0));
    EXPECT_FLOAT_EQ(grid->visibleCellAtColAndRow(1, row(0, 0))->frame().origin.y, 1.5f);
}

TEST_F(LatticeGridTest, FrozenRowsAndColumnsStayInTheirPanes)
{
    auto client = FakeGridClient::make(20, { 100 });
    auto grid = makeGrid(client, CGRectMake(0, 0, 400, 300));
    grid->setNumberOfFrozenRows(2);
    grid->setNumberOfFrozenColumns(1);
    grid->layoutIfNeeded();
    EXPECT_EQ(grid->lastFrozenRow(), row(1, 0));

    struct Case {
        int32_t column;
        LGridRow row;
        Ref<LGridLayer> pane;
    };
    for (const auto& c :
        std::vector<Case> { { 0, row(0, 0), grid->staticLayer() }, { 2, row(1, 0), grid->verticallyFrozenLayer() },
            { 0, row(3, 0), grid->horizontallyFrozenLayer() }, { 2, row(3, 0), grid->liquidLayer() } }) {
        SCOPED_TRACE(c.column);
        auto cell = grid->visibleCellAtColAndRow(c.column, c.row);
        ASSERT_TRUE(cell);
        EXPECT_EQ(cell->owningLayer(), c.pane);
    }

    // Each pane follows only the components its freeze type allows; negative components never
    // reach the frozen panes.
    grid->setContentOffset(CGPointMake(120, 400));
    EXPECT_EQ(grid->liquidLayer()->contentOffset(), CGPointMake(120, 400));
    EXPECT_EQ(grid->verticallyFrozenLayer()->contentOffset(), CGPointMake(120, 0));
    EXPECT_EQ(grid->horizontallyFrozenLayer()->contentOffset(), CGPointMake(0, 400));
    EXPECT_EQ(grid->staticLayer()->contentOffset(), CGPointMake(0, 0));
    grid->setContentOffset(CGPointMake(-20, -30));
    EXPECT_EQ(grid->liquidLayer()->contentOffset(), CGPointMake(-20, -30));
    EXPECT_EQ(grid->verticallyFrozenLayer()->contentOffset(), CGPointMake(0, 0));
    EXPECT_EQ(grid->horizontallyFrozenLayer()->contentOffset(), CGPointMake(0, 0));

    // Scrolled down, the frozen rows stay in the window ahead of the scrolled run, which starts
    // at the first row not wholly above the offset (row 19 ends at 821.5 > 820).
    for (int32_t step = 1; step <= 20; ++step)
        grid->setContentOffset(CGPointMake(0, 41.0f * step));
    auto rows = grid->visibleRows();
    ASSERT_GE(rows.size(), 3u);
    EXPECT_EQ(rows[0], row(0, 0));
    EXPECT_EQ(rows[1], row(1, 0));
    EXPECT_EQ(rows[2].index, 19);
    // A layout pass anchors again at the first scrolled row and keeps the frozen ones.
    grid->setNeedsLayout();
    grid->layoutIfNeeded();
    rows = grid->visibleRows();
    EXPECT_EQ(rows[0], row(0, 0));
    EXPECT_EQ(rows[2].index, 19);

    // Freezing as many rows as the grid has freezes none.
    grid->setNumberOfFrozenRows(100);
    grid->reload();
    EXPECT_EQ(grid->innerNumberOfFrozenRows(), 0u);
    EXPECT_EQ(grid->lastFrozenRow(), row(-1, -1));
}

TEST_F(LatticeGridTest, ScrollingAFrozenPaneMovesTheLiquidPaneAndTellsTheDelegateOnce)
{
    auto client = FakeGridClient::make(20, { 100 });
    client->implemented.insert("scrollViewDidScroll:");
    auto grid = makeGrid(client, CGRectMake(0, 0, 400, 300));
    grid->setNumberOfFrozenRows(1);
    grid->setNumberOfFrozenColumns(1);
    grid->layoutIfNeeded();
    client->calls.clear();

    grid->verticallyFrozenLayer()->setContentOffset(CGPointMake(150, 0));
    EXPECT_EQ(grid->contentOffset(), CGPointMake(150, 0));
    EXPECT_EQ(grid->horizontallyFrozenLayer()->contentOffset(), CGPointMake(0, 0));
    EXPECT_EQ(client->callsStartingWith("didScroll"), (std::vector<std::string> { "didScroll grid" }));

    grid->horizontallyFrozenLayer()->setContentOffset(CGPointMake(0, 90));
    EXPECT_EQ(grid->contentOffset(), CGPointMake(150, 90));
    EXPECT_EQ(grid->verticallyFrozenLayer()->contentOffset(), CGPointMake(150, 0));
}

TEST_F(LatticeGridTest, DirectionalLockDecidesAfterFivePoints)
{
    auto client = FakeGridClient::make(20, { 100 });
    auto grid = makeGrid(client, CGRectMake(0, 0, 400, 300));
    grid->layoutIfNeeded();

    CGPoint p = CGPointMake(7, 3);
    grid->directionLockContentOffset(&p);
    EXPECT_EQ(p, CGPointMake(7, 3)) << "diagonal panning is allowed by default";

    grid->setDirectionalLockAllowDiagonalPanning(false);
    grid->fakePanDecisionAndLastContentOffset(0, CGPointMake(0, 0));
    p = CGPointMake(4, 5);
    grid->directionLockContentOffset(&p);
    EXPECT_EQ(grid->internalPanDecision(), 0);
    EXPECT_EQ(p, CGPointMake(4, 5));
    p = CGPointMake(5.1f, 5.1f);
    grid->directionLockContentOffset(&p);
    EXPECT_EQ(grid->internalPanDecision(), 2) << "a tie locks vertically";
    EXPECT_EQ(p, CGPointMake(0, 5.1f));

    grid->fakePanDecisionAndLastContentOffset(0, CGPointMake(10, 10));
    grid->setContentOffset(CGPointMake(30, 12));
    EXPECT_EQ(grid->contentOffset(), CGPointMake(30, 10));
    grid->setContentOffset(CGPointMake(40, 80));
    EXPECT_EQ(grid->contentOffset(), CGPointMake(40, 10)) << "the decision holds";
}

TEST_F(LatticeGridTest, TouchesFallThroughTheEmptyPartsOfFrozenPanes)
{
    auto client = FakeGridClient::make(20, { 100 });
    auto grid = makeGrid(client, CGRectMake(0, 0, 400, 300));
    grid->setNumberOfFrozenRows(1);
    grid->layoutIfNeeded();
    grid->setContentOffset(CGPointMake(0, 200));

    struct Case {
        CGPoint point;
        int32_t column;
        int32_t rowIndex;
    };
    // The frozen row covers y 1.5 to 42.5 of the view; below it the scrolled rows show.
    for (const auto& c : std::vector<Case> { { CGPointMake(150, 20), 1, 0 }, { CGPointMake(150, 100), 1, 7 } }) {
        SCOPED_TRACE(c.point.y);
        auto hit = std::dynamic_pointer_cast<LGridCell>(grid->hitTest(c.point, nullptr));
        ASSERT_TRUE(hit);
        EXPECT_EQ(hit->gridCoord()->column(), c.column);
        EXPECT_EQ(hit->gridCoord()->rowIndex(), c.rowIndex);
    }
    EXPECT_FALSE(grid->verticallyFrozenLayer()->pointInside(
        grid->convertPointToView(CGPointMake(150, 100), grid->verticallyFrozenLayer()), nullptr));
}
