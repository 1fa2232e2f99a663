#include "foundation/NSError.h"
#include "foundation/NSJSONSerialization.h"
#include "foundation/Value.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>

using namespace NSJSONSerialization;

namespace {

std::string text(const Value& data)
{
    return std::string(data.bytes().begin(), data.bytes().end());
}

} // namespace

TEST(NSJSONSerialization, ReadsValuesWithTheirKinds)
{
    Ref<NSError> error;
    Value v = JSONObjectWithData(
        R"({"z":1,"a":[2147483648,-2147483648,1.5,1.0,true,null,"s\/\u00fc"],"u":18446744073709551615,"e":{}})", 0,
        &error);
    ASSERT_TRUE(v.isDictionary());
    EXPECT_EQ(error, nullptr);
    EXPECT_FALSE(v.isMutable());
    EXPECT_EQ(v.allKeys()[0].string(), "z"); // document order
    EXPECT_EQ(v["z"].kind(), Value::Kind::Int);
    const Value& a = v["a"];
    ASSERT_EQ(a.count(), 7u);
    EXPECT_EQ(a[0].kind(), Value::Kind::LongLong);
    EXPECT_EQ(a[0].longLongValue(), 2147483648LL);
    EXPECT_EQ(a[1].kind(), Value::Kind::Int);
    EXPECT_EQ(a[2].kind(), Value::Kind::Double);
    EXPECT_EQ(a[3].kind(), Value::Kind::Double);
    EXPECT_EQ(a[3].description(), "1");
    EXPECT_EQ(a[4].kind(), Value::Kind::Bool);
    EXPECT_TRUE(a[5].isNull());
    EXPECT_EQ(a[6].string(), "s/\xc3\xbc");
    EXPECT_EQ(v["u"].unsignedLongLongValue(), UINT64_MAX);
    EXPECT_EQ(v["e"].count(), 0u);

    Value m = JSONObjectWithData(R"({"list":[{"k":1}]})", NSJSONReadingMutableContainers, nullptr);
    EXPECT_TRUE(m.isMutable());
    EXPECT_TRUE(m["list"].isMutable());
    EXPECT_TRUE(m["list"][0].isMutable());
    Value inner = m["list"][0]; // shares the storage
    inner.setObjectForKey(Value(2), Value("k"));
    EXPECT_EQ(m["list"][0]["k"].intValue(), 2);
}

// Texts at the edges of the number and string grammar read the same whichever parser takes them.
TEST(NSJSONSerialization, ReadsEdgeNumbersAndStrings)
{
    struct Case {
        const char* input;
        Value::Kind kind;
        const char* description;
        bool isUnsigned = false;
    };
    Case cases[] = {
        { "[-0]", Value::Kind::Int, "0" },
        { "[-0.0]", Value::Kind::Double, "-0" },
        { "[2147483647]", Value::Kind::Int, "2147483647" },
        { "[-2147483649]", Value::Kind::LongLong, "-2147483649" },
        { "[9223372036854775807]", Value::Kind::LongLong, "9223372036854775807" },
        { "[9223372036854775808]", Value::Kind::LongLong, "9223372036854775808", true },
        { "[-9223372036854775808]", Value::Kind::LongLong, "-9223372036854775808" },
        // Beyond 64-bit integers: a double.
        { "[18446744073709551616]", Value::Kind::Double, "1.8446744073709552e+19" },
        { "[-9223372036854775809]", Value::Kind::Double, "-9.223372036854776e+18" },
        { "[1E2]", Value::Kind::Double, "100" },
        { "[0.1e1]", Value::Kind::Double, "1" },
        { "[1e-400]", Value::Kind::Double, "0" },
        { "[\"a\\u0000b\"]", Value::Kind::String, nullptr },
        { "[\"\\ud83d\\ude00\"]", Value::Kind::String, "\xF0\x9F\x98\x80" },
        { "[\"\\/\\b\\f\\n\\r\\t\\\"\\\\\"]", Value::Kind::String, "/\b\f\n\r\t\"\\" },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.input);
        Ref<NSError> error;
        Value v = JSONObjectWithData(c.input, 0, &error);
        ASSERT_EQ(v.count(), 1u);
        EXPECT_EQ(error, nullptr);
        EXPECT_EQ(v[0].kind(), c.kind);
        if (c.description) {
            EXPECT_EQ(v[0].description(), c.description);
        }
        EXPECT_EQ(v[0].isUnsigned(), c.isUnsigned);
    }
    EXPECT_EQ(JSONObjectWithData("[\"a\\u0000b\"]", 0, nullptr)[0].string(), std::string("a\0b", 3));

    // Repeated keys: the last value, at the first key's place.
    Value repeated = JSONObjectWithData(R"({"a":1,"b":2,"a":3})", 0, nullptr);
    ASSERT_EQ(repeated.count(), 2u);
    EXPECT_EQ(repeated.allKeys()[0].string(), "a");
    EXPECT_EQ(repeated["a"].intValue(), 3);

    // 512 levels of nesting read; one more is an error.
    for (size_t depth : { 1, 511, 512, 513 }) {
        SCOPED_TRACE(depth);
        std::string nested = std::string(depth, '[') + std::string(depth, ']');
        Ref<NSError> error;
        Value v = JSONObjectWithData(nested, 0, &error);
        EXPECT_EQ(v.isNil(), depth > 512);
        if (depth > 512) {
            ASSERT_NE(error, nullptr);
            EXPECT_EQ(
                error->userInfo()[NSDebugDescriptionErrorKey].string(), "Too many nested arrays or dictionaries.");
        }
    }
}

