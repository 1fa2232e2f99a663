#include "foundation/NSPredicate.h"

#include "foundation/KeyValueCoding.h"
#include "foundation/NSException.h"
#include "foundation/NSPredicateText.h"
#include "foundation/NSString.h"

#include <cctype>
#include <cerrno>
#include <cmath>
#include <cstdlib>
#include <mutex>
#include <optional>
#include <set>

namespace {

// An operand: a constant, a key path evaluated on the object, or a list of operands.
struct Expression {
    enum class Kind : uint8_t { Constant, KeyPath, Self, List };
    Kind kind { Kind::Constant };
    Value constant;
    std::string keyPath;
    std::vector<Expression> items;

    Value evaluate(const Value& object) const
    {
        switch (kind) {
        case Kind::Constant:
            return constant;
        case Kind::Self:
            return object;
        case Kind::KeyPath:
            return valueForKeyPathOfValue(object, keyPath);
        case Kind::List: {
            std::vector<Value> values;
            values.reserve(items.size());
            for (const auto& item : items) {
                Value v = item.evaluate(object);
                values.push_back(v.isNil() ? Value::null() : std::move(v));
            }
            return Value::array(std::move(values));
        }
        }
        return {};
    }
};

enum class Operator : uint8_t {
    Equal,
    NotEqual,
    Less,
    LessOrEqual,
    Greater,
    GreaterOrEqual,
    BeginsWith,
    EndsWith,
    Contains,
    Like,
    Matches,
    In,
    Between,
    IsKindOfClass,
};

const char* operatorName(Operator op)
{
    switch (op) {
    case Operator::Equal:
        return "==";
    case Operator::NotEqual:
        return "!=";
    case Operator::Less:
        return "<";
    case Operator::LessOrEqual:
        return "<=";
    case Operator::Greater:
        return ">";
    case Operator::GreaterOrEqual:
        return ">=";
    case Operator::BeginsWith:
        return "BEGINSWITH";
    case Operator::EndsWith:
        return "ENDSWITH";
    case Operator::Contains:
        return "CONTAINS";
    case Operator::Like:
        return "LIKE";
    case Operator::Matches:
        return "MATCHES";
    case Operator::In:
        return "IN";
    case Operator::Between:
        return "BETWEEN";
    case Operator::IsKindOfClass:
        return "isKindOfClass:";
    }
    return "?";
}

const std::set<std::string>& reservedWords()
{
    static const std::set<std::string> s_words { "AND", "OR", "NOT", "IN", "LIKE", "MATCHES", "CONTAINS", "BEGINSWITH",
        "ENDSWITH", "BETWEEN", "TRUEPREDICATE", "FALSEPREDICATE", "YES", "NO", "TRUE", "FALSE", "NIL", "NULL", "SELF",
        "ANY", "ALL", "SOME", "NONE", "CAST" };
    return s_words;
}

std::string upper(std::string_view s)
{
    std::string out(s);
    for (auto& c : out)
        c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return out;
}

[[noreturn]] void raiseEvaluation(const std::string& reason)
{
    NSException::raise(NSInvalidArgumentException, reason);
}

} // namespace

struct NSPredicate::Node {
    enum class Kind : uint8_t { True, False, And, Or, Not, Comparison, Block };
    Kind kind { Kind::True };
    std::vector<std::shared_ptr<const Node>> children;
    Expression left;
    Expression right;
    Operator op { Operator::Equal };
    uint8_t folding { PredicateText::FoldNone };
    enum class Aggregate : uint8_t { None, Any, All, NoneOf };
    Aggregate aggregate { Aggregate::None }; // ANY/SOME, ALL, NONE: the left side is a collection
    Block block;
    // MATCHES compiles its pattern once per distinct pattern text.
    mutable std::mutex regexLock;
    mutable std::shared_ptr<const PredicateText::Regex> regex;

    bool evaluate(const Value& object, const Value& bindings) const;
    bool compare(const Value& l, const Value& r) const;
    std::string format() const;
};

