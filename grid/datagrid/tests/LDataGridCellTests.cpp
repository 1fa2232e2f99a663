#include "grid/datagrid/LDataGridCell.h"

#include "foundation/NSException.h"
#include "graphics/UIColor.h"
#include "graphics/UIFont.h"
#include "graphics/UIImage.h"
#include "grid/LGridAutoCell.h"
#include "grid/LGridAutoMultiLineCell.h"
#include "grid/LGridCellStyle.h"
#include "grid/LGridGraphics.h"
#include "grid/LGridTextField.h"
#include "grid/LGridTextLabel.h"
#include "grid/LGridTextView.h"
#include "grid/datagrid/LDataGridCellStyle.h"
#include "grid/datagrid/LDataGridHeaderCell.h"
#include "grid/datagrid/LDataGridHeaderMultiLineCell.h"
#include "grid/datagrid/LDataGridMultiLineTextCell.h"
#include "grid/datagrid/LDataGridSortArrowManager.h"
#include "grid/datagrid/LGridSortOrderArrow.h"
#include "grid/datagrid/tests/DataGridTestSupport.h"
#include "uikit/UILabel.h"
#include "uikit/UITextField.h"

// The three arrow images are in the built bundle; other orders are programming errors.
TEST_F(LDataGridCellTest, SortArrowImagesAreInTheBundle)
{
    for (int32_t order : { 0, 1, 2 }) {
        SCOPED_TRACE(order);
        auto image = LGridGraphics::sortOrderArrowImageForSortOrder(order);
        ASSERT_TRUE(image);
        EXPECT_GT(image->size().width, 0);
    }
    EXPECT_EQ(LGridGraphics::imageNameForSortOrder(1), "44_sort_up.png");
    EXPECT_THROW(LGridGraphics::imageNameForSortOrder(3), NSException);
}

TEST_F(LDataGridCellTest, CellsAreMadeByClassWithTheirInternalCell)
{
    struct Case {
        Class cls;
        bool header;
    } cases[] = {
        { LDataGridCell::classObject(), false },
        { LDataGridTextCell::classObject(), false },
        { LDataGridMultiLineTextCell::classObject(), false },
        { LDataGridHeaderCell::classObject(), true },
        { LDataGridHeaderMultiLineCell::classObject(), true },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.cls->name);
        auto cell = LDataGridCell::makeCellOfClass(c.cls, c.cls->name);
        ASSERT_TRUE(cell);
        EXPECT_EQ(cell->objectClass(), c.cls);
        EXPECT_EQ(cell->reuseIdentifier(), c.cls->name);
        ASSERT_TRUE(cell->internalCell());
        EXPECT_FALSE(cell->internalCell()->fitSubviewsToView());
        EXPECT_EQ(LDataGridCell::classAdoptsHeaderCellProtocol(c.cls), c.header);
        EXPECT_EQ(cell->respondsToDoubleTap(), !c.header);
    }
    EXPECT_FALSE(LDataGridCell::makeCellOfClass(LDataGridRow::classObject(), "x"));
}

// Text goes through the internal cell's field or label; added content lives in the internal cell.
TEST_F(LDataGridCellTest, TextAndSubviewsLiveInTheInternalCell)
{
    auto text = LDataGridTextCell::initWithReuseIdentifier("T");
    text->setText("G-ABCD");
    EXPECT_EQ(text->textField()->text(), "G-ABCD");
    EXPECT_EQ(text->contentInset().left, 22);
    EXPECT_EQ(text->contentInset().right, 22);
    auto multi = LDataGridMultiLineTextCell::initWithReuseIdentifier("M");
    multi->setText("two\nlines");
    EXPECT_EQ(multi->textLabel()->text(), "two\nlines");
    // The editing view exists only while the cell is edited.
    EXPECT_FALSE(multi->editingTextView());

    auto extra = UIView::initWithFrame(CGRectMake(0, 0, 5, 5));
    text->addSubview(extra);
    EXPECT_EQ(extra->superview(), text->internalCell());
    EXPECT_EQ(&text->subviews(), &text->internalCell()->subviews());
    text->setFrame(CGRectMake(10, 20, 120, 40));
    EXPECT_TRUE(CGRectEqualToRect(text->internalCell()->frame(), CGRectMake(0, 0, 120, 40)));
    EXPECT_TRUE(CGRectEqualToRect(text->textField()->frame(), CGRectMake(22, 0, 76, 40)));
}

