#include "grid/LatticeGrid.h"

#include "graphics/UIColor.h"
#include "grid/LGridCompositeSectionHeader.h"
#include "grid/LGridCoordMutable.h"
#include "grid/LGridLayer.h"
#include "grid/LGridReorderArrow.h"
#include "grid/LGridSection.h"
#include "grid/LGridViewTinter.h"
#include "grid/tests/GridTestSupport.h"
#include "testing/TouchSynthesis.h"
#include "uikit/UILongPressGestureRecognizer.h"

using TouchSynthesis::Finger;

// Grids of 3 columns of 100 and rows of 40 points, dragged by a long press.
class LatticeGridReorderingTest : public WindowedGridTest {
protected:
    Ref<LatticeGrid> reorderGrid(const Ref<FakeGridClient>& client, int32_t directions = 3)
    {
        client->implemented.insert("latticeGrid:row:hasBeenSwitchedWithRow:");
        client->implemented.insert("latticeGrid:colAtIndex:hasBeenSwitchedWithColAtIndex:");
        for (const char* what : { "Row:", "ColumnAtIndex:" }) {
            client->implemented.insert(std::string("latticeGrid:willEndReordering") + what);
            client->implemented.insert(std::string("latticeGrid:didEndReordering") + what);
        }
        auto grid = hostedGrid(client, CGRectMake(0, 0, 320, 600));
        grid->setDefaultPermittedDragDirection(directions);
        return grid;
    }
};

TEST_F(LatticeGridReorderingTest, TheFirstClearMovementDecidesTheDirection)
{
    struct Case {
        CGFloat dx, dy;
        int32_t decision;
    };
    const Case cases[] = { { 12, 1, 1 }, { 1, 12, 2 }, { 8, 2, 3 }, { 5, 5, 3 } };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.dx << ", " << c.dy);
        auto client = FakeGridClient::make(3, { 8 });
        auto grid = reorderGrid(client);
        Finger finger(centreOf(grid, 1, row(3, 0)));
        finger.hold(0.6);
        EXPECT_TRUE(grid->userDragging());
        EXPECT_EQ(grid->dragDecision(), 3);
        finger.moveBy(c.dx, c.dy);
        EXPECT_EQ(grid->dragDecision(), c.decision);
        finger.lift();
        m_clock.advance(1);
        EXPECT_FALSE(grid->reordering());
        TearDown();
        SetUp();
    }
}

TEST_F(LatticeGridReorderingTest, ARowDraggedUpSwitchesOnceAndSnapsHome)
{
    auto client = FakeGridClient::make(3, { 8 });
    auto grid = reorderGrid(client);
    grid->setTintColor(UIColor::blackColor());
    auto dragged = grid->loadAndRetrieveCellAtColAtRow(1, row(3, 0));
    CGRect above = grid->loadAndRetrieveCellAtColAtRow(1, row(2, 0))->frame();
    float dH = static_cast<float>(dragged->frame().size.height);

    Finger finger(centreOf(grid, 1, row(3, 0)));
    finger.hold(0.6);
    finger.moveBy(0, -12);
    EXPECT_EQ(grid->dragDecision(), 2);
    EXPECT_EQ(dragged->currentDragDirection(), 2);
    EXPECT_EQ(grid->activeArrows().size(), 4u);
    // The cell keeps its distance to the finger: its top passes row 2's middle after 21 points.
    finger.moveBy(0, -24, 2, 0.05);
    EXPECT_EQ(client->callsStartingWith("rowSwitched"), (std::vector<std::string> { "rowSwitched 3,0 with 2,0" }));
    EXPECT_FLOAT_EQ(grid->positionToSnapDraggingCellsTo().y, above.origin.y + dH / 2);
    EXPECT_EQ(grid->draggingIndex()->row(), row(2, 0));
    EXPECT_EQ(grid->loadAndRetrieveCellAtColAtRow(1, row(2, 0)), dragged);
    m_clock.advance(0.5);
    EXPECT_FLOAT_EQ(grid->tinter()->tints()[0]->alpha(), 0.3f);

    finger.lift();
    EXPECT_EQ(
        client->callsStartingWith("willEndReordering"), (std::vector<std::string> { "willEndReorderingRow 2,0" }));
    EXPECT_EQ(client->callsStartingWith("didEndReordering"), (std::vector<std::string> { "didEndReorderingRow 2,0" }));
    m_clock.advance(0.3);
    EXPECT_FLOAT_EQ(dragged->center().y, above.origin.y + dH / 2);
    EXPECT_EQ(grid->tinter()->tints()[0]->alpha(), 0);
    EXPECT_EQ(dragged->currentDragDirection(), 0);
    EXPECT_FALSE(grid->userDragging());
    EXPECT_TRUE(grid->activeArrows().empty());
}

