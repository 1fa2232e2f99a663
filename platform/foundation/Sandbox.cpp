#include "foundation/Sandbox.h"

#include <cerrno>
#include <cstdlib>
#include <mutex>
#include <string_view>
#include <sys/stat.h>

namespace {

std::mutex s_lock;
std::string s_root; // empty: not chosen yet
bool s_explicit = false; // s_root was set rather than defaulted
std::string s_prepared; // the root whose subdirectories were last created

std::string trimTrailingSlashes(std::string path)
{
    while (path.size() > 1 && path.back() == '/')
        path.pop_back();
    return path;
}

void makeDirectories(const std::string& path)
{
    // mkdir -p: create each missing component; existing ones are fine.
    for (size_t i = 1; i <= path.size(); ++i) {
        if (i == path.size() || path[i] == '/')
            ::mkdir(path.substr(0, i).c_str(), 0755);
    }
}

void prepare(const std::string& root)
{
    for (const char* sub : { "/Documents", "/Library/Caches", "/Library/Preferences", "/tmp" })
        makeDirectories(root + sub);
}

} // namespace

namespace Sandbox {

std::string defaultRoot()
{
    if (const char* env = std::getenv("VX_SANDBOX"); env && *env)
        return trimTrailingSlashes(env);
    const char* home = std::getenv("HOME");
    return std::string(home && *home ? home : "/tmp") + "/.volantrix";
}

std::string root()
{
    std::lock_guard lock(s_lock);
    if (s_root.empty())
        s_root = defaultRoot();
    if (s_prepared != s_root) {
        prepare(s_root);
        s_prepared = s_root;
    }
    return s_root;
}

std::string setRoot(std::string path)
{
    std::lock_guard lock(s_lock);
    std::string previous = s_explicit ? s_root : std::string();
    s_explicit = !path.empty();
    s_root = path.empty() ? std::string() : trimTrailingSlashes(std::move(path));
    s_prepared.clear();
    return previous;
}

} // namespace Sandbox

std::vector<std::string> NSSearchPathForDirectoriesInDomains(
    NSSearchPathDirectory directory, NSSearchPathDomainMask domainMask, bool expandTilde)
{
    if (!(domainMask & NSUserDomainMask))
        return {};
    std::string_view sub;
    switch (directory) {
    case NSApplicationDirectory:
        sub = "Applications";
        break;
    case NSLibraryDirectory:
        sub = "Library";
        break;
    case NSDocumentDirectory:
        sub = "Documents";
        break;
    case NSCachesDirectory:
        sub = "Library/Caches";
        break;
    case NSApplicationSupportDirectory:
        sub = "Library/Application Support";
        break;
    default:
        return {};
    }
    std::string home = expandTilde ? Sandbox::root() : std::string("~");
    return { home + "/" + std::string(sub) };
}

std::string NSHomeDirectory()
{
    return Sandbox::root();
}

std::string NSTemporaryDirectory()
{
    return Sandbox::root() + "/tmp/";
}
