#include "grid/datagrid/LDataGridWrapper.h"

#include "foundation/NSString.h"
#include "grid/LatticeGridLog.h"

void LDataGridWrapper::commonInitWithObjectToWrap(const Ref<NSObject>& object)
{
    validateObjectToWrap(object);
    m_wrappedObject = object;
}

void LDataGridWrapper::commonInitWithEngineObject(const Ref<NSObject>& object)
{
    Class expected = wrappedObjectType();
    if (!object || !expected || !object->isKindOfClass(expected))
        validateObjectToWrap(object);
    m_wrappedObject = object;
}

void LDataGridWrapper::validateObjectToWrap(const Ref<NSObject>& object) const
{
    Class expected = wrappedObjectType();
    if (object && expected && object->objectClass() == expected)
        return;
    LatticeGridLog::fatalLogMessageFromSource(
        NSString::stringWithFormat("Wrapped type (%@) does not match object we are trying to wrap (%@).",
            expected ? NSStringFromClass(expected) : std::string("(null)"),
            object ? object->className() : std::string("(null)")),
        this);
}

bool LDataGridWrapper::respondsToSelector(std::string_view selector) const
{
    return wrappedTypeRespondsToSelector(selector);
}
