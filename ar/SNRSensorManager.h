#pragma once

#include "ar/SNRMath.h"
#include "ar/SNRSensorDelegate.h"
#include "foundation/NSObject.h"
#include "location/CLLocationManagerDelegate.h"

#include <functional>
#include <string>

class CLLocationManager;
class CMMotionManager;
class NSNotification;
class NSTimer;
class SNRDeviceAttitude;
class SNRDeviceProperties;

enum SNRSensorManagerUpdate : uint32_t {
    SNRSensorManagerUpdateNone = 0,
    SNRSensorManagerUpdateLocation = 1,
    SNRSensorManagerUpdateHeading = 2,
    SNRSensorManagerUpdateMotion = 4,
};

enum SNRSensorStatus : int32_t {
    SNRSensorStatusFailed = 0,
    SNRSensorStatusStopped = 1,
    SNRSensorStatusRestricted = 2,
    SNRSensorStatusDenied = 3,
    SNRSensorStatusRunning = 4,
};

// The sensor kit's owner of the location, compass and motion sensors: switches each on and off
// by a bit set of wanted sensors, polls motion on a timer, writes every reading into the shared
// device attitude and tells one (weakly held) delegate of every change. Main thread only.
class SNRSensorManager : public NSObject, public CLLocationManagerDelegate {
    VX_OBJECT(SNRSensorManager, NSObject)
public:
    explicit SNRSensorManager(Passkey key);
    ~SNRSensorManager() override;

    static Ref<SNRSensorManager> sharedSensorManager();
    // Test-only: stops and drops the shared manager (with its platform managers).
    static void resetForTesting();
    static double bearingTowardsLocationTo(const Ref<CLLocation>& from, const Ref<CLLocation>& to);
    static void showDefaultErrorMessage(int32_t code);
    // The two fixed rotations the attitude record turns every motion reading by.
    static const SNRMatrix4x4& fixedRotationX();
    static const SNRMatrix4x4& fixedRotationY();
    static std::string textForMode(uint32_t mode);

    Ref<SNRDeviceProperties> deviceProperties();
    void clearDeviceProperties();
    Ref<SNRDeviceAttitude> deviceAttitude();
    Ref<CLLocationManager> locationManager();
    Ref<CMMotionManager> motionManager();
    float motionManagerRate();
    float motionProcessRate();

    uint32_t sensorUpdateMode() const { return m_sensorUpdateMode; }
    void setSensorUpdateMode(uint32_t mode);
    bool shouldUpdateLocation() const { return m_sensorUpdateMode & SNRSensorManagerUpdateLocation; }
    bool shouldUpdateHeading() const { return m_sensorUpdateMode & SNRSensorManagerUpdateHeading; }
    bool shouldUpdateMotion() const { return m_sensorUpdateMode & SNRSensorManagerUpdateMotion; }
    void setShouldUpdateLocation(bool v) { setShouldUpdate(SNRSensorManagerUpdateLocation, v); }
    void setShouldUpdateHeading(bool v) { setShouldUpdate(SNRSensorManagerUpdateHeading, v); }
    void setShouldUpdateMotion(bool v) { setShouldUpdate(SNRSensorManagerUpdateMotion, v); }
    void setUseCompassAsBaseline(bool use);
    bool motionUpdateIncludesHeading() const { return m_motionRefrenceFrame == 8 || m_motionRefrenceFrame == 4; }

    bool startForLocationBasedPoiAR();
    bool start();
    void stop();
    bool isUpdatingLocation() const { return m_isUpdatingLocation; }
    bool isUpdatingHeading() const { return m_isUpdatingHeading; }
    bool isUpdatingMotion() const { return m_motionTimer != nullptr; }
    bool isCompassCalibrationEnabled() const { return m_isCompassCalibrationEnabled; }
    bool startLocation();
    void stopLocation();
    bool startHeading();
    void stopHeading();
    bool startMotion();
    void stopMotion();
    void motionUpdate(const Ref<NSTimer>& timer);
    void dispatchWhileWaitingForLocationAuthorization();
    void didResume();
    void willSuspend();

    bool freezeMotion() const { return m_freezeMotion; }
    void setFreezeMotion(bool v) { m_freezeMotion = v; }
    bool respectOrientationForHeading() const { return m_respectOrientationForHeading; }
    void setRespectOrientationForHeading(bool v) { m_respectOrientationForHeading = v; }
    Weak<SNRSensorDelegate> delegate() const { return m_delegate; }
    void setDelegate(const Weak<SNRSensorDelegate>& delegate) { m_delegate = delegate; }
    int32_t status() const { return m_status; }
    void setStatus(int32_t status) { m_status = status; }
    int32_t numberOfLocationUpdates() const { return m_numberOfLocationUpdates; }
    int32_t motionRefrenceFrame() const { return m_motionRefrenceFrame; }
    void setMotionRefrenceFrame(int32_t frame) { m_motionRefrenceFrame = frame; }
    int32_t oldStatus() const { return m_oldStatus; }
    void setOldStatus(int32_t status) { m_oldStatus = status; }
    void setWillSuspendEvent(std::function<void()> block) { m_willSuspendEvent = std::move(block); }
    void setDidResumeEvent(std::function<void()> block) { m_didResumeEvent = std::move(block); }

    // CLLocationManagerDelegate.
    void locationManagerDidUpdateToLocationFromLocation(const Ref<CLLocationManager>& manager,
        const Ref<CLLocation>& newLocation, const Ref<CLLocation>& oldLocation) override;
    void locationManagerDidUpdateHeading(const Ref<CLLocationManager>& manager, const Ref<CLHeading>& heading) override;
    void locationManagerDidFailWithError(const Ref<CLLocationManager>& manager, const Ref<NSError>& error) override;
    void locationManagerDidChangeAuthorizationStatus(
        const Ref<CLLocationManager>& manager, CLAuthorizationStatus status) override;
    bool locationManagerShouldDisplayHeadingCalibration(const Ref<CLLocationManager>& manager) override { return true; }

private:
    bool initialize();
    void didResumeNotification(const Ref<NSNotification>&) { didResume(); }
    void willSuspendNotification(const Ref<NSNotification>&) { willSuspend(); }
    void setShouldUpdate(uint32_t bit, bool on);
    void scheduleAuthorizationRetry();

    bool m_isUpdatingLocation { false };
    bool m_isUpdatingHeading { false };
    bool m_isCompassCalibrationEnabled { true };
    Ref<NSTimer> m_motionTimer;
    int32_t m_invalidHeadings { 0 };
    bool m_freezeMotion { false };
    bool m_respectOrientationForHeading { true };
    Weak<SNRSensorDelegate> m_delegate;
    Ref<SNRDeviceProperties> m_deviceProperties;
    Ref<CLLocationManager> m_locationManager;
    Ref<CMMotionManager> m_motionManager;
    Ref<SNRDeviceAttitude> m_deviceAttitude;
    int32_t m_status { SNRSensorStatusStopped };
    int32_t m_numberOfLocationUpdates { 0 };
    std::function<void()> m_willSuspendEvent;
    std::function<void()> m_didResumeEvent;
    int32_t m_motionRefrenceFrame { 8 };
    uint32_t m_sensorUpdateMode { 0 };
    int32_t m_oldStatus { 0 };
    // At most one authorisation retry is pending; stop() cancels it.
    bool m_retryPending { false };
};
