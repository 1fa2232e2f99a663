#include "app/core/OrderedDictionary.h"

#include <gtest/gtest.h>

namespace {

std::vector<std::string> keys(const std::vector<Value>& values)
{
    std::vector<std::string> texts;
    for (const auto& v : values)
        texts.push_back(v.string());
    return texts;
}

} // namespace

TEST(OrderedDictionary, KeepsInsertionOrderThroughChanges)
{
    using Keys = std::vector<std::string>;
    auto d = OrderedDictionary::init();
    d->setObjectForKey(Value(1), "b");
    d->setObjectForKey(Value(2), "a");
    d->setObjectForKey(Value(3), "c");
    EXPECT_EQ(keys(d->keyEnumerator()), (Keys { "b", "a", "c" }));

    d->setObjectForKey(Value(20), "a"); // replacing keeps the place
    EXPECT_EQ(keys(d->allKeys()), (Keys { "b", "a", "c" }));
    EXPECT_EQ(d->objectForKey("a").intValue(), 20);
    EXPECT_EQ(d->count(), 3u);

    d->removeObjectForKey("a");
    d->removeObjectForKey("missing");
    EXPECT_TRUE(d->objectForKey("a").isNil());
    d->setObjectForKey(Value(4), "a"); // removed and added again: last
    EXPECT_EQ(keys(d->keyEnumerator()), (Keys { "b", "c", "a" }));
    EXPECT_EQ(keys(d->reverseKeyEnumerator()), (Keys { "a", "c", "b" }));

    d->insertObjectForKeyAtIndex(Value(5), "a", 0); // an existing key moves to the front
    EXPECT_EQ(keys(d->keyEnumerator()), (Keys { "a", "b", "c" }));
    EXPECT_EQ(d->count(), 3u);
    d->insertObjectForKeyAtIndex(Value(6), "d", 2);
    EXPECT_EQ(keys(d->keyEnumerator()), (Keys { "a", "b", "d", "c" }));
    EXPECT_EQ(d->keyAtIndex(2).string(), "d");
    EXPECT_TRUE(d->keyAtIndex(9).isNil());
    d->insertObjectForKeyAtIndex(Value(7), "e", 99);
    EXPECT_EQ(d->keyAtIndex(4).string(), "e");

    Value copy = d->copy();
    EXPECT_TRUE(copy.isMutable());
    EXPECT_EQ(keys(copy.allKeys()), (Keys { "a", "b", "d", "c", "e" }));
    EXPECT_EQ(copy["d"].intValue(), 6);
}

TEST(OrderedDictionary, TextFormFollowsOrderAndLevel)
{
    auto d = OrderedDictionary::init();
    d->setObjectForKey(Value(1), "b");
    d->setObjectForKey(Value(2), "a");
    EXPECT_EQ(d->descriptionWithLocaleIndent(nullptr, 0), "{\n    b = 1;\n    a = 2;\n}\n");

    auto outer = OrderedDictionary::init();
    outer->setObjectForKey(Value("text"), "name");
    outer->setObjectForKey(Value(d), "inner");
    EXPECT_EQ(outer->descriptionWithLocaleIndent(nullptr, 1),
        "    {\n        name = text;\n        inner =     {\n        b = 1;\n        a = 2;\n    }\n;\n    }\n");
}