TEST(NSJSONSerialization, ReadErrorsAnswerNilAndA3840Error)
{
    struct Case {
        const char* name;
        std::string input;
        uint32_t options;
        const char* debugDescription; // nullptr: must succeed; a prefix when it ends in "character "
    };
    std::string deep(600, '[');
    Case cases[] = {
        { "empty", "", 0, "No value." },
        { "blank", "  \n", 0, "No value." },
        { "fragment without option", "12", 0,
            "JSON text did not start with array or object and option to allow fragments not set." },
        { "string fragment without option", "\"a\"", 0,
            "JSON text did not start with array or object and option to allow fragments not set." },
        { "number fragment allowed", " 12 ", NSJSONReadingAllowFragments, nullptr },
        { "null fragment allowed", "null", NSJSONReadingAllowFragments, nullptr },
        { "trailing garbage", "{\"a\":1} x", 0, "Garbage at end." },
        { "second document", "[1][2]", 0, "Garbage at end." },
        { "invalid UTF-8 in a string", "[\"a\xff\"]", 0, "Unable to convert data to string around character 3." },
        { "overlong encoding", "[\"\xc0\xaf\"]", 0, "Unable to convert data to string around character 2." },
        { "encoded surrogate", "[\"\xed\xa0\x80\"]", 0, "Unable to convert data to string around character 2." },
        { "truncated sequence", "[\"\xe2\x82", 0, "Unable to convert data to string around character 2." },
        { "unterminated array", "[1,2", 0, "Invalid value around character " },
        { "trailing comma", "[1,]", 0, "Invalid value around character " },
        { "bare word", "[nope]", 0, "Invalid value around character " },
        { "lone surrogate escape", "[\"\\ud800\"]", 0, "Invalid value around character " },
        { "too deep", deep, 0, "Too many nested arrays or dictionaries." },
        { "byte order mark", "\xEF\xBB\xBF[1]", 0, nullptr },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Ref<NSError> error = NSError::errorWithDomain("stale", 1);
        Value v = JSONObjectWithData(c.input, c.options, &error);
        if (!c.debugDescription) {
            EXPECT_FALSE(v.isNil());
            // Success leaves an earlier error in the slot, so callers can keep one there.
            ASSERT_NE(error, nullptr);
            EXPECT_EQ(error->domain(), "stale");
            continue;
        }
        EXPECT_TRUE(v.isNil());
        ASSERT_NE(error, nullptr);
        EXPECT_EQ(error->domain(), "NSCocoaErrorDomain");
        EXPECT_EQ(error->code(), 3840);
        std::string expected = c.debugDescription;
        std::string actual = error->userInfo()[NSDebugDescriptionErrorKey].string();
        if (expected.ends_with("character ")) {
            EXPECT_EQ(actual.substr(0, expected.size()), expected);
            EXPECT_LE(std::stoul(actual.substr(expected.size())), c.input.size());
        } else {
            EXPECT_EQ(actual, expected);
        }
        // A null error slot is allowed.
        EXPECT_TRUE(JSONObjectWithData(c.input, c.options, nullptr).isNil());
    }
}

