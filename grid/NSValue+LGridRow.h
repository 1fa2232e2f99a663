#pragma once

#include "foundation/NSObject.h"
#include "foundation/Value.h"
#include "grid/LGridRow.h"

#include <optional>

// A grid row boxed as an object, for the lists of rows that cross the grid's interface. Two
// boxes are equal when their rows are.
class LGridRowBox : public NSObject {
    VX_OBJECT(LGridRowBox, NSObject)
public:
    LGridRowBox(Passkey key, LGridRow row)
        : NSObject(key)
        , m_row(row)
    {
    }
    static Ref<LGridRowBox> boxWithRow(LGridRow row) { return make<LGridRowBox>(row); }
    LGridRow row() const { return m_row; }
    const char* objCType() const { return LGridRowObjCType; }
    bool isEqual(const NSObject* other) const override;
    size_t hash() const override;
    std::string description() const override;

private:
    LGridRow m_row;
};

namespace NSValue_LGridRow {
Value valueWithRow(LGridRow row);
// The row of a boxed row; nullopt for any other value.
std::optional<LGridRow> rowValue(const Value& value);
} // namespace NSValue_LGridRow
