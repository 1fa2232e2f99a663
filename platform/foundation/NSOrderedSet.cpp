#include "foundation/NSOrderedSet.h"

#include "foundation/NSException.h"

namespace {

[[noreturn]] void raiseRange(NSUInteger index, size_t count)
{
    NSException::raise(NSRangeException,
        "*** -[NSOrderedSet objectAtIndex:]: index " + std::to_string(index) + " beyond bounds"
            + (count ? " [0 .. " + std::to_string(count - 1) + "]" : std::string(" for empty ordered set")));
}

} // namespace

bool NSOrderedSet::append(const Value& object)
{
    if (object.isNil() || m_index.count(object))
        return false;
    m_index.emplace(object, m_elements.size());
    m_elements.push_back(object);
    return true;
}

void NSOrderedSet::rebuildIndex()
{
    m_index.clear();
    for (size_t i = 0; i < m_elements.size(); ++i)
        m_index.emplace(m_elements[i], i);
}

Ref<NSOrderedSet> NSOrderedSet::orderedSet()
{
    return make<NSOrderedSet>();
}

Ref<NSOrderedSet> NSOrderedSet::orderedSetWithArray(const std::vector<Value>& elements)
{
    auto set = make<NSOrderedSet>();
    for (const auto& e : elements)
        set->append(e);
    return set;
}

const Value& NSOrderedSet::objectAtIndex(NSUInteger index) const
{
    if (index >= m_elements.size())
        raiseRange(index, m_elements.size());
    return m_elements[index];
}

Value NSOrderedSet::firstObject() const
{
    return m_elements.empty() ? Value() : m_elements.front();
}
Value NSOrderedSet::lastObject() const
{
    return m_elements.empty() ? Value() : m_elements.back();
}

bool NSOrderedSet::containsObject(const Value& object) const
{
    return m_index.count(object) > 0;
}

NSUInteger NSOrderedSet::indexOfObject(const Value& object) const
{
    auto it = m_index.find(object);
    return it == m_index.end() ? NSNotFound : static_cast<NSUInteger>(it->second);
}

Value NSOrderedSet::array() const
{
    return Value::array(m_elements);
}

bool NSOrderedSet::isEqualToOrderedSet(const NSOrderedSet& other) const
{
    if (m_elements.size() != other.m_elements.size())
        return false;
    for (size_t i = 0; i < m_elements.size(); ++i) {
        if (!m_elements[i].isEqual(other.m_elements[i]))
            return false;
    }
    return true;
}

bool NSOrderedSet::isEqual(const NSObject* other) const
{
    auto* set = dynamic_cast<const NSOrderedSet*>(other);
    return set && isEqualToOrderedSet(*set);
}

std::string NSOrderedSet::description() const
{
    // The elements as an array prints them, wrapped in braces as the platform shows sets.
    std::string inner = array().description();
    return "{(" + inner.substr(1, inner.size() - 2) + ")}";
}

Ref<NSOrderedSet> NSOrderedSet::copy() const
{
    return orderedSetWithArray(m_elements);
}

Ref<NSMutableOrderedSet> NSOrderedSet::mutableCopy() const
{
    return NSMutableOrderedSet::orderedSetWithArray(m_elements);
}

Ref<NSMutableOrderedSet> NSMutableOrderedSet::orderedSet()
{
    return make<NSMutableOrderedSet>();
}

Ref<NSMutableOrderedSet> NSMutableOrderedSet::orderedSetWithArray(const std::vector<Value>& elements)
{
    auto set = make<NSMutableOrderedSet>();
    for (const auto& e : elements)
        set->append(e);
    return set;
}

void NSMutableOrderedSet::addObject(const Value& object)
{
    if (object.isNil())
        NSException::raise(NSInvalidArgumentException, "*** -[NSMutableOrderedSet addObject:]: object cannot be nil");
    append(object);
}

void NSMutableOrderedSet::addObjectsFromArray(const std::vector<Value>& objects)
{
    for (const auto& object : objects)
        addObject(object);
}

void NSMutableOrderedSet::insertObjectAtIndex(const Value& object, NSUInteger index)
{
    if (object.isNil())
        NSException::raise(
            NSInvalidArgumentException, "*** -[NSMutableOrderedSet insertObject:atIndex:]: object cannot be nil");
    if (index > m_elements.size())
        raiseRange(index, m_elements.size());
    if (m_index.count(object))
        return;
    m_elements.insert(m_elements.begin() + index, object);
    rebuildIndex();
}

void NSMutableOrderedSet::removeObject(const Value& object)
{
    auto it = m_index.find(object);
    if (it == m_index.end())
        return;
    m_elements.erase(m_elements.begin() + static_cast<ptrdiff_t>(it->second));
    rebuildIndex();
}

void NSMutableOrderedSet::removeObjectAtIndex(NSUInteger index)
{
    if (index >= m_elements.size())
        raiseRange(index, m_elements.size());
    m_elements.erase(m_elements.begin() + index);
    rebuildIndex();
}

void NSMutableOrderedSet::removeAllObjects()
{
    m_elements.clear();
    m_index.clear();
}

void NSMutableOrderedSet::replaceObjectAtIndexWithObject(NSUInteger index, const Value& object)
{
    if (object.isNil())
        NSException::raise(NSInvalidArgumentException,
            "*** -[NSMutableOrderedSet replaceObjectAtIndex:withObject:]: object cannot be nil");
    if (index >= m_elements.size())
        raiseRange(index, m_elements.size());
    auto it = m_index.find(object);
    if (it != m_index.end())
        return; // already a member (at this index or elsewhere)
    m_index.erase(m_elements[index]);
    m_elements[index] = object;
    m_index.emplace(object, index);
}

VX_REGISTER_CLASS(NSOrderedSet);
VX_REGISTER_CLASS(NSMutableOrderedSet);
