#pragma once

#include "coredata/CoreDataForward.h"
#include "coredata/ManagedObjectSnapshot.h"
#include "foundation/Locked.h"
#include "foundation/NSObject.h"
#include "foundation/Value.h"

#include <functional>
#include <map>
#include <mutex>
#include <string>
#include <vector>

// An object of an entity. Attributes and relationships are read and written through key-value
// coding (valueForKey/setValueForKey), with observers told of each change; an attribute that was
// never set reads as nil, which differs from 0. Relationships keep their inverse in step, and a
// to-many relationship reads as an array in the order its members were added (or stored).
//
// An object belongs to at most one context (held weakly); it may also live outside any context,
// where its attributes and relationships work as well. An object in a context is used on that
// context's queue (see NSManagedObjectContext).
//
// Subclasses: a class named as an entity's class is made for that entity's objects once it is
// registered with registerSubclass<T>(), under its own class name or the one given (it needs a
// public constructor taking (Passkey, Ref<NSEntityDescription>)); entities of unregistered
// classes get plain objects.
class NSManagedObject : public NSObject {
    VX_OBJECT(NSManagedObject, NSObject)
public:
    NSManagedObject(Passkey, Ref<NSEntityDescription> entity);
    ~NSManagedObject() override;

    using Factory = std::function<Ref<NSManagedObject>(const Ref<NSEntityDescription>&)>;
    template <typename T> static void registerSubclass(const std::string& className = T::classObject()->name)
    {
        registerSubclassFactory(className, [](const Ref<NSEntityDescription>& entity) -> Ref<NSManagedObject> {
            return std::make_shared<T>(Passkey {}, entity);
        });
    }
    static void registerSubclassFactory(const std::string& className, Factory factory);

    // Makes an object of the entity's class with the entity's default values. With a context,
    // inserts it there (which runs awakeFromInsert); without one, the object stays outside any
    // context until insertObject is called with it.
    static Ref<NSManagedObject> initWithEntityInsertIntoManagedObjectContext(
        const Ref<NSEntityDescription>& entity, const Ref<NSManagedObjectContext>& context);

    const Ref<NSEntityDescription>& entity() const { return m_entity; }
    Ref<NSManagedObjectContext> managedObjectContext() const { return contextRef(); }
    Ref<NSManagedObjectID> objectID() const;

    bool isInserted() const;
    bool isUpdated() const;
    bool isDeleted() const;
    bool hasChanges() const;
    // The attributes and to-one relationships that differ from the last saved state.
    Value changedValues() const;

    // Called once, when the object is first inserted into a context; subclasses set their
    // initial values here (after calling the inherited step).
    virtual void awakeFromInsert() { }
    // Called when the object is first made in a context from stored data.
    virtual void awakeFromFetch() { }

    Value valueForKey(const std::string& key) override;
    void setValueForKey(const Value& value, const std::string& key) override;
    // The same, without telling observers.
    Value primitiveValueForKey(const std::string& key);
    void setPrimitiveValueForKey(const Value& value, const std::string& key);

    // Adds an object to, or removes one from, a to-many relationship (the inverse follows).
    void addRelatedObject(const std::string& key, const Ref<NSManagedObject>& object);
    void removeRelatedObject(const std::string& key, const Ref<NSManagedObject>& object);

    std::string description() const override;

private:
    friend class NSManagedObjectContext;

    struct ToOne {
        Ref<NSManagedObject> object;
        // Set instead of `object` until the target is first read.
        Ref<NSManagedObjectID> pendingID;
    };
    struct ToMany {
        std::vector<Ref<NSManagedObject>> objects;
        bool loaded { true };
    };

    static Ref<NSManagedObject> makeForEntity(const Ref<NSEntityDescription>& entity);
    // The owning context, read and changed under a small lock of its own: other threads look
    // at it to find which context lock to take.
    Ref<NSManagedObjectContext> contextRef() const { return m_context.get().lock(); }
    void setContext(const Ref<NSManagedObjectContext>& context) { m_context.set(context); }
    std::unique_lock<std::recursive_mutex> lockContext() const;
    bool sharesContextWith(const NSManagedObject& other) const;
    void markChanged();

    void setAttribute(const std::string& key, const Value& value, bool notify);
    Ref<NSManagedObject> toOneTarget(const std::string& key);
    std::vector<Ref<NSManagedObject>>& toManyMembers(const std::string& key);
    void setToOne(const std::string& key, const Ref<NSManagedObject>& target, bool notify);
    void setToMany(const std::string& key, const std::vector<Ref<NSManagedObject>>& members);
    // One side of keeping inverses in step: no further inverse work.
    void insertMember(const std::string& key, const Ref<NSManagedObject>& member);
    void eraseMember(const std::string& key, const NSManagedObject* member);
    void assignToOneOnly(const std::string& key, const Ref<NSManagedObject>& target);

    ObjectSnapshot currentSnapshot() const;
    void applySnapshot(const ObjectSnapshot& snapshot);
    void unloadToMany();
    void clearRelationships();

    Ref<NSEntityDescription> m_entity;
    Locked<Weak<NSManagedObjectContext>> m_context;
    Ref<NSManagedObjectID> m_objectID;
    std::map<std::string, Value> m_attributes;
    std::map<std::string, ToOne> m_toOne;
    std::map<std::string, ToMany> m_toMany;
    ObjectSnapshot m_committed;
    bool m_inserted { false };
    bool m_updated { false };
    bool m_deleted { false };
    bool m_awoken { false };
};
