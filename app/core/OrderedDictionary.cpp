#include "app/core/OrderedDictionary.h"

#include "foundation/NSString.h"

#include <algorithm>

OrderedDictionary::OrderedDictionary(Passkey key)
    : NSObject(key)
{
}

Ref<OrderedDictionary> OrderedDictionary::init()
{
    return initWithCapacity(0);
}

Ref<OrderedDictionary> OrderedDictionary::initWithCapacity(uint32_t capacity)
{
    auto dictionary = make<OrderedDictionary>();
    dictionary->m_dictionary.reserve(capacity);
    dictionary->m_array.reserve(capacity);
    return dictionary;
}

void OrderedDictionary::setObjectForKey(const Value& object, const Value& key)
{
    if (!m_dictionary.contains(key))
        m_array.push_back(key);
    m_dictionary[key] = object;
}

void OrderedDictionary::removeObjectForKey(const Value& key)
{
    if (m_dictionary.erase(key) == 0)
        return;
    auto found = std::find_if(m_array.begin(), m_array.end(), [&](const Value& k) { return k.isEqual(key); });
    if (found != m_array.end())
        m_array.erase(found);
}

void OrderedDictionary::insertObjectForKeyAtIndex(const Value& object, const Value& key, uint32_t index)
{
    removeObjectForKey(key);
    size_t place = std::min<size_t>(index, m_array.size());
    m_array.insert(m_array.begin() + static_cast<std::ptrdiff_t>(place), key);
    m_dictionary[key] = object;
}

Value OrderedDictionary::objectForKey(const Value& key) const
{
    auto found = m_dictionary.find(key);
    return found == m_dictionary.end() ? Value() : found->second;
}

std::vector<Value> OrderedDictionary::reverseKeyEnumerator() const
{
    return std::vector<Value>(m_array.rbegin(), m_array.rend());
}

Value OrderedDictionary::keyAtIndex(uint32_t index) const
{
    return index < m_array.size() ? m_array[index] : Value();
}

Value OrderedDictionary::copy() const
{
    std::vector<std::pair<Value, Value>> entries;
    entries.reserve(m_array.size());
    for (const auto& key : m_array)
        entries.emplace_back(key, m_dictionary.at(key));
    return Value::mutableDictionary(std::move(entries));
}

namespace {
std::string textOf(const Value& value, const Ref<NSLocale>& locale, uint32_t level)
{
    if (value.isString())
        return value.string();
    if (auto nested = value.objectAs<OrderedDictionary>())
        return nested->descriptionWithLocaleIndent(locale, level);
    return value.description();
}
} // namespace

std::string OrderedDictionary::descriptionWithLocaleIndent(const Ref<NSLocale>& locale, uint32_t level) const
{
    std::string indent;
    for (uint32_t i = 0; i < level; ++i)
        indent += "    ";
    std::string text = NSString::stringWithFormat("%@{\n", indent);
    for (const auto& key : m_array) {
        text += NSString::stringWithFormat(
            "%@    %@ = %@;\n", indent, textOf(key, locale, level), textOf(m_dictionary.at(key), locale, level));
    }
    text += NSString::stringWithFormat("%@}\n", indent);
    return text;
}
