#pragma once

#include "graphics/CATransform3D.h"
#include "uikit/UIViewController.h"

class CADisplayLink;
class KESTPlane;
class MKMapView;

// The ground below and ahead of one plane, as seen from its cockpit: a satellite map that
// follows the plane's estimated position and heading on every screen refresh, drawn tilted in
// perspective towards a light-blue sky. The display link runs in the common modes from creation
// until the screen first disappears, and holds the screen until then. Main thread only.
class KESTCockpitViewController : public UIViewController {
    VX_OBJECT(KESTCockpitViewController, UIViewController)
public:
    explicit KESTCockpitViewController(Passkey key)
        : UIViewController(key)
    {
    }
    static Ref<KESTCockpitViewController> initWithPlane(const Ref<KESTPlane>& plane);

    // The eye altitude in metres for a plane altitude in feet.
    static double eyeAltitudeForAltitude(double feet);
    // The tilt applied to the map's layer: 80 degrees about the x axis, then the fixed
    // perspective.
    static CATransform3D perspectiveTransform();

    void viewWillAppear(bool animated) override;
    void viewWillDisappear(bool animated) override;
    void update();

    const Ref<KESTPlane>& plane() const { return m_plane; }
    void setPlane(Ref<KESTPlane> plane) { m_plane = std::move(plane); }
    const Ref<MKMapView>& mapView() const { return m_mapView; }
    void setMapView(Ref<MKMapView> mapView) { m_mapView = std::move(mapView); }
    const Ref<CADisplayLink>& displayLink() const { return m_displayLink; }

private:
    Ref<CADisplayLink> m_displayLink;
    Ref<KESTPlane> m_plane;
    Ref<MKMapView> m_mapView;
};
