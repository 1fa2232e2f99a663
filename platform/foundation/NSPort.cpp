#include "foundation/NSPort.h"

Ref<NSPort> NSPort::port()
{
    return make<NSPort>();
}
Ref<NSPort> NSMachPort::port()
{
    return make<NSMachPort>();
}

VX_REGISTER_CLASS(NSPort);
VX_REGISTER_CLASS(NSMachPort);
