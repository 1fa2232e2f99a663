#pragma once

#include "foundation/NSObject.h"
#include "grid/LGridRow.h"

// A row of the data grid as its users count: an index within a user section and the section's
// index (header rows reach users with section -1). Immutable. Main thread only.
class LDataGridRow : public NSObject {
    VX_OBJECT(LDataGridRow, NSObject)
public:
    LDataGridRow(Passkey key, LGridRow row)
        : NSObject(key)
        , m_internalRow(row)
    {
    }
    static Ref<LDataGridRow> initWithRowIndexWithSectionindex(int32_t rowIndex, int32_t sectionIndex);
    static Ref<LDataGridRow> rowWithRowIndexSectionIndex(int32_t rowIndex, int32_t sectionIndex)
    {
        return initWithRowIndexWithSectionindex(rowIndex, sectionIndex);
    }
    static Ref<LDataGridRow> rowFromRowStruct(LGridRow row) { return make<LDataGridRow>(row); }
    static Ref<LDataGridRow> zeroRow() { return rowWithRowIndexSectionIndex(0, 0); }

    int32_t rowIndex() const { return m_internalRow.index; }
    int32_t sectionIndex() const { return m_internalRow.section; }
    LGridRow internalRow() const { return m_internalRow; }
    Ref<LDataGridRow> copy() const { return rowFromRowStruct(m_internalRow); }

    // Equal to any row (of this class or a subclass) with the same index and section.
    bool isEqual(const NSObject* other) const override;
    // rowIndex * 37 + sectionIndex + 23273, in 32-bit unsigned arithmetic.
    size_t hash() const override;
    // "Row: {i=<index>, s=<section>}".
    std::string description() const override;

private:
    LGridRow m_internalRow;
};
