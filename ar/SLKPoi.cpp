#include "ar/SLKPoi.h"

#include "ar/SLKRadarView.h"
#include "ar/SLKView.h"
#include "ar/SNRDeviceAttitude.h"
#include "ar/SNRSensorManager.h"
#include "foundation/NSLog.h"
#include "graphics/UIImage.h"
#include "location/CLLocation.h"
#include "uikit/UIApplication.h"
#include "uikit/UIImageView.h"

#include <algorithm>
#include <cmath>

namespace {

struct ClassValues {
    float nearLimit { 10 };
    float farLimit { 10000000 };
    CGSize viewport {};
    float viewRotation { 0 };
    float viewRotationSin { 0 };
    float viewRotationCos { 1 };
    float labelBaseline { 0 };
    float stackingAnimationSpeed { 0.25f };
    SNRVector3 deviceGravity {};
};

ClassValues s_values;
// The viewport in coordinates relative to the overlay: a quarter beyond each edge.
const CGRect s_relativeViewport = CGRectMake(-0.25f, -0.25f, 1.5f, 1.5f);
// One scratch matrix for every object's radar pass.
SNRMatrix4x4 s_radarScratch;

} // namespace

SLKPoi::SLKPoi(Passkey key)
    : SLKObjectDelegate(key)
{
}

Ref<SLKPoi> SLKPoi::initAtLocation(const Ref<CLLocation>& location)
{
    if (!location) {
        NSLog("location == nil, cannot create SLKPoi");
        return nullptr;
    }
    auto poi = init();
    poi->setLocation(location);
    return poi;
}

Ref<SLKPoi> SLKPoi::initWithImageAtLocation(const std::string& imageName, const Ref<CLLocation>& location)
{
    auto poi = init();
    if (location)
        poi->setLocation(location);
    poi->m_labelViewImage = imageName;
    poi->loadContent();
    return poi;
}

void SLKPoi::removedFromARController()
{
    if (m_addedToRadar)
        removeFromRadar();
    if (m_addedToView)
        removeFromView();
}

void SLKPoi::unloadContent()
{
    m_labelView = nullptr;
    m_radarView = nullptr;
}

Ref<UIView> SLKPoi::makeRadarDotView() const
{
    auto image = UIImage::imageNamed("RadarDot");
    if (!image)
        image = UIImage::imageNamed("SkyLensKitResources.bundle/RadarDot.png");
    return UIImageView::initWithImage(image);
}

void SLKPoi::loadContent()
{
    if (!m_labelView && !m_labelViewImage.empty()) {
        auto image = UIImage::imageNamed(m_labelViewImage);
        if (!image)
            image = UIImage::imageNamed("SkyLensKitResources.bundle/" + m_labelViewImage);
        if (!image)
            NSLog("SLKPoi:loadContent image not found '%@'", m_labelViewImage);
        m_labelView = UIImageView::initWithImage(image);
    }
    if (!m_radarView)
        m_radarView = makeRadarDotView();
}

void SLKPoi::setLocation(const Ref<CLLocation>& location)
{
    m_location = location;
    double latitude = location ? location->coordinate().latitude : 0;
    double longitude = location ? location->coordinate().longitude : 0;
    double altitude = location ? location->altitude() : 0;
    SNRGeodeticToECEF(latitude, longitude, altitude, m_poiX, m_poiY, m_poiZ);
}

float SLKPoi::latitude() const
{
    return m_location ? static_cast<float>(m_location->coordinate().latitude) : 0;
}

float SLKPoi::longitude() const
{
    return m_location ? static_cast<float>(m_location->coordinate().longitude) : 0;
}

float SLKPoi::altitude() const
{
    return m_location ? static_cast<float>(m_location->altitude()) : 0;
}

CLLocationCoordinate2D SLKPoi::coordinate() const
{
    return m_location ? m_location->coordinate() : CLLocationCoordinate2D {};
}

void SLKPoi::setCoordinate(CLLocationCoordinate2D coordinate)
{
    setLocation(CLLocation::initWithLatitudeLongitude(coordinate.latitude, coordinate.longitude));
}

