#pragma once

#include "coredata/NSManagedObject.h"

#include <string>

// A flight alert: a row of the Core Data entity "KESTAlert". alertType: 0 registration,
// 1 (not offered), 2 hex address, 3 squawk, 4 aircraft type, 5 airline; alertValue is what is
// matched, alertName the user's label, alertID the service's identifier (unset until a reply
// lists the alert) and alertuuid the device's own identifier, given on insertion. The four
// bounds are the area in degrees; 180, -180, 180, -180 means anywhere. Used on its context's
// queue.
class KESTAlert : public NSManagedObject {
    VX_OBJECT(KESTAlert, NSManagedObject)
public:
    KESTAlert(Passkey key, Ref<NSEntityDescription> entity)
        : NSManagedObject(key, std::move(entity))
    {
    }

    // Makes the entity's objects of this class. Callable any number of times.
    static void registerClass();
    // Inserts a new alert (it gets its alertuuid); nullptr when the context's model has no
    // "KESTAlert".
    static Ref<KESTAlert> insertInManagedObjectContext(const Ref<NSManagedObjectContext>& context);

    void awakeFromInsert() override;
    // A new UUID in its standard upper-case form (36 characters).
    std::string generateUniqueID() const;
    // The upload record: every attribute of the entity under its name, unset ones as null.
    Value toDictionary();

    Value alertID() { return valueForKey("alertID"); }
    Value alertType() { return valueForKey("alertType"); }
    Value alertValue() { return valueForKey("alertValue"); }
    Value alertName() { return valueForKey("alertName"); }
    Value alertuuid() { return valueForKey("alertuuid"); }
    Value alertMaxLat() { return valueForKey("alertMaxLat"); }
    Value alertMinLat() { return valueForKey("alertMinLat"); }
    Value alertMaxLon() { return valueForKey("alertMaxLon"); }
    Value alertMinLon() { return valueForKey("alertMinLon"); }
};
