#pragma once

#include "foundation/NSObject.h"
#include "foundation/NSPredicate.h"

#include "foundation/Value.h"

#include <mutex>

class NSManagedObjectContext;
class UIImage;

// The aircraft filters' combined predicate, which the live feed applies to the planes it hands
// out, and the filter button's badge. The filters are the KESTFilter rows of the main context;
// a filter is active only when its "filterActive" holds YES. The filter screens build the
// predicate from the active filters' details and set it; it is cleared whenever no filter is
// active. Any thread, except filterIconWithBadge (main thread).
class KESTFilterDataManager : public NSObject {
    VX_OBJECT(KESTFilterDataManager, NSObject)
public:
    explicit KESTFilterDataManager(Passkey);

    static Ref<KESTFilterDataManager> sharedInstance();

    // The active filters' predicate, or nullptr when no filter is active.
    Ref<NSPredicate> predicate() const;
    void setPredicate(Ref<NSPredicate> predicate);
    // The main context, given at launch; the cached predicate is recomputed at once.
    void setManagedObjectContext(Ref<NSManagedObjectContext> context);
    Ref<NSManagedObjectContext> managedObjectContext() const;
    // Recomputes the cached predicate from the active filters: none active, none cached.
    void recacheFilters();

    // The stored filters (only the active ones unless includingInactive), as an array of
    // managed objects; nil without a context or on a fetch error.
    Value filtersIncludingInactive(bool includingInactive) const;
    // The filter button image: "filterListMenu" with a badge counting the active filters, or the
    // plain icon when none is active.
    Ref<UIImage> filterIconWithBadge() const;

private:
    mutable std::mutex m_lock;
    Ref<NSPredicate> m_predicate;
    Ref<NSManagedObjectContext> m_managedObjectContext;
};
