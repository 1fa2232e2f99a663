#include "grid/datagrid/LatticeDataGrid.h"

#include "foundation/NSException.h"
#include "graphics/CALayer.h"
#include "graphics/UIColor.h"
#include "grid/LGridAutoCell.h"
#include "grid/LGridBorderStyle.h"
#include "grid/LGridColRowStyle.h"
#include "grid/LGridGraphics.h"
#include "grid/LGridLineStyle.h"
#include "grid/LGridSectionHeaderStyle.h"
#include "grid/LGridTextField.h"
#include "grid/datagrid/LDataGridCellStyle.h"
#include "grid/datagrid/LDataGridHeaderCell.h"
#include "grid/datagrid/LDataGridLineStyle.h"
#include "grid/datagrid/LDataGridSectionHeaderStyle.h"
#include "grid/datagrid/LDataGridSortArrowManager.h"
#include "grid/datagrid/LDataGridTextCell.h"
#include "grid/datagrid/LGridSortOrderArrow.h"
#include "grid/datagrid/tests/DataGridTestSupport.h"
#include "testing/LogCapture.h"
#include "testing/TouchSynthesis.h"
#include "uikit/UIImageView.h"
#include "uikit/UILabel.h"
#include "uikit/UITextField.h"
#include "uikit/UIViewController.h"
#include "uikit/UIWindow.h"

namespace {

std::vector<std::string> titlesOf(const std::vector<Ref<LDataGridColumn>>& columns)
{
    std::vector<std::string> titles;
    for (const auto& column : columns)
        titles.push_back(column->title().value_or("") + "@" + std::to_string(column->displayIndex()));
    return titles;
}

std::vector<std::string> descriptionsOf(const std::vector<Ref<LDataGridRow>>& rows)
{
    std::vector<std::string> texts;
    for (const auto& row : rows)
        texts.push_back(row->description());
    return texts;
}

} // namespace

TEST_F(LatticeDataGridTest, CreationSetsUpTheEngine)
{
    auto grid = LatticeDataGrid::initWithFrame(CGRectMake(0, 0, 300, 200));
    const auto& engine = grid->internalGrid();
    EXPECT_EQ(engine->superview(), grid);
    EXPECT_TRUE(CGRectEqualToRect(engine->frame(), CGRectMake(0, 0, 300, 200)));
    EXPECT_EQ(engine->delegate().get(), static_cast<LGridDelegate*>(grid.get()));
    EXPECT_FALSE(engine->dataSource());
    EXPECT_EQ(grid->numberOfHeaderRows(), 1);
    EXPECT_EQ(engine->numberOfFrozenRows(), 1u);
    EXPECT_EQ(engine->selectionMode(), LGridSelectionModeSingleRow);
    EXPECT_EQ(grid->defaultRowHeight(), 44.0f);
    EXPECT_EQ(grid->defaultColWidth(), 160.0f);
    EXPECT_EQ(grid->defaultHeaderRowHeight(), 44.0f);
    EXPECT_TRUE(engine->enableBlending());
    EXPECT_FALSE(engine->rowStylesTakePriority());
    EXPECT_EQ(engine->defaultBorderStyle()->width(), 0);
    EXPECT_TRUE(engine->preventSingleRowDeselection());
    EXPECT_FALSE(engine->blendsDelegateRowStylesWithDefaultRowStyle());
    EXPECT_TRUE(engine->ignoresDelegateColStylesForFirstRow());
    EXPECT_FALSE(engine->directionalLockAllowDiagonalPanning());
    EXPECT_EQ(engine->layer()->borderWidth(), 1.0f);
    EXPECT_EQ(grid->layer()->borderWidth(), 1.0f);
    EXPECT_EQ(grid->singleTapEventMask(), 1);
    EXPECT_EQ(grid->doubleTapEventMask(), 2);
    EXPECT_TRUE(grid->canResizeColumnsViaPinch());
    EXPECT_FALSE(grid->canReorderRows());
    EXPECT_FALSE(grid->UIScrollView::isScrollEnabled());
    // Theme 0: no alternating style, the theme's selected and section header looks.
    EXPECT_FALSE(grid->defaultCellStyleForAlternateRows());
    EXPECT_EQ(grid->defaultSectionHeaderStyle()->height(), 36);
    EXPECT_EQ(engine->defaultSectionHeaderStyle()->height(), 36);
    EXPECT_TRUE(engine->defaultRowStyle()->contentInsetSetByUser());
    EXPECT_NE(grid->getInfo().find("Version: "), std::string::npos);
}

