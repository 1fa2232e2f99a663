#include "ar/SNRDeviceAttitude.h"

#include "ar/SNRSensorDelegate.h"
#include "ar/SNRSensorManager.h"
#include "foundation/NSDate.h"
#include "foundation/NSLog.h"
#include "foundation/NSString.h"
#include "location/CLHeading.h"
#include "location/CLLocationManager.h"
#include "location/CMDeviceMotion.h"

#include <cmath>
#include <mutex>

namespace {

std::mutex s_lock;
// Lives for the process: never destroyed, so nothing it holds is torn down at exit under
// threads and statics that may still use it.
Ref<SNRDeviceAttitude>& s_shared = *new Ref<SNRDeviceAttitude>();

Ref<SNRSensorDelegate> sensorDelegate()
{
    return SNRSensorManager::sharedSensorManager()->delegate().lock();
}

const char* signalQualityName(int32_t quality)
{
    switch (quality) {
    case SNRSignalQualityBest:
        return "SNRSignalQualityBest";
    case SNRSignalQualityOkay:
        return "SNRSignalQualityOkay";
    case SNRSignalQualityMedium:
        return "SNRSignalQualityMedium";
    case SNRSignalQualityBad:
        return "SNRSignalQualityBad";
    default:
        return "SNRSignalQualityNotUsable";
    }
}

float wholeSecondsAgo(const Ref<NSDate>& date)
{
    if (!date)
        return 0;
    return static_cast<float>(std::trunc(std::fabs(date->timeIntervalSinceNow())));
}

const char* yesNo(bool v)
{
    return v ? "YES" : "NO";
}

std::string dateText(const Ref<NSDate>& date)
{
    return date ? date->description() : std::string("(null)");
}

} // namespace

SNRDeviceAttitude::SNRDeviceAttitude(Passkey key)
    : NSObject(key)
{
    SNRMatrixReset(m_attitudeMatrix);
}

Ref<SNRDeviceAttitude> SNRDeviceAttitude::sharedDeviceAttitude()
{
    std::lock_guard lock(s_lock);
    if (!s_shared)
        s_shared = init();
    return s_shared;
}

void SNRDeviceAttitude::resetForTesting()
{
    std::lock_guard lock(s_lock);
    s_shared = nullptr;
}

CLLocationCoordinate2D SNRDeviceAttitude::locationCoordinate()
{
    float latitude = locationLatitude();
    float longitude = locationLongitude();
    if (latitude == 0 && longitude == 0)
        return kCLLocationCoordinate2DInvalid;
    return CLLocationCoordinate2DMake(latitude, longitude);
}

Ref<CLLocation> SNRDeviceAttitude::location()
{
    auto coordinate = locationCoordinate();
    if (!CLLocationCoordinate2DIsValid(coordinate)) {
        m_location = nullptr;
        return nullptr;
    }
    if (!m_location)
        m_location = CLLocation::initWithLatitudeLongitude(coordinate.latitude, coordinate.longitude);
    return m_location;
}

const SNRVector3* SNRDeviceAttitude::ecefCoordinates()
{
    if (m_needsToUpdateEcef) {
        SNRGeodeticToECEF(locationLatitude(), locationLongitude(), 0, m_ecefX, m_ecefY, m_ecefZ);
        m_ecefCoordinates = { static_cast<float>(m_ecefX), static_cast<float>(m_ecefY), static_cast<float>(m_ecefZ) };
        m_needsToUpdateEcef = false;
    }
    return &m_ecefCoordinates;
}

const SNRVector3* SNRDeviceAttitude::attitudeEulerAngles()
{
    if (m_needsToUpdateAttitudeEulerAngles) {
        m_attitudeEulerAngles = { static_cast<float>(m_attitudeRoll), static_cast<float>(m_attitudePitch),
            static_cast<float>(m_attitudeYaw) };
        m_needsToUpdateAttitudeEulerAngles = false;
    }
    return &m_attitudeEulerAngles;
}

const SNRVector3* SNRDeviceAttitude::motionEulerAngles()
{
    if (m_needsToUpdateMotionEulerAngles) {
        m_motionEulerAngles
            = { static_cast<float>(m_motionRoll), static_cast<float>(m_motionPitch), static_cast<float>(m_motionYaw) };
        m_needsToUpdateMotionEulerAngles = false;
    }
    return &m_motionEulerAngles;
}

