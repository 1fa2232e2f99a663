#include "grid/NSArray+LGridBinarySearch.h"

#include "grid/LGridCoord.h"

#include <gtest/gtest.h>

#include <memory>
#include <vector>

using namespace NSArray_LGridBinarySearch;

namespace {

// Anything with gridCoord() can be searched by column.
struct Cell {
    Ref<LGridCoord> coord;
    const Ref<LGridCoord>& gridCoord() const { return coord; }
};

} // namespace

TEST(LGridBinarySearch, FindsRowsInRowOrder)
{
    const std::vector<LGridRow> rows { LGridRowMake(0, 0), LGridRowMake(1, 0), LGridRowMake(0, 1) };
    EXPECT_EQ(binarySearchNSValueArrayForRow(rows, LGridRowMake(0, 1)), 2);
    EXPECT_EQ(binarySearchNSValueArrayForRow(rows, LGridRowMake(0, 0)), 0);
    EXPECT_EQ(binarySearchNSValueArrayForRow(rows, LGridRowMake(2, 0)), INT32_MAX);
    EXPECT_EQ(binarySearchNSValueArrayForRow(rows, LGridRowMake(-1, -1)), INT32_MAX);
}

TEST(LGridBinarySearch, FindsNumbersAndCellColumns)
{
    const std::vector<int32_t> columns { -3, 0, 4, 9, 12 };
    const int32_t keys[] = { -3, 0, 4, 9, 12 };
    for (int32_t i = 0; i < 5; ++i) {
        SCOPED_TRACE(keys[i]);
        EXPECT_EQ(binarySearchNSNumberArrayForInt(columns, keys[i]), i);
    }
    EXPECT_EQ(binarySearchNSNumberArrayForInt(columns, 5), INT32_MAX);
    EXPECT_EQ(binarySearchNSNumberArrayForInt(columns, 13), INT32_MAX);

    std::vector<std::shared_ptr<Cell>> cells;
    for (int32_t column : { 1, 2, 5 })
        cells.push_back(std::make_shared<Cell>(Cell { LGridCoord::initWithColumnWithRow(column, LGridRowMake(0, 0)) }));
    EXPECT_EQ(binarySearchNSArrayOfCellsForCol(cells, 5), 2);
    EXPECT_EQ(binarySearchNSArrayOfCellsForCol(cells, 3), INT32_MAX);
}

TEST(LGridBinarySearch, EmptyListsFindNothing)
{
    EXPECT_EQ(binarySearchNSNumberArrayForInt({}, 0), INT32_MAX);
    EXPECT_EQ(binarySearchNSValueArrayForRow({}, LGridRowMake(0, 0)), INT32_MAX);
    EXPECT_EQ(binarySearchNSArrayOfCellsForCol(std::vector<Cell*> {}, 0), INT32_MAX);
}