TEST_F(LatticeGridReorderingTest, AColumnDraggedRightSwitchesWithItsNeighbour)
{
    auto client = FakeGridClient::make(3, { 8 });
    auto grid = reorderGrid(client, 1);
    auto dragged = grid->loadAndRetrieveCellAtColAtRow(0, row(1, 0));
    Finger finger(centreOf(grid, 0, row(1, 0)));
    finger.hold(0.6);
    finger.moveBy(60, 0, 3, 0.05);
    EXPECT_EQ(grid->dragDecision(), 1);
    EXPECT_EQ(client->callsStartingWith("colSwitched"), (std::vector<std::string> { "colSwitched 0 with 1" }));
    EXPECT_EQ(dragged->gridCoord()->column(), 1);
    finger.lift();
    EXPECT_EQ(client->callsStartingWith("didEndReordering"), (std::vector<std::string> { "didEndReorderingColumn 1" }));
}

TEST_F(LatticeGridReorderingTest, ADelegateThatPermitsNothingCancelsThePress)
{
    auto client = FakeGridClient::make(3, { 8 });
    client->implemented.insert("latticeGrid:permittedDragDirectionForCellAtCoord:");
    client->permittedDragDirection = 0;
    auto grid = reorderGrid(client, 0);
    EXPECT_TRUE(grid->holdToReorder()->isEnabled()) << "the delegate may permit drags cell by cell";
    auto cell = grid->loadAndRetrieveCellAtColAtRow(1, row(3, 0));
    Finger finger(centreOf(grid, 1, row(3, 0)));
    finger.hold(0.6);
    EXPECT_EQ(
        client->callsStartingWith("permitted"), (std::vector<std::string> { "permittedDragDirection {c:1,r:3,s:0}" }));
    EXPECT_FALSE(grid->reordering());
    EXPECT_FALSE(grid->userDragging());
    m_clock.advance(0.5);
    EXPECT_TRUE(grid->activeArrows().empty());
    for (const auto& view : cell->subviews())
        EXPECT_FALSE(std::dynamic_pointer_cast<LGridReorderArrow>(view)) << "no arrow remains";
}

TEST_F(LatticeGridReorderingTest, AFrozenRowCannotBeDraggedAsARow)
{
    // The delegate permits rows only: the frozen row drops that, leaving nothing.
    auto client = FakeGridClient::make(3, { 8 });
    client->implemented.insert("latticeGrid:permittedDragDirectionForCellAtCoord:");
    client->permittedDragDirection = 2;
    auto grid = reorderGrid(client);
    grid->setNumberOfFrozenRows(1);
    grid->layoutIfNeeded();
    {
        Finger finger(centreOf(grid, 1, row(0, 0)));
        finger.hold(0.6);
        EXPECT_FALSE(grid->userDragging());
        EXPECT_FALSE(grid->reordering());
    }
    // Both permitted: the frozen row's cell can only move its column, decided at once.
    client->permittedDragDirection = 3;
    m_clock.advance(1);
    Finger finger(centreOf(grid, 1, row(0, 0)));
    finger.hold(0.6);
    EXPECT_TRUE(grid->userDragging());
    EXPECT_EQ(grid->dragDecision(), 1);
}

TEST_F(LatticeGridReorderingTest, ANewDragSoonAfterTheLastKeepsItsArrows)
{
    auto client = FakeGridClient::make(3, { 8 });
    auto grid = reorderGrid(client, 2);
    grid->holdToReorder()->setMinimumPressDuration(0.1);
    {
        Finger finger(centreOf(grid, 1, row(5, 0)));
        finger.hold(0.15);
        finger.moveBy(0, -12);
        finger.lift();
    }
    // The next press picks a cell up before the last drag's arrows are due to go.
    m_clock.advance(0.05);
    auto cell = grid->loadAndRetrieveCellAtColAtRow(1, row(2, 0));
    Finger finger(centreOf(grid, 1, row(2, 0)));
    finger.hold(0.15);
    ASSERT_TRUE(grid->userDragging());
    m_clock.advance(1);
    ASSERT_EQ(grid->activeArrows().size(), 4u);
    for (const auto& [orientation, arrow] : grid->activeArrows())
        EXPECT_EQ(arrow->superview(), cell) << orientation;
}

