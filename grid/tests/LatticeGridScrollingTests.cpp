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

TEST_F(GridTest, AUserDragScrollsThePanesTellsTheDelegateAndKeepsTheIndicatorUp)
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

TEST_F(GridTest, BouncedOffsetsAndOffsetsSetByCodeLeaveTheWindowAndIndicatorsAlone)
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
    auto image = indicator->findScrollIndicator();
    if (image)
        EXPECT_EQ(image->tag(), 0);
}

TEST_F(GridTest, FrozenShadowsFollowTheOffsetCrossingZero)
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
