#include "ar/SNRSensorManager.h"

#include "ar/SNRDeviceAttitude.h"
#include "ar/SNRDeviceProperties.h"
#include "foundation/NSBundle.h"
#include "foundation/NSError.h"
#include "foundation/NSLog.h"
#include "foundation/NSNotificationCenter.h"
#include "foundation/NSRunLoop.h"
#include "foundation/NSString.h"
#include "foundation/NSTimer.h"
#include "location/CLLocationManager.h"
#include "location/CMMotionManager.h"
#include "uikit/UIAlertView.h"

#include <cmath>
#include <mutex>

namespace {

std::mutex s_lock;
// Lives for the process: never destroyed, so nothing it holds is torn down at exit under
// threads and statics that may still use it.
Ref<SNRSensorManager>& s_shared = *new Ref<SNRSensorManager>();
SNRMatrix4x4 s_rotationX;
SNRMatrix4x4 s_rotationY;

constexpr const char* retrySelector = "dispatchWhileWaitingForLocationAuthorization";

} // namespace

SNRSensorManager::SNRSensorManager(Passkey key)
    : NSObject(key)
{
}

SNRSensorManager::~SNRSensorManager()
{
    NSNotificationCenter::defaultCenter()->removeObserver(static_cast<const NSObject*>(this));
    if (m_motionTimer)
        m_motionTimer->invalidate();
}

Ref<SNRSensorManager> SNRSensorManager::sharedSensorManager()
{
    std::lock_guard lock(s_lock);
    if (!s_shared) {
        auto manager = make<SNRSensorManager>();
        if (manager->initialize())
            s_shared = manager;
        else
            return nullptr;
    }
    return s_shared;
}

void SNRSensorManager::resetForTesting()
{
    Ref<SNRSensorManager> old;
    {
        std::lock_guard lock(s_lock);
        old = std::move(s_shared);
    }
    if (old) {
        cancelPreviousPerformRequestsWithTarget(old);
        old->stopLocation();
        old->stopHeading();
        old->stopMotion();
    }
}

const SNRMatrix4x4& SNRSensorManager::fixedRotationX()
{
    return s_rotationX;
}

const SNRMatrix4x4& SNRSensorManager::fixedRotationY()
{
    return s_rotationY;
}

bool SNRSensorManager::initialize()
{
    deviceProperties();
    motionManager();
    locationManager();
    m_status = SNRSensorStatusStopped;
    SNRMatrixSetRotationX(s_rotationX, 270);
    SNRMatrixSetRotationY(s_rotationY, 90);
    if (!m_deviceProperties) {
        NSLog("could not initialize SNRDeviceProperties instance!");
        return false;
    }
    if (!m_motionManager) {
        NSLog("could not initialize CMMotionManager instance!");
        return false;
    }
    if (!m_locationManager) {
        NSLog("could not initialize CLLocationManager instance!");
        return false;
    }
    m_motionRefrenceFrame = 8;
    auto center = NSNotificationCenter::defaultCenter();
    auto self = this->self<SNRSensorManager>();
    center->addObserver(self, &SNRSensorManager::didResumeNotification,
        std::string("UIApplicationDidBecomeActiveNotification"), nullptr);
    center->addObserver(self, &SNRSensorManager::willSuspendNotification,
        std::string("UIApplicationWillResignActiveNotification"), nullptr);
    m_willSuspendEvent = nullptr;
    m_didResumeEvent = nullptr;
    m_respectOrientationForHeading = true;
    m_isCompassCalibrationEnabled = true;
    m_invalidHeadings = 0;
    return true;
}

Ref<SNRDeviceProperties> SNRSensorManager::deviceProperties()
{
    if (!m_deviceProperties)
        m_deviceProperties = SNRDeviceProperties::sharedDeviceProperties();
    return m_deviceProperties;
}

void SNRSensorManager::clearDeviceProperties()
{
    m_deviceProperties = nullptr;
}

Ref<SNRDeviceAttitude> SNRSensorManager::deviceAttitude()
{
    if (!m_deviceAttitude)
        m_deviceAttitude = SNRDeviceAttitude::sharedDeviceAttitude();
    return m_deviceAttitude;
}

