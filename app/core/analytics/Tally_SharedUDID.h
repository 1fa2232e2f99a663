#pragma once

#include "foundation/NSObject.h"
#include "foundation/Value.h"

#include <string>

class UIPasteboard;

// The analytics device identifier, shared between the applications of one device: 40 lower-case
// hexadecimal digits kept in this application's user defaults ("SharedUDID") and copied into up
// to 100 named, persistent pasteboards ("org.SharedUDID.slot.0" to "...99") that every
// participating application reads. A new identifier is made only when neither the defaults nor
// any slot holds one; otherwise the local one wins, or else the one most slots hold. The value is
// computed once per process. Main thread only.
class Tally_SharedUDID : public NSObject {
    VX_OBJECT(Tally_SharedUDID, NSObject)
public:
    explicit Tally_SharedUDID(Passkey key)
        : NSObject(key)
    {
    }
    // The identifier.
    static std::string value();
    // The identifier and, when asked for, a report in the domain "org.SharedUDID": code 0 (computed
    // or from the cache), 1 (opted out: the value is forty zeros) or 2 (the local identifier
    // differs from the one most slots hold; the local one is used).
    static std::string valueWithError(Ref<NSError>* error);
    // Opts this application out (or in again) and clears the cache.
    static void setOptOut(bool optOut);

    static std::string _generateFreshSharedUDID();
    // The slot's record as a new mutable dictionary; empty when the slot holds no readable record.
    static Value _getDictFromPasteboard(const Ref<UIPasteboard>& pasteboard);
    static void _setDictForPasteboard(const Value& dictionary, const Ref<UIPasteboard>& pasteboard);

    // Test-only: forgets the value computed in this process.
    static void resetCacheForTesting();
};
