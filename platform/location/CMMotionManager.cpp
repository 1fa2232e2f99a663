#include "location/CMMotionManager.h"

#include "foundation/Clock.h"
#include "location/LocationSimulator.h"

#include <cmath>

CMMotionManager::CMMotionManager(Passkey key)
    : NSObject(key)
{
}

Ref<CMMotionManager> CMMotionManager::init()
{
    return make<CMMotionManager>();
}

bool CMMotionManager::isAccelerometerAvailable() const
{
    return LocationSimulator::shared().accelerometerAvailable();
}
bool CMMotionManager::isGyroAvailable() const
{
    return LocationSimulator::shared().gyroAvailable();
}
bool CMMotionManager::isMagnetometerAvailable() const
{
    return LocationSimulator::shared().magnetometerAvailable();
}
bool CMMotionManager::isDeviceMotionAvailable() const
{
    return LocationSimulator::shared().deviceMotionAvailable();
}

uint32_t CMMotionManager::availableAttitudeReferenceFrames()
{
    auto& simulator = LocationSimulator::shared();
    if (!simulator.deviceMotionAvailable())
        return 0;
    uint32_t frames
        = CMAttitudeReferenceFrameXArbitraryZVertical | CMAttitudeReferenceFrameXArbitraryCorrectedZVertical;
    if (simulator.magnetometerAvailable())
        frames |= CMAttitudeReferenceFrameXMagneticNorthZVertical | CMAttitudeReferenceFrameXTrueNorthZVertical;
    return frames;
}

void CMMotionManager::startDeviceMotionUpdates()
{
    startDeviceMotionUpdatesUsingReferenceFrame(CMAttitudeReferenceFrameXArbitraryZVertical);
}

void CMMotionManager::startDeviceMotionUpdatesUsingReferenceFrame(CMAttitudeReferenceFrame frame)
{
    uint32_t bits = frame;
    if (bits == 0 || (bits & (bits - 1)) != 0 || !(availableAttitudeReferenceFrames() & bits))
        return;
    m_frame = frame;
    m_active = true;
    m_yawOrigin.reset();
}

void CMMotionManager::stopDeviceMotionUpdates()
{
    m_active = false;
    m_yawOrigin.reset();
}

Ref<CMDeviceMotion> CMMotionManager::deviceMotion()
{
    auto& simulator = LocationSimulator::shared();
    if (!m_active || simulator.motionSampleCount() == 0)
        return nullptr;
    double roll, pitch, yaw;
    simulator.attitude(roll, pitch, yaw);
    switch (m_frame) {
    case CMAttitudeReferenceFrameXArbitraryZVertical:
    case CMAttitudeReferenceFrameXArbitraryCorrectedZVertical:
        if (!m_yawOrigin)
            m_yawOrigin = yaw;
        yaw -= *m_yawOrigin;
        break;
    case CMAttitudeReferenceFrameXMagneticNorthZVertical:
        if (auto heading = simulator.heading(); heading && heading->trueHeading() >= 0)
            yaw += (heading->trueHeading() - heading->magneticHeading()) * M_PI / 180.0;
        break;
    case CMAttitudeReferenceFrameXTrueNorthZVertical:
        break;
    }
    yaw = std::remainder(yaw, 2 * M_PI);
    CMAcceleration acceleration {};
    simulator.userAcceleration(acceleration.x, acceleration.y, acceleration.z);
    return CMDeviceMotion::initWithAttitude(
        CMAttitude::initWithRollPitchYaw(roll, pitch, yaw), acceleration, Clock::mediaTime());
}

VX_REGISTER_CLASS(CMMotionManager);
