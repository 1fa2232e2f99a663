#pragma once

#include "foundation/FoundationForward.h"

#include <cstdint>

class CLHeading;
class CLLocation;

// Receives every change of the sensor kit, on the main thread. The sensor manager holds its
// delegate weakly.
class SNRSensorDelegate {
public:
    virtual ~SNRSensorDelegate() = default;

    virtual void didChangeStatus(int32_t status) = 0;
    virtual void didReceiveErrorCode(int32_t code) = 0;
    virtual void didChangeSensorUpdateModeFromModeMotionIncludesHeading(
        uint32_t newMode, uint32_t oldMode, bool motionIncludesHeading)
        = 0;
    virtual void didUpdateLocation(const Ref<CLLocation>& location) = 0;
    virtual void didUpdateHeading(const Ref<CLHeading>& heading) = 0;
    virtual void didChangeSignalQuality(int32_t quality) = 0;
    virtual void didChangeDeviceOrientation(int32_t orientation) = 0;
    virtual void didChangeAuthorizationStatus(int32_t status) = 0;
};
