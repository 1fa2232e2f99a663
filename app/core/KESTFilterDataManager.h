#pragma once

#include "foundation/NSObject.h"
#include "foundation/NSPredicate.h"
#include "foundation/Value.h"

#include <functional>
#include <mutex>
#include <optional>
#include <string>

class KESTFilter;
class NSManagedObjectContext;
class UIImage;

// The saved filters' one compiled predicate, which the live feed applies to the planes it hands
// out, the match count of a single filter, and the filter icon with its badge. The filters are
// the KESTFilter rows of the main context; a filter takes part only when filterActive holds YES.
// Main thread only, except predicate() (any thread). Counts run on the low-priority global
// queue and report on the main queue.
class KESTFilterDataManager : public NSObject {
    VX_OBJECT(KESTFilterDataManager, NSObject)
public:
    explicit KESTFilterDataManager(Passkey);

    static Ref<KESTFilterDataManager> sharedInstance();

    // The cached predicate of all active filters, or nullptr when no filter is active. Any thread.
    Ref<NSPredicate> predicate() const;
    // Test seam: replaces the cached predicate until the next recacheFilters.
    void setPredicate(Ref<NSPredicate> predicate);

    // The main context, given at launch; the cached predicate is rebuilt at once.
    void setManagedObjectContext(Ref<NSManagedObjectContext> context);
    Ref<NSManagedObjectContext> managedObjectContext() const;
    // A private-queue child of the main context, made on first use; nullptr without a main
    // context.
    Ref<NSManagedObjectContext> filterMOC();
    void setFilterMOC(Ref<NSManagedObjectContext> context);

    // Rebuilds the cached predicate from the active filters of the main context, unsaved
    // changes included.
    void recacheFilters();

    // The stored filters (only the active ones unless includingInactive), in store order, as an
    // array of KESTFilter objects; nil without a context or on a fetch error.
    Value filtersIncludingInactive(bool includingInactive) const;

    // Counts the live planes that this one filter lets through (whether or not it is active)
    // and hands the count to `callback` on the main queue; 0 when its predicate text cannot be
    // parsed or evaluated. The filter may live outside any context.
    void calculateNumberOfPlanesWithCallback(const Ref<KESTFilter>& filter, std::function<void(int32_t)> callback);

    // The filter icon with a badge counting the active filters, or the plain icon when none is.
    Ref<UIImage> filterIconWithBadge() const;
    // "filterListMenu" with `value` drawn in a badge at its top right, or plain for nullopt.
    Ref<UIImage> filterIconWithBadgeValue(const std::optional<std::string>& value) const;

    // The predicate text of one filter: the range terms, then one parenthesised OR group per
    // kind of value condition (airline, aircraft, airport, squawk), joined by " AND ". Values
    // are escaped so that a quote or backslash in them stays inside the literal. nullopt for a
    // filter without any condition that contributes a term.
    static std::optional<std::string> clauseForFilter(const Ref<KESTFilter>& filter);

private:
    mutable std::mutex m_lock;
    Ref<NSPredicate> m_predicate;
    Ref<NSManagedObjectContext> m_managedObjectContext;
    Ref<NSManagedObjectContext> m_filterMOC;
};