TEST_F(LatticeGridReorderingTest, HoveringOverACollapsedFirstSectionExpandsIt)
{
    auto client = FakeGridClient::make(3, { 3, 4 });
    implementSectionCallbacks(client);
    auto grid = reorderGrid(client, 2);
    grid->setSectionAtIndexAsCollapsed(0, true);
    m_clock.advance(1);
    ASSERT_TRUE(grid->sectionAtIndexIsCollapsed(0));
    EXPECT_EQ(grid->sectionWaitingForExpand(), -1) << "no section is waiting to begin with";

    auto header = grid->dataSourceDelegateManager()->sectionAtIndex(0)->header();
    CGPoint start = centreOf(grid, 1, row(0, 1));
    Finger finger(start);
    finger.hold(0.6);
    finger.moveBy(0, -12);
    // Bring the dragged row's middle onto section 0's header.
    auto dragged = grid->loadAndRetrieveCellAtColAtRow(1, row(0, 1));
    finger.moveBy(0, static_cast<CGFloat>(header->center().y - dragged->center().y));
    EXPECT_EQ(grid->sectionWaitingForExpand(), 0);
    finger.hold(0.9);
    EXPECT_TRUE(grid->sectionAtIndexIsCollapsed(0));
    auto inWindow = [&] { return dragged->superview()->convertPointToView(dragged->center(), nullptr).y; };
    CGFloat underFinger = inWindow();
    finger.hold(1);
    EXPECT_FALSE(grid->sectionAtIndexIsCollapsed(0));
    EXPECT_EQ(grid->sectionWaitingForExpand(), -1);
    // The expansion lays the grid out again; the dragged row stays under the finger, above the
    // section's rows, and so switches into the expanded section, to its first row.
    EXPECT_NEAR(inWindow(), underFinger, 1);
    EXPECT_EQ(grid->draggingIndex()->row(), row(0, 0));
    EXPECT_EQ(grid->loadAndRetrieveCellAtColAtRow(1, row(0, 0)), dragged);
}

// A layout pass while a row is dragged keeps the row where the finger holds it instead of
// snapping it back to its home slot.
TEST_F(LatticeGridReorderingTest, ALayoutPassKeepsADraggedRowUnderTheFinger)
{
    auto client = FakeGridClient::make(3, { 8 });
    auto grid = reorderGrid(client);
    auto dragged = grid->loadAndRetrieveCellAtColAtRow(1, row(3, 0));
    float home = static_cast<float>(dragged->center().y);
    Finger finger(centreOf(grid, 1, row(3, 0)));
    finger.hold(0.6);
    finger.moveBy(0, 12);
    finger.moveBy(0, 15);
    m_clock.advance(0.5);
    ASSERT_EQ(grid->dragDecision(), 2);
    ASSERT_FLOAT_EQ(static_cast<float>(dragged->center().y), home + 15);

    for (int pass = 0; pass < 2; ++pass) {
        SCOPED_TRACE(pass);
        grid->setNeedsLayout();
        grid->layoutIfNeeded();
        m_clock.advance(0.5);
        EXPECT_FLOAT_EQ(static_cast<float>(dragged->center().y), home + 15);
        EXPECT_EQ(grid->draggingIndex()->row(), row(3, 0));
    }
    finger.lift();
    m_clock.advance(1);
    EXPECT_FLOAT_EQ(static_cast<float>(dragged->center().y), home);
}

TEST_F(LatticeGridReorderingTest, MovingAwayFromACollapsedHeaderCancelsItsExpansion)
{
    auto client = FakeGridClient::make(3, { 3, 4 });
    auto grid = reorderGrid(client, 2);
    grid->setSectionAtIndexAsCollapsed(0, true);
    m_clock.advance(1);
    auto header = grid->dataSourceDelegateManager()->sectionAtIndex(0)->header();
    Finger finger(centreOf(grid, 1, row(0, 1)));
    finger.hold(0.6);
    finger.moveBy(0, -12);
    auto dragged = grid->loadAndRetrieveCellAtColAtRow(1, row(0, 1));
    finger.moveBy(0, static_cast<CGFloat>(header->center().y - dragged->center().y));
    finger.hold(0.5);
    finger.moveBy(0, 60);
    finger.hold(1);
    EXPECT_TRUE(grid->sectionAtIndexIsCollapsed(0));
}

