#pragma once

#include "coredata/NSManagedObject.h"

#include <string>
#include <vector>

class KESTFilterDetail;

// A saved filter: a row of the Core Data entity "KESTFilter" with its name, whether it takes
// part in the map's predicate (filterActive holds YES) and its conditions (the to-many
// relationship childFilter, inverse parentFilter). Used on its context's queue; a filter
// outside any context (an editor's live-count filter) on the main thread.
class KESTFilter : public NSManagedObject {
    VX_OBJECT(KESTFilter, NSManagedObject)
public:
    KESTFilter(Passkey key, Ref<NSEntityDescription> entity)
        : NSManagedObject(key, std::move(entity))
    {
    }

    // Makes the entity's objects of this class. Callable any number of times.
    static void registerClass();

    Value filterName() { return valueForKey("filterName"); }
    void setFilterName(const Value& value) { setValueForKey(value, "filterName"); }
    Value filterActive() { return valueForKey("filterActive"); }
    void setFilterActive(const Value& value) { setValueForKey(value, "filterActive"); }
    // The conditions, in the relationship's order; empty when there are none.
    std::vector<Ref<KESTFilterDetail>> childFilter();
    void addChildFilterObject(const Ref<KESTFilterDetail>& detail);

    // The share payload: pretty-printed JSON { name: [ condition, ... ] } (each condition with
    // its six attributes), as UTF-8, in Base64 without line breaks.
    std::string serializedObject();
};