TEST(NSJSONSerialization, WritesCompactAndPretty)
{
    Value object = Value::dictionary({
        { Value("url"), Value("http://a/b\"c\\\n\x01") },
        { Value("n"),
            Value::array({ Value(1), Value(int64_t(-5000000000)), Value(2.5), Value(3.0), Value(0.1 + 0.2), Value(true),
                Value::null(), Value(UINT64_MAX) }) },
        { Value("empty"), Value::dictionary() },
    });
    Ref<NSError> error;
    Value compact = dataWithJSONObject(object, 0, &error);
    EXPECT_EQ(error, nullptr);
    EXPECT_EQ(text(compact),
        R"({"url":"http:\/\/a\/b\"c\\\n\u0001","n":[1,-5000000000,2.5,3,0.30000000000000004,true,null,18446744073709551615],"empty":{}})");
    EXPECT_EQ(text(dataWithJSONObject(
                  Value::array({ Value(1), Value::array(), Value::dictionary({ { Value("k"), Value("v") } }) }),
                  NSJSONWritingPrettyPrinted, nullptr)),
        "[\n  1,\n  [\n\n  ],\n  {\n    \"k\" : \"v\"\n  }\n]");

    // What is written reads back equal.
    Value back = JSONObjectWithData(compact.bytes(), 0, &error);
    EXPECT_TRUE(back.isEqual(object));
    EXPECT_EQ(back["url"].string(), "http://a/b\"c\\\n\x01");
}

TEST(NSJSONSerialization, WriteErrorsAnswerNilAndA3840Error)
{
    Value selfContaining = Value::mutableArray();
    selfContaining.addObject(selfContaining);
    struct Case {
        const char* name;
        Value object;
        const char* debugDescription;
    };
    Case cases[] = {
        { "NaN", Value::array({ Value(std::nan("")) }), "Invalid number value (NaN) in JSON write" },
        { "infinity", Value::array({ Value(INFINITY) }), "Invalid number value (infinite) in JSON write" },
        { "date", Value::array({ Value::date(0) }), "Invalid type in JSON write (NSDate)" },
        { "data", Value::dictionary({ { Value("d"), Value::data({ 1 }) } }), "Invalid type in JSON write (NSData)" },
        { "number key", Value::dictionary({ { Value(1), Value("x") } }),
            "Invalid (non-string) key in JSON dictionary" },
        { "string at top level", Value("x"), "Invalid top-level type in JSON write (NSString)" },
        { "nil", Value(), "Invalid top-level type in JSON write (nil)" },
        { "bad UTF-8 string", Value::array({ Value("\xff") }), "Invalid string (not UTF-8) in JSON write" },
        { "cycle", selfContaining, "Too many nested arrays or dictionaries in JSON write" },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Ref<NSError> error;
        EXPECT_TRUE(dataWithJSONObject(c.object, 0, &error).isNil());
        ASSERT_NE(error, nullptr);
        EXPECT_EQ(error->code(), 3840);
        EXPECT_EQ(error->userInfo()[NSDebugDescriptionErrorKey].string(), c.debugDescription);
        EXPECT_FALSE(isValidJSONObject(c.object));
    }
    selfContaining.removeAllObjects(); // break the cycle so the array is freed
    EXPECT_TRUE(isValidJSONObject(Value::array({ Value::null() })));
}