void SNRDeviceAttitude::setLocationFromCLLocation(const Ref<CLLocation>& location)
{
    if (!location) {
        NSLog("setLocationFromCLLocation: skipped update (nil)");
        removeLocation();
        return;
    }
    m_locationLatitude = static_cast<float>(location->coordinate().latitude);
    m_locationLongitude = static_cast<float>(location->coordinate().longitude);
    m_locationAccuracy = static_cast<float>(location->horizontalAccuracy());
    m_locationAltitude = static_cast<float>(location->altitude());
    m_locationAltitudeAccuracy = static_cast<float>(location->verticalAccuracy());
    m_locationTimestamp = location->timestamp();
    m_locationAge = wholeSecondsAgo(m_locationTimestamp);
    if (m_locationAge > 15)
        NSLog("SNRDeviceAttitude:setLocationFromCLLocation (VERY OLD LOCATION) %@", location->description());
    setLocation(location);
}

void SNRDeviceAttitude::storeLocationValues(float latitude, float longitude, float accuracy, float age)
{
    m_hasLocation = true;
    m_locationAge = age;
    m_locationAccuracy = accuracy;
    m_locationLatitude = latitude;
    m_locationLongitude = longitude;
    m_location = nullptr;
    m_needsToUpdateEcef = true;
}

void SNRDeviceAttitude::setLocation(const Ref<CLLocation>& location)
{
    m_hasLocation = true;
    m_location = nullptr;
    updateSignalQuality();
    m_needsToUpdateEcef = true;
    if (auto delegate = sensorDelegate())
        delegate->didUpdateLocation(location);
}

void SNRDeviceAttitude::removeLocation()
{
    m_hasLocation = false;
    updateSignalQuality();
}

void SNRDeviceAttitude::removeLocationBecauseOfError()
{
    removeLocation();
}

void SNRDeviceAttitude::setAuthorizationStatusFromCLLocationManager()
{
    m_locationAuthorizationStatus = CLLocationManager::authorizationStatus();
}

void SNRDeviceAttitude::setHeadingFromCLHeading(const Ref<CLHeading>& heading)
{
    if (!heading || heading->trueHeading() < 0 || heading->headingAccuracy() < 0) {
        removeHeading();
        return;
    }
    m_headingAge = wholeSecondsAgo(heading->timestamp());
    m_heading = static_cast<float>(heading->trueHeading());
    m_magneticHeading = static_cast<float>(heading->magneticHeading());
    m_headingAccuracy = static_cast<float>(heading->headingAccuracy());
    m_headingTimestamp = heading->timestamp();
    setHeading(heading);
}

void SNRDeviceAttitude::setHeading(const Ref<CLHeading>& heading)
{
    m_hasHeading = true;
    m_attitudeYaw = m_heading;
    m_needsToUpdateAttitudeEulerAngles = true;
    if (auto delegate = sensorDelegate())
        delegate->didUpdateHeading(heading);
    updateSignalQuality();
}

void SNRDeviceAttitude::removeHeading()
{
    m_hasHeading = false;
    updateSignalQuality();
}

void SNRDeviceAttitude::setMotionFromCMMotion(const Ref<CMDeviceMotion>& motion)
{
    if (!motion)
        return;
    auto gravity = motion->gravity();
    m_attitudeGravity = { static_cast<float>(gravity.x), static_cast<float>(gravity.y), static_cast<float>(gravity.z) };
    auto& attitude = motion->attitude();
    m_motionPitch = SNRRadiansToDegrees(attitude->pitch());
    m_motionYaw = SNRRadiansToDegrees(attitude->yaw());
    m_motionRoll = SNRRadiansToDegrees(attitude->roll());
    m_needsToUpdateMotionEulerAngles = true;
    auto r = attitude->rotationMatrix();
    SNRMatrixFromRotationMatrix(m_attitudeMatrix, r.m11, r.m12, r.m13, r.m21, r.m22, r.m23, r.m31, r.m32, r.m33);

    SNRMatrix4x4 withX;
    SNRMatrixMultiply(withX, m_attitudeMatrix, SNRSensorManager::fixedRotationX());
    SNRMatrixMultiply(m_headingMatrix, withX, SNRSensorManager::fixedRotationY());

    const SNRVector3& g = m_attitudeGravity;
    SNRVector3 v = SNRMatrixMultiplyVector3(m_headingMatrix, 0, 0, 1);
    CGPoint p = SNRProjectOnRadarWithGravity(v.x, v.y, v.z, g.x, g.y, g.z);
    float angle = static_cast<float>(
        SNRRadiansToDegrees(std::atan2(static_cast<double>(p.y), static_cast<double>(p.x)) - SNRPi / 2));
    m_attitudeHeading = SNRWrapAngle(angle, 360);

    SNRVector3 w = SNRMatrixMultiplyVector3(m_headingMatrix, 1, 0, 0);
    CGPoint q = SNRProjectOnRadarWithGravityXY(w.x, w.y, w.z, g.x, g.y);
    float tilt
        = static_cast<float>(SNRRadiansToDegrees(std::atan2(static_cast<double>(q.y), static_cast<double>(q.x))));
    m_attitudeTilting = std::fabs(SNRWrapAngle(tilt, 180));
    setMotion();
}