namespace {

using Node = NSPredicate::Node;

bool stringsOrNumbersEqual(const Value& a, const Value& b, uint8_t folding)
{
    if (a.isNilOrNull() || b.isNilOrNull())
        return a.isNilOrNull() && b.isNilOrNull();
    if (a.isString() && b.isString())
        return PredicateText::compare(a.string(), b.string(), folding) == 0;
    return a.isEqual(b);
}

// Orders two values for <, <=, >, >= and BETWEEN; nullopt when either is nil.
std::optional<int> order(const Value& a, const Value& b, uint8_t folding)
{
    if (a.isNilOrNull() || b.isNilOrNull())
        return std::nullopt;
    if (a.isString() && b.isString())
        return PredicateText::compare(a.string(), b.string(), folding);
    if ((a.isNumber() && b.isNumber()) || (a.isDate() && b.isDate()))
        return compareValues(a, b);
    raiseEvaluation(std::string("Cannot compare ") + a.kindName() + " with " + b.kindName() + ".");
}

const std::string& requireString(const Value& v, const char* op)
{
    if (!v.isString())
        raiseEvaluation(std::string("Can't do a substring operation (") + op + ") with something that isn't a string ("
            + v.kindName() + ").");
    return v.string();
}

} // namespace

bool NSPredicate::Node::compare(const Value& l, const Value& r) const
{
    switch (op) {
    case Operator::Equal:
        return stringsOrNumbersEqual(l, r, folding);
    case Operator::NotEqual:
        return !stringsOrNumbersEqual(l, r, folding);
    case Operator::Less:
    case Operator::LessOrEqual:
    case Operator::Greater:
    case Operator::GreaterOrEqual: {
        auto c = order(l, r, folding);
        if (!c)
            return false;
        switch (op) {
        case Operator::Less:
            return *c < 0;
        case Operator::LessOrEqual:
            return *c <= 0;
        case Operator::Greater:
            return *c > 0;
        default:
            return *c >= 0;
        }
    }
    case Operator::BeginsWith:
    case Operator::EndsWith:
    case Operator::Like: {
        if (l.isNilOrNull() || r.isNilOrNull())
            return false;
        std::string text = PredicateText::fold(requireString(l, operatorName(op)), folding);
        std::string other = PredicateText::fold(requireString(r, operatorName(op)), folding);
        if (op == Operator::BeginsWith)
            return text.compare(0, other.size(), other) == 0 && text.size() >= other.size();
        if (op == Operator::EndsWith)
            return text.size() >= other.size() && text.compare(text.size() - other.size(), other.size(), other) == 0;
        return PredicateText::like(text, other);
    }
    case Operator::Contains: {
        if (l.isNilOrNull() || r.isNilOrNull())
            return false;
        if (l.isArray()) {
            for (const auto& e : l.elements()) {
                if (stringsOrNumbersEqual(e, r, folding))
                    return true;
            }
            return false;
        }
        std::string text = PredicateText::fold(requireString(l, "CONTAINS"), folding);
        return text.find(PredicateText::fold(requireString(r, "CONTAINS"), folding)) != std::string::npos;
    }
    case Operator::Matches: {
        if (l.isNilOrNull() || r.isNilOrNull())
            return false;
        const std::string& pattern = requireString(r, "MATCHES");
        const std::string& text = requireString(l, "MATCHES");
        bool caseInsensitive = folding & PredicateText::FoldCase;
        std::shared_ptr<const PredicateText::Regex> compiled;
        {
            std::lock_guard lock(regexLock);
            compiled = regex;
        }
        if (!compiled || compiled->pattern() != pattern) {
            compiled = std::make_shared<const PredicateText::Regex>(pattern, caseInsensitive);
            std::lock_guard lock(regexLock);
            regex = compiled;
        }
        return compiled->matchesWhole(
            folding & PredicateText::FoldDiacritics ? PredicateText::fold(text, PredicateText::FoldDiacritics) : text);
    }
    case Operator::In: {
        if (r.isNilOrNull())
            return false;
        if (r.isArray() || r.isDictionary()) {
            for (const auto& e : r.isArray() ? r.elements() : r.allValues()) {
                if (stringsOrNumbersEqual(l, e, folding))
                    return true;
            }
            return false;
        }
        if (r.isString()) {
            if (l.isNilOrNull())
                return false;
            return PredicateText::fold(r.string(), folding).find(PredicateText::fold(requireString(l, "IN"), folding))
                != std::string::npos;
        }
        raiseEvaluation(
            std::string("Can't look for value in a ") + r.kindName() + ", which is not a collection or a string.");
    }
    case Operator::Between: {
        if (!r.isArray() || r.count() != 2)
            raiseEvaluation("BETWEEN needs a list of two bounds.");
        auto low = order(l, r[size_t(0)], folding);
        auto high = order(l, r[size_t(1)], folding);
        return low && high && *low >= 0 && *high <= 0;
    }
    case Operator::IsKindOfClass: {
        if (r.isNilOrNull() || !l.isObject())
            return false;
        if (!r.isClass())
            raiseEvaluation(std::string("isKindOfClass: needs a class, not ") + r.kindName() + ".");
        return l.objectValue()->isKindOfClass(r.classValue());
    }
    }
    return false;
}

