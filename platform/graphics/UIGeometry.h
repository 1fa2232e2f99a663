#pragma once

#include "graphics/CGGeometry.h"

#include <string>

struct UIEdgeInsets {
    CGFloat top { 0 }, left { 0 }, bottom { 0 }, right { 0 };
};

struct UIOffset {
    CGFloat horizontal { 0 }, vertical { 0 };
};

inline constexpr UIEdgeInsets UIEdgeInsetsZero {};
inline constexpr UIOffset UIOffsetZero {};

inline UIEdgeInsets UIEdgeInsetsMake(CGFloat top, CGFloat left, CGFloat bottom, CGFloat right)
{
    return { top, left, bottom, right };
}
inline UIOffset UIOffsetMake(CGFloat horizontal, CGFloat vertical)
{
    return { horizontal, vertical };
}

inline bool UIEdgeInsetsEqualToEdgeInsets(UIEdgeInsets a, UIEdgeInsets b)
{
    return a.top == b.top && a.left == b.left && a.bottom == b.bottom && a.right == b.right;
}

// The rectangle shrunk by the insets (negative insets grow it).
inline CGRect UIEdgeInsetsInsetRect(CGRect r, UIEdgeInsets insets)
{
    r.origin.x += insets.left;
    r.origin.y += insets.top;
    r.size.width -= insets.left + insets.right;
    r.size.height -= insets.top + insets.bottom;
    return r;
}

// "{top, left, bottom, right}" and "{horizontal, vertical}".
std::string NSStringFromUIEdgeInsets(UIEdgeInsets insets);
std::string NSStringFromUIOffset(UIOffset offset);
UIEdgeInsets UIEdgeInsetsFromString(std::string_view s);
