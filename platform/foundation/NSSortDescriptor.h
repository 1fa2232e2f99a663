#pragma once

#include "foundation/FoundationForward.h"
#include "foundation/NSObject.h"
#include "foundation/Value.h"

#include <functional>
#include <string>
#include <vector>

// Orders values by the value at a key path (read through key-value coding, so objects and
// dictionaries alike), ascending or descending, with a chosen comparison. Immutable; any thread.
//
// Nil and NSNull order before every other value and the same as each other. Values of kinds
// that have no order between them (a string and a number) order by kind, so sorting never fails.
class NSSortDescriptor : public NSObject {
    VX_OBJECT(NSSortDescriptor, NSObject)

public:
    // How two values at the key are compared.
    enum class Comparison : uint8_t {
        Compare, // numbers by value, strings by code point, dates by time
        CaseInsensitiveCompare, // strings by code point after case folding
        LocalizedCaseInsensitiveCompare, // strings in the current locale's order, ignoring case
    };
    using Comparator = std::function<NSComparisonResult(const Value&, const Value&)>;

    NSSortDescriptor(Passkey, std::string key, bool ascending, Comparison comparison, Comparator comparator);

    static Ref<NSSortDescriptor> sortDescriptorWithKeyAscending(std::string key, bool ascending);
    static Ref<NSSortDescriptor> sortDescriptorWithKeyAscendingSelector(
        std::string key, bool ascending, Comparison comparison);
    // The comparator sees the two values at the key; it must not be empty.
    static Ref<NSSortDescriptor> sortDescriptorWithKeyAscendingComparator(
        std::string key, bool ascending, Comparator comparator);

    // An empty key compares the values themselves.
    const std::string& key() const { return m_key; }
    bool ascending() const { return m_ascending; }
    Comparison comparison() const { return m_comparison; }
    Ref<NSSortDescriptor> reversedSortDescriptor() const;

    NSComparisonResult compareObjectToObject(const Value& a, const Value& b) const;
    std::string description() const override;

private:
    std::string m_key;
    bool m_ascending;
    Comparison m_comparison;
    Comparator m_comparator;
};

// A stable sort by the descriptors in turn: the first that tells two values apart decides;
// values that all descriptors call the same keep their order.
std::vector<Value> sortedArrayUsingDescriptors(
    std::vector<Value> values, const std::vector<Ref<NSSortDescriptor>>& descriptors);
Value sortedArrayUsingDescriptors(const Value& array, const std::vector<Ref<NSSortDescriptor>>& descriptors);
