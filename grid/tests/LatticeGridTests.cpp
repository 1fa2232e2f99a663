#include "grid/LatticeGrid.h"

#include "foundation/NSException.h"
#include "foundation/NSNotificationCenter.h"
#include "graphics/UIColor.h"
#include "grid/LGridBlockQueue.h"
#include "grid/LGridBorderStyle.h"
#include "grid/LGridColourBlender.h"
#include "grid/LGridSection.h"
#include "grid/tests/GridTestSupport.h"
#include "testing/LogCapture.h"

TEST_F(LatticeGridTest, ANewGridHasItsDefaults)
{
    EXPECT_EQ(LatticeGrid::getInfo(), "Version: 2.0.2, Edition: Standard");
    auto grid = LatticeGrid::initWithFrame(CGRectMake(0, 0, 200, 100));
    EXPECT_TRUE(grid->backgroundColor()->isEqual(
        UIColor::colorWithRedGreenBlueAlpha(26 / 255.0f, 25 / 255.0f, 25 / 255.0f, 1).get()));
    EXPECT_FALSE(grid->defaultColumnStyle()->size());
    EXPECT_FALSE(grid->defaultRowStyle()->size());
    EXPECT_EQ(grid->minimumColWidth(), 60.0f);
    EXPECT_EQ(grid->minimumRowHeight(), 60.0f);
    EXPECT_EQ(grid->singleTapEventMask(), 1);
    EXPECT_EQ(grid->doubleTapEventMask(), 3);
    EXPECT_FALSE(grid->enableBlending());
    EXPECT_FALSE(grid->rowStylesTakePriority());
    EXPECT_TRUE(grid->directionalLockAllowDiagonalPanning());
    EXPECT_EQ(grid->numberOfFrozenRows(), 0u);
    EXPECT_EQ(grid->numberOfFrozenColumns(), 0u);
    EXPECT_FLOAT_EQ(grid->defaultBorderStyle()->width(), 1.5f);
    EXPECT_FALSE(grid->isScrollEnabled()) << "the grid itself never scrolls; its panes do";
    EXPECT_EQ(grid->layers().size(), 6u);
    EXPECT_EQ(grid->viewForZoomingInScrollView(grid), grid->masterContent());

    grid->setEnableBlending(true);
    EXPECT_TRUE(grid->backgroundColorBlender()->shouldBlend());
    EXPECT_TRUE(grid->textColorBlender()->shouldBlend());
}

TEST_F(LatticeGridTest, RefusedSettingsAreLoggedAndLeaveTheOldValue)
{
    auto grid = LatticeGrid::initWithFrame(CGRectMake(0, 0, 200, 100));
    LogCapture log;
    grid->setMinimumRowHeight(0.0f);
    EXPECT_EQ(grid->minimumRowHeight(), 60.0f);
    auto old = grid->defaultColumnStyle();
    grid->setDefaultColumnStyle(LGridColRowStyle::styleWithSizeWithCellStyle(0.0f, nullptr));
    EXPECT_EQ(grid->defaultColumnStyle(), old);
    grid->setMaximumZoomScale(3.0f);
    EXPECT_FLOAT_EQ(grid->maximumZoomScale(), 1.0f);
    auto messages = log.messages();
    ASSERT_EQ(messages.size(), 3u);
    EXPECT_EQ(messageOf(messages[0]),
        "minimumRowHeight must be a value greater than 0. Using 60.000000 as minimumRowHeight instead.");
    EXPECT_EQ(messageOf(messages[1]),
        "An attempt to set defaultColumnStyles.size to 0.000000 has been made.\ndefaultColumnStyles.size must be a "
        "positive non-zero number. Auto-size will be used instead.");
    EXPECT_EQ(messageOf(messages[2]), "Zooming is not currently supported by LatticeGrids.");

    // A style without a size is taken while the minimum width is above 0.
    auto unsized = LGridColRowStyle::init();
    grid->setDefaultColumnStyle(unsized);
    EXPECT_EQ(grid->defaultColumnStyle(), unsized);
    EXPECT_TRUE(grid->userSetDefaultColStyle());

    LogCapture fatal;
    EXPECT_THROW(grid->setDefaultGridLineStyle(nullptr), NSException);
}

