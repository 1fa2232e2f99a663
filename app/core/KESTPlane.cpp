#include "app/core/KESTPlane.h"

#include "app/core/KESTFlightDataManager.h"
#include "app/core/KESTPlaneServices.h"
#include "app/core/KESTSettingsManager.h"
#include "foundation/Dispatch.h"
#include "foundation/NSRegularExpression.h"
#include "foundation/NSString.h"
#include "graphics/CGContext.h"
#include "graphics/CGPath.h"
#include "graphics/NSParagraphStyle.h"
#include "graphics/NSString+Drawing.h"
#include "graphics/UIColor.h"
#include "graphics/UIFont.h"
#include "graphics/UIGraphics.h"
#include "graphics/UIImage.h"

#include <algorithm>
#include <cmath>
#include <string_view>
#include <unordered_map>
#include <utility>

namespace {

// The conversion factors the estimate uses (deliberately not π/180 and 180/π: the markers sit
// where these put them).
constexpr double degreesToRadians = 0.01745327;
constexpr double radiansToDegrees = 57.2957795;
constexpr double knotsToMetresPerSecond = 0.514444444;
// The widest text a plane's label shows, in points: twice the label's width, room for the
// longest real registration or flight number.
constexpr CGFloat kLabelTextMaxWidth = 100;

bool isNumberValue(const Value& v)
{
    return v.isNumber();
}

} // namespace

KESTPlane::KESTPlane(Passkey key)
    : KESTAnnotation(key)
{
}

bool KESTPlane::isValidInfo(const Value& info)
{
    const auto& fields = info.elements();
    if (!info.isArray() || fields.size() < 13)
        return false;
    for (size_t index : { 0, 1, 2, 3, 10, 12 }) {
        if (!fields[index].isString())
            return false;
    }
    for (size_t index : { 4, 5, 6, 7, 8, 9, 11 }) {
        if (!isNumberValue(fields[index]))
            return false;
    }
    return true;
}

Ref<KESTPlane> KESTPlane::initWithAdshexAndInfo(const std::string& adshex, const Value& info)
{
    auto fields = fieldsFromInfo(info);
    if (!fields)
        return nullptr;
    return initWithAdshexAndFields(adshex, std::move(*fields));
}

Ref<KESTPlane> KESTPlane::initWithAdshexAndFields(const std::string& adshex, Fields fields)
{
    // A new plane is not on the map yet; its fields are set as an info array's would be.
    auto plane = make<KESTPlane>();
    plane->setAddedAsAnnotation(false);
    {
        std::lock_guard guard(plane->m_lock);
        plane->m_fields = std::move(fields);
        plane->m_lastRenderedHeading = -999;
        plane->m_adshex = adshex;
        plane->m_searchCodeshare = std::nullopt;
        plane->m_airlineICAO = std::nullopt;
    }
    plane->updateLocationLazily();
    return plane;
}

Value KESTPlane::infoArray() const
{
    Fields f = fields();
    return Value::array(
        { Value(f.type), Value(f.route), Value(f.reg), Value(f.callsign), Value(f.lat), Value(f.lon), Value(f.altitude),
            Value(f.heading), Value(f.speed), Value(f.mtime), Value(f.squawk), Value(f.dataType), Value(f.fltno) });
}

Ref<KESTPlane> KESTPlane::copy() const
{
    auto plane = make<KESTPlane>();
    plane->updateInfo(infoArray());
    plane->updateLocationImmediately();
    return plane;
}

std::optional<KESTPlane::Fields> KESTPlane::fieldsFromInfo(const Value& info)
{
    if (!isValidInfo(info))
        return std::nullopt;
    const auto& e = info.elements();
    Fields f;
    f.type = e[0].string();
    f.route = e[1].string();
    f.reg = e[2].string();
    f.callsign = e[3].string();
    f.lat = e[4].doubleValue();
    f.lon = e[5].doubleValue();
    f.altitude = e[6].doubleValue();
    f.heading = e[7].doubleValue();
    f.speed = e[8].doubleValue();
    f.mtime = e[9].doubleValue();
    f.squawk = e[10].string();
    f.dataType = e[11].intValue();
    f.fltno = e[12].string();
    return f;
}

