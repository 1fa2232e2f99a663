#include "grid/LGridAutoCell.h"

#include "foundation/NSNotificationCenter.h"
#include "graphics/NSValue.h"
#include "graphics/UIColor.h"
#include "grid/LGridCellStyle.h"
#include "grid/LGridLayer.h"
#include "grid/LGridNumberCell.h"
#include "grid/LGridTextCell.h"
#include "grid/LGridTextField.h"
#include "grid/tests/GridTestSupport.h"
#include "testing/TouchSynthesis.h"
#include "uikit/UIScrollView.h"

class LGridAutoCellTest : public WindowedGridTest {
protected:
    // A grid of text cells, 5 columns and 30 rows of 40 points in a grid 1,000 points high.
    Ref<LatticeGrid> textGrid(const Ref<FakeGridClient>& client)
    {
        client->makeCell = [this](const Ref<LatticeGrid>&, const Ref<LGridCoord>& coord) -> Ref<LGridCell> {
            auto cell = LGridTextCell::initWithReuseIdentifier("Text");
            cell->setText(coord->description());
            m_cells[{ coord->column(), coord->rowIndex() }] = cell;
            return cell;
        };
        return hostedGrid(client, CGRectMake(0, 0, 500, 1000));
    }
    std::map<std::pair<int32_t, int32_t>, Ref<LGridTextCell>> m_cells;
};

TEST_F(LGridAutoCellTest, NumberAndTextCellsAlignAndChooseTheirKeyboard)
{
    auto number = LGridNumberCell::initWithReuseIdentifier("N");
    auto text = LGridTextCell::initWithReuseIdentifier("T");
    EXPECT_EQ(number->textField()->textAlignment(), NSTextAlignmentRight);
    EXPECT_EQ(number->textField()->keyboardType(), UIKeyboardTypeNumberPad);
    EXPECT_EQ(text->textField()->textAlignment(), NSTextAlignmentLeft);
    EXPECT_EQ(text->textField()->keyboardType(), UIKeyboardTypeDefault);
    EXPECT_FALSE(number->useOwnTextAlignment()) << "the engine's own settings are not changes from outside";

    // The next style sets the alignment from the resolved style: left when none sets one.
    number->applyStyle(LGridCellStyle::init());
    EXPECT_EQ(number->textField()->textAlignment(), NSTextAlignmentLeft);

    // The input sits inside the border and the 5-point inset; a cell of no width hides it.
    number->setFrame(CGRectMake(0, 0, 100, 40));
    CGRect field = number->textField()->frame();
    EXPECT_FALSE(number->textField()->isHidden());
    EXPECT_EQ(field.size.width, 90);
    EXPECT_EQ(field.size.height, 30);
    number->setFrame(CGRectMake(0, 0, 0, 40));
    EXPECT_TRUE(number->textField()->isHidden());
}

TEST_F(LGridAutoCellTest, AColourSetFromOutsideOutlivesStylesUntilReuse)
{
    auto cell = LGridTextCell::initWithReuseIdentifier("T");
    auto red = UIColor::redColor();
    auto style = LGridCellStyle::init();
    style->setTextColor(UIColor::greenColor());

    // Set privately by the engine: replaced by the next style.
    cell->setTextColorPrivately(red);
    EXPECT_FALSE(cell->useOwnTextColor());
    cell->applyStyle(cell->currentStyle());
    cell->applyStyle(style->copy());
    EXPECT_EQ(cell->textField()->textColor(), UIColor::greenColor());

    // Set on the field directly: the cell's own style carries it over any other.
    cell->textField()->setTextColor(red);
    EXPECT_TRUE(cell->useOwnTextColor());
    auto own = cell->currentStyle();
    EXPECT_EQ(own->textColor(), red);
    cell->resetForReuse();
    EXPECT_FALSE(cell->useOwnTextColor());
}

