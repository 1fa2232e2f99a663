#pragma once

#include "grid/LGridRow.h"

#include <cstdint>
#include <span>

// Binary searches over lists sorted ascending, as the engine keeps its visible columns, its
// visible rows and the cells of a section's row. Each answers the index of an element equal to
// the key, or NSNotFound (INT32_MAX) when there is none; with equal elements present, the one
// the probes meet first.
namespace NSArray_LGridBinarySearch {

inline constexpr int32_t notFound = INT32_MAX;

// The shared loop: `compareAt(i)` is negative when the key comes before element i, positive
// when after, 0 when equal.
template <typename Compare> int32_t binarySearch(size_t count, Compare compareAt)
{
    int64_t low = 0;
    int64_t high = static_cast<int64_t>(count) - 1;
    while (low <= high) {
        int64_t middle = low + (high - low) / 2;
        int order = compareAt(static_cast<size_t>(middle));
        if (order < 0)
            high = middle - 1;
        else if (order > 0)
            low = middle + 1;
        else
            return static_cast<int32_t>(middle);
    }
    return notFound;
}

int32_t binarySearchNSNumberArrayForInt(std::span<const int32_t> array, int32_t key);
int32_t binarySearchNSValueArrayForRow(std::span<const LGridRow> array, LGridRow key);

// Cells ordered by the column of their gridCoord(); any list of pointers to such cells.
template <typename Cells> int32_t binarySearchNSArrayOfCellsForCol(const Cells& cells, int32_t column)
{
    return binarySearch(cells.size(), [&](size_t i) {
        int32_t element = cells[i]->gridCoord()->column();
        return column < element ? -1 : (column > element ? 1 : 0);
    });
}

} // namespace NSArray_LGridBinarySearch
