#pragma once

#include "foundation/FoundationForward.h"
#include "location/CLError.h"

#include <vector>

class CLHeading;
class CLLocation;
class CLLocationManager;
class NSError;

// Receives a location manager's readings, failures and authorisation changes, on the main
// thread. Every operation is optional. A delegate that does not override
// locationManagerDidUpdateLocations gets each fix through the older
// locationManagerDidUpdateToLocationFromLocation form instead (new fix, previous fix or nil).
class CLLocationManagerDelegate {
public:
    virtual ~CLLocationManagerDelegate() = default;

    virtual void locationManagerDidUpdateLocations(
        const Ref<CLLocationManager>& manager, const std::vector<Ref<CLLocation>>& locations);
    virtual void locationManagerDidUpdateToLocationFromLocation(
        const Ref<CLLocationManager>& manager, const Ref<CLLocation>& newLocation, const Ref<CLLocation>& oldLocation)
    {
    }
    virtual void locationManagerDidUpdateHeading(const Ref<CLLocationManager>& manager, const Ref<CLHeading>& heading)
    {
    }
    // Asked when the compass needs calibration; the calibration display is shown on true.
    virtual bool locationManagerShouldDisplayHeadingCalibration(const Ref<CLLocationManager>& manager) { return false; }
    virtual void locationManagerDidFailWithError(const Ref<CLLocationManager>& manager, const Ref<NSError>& error) { }
    virtual void locationManagerDidChangeAuthorizationStatus(
        const Ref<CLLocationManager>& manager, CLAuthorizationStatus status)
    {
    }
};