void SNRDeviceAttitude::setMotion()
{
    const SNRVector3& g = m_attitudeGravity;
    m_attitudeSignedGravity = { std::round(g.x), std::round(g.y), std::round(g.z) };
    m_hasGravityOnX = m_attitudeSignedGravity.x != 0;
    m_hasGravityOnY = m_attitudeSignedGravity.y != 0;
    m_hasGravityOnZ = m_attitudeSignedGravity.z != 0;
    m_attitudePitch = SNRRadiansToDegrees(std::atan2(static_cast<double>(g.y), -static_cast<double>(g.z)));
    m_attitudeRoll = -SNRRadiansToDegrees(std::atan2(static_cast<double>(g.x), -static_cast<double>(g.y)));
    m_needsToUpdateAttitudeEulerAngles = true;
    m_hasAttitude = true;
    setOrientationFromGravity();
}

void SNRDeviceAttitude::setOrientationFromGravity()
{
    m_previousDeviceOrientation = m_deviceOrientation;
    const SNRVector3& s = m_attitudeSignedGravity;
    if (m_hasGravityOnX)
        m_deviceOrientation = s.x <= 0 ? 3 : 4;
    else if (m_hasGravityOnY)
        m_deviceOrientation = s.y <= 0 ? 1 : 2;
    else if (std::fabs(m_attitudeGravity.z) > 0.9f)
        m_deviceOrientation = s.z <= 0 ? 5 : 6;
    if (m_deviceOrientation != m_previousDeviceOrientation)
        setOrientation();
}

void SNRDeviceAttitude::setOrientation()
{
    auto manager = SNRSensorManager::sharedSensorManager();
    bool respect = manager->respectOrientationForHeading();
    int32_t headingOrientation = 1;
    switch (m_deviceOrientation) {
    case 1:
        m_orientationIsLandscape = false;
        m_orientationUpAxis = 1;
        m_orientationSideAxis = 1;
        headingOrientation = respect ? 1 : 1;
        break;
    case 2:
        m_orientationIsLandscape = false;
        m_orientationUpAxis = -1;
        m_orientationSideAxis = -1;
        headingOrientation = respect ? 2 : 1;
        break;
    case 3:
        m_orientationIsLandscape = true;
        m_orientationUpAxis = -1;
        m_orientationSideAxis = 1;
        headingOrientation = respect ? 3 : 1;
        break;
    case 4:
        m_orientationIsLandscape = true;
        m_orientationUpAxis = 1;
        m_orientationSideAxis = -1;
        headingOrientation = respect ? 4 : 1;
        break;
    default:
        headingOrientation = 1;
        break;
    }
    // Without respecting the orientation the compass keeps whatever it had, except that the
    // flat and unknown positions always measure from portrait.
    bool flatOrUnknown = m_deviceOrientation < 1 || m_deviceOrientation > 4;
    if (respect || flatOrUnknown)
        manager->locationManager()->setHeadingOrientation(static_cast<CLDeviceOrientation>(headingOrientation));
    if (auto delegate = sensorDelegate())
        delegate->didChangeDeviceOrientation(m_deviceOrientation);
}

void SNRDeviceAttitude::updateSignalQuality()
{
    if (!m_hasLocation || !m_hasHeading) {
        if (m_signalQuality != 4) {
            m_signalQuality = 4;
            NSLog("updateSignalQuality: signal quality changed (SIGNAL N/A)");
            if (auto delegate = sensorDelegate())
                delegate->didChangeSignalQuality(4);
        }
        return;
    }
    m_locationSignalQuality = 0;
    if (m_locationAccuracy > 10)
        m_locationSignalQuality = 1;
    if (m_locationAccuracy > 30)
        m_locationSignalQuality = 2;
    if (m_locationAccuracy > 50)
        m_locationSignalQuality = 3;
    m_headingSignalQuality = 0;
    if (m_headingAccuracy > 5)
        m_headingSignalQuality = 1;
    if (m_headingAccuracy > 19)
        m_headingSignalQuality = 2;
    if (m_headingAccuracy >= 25)
        m_headingSignalQuality = 3;
    int32_t overall = std::max(m_locationSignalQuality, m_headingSignalQuality);
    if (overall != m_signalQuality) {
        m_signalQuality = overall;
        if (auto delegate = sensorDelegate())
            delegate->didChangeSignalQuality(overall);
        NSLog("updateSignalQuality: signal quality changed to %@", std::string(signalQualityName(overall)));
    }
}

