#include "servicesim/SimImageCache.h"

#include <gtest/gtest.h>

// A picture is drawn once while kept; past the capacity the oldest is forgotten and drawn again.
TEST(SimImageCache, DrawsOnceAndForgetsTheOldestFirst)
{
    SimImageCache cache(2);
    int draws = 0;
    auto get = [&](const std::string& key) {
        return cache.get(key, [&] {
            ++draws;
            return "picture of " + key;
        });
    };
    EXPECT_EQ(get("a"), "picture of a");
    EXPECT_EQ(get("a"), "picture of a");
    EXPECT_EQ(draws, 1);
    get("b");
    get("c"); // "a" is forgotten
    EXPECT_EQ(cache.size(), 2u);
    EXPECT_EQ(draws, 3);
    get("c");
    get("b");
    EXPECT_EQ(draws, 3);
    EXPECT_EQ(get("a"), "picture of a");
    EXPECT_EQ(draws, 4);
    EXPECT_EQ(cache.size(), 2u);
}
