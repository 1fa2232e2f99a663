#include "grid/LatticeGrid.h"

#include "grid/LGridMultiTouchRecognizer.h"
#include "grid/tests/GridTestSupport.h"
#include "testing/LogCapture.h"
#include "testing/TouchSynthesis.h"
#include "uikit/UIImageView.h"

using TouchSynthesis::TwoFingers;

// A grid of 5 columns of 100 points and 6 rows that resizes columns with two fingers.
class LatticeGridResizingTest : public WindowedGridTest {
protected:
    Ref<LatticeGrid> resizeGrid(const Ref<FakeGridClient>& client)
    {
        for (const char* name :
            { "latticeGrid:shouldBeginResizingColumnAtIndex:", "latticeGrid:willBeginResizingColumnAtIndex:",
                "latticeGrid:willResizeColumnAtIndex:fromWidth:toWidth:withXCenter:",
                "latticeGrid:didResizeColumnAtIndex:fromWidth:toWidth:",
                "latticeGrid:willEndResizingColumnAtIndex:fromWidth:toWidth:",
                "latticeGrid:didEndResizingColumnAtIndex:fromWidth:toWidth:" })
            client->implemented.insert(name);
        auto grid = hostedGrid(client, CGRectMake(0, 0, 600, 400));
        grid->setCanResizeColumnsViaPinch(true);
        return grid;
    }
    // The left and right edges of a column in window coordinates, halfway down row 1.
    std::pair<CGPoint, CGPoint> edgesOf(const Ref<LatticeGrid>& grid, int32_t column)
    {
        CGRect frame = windowFrameOf(grid, column, row(1, 0));
        CGFloat y = frame.origin.y + frame.size.height / 2;
        return { CGPointMake(frame.origin.x + 1, y), CGPointMake(frame.origin.x + frame.size.width - 1, y) };
    }
    float widthOf(const Ref<LatticeGrid>& grid, int32_t column)
    {
        return static_cast<float>(grid->loadAndRetrieveCellAtColAtRow(column, row(0, 0))->frame().size.width);
    }
};

TEST_F(LatticeGridResizingTest, SpreadingFingersOnAColumnsEdgesWidensIt)
{
    auto client = FakeGridClient::make(5, { 6 });
    auto grid = resizeGrid(client);
    float before = widthOf(grid, 3);
    float previousBefore = widthOf(grid, 2);
    auto [left, right] = edgesOf(grid, 3);
    TwoFingers fingers(left, right);
    fingers.hold(0.3);
    EXPECT_TRUE(grid->colResizing());
    EXPECT_EQ(grid->colResizingIndex(), 3);
    EXPECT_FALSE(grid->colResizingFloater()->isHidden());
    EXPECT_TRUE(grid->loadAndRetrieveCellAtColAtRow(3, row(0, 0))->isHidden()) << "the floater stands in for it";
    fingers.spread(40, 4, 0.02);
    EXPECT_NEAR(grid->colResizingFloater()->frame().size.width, right.x - left.x + 40, 0.01);
    fingers.lift();
    EXPECT_FALSE(grid->colResizing());
    EXPECT_TRUE(grid->colResizingFloater()->isHidden());
    EXPECT_FALSE(grid->loadAndRetrieveCellAtColAtRow(3, row(0, 0))->isHidden());
    EXPECT_NEAR(widthOf(grid, 3), before + 40 - 2, 1.5);
    EXPECT_NEAR(widthOf(grid, 2), previousBefore - 20 + 1, 1.5) << "the column before follows the left finger";
    auto calls = client->callsStartingWith("willBegin");
    EXPECT_EQ(calls, (std::vector<std::string> { "willBeginResizing 3" }));
    EXPECT_EQ(client->callsStartingWith("didEndResizing").size(), 1u);
}

TEST_F(LatticeGridResizingTest, FingersThatAreNotOnOneColumnOrAThirdFingerStartNothing)
{
    auto client = FakeGridClient::make(5, { 6 });
    auto grid = resizeGrid(client);
    {
        // On the edges of columns 3 and 5: two columns apart.
        TwoFingers fingers(edgesOf(grid, 2).second, edgesOf(grid, 4).second);
        fingers.hold(0.3);
        fingers.spread(40, 2);
        EXPECT_FALSE(grid->colResizing());
    }
    m_clock.advance(1);
    {
        TwoFingers fingers(edgesOf(grid, 1).first, edgesOf(grid, 1).second);
        auto third = UIApplicationHost::touchDown(edgesOf(grid, 3).first);
        fingers.hold(0.3);
        EXPECT_FALSE(grid->colResizing());
        UIApplicationHost::touchUp(third);
    }
    EXPECT_TRUE(client->callsStartingWith("shouldBeginResizing").empty());

    // Moving during the hold neither fails nor starts it; the end of the hold starts it.
    m_clock.advance(1);
    TwoFingers fingers(edgesOf(grid, 1).first, edgesOf(grid, 1).second);
    fingers.hold(0.1);
    fingers.spread(4);
    EXPECT_FALSE(grid->colResizing());
    fingers.hold(0.2);
    EXPECT_TRUE(grid->colResizing());
}