Ref<CLLocationManager> SNRSensorManager::locationManager()
{
    if (!m_locationManager) {
        m_locationManager = CLLocationManager::init();
        m_locationManager->setDistanceFilter(kCLDistanceFilterNone);
        if (deviceProperties() && deviceProperties()->hasCompass())
            m_locationManager->setHeadingOrientation(CLDeviceOrientationPortrait);
        m_locationManager->setDesiredAccuracy(kCLLocationAccuracyBestForNavigation);
        m_locationManager->setHeadingFilter(0.5);
        m_locationManager->setDelegate(self<SNRSensorManager>());
    }
    return m_locationManager;
}

Ref<CMMotionManager> SNRSensorManager::motionManager()
{
    if (!m_motionManager) {
        m_motionManager = CMMotionManager::init();
        m_motionManager->setShowsDeviceMovementDisplay(true);
        m_motionManager->setDeviceMotionUpdateInterval(static_cast<double>(motionManagerRate()));
    }
    return m_motionManager;
}

float SNRSensorManager::motionManagerRate()
{
    auto properties = deviceProperties();
    return properties && properties->isSingleCoreDevice() ? 1.0f / 15.0f : 1.0f / 30.0f;
}

float SNRSensorManager::motionProcessRate()
{
    return motionManagerRate();
}

std::string SNRSensorManager::textForMode(uint32_t mode)
{
    if (mode == 0)
        return "SNRSensorManagerUpdateNone";
    std::string names;
    auto append = [&](const char* name) {
        names = names.empty() ? std::string(name) : NSString::stringWithFormat("%@|%@", names, std::string(name));
    };
    if (mode & SNRSensorManagerUpdateLocation)
        append("SNRSensorManagerUpdateLocation");
    if (mode & SNRSensorManagerUpdateHeading)
        append("SNRSensorManagerUpdateHeading");
    if (mode & SNRSensorManagerUpdateMotion)
        append("SNRSensorManagerUpdateMotion");
    return NSString::stringWithFormat("%@=%d", names, static_cast<int32_t>(mode));
}

void SNRSensorManager::setSensorUpdateMode(uint32_t mode)
{
    uint32_t old = m_sensorUpdateMode;
    m_sensorUpdateMode = mode;
    if (mode == old)
        return;
    NSLog("setSensorUpdateMode %@", textForMode(mode));
    if (mode != 0)
        start();
    else if (old != 0)
        stop();
    if (auto delegate = m_delegate.lock())
        delegate->didChangeSensorUpdateModeFromModeMotionIncludesHeading(mode, old, motionUpdateIncludesHeading());
}

void SNRSensorManager::setShouldUpdate(uint32_t bit, bool on)
{
    uint32_t mode = on ? (m_sensorUpdateMode | bit) : (m_sensorUpdateMode & ~bit);
    if (mode != m_sensorUpdateMode)
        setSensorUpdateMode(mode);
}

void SNRSensorManager::setUseCompassAsBaseline(bool use)
{
    int32_t frame = use ? 8 : 2;
    if (frame == m_motionRefrenceFrame)
        return;
    m_motionRefrenceFrame = frame;
    if (auto delegate = m_delegate.lock())
        delegate->didChangeSensorUpdateModeFromModeMotionIncludesHeading(m_sensorUpdateMode, m_sensorUpdateMode, use);
}

bool SNRSensorManager::startForLocationBasedPoiAR()
{
    setSensorUpdateMode(SNRSensorManagerUpdateLocation | SNRSensorManagerUpdateHeading | SNRSensorManagerUpdateMotion);
    setMotionRefrenceFrame(8);
    return start();
}

void SNRSensorManager::scheduleAuthorizationRetry()
{
    // One pending retry at a time: a second start while undetermined does not begin a second chain.
    if (m_retryPending)
        return;
    m_retryPending = true;
    Weak<SNRSensorManager> weak = self<SNRSensorManager>();
    performSelectorAfterDelay(
        self<SNRSensorManager>(), retrySelector,
        [weak]() {
            if (auto self = weak.lock()) {
                self->m_retryPending = false;
                self->dispatchWhileWaitingForLocationAuthorization();
            }
        },
        0.2);
}

