#pragma once

#include <cstdint>

// A column's sort state, shown by its header cell's arrow.
enum LDataGridColumnSortOrder : int32_t {
    LDataGridColumnSortOrderNone = 0,
    LDataGridColumnSortOrderAscending = 1,
    LDataGridColumnSortOrderDescending = 2,
};

// How taps on a column's header move its sort order: not at all; None, Ascending, Descending,
// Ascending, ...; or None, Ascending, Descending, None, ...
enum LDataGridColumnSortMode : int32_t {
    LDataGridColumnSortModeNone = 0,
    LDataGridColumnSortModeToggle = 1,
    LDataGridColumnSortModeCycle = 2,
};