// Getters hand back the engine's own objects, so changes through them take effect.
TEST_F(LatticeDataGridTest, StyleGettersReachTheEngineObjects)
{
    auto grid = LatticeDataGrid::init();
    grid->defaultCellStyleForRows()->setTextAlignment(2);
    EXPECT_EQ(grid->internalGrid()->defaultRowStyle()->textAlignment(), 2);
    EXPECT_EQ(grid->internalGrid()->defaultRowStyle()->size(), 44.0f);
    grid->defaultCellStyleForSelectedRows()->setTextColor(UIColor::redColor());
    EXPECT_EQ(grid->internalGrid()->defaultSelectedCellStyle()->textColor(), UIColor::redColor());
    grid->defaultGridLineStyle()->setWidth(3);
    EXPECT_EQ(grid->internalGrid()->defaultGridLineStyle()->width(), 3);

    grid->setDefaultRowHeight(30.0f);
    grid->setDefaultCellStyleForRows(LDataGridCellStyle::init());
    EXPECT_EQ(grid->defaultRowHeight(), 30.0f);
    grid->setMinimumRowHeight(20.0f);
    EXPECT_EQ(grid->minimumRowHeight(), 20.0f);
    grid->setMinimumColWidth(25.0f);
    EXPECT_EQ(grid->internalGrid()->defaultColumnStyle()->minimumSize(), 25.0f);
}

TEST_F(LatticeDataGridTest, ColumnsGetDisplayIndexesAndAreNormalised)
{
    auto grid = LatticeDataGrid::init();
    EXPECT_FALSE(grid->columnAtIndex(0));
    EXPECT_FALSE(grid->columnAtIndex(-4));
    auto a = LDataGridColumn::columnWithTitleDisplayIndex(std::string("A"), 5);
    auto b = LDataGridColumn::columnWithTitle(std::string("B"));
    auto c = LDataGridColumn::columnWithTitleDisplayIndex(std::string("C"), 1);
    grid->setColumns(std::vector { a, b, c });
    // B had no index and takes the count before it.
    EXPECT_EQ(titlesOf(grid->columns()), (std::vector<std::string> { "A@5", "B@1", "C@1" }));
    EXPECT_EQ(a->owningGrid(), grid);
    b->setDisplayIndex(2147483647);
    grid->normaliseColumnDisplayIndices();
    EXPECT_EQ(titlesOf(grid->columns()), (std::vector<std::string> { "C@0", "A@1", "B@2" }));
    EXPECT_EQ(grid->titleForColAtIndex(2), "B");
    EXPECT_THROW(grid->columnAtIndex(3), NSException);
}

TEST_F(LatticeDataGridTest, FailuresOfTheColumnListAndReload)
{
    LogCapture log;
    auto grid = LatticeDataGrid::init();
    grid->setColumns(columnsTitled({ "A", "B" }));
    EXPECT_THROW(grid->addColumn(nullptr), NSException);
    EXPECT_THROW(grid->setColumns(std::nullopt), NSException);
    EXPECT_THROW(grid->removeColumnAtIndex(-1), NSException);
    EXPECT_THROW(grid->removeColumnAtIndex(2), NSException);
    EXPECT_TRUE(loggedMessage(log.messages(),
        "Cannot remove col at index 2 in method -[LatticeDataGrid removeColumnAtIndex:] as number of column  items is "
        "2"));
    // Removing reloads, which needs a data source.
    EXPECT_THROW(grid->removeColumnAtIndex(0), NSException);
    EXPECT_EQ(grid->columns().size(), 1u);
    EXPECT_THROW(grid->reload(), NSException);
}

