#pragma once

#include "foundation/FoundationForward.h"

#include <cstdint>

class LGridSortOrderArrow;

// What the data grid asks of a header cell class: show the arrow for a column's sort order and
// sort mode, and keep its arrow view. Main thread only.
class LDataGridHeaderCellProtocol {
public:
    virtual ~LDataGridHeaderCellProtocol() = default;
    virtual void showArrowForSortOrderSortMode(int32_t sortOrder, int32_t sortMode) = 0;
    virtual const Ref<LGridSortOrderArrow>& sortArrow() const = 0;
    virtual void setSortArrow(const Ref<LGridSortOrderArrow>& arrow) = 0;
};
