#pragma once

#include "foundation/NSObject.h"

struct CMRotationMatrix {
    double m11, m12, m13;
    double m21, m22, m23;
    double m31, m32, m33;
};

struct CMQuaternion {
    double x, y, z, w;
};

// The device's orientation relative to a reference frame. Roll turns about the device's y axis,
// pitch about its x axis and yaw about the vertical; the device's axes in the reference frame are
// the columns of Rz(yaw)·Rx(pitch)·Ry(roll), and rotationMatrix is its transpose (it takes
// reference-frame vectors into device axes). In the north frames the reference axes are north,
// west and up, so the matrix's columns are those directions in device axes. Immutable; any thread.
class CMAttitude : public NSObject {
    VX_OBJECT(CMAttitude, NSObject)
public:
    CMAttitude(Passkey, double roll, double pitch, double yaw);
    static Ref<CMAttitude> initWithRollPitchYaw(double roll, double pitch, double yaw);
    // The attitude whose rotation matrix is `matrix` (a proper rotation).
    static Ref<CMAttitude> initWithRotationMatrix(const CMRotationMatrix& matrix);

    double roll() const { return m_roll; }
    double pitch() const { return m_pitch; }
    double yaw() const { return m_yaw; }
    CMRotationMatrix rotationMatrix() const { return m_matrix; }
    CMQuaternion quaternion() const;

    Value valueForKey(const std::string& key) override;
    std::string description() const override;

private:
    double m_roll, m_pitch, m_yaw;
    CMRotationMatrix m_matrix;
};
