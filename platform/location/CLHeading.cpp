#include "location/CLHeading.h"
#include "foundation/Value.h"

#include "foundation/NSDate.h"

#include <cmath>
#include <cstdio>

namespace {

double normalizedDegrees(double degrees)
{
    double d = std::fmod(degrees, 360.0);
    return d < 0 ? d + 360.0 : d;
}

} // namespace

CLHeading::CLHeading(Passkey key, CLLocationDirection magneticHeading, CLLocationDirection trueHeading,
    CLLocationDirection headingAccuracy, double x, double y, double z, Ref<NSDate> timestamp)
    : NSObject(key)
    , m_magneticHeading(magneticHeading)
    , m_trueHeading(trueHeading)
    , m_headingAccuracy(headingAccuracy)
    , m_x(x)
    , m_y(y)
    , m_z(z)
    , m_timestamp(timestamp ? std::move(timestamp) : NSDate::date())
{
}

Ref<CLHeading> CLHeading::initWithHeading(CLLocationDirection magneticHeading, CLLocationDirection trueHeading,
    CLLocationDirection headingAccuracy, Ref<NSDate> timestamp)
{
    // A horizontal field of 40 microtesla pointing to magnetic north, in device axes (portrait).
    double radians = magneticHeading * M_PI / 180.0;
    return make<CLHeading>(normalizedDegrees(magneticHeading),
        trueHeading < 0 ? trueHeading : normalizedDegrees(trueHeading), headingAccuracy, 40.0 * std::sin(-radians),
        40.0 * std::cos(radians), -30.0, std::move(timestamp));
}

Ref<CLHeading> CLHeading::headingRotatedBy(double degrees) const
{
    return make<CLHeading>(normalizedDegrees(m_magneticHeading + degrees),
        m_trueHeading < 0 ? m_trueHeading : normalizedDegrees(m_trueHeading + degrees), m_headingAccuracy, m_x, m_y,
        m_z, m_timestamp);
}

Value CLHeading::valueForKey(const std::string& key)
{
    if (key == "magneticHeading")
        return m_magneticHeading;
    if (key == "trueHeading")
        return m_trueHeading;
    if (key == "headingAccuracy")
        return m_headingAccuracy;
    if (key == "timestamp")
        return m_timestamp;
    return NSObject::valueForKey(key);
}

std::string CLHeading::description() const
{
    char buffer[200];
    std::snprintf(buffer, sizeof buffer,
        "magneticHeading %.2f trueHeading %.2f accuracy %.2f x %+.3f y %+.3f z %+.3f @ ", m_magneticHeading,
        m_trueHeading, m_headingAccuracy, m_x, m_y, m_z);
    return buffer + m_timestamp->description();
}

VX_REGISTER_CLASS(CLHeading);
