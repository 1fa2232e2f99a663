#pragma once

#include "graphics/UIGraphics.h"

// Sets the screen scale for the scope's life and puts the earlier one back at its end.
class ScopedScreenScale {
public:
    explicit ScopedScreenScale(CGFloat scale)
        : m_saved(UIGraphicsScreenScale())
    {
        UIGraphicsSetScreenScale(scale);
    }
    ~ScopedScreenScale() { UIGraphicsSetScreenScale(m_saved); }
    ScopedScreenScale(const ScopedScreenScale&) = delete;
    ScopedScreenScale& operator=(const ScopedScreenScale&) = delete;

private:
    CGFloat m_saved;
};
