#include "app/view-controllers/ar/KESTARLabel.h"

#include "app/categories/UIImage+ProportionResize.h"
#include "app/core/KESTFlightDataManager.h"
#include "app/core/KESTPlane.h"
#include "app/core/KESTPlaneMarkerManager.h"
#include "app/core/KESTSettingsManager.h"
#include "app/view-controllers/ar/KESTARLabelTemplate.h"
#include "ar/SNRDeviceAttitude.h"
#include "ar/SNRSensorManager.h"
#include "foundation/NSString.h"
#include "graphics/UIColor.h"
#include "graphics/UIImage.h"
#include "location/CLLocation.h"
#include "net/NSURL.h"
#include "net/NSURLRequest.h"
#include "networking/VNHTTPRequestOperation.h"
#include "networking/VNImageResponseSerializer.h"
#include "uikit/UIImageView.h"
#include "uikit/UILabel.h"

#include <cmath>

VX_REGISTER_CLASS(KESTARLabel);

Ref<KESTARLabelTemplate> KESTARLabel::planeTemplate() const
{
    return std::dynamic_pointer_cast<KESTARLabelTemplate>(labelTemplate());
}

void KESTARLabel::updateLocation()
{
    SLKPoi::updateLocation();
    float deviceAltitude = SNRSensorManager::sharedSensorManager()->deviceAttitude()->locationAltitude();
    // A plane above the device gets a negative height component.
    worldPosition().z = -(m_altitude - deviceAltitude);
}

void KESTARLabel::updateContent()
{
    SLKPoiLabel::updateContent();
    if (!m_attachedPlane)
        return;
    auto plane = m_attachedPlane->copy();
    float kilometres = std::floor(distanceToUser() / 1000.0f);
    std::string text = KESTSettingsManager::sharedInstance()->distanceUnit() != 0
        ? NSString::stringWithFormat("%1.f km", static_cast<double>(kilometres))
        : NSString::stringWithFormat("%1.f mi", kilometres * 0.621371192);
    setDistanceText(text);
    auto view = planeTemplate();
    if (view && view->distance())
        view->distance()->setText(text);
    auto data = KESTFlightDataManager::sharedInstance();
    if (view && view->speedAltLabel()) {
        view->speedAltLabel()->setText(
            NSString::stringWithFormat("%@ %@", data->formattedSpeedWithKnots(plane->speed()).value_or(""),
                data->formattedAltitudeWithFeet(plane->altitude()).value_or("")));
    }
    auto estimate = plane->estimateCoordWithClamping(true);
    setLocation(CLLocation::initWithLatitudeLongitude(estimate.latitude, estimate.longitude));
    updateLocation();
}

void KESTARLabel::setupContent()
{
    auto view = planeTemplate();
    if (!view || !m_attachedPlane)
        return;
    view->layer()->setCornerRadius(5);
    view->layer()->setMasksToBounds(true);
    auto parts = NSString::componentsSeparatedByString(m_attachedPlane->route(), "-");
    auto data = KESTFlightDataManager::sharedInstance();
    if (!parts.empty()) {
        if (view->depLabel())
            view->depLabel()->setText(data->getAirportFullName(parts.front()).value_or(""));
        if (view->arrLabel())
            view->arrLabel()->setText(data->getAirportFullName(parts.back()).value_or(""));
    }
    if (view->regLabel())
        view->regLabel()->setText(m_attachedPlane->reg());
    if (m_attachedPlane->reg() == m_attachedPlane->callsign()) {
        if (view->logoView())
            view->logoView()->setImage(nullptr);
        return;
    }
    // Without an operator code there is no logo to ask for.
    auto code = m_attachedPlane->airlineICAO();
    if (!code || code->empty())
        return;
    std::string escaped = NSString::stringByAddingPercentEscapes(*code, "", ":/?#[]@!$&'()*+,;=");
    auto url = NSURL::URLWithString(KESTPlaneMarkerManager::logoServiceBaseURL()
        + NSString::stringWithFormat("v1/getLogo.php?airlineCode=%@", escaped));
    if (!url)
        return;
    auto operation = VNHTTPRequestOperation::initWithRequest(NSURLRequest::requestWithURL(url));
    operation->setResponseSerializer(VNImageResponseSerializer::serializer());
    // The completion keeps the template alive: a label removed before the answer still gets its logo.
    operation->setCompletionBlockWithSuccessFailure(
        [view](const Ref<VNHTTPRequestOperation>&, const Value& response) {
            auto image = response.objectAs<UIImage>();
            if (!image || !view->logoView())
                return;
            view->logoView()->setBackgroundColor(UIColor::whiteColor());
            view->logoView()->setImage(
                UIImage_ProportionResize::imageByScalingProportionallyToSize(image, CGSizeMake(520, 100)));
        },
        [](const Ref<VNHTTPRequestOperation>&, const Ref<NSError>&) {});
    operation->start();
}