bool NSPredicate::Node::evaluate(const Value& object, const Value& bindings) const
{
    switch (kind) {
    case Kind::True:
        return true;
    case Kind::False:
        return false;
    case Kind::And:
        for (const auto& child : children) {
            if (!child->evaluate(object, bindings))
                return false;
        }
        return true;
    case Kind::Or:
        for (const auto& child : children) {
            if (child->evaluate(object, bindings))
                return true;
        }
        return false;
    case Kind::Not:
        return !children.front()->evaluate(object, bindings);
    case Kind::Block:
        return block(object, bindings);
    case Kind::Comparison: {
        Value l = left.evaluate(object);
        Value r = right.evaluate(object);
        if (aggregate == Aggregate::None)
            return compare(l, r);
        if (l.isNilOrNull())
            return aggregate == Aggregate::NoneOf;
        if (!l.isArray() && !l.isDictionary())
            raiseEvaluation("The left hand side for an ALL, ANY or NONE operator must be a collection.");
        for (const auto& element : l.isArray() ? l.elements() : l.allValues()) {
            bool matched = compare(element, r);
            if (aggregate == Aggregate::All && !matched)
                return false;
            if (aggregate != Aggregate::All && matched)
                return aggregate == Aggregate::Any;
        }
        return aggregate != Aggregate::Any;
    }
    }
    return false;
}

// Printing.

namespace {

std::string quoteString(const std::string& s)
{
    std::string out = "\"";
    for (char c : s) {
        switch (c) {
        case '"':
            out += "\\\"";
            break;
        case '\\':
            out += "\\\\";
            break;
        case '\n':
            out += "\\n";
            break;
        case '\t':
            out += "\\t";
            break;
        case '\r':
            out += "\\r";
            break;
        default:
            out += c;
        }
    }
    return out + "\"";
}

std::string formatConstant(const Value& v)
{
    switch (v.kind()) {
    case Value::Kind::Nil:
    case Value::Kind::Null:
        return "nil";
    case Value::Kind::Bool:
        return v.boolValue() ? "YES" : "NO";
    case Value::Kind::String:
        return quoteString(v.string());
    case Value::Kind::Class:
        return "CAST(" + quoteString(NSStringFromClass(v.classValue())) + ", \"Class\")";
    case Value::Kind::Date:
        return "CAST(" + Value(v.dateValue()).description() + ", \"NSDate\")";
    case Value::Kind::Array: {
        std::string out = "{";
        for (size_t i = 0; i < v.count(); ++i)
            out += (i ? ", " : "") + formatConstant(v[i]);
        return out + "}";
    }
    case Value::Kind::Float:
    case Value::Kind::Double: {
        double d = v.doubleValue();
        std::string text = v.description();
        // Keep a fractional part so the constant reads back as a double.
        if (std::isfinite(d) && text.find_first_of(".eE") == std::string::npos)
            text += ".0";
        return text;
    }
    default:
        return v.description();
    }
}

std::string formatKeyPath(const std::string& path)
{
    std::string out;
    size_t start = 0;
    while (true) {
        auto dot = path.find('.', start);
        std::string component = path.substr(start, dot == std::string::npos ? std::string::npos : dot - start);
        if (!out.empty())
            out += '.';
        if (reservedWords().count(upper(component)))
            out += '#';
        out += component;
        if (dot == std::string::npos)
            break;
        start = dot + 1;
    }
    return out;
}

std::string formatExpression(const Expression& e)
{
    switch (e.kind) {
    case Expression::Kind::Constant:
        return formatConstant(e.constant);
    case Expression::Kind::Self:
        return "SELF";
    case Expression::Kind::KeyPath:
        return formatKeyPath(e.keyPath);
    case Expression::Kind::List: {
        std::string out = "{";
        for (size_t i = 0; i < e.items.size(); ++i)
            out += (i ? ", " : "") + formatExpression(e.items[i]);
        return out + "}";
    }
    }
    return "";
}

} // namespace

