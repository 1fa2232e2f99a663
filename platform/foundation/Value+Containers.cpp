// Value: arrays and dictionaries (element access, mutation, keys) and copies.
#include "foundation/Value.h"

#include "foundation/NSException.h"
#include "foundation/NSObject.h"
#include "foundation/ValueInternal.h"

namespace {

const Value& nilValue()
{
    static const Value s_nil {};
    return s_nil;
}

[[noreturn]] void raiseImmutable(const char* what)
{
    NSException::raise(NSInternalInconsistencyException, std::string("attempt to mutate an immutable ") + what);
}

} // namespace

size_t Value::count() const
{
    if (m_kind == Kind::Array)
        return static_cast<ArrayStorage*>(m_storage.get())->elements.size();
    if (m_kind == Kind::Dictionary)
        return static_cast<DictionaryStorage*>(m_storage.get())->entries.size();
    return 0;
}

const std::vector<Value>& Value::elements() const
{
    static const std::vector<Value> s_empty;
    if (m_kind != Kind::Array)
        return s_empty;
    return static_cast<ArrayStorage*>(m_storage.get())->elements;
}

const Value& Value::operator[](size_t index) const
{
    const auto& e = elements();
    if (index >= e.size()) {
        NSException::raise(NSRangeException,
            "index " + std::to_string(index) + " beyond bounds"
                + (e.empty() ? std::string(" for empty array") : " [0 .. " + std::to_string(e.size() - 1) + "]"));
    }
    return e[index];
}

namespace {
Value::ArrayStorage& mutableArrayStorage(const Value& v, const std::shared_ptr<void>& storage)
{
    if (v.kind() != Value::Kind::Array)
        raiseImmutable("object (not an array)");
    auto* s = static_cast<Value::ArrayStorage*>(storage.get());
    if (!v.isMutable())
        raiseImmutable("array");
    return *s;
}
} // namespace

void Value::addObject(const Value& v)
{
    if (v.isNil())
        NSException::raise(NSInvalidArgumentException, "*** -[__NSArrayM insertObject:atIndex:]: object cannot be nil");
    mutableArrayStorage(*this, m_storage).elements.push_back(v);
}

void Value::insertObjectAtIndex(const Value& v, size_t index)
{
    auto& s = mutableArrayStorage(*this, m_storage);
    if (v.isNil())
        NSException::raise(NSInvalidArgumentException, "*** -[__NSArrayM insertObject:atIndex:]: object cannot be nil");
    if (index > s.elements.size())
        NSException::raise(NSRangeException, "index " + std::to_string(index) + " beyond bounds");
    s.elements.insert(s.elements.begin() + static_cast<ptrdiff_t>(index), v);
}

void Value::removeObjectAtIndex(size_t index)
{
    auto& s = mutableArrayStorage(*this, m_storage);
    if (index >= s.elements.size())
        NSException::raise(NSRangeException, "index " + std::to_string(index) + " beyond bounds");
    s.elements.erase(s.elements.begin() + static_cast<ptrdiff_t>(index));
}

void Value::replaceObjectAtIndex(size_t index, const Value& v)
{
    auto& s = mutableArrayStorage(*this, m_storage);
    if (index >= s.elements.size())
        NSException::raise(NSRangeException, "index " + std::to_string(index) + " beyond bounds");
    if (v.isNil())
        NSException::raise(NSInvalidArgumentException, "object cannot be nil");
    s.elements[index] = v;
}

void Value::removeAllObjects()
{
    if (m_kind == Kind::Dictionary) {
        if (!isMutable())
            raiseImmutable("dictionary");
        auto* s = static_cast<DictionaryStorage*>(m_storage.get());
        s->entries.clear();
        s->index.clear();
        return;
    }
    mutableArrayStorage(*this, m_storage).elements.clear();
}

bool Value::containsObject(const Value& v) const
{
    return indexOfObject(v) != static_cast<size_t>(NSNotFound);
}

size_t Value::indexOfObject(const Value& v) const
{
    const auto& e = elements();
    for (size_t i = 0; i < e.size(); ++i) {
        if (e[i].isEqual(v))
            return i;
    }
    return static_cast<size_t>(NSNotFound);
}

const Value& Value::objectForKey(const Value& key) const
{
    if (m_kind != Kind::Dictionary)
        return nilValue();
    auto* s = static_cast<DictionaryStorage*>(m_storage.get());
    auto it = s->index.find(key);
    if (it == s->index.end())
        return nilValue();
    return s->entries[it->second].second;
}

const Value& Value::operator[](std::string_view key) const
{
    if (m_kind != Kind::Dictionary)
        return nilValue();
    auto* s = static_cast<DictionaryStorage*>(m_storage.get());
    auto it = s->index.find(key);
    if (it == s->index.end())
        return nilValue();
    return s->entries[it->second].second;
}

void Value::setObjectForKey(const Value& object, const Value& key)
{
    if (object.isNil()) {
        removeObjectForKey(key);
        return;
    }
    if (m_kind != Kind::Dictionary || !isMutable())
        raiseImmutable("dictionary");
    if (key.isNil())
        NSException::raise(NSInvalidArgumentException, "*** setObjectForKey: key cannot be nil");
    auto* s = static_cast<DictionaryStorage*>(m_storage.get());
    auto it = s->index.find(key);
    if (it != s->index.end()) {
        s->entries[it->second].second = object;
        return;
    }
    // Keys are copied, as the platform copies dictionary keys.
    Value storedKey = key.copy();
    s->index.emplace(storedKey, s->entries.size());
    s->entries.emplace_back(storedKey, object);
}

void Value::removeObjectForKey(const Value& key)
{
    if (m_kind != Kind::Dictionary || !isMutable())
        raiseImmutable("dictionary");
    auto* s = static_cast<DictionaryStorage*>(m_storage.get());
    auto it = s->index.find(key);
    if (it == s->index.end())
        return;
    s->entries.erase(s->entries.begin() + static_cast<ptrdiff_t>(it->second));
    s->rebuildIndex();
}

std::vector<Value> Value::allKeys() const
{
    std::vector<Value> keys;
    for (const auto& entry : entries())
        keys.push_back(entry.first);
    return keys;
}

std::vector<Value> Value::allValues() const
{
    std::vector<Value> values;
    for (const auto& entry : entries())
        values.push_back(entry.second);
    return values;
}

const std::vector<std::pair<Value, Value>>& Value::entries() const
{
    static const std::vector<std::pair<Value, Value>> s_empty;
    if (m_kind != Kind::Dictionary)
        return s_empty;
    return static_cast<DictionaryStorage*>(m_storage.get())->entries;
}

Value Value::copy() const
{
    if (m_kind == Kind::Array && isMutable())
        return array(elements());
    if (m_kind == Kind::Dictionary && isMutable())
        return dictionary(entries());
    return *this;
}

Value Value::mutableCopy() const
{
    if (m_kind == Kind::Array)
        return mutableArray(elements());
    if (m_kind == Kind::Dictionary)
        return mutableDictionary(entries());
    if (m_kind == Kind::Nil)
        return {};
    return *this;
}
