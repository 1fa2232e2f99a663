#pragma once

#include "NSObject.h"
#include "NSPredicate.h"

#include <mutex>

class NSManagedObjectContext;

// The aircraft filters' combined predicate, which the live feed applies to the planes it hands
// out. The filter screens and their store build and replace it; until they do there is none and
// every plane passes. Any thread.
class KESTFilterDataManager : public NSObject {
    VX_OBJECT(KESTFilterDataManager, NSObject)
public:
    explicit KESTFilterDataManager(Passkey);

    static Ref<KESTFilterDataManager> sharedInstance();

    // The active filters' predicate, or nullptr when no filter is active.
    Ref<NSPredicate> predicate() const;
    void setPredicate(Ref<NSPredicate> predicate);
    // The main context, given at launch.
    void setManagedObjectContext(Ref<NSManagedObjectContext> context);
    Ref<NSManagedObjectContext> managedObjectContext() const;

private:
    mutable std::mutex m_lock;
    Ref<NSPredicate> m_predicate;
    Ref<NSManagedObjectContext> m_managedObjectContext;
};
