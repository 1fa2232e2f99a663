#pragma once

#include "coredata/NSManagedObject.h"

#include <string>

// A saved map region with a name: a row of the Core Data entity "KESTBookmark". Attributes
// (all optional): bookmarkName, bookmarkLat, bookmarkLon, bookmarkLatSpan, bookmarkLonSpan
// (doubles, degrees), bookmarkHomeSet (boolean) and bookmarkuuid, a new UUID string given on
// insertion. Used on its context's queue (the main context: main thread).
class KESTBookmark : public NSManagedObject {
    VX_OBJECT(KESTBookmark, NSManagedObject)
public:
    KESTBookmark(Passkey key, Ref<NSEntityDescription> entity)
        : NSManagedObject(key, std::move(entity))
    {
    }

    // Makes the entity's objects of this class. Runs once at start-up; callable again safely.
    static void registerClass();
    // Inserts a new bookmark into the context (it gets its bookmarkuuid); nullptr when the
    // context's model has no "KESTBookmark".
    static Ref<KESTBookmark> insertInManagedObjectContext(const Ref<NSManagedObjectContext>& context);

    void awakeFromInsert() override;
    // A new UUID in its standard upper-case form (36 characters).
    std::string generateUniqueID() const;

    Value bookmarkName() { return valueForKey("bookmarkName"); }
    Value bookmarkLat() { return valueForKey("bookmarkLat"); }
    Value bookmarkLon() { return valueForKey("bookmarkLon"); }
    Value bookmarkLatSpan() { return valueForKey("bookmarkLatSpan"); }
    Value bookmarkLonSpan() { return valueForKey("bookmarkLonSpan"); }
    Value bookmarkHomeSet() { return valueForKey("bookmarkHomeSet"); }
    Value bookmarkuuid() { return valueForKey("bookmarkuuid"); }
};
