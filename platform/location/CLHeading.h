#pragma once

#include "location/CLLocation.h"

// One compass reading: magnetic and true heading in degrees (true heading is negative when the
// position is unknown), accuracy (negative means invalid), raw field and time. Immutable; any thread.
class CLHeading : public NSObject {
    VX_OBJECT(CLHeading, NSObject)
public:
    CLHeading(Passkey, CLLocationDirection magneticHeading, CLLocationDirection trueHeading,
        CLLocationDirection headingAccuracy, double x, double y, double z, Ref<NSDate> timestamp);

    static Ref<CLHeading> initWithHeading(CLLocationDirection magneticHeading, CLLocationDirection trueHeading,
        CLLocationDirection headingAccuracy, Ref<NSDate> timestamp = nullptr);

    CLLocationDirection magneticHeading() const { return m_magneticHeading; }
    CLLocationDirection trueHeading() const { return m_trueHeading; }
    CLLocationDirection headingAccuracy() const { return m_headingAccuracy; }
    double x() const { return m_x; }
    double y() const { return m_y; }
    double z() const { return m_z; }
    const Ref<NSDate>& timestamp() const { return m_timestamp; }

    // The same reading turned by `degrees` (headings stay in [0, 360); a negative true heading stays).
    Ref<CLHeading> headingRotatedBy(double degrees) const;

    Value valueForKey(const std::string& key) override;
    std::string description() const override;

private:
    CLLocationDirection m_magneticHeading;
    CLLocationDirection m_trueHeading;
    CLLocationDirection m_headingAccuracy;
    double m_x, m_y, m_z;
    Ref<NSDate> m_timestamp;
};
