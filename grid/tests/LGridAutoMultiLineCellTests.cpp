#include "grid/LGridAutoMultiLineCell.h"

#include "graphics/UIColor.h"
#include "grid/LGridTextLabel.h"
#include "grid/tests/GridTestSupport.h"
#include "testing/TouchSynthesis.h"

class LGridAutoMultiLineCellTest : public WindowedGridTest { };

TEST_F(LGridAutoMultiLineCellTest, EditingSwapsInATextViewAndTheLabelTakesTheEditedText)
{
    auto client = FakeGridClient::make(3, { 5 });
    client->implemented.insert("latticeGrid:didFinishEditingAutoCell:");
    Ref<LGridAutoMultiLineCell> notes;
    client->makeCell = [&](const Ref<LatticeGrid>&, const Ref<LGridCoord>& coord) -> Ref<LGridCell> {
        auto cell = LGridAutoMultiLineCell::initWithReuseIdentifier("Notes");
        cell->setText("Delayed by fog");
        if (coord->column() == 1 && coord->rowIndex() == 2)
            notes = cell;
        return cell;
    };
    auto grid = hostedGrid(client, CGRectMake(0, 0, 400, 400), 100, 80);
    ASSERT_TRUE(notes);
    EXPECT_EQ(notes->contentInset().top, 8);
    EXPECT_EQ(notes->textLabel()->numberOfLines(), 0);
    EXPECT_EQ(notes->textLabel()->superview(), notes);
    EXPECT_LT(notes->textLabel()->bounds().size.height, 80) << "only as tall as its text";
    notes->textLabel()->setTextColor(UIColor::yellowColor());
    EXPECT_TRUE(notes->useOwnTextColor());

    TouchSynthesis::doubleTap(centreOf(grid, 1, row(2, 0)));
    auto textView = notes->editingTextView();
    ASSERT_TRUE(textView);
    EXPECT_TRUE(textView->isFirstResponder());
    EXPECT_FALSE(notes->textLabel()->superview()) << "the label leaves while the text view is edited";
    EXPECT_EQ(textView->text(), "Delayed by fog");
    EXPECT_EQ(textView->textColor(), notes->textLabel()->textColor());
    EXPECT_EQ(textView->textAlignment(), notes->textLabel()->textAlignment());

    UIKeyboard::typeText(", then cancelled");
    grid->cancelEditing();
    EXPECT_FALSE(notes->editingTextView());
    EXPECT_FALSE(textView->superview());
    EXPECT_EQ(notes->textLabel()->superview(), notes);
    EXPECT_EQ(notes->text(), "Delayed by fog, then cancelled");
    // The delegate is told while the text view is still there to be read.
    EXPECT_EQ(client->callsStartingWith("didFinishEditing").size(), 1u);
}

TEST(LGridTextInputCell, TheAbstractCellHasNoInput)
{
    auto multi = LGridAutoMultiLineCell::initWithReuseIdentifier("M");
    EXPECT_THROW(multi->LGridTextInputCell::text(), NSException);
    EXPECT_THROW(multi->LGridTextInputCell::textInput(), NSException);
}
