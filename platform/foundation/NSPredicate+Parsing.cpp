// NSPredicate: parsing format strings (with argument substitution) into the tree.
#include "foundation/NSPredicate.h"

#include "foundation/NSException.h"
#include "foundation/NSPredicateInternal.h"
#include "foundation/NSPredicateText.h"
#include "foundation/NSString.h"

#include <cctype>
#include <cerrno>
#include <cmath>
#include <cstdlib>
#include <limits>

namespace {

using Node = NSPredicate::Node;
using NSPredicateInternal::Expression;
using NSPredicateInternal::Operator;
using NSPredicateInternal::reservedWords;
using NSPredicateInternal::upper;

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
        node->prepare();
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
        if (type == "NSNumber" && value.constant.isString() && value.constant.string() == "nan")
            return constant(Value(std::numeric_limits<double>::quiet_NaN()));
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