void KESTPlane::updateInfo(const Value& info)
{
    if (auto f = fieldsFromInfo(info))
        updateFields(*f);
}

void KESTPlane::updateFields(const Fields& fields)
{
    std::lock_guard guard(m_lock);
    m_fields = fields;
}

KESTPlane::Fields KESTPlane::fields() const
{
    std::lock_guard guard(m_lock);
    return m_fields;
}

KESTLocation KESTPlane::estimateCoordWithClamping(bool clamping) const
{
    Fields f = fields();
    auto services = KESTPlaneServices::shared();
    double t = services->deviceUTCTime() - services->serverTime() - f.mtime + 5.0;

    double v = f.speed * knotsToMetresPerSecond;
    if (clamping && ((f.dataType == 1 && f.altitude < 10000) || f.altitude < 1000 || f.speed < 130))
        v = 0;
    double s = t * v;

    // Vincenty's direct solution on WGS-84.
    constexpr double b = 6356752.3142;
    constexpr double f_ = 0.0033528106647474805;
    constexpr double oneMinusF = 0.9966471893352525;
    constexpr double fOver16 = 0.00020955066654671753;
    constexpr double aSquaredMinusBSquaredOverBSquared = 272331606681.9453 / 40408299984087.055;

    double alpha1 = f.heading * degreesToRadians;
    double sinAlpha1 = std::sin(alpha1);
    double cosAlpha1 = std::cos(alpha1);
    double tanU1 = oneMinusF * std::tan(f.lat * degreesToRadians);
    double cosU1 = 1 / std::sqrt(1 + tanU1 * tanU1);
    double sinU1 = tanU1 * cosU1;
    double sigma1 = std::atan2(tanU1, cosAlpha1);
    double sinAlpha = cosU1 * sinAlpha1;
    double cosSqAlpha = 1 - sinAlpha * sinAlpha;
    double uSq = cosSqAlpha * aSquaredMinusBSquaredOverBSquared;
    double A = 1 + uSq / 16384 * (4096 + uSq * (-768 + uSq * (320 - 175 * uSq)));
    double B = uSq / 1024 * (256 + uSq * (-128 + uSq * (74 - 47 * uSq)));

    double sigma = s / (b * A);
    double sigmaP = 2 * M_PI;
    double sinSigma = 0, cosSigma = 1, cos2SigmaM = 1;
    for (int pass = 0; pass < 100 && std::fabs(sigma - sigmaP) > 1e-12; ++pass) {
        cos2SigmaM = std::cos(2 * sigma1 + sigma);
        sinSigma = std::sin(sigma);
        cosSigma = std::cos(sigma);
        double deltaSigma = B * sinSigma
            * (cos2SigmaM
                + B / 4
                    * (cosSigma * (-1 + 2 * cos2SigmaM * cos2SigmaM)
                        - B / 6 * cos2SigmaM * (-3 + 4 * sinSigma * sinSigma) * (-3 + 4 * cos2SigmaM * cos2SigmaM)));
        sigmaP = sigma;
        sigma = s / (b * A) + deltaSigma;
    }

    double tmp = sinU1 * sinSigma - cosU1 * cosSigma * cosAlpha1;
    double latitude = std::atan2(
        sinU1 * cosSigma + cosU1 * sinSigma * cosAlpha1, oneMinusF * std::sqrt(sinAlpha * sinAlpha + tmp * tmp));
    double lambda = std::atan2(sinSigma * sinAlpha1, cosU1 * cosSigma - sinU1 * sinSigma * cosAlpha1);
    double C = fOver16 * cosSqAlpha * (4 + f_ * (4 - 3 * cosSqAlpha));
    double L = lambda
        - (1 - C) * f_ * sinAlpha
            * (sigma + C * sinSigma * (cos2SigmaM + C * cosSigma * (-1 + 2 * cos2SigmaM * cos2SigmaM)));
    double longitude = std::fmod(f.lon * degreesToRadians + L + 3 * M_PI, 2 * M_PI) - M_PI;

    KESTLocation estimate { latitude * radiansToDegrees, longitude * radiansToDegrees };
    bool valid = !std::isnan(estimate.latitude) && !std::isnan(estimate.longitude) && estimate.latitude >= -90
        && estimate.latitude <= 90 && estimate.longitude >= -180 && estimate.longitude <= 180;
    return valid ? estimate : KESTLocation { f.lat, f.lon };
}

