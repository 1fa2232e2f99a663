#pragma once

#include "location/CLError.h"
#include "location/CLHeading.h"
#include "location/CLLocation.h"

#include <cstdint>
#include <mutex>
#include <vector>

class CLLocationManager;

// The simulated device's motion sensors, as a set of bits.
enum MotionSensors : uint8_t {
    MotionSensorNone = 0,
    MotionSensorAccelerometer = 1u << 0,
    MotionSensorGyro = 1u << 1,
    MotionSensorMagnetometer = 1u << 2,
    MotionSensorDeviceMotion = 1u << 3,
    MotionSensorAll
    = MotionSensorAccelerometer | MotionSensorGyro | MotionSensorMagnetometer | MotionSensorDeviceMotion,
};

constexpr MotionSensors operator|(MotionSensors a, MotionSensors b)
{
    return static_cast<MotionSensors>(static_cast<uint8_t>(a) | static_cast<uint8_t>(b));
}

// The device's simulated location, compass and motion sensors. The host and tests set what the
// device "senses"; every location manager hears of each change asynchronously on the main queue
// (drain the queues to see it delivered). Motion is polled: CMMotionManager reads the attitude
// set here. Setters and getters on any thread; deliveries on the main thread.
class LocationSimulator {
public:
    static LocationSimulator& shared();

    // Location services and authorisation (class-wide, as the settings app would set them).
    // Defaults: services on, authorised, heading available.
    void setLocationServicesEnabled(bool enabled);
    bool locationServicesEnabled() const;
    void setAuthorizationStatus(CLAuthorizationStatus status);
    CLAuthorizationStatus authorizationStatus() const;
    void setHeadingAvailable(bool available);
    bool headingAvailable() const;

    // The current fix (nil: no fix yet) and compass reading (nil: none yet).
    void setLocation(const Ref<CLLocation>& location);
    void setCoordinate(
        CLLocationCoordinate2D coordinate, CLLocationDistance altitude = 0, CLLocationAccuracy accuracy = 5);
    Ref<CLLocation> location() const;
    void setHeading(const Ref<CLHeading>& heading);
    void setHeadingDegrees(
        CLLocationDirection magnetic, CLLocationDirection trueHeading, CLLocationDirection accuracy = 5);
    Ref<CLHeading> heading() const;
    // Reports a failure to the managers that are updating: codes 0 to 2 to location updates,
    // kCLErrorHeadingFailure to heading updates.
    void failWithError(CLError code);
    // Asks heading-updating managers' delegates whether to show the calibration display.
    void requestHeadingCalibration();

    // Motion sensors. Defaults: all available, device lying flat facing north.
    // The sensors present; the others answer unavailable.
    void setMotionAvailable(MotionSensors available);
    bool accelerometerAvailable() const;
    bool gyroAvailable() const;
    bool magnetometerAvailable() const;
    bool deviceMotionAvailable() const;
    // The device attitude in radians; gravity and the rotation matrix are derived from it.
    void setAttitude(double roll, double pitch, double yaw);
    void attitude(double& roll, double& pitch, double& yaw) const;
    void setUserAcceleration(double x, double y, double z);
    void userAcceleration(double& x, double& y, double& z) const;
    // Number of attitude samples set so far (0: the sensor has produced nothing yet).
    uint64_t motionSampleCount() const;

    // Back to the defaults, with no fix, no heading and no motion sample. Managers are kept.
    void reset();

    // Location managers register themselves while they exist.
    void addManager(const Ref<CLLocationManager>& manager);
    void removeManager(const CLLocationManager* manager);

private:
    LocationSimulator() = default;
    template <typename Function> void broadcast(Function function);

    mutable std::mutex m_lock;
    bool m_servicesEnabled { true };
    CLAuthorizationStatus m_authorization { kCLAuthorizationStatusAuthorized };
    bool m_headingAvailable { true };
    Ref<CLLocation> m_location;
    Ref<CLHeading> m_heading;
    bool m_accelerometer { true }, m_gyro { true }, m_magnetometer { true }, m_deviceMotion { true };
    double m_roll { 0 }, m_pitch { 0 }, m_yaw { 0 };
    double m_accelerationX { 0 }, m_accelerationY { 0 }, m_accelerationZ { 0 };
    uint64_t m_motionSamples { 0 };
    std::vector<Weak<CLLocationManager>> m_managers;
};