std::string NSPredicate::Node::format() const
{
    switch (kind) {
    case Kind::True:
        return "TRUEPREDICATE";
    case Kind::False:
        return "FALSEPREDICATE";
    case Kind::And:
    case Kind::Or: {
        // An empty compound has no text of its own; print what it evaluates to.
        if (children.empty())
            return kind == Kind::And ? "TRUEPREDICATE" : "FALSEPREDICATE";
        std::string out;
        for (const auto& child : children) {
            if (!out.empty())
                out += kind == Kind::And ? " AND " : " OR ";
            bool wrap = (child->kind == Kind::And || child->kind == Kind::Or) && !child->children.empty();
            out += wrap ? "(" + child->format() + ")" : child->format();
        }
        return out;
    }
    case Kind::Not: {
        const auto& child = children.front();
        bool wrap = child->kind == Kind::And || child->kind == Kind::Or;
        return "NOT " + (wrap ? "(" + child->format() + ")" : child->format());
    }
    case Kind::Block:
        return NSString::stringWithFormat("BLOCKPREDICATE(%p)", static_cast<const void*>(this));
    case Kind::Comparison: {
        std::string op = operatorName(this->op);
        if (folding) {
            op += '[';
            if (folding & PredicateText::FoldCase)
                op += 'c';
            if (folding & PredicateText::FoldDiacritics)
                op += 'd';
            op += ']';
        }
        static const char* const s_aggregates[] = { "", "ANY ", "ALL ", "NONE " };
        return s_aggregates[static_cast<int>(aggregate)] + formatExpression(left) + " " + op + " "
            + formatExpression(right);
    }
    }
    return "";
}

// Parsing.

namespace {

class Parser {
public:
    Parser(std::string_view format, const FormatArg* args, size_t count)
        : m_text(format)
        , m_args(args)
        , m_count(count)
    {
    }

    std::shared_ptr<const Node> parse()
    {
        auto node = parseOr();
        skipSpace();
        if (m_pos != m_text.size())
            fail();
        return node;
    }

private:
    [[noreturn]] void fail()
    {
        NSException::raise(
            NSInvalidArgumentException, "Unable to parse the format string \"" + std::string(m_text) + "\"");
    }

    void skipSpace()
    {
        while (m_pos < m_text.size() && std::isspace(static_cast<unsigned char>(m_text[m_pos])))
            ++m_pos;
    }

    bool atEnd()
    {
        skipSpace();
        return m_pos >= m_text.size();
    }

    char peek()
    {
        skipSpace();
        return m_pos < m_text.size() ? m_text[m_pos] : '\0';
    }

    bool consume(std::string_view symbol)
    {
        skipSpace();
        if (m_text.substr(m_pos, symbol.size()) == symbol) {
            m_pos += symbol.size();
            return true;
        }
        return false;
    }

    static bool isWordStart(char c) { return std::isalpha(static_cast<unsigned char>(c)) || c == '_'; }
    static bool isWordChar(char c) { return std::isalnum(static_cast<unsigned char>(c)) || c == '_'; }

    // The identifier at the cursor, without consuming it.
    std::string_view peekWord()
    {
        skipSpace();
        size_t end = m_pos;
        if (end < m_text.size() && isWordStart(m_text[end])) {
            while (end < m_text.size() && isWordChar(m_text[end]))
                ++end;
        }
        return m_text.substr(m_pos, end - m_pos);
    }

    // Consumes `word` (any case) when it is the whole identifier at the cursor.
    bool consumeWord(std::string_view word)
    {
        auto w = peekWord();
        if (w.empty() || upper(w) != word)
            return false;
        m_pos += w.size();
        return true;
    }

    std::shared_ptr<const Node> makeCompound(Node::Kind kind, std::vector<std::shared_ptr<const Node>> children)
    {
        if (children.size() == 1 && kind != Node::Kind::Not)
            return children.front();
        auto node = std::make_shared<Node>();
        node->kind = kind;
        node->children = std::move(children);
        return node;
    }

    std::shared_ptr<const Node> parseOr()
    {
        std::vector<std::shared_ptr<const Node>> terms { parseAnd() };
        while (consume("||") || consumeWord("OR"))
            terms.push_back(parseAnd());
        return makeCompound(Node::Kind::Or, std::move(terms));
    }

    std::shared_ptr<const Node> parseAnd()
    {
        std::vector<std::shared_ptr<const Node>> terms { parseNot() };
        while (consume("&&") || consumeWord("AND"))
            terms.push_back(parseNot());
        return makeCompound(Node::Kind::And, std::move(terms));
    }

    // Nesting (parentheses, NOT, lists) is limited so a hostile format cannot exhaust the stack.
    struct DepthGuard {
        explicit DepthGuard(Parser& parser)
            : m_parser(parser)
        {
            if (++m_parser.m_depth > kMaxDepth)
                m_parser.fail();
        }
        ~DepthGuard() { --m_parser.m_depth; }
        Parser& m_parser;
    };
    static constexpr int kMaxDepth = 200;

