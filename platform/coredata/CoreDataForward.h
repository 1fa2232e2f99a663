#pragma once

#include "foundation/FoundationForward.h"

// Forward declarations of the managed object layer.
class NSAttributeDescription;
class NSRelationshipDescription;
class NSEntityDescription;
class NSManagedObjectModel;
class NSManagedObjectID;
class NSManagedObject;
class NSManagedObjectContext;
class NSFetchRequest;
class NSPersistentStore;
class NSPersistentStoreCoordinator;