bool SNRSensorManager::start()
{
    int32_t before = m_status;
    bool result = true;
    auto attitude = deviceAttitude();
    attitude->setAuthorizationStatusFromCLLocationManager();
    if (attitude->locationAuthorizationStatus() == kCLAuthorizationStatusNotDetermined)
        scheduleAuthorizationRetry();

    if (shouldUpdateLocation()) {
        if (!startLocation()) {
            int32_t authorization = attitude->locationAuthorizationStatus();
            m_status = authorization == 1 ? SNRSensorStatusRestricted
                : authorization == 2      ? SNRSensorStatusDenied
                                          : SNRSensorStatusFailed;
            result = false;
        }
    } else if (m_isUpdatingLocation) {
        stopLocation();
    }
    if (shouldUpdateHeading()) {
        if (!startHeading()) {
            m_status = SNRSensorStatusFailed;
            result = false;
        }
    } else if (m_isUpdatingHeading) {
        stopHeading();
    }
    if (shouldUpdateMotion()) {
        if (!startMotion()) {
            m_status = SNRSensorStatusFailed;
            result = false;
        }
    } else if (isUpdatingMotion()) {
        stopMotion();
    }
    if (result)
        m_status = SNRSensorStatusRunning;
    if (m_status != before) {
        if (auto delegate = m_delegate.lock())
            delegate->didChangeStatus(m_status);
    }
    return result;
}

void SNRSensorManager::stop()
{
    if (m_retryPending) {
        cancelPreviousPerformRequestsWithTargetSelector(self<SNRSensorManager>(), retrySelector);
        m_retryPending = false;
    }
    if (m_isUpdatingLocation)
        stopLocation();
    if (m_isUpdatingHeading)
        stopHeading();
    if (isUpdatingMotion())
        stopMotion();
    if (m_status > SNRSensorStatusDenied) {
        m_status = SNRSensorStatusStopped;
        if (auto delegate = m_delegate.lock())
            delegate->didChangeStatus(SNRSensorStatusStopped);
    }
}

bool SNRSensorManager::startLocation()
{
    if (!deviceProperties()->hasGPSSensor()) {
        NSLog("startLocation: hasGPSSensor == NO");
        return false;
    }
    locationManager()->startUpdatingLocation();
    m_numberOfLocationUpdates = 0;
    m_isUpdatingLocation = true;
    return true;
}

void SNRSensorManager::stopLocation()
{
    if (m_locationManager)
        m_locationManager->stopUpdatingLocation();
    m_isUpdatingLocation = false;
}

bool SNRSensorManager::startHeading()
{
    if (!deviceProperties()->hasCompass()) {
        NSLog("startHeading: hasCompass == NO");
        return false;
    }
    locationManager()->startUpdatingHeading();
    m_isUpdatingHeading = true;
    return true;
}

void SNRSensorManager::stopHeading()
{
    if (m_locationManager)
        m_locationManager->stopUpdatingHeading();
    m_isUpdatingHeading = false;
}

bool SNRSensorManager::startMotion()
{
    if (!deviceProperties()->hasGyroscope()) {
        NSLog("startMotion: hasGyroscope == NO");
        return false;
    }
    motionManager()->startDeviceMotionUpdatesUsingReferenceFrame(
        static_cast<CMAttitudeReferenceFrame>(m_motionRefrenceFrame));
    if (m_motionTimer)
        m_motionTimer->invalidate();
    m_motionTimer
        = NSTimer::scheduledTimerWithTimeIntervalTargetSelectorUserInfoRepeats(static_cast<double>(motionProcessRate()),
            self<SNRSensorManager>(), &SNRSensorManager::motionUpdate, Value(), true);
    return true;
}

void SNRSensorManager::stopMotion()
{
    if (m_motionManager)
        m_motionManager->stopDeviceMotionUpdates();
    if (m_motionTimer)
        m_motionTimer->invalidate();
    m_motionTimer = nullptr;
}

void SNRSensorManager::motionUpdate(const Ref<NSTimer>&)
{
    if (m_freezeMotion)
        return;
    if (auto motion = motionManager()->deviceMotion())
        deviceAttitude()->setMotionFromCMMotion(motion);
}

void SNRSensorManager::dispatchWhileWaitingForLocationAuthorization()
{
    if (!shouldUpdateLocation())
        return;
    if (deviceAttitude()->locationAuthorizationStatus() == kCLAuthorizationStatusNotDetermined)
        scheduleAuthorizationRetry();
    else
        start();
}

