#include "app/core/KESTAlert.h"

#include "coredata/NSAttributeDescription.h"
#include "coredata/NSEntityDescription.h"
#include "foundation/NSUUID.h"

VX_REGISTER_CLASS(KESTAlert);

namespace {

const bool s_registered = [] {
    KESTAlert::registerClass();
    return true;
}();

} // namespace

void KESTAlert::registerClass()
{
    (void)s_registered;
    NSManagedObject::registerSubclass<KESTAlert>();
}

Ref<KESTAlert> KESTAlert::insertInManagedObjectContext(const Ref<NSManagedObjectContext>& context)
{
    registerClass();
    if (!context || !NSEntityDescription::entityForNameInManagedObjectContext("KESTAlert", context))
        return nullptr;
    auto object = NSEntityDescription::insertNewObjectForEntityForNameInManagedObjectContext("KESTAlert", context);
    return std::dynamic_pointer_cast<KESTAlert>(object);
}

void KESTAlert::awakeFromInsert()
{
    NSManagedObject::awakeFromInsert();
    setValueForKey(Value(generateUniqueID()), "alertuuid");
}

std::string KESTAlert::generateUniqueID() const
{
    return NSUUID::UUID()->UUIDString();
}

Value KESTAlert::toDictionary()
{
    Value record = Value::mutableDictionary();
    for (const auto& attribute : entity()->attributes()) {
        Value value = valueForKey(attribute->name());
        record.setObjectForKey(value.isNil() ? Value::null() : value, Value(attribute->name()));
    }
    return record;
}
