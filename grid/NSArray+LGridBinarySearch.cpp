#include "grid/NSArray+LGridBinarySearch.h"

namespace NSArray_LGridBinarySearch {

int32_t binarySearchNSNumberArrayForInt(std::span<const int32_t> array, int32_t key)
{
    return binarySearch(array.size(), [&](size_t i) { return key < array[i] ? -1 : (key > array[i] ? 1 : 0); });
}

int32_t binarySearchNSValueArrayForRow(std::span<const LGridRow> array, LGridRow key)
{
    return binarySearch(array.size(), [&](size_t i) {
        if (LGridRowLessThanRow(key, array[i]))
            return -1;
        return LGridRowGreaterThanRow(key, array[i]) ? 1 : 0;
    });
}

} // namespace NSArray_LGridBinarySearch
