#pragma once

#include "foundation/NSObject.h"
#include "foundation/Value.h"

// The objects the networking categories attach to the views they extend, one key each.

// The object of class T attached to `owner` under `key`; nil without an owner or such an object.
template <typename T> Ref<T> associatedObjectOf(const Ref<NSObject>& owner, const void* key)
{
    return owner ? owner->associatedObject(key).objectAs<T>() : nullptr;
}

// Attaches `object` to `owner` under `key`, or detaches what is there when `object` is nil.
// Without an owner nothing happens.
inline void setAssociatedObjectOf(const Ref<NSObject>& owner, const void* key, const Ref<NSObject>& object)
{
    if (owner)
        owner->setAssociatedObject(key, object ? Value(object) : Value());
}
