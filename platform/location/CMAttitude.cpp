#include "location/CMAttitude.h"
#include "foundation/Value.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace {

CMRotationMatrix matrixFor(double roll, double pitch, double yaw)
{
    double cr = std::cos(roll), sr = std::sin(roll);
    double cp = std::cos(pitch), sp = std::sin(pitch);
    double cy = std::cos(yaw), sy = std::sin(yaw);
    // D = Rz(yaw)·Rx(pitch)·Ry(roll): device axes in the reference frame (columns).
    double d11 = cy * cr - sy * sp * sr, d12 = -sy * cp, d13 = cy * sr + sy * sp * cr;
    double d21 = sy * cr + cy * sp * sr, d22 = cy * cp, d23 = sy * sr - cy * sp * cr;
    double d31 = -cp * sr, d32 = sp, d33 = cp * cr;
    return { d11, d21, d31, d12, d22, d32, d13, d23, d33 };
}

} // namespace

CMAttitude::CMAttitude(Passkey key, double roll, double pitch, double yaw)
    : NSObject(key)
    , m_roll(roll)
    , m_pitch(pitch)
    , m_yaw(yaw)
    , m_matrix(matrixFor(roll, pitch, yaw))
{
}

Ref<CMAttitude> CMAttitude::initWithRollPitchYaw(double roll, double pitch, double yaw)
{
    return make<CMAttitude>(roll, pitch, yaw);
}

Ref<CMAttitude> CMAttitude::initWithRotationMatrix(const CMRotationMatrix& m)
{
    // D = transpose(m): d32 = sin(pitch), d31 = -cos(pitch)·sin(roll), d33 = cos(pitch)·cos(roll),
    // d12 = -sin(yaw)·cos(pitch), d22 = cos(yaw)·cos(pitch).
    double pitch = std::asin(std::clamp(m.m23, -1.0, 1.0));
    double roll, yaw;
    if (std::fabs(std::cos(pitch)) > 1e-9) {
        roll = std::atan2(-m.m13, m.m33);
        yaw = std::atan2(-m.m21, m.m22);
    } else {
        // Upright on an edge: roll and yaw turn about the same axis; give it all to yaw.
        roll = 0;
        yaw = std::atan2(m.m12, m.m11);
    }
    return make<CMAttitude>(roll, pitch, yaw);
}

CMQuaternion CMAttitude::quaternion() const
{
    // Quaternion of D (device to reference), from its trace.
    const auto& m = m_matrix;
    double d11 = m.m11, d22 = m.m22, d33 = m.m33;
    double d21 = m.m12, d12 = m.m21, d31 = m.m13, d13 = m.m31, d32 = m.m23, d23 = m.m32;
    double trace = d11 + d22 + d33;
    CMQuaternion q {};
    if (trace > 0) {
        double s = std::sqrt(trace + 1.0) * 2;
        q = { (d32 - d23) / s, (d13 - d31) / s, (d21 - d12) / s, 0.25 * s };
    } else if (d11 > d22 && d11 > d33) {
        double s = std::sqrt(1.0 + d11 - d22 - d33) * 2;
        q = { 0.25 * s, (d12 + d21) / s, (d13 + d31) / s, (d32 - d23) / s };
    } else if (d22 > d33) {
        double s = std::sqrt(1.0 + d22 - d11 - d33) * 2;
        q = { (d12 + d21) / s, 0.25 * s, (d23 + d32) / s, (d13 - d31) / s };
    } else {
        double s = std::sqrt(1.0 + d33 - d11 - d22) * 2;
        q = { (d13 + d31) / s, (d23 + d32) / s, 0.25 * s, (d21 - d12) / s };
    }
    return q;
}

Value CMAttitude::valueForKey(const std::string& key)
{
    if (key == "roll")
        return m_roll;
    if (key == "pitch")
        return m_pitch;
    if (key == "yaw")
        return m_yaw;
    return NSObject::valueForKey(key);
}

std::string CMAttitude::description() const
{
    char buffer[120];
    std::snprintf(buffer, sizeof buffer, "CMAttitude Pitch: %.6f, Roll: %.6f, Yaw: %.6f", m_pitch * 180 / M_PI,
        m_roll * 180 / M_PI, m_yaw * 180 / M_PI);
    return buffer;
}

VX_REGISTER_CLASS(CMAttitude);
