#include "coredata/NSManagedObjectID.h"

#include "coredata/NSEntityDescription.h"

#include <utility>

VX_REGISTER_CLASS(NSManagedObjectID);

namespace {
std::atomic<uint64_t> s_nextTemporaryNumber { 1 };
}

NSManagedObjectID::NSManagedObjectID(
    Passkey key, Ref<NSEntityDescription> entity, int64_t primaryKey, uint64_t temporaryNumber)
    : NSObject(key)
    , m_entity(std::move(entity))
    , m_primaryKey(primaryKey)
    , m_temporaryNumber(temporaryNumber)
{
}

Ref<NSManagedObjectID> NSManagedObjectID::temporaryID(const Ref<NSEntityDescription>& entity)
{
    return make<NSManagedObjectID>(entity, 0, s_nextTemporaryNumber.fetch_add(1));
}

Ref<NSManagedObjectID> NSManagedObjectID::permanentID(const Ref<NSEntityDescription>& entity, int64_t primaryKey)
{
    return make<NSManagedObjectID>(entity, primaryKey, 0);
}

std::string NSManagedObjectID::URIRepresentation() const
{
    std::string base = "vxstore:///" + (m_entity ? m_entity->name() : std::string("?")) + "/";
    int64_t key = primaryKey();
    return key ? base + "p" + std::to_string(key) : base + "t" + std::to_string(m_temporaryNumber);
}

std::string NSManagedObjectID::description() const
{
    return "<" + URIRepresentation() + ">";
}
