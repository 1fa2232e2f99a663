#pragma once

#include "grid/LGridArrow.h"

// The arrow the grid lays on a dragged cell: 20 x 20 points against the middle of its side,
// moved by the offset the grid's delegate gives for it. Main thread only.
class LGridReorderArrow : public LGridArrow {
    VX_OBJECT(LGridReorderArrow, LGridArrow)
public:
    explicit LGridReorderArrow(Passkey key)
        : LGridArrow(key)
    {
    }
    static Ref<LGridReorderArrow> initWithOrientationWithImageUserControlsOrientation(
        int32_t orientation, const Ref<UIImage>& image, bool userControlsOrientation);

    void addToCell(const Ref<LGridCell>& cell) override;
};
