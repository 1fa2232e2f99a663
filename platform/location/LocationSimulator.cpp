#include "location/LocationSimulator.h"

#include "foundation/Dispatch.h"
#include "foundation/NSDate.h"
#include "location/CLLocationManager.h"

#include <algorithm>

LocationSimulator& LocationSimulator::shared()
{
    static LocationSimulator* s_shared = new LocationSimulator;
    return *s_shared;
}

template <typename Function> void LocationSimulator::broadcast(Function function)
{
    std::vector<Weak<CLLocationManager>> managers;
    {
        std::lock_guard guard(m_lock);
        managers = m_managers;
    }
    dispatch_async(dispatch_get_main_queue(), [managers = std::move(managers), function = std::move(function)] {
        for (auto& weak : managers) {
            if (auto manager = weak.lock())
                function(manager);
        }
    });
}

void LocationSimulator::setLocationServicesEnabled(bool enabled)
{
    std::lock_guard guard(m_lock);
    m_servicesEnabled = enabled;
}

bool LocationSimulator::locationServicesEnabled() const
{
    std::lock_guard guard(m_lock);
    return m_servicesEnabled;
}

void LocationSimulator::setAuthorizationStatus(CLAuthorizationStatus status)
{
    {
        std::lock_guard guard(m_lock);
        if (m_authorization == status)
            return;
        m_authorization = status;
    }
    broadcast([status](const Ref<CLLocationManager>& manager) { manager->receiveAuthorizationChange(status); });
}

CLAuthorizationStatus LocationSimulator::authorizationStatus() const
{
    std::lock_guard guard(m_lock);
    return m_authorization;
}

void LocationSimulator::setHeadingAvailable(bool available)
{
    std::lock_guard guard(m_lock);
    m_headingAvailable = available;
}

bool LocationSimulator::headingAvailable() const
{
    std::lock_guard guard(m_lock);
    return m_headingAvailable;
}

void LocationSimulator::setLocation(const Ref<CLLocation>& location)
{
    {
        std::lock_guard guard(m_lock);
        m_location = location;
    }
    if (location)
        broadcast([location](const Ref<CLLocationManager>& manager) { manager->receiveLocation(location); });
}

void LocationSimulator::setCoordinate(
    CLLocationCoordinate2D coordinate, CLLocationDistance altitude, CLLocationAccuracy accuracy)
{
    setLocation(CLLocation::initWithCoordinate(coordinate, altitude, accuracy, accuracy, NSDate::date()));
}

Ref<CLLocation> LocationSimulator::location() const
{
    std::lock_guard guard(m_lock);
    return m_location;
}

void LocationSimulator::setHeading(const Ref<CLHeading>& heading)
{
    {
        std::lock_guard guard(m_lock);
        m_heading = heading;
    }
    if (heading)
        broadcast([heading](const Ref<CLLocationManager>& manager) { manager->receiveHeading(heading); });
}

void LocationSimulator::setHeadingDegrees(
    CLLocationDirection magnetic, CLLocationDirection trueHeading, CLLocationDirection accuracy)
{
    setHeading(CLHeading::initWithHeading(magnetic, trueHeading, accuracy, NSDate::date()));
}

Ref<CLHeading> LocationSimulator::heading() const
{
    std::lock_guard guard(m_lock);
    return m_heading;
}

void LocationSimulator::failWithError(CLError code)
{
    broadcast([code](const Ref<CLLocationManager>& manager) { manager->receiveFailure(code); });
}

void LocationSimulator::requestHeadingCalibration()
{
    broadcast([](const Ref<CLLocationManager>& manager) { manager->receiveCalibrationRequest(); });
}

void LocationSimulator::setMotionAvailable(MotionSensors available)
{
    std::lock_guard guard(m_lock);
    m_accelerometer = available & MotionSensorAccelerometer;
    m_gyro = available & MotionSensorGyro;
    m_magnetometer = available & MotionSensorMagnetometer;
    m_deviceMotion = available & MotionSensorDeviceMotion;
}

bool LocationSimulator::accelerometerAvailable() const
{
    std::lock_guard guard(m_lock);
    return m_accelerometer;
}
bool LocationSimulator::gyroAvailable() const
{
    std::lock_guard guard(m_lock);
    return m_gyro;
}
bool LocationSimulator::magnetometerAvailable() const
{
    std::lock_guard guard(m_lock);
    return m_magnetometer;
}
bool LocationSimulator::deviceMotionAvailable() const
{
    std::lock_guard guard(m_lock);
    return m_deviceMotion;
}

void LocationSimulator::setAttitude(double roll, double pitch, double yaw)
{
    std::lock_guard guard(m_lock);
    m_roll = roll;
    m_pitch = pitch;
    m_yaw = yaw;
    ++m_motionSamples;
}

void LocationSimulator::attitude(double& roll, double& pitch, double& yaw) const
{
    std::lock_guard guard(m_lock);
    roll = m_roll;
    pitch = m_pitch;
    yaw = m_yaw;
}

void LocationSimulator::setUserAcceleration(double x, double y, double z)
{
    std::lock_guard guard(m_lock);
    m_accelerationX = x;
    m_accelerationY = y;
    m_accelerationZ = z;
}

void LocationSimulator::userAcceleration(double& x, double& y, double& z) const
{
    std::lock_guard guard(m_lock);
    x = m_accelerationX;
    y = m_accelerationY;
    z = m_accelerationZ;
}

uint64_t LocationSimulator::motionSampleCount() const
{
    std::lock_guard guard(m_lock);
    return m_motionSamples;
}

void LocationSimulator::reset()
{
    std::lock_guard guard(m_lock);
    m_servicesEnabled = true;
    m_authorization = kCLAuthorizationStatusAuthorized;
    m_headingAvailable = true;
    m_location = nullptr;
    m_heading = nullptr;
    m_accelerometer = m_gyro = m_magnetometer = m_deviceMotion = true;
    m_roll = m_pitch = m_yaw = 0;
    m_accelerationX = m_accelerationY = m_accelerationZ = 0;
    m_motionSamples = 0;
}

void LocationSimulator::addManager(const Ref<CLLocationManager>& manager)
{
    std::lock_guard guard(m_lock);
    std::erase_if(m_managers, [](const Weak<CLLocationManager>& weak) { return weak.expired(); });
    m_managers.push_back(manager);
}

void LocationSimulator::removeManager(const CLLocationManager* manager)
{
    std::lock_guard guard(m_lock);
    std::erase_if(m_managers, [manager](const Weak<CLLocationManager>& weak) {
        auto strong = weak.lock();
        return !strong || strong.get() == manager;
    });
}
