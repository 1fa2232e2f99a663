#include "graphics/CGColor.h"

#include <algorithm>

size_t CGColorSpace::numberOfComponents() const
{
    switch (m_model) {
    case kCGColorSpaceModelMonochrome:
    case kCGColorSpaceModelIndexed:
        return 1;
    case kCGColorSpaceModelRGB:
    case kCGColorSpaceModelLab:
        return 3;
    case kCGColorSpaceModelCMYK:
        return 4;
    default:
        return 0;
    }
}

CGColorSpaceRef CGColorSpaceCreateWithModel(CGColorSpaceModel model)
{
    return std::make_shared<CGColorSpace>(model);
}

CGColorSpaceRef CGColorSpaceCreateDeviceRGB()
{
    static const CGColorSpaceRef s_space = CGColorSpaceCreateWithModel(kCGColorSpaceModelRGB);
    return s_space;
}

CGColorSpaceRef CGColorSpaceCreateDeviceGray()
{
    static const CGColorSpaceRef s_space = CGColorSpaceCreateWithModel(kCGColorSpaceModelMonochrome);
    return s_space;
}

CGColorSpaceRef CGColorSpaceCreateDeviceCMYK()
{
    static const CGColorSpaceRef s_space = CGColorSpaceCreateWithModel(kCGColorSpaceModelCMYK);
    return s_space;
}

CGColorSpaceModel CGColorSpaceGetModel(const CGColorSpaceRef& space)
{
    return space ? space->model() : kCGColorSpaceModelUnknown;
}

size_t CGColorSpaceGetNumberOfComponents(const CGColorSpaceRef& space)
{
    return space ? space->numberOfComponents() : 0;
}

void CGColor::getRGBA(CGFloat rgba[4]) const
{
    auto at = [&](size_t i) { return i < m_components.size() ? std::clamp<CGFloat>(m_components[i], 0, 1) : 0; };
    switch (CGColorSpaceGetModel(m_space)) {
    case kCGColorSpaceModelMonochrome:
        rgba[0] = rgba[1] = rgba[2] = at(0);
        break;
    case kCGColorSpaceModelCMYK: {
        CGFloat k = at(3);
        rgba[0] = (1 - at(0)) * (1 - k);
        rgba[1] = (1 - at(1)) * (1 - k);
        rgba[2] = (1 - at(2)) * (1 - k);
        break;
    }
    case kCGColorSpaceModelRGB:
        rgba[0] = at(0);
        rgba[1] = at(1);
        rgba[2] = at(2);
        break;
    default:
        rgba[0] = rgba[1] = rgba[2] = 0;
        break;
    }
    rgba[3] = std::clamp<CGFloat>(alpha(), 0, 1);
}

CGColorRef CGColorCreate(const CGColorSpaceRef& space, const CGFloat* components)
{
    if (!space || !components)
        return nullptr;
    size_t n = space->numberOfComponents() + 1;
    return std::make_shared<CGColor>(space, std::vector<CGFloat>(components, components + n));
}

CGColorRef CGColorCreateGenericRGB(CGFloat r, CGFloat g, CGFloat b, CGFloat a)
{
    CGFloat c[4] = { r, g, b, a };
    return CGColorCreate(CGColorSpaceCreateDeviceRGB(), c);
}

CGColorRef CGColorCreateGenericGray(CGFloat gray, CGFloat a)
{
    CGFloat c[2] = { gray, a };
    return CGColorCreate(CGColorSpaceCreateDeviceGray(), c);
}

CGColorRef CGColorCreateCopyWithAlpha(const CGColorRef& color, CGFloat alpha)
{
    if (!color)
        return nullptr;
    auto components = color->components();
    if (components.empty())
        return color;
    components.back() = alpha;
    return std::make_shared<CGColor>(color->colorSpace(), std::move(components));
}

CGColorSpaceRef CGColorGetColorSpace(const CGColorRef& color)
{
    return color ? color->colorSpace() : nullptr;
}
size_t CGColorGetNumberOfComponents(const CGColorRef& color)
{
    return color ? color->components().size() : 0;
}
const CGFloat* CGColorGetComponents(const CGColorRef& color)
{
    return color ? color->components().data() : nullptr;
}
CGFloat CGColorGetAlpha(const CGColorRef& color)
{
    return color ? color->alpha() : 0;
}

bool CGColorEqualToColor(const CGColorRef& a, const CGColorRef& b)
{
    if (a == b)
        return true;
    if (!a || !b)
        return false;
    return CGColorSpaceGetModel(a->colorSpace()) == CGColorSpaceGetModel(b->colorSpace())
        && a->components() == b->components();
}