TEST_F(LatticeDataGridTest, HeaderAndFrozenRowSettings)
{
    LogCapture log;
    auto grid = LatticeDataGrid::init();
    grid->setNumberOfHeaderRows(-2);
    EXPECT_EQ(grid->numberOfHeaderRows(), 0);
    EXPECT_TRUE(loggedMessage(log.messages(),
        "The number of header rows has been set to -2 in -[LatticeDataGrid setNumberOfHeaderRows:]. The number of "
        "header rows cannot be negative, therefore using 0 header rows."));
    EXPECT_FALSE(grid->isRowHeaderRow(LGridRowMake(0, 0)));
    EXPECT_EQ(grid->internalGrid()->numberOfFrozenRows(), 1u);
    grid->setNumberOfHeaderRows(1);
    grid->setNumberOfFrozenRows(2);
    EXPECT_EQ(grid->internalGrid()->numberOfFrozenRows(), 3u);
    grid->internalGrid()->setNumberOfFrozenRows(1);
    grid->setNumberOfFrozenRows(2);
    EXPECT_EQ(grid->internalGrid()->numberOfFrozenRows(), 1u);
}

// The engine fills the data grid less its insets; an offset set while the frame changes is dropped.
TEST_F(LatticeDataGridTest, GeometryFollowsFrameAndInsets)
{
    auto grid = LatticeDataGrid::initWithFrame(CGRectMake(10, 10, 300, 200));
    grid->setContentInset(UIEdgeInsets { 5, 10, 15, 20 });
    EXPECT_TRUE(CGRectEqualToRect(grid->internalGrid()->frame(), CGRectMake(10, 5, 270, 180)));
    grid->setFrame(CGRectMake(0, 0, 400, 300));
    EXPECT_TRUE(CGRectEqualToRect(grid->internalGrid()->frame(), CGRectMake(10, 5, 370, 280)));
    grid->setMinimumZoomScale(0.5f);
    EXPECT_EQ(grid->internalGrid()->minimumZoomScale(), 1.0f);
}

// The engine sees a header section of its own ahead of the user's sections.
TEST_F(LatticeDataGridTest, EngineCountsIncludeTheHeaderSection)
{
    auto client = FakeDataGridClient::make({ 3 });
    auto grid = LatticeDataGrid::init();
    grid->setDataSource(client);
    grid->setColumns(columnsTitled({ "A", "B" }));
    const auto& engine = grid->internalGrid();
    EXPECT_EQ(grid->numberOfColsForLatticeGrid(engine), 2);
    EXPECT_EQ(grid->numberOfSectionsInLatticeGrid(engine), 2);
    EXPECT_EQ(grid->latticeGridNumberOfRowsInSection(engine, 0), 1);
    EXPECT_EQ(grid->latticeGridNumberOfRowsInSection(engine, 1), 3);
    client->implemented.insert("numberOfSectionsInLatticeDataGrid:");
    client->sectionsOverride = 0;
    EXPECT_EQ(grid->numberOfSectionsInLatticeGrid(engine), 1);
    client->sectionsOverride = -1;
    EXPECT_THROW(grid->numberOfSectionsInLatticeGrid(engine), NSException);

    EXPECT_EQ(grid->latticeGridTitleForHeaderInSection(engine, 0), "Headers");
    EXPECT_EQ(grid->latticeGridTitleForFrozenHeaderInSection(engine, 0), "Headers");
    EXPECT_EQ(grid->latticeGridTitleForHeaderInSection(engine, 2), "Section 1");
    client->implemented.insert("latticeDataGrid:titleForHeaderInSection:");
    EXPECT_EQ(grid->latticeGridTitleForHeaderInSection(engine, 2), "Group 1");
    EXPECT_FALSE(grid->latticeGridViewForHeaderInSectionInFrame(engine, 0, CGRectMake(0, 0, 100, 30)));
    auto view = grid->latticeGridViewForHeaderInSectionInFrame(engine, 1, CGRectMake(0, 0, 100, 30));
    ASSERT_TRUE(view);
    EXPECT_EQ(view->subviews().size(), 1u);
    EXPECT_TRUE(grid->latticeGridStyleForSectionHeaderAtIndex(engine, 0)->isHidden());
}

