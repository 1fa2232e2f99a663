#include "grid/LGridDataSourceDelegateManager.h"

#include "foundation/NSException.h"
#include "foundation/Value.h"
#include "graphics/UIColor.h"
#include "grid/LGridCellStyle.h"
#include "grid/LGridSection.h"
#include "grid/NSValue+LGridRow.h"
#include "grid/tests/GridTestSupport.h"
#include "testing/LogCapture.h"

namespace {

std::string fatalMessageOf(const std::function<void()>& action)
{
    try {
        action();
    } catch (const NSException& e) {
        EXPECT_EQ(e.name(), "LatticeGridsException");
        return e.reason().substr(0, e.reason().find("\nFrom:"));
    }
    return "(no exception)";
}

} // namespace

class LGridDataSourceDelegateManagerTest : public GridTest { };

TEST_F(LGridDataSourceDelegateManagerTest, ZeroColumnsMakeAnEmptyGridThatAsksForNoCells)
{
    auto client = FakeGridClient::make(0, { 5 });
    auto grid = makeGrid(client, CGRectMake(0, 0, 300, 200));
    grid->layoutIfNeeded();
    auto& manager = grid->dataSourceDelegateManager();
    EXPECT_EQ(manager->totalNumberOfSectionsInGrid(), 0);
    EXPECT_EQ(manager->totalNumberOfRowsInGrid(), 0);
    EXPECT_FALSE(manager->sectionAtIndex(0));
    EXPECT_TRUE(grid->visibleRows().empty());
    EXPECT_TRUE(client->callsStartingWith("cellFor").empty());
    EXPECT_FLOAT_EQ(grid->currentContentHeightForAllSections(), 3.0f);
}

TEST_F(LGridDataSourceDelegateManagerTest, WithoutTheSectionCountTheGridHasOneSection)
{
    auto client = FakeGridClient::make(3, { 4 });
    client->implemented.erase("numberOfSectionsInLatticeGrid:");
    auto grid = makeGrid(client, CGRectMake(0, 0, 300, 200));
    auto& manager = grid->dataSourceDelegateManager();
    EXPECT_EQ(manager->totalNumberOfSectionsInGrid(), 1);
    EXPECT_EQ(manager->totalNumberOfRowsInGrid(), 4);
    EXPECT_TRUE(client->callsStartingWith("numberOfSections").empty());
    EXPECT_EQ(manager->gridRowForRowWithAbsoluteIndex(3), LGridRowMake(3, 0));
    EXPECT_EQ(manager->gridRowForRowWithAbsoluteIndex(4), LGridRowMake(-1, -1));
}

TEST_F(LGridDataSourceDelegateManagerTest, AnEmptySectionShowsOneZeroHighPlaceholderRow)
{
    auto client = FakeGridClient::make(3, { 2, 0, 2 });
    auto grid = makeGrid(client, CGRectMake(0, 0, 400, 600));
    grid->layoutIfNeeded();
    auto& manager = grid->dataSourceDelegateManager();

    EXPECT_TRUE(manager->sectionIsEmpty(1));
    EXPECT_EQ(manager->numberOfRowsInSection(1), 1);
    EXPECT_EQ(grid->numberOfRowsForSection(1), 0u);
    EXPECT_EQ(grid->numberOfRowsForSection(3), LatticeGrid::NSNotFound);
    EXPECT_TRUE(client->callsStartingWith("cellFor {c:0,r:0,s:1}").empty());
    auto rows = grid->visibleRows();
    EXPECT_NE(std::find(rows.begin(), rows.end(), LGridRowMake(0, 1)), rows.end());
    EXPECT_FALSE(grid->visibleCellAtColAndRow(0, LGridRowMake(0, 1)));

    auto placeholder = manager->sectionAtIndex(1)->visibleCellAtColAtRowIndex(0, 0);
    ASSERT_TRUE(placeholder);
    EXPECT_EQ(placeholder->reuseIdentifier(), "NIL");
    EXPECT_FALSE(placeholder->isUserInteractionEnabled());
    EXPECT_FLOAT_EQ(placeholder->frame().size.height, 0.5f) << "0 points plus half the line above";
    EXPECT_FLOAT_EQ(manager->gridLineSizeHorizontalAtIndexInSection(0, 1), 0);
}

TEST_F(LGridDataSourceDelegateManagerTest, ANilCellLeavesAPlaceholderThatAForcedReloadAsksAgain)
{
    auto client = FakeGridClient::make(2, { 3 });
    client->nilCells.insert({ 1, 1 });
    auto grid = makeGrid(client, CGRectMake(0, 0, 400, 300));
    grid->layoutIfNeeded();
    auto cell = grid->visibleCellAtColAndRow(1, LGridRowMake(1, 0));
    ASSERT_TRUE(cell);
    EXPECT_EQ(cell->reuseIdentifier(), "NIL");

    client->nilCells.clear();
    client->calls.clear();
    grid->reloadRows(Value::array({ Value("not a row"), NSValue_LGridRow::valueWithRow(LGridRowMake(1, 0)) }));
    EXPECT_EQ(client->callsStartingWith("cellFor").size(), 2u);
    EXPECT_EQ(grid->visibleCellAtColAndRow(1, LGridRowMake(1, 0))->reuseIdentifier(), "Cell");
}

