#include "uikit/UINib.h"

#include "foundation/Locked.h"
#include "foundation/NSException.h"

#include <map>

namespace {
// The registered layouts by name. Layouts are registered and looked up from any thread.
Locked<std::map<std::string, UILayoutBuilder>>& layouts()
{
    static Locked<std::map<std::string, UILayoutBuilder>> s_layouts;
    return s_layouts;
}

UILayoutBuilder builderNamed(const std::string& name)
{
    return layouts().with([&](const std::map<std::string, UILayoutBuilder>& all) -> UILayoutBuilder {
        auto it = all.find(name);
        return it == all.end() ? nullptr : it->second;
    });
}
} // namespace

void UILayoutRegistry::registerLayout(const std::string& name, UILayoutBuilder builder)
{
    layouts().with([&](std::map<std::string, UILayoutBuilder>& all) { all[name] = std::move(builder); });
}

bool UILayoutRegistry::hasLayout(const std::string& name)
{
    return builderNamed(name) != nullptr;
}

void UILayoutRegistry::unregisterLayout(const std::string& name)
{
    layouts().with([&](std::map<std::string, UILayoutBuilder>& all) { all.erase(name); });
}

Ref<UINib> UINib::nibWithNibNameBundle(const std::string& name, const Ref<NSBundle>&)
{
    auto builder = builderNamed(name);
    if (!builder)
        return nullptr;
    auto nib = make<UINib>();
    nib->m_name = name;
    nib->m_builder = std::move(builder);
    return nib;
}

std::vector<Value> UINib::instantiateWithOwnerOptions(const Ref<NSObject>& owner, const Value& options) const
{
    return m_builder ? m_builder(owner, options) : std::vector<Value> {};
}

std::vector<Value> NSBundle_UINibLoading::loadNibNamedOwnerOptions(
    const Ref<NSBundle>& bundle, const std::string& name, const Ref<NSObject>& owner, const Value& options)
{
    auto nib = UINib::nibWithNibNameBundle(name, bundle);
    if (!nib)
        NSException::raise("NSInternalInconsistencyException",
            "Could not load NIB in bundle: 'NSBundle (loaded)' with name '" + name + "'");
    return nib->instantiateWithOwnerOptions(owner, options);
}

VX_REGISTER_CLASS(UINib);