void KESTPlane::updateLocation(bool immediately)
{
    KESTLocation position;
    if (KESTSettingsManager::sharedInstance()->movePlanes()) {
        position = estimateCoordWithClamping(true);
    } else {
        Fields f = fields();
        position = { f.lat, f.lon };
    }
    setThreadedCoordinate(position);
    setMapPoint(mapPointForCoordinate(position));
    if (position == coordinate())
        return;
    if (immediately) {
        setCoordinate(position);
        return;
    }
    // The map observes `coordinate` on the main thread: the step there takes whatever the
    // latest computed position is when it runs, and does nothing once the plane is gone.
    Weak<KESTPlane> weak = std::static_pointer_cast<KESTPlane>(shared_from_this());
    dispatch_async(dispatch_get_main_queue(), [weak] {
        if (auto plane = weak.lock())
            plane->setCoordinate(plane->threadedCoordinate());
    });
}

std::optional<std::string> KESTPlane::airlineICAO()
{
    std::lock_guard guard(m_lock);
    if (m_airlineICAO)
        return m_airlineICAO;
    std::string text = m_fields.callsign;
    switch (NSString::length(text)) {
    case 0:
        text = "000";
        break;
    case 1:
        text = "00" + text;
        break;
    case 2:
        text = "0" + text;
        break;
    default:
        break;
    }
    static const Ref<NSRegularExpression> expression = NSRegularExpression::regularExpressionWithPattern(
        "[A-Z]{2,3}+", NSRegularExpression::NSRegularExpressionCaseInsensitive);
    NSRange match = expression ? expression->rangeOfFirstMatchInString(text) : NSRange { NSNotFound, 0 };
    if (match.location != static_cast<NSUInteger>(NSNotFound))
        m_airlineICAO = NSString::substringWithRange(text, match);
    else
        m_airlineICAO = NSString::substringToIndex(text, 2);
    return m_airlineICAO;
}

std::string KESTPlane::paddedSquawk() const
{
    return NSString::stringWithFormat("%04d", Value(squawk()).intValue());
}

int32_t KESTPlane::clampedHeading() const
{
    auto bearing = static_cast<int32_t>(KESTPlaneServices::shared()->mapBearing());
    auto h = static_cast<int32_t>(heading());
    int32_t r = h;
    if (bearing != 0) {
        int32_t x = h - bearing;
        r = x % 360;
        if (x < 0)
            r += 360;
    }
    auto step = static_cast<int32_t>(std::lround(r / 10.0)) * 10;
    return std::clamp(step, 0, 360);
}

bool KESTPlane::requiresRedraw()
{
    return lastRenderedHeading() != clampedHeading();
}

Value KESTPlane::annotationData() const
{
    auto settings = KESTSettingsManager::sharedInstance();
    Fields f = fields();
    const char* colour = "R";
    switch (settings->planeColor()) {
    case 1:
        colour = "Y";
        break;
    case 2:
        colour = "B";
        break;
    case 3:
        colour = "W";
        break;
    default:
        break;
    }
    if (f.dataType == 1)
        colour = "O";

    std::string fallback = settings->markerDebug() ? "VOLCANO" : "B737";
    std::string family = fallback;
    if (NSString::length(f.type) >= 3) {
        auto services = KESTPlaneServices::shared();
        if (auto full = services->fullLookupFamily(f.type))
            family = *full;
        else if (auto partial = services->partialLookupFamily(NSString::substringToIndex(f.type, 3)))
            family = *partial;
    }
    return Value::array({ Value(family), Value(colour), Value(clampedHeading()) });
}

Ref<UIImage> KESTPlane::annotationImage()
{
    Value data = annotationData();
    int32_t rotation;
    {
        std::lock_guard guard(m_lock);
        if (data.count() == 3)
            m_lastRenderedHeading = data[2].intValue();
        rotation = m_lastRenderedHeading;
    }
    auto services = KESTPlaneServices::shared();
    if (dataType() == 99)
        return services->rotatedImageNamed("SANTA", rotation, std::nullopt);
    return services->rotatedImageNamed(data[0].string(), rotation, data[1].string());
}

