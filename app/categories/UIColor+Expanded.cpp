#include "app/categories/UIColor+Expanded.h"

#include "foundation/NSString.h"
#include "foundation/Random.h"
#include "graphics/CGColor.h"

#include <algorithm>
#include <cctype>
#include <cfloat>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <mutex>

namespace UIColor_Expanded {

namespace {

const std::vector<CGFloat>* componentsOf(const Ref<UIColor>& color)
{
    if (!color || !color->CGColor())
        return nullptr;
    return &color->CGColor()->components();
}

float component(const Ref<UIColor>& color, size_t index)
{
    auto* components = componentsOf(color);
    return components && index < components->size() ? (*components)[index] : 0;
}

struct RGBA {
    float r, g, b, a;
};

std::optional<RGBA> rgba(const Ref<UIColor>& color)
{
    RGBA c {};
    if (!redGreenBlueAlpha(color, &c.r, &c.g, &c.b, &c.a))
        return std::nullopt;
    return c;
}

float clamp01(float v)
{
    return std::clamp(v, 0.0f, 1.0f);
}

Ref<UIColor> rgbColor(float r, float g, float b, float a)
{
    return UIColor::colorWithRedGreenBlueAlpha(r, g, b, a);
}

Ref<UIColor> hsbColor(float h, float s, float v, float a)
{
    float r = 0, g = 0, b = 0;
    hueSaturationBrightnessToRedGreenBlue(h, s, v, &r, &g, &b);
    return rgbColor(r, g, b, a);
}

} // namespace

int32_t colorSpaceModel(const Ref<UIColor>& color)
{
    if (!color || !color->CGColor())
        return kCGColorSpaceModelUnknown;
    return CGColorSpaceGetModel(color->CGColor()->colorSpace());
}

std::string colorSpaceStringForModel(int32_t model)
{
    static const char* const names[] = { "kCGColorSpaceModelUnknown", "kCGColorSpaceModelMonochrome",
        "kCGColorSpaceModelRGB", "kCGColorSpaceModelCMYK", "kCGColorSpaceModelLab", "kCGColorSpaceModelDeviceN",
        "kCGColorSpaceModelIndexed", "kCGColorSpaceModelPattern" };
    if (model < -1 || model > 6)
        return "Not a valid color space";
    return names[model + 1];
}

std::string colorSpaceString(const Ref<UIColor>& color)
{
    return colorSpaceStringForModel(colorSpaceModel(color));
}

bool canProvideRGBComponents(const Ref<UIColor>& color)
{
    int32_t model = colorSpaceModel(color);
    return model == kCGColorSpaceModelMonochrome || model == kCGColorSpaceModelRGB;
}

bool redGreenBlueAlpha(const Ref<UIColor>& color, float* red, float* green, float* blue, float* alpha)
{
    float r, g, b, a;
    switch (colorSpaceModel(color)) {
    case kCGColorSpaceModelMonochrome:
        r = g = b = component(color, 0);
        a = component(color, 1);
        break;
    case kCGColorSpaceModelRGB:
        r = component(color, 0);
        g = component(color, 1);
        b = component(color, 2);
        a = component(color, 3);
        break;
    default:
        return false;
    }
    if (red)
        *red = r;
    if (green)
        *green = g;
    if (blue)
        *blue = b;
    if (alpha)
        *alpha = a;
    return true;
}

Value arrayFromRGBAComponents(const Ref<UIColor>& color)
{
    auto c = rgba(color);
    if (!c)
        return Value();
    return Value::array({ Value(c->r), Value(c->g), Value(c->b), Value(c->a) });
}

bool hueSaturationBrightnessAlpha(
    const Ref<UIColor>& color, float* hue, float* saturation, float* brightness, float* alpha)
{
    auto c = rgba(color);
    if (!c)
        return false;
    redGreenBlueToHueSaturationBrightness(c->r, c->g, c->b, hue, saturation, brightness);
    if (alpha)
        *alpha = c->a;
    return true;
}

float red(const Ref<UIColor>& color)
{
    return component(color, 0);
}

float green(const Ref<UIColor>& color)
{
    return component(color, colorSpaceModel(color) == kCGColorSpaceModelMonochrome ? 0 : 1);
}

float blue(const Ref<UIColor>& color)
{
    return component(color, colorSpaceModel(color) == kCGColorSpaceModelMonochrome ? 0 : 2);
}

float white(const Ref<UIColor>& color)
{
    return component(color, 0);
}

float alpha(const Ref<UIColor>& color)
{
    return color && color->CGColor() ? static_cast<float>(color->CGColor()->alpha()) : 0;
}

float hue(const Ref<UIColor>& color)
{
    float h = 0;
    return hueSaturationBrightnessAlpha(color, &h, nullptr, nullptr, nullptr) ? h : 0;
}

float saturation(const Ref<UIColor>& color)
{
    float s = 0;
    return hueSaturationBrightnessAlpha(color, nullptr, &s, nullptr, nullptr) ? s : 0;
}

float brightness(const Ref<UIColor>& color)
{
    float b = 0;
    return hueSaturationBrightnessAlpha(color, nullptr, nullptr, &b, nullptr) ? b : 0;
}

float luminance(const Ref<UIColor>& color)
{
    auto c = rgba(color);
    if (!c)
        return 0;
    return c->r * 0.2126f + c->g * 0.7152f + c->b * 0.0722f;
}

uint32_t rgbHex(const Ref<UIColor>& color)
{
    auto c = rgba(color);
    if (!c)
        return 0;
    auto byte = [](float v) { return static_cast<uint32_t>(std::lroundf(clamp01(v) * 255)); };
    return byte(c->r) << 16 | byte(c->g) << 8 | byte(c->b);
}

Ref<UIColor> colorByLuminanceMapping(const Ref<UIColor>& color)
{
    if (!canProvideRGBComponents(color))
        return nullptr;
    return UIColor::colorWithWhiteAlpha(luminance(color), 1);
}

Ref<UIColor> colorByMultiplyingByRedGreenBlueAlpha(const Ref<UIColor>& color, float r, float g, float b, float a)
{
    auto c = rgba(color);
    if (!c)
        return nullptr;
    return rgbColor(clamp01(c->r * r), clamp01(c->g * g), clamp01(c->b * b), clamp01(c->a * a));
}

Ref<UIColor> colorByAddingRedGreenBlueAlpha(const Ref<UIColor>& color, float r, float g, float b, float a)
{
    auto c = rgba(color);
    if (!c)
        return nullptr;
    return rgbColor(clamp01(c->r + r), clamp01(c->g + g), clamp01(c->b + b), clamp01(c->a + a));
}

Ref<UIColor> colorByLighteningToRedGreenBlueAlpha(const Ref<UIColor>& color, float r, float g, float b, float a)
{
    auto c = rgba(color);
    if (!c)
        return nullptr;
    return rgbColor(std::max(c->r, r), std::max(c->g, g), std::max(c->b, b), std::max(c->a, a));
}

Ref<UIColor> colorByDarkeningToRedGreenBlueAlpha(const Ref<UIColor>& color, float r, float g, float b, float a)
{
    auto c = rgba(color);
    if (!c)
        return nullptr;
    return rgbColor(std::min(c->r, r), std::min(c->g, g), std::min(c->b, b), std::min(c->a, a));
}

Ref<UIColor> colorByMultiplyingBy(const Ref<UIColor>& color, float f)
{
    return colorByMultiplyingByRedGreenBlueAlpha(color, f, f, f, 1);
}

Ref<UIColor> colorByAdding(const Ref<UIColor>& color, float f)
{
    return colorByAddingRedGreenBlueAlpha(color, f, f, f, 0);
}

Ref<UIColor> colorByLighteningTo(const Ref<UIColor>& color, float f)
{
    return colorByLighteningToRedGreenBlueAlpha(color, f, f, f, 0);
}

Ref<UIColor> colorByDarkeningTo(const Ref<UIColor>& color, float f)
{
    return colorByDarkeningToRedGreenBlueAlpha(color, f, f, f, 1);
}

Ref<UIColor> colorByMultiplyingByColor(const Ref<UIColor>& color, const Ref<UIColor>& other)
{
    auto o = rgba(other);
    return o ? colorByMultiplyingByRedGreenBlueAlpha(color, o->r, o->g, o->b, 1) : nullptr;
}

Ref<UIColor> colorByAddingColor(const Ref<UIColor>& color, const Ref<UIColor>& other)
{
    auto o = rgba(other);
    return o ? colorByAddingRedGreenBlueAlpha(color, o->r, o->g, o->b, 0) : nullptr;
}

Ref<UIColor> colorByLighteningToColor(const Ref<UIColor>& color, const Ref<UIColor>& other)
{
    auto o = rgba(other);
    return o ? colorByLighteningToRedGreenBlueAlpha(color, o->r, o->g, o->b, 0) : nullptr;
}

Ref<UIColor> colorByDarkeningToColor(const Ref<UIColor>& color, const Ref<UIColor>& other)
{
    auto o = rgba(other);
    return o ? colorByDarkeningToRedGreenBlueAlpha(color, o->r, o->g, o->b, 1) : nullptr;
}

Ref<UIColor> contrastingColor(const Ref<UIColor>& color)
{
    if (!canProvideRGBComponents(color))
        return nullptr;
    return luminance(color) > 0.5f ? UIColor::blackColor() : UIColor::whiteColor();
}

Ref<UIColor> complementaryColor(const Ref<UIColor>& color)
{
    float h, s, v, a;
    if (!hueSaturationBrightnessAlpha(color, &h, &s, &v, &a))
        return nullptr;
    h += 180;
    if (h > 360)
        h -= 360;
    return hsbColor(h, s, v, a);
}

std::optional<std::vector<Ref<UIColor>>> analogousColorsWithStepAnglePairCount(
    const Ref<UIColor>& color, float stepAngle, int32_t pairCount)
{
    float h, s, v, a;
    if (!hueSaturationBrightnessAlpha(color, &h, &s, &v, &a))
        return std::nullopt;
    std::vector<Ref<UIColor>> colors;
    float step = std::fabs(stepAngle);
    for (int32_t i = 1; i <= pairCount; ++i) {
        float angle = std::fmod(step * static_cast<float>(i), 360.0f);
        colors.push_back(hsbColor(std::fmod(h + angle, 360.0f), s, v, a));
        colors.push_back(hsbColor(std::fmod(h + 360.0f - angle, 360.0f), s, v, a));
    }
    return colors;
}

std::optional<std::vector<Ref<UIColor>>> triadicColors(const Ref<UIColor>& color)
{
    return analogousColorsWithStepAnglePairCount(color, 120, 1);
}

std::optional<std::string> stringFromColor(const Ref<UIColor>& color)
{
    switch (colorSpaceModel(color)) {
    case kCGColorSpaceModelMonochrome:
        return NSString::stringWithFormat(
            "{%0.3f, %0.3f}", static_cast<double>(white(color)), static_cast<double>(alpha(color)));
    case kCGColorSpaceModelRGB:
        return NSString::stringWithFormat("{%0.3f, %0.3f, %0.3f, %0.3f}", static_cast<double>(red(color)),
            static_cast<double>(green(color)), static_cast<double>(blue(color)), static_cast<double>(alpha(color)));
    default:
        return std::nullopt;
    }
}

std::string hexStringFromColor(const Ref<UIColor>& color)
{
    return NSString::stringWithFormat("%0.6X", rgbHex(color));
}

std::string closestColorNameFor(const Ref<UIColor>& color, const char* table)
{
    uint32_t hex = rgbHex(color);
    int r = hex >> 16 & 0xFF, g = hex >> 8 & 0xFF, b = hex & 0xFF;
    float best = FLT_MAX;
    const char* bestHash = nullptr;
    for (const char* hash = std::strchr(table, '#'); hash; hash = std::strchr(hash + 1, '#')) {
        unsigned int R = 0, G = 0, B = 0;
        if (std::sscanf(hash + 1, "%2x%2x%2x", &R, &G, &B) != 3)
            continue;
        float distance = logf(static_cast<float>(std::abs(r - static_cast<int>(R)) + 1))
            + logf(static_cast<float>(std::abs(g - static_cast<int>(G)) + 1))
            + logf(static_cast<float>(std::abs(b - static_cast<int>(B)) + 1));
        if (distance < best) {
            best = distance;
            bestHash = hash;
        }
    }
    if (!bestHash)
        return "";
    const char* start = bestHash;
    while (start > table && start[-1] != ',')
        --start;
    return std::string(start, bestHash);
}

std::string closestColorName(const Ref<UIColor>& color)
{
    return closestColorNameFor(color, UIColor_Expanded_Support::colorNameDB);
}

std::string closestCrayonName(const Ref<UIColor>& color)
{
    return closestColorNameFor(color, UIColor_Expanded_Support::crayolaNameDB);
}

Ref<UIColor> randomColor()
{
    // 31 random bits over 2^31: from 0 up to but not including 1, drawn from the process's
    // random seam so tests can fix it.
    auto next = [] { return static_cast<float>((Random::arc4random() >> 1) / 2147483648.0); };
    float r = next(), g = next(), b = next();
    return rgbColor(r, g, b, 1);
}

Ref<UIColor> colorWithRGBHex(uint32_t hex)
{
    return rgbColor((hex >> 16 & 0xFF) / 255.0f, (hex >> 8 & 0xFF) / 255.0f, (hex & 0xFF) / 255.0f, 1);
}

Ref<UIColor> colorWithHexString(const std::string& string)
{
    // As the platform's scanner: leading white space, an optional "0x", then at least one
    // hexadecimal digit; a value too large for 32 bits reads as the largest one.
    size_t i = 0;
    while (i < string.size() && std::isspace(static_cast<unsigned char>(string[i])))
        ++i;
    if (i + 2 < string.size() && string[i] == '0' && (string[i + 1] == 'x' || string[i + 1] == 'X')
        && std::isxdigit(static_cast<unsigned char>(string[i + 2])))
        i += 2;
    if (i >= string.size() || !std::isxdigit(static_cast<unsigned char>(string[i])))
        return nullptr;
    uint64_t value = 0;
    for (; i < string.size() && std::isxdigit(static_cast<unsigned char>(string[i])); ++i) {
        char c = string[i];
        uint32_t digit = std::isdigit(static_cast<unsigned char>(c)) ? c - '0' : (std::tolower(c) - 'a' + 10);
        value = std::min<uint64_t>(value * 16 + digit, UINT32_MAX + 1ull);
    }
    return colorWithRGBHex(static_cast<uint32_t>(std::min<uint64_t>(value, UINT32_MAX)));
}

const UIColor_Expanded_Support::ColorNameDictionary& namedColors()
{
    static std::mutex lock;
    static std::optional<UIColor_Expanded_Support::ColorNameDictionary> dictionary;
    std::lock_guard guard(lock);
    if (!dictionary)
        dictionary = UIColor_Expanded_Support::populateColorNameCache();
    return *dictionary;
}

const UIColor_Expanded_Support::ColorNameDictionary& namedCrayons()
{
    static std::mutex lock;
    static std::optional<UIColor_Expanded_Support::ColorNameDictionary> dictionary;
    std::lock_guard guard(lock);
    if (!dictionary)
        dictionary = UIColor_Expanded_Support::populateCrayolaNameCache();
    return *dictionary;
}

Ref<UIColor> colorWithName(const std::string& name)
{
    const auto& colors = namedColors();
    auto found = colors.find(name);
    return found == colors.end() ? nullptr : found->second;
}

Ref<UIColor> crayonWithName(const std::string& name)
{
    const auto& crayons = namedCrayons();
    auto found = crayons.find(name);
    return found == crayons.end() ? nullptr : found->second;
}

void hueSaturationBrightnessToRedGreenBlue(float h, float s, float v, float* red, float* green, float* blue)
{
    float r = 0, g = 0, b = 0;
    if (s == 0) {
        r = g = b = v;
    } else {
        if (h == 360)
            h = 0;
        h /= 60;
        int i = static_cast<int>(std::floor(h));
        float f = h - static_cast<float>(i);
        float p = v * (1 - s);
        float q = v * (1 - s * f);
        float t = v * (1 - s * (1 - f));
        switch (i) {
        case 0:
            r = v;
            g = t;
            b = p;
            break;
        case 1:
            r = q;
            g = v;
            b = p;
            break;
        case 2:
            r = p;
            g = v;
            b = t;
            break;
        case 3:
            r = p;
            g = q;
            b = v;
            break;
        case 4:
            r = t;
            g = p;
            b = v;
            break;
        case 5:
            r = v;
            g = p;
            b = q;
            break;
        default:
            break;
        }
    }
    if (red)
        *red = r;
    if (green)
        *green = g;
    if (blue)
        *blue = b;
}

void redGreenBlueToHueSaturationBrightness(float r, float g, float b, float* hue, float* saturation, float* brightness)
{
    float max = std::max({ r, g, b });
    float min = std::min({ r, g, b });
    float h = 0, s = 0;
    if (max != 0) {
        float d = max - min;
        s = d / max;
        if (s != 0) {
            float rc = (max - r) / d, gc = (max - g) / d, bc = (max - b) / d;
            if (r == max)
                h = bc - gc;
            else if (g == max)
                h = 2 + rc - bc;
            else
                h = 4 + gc - rc;
            h *= 60;
            if (h < 0)
                h += 360;
        }
    }
    if (hue)
        *hue = h;
    if (saturation)
        *saturation = s;
    if (brightness)
        *brightness = max;
}

} // namespace UIColor_Expanded
