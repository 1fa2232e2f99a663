#include "grid/LGridCell.h"

#include "foundation/NSException.h"
#include "graphics/UIColor.h"
#include "graphics/UIFont.h"
#include "grid/LGridCellBorder.h"
#include "grid/LGridCellStyle.h"
#include "grid/LGridReorderArrow.h"
#include "grid/LGridShadow.h"
#include "grid/LGridTextField.h"
#include "grid/tests/GridTestSupport.h"
#include "testing/LogCapture.h"

namespace {

bool sameColour(const Ref<UIColor>& colour, float r, float g, float b)
{
    auto expected = UIColor::colorWithRedGreenBlueAlpha(r / 255.0f, g / 255.0f, b / 255.0f, 1);
    return colour && colour->isEqual(expected.get());
}

} // namespace

class LGridCellTest : public GridTest {
protected:
    void SetUp() override
    {
        GridTest::SetUp();
        client = FakeGridClient::make(3, { 4 });
        grid = makeGrid(client, CGRectMake(0, 0, 400, 300));
        grid->layoutIfNeeded();
        cell = grid->visibleCellAtColAndRow(1, LGridRowMake(1, 0));
        ASSERT_TRUE(cell);
        client->calls.clear();
    }
    Ref<FakeGridClient> client;
    Ref<LatticeGrid> grid;
    Ref<LGridCell> cell;
};

TEST_F(LGridCellTest, AnEmptyStyleShowsTheDefaultsAndTheDelegateHasTheLastWord)
{
    auto style = LGridCellStyle::init();
    cell->applyStyle(style);
    EXPECT_TRUE(sameColour(cell->backgroundColor(), 26, 25, 25));
    EXPECT_TRUE(style->textColor()->isEqual(UIColor::whiteColor().get()));
    ASSERT_TRUE(style->font());
    EXPECT_FLOAT_EQ(style->font()->pointSize(), 17);
    EXPECT_FALSE(cell->useOwnBackgroundColor());

    cell->setSelected(true);
    cell->applyStyle(LGridCellStyle::init());
    EXPECT_TRUE(sameColour(cell->backgroundColor(), 255, 104, 35));
    cell->setSelected(false);

    client->implemented.insert("latticeGrid:alterStyle:beforeApplyingToCellAtCoord:");
    client->alterStyle
        = [](const Ref<LGridCellStyle>& s, const Ref<LGridCoord>&) { s->setBackgroundColor(UIColor::redColor()); };
    cell->applyStyle(LGridCellStyle::init());
    EXPECT_TRUE(cell->backgroundColor()->isEqual(UIColor::redColor().get()));
}

TEST_F(LGridCellTest, SelectionCallbacksFollowTheCallbackLevel)
{
    for (const char* name : { "latticeGrid:shouldSelectCellAtCoord:", "latticeGrid:willSelectCellAtCoord:",
             "latticeGrid:didSelectCellAtCoord:", "latticeGrid:willDeselectCellAtCoord:",
             "latticeGrid:didDeselectCellAtCoord:" })
        client->implemented.insert(name);

    struct Case {
        const char* name;
        std::function<void()> act;
        std::vector<std::string> calls;
        bool selected;
    };
    const std::vector<Case> cases {
        { "a tap asks first", [&] { cell->respondToSelectionEvent(); },
            { "shouldSelect {c:1,r:1,s:0}", "willSelect {c:1,r:1,s:0}", "didSelect {c:1,r:1,s:0}" }, true },
        { "the protocol form only tells", [&] { cell->setSelectedAnimated(true, false); },
            { "willSelect {c:1,r:1,s:0}", "didSelect {c:1,r:1,s:0}" }, true },
        { "level 2 is silent", [&] { cell->setSelectedAnimatedNeedsDelegateCallBacksFor(false, false, 2); }, {},
            false },
        { "a refusal changes nothing",
            [&] {
                client->allowSelection = false;
                cell->setSelectedAnimatedNeedsDelegateCallBacksFor(true, false, 0);
                client->allowSelection = true;
            },
            { "shouldSelect {c:1,r:1,s:0}" }, false },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        client->calls.clear();
        c.act();
        EXPECT_EQ(client->calls, c.calls);
        EXPECT_EQ(cell->selected(), c.selected);
        EXPECT_EQ(grid->isCoordSelected(cell->gridCoord()), c.selected);
    }
}

TEST_F(LGridCellTest, SelectingRecordsTheDeselectedLookOnceAndRestoresIt)
{
    auto before = cell->backgroundColor();
    cell->setSelectedAnimatedNeedsDelegateCallBacksFor(true, false, 2);
    EXPECT_TRUE(sameColour(cell->backgroundColor(), 255, 104, 35)) << "the grid's selected style is orange";
    cell->setSelectedAnimatedNeedsDelegateCallBacksFor(true, false, 2);
    EXPECT_TRUE(cell->deselectedStyle()->backgroundColor()->isEqual(before.get()))
        << "selecting again does not record the selected look as the deselected one";
    cell->setSelectedAnimatedNeedsDelegateCallBacksFor(false, false, 2);
    EXPECT_TRUE(cell->backgroundColor()->isEqual(before.get()));
}

