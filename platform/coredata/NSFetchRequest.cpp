#include "coredata/NSFetchRequest.h"

#include "coredata/NSEntityDescription.h"
#include "foundation/NSPredicate.h"

VX_REGISTER_CLASS(NSFetchRequest);

NSFetchRequest::NSFetchRequest(Passkey key)
    : NSObject(key)
{
}

Ref<NSFetchRequest> NSFetchRequest::init()
{
    return make<NSFetchRequest>();
}

Ref<NSFetchRequest> NSFetchRequest::fetchRequestWithEntityName(const std::string& entityName)
{
    auto request = init();
    request->m_entityName = entityName;
    return request;
}

void NSFetchRequest::setEntity(const Ref<NSEntityDescription>& entity)
{
    m_entity = entity;
    m_entityName = entity ? entity->name() : std::string();
}

std::string NSFetchRequest::description() const
{
    return "<NSFetchRequest: entity " + m_entityName
        + (m_predicate ? ", predicate " + m_predicate->predicateFormat() : "") + ">";
}
