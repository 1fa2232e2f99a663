#pragma once

#include "coredata/NSManagedObject.h"

#include <string>

class KESTFilter;

// One condition of a saved filter: a row of the Core Data entity "KESTFilterDetail".
// filterDetailType: 0 airline, 1 aircraft type, 2 airport, 3 squawk, 4 altitude range,
// 5 speed range. filterDetail is the value the predicate matches, filterTitle the text shown;
// the range limits are fractions 0..1 of 60000 ft or 600 kts; filterAirportType is 0 inbound,
// 1 outbound, 2 both. Used on its context's queue; a condition outside any context (an editor's
// draft) on the main thread.
class KESTFilterDetail : public NSManagedObject {
    VX_OBJECT(KESTFilterDetail, NSManagedObject)
public:
    KESTFilterDetail(Passkey key, Ref<NSEntityDescription> entity)
        : NSManagedObject(key, std::move(entity))
    {
    }

    // Makes the entity's objects of this class. Callable any number of times.
    static void registerClass();

    Value filterDetailType() { return valueForKey("filterDetailType"); }
    void setFilterDetailType(const Value& value) { setValueForKey(value, "filterDetailType"); }
    Value filterDetail() { return valueForKey("filterDetail"); }
    void setFilterDetail(const Value& value) { setValueForKey(value, "filterDetail"); }
    Value filterTitle() { return valueForKey("filterTitle"); }
    void setFilterTitle(const Value& value) { setValueForKey(value, "filterTitle"); }
    Value filterLowerLimit() { return valueForKey("filterLowerLimit"); }
    void setFilterLowerLimit(const Value& value) { setValueForKey(value, "filterLowerLimit"); }
    Value filterUpperLimit() { return valueForKey("filterUpperLimit"); }
    void setFilterUpperLimit(const Value& value) { setValueForKey(value, "filterUpperLimit"); }
    Value filterAirportType() { return valueForKey("filterAirportType"); }
    void setFilterAirportType(const Value& value) { setValueForKey(value, "filterAirportType"); }
    Ref<KESTFilter> parentFilter();
    void setParentFilter(const Ref<KESTFilter>& filter);

    // The six condition attributes, in the order the share payload and the editor's copies use.
    static const std::vector<std::string>& conditionKeys();
};
