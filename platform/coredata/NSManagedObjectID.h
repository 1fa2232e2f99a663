#pragma once

#include "coredata/CoreDataForward.h"
#include "foundation/NSObject.h"

#include <atomic>
#include <cstdint>
#include <string>

// The identity of a managed object. An object gets a temporary ID when it is made; when a save
// writes it to the store the same ID object becomes permanent (`isTemporaryID` turns false), so
// every context that holds the object keeps finding it. A coordinator hands out one ID object
// per stored row, so IDs compare by identity. Any thread.
class NSManagedObjectID : public NSObject {
    VX_OBJECT(NSManagedObjectID, NSObject)
public:
    NSManagedObjectID(Passkey, Ref<NSEntityDescription> entity, int64_t primaryKey, uint64_t temporaryNumber);

    static Ref<NSManagedObjectID> temporaryID(const Ref<NSEntityDescription>& entity);
    static Ref<NSManagedObjectID> permanentID(const Ref<NSEntityDescription>& entity, int64_t primaryKey);

    const Ref<NSEntityDescription>& entity() const { return m_entity; }
    bool isTemporaryID() const { return m_primaryKey.load() == 0; }
    // The row's key in its store; 0 while temporary.
    int64_t primaryKey() const { return m_primaryKey.load(); }
    // "vxstore:///<Entity>/p<key>" once permanent, "vxstore:///<Entity>/t<number>" before.
    std::string URIRepresentation() const;
    std::string description() const override;

private:
    friend class NSPersistentStoreCoordinator;
    void becomePermanent(int64_t primaryKey) { m_primaryKey.store(primaryKey); }

    Ref<NSEntityDescription> m_entity;
    std::atomic<int64_t> m_primaryKey;
    uint64_t m_temporaryNumber;
};
