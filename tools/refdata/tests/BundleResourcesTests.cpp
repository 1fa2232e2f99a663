#include "vxbuild/TestPaths.h"

#include <gtest/gtest.h>

#include <fstream>
#include <regex>
#include <set>
#include <sstream>

namespace {

std::string readFile(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

// Parses a string table: comment lines and "key" = "value"; lines. Returns the keys, failing
// the test on any other line or a key given twice.
std::set<std::string> stringTableKeys(const std::string& path)
{
    std::set<std::string> keys;
    std::istringstream lines(readFile(path));
    std::string line;
    const std::regex entry(R"re(^"((?:[^"\\]|\\.)*)" = "((?:[^"\\]|\\.)*)";$)re");
    int number = 0;
    while (std::getline(lines, line)) {
        ++number;
        if (line.empty() || line.rfind("/*", 0) == 0)
            continue;
        std::smatch match;
        EXPECT_TRUE(std::regex_match(line, match, entry)) << path << ":" << number << ": " << line;
        if (!match.empty()) {
            EXPECT_TRUE(keys.insert(match[1]).second) << "twice: " << match[1];
        }
    }
    return keys;
}

} // namespace

TEST(BundleResources, StringTablesHoldTheTextsTheScreensLookUp)
{
    auto main = stringTableKeys(VX_SOURCE_DIR "/resources/en.lproj/Localizable.strings");
    auto networking = stringTableKeys(VX_SOURCE_DIR "/resources/en.lproj/VNNetworking.strings");
    // A sample across the screens, including escaped line breaks and format placeholders.
    for (const char* key : { "Not currently tracked", "This flight is out of range or not currently tracked.",
             "Continue", "Unknown", "N/A", "%d of %d visible", "%d mins ago", "never",
             "Volantrix 7.0\\nDesigned for iOS 7", "Flight %@ from %@ to %@ is out of range or not currently tracked.",
             "Premium economy", "Cargo/Mail (surface)", "Chart data is degraded and is not suitable for navigation",
             "Manage kestravon ID", "Codeshares" })
        EXPECT_TRUE(main.count(key)) << key;
    for (const char* key : { "Request failed: %@ (%d)", "Request failed: unacceptable content-type: %@",
             "Expected URL to be a file URL", "File URL not reachable.", "Unknown", "Not Reachable",
             "Reachable via WWAN", "Reachable via WiFi", "Dismiss", "Error", "%@ Error: %d" })
        EXPECT_TRUE(networking.count(key)) << key;
}

TEST(BundleResources, InfoPlistNamesTheApplication)
{
    std::string plist = readFile(VX_SOURCE_DIR "/resources/Info.plist");
    struct Entry {
        const char* key;
        const char* value;
    };
    const Entry entries[] = { { "CFBundleIdentifier", "com.kestravon.volantrix" },
        { "CFBundleExecutable", "Volantrix" }, { "CFBundleDisplayName", "Volantrix" },
        { "CFBundleShortVersionString", "7.0" }, { "CFBundleVersion", "7.0.0" } };
    for (const auto& entry : entries) {
        SCOPED_TRACE(entry.key);
        std::regex pattern(std::string("<key>") + entry.key + R"(</key>\s*<string>)" + entry.value + "</string>");
        EXPECT_TRUE(std::regex_search(plist, pattern));
    }
    for (const char* value : { "vxvolantrix", "vxvolantrixbeta", "fetch", "remote-notification" })
        EXPECT_NE(plist.find(std::string("<string>") + value + "</string>"), std::string::npos) << value;
}
