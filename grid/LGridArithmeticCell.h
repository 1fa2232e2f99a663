#pragma once

#include "grid/LGridNumberCell.h"

#include <optional>
#include <string>
#include <string_view>

// A number cell that evaluates what the user types when it starts with "=": integers joined by
// + - * / and parentheses, computed in 32-bit two's-complement arithmetic. The cell then shows
// the result, or the error's message; the typed text stays the cell's formula and comes back
// into the field whenever editing starts. Text set on the field from outside also becomes the
// formula, shown unevaluated until the next edit. Main thread only.
class LGridArithmeticCell : public LGridNumberCell {
    VX_OBJECT(LGridArithmeticCell, LGridNumberCell)
public:
    explicit LGridArithmeticCell(Passkey key)
        : LGridNumberCell(key)
    {
    }
    static Ref<LGridArithmeticCell> initWithReuseIdentifier(const std::string& reuseIdentifier);

    const std::optional<std::string>& formula() const { return m_formula; }
    void setFormula(const std::optional<std::string>& formula) { m_formula = formula; }

    void setTextField(const Ref<LGridTextField>& field) override;
    void observeValueForKeyPath(
        const std::string& keyPath, const Ref<NSObject>& object, const Value& change, void* context) override;
    void textFieldDidBeginEditing(const Ref<UITextField>& field) override;
    void textFieldDidEndEditing(const Ref<UITextField>& field) override;

    // What the cell shows for `formula`: the formula itself unless it starts with "=", else the
    // value of the expression after it as a decimal integer, or the message of the first error
    // ("Invalid character '%c'", "Close parenthesis expected", "Open parenthesis unexpected",
    // "Expression expected", "Divison by zero"). Any text is answered; none can crash it.
    static std::string resultForFormula(std::string_view formula);
    // The value of an expression (the text after "="). Raises an NSException whose name and
    // reason are the error's message.
    static int32_t evaluateExpression(std::string_view expression);

    // Parentheses nested deeper than this are refused as "Expression expected".
    static constexpr int kMaximumNesting = 1000;

private:
    std::optional<std::string> m_formula;
};