std::string SNRDeviceAttitude::description() const
{
    auto* self = const_cast<SNRDeviceAttitude*>(this);
    const SNRVector3* ecef = self->ecefCoordinates();
    const SNRVector3* euler = self->attitudeEulerAngles();
    std::string text = NSObject::description() + "\n";
    text += NSString::stringWithFormat("\nhasLocation: %s", yesNo(m_hasLocation));
    text += NSString::stringWithFormat("\nlocationAge: %f", m_locationAge);
    text += NSString::stringWithFormat("\nlocationLatitude: %f", m_locationLatitude);
    text += NSString::stringWithFormat("\nlocationLongitude: %f", m_locationLongitude);
    text += NSString::stringWithFormat("\nlocationAccuracy: %f", m_locationAccuracy);
    text += NSString::stringWithFormat("\nlocationAltitude: %f", m_locationAltitude);
    text += NSString::stringWithFormat("\nlocationAltitudeAccuracy: %f", m_locationAltitudeAccuracy);
    text += "\nlocationTimestamp: " + dateText(m_locationTimestamp);
    text += "\necefCoordinates: " + SNRVector3Description(ecef->x, ecef->y, ecef->z);
    text += "\n";
    text += NSString::stringWithFormat("\nhasHeading: %s", yesNo(m_hasHeading));
    text += NSString::stringWithFormat("\nheadingAge: %f", m_headingAge);
    text += NSString::stringWithFormat("\nheading: %f", m_heading);
    text += NSString::stringWithFormat("\nheadingAccuracy: %f", m_headingAccuracy);
    text += "\nheadingTimestamp: " + dateText(m_headingTimestamp);
    text += "\n";
    text += attitudeLines();
    text += "\nattitudeEulerAngles: " + SNRVector3Description(euler->x, euler->y, euler->z);
    text += "\n";
    return text;
}

std::string SNRDeviceAttitude::attitudeLines() const
{
    std::string text;
    text += NSString::stringWithFormat("\nhasAttitude: %s", yesNo(m_hasAttitude));
    text += "\nattitudeMatrix: " + SNRMatrixDescription("", m_attitudeMatrix);
    text
        += "\nattitudeGravity: " + SNRVector3Description(m_attitudeGravity.x, m_attitudeGravity.y, m_attitudeGravity.z);
    text += NSString::stringWithFormat("\nattitudePitch: %f", m_attitudePitch);
    text += NSString::stringWithFormat("\nattitudeRoll: %f", m_attitudeRoll);
    text += NSString::stringWithFormat("\nattitudeYaw: %f", m_attitudeYaw);
    return text;
}

std::string SNRDeviceAttitude::descriptionForHeading() const
{
    std::string text = NSObject::description();
    text += NSString::stringWithFormat("\nhasHeading: %s", yesNo(m_hasHeading));
    text += NSString::stringWithFormat("\nheadingAge: %f", m_headingAge);
    text += NSString::stringWithFormat("\nheading (true): %f", m_heading);
    text += NSString::stringWithFormat("\nheading (magnetic): %f", m_magneticHeading);
    text += NSString::stringWithFormat("\nheadingAccuracy: %f", m_headingAccuracy);
    text += "\nheadingTimestamp: " + dateText(m_headingTimestamp);
    return text;
}

std::string SNRDeviceAttitude::descriptionForMotion() const
{
    auto* self = const_cast<SNRDeviceAttitude*>(this);
    const SNRVector3* euler = self->attitudeEulerAngles();
    std::string text = NSObject::description();
    text += attitudeLines();
    text += NSString::stringWithFormat("\nmotionPitch: %f", m_motionPitch);
    text += NSString::stringWithFormat("\nmotionRoll: %f", m_motionRoll);
    text += NSString::stringWithFormat("\nmotionYaw: %f", m_motionYaw);
    text += "\nattitudeEulerAngles: " + SNRVector3Description(euler->x, euler->y, euler->z);
    text += NSString::stringWithFormat("\nheading: %f", m_attitudeHeading);
    text += NSString::stringWithFormat("\nattitudeTilting: %f", m_attitudeTilting);
    return text;
}