TEST_F(LGridDataSourceDelegateManagerTest, WronglyTypedRedrawEntriesAreLoggedAndSkipped)
{
    auto client = FakeGridClient::make(2, { 3 });
    auto grid = makeGrid(client, CGRectMake(0, 0, 400, 300));
    grid->layoutIfNeeded();
    LogCapture log;
    grid->redrawRows(Value::array({ Value("x") }));
    grid->redrawColsAtIndices(Value::array({ Value("y"), Value(1) }));
    auto messages = log.messages();
    ASSERT_EQ(messages.size(), 2u);
    EXPECT_EQ(messages[0].substr(0, messages[0].find("\nFrom:")),
        "`rows` cannot contain an NSString object in method redrawRows:forceDataSourceCheck:. This method can only "
        "take an NSArray of NSValues");
    EXPECT_EQ(messages[1].substr(0, messages[1].find("\nFrom:")),
        "`colIndices` cannot contain an NSString object in method redrawColsAtIndices:forceDataSourceCheck:. This "
        "method can only take an NSArray of NSNumbers");
}

TEST_F(LGridDataSourceDelegateManagerTest, BadCountsAreFatal)
{
    struct Case {
        int32_t columns;
        std::vector<int32_t> rows;
        std::optional<int32_t> sections;
        std::string message;
    };
    const std::vector<Case> cases {
        { -1, { 1 }, std::nullopt,
            "Number of columns was returned as -1. The number of columns must be greater than, or 0." },
        { 2, { 1, 1 }, -2, "numberOfSectionsInLatticeGrid must be greater than, or zero" },
        { 2, { -3 }, std::nullopt,
            "The number of rows in a section was returned as -3. The number of rows in a section must be greater than "
            "0." },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.message);
        auto client = FakeGridClient::make(c.columns, c.rows);
        client->sectionsOverride = c.sections;
        auto grid = makeGrid(client, CGRectMake(0, 0, 300, 200));
        LogCapture log;
        EXPECT_EQ(fatalMessageOf([&] { grid->dataSourceDelegateManager()->totalNumberOfRowsInGrid(); }), c.message);
    }
    auto client = FakeGridClient::make(2, { 1 });
    auto grid = makeGrid(client, CGRectMake(0, 0, 300, 200));
    LogCapture log;
    EXPECT_EQ(fatalMessageOf([&] { grid->dataSourceDelegateManager()->numberOfRowsInSection(-1); }),
        "invalid section index -1 in -[LGridDataSourceDelegateManager numberOfRowsInSection:]");
    auto orphan = LatticeGrid::initWithFrame(CGRectMake(0, 0, 100, 100));
    EXPECT_EQ(
        fatalMessageOf([&] { orphan->layoutSubviews(); }).substr(0, 39), "dataSource has not been set for Lattice");
    EXPECT_EQ(fatalMessageOf([&] { LatticeGrid::initWithFrame(CGRectZero)->loadAndLayoutVisibleData(); }),
        "LGrid must have a non-empty frame assigned to produce a grid.");
}

TEST_F(LGridDataSourceDelegateManagerTest, RowAndColumnStylesComeFromTheDelegateOnceOrFromTheDefaults)
{
    auto client = FakeGridClient::make(3, { 3 });
    auto grid = makeGrid(client, CGRectMake(0, 0, 300, 200));
    auto& manager = grid->dataSourceDelegateManager();
    // No style operations: the default row style itself, a fresh copy of the default column style.
    EXPECT_EQ(manager->styleOfCellAtRow(LGridRowMake(1, 0)), grid->defaultRowStyle());
    auto a = manager->styleOfCellAtCol(1);
    auto b = manager->styleOfCellAtCol(1);
    EXPECT_NE(a, b);
    EXPECT_EQ(a->size(), grid->defaultColumnStyle()->size());
    EXPECT_FALSE(manager->styleOfCellAtCol(3));

    // Style operations are probed when the delegate is set; nil answers are cached as empty styles.
    client->implemented.insert("latticeGrid:styleForRowAtIndex:inSection:");
    client->implemented.insert("latticeGrid:styleForColAtIndex:");
    grid->setDelegate(nullptr);
    grid->setDelegate(client);
    auto rowStyle = manager->styleOfCellAtRow(LGridRowMake(1, 0));
    EXPECT_NE(rowStyle, grid->defaultRowStyle());
    EXPECT_FALSE(rowStyle->size());
    EXPECT_EQ(manager->styleOfCellAtRow(LGridRowMake(1, 0)), rowStyle);
    manager->styleOfCellAtCol(2);
    manager->styleOfCellAtCol(2);
    EXPECT_EQ(client->callsStartingWith("rowStyle").size(), 1u);
    EXPECT_EQ(client->callsStartingWith("colStyle").size(), 1u);
    // A full reload flushes them.
    manager->prepareForReloadFlushingStylesRefreshDatasource(true, true);
    manager->styleOfCellAtCol(2);
    EXPECT_EQ(client->callsStartingWith("colStyle").size(), 2u);
}

