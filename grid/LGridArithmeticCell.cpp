#include "grid/LGridArithmeticCell.h"

#include "foundation/NSException.h"
#include "grid/LGridTextField.h"

#include <cstdint>
#include <vector>

namespace {

[[noreturn]] void fail(const std::string& message)
{
    throw NSException(message, message);
}

enum class TokenKind { Number, Operator, Parenthesis };

struct Token {
    TokenKind kind;
    uint32_t value;
    char character;
};

// The UTF-8 character starting at `text[at]`, or U+FFFD when the bytes there are not one.
std::string characterAt(std::string_view text, size_t at)
{
    auto byte = static_cast<unsigned char>(text[at]);
    size_t length = byte < 0x80 ? 1 : (byte >> 5) == 0x6 ? 2 : (byte >> 4) == 0xE ? 3 : (byte >> 3) == 0x1E ? 4 : 0;
    bool valid = length != 0 && at + length <= text.size();
    for (size_t i = 1; valid && i < length; ++i)
        valid = (static_cast<unsigned char>(text[at + i]) & 0xC0) == 0x80;
    if (!valid)
        return "\xEF\xBF\xBD";
    return std::string(text.substr(at, length));
}

std::vector<Token> tokenise(std::string_view text)
{
    std::vector<Token> tokens;
    for (size_t i = 0; i < text.size();) {
        char c = text[i];
        if (c >= '0' && c <= '9') {
            // Accumulated unsigned, so an overflow wraps as the 32-bit device did.
            uint32_t value = 0;
            while (i < text.size() && text[i] >= '0' && text[i] <= '9')
                value = value * 10u + static_cast<uint32_t>(text[i++] - '0');
            tokens.push_back({ TokenKind::Number, value, 0 });
            continue;
        }
        if (c == '*' || c == '+' || c == '-' || c == '/')
            tokens.push_back({ TokenKind::Operator, 0, c });
        else if (c == '(' || c == ')')
            tokens.push_back({ TokenKind::Parenthesis, 0, c });
        else if (c != ' ' && c != '\t' && c != '\n' && c != '\v' && c != '\f' && c != '\r')
            fail("Invalid character '" + characterAt(text, i) + "'");
        ++i;
    }
    return tokens;
}

// The expression tree, kept flat: every node comes after its operands, so one pass in order
// evaluates it without recursion however long the chain of operators.
struct Node {
    bool isOperator;
    uint32_t value;
    char op;
    size_t left;
    size_t right;
};

class Parser {
public:
    explicit Parser(const std::vector<Token>& tokens)
        : m_tokens(tokens)
    {
    }

    size_t parseSum()
    {
        size_t left = parseProduct();
        while (m_at < m_tokens.size() && m_tokens[m_at].kind == TokenKind::Operator) {
            char op = m_tokens[m_at++].character;
            size_t right = parseProduct();
            left = add({ true, 0, op, left, right });
        }
        return left;
    }

    std::vector<Node> nodes;

private:
    size_t parseProduct()
    {
        size_t left = parseOperand();
        while (m_at < m_tokens.size() && m_tokens[m_at].kind == TokenKind::Operator
            && (m_tokens[m_at].character == '*' || m_tokens[m_at].character == '/')) {
            char op = m_tokens[m_at++].character;
            size_t right = parseOperand();
            left = add({ true, 0, op, left, right });
        }
        return left;
    }

    size_t parseOperand()
    {
        if (m_at >= m_tokens.size())
            fail("Expression expected");
        const Token& token = m_tokens[m_at];
        if (token.kind == TokenKind::Number) {
            ++m_at;
            return add({ false, token.value, 0, 0, 0 });
        }
        if (token.kind == TokenKind::Parenthesis && token.character == '(') {
            if (m_depth >= LGridArithmeticCell::kMaximumNesting)
                fail("Expression expected");
            ++m_at;
            ++m_depth;
            size_t inner = parseSum();
            --m_depth;
            if (m_at >= m_tokens.size() || m_tokens[m_at].kind != TokenKind::Parenthesis
                || m_tokens[m_at].character != ')')
                fail("Close parenthesis expected");
            ++m_at;
            return inner;
        }
        if (token.kind == TokenKind::Parenthesis)
            fail("Open parenthesis unexpected");
        fail("Expression expected");
    }

    size_t add(const Node& node)
    {
        nodes.push_back(node);
        return nodes.size() - 1;
    }

    const std::vector<Token>& m_tokens;
    size_t m_at { 0 };
    int m_depth { 0 };
};

uint32_t apply(char op, uint32_t a, uint32_t b)
{
    switch (op) {
    case '+':
        return a + b;
    case '-':
        return a - b;
    case '*':
        return a * b;
    default:
        break;
    }
    auto dividend = static_cast<int32_t>(a);
    auto divisor = static_cast<int32_t>(b);
    if (divisor == 0)
        fail("Divison by zero");
    // The one quotient that does not fit traps on x86; the device answered the dividend.
    if (dividend == INT32_MIN && divisor == -1)
        return a;
    return static_cast<uint32_t>(dividend / divisor);
}

} // namespace

Ref<LGridArithmeticCell> LGridArithmeticCell::initWithReuseIdentifier(const std::string& reuseIdentifier)
{
    auto cell = makeView<LGridArithmeticCell>(CGRectZero);
    cell->initialiseAutoCell(reuseIdentifier);
    return cell;
}

void LGridArithmeticCell::setTextField(const Ref<LGridTextField>& field)
{
    if (field == textField())
        return;
    if (textField())
        textField()->removeObserver(self<LGridArithmeticCell>(), "text");
    LGridNumberCell::setTextField(field);
    if (field)
        field->addObserver(self<LGridArithmeticCell>(), "text", NSObject::NSKeyValueObservingOptionNew, nullptr);
}

void LGridArithmeticCell::observeValueForKeyPath(
    const std::string& keyPath, const Ref<NSObject>& object, const Value& change, void* context)
{
    LGridNumberCell::observeValueForKeyPath(keyPath, object, change, context);
    if (keyPath == "text" && textField() && object == textField())
        m_formula = textField()->text();
}

void LGridArithmeticCell::textFieldDidBeginEditing(const Ref<UITextField>&)
{
    if (textField())
        textField()->setText(m_formula.value_or(std::string()));
}

void LGridArithmeticCell::textFieldDidEndEditing(const Ref<UITextField>& field)
{
    auto protectedThis = self<LGridArithmeticCell>();
    LGridNumberCell::textFieldDidEndEditing(field);
    auto typed = textField() ? textField()->text() : std::string();
    m_formula = typed;
    if (typed.empty())
        return;
    textField()->setText(resultForFormula(typed));
    m_formula = typed;
}

std::string LGridArithmeticCell::resultForFormula(std::string_view formula)
{
    if (formula.empty() || formula.front() != '=')
        return std::string(formula);
    try {
        return std::to_string(evaluateExpression(formula.substr(1)));
    } catch (const NSException& error) {
        return error.reason();
    }
}

int32_t LGridArithmeticCell::evaluateExpression(std::string_view expression)
{
    auto tokens = tokenise(expression);
    Parser parser(tokens);
    size_t root = parser.parseSum();
    std::vector<uint32_t> values(parser.nodes.size());
    for (size_t i = 0; i < parser.nodes.size(); ++i) {
        const Node& node = parser.nodes[i];
        values[i] = node.isOperator ? apply(node.op, values[node.left], values[node.right]) : node.value;
    }
    return static_cast<int32_t>(values[root]);
}
