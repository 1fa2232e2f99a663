#pragma once

#include "location/CMAttitude.h"

struct CMAcceleration {
    double x, y, z;
};

struct CMRotationRate {
    double x, y, z;
};

// One device-motion sample: attitude, gravity (in g, device axes; derived from the attitude so
// the two always agree), user acceleration and rotation rate, with its media-time timestamp.
// Immutable; any thread.
class CMDeviceMotion : public NSObject {
    VX_OBJECT(CMDeviceMotion, NSObject)
public:
    CMDeviceMotion(Passkey, Ref<CMAttitude> attitude, CMAcceleration userAcceleration, double timestamp);
    static Ref<CMDeviceMotion> initWithAttitude(
        Ref<CMAttitude> attitude, CMAcceleration userAcceleration, double timestamp);

    const Ref<CMAttitude>& attitude() const { return m_attitude; }
    CMAcceleration gravity() const { return m_gravity; }
    CMAcceleration userAcceleration() const { return m_userAcceleration; }
    CMRotationRate rotationRate() const { return { 0, 0, 0 }; }
    double timestamp() const { return m_timestamp; }

    Value valueForKey(const std::string& key) override;

private:
    Ref<CMAttitude> m_attitude;
    CMAcceleration m_gravity;
    CMAcceleration m_userAcceleration;
    double m_timestamp;
};
