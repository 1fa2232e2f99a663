#include "foundation/NSSortDescriptor.h"

#include "foundation/KeyValueCoding.h"
#include "foundation/NSException.h"
#include "foundation/NSPredicateText.h"

#include <algorithm>
#include <utility>

NSSortDescriptor::NSSortDescriptor(
    Passkey passkey, std::string key, bool ascending, Comparison comparison, Comparator comparator)
    : NSObject(passkey)
    , m_key(std::move(key))
    , m_ascending(ascending)
    , m_comparison(comparison)
    , m_comparator(std::move(comparator))
{
}

Ref<NSSortDescriptor> NSSortDescriptor::sortDescriptorWithKeyAscending(std::string key, bool ascending)
{
    return make<NSSortDescriptor>(std::move(key), ascending, Comparison::Compare, nullptr);
}

Ref<NSSortDescriptor> NSSortDescriptor::sortDescriptorWithKeyAscendingSelector(
    std::string key, bool ascending, Comparison comparison)
{
    return make<NSSortDescriptor>(std::move(key), ascending, comparison, nullptr);
}

Ref<NSSortDescriptor> NSSortDescriptor::sortDescriptorWithKeyAscendingComparator(
    std::string key, bool ascending, Comparator comparator)
{
    if (!comparator)
        NSException::raise(
            NSInvalidArgumentException, "sortDescriptorWithKey:ascending:comparator: needs a comparator");
    return make<NSSortDescriptor>(std::move(key), ascending, Comparison::Compare, std::move(comparator));
}

Ref<NSSortDescriptor> NSSortDescriptor::reversedSortDescriptor() const
{
    return make<NSSortDescriptor>(m_key, !m_ascending, m_comparison, m_comparator);
}

namespace {

int compareWith(NSSortDescriptor::Comparison comparison, const Value& a, const Value& b)
{
    if (a.isNilOrNull() || b.isNilOrNull())
        return a.isNilOrNull() ? (b.isNilOrNull() ? 0 : -1) : 1;
    if (a.isString() && b.isString()) {
        switch (comparison) {
        case NSSortDescriptor::Comparison::Compare:
            return PredicateText::compare(a.string(), b.string(), PredicateText::FoldNone);
        case NSSortDescriptor::Comparison::CaseInsensitiveCompare:
            return PredicateText::compare(a.string(), b.string(), PredicateText::FoldCase);
        case NSSortDescriptor::Comparison::LocalizedCaseInsensitiveCompare:
            return PredicateText::localizedCaseInsensitiveCompare(a.string(), b.string());
        }
    }
    return compareValues(a, b);
}

} // namespace

NSComparisonResult NSSortDescriptor::compareObjectToObject(const Value& a, const Value& b) const
{
    Value x = m_key.empty() ? a : valueForKeyPathOfValue(a, m_key);
    Value y = m_key.empty() ? b : valueForKeyPathOfValue(b, m_key);
    int result = m_comparator ? static_cast<int>(m_comparator(x, y)) : compareWith(m_comparison, x, y);
    result = result < 0 ? -1 : result > 0 ? 1 : 0;
    return static_cast<NSComparisonResult>(m_ascending ? result : -result);
}

std::string NSSortDescriptor::description() const
{
    static const char* const s_selectors[]
        = { "compare:", "caseInsensitiveCompare:", "localizedCaseInsensitiveCompare:" };
    return "(" + m_key + ", " + (m_ascending ? "ascending" : "descending") + ", "
        + (m_comparator ? "comparator" : s_selectors[static_cast<int>(m_comparison)]) + ")";
}

namespace {

// A stable merge sort that stays in bounds whatever the comparison answers, so a comparator
// that is not a consistent order gives some order instead of undefined behaviour.
template <typename Less> void mergeSort(std::vector<Value>& values, Less less)
{
    std::vector<Value> buffer(values.size());
    for (size_t width = 1; width < values.size(); width *= 2) {
        for (size_t start = 0; start < values.size(); start += 2 * width) {
            size_t middle = std::min(start + width, values.size());
            size_t end = std::min(start + 2 * width, values.size());
            size_t i = start, j = middle, out = start;
            while (i < middle && j < end)
                buffer[out++] = less(values[j], values[i]) ? std::move(values[j++]) : std::move(values[i++]);
            while (i < middle)
                buffer[out++] = std::move(values[i++]);
            while (j < end)
                buffer[out++] = std::move(values[j++]);
        }
        values.swap(buffer);
    }
}

} // namespace

std::vector<Value> sortedArrayUsingDescriptors(
    std::vector<Value> values, const std::vector<Ref<NSSortDescriptor>>& descriptors)
{
    mergeSort(values, [&](const Value& a, const Value& b) {
        for (const auto& descriptor : descriptors) {
            if (!descriptor)
                continue;
            auto order = descriptor->compareObjectToObject(a, b);
            if (order != NSOrderedSame)
                return order == NSOrderedAscending;
        }
        return false;
    });
    return values;
}

Value sortedArrayUsingDescriptors(const Value& array, const std::vector<Ref<NSSortDescriptor>>& descriptors)
{
    return Value::array(sortedArrayUsingDescriptors(array.elements(), descriptors));
}

VX_REGISTER_CLASS(NSSortDescriptor);
