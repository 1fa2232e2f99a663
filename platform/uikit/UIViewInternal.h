#pragma once

#include "foundation/NSObject.h"

#include <set>

// Helpers shared by the files that make up UIView. Internal to platform/uikit.
namespace UIViewInternal {

// Classes whose drawRect is the default one: their views are not displayed automatically.
std::set<Class>& nonDrawingClasses();

} // namespace UIViewInternal
