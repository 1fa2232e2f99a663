#pragma once

#include "foundation/FoundationForward.h"

#include <cstdint>

class UIColor;

// A colour as the data grid's theme table writes it: 0xRRGGBB and an alpha, where an alpha of
// exactly -1 means "no colour".
struct LDataGridColorRecord {
    uint32_t rgb;
    float alpha;
};

// Colours from the theme table's records. Any thread.
namespace UIColor_hex {
// nullptr when alpha is exactly -1; otherwise each byte / 255 with the given alpha.
Ref<UIColor> colorWithHexAlpha(uint32_t rgb, float alpha);
Ref<UIColor> colorFromStruct(LDataGridColorRecord record);
} // namespace UIColor_hex