// Single user section: no section header unless the delegate styles one; two sections get the
// engine's default header.
TEST_F(LatticeDataGridTest, SectionHeaderStyles)
{
    auto one = FakeDataGridClient::make({ 2 });
    auto grid = makeGrid(one, columnsTitled({ "A" }));
    auto single = grid->latticeGridStyleForSectionHeaderAtIndex(grid->internalGrid(), 1);
    ASSERT_TRUE(single);
    EXPECT_TRUE(single->isHidden());
    auto two = FakeDataGridClient::make({ 2, 2 });
    grid->setDataSource(two);
    grid->reload();
    EXPECT_FALSE(grid->latticeGridStyleForSectionHeaderAtIndex(grid->internalGrid(), 1));
}

// Cells come from each column's class; header cells show the titles and never reach the data
// source, body cells carry their coordinate when the data source fills them.
TEST_F(LatticeDataGridTest, CellsForHeaderAndBodyRows)
{
    auto client = FakeDataGridClient::make({ 4 });
    auto grid = LatticeDataGrid::init();
    grid->setDataSource(client);
    grid->setNumberOfHeaderRows(2);
    grid->setColumns(columnsTitled({ "A", "B" }));
    const auto& engine = grid->internalGrid();

    auto header = std::dynamic_pointer_cast<LDataGridHeaderCell>(
        grid->latticeGridCellForGridCoord(engine, engineCoord(1, 1, 0)));
    ASSERT_TRUE(header);
    EXPECT_EQ(header->text(), "B");
    EXPECT_FALSE(header->coordinate());
    EXPECT_EQ(header->reuseIdentifier(), "LDataGridHeaderCell");
    EXPECT_TRUE(client->calls.empty());

    auto body
        = std::dynamic_pointer_cast<LDataGridTextCell>(grid->latticeGridCellForGridCoord(engine, engineCoord(0, 3, 1)));
    ASSERT_TRUE(body);
    EXPECT_EQ(client->calls, (std::vector<std::string> { "prepare {c:A,r:3,s:0}" }));
    EXPECT_EQ(body->text(), "A 3,0");
    EXPECT_EQ(body->gridCoord()->description(), "{c:0,r:3,s:1}");
    EXPECT_EQ(body->internalCell()->gridCoord(), body->gridCoord());
}

// A laid-out grid: visible rows and cells in the user's numbering, selection without header rows.
TEST_F(LatticeDataGridTest, LaidOutGridShowsAndSelectsUserRows)
{
    LogCapture log;
    auto client = FakeDataGridClient::make({ 3 });
    client->implemented.insert("latticeDataGrid:didSelectRow:");
    auto grid = makeGrid(client, columnsTitled({ "A", "B", "C" }));
    EXPECT_EQ(descriptionsOf(grid->visibleRows()),
        (std::vector<std::string> { "Row: {i=0, s=0}", "Row: {i=1, s=0}", "Row: {i=2, s=0}" }));
    EXPECT_EQ(grid->visibleColumns().size(), 3u);
    auto row1 = LDataGridRow::rowWithRowIndexSectionIndex(1, 0);
    auto cell = std::dynamic_pointer_cast<LDataGridTextCell>(grid->visibleCellAtColAndRow(2, row1));
    ASSERT_TRUE(cell);
    EXPECT_EQ(cell->text(), "C 1,0");
    EXPECT_FALSE(grid->visibleCellAtCoordinate(LDataGridCoord::coordinateWithColRow(
        grid->columnAtIndex(0), LDataGridRow::rowWithRowIndexSectionIndex(0, -1))));
    EXPECT_THROW(grid->visibleCellAtColAndRow(3, row1), NSException);
    auto headerCell = grid->visibleHeaderCellAtColIndex(1);
    ASSERT_TRUE(std::dynamic_pointer_cast<LDataGridHeaderCell>(headerCell));

    grid->setRowAsSelectedAnimated(row1, true, false);
    drainAll();
    EXPECT_EQ(descriptionsOf(grid->selectedRows()), (std::vector<std::string> { "Row: {i=1, s=0}" }));
    EXPECT_EQ(grid->selectedCellCoordinates().size(), 3u);
    EXPECT_EQ(client->callsStartingWith("didSelectRow"), (std::vector<std::string> { "didSelectRow Row: {i=1, s=0}" }));

    grid->setRowAsSelectedAnimated(LDataGridRow::rowWithRowIndexSectionIndex(3, 0), true, false);
    EXPECT_TRUE(log.contains("-[LatticeDataGrid setRow:asSelected:animated:]: Invalid row Row: {i=3, s=0}"));
    grid->setSelectedRowsAnimated({ LDataGridRow::rowWithRowIndexSectionIndex(2, 0), grid->columnAtIndex(0) }, false);
    drainAll();
    EXPECT_EQ(descriptionsOf(grid->selectedRows()), (std::vector<std::string> { "Row: {i=2, s=0}" }));
    EXPECT_TRUE(loggedMessage(log.messages(),
        "Entry 1 of array passed to setSelectedRows:animated: was not an LDataGridRow object (was a LDataGridColumn "
        "object), so no row set as selected."));
}

