#pragma once

#include "grid/LGridArrow.h"

class UIView;

// The arrow image view a data-grid header cell shows for its column's sort order: an engine
// arrow kept upright, with every autoresizing bit set and an aspect-fit content mode. Main
// thread only.
class LGridSortOrderArrow : public LGridArrow {
    VX_OBJECT(LGridSortOrderArrow, LGridArrow)
public:
    explicit LGridSortOrderArrow(Passkey key)
        : LGridArrow(key)
    {
    }
    // Starts invisible (alpha 0), as every engine arrow.
    static Ref<LGridSortOrderArrow> initWithOrientationWithImageUserControlsOrientation(
        int32_t orientation, const Ref<UIImage>& image, bool userControlsOrientation);

    // Adds the arrow to the cell; for a data-grid cell that places it inside its internal cell.
    void addToCell(const Ref<LGridCell>& cell) override;
    // Turned by pi (up) or 0 (down) in a 0.2-second ease-in-out animation.
    void pointUp();
    void pointDown();
    void pointInDirection(float angle);
};
