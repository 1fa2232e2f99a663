#include "grid/LGridCoord.h"

#include "grid/LGridCoordMutable.h"

#include <gtest/gtest.h>

TEST(LGridCoord, EqualityKeepsTheTwoClassesApart)
{
    auto a = LGridCoord::initWithColumnWithRow(2, LGridRowMake(3, 1));
    auto b = LGridCoord::initWithColumnWithRow(2, LGridRowMake(3, 1));
    auto other = LGridCoord::initWithColumnWithRow(2, LGridRowMake(3, 0));
    auto inside = LGridCoordMutable::initWithColumnWithRow(2, LGridRowMake(3, 1));

    EXPECT_TRUE(a->isEqual(b.get()));
    EXPECT_EQ(a->hash(), b->hash());
    EXPECT_FALSE(a->isEqual(other.get()));
    EXPECT_FALSE(a->isEqual(nullptr));
    EXPECT_FALSE(a->isEqual(inside.get()));
    EXPECT_FALSE(inside->isEqual(a.get()));
    EXPECT_TRUE(inside->isEqual(a->mutableCopy().get()));
}

TEST(LGridCoord, MutatingMovesEveryAnswer)
{
    auto coord = LGridCoord::initWithColumnWithRow(1, LGridRowMake(0, 0));
    auto copy = coord->copy();
    coord->mutateRowTo(LGridRowMake(7, 2));
    coord->mutateColumnTo(4);

    EXPECT_EQ(coord->column(), 4);
    EXPECT_TRUE(LGridRowEqualToRow(coord->row(), LGridRowMake(7, 2)));
    EXPECT_EQ(coord->rowIndex(), 7);
    EXPECT_EQ(coord->section(), 2);
    EXPECT_EQ(coord->description(), "{c:4,r:7,s:2}");
    // A copy is independent of the original.
    EXPECT_EQ(copy->description(), "{c:1,r:0,s:0}");
    auto inside = coord->mutableCopy();
    coord->mutateColumnTo(5);
    EXPECT_EQ(inside->description(), "{c:4,r:7, s:2}");
}

TEST(LGridCoord, AnswersMembershipQuestions)
{
    auto coord = LGridCoord::initWithColumnWithRow(2, LGridRowMake(3, 1));
    EXPECT_TRUE(coord->hasColumn(2));
    EXPECT_TRUE(coord->hasRow(LGridRowMake(3, 1)));
    EXPECT_FALSE(coord->hasRow(LGridRowMake(3, 0)));
    EXPECT_TRUE(coord->hasSection(1));
    EXPECT_TRUE(coord->hasColumnAndRow(2, LGridRowMake(3, 1)));
    EXPECT_FALSE(coord->hasColumnAndRow(2, LGridRowMake(0, 1)));
    EXPECT_TRUE(coord->hasColumnOrRow(9, LGridRowMake(3, 1)));
    EXPECT_TRUE(coord->hasColumnOrRow(2, LGridRowMake(0, 0)));
    EXPECT_FALSE(coord->hasColumnOrRow(9, LGridRowMake(0, 0)));
    EXPECT_TRUE(coord->hasRowGreaterThanRow(LGridRowMake(9, 0)));
    EXPECT_FALSE(coord->hasRowGreaterThanRow(LGridRowMake(3, 1)));

    auto inside = coord->mutableGridCoord();
    EXPECT_TRUE(inside->hasRowLessThanRow(LGridRowMake(0, 2)));
    EXPECT_FALSE(inside->hasRowLessThanRow(LGridRowMake(3, 1)));
    EXPECT_TRUE(inside->hasRowGreaterThanRow(LGridRowMake(2, 1)));
}
