// NSPredicate: construction (constants, blocks, compounds) and the helpers its pieces share.
#include "foundation/NSPredicate.h"

#include "foundation/NSException.h"
#include "foundation/NSPredicateInternal.h"

#include <cctype>

namespace NSPredicateInternal {

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

} // namespace NSPredicateInternal

using Node = NSPredicate::Node;

NSPredicate::NSPredicate(Passkey key, std::shared_ptr<const Node> root)
    : NSObject(key)
    , m_root(std::move(root))
{
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

VX_REGISTER_CLASS(NSPredicate);
