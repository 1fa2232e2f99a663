#include "testing/TestEnvironment.h"

#include "foundation/NSBundle.h"
#include "foundation/NSFileManager.h"
#include "foundation/NSLocale.h"
#include "foundation/NSTimeZone.h"
#include "foundation/NSUserDefaults.h"
#include "foundation/Random.h"
#include "foundation/Sandbox.h"
#include "foundation/ThreadChecks.h"

#include <cstdlib>
#include <stdexcept>

namespace {
std::string s_root;
std::string s_previousRoot;
} // namespace

namespace TestEnvironment {

void install()
{
    if (!s_root.empty())
        return;
    const char* base = std::getenv("TMPDIR");
    std::string pattern = std::string(base && *base ? base : "/tmp") + "/vx-tests-XXXXXX";
    if (!::mkdtemp(pattern.data()))
        throw std::runtime_error("cannot make the test sandbox in " + pattern);
    s_root = pattern;
    s_previousRoot = Sandbox::setRoot(s_root);
    NSUserDefaults::resetStandardUserDefaults();
    // The main bundle follows $VX_RESOURCES (set by CTest), else the source tree's resources/.
    NSBundle::setMainBundlePath({});
    NSBundle::setLocalizationOrder({});
    Random::reset();
    // Every test program sees the same locale and zone (and so the languages "en"), whatever
    // the machine has.
    NSLocale::setCurrentLocaleForTesting("en_US");
    NSTimeZone::setDefaultTimeZoneForTesting("UTC");
    // Code that must run on the main thread checks it in every test program.
    setMainThreadChecksEnabled(true);
}

void uninstall()
{
    if (s_root.empty())
        return;
    Sandbox::setRoot(s_previousRoot);
    NSUserDefaults::resetStandardUserDefaults();
    NSLocale::resetForTesting();
    NSTimeZone::resetForTesting();
    NSFileManager::defaultManager()->removeItemAtPath(s_root, nullptr);
    s_root.clear();
}

std::string sandboxRoot()
{
    return s_root;
}

} // namespace TestEnvironment