void KESTPlane::updateTitleAndSubtitle()
{
    Fields f = fields();
    auto flights = KESTFlightDataManager::sharedInstance();
    auto optionalText = [](const std::optional<std::string>& text) { return text ? Value(*text) : Value(); };
    std::string title = NSString::stringWithFormat("%@ %@", f.fltno.empty() ? f.callsign : f.fltno, f.reg);
    std::string subtitle
        = NSString::stringWithFormat("%@ %@ %@", f.route, optionalText(flights->formattedAltitudeWithFeet(f.altitude)),
            optionalText(flights->formattedSpeedWithKnots(f.speed)));
    std::lock_guard guard(m_lock);
    m_title = std::move(title);
    m_subtitle = std::move(subtitle);
}

std::string KESTPlane::title()
{
    updateTitleAndSubtitle();
    std::lock_guard guard(m_lock);
    return m_title;
}

std::string KESTPlane::subtitle()
{
    updateTitleAndSubtitle();
    std::lock_guard guard(m_lock);
    return m_subtitle;
}

void KESTPlane::updateFlightPath()
{
    auto settings = KESTSettingsManager::sharedInstance();
    if (!settings->showFlightPaths())
        return;
    Value timestamp = settings->movePlanes() ? Value() : Value(mtime());
    KESTPlaneServices::shared()->performFlightPathFetch(adshex(), timestamp);
}

void KESTPlane::drawLabelWithContentInRect(const Value& content, CGRect rect) const
{
    auto context = UIGraphicsGetCurrentContext();
    if (!context)
        return;
    CGFloat width = rect.size.width;
    if (content.isString()) {
        auto font = UIFont::systemFontOfSize(10);
        Value attributes = Value::dictionary({ { NSFontAttributeName, Value(font) } });
        // A text longer than any callsign or registration (the feed may send anything) is cut
        // with an ellipsis, so one label cannot cover the map.
        CGFloat w
            = std::min(NSString_Drawing::sizeWithAttributes(content.string(), attributes).width, kLabelTextMaxWidth);
        CGRect capsule = CGRectMake(std::ceil(width * 0.5f - (w + 10) * 0.5f), rect.origin.y, std::ceil(w + 10), 12);
        CGContextSetFillColorWithColor(context, UIColor::colorWithWhiteAlpha(0, 0.5f)->CGColor());
        CGContextAddPath(context, CGPathCreateWithRoundedRect(capsule, 12, 12, nullptr));
        CGContextFillPath(context);
        auto paragraph = NSParagraphStyle::mutableParagraphStyle();
        paragraph->setLineBreakMode(NSLineBreakByTruncatingTail);
        Value textAttributes = Value::dictionary(
            { { NSFontAttributeName, Value(font) }, { NSForegroundColorAttributeName, Value(UIColor::whiteColor()) },
                { NSParagraphStyleAttributeName, Value(paragraph) } });
        NSString_Drawing::drawInRect(content.string(),
            CGRectMake(std::ceil(width * 0.5f - w * 0.5f), rect.origin.y, std::ceil(w), 12), textAttributes);
        return;
    }
    auto image = content.objectAs<UIImage>();
    if (!image)
        return;
    CGSize size = image->size();
    if (size.width <= 2 || size.height <= 2)
        return;
    CGFloat boxWidth = std::ceil(size.width + 10);
    CGFloat boxHeight = std::ceil(size.height + 10);
    CGRect box = CGRectMake(std::ceil(width * 0.5f - boxWidth * 0.5f), 0, boxWidth, boxHeight);
    CGContextSetFillColorWithColor(context, UIColor::colorWithWhiteAlpha(1, 0.75f)->CGColor());
    CGContextAddPath(context, CGPathCreateWithRoundedRect(box, 5, 5, nullptr));
    CGContextFillPath(context);
    image->drawAtPoint(
        CGPointMake(std::ceil(width * 0.5f - size.width * 0.5f), std::ceil(boxHeight * 0.5f - size.height * 0.5f)));
}

int32_t KESTPlane::lastRenderedHeading() const
{
    std::lock_guard guard(m_lock);
    return m_lastRenderedHeading;
}

