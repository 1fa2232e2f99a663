#include "grid/LatticeGrid.h"

#include "grid/LGridLayer.h"
#include "grid/tests/GridTestSupport.h"
#include "uikit/UIImageView.h"
#include "uikit/UIWindow.h"

namespace {

// The scroll-view callbacks among the calls, consecutive repeats collapsed into one.
std::vector<std::string> collapsed(const std::vector<std::string>& calls)
{
    std::vector<std::string> result;
    for (const auto& c : calls) {
        bool scrollCall = c.rfind("will", 0) == 0 || c.rfind("did", 0) == 0;
        if (scrollCall && (result.empty() || result.back() != c))
            result.push_back(c);
    }
    return result;
}

} // namespace

TEST_F(LatticeGridTest, AUserDragScrollsThePanesTellsTheDelegateAndKeepsTheIndicatorUp)
{
    auto client = FakeGridClient::make(20, { 200 });
    for (const char* name : { "scrollViewDidScroll:", "scrollViewWillBeginDragging:",
             "scrollViewDidEndDragging:willDecelerate:", "scrollViewDidEndDecelerating:" })
        client->implemented.insert(name);
    auto window = UIWindow::initWithFrame(CGRectMake(0, 0, 768, 1024));
    window->makeKeyAndVisible();
    auto grid = makeGrid(client, CGRectMake(0, 0, 400, 300));
    window->addSubview(grid);
    grid->layoutIfNeeded();
    client->calls.clear();

    // A slow vertical drag of 200 points, held still before lifting so it does not decelerate.
    auto touch = UIApplicationHost::touchDown(CGPointMake(200, 250));
    for (int32_t i = 1; i <= 20; ++i) {
        m_clock.advance(0.016);
        UIApplicationHost::touchMove(touch, CGPointMake(200, 250 - 10.0f * i));
    }
    auto indicator = std::dynamic_pointer_cast<LGridScrollIndicatorLayer>(grid->scrollIndicatorLayers()[0]);
    ASSERT_TRUE(indicator);
    auto image = indicator->findScrollIndicator();
    ASSERT_TRUE(image);
    EXPECT_EQ(image->tag(), LGridScrollIndicatorLayer::kVerticalIndicatorTag);
    image->setAlpha(0);
    EXPECT_GT(image->alpha(), 0) << "a tagged indicator ignores fade-outs";
    m_clock.advance(0.5);
    UIApplicationHost::touchUp(touch);

    auto offset = grid->contentOffset();
    EXPECT_EQ(offset.x, 0);
    EXPECT_GT(offset.y, 150);
    EXPECT_EQ(grid->verticallyFrozenLayer()->contentOffset().y, 0);
    EXPECT_EQ(grid->horizontallyFrozenLayer()->contentOffset().y, offset.y);
    auto calls = collapsed(client->calls);
    ASSERT_GE(calls.size(), 3u);
    EXPECT_EQ(calls.front(), "willBeginDragging");
    EXPECT_EQ(calls[1], "didScroll grid");
    EXPECT_EQ(calls.back(), "didEndDragging");
    // The window followed: the first visible row is the one under the top edge.
    EXPECT_EQ(grid->visibleRows().front().index, static_cast<int32_t>((offset.y - 1.5f) / 41));

    EXPECT_EQ(image->tag(), 0);
    m_clock.advance(0.3);
    drainAll();
    EXPECT_EQ(image->alpha(), 0) << "the indicator fades once the drag ends";
}

TEST_F(LatticeGridTest, BouncedOffsetsAndOffsetsSetByCodeLeaveTheWindowAndIndicatorsAlone)
{
    auto client = FakeGridClient::make(20, { 200 });
    auto grid = makeGrid(client, CGRectMake(0, 0, 400, 300));
    grid->layoutIfNeeded();
    auto before = grid->visibleRows();
    grid->setContentOffset(CGPointMake(0, -80));
    EXPECT_EQ(grid->visibleRows(), before);
    float beyond = grid->contentSize().height - 300 + 50;
    grid->setContentOffset(CGPointMake(0, beyond));
    EXPECT_EQ(grid->visibleRows(), before) << "a jump past the far edge is a bounce";

    auto indicator = std::dynamic_pointer_cast<LGridScrollIndicatorLayer>(grid->scrollIndicatorLayers()[0]);
    EXPECT_TRUE(indicator->isProgrammaticScrollHappening());
    if (auto image = indicator->findScrollIndicator()) {
        EXPECT_EQ(image->tag(), 0);
    }
}

TEST_F(LatticeGridTest, FrozenShadowsFollowTheOffsetCrossingZero)
{
    auto client = FakeGridClient::make(20, { 200 });
    auto grid = makeGrid(client, CGRectMake(0, 0, 400, 300));
    grid->setNumberOfFrozenColumns(1);
    grid->layoutIfNeeded();
    auto frozen = grid->visibleCellAtColAndRow(0, LGridRowMake(2, 0));
    ASSERT_TRUE(frozen);
    EXPECT_FALSE(frozen->shadowOnSide(3));
    grid->setContentOffset(CGPointMake(30, 0));
    EXPECT_TRUE(frozen->shadowOnSide(3));
    EXPECT_FALSE(grid->visibleCellAtColAndRow(1, LGridRowMake(2, 0))->shadowOnSide(3));
    grid->setContentOffset(CGPointMake(0, 0));
    EXPECT_FALSE(frozen->shadowOnSide(3));
}

