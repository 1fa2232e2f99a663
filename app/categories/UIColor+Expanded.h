#pragma once

#include "app/categories/UIColor+Expanded_Support.h"
#include "foundation/Value.h"
#include "graphics/UIColor.h"

#include <optional>
#include <string>
#include <vector>

// Colour helpers: components (RGB, white, hue, saturation, brightness, alpha, luminance, a
// 24-bit value), colours from hexadecimal values and texts and from two name tables, colour
// arithmetic, related colours, text forms and the nearest table name. Only monochrome and RGB
// colours give components; the others answer false, nil or 0. Hues are in degrees. Any thread:
// the name dictionaries are built once under their own locks.
namespace UIColor_Expanded {

int32_t colorSpaceModel(const Ref<UIColor>& color);
std::string colorSpaceString(const Ref<UIColor>& color);
// The text for a colour space model -1 to 6, "Not a valid color space" for any other.
std::string colorSpaceStringForModel(int32_t model);
bool canProvideRGBComponents(const Ref<UIColor>& color);

// Each destination may be null. False (writing nothing) without RGB components.
bool redGreenBlueAlpha(const Ref<UIColor>& color, float* red, float* green, float* blue, float* alpha);
// [red, green, blue, alpha] or nil.
Value arrayFromRGBAComponents(const Ref<UIColor>& color);
bool hueSaturationBrightnessAlpha(
    const Ref<UIColor>& color, float* hue, float* saturation, float* brightness, float* alpha);

float red(const Ref<UIColor>& color);
float green(const Ref<UIColor>& color);
float blue(const Ref<UIColor>& color);
float white(const Ref<UIColor>& color);
float alpha(const Ref<UIColor>& color);
float hue(const Ref<UIColor>& color);
float saturation(const Ref<UIColor>& color);
float brightness(const Ref<UIColor>& color);
float luminance(const Ref<UIColor>& color);
uint32_t rgbHex(const Ref<UIColor>& color);

// New colours; nullptr without RGB components (of the receiver or the given colour).
Ref<UIColor> colorByLuminanceMapping(const Ref<UIColor>& color);
Ref<UIColor> colorByMultiplyingByRedGreenBlueAlpha(
    const Ref<UIColor>& color, float red, float green, float blue, float alpha);
Ref<UIColor> colorByAddingRedGreenBlueAlpha(const Ref<UIColor>& color, float red, float green, float blue, float alpha);
Ref<UIColor> colorByLighteningToRedGreenBlueAlpha(
    const Ref<UIColor>& color, float red, float green, float blue, float alpha);
Ref<UIColor> colorByDarkeningToRedGreenBlueAlpha(
    const Ref<UIColor>& color, float red, float green, float blue, float alpha);
Ref<UIColor> colorByMultiplyingBy(const Ref<UIColor>& color, float f);
Ref<UIColor> colorByAdding(const Ref<UIColor>& color, float f);
Ref<UIColor> colorByLighteningTo(const Ref<UIColor>& color, float f);
Ref<UIColor> colorByDarkeningTo(const Ref<UIColor>& color, float f);
Ref<UIColor> colorByMultiplyingByColor(const Ref<UIColor>& color, const Ref<UIColor>& other);
Ref<UIColor> colorByAddingColor(const Ref<UIColor>& color, const Ref<UIColor>& other);
Ref<UIColor> colorByLighteningToColor(const Ref<UIColor>& color, const Ref<UIColor>& other);
Ref<UIColor> colorByDarkeningToColor(const Ref<UIColor>& color, const Ref<UIColor>& other);
Ref<UIColor> contrastingColor(const Ref<UIColor>& color);
Ref<UIColor> complementaryColor(const Ref<UIColor>& color);
// 2 × pairCount colours (none for a count below 1), or nullopt without RGB components.
std::optional<std::vector<Ref<UIColor>>> analogousColorsWithStepAnglePairCount(
    const Ref<UIColor>& color, float stepAngle, int32_t pairCount);
std::optional<std::vector<Ref<UIColor>>> triadicColors(const Ref<UIColor>& color);

// "{white, alpha}" or "{red, green, blue, alpha}" with three decimals; nullopt otherwise.
std::optional<std::string> stringFromColor(const Ref<UIColor>& color);
// Six upper-case hexadecimal digits of rgbHex.
std::string hexStringFromColor(const Ref<UIColor>& color);
std::string closestColorNameFor(const Ref<UIColor>& color, const char* table);
std::string closestColorName(const Ref<UIColor>& color);
std::string closestCrayonName(const Ref<UIColor>& color);

Ref<UIColor> randomColor();
// Bits above the lowest 24 are ignored.
Ref<UIColor> colorWithRGBHex(uint32_t hex);
// Scans one hexadecimal number (leading blanks and "0x" allowed); nullptr when there is none.
Ref<UIColor> colorWithHexString(const std::string& string);
// Exact, case-sensitive names; nullptr when absent.
Ref<UIColor> colorWithName(const std::string& name);
Ref<UIColor> crayonWithName(const std::string& name);
const UIColor_Expanded_Support::ColorNameDictionary& namedColors();
const UIColor_Expanded_Support::ColorNameDictionary& namedCrayons();

// Hue in degrees; each destination may be null.
void hueSaturationBrightnessToRedGreenBlue(
    float hue, float saturation, float brightness, float* red, float* green, float* blue);
void redGreenBlueToHueSaturationBrightness(
    float red, float green, float blue, float* hue, float* saturation, float* brightness);

} // namespace UIColor_Expanded