void SLKPoi::updateLocation()
{
    auto attitude = SNRSensorManager::sharedSensorManager()->deviceAttitude();
    m_ecefCoordinates = *attitude->ecefCoordinates();
    SNRECEFToENU(latitude(), longitude(), m_ecefCoordinates.x, m_ecefCoordinates.y, m_ecefCoordinates.z, m_poiX, m_poiY,
        m_poiZ, m_worldPositionE, m_worldPositionN, m_worldPositionU);
    m_worldPosition = { static_cast<float>(m_worldPositionN), static_cast<float>(-m_worldPositionE), 0, 1 };
    m_distanceToCamera
        = std::sqrt(static_cast<float>(m_worldPositionN * m_worldPositionN + m_worldPositionE * m_worldPositionE));
    m_angleToCamera = SNRAngleOfVector(m_worldPosition.x, m_worldPosition.y);
    // Without a device location there is nothing to measure from: the distance is 0.
    auto deviceLocation = attitude->location();
    m_distanceToUser = (m_location && deviceLocation) ? m_location->distanceFromLocation(deviceLocation) : 0;
    if (m_distanceToUser < 0)
        m_distanceToUser = 0;
    m_clippedByDistance = m_distanceToUser < s_values.nearLimit || m_distanceToUser > s_values.farLimit;
    if (m_clippedByDistance) {
        if (m_addedToView)
            removeFromView();
        if (m_addedToRadar)
            removeFromRadar();
    }
    m_angleToUser = static_cast<float>(SNRSensorManager::bearingTowardsLocationTo(m_location, deviceLocation));
    SNRMatrixSetRotationY(m_toUserRotation, m_angleToUser);
}

void SLKPoi::updateContent()
{
    if (updatesAppearance())
        updateAppearance();
}

void SLKPoi::setHidden(bool hidden)
{
    m_hidden = hidden;
    if (hidden) {
        if (m_addedToView)
            removeFromView();
        if (m_addedToRadar)
            removeFromRadar();
    }
}

CGPoint SLKPoi::pointOnRadar() const
{
    return m_radarView ? m_radarView->center() : CGPointZero;
}

void SLKPoi::addToView(const Ref<UIView>& view)
{
    if (!m_labelView || !view)
        return;
    m_labelView->setHidden(false);
    view->addSubview(m_labelView);
    m_addedToView = true;
}

void SLKPoi::removeFromView()
{
    if (m_labelView) {
        m_labelView->removeFromSuperview();
        m_labelView->setHidden(true);
    }
    m_addedToView = false;
    m_stacked = false;
}

void SLKPoi::addToRadar(const Ref<SLKRadarView>& radar)
{
    if (!m_radarView || !radar)
        return;
    m_radarView->setHidden(false);
    radar->containerView()->addSubview(m_radarView);
    m_addedToRadar = true;
}

void SLKPoi::removeFromRadar()
{
    if (m_radarView) {
        m_radarView->removeFromSuperview();
        m_radarView->setHidden(true);
    }
    m_addedToRadar = false;
}

CGSize SLKPoi::stackingSize() const
{
    return m_labelView ? m_labelView->frame().size : CGSizeZero;
}

bool SLKPoi::pointInView(const Ref<SLKView>& view)
{
    const SNRMatrix4x4& camera = *view->perspectiveCameraMatrix();
    SNRVector4 c
        = SNRMatrixMultiplyVector4(camera, m_worldPosition.x, m_worldPosition.y, m_worldPosition.z, m_worldPosition.w);
    m_worldToScreenSpace = c;
    if (c.z >= 0)
        return false;
    float s = s_values.viewRotationSin;
    float k = s_values.viewRotationCos;
    float x = c.x / c.w;
    float y = c.y / c.w;
    // The overlay is turned against the device's roll; the point is turned with it, about the
    // overlay's centre. The turn is made in points: the projected coordinates run over the width
    // in x and over the height in y, and turning them as they are would shear the picture.
    float halfWidth = s_values.viewport.width * 0.5f;
    float halfHeight = s_values.viewport.height * 0.5f;
    float relativeX, turnedY;
    if (halfWidth > 0 && halfHeight > 0) {
        float px = x * halfWidth, py = y * halfHeight;
        relativeX = ((px * k - py * s) / halfWidth + 1) * 0.5f;
        turnedY = (px * s + py * k) / halfHeight;
    } else {
        relativeX = (x * k - y * s + 1) * 0.5f;
        turnedY = x * s + y * k;
    }
    double relativeY = static_cast<double>(s_values.labelBaseline) - 0.5 + (turnedY + 1) * 0.5f;
    m_relativeScreenPosition = CGPointMake(relativeX, static_cast<float>(relativeY));
    return CGRectContainsPoint(s_relativeViewport, m_relativeScreenPosition);
}

