#include "foundation/NSLock.h"

Ref<NSLock> NSLock::init()
{
    return make<NSLock>();
}
Ref<NSRecursiveLock> NSRecursiveLock::init()
{
    return make<NSRecursiveLock>();
}

VX_REGISTER_CLASS(NSLock);
VX_REGISTER_CLASS(NSRecursiveLock);
