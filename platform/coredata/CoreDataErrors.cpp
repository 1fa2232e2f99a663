#include "coredata/CoreDataErrors.h"

#include "foundation/NSError.h"

Ref<NSError> coreDataError(int32_t code, const std::string& description, Value extraUserInfo)
{
    Value info = Value::mutableDictionary();
    info.setObjectForKey(Value(description), Value(NSLocalizedDescriptionKey));
    for (const auto& [key, value] : extraUserInfo.entries())
        info.setObjectForKey(value, key);
    return NSError::errorWithDomain(NSCocoaErrorDomain, code, info.copy());
}

void reportError(Ref<NSError>* slot, const Ref<NSError>& made)
{
    if (slot)
        *slot = made;
}
