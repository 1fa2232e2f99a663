#pragma once

#include "ar/SNRDeviceAttitude.h"

// An attitude record whose position is a point at a chosen distance and bearing from a chosen
// centre and whose heading can be forced; everything else comes from the real record. The
// position is recomputed lazily after a change of centre, distance or bearing. Main thread only.
class SNRSimulatedAttitude : public SNRDeviceAttitude {
    VX_OBJECT(SNRSimulatedAttitude, SNRDeviceAttitude)
public:
    explicit SNRSimulatedAttitude(Passkey key)
        : SNRDeviceAttitude(key)
    {
    }
    static Ref<SNRSimulatedAttitude> sharedAttitude();
    static Ref<SNRSimulatedAttitude> init() { return make<SNRSimulatedAttitude>(); }
    static void resetForTesting();

    Ref<SNRDeviceAttitude> realAttitude();
    bool overridesAnything() const { return m_simulateLocation || m_simulateHeading; }
    bool simulateLocation() const { return m_simulateLocation; }
    void setSimulateLocation(bool v) { m_simulateLocation = v; }
    bool simulateHeading() const { return m_simulateHeading; }
    void setSimulateHeading(bool v) { m_simulateHeading = v; }
    float simulatedDistance() const { return m_simulatedDistance; }
    void setSimulatedDistance(float metres);
    float simulatedDirection() const { return m_simulatedDirection; }
    void setSimulatedDirection(float degrees);
    float simulatedHeading() const { return m_simulatedHeading; }
    void setSimulatedHeading(float degrees);
    SNRCoordinate simulatedCenter() const { return m_simulatedCenter; }
    void setSimulatedCenter(SNRCoordinate centre);
    void makeDirty() { m_dirty = true; }
    void updateSimulatedValues();

    Ref<CLLocation> location() override;
    CLLocationCoordinate2D locationCoordinate() override;
    float locationLatitude() override;
    float locationLongitude() override;
    float heading() override { return m_simulatedHeading; }
    bool hasAttitude() override;
    const SNRMatrix4x4* headingMatrix() override;
    const SNRMatrix4x4* attitudeMatrix() override;
    float attitudeHeading() override;
    const SNRVector3* attitudeGravity() override { return realAttitude()->attitudeGravity(); }
    double attitudePitch() override { return realAttitude()->attitudePitch(); }
    double attitudeRoll() override { return realAttitude()->attitudeRoll(); }
    double attitudeYaw() override { return realAttitude()->attitudeYaw(); }
    const SNRVector3* attitudeEulerAngles() override { return realAttitude()->attitudeEulerAngles(); }
    float attitudeTilting() override { return realAttitude()->attitudeTilting(); }
    int32_t signalQuality() override { return realAttitude()->signalQuality(); }
    int32_t deviceOrientation() override { return realAttitude()->deviceOrientation(); }
    float orientationSideAxis() override { return realAttitude()->orientationSideAxis(); }
    float orientationUpAxis() override { return realAttitude()->orientationUpAxis(); }
    bool orientationIsLandscape() override { return realAttitude()->orientationIsLandscape(); }

private:
    void updateIfDirty()
    {
        if (m_dirty)
            updateSimulatedValues();
    }

    bool m_dirty { false };
    Ref<SNRDeviceAttitude> m_realAttitude;
    bool m_simulateLocation { false };
    bool m_simulateHeading { false };
    float m_simulatedDistance { 0 };
    float m_simulatedDirection { 0 };
    float m_simulatedHeading { 0 };
    SNRCoordinate m_simulatedCenter {};
};
