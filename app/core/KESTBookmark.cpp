#include "app/core/KESTBookmark.h"

#include "coredata/NSEntityDescription.h"
#include "foundation/NSUUID.h"

VX_REGISTER_CLASS(KESTBookmark);

namespace {

const bool s_registered = [] {
    KESTBookmark::registerClass();
    return true;
}();

} // namespace

void KESTBookmark::registerClass()
{
    (void)s_registered;
    NSManagedObject::registerSubclass<KESTBookmark>();
}

Ref<KESTBookmark> KESTBookmark::insertInManagedObjectContext(const Ref<NSManagedObjectContext>& context)
{
    registerClass();
    if (!context || !NSEntityDescription::entityForNameInManagedObjectContext("KESTBookmark", context))
        return nullptr;
    auto object = NSEntityDescription::insertNewObjectForEntityForNameInManagedObjectContext("KESTBookmark", context);
    return std::dynamic_pointer_cast<KESTBookmark>(object);
}

void KESTBookmark::awakeFromInsert()
{
    NSManagedObject::awakeFromInsert();
    setValueForKey(Value(generateUniqueID()), "bookmarkuuid");
}

std::string KESTBookmark::generateUniqueID() const
{
    return NSUUID::UUID()->UUIDString();
}