void SLKPoi::renderInView(const Ref<SLKView>& view)
{
    if (!m_labelView) {
        m_stacked = false;
        return;
    }
    bool visible = pointInView(view);
    m_clippedByViewport = !visible;
    if (visible) {
        m_stacked = true;
        CGSize viewport = s_values.viewport;
        m_labelView->setCenter(CGPointMake(viewport.width * m_relativeScreenPosition.x - m_offset.x,
            viewport.height * (1 - m_relativeScreenPosition.y) - m_offset.y));
        if (!m_addedToView)
            addToView(view);
    } else if (m_addedToView) {
        removeFromView();
    }
}

void SLKPoi::renderInRadar(const Ref<SLKRadarView>& radar)
{
    if (!m_radarView)
        return;
    // The dot is hidden exactly while the radar animates its radius.
    m_radarView->setHidden(radar->animatesRadius());
    if (m_radarView->isHidden())
        return;
    float r = radar->radarRadius();
    float range = radar->radarRange();
    double f = std::min(m_distanceToUser / static_cast<double>(range), 1.0);
    SNRMatrixMultiply(s_radarScratch, *radar->radarMatrix(), m_toUserRotation);
    m_worldToRadarSpace = SNRMatrixMultiplyVector3(s_radarScratch, 0, 0, static_cast<float>(r * f));
    const SNRVector3& g = s_values.deviceGravity;
    m_radarSpace = SNRProjectOnRadarWithGravity(
        m_worldToRadarSpace.x, m_worldToRadarSpace.y, m_worldToRadarSpace.z, g.x, g.y, g.z);
    if (SNRSensorManager::sharedSensorManager()->deviceAttitude()->orientationIsLandscape()) {
        // Status bar orientation 4 is the one the kit calls landscape right (the device turned with
        // its home button on the left); the radar's rotation follows that numbering.
        float sign
            = static_cast<int32_t>(UIApplication::sharedApplication()->statusBarOrientation()) == 4 ? 1.0f : -1.0f;
        m_radarSpace
            = SNRRotatePoint(m_radarSpace.x, m_radarSpace.y, SNRDegreesToRadiansF(sign * std::fabs(g.z) * 90.0f));
    }
    CGRect frame = radar->frame();
    m_radarView->setCenter(CGPointMake(frame.size.width / 2 + SNRClamp(m_radarSpace.x, -r, r),
        frame.size.height / 2 + SNRClamp(m_radarSpace.y, -r, r)));
    if (!m_addedToRadar)
        addToRadar(radar);
}

void SLKPoi::setClipDistancesAndFar(float nearLimit, float farLimit)
{
    s_values.nearLimit = nearLimit;
    s_values.farLimit = farLimit;
}

void SLKPoi::setViewport(CGSize viewport)
{
    s_values.viewport = viewport;
}

CGSize SLKPoi::viewport()
{
    return s_values.viewport;
}

void SLKPoi::setViewRotation(float degrees)
{
    s_values.viewRotation = degrees;
    // The exact sine and cosine, once per change: a piecewise-linear stand-in is off by as much as
    // 0.21 near 50 degrees, which moves labels tens of points away from their objects.
    double radians = SNRDegreesToRadians(degrees);
    s_values.viewRotationSin = static_cast<float>(std::sin(radians));
    s_values.viewRotationCos = static_cast<float>(std::cos(radians));
}

float SLKPoi::viewRotation()
{
    return s_values.viewRotation;
}

void SLKPoi::setLabelBaseline(float baseline)
{
    s_values.labelBaseline = baseline;
}

float SLKPoi::labelBaseline()
{
    return s_values.labelBaseline;
}

void SLKPoi::setStackingAnimationSpeed(float speed)
{
    s_values.stackingAnimationSpeed = speed;
}

float SLKPoi::stackingAnimationSpeed()
{
    return s_values.stackingAnimationSpeed;
}

void SLKPoi::setDeviceGravity(const SNRVector3* gravity)
{
    s_values.deviceGravity = gravity ? *gravity : SNRVector3 {};
}

void SLKPoi::resetClassValuesForTesting()
{
    s_values = ClassValues {};
}
