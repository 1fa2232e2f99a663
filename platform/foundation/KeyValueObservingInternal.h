#pragma once

#include "foundation/FoundationForward.h"

// Private to the object model: the observation registry's hook for object destruction.
namespace KeyValueObserving {

// Ends every observation rooted at or made by `object` and drops the links that pass through
// it. Called from ~NSObject; `object` is no longer reachable through a Ref.
void forgetObject(const NSObject* object);

} // namespace KeyValueObserving
