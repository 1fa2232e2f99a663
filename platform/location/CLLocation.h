#pragma once

#include "foundation/NSObject.h"

#include <string>

class NSDate;

using CLLocationDegrees = double;
using CLLocationDistance = double;
using CLLocationAccuracy = double;
using CLLocationSpeed = double;
using CLLocationDirection = double;

struct CLLocationCoordinate2D {
    CLLocationDegrees latitude { 0 };
    CLLocationDegrees longitude { 0 };
};

inline CLLocationCoordinate2D CLLocationCoordinate2DMake(CLLocationDegrees latitude, CLLocationDegrees longitude)
{
    return { latitude, longitude };
}

// The coordinate that stands for "no position": outside every valid range.
extern const CLLocationCoordinate2D kCLLocationCoordinate2DInvalid;
// True when the latitude is within [-90, 90] and the longitude within [-180, 180] (NaN is invalid).
bool CLLocationCoordinate2DIsValid(CLLocationCoordinate2D coordinate);

inline constexpr CLLocationAccuracy kCLLocationAccuracyBestForNavigation = -2;
inline constexpr CLLocationAccuracy kCLLocationAccuracyBest = -1;
inline constexpr CLLocationAccuracy kCLLocationAccuracyNearestTenMeters = 10;
inline constexpr CLLocationAccuracy kCLLocationAccuracyHundredMeters = 100;
inline constexpr CLLocationAccuracy kCLLocationAccuracyKilometer = 1000;
inline constexpr CLLocationAccuracy kCLLocationAccuracyThreeKilometers = 3000;
inline constexpr CLLocationDistance kCLDistanceFilterNone = -1;
inline constexpr CLLocationDegrees kCLHeadingFilterNone = -1;

// Geodesic distance in metres between two coordinates on the WGS84 ellipsoid (Vincenty's inverse
// formula). Nearly antipodal pairs, where the iteration does not settle, fall back to the
// spherical great-circle distance on the mean radius. Invalid coordinates give -1.
CLLocationDistance CLDistanceBetweenCoordinates(CLLocationCoordinate2D from, CLLocationCoordinate2D to);

// A position fix: coordinate, altitude, accuracies (negative means unknown), course and speed
// (negative means unknown) and the time of the fix. Immutable; any thread.
class CLLocation : public NSObject {
    VX_OBJECT(CLLocation, NSObject)
public:
    CLLocation(Passkey, CLLocationCoordinate2D coordinate, CLLocationDistance altitude,
        CLLocationAccuracy horizontalAccuracy, CLLocationAccuracy verticalAccuracy, CLLocationDirection course,
        CLLocationSpeed speed, Ref<NSDate> timestamp);

    // Altitude 0, horizontal accuracy 0, vertical accuracy -1, course and speed -1, now.
    static Ref<CLLocation> initWithLatitudeLongitude(CLLocationDegrees latitude, CLLocationDegrees longitude);
    static Ref<CLLocation> initWithCoordinate(CLLocationCoordinate2D coordinate, CLLocationDistance altitude,
        CLLocationAccuracy horizontalAccuracy, CLLocationAccuracy verticalAccuracy, Ref<NSDate> timestamp);
    static Ref<CLLocation> initWithCoordinate(CLLocationCoordinate2D coordinate, CLLocationDistance altitude,
        CLLocationAccuracy horizontalAccuracy, CLLocationAccuracy verticalAccuracy, CLLocationDirection course,
        CLLocationSpeed speed, Ref<NSDate> timestamp);

    CLLocationCoordinate2D coordinate() const { return m_coordinate; }
    CLLocationDistance altitude() const { return m_altitude; }
    CLLocationAccuracy horizontalAccuracy() const { return m_horizontalAccuracy; }
    CLLocationAccuracy verticalAccuracy() const { return m_verticalAccuracy; }
    CLLocationDirection course() const { return m_course; }
    CLLocationSpeed speed() const { return m_speed; }
    const Ref<NSDate>& timestamp() const { return m_timestamp; }

    // Metres along the ellipsoid surface, altitude ignored; -1 when either coordinate is invalid.
    CLLocationDistance distanceFromLocation(const Ref<CLLocation>& location) const;

    Value valueForKey(const std::string& key) override;
    std::string description() const override;

private:
    CLLocationCoordinate2D m_coordinate;
    CLLocationDistance m_altitude;
    CLLocationAccuracy m_horizontalAccuracy;
    CLLocationAccuracy m_verticalAccuracy;
    CLLocationDirection m_course;
    CLLocationSpeed m_speed;
    Ref<NSDate> m_timestamp;
};
