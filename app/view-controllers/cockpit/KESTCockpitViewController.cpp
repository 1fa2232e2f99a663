#include "app/view-controllers/cockpit/KESTCockpitViewController.h"

#include "app/core/KESTLiveDataManager.h"
#include "app/core/KESTPlane.h"
#include "foundation/NSBundle.h"
#include "foundation/NSRunLoop.h"
#include "graphics/CADisplayLink.h"
#include "graphics/CALayer.h"
#include "graphics/UIColor.h"
#include "mapkit/MKMapCamera.h"
#include "mapkit/MKMapView.h"
#include "uikit/UIScreen.h"

VX_REGISTER_CLASS(KESTCockpitViewController);

namespace {

// The fixed perspective, row by row.
constexpr CATransform3D kPerspective {
    -0.83867055f,
    -0.05693026f,
    -0.5416555f,
    0.00049241405f,
    0.54463905f,
    -0.08766491f,
    -0.8340762f,
    0.0007582511f,
    0.0f,
    -0.9945219f,
    0.10452842f,
    -9.502584f,
    0.0f,
    -2.3956287f,
    455.54593f,
    0.58586735f,
};

} // namespace

Ref<KESTCockpitViewController> KESTCockpitViewController::initWithPlane(const Ref<KESTPlane>& plane)
{
    auto controller = makeController<KESTCockpitViewController>("KESTCockpitViewController", nullptr);
    controller->m_plane = plane;
    controller->setTitle(NSBundle::mainBundle()->localizedStringForKey("Cockpit View", "", ""));
    if (!controller->m_displayLink) {
        controller->m_displayLink
            = CADisplayLink::displayLinkWithTargetSelector(std::static_pointer_cast<NSObject>(controller),
                [weak = Weak<KESTCockpitViewController>(controller)](const Ref<CADisplayLink>&) {
                    if (auto self = weak.lock())
                        self->update();
                });
        controller->m_displayLink->addToRunLoopForMode(NSRunLoop::mainRunLoop(), NSRunLoopCommonModes);
    }
    return controller;
}

double KESTCockpitViewController::eyeAltitudeForAltitude(double feet)
{
    if (feet < 2500)
        return 762;
    return static_cast<float>((feet + 20000) * static_cast<double>(0.3048f));
}

CATransform3D KESTCockpitViewController::perspectiveTransform()
{
    CATransform3D tilt = CATransform3DMakeRotation(1.3962634f, 1, 0, 0);
    tilt = CATransform3DConcat(tilt, CATransform3DMakeRotation(0, 0, 1, 0));
    tilt = CATransform3DConcat(tilt, CATransform3DMakeRotation(0, 0, 0, 1));
    return CATransform3DConcat(tilt, kPerspective);
}

void KESTCockpitViewController::viewWillAppear(bool animated)
{
    UIViewController::viewWillAppear(animated);
    view()->setClipsToBounds(true);
    view()->setBackgroundColor(UIColor::colorWithRedGreenBlueAlpha(168 / 255.0f, 200 / 255.0f, 230 / 255.0f, 1));
    if (m_mapView) {
        m_mapView->setBackgroundColor(UIColor::purpleColor());
        CGRect bounds = m_mapView->bounds();
        CGFloat width = bounds.size.width, height = bounds.size.height;
        m_mapView->setFrame(CGRectMake(-width / 2, -height / 2, width * 2, height * 2));
        m_mapView->setRotateEnabled(false);
        m_mapView->setPitchEnabled(false);
        m_mapView->setMapType(MKMapTypeSatellite);
        auto layer = m_mapView->layer();
        layer->setAnchorPoint(CGPointMake(0.5, 0.5));
        layer->setShouldRasterize(false);
        layer->setRasterizationScale(UIScreen::mainScreen()->scale());
    }
    update();
}

void KESTCockpitViewController::viewWillDisappear(bool animated)
{
    UIViewController::viewWillDisappear(animated);
    if (m_displayLink) {
        m_displayLink->invalidate();
        m_displayLink = nullptr;
    }
}

void KESTCockpitViewController::update()
{
    KESTLiveDataManager::sharedInstance()->cacheDeviceUTCTimestamp();
    if (!m_plane || !m_mapView)
        return;
    double eyeAltitude = eyeAltitudeForAltitude(m_plane->altitude());
    KESTLocation position = m_plane->estimateCoordWithClamping(false);
    CLLocationCoordinate2D coordinate { position.latitude, position.longitude };
    auto camera = MKMapCamera::cameraLookingAtCenterCoordinate(coordinate, coordinate, eyeAltitude);
    camera->setHeading(m_plane->heading());
    m_mapView->setCamera(camera);
    m_mapView->layer()->setTransform(perspectiveTransform());
}
