#pragma once

#include "foundation/FoundationForward.h"
#include "foundation/NSObject.h"

#include <vector>

// An immutable path of indexes; tables read it as (section, row) and collection views as
// (section, item). Equal paths are equal objects (isEqual, hash), so they work as dictionary
// keys. Any thread.
class NSIndexPath : public NSObject {
    VX_OBJECT(NSIndexPath, NSObject)
public:
    explicit NSIndexPath(Passkey key)
        : NSObject(key)
    {
    }
    static Ref<NSIndexPath> indexPathWithIndexes(std::vector<uint32_t> indexes);
    static Ref<NSIndexPath> indexPathForRowInSection(int32_t row, int32_t section);
    static Ref<NSIndexPath> indexPathForItemInSection(int32_t item, int32_t section);

    uint32_t length() const { return uint32_t(m_indexes.size()); }
    // NSNotFound past the end.
    uint32_t indexAtPosition(uint32_t position) const;
    Ref<NSIndexPath> indexPathByAddingIndex(uint32_t index) const;
    // The first two indexes; NSNotFound when missing.
    int32_t section() const;
    int32_t row() const;
    int32_t item() const { return row(); }
    // Index by index, then shorter first.
    NSComparisonResult compare(const Ref<NSIndexPath>& other) const;

    bool isEqual(const NSObject* other) const override;
    size_t hash() const override;
    std::string description() const override;

private:
    std::vector<uint32_t> m_indexes;
};
