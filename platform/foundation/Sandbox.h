#pragma once

#include <cstdint>
#include <string>
#include <vector>

// The application's sandbox: one directory per process that stands in for the device's
// application home. Documents, Library (with Caches and Preferences) and tmp live inside it.
// The root is $VX_SANDBOX when set, else "$HOME/.volantrix"; tests install a temporary one
// (platform/testing TemporarySandbox). Any thread.
namespace Sandbox {

// The current root, without a trailing slash. The standard subdirectories (Documents,
// Library, Library/Caches, Library/Preferences, tmp) are created the first time a root is used.
std::string root();
// Installs a root; an empty path returns to the default. Answers the root set before (empty
// when the default was in use), so that setRoot(previous) restores exactly.
std::string setRoot(std::string path);
// The root used when none was set: $VX_SANDBOX, else "$HOME/.volantrix".
std::string defaultRoot();

} // namespace Sandbox

enum NSSearchPathDirectory : uint32_t {
    NSApplicationDirectory = 1,
    NSLibraryDirectory = 5,
    NSDocumentDirectory = 9,
    NSCachesDirectory = 13,
    NSApplicationSupportDirectory = 14,
};

enum NSSearchPathDomainMask : uint32_t {
    NSUserDomainMask = 1,
    NSLocalDomainMask = 2,
    NSNetworkDomainMask = 4,
    NSSystemDomainMask = 8,
    NSAllDomainsMask = 0x0ffff,
};

// The directories of that kind in the given domains. Only the user domain exists in the
// sandbox; other domains and unknown directories answer an empty list. Without tilde expansion
// the paths start with "~" standing for the home directory.
std::vector<std::string> NSSearchPathForDirectoriesInDomains(
    NSSearchPathDirectory directory, NSSearchPathDomainMask domainMask, bool expandTilde);
// The sandbox root.
std::string NSHomeDirectory();
// The sandbox's tmp directory, ending with "/".
std::string NSTemporaryDirectory();