// Rows 1, 3, ... of every section take the alternating style; header rows take the header
// style and height; a delegate height changes only its row.
TEST_F(LatticeDataGridTest, RowStylesAlternateAndHeaderRowsTakeTheHeaderStyle)
{
    LDataGridTheme::setInitialTheme(1);
    auto client = FakeDataGridClient::make({ 4, 4 });
    client->implemented.insert("latticeDataGrid:heightForRowAtIndex:inSection:");
    client->rowHeight = [](int32_t i, int32_t s) -> std::optional<float> {
        if (i == 2 && s == 1)
            return 80.0f;
        return std::nullopt;
    };
    auto grid = LatticeDataGrid::init();
    grid->setDataSource(client);
    grid->setDelegate(client);
    const auto& engine = grid->internalGrid();
    auto header = grid->latticeGridStyleForRowAtIndexInSection(engine, 0, 0);
    ASSERT_TRUE(header);
    EXPECT_EQ(header->size(), 44.0f);
    EXPECT_EQ(header->backgroundColor(), grid->defaultCellStyleForHeaderRow()->backgroundColor());
    EXPECT_FALSE(grid->latticeGridStyleForRowAtIndexInSection(engine, 0, 1));
    for (int32_t section : { 1, 2 }) {
        auto odd = grid->latticeGridStyleForRowAtIndexInSection(engine, 1, section);
        ASSERT_TRUE(odd);
        EXPECT_EQ(odd->backgroundColor(), grid->defaultCellStyleForAlternateRows()->backgroundColor());
        EXPECT_EQ(odd->size(), 44.0f);
    }
    auto tall = grid->latticeGridStyleForRowAtIndexInSection(engine, 2, 2);
    ASSERT_TRUE(tall);
    EXPECT_EQ(tall->size(), 80.0f);
    EXPECT_FALSE(tall->backgroundColor());
    EXPECT_EQ(client->callsStartingWith("height").back(), "height 2,1");
}

TEST_F(LatticeDataGridTest, ColumnStylesAndGridLines)
{
    auto client = FakeDataGridClient::make({ 2 });
    auto columns = columnsTitled({ "A", "B" });
    columns[1]->setWidth(90.0f);
    columns[1]->setMinimumWidth(40.0f);
    columns[1]->cellStyle()->setTextColor(UIColor::redColor());
    auto grid = LatticeDataGrid::init();
    grid->setDataSource(client);
    grid->setDelegate(client);
    grid->setColumns(columns);
    const auto& engine = grid->internalGrid();
    auto style = grid->latticeGridStyleForColAtIndex(engine, 1);
    EXPECT_EQ(style->size(), 90.0f);
    EXPECT_EQ(style->minimumSize(), 40.0f);
    EXPECT_EQ(style->textColor(), UIColor::redColor());
    EXPECT_FALSE(grid->latticeGridStyleForColAtIndex(engine, 2));

    auto line = grid->latticeGridStyleForHorizontalGridLineAtIndexInSection(engine, 0, 0);
    ASSERT_TRUE(line);
    EXPECT_EQ(line->width(), 0);
    EXPECT_FALSE(grid->latticeGridStyleForHorizontalGridLineAtIndexInSection(engine, 1, 0));
    client->implemented.insert("latticeDataGrid:styleForHorizontalGridLineAtIndex:inSection:");
    EXPECT_FALSE(grid->latticeGridStyleForHorizontalGridLineAtIndexInSection(engine, 0, 0));

    // Header cells take the column's header style over the engine's.
    columns[0]->headerCellStyle()->setTextAlignment(1);
    auto resolved = LGridCellStyle::init();
    resolved->setTextAlignment(0);
    resolved->setTextColor(UIColor::blueColor());
    grid->latticeGridAlterStyleBeforeApplyingToCellAtCoord(engine, resolved, engineCoord(0, 0, 0));
    EXPECT_EQ(resolved->textAlignment(), 1);
    EXPECT_EQ(resolved->textColor(), UIColor::blueColor());
}

