#include "grid/LGridArithmeticCell.h"

#include "grid/LGridTextField.h"
#include "grid/tests/GridTestSupport.h"
#include "testing/TouchSynthesis.h"

#include <string>

class LGridArithmeticCellTest : public WindowedGridTest { };

TEST(LGridArithmeticCell, FormulasShowTheirValueOrTheirError)
{
    struct Case {
        std::string formula;
        std::string shown;
    };
    const Case cases[] = {
        { "=1+2*3", "7" },
        { "=(1+2)*3", "9" },
        { "=10-4-3", "3" },
        { "=24/4/2", "3" },
        { "=7/2", "3" },
        { "=0-7/2", "-3" },
        { " =1+2", " =1+2" },
        { "= 1 + 2", "3" },
        { "=", "Expression expected" },
        { "=1+", "Expression expected" },
        { "=-1", "Expression expected" },
        { "=(1", "Close parenthesis expected" },
        { "=)", "Open parenthesis unexpected" },
        { "=1.5", "Invalid character '.'" },
        { "=5/0", "Divison by zero" },
        { "=1/0+)", "Open parenthesis unexpected" },
        { "=2)", "2" },
        { "=1 2", "1" },
        { "plain text", "plain text" },
        { "", "" },
        // 32-bit two's-complement arithmetic: wrapping sums, products and literals.
        { "=2147483647+1", "-2147483648" },
        { "=65536*65536", "0" },
        { "=4294967297", "1" },
        { "=0-2147483647-1-1", "2147483647" },
        // The quotient that does not fit answers the dividend instead of trapping.
        { "=(0-2147483647-1)/(0-1)", "-2147483648" },
        { "=(0-2147483647-1)/1", "-2147483648" },
        // A character outside ASCII is named whole, and bytes that are no character as U+FFFD.
        { "=1\xC3\xA9", "Invalid character '\xC3\xA9'" },
        { "=1\xFF", "Invalid character '\xEF\xBF\xBD'" },
        { std::string("=1\0", 3), "Invalid character '" + std::string(1, '\0') + "'" },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.formula);
        EXPECT_EQ(LGridArithmeticCell::resultForFormula(c.formula), c.shown);
    }
}

TEST(LGridArithmeticCell, DeepNestingIsRefusedAndLongChainsEvaluate)
{
    auto nested = [](int depth) {
        return "=" + std::string(static_cast<size_t>(depth), '(') + "7" + std::string(static_cast<size_t>(depth), ')');
    };
    EXPECT_EQ(LGridArithmeticCell::resultForFormula(nested(LGridArithmeticCell::kMaximumNesting)), "7");
    EXPECT_EQ(
        LGridArithmeticCell::resultForFormula(nested(LGridArithmeticCell::kMaximumNesting + 1)), "Expression expected");
    EXPECT_EQ(LGridArithmeticCell::resultForFormula("=" + std::string(1000000, '(')), "Expression expected");

    // A chain of a million operators makes a tree a million deep, evaluated without recursion.
    std::string chain = "=1";
    for (int i = 0; i < 1000000; ++i)
        chain += "+1";
    EXPECT_EQ(LGridArithmeticCell::resultForFormula(chain), "1000001");
}

TEST_F(LGridArithmeticCellTest, EditingShowsTheFormulaAndEndingShowsItsValue)
{
    auto client = FakeGridClient::make(3, { 4 });
    client->implemented.insert("latticeGrid:didFinishEditingAutoCell:");
    Ref<LGridArithmeticCell> formulaCell;
    client->makeCell = [&](const Ref<LatticeGrid>&, const Ref<LGridCoord>& coord) -> Ref<LGridCell> {
        if (coord->column() == 1 && coord->rowIndex() == 1) {
            formulaCell = LGridArithmeticCell::initWithReuseIdentifier("Formula");
            return formulaCell;
        }
        return LGridCell::initWithReuseIdentifier("Cell");
    };
    auto grid = hostedGrid(client);
    ASSERT_TRUE(formulaCell);
    EXPECT_FALSE(formulaCell->formula());
    EXPECT_EQ(formulaCell->textField()->keyboardType(), UIKeyboardTypeNumberPad);
    EXPECT_FALSE(formulaCell->textField()->isEnabled()) << "only enabled while edited";

    CGPoint point = centreOf(grid, 1, row(1, 0));
    TouchSynthesis::doubleTap(point);
    ASSERT_TRUE(formulaCell->textField()->isFirstResponder());
    UIKeyboard::typeText("=1+2*3");
    UIKeyboard::pressReturn();
    EXPECT_EQ(formulaCell->text(), "7");
    EXPECT_EQ(formulaCell->formula(), "=1+2*3");
    // The delegate sees the text as typed, before it is evaluated.
    EXPECT_EQ(client->callsStartingWith("didFinishEditing"),
        (std::vector<std::string> { "didFinishEditing {c:1,r:1,s:0} =1+2*3" }));

    // Editing again brings the formula back; an error keeps the formula for the next edit.
    m_clock.advance(1);
    TouchSynthesis::doubleTap(point);
    EXPECT_EQ(formulaCell->text(), "=1+2*3");
    UIKeyboard::typeText("/0");
    UIKeyboard::pressReturn();
    EXPECT_EQ(formulaCell->text(), "Divison by zero");
    EXPECT_EQ(formulaCell->formula(), "=1+2*3/0");

    // Text set on the field from outside becomes the formula, shown unevaluated.
    formulaCell->textField()->setText("=2+2");
    EXPECT_EQ(formulaCell->formula(), "=2+2");
    EXPECT_EQ(formulaCell->text(), "=2+2");
}
