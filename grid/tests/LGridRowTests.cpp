#include "grid/LGridRow.h"

#include <gtest/gtest.h>

namespace {

struct RowCase {
    LGridRow a;
    LGridRow b;
    bool equal;
    bool less;
    bool greater;
};

} // namespace

TEST(LGridRow, OrdersBySectionThenIndex)
{
    const RowCase cases[] = {
        { { 5, 0 }, { 0, 1 }, false, true, false },
        { { 0, 1 }, { 5, 0 }, false, false, true },
        { { 1, 2 }, { 3, 2 }, false, true, false },
        { { 3, 2 }, { 3, 2 }, true, false, false },
        { { -1, -1 }, { 0, 0 }, false, true, false },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(NSStringFromSGridRow(c.a) + " vs " + NSStringFromSGridRow(c.b));
        EXPECT_EQ(LGridRowEqualToRow(c.a, c.b), c.equal);
        EXPECT_EQ(LGridRowLessThanRow(c.a, c.b), c.less);
        EXPECT_EQ(LGridRowGreaterThanRow(c.a, c.b), c.greater);
        EXPECT_EQ(LGridRowLessThanOrEqualToRow(c.a, c.b), c.less || c.equal);
        EXPECT_EQ(LGridRowGreaterThanOrEqualToRow(c.a, c.b), c.greater || c.equal);
    }
}

TEST(LGridRow, MakesAndDescribes)
{
    LGridRow row = LGridRowMake(3, 1);
    EXPECT_EQ(row.index, 3);
    EXPECT_EQ(row.section, 1);
    EXPECT_EQ(NSStringFromSGridRow(row), "Row: {i=3, s=1}");
    EXPECT_EQ(NSStringFromSGridRow(LGridRowMake(-1, -1)), "Row: {i=-1, s=-1}");
}