TEST_F(LatticeGridTest, ChangingADefaultStylesSizeInPlaceCountsAsSettingIt)
{
    auto grid = LatticeGrid::initWithFrame(CGRectMake(0, 0, 200, 100));
    EXPECT_FALSE(grid->userSetDefaultRowStyle());
    grid->defaultRowStyle()->setSize(33.0f);
    EXPECT_TRUE(grid->userSetDefaultRowStyle());
    EXPECT_EQ(grid->initialDefaultRowHeight(), 33.0f);
}

TEST_F(LatticeGridTest, RowsStepAcrossSectionsAndRaiseBeyondThem)
{
    auto client = FakeGridClient::make(2, { 3, 0, 2 });
    auto grid = makeGrid(client, CGRectMake(0, 0, 300, 200));
    EXPECT_EQ(grid->findRowAfterRow(row(2, 0)), row(0, 1));
    EXPECT_EQ(grid->findRowAfterRow(row(0, 1)), row(0, 2)) << "an empty section has one placeholder row";
    EXPECT_EQ(grid->findRowAfterRow(row(-1, 0)), row(0, 0));
    EXPECT_EQ(grid->findRowAfterRow(row(1, 2)), row(0, 3));
    EXPECT_EQ(grid->findRowBeforeRow(row(0, 0)), row(0, 0));
    EXPECT_EQ(grid->findRowBeforeRow(row(0, 2)), row(0, 1));
    EXPECT_EQ(grid->findRowBeforeRow(row(0, 1)), row(2, 0));
    try {
        grid->findRowAfterRow(row(5, 0));
        FAIL();
    } catch (const NSException& e) {
        EXPECT_EQ(e.name(), "Row Search");
        EXPECT_EQ(e.reason(), "Something went wrong when finding next row");
    }
    EXPECT_THROW(grid->findRowBeforeRow(row(-1, 0)), NSException);
}

TEST_F(LatticeGridTest, CollapsingBeforeTheFirstLayoutIsQueuedUntilTheFirstReload)
{
    auto client = FakeGridClient::make(3, { 3, 3, 3 });
    client->implemented.insert("latticeGrid:willCollapseSectionAtIndex:");
    client->implemented.insert("latticeGrid:didCollapseSectionAtIndex:");
    auto grid = makeGrid(client, CGRectMake(0, 0, 400, 800));
    grid->setSectionAtIndexAsCollapsed(1, true);
    grid->setSectionAtIndexAsCollapsed(0, true);
    EXPECT_EQ(grid->delayUntilReloadQueue()->count(), 2u);
    EXPECT_TRUE(client->callsStartingWith("willCollapse").empty());

    grid->layoutIfNeeded();
    EXPECT_EQ(
        client->callsStartingWith("willCollapse"), (std::vector<std::string> { "willCollapse 1", "willCollapse 0" }));
    EXPECT_TRUE(grid->sectionAtIndexIsCollapsed(0));
    EXPECT_TRUE(grid->sectionAtIndexIsCollapsed(1));
    m_clock.advance(0.5);
    drainAll();
    EXPECT_EQ(client->callsStartingWith("didCollapse").size(), 2u);
    for (LGridRow r : grid->visibleRows())
        EXPECT_EQ(r.section, 2) << "rows of collapsed sections are not in the window";
    // Both collapsed sections show only their headers: the first row of section 2 sits below them.
    auto cell = grid->visibleCellAtColAndRow(0, row(0, 2));
    ASSERT_TRUE(cell);
    EXPECT_FLOAT_EQ(cell->frame().origin.y, 1.5f + 3 * 30);

    LogCapture log;
    EXPECT_THROW(grid->setSectionAtIndexAsCollapsedQueueIfInvalid(7, true, false), NSException);
}