    std::shared_ptr<const Node> parseNot()
    {
        DepthGuard guard(*this);
        skipSpace();
        if (m_text.substr(m_pos, 2) != "!=" && consume("!"))
            return makeCompound(Node::Kind::Not, { parseNot() });
        if (consumeWord("NOT"))
            return makeCompound(Node::Kind::Not, { parseNot() });
        return parsePrimary();
    }

    std::shared_ptr<const Node> parsePrimary()
    {
        if (consume("(")) {
            auto node = parseOr();
            if (!consume(")"))
                fail();
            return node;
        }
        for (bool value : { true, false }) {
            if (consumeWord(value ? "TRUEPREDICATE" : "FALSEPREDICATE")) {
                auto node = std::make_shared<Node>();
                node->kind = value ? Node::Kind::True : Node::Kind::False;
                return node;
            }
        }
        return parseComparison();
    }

    std::shared_ptr<const Node> parseComparison()
    {
        auto node = std::make_shared<Node>();
        node->kind = Node::Kind::Comparison;
        if (consumeWord("ANY") || consumeWord("SOME"))
            node->aggregate = Node::Aggregate::Any;
        else if (consumeWord("ALL"))
            node->aggregate = Node::Aggregate::All;
        else if (consumeWord("NONE"))
            node->aggregate = Node::Aggregate::NoneOf;
        node->left = parseExpression();
        node->op = parseOperator();
        node->folding = parseModifiers();
        node->right = parseExpression();
        if (node->op == Operator::Between) {
            const auto& r = node->right;
            if ((r.kind == Expression::Kind::List && r.items.size() != 2)
                || (r.kind == Expression::Kind::Constant && r.constant.isArray() && r.constant.count() != 2))
                fail();
        }
        return node;
    }

    Operator parseOperator()
    {
        static const std::pair<std::string_view, Operator> s_symbols[] = {
            { "==", Operator::Equal },
            { "!=", Operator::NotEqual },
            { "<>", Operator::NotEqual },
            { "<=", Operator::LessOrEqual },
            { "=<", Operator::LessOrEqual },
            { ">=", Operator::GreaterOrEqual },
            { "=>", Operator::GreaterOrEqual },
            { "=", Operator::Equal },
            { "<", Operator::Less },
            { ">", Operator::Greater },
        };
        for (const auto& [symbol, op] : s_symbols) {
            if (consume(symbol))
                return op;
        }
        static const std::pair<std::string_view, Operator> s_words[] = {
            { "BEGINSWITH", Operator::BeginsWith },
            { "ENDSWITH", Operator::EndsWith },
            { "CONTAINS", Operator::Contains },
            { "LIKE", Operator::Like },
            { "MATCHES", Operator::Matches },
            { "IN", Operator::In },
            { "BETWEEN", Operator::Between },
        };
        for (const auto& [word, op] : s_words) {
            if (consumeWord(word))
                return op;
        }
        if (peekWord() == "isKindOfClass") {
            m_pos += 13;
            if (!consume(":"))
                fail();
            return Operator::IsKindOfClass;
        }
        fail();
    }

    uint8_t parseModifiers()
    {
        if (m_pos >= m_text.size() || m_text[m_pos] != '[')
            return PredicateText::FoldNone;
        ++m_pos;
        uint8_t folding = PredicateText::FoldNone;
        while (m_pos < m_text.size() && m_text[m_pos] != ']') {
            char c = static_cast<char>(std::tolower(static_cast<unsigned char>(m_text[m_pos++])));
            if (c == 'c')
                folding |= PredicateText::FoldCase;
            else if (c == 'd')
                folding |= PredicateText::FoldDiacritics;
            else if (c != 'n') // "n" (normalized) needs no work here
                fail();
        }
        if (m_pos >= m_text.size())
            fail();
        ++m_pos;
        return folding;
    }

    static Expression constant(Value v)
    {
        Expression e;
        e.kind = Expression::Kind::Constant;
        e.constant = std::move(v);
        return e;
    }

    Expression parseExpression()
    {
        char c = peek();
        if (c == '{')
            return parseList();
        if (c == '\'' || c == '"')
            return constant(Value(parseString()));
        if (std::isdigit(static_cast<unsigned char>(c))
            || ((c == '-' || c == '+' || c == '.') && m_pos + 1 < m_text.size()
                && (std::isdigit(static_cast<unsigned char>(m_text[m_pos + 1])) || m_text[m_pos + 1] == '.')))
            return constant(parseNumber());
        if (c == '%')
            return parseSubstitution();
        if (c == '#' || c == '@' || isWordStart(c))
            return parseKeyPathOrKeyword();
        fail();
    }

