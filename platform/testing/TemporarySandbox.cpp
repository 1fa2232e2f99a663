#include "testing/TemporarySandbox.h"

#include "foundation/NSFileManager.h"
#include "foundation/NSUserDefaults.h"
#include "foundation/Sandbox.h"

#include <cstdlib>
#include <stdexcept>

namespace {

std::string makeTemporaryDirectory()
{
    const char* base = std::getenv("TMPDIR");
    std::string pattern = std::string(base && *base ? base : "/tmp") + "/vx-sandbox-XXXXXX";
    if (!::mkdtemp(pattern.data()))
        throw std::runtime_error("cannot make a temporary sandbox in " + pattern);
    return pattern;
}

} // namespace

TemporarySandbox::TemporarySandbox()
    : m_root(makeTemporaryDirectory())
{
    m_previous = Sandbox::setRoot(m_root);
    Sandbox::root(); // makes the standard subdirectories
    NSUserDefaults::resetStandardUserDefaults();
}

TemporarySandbox::~TemporarySandbox()
{
    Sandbox::setRoot(m_previous);
    NSUserDefaults::resetStandardUserDefaults();
    NSFileManager::defaultManager()->removeItemAtPath(m_root, nullptr);
}
