#include "foundation/NSBundle.h"

#include "foundation/NSDataFile.h"
#include "foundation/NSPropertyListSerialization.h"
#include "vxbuild/Paths.h"

#include <algorithm>
#include <cstdlib>
#include <dirent.h>
#include <sys/stat.h>
#include <unistd.h>

#ifndef VX_SOURCE_DIR
#define VX_SOURCE_DIR "."
#endif

namespace {

std::mutex s_lock;
std::string s_mainPath; // empty: the default
Ref<NSBundle> s_main;
std::map<std::string, Ref<NSBundle>> s_bundles;
std::vector<std::string> s_localizations { "en", "Base" };

// $VX_RESOURCES, else the bundle the build assembled, else the source tree's resources.
std::string defaultMainPath()
{
    if (const char* env = std::getenv("VX_RESOURCES"); env && *env)
        return env;
#ifdef VX_BUILD_RESOURCES_DIR
    if (::access(VX_BUILD_RESOURCES_DIR "/Info.plist", R_OK) == 0)
        return VX_BUILD_RESOURCES_DIR;
#endif
    return VX_SOURCE_DIR "/resources";
}

std::string normalized(std::string path)
{
    while (path.size() > 1 && path.back() == '/')
        path.pop_back();
    return path;
}

bool isDirectory(const std::string& path)
{
    struct stat st;
    return ::stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

bool isFile(const std::string& path)
{
    struct stat st;
    return ::stat(path.c_str(), &st) == 0;
}

std::string join(const std::string& a, const std::string& b)
{
    if (b.empty())
        return a;
    if (a.empty())
        return b;
    return a.back() == '/' ? a + b : a + "/" + b;
}

Value readPropertyList(const std::string& path)
{
    Value data = NSData::dataWithContentsOfFile(path);
    if (data.isNil())
        return {};
    return NSPropertyListSerialization::propertyListWithData(data, 0, nullptr, nullptr);
}

} // namespace

NSBundle::NSBundle(Passkey key, std::string path)
    : NSObject(key)
    , m_path(std::move(path))
{
}

Ref<NSBundle> NSBundle::mainBundle()
{
    std::lock_guard lock(s_lock);
    if (!s_main)
        s_main = make<NSBundle>(normalized(s_mainPath.empty() ? defaultMainPath() : s_mainPath));
    return s_main;
}

void NSBundle::setMainBundlePath(std::string path)
{
    std::lock_guard lock(s_lock);
    s_mainPath = std::move(path);
    s_main = nullptr;
    s_bundles.clear();
}

Ref<NSBundle> NSBundle::bundleWithPath(const std::string& path)
{
    std::string key = normalized(path);
    if (key.empty() || !isDirectory(key))
        return nullptr;
    std::lock_guard lock(s_lock);
    if (s_main && s_main->m_path == key)
        return s_main;
    auto& bundle = s_bundles[key];
    if (!bundle)
        bundle = make<NSBundle>(key);
    return bundle;
}

std::vector<std::string> NSBundle::localizationOrder()
{
    std::lock_guard lock(s_lock);
    return s_localizations;
}

void NSBundle::setLocalizationOrder(std::vector<std::string> order)
{
    std::lock_guard lock(s_lock);
    s_localizations = order.empty() ? std::vector<std::string> { "en", "Base" } : std::move(order);
}

std::optional<std::string> NSBundle::findFile(const std::string& fileName, const std::string& directory) const
{
    // A name that climbs out of the bundle is not a resource.
    if (fileName.empty() || fileName.find("..") != std::string::npos || directory.find("..") != std::string::npos)
        return std::nullopt;
    std::string top = join(join(m_path, directory), fileName);
    if (isFile(top))
        return top;
    for (const auto& language : localizationOrder()) {
        std::string localized = join(join(join(m_path, directory), language + ".lproj"), fileName);
        if (isFile(localized))
            return localized;
    }
    return std::nullopt;
}

std::optional<std::string> NSBundle::pathForResource(const std::string& name, const std::string& type) const
{
    return pathForResource(name, type, {});
}

std::optional<std::string> NSBundle::pathForResource(
    const std::string& name, const std::string& type, const std::string& directory) const
{
    if (name.empty())
        return std::nullopt; // the platform answers the first file of the type; nothing asks for that
    std::string extension = !type.empty() && type.front() == '.' ? type.substr(1) : type;
    return findFile(extension.empty() ? name : name + "." + extension, directory);
}

std::vector<std::string> NSBundle::pathsForResourcesOfType(const std::string& type, const std::string& directory) const
{
    std::string suffix = type.empty() ? std::string() : "." + (type.front() == '.' ? type.substr(1) : type);
    auto collect = [&](const std::string& folder) {
        std::vector<std::string> found;
        DIR* dir = ::opendir(folder.c_str());
        if (!dir)
            return found;
        while (dirent* entry = ::readdir(dir)) {
            std::string name = entry->d_name;
            if (name == "." || name == "..")
                continue;
            if (suffix.empty() || (name.size() > suffix.size() && name.ends_with(suffix)))
                found.push_back(join(folder, name));
        }
        ::closedir(dir);
        std::sort(found.begin(), found.end());
        return found;
    };
    std::string base = join(m_path, directory);
    std::vector<std::string> paths = collect(base);
    for (const auto& language : localizationOrder()) {
        auto more = collect(join(base, language + ".lproj"));
        paths.insert(paths.end(), more.begin(), more.end());
    }
    return paths;
}

Value NSBundle::infoDictionary() const
{
    std::lock_guard lock(m_lock);
    if (!m_info) {
        Value info = readPropertyList(join(m_path, "Info.plist"));
        m_info = info.isDictionary() ? info : Value::dictionary();
    }
    return *m_info;
}

Value NSBundle::localizedInfoDictionary() const
{
    auto path = findFile("InfoPlist.strings", {});
    std::lock_guard lock(m_lock);
    if (!m_localizedInfo) {
        Value table = path ? readPropertyList(*path) : Value();
        m_localizedInfo = table.isDictionary() ? table : Value();
    }
    return *m_localizedInfo;
}

Value NSBundle::objectForInfoDictionaryKey(const std::string& key) const
{
    Value localized = localizedInfoDictionary()[key];
    if (!localized.isNil())
        return localized;
    return infoDictionary()[key];
}

std::optional<std::string> NSBundle::bundleIdentifier() const
{
    const Value& identifier = infoDictionary()["CFBundleIdentifier"];
    if (!identifier.isString())
        return std::nullopt;
    return identifier.string();
}

const Value& NSBundle::stringsTable(const std::string& table) const
{
    {
        std::lock_guard lock(m_lock);
        auto it = m_tables.find(table);
        if (it != m_tables.end())
            return it->second;
    }
    // Localized tables first, then one at the top level.
    std::optional<std::string> path;
    for (const auto& language : localizationOrder()) {
        std::string candidate = join(join(m_path, language + ".lproj"), table + ".strings");
        if (isFile(candidate)) {
            path = candidate;
            break;
        }
    }
    if (!path && isFile(join(m_path, table + ".strings")))
        path = join(m_path, table + ".strings");
    Value contents = path ? readPropertyList(*path) : Value();
    std::lock_guard lock(m_lock);
    auto [it, inserted] = m_tables.emplace(table, contents.isDictionary() ? contents : Value::dictionary());
    return it->second; // std::map keeps element addresses stable
}

std::string NSBundle::localizedStringForKey(
    const std::string& key, const std::string& value, const std::string& table) const
{
    const Value& text = stringsTable(table.empty() ? "Localizable" : table)[key];
    if (text.isString())
        return text.string();
    return value.empty() ? key : value;
}

std::string NSLocalizedString(const std::string& key, const std::string&)
{
    return NSBundle::mainBundle()->localizedStringForKey(key, {}, {});
}

std::string NSLocalizedStringFromTable(const std::string& key, const std::string& table, const std::string&)
{
    return NSBundle::mainBundle()->localizedStringForKey(key, {}, table);
}

std::string NSLocalizedStringFromTableInBundle(
    const std::string& key, const std::string& table, const Ref<NSBundle>& bundle, const std::string&)
{
    if (!bundle)
        return key;
    return bundle->localizedStringForKey(key, {}, table);
}

VX_REGISTER_CLASS(NSBundle);
