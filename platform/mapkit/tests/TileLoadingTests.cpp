#include "foundation/NSError.h"
#include "mapkit/MKTileOverlay.h"
#include "mapkit/MKURLSessionTileLoader.h"
#include "net/NSURLError.h"
#include "testing/Drain.h"
#include "testing/LoopbackServer.h"

#include <gtest/gtest.h>

#include <mutex>
#include <string>

// Tiles load over the URL session from a server on this machine: data for a good answer, an
// NSURLErrorDomain error for an HTTP failure or a refused connection, exactly once each.
TEST(TileLoading, LoadsTilesThroughTheURLSession)
{
    MKInstallURLSessionTileLoader();
    LoopbackServer server;
    struct Case {
        const char* name;
        std::string urlTemplate;
        MKTileOverlayPath path;
        std::string data; // empty: an error is expected
        int32_t code;
    };
    const Case cases[] = {
        { "tile served", server.url("/hello?tile={z}/{x}/{y}"), { 3, 2, 4, 1 }, "hello", 0 },
        { "server error", server.url("/status/{z}"), { 0, 0, 500, 1 }, "", NSURLErrorBadServerResponse },
        { "not found", server.url("/status/{z}"), { 0, 0, 404, 1 }, "", NSURLErrorBadServerResponse },
        { "connection refused", "http://127.0.0.1:" + std::to_string(LoopbackServer::unusedPort()) + "/{z}",
            { 0, 0, 1, 1 }, "", NSURLErrorCannotConnectToHost },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        auto overlay = MKTileOverlay::initWithURLTemplate(c.urlTemplate);
        std::mutex lock;
        int calls = 0;
        Value data;
        Ref<NSError> error;
        overlay->loadTileAtPath(c.path, [&](const Value& tile, const Ref<NSError>& failure) {
            std::lock_guard guard(lock);
            ++calls;
            data = tile;
            error = failure;
        });
        drainAll();
        std::lock_guard guard(lock);
        EXPECT_EQ(calls, 1);
        if (c.data.empty()) {
            ASSERT_TRUE(error);
            EXPECT_EQ(error->domain(), NSURLErrorDomain);
            EXPECT_EQ(error->code(), c.code);
        } else {
            EXPECT_FALSE(error);
            ASSERT_TRUE(data.isData());
            const auto& bytes = data.bytes();
            EXPECT_EQ(std::string(bytes.begin(), bytes.end()), c.data);
        }
    }
    MKTileOverlay::setDefaultTileLoader(nullptr);
}
