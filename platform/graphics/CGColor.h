#pragma once

#include "graphics/CGGeometry.h"

#include <memory>
#include <string>
#include <vector>

// Colour spaces and colours. Immutable; any thread.

enum CGColorSpaceModel : int32_t {
    kCGColorSpaceModelUnknown = -1,
    kCGColorSpaceModelMonochrome = 0,
    kCGColorSpaceModelRGB = 1,
    kCGColorSpaceModelCMYK = 2,
    kCGColorSpaceModelLab = 3,
    kCGColorSpaceModelDeviceN = 4,
    kCGColorSpaceModelIndexed = 5,
    kCGColorSpaceModelPattern = 6,
};

class CGColorSpace {
public:
    explicit CGColorSpace(CGColorSpaceModel model)
        : m_model(model)
    {
    }
    CGColorSpaceModel model() const { return m_model; }
    // Colour components without alpha: 1 grey, 3 RGB, 4 CMYK, 3 Lab, 1 indexed, 0 pattern.
    size_t numberOfComponents() const;

private:
    CGColorSpaceModel m_model;
};

using CGColorSpaceRef = std::shared_ptr<const CGColorSpace>;

CGColorSpaceRef CGColorSpaceCreateDeviceRGB();
CGColorSpaceRef CGColorSpaceCreateDeviceGray();
CGColorSpaceRef CGColorSpaceCreateDeviceCMYK();
CGColorSpaceRef CGColorSpaceCreateWithModel(CGColorSpaceModel model);
CGColorSpaceModel CGColorSpaceGetModel(const CGColorSpaceRef& space); // unknown for null
size_t CGColorSpaceGetNumberOfComponents(const CGColorSpaceRef& space);

class CGColor {
public:
    CGColor(CGColorSpaceRef space, std::vector<CGFloat> components)
        : m_space(std::move(space))
        , m_components(std::move(components))
    {
    }
    const CGColorSpaceRef& colorSpace() const { return m_space; }
    // Colour components followed by alpha.
    const std::vector<CGFloat>& components() const { return m_components; }
    CGFloat alpha() const { return m_components.empty() ? 1 : m_components.back(); }
    // Device RGBA, converting grey and CMYK. Components are clamped to 0..1.
    void getRGBA(CGFloat rgba[4]) const;

private:
    CGColorSpaceRef m_space;
    std::vector<CGFloat> m_components;
};

using CGColorRef = std::shared_ptr<const CGColor>;

// `components` holds the space's components plus alpha; a wrong count gives null.
CGColorRef CGColorCreate(const CGColorSpaceRef& space, const CGFloat* components);
CGColorRef CGColorCreateGenericRGB(CGFloat r, CGFloat g, CGFloat b, CGFloat a);
CGColorRef CGColorCreateGenericGray(CGFloat gray, CGFloat a);
CGColorRef CGColorCreateCopyWithAlpha(const CGColorRef& color, CGFloat alpha);
CGColorSpaceRef CGColorGetColorSpace(const CGColorRef& color);
size_t CGColorGetNumberOfComponents(const CGColorRef& color); // including alpha
const CGFloat* CGColorGetComponents(const CGColorRef& color);
CGFloat CGColorGetAlpha(const CGColorRef& color);
bool CGColorEqualToColor(const CGColorRef& a, const CGColorRef& b);
