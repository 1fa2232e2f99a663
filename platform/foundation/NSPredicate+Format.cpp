// NSPredicate: printing the parsed tree back as a format string.
#include "foundation/NSPredicate.h"

#include "foundation/NSObject.h"
#include "foundation/NSPredicateInternal.h"
#include "foundation/NSPredicateText.h"
#include "foundation/NSString.h"

#include <cmath>

namespace {

using NSPredicateInternal::Expression;
using NSPredicateInternal::operatorName;
using NSPredicateInternal::reservedWords;
using NSPredicateInternal::upper;

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

// A number as the parser reads it back: infinities overflow a literal to the same value, and
// NaN, which no literal spells, goes through a cast.
std::string formatDouble(const Value& v)
{
    double d = v.doubleValue();
    if (std::isnan(d))
        return "CAST(\"nan\", \"NSNumber\")";
    if (std::isinf(d))
        return d > 0 ? "1e999" : "-1e999";
    std::string text = v.description();
    // Keep a fractional part so the constant reads back as a double.
    if (text.find_first_of(".eE") == std::string::npos)
        text += ".0";
    return text;
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
        return "CAST(" + formatDouble(Value(v.dateValue())) + ", \"NSDate\")";
    case Value::Kind::Array: {
        std::string out = "{";
        for (size_t i = 0; i < v.count(); ++i)
            out += (i ? ", " : "") + formatConstant(v[i]);
        return out + "}";
    }
    case Value::Kind::Float:
    case Value::Kind::Double:
        return formatDouble(v);
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

std::string NSPredicate::predicateFormat() const
{
    return m_root->format();
}
