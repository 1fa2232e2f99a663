#pragma once

#include "foundation/NSObject.h"

// A port added to a run loop as an input source. It delivers nothing here; its role is to keep
// a thread's run loop running (a loop with no sources and no timers in a mode returns at once).
// Any thread.
class NSPort : public NSObject {
    VX_OBJECT(NSPort, NSObject)

public:
    explicit NSPort(Passkey key)
        : NSObject(key)
    {
    }
    static Ref<NSPort> port();
};

// The platform's port class most code names; the same thing here.
class NSMachPort final : public NSPort {
    VX_OBJECT(NSMachPort, NSPort)

public:
    explicit NSMachPort(Passkey key)
        : NSPort(key)
    {
    }
    static Ref<NSPort> port();
};