TEST_F(LatticeGridReorderingTest, BoundedScrollingStaysInsideTheContent)
{
    auto client = FakeGridClient::make(3, { 40 });
    auto grid = reorderGrid(client);
    grid->setContentOffsetAnimatedBoundedByContentSize(CGPointMake(0, -50), false, true);
    EXPECT_EQ(grid->contentOffset().y, 0);
    grid->setContentOffsetAnimatedBoundedByContentSize(CGPointMake(0, 1e6f), false, true);
    float limit = static_cast<float>(grid->liquidLayer()->contentSize().height - grid->bounds().size.height);
    EXPECT_FLOAT_EQ(grid->contentOffset().y, limit);
}

TEST_F(LatticeGridReorderingTest, ARowDraggedIntoTheNextSectionPassesItsHeader)
{
    auto client = FakeGridClient::make(3, { 3, 3 });
    auto grid = reorderGrid(client, 2);
    auto staticCell = grid->loadAndRetrieveCellAtColAtRow(0, row(0, 1));
    auto draggedCell = grid->loadAndRetrieveCellAtColAtRow(0, row(2, 0));
    float draggedTop = static_cast<float>(draggedCell->frame().origin.y);
    float dH = static_cast<float>(draggedCell->frame().size.height);
    auto header = grid->dataSourceDelegateManager()->sectionAtIndex(1)->header()->headerAtIndex(1);
    float distance = static_cast<float>(staticCell->center().y - draggedCell->frame().origin.y - dH) + 2;

    Finger finger(centreOf(grid, 0, row(2, 0)));
    finger.hold(0.6);
    finger.moveBy(0, 12);
    finger.moveBy(0, distance, 4, 0.05);
    EXPECT_EQ(client->callsStartingWith("rowSwitched"), (std::vector<std::string> { "rowSwitched 2,0 with 0,1" }));
    m_clock.advance(0.3);
    // The static row takes the dragged row's old top, the header follows right below it, and
    // the dragged row's home lies below the header.
    EXPECT_NEAR(staticCell->frame().origin.y, draggedTop, 1.5);
    EXPECT_NEAR(header->frame().origin.y, staticCell->frame().origin.y + staticCell->frame().size.height, 1.5);
    EXPECT_NEAR(
        grid->positionToSnapDraggingCellsTo().y - dH / 2, header->frame().origin.y + header->frame().size.height, 1.5);
    EXPECT_EQ(staticCell->gridCoord()->row(), row(2, 0));
    EXPECT_EQ(draggedCell->gridCoord()->row(), row(0, 1));
}

TEST_F(LatticeGridReorderingTest, ASwitchThatHidesTheNextRowScrollsToRevealIt)
{
    auto client = FakeGridClient::make(3, { 20 });
    auto grid = reorderGrid(client, 2);
    grid->setFrame(CGRectMake(0, 0, 320, 300));
    grid->layoutIfNeeded();
    EXPECT_EQ(grid->contentOffset().y, 0);
    Finger finger(centreOf(grid, 1, row(5, 0)));
    finger.hold(0.6);
    finger.moveBy(0, 12);
    finger.moveBy(0, 24, 2, 0.05);
    EXPECT_EQ(client->callsStartingWith("rowSwitched").front(), "rowSwitched 5,0 with 6,0");
    // The row below the new slot ends past the bottom edge: the grid scrolls it into view.
    m_clock.advance(1);
    EXPECT_GT(grid->contentOffset().y, 0);
    float limit = static_cast<float>(grid->liquidLayer()->contentSize().height - grid->bounds().size.height);
    EXPECT_LE(grid->contentOffset().y, limit);
    finger.lift();
    m_clock.advance(1);
    EXPECT_EQ(grid->autoScroll(), 0);
}

TEST_F(LatticeGridReorderingTest, ACancelledDragIsNotSnappedHome)
{
    auto client = FakeGridClient::make(3, { 8 });
    auto grid = reorderGrid(client, 2);
    auto dragged = grid->loadAndRetrieveCellAtColAtRow(1, row(4, 0));
    float home = static_cast<float>(dragged->center().y);
    // Rows only: the direction is decided when the press begins, and the cell follows the finger.
    Finger finger(centreOf(grid, 1, row(4, 0)));
    finger.hold(0.6);
    EXPECT_EQ(grid->dragDecision(), 2);
    finger.moveBy(0, 15, 3);
    m_clock.advance(0.3);
    // The device turns: every gesture in progress is cancelled.
    grid->orientationChanged();
    m_clock.advance(0.5);
    EXPECT_FALSE(grid->userDragging());
    EXPECT_FALSE(grid->reordering());
    EXPECT_TRUE(client->callsStartingWith("willEndReordering").empty());
    EXPECT_NEAR(dragged->center().y, home + 15, 0.01) << "left where the finger took it";
    EXPECT_EQ(dragged->currentDragDirection(), 0);
}
