#include "location/CLLocationManager.h"

#include "foundation/Dispatch.h"
#include "foundation/NSError.h"
#include "foundation/NSThread.h"
#include "location/LocationSimulator.h"

#include <cmath>

void CLLocationManagerDelegate::locationManagerDidUpdateLocations(
    const Ref<CLLocationManager>& manager, const std::vector<Ref<CLLocation>>& locations)
{
    // Not overridden: each fix goes to the older form, paired with the fix before it.
    Ref<CLLocation> previous = manager ? manager->previousLocation() : nullptr;
    for (auto& location : locations) {
        locationManagerDidUpdateToLocationFromLocation(manager, location, previous);
        previous = location;
    }
}

namespace {

bool authorized()
{
    auto& simulator = LocationSimulator::shared();
    return simulator.locationServicesEnabled() && simulator.authorizationStatus() == kCLAuthorizationStatusAuthorized;
}

bool refused()
{
    auto& simulator = LocationSimulator::shared();
    auto status = simulator.authorizationStatus();
    return !simulator.locationServicesEnabled() || status == kCLAuthorizationStatusDenied
        || status == kCLAuthorizationStatusRestricted;
}

double headingOffset(CLDeviceOrientation orientation)
{
    switch (orientation) {
    case CLDeviceOrientationPortraitUpsideDown:
        return 180;
    case CLDeviceOrientationLandscapeLeft:
        return 90;
    case CLDeviceOrientationLandscapeRight:
        return 270;
    default:
        return 0;
    }
}

double angleBetween(double a, double b)
{
    double d = std::fmod(std::fabs(a - b), 360.0);
    return d > 180 ? 360 - d : d;
}

} // namespace

CLLocationManager::CLLocationManager(Passkey key)
    : NSObject(key)
{
}

CLLocationManager::~CLLocationManager()
{
    LocationSimulator::shared().removeManager(this);
}

Ref<CLLocationManager> CLLocationManager::init()
{
    auto manager = make<CLLocationManager>();
    LocationSimulator::shared().addManager(manager);
    return manager;
}

bool CLLocationManager::locationServicesEnabled()
{
    return LocationSimulator::shared().locationServicesEnabled();
}
CLAuthorizationStatus CLLocationManager::authorizationStatus()
{
    return LocationSimulator::shared().authorizationStatus();
}
bool CLLocationManager::headingAvailable()
{
    return LocationSimulator::shared().headingAvailable();
}

void CLLocationManager::startUpdatingLocation()
{
    m_updatingLocation = true;
    m_filterReference = nullptr;
    if (refused()) {
        deliverErrorLater(kCLErrorDenied);
        return;
    }
    deliverLatestLocationLater();
}

void CLLocationManager::stopUpdatingLocation()
{
    m_updatingLocation = false;
}

void CLLocationManager::startUpdatingHeading()
{
    m_updatingHeading = true;
    m_headingReference = nullptr;
    m_rawHeadingReference = nullptr;
    if (!headingAvailable()) {
        deliverErrorLater(kCLErrorHeadingFailure);
        return;
    }
    deliverLatestHeadingLater();
}

void CLLocationManager::stopUpdatingHeading()
{
    m_updatingHeading = false;
}

void CLLocationManager::deliverLatestLocationLater()
{
    dispatch_async(dispatch_get_main_queue(), [weak = Weak<CLLocationManager>(self<CLLocationManager>())] {
        auto self = weak.lock();
        if (!self)
            return;
        if (auto location = LocationSimulator::shared().location())
            self->receiveLocation(location);
    });
}

void CLLocationManager::deliverLatestHeadingLater()
{
    dispatch_async(dispatch_get_main_queue(), [weak = Weak<CLLocationManager>(self<CLLocationManager>())] {
        auto self = weak.lock();
        if (!self)
            return;
        if (auto heading = LocationSimulator::shared().heading())
            self->receiveHeading(heading);
    });
}

void CLLocationManager::deliverErrorLater(CLError code)
{
    dispatch_async(dispatch_get_main_queue(), [weak = Weak<CLLocationManager>(self<CLLocationManager>()), code] {
        if (auto self = weak.lock())
            self->deliverError(code);
    });
}

void CLLocationManager::deliverError(CLError code)
{
    bool forHeading = code == kCLErrorHeadingFailure;
    if (forHeading ? !m_updatingHeading : !m_updatingLocation)
        return;
    auto delegate = m_delegate.lock();
    if (!delegate)
        return;
    auto protectedThis = self<CLLocationManager>();
    delegate->locationManagerDidFailWithError(protectedThis, NSError::errorWithDomain(kCLErrorDomain, code));
}

void CLLocationManager::receiveLocation(const Ref<CLLocation>& location)
{
    if (!m_updatingLocation || !location || !authorized())
        return;
    if (location == m_filterReference)
        return; // this fix was delivered already since updates started
    if (m_filterReference && m_distanceFilter > 0
        && location->distanceFromLocation(m_filterReference) < m_distanceFilter)
        return;
    m_filterReference = location;
    m_previousLocation = m_location;
    m_location = location;
    auto delegate = m_delegate.lock();
    if (!delegate)
        return;
    auto protectedThis = self<CLLocationManager>();
    delegate->locationManagerDidUpdateLocations(protectedThis, { location });
}

void CLLocationManager::receiveHeading(const Ref<CLHeading>& raw)
{
    if (!m_updatingHeading || !raw || !headingAvailable())
        return;
    if (raw == m_rawHeadingReference)
        return;
    m_rawHeadingReference = raw;
    auto heading = raw->headingRotatedBy(headingOffset(m_headingOrientation));
    if (m_headingReference && m_headingFilter > 0
        && angleBetween(heading->magneticHeading(), m_headingReference->magneticHeading()) < m_headingFilter)
        return;
    m_headingReference = heading;
    m_heading = heading;
    auto delegate = m_delegate.lock();
    if (!delegate)
        return;
    auto protectedThis = self<CLLocationManager>();
    delegate->locationManagerDidUpdateHeading(protectedThis, heading);
}

void CLLocationManager::receiveFailure(CLError code)
{
    deliverError(code);
}

void CLLocationManager::receiveAuthorizationChange(CLAuthorizationStatus status)
{
    auto protectedThis = self<CLLocationManager>();
    if (auto delegate = m_delegate.lock())
        delegate->locationManagerDidChangeAuthorizationStatus(protectedThis, status);
    if (!m_updatingLocation)
        return;
    if (refused())
        deliverError(kCLErrorDenied);
    else if (status == kCLAuthorizationStatusAuthorized)
        deliverLatestLocationLater();
}

void CLLocationManager::receiveCalibrationRequest()
{
    if (!m_updatingHeading)
        return;
    auto delegate = m_delegate.lock();
    if (!delegate)
        return;
    auto protectedThis = self<CLLocationManager>();
    m_showsCalibration = delegate->locationManagerShouldDisplayHeadingCalibration(protectedThis);
}

VX_REGISTER_CLASS(CLLocationManager);
