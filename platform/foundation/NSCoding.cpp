#include "foundation/NSCoding.h"

#include "foundation/NSObject.h"

#include <map>
#include <mutex>
#include <string>

namespace {

struct CodingRegistry {
    std::mutex lock;
    std::map<std::string, NSCodingFactory, std::less<>> factories;
};

CodingRegistry& codingRegistry()
{
    static CodingRegistry s_registry;
    return s_registry;
}

} // namespace

bool registerCodingClass(Class cls, NSCodingFactory factory)
{
    // Keep an existing registration: it may carry a creation factory.
    if (!NSClassFromString(cls->name))
        registerClass(cls);
    auto& r = codingRegistry();
    std::lock_guard lock(r.lock);
    r.factories[cls->name] = std::move(factory);
    return true;
}

NSCodingFactory codingFactoryForClassName(std::string_view name)
{
    auto& r = codingRegistry();
    std::lock_guard lock(r.lock);
    auto it = r.factories.find(name);
    return it == r.factories.end() ? NSCodingFactory {} : it->second;
}