#define VX_PLANE_TEXT_FIELD(getter, setter, member)                                                                    \
    std::string KESTPlane::getter() const                                                                              \
    {                                                                                                                  \
        std::lock_guard guard(m_lock);                                                                                 \
        return member;                                                                                                 \
    }                                                                                                                  \
    void KESTPlane::setter(std::string v)                                                                              \
    {                                                                                                                  \
        std::lock_guard guard(m_lock);                                                                                 \
        member = std::move(v);                                                                                         \
    }

VX_PLANE_TEXT_FIELD(adshex, setAdshex, m_adshex)
VX_PLANE_TEXT_FIELD(reg, setReg, m_fields.reg)
VX_PLANE_TEXT_FIELD(fltno, setFltno, m_fields.fltno)
VX_PLANE_TEXT_FIELD(type, setType, m_fields.type)
VX_PLANE_TEXT_FIELD(route, setRoute, m_fields.route)
VX_PLANE_TEXT_FIELD(squawk, setSquawk, m_fields.squawk)
VX_PLANE_TEXT_FIELD(callsign, setCallsign, m_fields.callsign)
#undef VX_PLANE_TEXT_FIELD

#define VX_PLANE_NUMBER_FIELD(type, getter, setter, member)                                                            \
    type KESTPlane::getter() const                                                                                     \
    {                                                                                                                  \
        std::lock_guard guard(m_lock);                                                                                 \
        return member;                                                                                                 \
    }                                                                                                                  \
    void KESTPlane::setter(type v)                                                                                     \
    {                                                                                                                  \
        std::lock_guard guard(m_lock);                                                                                 \
        member = v;                                                                                                    \
    }

VX_PLANE_NUMBER_FIELD(int32_t, dataType, setDataType, m_fields.dataType)
VX_PLANE_NUMBER_FIELD(double, lat, setLat, m_fields.lat)
VX_PLANE_NUMBER_FIELD(double, lon, setLon, m_fields.lon)
VX_PLANE_NUMBER_FIELD(double, altitude, setAltitude, m_fields.altitude)
VX_PLANE_NUMBER_FIELD(double, heading, setHeading, m_fields.heading)
VX_PLANE_NUMBER_FIELD(double, speed, setSpeed, m_fields.speed)
VX_PLANE_NUMBER_FIELD(double, mtime, setMtime, m_fields.mtime)
#undef VX_PLANE_NUMBER_FIELD

std::optional<std::string> KESTPlane::searchCodeshare() const
{
    std::lock_guard guard(m_lock);
    return m_searchCodeshare;
}

void KESTPlane::setSearchCodeshare(std::optional<std::string> v)
{
    std::lock_guard guard(m_lock);
    m_searchCodeshare = std::move(v);
}

KESTLocation KESTPlane::threadedCoordinate() const
{
    std::lock_guard guard(m_lock);
    return m_threadedCoordinate;
}

void KESTPlane::setThreadedCoordinate(const KESTLocation& v)
{
    std::lock_guard guard(m_lock);
    m_threadedCoordinate = v;
}

Value KESTPlane::valueForKey(const std::string& key)
{
    // Each getter copies its one field under the lock, so a reader never sees a torn text.
    // A filter reads a few keys of every plane: the key's length picks the few names it can be,
    // which costs less than hashing it or comparing it with every name.
    switch (key.size()) {
    case 3:
        if (key == "reg")
            return Value(reg());
        if (key == "lat")
            return Value(lat());
        if (key == "lon")
            return Value(lon());
        break;
    case 4:
        if (key == "type")
            return Value(type());
        break;
    case 5:
        if (key == "fltno")
            return Value(fltno());
        if (key == "speed")
            return Value(speed());
        if (key == "route")
            return Value(route());
        if (key == "mtime")
            return Value(mtime());
        break;
    case 6:
        if (key == "adshex")
            return Value(adshex());
        if (key == "squawk")
            return Value(squawk());
        break;
    case 7:
        if (key == "heading")
            return Value(heading());
        break;
    case 8:
        if (key == "altitude")
            return Value(altitude());
        if (key == "callsign")
            return Value(callsign());
        if (key == "dataType")
            return Value(dataType());
        break;
    default:
        break;
    }
    return KESTAnnotation::valueForKey(key);
}
