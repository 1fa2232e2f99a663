#include "grid/LatticeGrid.h"

#include "grid/LGridDoubleTapGestureRecognizer.h"
#include "grid/LGridSection.h"
#include "grid/tests/GridTestSupport.h"
#include "testing/TouchSynthesis.h"
#include "uikit/UILongPressGestureRecognizer.h"
#include "uikit/UITapGestureRecognizer.h"
#include "uikit/UIWindow.h"

// Grids in a key window, tapped with synthesized touches in window coordinates.
class LatticeGridTapsTest : public WindowedGridTest {
protected:
    void doubleTap(CGPoint point, double gap = 0.1) { TouchSynthesis::doubleTap(point, gap); }
};

TEST_F(LatticeGridTapsTest, SingleAndDoubleTapsSendTheirMasksEvents)
{
    auto client = FakeGridClient::make(3, { 4 });
    client->implemented.insert("latticeGrid:didTapCellAtCoord:isDoubleTap:");
    client->implemented.insert("latticeGrid:didSelectCellAtCoord:");
    client->implemented.insert("latticeGrid:didDeselectCellAtCoord:");
    auto grid = hostedGrid(client);
    grid->setSelectionMode(LGridSelectionModeMultipleCells);
    CGPoint point = centreOf(grid, 1, row(1, 0));

    // A single tap waits out the double-tap pause, then selects.
    UIApplicationHost::tap(point);
    EXPECT_TRUE(client->callsStartingWith("didTap").empty());
    m_clock.advance(0.5);
    drainAll();
    EXPECT_EQ(client->callsStartingWith("did"),
        (std::vector<std::string> { "didSelect {c:1,r:1,s:0}", "didTap {c:1,r:1,s:0}" }));

    // A double tap sends only the double tap's mask: here just the selection event.
    client->calls.clear();
    grid->setDoubleTapEventMask(1);
    doubleTap(point);
    m_clock.advance(0.5);
    drainAll();
    EXPECT_EQ(client->callsStartingWith("did"),
        (std::vector<std::string> { "didDeselect {c:1,r:1,s:0}", "didDoubleTap {c:1,r:1,s:0}" }));

    // With no double-tap events the recogniser is off, so a tap answers without waiting.
    client->calls.clear();
    grid->setDoubleTapEventMask(0);
    EXPECT_FALSE(grid->canEditCellsViaDoubleTap());
    UIApplicationHost::tap(point);
    EXPECT_EQ(client->callsStartingWith("didTap"), (std::vector<std::string> { "didTap {c:1,r:1,s:0}" }));
}

TEST_F(LatticeGridTapsTest, ACellThatMayNotBeDoubleTappedAnswersAtOnce)
{
    auto client = FakeGridClient::make(3, { 4 });
    client->implemented.insert("latticeGrid:cellCanRespondToDoubleTap:");
    client->implemented.insert("latticeGrid:didTapCellAtCoord:isDoubleTap:");
    client->allowDoubleTap = false;
    auto grid = hostedGrid(client);
    UIApplicationHost::tap(centreOf(grid, 0, row(2, 0)));
    EXPECT_EQ(client->callsStartingWith("canDoubleTap"), (std::vector<std::string> { "canDoubleTap {c:0,r:2,s:0}" }));
    EXPECT_EQ(client->callsStartingWith("didTap"), (std::vector<std::string> { "didTap {c:0,r:2,s:0}" }));
    EXPECT_EQ(grid->selectedCellGridCoords().size(), 1u);
    EXPECT_TRUE(client->callsStartingWith("didDoubleTap").empty());
}

TEST_F(LatticeGridTapsTest, AHeaderTapTogglesItsSectionWithoutACellCallAndAFrozenCellWins)
{
    auto client = FakeGridClient::make(6, { 3, 3 });
    client->implemented.insert("latticeGrid:didTapCellAtCoord:isDoubleTap:");
    implementSectionCallbacks(client);
    auto grid = hostedGrid(client);
    grid->setNumberOfFrozenColumns(1);
    grid->layoutIfNeeded();
    grid->setDoubleTapEventMask(0);
    auto header = grid->dataSourceDelegateManager()->sectionAtIndex(1)->header()->headerAtIndex(1);
    CGPoint point = header->superview()->convertPointToView(header->center(), nullptr);
    UIApplicationHost::tap(point);
    EXPECT_TRUE(grid->sectionAtIndexIsCollapsed(1));
    EXPECT_TRUE(client->callsStartingWith("didTap").empty());
    m_clock.advance(0.5);
    drainAll();

    // Scrolled sideways, the frozen first column covers column 1: a tap there reaches column 0.
    grid->setContentOffset(CGPointMake(60, 0));
    grid->layoutIfNeeded();
    client->calls.clear();
    UIApplicationHost::tap(centreOf(grid, 0, row(0, 0)));
    EXPECT_EQ(client->callsStartingWith("didTap"), (std::vector<std::string> { "didTap {c:0,r:0,s:0}" }));
}

TEST_F(LatticeGridTapsTest, CancellingGesturesKeepsEachRecognisersEnabledState)
{
    auto client = FakeGridClient::make(3, { 4 });
    auto grid = hostedGrid(client);
    grid->setCanSelectViaSingleTap(false);
    grid->cancelGestures();
    EXPECT_FALSE(grid->canSelectViaSingleTap());
    EXPECT_TRUE(grid->canEditCellsViaDoubleTap());
    EXPECT_FALSE(grid->holdToReorder()->isEnabled());

    // A long press makes the pressed cell the primary one.
    grid->setDefaultPermittedDragDirection(2);
    EXPECT_TRUE(grid->holdToReorder()->isEnabled());
    auto touch = UIApplicationHost::touchDown(centreOf(grid, 2, row(1, 0)));
    m_clock.advance(0.6);
    ASSERT_TRUE(grid->userPrimaryCellCoord());
    EXPECT_EQ(grid->userPrimaryCellCoord()->description(), "{c:2,r:1,s:0}");
    UIApplicationHost::touchUp(touch);
}
