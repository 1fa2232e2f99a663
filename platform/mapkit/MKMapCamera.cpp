#include "mapkit/MKMapCamera.h"

#include "mapkit/MKOverlayView.h"
#include "mapkit/MKUserLocation.h"

#include <algorithm>
#include <cmath>

namespace {

double normalizedHeading(double heading)
{
    if (!std::isfinite(heading))
        return 0;
    heading = std::fmod(heading, 360.0);
    return heading < 0 ? heading + 360.0 : heading;
}

double radians(double degrees)
{
    return degrees * M_PI / 180.0;
}

} // namespace

void MKMapCamera::setHeading(CLLocationDirection heading)
{
    m_heading = normalizedHeading(heading);
}

void MKMapCamera::setPitch(double pitch)
{
    m_pitch = std::isfinite(pitch) ? std::clamp(pitch, 0.0, 90.0) : 0;
}

Ref<MKMapCamera> MKMapCamera::cameraLookingAtCenterCoordinate(
    CLLocationCoordinate2D center, CLLocationCoordinate2D eye, CLLocationDistance eyeAltitude)
{
    auto camera = MKMapCamera::camera();
    camera->setCenterCoordinate(center);
    camera->setAltitude(eyeAltitude);
    // Initial bearing from the eye to the centre, and the ground distance between them.
    double lat1 = radians(eye.latitude), lat2 = radians(center.latitude);
    double dLon = radians(center.longitude - eye.longitude);
    double y = std::sin(dLon) * std::cos(lat2);
    double x = std::cos(lat1) * std::sin(lat2) - std::sin(lat1) * std::cos(lat2) * std::cos(dLon);
    auto from = CLLocation::initWithLatitudeLongitude(eye.latitude, eye.longitude);
    auto to = CLLocation::initWithLatitudeLongitude(center.latitude, center.longitude);
    double ground = from->distanceFromLocation(to);
    if (ground > 0.01) {
        camera->setHeading(std::atan2(y, x) * 180.0 / M_PI);
        camera->setPitch(eyeAltitude > 0 ? std::atan(ground / eyeAltitude) * 180.0 / M_PI : 90.0);
    }
    return camera;
}

VX_REGISTER_CLASS(MKMapCamera);
