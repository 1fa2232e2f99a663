#include "grid/LGridSection.h"

#include "graphics/CAAnimation.h"
#include "graphics/CATransaction.h"
#include "grid/LGridLayer.h"
#include "grid/tests/GridTestSupport.h"

class LGridSectionTest : public GridTest {
protected:
    Ref<LGridCell> cellAt(int32_t column, int32_t rowIndex)
    {
        auto cell = LGridCell::initWithReuseIdentifier("Cell");
        cell->setGridCoord(LGridCoord::initWithColumnWithRow(column, LGridRowMake(rowIndex, 0)));
        return cell;
    }
};

TEST_F(LGridSectionTest, TheRowStoreKeepsCellsByRowInColumnOrder)
{
    auto client = FakeGridClient::make(5, { 10 });
    auto grid = makeGrid(client, CGRectMake(0, 0, 300, 200));
    auto section = LGridSection::initWithGridWithIndex(grid, 0);

    // A lookup of a row not filed leaves an empty slot that the next filed row takes.
    EXPECT_FALSE(section->visibleCellAtColAtRowIndex(1, 4));
    ASSERT_EQ(section->rowStore().size(), 1u);
    EXPECT_EQ(section->visibleRowIndexFromRow(LGridRowMake(7, 0)), 0);
    auto a = cellAt(3, 4);
    auto b = cellAt(1, 4);
    section->addCell(a);
    section->addCell(b);
    auto c = cellAt(1, 2);
    section->addCell(c);
    ASSERT_EQ(section->rowStore().size(), 2u);
    EXPECT_EQ(section->rowStore()[0], (LGridSection::RowArray { b, a }));
    EXPECT_EQ(section->visibleCellAtColAtRowIndex(3, 4), a);
    EXPECT_FALSE(section->visibleCellAtColAtRowIndex(2, 4));

    section->sortVisibleRows();
    EXPECT_EQ(section->rowStore()[0].front(), c);

    // Only the last column of some row is considered for discarding: column 1 ends row 2, so
    // it goes from every row; column 3 is kept.
    section->discardAllColumnsExcept({ 3 });
    EXPECT_EQ(section->visibleCells(), (std::vector<Ref<LGridCell>> { a }));
    section->removeRowRemoveFromView(LGridRowMake(4, 0), false);
    EXPECT_TRUE(section->visibleCells().empty());
}

TEST_F(LGridSectionTest, HeightCountersAreAddedTo)
{
    auto client = FakeGridClient::make(2, { 3 });
    client->implemented.insert("latticeGrid:styleForRowAtIndex:inSection:");
    client->rowStyle = [](int32_t i, int32_t) {
        return i == 1 ? LGridColRowStyle::styleWithSizeWithCellStyle(50.0f, nullptr) : nullptr;
    };
    auto grid = makeGrid(client, CGRectMake(0, 0, 300, 200));
    auto section = grid->dataSourceDelegateManager()->sectionAtIndex(0);
    int32_t unspecified = 2;
    float specifiedHeight = 10;
    int32_t specified = 1;
    section->collectNumberOfUnspecifiedHeightsAndSpecifiedHeightsAndNumberOfSpecifiedHeights(
        unspecified, specifiedHeight, specified);
    EXPECT_EQ(unspecified, 4);
    EXPECT_EQ(specified, 2);
    EXPECT_FLOAT_EQ(specifiedHeight, 10 + 51);
}