// A header tap moves the column's sort order (and resets the others); body taps reach the
// delegate; only the first double tap on a header is logged.
TEST_F(LatticeDataGridTest, HeaderTapsSortAndBodyTapsPassOn)
{
    LogCapture log;
    auto client = FakeDataGridClient::make({ 3 });
    for (const char* selector :
        { "latticeDataGrid:willChangeSortOrderForColumn:to:", "latticeDataGrid:didChangeSortOrderForColumn:from:",
            "latticeDataGrid:didTapCellAtCoordinate:isDoubleTap:" })
        client->implemented.insert(selector);
    auto columns = columnsTitled({ "A", "B" });
    columns[0]->setSortMode(LDataGridColumnSortModeCycle);
    columns[1]->setSortMode(LDataGridColumnSortModeCycle);
    columns[1]->setSortOrder(LDataGridColumnSortOrderDescending);
    auto grid = makeGrid(client, columns);
    const auto& engine = grid->internalGrid();
    client->calls.clear();

    grid->latticeGridDidTapCellAtCoordIsDoubleTap(engine, engineCoord(0, 0, 0), false);
    EXPECT_EQ(columns[0]->sortOrder(), LDataGridColumnSortOrderAscending);
    EXPECT_EQ(columns[1]->sortOrder(), LDataGridColumnSortOrderNone);
    EXPECT_EQ(client->calls, (std::vector<std::string> { "will B 0", "did B 2", "will A 1", "did A 0" }));
    EXPECT_TRUE(client->callsStartingWith("tap").empty());

    // Double taps sort like single ones.
    grid->latticeGridDidTapCellAtCoordIsDoubleTap(engine, engineCoord(0, 0, 0), true);
    EXPECT_EQ(columns[0]->sortOrder(), LDataGridColumnSortOrderDescending);
    grid->latticeGridDidTapCellAtCoordIsDoubleTap(engine, engineCoord(0, 0, 0), true);
    EXPECT_EQ(columns[0]->sortOrder(), LDataGridColumnSortOrderNone);
    std::string notice = "-[LatticeDataGrid latticeGrid:didTapCellAtCoord:isDoubleTap:] called from a double-tap";
    auto lines = log.messages();
    EXPECT_EQ(std::count(lines.begin(), lines.end(), notice), 1);

    grid->latticeGridDidTapCellAtCoordIsDoubleTap(engine, engineCoord(1, 2, 1), false);
    EXPECT_EQ(client->callsStartingWith("tap"), (std::vector<std::string> { "tap {c:B,r:2,s:0}" }));

    // The arrow on screen follows the order.
    auto header = std::dynamic_pointer_cast<LDataGridHeaderCell>(grid->visibleHeaderCellAtColIndex(0));
    ASSERT_TRUE(header);
    EXPECT_EQ(header->sortArrow()->image(), LGridGraphics::sortOrderArrowImageForSortOrder(0));
    grid->latticeGridDidTapCellAtCoordIsDoubleTap(engine, engineCoord(0, 0, 0), false);
    EXPECT_EQ(header->sortArrow()->image(), LGridGraphics::sortOrderArrowImageForSortOrder(1));
}