    Expression parseList()
    {
        DepthGuard guard(*this);
        consume("{");
        Expression e;
        e.kind = Expression::Kind::List;
        if (consume("}"))
            return e;
        do {
            e.items.push_back(parseExpression());
        } while (consume(","));
        if (!consume("}"))
            fail();
        // A list of constants is a constant array, which prints and compares like one.
        bool allConstant = true;
        for (const auto& item : e.items)
            allConstant = allConstant && item.kind == Expression::Kind::Constant;
        if (allConstant) {
            std::vector<Value> values;
            for (const auto& item : e.items)
                values.push_back(item.constant.isNil() ? Value::null() : item.constant);
            return constant(Value::array(std::move(values)));
        }
        return e;
    }

    std::string parseString()
    {
        char quote = m_text[m_pos++];
        std::string out;
        while (m_pos < m_text.size() && m_text[m_pos] != quote) {
            char c = m_text[m_pos++];
            if (c == '\\') {
                if (m_pos >= m_text.size())
                    fail();
                char e = m_text[m_pos++];
                switch (e) {
                case 'n':
                    out += '\n';
                    break;
                case 't':
                    out += '\t';
                    break;
                case 'r':
                    out += '\r';
                    break;
                case '0':
                    out += '\0';
                    break;
                default:
                    out += e; // \' \" \\ and any other character stand for themselves
                }
                continue;
            }
            out += c;
        }
        if (m_pos >= m_text.size())
            fail(); // unterminated string
        ++m_pos;
        return out;
    }

    Value parseNumber()
    {
        size_t start = m_pos;
        if (m_text[m_pos] == '-' || m_text[m_pos] == '+')
            ++m_pos;
        if (m_text.substr(m_pos, 2) == "0x" || m_text.substr(m_pos, 2) == "0X") {
            m_pos += 2;
            size_t digits = m_pos;
            while (m_pos < m_text.size() && std::isxdigit(static_cast<unsigned char>(m_text[m_pos])))
                ++m_pos;
            if (digits == m_pos)
                fail();
            long long v = std::strtoll(std::string(m_text.substr(start, m_pos - start)).c_str(), nullptr, 16);
            return integerValue(v);
        }
        bool isDouble = false;
        while (m_pos < m_text.size() && std::isdigit(static_cast<unsigned char>(m_text[m_pos])))
            ++m_pos;
        if (m_pos < m_text.size() && m_text[m_pos] == '.') {
            isDouble = true;
            ++m_pos;
            while (m_pos < m_text.size() && std::isdigit(static_cast<unsigned char>(m_text[m_pos])))
                ++m_pos;
        }
        if (m_pos < m_text.size() && (m_text[m_pos] == 'e' || m_text[m_pos] == 'E')) {
            size_t mark = m_pos++;
            if (m_pos < m_text.size() && (m_text[m_pos] == '-' || m_text[m_pos] == '+'))
                ++m_pos;
            if (m_pos < m_text.size() && std::isdigit(static_cast<unsigned char>(m_text[m_pos]))) {
                isDouble = true;
                while (m_pos < m_text.size() && std::isdigit(static_cast<unsigned char>(m_text[m_pos])))
                    ++m_pos;
            } else {
                m_pos = mark;
            }
        }
        if (m_pos < m_text.size() && isWordChar(m_text[m_pos]))
            fail(); // "12abc"
        std::string text(m_text.substr(start, m_pos - start));
        if (text == "-" || text == "+" || text == "." || text == "-." || text == "+.")
            fail();
        if (isDouble)
            return Value(std::strtod(text.c_str(), nullptr));
        errno = 0;
        long long v = std::strtoll(text.c_str(), nullptr, 10);
        if (errno == ERANGE)
            return Value(std::strtod(text.c_str(), nullptr));
        return integerValue(v);
    }

    static Value integerValue(long long v)
    {
        if (v >= INT32_MIN && v <= INT32_MAX)
            return Value(static_cast<int32_t>(v));
        return Value(static_cast<int64_t>(v));
    }

    const FormatArg& nextArgument()
    {
        if (m_next >= m_count)
            fail();
        return m_args[m_next++];
    }

    static Value argumentValue(const FormatArg& a)
    {
        switch (a.kind) {
        case FormatArg::Kind::Signed:
            return integerValue(a.i);
        case FormatArg::Kind::Unsigned:
            return a.u <= INT32_MAX ? Value(static_cast<int32_t>(a.u)) : Value(static_cast<uint64_t>(a.u));
        case FormatArg::Kind::Floating:
            return Value(a.d);
        case FormatArg::Kind::CString:
            return a.s ? Value(a.s) : Value();
        case FormatArg::Kind::Text:
            return Value(a.text);
        case FormatArg::Kind::Text16:
            return a.p ? Value(NSString::fromUTF16(a.text16)) : Value();
        case FormatArg::Kind::Object:
            return a.object;
        case FormatArg::Kind::Pointer:
            return {};
        }
        return {};
    }

