#include "graphics/UIColor.h"

#include "graphics/CGContextPrivate.h"
#include "graphics/UIGraphics.h"
#include "graphics/UIImage.h"

#include <algorithm>
#include <cmath>

UIColor::UIColor(Passkey key, CGColorRef color, Ref<UIImage> pattern)
    : NSObject(key)
    , m_color(std::move(color))
    , m_pattern(std::move(pattern))
{
}

Ref<UIColor> UIColor::colorWithRedGreenBlueAlpha(CGFloat r, CGFloat g, CGFloat b, CGFloat a)
{
    return make<UIColor>(CGColorCreateGenericRGB(r, g, b, a), nullptr);
}

Ref<UIColor> UIColor::colorWithWhiteAlpha(CGFloat white, CGFloat a)
{
    return make<UIColor>(CGColorCreateGenericGray(white, a), nullptr);
}

Ref<UIColor> UIColor::colorWithHueSaturationBrightnessAlpha(CGFloat h, CGFloat s, CGFloat v, CGFloat a)
{
    h = std::fmod(std::max<CGFloat>(0, h), 1.0f) * 6;
    s = std::clamp<CGFloat>(s, 0, 1);
    v = std::clamp<CGFloat>(v, 0, 1);
    int sector = static_cast<int>(std::floor(h)) % 6;
    CGFloat f = h - std::floor(h);
    CGFloat p = v * (1 - s), q = v * (1 - s * f), t = v * (1 - s * (1 - f));
    CGFloat rgb[6][3] = { { v, t, p }, { q, v, p }, { p, v, t }, { p, q, v }, { t, p, v }, { v, p, q } };
    return colorWithRedGreenBlueAlpha(rgb[sector][0], rgb[sector][1], rgb[sector][2], a);
}

Ref<UIColor> UIColor::colorWithCGColor(const CGColorRef& color)
{
    if (!color)
        return nullptr;
    return make<UIColor>(color, nullptr);
}

Ref<UIColor> UIColor::colorWithPatternImage(const Ref<UIImage>& image)
{
    if (!image)
        return nullptr;
    auto space = CGColorSpaceCreateWithModel(kCGColorSpaceModelPattern);
    CGFloat alpha = 1;
    return make<UIColor>(CGColorCreate(space, &alpha), image);
}

#define VX_NAMED_COLOR(name, expr)                                                                                     \
    Ref<UIColor> UIColor::name()                                                                                       \
    {                                                                                                                  \
        static const Ref<UIColor> s_color = expr;                                                                      \
        return s_color;                                                                                                \
    }

VX_NAMED_COLOR(blackColor, colorWithWhiteAlpha(0, 1))
VX_NAMED_COLOR(darkGrayColor, colorWithWhiteAlpha(1.0f / 3, 1))
VX_NAMED_COLOR(lightGrayColor, colorWithWhiteAlpha(2.0f / 3, 1))
VX_NAMED_COLOR(whiteColor, colorWithWhiteAlpha(1, 1))
VX_NAMED_COLOR(grayColor, colorWithWhiteAlpha(0.5f, 1))
VX_NAMED_COLOR(redColor, colorWithRedGreenBlueAlpha(1, 0, 0, 1))
VX_NAMED_COLOR(greenColor, colorWithRedGreenBlueAlpha(0, 1, 0, 1))
VX_NAMED_COLOR(blueColor, colorWithRedGreenBlueAlpha(0, 0, 1, 1))
VX_NAMED_COLOR(cyanColor, colorWithRedGreenBlueAlpha(0, 1, 1, 1))
VX_NAMED_COLOR(yellowColor, colorWithRedGreenBlueAlpha(1, 1, 0, 1))
VX_NAMED_COLOR(magentaColor, colorWithRedGreenBlueAlpha(1, 0, 1, 1))
VX_NAMED_COLOR(orangeColor, colorWithRedGreenBlueAlpha(1, 0.5f, 0, 1))
VX_NAMED_COLOR(purpleColor, colorWithRedGreenBlueAlpha(0.5f, 0, 0.5f, 1))
VX_NAMED_COLOR(brownColor, colorWithRedGreenBlueAlpha(0.6f, 0.4f, 0.2f, 1))
VX_NAMED_COLOR(clearColor, colorWithWhiteAlpha(0, 0))
// Text on a dark background: white at 60 % opacity.
VX_NAMED_COLOR(lightTextColor, colorWithWhiteAlpha(1, 0.6f))
VX_NAMED_COLOR(groupTableViewBackgroundColor, colorWithRedGreenBlueAlpha(0.937255f, 0.937255f, 0.956863f, 1))

