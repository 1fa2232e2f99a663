#pragma once

#include "grid/LGridLineStyle.h"

// The look of the border around the grid; its width is also the grid's outer margin.
// Main thread only.
class LGridBorderStyle : public LGridLineStyle {
    VX_OBJECT(LGridBorderStyle, LGridLineStyle)
public:
    explicit LGridBorderStyle(Passkey key)
        : LGridLineStyle(key)
    {
    }
    // Width 1.5, black.
    static Ref<LGridBorderStyle> init();
    static Ref<LGridBorderStyle> style() { return init(); }
    static Ref<LGridBorderStyle> styleWithWidthWithColor(float width, const Ref<UIColor>& color);
};
