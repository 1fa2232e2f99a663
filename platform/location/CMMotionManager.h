#pragma once

#include "location/CMDeviceMotion.h"

#include <cstdint>

// Attitude reference frames, a bit set.
enum CMAttitudeReferenceFrame : uint32_t {
    CMAttitudeReferenceFrameXArbitraryZVertical = 1,
    CMAttitudeReferenceFrameXArbitraryCorrectedZVertical = 2,
    CMAttitudeReferenceFrameXMagneticNorthZVertical = 4,
    CMAttitudeReferenceFrameXTrueNorthZVertical = 8,
};

// Polled access to the device's (simulated) motion sensors. deviceMotion is nil until updates
// are started and the sensor has produced a sample, and nil again after stopping. In the
// arbitrary frames, yaw is measured from the heading the device had when updates started; the
// north frames need the magnetometer, and the magnetic one measures yaw from magnetic north
// (the simulated compass's declination). Main thread only.
class CMMotionManager : public NSObject {
    VX_OBJECT(CMMotionManager, NSObject)
public:
    explicit CMMotionManager(Passkey);
    static Ref<CMMotionManager> init();

    bool isAccelerometerAvailable() const;
    bool isGyroAvailable() const;
    bool isMagnetometerAvailable() const;
    bool isDeviceMotionAvailable() const;
    static uint32_t availableAttitudeReferenceFrames();

    double deviceMotionUpdateInterval() const { return m_deviceMotionUpdateInterval; }
    void setDeviceMotionUpdateInterval(double seconds) { m_deviceMotionUpdateInterval = seconds; }
    bool showsDeviceMovementDisplay() const { return m_showsDeviceMovementDisplay; }
    void setShowsDeviceMovementDisplay(bool shows) { m_showsDeviceMovementDisplay = shows; }

    void startDeviceMotionUpdates();
    // A frame the device cannot provide (or not exactly one bit) leaves updates off.
    void startDeviceMotionUpdatesUsingReferenceFrame(CMAttitudeReferenceFrame frame);
    void stopDeviceMotionUpdates();
    bool isDeviceMotionActive() const { return m_active; }
    CMAttitudeReferenceFrame attitudeReferenceFrame() const { return m_frame; }

    Ref<CMDeviceMotion> deviceMotion();

private:
    double m_deviceMotionUpdateInterval { 0.01 };
    bool m_showsDeviceMovementDisplay { false };
    bool m_active { false };
    CMAttitudeReferenceFrame m_frame { CMAttitudeReferenceFrameXArbitraryZVertical };
    std::optional<double> m_yawOrigin;
};
