#include "foundation/JSONReader.h"

#include "foundation/NSJSONSerialization.h"
#include "foundation/Value.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using Kind = JSONReader::Element::Kind;

// A number read from the document is the Value NSJSONSerialization makes of it, kind and
// signedness included, so readers that pick numbers out of a document (the live feed's plane
// table) convert them as the decoded answer does.
TEST(JSONReader, NumbersReadAsNSJSONSerializationReadsThem)
{
    struct Case {
        const char* text;
        Value::Kind kind;
        const char* description;
        bool isUnsigned = false;
    };
    const Case cases[] = {
        { "0", Value::Kind::Int, "0" },
        { "-0", Value::Kind::Int, "0" },
        { "2147483647", Value::Kind::Int, "2147483647" },
        { "-2147483648", Value::Kind::Int, "-2147483648" },
        { "2147483648", Value::Kind::LongLong, "2147483648" },
        { "-2147483649", Value::Kind::LongLong, "-2147483649" },
        { "9223372036854775807", Value::Kind::LongLong, "9223372036854775807" },
        { "9223372036854775808", Value::Kind::LongLong, "9223372036854775808", true },
        { "18446744073709551615", Value::Kind::LongLong, "18446744073709551615", true },
        { "-9223372036854775808", Value::Kind::LongLong, "-9223372036854775808" },
        { "1.5", Value::Kind::Double, "1.5" },
        { "1.0", Value::Kind::Double, "1" },
        { "-0.0", Value::Kind::Double, "-0" },
        { "1e308", Value::Kind::Double, nullptr },
        { "true", Value::Kind::Bool, nullptr },
        { "false", Value::Kind::Bool, nullptr },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        std::string text = std::string("[") + c.text + "]";
        auto document = JSONReader::parse(text);
        ASSERT_TRUE(document);
        JSONReader::Element element;
        ASSERT_EQ(document->root().firstElements({ &element, 1 }), 1u);
        EXPECT_TRUE(element.isNumber());
        Value read = element.number();
        Value decoded = NSJSONSerialization::JSONObjectWithData(text, 0, nullptr)[0];
        EXPECT_EQ(read.kind(), c.kind);
        EXPECT_EQ(read.kind(), decoded.kind());
        EXPECT_EQ(read.isUnsigned(), c.isUnsigned);
        EXPECT_EQ(read.isUnsigned(), decoded.isUnsigned());
        EXPECT_EQ(read.description(), decoded.description());
        if (c.description) {
            EXPECT_EQ(read.description(), c.description);
        }
        EXPECT_EQ(element.toValue(JSONReader::Containers::Immutable).description(), decoded.description());
    }
}

// Walking a document: pairs in document order with repeated keys kept, elements, the first
// elements of an array in one call, and nothing for the wrong kind of element.
TEST(JSONReader, WalksObjectsAndArrays)
{
    auto document = JSONReader::parse(R"({"b":[1,"x",null,[2]],"a":"\u00e9","b":{}})");
    ASSERT_TRUE(document);
    JSONReader::Element root = document->root();
    EXPECT_EQ(root.kind(), Kind::Object);
    EXPECT_EQ(root.count(), 3u);

    std::vector<std::string> keys;
    std::vector<Kind> kinds;
    for (const JSONReader::Field& field : root.fields()) {
        keys.emplace_back(field.key);
        kinds.push_back(field.value.kind());
    }
    EXPECT_EQ(keys, std::vector<std::string>({ "b", "a", "b" }));
    EXPECT_EQ(kinds, std::vector<Kind>({ Kind::Array, Kind::String, Kind::Object }));

    JSONReader::Element list = (*root.fields().begin()).value;
    std::vector<Kind> elementKinds;
    for (JSONReader::Element element : list.elements())
        elementKinds.push_back(element.kind());
    EXPECT_EQ(elementKinds, std::vector<Kind>({ Kind::Number, Kind::String, Kind::Null, Kind::Array }));

    JSONReader::Element first[6];
    EXPECT_EQ(list.firstElements({ first, 2 }), 2u);
    EXPECT_EQ(first[1].string(), "x");
    EXPECT_EQ(list.firstElements(first), 4u);
    EXPECT_EQ(
        first[3].toValue(JSONReader::Containers::Immutable).description(), Value::array({ Value(2) }).description());

    // Asking an element for what it is not answers nothing.
    JSONReader::Element text = (*++root.fields().begin()).value;
    EXPECT_EQ(text.string(), "\xC3\xA9");
    EXPECT_TRUE(text.number().isNil());
    EXPECT_EQ(text.count(), 0u);
    EXPECT_EQ(text.firstElements(first), 0u);
    EXPECT_TRUE(text.elements().begin() == text.elements().end());
    EXPECT_TRUE(list.fields().begin() == list.fields().end());
    EXPECT_EQ(first[0].string(), "");
    JSONReader::Element none;
    EXPECT_EQ(none.kind(), Kind::Null);
    EXPECT_TRUE(none.toValue(JSONReader::Containers::Immutable).isNull());
}

// Texts the reader refuses, for the caller to read another way; and documents parsed while
// another is held (here on the same thread) stay valid side by side.
TEST(JSONReader, RefusesWhatItCannotReadAndKeepsDocumentsApart)
{
    const std::string refused[] = {
        "",
        "{",
        "[1] x",
        "[\"\xFF\"]",
        "[123456789012345678901234567890]",
        std::string(513, '[') + std::string(513, ']'),
    };
    for (const auto& text : refused) {
        SCOPED_TRACE(text.substr(0, 40));
        EXPECT_FALSE(JSONReader::parse(text));
    }
    EXPECT_TRUE(JSONReader::parse(std::string(512, '[') + std::string(512, ']')));
    EXPECT_TRUE(JSONReader::parse("7"));

    auto first = JSONReader::parse(R"(["first"])");
    auto second = JSONReader::parse(R"(["second"])");
    ASSERT_TRUE(first && second);
    JSONReader::Element a;
    JSONReader::Element b;
    first->root().firstElements({ &a, 1 });
    second->root().firstElements({ &b, 1 });
    EXPECT_EQ(a.string(), "first");
    EXPECT_EQ(b.string(), "second");
    second.reset();
    auto third = JSONReader::parse(R"(["third"])");
    ASSERT_TRUE(third);
    EXPECT_EQ(a.string(), "first");

    EXPECT_TRUE(JSONReader::isValidUTF8("plain \xC3\xA9"));
    EXPECT_FALSE(JSONReader::isValidUTF8("bad \xC3"));
}

// A text with room allocated after it is read where it lies: what follows it in memory never
// becomes part of it ("12" does not read as 1277...), and it reads as its copy does.
TEST(JSONReader, ReadsATextWithRoomAfterItAsItsCopy)
{
    const std::string filler(JSONReader::kReadInPlacePadding, '7');
    for (std::string text : { "12", R"({"a":[1,2.5,"x"]})", "[1,2", "tru", R"("ab)", "-" }) {
        SCOPED_TRACE(text);
        std::string room = text + filler;
        auto inPlace = JSONReader::parse(std::string_view(room.data(), text.size()), filler.size());
        auto copied = JSONReader::parse(text);
        ASSERT_EQ(bool(inPlace), bool(copied));
        if (inPlace) {
            EXPECT_EQ(inPlace->root().toValue(JSONReader::Containers::Immutable),
                copied->root().toValue(JSONReader::Containers::Immutable));
        }
    }
}
