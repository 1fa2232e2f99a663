#include "app/core/KESTPlane.h"
#include "app/core/KESTPlaneMarkerManager.h"
#include "app/core/KESTPlaneServices.h"
#include "app/tests/AppTestSupport.h"
#include "app/tests/map-markers/MarkerTestSupport.h"
#include "foundation/NSCache.h"
#include "graphics/UIGraphics.h"
#include "graphics/UIImage.h"
#include "testing/Drain.h"
#include "testing/URLStubs.h"
#include "testing/VirtualClock.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

namespace {

constexpr const char* kLogoBase = "http://logos.invalid/";

URLStubSpec logoAnswer(int32_t status, std::string body, std::string contentType = "image/png")
{
    URLStubSpec spec;
    spec.url = std::string(kLogoBase) + "v1/getLogo.php";
    spec.matchPrefix = true;
    spec.statusCode = status;
    spec.headers = { { "Content-Type", contentType } };
    spec.body = std::move(body);
    return spec;
}

class KESTPlaneMarkerManagerTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        KESTPlaneMarkerManager::setLogoServiceBaseURL(kLogoBase);
        manager = KESTPlaneMarkerManager::init();
    }
    void TearDown() override
    {
        drainAll();
        KESTPlaneMarkerManager::setLogoServiceBaseURL(std::nullopt);
        KESTPlaneServices::install(nullptr);
        UIImage::setNamedImageDirectory("");
    }

    AppTestScope scope;
    ScopedVirtualClock clock;
    Ref<KESTPlaneMarkerManager> manager;
};

} // namespace

TEST(KESTPlaneMarkerManager, NamesImagesByFamilyColourAndHeadingStep)
{
    struct Case {
        const char* family;
        int32_t rotation;
        std::optional<std::string> colour;
        const char* expected;
    };
    const Case cases[] = {
        { "A320", 0, "W", "A320_W_360.png" },
        { "A320", 10, "W", "A320_W_10.png" },
        { "B737", 90, "W", "B737_W_90.png" },
        { "EUROCOPTER", 350, "O", "EUROCOPTER_O_350.png" },
        { "SANTA", 0, std::nullopt, "SANTA_360.png" },
        { "SANTA", 180, std::nullopt, "SANTA_180.png" },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.expected);
        EXPECT_EQ(KESTPlaneMarkerManager::imageNameFor(c.family, c.rotation, c.colour), c.expected);
    }
}

TEST_F(KESTPlaneMarkerManagerTest, FindsEveryHeadingStepOfTheBundledMarkerSet)
{
    struct Case {
        const char* family;
        std::optional<std::string> colour;
    };
    const Case cases[] = {
        { "A380", "R" },
        { "B737", "Y" },
        { "PRIVATEJET", "B" },
        { "GLIDER", "W" },
        { "TRIANGLE", "O" },
        { "VOLCANO", "R" },
        { "SANTA", std::nullopt },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.family);
        for (int32_t rotation = 0; rotation <= 360; rotation += 10) {
            auto image = manager->rotatedImageNamedRotationColour(c.family, rotation, c.colour);
            ASSERT_TRUE(image) << KESTPlaneMarkerManager::imageNameFor(c.family, rotation, c.colour);
            EXPECT_GT(image->size().width, 0);
        }
    }
    // Rotation 0 and 360 are the same file, so the same cached image.
    EXPECT_EQ(manager->rotatedImageNamedRotationColour("A380", 0, "R"),
        manager->rotatedImageNamedRotationColour("A380", 360, "R"));
    EXPECT_FALSE(manager->rotatedImageNamedRotationColour("NOSUCH", 90, "R"));
}

TEST_F(KESTPlaneMarkerManagerTest, CachesLoadedImagesButNotFailedLoads)
{
    std::filesystem::path dir = scope.sandbox().path("markers");
    std::filesystem::create_directories(dir);
    UIImage::setNamedImageDirectory(dir.string());
    auto write = [&](const std::string& name) {
        std::ofstream(dir / name, std::ios::binary) << pngBytes(4, 4);
        UIImage::clearNamedImageCache();
    };

    // Missing: nothing comes back and nothing is remembered.
    EXPECT_FALSE(manager->rotatedImageNamedRotationColour("B737", 90, "W"));
    write("B737_W_90.png");
    auto first = manager->rotatedImageNamedRotationColour("B737", 90, "W");
    ASSERT_TRUE(first);

    // Once cached, the resource is not read again.
    std::filesystem::remove(dir / "B737_W_90.png");
    UIImage::clearNamedImageCache();
    EXPECT_EQ(manager->rotatedImageNamedRotationColour("B737", 90, "W"), first);

    manager->invalidateCache();
    EXPECT_FALSE(manager->rotatedImageNamedRotationColour("B737", 90, "W"));
}

