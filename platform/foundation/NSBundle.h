#pragma once

#include "foundation/NSObject.h"
#include "foundation/Value.h"

#include <map>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

// A directory of resources: the application's main bundle (the build's resources/ folder, or
// $VX_RESOURCES) and bundles inside it such as "VNNetworking.bundle". Resources are looked up
// at the top level first, then in the localization folders ("en.lproj", then "Base.lproj").
// Paths stand in for the platform's URLs. Any thread.
class NSBundle : public NSObject {
    VX_OBJECT(NSBundle, NSObject)
public:
    NSBundle(Passkey key, std::string path);

    static Ref<NSBundle> mainBundle();
    // Points the main bundle at another directory (tests); an empty path restores the default
    // ($VX_RESOURCES, else the source tree's resources/). Bundles made before keep their path.
    static void setMainBundlePath(std::string path);
    // The bundle at a directory, nil when there is none. The same path answers the same bundle.
    static Ref<NSBundle> bundleWithPath(const std::string& path);

    const std::string& bundlePath() const { return m_path; }
    const std::string& resourcePath() const { return m_path; }

    // `name` may carry its extension when `type` is empty. nullopt when not found.
    std::optional<std::string> pathForResource(const std::string& name, const std::string& type) const;
    std::optional<std::string> pathForResource(
        const std::string& name, const std::string& type, const std::string& directory) const;
    std::optional<std::string> URLForResource(const std::string& name, const std::string& extension) const
    {
        return pathForResource(name, extension);
    }
    std::optional<std::string> URLForResource(
        const std::string& name, const std::string& extension, const std::string& subdirectory) const
    {
        return pathForResource(name, extension, subdirectory);
    }
    // Every file with that extension in the directory (top level, then localizations), sorted.
    std::vector<std::string> pathsForResourcesOfType(const std::string& type, const std::string& directory) const;

    // Info.plist (XML or binary); an empty dictionary when there is none.
    Value infoDictionary() const;
    // The localized Info.plist values (InfoPlist.strings); nil when there are none.
    Value localizedInfoDictionary() const;
    // The localized value when there is one, else the Info.plist value.
    Value objectForInfoDictionaryKey(const std::string& key) const;
    // "CFBundleIdentifier" from Info.plist.
    std::optional<std::string> bundleIdentifier() const;

    // The text for `key` in the strings table `table` ("Localizable" when empty). A missing key
    // answers `value` when it is not empty, else the key itself.
    std::string localizedStringForKey(const std::string& key, const std::string& value, const std::string& table) const;

    // The localization folders searched, in order; {"en", "Base"} unless set.
    static std::vector<std::string> localizationOrder();
    static void setLocalizationOrder(std::vector<std::string> order);

private:
    std::optional<std::string> findFile(const std::string& fileName, const std::string& directory) const;
    const Value& stringsTable(const std::string& table) const;

    std::string m_path;
    mutable std::mutex m_lock;
    mutable std::optional<Value> m_info;
    mutable std::optional<Value> m_localizedInfo;
    mutable std::map<std::string, Value> m_tables;
};

// The platform's localization macros, as functions (the comment is for translators only).
std::string NSLocalizedString(const std::string& key, const std::string& comment = {});
std::string NSLocalizedStringFromTable(
    const std::string& key, const std::string& table, const std::string& comment = {});
std::string NSLocalizedStringFromTableInBundle(
    const std::string& key, const std::string& table, const Ref<NSBundle>& bundle, const std::string& comment = {});