TEST_F(LatticeGridResizingTest, TheDelegateCanRefuseOrCorrectTheWidth)
{
    auto client = FakeGridClient::make(5, { 6 });
    client->implemented.insert("latticeGrid:widthForResizingColAtIndex:withCurrentWidth:targetWidth:");
    auto grid = resizeGrid(client);
    client->allowResizing = false;
    {
        TwoFingers fingers(edgesOf(grid, 2).first, edgesOf(grid, 2).second);
        fingers.hold(0.3);
        EXPECT_FALSE(grid->colResizing());
    }
    client->allowResizing = true;
    m_clock.advance(1);

    // A width of 80 makes the floater 80 wide between the fingers, and the end stores it.
    client->resizeWidth = 80;
    {
        auto [left, right] = edgesOf(grid, 2);
        TwoFingers fingers(left, right);
        fingers.hold(0.3);
        fingers.spread(30, 3);
        EXPECT_FLOAT_EQ(grid->colResizingFloater()->frame().size.width, 80);
        EXPECT_NEAR(grid->colResizingFloater()->center().x, (left.x + right.x) / 2, 0.01);
    }
    EXPECT_NEAR(widthOf(grid, 2), 80, 1.5);

    // A negative width is refused with a message; the fingers' width stays.
    m_clock.advance(1);
    client->resizeWidth = -5;
    LogCapture log;
    auto [left, right] = edgesOf(grid, 2);
    {
        TwoFingers fingers(left, right);
        fingers.hold(0.3);
        fingers.spread(20, 2);
    }
    bool logged = false;
    for (const auto& message : log.messages())
        logged = logged || message.find("The width of column 2 has been set to -5.000000, using") != std::string::npos;
    EXPECT_TRUE(logged);
    EXPECT_NEAR(widthOf(grid, 2), right.x - left.x + 20, 2);
}

TEST_F(LatticeGridResizingTest, WithNoVisibleColumnThereIsNothingToSnapTo)
{
    auto grid = LatticeGrid::initWithFrame(CGRectMake(0, 0, 300, 300));
    const float touches[2] = { 10, 120 };
    LatticeGrid::ColumnBoundary boundaries[2] {};
    EXPECT_FALSE(grid->touchesToColumns(touches, boundaries));
    EXPECT_FALSE(grid->colResizeStartWithTouches(touches));
}

TEST_F(LatticeGridResizingTest, TheFirstColumnKeepsItsLeftEdgeAtTheBorder)
{
    auto client = FakeGridClient::make(5, { 6 });
    client->implemented.insert("latticeGrid:widthForResizingColAtIndex:withCurrentWidth:targetWidth:");
    auto grid = resizeGrid(client);
    float left = static_cast<float>(grid->loadAndRetrieveCellAtColAtRow(0, row(0, 0))->frame().origin.x);
    client->resizeWidth = 150;
    LogCapture log;
    {
        auto [l, r] = edgesOf(grid, 0);
        TwoFingers fingers(l, r);
        fingers.hold(0.3);
        EXPECT_EQ(grid->colResizingFloater()->frame().origin.x, grid->widthOfLeftBorder());
        // Only the right finger moves: a finger left of the content's start cancels the gesture.
        fingers.moveTo(l, CGPointMake(r.x + 20, r.y), 2);
    }
    bool logged = false;
    for (const auto& message : log.messages())
        logged = logged || message.rfind("Cannot alter x position of first column.", 0) == 0;
    EXPECT_TRUE(logged);
    EXPECT_EQ(grid->loadAndRetrieveCellAtColAtRow(0, row(0, 0))->frame().origin.x, left);
    EXPECT_NEAR(widthOf(grid, 0), 150, 1.5);
}

// With a frozen row and the grid scrolled far down, a resize hides and shows the column's cells
// of the visible rows only; it does not walk, and load, every row between the frozen row and
// the scrolled ones.
TEST_F(LatticeGridResizingTest, AResizeWithAFrozenRowTouchesTheVisibleRowsOnly)
{
    auto client = FakeGridClient::make(5, { 2000 });
    auto grid = resizeGrid(client);
    grid->setNumberOfFrozenRows(1);
    grid->layoutIfNeeded();
    grid->setContentOffset(CGPointMake(0, 41.0f * 1000));
    auto rows = grid->visibleRows();
    ASSERT_GT(rows.size(), 3u);
    ASSERT_EQ(rows[0], row(0, 0));
    LGridRow scrolled = rows[2];
    client->calls.clear();

    CGRect frame = windowFrameOf(grid, 3, scrolled);
    CGFloat y = frame.origin.y + frame.size.height / 2;
    TwoFingers fingers(CGPointMake(frame.origin.x + 1, y), CGPointMake(frame.origin.x + frame.size.width - 1, y));
    fingers.hold(0.3);
    ASSERT_TRUE(grid->colResizing());
    for (LGridRow shown : grid->visibleRows()) {
        SCOPED_TRACE(shown.index);
        auto cell = grid->visibleCellAtColAndRow(3, shown);
        ASSERT_TRUE(cell);
        EXPECT_TRUE(cell->isHidden());
    }
    fingers.spread(20, 2, 0.02);
    fingers.lift();
    EXPECT_FALSE(grid->colResizing());
    for (LGridRow shown : grid->visibleRows()) {
        SCOPED_TRACE(shown.index);
        auto cell = grid->visibleCellAtColAndRow(3, shown);
        ASSERT_TRUE(cell);
        EXPECT_FALSE(cell->isHidden());
    }
    EXPECT_LE(client->callsStartingWith("cellFor").size(), 5 * rows.size());
}
