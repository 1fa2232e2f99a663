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

// A jump far down or up loads the rows that end up visible, not every row in between, and
// places them where the rows above them put them: 41 points a row (40 and a line), a border of
// 1.5, and with several sections a 30-point header above each section's rows.
TEST_F(LatticeGridTest, AFarJumpLoadsOnlyTheRowsThatEndUpVisible)
{
    struct Case {
        const char* name;
        std::vector<int32_t> sections;
        uint32_t frozenRows;
        LGridRow target;
        float top;
    };
    const Case cases[] = {
        { "one section", { 1000 }, 0, row(900, 0), 1.5f + 41.0f * 900 },
        { "two frozen rows", { 1000 }, 2, row(900, 0), 1.5f + 41.0f * 900 },
        { "three sections", { 400, 400, 400 }, 0, row(200, 2), 1.5f + 2 * (30 + 400 * 41.0f) + 30 + 41.0f * 200 },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        auto client = FakeGridClient::make(20, c.sections);
        auto grid = makeGrid(client, CGRectMake(0, 0, 400, 300));
        grid->setNumberOfFrozenRows(c.frozenRows);
        grid->layoutIfNeeded();
        client->calls.clear();

        grid->setContentOffset(CGPointMake(0, c.top));
        // Four columns of ten rows at most are asked for.
        EXPECT_LE(client->callsStartingWith("cellFor").size(), 40u);
        auto rows = grid->visibleRows();
        ASSERT_GT(rows.size(), c.frozenRows + 8);
        for (uint32_t f = 0; f < c.frozenRows; ++f)
            EXPECT_EQ(rows[f], row(static_cast<int32_t>(f), 0));
        EXPECT_EQ(rows[c.frozenRows], c.target);
        EXPECT_EQ(rows.back(), row(c.target.index + 8, c.target.section));
        for (int32_t k = 0; k < 8; ++k) {
            auto cell = grid->visibleCellAtColAndRow(2, row(c.target.index + k, c.target.section));
            ASSERT_TRUE(cell);
            EXPECT_FLOAT_EQ(cell->frame().origin.y, c.top + 41.0f * k);
            EXPECT_FLOAT_EQ(cell->frame().origin.x, 1.5f + 100.5f + 101.0f);
        }

        // And straight back to the top.
        client->calls.clear();
        grid->setContentOffset(CGPointMake(0, 0));
        EXPECT_LE(client->callsStartingWith("cellFor").size(), 40u);
        rows = grid->visibleRows();
        EXPECT_EQ(rows.front(), row(0, 0));
        float firstTop = c.sections.size() > 1 ? 1.5f + 30 : 1.5f;
        EXPECT_FLOAT_EQ(grid->visibleCellAtColAndRow(1, row(c.frozenRows + 1, 0))->frame().origin.y,
            firstTop + 41.0f * static_cast<float>(c.frozenRows + 1));
    }
}

// A layout pass costs what the window costs: the rows' heights are kept, so a delegate that
// answers line styles is asked about the rows around the window only, not about every row.
TEST_F(LatticeGridTest, ALayoutPassMeasuresOnlyTheRowsItShows)
{
    auto client = FakeGridClient::make(20, { 1000 });
    client->implemented.insert("latticeGrid:styleForHorizontalGridLineAtIndex:inSection:");
    client->implemented.insert("latticeGrid:styleForRowAtIndex:inSection:");
    auto grid = makeGrid(client, CGRectMake(0, 0, 400, 300));
    grid->layoutIfNeeded();
    for (int32_t step = 1; step <= 20; ++step)
        grid->setContentOffset(CGPointMake(0, 41.0f * step));
    client->calls.clear();

    grid->setNeedsLayout();
    grid->layoutIfNeeded();
    EXPECT_LE(client->callsStartingWith("hLine").size(), 200u);
    EXPECT_LE(client->callsStartingWith("rowStyle").size(), 20u);
    EXPECT_EQ(grid->visibleRows().front(), row(19, 0));
    EXPECT_FLOAT_EQ(grid->visibleCellAtColAndRow(0, row(20, 0))->frame().origin.y, 1.5f + 41.0f * 20);
    EXPECT_FLOAT_EQ(grid->contentSize().height, 1000 * 41 - 0.5f + 3);
}

