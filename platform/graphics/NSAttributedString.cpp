#include "graphics/NSAttributedString.h"

#include "foundation/NSException.h"
#include "foundation/NSString.h"

#include <algorithm>

Ref<NSAttributedString> NSAttributedString::initWithString(const std::string& text, const Value& attributes)
{
    auto result = make<NSAttributedString>();
    result->m_text = NSString::toUTF16(text);
    if (!result->m_text.empty())
        result->m_runs.push_back(
            { 0, result->length(), attributes.isDictionary() ? attributes.copy() : Value::dictionary() });
    return result;
}

Ref<NSAttributedString> NSAttributedString::initWithAttributedString(const Ref<NSAttributedString>& other)
{
    auto result = make<NSAttributedString>();
    if (other) {
        result->m_text = other->m_text;
        result->m_runs = other->m_runs;
    }
    return result;
}

void NSAttributedString::setStringAndRuns(std::u16string text, std::vector<Run> runs)
{
    NSUInteger next = 0;
    for (const auto& run : runs) {
        if (run.location != next || run.length == 0)
            NSException::raise(NSInvalidArgumentException, "attribute runs must cover the text in order");
        next += run.length;
    }
    if (next != text.size())
        NSException::raise(NSInvalidArgumentException, "attribute runs must cover the text in order");
    m_text = std::move(text);
    m_runs = std::move(runs);
}

std::string NSAttributedString::string() const
{
    return NSString::fromUTF16(m_text);
}

void NSAttributedString::checkRange(NSRange range) const
{
    if (range.location > length() || range.length > length() - range.location) {
        NSException::raise(NSRangeException,
            "range {" + std::to_string(range.location) + ", " + std::to_string(range.length)
                + "} out of bounds; string length " + std::to_string(length()));
    }
}

size_t NSAttributedString::runIndexAt(NSUInteger index) const
{
    // The last run that starts at or before the index (runs are contiguous and in order).
    auto after = std::upper_bound(
        m_runs.begin(), m_runs.end(), index, [](NSUInteger value, const Run& run) { return value < run.location; });
    return after == m_runs.begin() ? m_runs.size() : size_t(after - m_runs.begin()) - 1;
}

Value NSAttributedString::attributesAtIndexEffectiveRange(NSUInteger index, NSRange* effectiveRange) const
{
    if (index >= length())
        NSException::raise(NSRangeException,
            "index " + std::to_string(index) + " out of bounds; string length " + std::to_string(length()));
    size_t i = runIndexAt(index);
    if (i < m_runs.size() && index < m_runs[i].location + m_runs[i].length) {
        if (effectiveRange)
            *effectiveRange = { m_runs[i].location, m_runs[i].length };
        return m_runs[i].attributes;
    }
    return Value::dictionary();
}

Value NSAttributedString::attributeAtIndexEffectiveRange(
    const std::string& name, NSUInteger index, NSRange* effectiveRange) const
{
    NSRange range;
    Value attributes = attributesAtIndexEffectiveRange(index, &range);
    Value value = attributes[name];
    if (effectiveRange) {
        // Widen over neighbouring runs with the same value for this attribute.
        NSUInteger start = range.location, end = range.location + range.length;
        size_t i = runIndexAt(range.location);
        for (size_t j = i; j-- > 0 && m_runs[j].attributes[name].isEqual(value);)
            start = m_runs[j].location;
        for (size_t j = i + 1; j < m_runs.size() && m_runs[j].attributes[name].isEqual(value); ++j)
            end = m_runs[j].location + m_runs[j].length;
        *effectiveRange = { start, end - start };
    }
    return value;
}

void NSAttributedString::enumerateAttributesInRange(NSRange range, const AttributesVisitor& visitor) const
{
    checkRange(range);
    NSUInteger end = range.location + range.length;
    for (const auto& run : std::vector<Run>(m_runs)) {
        NSUInteger a = std::max(run.location, range.location), b = std::min(run.location + run.length, end);
        if (a >= b)
            continue;
        bool stop = false;
        visitor(run.attributes, { a, b - a }, stop);
        if (stop)
            return;
    }
}

void NSAttributedString::enumerateAttributeInRange(
    const std::string& name, NSRange range, const AttributesVisitor& visitor) const
{
    checkRange(range);
    NSUInteger end = range.location + range.length, position = range.location;
    while (position < end) {
        NSRange effective;
        Value value = attributeAtIndexEffectiveRange(name, position, &effective);
        NSUInteger stopAt = std::min(end, effective.location + effective.length);
        bool stop = false;
        visitor(value, { position, stopAt - position }, stop);
        if (stop)
            return;
        position = stopAt;
    }
}

Ref<NSAttributedString> NSAttributedString::attributedSubstringFromRange(NSRange range) const
{
    checkRange(range);
    auto result = make<NSAttributedString>();
    result->m_text = m_text.substr(range.location, range.length);
    enumerateAttributesInRange(range, [&](const Value& attributes, NSRange r, bool&) {
        result->m_runs.push_back({ r.location - range.location, r.length, attributes });
    });
    return result;
}

size_t NSAttributedString::splitAt(NSUInteger position)
{
    size_t i = runIndexAt(position);
    if (i >= m_runs.size())
        return m_runs.empty() || position < m_runs.front().location ? 0 : m_runs.size();
    Run& run = m_runs[i];
    if (run.location == position)
        return i;
    if (position < run.location + run.length) {
        Run tail { position, run.location + run.length - position, run.attributes };
        run.length = position - run.location;
        m_runs.insert(m_runs.begin() + static_cast<ptrdiff_t>(i) + 1, tail);
        return i + 1;
    }
    return m_runs.size();
}