#undef VX_NAMED_COLOR

Ref<UIColor> UIColor::colorWithAlphaComponent(CGFloat alpha) const
{
    return make<UIColor>(CGColorCreateCopyWithAlpha(m_color, alpha), m_pattern);
}

bool UIColor::getRedGreenBlueAlpha(CGFloat* r, CGFloat* g, CGFloat* b, CGFloat* a) const
{
    auto model = CGColorSpaceGetModel(CGColorGetColorSpace(m_color));
    if (model != kCGColorSpaceModelRGB && model != kCGColorSpaceModelMonochrome)
        return false;
    CGFloat rgba[4];
    m_color->getRGBA(rgba);
    if (r)
        *r = rgba[0];
    if (g)
        *g = rgba[1];
    if (b)
        *b = rgba[2];
    if (a)
        *a = rgba[3];
    return true;
}

bool UIColor::getWhiteAlpha(CGFloat* white, CGFloat* a) const
{
    if (CGColorSpaceGetModel(CGColorGetColorSpace(m_color)) != kCGColorSpaceModelMonochrome)
        return false;
    if (white)
        *white = m_color->components()[0];
    if (a)
        *a = m_color->alpha();
    return true;
}

bool UIColor::getHueSaturationBrightnessAlpha(CGFloat* h, CGFloat* s, CGFloat* v, CGFloat* a) const
{
    CGFloat r, g, b, alpha;
    if (!getRedGreenBlueAlpha(&r, &g, &b, &alpha))
        return false;
    CGFloat maxC = std::max({ r, g, b }), minC = std::min({ r, g, b }), delta = maxC - minC;
    CGFloat hue = 0;
    if (delta > 0) {
        if (maxC == r)
            hue = std::fmod((g - b) / delta, 6.0f);
        else if (maxC == g)
            hue = (b - r) / delta + 2;
        else
            hue = (r - g) / delta + 4;
        hue /= 6;
        if (hue < 0)
            hue += 1;
    }
    if (h)
        *h = hue;
    if (s)
        *s = maxC == 0 ? 0 : delta / maxC;
    if (v)
        *v = maxC;
    if (a)
        *a = alpha;
    return true;
}

void UIColor::set() const
{
    setFill();
    setStroke();
}

void UIColor::setFill() const
{
    auto c = UIGraphicsGetCurrentContext();
    if (!c)
        return;
    CGContextSetFillColorWithColor(c, m_color);
    c->state().fillPattern = m_pattern ? m_pattern->CGImage() : nullptr;
    c->state().fillPatternScale = m_pattern ? m_pattern->scale() : 1;
}

void UIColor::setStroke() const
{
    CGContextSetStrokeColorWithColor(UIGraphicsGetCurrentContext(), m_color);
}

namespace {
std::string component(CGFloat v)
{
    return CGFloatDescription(v);
}
} // namespace

std::string UIColor::description() const
{
    switch (CGColorSpaceGetModel(CGColorGetColorSpace(m_color))) {
    case kCGColorSpaceModelMonochrome:
        return "UIDeviceWhiteColorSpace " + component(m_color->components()[0]) + " " + component(m_color->alpha());
    case kCGColorSpaceModelRGB: {
        const auto& c = m_color->components();
        return "UIDeviceRGBColorSpace " + component(c[0]) + " " + component(c[1]) + " " + component(c[2]) + " "
            + component(c[3]);
    }
    case kCGColorSpaceModelPattern:
        return "UIPatternColor";
    default:
        return NSObject::description();
    }
}

bool UIColor::isEqual(const NSObject* other) const
{
    auto* color = dynamic_cast<const UIColor*>(other);
    return color && CGColorEqualToColor(m_color, color->m_color) && m_pattern == color->m_pattern;
}

size_t UIColor::hash() const
{
    size_t h = 0;
    for (CGFloat c : m_color->components())
        h = h * 31 + std::hash<float>()(c);
    return h;
}

VX_REGISTER_CLASS(UIColor);