TEST_F(LatticeGridTest, AClientReloadIsRefusedWhileASectionCollapses)
{
    auto client = FakeGridClient::make(3, { 3, 3 });
    auto grid = makeGrid(client, CGRectMake(0, 0, 400, 600));
    grid->layoutIfNeeded();
    grid->setASectionIsCollapsing(true);
    LogCapture log;
    client->calls.clear();
    grid->reload();
    EXPECT_TRUE(client->calls.empty());
    ASSERT_EQ(log.messages().size(), 1u);
    EXPECT_EQ(messageOf(log.messages()[0]),
        "Cannot call reload on a grid that is about to expand/collapse a section as a grid internally reloads itself "
        "at the appropriate time.");
}

TEST_F(LatticeGridTest, AClientReloadForgetsTheSelectionALayoutPassKeepsIt)
{
    auto client = FakeGridClient::make(3, { 5 });
    auto grid = makeGrid(client, CGRectMake(0, 0, 400, 300));
    grid->layoutIfNeeded();
    grid->visibleCellAtColAndRow(1, row(1, 0))->setSelectedAnimatedNeedsDelegateCallBacksFor(true, false, 2);
    grid->setNeedsLayout();
    grid->layoutIfNeeded();
    EXPECT_TRUE(grid->visibleCellAtColAndRow(1, row(1, 0))->selected());
    grid->reload();
    EXPECT_FALSE(grid->selectedGridCoord());
    EXPECT_FALSE(grid->visibleCellAtColAndRow(1, row(1, 0))->selected());
}

TEST_F(LatticeGridTest, AnUnknownSelectionModeIsFatalWhenACellIsPrepared)
{
    auto client = FakeGridClient::make(3, { 5 });
    auto grid = makeGrid(client, CGRectMake(0, 0, 400, 300));
    grid->setSelectionMode(-1);
    LogCapture log;
    try {
        grid->layoutIfNeeded();
        FAIL();
    } catch (const NSException& e) {
        EXPECT_EQ(messageOf(e.reason()),
            "LGridSelectionMode not recognised in -[LatticeGrid prepareNewCell:withFrame:atColumn:andRow:]");
    }
    EXPECT_TRUE(UIView::areAnimationsEnabled()) << "the failed reload restored the animation setting";
    EXPECT_FALSE(grid->reloadingGrid());
}

TEST_F(LatticeGridTest, OnlyRealRotationsEndEditingAndGestures)
{
    auto grid = LatticeGrid::initWithFrame(CGRectMake(0, 0, 200, 100));
    auto device = UIDevice::currentDevice();
    device->setOrientation(UIDeviceOrientationFaceUp);
    EXPECT_EQ(grid->orientationChangeCount(), 0);
    device->setOrientation(UIDeviceOrientationLandscapeLeft);
    EXPECT_EQ(grid->orientationChangeCount(), 1);
    device->setOrientation(UIDeviceOrientationFaceDown);
    device->setOrientation(UIDeviceOrientationLandscapeLeft);
    EXPECT_EQ(grid->orientationChangeCount(), 1);
}

TEST_F(LatticeGridTest, DeferredLayoutWaitsOneRunLoopTurn)
{
    auto client = FakeGridClient::make(3, { 5 });
    auto grid = makeGrid(client, CGRectMake(0, 0, 400, 300));
    grid->setDeferredLayout(true);
    EXPECT_TRUE(grid->deferredLayout());
    grid->layoutSubviews();
    EXPECT_FALSE(grid->deferredLayout());
    EXPECT_TRUE(grid->visibleRows().empty());
    runOnePass();
    EXPECT_FALSE(grid->visibleRows().empty());
}
