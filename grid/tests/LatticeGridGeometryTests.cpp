#include "grid/LatticeGrid.h"

#include "grid/LGridLayer.h"
#include "grid/LGridSection.h"
#include "grid/tests/GridTestSupport.h"

TEST_F(LatticeGridTest, ColumnsWithoutSizesStretchToFillTheView)
{
    struct Case {
        float width;
        float firstColumn;
        float contentWidth;
    };
    // Three unsized columns, 1-point lines, border 1.5: (W - 3 - 2) / 3 each plus half lines;
    // in a narrow view the minimum of 60 wins and the grid scrolls sideways.
    for (const auto& c :
        std::vector<Case> { { 400, 395.0f / 3 + 0.5f, 400 }, { 150, 60.5f, 60.5f + 61 + 60.5f + 3 } }) {
        SCOPED_TRACE(c.width);
        auto client = FakeGridClient::make(3, { 2 });
        auto grid = LatticeGrid::initWithFrame(CGRectMake(0, 0, c.width, 200));
        grid->setDataSource(client);
        grid->setDelegate(client);
        grid->layoutIfNeeded();
        EXPECT_NEAR(grid->colStyleSizeForColIndex(0), c.firstColumn, 1e-3);
        EXPECT_NEAR(grid->contentSize().width, c.contentWidth, 1e-3);
    }
}

TEST_F(LatticeGridTest, SettingTheDefaultColumnStyleStopsStretching)
{
    auto client = FakeGridClient::make(3, { 2 });
    auto grid = LatticeGrid::initWithFrame(CGRectMake(0, 0, 400, 200));
    grid->setDataSource(client);
    grid->setDelegate(client);
    grid->layoutIfNeeded();
    grid->defaultColumnStyle()->setSize(70.0f);
    grid->setFrame(CGRectMake(0, 0, 800, 200));
    grid->layoutIfNeeded();
    EXPECT_FLOAT_EQ(grid->colStyleSizeForColIndex(1), 71);
}

TEST_F(LatticeGridTest, SizesHonourMinimumsAndHalfLines)
{
    auto client = FakeGridClient::make(3, { 3, 2 });
    client->implemented.insert("latticeGrid:styleForColAtIndex:");
    client->colStyle = [](int32_t c) {
        auto style = LGridColRowStyle::styleWithSizeWithCellStyle(20.0f, nullptr);
        if (c == 2)
            style->setMinimumSize(10.0f);
        return style;
    };
    auto grid = LatticeGrid::initWithFrame(CGRectMake(0, 0, 100, 100));
    grid->setDataSource(client);
    grid->setDelegate(client);
    EXPECT_FLOAT_EQ(grid->colStyleSizeForColIndex(0), 60.5f) << "the grid's minimum wins; no line to the left";
    EXPECT_FLOAT_EQ(grid->colStyleSizeForColIndex(1), 61);
    EXPECT_FLOAT_EQ(grid->colStyleSizeForColIndex(2), 20.5f) << "its own minimum allows 20; no line to the right";
    grid->defaultRowStyle()->setSize(40.0f);
    EXPECT_FLOAT_EQ(grid->rowStyleSizeForRow(LGridRowMake(1, 0)), 61) << "the minimum of 60 wins over 40";
    grid->defaultRowStyle()->setSize(70.0f);
    EXPECT_FLOAT_EQ(grid->rowStyleSizeForRow(LGridRowMake(0, 0)), 71) << "the whole line below the first row";
    EXPECT_FLOAT_EQ(grid->rowStyleSizeForRow(LGridRowMake(1, 0)), 71);
    EXPECT_FLOAT_EQ(grid->rowStyleSizeForRow(LGridRowMake(1, 1)), 70.5f) << "no line below the last row";
}

TEST_F(LatticeGridTest, SectionHeadersSitBetweenSectionsAndCollapsedSectionsKeepOnlyThem)
{
    auto client = FakeGridClient::make(2, { 2, 2 });
    auto grid = makeGrid(client, CGRectMake(0, 0, 400, 600));
    grid->layoutIfNeeded();
    auto cell = grid->visibleCellAtColAndRow(0, LGridRowMake(0, 1));
    ASSERT_TRUE(cell);
    // Border, header 0, two rows of 41, header 1.
    EXPECT_FLOAT_EQ(cell->frame().origin.y, 1.5f + 30 + 41 + 41 + 30);
    EXPECT_FLOAT_EQ(grid->currentContentHeightForAllSections(), 3 + 30 + 82 + 30 + 41 + 40.5f);

    auto noSections = FakeGridClient::make(2, { 1, 1 });
    noSections->sectionsOverride = 0;
    auto empty = makeGrid(noSections, CGRectMake(0, 0, 400, 600));
    EXPECT_FLOAT_EQ(empty->currentContentHeightForAllSections(), 3);
}

TEST_F(LatticeGridTest, PanesHoldBorderSegmentsAndSectionHeaders)
{
    auto client = FakeGridClient::make(6, { 3, 3 });
    client->implemented.insert("latticeGrid:titleForHeaderInSection:");
    auto grid = makeGrid(client, CGRectMake(0, 0, 400, 600));
    grid->setNumberOfFrozenColumns(1);
    grid->layoutIfNeeded();
    auto section = grid->dataSourceDelegateManager()->sectionAtIndex(1);
    auto liquidHeader = section->header()->headerAtIndex(1);
    auto frozenHeader = section->header()->headerAtIndex(0);
    ASSERT_TRUE(liquidHeader);
    ASSERT_TRUE(frozenHeader);
    EXPECT_EQ(liquidHeader->superview(), grid->liquidLayer()->content());
    EXPECT_EQ(frozenHeader->superview(), grid->horizontallyFrozenLayer()->content());
    EXPECT_FLOAT_EQ(liquidHeader->frame().size.height, 30.5f);
    EXPECT_FLOAT_EQ(liquidHeader->frame().origin.x, 1.5f + 100.5f);
    EXPECT_FLOAT_EQ(frozenHeader->frame().size.width, 100.5f);

    // The liquid pane's bottom border runs along the far edge of the content.
    auto bottom = grid->liquidLayer()->content()->borders()[0];
    EXPECT_FLOAT_EQ(bottom->frame().origin.y, grid->contentSize().height - 1.5f);
    EXPECT_FLOAT_EQ(bottom->frame().size.height, 1.5f);
}