TEST_F(LGridDataSourceDelegateManagerTest, TheHierarchyFollowsTheGridsThreeSwitches)
{
    auto client = FakeGridClient::make(3, { 3 });
    client->implemented.insert("latticeGrid:styleForRowAtIndex:inSection:");
    client->implemented.insert("latticeGrid:styleForColAtIndex:");
    auto red = UIColor::redColor();
    auto blue = UIColor::blueColor();
    auto green = UIColor::greenColor();
    client->rowStyle = [&](int32_t, int32_t) {
        return LGridColRowStyle::styleWithSizeWithBackgroundColorWithTextColorWithFont(
            std::nullopt, red, nullptr, nullptr);
    };
    client->colStyle = [&](int32_t) {
        return LGridColRowStyle::styleWithSizeWithBackgroundColorWithTextColorWithFont(
            std::nullopt, blue, nullptr, nullptr);
    };
    auto grid = makeGrid(client, CGRectMake(0, 0, 400, 300));
    grid->defaultRowStyle()->setBackgroundColor(green);
    grid->layoutIfNeeded();
    auto& manager = grid->dataSourceDelegateManager();
    auto cell = grid->visibleCellAtColAndRow(1, LGridRowMake(1, 0));
    ASSERT_TRUE(cell);

    struct Case {
        const char* name;
        std::function<void()> set;
        Ref<UIColor> expected;
        size_t entries;
    };
    const std::vector<Case> cases {
        { "column styles above row styles", [] {}, blue, 5 },
        { "row styles take priority", [&] { grid->setRowStylesTakePriority(true); }, red, 5 },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        c.set();
        auto hierarchy = manager->unselectedStyleHierarchyForCell(cell);
        EXPECT_EQ(hierarchy.size(), c.entries);
        EXPECT_TRUE(manager->styleForCell(cell)->backgroundColor()->isEqual(c.expected.get()));
    }
    grid->setRowStylesTakePriority(false);

    // Not blending delegate row styles with the default: the default's colour is dropped from a
    // copy, the default itself keeps it.
    grid->setBlendsDelegateRowStylesWithDefaultRowStyle(false);
    auto hierarchy = manager->unselectedStyleHierarchyForCell(cell);
    EXPECT_FALSE(hierarchy.front()->backgroundColor());
    EXPECT_TRUE(grid->defaultRowStyle()->backgroundColor());

    // The first row of the grid can ignore the delegate's column styles.
    grid->setIgnoresDelegateColStylesForFirstRow(true);
    auto topLeft = grid->visibleCellAtColAndRow(1, LGridRowMake(0, 0));
    EXPECT_TRUE(manager->styleForCell(topLeft)->backgroundColor()->isEqual(red.get()));
}

TEST_F(LGridDataSourceDelegateManagerTest, LinesHeadersAndTitlesHaveTheirDefaults)
{
    auto client = FakeGridClient::make(3, { 2 });
    client->implemented.erase("numberOfSectionsInLatticeGrid:");
    auto grid = makeGrid(client, CGRectMake(0, 0, 300, 200));
    auto& manager = grid->dataSourceDelegateManager();
    EXPECT_FLOAT_EQ(manager->gridLineSizeVerticalAtIndex(2), 0) << "no line right of the last column";
    EXPECT_FLOAT_EQ(manager->gridLineSizeVerticalAtIndex(-1), 0);
    EXPECT_FLOAT_EQ(manager->gridLineSizeVerticalAtIndex(1), 1);
    EXPECT_FLOAT_EQ(manager->gridLineSizeHorizontalAtIndexInSection(1, 0), 0) << "no line below the last row";
    EXPECT_FLOAT_EQ(manager->gridLineSizeHorizontalAtIndexInSection(0, 0), 1);

    auto header = manager->sectionHeaderStyleAtIndex(0);
    ASSERT_TRUE(header);
    EXPECT_TRUE(header->isHidden()) << "a single section hides its header";
    EXPECT_FLOAT_EQ(header->height(), 0);
    EXPECT_FALSE(grid->defaultSectionHeaderStyle()->isHidden()) << "without changing the grid's default";
    EXPECT_FLOAT_EQ(grid->defaultSectionHeaderStyle()->height(), 30);
    EXPECT_FLOAT_EQ(manager->sectionHeaderStyleAtIndex(4)->height(), 0);

    EXPECT_EQ(manager->sectionTitleForFrozenSectionAtIndex(0), "Section 1");
    client->implemented.insert("latticeGrid:titleForHeaderInSection:");
    EXPECT_EQ(manager->sectionTitleForLiquidSectionAtIndex(0), "Title 0");
}
