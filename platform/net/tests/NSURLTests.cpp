#include "foundation/NSError.h"
#include "foundation/Sandbox.h"
#include "net/NSURL.h"

#include <gtest/gtest.h>

#include <fstream>

namespace {

TEST(NSURL, ParsesStrictlyAndAnswersComponents)
{
    struct Case {
        const char* text;
        bool valid;
        const char* scheme;
        const char* host;
        int port; // -1: none
        const char* path;
        const char* query; // nullptr: none
        const char* last;
        const char* extension;
    } cases[] = {
        { "http://user:pw@data.example.com:8080/a/b/c.json?x=1&y=%20#frag", true, "http", "data.example.com", 8080,
            "/a/b/c.json", "x=1&y=%20", "c.json", "json" },
        { "https://example.com", true, "https", "example.com", -1, "", nullptr, "", "" },
        { "https://example.com/dir/", true, "https", "example.com", -1, "/dir", nullptr, "dir", "" },
        { "http://[::1]:80/x", true, "http", "[::1]", 80, "/x", nullptr, "x", "" },
        { "mailto:someone@example.com", true, "mailto", "", -1, "someone@example.com", nullptr, "someone@example.com",
            "com" },
        { "relative/path.png", true, "", "", -1, "relative/path.png", nullptr, "path.png", "png" },
        { "/a%20b/c", true, "", "", -1, "/a b/c", nullptr, "c", "" },
        { "", false },
        { "http://exa mple.com/", false },
        { "http://example.com/ü", false },
        { "http://example.com/%zz", false },
        { "http://example.com/%4", false },
        { "http://example.com:99999/", false },
        { "http://example.com:8a/", false },
        { "1http://example.com/", false },
        { "http://[::1/", false },
        { "http://example.com/a\"b", false },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        auto url = NSURL::URLWithString(c.text);
        ASSERT_EQ(bool(url), c.valid);
        if (!url)
            continue;
        EXPECT_EQ(url->absoluteString(), c.text);
        EXPECT_EQ(url->scheme(), c.scheme);
        EXPECT_EQ(url->host(), c.host);
        EXPECT_EQ(url->port().value_or(-1), c.port);
        EXPECT_EQ(url->path(), c.path);
        EXPECT_EQ(url->query().has_value(), c.query != nullptr);
        if (c.query) {
            EXPECT_EQ(*url->query(), c.query);
        }
        EXPECT_EQ(url->lastPathComponent(), c.last);
        EXPECT_EQ(url->pathExtension(), c.extension);
    }
}

TEST(NSURL, ResolvesReferencesAsRFC3986Says)
{
    // The normal and abnormal examples of the standard, against its base.
    auto base = NSURL::URLWithString("http://a/b/c/d;p?q");
    ASSERT_TRUE(base);
    struct Case {
        const char* reference;
        const char* resolved;
    } cases[] = {
        { "g:h", "g:h" },
        { "g", "http://a/b/c/g" },
        { "./g", "http://a/b/c/g" },
        { "g/", "http://a/b/c/g/" },
        { "/g", "http://a/g" },
        { "//g", "http://g" },
        { "?y", "http://a/b/c/d;p?y" },
        { "g?y", "http://a/b/c/g?y" },
        { "#s", "http://a/b/c/d;p?q#s" },
        { "g#s", "http://a/b/c/g#s" },
        { ";x", "http://a/b/c/;x" },
        { "", "http://a/b/c/d;p?q" },
        { ".", "http://a/b/c/" },
        { "./", "http://a/b/c/" },
        { "..", "http://a/b/" },
        { "../", "http://a/b/" },
        { "../g", "http://a/b/g" },
        { "../..", "http://a/" },
        { "../../g", "http://a/g" },
        { "../../../g", "http://a/g" },
        { "../../../../g", "http://a/g" },
        { "/./g", "http://a/g" },
        { "/../g", "http://a/g" },
        { "g.", "http://a/b/c/g." },
        { ".g", "http://a/b/c/.g" },
        { "g..", "http://a/b/c/g.." },
        { "./../g", "http://a/b/g" },
        { "./g/.", "http://a/b/c/g/" },
        { "g/./h", "http://a/b/c/g/h" },
        { "g/../h", "http://a/b/c/h" },
        { "g;x=1/./y", "http://a/b/c/g;x=1/y" },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.reference);
        auto url = NSURL::URLWithStringRelativeToURL(c.reference, base);
        ASSERT_TRUE(url);
        EXPECT_EQ(url->absoluteString(), c.resolved);
        EXPECT_EQ(url->relativeString(), c.reference);
    }
    // The trailing slash of a base decides whether its last segment is kept.
    EXPECT_EQ(
        NSURL::URLWithStringRelativeToURL("planes", NSURL::URLWithString("http://api.example/v1/"))->absoluteString(),
        "http://api.example/v1/planes");
    EXPECT_EQ(
        NSURL::URLWithStringRelativeToURL("planes", NSURL::URLWithString("http://api.example/v1"))->absoluteString(),
        "http://api.example/planes");
    EXPECT_FALSE(NSURL::URLWithStringRelativeToURL("a b", base));
}

TEST(NSURL, AppendsComponentsAndKnowsFileURLs)
{
    auto base = NSURL::URLWithString("http://example.com/api");
    struct Case {
        std::string component;
        const char* expected;
    } cases[] = {
        { "", "http://example.com/api/" },
        { "planes", "http://example.com/api/planes" },
        { "a b", "http://example.com/api/a%20b" },
        { "x/y", "http://example.com/api/x/y" },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.component);
        EXPECT_EQ(base->URLByAppendingPathComponent(c.component)->absoluteString(), c.expected);
    }
    EXPECT_EQ(NSURL::URLWithString("http://example.com/api/")->URLByAppendingPathComponent("x")->absoluteString(),
        "http://example.com/api/x");

    std::string path = NSTemporaryDirectory() + "reach me.txt";
    std::ofstream(path) << "here";
    auto file = NSURL::fileURLWithPath(path);
    EXPECT_TRUE(file->isFileURL());
    EXPECT_EQ(file->path(), path);
    EXPECT_EQ(file->absoluteString().rfind("file:///", 0), 0u);
    EXPECT_NE(file->absoluteString().find("reach%20me.txt"), std::string::npos);
    Ref<NSError> error;
    EXPECT_TRUE(file->checkResourceIsReachableAndReturnError(&error));
    EXPECT_FALSE(error);
    EXPECT_FALSE(NSURL::fileURLWithPath(path + ".gone")->checkResourceIsReachableAndReturnError(&error));
    ASSERT_TRUE(error);
    EXPECT_EQ(error->code(), 260);
    EXPECT_FALSE(NSURL::URLWithString("http://example.com/")->checkResourceIsReachableAndReturnError(&error));
    EXPECT_EQ(error->code(), 262);
    EXPECT_TRUE(NSURL::fileURLWithPathIsDirectory("/tmp", true)->hasDirectoryPath());
}

} // namespace
