#pragma once

#include "app/core/KESTPlane.h"
#include "app/core/KESTPlaneMarkerManager.h"
#include "app/core/KESTPlaneServices.h"
#include "app/view-controllers/map/KESTMapAnnotation.h"
#include "foundation/NSObject.h"
#include "graphics/CGColor.h"
#include "graphics/CGContext.h"
#include "graphics/CGImage.h"
#include "graphics/UIGraphics.h"
#include "graphics/UIImage.h"
#include "mapkit/MKAnnotation.h"
#include "testing/ScopedScreenScale.h"

#include <string>
#include <vector>

// The plane model's view of a marker manager, as the application wires it.
class MarkerServices : public KESTPlaneServices {
public:
    explicit MarkerServices(Ref<KESTPlaneMarkerManager> manager)
        : m_manager(std::move(manager))
    {
    }
    std::optional<std::string> fullLookupFamily(const std::string& type) const override
    {
        return m_manager->fullLookupFamily(type);
    }
    std::optional<std::string> partialLookupFamily(const std::string& prefix) const override
    {
        return m_manager->partialLookupFamily(prefix);
    }
    Ref<UIImage> rotatedImageNamed(
        const std::string& family, int32_t rotation, const std::optional<std::string>& colour) const override
    {
        return m_manager->rotatedImageNamedRotationColour(family, rotation, colour);
    }

private:
    Ref<KESTPlaneMarkerManager> m_manager;
};

// The map annotation the map screen would hand to a marker view.
inline Ref<MKAnnotation> mapAnnotation(const Ref<KESTAnnotation>& annotation)
{
    return KESTMapAnnotation::forAnnotation(annotation);
}

struct PlaneFields {
    std::string type { "B738" };
    std::string reg { "G-ABCD" };
    std::string callsign { "BAW123" };
    std::string fltno { "BA123" };
    double heading { 90 };
    int dataType { 0 };
};

inline Ref<KESTPlane> makePlane(const PlaneFields& f = {})
{
    return KESTPlane::initWithAdshexAndInfo("4CA123",
        Value::array(
            { Value(f.type), Value("LHR-JFK"), Value(f.reg), Value(f.callsign), Value(51.0), Value(-1.0), Value(35000),
                Value(f.heading), Value(450), Value(1388534390), Value("1234"), Value(f.dataType), Value(f.fltno) }));
}

inline Ref<UIImage> solidImage(CGFloat width, CGFloat height, CGFloat scale = 1)
{
    UIGraphicsBeginImageContextWithOptions(CGSizeMake(width, height), false, scale);
    CGContextSetRGBFillColor(UIGraphicsGetCurrentContext(), 0.2f, 0.4f, 0.8f, 1);
    CGContextFillRect(UIGraphicsGetCurrentContext(), CGRectMake(0, 0, width, height));
    auto image = UIGraphicsGetImageFromCurrentImageContext();
    UIGraphicsEndImageContext();
    return image;
}

inline std::string pngBytes(CGFloat width, CGFloat height)
{
    Value png = UIImagePNGRepresentation(solidImage(width, height));
    const auto& bytes = png.bytes();
    return std::string(bytes.begin(), bytes.end());
}

// An image's pixels as native-endian ARGB words, premultiplied, top row first.
struct Pixels {
    size_t width { 0 };
    size_t height { 0 };
    std::vector<uint32_t> argb;
    uint32_t at(size_t x, size_t y) const { return argb[y * width + x]; }
    static uint8_t alpha(uint32_t p) { return p >> 24; }
    static uint8_t red(uint32_t p) { return (p >> 16) & 0xff; }
    static uint8_t green(uint32_t p) { return (p >> 8) & 0xff; }
    static uint8_t blue(uint32_t p) { return p & 0xff; }
};

inline Pixels pixelsOf(const CGImageRef& image)
{
    Pixels result;
    result.width = CGImageGetWidth(image);
    result.height = CGImageGetHeight(image);
    result.argb.assign(result.width * result.height, 0);
    auto context = CGBitmapContextCreate(result.argb.data(), result.width, result.height, 8, result.width * 4,
        CGColorSpaceCreateDeviceRGB(), kCGImageAlphaPremultipliedFirst | kCGBitmapByteOrder32Little);
    CGContextDrawImage(context, CGRectMake(0, 0, CGFloat(result.width), CGFloat(result.height)), image);
    return result;
}