void NSAttributedString::coalesce(size_t first, size_t last)
{
    // Only runs from just before `first` to just after `last` can have changed or become equal
    // to a neighbour, so only they are looked at.
    size_t from = first > 0 ? first - 1 : 0;
    size_t to = std::min(last + 1, m_runs.size());
    if (from >= to)
        return;
    std::vector<Run> merged;
    merged.reserve(to - from);
    for (size_t i = from; i < to; ++i) {
        Run& run = m_runs[i];
        if (run.length == 0)
            continue;
        if (!merged.empty() && merged.back().attributes.isEqual(run.attributes))
            merged.back().length += run.length;
        else
            merged.push_back(std::move(run));
    }
    size_t kept = merged.size();
    std::move(merged.begin(), merged.end(), m_runs.begin() + static_cast<ptrdiff_t>(from));
    m_runs.erase(m_runs.begin() + static_cast<ptrdiff_t>(from + kept), m_runs.begin() + static_cast<ptrdiff_t>(to));
}

template <typename F> void NSAttributedString::modifyRange(NSRange range, F&& change)
{
    checkRange(range);
    if (range.length == 0)
        return;
    size_t first = splitAt(range.location);
    size_t last = splitAt(range.location + range.length);
    for (size_t i = first; i < last; ++i)
        change(m_runs[i].attributes);
    coalesce(first, last);
}

void NSAttributedString::setAttributesRange(const Value& attributes, NSRange range)
{
    Value copy = attributes.isDictionary() ? attributes.copy() : Value::dictionary();
    modifyRange(range, [&](Value& a) { a = copy; });
}

void NSAttributedString::addAttributeValueRange(const std::string& name, const Value& value, NSRange range)
{
    if (value.isNil())
        NSException::raise(
            NSInvalidArgumentException, "NSConcreteMutableAttributedString addAttribute:value:range:: nil value");
    modifyRange(range, [&](Value& a) {
        Value m = a.mutableCopy();
        m.setObjectForKey(value, Value(name));
        a = m.copy();
    });
}

void NSAttributedString::addAttributesRange(const Value& attributes, NSRange range)
{
    modifyRange(range, [&](Value& a) {
        Value m = a.mutableCopy();
        for (const auto& [key, value] : attributes.entries())
            m.setObjectForKey(value, key);
        a = m.copy();
    });
}

void NSAttributedString::removeAttributeRange(const std::string& name, NSRange range)
{
    modifyRange(range, [&](Value& a) {
        Value m = a.mutableCopy();
        m.removeObjectForKey(Value(name));
        a = m.copy();
    });
}

void NSAttributedString::replaceCharactersInRangeWithAttributedString(
    NSRange range, const Ref<NSAttributedString>& text)
{
    checkRange(range);
    Ref<NSAttributedString> inserted = text ? initWithAttributedString(text) : initWithString("");
    size_t first = splitAt(range.location);
    size_t last = splitAt(range.location + range.length);
    m_runs.erase(m_runs.begin() + static_cast<ptrdiff_t>(first), m_runs.begin() + static_cast<ptrdiff_t>(last));
    NSUInteger delta = inserted->length();
    for (size_t i = first; i < m_runs.size(); ++i)
        m_runs[i].location = m_runs[i].location - range.length + delta;
    std::vector<Run> added = inserted->m_runs;
    for (auto& run : added)
        run.location += range.location;
    m_runs.insert(m_runs.begin() + static_cast<ptrdiff_t>(first), added.begin(), added.end());
    m_text.replace(range.location, range.length, inserted->m_text);
    coalesce(first, first + added.size());
}

void NSAttributedString::replaceCharactersInRangeWithString(NSRange range, const std::string& text)
{
    checkRange(range);
    // New characters take the attributes of the first replaced character, or of the one before
    // the insertion point.
    Value attributes = Value::dictionary();
    if (range.length > 0)
        attributes = attributesAtIndexEffectiveRange(range.location, nullptr);
    else if (range.location > 0)
        attributes = attributesAtIndexEffectiveRange(range.location - 1, nullptr);
    else if (length() > 0)
        attributes = attributesAtIndexEffectiveRange(0, nullptr);
    replaceCharactersInRangeWithAttributedString(range, initWithString(text, attributes));
}

void NSAttributedString::insertAttributedStringAtIndex(const Ref<NSAttributedString>& text, NSUInteger index)
{
    replaceCharactersInRangeWithAttributedString({ index, 0 }, text);
}

void NSAttributedString::appendAttributedString(const Ref<NSAttributedString>& text)
{
    replaceCharactersInRangeWithAttributedString({ length(), 0 }, text);
}

void NSAttributedString::deleteCharactersInRange(NSRange range)
{
    replaceCharactersInRangeWithAttributedString(range, nullptr);
}

void NSAttributedString::setAttributedString(const Ref<NSAttributedString>& text)
{
    replaceCharactersInRangeWithAttributedString({ 0, length() }, text);
}

bool NSAttributedString::isEqual(const NSObject* other) const
{
    auto* o = dynamic_cast<const NSAttributedString*>(other);
    if (!o || o->m_text != m_text || o->m_runs.size() != m_runs.size())
        return false;
    for (size_t i = 0; i < m_runs.size(); ++i) {
        if (m_runs[i].location != o->m_runs[i].location || m_runs[i].length != o->m_runs[i].length
            || !m_runs[i].attributes.isEqual(o->m_runs[i].attributes))
            return false;
    }
    return true;
}

std::string NSAttributedString::description() const
{
    std::string out;
    for (const auto& run : m_runs)
        out += NSString::fromUTF16(m_text.substr(run.location, run.length)) + run.attributes.description();
    return out;
}

VX_REGISTER_CLASS(NSAttributedString);