// Rows are 41 apart from y = 1.5 and the view is 300 high; columns 101 apart from x = 1.5 (the
// first 100.5 wide) and the view 400 wide.
TEST_F(LatticeGridTest, EdgeTestsUseExactBoundaries)
{
    auto client = FakeGridClient::make(20, { 200 });
    auto grid = makeGrid(client, CGRectMake(0, 0, 400, 300));
    grid->layoutIfNeeded();
    ASSERT_EQ(grid->visibleRows().back(), row(8, 0));
    ASSERT_EQ(grid->visibleColumnIndexes().back(), 3);

    struct Step {
        CGPoint offset;
        LGridRow first;
        LGridRow last;
        int32_t lastColumn;
    };
    const std::vector<Step> steps {
        // Row 0 ends at 42.5 and goes; row 8 starts 259.5 below the top, so row 9 (at 370.5,
        // 300.5 below) is added as the spare row.
        { CGPointMake(0, 70), row(1, 0), row(9, 0), 3 },
        // Row 9 exactly at the bottom edge (370.5 - 70.5 = 300): one more row is added.
        { CGPointMake(0, 70.5f), row(1, 0), row(10, 0), 3 },
        // Row 1 ends exactly at the top edge (83.5 - 83.5 = 0): it goes.
        { CGPointMake(0, 83.5f), row(2, 0), row(10, 0), 3 },
        // Moving up half a point: row 10 is strictly beyond the bottom (328.5) and goes; rows
        // above are added until the first row of the grid.
        { CGPointMake(0, 83), row(0, 0), row(9, 0), 3 },
        // Column 4 starts at 405, exactly at the right edge at x 5: added, and column 5 as the
        // spare one.
        { CGPointMake(5, 83), row(0, 0), row(9, 0), 5 },
        // Moving left, a column whose left edge is at or beyond the right edge goes.
        { CGPointMake(4, 83), row(0, 0), row(9, 0), 3 },
    };
    for (const auto& s : steps) {
        SCOPED_TRACE(testing::Message() << s.offset.x << ", " << s.offset.y);
        grid->setContentOffset(s.offset);
        auto rows = grid->visibleRows();
        EXPECT_EQ(rows.front(), s.first);
        EXPECT_EQ(rows.back(), s.last);
        EXPECT_EQ(grid->visibleColumnIndexes().back(), s.lastColumn);
    }
}

TEST_F(LatticeGridTest, ResizingTheGridKeepsItsOffset)
{
    auto client = FakeGridClient::make(20, { 200 });
    auto grid = makeGrid(client, CGRectMake(0, 0, 400, 300));
    grid->layoutIfNeeded();
    grid->setContentOffset(CGPointMake(120, 500));
    grid->setFrame(CGRectMake(0, 0, 300, 400));
    grid->layoutIfNeeded();
    EXPECT_EQ(grid->contentOffset(), CGPointMake(120, 500));
    EXPECT_EQ(grid->liquidLayer()->frame().size.height, 400);
    EXPECT_EQ(grid->visibleRows().front().index, static_cast<int32_t>((500 - 1.5f) / 41));
}

TEST_F(LatticeGridTest, ScrollViewSettingsReachThePanesTheyConcern)
{
    auto client = FakeGridClient::make(20, { 200 });
    client->implemented.insert("scrollViewDidEndScrollingAnimation:");
    auto grid = makeGrid(client, CGRectMake(0, 0, 400, 300));
    grid->layoutIfNeeded();

    grid->setContentInset(UIEdgeInsets { 5, 6, 7, 8 });
    EXPECT_EQ(grid->liquidLayer()->contentInset().top, 5);
    EXPECT_EQ(grid->staticLayer()->contentInset().left, 6);
    EXPECT_EQ(grid->scrollIndicatorLayers()[0]->contentInset().top, 0) << "indicator panes keep theirs";
    grid->setShowsVerticalScrollIndicator(false);
    EXPECT_FALSE(grid->scrollIndicatorLayers()[0]->showsVerticalScrollIndicator());
    EXPECT_TRUE(grid->scrollIndicatorLayers()[1]->showsHorizontalScrollIndicator());

    // Scrolling a rect into view always animates, on the clock.
    grid->scrollRectToVisibleAnimated(CGRectMake(0, 2000, 100, 40), false);
    EXPECT_EQ(grid->contentOffset().y, 0);
    m_clock.advance(1.0);
    drainAll();
    EXPECT_GT(grid->contentOffset().y, 1700);
    EXPECT_EQ(grid->horizontallyFrozenLayer()->contentOffset().y, grid->contentOffset().y);
}

TEST_F(LatticeGridTest, CellsPulseUnlessFrozenBothWays)
{
    auto client = FakeGridClient::make(20, { 200 });
    auto grid = makeGrid(client, CGRectMake(0, 0, 400, 300));
    grid->setNumberOfFrozenRows(1);
    grid->setNumberOfFrozenColumns(1);
    grid->layoutIfNeeded();
    auto corner = grid->visibleCellAtColAndRow(0, row(0, 0));
    auto cell = grid->visibleCellAtColAndRow(1, row(1, 0));
    CGRect before = cell->frame();
    UIView::setAnimationsEnabled(true);
    corner->sendToBack();
    corner->pulse();
    cell->pulse();
    EXPECT_EQ(cell->frame().origin, before.origin) << "the model value is the final frame";
    EXPECT_EQ(cell->superview()->subviews().back(), cell) << "a pulsing cell comes to the front";
    EXPECT_EQ(corner->superview()->subviews().front(), corner) << "the corner cell does not pulse";
}