TEST_F(LatticeDataGridTest, HeaderRowsAreNeverSelected)
{
    auto client = FakeDataGridClient::make({ 3 });
    client->implemented.insert("latticeDataGrid:shouldSelectRow:");
    auto grid = makeGrid(client, columnsTitled({ "A" }));
    const auto& engine = grid->internalGrid();
    client->calls.clear();
    EXPECT_FALSE(grid->latticeGridShouldSelectRow(engine, LGridRowMake(0, 0)));
    EXPECT_FALSE(grid->latticeGridShouldSelectCellAtCoord(engine, engineCoord(0, 0, 0)));
    EXPECT_TRUE(client->calls.empty());
    EXPECT_TRUE(grid->latticeGridShouldSelectRow(engine, LGridRowMake(1, 1)));
    EXPECT_EQ(client->calls, (std::vector<std::string> { "shouldSelectRow Row: {i=1, s=0}" }));
    EXPECT_THROW(grid->latticeGridShouldDeselectRow(engine, LGridRowMake(0, 0)), NSException);
    EXPECT_FALSE(grid->scrollViewShouldScrollToTop(engine));
}

// Who may drag what: by default nothing; columns by their header when they allow it, rows by
// their body cells when the grid allows it. Header cells follow that rule even when the
// delegate decides for body cells, so a header row can never be dragged into the user's rows.
TEST_F(LatticeDataGridTest, DragPermissions)
{
    auto client = FakeDataGridClient::make({ 3 });
    auto columns = columnsTitled({ "A", "B" });
    auto grid = makeGrid(client, columns);
    const auto& engine = grid->internalGrid();
    auto header = engineCoord(0, 0, 0);
    auto body = engineCoord(0, 1, 1);
    EXPECT_EQ(grid->latticeGridPermittedDragDirectionForCellAtCoord(engine, header), 0);
    EXPECT_EQ(grid->latticeGridPermittedDragDirectionForCellAtCoord(engine, body), 0);
    columns[0]->setCanReorderViaLongPress(true);
    grid->setCanReorderRows(true);
    EXPECT_EQ(grid->latticeGridPermittedDragDirectionForCellAtCoord(engine, header), 1);
    EXPECT_EQ(grid->latticeGridPermittedDragDirectionForCellAtCoord(engine, body), 2);

    client->implemented.insert("latticeDataGrid:permittedDragDirectionForCellAtCoordinate:");
    client->dragAnswer = 3;
    EXPECT_EQ(grid->latticeGridPermittedDragDirectionForCellAtCoord(engine, body), 3);
    EXPECT_EQ(grid->latticeGridPermittedDragDirectionForCellAtCoord(engine, header), 1);
    columns[0]->setCanReorderViaLongPress(false);
    EXPECT_EQ(grid->latticeGridPermittedDragDirectionForCellAtCoord(engine, header), 0);
}

TEST_F(LatticeDataGridTest, SwitchedColumnsTakeTheirNewPlaces)
{
    auto client = FakeDataGridClient::make({ 1 });
    client->implemented.insert("latticeDataGrid:didReorderColumn:withColumn:");
    auto grid = makeGrid(client, columnsTitled({ "A", "B", "C" }));
    grid->latticeGridColAtIndexHasBeenSwitchedWithColAtIndex(grid->internalGrid(), 0, 2);
    EXPECT_EQ(titlesOf(grid->columns()), (std::vector<std::string> { "C@0", "B@1", "A@2" }));
    EXPECT_EQ(client->calls.back(), "reorder A C");
}