TEST_F(LGridAutoCellTest, EditingRunsItsLifeCycleAndKeepsTheCellClearOfTheKeyboard)
{
    auto client = FakeGridClient::make(5, { 30 });
    for (const char* name : { "latticeGrid:shouldBeginEditingAutoCell:", "latticeGrid:willBeginEditingAutoCell:",
             "latticeGrid:willCommenceEditingAutoCell:", "latticeGrid:didFinishEditingAutoCell:" })
        client->implemented.insert(name);
    auto grid = textGrid(client);
    // Row 19 ends at about 821 points in the window; the portrait keyboard's top is at 760.
    CGRect frame = windowFrameOf(grid, 1, row(19, 0));
    float overlap = static_cast<float>(frame.origin.y + frame.size.height - UIKeyboard::frame().origin.y);
    ASSERT_GT(overlap, 0);
    auto cell = m_cells.at({ 1, 19 });

    TouchSynthesis::doubleTap(centreOf(grid, 1, row(19, 0)));
    EXPECT_EQ(client->callsStartingWith("shouldBeginEditing"),
        (std::vector<std::string> { "shouldBeginEditing {c:1,r:19,s:0}" }));
    // With both will-callbacks only the first is used.
    EXPECT_EQ(client->callsStartingWith("will"), (std::vector<std::string> { "willBeginEditing {c:1,r:19,s:0}" }));
    ASSERT_TRUE(cell->textField()->isFirstResponder());
    ASSERT_TRUE(cell->editingScrollView());
    EXPECT_EQ(cell->textField()->superview(), cell->editingScrollView());
    EXPECT_EQ(grid->userPrimaryCellCoord()->description(), "{c:1,r:19,s:0}");
    EXPECT_TRUE(grid->keyBoardIsShowing());
    EXPECT_FLOAT_EQ(grid->liquidLayer()->contentInset().bottom, overlap);
    EXPECT_FLOAT_EQ(grid->scrollIndicatorInsets().bottom, overlap);
    EXPECT_FALSE(grid->liquidLayer()->isScrollEnabled());
    m_clock.advance(1);
    EXPECT_FLOAT_EQ(grid->contentOffset().y, overlap) << "scrolled down by the overlap";

    // Deselecting the edited cell ends the edit and reports it.
    UIKeyboard::typeText("!");
    cell->setSelectedAnimated(false, false);
    EXPECT_FALSE(cell->textField()->isFirstResponder());
    EXPECT_FALSE(cell->editingScrollView());
    EXPECT_EQ(cell->textField()->superview(), cell);
    EXPECT_FALSE(cell->textField()->isEnabled());
    EXPECT_FALSE(grid->userPrimaryCellCoord());
    EXPECT_EQ(client->callsStartingWith("didFinishEditing"),
        (std::vector<std::string> { "didFinishEditing {c:1,r:19,s:0} {c:1,r:19,s:0}!" }));
    m_clock.advance(1);
    EXPECT_FALSE(grid->keyBoardIsShowing());
    EXPECT_EQ(grid->liquidLayer()->contentInset().bottom, 0);
    EXPECT_EQ(grid->scrollIndicatorInsets().bottom, 0);
    EXPECT_TRUE(grid->liquidLayer()->isScrollEnabled());
}

TEST_F(LGridAutoCellTest, ACellAboveTheKeyboardOrARefusalChangesNothing)
{
    auto client = FakeGridClient::make(5, { 30 });
    client->implemented.insert("latticeGrid:shouldBeginEditingAutoCell:");
    client->implemented.insert("latticeGrid:willCommenceEditingAutoCell:");
    auto grid = textGrid(client);

    TouchSynthesis::doubleTap(centreOf(grid, 0, row(2, 0)));
    EXPECT_EQ(client->callsStartingWith("will"), (std::vector<std::string> { "willCommenceEditing {c:0,r:2,s:0}" }));
    EXPECT_TRUE(grid->keyBoardIsShowing());
    EXPECT_EQ(grid->liquidLayer()->contentInset().bottom, 0);
    UIKeyboard::pressReturn();
    m_clock.advance(1);

    client->allowEditing = false;
    client->calls.clear();
    TouchSynthesis::doubleTap(centreOf(grid, 0, row(3, 0)));
    EXPECT_FALSE(m_cells.at({ 0, 3 })->textField()->isFirstResponder());
    EXPECT_TRUE(client->callsStartingWith("will").empty());
    EXPECT_FALSE(grid->keyBoardIsShowing());
}

TEST_F(LGridAutoCellTest, AKeyboardWithNoEditedCellOnlyStopsScrolling)
{
    auto client = FakeGridClient::make(5, { 30 });
    auto grid = textGrid(client);
    // Another input of the application brings the keyboard up: no cell of the grid is edited.
    auto info = Value::dictionary({
        { Value(UIKeyboardFrameEndUserInfoKey), Value(NSValue::valueWithCGRect(CGRectMake(0, 760, 768, 264))) },
    });
    NSNotificationCenter::defaultCenter()->postNotificationName(UIKeyboardWillShowNotification, nullptr, info);
    EXPECT_TRUE(grid->keyBoardIsShowing());
    EXPECT_FALSE(grid->liquidLayer()->isScrollEnabled());
    EXPECT_EQ(grid->liquidLayer()->contentInset().bottom, 0);
    EXPECT_EQ(grid->contentOffset().y, 0);
}

// A real rotation ends an edit in progress; turning the device face up or down is no rotation
// and leaves the edit alone.
TEST_F(LGridAutoCellTest, OnlyRealRotationsEndAnEdit)
{
    auto client = FakeGridClient::make(5, { 30 });
    auto grid = textGrid(client);
    auto cell = m_cells.at({ 1, 2 });
    TouchSynthesis::doubleTap(centreOf(grid, 1, row(2, 0)));
    m_clock.advance(0.5);
    drainAll();
    ASSERT_TRUE(cell->textField()->isFirstResponder());

    auto device = UIDevice::currentDevice();
    for (auto orientation : { UIDeviceOrientationFaceUp, UIDeviceOrientationFaceDown }) {
        device->setOrientation(orientation);
        drainAll();
        EXPECT_TRUE(cell->textField()->isFirstResponder()) << "orientation " << orientation;
    }
    device->setOrientation(UIDeviceOrientationLandscapeLeft);
    drainAll();
    EXPECT_FALSE(cell->textField()->isFirstResponder());
    EXPECT_FALSE(cell->editingScrollView());
}