    Expression parseSubstitution()
    {
        ++m_pos; // '%'
        size_t start = m_pos;
        while (m_pos < m_text.size()
            && (m_text[m_pos] == 'l' || m_text[m_pos] == 'h' || m_text[m_pos] == 'q' || m_text[m_pos] == 'z'))
            ++m_pos;
        if (m_pos >= m_text.size())
            fail();
        bool sized = m_pos > start;
        char conversion = m_text[m_pos++];
        if (conversion == '@' && !sized) {
            const FormatArg& a = nextArgument();
            if (a.kind == FormatArg::Kind::Pointer)
                fail(); // a raw pointer is not a value
            return constant(argumentValue(a));
        }
        if (conversion == 'K' && !sized) {
            Value key = argumentValue(nextArgument());
            if (!key.isString() || key.string().empty())
                fail();
            Expression e;
            e.kind = key.string() == "self" || upper(key.string()) == "SELF" ? Expression::Kind::Self
                                                                             : Expression::Kind::KeyPath;
            e.keyPath = key.string();
            appendPath(e);
            return e;
        }
        if (std::string_view("diuxXoc").find(conversion) != std::string_view::npos) {
            Value v = argumentValue(nextArgument());
            if (!v.isNumber())
                fail();
            if (v.kind() == Value::Kind::Float || v.kind() == Value::Kind::Double)
                v = integerValue(static_cast<long long>(v.doubleValue()));
            return constant(v);
        }
        if (std::string_view("feEgG").find(conversion) != std::string_view::npos) {
            Value v = argumentValue(nextArgument());
            if (!v.isNumber())
                fail();
            return constant(Value(v.doubleValue()));
        }
        if (conversion == 's' && !sized) {
            Value v = argumentValue(nextArgument());
            if (!v.isString())
                fail();
            return constant(v);
        }
        fail();
    }

    std::string parseComponent()
    {
        skipSpace();
        size_t start = m_pos;
        if (m_pos < m_text.size() && (m_text[m_pos] == '#' || m_text[m_pos] == '@'))
            ++m_pos;
        if (m_pos >= m_text.size() || !isWordStart(m_text[m_pos]))
            fail();
        while (m_pos < m_text.size() && isWordChar(m_text[m_pos]))
            ++m_pos;
        std::string word(m_text.substr(start, m_pos - start));
        if (word[0] == '#')
            word.erase(0, 1);
        return word;
    }

    // Continues a key path with ".component" steps.
    void appendPath(Expression& e)
    {
        while (m_pos + 1 < m_text.size() && m_text[m_pos] == '.'
            && (isWordStart(m_text[m_pos + 1]) || m_text[m_pos + 1] == '@' || m_text[m_pos + 1] == '#')) {
            ++m_pos;
            std::string component = parseComponent();
            if (e.kind == Expression::Kind::Self) {
                e.kind = Expression::Kind::KeyPath;
                e.keyPath = component;
            } else {
                e.keyPath += "." + component;
            }
        }
    }

    Expression parseKeyPathOrKeyword()
    {
        skipSpace();
        bool escaped = m_text[m_pos] == '#';
        if (!escaped && m_text[m_pos] != '@') {
            std::string word = upper(peekWord());
            if (word == "YES" || word == "TRUE" || word == "NO" || word == "FALSE") {
                m_pos += word.size();
                return constant(Value(word == "YES" || word == "TRUE"));
            }
            if (word == "NIL" || word == "NULL") {
                m_pos += word.size();
                return constant(Value());
            }
            if (word == "CAST")
                return parseCast();
            if (word == "SELF") {
                m_pos += 4;
                Expression e;
                e.kind = Expression::Kind::Self;
                appendPath(e);
                return e;
            }
            if (reservedWords().count(word))
                fail();
        }
        Expression e;
        e.kind = Expression::Kind::KeyPath;
        e.keyPath = parseComponent();
        appendPath(e);
        return e;
    }