TEST_F(LatticeDataGridTest, DoubleTapAndEditingQuestions)
{
    auto client = FakeDataGridClient::make({ 2 });
    auto columns = columnsTitled({ "A", "B" });
    columns[1]->setEditable(true);
    auto grid = makeGrid(client, columns);
    const auto& engine = grid->internalGrid();
    auto body = grid->visibleCellAtColAndRow(0, LDataGridRow::zeroRow());
    auto editableBody = grid->visibleCellAtColAndRow(1, LDataGridRow::zeroRow());
    ASSERT_TRUE(body && editableBody);
    EXPECT_FALSE(grid->latticeGridCellCanRespondToDoubleTap(engine, body));
    EXPECT_TRUE(grid->latticeGridCellCanRespondToDoubleTap(engine, editableBody));
    EXPECT_FALSE(grid->latticeGridCellCanRespondToDoubleTap(engine, grid->visibleHeaderCellAtColIndex(1)));
    auto editedCell = [](int32_t column) {
        auto cell = LGridAutoCell::initWithReuseIdentifier("Edit");
        cell->setGridCoord(LGridCoord::initWithColumnWithRow(column, LGridRowMake(0, 1)));
        return cell;
    };
    EXPECT_FALSE(grid->latticeGridShouldBeginEditingAutoCell(engine, editedCell(0)));
    EXPECT_TRUE(grid->latticeGridShouldBeginEditingAutoCell(engine, editedCell(1)));
    EXPECT_FALSE(grid->latticeGridShouldBeginResizingColumnAtIndex(engine, 0));
    columns[0]->setCanResizeViaPinch(true);
    EXPECT_TRUE(grid->latticeGridShouldBeginResizingColumnAtIndex(engine, 0));
}

// A double tap on a data-grid cell of an editable column starts editing in its internal text
// cell; on a cell of a column that is not editable it does not.
TEST_F(LatticeDataGridTest, ADoubleTapOnAnEditableCellStartsEditingIt)
{
    auto client = FakeDataGridClient::make({ 2 });
    auto columns = columnsTitled({ "A", "B" });
    columns[1]->setEditable(true);
    auto window = UIWindow::initWithFrame(CGRectMake(0, 0, 768, 1024));
    window->setRootViewController(UIViewController::init());
    window->makeKeyAndVisible();
    auto grid = makeGrid(client, columns);
    window->addSubview(grid);
    grid->layoutIfNeeded();
    grid->internalGrid()->layoutIfNeeded();
    for (int32_t column : { 0, 1 }) {
        SCOPED_TRACE(column);
        auto cell = std::dynamic_pointer_cast<LDataGridTextCell>(
            grid->visibleCellAtColAndRow(column, LDataGridRow::rowWithRowIndexSectionIndex(1, 0)));
        ASSERT_TRUE(cell);
        CGPoint centre = cell->superview()->convertPointToView(cell->center(), nullptr);
        TouchSynthesis::doubleTap(centre, 0.1);
        m_clock.advance(0.5);
        drainAll();
        EXPECT_EQ(cell->textField()->isFirstResponder(), column == 1);
        cell->textField()->resignFirstResponder();
    }
}

// Before it has a data source the data grid has no sections, not 2^32 - 1 of them.
TEST_F(LatticeDataGridTest, NoDataSourceMeansNoSections)
{
    auto grid = LatticeDataGrid::initWithFrame(CGRectMake(0, 0, 600, 400));
    EXPECT_EQ(grid->numberOfSections(), 0u);
}

// The data grid's own section header view: the title label's left edge is 26 points in, and
// the label is centred vertically in the band, frozen part and scrolling part alike.
TEST_F(LatticeDataGridTest, SectionHeaderTitlesStart26PointsIn)
{
    auto client = FakeDataGridClient::make({ 2, 2 });
    auto grid = makeGrid(client, columnsTitled({ "A" }));
    for (bool frozen : { false, true }) {
        SCOPED_TRACE(frozen);
        auto view = grid->sectionHeaderViewAtIndexAsFrozenInFrame(0, frozen, CGRectMake(0, 0, 300, 36));
        ASSERT_TRUE(view);
        ASSERT_EQ(view->subviews().size(), 1u);
        auto label = std::dynamic_pointer_cast<UILabel>(view->subviews()[0]);
        ASSERT_TRUE(label);
        EXPECT_EQ(label->text(),
            frozen ? grid->latticeGridTitleForFrozenHeaderInSection(grid->internalGrid(), 1)
                   : grid->latticeGridTitleForHeaderInSection(grid->internalGrid(), 1));
        EXPECT_FLOAT_EQ(label->frame().origin.x, 26);
        EXPECT_GT(label->frame().size.width, 0);
        EXPECT_FLOAT_EQ(label->frame().origin.y + label->frame().size.height / 2, 18);
    }
}