TEST_F(LGridCellTest, ReuseResetsStateButKeepsTheCoordinateObject)
{
    auto coord = cell->gridCoord();
    cell->setGridCoord(LGridCoord::initWithColumnWithRow(2, LGridRowMake(3, 0)));
    EXPECT_EQ(cell->gridCoord(), coord);
    EXPECT_EQ(coord->column(), 2);

    cell->setCurrentDragDirection(1);
    EXPECT_TRUE(cell->shadowOnSide(2));
    EXPECT_TRUE(cell->shadowOnSide(3));
    EXPECT_FALSE(cell->shadowOnSide(0));
    cell->setCurrentDragDirection(0);
    EXPECT_FALSE(cell->shadowOnSide(2));
    cell->setCurrentDragDirection(2);
    EXPECT_TRUE(cell->shadowOnSide(0));
    EXPECT_TRUE(cell->shadowOnSide(1));

    cell->setVerticallyFrozen(true);
    cell->setSelected(true);
    cell->setCollapsed(true);
    EXPECT_FLOAT_EQ(cell->alpha(), 0);
    cell->resetForReuse();
    EXPECT_EQ(cell->currentDragDirection(), 3);
    EXPECT_FALSE(cell->shadowOnSide(0));
    EXPECT_FALSE(cell->verticallyFrozen());
    EXPECT_FALSE(cell->selected());
    EXPECT_FALSE(cell->isCollapsed());
    EXPECT_FALSE(cell->owningLayer());
    EXPECT_FALSE(cell->border()->initialisedBorders());
    EXPECT_EQ(cell->gridCoord(), coord);
}

TEST_F(LGridCellTest, BordersComeFromTheLinesAroundTheCell)
{
    // 1-point lines on every inner side of (1, 1): strips of 1 around a 101 x 41 cell.
    EXPECT_FLOAT_EQ(cell->border()->borderSizeAt(0), 1);
    EXPECT_FLOAT_EQ(cell->border()->borderSizeAt(3), 1);
    auto top = cell->border()->horizontalBorderFrameTop(true);
    EXPECT_FLOAT_EQ(top.origin.x, 1);
    EXPECT_FLOAT_EQ(top.size.width, cell->bounds().size.width - 2);
    auto contentFrame = cell->contentFrame();
    EXPECT_FLOAT_EQ(contentFrame.size.height, cell->bounds().size.height - 2);
    // The top-left cell has no line above or to its left.
    auto corner = grid->visibleCellAtColAndRow(0, LGridRowMake(0, 0));
    EXPECT_FLOAT_EQ(corner->border()->borderSizeAt(0), 0);
    EXPECT_FLOAT_EQ(corner->border()->borderSizeAt(2), 0);
}

TEST_F(LGridCellTest, ANilIdentifierIsFatal)
{
    LogCapture log;
    EXPECT_THROW(LGridCell::initWithReuseIdentifier(""), NSException);
    EXPECT_THROW(grid->dequeueReusableCellWithIdentifier(std::nullopt), NSException);
}

// A frame change fits the cell's own content views to it, but leaves the reorder arrows, the
// text field (laid out in the content frame by the text cells) and the shadows their size.
TEST_F(LGridCellTest, AFrameChangeLeavesArrowsTextFieldsAndShadowsTheirSize)
{
    auto content = UIView::initWithFrame(CGRectMake(0, 0, 10, 10));
    auto arrow = LGridReorderArrow::initWithOrientationWithImageUserControlsOrientation(0, nullptr, false);
    arrow->setFrame(CGRectMake(40, 0, 20, 20));
    auto field = LGridTextField::initWithFrame(CGRectMake(5, 5, 30, 20));
    cell->addSubview(content);
    cell->addSubview(arrow);
    cell->addSubview(field);
    cell->addShadowOnSide(1);

    cell->setFrame(CGRectMake(0, 0, 101, 41));
    EXPECT_FLOAT_EQ(content->frame().size.width, 101);
    EXPECT_FLOAT_EQ(content->frame().size.height, 41);
    struct Case {
        const char* name;
        Ref<UIView> view;
        CGRect frame;
    };
    for (const auto& c : { Case { "arrow", arrow, CGRectMake(40, 0, 20, 20) },
             Case { "text field", field, CGRectMake(5, 5, 30, 20) } }) {
        SCOPED_TRACE(c.name);
        EXPECT_FLOAT_EQ(c.view->frame().origin.x, c.frame.origin.x);
        EXPECT_FLOAT_EQ(c.view->frame().origin.y, c.frame.origin.y);
        EXPECT_FLOAT_EQ(c.view->frame().size.width, c.frame.size.width);
        EXPECT_FLOAT_EQ(c.view->frame().size.height, c.frame.size.height);
    }
    for (const auto& child : cell->subviews()) {
        if (auto shadow = std::dynamic_pointer_cast<LGridShadow>(child)) {
            EXPECT_LT(shadow->frame().size.height, 41) << "the bottom shadow keeps its own strip";
        }
    }
}