TEST_F(KESTPlaneMarkerManagerTest, GivesTypeDesignatorsTheirFamily)
{
    KESTPlaneServices::install(std::make_shared<MarkerServices>(manager));
    EXPECT_EQ(manager->partialLookupDict().count(), 73u);
    EXPECT_EQ(manager->fullLookupDict().count(), 308u);

    struct Case {
        const char* type;
        bool markerDebug;
        const char* family;
    };
    const Case cases[] = {
        { "A320", false, "A321" }, // prefix A32
        { "A318", false, "A320" }, // prefix A31
        { "A3ST", false, "A320" }, // whole designator first
        { "B738", false, "B737" }, // prefix B73
        { "DC10", false, "B737" }, // whole designator
        { "CRJ2", false, "FOKKER100" }, // prefix only
        { "GA7", false, "SINGLEPROP" }, // listed twice; the later pair holds
        { "LEADER", false, "VEHICLE" },
        { "C172", false, "SINGLEPROP" },
        { "ZZZZ", false, "B737" },
        { "ZZZZ", true, "VOLCANO" },
        { "E6", false, "B737" }, // under three characters: the tables are not consulted
        { "b738", false, "B737" }, // exact case
        { "c172", true, "VOLCANO" },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.type) + (c.markerDebug ? " debug" : ""));
        KESTSettingsManager::sharedInstance()->setMarkerDebug(c.markerDebug);
        auto plane = makePlane({ .type = c.type });
        ASSERT_TRUE(plane);
        EXPECT_EQ(plane->annotationData()[0].string(), c.family);
    }
}

TEST_F(KESTPlaneMarkerManagerTest, FetchesALogoOnceAndServesItFromTheCache)
{
    URLStubs stubs;
    auto stub = stubs.add(logoAnswer(200, pngBytes(40, 20)));
    int calls = 0;
    EXPECT_FALSE(manager->fetchAirlineImageOnRemoteFetchCompletion("BAW", [&] { ++calls; }));
    drainAll();
    EXPECT_EQ(calls, 1);
    ASSERT_EQ(stub->requestCount(), 1u);
    EXPECT_EQ(stub->requests()[0].url, "http://logos.invalid/v1/getLogo.php?airlineCode=BAW&requestThumb=1");
    EXPECT_EQ(stub->requests()[0].method, "GET");

    auto logo = manager->fetchAirlineImageOnRemoteFetchCompletion("BAW", [&] { ++calls; });
    ASSERT_TRUE(logo);
    EXPECT_EQ(logo->size().width, 40);
    drainAll();
    EXPECT_EQ(calls, 1);
    EXPECT_EQ(stub->requestCount(), 1u);
}

TEST_F(KESTPlaneMarkerManagerTest, MissesForALogoInFlightShareItsRequest)
{
    // Every marker of an airline asks for its logo while it is drawn: a map of many planes of
    // few airlines asks for each logo many times before the first answer is in.
    struct Case {
        const char* name;
        URLStubSpec spec;
        int callsPerAsker;
    };
    const Case cases[] = {
        { "logo", logoAnswer(200, pngBytes(40, 20)), 1 },
        { "not found", logoAnswer(404, "missing", "text/plain"), 0 },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        manager->invalidateCache();
        URLStubs stubs;
        auto stub = stubs.add(c.spec);
        constexpr int kAskers = 50;
        std::vector<int> calls(kAskers, 0);
        for (int asker = 0; asker < kAskers; ++asker)
            EXPECT_FALSE(manager->fetchAirlineImageOnRemoteFetchCompletion("BAW", [&calls, asker] { ++calls[asker]; }));
        manager->fetchAirlineImageOnRemoteFetchCompletion("EZY", nullptr);
        drainAll();
        // One request per airline, and every asker hears of the logo that came.
        EXPECT_EQ(stub->requestCount(), 2u);
        for (int asker = 0; asker < kAskers; ++asker)
            EXPECT_EQ(calls[asker], c.callsPerAsker) << "asker " << asker;
        // Once it is answered, a miss asks again.
        if (c.callsPerAsker == 0) {
            manager->fetchAirlineImageOnRemoteFetchCompletion("BAW", nullptr);
            drainAll();
            EXPECT_EQ(stub->requestCount(), 3u);
        }
    }
}

TEST_F(KESTPlaneMarkerManagerTest, CachesNothingAndStaysQuietWhenTheLogoDoesNotCome)
{
    struct Case {
        const char* name;
        URLStubSpec spec;
    };
    const Case cases[] = {
        { "not found", logoAnswer(404, "missing", "text/plain") },
        { "not an image", logoAnswer(200, "<html></html>", "text/html") },
        { "broken image", logoAnswer(200, "\x89PNG broken", "image/png") },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        URLStubs stubs;
        auto stub = stubs.add(c.spec);
        int calls = 0;
        for (int attempt = 1; attempt <= 2; ++attempt) {
            EXPECT_FALSE(manager->fetchAirlineImageOnRemoteFetchCompletion("EZY", [&] { ++calls; }));
            drainAll();
            // Every miss asks again.
            EXPECT_EQ(stub->requestCount(), size_t(attempt));
        }
        EXPECT_EQ(calls, 0);
        EXPECT_TRUE(manager->cache()->objectForKey(Value("EZY")).isNil());
    }
}

TEST_F(KESTPlaneMarkerManagerTest, EscapesTheAirlineCodeInTheLogoAddress)
{
    URLStubs stubs;
    auto stub = stubs.add(logoAnswer(404, ""));
    manager->fetchAirlineImageOnRemoteFetchCompletion("A&B", nullptr);
    manager->fetchAirlineImageOnRemoteFetchCompletion("C D", nullptr);
    drainAll();
    ASSERT_EQ(stub->requestCount(), 2u);
    EXPECT_EQ(stub->requests()[0].url, "http://logos.invalid/v1/getLogo.php?airlineCode=A%26B&requestThumb=1");
    EXPECT_EQ(stub->requests()[1].url, "http://logos.invalid/v1/getLogo.php?airlineCode=C%20D&requestThumb=1");
}