TEST_F(LGridSectionTest, AHeaderTapFadesTheCellsThenSlidesTheSectionsBelowAndRelaysOut)
{
    auto client = FakeGridClient::make(2, { 3, 3, 3 });
    implementSectionCallbacks(client);
    auto grid = makeGrid(client, CGRectMake(0, 0, 400, 800));
    grid->layoutIfNeeded();
    auto& manager = grid->dataSourceDelegateManager();
    auto section = manager->sectionAtIndex(0);
    auto cells = section->visibleCells();
    ASSERT_EQ(cells.size(), 6u);
    auto below = manager->sectionAtIndex(1)->header()->headerAtIndex(1);
    float belowY = below->center().y;
    float rowsHeight = section->loadRowStylesAndReturnSectionHeight() - section->header()->height();
    float contentHeight = grid->contentSize().height;

    section->header()->headerAtIndex(1)->respondToSelectionEvent();
    EXPECT_EQ(client->calls.back(), "willCollapse 0");
    EXPECT_EQ(client->callsStartingWith("shouldCollapse"), (std::vector<std::string> { "shouldCollapse 0" }));
    EXPECT_TRUE(section->isCollapsed());
    EXPECT_TRUE(grid->aSectionIsCollapsing());
    EXPECT_FALSE(grid->liquidLayer()->isUserInteractionEnabled());
    for (const auto& cell : cells) {
        EXPECT_EQ(cell->alpha(), 0);
        auto fade = cell->layer()->animationForKey("opacity");
        ASSERT_TRUE(fade);
        EXPECT_DOUBLE_EQ(fade->duration(), 0.3);
        EXPECT_EQ(cell->center().x, -FLT_MAX) << "faded cells are parked at once";
        EXPECT_FALSE(LGridCellPool::containsObjectInSharedPool(cell));
    }
    // The sections below slide up by the collapsed rows' height, starting 0.2 s later.
    EXPECT_FLOAT_EQ(below->center().y, belowY - rowsHeight);
    auto slide = below->layer()->animationForKey("position");
    ASSERT_TRUE(slide);
    EXPECT_DOUBLE_EQ(slide->duration(), 0.3);
    EXPECT_DOUBLE_EQ(slide->beginTime(), CACurrentMediaTime() + 0.2);
    EXPECT_LT(grid->contentSize().height, contentHeight);
    EXPECT_FLOAT_EQ(grid->contentSize().height, grid->currentContentHeightForAllSections());

    m_clock.advance(0.3);
    for (const auto& cell : cells)
        EXPECT_TRUE(LGridCellPool::containsObjectInSharedPool(cell));
    EXPECT_TRUE(client->callsStartingWith("didCollapse").empty());
    m_clock.advance(0.2);
    drainAll();
    EXPECT_EQ(client->callsStartingWith("didCollapse"), (std::vector<std::string> { "didCollapse 0" }));
    EXPECT_FALSE(grid->aSectionIsCollapsing());
    EXPECT_TRUE(grid->liquidLayer()->isUserInteractionEnabled());
    EXPECT_FLOAT_EQ(section->currentContentHeight(), section->headerHeight());

    // Expanding has no delay and moves the sections below down by exactly the growth.
    float collapsedY = manager->sectionAtIndex(1)->header()->headerAtIndex(1)->center().y;
    float collapsedHeight = grid->contentSize().height;
    below = manager->sectionAtIndex(1)->header()->headerAtIndex(1);
    section->header()->headerAtIndex(0)->respondToSelectionEvent();
    EXPECT_EQ(client->calls.back(), "willExpand 0");
    float growth = grid->contentSize().height - collapsedHeight;
    EXPECT_FLOAT_EQ(grid->contentSize().height, contentHeight);
    EXPECT_FLOAT_EQ(below->center().y, collapsedY + growth);
    ASSERT_TRUE(below->layer()->animationForKey("position"));
    EXPECT_DOUBLE_EQ(below->layer()->animationForKey("position")->beginTime(), 0);
    m_clock.advance(0.3);
    drainAll();
    EXPECT_EQ(client->callsStartingWith("didExpand"), (std::vector<std::string> { "didExpand 0" }));
    EXPECT_EQ(section->visibleCells().size(), 6u);
    EXPECT_FALSE(grid->aSectionIsCollapsing());
}

TEST_F(LGridSectionTest, OnlyUserTogglesAskTheDelegateAndARefusalChangesNothing)
{
    struct Case {
        const char* name;
        bool programmatic;
        bool allow;
        bool toggles;
    };
    for (const Case& c : { Case { "user, allowed", false, true, true }, Case { "user, refused", false, false, false },
             Case { "programmatic", true, false, true } }) {
        SCOPED_TRACE(c.name);
        auto client = FakeGridClient::make(2, { 3, 3 });
        implementSectionCallbacks(client);
        client->allowToggle = c.allow;
        auto grid = makeGrid(client, CGRectMake(0, 0, 400, 600));
        grid->layoutIfNeeded();
        auto section = grid->dataSourceDelegateManager()->sectionAtIndex(1);
        client->calls.clear();
        section->collapseOrExpandProgrammaticWithCompletion(c.programmatic, nullptr);
        EXPECT_EQ(client->callsStartingWith("should").size(), c.programmatic ? 0u : 1u);
        EXPECT_EQ(client->callsStartingWith("will").size(), c.toggles ? 1u : 0u);
        EXPECT_EQ(section->isCollapsed(), c.toggles);
        EXPECT_EQ(grid->aSectionIsCollapsing(), c.toggles);
        m_clock.advance(0.5);
        drainAll();
        EXPECT_EQ(client->callsStartingWith("did").size(), c.toggles ? 1u : 0u);
        EXPECT_TRUE(grid->liquidLayer()->isUserInteractionEnabled());
        client->calls.clear();
        grid->reload();
        EXPECT_FALSE(client->callsStartingWith("cellFor").empty()) << "the grid still reloads";
    }
}

TEST_F(LGridSectionTest, AToggleOutlivingItsGridRunsNoCompletion)
{
    auto client = FakeGridClient::make(2, { 3, 3 });
    implementSectionCallbacks(client);
    auto grid = makeGrid(client, CGRectMake(0, 0, 400, 600));
    grid->layoutIfNeeded();
    auto section = grid->dataSourceDelegateManager()->sectionAtIndex(0);
    bool completed = false;
    section->collapseOrExpandProgrammaticWithCompletion(true, [&] { completed = true; });
    grid = nullptr;
    m_clock.advance(1);
    drainAll();
    EXPECT_FALSE(completed);
    EXPECT_FALSE(section->owningGrid());
    EXPECT_TRUE(client->callsStartingWith("didCollapse").empty());
}
