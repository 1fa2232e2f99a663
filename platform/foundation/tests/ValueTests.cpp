#include "NSException.h"
#include "Value.h"

#include <gtest/gtest.h>

TEST(Value, NumbersKeepTheirKindAndCompareByValue)
{
    Value f(2.4f);
    EXPECT_EQ(f.kind(), Value::Kind::Float);
    EXPECT_EQ(f.doubleValue(), 2.4000000953674316);
    EXPECT_EQ(Value(2.4).description(), "2.4");
    EXPECT_EQ(Value(5.0).description(), "5");
    EXPECT_EQ(Value(int64_t(1) << 40).description(), "1099511627776");
    EXPECT_TRUE(Value(1).isEqual(Value(true)));
    EXPECT_TRUE(Value(3).isEqual(Value(3.0)));
    EXPECT_FALSE(Value().isEqual(Value(0)));
    EXPECT_FALSE(Value::null().isEqual(Value(0)));
}

TEST(Value, ContainersShareStorageAndGuardMutation)
{
    Value a = Value::mutableArray();
    Value alias = a;
    a.addObject(Value("x"));
    EXPECT_EQ(alias.count(), 1u);
    Value frozen = a.copy();
    a.addObject(Value(2));
    EXPECT_EQ(frozen.count(), 1u);
    EXPECT_THROW(frozen.addObject(Value(1)), NSException);
    EXPECT_THROW(frozen[5], NSException);

    Value d = Value::mutableDictionary({ { Value("b"), Value(1) }, { Value("a"), Value(2) } });
    d.setObjectForKey(Value(3), Value("c"));
    d.setObjectForKey(Value(4), Value("b"));
    ASSERT_EQ(d.count(), 3u);
    EXPECT_EQ(d.allKeys()[0].string(), "b");
    EXPECT_EQ(d["b"].intValue(), 4);
    d.setObjectForKey(Value(), Value("b"));
    EXPECT_EQ(d.count(), 2u);
    EXPECT_TRUE(d["missing"].isNil());
}
