#include "foundation/NSException.h"
#include "foundation/NSObject.h"
#include "foundation/Value.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <unordered_set>

TEST(Value, NumbersKeepTheirKindAndCompareByValue)
{
    Value f(2.4f);
    EXPECT_EQ(f.kind(), Value::Kind::Float);
    EXPECT_EQ(f.doubleValue(), 2.4000000953674316);
    EXPECT_EQ(Value(true).kind(), Value::Kind::Bool);
    EXPECT_EQ(Value(7).kind(), Value::Kind::Int);
    EXPECT_EQ(Value(int64_t(7)).kind(), Value::Kind::LongLong);
    EXPECT_EQ(Value(2.5).kind(), Value::Kind::Double);

    Value huge(UINT64_MAX);
    EXPECT_TRUE(huge.isUnsigned());
    EXPECT_EQ(huge.unsignedLongLongValue(), UINT64_MAX);
    EXPECT_EQ(huge.doubleValue(), 18446744073709551615.0);
    EXPECT_EQ(Value(uint64_t(5)).longLongValue(), 5);
    EXPECT_FALSE(Value(uint64_t(5)).isUnsigned());
}

TEST(Value, EqualityAndHashAgree)
{
    struct Case {
        const char* name;
        Value a;
        Value b;
        bool equal;
    };
    Case cases[] = {
        { "int and bool", Value(1), Value(true), true },
        { "int and double", Value(3), Value(3.0), true },
        { "int and long long", Value(-9), Value(int64_t(-9)), true },
        { "float and double of the float", Value(2.5f), Value(2.5), true },
        { "float 2.4 and double 2.4", Value(2.4f), Value(2.4), false },
        { "unsigned max and -1", Value(UINT64_MAX), Value(int64_t(-1)), false },
        { "unsigned and its double", Value(uint64_t(1) << 63), Value(9223372036854775808.0), true },
        { "zero and minus zero", Value(0), Value(-0.0), true },
        { "nil and zero", Value(), Value(0), false },
        { "null and zero", Value::null(), Value(0), false },
        { "null and null", Value::null(), Value::null(), true },
        { "string and number", Value("1"), Value(1), false },
        { "strings", Value("abc"), Value(std::string("abc")), true },
        { "data", Value::data({ 1, 2 }), Value::data({ 1, 2 }), true },
        { "dates", Value::date(10.5), Value::date(10.5), true },
        { "date and number", Value::date(10), Value(10), false },
        { "arrays across number kinds", Value::array({ Value(1), Value("x") }),
            Value::mutableArray({ Value(1.0), Value("x") }), true },
        { "arrays of different order", Value::array({ Value(1), Value(2) }), Value::array({ Value(2), Value(1) }),
            false },
        { "dictionaries in any order", Value::dictionary({ { Value("a"), Value(1) }, { Value("b"), Value(2) } }),
            Value::dictionary({ { Value("b"), Value(2) }, { Value("a"), Value(true) } }), true },
        { "dictionaries with different values", Value::dictionary({ { Value("a"), Value(1) } }),
            Value::dictionary({ { Value("a"), Value(2) } }), false },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(c.a.isEqual(c.b), c.equal);
        EXPECT_EQ(c.b.isEqual(c.a), c.equal);
        if (c.equal) {
            EXPECT_EQ(c.a.hash(), c.b.hash());
        }
    }

    // Numbers of different kinds that are equal are one key.
    std::unordered_set<Value, ValueHash> keys { Value(1), Value(true), Value(1.0), Value(int64_t(1)), Value(1.0f) };
    EXPECT_EQ(keys.size(), 1u);
}

TEST(Value, DescriptionMatchesThePlatform)
{
    struct Case {
        const char* name;
        Value value;
        const char* text;
    };
    Case cases[] = {
        { "nil", Value(), "(null)" },
        { "null", Value::null(), "<null>" },
        { "bool", Value(true), "1" },
        { "int", Value(-42), "-42" },
        { "long long", Value(int64_t(1) << 40), "1099511627776" },
        { "unsigned above int64", Value(UINT64_MAX), "18446744073709551615" },
        { "double", Value(2.4), "2.4" },
        { "whole double", Value(5.0), "5" },
        { "negative whole double", Value(-1.0), "-1" },
        { "timestamp", Value(1386412345.0), "1386412345" },
        { "timestamp with fraction", Value(1386412345.25), "1386412345.25" },
        { "shortest round trip", Value(0.1 + 0.2), "0.30000000000000004" },
        { "large whole double", Value(1e16), "10000000000000000" },
        { "huge double", Value(1e20), "1e+20" },
        { "tiny double", Value(1.5e-7), "1.5e-07" },
        { "small double", Value(0.0001), "0.0001" },
        { "float", Value(2.4f), "2.4" },
        { "nan", Value(std::nan("")), "nan" },
        { "top-level string is bare", Value("a b"), "a b" },
        { "leaves in containers quote their description",
            Value::array({ Value(-1), Value(2), Value::date(0), Value::data({ 1 }) }),
            "(\n    \"-1\",\n    2,\n    \"1970-01-01 00:00:00 +0000\",\n    \"<01>\"\n)" },
        { "data groups", Value::data({ 0x01, 0x02, 0xab, 0xcd, 0xef }), "<0102abcd ef>" },
        { "empty data", Value::data(Value::Bytes {}), "<>" },
        { "date", Value::date(0), "1970-01-01 00:00:00 +0000" },
        { "array", Value::array({ Value("a"), Value(1.5) }), "(\n    a,\n    \"1.5\"\n)" },
        { "empty array", Value::array(), "(\n)" },
        { "dictionary", Value::dictionary({ { Value("key"), Value("value") } }), "{\n    key = value;\n}" },
        { "quoting",
            Value::array({ Value("with space"), Value("a-b"), Value(""), Value("q\"\\\n"), Value("Z\xc3\xbcrich"),
                Value("\xf0\x9f\x98\x80"), Value("ok_$9") }),
            "(\n    \"with space\",\n    \"a-b\",\n    \"\",\n    \"q\\\"\\\\\\n\",\n    \"Z\\U00fcrich\",\n"
            "    \"\\Ud83d\\Ude00\",\n    ok_$9\n)" },
        { "nested",
            Value::dictionary(
                { { Value("list"), Value::array({ Value(1), Value::dictionary({ { Value("a"), Value::null() } }) }) },
                    { Value("n"), Value(2) } }),
            "{\n    list =     (\n        1,\n                {\n            a = \"<null>\";\n        }\n    );\n    n "
            "= 2;\n}" },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(c.value.description(), c.text);
    }
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
    EXPECT_EQ(d["a"].intValue(), 2); // the index follows removals
}

TEST(Value, ClassesAreRegisteredAndTested)
{
    EXPECT_EQ(NSClassFromString("NSString"), Value::stringClass());
    EXPECT_EQ(NSClassFromString("NSMutableDictionary"), Value::mutableDictionaryClass());
    EXPECT_TRUE(Value::mutableArray().isKindOfClass(Value::arrayClass()));
    EXPECT_FALSE(Value::array().isKindOfClass(Value::mutableArrayClass()));
    EXPECT_TRUE(Value(1.5).isKindOfClass(Value::numberClass()));
    EXPECT_TRUE(Value("s").isKindOfClass(NSObject::classObject()));
    EXPECT_FALSE(Value().isKindOfClass(NSObject::classObject()));
}
