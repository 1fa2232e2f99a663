#pragma once

#include "uikit/UIImageView.h"

class UIView;

// The arrow image view a data-grid header cell shows for its column's sort order. Orientation
// 3, or user control of the orientation, shows the image upright; 0 to 2 turn it as the engine's
// reorder arrows do. Main thread only.
class LGridSortOrderArrow : public UIImageView {
    VX_OBJECT(LGridSortOrderArrow, UIImageView)
public:
    explicit LGridSortOrderArrow(Passkey key)
        : UIImageView(key)
    {
    }
    // Every autoresizing bit set and an aspect-fit content mode; starts invisible (alpha 0).
    static Ref<LGridSortOrderArrow> initWithOrientationWithImageUserControlsOrientation(
        int32_t orientation, const Ref<UIImage>& image, bool userControlsOrientation);

    int32_t orientation() const { return m_orientation; }
    // Adds the arrow to the cell; for a data-grid cell that places it inside its internal cell.
    void addToCell(const Ref<UIView>& cell);
    // Turned by pi (up) or 0 (down) in a 0.2-second ease-in-out animation.
    void pointUp();
    void pointDown();
    void pointInDirection(float angle);

private:
    int32_t m_orientation { 3 };
};
