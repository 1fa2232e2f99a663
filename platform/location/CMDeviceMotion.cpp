#include "location/CMDeviceMotion.h"
#include "foundation/Value.h"

CMDeviceMotion::CMDeviceMotion(Passkey key, Ref<CMAttitude> attitude, CMAcceleration userAcceleration, double timestamp)
    : NSObject(key)
    , m_attitude(std::move(attitude))
    , m_userAcceleration(userAcceleration)
    , m_timestamp(timestamp)
{
    // Gravity points down the reference frame's z axis; in device axes that is the matrix times (0, 0, -1).
    auto m = m_attitude->rotationMatrix();
    m_gravity = { -m.m13, -m.m23, -m.m33 };
}

Ref<CMDeviceMotion> CMDeviceMotion::initWithAttitude(
    Ref<CMAttitude> attitude, CMAcceleration userAcceleration, double timestamp)
{
    if (!attitude)
        return nullptr;
    return make<CMDeviceMotion>(std::move(attitude), userAcceleration, timestamp);
}

Value CMDeviceMotion::valueForKey(const std::string& key)
{
    if (key == "attitude")
        return m_attitude;
    if (key == "timestamp")
        return m_timestamp;
    return NSObject::valueForKey(key);
}

VX_REGISTER_CLASS(CMDeviceMotion);
