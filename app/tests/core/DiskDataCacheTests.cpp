#include "app/categories/NSString+DiskDataCacheMD5.h"
#include "app/core/DiskDataCache.h"
#include "app/core/KESTChartObject.h"
#include "app/overlays/KESTAppleMapsTileOverlay.h"
#include "app/tests/AppTestSupport.h"
#include "foundation/NSError.h"
#include "foundation/NSFileManager.h"
#include "net/NSURL.h"
#include "net/NSURLError.h"
#include "testing/Drain.h"

#include <gtest/gtest.h>

#include <map>

namespace {

struct CacheScope {
    AppTestScope app;
    CacheScope() { DiskDataCache::resetSharedCacheForTesting(); }
    ~CacheScope()
    {
        drainAll();
        DiskDataCache::resetSharedCacheForTesting();
    }
};

Value bytes(const std::string& text)
{
    return Value::data(text.data(), text.size());
}

TEST(DiskDataCache, NamesFilesByTheLowerCaseMD5OfTheKey)
{
    struct Case {
        std::string text;
        std::string digest;
    };
    const std::vector<Case> cases = {
        { "", "d41d8cd98f00b204e9800998ecf8427e" },
        { "abc", "900150983cd24fb0d6963f7d28e17f72" },
        { "http://charts.test/A/1/0/0.png", NSString_DiskDataCacheMD5::ec_MD5("http://charts.test/A/1/0/0.png") },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        EXPECT_EQ(NSString_DiskDataCacheMD5::ec_MD5(c.text), c.digest);
        EXPECT_EQ(NSString_DiskDataCacheMD5::ec_MD5(c.text).size(), 32u);
    }
    CacheScope scope;
    std::string directory = DiskDataCache::cacheDirectory();
    EXPECT_NE(directory.find("/DiskDataCache"), std::string::npos);
    EXPECT_TRUE(NSFileManager::defaultManager()->fileExistsAtPath(directory));
    EXPECT_EQ(DiskDataCache::pathForKey("abc"), directory + "/900150983cd24fb0d6963f7d28e17f72");
    // Keys that differ only in case have files of their own.
    EXPECT_NE(DiskDataCache::pathForKey("ABC"), DiskDataCache::pathForKey("abc"));
}

TEST(DiskDataCache, ServesMemoryThenDiskAndEmptiesOnlyTheDisk)
{
    CacheScope scope;
    auto cache = DiskDataCache::sharedCache();
    EXPECT_TRUE(cache->dataForKey(std::nullopt).isNil());
    cache->setDataForKey(Value(), "k");
    cache->setDataForKey(bytes("x"), std::nullopt);
    drainAll();
    EXPECT_TRUE(cache->dataForKey("k").isNil());

    cache->setDataForKey(bytes("tile"), "k");
    drainAll();
    std::string path = DiskDataCache::pathForKey("k");
    EXPECT_TRUE(NSFileManager::defaultManager()->fileExistsAtPath(path));

    // A fresh memory level (a relaunch) finds the file and does not copy it back into memory.
    DiskDataCache::resetSharedCacheForTesting();
    auto relaunched = DiskDataCache::sharedCache();
    EXPECT_EQ(relaunched->dataForKey("k"), bytes("tile"));
    EXPECT_TRUE(relaunched->objectForKey(Value("k")).isNil());

    // Emptying removes the files; memory entries stay until evicted.
    relaunched->setDataForKey(bytes("second"), "m");
    drainAll();
    relaunched->emptyCache();
    drainAll();
    EXPECT_FALSE(NSFileManager::defaultManager()->fileExistsAtPath(path));
    EXPECT_TRUE(relaunched->dataForKey("k").isNil());
    EXPECT_EQ(relaunched->dataForKey("m"), bytes("second"));
    relaunched->simulateMemoryPressure();
    EXPECT_TRUE(relaunched->dataForKey("m").isNil());

    // Removal takes both levels.
    relaunched->setDataForKey(bytes("third"), "r");
    drainAll();
    relaunched->removeDataForKey("r");
    drainAll();
    EXPECT_TRUE(relaunched->dataForKey("r").isNil());
    EXPECT_FALSE(NSFileManager::defaultManager()->fileExistsAtPath(DiskDataCache::pathForKey("r")));
}

// A tile loader that answers from a table and counts what it was asked for.
struct FakeTileServer {
    std::map<std::string, std::string> tiles;
    std::map<std::string, int> requests;
    MKTileOverlay::TileLoader loader()
    {
        return [this](const std::string& url, MKTileOverlay::LoadResult result) {
            ++requests[url];
            auto tile = tiles.find(url);
            if (tile == tiles.end())
                result(Value(), NSError::errorWithDomain(NSURLErrorDomain, NSURLErrorBadServerResponse));
            else
                result(bytes(tile->second), nullptr);
        };
    }
};

Ref<KESTChartObject> chartAt(const std::string& url)
{
    Value record
        = Value::dictionary({ { Value("product_url"), Value(url) }, { Value("product_description"), Value(url) } });
    return KESTChartObject::initWithChartUrl(record, MKMapRectWorld, { 0, 0 });
}

TEST(KESTAppleMapsTileOverlay, LoadsEachTileOnceAndRetriesFailures)
{
    CacheScope scope;
    FakeTileServer server;
    server.tiles["http://a.test/1/0/1.png"] = "A-tile";
    server.tiles["http://b.test/1/0/1.png"] = "B-tile";
    auto chartA = chartAt("http://a.test/"), chartB = chartAt("http://b.test/"), chartA2 = chartAt("http://a.test/");
    for (const auto& chart : { chartA, chartB, chartA2 })
        chart->overlay()->setTileLoader(server.loader());

    auto load = [](const Ref<KESTChartObject>& chart, MKTileOverlayPath path) {
        std::pair<Value, Ref<NSError>> answer { Value(), nullptr };
        int calls = 0;
        chart->overlay()->loadTileAtPath(path, [&](const Value& data, const Ref<NSError>& error) {
            ++calls;
            answer = { data, error };
        });
        drainAll();
        EXPECT_EQ(calls, 1);
        return answer;
    };

    MKTileOverlayPath path { 0, 1, 1, 1 };
    EXPECT_EQ(load(chartA, path).first, bytes("A-tile"));
    EXPECT_EQ(load(chartA, path).first, bytes("A-tile"));
    // The same URL in another chart shares the entry; another prefix does not.
    EXPECT_EQ(load(chartA2, path).first, bytes("A-tile"));
    EXPECT_EQ(load(chartB, path).first, bytes("B-tile"));
    EXPECT_EQ(server.requests["http://a.test/1/0/1.png"], 1);
    EXPECT_EQ(server.requests["http://b.test/1/0/1.png"], 1);

    // A hit from memory needs no file: remove it and the tile is still served.
    NSFileManager::defaultManager()->removeItemAtPath(DiskDataCache::pathForKey("http://a.test/1/0/1.png"), nullptr);
    EXPECT_EQ(load(chartA, path).first, bytes("A-tile"));
    // After a relaunch the file answers, without the network.
    DiskDataCache::resetSharedCacheForTesting();
    EXPECT_EQ(load(chartB, path).first, bytes("B-tile"));
    EXPECT_EQ(server.requests["http://b.test/1/0/1.png"], 1);

    // A failed tile is passed on, not stored, and asked for again next time.
    MKTileOverlayPath missing { 1, 1, 1, 1 };
    auto failed = load(chartA, missing);
    EXPECT_TRUE(failed.second);
    EXPECT_TRUE(failed.first.isNil());
    load(chartA, missing);
    EXPECT_EQ(server.requests["http://a.test/1/1/1.png"], 2);
    EXPECT_FALSE(
        NSFileManager::defaultManager()->fileExistsAtPath(DiskDataCache::pathForKey("http://a.test/1/1/1.png")));
}

} // namespace
