#include "location/CLLocation.h"
#include "foundation/Value.h"

#include "foundation/NSDate.h"

#include <cmath>
#include <cstdio>
#include <limits>

const CLLocationCoordinate2D kCLLocationCoordinate2DInvalid { -180.0, -180.0 };

bool CLLocationCoordinate2DIsValid(CLLocationCoordinate2D c)
{
    return c.latitude >= -90.0 && c.latitude <= 90.0 && c.longitude >= -180.0 && c.longitude <= 180.0;
}

namespace {

constexpr double kSemiMajor = 6378137.0;
constexpr double kFlattening = 1.0 / 298.257223563;
constexpr double kSemiMinor = kSemiMajor * (1.0 - kFlattening);
constexpr double kMeanRadius = 6371008.8;
constexpr double kRadians = M_PI / 180.0;

double haversine(CLLocationCoordinate2D a, CLLocationCoordinate2D b)
{
    double phi1 = a.latitude * kRadians, phi2 = b.latitude * kRadians;
    double dPhi = phi2 - phi1, dLambda = (b.longitude - a.longitude) * kRadians;
    double h = std::sin(dPhi / 2) * std::sin(dPhi / 2)
        + std::cos(phi1) * std::cos(phi2) * std::sin(dLambda / 2) * std::sin(dLambda / 2);
    return 2 * kMeanRadius * std::asin(std::min(1.0, std::sqrt(h)));
}

} // namespace

CLLocationDistance CLDistanceBetweenCoordinates(CLLocationCoordinate2D from, CLLocationCoordinate2D to)
{
    if (!CLLocationCoordinate2DIsValid(from) || !CLLocationCoordinate2DIsValid(to))
        return -1;
    if (from.latitude == to.latitude && from.longitude == to.longitude)
        return 0;
    const double f = kFlattening, a = kSemiMajor, b = kSemiMinor;
    double L = (to.longitude - from.longitude) * kRadians;
    double U1 = std::atan((1 - f) * std::tan(from.latitude * kRadians));
    double U2 = std::atan((1 - f) * std::tan(to.latitude * kRadians));
    double sinU1 = std::sin(U1), cosU1 = std::cos(U1), sinU2 = std::sin(U2), cosU2 = std::cos(U2);
    double lambda = L;
    double sinSigma = 0, cosSigma = 0, sigma = 0, cosSqAlpha = 0, cos2SigmaM = 0;
    bool converged = false;
    for (int i = 0; i < 200; ++i) {
        double sinLambda = std::sin(lambda), cosLambda = std::cos(lambda);
        double t1 = cosU2 * sinLambda, t2 = cosU1 * sinU2 - sinU1 * cosU2 * cosLambda;
        sinSigma = std::sqrt(t1 * t1 + t2 * t2);
        if (sinSigma == 0)
            return 0; // coincident points
        cosSigma = sinU1 * sinU2 + cosU1 * cosU2 * cosLambda;
        sigma = std::atan2(sinSigma, cosSigma);
        double sinAlpha = cosU1 * cosU2 * sinLambda / sinSigma;
        cosSqAlpha = 1 - sinAlpha * sinAlpha;
        cos2SigmaM = cosSqAlpha != 0 ? cosSigma - 2 * sinU1 * sinU2 / cosSqAlpha : 0; // equatorial line
        double C = f / 16 * cosSqAlpha * (4 + f * (4 - 3 * cosSqAlpha));
        double previous = lambda;
        lambda = L
            + (1 - C) * f * sinAlpha
                * (sigma + C * sinSigma * (cos2SigmaM + C * cosSigma * (-1 + 2 * cos2SigmaM * cos2SigmaM)));
        if (!std::isfinite(lambda))
            break;
        if (std::fabs(lambda - previous) < 1e-12) {
            converged = true;
            break;
        }
    }
    if (!converged)
        return haversine(from, to);
    double uSq = cosSqAlpha * (a * a - b * b) / (b * b);
    double A = 1 + uSq / 16384 * (4096 + uSq * (-768 + uSq * (320 - 175 * uSq)));
    double B = uSq / 1024 * (256 + uSq * (-128 + uSq * (74 - 47 * uSq)));
    double deltaSigma = B * sinSigma
        * (cos2SigmaM
            + B / 4
                * (cosSigma * (-1 + 2 * cos2SigmaM * cos2SigmaM)
                    - B / 6 * cos2SigmaM * (-3 + 4 * sinSigma * sinSigma) * (-3 + 4 * cos2SigmaM * cos2SigmaM)));
    return b * A * (sigma - deltaSigma);
}

CLLocation::CLLocation(Passkey key, CLLocationCoordinate2D coordinate, CLLocationDistance altitude,
    CLLocationAccuracy horizontalAccuracy, CLLocationAccuracy verticalAccuracy, CLLocationDirection course,
    CLLocationSpeed speed, Ref<NSDate> timestamp)
    : NSObject(key)
    , m_coordinate(coordinate)
    , m_altitude(altitude)
    , m_horizontalAccuracy(horizontalAccuracy)
    , m_verticalAccuracy(verticalAccuracy)
    , m_course(course)
    , m_speed(speed)
    , m_timestamp(timestamp ? std::move(timestamp) : NSDate::date())
{
}

Ref<CLLocation> CLLocation::initWithLatitudeLongitude(CLLocationDegrees latitude, CLLocationDegrees longitude)
{
    return make<CLLocation>(CLLocationCoordinate2DMake(latitude, longitude), 0.0, 0.0, -1.0, -1.0, -1.0, nullptr);
}

Ref<CLLocation> CLLocation::initWithCoordinate(CLLocationCoordinate2D coordinate, CLLocationDistance altitude,
    CLLocationAccuracy horizontalAccuracy, CLLocationAccuracy verticalAccuracy, Ref<NSDate> timestamp)
{
    return make<CLLocation>(
        coordinate, altitude, horizontalAccuracy, verticalAccuracy, -1.0, -1.0, std::move(timestamp));
}

Ref<CLLocation> CLLocation::initWithCoordinate(CLLocationCoordinate2D coordinate, CLLocationDistance altitude,
    CLLocationAccuracy horizontalAccuracy, CLLocationAccuracy verticalAccuracy, CLLocationDirection course,
    CLLocationSpeed speed, Ref<NSDate> timestamp)
{
    return make<CLLocation>(
        coordinate, altitude, horizontalAccuracy, verticalAccuracy, course, speed, std::move(timestamp));
}

CLLocationDistance CLLocation::distanceFromLocation(const Ref<CLLocation>& location) const
{
    if (!location)
        return -1;
    return CLDistanceBetweenCoordinates(m_coordinate, location->coordinate());
}

Value CLLocation::valueForKey(const std::string& key)
{
    if (key == "altitude")
        return m_altitude;
    if (key == "horizontalAccuracy")
        return m_horizontalAccuracy;
    if (key == "verticalAccuracy")
        return m_verticalAccuracy;
    if (key == "course")
        return m_course;
    if (key == "speed")
        return m_speed;
    if (key == "timestamp")
        return m_timestamp;
    return NSObject::valueForKey(key);
}

std::string CLLocation::description() const
{
    char buffer[200];
    std::snprintf(buffer, sizeof buffer, "<%+.8f,%+.8f> +/- %.2fm (speed %.2f mps / course %.2f) @ ",
        m_coordinate.latitude, m_coordinate.longitude, m_horizontalAccuracy, m_speed, m_course);
    return buffer + m_timestamp->description();
}

VX_REGISTER_CLASS(CLLocation);