    Expression parseCast()
    {
        m_pos += 4;
        if (!consume("("))
            fail();
        Expression value = parseExpression();
        if (!consume(",") || (peek() != '"' && peek() != '\''))
            fail();
        std::string type = parseString();
        if (!consume(")") || value.kind != Expression::Kind::Constant)
            fail();
        if (type == "Class" && value.constant.isString()) {
            Class cls = NSClassFromString(value.constant.string());
            return constant(cls ? Value(cls) : Value());
        }
        if (type == "NSDate" && value.constant.isNumber())
            return constant(Value::date(value.constant.doubleValue()));
        if (type == "NSNumber")
            return constant(
                value.constant.isString() ? Value(NSString::doubleValue(value.constant.string())) : value.constant);
        if (type == "NSString")
            return constant(Value(value.constant.stringValue()));
        fail();
    }

    std::string_view m_text;
    const FormatArg* m_args;
    size_t m_count;
    size_t m_pos { 0 };
    size_t m_next { 0 };
    int m_depth { 0 };
};

} // namespace

NSPredicate::NSPredicate(Passkey key, std::shared_ptr<const Node> root)
    : NSObject(key)
    , m_root(std::move(root))
{
}

Ref<NSPredicate> NSPredicate::predicateWithFormatArguments(std::string_view format, const FormatArg* args, size_t count)
{
    Parser parser(format, args, count);
    return make<NSPredicate>(parser.parse());
}

Ref<NSPredicate> NSPredicate::predicateWithFormatArgumentArray(std::string_view format, const Value& arguments)
{
    std::vector<FormatArg> args;
    for (const auto& v : arguments.elements())
        args.emplace_back(v.isNull() ? Value() : v);
    return predicateWithFormatArguments(format, args.data(), args.size());
}

Ref<NSPredicate> NSPredicate::predicateWithValue(bool value)
{
    auto node = std::make_shared<Node>();
    node->kind = value ? Node::Kind::True : Node::Kind::False;
    return make<NSPredicate>(std::move(node));
}

Ref<NSPredicate> NSPredicate::predicateWithBlock(Block block)
{
    if (!block)
        NSException::raise(NSInvalidArgumentException, "predicateWithBlock: needs a block");
    auto node = std::make_shared<Node>();
    node->kind = Node::Kind::Block;
    node->block = std::move(block);
    return make<NSPredicate>(std::move(node));
}

namespace {

std::vector<std::shared_ptr<const Node>> roots(const std::vector<Ref<NSPredicate>>& predicates)
{
    std::vector<std::shared_ptr<const Node>> result;
    for (const auto& p : predicates) {
        if (!p)
            NSException::raise(NSInvalidArgumentException, "A compound predicate cannot hold nil.");
        result.push_back(p->root());
    }
    return result;
}

} // namespace

// An empty AND is true and an empty OR is false, as for any conjunction and disjunction.
Ref<NSPredicate> NSPredicate::andPredicateWithSubpredicates(const std::vector<Ref<NSPredicate>>& subpredicates)
{
    auto node = std::make_shared<Node>();
    node->kind = Node::Kind::And;
    node->children = roots(subpredicates);
    return make<NSPredicate>(std::move(node));
}

Ref<NSPredicate> NSPredicate::orPredicateWithSubpredicates(const std::vector<Ref<NSPredicate>>& subpredicates)
{
    auto node = std::make_shared<Node>();
    node->kind = Node::Kind::Or;
    node->children = roots(subpredicates);
    return make<NSPredicate>(std::move(node));
}

Ref<NSPredicate> NSPredicate::notPredicateWithSubpredicate(const Ref<NSPredicate>& subpredicate)
{
    auto node = std::make_shared<Node>();
    node->kind = Node::Kind::Not;
    node->children = roots({ subpredicate });
    return make<NSPredicate>(std::move(node));
}

bool NSPredicate::evaluateWithObject(const Value& object) const
{
    return m_root->evaluate(object, Value());
}

bool NSPredicate::evaluateWithObjectSubstitutionVariables(const Value& object, const Value& bindings) const
{
    return m_root->evaluate(object, bindings);
}

std::string NSPredicate::predicateFormat() const
{
    return m_root->format();
}

Value filteredArrayUsingPredicate(const Value& array, const Ref<NSPredicate>& predicate)
{
    return Value::array(filteredArrayUsingPredicate(array.elements(), predicate));
}

std::vector<Value> filteredArrayUsingPredicate(const std::vector<Value>& array, const Ref<NSPredicate>& predicate)
{
    if (!predicate)
        NSException::raise(NSInvalidArgumentException, "filteredArrayUsingPredicate: predicate cannot be nil");
    std::vector<Value> result;
    for (const auto& element : array) {
        if (predicate->evaluateWithObject(element))
            result.push_back(element);
    }
    return result;
}

VX_REGISTER_CLASS(NSPredicate);
