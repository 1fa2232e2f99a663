#include "foundation/NSBundle.h"
#include "vxbuild/TestPaths.h"

#include <gtest/gtest.h>

namespace {

const std::string kFixture = VX_TEST_DIR "/fixtures/TestBundle";

// Points the main bundle at the fixture for one test and back afterwards.
class NSBundleTest : public ::testing::Test {
protected:
    void SetUp() override { NSBundle::setMainBundlePath(kFixture); }
    void TearDown() override
    {
        NSBundle::setMainBundlePath({});
        NSBundle::setLocalizationOrder({});
    }
};

} // namespace

TEST_F(NSBundleTest, FindsResourcesAtTopLevelThenInLocalizations)
{
    auto bundle = NSBundle::mainBundle();
    EXPECT_EQ(bundle->bundlePath(), kFixture);
    struct Case {
        std::string name, type, directory;
        std::optional<std::string> expected; // relative to the bundle
    };
    const Case cases[] = {
        { "a", "cer", "", "a.cer" },
        { "a.cer", "", "", "a.cer" },
        { "a", ".cer", "", "a.cer" },
        { "c", "cer", "", "en.lproj/c.cer" },
        { "table", "json", "data", "data/table.json" },
        { "table", "json", "", std::nullopt },
        { "Sub", "bundle", "", "Sub.bundle" },
        { "missing", "png", "", std::nullopt },
        { "../TestBundle/a", "cer", "", std::nullopt },
        { "", "cer", "", std::nullopt },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name + "." + c.type + " in " + c.directory);
        auto path = bundle->pathForResource(c.name, c.type, c.directory);
        if (!c.expected)
            EXPECT_FALSE(path) << *path;
        else
            EXPECT_EQ(path.value_or("<none>"), kFixture + "/" + *c.expected);
    }
    EXPECT_EQ(bundle->pathsForResourcesOfType("cer", ""),
        (std::vector<std::string> { kFixture + "/a.cer", kFixture + "/b.cer", kFixture + "/en.lproj/c.cer" }));
}

TEST_F(NSBundleTest, ReadsInfoDictionaryAndItsLocalizedValues)
{
    auto bundle = NSBundle::mainBundle();
    EXPECT_EQ(bundle->bundleIdentifier().value_or(""), "com.example.fixture");
    EXPECT_EQ(bundle->infoDictionary()["CFBundleVersion"].string(), "42");
    EXPECT_EQ(
        bundle->infoDictionary()["CFBundleURLTypes"].objectAtIndex(0)["CFBundleURLSchemes"].objectAtIndex(0).string(),
        "fixture");
    // InfoPlist.strings is UTF-16 with a byte-order mark.
    EXPECT_EQ(bundle->localizedInfoDictionary()["CFBundleDisplayName"].string(), "Fixt\u00fcre");
    EXPECT_EQ(bundle->objectForInfoDictionaryKey("CFBundleDisplayName").string(), "Fixt\u00fcre");
    EXPECT_EQ(bundle->objectForInfoDictionaryKey("CFBundleVersion").string(), "42");
    EXPECT_TRUE(bundle->objectForInfoDictionaryKey("Absent").isNil());

    // A sub-bundle with a binary Info.plist, found through the main bundle.
    auto sub = NSBundle::bundleWithPath(*bundle->pathForResource("Sub", "bundle"));
    ASSERT_TRUE(sub);
    EXPECT_EQ(sub, NSBundle::bundleWithPath(kFixture + "/Sub.bundle/"));
    EXPECT_EQ(sub->bundleIdentifier().value_or(""), "com.example.fixture.sub");
    EXPECT_EQ(sub->infoDictionary()["Count"].intValue(), -3);
    EXPECT_FALSE(NSBundle::bundleWithPath(kFixture + "/a.cer"));
    EXPECT_FALSE(NSBundle::bundleWithPath(kFixture + "/nothing"));
    auto bare = NSBundle::bundleWithPath(kFixture + "/data");
    ASSERT_TRUE(bare);
    EXPECT_FALSE(bare->bundleIdentifier());
    EXPECT_EQ(bare->infoDictionary().count(), 0u);
}

TEST_F(NSBundleTest, LocalizedStringsFallBackToValueThenKey)
{
    auto bundle = NSBundle::mainBundle();
    auto sub = NSBundle::bundleWithPath(kFixture + "/Sub.bundle");
    struct Case {
        Ref<NSBundle> bundle;
        std::string key, value, table, expected;
    };
    const Case cases[] = {
        { bundle, "Close", "", "", "Close" },
        { bundle, "Quote", "", "", "Say \"hi\"\n" },
        { bundle, "Unicode", "", "Localizable", "caf\u00e9" },
        { bundle, "Search", "", "", "Find" },
        { bundle, "Not translated", "", "", "Not translated" },
        { bundle, "Not translated", "Default", "", "Default" },
        { bundle, "Only in base", "", "", "Only in base" }, // en.lproj's table wins as a whole
        { bundle, "Close", "", "NoSuchTable", "Close" },
        { sub, "Dismiss", "", "VNNetworking", "Close it" },
        { sub, "%@ Error: %d", "", "VNNetworking", "%@ failed: %d" },
        { sub, "Error", "", "VNNetworking", "Error" },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.key + " / " + c.table);
        EXPECT_EQ(c.bundle->localizedStringForKey(c.key, c.value, c.table), c.expected);
    }
    EXPECT_EQ(NSLocalizedString("Search"), "Find");
    EXPECT_EQ(NSLocalizedStringFromTableInBundle("Dismiss", "VNNetworking", sub), "Close it");

    NSBundle::setLocalizationOrder({ "Base" });
    NSBundle::setMainBundlePath(kFixture); // a fresh bundle, without cached tables
    EXPECT_EQ(NSBundle::mainBundle()->localizedStringForKey("Only in base", "", ""), "from Base");
}