void SNRSensorManager::didResume()
{
    if (m_didResumeEvent)
        m_didResumeEvent();
}

void SNRSensorManager::willSuspend()
{
    if (m_willSuspendEvent)
        m_willSuspendEvent();
}

void SNRSensorManager::locationManagerDidUpdateToLocationFromLocation(
    const Ref<CLLocationManager>&, const Ref<CLLocation>& newLocation, const Ref<CLLocation>&)
{
    Ref<SNRSensorManager> protectedThis = self<SNRSensorManager>();
    deviceAttitude()->setLocationFromCLLocation(newLocation);
    ++m_numberOfLocationUpdates;
}

void SNRSensorManager::locationManagerDidUpdateHeading(const Ref<CLLocationManager>&, const Ref<CLHeading>& heading)
{
    Ref<SNRSensorManager> protectedThis = self<SNRSensorManager>();
    if (heading && heading->trueHeading() >= 0)
        m_invalidHeadings = 0;
    else
        ++m_invalidHeadings;
    bool enabled = m_invalidHeadings < 20;
    if (enabled != m_isCompassCalibrationEnabled) {
        m_isCompassCalibrationEnabled = enabled;
        if (!enabled) {
            if (auto delegate = m_delegate.lock())
                delegate->didReceiveErrorCode(16770);
        }
    }
    deviceAttitude()->setHeadingFromCLHeading(heading);
}

void SNRSensorManager::locationManagerDidFailWithError(const Ref<CLLocationManager>&, const Ref<NSError>& error)
{
    Ref<SNRSensorManager> protectedThis = self<SNRSensorManager>();
    deviceAttitude()->removeLocationBecauseOfError();
    if (auto delegate = m_delegate.lock())
        delegate->didReceiveErrorCode(error ? error->code() : 0);
}

void SNRSensorManager::locationManagerDidChangeAuthorizationStatus(
    const Ref<CLLocationManager>&, CLAuthorizationStatus status)
{
    Ref<SNRSensorManager> protectedThis = self<SNRSensorManager>();
    deviceAttitude()->setAuthorizationStatusFromCLLocationManager();
    if (status == kCLAuthorizationStatusRestricted)
        m_status = SNRSensorStatusRestricted;
    else if (status == kCLAuthorizationStatusDenied)
        m_status = SNRSensorStatusDenied;
    if (auto delegate = m_delegate.lock())
        delegate->didChangeAuthorizationStatus(status);
}

double SNRSensorManager::bearingTowardsLocationTo(const Ref<CLLocation>& from, const Ref<CLLocation>& to)
{
    CLLocationCoordinate2D a = from ? from->coordinate() : CLLocationCoordinate2D {};
    CLLocationCoordinate2D b = to ? to->coordinate() : CLLocationCoordinate2D {};
    double phi1 = SNRDegreesToRadians(a.latitude), phi2 = SNRDegreesToRadians(b.latitude);
    double deltaLambda = SNRDegreesToRadians(b.longitude) - SNRDegreesToRadians(a.longitude);
    double theta = std::atan2(std::sin(deltaLambda) * std::cos(phi2),
        std::cos(phi1) * std::sin(phi2) - std::sin(phi1) * std::cos(phi2) * std::cos(deltaLambda));
    theta += 2 * SNRPi;
    if (theta > 2 * SNRPi)
        theta -= 2 * SNRPi;
    return SNRRadiansToDegrees(theta);
}

void SNRSensorManager::showDefaultErrorMessage(int32_t code)
{
    const char* key = "SNR_ERROR_UNKNOWN";
    switch (code) {
    case 0:
        key = "SNR_ERROR_LOCATION_UNKNOWN";
        break;
    case 1:
        key = "SNR_ERROR_DENIED";
        break;
    case 2:
        key = "SNR_ERROR_NETWORK";
        break;
    case 3:
        key = "SNR_ERROR_HEADING_FAILURE";
        break;
    case 10024:
        key = "SNR_ERROR_RESTRICTED";
        break;
    default:
        break;
    }
    auto bundle = NSBundle::mainBundle();
    auto text = [&](const char* k) { return bundle->localizedStringForKey(k, "", "SkySensorKit"); };
    auto alert = UIAlertView::initWithTitle(text("SNR_ERROR"), text(key), nullptr, {}, text("SNR_OKAY"), {});
    alert->show();
}