// The theme's row style lies under every applied style; the given style's fields win.
TEST_F(LDataGridCellTest, AppliedStylesLieOverTheThemeRowStyle)
{
    auto cell = LDataGridTextCell::initWithReuseIdentifier("T");
    auto style = LGridCellStyle::init();
    style->setTextColor(UIColor::redColor());
    cell->applyStyle(style);
    EXPECT_EQ(cell->textField()->textColor(), UIColor::redColor());
    EXPECT_EQ(cell->textField()->font()->fontName(), LDataGridTheme::defaultRowStyle()->font()->fontName());
    CGFloat r = 0, g = 0, b = 0, a = 0;
    ASSERT_TRUE(cell->internalCell()->backgroundColor());
    cell->internalCell()->backgroundColor()->getRedGreenBlueAlpha(&r, &g, &b, &a);
    EXPECT_FLOAT_EQ(g, 1);
    cell->setBackgroundColor(UIColor::blueColor());
    EXPECT_EQ(cell->internalCell()->backgroundColor(), UIColor::blueColor());
}

// Before a style the header's right inset makes room for the arrow; a theme style replaces it.
TEST_F(LDataGridCellTest, HeaderCellInsetAndArrow)
{
    auto header = LDataGridHeaderCell::initWithReuseIdentifier("H");
    float arrowWidth = LGridGraphics::sortOrderArrowImageForSortOrder(0)->size().width;
    EXPECT_EQ(header->contentInset().right, 22 + 5 + arrowWidth);
    EXPECT_EQ(header->spaceBetweenArrowAndText(), 5.0f);
    header->applyStyle(LDataGridTheme::defaultHeaderRowStyle()->cellStyle());
    EXPECT_EQ(header->contentInset().right, 22);
    EXPECT_FALSE(header->coordinate());

    auto arrow = header->sortArrow();
    ASSERT_TRUE(arrow);
    EXPECT_EQ(arrow->alpha(), 1);
    EXPECT_FALSE(arrow->superview());
    header->setFrame(CGRectMake(0, 0, 160, 44));
    header->showArrowForSortOrderSortMode(LDataGridColumnSortOrderNone, LDataGridColumnSortModeNone);
    EXPECT_FALSE(arrow->superview());
    header->showArrowForSortOrderSortMode(LDataGridColumnSortOrderAscending, LDataGridColumnSortModeCycle);
    EXPECT_EQ(arrow->superview(), header->internalCell());
    EXPECT_EQ(arrow->image(), LGridGraphics::sortOrderArrowImageForSortOrder(1));
    EXPECT_FALSE(arrow->isHidden());
    EXPECT_EQ(arrow->center().x, header->contentFrame().size.width - arrowWidth);
    EXPECT_EQ(arrow->center().y, 22);

    header->setFrame(CGRectMake(0, 0, 160, 0));
    header->showArrowForSortOrderSortMode(LDataGridColumnSortOrderDescending, LDataGridColumnSortModeCycle);
    EXPECT_TRUE(arrow->isHidden());
    header->setFrame(CGRectMake(0, 0, 160, 44));
    header->showArrowForSortOrderSortMode(LDataGridColumnSortOrderDescending, LDataGridColumnSortModeCycle);
    EXPECT_FALSE(arrow->isHidden());

    auto replacement = LDataGridSortArrowManager::init()->sortArrowForOrder(0);
    header->setSortArrow(replacement);
    EXPECT_FALSE(arrow->superview());
}

// A header cell's layout shows the arrow of its column: none without a sort mode, "no_sort" once
// the column has one.
TEST_F(LDataGridCellTest, HeaderLayoutShowsTheColumnsArrow)
{
    auto column = LDataGridColumn::columnWithTitle(std::string("Reg"));
    auto header = LDataGridHeaderCell::initWithReuseIdentifier("H");
    header->setFrame(CGRectMake(0, 0, 160, 44));
    header->setCoordinate(
        LDataGridCoord::coordinateWithColRow(column, LDataGridRow::rowWithRowIndexSectionIndex(0, -1)));
    header->layoutSubviews();
    EXPECT_FALSE(header->sortArrow()->superview());
    column->setSortMode(LDataGridColumnSortModeToggle);
    header->layoutSubviews();
    EXPECT_TRUE(header->sortArrow()->superview());
    EXPECT_EQ(header->sortArrow()->image(), LGridGraphics::sortOrderArrowImageForSortOrder(0));
}

TEST_F(LDataGridCellTest, PinnedMovementKeepsFrozenAxes)
{
    auto cell = LDataGridTextCell::initWithReuseIdentifier("T");
    cell->setFrame(CGRectMake(0, 0, 100, 40));
    cell->setVerticallyFrozen(true);
    cell->setCenterPinMovement(CGPointMake(200, 300), true);
    EXPECT_EQ(cell->center().x, 200);
    EXPECT_EQ(cell->center().y, 20);
    cell->setVerticallyFrozen(false);
    cell->setHorizontallyFrozen(true);
    cell->setCenterPinMovement(CGPointMake(10, 300), true);
    EXPECT_EQ(cell->center().x, 200);
    EXPECT_EQ(cell->center().y, 300);
}
