#pragma once

#include "foundation/NSObject.h"
#include "foundation/Value.h"

#include <functional>
#include <string>
#include <vector>

class NSBundle;

// Interface layouts. A layout is a builder function registered under a layout name: given the
// owner (the platform's File's Owner) and the options, it makes the layout's objects, connects
// the owner's outlets itself and answers the top-level objects in order. Controllers load the
// layout named like them, and tables and collection views register cells with them.
// Registration: any thread before use; loading: main thread only.
using UILayoutBuilder = std::function<std::vector<Value>(const Ref<NSObject>& owner, const Value& options)>;

namespace UILayoutRegistry {
void registerLayout(const std::string& name, UILayoutBuilder builder);
bool hasLayout(const std::string& name);
// Test-only: removes a layout.
void unregisterLayout(const std::string& name);
} // namespace UILayoutRegistry

// Registers a layout at start-up, in a .cpp: VX_REGISTER_LAYOUT("KESTCheckCell", builderFunction);
#define VX_REGISTER_LAYOUT(Name, Builder)                                                                              \
    static const bool VX_LAYOUT_CONCAT(s_vxLayout_, __LINE__)                                                          \
        = (::UILayoutRegistry::registerLayout(Name, Builder), true)
#define VX_LAYOUT_CONCAT_INNER(a, b) a##b
#define VX_LAYOUT_CONCAT(a, b) VX_LAYOUT_CONCAT_INNER(a, b)

// A loaded layout, instantiated any number of times.
class UINib : public NSObject {
    VX_OBJECT(UINib, NSObject)
public:
    explicit UINib(Passkey key)
        : NSObject(key)
    {
    }
    // nullptr when no layout has the name.
    static Ref<UINib> nibWithNibNameBundle(const std::string& name, const Ref<NSBundle>& bundle);
    const std::string& name() const { return m_name; }
    std::vector<Value> instantiateWithOwnerOptions(const Ref<NSObject>& owner, const Value& options) const;

private:
    std::string m_name;
    UILayoutBuilder m_builder;
};

// The bundle's layout loading. Raises "NSInternalInconsistencyException" when no layout has the
// name, as the platform does for a missing nib.
namespace NSBundle_UINibLoading {
std::vector<Value> loadNibNamedOwnerOptions(
    const Ref<NSBundle>& bundle, const std::string& name, const Ref<NSObject>& owner, const Value& options);
} // namespace NSBundle_UINibLoading
