#pragma once

#include "foundation/NSObject.h"

class SNRDeviceProperties;

// Makes the sensor kit believe it runs on another device by installing a preset of the device
// properties. Main thread only.
class SNRSimulator : public NSObject {
    VX_OBJECT(SNRSimulator, NSObject)
public:
    explicit SNRSimulator(Passkey key)
        : NSObject(key)
    {
    }
    static void simulate(const Ref<SNRDeviceProperties>& properties);
};
