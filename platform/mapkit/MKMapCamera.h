#pragma once

#include "foundation/NSObject.h"
#include "location/CLLocation.h"

// Where the map is looked at from: the ground point at the middle of the view, the eye's height
// above it in metres, the compass heading at the top of the view and the tilt from straight down
// (degrees). Plain settable values. Main thread only.
class MKMapCamera : public NSObject {
    VX_OBJECT(MKMapCamera, NSObject)
public:
    explicit MKMapCamera(Passkey key)
        : NSObject(key)
    {
    }
    static Ref<MKMapCamera> camera() { return make<MKMapCamera>(); }
    // Heading from the eye towards the centre, pitch from the eye's ground distance and altitude.
    static Ref<MKMapCamera> cameraLookingAtCenterCoordinate(
        CLLocationCoordinate2D center, CLLocationCoordinate2D eye, CLLocationDistance eyeAltitude);

    CLLocationCoordinate2D centerCoordinate() const { return m_center; }
    void setCenterCoordinate(CLLocationCoordinate2D center) { m_center = center; }
    CLLocationDistance altitude() const { return m_altitude; }
    void setAltitude(CLLocationDistance altitude) { m_altitude = altitude; }
    CLLocationDirection heading() const { return m_heading; }
    void setHeading(CLLocationDirection heading);
    double pitch() const { return m_pitch; }
    void setPitch(double pitch);

private:
    CLLocationCoordinate2D m_center;
    CLLocationDistance m_altitude { 0 };
    CLLocationDirection m_heading { 0 };
    double m_pitch { 0 };
};