// Row styles are kept for the loaded rows only, so scrolling through a grid does not pile them
// up; the heights they give stay right. Rows 5, 15, 25, ... are 80 points high (81 with the
// line), the others 40.
TEST_F(LatticeGridTest, RowStylesAreKeptForTheLoadedRowsOnly)
{
    auto client = FakeGridClient::make(20, { 1000 });
    client->implemented.insert("latticeGrid:styleForRowAtIndex:inSection:");
    client->rowStyle = [](int32_t index, int32_t) -> Ref<LGridColRowStyle> {
        if (index % 10 != 5)
            return nullptr;
        return LGridColRowStyle::styleWithSizeWithCellStyle(80.0f, nullptr);
    };
    auto grid = makeGrid(client, CGRectMake(0, 0, 400, 300));
    grid->layoutIfNeeded();
    auto& manager = grid->dataSourceDelegateManager();
    auto kept = [&] { return static_cast<size_t>(manager->countStoredRowStyles()); };
    EXPECT_LE(kept(), grid->visibleRows().size());
    EXPECT_FLOAT_EQ(grid->contentSize().height, 1000 * 41 + 100 * 40 - 0.5f + 3);

    for (int32_t step = 1; step <= 200; ++step)
        grid->setContentOffset(CGPointMake(0, 41.0f * step));
    EXPECT_LE(kept(), grid->visibleRows().size());

    // Row k starts at 1.5 + 41 k + 40 for each tall row above it.
    grid->setContentOffset(CGPointMake(0, 1.5f + 41 * 500 + 40 * 50));
    EXPECT_EQ(grid->visibleRows().front(), row(500, 0));
    EXPECT_FLOAT_EQ(grid->visibleCellAtColAndRow(0, row(505, 0))->frame().origin.y, 1.5f + 41 * 505 + 40 * 50);
    EXPECT_FLOAT_EQ(grid->visibleCellAtColAndRow(0, row(505, 0))->frame().size.height, 81);
    EXPECT_FLOAT_EQ(grid->visibleCellAtColAndRow(0, row(506, 0))->frame().origin.y, 1.5f + 41 * 506 + 40 * 51);
    grid->setNeedsLayout();
    grid->layoutIfNeeded();
    EXPECT_LE(kept(), grid->visibleRows().size());
    EXPECT_FLOAT_EQ(grid->visibleCellAtColAndRow(0, row(506, 0))->frame().origin.y, 1.5f + 41 * 506 + 40 * 51);
}

// After the data shrinks while the grid is scrolled far down, a reload brings the offset back
// inside the content so that the last rows show.
TEST_F(LatticeGridTest, AReloadAfterTheDataShrankShowsTheLastRows)
{
    auto client = FakeGridClient::make(3, { 500 });
    auto grid = makeGrid(client, CGRectMake(0, 0, 400, 300));
    grid->layoutIfNeeded();
    for (int32_t step = 1; step <= 40; ++step)
        grid->setContentOffset(CGPointMake(0, 410.0f * step));
    ASSERT_FLOAT_EQ(grid->contentOffset().y, 16400);

    client->rowsPerSection = { 10 };
    grid->reload();
    // Ten rows: 41 each but the last, 40.5, and the border.
    float content = 10 * 41 - 0.5f + 3;
    EXPECT_FLOAT_EQ(grid->contentSize().height, content);
    EXPECT_FLOAT_EQ(grid->contentOffset().y, content - 300);
    auto rows = grid->visibleRows();
    ASSERT_FALSE(rows.empty());
    EXPECT_EQ(rows.back(), row(9, 0));
    EXPECT_LE(rows.front().index, 3);
    auto last = grid->visibleCellAtColAndRow(0, row(9, 0));
    ASSERT_TRUE(last);
    EXPECT_FLOAT_EQ(last->frame().origin.y, 1.5f + 41 * 9);
}

// A grid of one section shows no header band, but that must not change what a later reload
// with several sections shows: their headers are 30 high and the rows sit below them.
TEST_F(LatticeGridTest, OneSectionLeavesLaterReloadsTheirHeaders)
{
    auto client = FakeGridClient::make(3, { 4 });
    client->implemented.erase("numberOfSectionsInLatticeGrid:");
    auto grid = makeGrid(client, CGRectMake(0, 0, 400, 300));
    grid->layoutIfNeeded();
    EXPECT_FLOAT_EQ(grid->visibleCellAtColAndRow(0, row(0, 0))->frame().origin.y, 1.5f);

    auto three = FakeGridClient::make(3, { 2, 2, 2 });
    grid->setDataSource(three);
    grid->setDelegate(three);
    grid->reload();
    EXPECT_FLOAT_EQ(grid->visibleCellAtColAndRow(0, row(0, 0))->frame().origin.y, 1.5f + 30);
    // Section 1 starts below section 0's header and rows (41 each) and its own header.
    EXPECT_FLOAT_EQ(grid->visibleCellAtColAndRow(0, row(0, 1))->frame().origin.y, 1.5f + 30 + 82 + 30);
    for (int32_t s = 0; s < 3; ++s) {
        SCOPED_TRACE(s);
        auto header = grid->dataSourceDelegateManager()->sectionAtIndex(s)->header()->headerAtIndex(1);
        ASSERT_TRUE(header);
        EXPECT_FALSE(header->isHidden());
        // The band is the style's height, ceiled, and half a point over the line below it.
        EXPECT_FLOAT_EQ(header->frame().size.height, 30.5f);
    }
}

// A section index the grid does not have is refused by the call that gives it, not later by
// the next layout pass.
TEST_F(LatticeGridTest, ABadSectionIndexIsRefusedWhereItIsGiven)
{
    auto client = FakeGridClient::make(3, { 4, 4 });
    auto grid = makeGrid(client, CGRectMake(0, 0, 400, 300));
    // Before the first layout the data source already tells how many sections there are.
    EXPECT_THROW(grid->setSectionAtIndexAsCollapsed(2, true), NSException);
    EXPECT_NO_THROW(grid->setSectionAtIndexAsCollapsed(1, true));
    EXPECT_NO_THROW(grid->layoutIfNeeded());
    m_clock.advance(1);
    drainAll();
    EXPECT_TRUE(grid->sectionAtIndexIsCollapsed(1));
    EXPECT_THROW(grid->setSectionAtIndexAsCollapsed(7, false), NSException);
    grid->setNeedsLayout();
    EXPECT_NO_THROW(grid->layoutIfNeeded());
}
