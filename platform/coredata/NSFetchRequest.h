#pragma once

#include "coredata/CoreDataForward.h"
#include "foundation/NSObject.h"

#include <string>
#include <vector>

// What to fetch: an entity (by name, or as a description), an optional predicate, sort order,
// a limit and offset, and the form of the results. Not thread-safe; build it, then fetch.
class NSFetchRequest : public NSObject {
    VX_OBJECT(NSFetchRequest, NSObject)
public:
    enum ResultType : uint32_t {
        NSManagedObjectResultType = 0,
        NSManagedObjectIDResultType = 1,
        NSDictionaryResultType = 2,
        NSCountResultType = 4,
    };

    explicit NSFetchRequest(Passkey);
    static Ref<NSFetchRequest> init();
    static Ref<NSFetchRequest> fetchRequestWithEntityName(const std::string& entityName);

    // The entity name, or the name of the entity set with setEntity.
    const std::string& entityName() const { return m_entityName; }
    const Ref<NSEntityDescription>& entity() const { return m_entity; }
    void setEntity(const Ref<NSEntityDescription>& entity);

    const Ref<NSPredicate>& predicate() const { return m_predicate; }
    void setPredicate(Ref<NSPredicate> predicate) { m_predicate = std::move(predicate); }
    const std::vector<Ref<NSSortDescriptor>>& sortDescriptors() const { return m_sortDescriptors; }
    void setSortDescriptors(std::vector<Ref<NSSortDescriptor>> descriptors)
    {
        m_sortDescriptors = std::move(descriptors);
    }
    // 0: no limit.
    NSUInteger fetchLimit() const { return m_fetchLimit; }
    void setFetchLimit(NSUInteger limit) { m_fetchLimit = limit; }
    NSUInteger fetchOffset() const { return m_fetchOffset; }
    void setFetchOffset(NSUInteger offset) { m_fetchOffset = offset; }
    ResultType resultType() const { return m_resultType; }
    void setResultType(ResultType type) { m_resultType = type; }
    // For dictionary results: the attribute names to include (every attribute when empty).
    const std::vector<std::string>& propertiesToFetch() const { return m_propertiesToFetch; }
    void setPropertiesToFetch(std::vector<std::string> names) { m_propertiesToFetch = std::move(names); }

    std::string description() const override;

private:
    std::string m_entityName;
    Ref<NSEntityDescription> m_entity;
    Ref<NSPredicate> m_predicate;
    std::vector<Ref<NSSortDescriptor>> m_sortDescriptors;
    NSUInteger m_fetchLimit { 0 };
    NSUInteger m_fetchOffset { 0 };
    ResultType m_resultType { NSManagedObjectResultType };
    std::vector<std::string> m_propertiesToFetch;
};
