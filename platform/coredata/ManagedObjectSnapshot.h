#pragma once

// Internal to the managed object layer.

#include "coredata/CoreDataForward.h"
#include "foundation/Value.h"

#include <map>
#include <string>

// The saved state of one object as a context's parent (or the store) sees it: attribute values
// (unset ones absent) and the targets of its to-one relationships (none absent). To-many
// relationships are not kept: they are the objects whose inverse to-one names this one.
struct ObjectSnapshot {
    Ref<NSManagedObjectID> objectID;
    std::map<std::string, Value> attributes;
    std::map<std::string, Ref<NSManagedObjectID>> toOne;
};
