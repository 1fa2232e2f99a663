#pragma once

#include "location/CLError.h"
#include "location/CLHeading.h"
#include "location/CLLocation.h"
#include "location/CLLocationManagerDelegate.h"

#include <vector>

// Delivers position fixes and compass readings from the device's (simulated) sensors to a weakly
// held delegate. Main thread only; every delegate call arrives asynchronously on the main queue,
// and nothing arrives once updates are stopped. Fixes closer than distanceFilter to the last one
// delivered, and headings that moved less than headingFilter, are not delivered.
//
// Starting updates while authorisation is restricted or denied, or while location services are
// off, fails with kCLErrorDenied; while it is not determined, updates begin once the host decides.
class CLLocationManager : public NSObject {
    VX_OBJECT(CLLocationManager, NSObject)
public:
    explicit CLLocationManager(Passkey);
    ~CLLocationManager() override;
    static Ref<CLLocationManager> init();

    static bool locationServicesEnabled();
    static CLAuthorizationStatus authorizationStatus();
    static bool headingAvailable();
    static bool significantLocationChangeMonitoringAvailable() { return false; }

    Weak<CLLocationManagerDelegate> delegate() const { return m_delegate; }
    void setDelegate(const Ref<CLLocationManagerDelegate>& delegate) { m_delegate = delegate; }

    CLLocationAccuracy desiredAccuracy() const { return m_desiredAccuracy; }
    void setDesiredAccuracy(CLLocationAccuracy accuracy) { m_desiredAccuracy = accuracy; }
    CLLocationDistance distanceFilter() const { return m_distanceFilter; }
    void setDistanceFilter(CLLocationDistance filter) { m_distanceFilter = filter; }
    CLLocationDegrees headingFilter() const { return m_headingFilter; }
    void setHeadingFilter(CLLocationDegrees filter) { m_headingFilter = filter; }
    // Which edge of the device the heading is measured from; portrait by default.
    CLDeviceOrientation headingOrientation() const { return m_headingOrientation; }
    void setHeadingOrientation(CLDeviceOrientation orientation) { m_headingOrientation = orientation; }

    void startUpdatingLocation();
    void stopUpdatingLocation();
    void startUpdatingHeading();
    void stopUpdatingHeading();
    void dismissHeadingCalibrationDisplay() { m_showsCalibration = false; }

    bool isUpdatingLocation() const { return m_updatingLocation; }
    bool isUpdatingHeading() const { return m_updatingHeading; }
    // The calibration display is up (the delegate asked for it and it was not dismissed).
    bool showsHeadingCalibration() const { return m_showsCalibration; }

    // The most recent fix delivered to this manager, or nil.
    const Ref<CLLocation>& location() const { return m_location; }
    // The fix delivered before `location`, or nil; the older delegate form reports it as the old location.
    const Ref<CLLocation>& previousLocation() const { return m_previousLocation; }
    // The most recent compass reading delivered (already turned for headingOrientation), or nil.
    const Ref<CLHeading>& heading() const { return m_heading; }

    // Called by the simulated source on the main thread.
    void receiveLocation(const Ref<CLLocation>& location);
    void receiveHeading(const Ref<CLHeading>& heading);
    void receiveFailure(CLError code);
    void receiveAuthorizationChange(CLAuthorizationStatus status);
    void receiveCalibrationRequest();

private:
    void deliverError(CLError code);
    void deliverErrorLater(CLError code);
    void deliverLatestLocationLater();
    void deliverLatestHeadingLater();

    Weak<CLLocationManagerDelegate> m_delegate;
    CLLocationAccuracy m_desiredAccuracy { kCLLocationAccuracyBest };
    CLLocationDistance m_distanceFilter { kCLDistanceFilterNone };
    CLLocationDegrees m_headingFilter { 1 };
    CLDeviceOrientation m_headingOrientation { CLDeviceOrientationPortrait };
    bool m_updatingLocation { false };
    bool m_updatingHeading { false };
    bool m_showsCalibration { false };
    Ref<CLLocation> m_location;
    Ref<CLLocation> m_previousLocation;
    Ref<CLHeading> m_heading;
    // The last delivered readings the filters measure from; cleared when updates restart.
    Ref<CLLocation> m_filterReference;
    Ref<CLHeading> m_headingReference;
    Ref<CLHeading> m_rawHeadingReference;
};
